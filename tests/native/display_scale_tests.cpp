// The display scale's rounding: what every scaled position, size and font height goes through.
#include "core/DisplayScale.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qx;

TEST(DisplayScale, TheInstallersClientAtEachCommonScale) {
    const struct { int dpi, w, h; } cases[] = {
        {96, 566, 388}, {120, 708, 485}, {144, 849, 582}, {192, 1132, 776}};
    for (const auto& c : cases) {
        const TDisplayScale s(c.dpi);
        EXPECT_EQ(s.Apply(566), c.w) << c.dpi;
        EXPECT_EQ(s.Apply(388), c.h) << c.dpi;
    }
}

TEST(DisplayScale, HalvesRoundAwayFromZeroOnBothSides) {
    const TDisplayScale s125(120);
    EXPECT_EQ(s125.Apply(2), 3);    // 2.5
    EXPECT_EQ(s125.Apply(-2), -3);  // -2.5: font heights are negative
    EXPECT_EQ(s125.Apply(1), 1);    // 1.25
    EXPECT_EQ(s125.Apply(-11), -14);  // -13.75
    const TDisplayScale s150(144);
    EXPECT_EQ(s150.Apply(1), 2);    // 1.5
    EXPECT_EQ(s150.Apply(-1), -2);
    EXPECT_EQ(s150.Apply(3), 5);    // 4.5
    EXPECT_EQ(s150.Unapply(849), 566);
    EXPECT_EQ(TDisplayScale(192).Unapply(1131), 566);  // 565.5
}

TEST(DisplayScale, AdjacentRectanglesStillMeetAndSpansTileTheirWhole) {
    // Three odd-sized neighbours at an awkward scale: scaling each edge on its own keeps the
    // shared edges shared, and the scaled widths add up to the scaled whole.
    for (int dpi : {108, 120, 144, 168, 192, 240}) {
        const TDisplayScale s(dpi);
        const TScaledRect a{3, 5, 10, 17}, b{10, 5, 23, 17}, c{23, 5, 24, 17};
        const TScaledRect sa = s.Apply(a), sb = s.Apply(b), sc = s.Apply(c);
        EXPECT_EQ(sa.Right, sb.Left) << dpi;
        EXPECT_EQ(sb.Right, sc.Left) << dpi;
        EXPECT_EQ(sa.Top, sc.Top) << dpi;
        int x = 0, total = 0;
        for (int w : {7, 5, 1, 9, 3}) {
            total += s.Extent(x, w);
            EXPECT_EQ(s.Apply(x) + s.Extent(x, w), s.Apply(x + w)) << dpi;
            x += w;
        }
        EXPECT_EQ(total, s.Apply(x)) << dpi;
    }
}

TEST(DisplayScale, BadDpiMeansBaseAndExtremeValuesSaturate) {
    EXPECT_TRUE(TDisplayScale(0).IsIdentity());
    EXPECT_TRUE(TDisplayScale(-120).IsIdentity());
    EXPECT_EQ(TDisplayScale(-1).Apply(37), 37);
    const TDisplayScale s(192);
    EXPECT_EQ(s.Apply(INT_MAX), INT_MAX);
    EXPECT_EQ(s.Apply(INT_MIN), INT_MIN);
    EXPECT_EQ(s.Extent(0, INT_MAX), INT_MAX);  // no wrap to a negative size
    EXPECT_GE(s.Extent(INT_MAX, INT_MAX), 0);
    EXPECT_EQ(ScaleForDpi(100, 144), 150);
}
