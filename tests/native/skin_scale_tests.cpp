#include "core/SkinScale.h"

#include <gtest/gtest.h>

#include <random>

namespace qx {
namespace {

constexpr int kScales[] = {72, 96, 120, 144, 168, 192, 240, 288};

// The pieces cover the box once: every pixel in exactly one piece.
void ExpectTiles(const std::array<TScaledBox, 9>& pieces, int width, int height) {
    std::vector<int> hits(static_cast<std::size_t>(width) * height, 0);
    for (const TScaledBox& p : pieces) {
        ASSERT_GE(p.Width(), 0);
        ASSERT_GE(p.Height(), 0);
        for (int y = p.Top; y < p.Bottom; ++y)
            for (int x = p.Left; x < p.Right; ++x) {
                ASSERT_TRUE(x >= 0 && x < width && y >= 0 && y < height);
                ++hits[static_cast<std::size_t>(y) * width + x];
            }
    }
    for (int h : hits) ASSERT_EQ(h, 1);
}

TEST(SkinScale, NineSlicePiecesMeetWithoutGapOrOverlapAtEveryScale) {
    const TSkinInsets margins[] = {{3, 3, 3, 3}, {7, 29, 5, 1}, {0, 0, 0, 0}, {1, 2, 15, 0}, {12, 4, 12, 4}};
    const int sizes[][2] = {{24, 30}, {13, 13}, {100, 29}, {5, 5}};
    for (int dpi : kScales) {
        for (const auto& m : margins) {
            for (const auto& size : sizes) {
                const int w = ScaleSkinLength(size[0], dpi), h = ScaleSkinLength(size[1], dpi);
                const TSkinInsets scaled = ScaleSkinInsets(m, size[0], size[1], dpi);
                SCOPED_TRACE(testing::Message() << "dpi " << dpi << " size " << size[0] << "x" << size[1]);
                ExpectTiles(NineSlicePieces(w, h, scaled), w, h);
                // A pair of margins that fit the frame at 96 dpi fits it at scale.
                if (m.Left + m.Right <= size[0]) {
                    EXPECT_LE(scaled.Left + scaled.Right, w);
                }
                if (m.Top + m.Bottom <= size[1]) {
                    EXPECT_LE(scaled.Top + scaled.Bottom, h);
                }
            }
        }
    }
}

TEST(SkinScale, LengthsAndPlacesKeepTheirProportionsAndNeighbours) {
    EXPECT_EQ(ScaleSkinLength(29, 96), 29);
    EXPECT_EQ(ScaleSkinLength(29, 192), 58);
    EXPECT_EQ(ScaleSkinLength(29, 144), 44);  // 43.5 rounds away from zero
    EXPECT_EQ(ScaleSkinLength(4, 120), 5);
    EXPECT_EQ(ScaleSkinLength(7, 0), 7);      // no dpi known: the skin as drawn
    // The skin and the layout scale by one rule, so skinned frames and controls line up.
    for (int dpi : kScales)
        for (int v = -50; v <= 600; ++v) ASSERT_EQ(ScaleSkinLength(v, dpi), ScaleForDpi(v, dpi)) << v << " at " << dpi;
    EXPECT_EQ(ScaleSkinInsets({4, 29, 4, 0}, 9, 29, 192), (TSkinInsets{8, 58, 8, 0}));

    // Boxes that share an edge at 96 dpi share it at scale.
    const TScaledBox left{0, 0, 5, 29}, caption{5, 0, 561, 29}, right{561, 0, 566, 29};
    for (int dpi : kScales) {
        const TScaledBox a = ScaleSkinBox(left, dpi), b = ScaleSkinBox(caption, dpi), c = ScaleSkinBox(right, dpi);
        EXPECT_EQ(a.Right, b.Left);
        EXPECT_EQ(b.Right, c.Left);
        EXPECT_EQ(c.Right, ScaleSkinLength(566, dpi));
    }
}

// Where a caption button lands at dpi, as PlaceCaptionButton lays it from the right edge.
struct TSpan {
    int Left, Right;
};
TSpan FromRight(int windowWidth, const TSkinButtonPlace& p) {
    return TSpan{windowWidth - p.Xcoord, windowWidth - p.Xcoord + p.Width};
}

TEST(SkinScale, CaptionButtonsSideBySideStaySideBySide) {
    // Close, maximize and minimize laid from the right edge, each 18 wide, 2 pixels apart.
    const int xcoords[] = {23, 43, 63};
    for (int dpi : kScales) {
        const int width = ScaleSkinLength(566, dpi);
        SCOPED_TRACE(dpi);
        TSpan spans[3];
        for (int i = 0; i < 3; ++i) spans[i] = FromRight(width, ScaleCaptionButtonPlace(1, xcoords[i], 5, 18, 18, false, dpi));
        // The gaps between buttons and to the edge scale as the lengths do; no two overlap.
        EXPECT_EQ(width - spans[0].Right, ScaleSkinLength(5, dpi));
        EXPECT_GE(spans[0].Left - spans[1].Right, ScaleSkinLength(2, dpi) - 1);
        EXPECT_LE(spans[0].Left - spans[1].Right, ScaleSkinLength(2, dpi) + 1);
        EXPECT_GE(spans[1].Left - spans[2].Right, 1);
        // From the left, a button followed by another with no gap still touches it.
        const TSkinButtonPlace a = ScaleCaptionButtonPlace(0, 4, 5, 16, 16, false, dpi);
        const TSkinButtonPlace b = ScaleCaptionButtonPlace(0, 20, 5, 16, 16, false, dpi);
        EXPECT_EQ(a.Xcoord + a.Width, b.Xcoord);
        EXPECT_EQ(a.Ycoord + a.Height, ScaleSkinLength(21, dpi));
    }
    EXPECT_EQ(ScaleCaptionButtonPlace(1, 23, 5, 18, 18, false, 192), (TSkinButtonPlace{46, 10, 36, 36}));
}

TSkinPixels RandomPicture(int w, int h, unsigned seed) {
    std::mt19937 random(seed);
    TSkinPixels p{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    for (auto& px : p.Pixels) px = random() % 5 == 0 ? kSkinKeyPixel : (random() & 0xFFFFFF);
    return p;
}

TEST(SkinScale, WholeMultiplesRepeatPixelsExactly) {
    const TSkinPixels source = RandomPicture(30, 11, 7);  // three frames of 10 x 11
    const TSkinPixels twice = ScaleSkinStrip(source, 3, false, TSkinInsets{3, 2, 4, 3}, 192);
    ASSERT_EQ(twice.Width, 60);
    ASSERT_EQ(twice.Height, 22);
    for (int y = 0; y < twice.Height; ++y)
        for (int x = 0; x < twice.Width; ++x)
            ASSERT_EQ(twice.Pixels[static_cast<std::size_t>(y) * 60 + x], source.Pixels[static_cast<std::size_t>(y / 2) * 30 + x / 2])
                << x << "," << y;
    const TSkinPixels same = ScaleSkinStrip(source, 3, false, TSkinInsets{3, 2, 4, 3}, 96);
    EXPECT_EQ(same.Pixels, source.Pixels);
}

TEST(SkinScale, SmoothScalesKeepTheKeyExactAndFramesApart) {
    // Two stacked frames: a red one with a magenta border and a blue one. The key stays exactly
    // where the nearest source pixel is the key, no colour takes any magenta, and no frame takes
    // any of its neighbour's colour.
    const int w = 12, h = 9;
    TSkinPixels source{w, 2 * h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * 2 * h, 0x0000FF)};
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            source.Pixels[static_cast<std::size_t>(y) * w + x] =
                x == 0 || y == 0 || x == w - 1 || y == h - 1 ? kSkinKeyPixel : 0xFF0000;
    for (int dpi : {120, 144, 168}) {
        SCOPED_TRACE(dpi);
        const TSkinPixels s = ScaleSkinStrip(source, 2, true, TSkinInsets{2, 2, 2, 2}, dpi);
        const int fh = ScaleSkinLength(h, dpi);
        ASSERT_EQ(s.Width, ScaleSkinLength(w, dpi));
        ASSERT_EQ(s.Height, 2 * fh);
        for (int y = 0; y < s.Height; ++y)
            for (int x = 0; x < s.Width; ++x) {
                const std::uint32_t p = s.Pixels[static_cast<std::size_t>(y) * s.Width + x];
                if (y < fh)
                    ASSERT_TRUE(p == kSkinKeyPixel || p == 0xFF0000) << std::hex << p << " at " << std::dec << x << "," << y;
                else
                    ASSERT_EQ(p, 0x0000FFu) << x << "," << y;
            }
        // The border stays one ring of key, as thick as it scales to.
        EXPECT_EQ(s.Pixels[0], kSkinKeyPixel);
        EXPECT_EQ(s.Pixels[static_cast<std::size_t>(fh / 2) * s.Width + s.Width / 2], 0xFF0000u);
    }
    // Smooth scales do blend colours where they meet.
    TSkinPixels ramp{4, 1, {0x000000, 0x404040, 0x808080, 0xC0C0C0}};
    const TSkinPixels r = ScaleSkinStrip(ramp, 1, false, TSkinInsets{}, 144);
    ASSERT_EQ(r.Width, 6);
    int between = 0;
    for (std::uint32_t p : r.Pixels) between += p != 0 && p != 0x404040 && p != 0x808080 && p != 0xC0C0C0;
    EXPECT_GT(between, 0);
}

TEST(SkinScale, HostileStripsGiveNothingOrStayInBounds) {
    EXPECT_EQ(ScaleSkinStrip(TSkinPixels{}, 3, false, {}, 192).Width, 0);
    EXPECT_EQ(ScaleSkinStrip(TSkinPixels{4, 4, {}}, 1, false, {}, 192).Width, 0);  // pixels missing
    const TSkinPixels p = RandomPicture(5, 5, 3);
    EXPECT_EQ(ScaleSkinStrip(p, 9, false, {}, 192).Width, 0);  // frames narrower than a pixel
    const TSkinPixels odd = ScaleSkinStrip(p, 1, false, TSkinInsets{-4, 900, 1 << 30, -1}, 144);
    EXPECT_EQ(odd.Width, 8);
    EXPECT_EQ(odd.Pixels.size(), 64u);
}

}  // namespace
}  // namespace qx
