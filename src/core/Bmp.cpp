#include "core/Bmp.h"

#include <algorithm>
#include <bit>

namespace qx {

namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

std::uint16_t U16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
std::uint32_t U32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

// One colour channel of a bit-field pixel, scaled to 0..255.
struct Channel {
    std::uint32_t mask = 0;
    unsigned shift = 0;
    std::uint32_t max = 0;

    bool Set(std::uint32_t m) {
        mask = m;
        if (m == 0) return true;
        shift = static_cast<unsigned>(std::countr_zero(m));
        std::uint32_t bits = m >> shift;
        if ((bits & (bits + 1)) != 0) return false;  // the mask's bits must be contiguous
        max = bits;
        return true;
    }
    std::uint32_t Of(std::uint32_t pixel) const {
        if (mask == 0) return 0;
        std::uint64_t v = (pixel & mask) >> shift;
        return static_cast<std::uint32_t>((v * 255 + max / 2) / max);
    }
};

bool Fail(std::string& error, const char* reason) {
    error = reason;
    return false;
}

}  // namespace

bool ReadBmpLayout(std::span<const std::uint8_t> file, TBmpLayout& layout, std::string& error) {
    const std::size_t size = file.size();
    const std::uint8_t* f = file.data();
    if (size < 14 + 12) return Fail(error, "file too short for a bitmap header");
    if (f[0] != 'B' || f[1] != 'M') return Fail(error, "not a bitmap file (no BM signature)");
    const std::uint32_t offBits = U32(f + 10);
    const std::uint32_t headerSize = U32(f + 14);

    std::int64_t width, height;
    std::uint16_t planes, bitCount;
    std::uint32_t compression = kRgb, colorsUsed = 0;
    bool core = false;
    if (headerSize == 12) {
        core = true;
        width = U16(f + 18);
        height = U16(f + 20);  // unsigned: core bitmaps are always bottom-up
        planes = U16(f + 22);
        bitCount = U16(f + 24);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124) {
        if (size < 14 + static_cast<std::size_t>(headerSize)) return Fail(error, "bitmap header cut short");
        width = static_cast<std::int32_t>(U32(f + 18));
        height = static_cast<std::int32_t>(U32(f + 22));
        planes = U16(f + 26);
        bitCount = U16(f + 28);
        compression = U32(f + 30);
        colorsUsed = U32(f + 46);
    } else {
        return Fail(error, "unknown bitmap header size");
    }
    if (size < 14 + static_cast<std::size_t>(headerSize)) return Fail(error, "bitmap header cut short");
    if (planes != 1) return Fail(error, "bitmap plane count is not 1");

    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (width <= 0 || height <= 0) return Fail(error, "bitmap has no pixels");
    if (width > kBmpMaxEdge || height > kBmpMaxEdge || width * height > kBmpMaxPixels)
        return Fail(error, "bitmap dimensions too large");

    switch (bitCount) {
        case 1: case 4: case 8: case 24:
            if (compression != kRgb) return Fail(error, "unsupported bitmap compression");
            break;
        case 16: case 32:
            if (compression != kRgb && compression != kBitFields && compression != kAlphaBitFields)
                return Fail(error, "unsupported bitmap compression");
            break;
        default:
            return Fail(error, "unsupported bits per pixel");
    }

    // Colour masks: inside V2+ headers, otherwise right after the info header.
    std::size_t tableAt = 14 + headerSize;
    std::uint32_t masks[3] = {};
    if (bitCount == 16 || bitCount == 32) {
        if (compression == kRgb) {
            if (bitCount == 16) { masks[0] = 0x7C00; masks[1] = 0x03E0; masks[2] = 0x001F; }
            else { masks[0] = 0xFF0000; masks[1] = 0x00FF00; masks[2] = 0x0000FF; }
        } else {
            std::size_t at = 14 + 40;
            if (headerSize == 40) {
                std::size_t count = compression == kAlphaBitFields ? 16 : 12;
                if (size < tableAt + count) return Fail(error, "bitmap colour masks cut short");
                tableAt += count;
            }
            for (int i = 0; i < 3; ++i) masks[i] = U32(f + at + 4 * i);
        }
        if (bitCount == 16)
            for (auto& m : masks) m &= 0xFFFF;
        Channel check;
        for (std::uint32_t m : masks)
            if (!check.Set(m)) return Fail(error, "bitmap colour mask is not contiguous");
    }

    if (offBits < 14 + headerSize || offBits > size) return Fail(error, "bitmap pixel offset outside the file");

    // Writers often store fewer colours than they declare; the table ends where the
    // pixels begin.
    std::uint32_t palette[256] = {};
    if (bitCount <= 8) {
        const std::uint32_t most = 1u << bitCount;
        std::uint32_t entries = colorsUsed == 0 || colorsUsed > most ? most : colorsUsed;
        const std::size_t entrySize = core ? 3 : 4;
        if (offBits >= tableAt)
            entries = static_cast<std::uint32_t>(std::min<std::size_t>(entries, (offBits - tableAt) / entrySize));
        if (tableAt + entries * entrySize > size) return Fail(error, "bitmap palette cut short");
        for (std::uint32_t i = 0; i < entries; ++i) {
            const std::uint8_t* e = f + tableAt + i * entrySize;
            palette[i] = static_cast<std::uint32_t>(e[2]) << 16 | static_cast<std::uint32_t>(e[1]) << 8 | e[0];
        }
    }

    const std::uint64_t stride = ((static_cast<std::uint64_t>(width) * bitCount + 31) / 32) * 4;
    if (stride * static_cast<std::uint64_t>(height) > size - offBits)
        return Fail(error, "bitmap pixel data runs past the end of the file");

    layout.Width = static_cast<std::int32_t>(width);
    layout.Height = static_cast<std::int32_t>(height);
    layout.BitCount = bitCount;
    layout.TopDown = topDown;
    layout.PixelOffset = offBits;
    layout.Stride = stride;
    layout.AlphaByte = bitCount == 32 && compression == kRgb;
    std::copy(palette, palette + 256, layout.Palette);
    std::copy(masks, masks + 3, layout.Masks);
    error.clear();
    return true;
}

