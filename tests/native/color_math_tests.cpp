#include "core/ColorMath.h"

#include <gtest/gtest.h>

namespace qx {
namespace {

TEST(ColorMath, BlendWeightsArePercentBelowHundredAndThousandthsFromHundred) {
    // 99: almost all of a.
    EXPECT_EQ(BlendRgb(0x0000C8, 0x000000, 99), 0x0000C6u);  // 200 * 0.99 = 198
    // 100 is read in thousandths: only 10 % of a.
    EXPECT_EQ(BlendRgb(0x0000C8, 0x000000, 100), 0x000014u);
    // 150: 15 % grey 0x80 and 85 % of the other colour, per channel and rounded.
    EXPECT_EQ(BlendRgb(0x808080, 0xFFFFFF, 150), 0xECECECu);  // (128 * 150 + 255 * 850 + 500) / 1000 = 236
}

TEST(ColorMath, BlendRoundsHalfUpPerChannel) {
    // (1 * 50 + 0 * 50 + 50) / 100 = 1: the half rounds up; channels do not mix.
    EXPECT_EQ(BlendRgb(0x010203, 0x000000, 50), 0x010102u);
    EXPECT_EQ(BlendRgb(0xFF0000, 0x0000FF, 0), 0x0000FFu);
}

TEST(ColorMath, SaturationOfGreyDarkAndPureColours) {
    EXPECT_EQ(RgbSaturation(0x00F4F4F4), 0);
    EXPECT_EQ(RgbSaturation(0x00000080), 200);  // dark: every channel below 160
    EXPECT_EQ(RgbSaturation(0x000000FF), 255);
    EXPECT_EQ(RgbSaturation(0x00000000), 200);
    // max 200, min 100: half saturated, 127.5 rounds to 128.
    EXPECT_EQ(RgbSaturation(0x006464C8), 128);
}

TEST(ColorMath, GradientRampEndsAndMidColour) {
    auto ramp = GradientRamp(5, 0x000000, 0x0000FF);
    ASSERT_EQ(ramp.size(), 5u);
    EXPECT_EQ(ramp.front(), 0x000000u);
    EXPECT_EQ(ramp.back(), 0x0000FFu);
    EXPECT_EQ(ramp[2], 0x000080u);  // (2 + 2 * 255) / 4 = 128
    // One colour: half-way between the ends, per channel.
    EXPECT_EQ(GradientRamp(1, 0x000000, 0xC8C8C8), std::vector<TRgb>{0x646464});
    EXPECT_TRUE(GradientRamp(0, 0, 0xFFFFFF).empty());
    // Falling channels truncate toward zero: 100 + (1 - 5) / 2 = 98, 100 + (1 - 10) / 2 = 96.
    EXPECT_EQ(GradientRamp(3, 0x000064, 0x00005F), (std::vector<TRgb>{0x64, 0x62, 0x60}));
}

TEST(ColorMath, GradientCacheReusesSlotsAndOverwritesRoundRobin) {
    TGradientCache cache;
    int a = cache.Colors(10, 0x000000, 0xFFFFFF);
    long fills = cache.Fills();
    EXPECT_EQ(cache.Colors(10, 0x000000, 0xFFFFFF), a);
    EXPECT_EQ(cache.Fills(), fills);  // not filled again
    // A falling gradient and a single colour are found again too.
    int b = cache.Colors(7, 0xFFFFFF, 0x000000);
    int c = cache.Colors(1, 0x000000, 0x202020);
    fills = cache.Fills();
    EXPECT_EQ(cache.Colors(7, 0xFFFFFF, 0x000000), b);
    EXPECT_EQ(cache.Colors(1, 0x000000, 0x202020), c);
    EXPECT_EQ(cache.Fills(), fills);
    EXPECT_EQ(cache.Slot(c), std::vector<TRgb>{0x101010});
    // Sixteen new tables later the first one has been overwritten.
    for (int i = 0; i < TGradientCache::SlotCount; ++i) cache.Colors(20 + i, 0, 0x0000FF);
    fills = cache.Fills();
    int again = cache.Colors(10, 0x000000, 0xFFFFFF);
    EXPECT_EQ(cache.Fills(), fills + 1);
    EXPECT_EQ(cache.Slot(again).size(), 10u);
    EXPECT_EQ(cache.Colors(0, 0, 0), -1);
}

}  // namespace
}  // namespace qx
