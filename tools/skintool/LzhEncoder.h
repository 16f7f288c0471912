// LZHUF compression for the skin tools: the exact counterpart of the program's decoder.
// The program itself only ever decodes; this lives with the tools.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace qx::tools {

struct TLzhEncodeOptions {
    // How many earlier positions the match finder tries per byte; more finds longer matches.
    unsigned ChainLimit = 128;
    // Literal bytes only (useful to test the decoder's literal path and tree updates).
    bool LiteralsOnly = false;
};

// Returns the compressed stream: the plain size (32-bit little-endian) and the coded bits.
// Throws std::length_error for input of 2 GiB or more.
std::vector<std::uint8_t> LzhCompress(std::span<const std::uint8_t> plain, const TLzhEncodeOptions& options = {});

}  // namespace qx::tools
