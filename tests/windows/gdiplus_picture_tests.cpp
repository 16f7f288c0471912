#include "TestCanvas.h"
#include "components/GdiPlusPicture.h"
#include "core/Png.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

using namespace qx;

namespace {

std::vector<std::uint8_t> Resource(const wchar_t* name, const wchar_t* type) {
    HRSRC info = FindResourceW(nullptr, name, type);
    if (!info) return {};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
    return {data, data + SizeofResource(nullptr, info)};
}

void Put16(std::vector<std::uint8_t>& v, std::size_t at, unsigned x) {
    v[at] = x & 0xFF;
    v[at + 1] = (x >> 8) & 0xFF;
}
void Put32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = (x >> (8 * i)) & 0xFF;
}

// A bitmap file with a 40-byte header; rows as given (bottom-up when height > 0).
std::vector<std::uint8_t> BitmapFile(int width, int height, int bpp, const std::vector<std::uint32_t>& palette,
                                     const std::vector<std::uint8_t>& rows) {
    const std::size_t off = 14 + 40 + 4 * palette.size();
    std::vector<std::uint8_t> f(off + rows.size());
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 2, std::uint32_t(f.size()));
    Put32(f, 10, std::uint32_t(off));
    Put32(f, 14, 40);
    Put32(f, 18, std::uint32_t(width));
    Put32(f, 22, std::uint32_t(height));
    Put16(f, 26, 1);
    Put16(f, 28, bpp);
    Put32(f, 46, std::uint32_t(palette.size()));
    for (std::size_t i = 0; i < palette.size(); ++i) Put32(f, 54 + 4 * i, palette[i]);
    std::memcpy(f.data() + off, rows.data(), rows.size());
    return f;
}

}  // namespace

TEST(GdiPlusPicture, TheCloudDecodesAtItsSizeAndBlendsOverTheBackground) {
    TGdiPlusPicture picture;
    EXPECT_TRUE(picture.Empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    auto png = Resource(L"CLOUD128", MAKEINTRESOURCEW(10));  // RT_RCDATA
    ASSERT_FALSE(png.empty());
    picture.LoadFromBytes(png);
    ASSERT_EQ(picture.Width(), 128);
    ASSERT_EQ(picture.Height(), 128);

    TTestCanvas canvas(160, 160, RGB(255, 0, 255));
    picture.Draw(canvas.Dc(), RECT{16, 16, 144, 144});
    EXPECT_EQ(canvas.At(16, 16), RGB(255, 0, 255));    // transparent corner
    EXPECT_EQ(canvas.At(10, 80), RGB(255, 0, 255));    // outside the rectangle
    EXPECT_EQ(canvas.At(16 + 64, 16 + 64), RGB(255, 255, 255));  // the arrow
    const COLORREF body = canvas.At(16 + 25, 16 + 85);
    EXPECT_GT(GetGValue(body), GetRValue(body) + 60);  // teal over magenta shows no magenta
    EXPECT_GT(GetBValue(body), GetRValue(body) + 60);

    TMemoryStream saved;
    picture.SaveToStream(saved);
    EXPECT_EQ(saved.Vector(), png);
}

TEST(GdiPlusPicture, OwnPngDecodingGivesThePlatformsPixels) {
    ASSERT_TRUE(GdiPlusAvailable());
    for (const wchar_t* name : {L"CLOUD128", L"ROCKET32"}) {
        SCOPED_TRACE(testing::Message() << name);
        auto png = Resource(name, MAKEINTRESOURCEW(10));
        TPngPixels own;
        std::string error;
        ASSERT_TRUE(DecodePng(png, own, error)) << error;

        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, png.size());
        std::memcpy(GlobalLock(memory), png.data(), png.size());
        GlobalUnlock(memory);
        IStream* stream = nullptr;
        ASSERT_EQ(CreateStreamOnHGlobal(memory, TRUE, &stream), S_OK);
        {
            Gdiplus::Bitmap platform(stream);
            ASSERT_EQ(platform.GetLastStatus(), Gdiplus::Ok);
            ASSERT_EQ(int(platform.GetWidth()), own.Width);
            ASSERT_EQ(int(platform.GetHeight()), own.Height);
            Gdiplus::Rect all(0, 0, own.Width, own.Height);
            Gdiplus::BitmapData data{};
            ASSERT_EQ(platform.LockBits(&all, Gdiplus::ImageLockModeRead, PixelFormat32bppPARGB, &data), Gdiplus::Ok);
            int differing = 0;
            for (int y = 0; y < own.Height; ++y) {
                const auto* row = reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(data.Scan0) +
                                                                        std::ptrdiff_t{y} * data.Stride);
                for (int x = 0; x < own.Width; ++x) {
                    const std::uint32_t a = row[x], b = own.Pixels[std::size_t(y) * own.Width + x];
                    for (int shift = 0; shift < 32; shift += 8)
                        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 1) ++differing;
                }
            }
            platform.UnlockBits(&data);
            EXPECT_EQ(differing, 0);  // rounding of the premultiplication aside
        }
        stream->Release();
    }
}

