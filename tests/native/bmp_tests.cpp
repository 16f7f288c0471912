#include <gtest/gtest.h>

#include <functional>

#include "TestData.h"
#include "core/Bmp.h"

using namespace qx;

namespace {

void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
}
void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Set32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

struct BmpShape {
    std::int32_t width = 3, height = 2;
    std::uint16_t bits = 24;
    std::uint32_t compression = 0;
    std::vector<std::uint32_t> palette;  // 0x00RRGGBB
    std::vector<std::uint32_t> masks;    // written after a 40-byte header
    bool core = false;
    // Returns the stored value of pixel (x, y), y counted from the top.
    std::function<std::uint32_t(int x, int y)> value;
};

// Writes a file the way common tools do: rows padded to 4 bytes, bottom-up unless the
// height is negative.
std::vector<std::uint8_t> WriteBmp(const BmpShape& s) {
    std::vector<std::uint8_t> out = {'B', 'M'};
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 0);  // pixel offset, set below
    if (s.core) {
        Put32(out, 12);
        Put16(out, static_cast<std::uint32_t>(s.width));
        Put16(out, static_cast<std::uint32_t>(s.height));
        Put16(out, 1);
        Put16(out, s.bits);
    } else {
        Put32(out, 40);
        Put32(out, static_cast<std::uint32_t>(s.width));
        Put32(out, static_cast<std::uint32_t>(s.height));
        Put16(out, 1);
        Put16(out, s.bits);
        Put32(out, s.compression);
        Put32(out, 0);
        Put32(out, 2835);
        Put32(out, 2835);
        Put32(out, static_cast<std::uint32_t>(s.palette.size()));
        Put32(out, 0);
        for (std::uint32_t m : s.masks) Put32(out, m);
    }
    for (std::uint32_t c : s.palette) {
        out.push_back(static_cast<std::uint8_t>(c));
        out.push_back(static_cast<std::uint8_t>(c >> 8));
        out.push_back(static_cast<std::uint8_t>(c >> 16));
        if (!s.core) out.push_back(0);
    }
    Set32(out, 10, static_cast<std::uint32_t>(out.size()));
    const int h = s.height < 0 ? -s.height : s.height;
    const std::size_t stride = ((static_cast<std::size_t>(s.width) * s.bits + 31) / 32) * 4;
    for (int fileRow = 0; fileRow < h; ++fileRow) {
        int y = s.height < 0 ? fileRow : h - 1 - fileRow;
        std::vector<std::uint8_t> row(stride, 0);
        for (int x = 0; x < s.width; ++x) {
            std::uint32_t v = s.value(x, y);
            switch (s.bits) {
                case 1: row[x / 8] |= static_cast<std::uint8_t>(v << (7 - x % 8)); break;
                case 4: row[x / 2] |= static_cast<std::uint8_t>(v << (x % 2 ? 0 : 4)); break;
                case 8: row[x] = static_cast<std::uint8_t>(v); break;
                case 16: row[2 * x] = static_cast<std::uint8_t>(v); row[2 * x + 1] = static_cast<std::uint8_t>(v >> 8); break;
                case 24: for (int k = 0; k < 3; ++k) row[3 * x + k] = static_cast<std::uint8_t>(v >> (8 * k)); break;
                case 32: for (int k = 0; k < 4; ++k) row[4 * x + k] = static_cast<std::uint8_t>(v >> (8 * k)); break;
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    Set32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

TBmpImage Decode(const std::vector<std::uint8_t>& file) {
    TBmpImage image;
    std::string error;
    EXPECT_TRUE(DecodeBmp(file, image, error)) << error;
    return image;
}

std::string Refusal(const std::vector<std::uint8_t>& file) {
    TBmpImage image;
    image.Width = 77;
    std::string error;
    EXPECT_FALSE(DecodeBmp(file, image, error));
    EXPECT_EQ(image.Width, 77);  // left untouched
    return error;
}

}  // namespace

TEST(BmpDecoder, DecodesPalettedDepthsBothWaysUp) {
    const std::vector<std::uint32_t> palette16 = {0x000000, 0xFF00FF, 0x2F97FF, 0xFFFFFF, 0x102030, 0x405060, 0x708090, 0xA0B0C0,
                                                  0x111111, 0x222222, 0x333333, 0x444444, 0x555555, 0x666666, 0x777777, 0x888888};
    for (std::uint16_t bits : {1, 4, 8}) {
        for (std::int32_t height : {5, -5}) {
            BmpShape s;
            s.width = 13;  // odd widths exercise the row padding and partial bytes
            s.height = height;
            s.bits = bits;
            std::uint32_t colours = bits == 1 ? 2 : 16;
            s.palette.assign(palette16.begin(), palette16.begin() + colours);
            s.value = [&](int x, int y) { return static_cast<std::uint32_t>((x * 3 + y * 5) % colours); };
            TBmpImage image = Decode(WriteBmp(s));
            ASSERT_EQ(image.Width, 13);
            ASSERT_EQ(image.Height, 5);
            EXPECT_EQ(image.BitCount, bits);
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 13; ++x)
                    ASSERT_EQ(image.Pixels[y * 13 + x], palette16[(x * 3 + y * 5) % colours]) << bits << " " << x << "," << y;
        }
    }
}

TEST(BmpDecoder, DecodesDirectColourDepths) {
    BmpShape s24;
    s24.width = 7;
    s24.height = 3;
    s24.value = [](int x, int y) { return x == 0 && y == 0 ? 0xFF00FFu : static_cast<std::uint32_t>(x * 0x10203 + y * 0x300000); };
    TBmpImage image = Decode(WriteBmp(s24));
    EXPECT_EQ(image.Pixels[0], 0xFF00FFu);  // top-left stays top-left of a bottom-up file
    EXPECT_EQ(image.Pixels[2 * 7 + 6], 6u * 0x10203 + 2 * 0x300000);

    BmpShape s32 = s24;
    s32.bits = 32;
    s32.height = -3;
    s32.value = [](int x, int y) { return 0xAA000000u | static_cast<std::uint32_t>(x * 0x10203 + y * 0x300000); };
    image = Decode(WriteBmp(s32));
    EXPECT_EQ(image.Pixels[2 * 7 + 6], 6u * 0x10203 + 2 * 0x300000);  // the fourth byte is not colour

    BmpShape s555 = s24;
    s555.bits = 16;
    s555.value = [](int x, int y) { return x == 1 ? 0x7C1Fu : (x == 2 ? 0x03E0u : 0u); };
    image = Decode(WriteBmp(s555));
    EXPECT_EQ(image.Pixels[1], 0xFF00FFu);
    EXPECT_EQ(image.Pixels[2], 0x00FF00u);

    BmpShape s565 = s555;
    s565.compression = 3;
    s565.masks = {0xF800, 0x07E0, 0x001F};
    s565.value = [](int x, int y) { return x == 1 ? 0xF81Fu : (x == 2 ? 0x0400u : 0u); };
    image = Decode(WriteBmp(s565));
    EXPECT_EQ(image.Pixels[1], 0xFF00FFu);
    EXPECT_EQ(image.Pixels[2], 0x008200u);  // 32 of 63 green steps

    BmpShape fields32 = s32;
    fields32.compression = 3;
    fields32.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // stored as R, G, B from the low byte
    fields32.value = [](int, int) { return 0x00332211u; };
    image = Decode(WriteBmp(fields32));
    EXPECT_EQ(image.Pixels[0], 0x112233u);

    BmpShape core;
    core.core = true;
    core.bits = 8;
    core.width = 2;
    core.height = 2;
    core.palette = {0x123456, 0x654321};
    core.value = [](int x, int) { return static_cast<std::uint32_t>(x); };
    image = Decode(WriteBmp(core));
    EXPECT_EQ(image.Pixels, (std::vector<std::uint32_t>{0x123456, 0x654321, 0x123456, 0x654321}));
}

TEST(BmpDecoder, OutOfRangePaletteIndicesReadAsBlack) {
    BmpShape s;
    s.bits = 8;
    s.palette = {0xFFFFFF};
    s.value = [](int x, int) { return static_cast<std::uint32_t>(x * 100); };
    TBmpImage image = Decode(WriteBmp(s));
    EXPECT_EQ(image.Pixels[0], 0xFFFFFFu);
    EXPECT_EQ(image.Pixels[1], 0u);
}

TEST(BmpDecoder, RefusesMalformedFilesWithAReason) {
    BmpShape s;
    s.value = [](int, int) { return 0x2F97FFu; };
    const auto good = WriteBmp(s);
    auto edit = [&](std::size_t at, std::uint32_t v) { auto f = good; Set32(f, at, v); return f; };

    EXPECT_NE(Refusal({}).find("too short"), std::string::npos);
    EXPECT_NE(Refusal(std::vector<std::uint8_t>(good.begin(), good.begin() + 30)).find("cut short"), std::string::npos);
    auto noSignature = good;
    noSignature[0] = 'P';
    EXPECT_NE(Refusal(noSignature).find("signature"), std::string::npos);
    EXPECT_NE(Refusal(edit(14, 41)).find("header size"), std::string::npos);
    EXPECT_NE(Refusal(edit(18, 0)).find("no pixels"), std::string::npos);
    EXPECT_NE(Refusal(edit(22, 0)).find("no pixels"), std::string::npos);
    EXPECT_NE(Refusal(edit(22, 0x80000000)).find("too large"), std::string::npos);
    EXPECT_NE(Refusal(edit(18, 40000)).find("too large"), std::string::npos);
    EXPECT_NE(Refusal(edit(18, 30000)).find("past the end"), std::string::npos);
    EXPECT_NE(Refusal(edit(10, 0xFFFFFFF0)).find("offset"), std::string::npos);
    EXPECT_NE(Refusal(edit(10, 20)).find("offset"), std::string::npos);
    EXPECT_NE(Refusal(std::vector<std::uint8_t>(good.begin(), good.end() - 1)).find("past the end"), std::string::npos);
    auto planes = good;
    planes[26] = 2;
    EXPECT_NE(Refusal(planes).find("plane"), std::string::npos);
    auto depth = good;
    depth[28] = 2;
    EXPECT_NE(Refusal(depth).find("bits per pixel"), std::string::npos);
    EXPECT_NE(Refusal(edit(30, 1)).find("compression"), std::string::npos);  // RLE8 on a 24-bit file

    BmpShape rle;
    rle.bits = 8;
    rle.compression = 1;
    rle.palette = {0};
    rle.value = [](int, int) { return 0u; };
    EXPECT_NE(Refusal(WriteBmp(rle)).find("compression"), std::string::npos);

    BmpShape gappy;
    gappy.bits = 16;
    gappy.compression = 3;
    gappy.masks = {0xF00F, 0x07E0, 0x001F};
    gappy.value = [](int, int) { return 0u; };
    EXPECT_NE(Refusal(WriteBmp(gappy)).find("contiguous"), std::string::npos);

    // Pixels starting inside the header leave no room for a palette.
    BmpShape palette;
    palette.bits = 8;
    palette.palette = {1, 2, 3};
    palette.value = [](int x, int) { return static_cast<std::uint32_t>(x); };
    auto overlapping = WriteBmp(palette);
    Set32(overlapping, 10, 54);
    TBmpImage image = Decode(overlapping);
    EXPECT_EQ(image.Pixels[1], 0u);
    // More colours declared than stored: the table stops where the pixels start.
    auto declared = WriteBmp(palette);
    Set32(declared, 46, 256);
    image = Decode(declared);
    EXPECT_EQ(image.Pixels[2], 3u);
}

TEST(BmpDecoder, NeverReadsPastAnyPrefixOrCorruptionOfAGoodFile) {
    BmpShape s;
    s.bits = 4;
    s.width = 9;
    s.height = -4;
    s.palette.assign(16, 0x808080);
    s.value = [](int x, int y) { return static_cast<std::uint32_t>((x + y) & 15); };
    const auto good = WriteBmp(s);
    for (std::size_t n = 0; n < good.size(); ++n) {
        TBmpImage image;
        std::string error;
        EXPECT_FALSE(DecodeBmp(std::span(good.data(), n), image, error)) << n;
    }
    test::TestRandom random(7);
    for (int round = 0; round < 2000; ++round) {
        auto file = good;
        for (int k = 0, flips = 1 + static_cast<int>(random.Below(4)); k < flips; ++k)
            file[random.Below(static_cast<std::uint32_t>(file.size()))] = static_cast<std::uint8_t>(random.Next());
        TBmpImage image;
        std::string error;
        if (DecodeBmp(file, image, error))
            EXPECT_EQ(image.Pixels.size(), static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height));
        else
            EXPECT_FALSE(error.empty());
    }
}
