// Byte streams shared by the readers of the portable core (layout, skin archive, INI,
// bitmaps): a small abstract stream and an in-memory one.
#pragma once
#include <cstddef>
#include <cstdint>
#include <span>
#include <stdexcept>
#include <vector>

namespace qx {

class EStreamError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TStream {
public:
    virtual ~TStream() = default;
    // Reads up to count bytes; returns how many were read (0 at the end).
    virtual std::size_t Read(void* buffer, std::size_t count) = 0;
    virtual std::size_t Write(const void* buffer, std::size_t count) = 0;
    virtual std::int64_t Size() const = 0;
    virtual std::int64_t Position() const = 0;
    virtual void SetPosition(std::int64_t position) = 0;

    // Reads exactly count bytes or throws EStreamError.
    void ReadBuffer(void* buffer, std::size_t count);
    void WriteBuffer(const void* buffer, std::size_t count);
    std::int64_t Remaining() const { return Size() - Position(); }
    // Copies count bytes (all that remain when count is negative) from source.
    std::int64_t CopyFrom(TStream& source, std::int64_t count);
};

class TMemoryStream final : public TStream {
public:
    TMemoryStream() = default;
    explicit TMemoryStream(std::vector<std::uint8_t> bytes) : data_(std::move(bytes)) {}
    TMemoryStream(const void* bytes, std::size_t count);

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    std::int64_t Size() const override { return static_cast<std::int64_t>(data_.size()); }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;

    void Clear();
    void SetSize(std::size_t size);
    const std::uint8_t* Memory() const { return data_.data(); }
    std::uint8_t* Memory() { return data_.data(); }
    std::span<const std::uint8_t> Bytes() const { return data_; }
    const std::vector<std::uint8_t>& Vector() const { return data_; }

private:
    std::vector<std::uint8_t> data_;
    std::int64_t position_ = 0;
};

// A read-only view of bytes owned elsewhere.
class TSpanStream final : public TStream {
public:
    explicit TSpanStream(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void*, std::size_t) override { throw EStreamError("stream is read-only"); }
    std::int64_t Size() const override { return static_cast<std::int64_t>(bytes_.size()); }
    std::int64_t Position() const override { return position_; }
    void SetPosition(std::int64_t position) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::int64_t position_ = 0;
};

}  // namespace qx
