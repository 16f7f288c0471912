// The stored-layout reader on arbitrary bytes: a refusal is an ELayoutError with a reason;
// an accepted layout writes back to bytes that read to the same tree and write identically.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "core/Layout.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::TLayoutObject tree;
    try {
        tree = qx::ReadLayout(std::span(data, size));
    } catch (const qx::ELayoutError& e) {
        if (!*e.what()) std::abort();
        return 0;
    }
    const std::vector<std::uint8_t> once = qx::WriteLayout(tree);
    const std::vector<std::uint8_t> twice = qx::WriteLayout(qx::ReadLayout(once));
    if (once != twice) std::abort();
    return 0;
}
