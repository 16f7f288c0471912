#include "core/Png.h"

#include "core/ColorMath.h"
#include "core/StoredPicture.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>

namespace qx {

namespace {

// ---- inflate ---------------------------------------------------------------------------------

class TBitReader {
public:
    explicit TBitReader(std::span<const std::uint8_t> in) : in_(in) {}

    bool Bits(int count, std::uint32_t& value) {
        while (held_ < count) {
            if (pos_ >= in_.size()) return false;
            buffer_ |= std::uint32_t{in_[pos_++]} << held_;
            held_ += 8;
        }
        value = buffer_ & ((1u << count) - 1);
        buffer_ >>= count;
        held_ -= count;
        return true;
    }
    void DropToByte() {
        buffer_ = 0;
        held_ = 0;
    }
    // Whole bytes, after DropToByte.
    bool Bytes(std::size_t count, std::span<const std::uint8_t>& bytes) {
        if (in_.size() - pos_ < count) return false;
        bytes = in_.subspan(pos_, count);
        pos_ += count;
        return true;
    }
    std::size_t Position() const { return pos_; }

private:
    std::span<const std::uint8_t> in_;
    std::size_t pos_ = 0;
    std::uint32_t buffer_ = 0;
    int held_ = 0;
};

constexpr int kMaxBits = 15;

// A canonical Huffman code: how many codes each length has, and the symbols in code order.
struct THuffman {
    std::array<std::uint16_t, kMaxBits + 1> Count{};
    std::array<std::uint16_t, 288> Symbol{};
};

// Builds the code from the lengths; answers how many codes are left unused (0: complete,
// negative: more codes than the lengths allow).
int BuildHuffman(THuffman& h, const std::uint8_t* lengths, int n) {
    h.Count.fill(0);
    for (int s = 0; s < n; ++s) ++h.Count[lengths[s]];
    if (h.Count[0] == n) return 0;
    int left = 1;
    for (int len = 1; len <= kMaxBits; ++len) {
        left <<= 1;
        left -= h.Count[len];
        if (left < 0) return left;
    }
    std::array<std::uint16_t, kMaxBits + 1> offset{};
    for (int len = 1; len < kMaxBits; ++len) offset[len + 1] = static_cast<std::uint16_t>(offset[len] + h.Count[len]);
    for (int s = 0; s < n; ++s)
        if (lengths[s] != 0) h.Symbol[offset[lengths[s]]++] = static_cast<std::uint16_t>(s);
    return left;
}

// The next symbol, or -1 when the input ends or holds no code of h.
int DecodeSymbol(TBitReader& in, const THuffman& h) {
    int code = 0, first = 0, index = 0;
    for (int len = 1; len <= kMaxBits; ++len) {
        std::uint32_t bit = 0;
        if (!in.Bits(1, bit)) return -1;
        code |= static_cast<int>(bit);
        const int count = h.Count[len];
        if (code - count < first) return h.Symbol[index + (code - first)];
        index += count;
        first += count;
        first <<= 1;
        code <<= 1;
    }
    return -1;
}

constexpr std::uint16_t kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                           31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::uint8_t kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                           2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::uint16_t kDistanceBase[30] = {1,   2,   3,   4,   5,   7,    9,    13,   17,   25,
                                             33,  49,  65,  97,  129, 193,  257,  385,  513,  769,
                                             1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::uint8_t kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6,
                                             6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

class TInflater {
public:
    TInflater(std::span<const std::uint8_t> in, std::size_t expected, std::vector<std::uint8_t>& out)
        : in_(in), expected_(expected), out_(out) {}

    bool Run(std::string& error) {
        std::uint32_t last = 0, type = 0;
        do {
            if (!in_.Bits(1, last) || !in_.Bits(2, type)) return Fail(error, "the compressed data ends early");
            bool ok = false;
            switch (type) {
                case 0: ok = Stored(error); break;
                case 1: ok = Fixed(error); break;
                case 2: ok = Dynamic(error); break;
                default: return Fail(error, "a compressed block of an unknown kind");
            }
            if (!ok) return false;
        } while (!last);
        return true;
    }
    std::size_t Position() const { return in_.Position(); }

private:
    static bool Fail(std::string& error, const char* why) {
        error = why;
        return false;
    }

    bool Stored(std::string& error) {
        in_.DropToByte();
        std::span<const std::uint8_t> header, data;
        if (!in_.Bytes(4, header)) return Fail(error, "the compressed data ends early");
        const unsigned length = header[0] | (header[1] << 8), complement = header[2] | (header[3] << 8);
        if (length != (~complement & 0xFFFF)) return Fail(error, "a stored block with a broken length");
        if (!in_.Bytes(length, data)) return Fail(error, "the compressed data ends early");
        if (out_.size() + length > expected_) return Fail(error, "more data than the image holds");
        out_.insert(out_.end(), data.begin(), data.end());
        return true;
    }

    bool Fixed(std::string& error) {
        static const auto codes = [] {
            std::array<std::uint8_t, 288 + 30> lengths{};
            std::fill(lengths.begin(), lengths.begin() + 144, 8);
            std::fill(lengths.begin() + 144, lengths.begin() + 256, 9);
            std::fill(lengths.begin() + 256, lengths.begin() + 280, 7);
            std::fill(lengths.begin() + 280, lengths.begin() + 288, 8);
            std::fill(lengths.begin() + 288, lengths.end(), 5);
            std::pair<THuffman, THuffman> built;
            BuildHuffman(built.first, lengths.data(), 288);
            BuildHuffman(built.second, lengths.data() + 288, 30);
            return built;
        }();
        return Codes(codes.first, codes.second, error);
    }

    bool Dynamic(std::string& error) {
        static constexpr std::uint8_t order[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};
        std::uint32_t nlen = 0, ndist = 0, ncode = 0;
        if (!in_.Bits(5, nlen) || !in_.Bits(5, ndist) || !in_.Bits(4, ncode))
            return Fail(error, "the compressed data ends early");
        nlen += 257;
        ndist += 1;
        ncode += 4;
        if (nlen > 286 || ndist > 30) return Fail(error, "a compressed block with too many codes");
        std::array<std::uint8_t, 286 + 30> lengths{};
        for (std::uint32_t i = 0; i < ncode; ++i) {
            std::uint32_t len = 0;
            if (!in_.Bits(3, len)) return Fail(error, "the compressed data ends early");
            lengths[order[i]] = static_cast<std::uint8_t>(len);
        }
        THuffman lencode, distcode;
        if (BuildHuffman(lencode, lengths.data(), 19) != 0) return Fail(error, "a broken code-length code");
        std::uint32_t index = 0;
        while (index < nlen + ndist) {
            const int symbol = DecodeSymbol(in_, lencode);
            if (symbol < 0) return Fail(error, "a broken code length");
            if (symbol < 16) {
                lengths[index++] = static_cast<std::uint8_t>(symbol);
                continue;
            }
            std::uint8_t value = 0;
            std::uint32_t repeat = 0;
            bool ok = false;
            if (symbol == 16) {
                if (index == 0) return Fail(error, "a repeated code length with none before it");
                value = lengths[index - 1];
                ok = in_.Bits(2, repeat);
                repeat += 3;
            } else if (symbol == 17) {
                ok = in_.Bits(3, repeat);
                repeat += 3;
            } else {
                ok = in_.Bits(7, repeat);
                repeat += 11;
            }
            if (!ok) return Fail(error, "the compressed data ends early");
            if (index + repeat > nlen + ndist) return Fail(error, "too many code lengths");
            while (repeat--) lengths[index++] = value;
        }
        if (lengths[256] == 0) return Fail(error, "a compressed block without an end code");
        // An incomplete code is allowed only when it has a single length.
        int left = BuildHuffman(lencode, lengths.data(), static_cast<int>(nlen));
        if (left < 0 || (left > 0 && static_cast<int>(nlen) - lencode.Count[0] != 1))
            return Fail(error, "a broken literal code");
        left = BuildHuffman(distcode, lengths.data() + nlen, static_cast<int>(ndist));
        if (left < 0 || (left > 0 && static_cast<int>(ndist) - distcode.Count[0] != 1))
            return Fail(error, "a broken distance code");
        return Codes(lencode, distcode, error);
    }

    bool Codes(const THuffman& lencode, const THuffman& distcode, std::string& error) {
        for (;;) {
            int symbol = DecodeSymbol(in_, lencode);
            if (symbol < 0) return Fail(error, "a broken literal");
            if (symbol < 256) {
                if (out_.size() >= expected_) return Fail(error, "more data than the image holds");
                out_.push_back(static_cast<std::uint8_t>(symbol));
                continue;
            }
            if (symbol == 256) return true;
            symbol -= 257;
            if (symbol >= 29) return Fail(error, "a broken length");
            std::uint32_t extra = 0;
            if (!in_.Bits(kLengthExtra[symbol], extra)) return Fail(error, "the compressed data ends early");
            const std::size_t length = kLengthBase[symbol] + extra;
            const int d = DecodeSymbol(in_, distcode);
            if (d < 0 || d >= 30) return Fail(error, "a broken distance");
            if (!in_.Bits(kDistanceExtra[d], extra)) return Fail(error, "the compressed data ends early");
            const std::size_t distance = kDistanceBase[d] + extra;
            if (distance > out_.size()) return Fail(error, "a distance back past the start");
            if (out_.size() + length > expected_) return Fail(error, "more data than the image holds");
            // Byte by byte: a copy may overlap what it writes.
            const std::size_t from = out_.size() - distance;
            for (std::size_t i = 0; i < length; ++i) out_.push_back(out_[from + i]);
        }
    }

    TBitReader in_;
    std::size_t expected_;
    std::vector<std::uint8_t>& out_;
};

std::uint32_t Adler32(const std::vector<std::uint8_t>& data) {
    std::uint32_t a = 1, b = 0;
    std::size_t i = 0;
    while (i < data.size()) {
        // 5552 bytes is the most that cannot overflow b before the reduction.
        const std::size_t end = std::min(data.size(), i + 5552);
        for (; i < end; ++i) {
            a += data[i];
            b += a;
        }
        a %= 65521;
        b %= 65521;
    }
    return (b << 16) | a;
}

// ---- the PNG container -----------------------------------------------------------------------

std::uint32_t Be32(const std::uint8_t* p) {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

const std::array<std::uint32_t, 256>& CrcTable() {
    static const auto table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

std::uint32_t Crc32(std::span<const std::uint8_t> bytes) {
    const auto& table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::uint8_t b : bytes) c = table[(c ^ b) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

struct THeader {
    std::uint32_t Width = 0, Height = 0;
    int Depth = 0, ColourType = 0;
    int Channels() const {
        switch (ColourType) {
            case 2: return 3;
            case 4: return 2;
            case 6: return 4;
            default: return 1;
        }
    }
};

bool ValidDepth(int type, int depth) {
    switch (type) {
        case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
        case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
        case 2:
        case 4:
        case 6: return depth == 8 || depth == 16;
        default: return false;
    }
}

std::uint8_t Paeth(int a, int b, int c) {
    const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    return static_cast<std::uint8_t>(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

std::uint32_t Premultiplied(std::uint32_t r, std::uint32_t g, std::uint32_t b, std::uint32_t a) {
    return PremultipliedArgb((a << 24) | (r << 16) | (g << 8) | b);
}

}  // namespace

bool InflateZlib(std::span<const std::uint8_t> stream, std::size_t expected, std::vector<std::uint8_t>& out,
                 std::string& error) {
    if (stream.size() < 6) {
        error = "the compressed data ends early";
        return false;
    }
    const unsigned cmf = stream[0], flg = stream[1];
    if ((cmf & 0x0F) != 8 || (cmf >> 4) > 7 || (cmf * 256 + flg) % 31 != 0 || (flg & 0x20)) {
        error = "the compressed data has a broken header";
        return false;
    }
    std::vector<std::uint8_t> data;
    data.reserve(expected);
    TInflater inflater(stream.subspan(2), expected, data);
    if (!inflater.Run(error)) return false;
    if (data.size() != expected) {
        error = "less data than the image holds";
        return false;
    }
    const std::size_t tail = 2 + inflater.Position();
    if (stream.size() - tail < 4 || Be32(&stream[tail]) != Adler32(data)) {
        error = "the compressed data fails its checksum";
        return false;
    }
    out = std::move(data);
    return true;
}

bool DecodePng(std::span<const std::uint8_t> file, TPngPixels& image, std::string& error) {
    auto fail = [&error](const char* why) {
        error = why;
        return false;
    };
    if (DetectImageSignature(file) != TImageSignature::Png) return fail("not a PNG file");
    THeader h;
    std::vector<std::uint32_t> palette;  // 0xAARRGGBB, not premultiplied
    bool haveHeader = false, haveKey = false;
    std::uint16_t key[3] = {};  // the transparent grey or colour, at the file's depth
    std::vector<std::uint8_t> compressed;
    std::size_t pos = 8;
    for (;;) {
        if (file.size() - pos < 12) return fail("the file ends before its end chunk");
        const std::uint32_t length = Be32(&file[pos]);
        if (length > file.size() - pos - 12) return fail("a chunk runs past the end of the file");
        const std::uint8_t* type = &file[pos + 4];
        const std::span<const std::uint8_t> data = file.subspan(pos + 8, length);
        if (Crc32(file.subspan(pos + 4, length + 4)) != Be32(&file[pos + 8 + length]))
            return fail("a chunk fails its checksum");
        pos += 12 + std::size_t{length};
        auto is = [type](const char* name) { return std::memcmp(type, name, 4) == 0; };
        if (!haveHeader && !is("IHDR")) return fail("the file does not start with its header chunk");
        if (is("IHDR")) {
            if (haveHeader || length != 13) return fail("a broken header chunk");
            haveHeader = true;
            h.Width = Be32(&data[0]);
            h.Height = Be32(&data[4]);
            h.Depth = data[8];
            h.ColourType = data[9];
            if (h.Width == 0 || h.Height == 0 || h.Width > kPngMaxEdge || h.Height > kPngMaxEdge ||
                std::int64_t{h.Width} * h.Height > kPngMaxPixels)
                return fail("the image's size is out of range");
            if (!ValidDepth(h.ColourType, h.Depth) || data[10] != 0 || data[11] != 0)
                return fail("a colour type, depth or method that PNG does not have");
            if (data[12] == 1) return fail("an interlaced image");
            if (data[12] != 0) return fail("an unknown interlace method");
        } else if (is("PLTE")) {
            if (length == 0 || length % 3 != 0 || length > 3 * 256) return fail("a broken palette");
            palette.clear();
            for (std::uint32_t i = 0; i < length; i += 3)
                palette.push_back(0xFF000000u | (std::uint32_t{data[i]} << 16) | (std::uint32_t{data[i + 1]} << 8) |
                                  data[i + 2]);
        } else if (is("tRNS")) {
            if (h.ColourType == 3) {
                if (length > palette.size()) return fail("more transparency entries than colours");
                for (std::uint32_t i = 0; i < length; ++i)
                    palette[i] = (std::uint32_t{data[i]} << 24) | (palette[i] & 0x00FFFFFFu);
            } else if (h.ColourType == 0 || h.ColourType == 2) {
                const std::uint32_t want = h.ColourType == 0 ? 2 : 6;
                if (length != want) return fail("a broken transparency chunk");
                for (std::uint32_t i = 0; i < want / 2; ++i)
                    key[i] = static_cast<std::uint16_t>((data[2 * i] << 8) | data[2 * i + 1]);
                haveKey = true;
            }
        } else if (is("gAMA")) {
            // The display's own gamma (1/2.2, written 45455) needs no correction; others are
            // left to the platform, which applies them.
            if (length != 4) return fail("a broken gamma chunk");
            const std::uint32_t gamma = Be32(&data[0]);
            if (gamma < 45000 || gamma > 46000) return fail("a gamma other than the display's");
        } else if (is("iCCP")) {
            return fail("a colour profile");
        } else if (is("IDAT")) {
            compressed.insert(compressed.end(), data.begin(), data.end());
        } else if (is("IEND")) {
            break;
        } else if (!(type[0] & 0x20)) {
            return fail("an unknown critical chunk");
        }
    }
    if (h.ColourType == 3 && palette.empty()) return fail("a palette image without a palette");
    const int bitsPerPixel = h.Channels() * h.Depth;
    // Sixteen-bit images as big as the pixel limit allows would need twice the memory of the
    // pixels they give; the platform is left to decline those.
    const std::uint64_t rawSize = ((std::uint64_t{h.Width} * bitsPerPixel + 7) / 8 + 1) * h.Height;
    if (rawSize > 4 * static_cast<std::uint64_t>(kPngMaxPixels) + h.Height) return fail("an image too large to decode");
    const std::size_t stride = (std::size_t{h.Width} * bitsPerPixel + 7) / 8;
    const std::size_t bytesPerPixel = std::max(1, bitsPerPixel / 8);
    std::vector<std::uint8_t> raw;
    if (!InflateZlib(compressed, (stride + 1) * h.Height, raw, error)) return false;

    std::vector<std::uint32_t> pixels(std::size_t{h.Width} * h.Height);
    const std::vector<std::uint8_t> zero(stride, 0);
    const std::uint32_t maxSample = (1u << std::min(h.Depth, 8)) - 1;
    for (std::uint32_t y = 0; y < h.Height; ++y) {
        std::uint8_t* row = &raw[y * (stride + 1)];
        const std::uint8_t filter = row[0];
        std::uint8_t* cur = row + 1;
        const std::uint8_t* prev = y == 0 ? zero.data() : &raw[(y - 1) * (stride + 1) + 1];
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= bytesPerPixel ? cur[i - bytesPerPixel] : 0;
            const int b = prev[i], c = i >= bytesPerPixel ? prev[i - bytesPerPixel] : 0;
            switch (filter) {
                case 0: break;
                case 1: cur[i] = static_cast<std::uint8_t>(cur[i] + a); break;
                case 2: cur[i] = static_cast<std::uint8_t>(cur[i] + b); break;
                case 3: cur[i] = static_cast<std::uint8_t>(cur[i] + (a + b) / 2); break;
                case 4: cur[i] = static_cast<std::uint8_t>(cur[i] + Paeth(a, b, c)); break;
                default: return fail("a row with an unknown filter");
            }
        }
        std::uint32_t* out = &pixels[std::size_t{y} * h.Width];
        // Sample n of the row at the file's depth (16-bit samples whole, for the colour key).
        auto sample = [&](std::size_t n) -> std::uint32_t {
            if (h.Depth == 16) return (std::uint32_t{cur[2 * n]} << 8) | cur[2 * n + 1];
            if (h.Depth == 8) return cur[n];
            const std::size_t bit = n * h.Depth;
            return (cur[bit / 8] >> (8 - h.Depth - bit % 8)) & maxSample;
        };
        // A sample brought to 8 bits.
        auto eight = [&](std::uint32_t v) -> std::uint32_t {
            return h.Depth == 16 ? v >> 8 : h.Depth == 8 ? v : v * 255 / maxSample;
        };
        for (std::uint32_t x = 0; x < h.Width; ++x) {
            switch (h.ColourType) {
                case 0: {
                    const std::uint32_t v = sample(x), g = eight(v);
                    out[x] = haveKey && v == key[0] ? 0 : Premultiplied(g, g, g, 255);
                    break;
                }
                case 2: {
                    const std::uint32_t r = sample(3 * x), g = sample(3 * x + 1), b = sample(3 * x + 2);
                    const bool keyed = haveKey && r == key[0] && g == key[1] && b == key[2];
                    out[x] = keyed ? 0 : Premultiplied(eight(r), eight(g), eight(b), 255);
                    break;
                }
                case 3: {
                    const std::uint32_t index = sample(x);
                    if (index >= palette.size()) return fail("a colour index past the palette");
                    const std::uint32_t p = palette[index];
                    out[x] = Premultiplied((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF, p >> 24);
                    break;
                }
                case 4: {
                    const std::uint32_t g = eight(sample(2 * x));
                    out[x] = Premultiplied(g, g, g, eight(sample(2 * x + 1)));
                    break;
                }
                default:
                    out[x] = Premultiplied(eight(sample(4 * x)), eight(sample(4 * x + 1)), eight(sample(4 * x + 2)),
                                           eight(sample(4 * x + 3)));
                    break;
            }
        }
    }
    image.Width = static_cast<std::int32_t>(h.Width);
    image.Height = static_cast<std::int32_t>(h.Height);
    image.Pixels = std::move(pixels);
    return true;
}

}  // namespace qx
