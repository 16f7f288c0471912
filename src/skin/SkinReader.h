// Reads a compressed skin archive (named entries: one INI description and the bitmaps it
// names) into memory once, and hands out single entries by name without copying them.
#pragma once
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <span>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/Stream.h"

namespace qx {

class TSkinReader {
public:
    static constexpr std::int32_t kFormatVersion = 20000;
    static constexpr std::size_t kMaxEntries = 1001;
    static constexpr const char* kOlderSkinMessage = "This is Older Skin File\rPlease update to new version !";

    // Shown for an archive of another format version; the Windows side makes it a modal box.
    using TMessageEvent = std::function<void(const std::string& message)>;
    TMessageEvent OnMessage;

    // The archive's ceiling: the largest plain archive, and so the largest skin file, taken.
    // Pictures that do not pack decode at about 100 ns a byte in the 32-bit program on a busy
    // 2-core machine (measured: 15 MiB of noise took 1.5 to 1.8 s): 8 MiB keep any skin's
    // decoding within a second, and hold a skin's whole pixel budget in 4-bit pictures, nearly
    // all of it in 8-bit ones and some 2.8 megapixels in 24-bit ones (the installer's skin is
    // under half a megabyte).
    static constexpr std::int32_t kMaxPlainSize = 8 * 1024 * 1024;
    // The most plain bytes one coded byte can give (a ten-bit match of 60 bytes).
    static constexpr std::int64_t kMaxExpansion = 48;
    // Upper bound for the declared plain size of a skin; a bigger claim is refused before
    // anything is decoded (a few bytes could otherwise ask for gigabytes of zeros).
    std::int32_t MaxPlainSize = kMaxPlainSize;

    // Decompresses the skin stream (from position 0) and takes over its names, sizes and
    // data. Returns false, keeping the previous contents, for another format version
    // (reported through OnMessage) and, silently, for an archive that is cut short (also one
    // whose coded stream is too short to hold the plain size it declares), holds more than
    // 1,001 names or negative sizes, or whose sizes overrun its data region.
    // ElzhException from decoding passes through.
    bool LoadArchive(TStream& skinStream);
    // Why the last LoadArchive returned false, in words for the skin's author ("" after success).
    const std::string& Error() const { return error_; }
    // What the last successful LoadArchive found odd but took: entry names cut at a NUL, entry
    // sizes that leave data over. Each can explain why the description or a picture is unreadable.
    const std::vector<std::string>& Notes() const { return notes_; }

    // Empties destination, then writes the first entry named name (A..Z compared without
    // case) and rewinds it. No such entry leaves it empty.
    void ExtractFile(std::string_view name, TMemoryStream& destination) const;
    // Like ExtractFile for the first entry whose name contains text (case as given; the
    // names are lower case). On a hit entryName receives the name, otherwise it is untouched.
    void ExtractFileLike(std::string_view text, TMemoryStream& destination, std::string& entryName) const;

    // The index of the first entry named name (A..Z compared without case), or npos.
    std::size_t Find(std::string_view name) const;
    // The bytes of entry index, held by the reader (valid until the next LoadArchive or
    // ReleaseEntries).
    std::span<const std::uint8_t> Entry(std::size_t index) const;
    // Frees the entries' bytes: names, sizes and Find stay, and every entry reads as empty.
    void ReleaseEntries();

    const std::vector<std::string>& Names() const { return names_; }
    std::size_t Count() const { return names_.size(); }
    // Throws std::out_of_range for an index past the last entry.
    std::int32_t EntrySize(std::size_t index) const { return sizes_.at(index < names_.size() ? index : kMaxEntries); }
    const std::array<std::uint8_t, 16>& Header() const { return header_; }

    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

private:
    void CopyEntry(std::size_t index, TMemoryStream& destination) const;

    std::vector<std::string> names_;
    std::array<std::int32_t, kMaxEntries> sizes_{};
    std::vector<std::uint64_t> offsets_;  // where each entry starts in plain_
    std::unordered_map<std::string, std::size_t> index_;  // name -> its first entry
    std::vector<std::uint8_t> plain_;  // the whole decompressed archive
    std::array<std::uint8_t, 16> header_{};
    std::string error_;
    std::vector<std::string> notes_;
};

// Splits a names text: lines end at CR LF, a lone CR or a lone LF; NUL ends the text; the
// break after the last line adds no empty line.
std::vector<std::string> SplitSkinLines(std::string_view text);

}  // namespace qx
