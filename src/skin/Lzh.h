// LZHUF decoding of compressed skins: a 4 KB LZSS window whose literals and match lengths
// are coded by an adaptive Huffman tree and whose match positions use a static prefix code.
#pragma once
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>

namespace qx {

class TStream;

class ElzhException : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Both callbacks get a buffer and a requested count and report how many bytes they moved.
// A read callback reports 0 at the end of its input; a write callback must take every byte.
using TLzhReadEvent = std::function<void(std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;
using TLzhWriteEvent = std::function<void(const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done)>;

class TLZH {
public:
    // Decodes until at least plainSize bytes were produced. The end test runs between
    // symbols, so a final match may carry the output up to 59 bytes past plainSize. Input
    // missing at the end reads as zero bits. Throws ElzhException when the tables cannot be
    // allocated or the write callback refuses bytes; callback exceptions pass through.
    // Returns the number of bytes written.
    std::int64_t Decompress(std::int32_t plainSize, const TLzhReadEvent& read, const TLzhWriteEvent& write);

    // The same over streams: reads from source's position, appends at destination's position.
    std::int64_t Decompress(std::int32_t plainSize, TStream& source, TStream& destination);
};

}  // namespace qx
