// The drawing primitives on memory bitmaps: what lands in which pixel.
#include "TestPictures.h"
#include "skin/SkinDraw.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

namespace qx {
namespace {

using qxtest::Picture;

std::unique_ptr<TBitmap> Filled(int w, int h, COLORREF c) {
    return Picture(w, h, [c](int, int) { return c; });
}

COLORREF At(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

// Two 10 x 10 frames side by side; with margins 3 every pixel names its frame and its slice
// (0..8, row-major), and centre column 3 of each frame is marked for the tiling test.
COLORREF SliceColour(int x, int y) {
    int frame = x / 10, fx = x % 10;
    int col = fx < 3 ? 0 : fx >= 7 ? 2 : 1, row = y < 3 ? 0 : y >= 7 ? 2 : 1;
    int slice = row * 3 + col;
    if (slice == 4 && fx == 3) return RGB(200, 0, frame);
    return RGB(slice * 20, 100 + frame, 0);
}
COLORREF Slice(int slice, int frame = 2) { return RGB(slice * 20, 99 + frame, 0); }

const TFrameMargins Margins3{3, 3, 3, 3};

// A strip of `frames` pictures side by side, following the states normal, hot, pressed:
// picture 2 is the hot one.
TSkinPart Strip(TBitmap& image, int frames, const TFrameMargins& margins = {},
                TPartLayout layout = TPartLayout::NineSlice) {
    TSkinPart part;
    part.Image = &image;
    part.Frames = frames;
    part.Order = TPictureOrder::HotPressed;
    part.Layout = layout;
    part.Margins = margins;
    return part;
}

TSkinPart Tiled(TSkinPart part) {
    part.Tiled = true;
    return part;
}

TSkinPart Keyed(TSkinPart part) {
    part.Keyed = true;
    return part;
}

// Picture 2 of a strip of two, nine-sliced to a bitmap of w x h.
std::unique_ptr<TBitmap> Second(const TSkinPart& part, int w, int h) {
    return MakeSkinPartBitmap(part, TSkinState::Hot, SIZE{w, h});
}

TEST(SkinDraw, NineSliceKeepsCornersStretchesEdgesAndPicksTheFrame) {
    auto image = Picture(20, 10, SliceColour);
    auto b = Second(Strip(*image, 2, Margins3), 40, 30);
    ASSERT_EQ(b->Width(), 40);
    ASSERT_EQ(b->Height(), 30);
    // Corners keep their 3 x 3 size exactly.
    EXPECT_EQ(At(*b, 2, 2), Slice(0));
    EXPECT_EQ(At(*b, 3, 2), Slice(1));
    EXPECT_EQ(At(*b, 2, 3), Slice(3));
    EXPECT_EQ(At(*b, 37, 0), Slice(2));
    EXPECT_EQ(At(*b, 36, 0), Slice(1));
    EXPECT_EQ(At(*b, 0, 27), Slice(6));
    EXPECT_EQ(At(*b, 39, 29), Slice(8));
    EXPECT_EQ(At(*b, 37, 27), Slice(8));
    EXPECT_EQ(At(*b, 36, 26), Slice(4));
    // Edges stretch along their length only.
    EXPECT_EQ(At(*b, 0, 15), Slice(3));
    EXPECT_EQ(At(*b, 39, 15), Slice(5));
    EXPECT_EQ(At(*b, 20, 29), Slice(7));
    // Frame 1 of the same strip is another colour family.
    auto first = MakeSkinPartBitmap(Strip(*image, 2, Margins3), TSkinState::Normal, SIZE{40, 30});
    EXPECT_EQ(At(*first, 0, 0), Slice(0, 1));
}

TEST(SkinDraw, AbsurdMarginsAndFramesFromASkinActAsTheirSizeSays) {
    auto image = Picture(20, 10, SliceColour);
    // Margins wider than any window are dropped, as margins that do not fit are: the whole
    // frame is stretched, exactly as with no margins.
    const TFrameMargins huge{INT_MAX, INT_MAX, INT_MAX, INT_MAX};
    auto expected = Second(Strip(*image, 2), 40, 30);
    auto b = Second(Strip(*image, 2, huge), 40, 30);
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 40; x += 3) ASSERT_EQ(At(*b, x, y), At(*expected, x, y)) << x << "," << y;
    // Margins below any size count as none, stretched or tiled: the whole frame is the centre.
    const TFrameMargins below{INT_MIN, INT_MIN, INT_MIN, INT_MIN};
    auto none = Second(Strip(*image, 2, below), 40, 30);
    auto tiled = Second(Tiled(Strip(*image, 2, below)), 40, 30);
    auto tiles = Second(Tiled(Strip(*image, 2)), 40, 30);
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 40; x += 3) {
            ASSERT_EQ(At(*none, x, y), At(*expected, x, y)) << x << "," << y;
            ASSERT_EQ(At(*tiled, x, y), At(*tiles, x, y)) << x << "," << y;
        }
    // A picture far past the strip lies outside the image, however far: it never wraps round
    // to one of the strip's own pictures.
    TSkinPart past = Strip(*image, 2);
    past.Group = INT_MAX;
    auto beyond = Filled(40, 30, RGB(7, 7, 7));
    DrawSkinPart(beyond->Canvas().Handle(), past, TSkinState::Hot, RECT{0, 0, 40, 30});
    for (int y = 0; y < 30; y += 3)
        for (int x = 0; x < 40; x += 3) {
            const int g = GetGValue(At(*beyond, x, y));
            ASSERT_TRUE(g != 100 && g != 101 && !(GetRValue(At(*beyond, x, y)) == 200 && g == 0)) << x << "," << y;
        }
    // Three slices across keep their margins whatever they are: a left margin wider than the
    // frame shows the frame at its own size from the left edge.
    auto target = Filled(40, 10, RGB(7, 7, 7));
    DrawSkinPart(target->Canvas().Handle(), Strip(*image, 2, huge, TPartLayout::ThreeAcross), TSkinState::Hot,
                 RECT{0, 0, 40, 10});
    EXPECT_EQ(At(*target, 1, 1), Slice(0));
    EXPECT_EQ(At(*target, 5, 5), Slice(4));
}

TEST(SkinDraw, StackedFramesAreCountedDownwards) {
    // Two 10 x 5 frames one above the other.
    auto image = Picture(10, 10, [](int, int y) { return y < 5 ? RGB(1, 1, 1) : RGB(2, 2, 2); });
    TSkinPart stacked = Strip(*image, 2);
    stacked.Stacked = true;
    auto b = Second(stacked, 20, 20);
    EXPECT_EQ(At(*b, 0, 0), RGB(2, 2, 2));
    EXPECT_EQ(At(*b, 19, 19), RGB(2, 2, 2));
}

TEST(SkinDraw, NineSliceDropsMarginsThatDoNotFit) {
    auto image = Picture(20, 10, SliceColour);
    // 5 wide < 3 + 3: both side margins go, so the middle column x = 2 shows the frame's
    // centre; the top and bottom margins still fit.
    auto b = Second(Strip(*image, 2, Margins3), 5, 30);
    EXPECT_EQ(At(*b, 2, 15), Slice(4));
    EXPECT_EQ(At(*b, 2, 0), Slice(1));
    EXPECT_EQ(At(*b, 0, 15), Slice(3));
    // Both ways at once: 5 x 5 is the whole frame stretched.
    auto c = Second(Strip(*image, 2, Margins3), 5, 5);
    EXPECT_EQ(At(*c, 2, 2), Slice(4));
}

TEST(SkinDraw, TiledCentreRepeatsWholeTilesAndTheEdgesCoverTheSpill) {
    auto image = Picture(20, 10, SliceColour);
    // Centre 5 wide from a 4-wide tile: tiles at x = 3 and 7, the second spilling to 10.
    auto b = Second(Tiled(Strip(*image, 2, Margins3)), 11, 11);
    const COLORREF marked = RGB(200, 0, 1);
    EXPECT_EQ(At(*b, 3, 5), marked);
    EXPECT_EQ(At(*b, 7, 5), marked);  // tiled, not stretched
    EXPECT_EQ(At(*b, 4, 5), Slice(4));
    EXPECT_EQ(At(*b, 8, 5), Slice(5));  // the right edge drawn over the spill
    EXPECT_EQ(At(*b, 7, 8), Slice(7));  // the bottom edge likewise
    EXPECT_EQ(At(*b, 8, 8), Slice(8));
    // Stretched instead, column 7 is not a tile start.
    auto s = Second(Strip(*image, 2, Margins3), 11, 11);
    EXPECT_NE(At(*s, 7, 5), marked);
}

TEST(SkinDraw, TilesAreLaidWholeFromTheTargetsCornerWhereverTheDestinationBegins) {
    // A 3 x 2 tile of six colours, laid from a corner left of and above the bitmap.
    auto tile = Picture(3, 2, [](int x, int y) { return RGB(40 * x, 100 * y, 7); });
    auto target = Filled(101, 53, RGB(1, 2, 3));
    DrawSkinPart(target->Canvas().Handle(), Tiled(Strip(*tile, 1)), TSkinState::Normal, RECT{-4, -1, 96, 53});
    for (int y = 0; y < 53; ++y)
        for (int x = 0; x < 101; ++x) {
            // The last tile, cut at the rectangle's edge.
            const COLORREF wanted = x < 96 ? RGB(40 * ((x + 4) % 3), 100 * ((y + 1) % 2), 7) : RGB(1, 2, 3);
            ASSERT_EQ(At(*target, x, y), wanted) << x << "," << y;
        }
}

TEST(SkinDraw, WorkStaysWithinWhatTheDestinationShowsWhateverTheSkinSays) {
    // One large picture drawn into a small destination every way a skin can ask for.
    auto big = Picture(1500, 1500, [](int x, int y) { return RGB(x % 256, y % 256, 9); });
    auto target = Filled(60, 20, RGB(0, 0, 0));
    HDC dc = target->Canvas().Handle();
    const std::int64_t shown = 60 * 20;
    auto within = [&](const char* what, const std::function<void()>& draw) {
        ResetSkinDrawLargestWork();
        draw();
        EXPECT_LE(SkinDrawLargestWork(), shown) << what;
    };
    TDataSkinObject part("Buttons");
    part.Bitmap.Share(*big);
    part.Frame = 1;
    part.Tile = 1;
    part.Margins = {INT_MIN + 1, INT_MIN + 1, INT_MIN + 1, INT_MIN + 1};
    const auto element = [&] { return SkinPart(part, TPictureOrder::Single); };
    within("tiled part, margins far below zero",
           [&] { DrawSkinPart(dc, element(), TSkinState::Normal, RECT{0, 0, 60, 20}); });
    EXPECT_EQ(At(*target, 59, 19), RGB(59, 19, 9)) << "whole tiles from the corner";
    part.Margins = {INT_MAX, 2, INT_MAX, 2};
    within("a part far larger than its rectangle",
           [&] { DrawSkinPart(dc, element(), TSkinState::Normal, RECT{-5000, -5000, 5000, 5000}); });
    within("a glyph cell of the picture's size", [&] {
        DrawSkinPart(dc, Keyed(Strip(*big, 1, {}, TPartLayout::Cell)), TSkinState::Normal, RECT{0, 0, 1500, 1500});
    });
    within("a centred glyph", [&] {
        DrawSkinPart(dc, Keyed(Strip(*big, 1, {}, TPartLayout::Centred)), TSkinState::Normal, RECT{0, 0, 60, 20});
    });
    within("a text background far wider than the strip", [&] {
        DrawSkinPart(dc, Keyed(Strip(*big, 1, TFrameMargins{INT_MAX, 0, INT_MIN, 0}, TPartLayout::ThreeAcross)),
                     TSkinState::Normal, RECT{-(1 << 30), 0, 1 << 30, 20});
    });
    within("a keyed transfer of the picture", [&] { TransparentBlt(dc, RECT{0, 0, 1500, 1500}, *big, SkinKeyColor); });
    EXPECT_EQ(At(*target, 30, 10), RGB(30, 10, 9));
    // The pictures stay whole: drawing from a shared picture never copies it.
    EXPECT_TRUE(part.Bitmap.SharesWith(*big));
}

TEST(SkinDraw, TransparentDrawsLeaveTheKeyColourAlone) {
    auto image = Picture(8, 8, [](int x, int y) { return (x + y) % 2 ? SkinKeyColor : RGB(10, 20, 30); });
    auto target = Filled(8, 8, RGB(0, 255, 0));
    HDC dc = target->Canvas().Handle();
    DrawSkinPart(dc, Keyed(Strip(*image, 1)), TSkinState::Normal, RECT{0, 0, 8, 8});
    EXPECT_EQ(At(*target, 0, 0), RGB(10, 20, 30));
    EXPECT_EQ(At(*target, 1, 0), RGB(0, 255, 0));
    EXPECT_EQ(At(*target, 7, 6), RGB(0, 255, 0));
    // Without the flag the key colour is copied like any other.
    DrawSkinPart(dc, Strip(*image, 1), TSkinState::Normal, RECT{0, 0, 8, 8});
    EXPECT_EQ(At(*target, 1, 0), SkinKeyColor);
    // An inverted rectangle paints nothing.
    auto blank = Filled(8, 8, RGB(1, 2, 3));
    DrawSkinPart(blank->Canvas().Handle(), Strip(*image, 1), TSkinState::Normal, RECT{6, 0, 2, 8});
    EXPECT_EQ(At(*blank, 4, 4), RGB(1, 2, 3));
}

TEST(SkinDraw, TransparentBltReadsFromTheTopLeftAsLargeAsTheRectangle) {
    auto image = Picture(4, 4, [](int x, int y) { return x == 0 ? SkinKeyColor : RGB(x, y, 7); });
    auto target = Filled(10, 10, RGB(50, 50, 50));
    TransparentBlt(target->Canvas().Handle(), RECT{5, 5, 7, 7}, *image, SkinKeyColor);
    EXPECT_EQ(At(*target, 5, 5), RGB(50, 50, 50));
    EXPECT_EQ(At(*target, 6, 6), RGB(1, 1, 7));
    EXPECT_EQ(At(*target, 7, 7), RGB(50, 50, 50));  // outside the rectangle
    // A rectangle larger than the picture: only the picture's own pixels are copied.
    auto wide = Filled(10, 10, RGB(50, 50, 50));
    TransparentBlt(wide->Canvas().Handle(), RECT{0, 0, 10, 10}, *image, SkinKeyColor);
    EXPECT_EQ(At(*wide, 3, 3), RGB(3, 3, 7));
    EXPECT_EQ(At(*wide, 4, 3), RGB(50, 50, 50));
    EXPECT_EQ(At(*wide, 3, 4), RGB(50, 50, 50));
}

TEST(SkinDraw, ThreeAcrossRepeatsTheMiddleAndCellsAndGlyphsPlaceTheirPicture) {
    auto image = Picture(20, 4, [](int x, int) { return RGB(x / 10 + 1, x % 10, 0); });
    auto target = Filled(30, 10, RGB(255, 255, 255));
    // Middle of frame 2 is columns 2..7 (6 wide): copies at 2 and 8, right cap at 13.
    DrawSkinPart(target->Canvas().Handle(), Strip(*image, 2, TFrameMargins{2, 0, 2, 0}, TPartLayout::ThreeAcross),
                 TSkinState::Hot, RECT{0, 0, 15, 8});
    EXPECT_EQ(At(*target, 8, 7), RGB(2, 2, 0));
    EXPECT_EQ(At(*target, 12, 0), RGB(2, 6, 0));
    EXPECT_EQ(At(*target, 13, 0), RGB(2, 8, 0));
    EXPECT_EQ(At(*target, 15, 0), RGB(255, 255, 255));
    DrawSkinPart(target->Canvas().Handle(), Strip(*image, 2, {}, TPartLayout::Cell), TSkinState::Normal,
                 RECT{20, 0, 30, 8});
    EXPECT_EQ(At(*target, 29, 7), RGB(1, 9, 0));
    // A 10 x 4 glyph in a 15 x 9 rectangle: x = 2, y = 2 (rounded toward zero).
    auto g = Filled(20, 20, RGB(0, 0, 0));
    DrawSkinPart(g->Canvas().Handle(), Strip(*image, 2, {}, TPartLayout::Centred), TSkinState::Hot, RECT{0, 0, 15, 9});
    EXPECT_EQ(At(*g, 2, 2), RGB(2, 0, 0));
    EXPECT_EQ(At(*g, 11, 5), RGB(2, 9, 0));
    EXPECT_EQ(At(*g, 1, 2), RGB(0, 0, 0));
    EXPECT_EQ(At(*g, 12, 2), RGB(0, 0, 0));
}

TEST(SkinDraw, RegionFromImage) {
    // All key colour: a valid, empty region.
    auto empty = Filled(30, 20, SkinKeyColor);
    TRegionHandle none = BitmapToRegion(*empty, 0, 0, 1, 1, 1, SkinKeyColor);
    ASSERT_TRUE(none);
    RECT box{};
    EXPECT_EQ(GetRgnBox(none.Get(), &box), NULLREGION);

    // The tolerance widens the key upwards only: green 1 is still the key, red 0xFE is not.
    auto shape = Picture(4, 1, [](int x, int) {
        return x == 0 ? RGB(255, 1, 255) : x == 1 ? RGB(254, 0, 255) : x == 2 ? SkinKeyColor : RGB(0, 0, 0);
    });
    TRegionHandle r = BitmapToRegion(*shape, 10, 5, 1, 1, 1, SkinKeyColor);
    EXPECT_FALSE(PtInRegion(r.Get(), 10, 5));
    EXPECT_TRUE(PtInRegion(r.Get(), 11, 5));
    EXPECT_FALSE(PtInRegion(r.Get(), 12, 5));
    EXPECT_TRUE(PtInRegion(r.Get(), 13, 5));
    EXPECT_FALSE(PtInRegion(r.Get(), 13, 6));
}

TEST(SkinDraw, RegionOfManyRunsSpansSeveralBlocks) {
    // 60 runs per row over 100 rows: 6,000 rectangles, three full blocks.
    auto dots = Picture(120, 100, [](int x, int y) { return (x + y) % 2 ? SkinKeyColor : RGB(0, 0, 0); });
    // Exact below the bound (the bound's own test is with the rectangle builder).
    TRegionHandle r = BitmapToRegion(*dots, 0, 0, 0, 0, 0, SkinKeyColor, 8000);
    EXPECT_EQ(RegionRectCount(r.Get()), 6000u);
    int wrong = 0;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 120; ++x) wrong += (PtInRegion(r.Get(), x, y) != 0) != ((x + y) % 2 == 0);
    EXPECT_EQ(wrong, 0);
}

