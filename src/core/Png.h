// Decoding of PNG files without the Windows API. The pictures hand GDI+ ready pixels, so a
// program whose window shows only such pictures never starts the platform's imaging
// components (tens of milliseconds at every start), and a broken or hostile file is refused
// with a reason before any platform code sees it.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qx {

struct TPngPixels {
    std::int32_t Width = 0;
    std::int32_t Height = 0;
    // Width x Height pixels, top row first, each 0xAARRGGBB with the colour already multiplied
    // by its alpha (the layout GDI+ calls 32bppPARGB).
    std::vector<std::uint32_t> Pixels;
};

// Takes every non-interlaced image of the standard colour types and bit depths, with its
// transparency chunk; the file's checksums are verified. Interlaced images and images that
// carry a colour profile or a gamma other than the display's are declined, as are broken
// files: false with a reason in error, image untouched, so that a caller may hand what is
// declined to the platform's decoder.
bool DecodePng(std::span<const std::uint8_t> file, TPngPixels& image, std::string& error);

// Largest edge and pixel count accepted; bigger claims are refused before allocating.
inline constexpr std::int32_t kPngMaxEdge = 32767;
inline constexpr std::int64_t kPngMaxPixels = 64LL * 1024 * 1024;

// The zlib stream inside a PNG, inflated into exactly expected bytes (no more, no fewer).
bool InflateZlib(std::span<const std::uint8_t> stream, std::size_t expected, std::vector<std::uint8_t>& out,
                 std::string& error);

}  // namespace qx
