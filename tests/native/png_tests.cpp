#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/Png.h"

using namespace qx;

namespace {

std::uint32_t Crc(const std::uint8_t* p, std::size_t n) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        c ^= p[i];
        for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return ~c;
}

void PutBe32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<std::uint8_t>(v >> s));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
    PutBe32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBe32(out, Crc(&out[start], out.size() - start));
}

// A zlib stream of stored blocks of at most block bytes each.
std::vector<std::uint8_t> StoredZlib(const std::vector<std::uint8_t>& raw, std::size_t block = 97) {
    std::vector<std::uint8_t> z = {0x78, 0x01};
    std::size_t pos = 0;
    do {
        const std::size_t n = std::min(block, raw.size() - pos);
        z.push_back(pos + n == raw.size() ? 1 : 0);
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
        pos += n;
    } while (pos < raw.size());
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    PutBe32(z, (b << 16) | a);
    return z;
}

struct PngShape {
    std::uint32_t width = 7, height = 6;
    int type = 6, depth = 8, interlace = 0;
    std::vector<std::uint8_t> plte, trns;
    // Sample c of pixel (x, y) at the file's depth.
    std::function<std::uint32_t(int x, int y, int c)> sample;
};

int Channels(int type) { return type == 2 ? 3 : type == 4 ? 2 : type == 6 ? 4 : 1; }

std::uint8_t PaethOf(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// Packs the samples into rows and filters row y with filter y % 5, as encoders do.
std::vector<std::uint8_t> FilteredRows(const PngShape& s) {
    const int channels = Channels(s.type), bits = channels * s.depth;
    const std::size_t stride = (s.width * bits + 7) / 8, bpp = std::max(1, bits / 8);
    std::vector<std::uint8_t> raw, previous(stride, 0);
    for (std::uint32_t y = 0; y < s.height; ++y) {
        std::vector<std::uint8_t> row(stride, 0);
        for (std::uint32_t x = 0; x < s.width; ++x)
            for (int c = 0; c < channels; ++c) {
                const std::uint32_t v = s.sample(static_cast<int>(x), static_cast<int>(y), c);
                const std::size_t n = x * channels + c;
                if (s.depth == 16) {
                    row[2 * n] = static_cast<std::uint8_t>(v >> 8);
                    row[2 * n + 1] = static_cast<std::uint8_t>(v);
                } else if (s.depth == 8) {
                    row[n] = static_cast<std::uint8_t>(v);
                } else {
                    const std::size_t bit = n * s.depth;
                    row[bit / 8] |= static_cast<std::uint8_t>(v << (8 - s.depth - bit % 8));
                }
            }
        const int filter = static_cast<int>(y % 5);
        raw.push_back(static_cast<std::uint8_t>(filter));
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= bpp ? row[i - bpp] : 0, b = previous[i], c = i >= bpp ? previous[i - bpp] : 0;
            const int predicted = filter == 1 ? a : filter == 2 ? b : filter == 3 ? (a + b) / 2 : filter == 4 ? PaethOf(a, b, c) : 0;
            raw.push_back(static_cast<std::uint8_t>(row[i] - predicted));
        }
        previous = row;
    }
    return raw;
}

std::vector<std::uint8_t> WritePng(const PngShape& s, std::vector<std::uint8_t> idat = {}) {
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    std::vector<std::uint8_t> ihdr;
    PutBe32(ihdr, s.width);
    PutBe32(ihdr, s.height);
    ihdr.insert(ihdr.end(), {static_cast<std::uint8_t>(s.depth), static_cast<std::uint8_t>(s.type), 0, 0,
                             static_cast<std::uint8_t>(s.interlace)});
    PutChunk(out, "IHDR", ihdr);
    PutChunk(out, "tEXt", {'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'});  // ancillary: skipped
    if (!s.plte.empty()) PutChunk(out, "PLTE", s.plte);
    if (!s.trns.empty()) PutChunk(out, "tRNS", s.trns);
    if (idat.empty()) idat = StoredZlib(FilteredRows(s));
    // Split over two chunks: the stream is the chunks' data joined.
    const std::size_t half = idat.size() / 2;
    PutChunk(out, "IDAT", std::vector<std::uint8_t>(idat.begin(), idat.begin() + half));
    PutChunk(out, "IDAT", std::vector<std::uint8_t>(idat.begin() + half, idat.end()));
    PutChunk(out, "IEND", {});
    return out;
}

