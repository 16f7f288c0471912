// Skin parts drawn at a display scale, from the skin's scaled pictures: what lands in which pixel.
#include "TestPictures.h"
#include "core/SkinScale.h"
#include "skin/ScaledPictures.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <vector>

namespace qx {
namespace {

using qxtest::Picture;

constexpr COLORREF kBackground = RGB(40, 80, 120);

// A w x h canvas in the background colour with the part drawn into rect.
std::unique_ptr<TBitmap> Drawn(const TSkinPart& part, TSkinState state, int w, int h, const TSkinScale& scale) {
    auto canvas = Picture(w, h, [](int, int) { return kBackground; });
    DrawSkinPart(canvas->Canvas().Handle(), part, state, RECT{0, 0, w, h}, scale);
    return canvas;
}

COLORREF At(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

// Two keyed frames of 10 x 12: a ring of magenta, then a rough pattern that would show any
// pixel taken from the wrong place.
COLORREF Rough(int x, int y) {
    const int fx = x % 10;
    if (fx == 0 || y == 0 || fx == 9 || y == 11 || (fx == 5 && y == 6)) return SkinKeyColor;
    return RGB((x * 37) % 256, (y * 53) % 256, (x * y * 11) % 256);
}

TSkinPart KeyedNineSlice(TBitmap& image) {
    TSkinPart part;
    part.Image = &image;
    part.Frames = 2;
    part.Order = TPictureOrder::PressedHot;
    part.Margins = TFrameMargins{3, 4, 3, 2};
    part.Keyed = true;
    return part;
}

TEST(SkinScaleDraw, TwoHundredPercentIsTheNinetySixDpiPictureWithEveryPixelDoubled) {
    auto image = Picture(20, 12, Rough);
    TScaledSkinPictures pictures;
    pictures.SetBudget(1 << 20);
    const TSkinPart part = KeyedNineSlice(*image);
    // The centre (4 x 6) stretched twice across and down, the corners and edges as they are.
    auto plain = Drawn(part, TSkinState::Pressed, 14, 18, TSkinScale{96, &pictures});
    auto twice = Drawn(part, TSkinState::Pressed, 28, 36, TSkinScale{192, &pictures});
    for (int y = 0; y < 36; ++y)
        for (int x = 0; x < 28; ++x) ASSERT_EQ(At(*twice, x, y), At(*plain, x / 2, y / 2)) << x << "," << y;
    EXPECT_EQ(At(*twice, 0, 0), kBackground);       // the key ring lets the background through
    EXPECT_EQ(At(*twice, 15, 17), kBackground);     // ... and so does the key dot, now 4 x 4 in the centre
    EXPECT_EQ(pictures.Made(), 1);
}

TEST(SkinScaleDraw, BetweenWholeMultiplesTheSkinIsSmoothAndTheKeyStaysExact) {
    // A gentle gradient inside a ring of key: at 150 % every pixel is the background (where
    // the key was) or close to the 96-dpi pixel it comes from; none is magenta or a blend of it.
    auto image = Picture(16, 16, [](int x, int y) {
        if (x == 0 || y == 0 || x == 15 || y == 15) return SkinKeyColor;
        return RGB(60 + x * 8, 200 - y * 8, 100 + (x + y) * 2);
    });
    TSkinPart part;
    part.Image = image.get();
    part.Layout = TPartLayout::Cell;
    part.Keyed = true;
    TScaledSkinPictures pictures;
    pictures.SetBudget(1 << 20);
    auto plain = Drawn(part, TSkinState::Normal, 16, 16, TSkinScale{96, &pictures});
    auto scaled = Drawn(part, TSkinState::Normal, 24, 24, TSkinScale{144, &pictures});
    int blended = 0;
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 24; ++x) {
            const COLORREF p = At(*scaled, x, y), q = At(*plain, (2 * x + 1) / 3, (2 * y + 1) / 3);
            ASSERT_NE(p, SkinKeyColor);
            if (q == kBackground) {
                ASSERT_EQ(p, kBackground) << x << "," << y;
                continue;
            }
            ASSERT_NE(p, kBackground) << x << "," << y;
            ASSERT_LE(std::abs(GetRValue(p) - GetRValue(q)), 10) << x << "," << y;
            ASSERT_LE(std::abs(GetGValue(p) - GetGValue(q)), 10) << x << "," << y;
            blended += p != q;
        }
    EXPECT_GT(blended, 0);  // smooth, not repeated pixels
}

TEST(SkinScaleDraw, PicturesAreScaledOncePerScaleAndNotBeyondTheBudget) {
    auto image = Picture(20, 12, Rough);
    const TSkinPart part = KeyedNineSlice(*image);
    TScaledSkinPictures pictures;
    pictures.SetBudget(1 << 20);
    for (int i = 0; i < 3; ++i) Drawn(part, TSkinState::Normal, 40, 30, TSkinScale{144, &pictures});
    Drawn(part, TSkinState::Pressed, 60, 30, TSkinScale{144, &pictures});
    EXPECT_EQ(pictures.Made(), 1);
    EXPECT_EQ(pictures.Pixels(), 30 * 18);  // two frames of 15 x 18
    Drawn(part, TSkinState::Normal, 40, 30, TSkinScale{192, &pictures});
    EXPECT_EQ(pictures.Made(), 2);

    // A new picture in the same bitmap is scaled anew, not taken from the old one.
    image->Assign(*Picture(20, 12, [](int, int) { return RGB(9, 9, 9); }));
    const std::int64_t before = pictures.Pixels();
    auto fresh = Drawn(part, TSkinState::Normal, 30, 24, TSkinScale{192, &pictures});
    EXPECT_EQ(At(*fresh, 15, 12), RGB(9, 9, 9));
    EXPECT_EQ(pictures.Pixels(), before);  // the old picture's strip gave its pixels back

    // Over the budget the picture is drawn unscaled into the same rectangle, and not tried again.
    TScaledSkinPictures tight;
    tight.SetBudget(100);
    auto fallback = Drawn(part, TSkinState::Normal, 30, 24, TSkinScale{192, &tight});
    auto unscaled = Drawn(part, TSkinState::Normal, 30, 24, TSkinScale{96, nullptr});
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(At(*fallback, x, y), At(*unscaled, x, y));
    EXPECT_EQ(tight.Pixels(), 0);
    EXPECT_EQ(tight.Made(), 0);
}

TEST(SkinScaleDraw, EachStateIsScaledWhenFirstDrawnAndIsWhatTheWholeStripGives) {
    // A window shows one state of its frame pieces: the other state waits until it is drawn,
    // and then lands exactly as it would have from a strip scaled all at once.
    auto image = Picture(20, 12, Rough);
    const TSkinPart part = KeyedNineSlice(*image);
    TScaledSkinPictures byState, whole;
    byState.SetBudget(1 << 20);
    whole.SetBudget(1 << 20);
    const TSkinScale lazy{144, &byState}, all{144, &whole};
    TBitmap* wholeStrip = ScaledSkinPart(part, all).Image;
    auto sameAsWhole = [&](TSkinState state) {
        auto a = Drawn(part, state, 40, 30, lazy);
        auto b = Drawn(ScaledSkinPart(part, all), state, 40, 30, TSkinScale{});
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 40; ++x) ASSERT_EQ(At(*a, x, y), At(*b, x, y)) << x << "," << y;
    };
    sameAsWhole(TSkinState::Normal);
    TBitmap* strip = ScaledSkinPart(part, lazy, TSkinState::Normal).Image;
    ASSERT_NE(strip, nullptr);
    int unscaled = 0;  // second frame (from x = 15) not made yet
    for (int y = 0; y < 18; ++y)
        for (int x = 15; x < 30; ++x) unscaled += At(*strip, x, y) != At(*wholeStrip, x, y);
    EXPECT_GT(unscaled, 100);
    sameAsWhole(TSkinState::Pressed);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 30; ++x) ASSERT_EQ(At(*strip, x, y), At(*wholeStrip, x, y)) << x << "," << y;
    EXPECT_EQ(byState.Made(), 1);
    EXPECT_EQ(byState.Pixels(), whole.Pixels());
}

