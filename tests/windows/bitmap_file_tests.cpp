// Reading Windows bitmap files into the framework's bitmaps: pixel formats kept, pixels in
// the right place, and damaged files refused without touching the bitmap.
#include "SkinTestSupport.h"

#include "core/Stream.h"
#include "framework/Graphics.h"
#include "skin/SkinData.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

// A bottom-up paletted file; indices(x, y) for the pixel at x, y (top row 0).
std::vector<std::uint8_t> Paletted(int bits, int width, int height, const std::vector<std::uint32_t>& palette,
                                   const std::function<int(int, int)>& index) {
    const int stride = (width * bits + 31) / 32 * 4;
    const std::uint32_t offset = 54 + 4 * static_cast<std::uint32_t>(palette.size());
    std::vector<std::uint8_t> f(offset + static_cast<std::size_t>(stride) * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, offset);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    f[26] = 1;
    f[28] = static_cast<std::uint8_t>(bits);
    put32(46, static_cast<std::uint32_t>(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) {
        f[54 + 4 * i] = static_cast<std::uint8_t>(palette[i]);
        f[54 + 4 * i + 1] = static_cast<std::uint8_t>(palette[i] >> 8);
        f[54 + 4 * i + 2] = static_cast<std::uint8_t>(palette[i] >> 16);
    }
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &f[offset + static_cast<std::size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const int bit = x * bits;
            row[bit / 8] |= static_cast<std::uint8_t>(index(x, y) << (8 - bits - bit % 8));
        }
    }
    return f;
}

COLORREF Rgb(std::uint32_t rrggbb) { return RGB(rrggbb >> 16, (rrggbb >> 8) & 0xFF, rrggbb & 0xFF); }

void Load(TBitmap& bitmap, const std::vector<std::uint8_t>& file) {
    TSpanStream stream(file);
    bitmap.LoadFromStream(stream);
}

}  // namespace

TEST(BitmapFile, PalettedFilesKeepTheirFormatAndColours) {
    const std::vector<std::uint32_t> palette{0xFF0000, 0x0000FF, 0x00FF00, 0x123456};
    struct Case {
        int bits;
        TPixelFormat format;
    };
    for (Case c : {Case{1, TPixelFormat::pf1bit}, Case{4, TPixelFormat::pf4bit}, Case{8, TPixelFormat::pf8bit}}) {
        SCOPED_TRACE(c.bits);
        const int colours = c.bits == 1 ? 2 : 4;
        // Odd width: the last byte of each row is partly padding.
        auto index = [colours](int x, int y) { return (x + 2 * y) % colours; };
        TBitmap b;
        Load(b, Paletted(c.bits, 13, 5, {palette.begin(), palette.begin() + colours}, index));
        EXPECT_EQ(b.PixelFormat(), c.format);
        ASSERT_EQ(b.Width(), 13);
        ASSERT_EQ(b.Height(), 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 13; ++x) ASSERT_EQ(b.Canvas().Pixel(x, y), Rgb(palette[index(x, y)])) << x << "," << y;
    }
}

