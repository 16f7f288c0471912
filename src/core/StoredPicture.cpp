#include "StoredPicture.h"

#include <algorithm>

namespace qx {

namespace {
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

bool IsIdentifier(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        const char c = name[i];
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
        const bool digit = c >= '0' && c <= '9';
        if (!letter && !(digit && i > 0)) return false;
    }
    return true;
}

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}
}  // namespace

TStoredPicture ReadStoredPicture(TStream& stream) {
    TStoredPicture picture;
    std::uint8_t length = 0;
    if (stream.Read(&length, 1) == 0 || length == 0) return picture;
    picture.className.resize(length);
    stream.ReadBuffer(picture.className.data(), length);
    if (!IsIdentifier(picture.className)) throw EStreamError("stored picture: invalid class name");
    const std::int64_t rest = stream.Remaining();
    if (rest > 0) {
        picture.data.resize(static_cast<std::size_t>(rest));
        stream.ReadBuffer(picture.data.data(), picture.data.size());
    }
    return picture;
}

void WriteStoredPicture(TStream& stream, const std::string& className, std::span<const std::uint8_t> data) {
    if (className.size() > 255 || !IsIdentifier(className)) throw EStreamError("stored picture: invalid class name");
    const auto length = static_cast<std::uint8_t>(className.size());
    stream.WriteBuffer(&length, 1);
    stream.WriteBuffer(className.data(), className.size());
    if (!data.empty()) stream.WriteBuffer(data.data(), data.size());
}

TImageSignature DetectImageSignature(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2) return bytes.empty() ? TImageSignature::Empty : TImageSignature::Other;
    if ((bytes[0] | (bytes[1] << 8)) == 0x4D42) return TImageSignature::Bitmap;
    if (bytes.size() >= 8 && std::equal(kPngSignature, kPngSignature + 8, bytes.begin())) return TImageSignature::Png;
    return TImageSignature::Other;
}

bool ReadPngSize(std::span<const std::uint8_t> bytes, int& width, int& height) {
    // signature, then the IHDR chunk: length 13, type, width, height
    if (bytes.size() < 24 || DetectImageSignature(bytes) != TImageSignature::Png) return false;
    if (BigEndian32(&bytes[8]) != 13 || std::string(bytes.begin() + 12, bytes.begin() + 16) != "IHDR") return false;
    const std::uint32_t w = BigEndian32(&bytes[16]), h = BigEndian32(&bytes[20]);
    if (w == 0 || h == 0 || w > 0x7FFFFFFF || h > 0x7FFFFFFF) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

}  // namespace qx
