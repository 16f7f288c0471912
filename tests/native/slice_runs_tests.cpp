#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "core/MaskRects.h"
#include "core/SliceRuns.h"

namespace {

using qx::TMaskRect;
using qx::TSliceAxis;

// A nearest-pixel stretch of source pixels onto target ones, as a platform might pick them.
std::vector<int> Nearest(int source, int target) {
    std::vector<int> map(target);
    for (int i = 0; i < target; ++i) map[i] = static_cast<int>((2LL * i + 1) * source / (2LL * target));
    return map;
}

TSliceAxis Axis(int target, int source, int head, int tail) {
    TSliceAxis a{target, source, head, tail, {}};
    const int middle = target - head - tail, from = source - head - tail;
    if (middle > 0 && from > 0 && middle != from) a.Stretch = Nearest(from, middle);
    return a;
}

// The frame laid nine-slice pixel by pixel, drawn in the painter's order: corners and edges,
// the middle, then the right and bottom ones over whatever a tiled middle spilled. Pixels
// nothing is drawn on stay opaque.
std::vector<std::uint8_t> Drawn(const std::vector<std::uint8_t>& frame, const TSliceAxis& x, const TSliceAxis& y,
                                bool tiled) {
    std::vector<std::uint8_t> out(static_cast<std::size_t>(x.Target) * y.Target, 1);
    auto stretch = [](const TSliceAxis& a, int t) {  // middle target pixel -> source pixel
        return a.Head + (a.Stretch.empty() ? t - a.Head : a.Stretch[t - a.Head]);
    };
    auto at = [&](int sx, int sy) { return frame[static_cast<std::size_t>(sy) * x.Source + sx]; };
    const int mx = x.Source - x.Head - x.Tail, my = y.Source - y.Head - y.Tail;
    for (int ty = 0; ty < y.Target; ++ty)
        for (int tx = 0; tx < x.Target; ++tx) {
            const bool headX = tx < x.Head, tailX = tx >= x.Target - x.Tail;
            const bool headY = ty < y.Head, tailY = ty >= y.Target - y.Tail;
            const int sx = headX ? tx : tailX ? tx - x.Target + x.Source : -1;
            const int sy = headY ? ty : tailY ? ty - y.Target + y.Source : -1;
            std::uint8_t& o = out[static_cast<std::size_t>(ty) * x.Target + tx];
            if (sx >= 0 && sy >= 0) {
                o = at(sx, sy);
            } else if (sx >= 0) {
                if (my > 0) o = at(sx, stretch(y, ty));
            } else if (sy >= 0) {
                if (mx > 0) o = at(stretch(x, tx), sy);
            } else if (mx > 0 && my > 0) {
                o = tiled ? at(x.Head + (tx - x.Head) % mx, y.Head + (ty - y.Head) % my)
                          : at(stretch(x, tx), stretch(y, ty));
            }
        }
    return out;
}

// Frames with random keyed pixels laid at random sizes, margins, stretched and tiled: the
// placed runs are the runs of the picture drawn pixel by pixel.
TEST(SliceRuns, PlacedRunsAreTheDrawnPicturesRunsAtEverySize) {
    std::mt19937 random(23);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 400; ++round) {
        const int fw = pick(1, 12), fh = pick(1, 12);
        const int density = pick(0, 4);  // 0: none keyed .. 4: most keyed
        std::vector<std::uint8_t> frame(static_cast<std::size_t>(fw) * fh);
        for (auto& p : frame) p = pick(0, 3) >= density;
        const int l = pick(0, fw), r = pick(0, fw - l), t = pick(0, fh), b = pick(0, fh - t);
        const int w = pick(l + r, l + r + 40), h = pick(t + b, t + b + 40);
        if (w == 0 || h == 0) continue;
        const bool tiled = pick(0, 1);
        const TSliceAxis x = Axis(w, fw, l, r), y = Axis(h, fh, t, b);
        const auto placed = qx::PlaceSlices(qx::MaskRows(frame, fw, fh), x, y, tiled);
        ASSERT_TRUE(placed.has_value()) << round;
        EXPECT_EQ(*placed, qx::MaskRows(Drawn(frame, x, y, tiled), w, h))
            << "round " << round << ": frame " << fw << "x" << fh << ", margins " << l << "," << t << "," << r << ","
            << b << ", target " << w << "x" << h << (tiled ? ", tiled" : ", stretched");
    }
    // What cannot be placed exactly is refused: overlapping margins, a map of the wrong length
    // or going backwards.
    const auto rows = qx::MaskRows(std::vector<std::uint8_t>(16, 1), 4, 4);
    EXPECT_FALSE(qx::PlaceSlices(rows, TSliceAxis{10, 4, 3, 2, {}}, Axis(4, 4, 0, 0), false));
    EXPECT_FALSE(qx::PlaceSlices(rows, TSliceAxis{10, 4, 1, 1, {0, 1}}, Axis(4, 4, 0, 0), false));
    EXPECT_FALSE(qx::PlaceSlices(rows, TSliceAxis{6, 4, 1, 1, {1, 0, 1, 1}}, Axis(4, 4, 0, 0), false));
}

// Rectangles that touch and overlap come out as a region stores them: every pixel of the
// union once, bands top to bottom with the widest runs, equal neighbouring bands joined.
TEST(SliceRuns, UnitedRectanglesCoverTheUnionInCanonicalBands) {
    std::mt19937 random(5);
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int round = 0; round < 200; ++round) {
        const int size = 24;
        std::vector<TMaskRect> rects;
        std::vector<std::uint8_t> mask(size * size);
        for (int i = pick(0, 8); i > 0; --i) {
            const int l = pick(0, size), t = pick(0, size);
            const TMaskRect r{l, t, pick(l, size), pick(t, size)};
            rects.push_back(r);
            for (int y = r.Top; y < r.Bottom; ++y)
                for (int x = r.Left; x < r.Right; ++x) mask[y * size + x] = 1;
        }
        // The canonical form of a shape is unique: the mask's own rows banded give it.
        EXPECT_EQ(qx::UniteRects(rects), qx::MaskToRects(mask, size, size, 1u << 20)) << round;
    }
}

}  // namespace
