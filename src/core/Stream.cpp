#include "Stream.h"

#include <algorithm>
#include <cstring>

namespace qx {

void TStream::ReadBuffer(void* buffer, std::size_t count) {
    if (Read(buffer, count) != count) throw EStreamError("stream read error");
}

void TStream::WriteBuffer(const void* buffer, std::size_t count) {
    if (Write(buffer, count) != count) throw EStreamError("stream write error");
}

std::int64_t TStream::CopyFrom(TStream& source, std::int64_t count) {
    if (count < 0) count = source.Remaining();
    std::uint8_t chunk[16384];
    std::int64_t done = 0;
    while (done < count) {
        auto want = static_cast<std::size_t>(std::min<std::int64_t>(count - done, sizeof chunk));
        source.ReadBuffer(chunk, want);
        WriteBuffer(chunk, want);
        done += static_cast<std::int64_t>(want);
    }
    return done;
}

TMemoryStream::TMemoryStream(const void* bytes, std::size_t count)
    : data_(static_cast<const std::uint8_t*>(bytes), static_cast<const std::uint8_t*>(bytes) + count) {}

std::size_t TMemoryStream::Read(void* buffer, std::size_t count) {
    if (position_ >= Size()) return 0;
    std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(Size() - position_));
    if (n) std::memcpy(buffer, data_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

std::size_t TMemoryStream::Write(const void* buffer, std::size_t count) {
    if (count == 0) return 0;
    auto end = static_cast<std::size_t>(position_) + count;
    if (end > data_.size()) data_.resize(end);
    std::memcpy(data_.data() + position_, buffer, count);
    position_ = static_cast<std::int64_t>(end);
    return count;
}

void TMemoryStream::SetPosition(std::int64_t position) {
    if (position < 0) throw EStreamError("negative stream position");
    position_ = position;
}

void TMemoryStream::Clear() {
    data_.clear();
    position_ = 0;
}

void TMemoryStream::SetSize(std::size_t size) {
    data_.resize(size);
    if (position_ > Size()) position_ = Size();
}

std::size_t TSpanStream::Read(void* buffer, std::size_t count) {
    if (position_ >= Size()) return 0;
    std::size_t n = std::min<std::size_t>(count, static_cast<std::size_t>(Size() - position_));
    if (n) std::memcpy(buffer, bytes_.data() + position_, n);
    position_ += static_cast<std::int64_t>(n);
    return n;
}

void TSpanStream::SetPosition(std::int64_t position) {
    if (position < 0) throw EStreamError("negative stream position");
    position_ = position;
}

}  // namespace qx
