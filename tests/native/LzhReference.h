// A deliberately plain LZHUF decoder written step by step from the format's description
// (16-bit bit buffer, one byte per read, a real 4 KB ring): the tests check the program's
// decoder against it, and the speed bench measures the program's decoder against it.
#pragma once
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace qx::test {

struct ReferenceResult {
    std::vector<std::uint8_t> Output;
    std::size_t BytesRead = 0;  // input bytes the decoder asked for and got
};

using ByteReader = std::function<void(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;
using ByteWriter = std::function<void(const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;

// rebuildAt is the root count at which the tree is rebuilt; only tests that show what a
// rebuild at the wrong moment does pass anything but 0x8000.
ReferenceResult ReferenceDecompress(std::int32_t plainSize, std::span<const std::uint8_t> input,
                                    unsigned rebuildAt = 0x8000);

// The same decoder behind the callbacks the program's decoder takes (called here once per
// byte), so that a speed comparison runs both through one interface.
void ReferenceDecompress(std::int32_t plainSize, const ByteReader& read, const ByteWriter& write,
                         unsigned rebuildAt = 0x8000);

}  // namespace qx::test
