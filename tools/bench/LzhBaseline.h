// The yardstick for the decoder's speed: the decoding steps transcribed one to one, with a
// 16-bit bit buffer, a 4 KB ring and one callback per input and per output byte.
#pragma once
#include <cstdint>
#include <functional>

namespace qx::bench {

using ByteReader = std::function<void(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;
using ByteWriter = std::function<void(const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;

void BaselineDecompress(std::int32_t plainSize, const ByteReader& read, const ByteWriter& write);

}  // namespace qx::bench