TEST(SkinDraw, RotateMirrorFlipMovePixelsExactly) {
    // 3 x 2 with a distinct colour per pixel.
    auto make = [] { return Picture(3, 2, [](int x, int y) { return RGB(x, y, 9); }); };
    auto m = make();
    MirrorBitmap(*m);
    EXPECT_EQ(At(*m, 0, 0), RGB(2, 0, 9));
    EXPECT_EQ(At(*m, 2, 1), RGB(0, 1, 9));
    auto f = make();
    FlipBitmap(*f);
    EXPECT_EQ(At(*f, 0, 0), RGB(0, 1, 9));
    EXPECT_EQ(At(*f, 2, 1), RGB(2, 0, 9));
    auto l = make();
    RotateBitmapLeft(*l);
    ASSERT_EQ(l->Width(), 2);
    ASSERT_EQ(l->Height(), 3);
    EXPECT_EQ(l->PixelFormat(), TPixelFormat::pf24bit);
    // Anticlockwise: the old right column becomes the top row.
    EXPECT_EQ(At(*l, 0, 0), RGB(2, 0, 9));
    EXPECT_EQ(At(*l, 1, 0), RGB(2, 1, 9));
    EXPECT_EQ(At(*l, 0, 2), RGB(0, 0, 9));
    auto r = make();
    RotateBitmapRight(*r);
    ASSERT_EQ(r->Width(), 2);
    // Clockwise: the old left column, bottom first, becomes the top row.
    EXPECT_EQ(At(*r, 0, 0), RGB(0, 1, 9));
    EXPECT_EQ(At(*r, 1, 0), RGB(0, 0, 9));
    EXPECT_EQ(At(*r, 1, 2), RGB(2, 0, 9));
    // Four turns either way give the picture back.
    auto back = make();
    for (int i = 0; i < 4; ++i) RotateBitmapRight(*back);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(At(*back, x, 1), RGB(x, 1, 9));
}