std::uint32_t Eight(std::uint32_t v, int depth) {
    return depth == 16 ? v >> 8 : depth == 8 ? v : v * 255 / ((1u << depth) - 1);
}

std::uint32_t Pargb(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    auto m = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (m(r) << 16) | (m(g) << 8) | m(b);
}

}  // namespace

TEST(Png, DecodesEveryColourTypeAndDepthThroughEveryRowFilter) {
    const std::pair<int, int> kinds[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                                         {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};
    for (auto [type, depth] : kinds) {
        SCOPED_TRACE("colour type " + std::to_string(type) + ", depth " + std::to_string(depth));
        PngShape s;
        s.type = type;
        s.depth = depth;
        const std::uint32_t top = (1u << depth) - 1;
        s.sample = [top](int x, int y, int c) { return (static_cast<std::uint32_t>(x * 2654435761u + y * 40503u + c * 977u) >> 7) & top; };
        const std::uint32_t colours = type == 3 ? (1u << depth) : 0;
        for (std::uint32_t i = 0; i < colours; ++i) s.plte.insert(s.plte.end(), {std::uint8_t(i * 37), std::uint8_t(255 - i), std::uint8_t(i * 11)});
        if (type == 3) s.trns = {0, 128};  // the rest stay opaque
        TPngPixels image;
        std::string error;
        ASSERT_TRUE(DecodePng(WritePng(s), image, error)) << error;
        ASSERT_EQ(image.Width, 7);
        ASSERT_EQ(image.Height, 6);
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x) {
                auto v = [&](int c) { return s.sample(x, y, c); };
                std::uint32_t want = 0;
                switch (type) {
                    case 0: want = Pargb(Eight(v(0), depth), Eight(v(0), depth), Eight(v(0), depth), 255); break;
                    case 2: want = Pargb(Eight(v(0), depth), Eight(v(1), depth), Eight(v(2), depth), 255); break;
                    case 3: {
                        const std::uint32_t i = v(0), alpha = i == 0 ? 0 : i == 1 ? 128 : 255;
                        want = Pargb(s.plte[3 * i], s.plte[3 * i + 1], s.plte[3 * i + 2], alpha);
                        break;
                    }
                    case 4: want = Pargb(Eight(v(0), depth), Eight(v(0), depth), Eight(v(0), depth), Eight(v(1), depth)); break;
                    default: want = Pargb(Eight(v(0), depth), Eight(v(1), depth), Eight(v(2), depth), Eight(v(3), depth)); break;
                }
                ASSERT_EQ(image.Pixels[static_cast<std::size_t>(y * 7 + x)], want) << "pixel " << x << ", " << y;
            }
    }
}

TEST(Png, ColourKeysLeaveOnlyTheirOwnPixelsTransparent) {
    PngShape grey;
    grey.type = 0;
    grey.depth = 16;
    grey.sample = [](int x, int, int) { return x == 2 ? 0x1234u : 0x1235u; };
    grey.trns = {0x12, 0x34};
    PngShape rgb;
    rgb.type = 2;
    rgb.sample = [](int x, int y, int c) { return x == y ? std::uint32_t(10 + c) : std::uint32_t(10 + c + (c == 2)); };
    rgb.trns = {0, 10, 0, 11, 0, 12};
    TPngPixels image;
    std::string error;
    ASSERT_TRUE(DecodePng(WritePng(grey), image, error)) << error;
    for (int x = 0; x < 7; ++x) EXPECT_EQ(image.Pixels[static_cast<std::size_t>(x)], x == 2 ? 0u : 0xFF121212u);
    ASSERT_TRUE(DecodePng(WritePng(rgb), image, error)) << error;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(image.Pixels[static_cast<std::size_t>(y * 7 + x)], x == y ? 0u : 0xFF0A0B0Du);
}

