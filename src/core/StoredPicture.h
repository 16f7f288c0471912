// The stored form of a picture in a window layout: a class name with a one-byte length,
// directly followed by whatever that graphic class saves (for the GDI+ images, the encoded
// file bytes). Also the signature test that decides how encoded bytes are decoded.
#pragma once
#include "core/Stream.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qx {

struct TStoredPicture {
    std::string className;  // empty: the picture was stored empty
    std::vector<std::uint8_t> data;
};

// Reads the rest of the stream. A zero length byte (or an empty stream) is an empty picture.
// Throws EStreamError when the name is cut short or is not a plain identifier.
TStoredPicture ReadStoredPicture(TStream& stream);
void WriteStoredPicture(TStream& stream, const std::string& className, std::span<const std::uint8_t> data);

enum class TImageSignature { Empty, Bitmap, Png, Other };

// "BM" (a Windows bitmap, read as the little-endian value 0x4D42) and the PNG signature.
TImageSignature DetectImageSignature(std::span<const std::uint8_t> bytes);

// Width and height from a PNG's header chunk; false when the bytes do not start one.
bool ReadPngSize(std::span<const std::uint8_t> bytes, int& width, int& height);

}  // namespace qx