TEST(SkinScaleDraw, GlyphsKeptReadyLandAsDrawnAnewAndGoWithTheirPicture) {
    // Check and radio glyphs are drawn from a copy kept ready: over any background (keyed), over
    // the colour the painter filled (the key in that colour), cut by the destination's edge, at
    // 96 and 144 dpi, they must land exactly where and as the part drawn anew does.
    auto image = Picture(20, 12, Rough);
    TSkinPart glyphs = KeyedNineSlice(*image);
    glyphs.Layout = TPartLayout::Cell;
    glyphs.Margins = {};
    const long gdiBefore = GdiLiveObjects();
    TScaledSkinPictures pictures;
    pictures.SetBudget(1 << 20);
    auto patterned = [](int x, int y) { return RGB(x * 7, y * 9, (x ^ y) * 5); };
    for (const int dpi : {96, 144}) {
        const TSkinScale scale{dpi, &pictures};
        for (const TSkinState state : {TSkinState::Normal, TSkinState::Pressed}) {
            for (const RECT rect : {RECT{3, 4, 13, 16}, RECT{6, -5, 21, 13}, RECT{20, 10, 35, 28}}) {
                for (const bool overFace : {false, true}) {
                    auto background = overFace ? [](int, int) { return kBackground; } : patterned;
                    auto kept = Picture(26, 22, background), anew = Picture(26, 22, background);
                    const std::optional<COLORREF> under = overFace ? std::optional(kBackground) : std::nullopt;
                    for (int twice = 0; twice < 2; ++twice)
                        DrawSkinGlyph(kept->Canvas().Handle(), glyphs, state, rect, scale, under);
                    DrawSkinPart(anew->Canvas().Handle(), glyphs, state, rect, scale);
                    for (int y = 0; y < 22; ++y)
                        for (int x = 0; x < 26; ++x)
                            ASSERT_EQ(At(*kept, x, y), At(*anew, x, y))
                                << dpi << " dpi, " << rect.left << "," << rect.top << " at " << x << "," << y;
                }
            }
        }
    }
    // A new picture in the same bitmap is drawn, not the copy kept from the old one.
    image->Assign(*Picture(20, 12, [](int, int) { return RGB(9, 9, 9); }));
    auto fresh = Picture(12, 12, [](int, int) { return kBackground; });
    DrawSkinGlyph(fresh->Canvas().Handle(), glyphs, TSkinState::Normal, RECT{0, 0, 10, 12}, TSkinScale{96, &pictures});
    EXPECT_EQ(At(*fresh, 5, 6), RGB(9, 9, 9));
    // The kept copies are the skin's: they go when its pictures do, every handle with them.
    pictures.Clear();
    fresh.reset();
    EXPECT_EQ(GdiLiveObjects(), gdiBefore);
}

}  // namespace
}  // namespace qx
