#include "SkinReader.h"

#include <algorithm>
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
    error_.clear();
    notes_.clear();
    auto refuse = [this](std::string why) {
        error_ = "This skin file " + std::move(why) + ".\rThe skin is not used.";
        return false;
    };
    if (skinStream.Read(sizeField, 4) != 4) return refuse("is too short to be a skin");
    std::int32_t plainSize = ReadInt32(sizeField);
    if (plainSize > MaxPlainSize)
        return refuse("declares " + std::to_string(plainSize) + " bytes of content, more than a skin may hold (" +
                      std::to_string(MaxPlainSize) + ")");
    // Every symbol takes at least one bit and a match at least ten for 60 bytes: a coded
    // stream holds at most 48 bytes per byte. A claim beyond that is a stream cut short, whose
    // rest would only decode from zero bits, and would cost the whole claim in time.
    const std::int64_t coded = std::max<std::int64_t>(0, skinStream.Size() - skinStream.Position());
    if (plainSize > kMaxExpansion * coded + 64)
        return refuse("is cut short: it declares " + std::to_string(plainSize) + " bytes of content, and its " +
                      std::to_string(coded) + " bytes cannot hold them");

    // Decoded straight into one buffer of the declared size (a last match may run past it by
    // less than a match's length), which the reader then keeps: the entries are never copied.
    std::vector<std::uint8_t> plain;
    plain.reserve(static_cast<std::size_t>(std::max(plainSize, 0)) + 64);
    TLZH().Decompress(
        plainSize,
        [&skinStream](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            done = static_cast<std::uint16_t>(skinStream.Read(buffer, count));
        },
        [&plain](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            plain.insert(plain.end(), buffer, buffer + count);
            done = count;
        });
    const std::uint8_t* bytes = plain.data();
    const std::size_t total = plain.size();

    if (total < 16) return refuse("holds no skin archive: its content is shorter than an archive's header");
    std::array<std::uint8_t, 16> header;
    std::memcpy(header.data(), bytes, 16);
    if (ReadInt32(bytes) != kFormatVersion) {
        error_ = kOlderSkinMessage;
        if (OnMessage) OnMessage(kOlderSkinMessage);
        return false;
    }
    std::int32_t namesLength = ReadInt32(bytes + 4);
    if (namesLength < 0 || static_cast<std::size_t>(namesLength) > total - 16)
        return refuse("is damaged: its archive declares " + std::to_string(namesLength) + " bytes of entry names, and holds " +
                      std::to_string(total - 16));
    const std::size_t nul = std::string_view(reinterpret_cast<const char*>(bytes + 16), namesLength).find('\0');
    std::string namesText(reinterpret_cast<const char*>(bytes + 16), static_cast<std::size_t>(namesLength));
    std::vector<std::string> names = SplitSkinLines(LowerAscii(namesText));
    if (names.size() > kMaxEntries)
        return refuse("holds " + std::to_string(names.size()) + " entries, more than a skin may hold (" +
                      std::to_string(kMaxEntries) + ")");
    // The names end at a NUL: the sizes and the data are then read from the wrong place.
    auto afterNul = [&] {
        return nul == std::string_view::npos
                   ? std::string()
                   : ", after a NUL byte in the entry names (after entry " + std::to_string(names.size()) + ")";
    };

    std::size_t sizesAt = 16 + static_cast<std::size_t>(namesLength);
    std::size_t dataAt = sizesAt + 4 * names.size();
    if (dataAt > total) return refuse("is damaged: its archive is too short for the sizes of its entries" + afterNul());
    std::array<std::int32_t, kMaxEntries> sizes{};
    std::vector<std::uint64_t> offsets(names.size());
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < names.size(); ++i) {
        sizes[i] = ReadInt32(bytes + sizesAt + 4 * i);
        if (sizes[i] < 0)
            return refuse("is damaged: entry \"" + names[i] + "\" declares a negative size (" + std::to_string(sizes[i]) +
                          ")" + afterNul());
        offsets[i] = dataAt + sum;
        sum += static_cast<std::uint64_t>(sizes[i]);
    }
    if (sum > total - dataAt)
        return refuse("is damaged: its entry sizes add up to " + std::to_string(sum) + " bytes, and the archive holds " +
                      std::to_string(total - dataAt) + afterNul());
    if (nul != std::string_view::npos)
        notes_.push_back("The skin's entry names hold a NUL byte after entry " + std::to_string(names.size()) +
                         ": the names after it are not read, and the entries are read from the wrong place.");
    if (sum < total - dataAt)
        notes_.push_back("The skin's entry sizes add up to " + std::to_string(sum) + " bytes, and the archive holds " +
                         std::to_string(total - dataAt) + ": the entries may be read from the wrong place.");

    std::unordered_map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < names.size(); ++i) index.emplace(names[i], i);
    names_ = std::move(names);
    sizes_ = sizes;
    offsets_ = std::move(offsets);
    index_ = std::move(index);
    header_ = header;
    plain_ = std::move(plain);
    return true;
}

std::size_t TSkinReader::Find(std::string_view name) const {
    const auto it = index_.find(LowerAscii(name));
    return it == index_.end() ? npos : it->second;
}

void TSkinReader::ReleaseEntries() {
    plain_.clear();
    plain_.shrink_to_fit();
}

std::span<const std::uint8_t> TSkinReader::Entry(std::size_t index) const {
    if (index >= names_.size() || plain_.empty()) return {};
    // LoadArchive has checked that every entry lies inside the archive.
    return std::span<const std::uint8_t>(plain_).subspan(static_cast<std::size_t>(offsets_[index]),
                                                          static_cast<std::size_t>(sizes_[index]));
}

void TSkinReader::CopyEntry(std::size_t index, TMemoryStream& destination) const {
    const std::span<const std::uint8_t> bytes = Entry(index);
    if (!bytes.empty()) destination.WriteBuffer(bytes.data(), bytes.size());
    destination.SetPosition(0);
}

void TSkinReader::ExtractFile(std::string_view name, TMemoryStream& destination) const {
    destination.Clear();
    const std::size_t index = Find(name);
    if (index != npos) CopyEntry(index, destination);
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
