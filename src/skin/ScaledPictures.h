// A skin's pictures at the display scales its windows show it at: each strip resampled once
// per scale (frames and their nine pieces on their own, the magenta key exact), kept with the
// skin data and freed with it, within what is left of the skin's pixel budget. Painting only
// reads them. The glyphs drawn most often (check and radio) are kept here as well, made ready to
// be drawn in one or two copies, and go with the pictures they were made from.
#pragma once
#include "core/DisplayScale.h"
#include "core/SkinScale.h"
#include "framework/Graphics.h"
#include "skin/SkinDraw.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace qx {

class TScaledSkinPictures {
public:
    TScaledSkinPictures() = default;
    TScaledSkinPictures(const TScaledSkinPictures&) = delete;
    TScaledSkinPictures& operator=(const TScaledSkinPictures&) = delete;

    // Pixels the scaled strips may take together; strips made before stay.
    void SetBudget(std::int64_t pixels) { budget_ = pixels < 0 ? 0 : pixels; }
    std::int64_t Budget() const { return budget_; }
    // Pixels the scaled strips hold now.
    std::int64_t Pixels() const { return pixels_; }
    // Strips made so far (each one resampling).
    int Made() const { return made_; }

    static constexpr int kAllFrames = -1;
    // The image's strip at dpi, cut as given; made on first use, with the frame asked for (from
    // 0) scaled in it, or every frame: the others are scaled when they are first asked for, so
    // a window's frame pieces cost only the state they show. Null when dpi is the skin's own,
    // the image is empty, or the strip would pass the budget: the caller then draws the
    // unscaled strip.
    TBitmap* Strip(TBitmap& image, int frames, bool stacked, const TFrameMargins& margins, int dpi,
                   int frame = kAllFrames);
    // The part's keyed glyph for the state at size, over the colour under (or over anything),
    // made ready once and kept while its picture stays (see TReadyGlyph); null when it cannot
    // be kept (a layout other than Cell, a glyph too large): the caller draws it as usual.
    TReadyGlyph* Glyph(const TSkinPart& part, TSkinState state, SIZE size, std::optional<COLORREF> under);
    // Lets every strip go (the skin was parsed again: its pictures are new).
    void Clear();
    // Lets the strips of one picture go: a picture of a skinner's own (a tab row turned for its
    // orientation) that it is about to replace or free.
    void Forget(const TBitmap& image);

private:
    struct TEntry {
        const TBitmap* Image;
        TBitmap Source;  // shares the image's picture, so a new picture at the same address misses
        int Frames;
        bool Stacked;
        TFrameMargins Margins;
        int Dpi;
        std::unique_ptr<TBitmap> Scaled;  // null: refused (over the budget), not tried again
        std::vector<std::uint8_t> Made;   // the frames scaled into it so far (1 each)
    };
    // Scales the frames of the entry's strip not made yet: the one asked for, or all.
    // read: the image's pixels when the caller has them already.
    void MakeFrames(TEntry& entry, int frame, const TSkinPixels* read);
    std::vector<std::unique_ptr<TEntry>> entries_;
    struct TGlyphEntry {
        const TBitmap* Image;
        TBitmap Source;  // as TEntry's
        int Frames;
        int Picture;
        bool Keyed;
        SIZE Size;
        std::optional<COLORREF> Under;
        std::unique_ptr<TReadyGlyph> Glyph;
    };
    std::vector<TGlyphEntry> glyphs_;
    std::int64_t budget_ = 0;
    std::int64_t pixels_ = 0;
    int made_ = 0;
};

// The scale a skin part is drawn at: the window's dpi and, when the skin keeps them, its
// pictures scaled to it.
struct TSkinScale {
    int Dpi = BaseDpi;
    TScaledSkinPictures* Pictures = nullptr;
};

// The part as it is drawn at scale: its strip scaled and its margins scaled with it, or, when
// no scaled strip can be had, the part as it is (the unscaled picture fills the larger rect).
TSkinPart ScaledSkinPart(const TSkinPart& part, const TSkinScale& scale);
// The same for drawing the part in one state: only that state's picture needs to be scaled.
TSkinPart ScaledSkinPart(const TSkinPart& part, const TSkinScale& scale, TSkinState state);
// The part's picture for the state at scale, laid into rect (rect is in device pixels).
void DrawSkinPart(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect, const TSkinScale& scale);
// The same for a glyph drawn again and again (check and radio glyphs): from the copy the
// scale's pictures keep ready for it. under, when given, is the colour rect is filled with
// before; the glyph is then drawn with its key in that colour, in one copy.
void DrawSkinGlyph(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect, const TSkinScale& scale,
                   std::optional<COLORREF> under = std::nullopt);

}  // namespace qx
