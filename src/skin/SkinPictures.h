// The pictures a skin names and the ceilings a skin must stay under: which archive entry a
// key's value stands for, the checked size of each entry's picture, the decoded pixels of all
// the pictures a skin names (each distinct entry counted once, as it is decoded once), and the
// messages that refuse a skin beyond a ceiling.
#pragma once
#include "core/Bmp.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace qx {

class TQuickIni;
class TSkinReader;

// Decoded pixels one skin may use. The installer's own skin decodes to about 0.12 megapixels;
// a skin drawn for a large screen holds frame strips, button faces and glyphs, not screen-sized
// pictures, and stays far below this.
inline constexpr std::int64_t kSkinPixelBudget = 8LL * 1024 * 1024;
// Largest INI description taken (the installer's is under 6 KB).
inline constexpr std::size_t kSkinMaxIniBytes = 4 * 1024 * 1024;

// The messages that refuse a skin; each names what is too large, by how much, and the ceiling.
std::string SkinFileTooLargeMessage(std::int64_t bytes);
std::string SkinIniTooLargeMessage(std::int64_t bytes);
std::string SkinPicturesTooLargeMessage(std::int64_t pixels);

// The archive entry a key's value names: the value's file-name part (after the last \, / or
// :) when it ends in ".bmp" (lower case); "" otherwise.
std::string PictureFileName(std::string_view value);

class TSkinPictures {
public:
    explicit TSkinPictures(const TSkinReader& reader) : reader_(reader) {}

    // The entry a key's value names, or TSkinReader::npos.
    std::size_t EntryOf(std::string_view value) const;
    // The checked headers of an entry's picture; null when the entry is empty or not a
    // readable bitmap (such a picture is missing, not refused).
    const TBmpLayout* Layout(std::size_t entry) const;
    // The pixels of every distinct readable picture that some value of the INI names.
    std::int64_t NamedPixels(const TQuickIni& ini) const;

private:
    const TSkinReader& reader_;
    mutable std::unordered_map<std::size_t, std::unique_ptr<TBmpLayout>> layouts_;
};

}  // namespace qx