TEST(SkinDraw, CopyAndGray) {
    auto src = Picture(5, 4, [](int x, int y) { return RGB(30, 60, 90 + x); });
    TBitmap copy;
    CopyBitmap(*src, copy);
    EXPECT_EQ(copy.Width(), 5);
    EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(At(copy, 4, 3), RGB(30, 60, 94));
    GrayBitmap(copy);
    EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(At(copy, 3, 0), RGB(61, 61, 61));  // (30 + 60 + 93) / 3
}

TEST(SkinDraw, ColoursResolveSystemColoursFirst) {
    EXPECT_EQ(BlendColor(0xC8, 0, 99), RGB(198, 0, 0));
    EXPECT_EQ(BlendColor(0xC8, 0, 100), RGB(20, 0, 0));
    EXPECT_EQ(BlendColor(0x808080, 0xFFFFFF, 150), RGB(236, 236, 236));
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(BlendColor(clBtnFace, 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(BlendColor(clBtnFace, clBtnFace, 40), face);
    EXPECT_EQ(ColorSaturation(0x00F4F4F4), 0);
    EXPECT_EQ(ColorSaturation(0x00000080), 200);

    long fills = SharedGradientCache().Fills();
    int slot = GradientColors(33, clBtnFace, 0xFFFFFF);
    EXPECT_EQ(SharedGradientCache().Fills(), fills + 1);
    EXPECT_EQ(GradientColors(33, face, 0xFFFFFF), slot);  // same colours once resolved
    EXPECT_EQ(SharedGradientCache().Fills(), fills + 1);
    int one = GradientColors(1, 0x000000, 0x0000C8);
    EXPECT_EQ(SharedGradientCache().Slot(one).front(), 0x000064u);
}

TEST(SkinDraw, GradientPaintsOnlyTheLinesInsideTheClipBox) {
    auto target = Filled(10, 20, RGB(1, 2, 3));
    HDC dc = target->Canvas().Handle();
    TRegionHandle clip(CreateRectRgn(0, 5, 10, 9));
    SelectClipRgn(dc, clip.Get());
    EXPECT_EQ(GradientFillRect(dc, RECT{0, 0, 10, 20}, 0x000000, true, 0x0000FF), 4);
    SelectClipRgn(dc, nullptr);
    EXPECT_EQ(At(*target, 5, 4), RGB(1, 2, 3));
    EXPECT_EQ(At(*target, 9, 9), RGB(1, 2, 3));
    // Line 5 of a 20-line ramp to 255: (9 + 5 * 255) / 19 = 67.
    EXPECT_EQ(At(*target, 0, 5), RGB(67, 0, 0));
    // Horizontal: lines across the width, all visible.
    EXPECT_EQ(GradientFillRect(dc, RECT{0, 0, 10, 20}, 0x000000, false, 0x00FF00), 10);
    EXPECT_EQ(At(*target, 9, 19), RGB(0, 255, 0));
    EXPECT_EQ(GradientFillRect(dc, RECT{0, 30, 10, 40}, 0, true, 0xFF), 0);  // outside the bitmap
}

TEST(SkinDraw, NoGdiObjectOutlivesItsDraw) {
    auto image = Picture(20, 10, SliceColour);
    auto target = Filled(50, 50, RGB(0, 0, 0));
    HDC dc = target->Canvas().Handle();
    const long before = GdiLiveObjects();
    for (int i = 0; i < 50; ++i) {
        const TSkinPart nine = Keyed(Strip(*image, 2, Margins3));
        DrawSkinPart(dc, i % 2 == 0 ? Tiled(nine) : nine, i % 2 ? TSkinState::Hot : TSkinState::Normal,
                     RECT{0, 0, 40, 40});
        DrawSkinPart(dc, Keyed(Strip(*image, 2, Margins3, TPartLayout::ThreeAcross)), TSkinState::Normal,
                     RECT{0, 0, 40, 8});
        DrawSkinPart(dc, Keyed(Strip(*image, 2, {}, TPartLayout::Centred)), TSkinState::Hot, RECT{0, 0, 40, 40});
        GradientFillRect(dc, RECT{0, 0, 40, 40}, 0, i % 2 == 0, 0xFFFFFF);
        TRegionHandle r = BitmapToRegion(*image, 0, 0, 1, 1, 1, SkinKeyColor);
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}

TEST(SkinDraw, WideTextReturnsTheTextHeight) {
    auto target = Filled(100, 40, RGB(255, 255, 255));
    RECT r{0, 0, 100, 40};
    EXPECT_GT(DrawTextWide(target->Canvas().Handle(), u"Ağ", r, DT_SINGLELINE | DT_CALCRECT), 0);
}

}  // namespace
}  // namespace qx