TEST(Png, InflatesFixedAndDynamicHuffmanStreams) {
    // zlib's own output (level 9; the second forced to the fixed code) for this text.
    std::vector<std::uint8_t> text;
    const char* words = "the quick brown fox ";
    for (int i = 0; i < 3000; ++i) text.push_back(static_cast<std::uint8_t>(words[(i * i + i / 7) % 20]));
    const std::vector<std::uint8_t> dynamic = {
        0x78, 0xda, 0xed, 0xce, 0xc1, 0x09, 0x44, 0x31, 0x08, 0x45, 0xd1, 0x56, 0x5e, 0x6d, 0x06, 0x83,
        0x41, 0x88, 0x44, 0x94, 0x58, 0xfe, 0x84, 0xbf, 0x9e, 0x12, 0x5c, 0xb9, 0xb9, 0xf8, 0x4e, 0xc8,
        0xc1, 0xcc, 0x49, 0xc9, 0xc2, 0x49, 0x35, 0xca, 0x17, 0xf8, 0x0c, 0x83, 0xc2, 0x34, 0x4f, 0xea,
        0x0d, 0x92, 0x8d, 0x95, 0x8b, 0xc0, 0xce, 0x20, 0x1d, 0xea, 0x13, 0x76, 0xec, 0x4b, 0x2a, 0x77,
        0xd6, 0x25, 0xf2, 0x97, 0x60, 0x05, 0xcc, 0x0d, 0xa1, 0xa6, 0x32, 0xaf, 0x6d, 0x63, 0x14, 0xb8,
        0xb0, 0xdf, 0xa1, 0xf0, 0x37, 0x84, 0x19, 0x69, 0x62, 0x19, 0x65, 0x25, 0xeb, 0xf2, 0x1e, 0x5f,
        0xa2, 0x38, 0xef, 0x59, 0x44, 0x5b, 0xda, 0xd2, 0x96, 0xb6, 0xb4, 0xa5, 0x2d, 0x6d, 0x69, 0x4b,
        0x5b, 0xda, 0xd2, 0x96, 0xbf, 0x96, 0x1f, 0xec, 0x40, 0x5a, 0x91,
    };
    const std::vector<std::uint8_t> fixed = {
        0x78, 0x01, 0x2b, 0xc9, 0x28, 0x54, 0x48, 0x2b, 0x4d, 0x4b, 0x2a, 0x4d, 0xcd, 0x48, 0x2d, 0x4d,
        0xaa, 0x48, 0xae, 0x28, 0xca, 0x54, 0x48, 0x2d, 0x4c, 0xce, 0x57, 0xc8, 0x56, 0xc8, 0xcf, 0x2e,
        0x2d, 0x2c, 0xcd, 0x2e, 0x2f, 0x49, 0xca, 0xc8, 0x53, 0xc8, 0x2c, 0xcd, 0x4c, 0x52, 0x48, 0x2d,
        0x4a, 0x55, 0x48, 0xca, 0x4e, 0xce, 0x2e, 0x4a, 0x53, 0xc8, 0x2f, 0xcc, 0x07, 0x2b, 0xa9, 0x28,
        0xcd, 0x2b, 0xad, 0x28, 0x4f, 0x4a, 0x2a, 0x02, 0x2a, 0x51, 0xc8, 0x2c, 0x51, 0xc8, 0x2f, 0xca,
        0x57, 0x28, 0xc9, 0xce, 0xcf, 0xce, 0x48, 0x2b, 0xcf, 0xcf, 0xcb, 0x4f, 0x55, 0xa8, 0x50, 0x48,
        0xad, 0x50, 0xc8, 0x03, 0x52, 0x49, 0x25, 0x45, 0x40, 0x8b, 0x14, 0xd2, 0x4a, 0x4a, 0xf3, 0x33,
        0xf2, 0x4b, 0x4b, 0x2a, 0xf2, 0x2b, 0x32, 0x32, 0xcb, 0x53, 0xf3, 0x92, 0xc1, 0x4a, 0xb2, 0x15,
        0x0a, 0x81, 0x86, 0x95, 0x94, 0x8c, 0xba, 0x65, 0xd4, 0x2d, 0xa3, 0x6e, 0x19, 0x75, 0xcb, 0xa8,
        0x5b, 0x46, 0xdd, 0x32, 0xea, 0x96, 0x51, 0xb7, 0x8c, 0xba, 0x65, 0xd4, 0x2d, 0xa3, 0x6e, 0xc1,
        0xea, 0x16, 0x00, 0xec, 0x40, 0x5a, 0x91,
    };
    for (const auto* stream : {&dynamic, &fixed}) {
        std::vector<std::uint8_t> out;
        std::string error;
        ASSERT_TRUE(InflateZlib(*stream, text.size(), out, error)) << error;
        EXPECT_EQ(out, text);
        // The image's size is known: a stream giving more or less than that is broken.
        EXPECT_FALSE(InflateZlib(*stream, text.size() - 1, out, error));
        EXPECT_FALSE(InflateZlib(*stream, text.size() + 1, out, error));
    }
}