TEST(GdiPlusPicture, RequestedSizeScalesTheDecodedImage) {
    TGdiPlusPicture picture;
    picture.LoadFromBytes(Resource(L"ROCKET32", MAKEINTRESOURCEW(10)));
    EXPECT_EQ(picture.Width(), 32);
    picture.SetRequestedSize(64, 48);
    EXPECT_EQ(picture.Width(), 64);
    EXPECT_EQ(picture.Height(), 48);
    picture.SetRequestedSize(0, 48);  // one side 0: no resize
    EXPECT_EQ(picture.Width(), 32);
}

TEST(GdiPlusPicture, BitmapBytesTakeTheBitmapPath) {
    // 3 x 2, 24-bit, bottom-up: the first row in the file is the bottom one
    const std::vector<std::uint8_t> rows = {
        0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,         // bottom: red, green, blue
        255, 255, 255, 0, 0, 0, 128, 128, 128, 0, 0, 0};  // top: white, black, grey
    TGdiPlusPicture picture;
    picture.LoadFromBytes(BitmapFile(3, 2, 24, {}, rows));
    ASSERT_EQ(picture.Width(), 3);
    ASSERT_EQ(picture.Height(), 2);
    TTestCanvas canvas(3, 2, RGB(255, 0, 255));
    Gdiplus::Graphics g(canvas.Dc());
    g.SetInterpolationMode(Gdiplus::InterpolationModeNearestNeighbor);
    g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
    picture.Draw(g, 0, 0, 3, 2);
    EXPECT_EQ(canvas.At(0, 0), RGB(255, 255, 255));
    EXPECT_EQ(canvas.At(2, 0), RGB(128, 128, 128));
    EXPECT_EQ(canvas.At(0, 1), RGB(255, 0, 0));
    EXPECT_EQ(canvas.At(1, 1), RGB(0, 255, 0));
    EXPECT_EQ(canvas.At(2, 1), RGB(0, 0, 255));
}

TEST(GdiPlusPicture, BitmapAlphaSurvivesOnlyOnOurOwnPath) {
    // GDI+'s own decoder takes a 32-bit bitmap as opaque; read as a bitmap file and handed
    // over as premultiplied pixels, its half-transparent white blends with what lies beneath.
    TGdiPlusPicture picture;
    picture.LoadFromBytes(BitmapFile(1, 1, 32, {}, {255, 255, 255, 128}));
    TTestCanvas canvas(1, 1, RGB(0, 0, 0));
    Gdiplus::Graphics g(canvas.Dc());
    picture.Draw(g, 0, 0, 1, 1);
    const COLORREF c = canvas.At(0, 0);
    EXPECT_NEAR(GetRValue(c), 128, 3);
    EXPECT_NEAR(GetBValue(c), 128, 3);
}

TEST(GdiPlusPicture, BitmapDecoderReadsPalettesAndAlpha) {
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    // 8-bit with two palette entries, top-down (negative height)
    DecodeBitmapFile(BitmapFile(2, -1, 8, {0x00102030, 0x00FFEEDD}, {1, 0, 0, 0}), w, h, px);
    ASSERT_EQ(px.size(), 2u);
    EXPECT_EQ(px[0], 0xFFFFEEDDu);
    EXPECT_EQ(px[1], 0xFF102030u);

    // 32-bit with alpha: premultiplied
    DecodeBitmapFile(BitmapFile(2, 1, 32, {}, {200, 100, 50, 128, 10, 20, 30, 255}), w, h, px);
    EXPECT_EQ(px[0], 0x80193264u);  // (r 50, g 100, b 200) * 128 / 255
    EXPECT_EQ(px[1], 0xFF1E140Au);
    // 32-bit with no alpha at all counts as opaque
    DecodeBitmapFile(BitmapFile(1, 1, 32, {}, {1, 2, 3, 0}), w, h, px);
    EXPECT_EQ(px[0], 0xFF030201u);
}

