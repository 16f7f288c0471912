#include <gtest/gtest.h>

#include <vector>

#include "core/MaskRects.h"

namespace {

using qx::MaskToRects;
using qx::TMaskRect;

// How many rectangles cover each pixel; fails the test for one reaching outside the picture.
std::vector<int> Coverage(const std::vector<TMaskRect>& rects, int width, int height) {
    std::vector<int> covered(static_cast<std::size_t>(width) * height);
    for (const TMaskRect& r : rects) {
        EXPECT_TRUE(r.Left >= 0 && r.Top >= 0 && r.Right <= width && r.Bottom <= height && r.Left < r.Right &&
                    r.Top < r.Bottom)
            << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom;
        for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, height); ++y)
            for (int x = std::max(r.Left, 0); x < std::min(r.Right, width); ++x) ++covered[y * width + x];
    }
    return covered;
}

// Every opaque pixel covered once, nothing covered twice; returns the transparent pixels covered.
int CheckCovers(const std::vector<std::uint8_t>& mask, const std::vector<TMaskRect>& rects, int width, int height) {
    const std::vector<int> covered = Coverage(rects, width, height);
    int extra = 0, missed = 0, twice = 0;
    for (std::size_t i = 0; i < mask.size(); ++i) {
        if (mask[i] && covered[i] == 0) ++missed;
        if (!mask[i] && covered[i]) ++extra;
        if (covered[i] > 1) ++twice;
    }
    EXPECT_EQ(missed, 0);
    EXPECT_EQ(twice, 0);
    return extra;
}

TEST(MaskRects, MillionPixelCheckerboardStaysWithinTheBoundAndCoversEveryOpaquePixel) {
    const int w = 1000, h = 1000;
    std::vector<std::uint8_t> mask(w * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) mask[y * w + x] = (x + y) % 2;
    const std::vector<TMaskRect> rects = MaskToRects(mask, w, h);
    EXPECT_LE(rects.size(), qx::kMaxRegionRects);
    EXPECT_FALSE(rects.empty());
    CheckCovers(mask, rects, w, h);
}

TEST(MaskRects, ShapeWithinTheBoundIsExactAndEqualRowsShareOneBand) {
    // A frame with rounded corners cut out and a see-through window in the middle.
    const int w = 300, h = 200;
    std::vector<std::uint8_t> mask(w * h, 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int cx = std::min(x, w - 1 - x), cy = std::min(y, h - 1 - y);
            if (cx < 12 && cy < 12 && (12 - cx) * (12 - cx) + (12 - cy) * (12 - cy) > 144) mask[y * w + x] = 0;
            if (x >= 40 && x < 260 && y >= 50 && y < 150) mask[y * w + x] = 0;
        }
    const std::vector<TMaskRect> rects = MaskToRects(mask, w, h);
    EXPECT_EQ(CheckCovers(mask, rects, w, h), 0);
    // The window's hundred rows are one band of two rectangles, not two hundred.
    int tall = 0;
    for (const TMaskRect& r : rects) tall += r.Bottom - r.Top == 100;
    EXPECT_EQ(tall, 2);
}

TEST(MaskRects, RowsThatDifferEachTimeAreTakenTogetherWhenGapsAloneCannotFit) {
    // A thin picture whose rows alternate: filling gaps leaves one rectangle a row, too many.
    const int w = 3, h = 20000;
    std::vector<std::uint8_t> mask(w * h);
    for (int y = 0; y < h; ++y) mask[y * w + (y % 2 ? 0 : 2)] = 1;
    const std::vector<TMaskRect> rects = MaskToRects(mask, w, h, 100);
    EXPECT_LE(rects.size(), 100u);
    CheckCovers(mask, rects, w, h);

    const std::vector<std::uint8_t> clear(w * 4);
    EXPECT_TRUE(MaskToRects(clear, w, 4).empty());
    EXPECT_TRUE(MaskToRects(clear, w, 5).empty()) << "a mask shorter than its size is no shape";
}

}  // namespace
