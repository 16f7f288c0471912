// The PNG decoder on arbitrary files: a refusal comes with a reason, a success with exactly
// width x height premultiplied pixels (no colour above its alpha).
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Png.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::TPngPixels image;
    std::string error;
    if (qx::DecodePng(std::span(data, size), image, error)) {
        if (image.Width <= 0 || image.Height <= 0 ||
            image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
            std::abort();
        for (std::uint32_t p : image.Pixels) {
            const std::uint32_t a = p >> 24;
            if (((p >> 16) & 0xFF) > a || ((p >> 8) & 0xFF) > a || (p & 0xFF) > a) std::abort();
        }
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