TEST(GdiPlusPicture, DamagedDataRaisesOnUseAndDrawsNothing) {
    auto bad = [](std::vector<std::uint8_t> bytes) {
        TGdiPlusPicture picture;
        picture.LoadFromBytes(std::move(bytes));
        EXPECT_FALSE(picture.Empty());
        EXPECT_THROW(picture.Width(), EGdipException);
        TTestCanvas canvas(8, 8, RGB(1, 2, 3));
        picture.Draw(canvas.Dc(), RECT{0, 0, 8, 8});  // must not throw
        EXPECT_EQ(canvas.At(4, 4), RGB(1, 2, 3));
    };
    bad({'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'});
    auto png = Resource(L"CLOUD128", MAKEINTRESOURCEW(10));
    png.resize(60);
    bad(png);

    const std::vector<std::uint8_t> rows(8, 0);
    auto truncated = BitmapFile(2, 2, 24, {}, rows);
    truncated.resize(truncated.size() - 4);
    bad(truncated);
    auto huge = BitmapFile(2, 2, 24, {}, rows);
    Put32(huge, 18, 100000);
    bad(huge);
    auto badDepth = BitmapFile(2, 2, 24, {}, rows);
    Put16(badDepth, 28, 7);
    bad(badDepth);
    // Run-length data is refused: only the core's decoder reads bitmaps, and it takes none.
    auto runLength = BitmapFile(2, 2, 8, {}, rows);
    Put32(runLength, 30, BI_RLE8);
    bad(runLength);
    bad({'B', 'M', 1, 2});
    // A file that declares more colours than it stores reads the missing ones as black, as a
    // skin's pictures do: every bitmap goes through the same decoder.
    auto palettePastEnd = BitmapFile(2, 1, 8, {0x00FFFFFF}, {0, 1, 0, 0});
    Put32(palettePastEnd, 46, 200);
    int w = 0, h = 0;
    std::vector<std::uint32_t> px;
    DecodeBitmapFile(palettePastEnd, w, h, px);
    EXPECT_EQ(px, (std::vector<std::uint32_t>{0xFFFFFFFFu, 0xFF000000u}));
}

TEST(ApplicationIcon, EveryImageOfTheGroupLoads) {
    HRSRC group = FindResourceW(nullptr, L"MAINICON", MAKEINTRESOURCEW(14));  // RT_GROUP_ICON
    ASSERT_NE(group, nullptr);
    const auto* dir = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, group)));
    const int count = dir[4] | (dir[5] << 8);
    ASSERT_EQ(count, 10);
    int eightBit = 0;
    for (int i = 0; i < count; ++i) {
        const std::uint8_t* e = dir + 6 + 14 * i;  // GRPICONDIRENTRY
        const int side = e[0] ? e[0] : 256;
        const int bits = e[6] | (e[7] << 8);
        const int id = e[12] | (e[13] << 8);
        eightBit += bits == 8;
        HRSRC one = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(3));  // RT_ICON
        ASSERT_NE(one, nullptr);
        auto* data = static_cast<BYTE*>(LockResource(LoadResource(nullptr, one)));
        HICON icon = CreateIconFromResourceEx(data, SizeofResource(nullptr, one), TRUE, 0x00030000, side, side, 0);
        ASSERT_NE(icon, nullptr) << side << "px " << bits << "-bit";
        TTestCanvas canvas(side, side, RGB(255, 0, 255));
        ASSERT_TRUE(DrawIconEx(canvas.Dc(), 0, 0, icon, side, side, 0, nullptr, DI_NORMAL));
        EXPECT_EQ(canvas.At(0, 0), RGB(255, 0, 255)) << side << "px " << bits << "-bit";
        const COLORREF body = canvas.At(side / 5, side * 7 / 10);
        EXPECT_GT(GetGValue(body), GetRValue(body) + 50) << side << "px " << bits << "-bit";
        DestroyIcon(icon);
    }
    EXPECT_EQ(eightBit, 4);
}
