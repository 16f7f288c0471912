// Decoding of Windows bitmap files (skin images, the framework's bitmaps) without the Windows API, so that a broken
// or hostile file is refused with a reason before any GDI call sees it.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

namespace qx {

struct TBmpImage {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t BitCount = 0;  // bits per pixel of the file
    // Width x Height pixels, top row first, each 0x00RRGGBB (a top-down 32-bit DIB).
    std::vector<std::uint32_t> Pixels;
    // Files of 1, 4 and 8 bits per pixel only (empty otherwise): the colour table as 0x00RRGGBB,
    // padded with black to 2^BitCount entries, and each pixel's index into it, top row first.
    std::vector<std::uint32_t> Palette;
    std::vector<std::uint8_t> Indices;
};

// What the headers of a bitmap file say, checked against the file's size: everything needed
// to decode its rows.
struct TBmpLayout {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    std::uint16_t BitCount = 0;
    bool TopDown = false;
    std::uint32_t PixelOffset = 0;
    std::uint64_t Stride = 0;
    std::uint32_t Palette[256] = {};  // 0x00RRGGBB, black past the stored entries
    std::uint32_t Masks[3] = {};      // red, green, blue of 16- and 32-bit files
    // A 32-bit file without masks, whose fourth byte of each pixel pictures that keep
    // transparency read as alpha.
    bool AlphaByte = false;
    std::int64_t Pixels() const { return static_cast<std::int64_t>(Width) * Height; }
};

// Accepts 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit-field masks,
// bottom-up or top-down, with the core, info and V4/V5 headers. Run-length encoded and
// embedded JPEG/PNG data are refused. Reads only the headers and the colour table: a file
// that passes decodes completely. On failure returns false with a reason in error.
bool ReadBmpLayout(std::span<const std::uint8_t> file, TBmpLayout& layout, std::string& error);

// Decodes the rows of a file that ReadBmpLayout accepted, top row first: row(y, rgb, indices)
// gets Width pixels as 0x00RRGGBB and, for files of 8 bits or fewer, their colour indices
// (null otherwise). One row is held at a time.
void DecodeBmpRows(std::span<const std::uint8_t> file, const TBmpLayout& layout,
                   const std::function<void(int y, const std::uint32_t* rgb, const std::uint8_t* indices)>& row);

// The fourth bytes of the pixels of a file whose layout has AlphaByte, top row first, one row
// at a time; nothing for other files.
void DecodeBmpAlphaRows(std::span<const std::uint8_t> file, const TBmpLayout& layout,
                        const std::function<void(int y, const std::uint8_t* alpha)>& row);

// The whole picture at once (ReadBmpLayout and DecodeBmpRows). On failure returns false with
// a reason in error and leaves image untouched.
bool DecodeBmp(std::span<const std::uint8_t> file, TBmpImage& image, std::string& error);

// Largest edge and pixel count accepted; bigger claims are refused before allocating.
inline constexpr std::int32_t kBmpMaxEdge = 32767;
inline constexpr std::int64_t kBmpMaxPixels = 64LL * 1024 * 1024;

}  // namespace qx
