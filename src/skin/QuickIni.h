// Read-only INI look-ups for a skin's description: the text is split once, and each look-up
// walks the lines of one section.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TStream;

class TQuickIni {
public:
    // Rebuilds the lines from the rest of stream; a null stream leaves everything as it was.
    void LoadFromStream(TStream* stream);
    void LoadFromText(std::string_view text);

    std::string ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // Decimal with an optional sign, or hexadecimal after "$" or "0x"; anything else gives
    // defaultValue. Eight hex digits fill all 32 bits ("$FFFFFFFF" is -1).
    std::int32_t ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const;
    // Section names in text order, without brackets, trimmed.
    void ReadSections(std::vector<std::string>& sections) const;

    const std::vector<std::string>& Lines() const { return lines_; }

private:
    struct Section {
        std::string header;  // trimmed, brackets included
        std::size_t line;    // index of the header in lines_
    };
    const Section* FindSection(std::string_view section) const;

    std::vector<std::string> lines_;
    std::vector<Section> sections_;
};

// The integer conversion used by ReadInteger, after its "0x" to "$" rewrite.
bool ParseSkinInteger(std::string_view text, std::int32_t& value);

}  // namespace qx