void DecodeBmpRows(std::span<const std::uint8_t> file, const TBmpLayout& layout,
                   const std::function<void(int y, const std::uint32_t* rgb, const std::uint8_t* indices)>& row) {
    const auto w = static_cast<std::size_t>(layout.Width);
    const auto h = static_cast<std::size_t>(layout.Height);
    const std::uint16_t bitCount = layout.BitCount;
    const std::uint32_t* palette = layout.Palette;
    Channel red, green, blue;
    red.Set(layout.Masks[0]);
    green.Set(layout.Masks[1]);
    blue.Set(layout.Masks[2]);
    std::vector<std::uint32_t> pixels(w);
    std::vector<std::uint8_t> indices(bitCount <= 8 ? w : 0);
    std::uint32_t* dst = pixels.data();
    std::uint8_t* idx = indices.empty() ? nullptr : indices.data();
    for (std::size_t r = 0; r < h; ++r) {
        const std::uint8_t* src = file.data() + layout.PixelOffset + (layout.TopDown ? r : h - 1 - r) * layout.Stride;
        switch (bitCount) {
            case 1:
                for (std::size_t x = 0; x < w; ++x) dst[x] = palette[idx[x] = (src[x >> 3] >> (7 - (x & 7))) & 1];
                break;
            case 4:
                for (std::size_t x = 0; x < w; ++x) dst[x] = palette[idx[x] = (src[x >> 1] >> ((x & 1) ? 0 : 4)) & 15];
                break;
            case 8:
                for (std::size_t x = 0; x < w; ++x) dst[x] = palette[idx[x] = src[x]];
                break;
            case 24:
                for (std::size_t x = 0; x < w; ++x, src += 3)
                    dst[x] = static_cast<std::uint32_t>(src[2]) << 16 | static_cast<std::uint32_t>(src[1]) << 8 | src[0];
                break;
            case 16:
                for (std::size_t x = 0; x < w; ++x, src += 2) {
                    std::uint32_t v = U16(src);
                    dst[x] = red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                }
                break;
            case 32:
                for (std::size_t x = 0; x < w; ++x, src += 4) {
                    std::uint32_t v = U32(src);
                    dst[x] = red.Of(v) << 16 | green.Of(v) << 8 | blue.Of(v);
                }
                break;
        }
        row(static_cast<int>(r), dst, idx);
    }
}

void DecodeBmpAlphaRows(std::span<const std::uint8_t> file, const TBmpLayout& layout,
                        const std::function<void(int y, const std::uint8_t* alpha)>& row) {
    if (!layout.AlphaByte) return;
    const auto w = static_cast<std::size_t>(layout.Width);
    const auto h = static_cast<std::size_t>(layout.Height);
    std::vector<std::uint8_t> alpha(w);
    for (std::size_t r = 0; r < h; ++r) {
        const std::uint8_t* src = file.data() + layout.PixelOffset + (layout.TopDown ? r : h - 1 - r) * layout.Stride;
        for (std::size_t x = 0; x < w; ++x) alpha[x] = src[4 * x + 3];
        row(static_cast<int>(r), alpha.data());
    }
}

bool DecodeBmp(std::span<const std::uint8_t> file, TBmpImage& image, std::string& error) {
    TBmpLayout layout;
    if (!ReadBmpLayout(file, layout, error)) return false;
    const auto w = static_cast<std::size_t>(layout.Width);
    const auto h = static_cast<std::size_t>(layout.Height);
    std::vector<std::uint32_t> pixels(w * h);
    std::vector<std::uint8_t> indices(layout.BitCount <= 8 ? w * h : 0);
    DecodeBmpRows(file, layout, [&](int y, const std::uint32_t* rgb, const std::uint8_t* idx) {
        std::copy(rgb, rgb + w, pixels.data() + static_cast<std::size_t>(y) * w);
        if (idx) std::copy(idx, idx + w, indices.data() + static_cast<std::size_t>(y) * w);
    });
    image.Width = layout.Width;
    image.Height = layout.Height;
    image.BitCount = layout.BitCount;
    image.Pixels = std::move(pixels);
    image.Indices = std::move(indices);
    if (layout.BitCount <= 8)
        image.Palette.assign(layout.Palette, layout.Palette + (1u << layout.BitCount));
    else
        image.Palette.clear();
    return true;
}

}  // namespace qx