TEST(BitmapFile, TrueColourRowsLandTopDown) {
    auto colour = [](int x, int y) -> std::uint32_t { return y == 0 ? 0xFF0000 : (x == 0 ? 0x00FF00 : 0x0000FF); };
    TBitmap b;
    Load(b, qxtest::Bmp24(7, 3, colour));
    EXPECT_EQ(b.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(b.Canvas().Pixel(4, 0), RGB(255, 0, 0));
    EXPECT_EQ(b.Canvas().Pixel(0, 2), RGB(0, 255, 0));
    EXPECT_EQ(b.Canvas().Pixel(6, 2), RGB(0, 0, 255));

    // 32 bits per pixel stays 32 bits; the same file with its height negated is top-down.
    std::vector<std::uint8_t> f(54 + 2 * 2 * 4, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B', f[1] = 'M';
    put32(10, 54), put32(14, 40), put32(18, 2), put32(22, static_cast<std::uint32_t>(-2));
    f[26] = 1, f[28] = 32;
    put32(54, 0x00112233);  // first row in the file is the top row here
    put32(66, 0x00445566);
    TBitmap b32;
    Load(b32, f);
    EXPECT_EQ(b32.PixelFormat(), TPixelFormat::pf32bit);
    EXPECT_EQ(b32.Canvas().Pixel(0, 0), RGB(0x11, 0x22, 0x33));
    EXPECT_EQ(b32.Canvas().Pixel(1, 1), RGB(0x44, 0x55, 0x66));
}

TEST(BitmapFile, DamagedFilesAreRefusedAndLeaveTheBitmapAsItWas) {
    TBitmap b;
    Load(b, qxtest::Solid24(3, 2, 0x00FF00));
    const std::vector<std::uint8_t> good = qxtest::Bmp24(40, 30, [](int, int) { return 0xFF0000u; });
    std::vector<std::vector<std::uint8_t>> bad;
    bad.push_back({});                                        // nothing
    bad.push_back({good.begin(), good.begin() + 20});         // header cut
    bad.push_back({good.begin(), good.end() - 100});          // pixels cut
    auto wrongSignature = good;
    wrongSignature[0] = 'X';
    bad.push_back(wrongSignature);
    auto huge = good;
    const std::uint32_t big = 0x7FFFFFFF;
    std::memcpy(&huge[18], &big, 4);  // claims an enormous width
    bad.push_back(huge);
    auto offsetOut = good;
    const std::uint32_t beyond = 0xFFFFFFF0;
    std::memcpy(&offsetOut[10], &beyond, 4);
    bad.push_back(offsetOut);
    auto rle = good;
    rle[30] = 1;  // run-length compression
    bad.push_back(rle);
    for (std::size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_THROW(Load(b, bad[i]), EStreamError);
        EXPECT_EQ(b.Width(), 3);
        EXPECT_EQ(b.Height(), 2);
        EXPECT_EQ(b.Canvas().Pixel(2, 1), RGB(0, 255, 0));
    }
}

TEST(BitmapFile, BuiltInSkinResources) {
    TBitmap menu, track, trackVert, none;
    ASSERT_TRUE(LoadBitmapResource(menu, L"ORVANEMENU"));
    EXPECT_EQ(menu.Width(), 64);
    EXPECT_EQ(menu.Height(), 16);
    EXPECT_EQ(menu.PixelFormat(), TPixelFormat::pf1bit);
    EXPECT_EQ(menu.Canvas().Pixel(0, 0), RGB(255, 255, 255));  // the mask colour around the glyphs
    ASSERT_TRUE(LoadBitmapResource(track, L"TRACK"));
    EXPECT_EQ(track.Width(), 16);
    EXPECT_EQ(track.Height(), 4);
    ASSERT_TRUE(LoadBitmapResource(trackVert, L"TRACKVERT"));
    EXPECT_EQ(trackVert.Width(), 4);
    EXPECT_EQ(trackVert.Height(), 16);
    EXPECT_FALSE(LoadBitmapResource(none, L"NOSUCHBITMAP"));
    EXPECT_TRUE(none.Empty());
}

TEST(Bitmap, SharedPicturesAreHeldOnceUntilOneIsChangedAsAWhole) {
    const long before = GdiLiveObjects();
    {
        TBitmap original;
        const std::vector<std::uint8_t> bytes = qxtest::Solid24(6, 4, 0x102030);
        original.LoadFromBytes(bytes);
        TBitmap a, b;
        a.Share(original);
        b.Share(a);
        EXPECT_TRUE(b.SharesWith(original));
        EXPECT_EQ(b.Handle(), original.Handle());
        EXPECT_EQ(b.Canvas().Handle(), original.Canvas().Handle()) << "one canvas for one picture";
        EXPECT_EQ(GetPixel(a.Canvas().Handle(), 5, 3), RGB(0x10, 0x20, 0x30));

        a.SetSize(3, 3);  // a picture of its own, with the old one's top-left part
        EXPECT_FALSE(a.SharesWith(original));
        EXPECT_EQ(GetPixel(a.Canvas().Handle(), 2, 2), RGB(0x10, 0x20, 0x30));
        EXPECT_EQ(original.Width(), 6);

        b.Unshare();  // a copy, changed alone
        EXPECT_FALSE(b.SharesWith(original));
        SetPixel(b.Canvas().Handle(), 0, 0, RGB(1, 1, 1));
        EXPECT_EQ(GetPixel(original.Canvas().Handle(), 0, 0), RGB(0x10, 0x20, 0x30));

        TBitmap c;
        c.Share(original);
        original.Clear();  // the others keep the picture
        EXPECT_EQ(c.Width(), 6);
        EXPECT_EQ(GetPixel(c.Canvas().Handle(), 1, 1), RGB(0x10, 0x20, 0x30));
        c.Assign(c);
        original.Assign(c);
        EXPECT_FALSE(original.SharesWith(c));
        EXPECT_EQ(GetPixel(original.Canvas().Handle(), 1, 1), RGB(0x10, 0x20, 0x30));
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}
