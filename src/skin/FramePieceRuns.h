// The opaque runs of the window frame's pieces, read once per skin, scale and state from each
// piece's picture, from which the piece's share of the window region is placed at any window
// size without drawing the piece. Held by the frame painter, emptied when the skin or the
// scale changes.
#pragma once
#include "core/MaskRects.h"
#include "framework/Graphics.h"
#include "skin/SkinDraw.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <vector>

namespace qx {

class TFramePieceRuns {
public:
    TFramePieceRuns() = default;
    TFramePieceRuns(const TFramePieceRuns&) = delete;
    TFramePieceRuns& operator=(const TFramePieceRuns&) = delete;

    // The rectangles of the part's picture for the state laid into target, as the picture
    // drawn there and read back would give them (at most maxRects, simplified beyond as
    // MaskToRects simplifies). Nothing when that cannot be worked out exactly from the runs:
    // the caller then draws the piece and reads it.
    std::optional<std::vector<TMaskRect>> Rects(const TSkinPart& part, TSkinState state, const RECT& target,
                                                std::size_t maxRects);
    // Lets every piece's runs go (another skin, or another scale).
    void Clear();

private:
    struct TPiece {
        const TBitmap* Image;
        TBitmap Source;  // shares the image's picture, so a new picture at the same address misses
        RECT Frame;
        std::vector<TMaskRow> Rows;
    };
    struct TStretch {
        int Source, Target;
        bool Vertical;
        std::vector<int> Map;
    };
    const TPiece& Piece(TBitmap& image, const RECT& frame);
    // For each target pixel, the source pixel the platform's stretch of source pixels onto
    // target pixels shows; the latest few are kept (a resize asks for the same ones again).
    const std::vector<int>& Stretch(int source, int target, bool vertical);

    std::vector<std::unique_ptr<TPiece>> pieces_;
    std::vector<TStretch> stretches_;
};

}  // namespace qx
