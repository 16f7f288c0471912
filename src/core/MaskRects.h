// The rectangles a window region is made of, worked out from which pixels of a picture are
// opaque: runs of opaque pixels, with equal neighbouring rows joined into one band, which is how
// the platform stores a region. The count is bounded: a region of tens of thousands of
// rectangles is slow to set and, under Wine, too long for one X request (the process dies).
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace qx {

struct TMaskRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool operator==(const TMaskRect&) const = default;
};

// One run of opaque pixels of a row, [Left, Right).
struct TMaskRun {
    int Left = 0, Right = 0;
    bool operator==(const TMaskRun&) const = default;
};
// A row's runs from left to right, neither touching nor overlapping.
using TMaskRow = std::vector<TMaskRun>;

// Far below the rectangles that make a region slow (14,000 took seconds to paint under Wine),
// and far above what a drawn frame with rounded corners needs (a few hundred).
inline constexpr std::size_t kMaxRegionRects = 4096;

// mask holds width x height bytes, top row first; a nonzero byte is an opaque pixel. The
// result covers every opaque pixel and no transparent one when that takes at most maxRects
// rectangles. Beyond it the shape is simplified until it fits: first transparent gaps between
// runs are filled, the narrowest first, then rows are taken together in ever taller strips;
// so the result then covers every opaque pixel and some transparent ones near them. The
// rectangles do not overlap and come in bands from top to bottom, left to right within a band.
std::vector<TMaskRect> MaskToRects(std::span<const std::uint8_t> mask, int width, int height,
                                   std::size_t maxRects = kMaxRegionRects);
// The runs of each row of the mask.
std::vector<TMaskRow> MaskRows(std::span<const std::uint8_t> mask, int width, int height);
// The rectangles of a shape given by its rows' runs (each row's runs within [0, width)), bounded
// and simplified as MaskToRects does: the same rows give the same rectangles.
std::vector<TMaskRect> RowsToRects(const std::vector<TMaskRow>& rows, int width, std::size_t maxRects = kMaxRegionRects);
// The union of rectangles that may touch or overlap, as a region stores it: bands from top to
// bottom, each the widest runs left to right, and equal neighbouring bands joined.
std::vector<TMaskRect> UniteRects(std::vector<TMaskRect> rects);

}  // namespace qx