TEST(Png, RefusesBrokenFilesWithAReason) {
    PngShape s;
    s.sample = [](int x, int y, int c) { return std::uint32_t(x * 30 + y * 7 + c * 50) & 0xFF; };
    const std::vector<std::uint8_t> good = WritePng(s);
    TPngPixels image;
    std::string error;
    ASSERT_TRUE(DecodePng(good, image, error)) << error;
    const TPngPixels decoded = image;
    // Every byte is under the signature, a length or a checksum: no change goes unnoticed,
    // and a refused file leaves the image as it was.
    for (std::size_t i = 0; i < good.size(); ++i) {
        std::vector<std::uint8_t> bad = good;
        bad[i] ^= 0x41;
        error.clear();
        EXPECT_FALSE(DecodePng(bad, image, error)) << "byte " << i;
        EXPECT_FALSE(error.empty());
    }
    for (std::size_t n = 0; n < good.size(); ++n)
        EXPECT_FALSE(DecodePng(std::span(good.data(), n), image, error)) << "cut at " << n;
    EXPECT_EQ(image.Pixels, decoded.Pixels);

    // Well-formed chunks around a broken inside.
    std::vector<std::uint8_t> raw = FilteredRows(s), stream = StoredZlib(raw);
    stream.back() ^= 1;
    EXPECT_FALSE(DecodePng(WritePng(s, stream), image, error));
    EXPECT_EQ(error, "the compressed data fails its checksum");
    raw[0] = 5;
    EXPECT_FALSE(DecodePng(WritePng(s, StoredZlib(raw)), image, error));
    EXPECT_EQ(error, "a row with an unknown filter");
    raw.push_back(0);
    EXPECT_FALSE(DecodePng(WritePng(s, StoredZlib(raw)), image, error));
    EXPECT_EQ(error, "more data than the image holds");
    // A distance back before the first byte: a fixed block whose first code is a match.
    EXPECT_FALSE(DecodePng(WritePng(s, {0x78, 0x01, 0x03, 0x02, 0, 0, 0, 0, 0, 0}), image, error));
    EXPECT_EQ(error, "a distance back past the start");

    // Claims are checked before anything is allocated for them.
    PngShape huge = s;
    huge.width = huge.height = 30000;
    EXPECT_FALSE(DecodePng(WritePng(huge, StoredZlib({0})), image, error));
    EXPECT_EQ(error, "the image's size is out of range");
    PngShape laced = s;
    laced.interlace = 1;
    EXPECT_FALSE(DecodePng(WritePng(laced), image, error));
    EXPECT_EQ(error, "an interlaced image");
    PngShape indexed = s;
    indexed.type = 3;
    indexed.plte = {1, 2, 3};  // one colour, but indices up to 255
    EXPECT_FALSE(DecodePng(WritePng(indexed), image, error));
    EXPECT_EQ(error, "a colour index past the palette");
}
