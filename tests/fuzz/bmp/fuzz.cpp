// The bitmap decoder on arbitrary files: a refusal comes with a reason, a success with
// exactly width x height pixels.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/Bmp.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::TBmpImage image;
    std::string error;
    if (qx::DecodeBmp(std::span(data, size), image, error)) {
        if (image.Width <= 0 || image.Height <= 0 ||
            image.Pixels.size() != static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height))
            std::abort();
        for (std::uint32_t p : image.Pixels)
            if (p > 0xFFFFFF) std::abort();
    } else if (error.empty()) {
        std::abort();
    }
    return 0;
}
