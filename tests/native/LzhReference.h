// A deliberately plain LZHUF decoder written step by step from the format's description
// (16-bit bit buffer, one byte per read, a real 4 KB ring), kept only to check the
// program's decoder against.
#pragma once
#include <cstdint>
#include <span>
#include <vector>

namespace qx::test {

struct ReferenceResult {
    std::vector<std::uint8_t> Output;
    std::size_t BytesRead = 0;  // input bytes the decoder asked for and got
};

// rebuildAt is the root count at which the tree is rebuilt; only tests that show what a
// rebuild at the wrong moment does pass anything but 0x8000.
ReferenceResult ReferenceDecompress(std::int32_t plainSize, std::span<const std::uint8_t> input,
                                    unsigned rebuildAt = 0x8000);

}  // namespace qx::test
