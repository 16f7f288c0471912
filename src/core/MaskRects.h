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

}  // namespace qx
