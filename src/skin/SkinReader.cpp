#include "SkinReader.h"

#include <cstring>

#include "Lzh.h"
#include "core/Text.h"

namespace qx {

namespace {

std::int32_t ReadInt32(const std::uint8_t* p) {
    std::uint32_t v = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                      static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
    return static_cast<std::int32_t>(v);
}

}  // namespace

std::vector<std::string> SplitSkinLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] != '\0') {
        std::size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
        lines.emplace_back(text.substr(start, i - start));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
    }
    return lines;
}

bool TSkinReader::LoadArchive(TStream& skinStream) {
    skinStream.SetPosition(0);
    std::uint8_t sizeField[4];
    if (skinStream.Read(sizeField, 4) != 4) return false;
    std::int32_t plainSize = ReadInt32(sizeField);
    if (plainSize > MaxPlainSize) return false;

    TMemoryStream scratch;
    TLZH().Decompress(plainSize, skinStream, scratch);
    const std::uint8_t* bytes = scratch.Memory();
    const std::size_t total = static_cast<std::size_t>(scratch.Size());

    if (total < 16) return false;
    std::array<std::uint8_t, 16> header;
    std::memcpy(header.data(), bytes, 16);
    if (ReadInt32(bytes) != kFormatVersion) {
        if (OnMessage) OnMessage(kOlderSkinMessage);
        return false;
    }
    std::int32_t namesLength = ReadInt32(bytes + 4);
    if (namesLength < 0 || static_cast<std::size_t>(namesLength) > total - 16) return false;
    std::string namesText(reinterpret_cast<const char*>(bytes + 16), static_cast<std::size_t>(namesLength));
    std::vector<std::string> names = SplitSkinLines(LowerAscii(namesText));
    if (names.size() > kMaxEntries) return false;

    std::size_t sizesAt = 16 + static_cast<std::size_t>(namesLength);
    std::size_t dataAt = sizesAt + 4 * names.size();
    if (dataAt > total) return false;
    std::array<std::int32_t, kMaxEntries> sizes{};
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        sizes[i] = ReadInt32(bytes + sizesAt + 4 * i);
        if (sizes[i] < 0) return false;
        sum += static_cast<std::uint64_t>(sizes[i]);
    }
    if (sum > total - dataAt) return false;

    names_ = std::move(names);
    sizes_ = sizes;
    header_ = header;
    data_.assign(bytes + dataAt, bytes + total);
    return true;
}

void TSkinReader::CopyEntry(std::size_t index, TMemoryStream& destination) const {
    std::size_t offset = 0;
    for (std::size_t i = 0; i < index; ++i) offset += static_cast<std::size_t>(sizes_[i]);
    auto size = static_cast<std::size_t>(sizes_[index]);
    // LoadArchive has checked that every entry lies inside data_.
    if (size > 0) destination.WriteBuffer(data_.data() + offset, size);
    destination.SetPosition(0);
}

void TSkinReader::ExtractFile(std::string_view name, TMemoryStream& destination) const {
    destination.Clear();
    std::string wanted = LowerAscii(name);
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i] == wanted) {
            CopyEntry(i, destination);
            return;
        }
}

void TSkinReader::ExtractFileLike(std::string_view text, TMemoryStream& destination, std::string& entryName) const {
    destination.Clear();
    // An empty text names nothing rather than the first entry.
    if (text.empty()) return;
    for (std::size_t i = 0; i < names_.size(); ++i)
        if (names_[i].find(text) != std::string::npos) {
            CopyEntry(i, destination);
            entryName = names_[i];
            return;
        }
}

}  // namespace qx
