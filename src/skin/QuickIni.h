// Read-only INI look-ups for a skin's description: the text is split once into an index of
// its sections and of each section's keys, and every look-up by name is one hash probe.
#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace qx {

class TStream;

inline constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

class TQuickIni {
public:
    // Rebuilds the index from the rest of stream; a null stream leaves everything as it was.
    void LoadFromStream(TStream* stream);
    // A UTF-8 byte-order mark at the start of the text is skipped.
    void LoadFromText(std::string_view text);

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; anything else gives
    // defaultValue. Eight hex digits fill all 32 bits ("$FFFFFFFF" is -1).
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    // Section names in text order, without brackets, trimmed.
    void ReadSections(std::vector<std::string>& sections) const;
    std::size_t SectionCount() const { return sections_.size(); }
    // Every value that a look-up can return (one per reachable key), in no particular order.
    void ForEachValue(const std::function<void(std::string_view value)>& visit) const;
    // The retained lines (trimmed, without comments and blank lines), split again from the text.
    std::vector<std::string> Lines() const;

private:
    struct TSection {
        std::size_t at, length;  // the trimmed header, brackets included, in text_
    };
    struct TKey {
        std::size_t section;
        std::string_view name;  // lower case, in lower_
        bool operator==(const TKey&) const = default;
    };
    struct TKeyHash {
        std::size_t operator()(const TKey& k) const {
            return std::hash<std::string_view>()(k.name) * 31 + k.section;
        }
    };
    struct TValue {
        std::size_t at, length;  // in text_
    };
    // The retained lines of text (trimmed), each with its position in text.
    template <class Visit>
    static void SplitRetained(std::string_view text, Visit visit);
    std::string_view Text(std::size_t at, std::size_t length) const { return std::string_view(text_).substr(at, length); }

    std::string text_;  // as given
    // The same text with A..Z lower-cased: the names the index points into. Held apart so that
    // moving the reader keeps those names where they are.
    std::unique_ptr<const std::string> lower_;
    std::vector<TSection> sections_;
    // Lower-cased header -> the first section of that name (later ones are never searched).
    std::unordered_map<std::string_view, std::size_t> sectionIndex_;
    // (section, lower-cased key) -> the value of the key's first line in that section.
    std::unordered_map<TKey, TValue, TKeyHash> keys_;
};

// The integer conversion used by ReadInteger, after its "0x" to "$" rewrite.
bool ParseSkinInteger(std::string_view text, std::int32_t& value);

}  // namespace qx
