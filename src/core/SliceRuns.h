// The opaque runs of a frame picture laid nine-slice into a target of any size, placed from
// the runs of the frame's own rows: the corners kept, the edges stretched along themselves, the
// middle stretched or tiled from its top-left corner. What a window region of a frame piece is
// made from at every new size, without drawing the piece.
#pragma once
#include "core/MaskRects.h"

#include <optional>
#include <vector>

namespace qx {

// How one axis of the target takes its pixels from the frame.
struct TSliceAxis {
    int Target = 0;           // the target's pixels along the axis
    int Source = 0;           // the frame's pixels along the axis
    int Head = 0, Tail = 0;   // the margins kept at both ends, as fitted to this target
    // For each target pixel of a stretched middle, the middle's pixel it shows (counted from
    // the middle's start), as the platform's stretch picks it; empty when the middle keeps
    // its size.
    std::vector<int> Stretch;
};

// The runs of each target row (y.Target rows, each within [0, x.Target)). rows holds the
// frame's own rows' runs (y.Source rows within [0, x.Source)). Pixels that nothing is drawn on
// (a middle whose frame part is empty) are opaque, as a fresh picture's black is. Nothing when
// the placement cannot be worked out exactly: margins that overlap, or a stretch map that does
// not fit its middle or goes backwards.
std::optional<std::vector<TMaskRow>> PlaceSlices(const std::vector<TMaskRow>& rows, const TSliceAxis& x,
                                                 const TSliceAxis& y, bool tiledMiddle);

}  // namespace qx
