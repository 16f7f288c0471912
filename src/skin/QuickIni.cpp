#include "QuickIni.h"

#include "core/Stream.h"
#include "core/Text.h"

namespace qx {

namespace {

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

std::string_view KeyOf(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    return TrimControl(line.substr(0, eq));
}

std::string_view ValueOf(std::string_view line) {
    std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) return {};
    return TrimControl(line.substr(eq + 1));
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

bool ParseSkinInteger(std::string_view text, std::int32_t& value) {
    if (text.empty()) return false;
    if (text[0] == '$') {
        if (text.size() == 1) return false;
        std::uint64_t v = 0;
        for (std::size_t i = 1; i < text.size(); ++i) {
            int d = HexDigit(text[i]);
            if (d < 0) return false;
            v = v * 16 + static_cast<unsigned>(d);
            if (v > 0xFFFFFFFFu) return false;
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return true;
    }
    std::size_t i = 0;
    bool negative = false;
    if (text[0] == '+' || text[0] == '-') {
        negative = text[0] == '-';
        i = 1;
    }
    if (i == text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

void TQuickIni::LoadFromStream(TStream* stream) {
    if (!stream) return;
    std::string text;
    std::int64_t remaining = stream->Remaining();
    if (remaining > 0) {
        text.resize(static_cast<std::size_t>(remaining));
        text.resize(stream->Read(text.data(), text.size()));
    }
    LoadFromText(text);
}

void TQuickIni::LoadFromText(std::string_view text) {
    lines_.clear();
    sections_.clear();
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] != '\0') {
        std::size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
        std::string_view line = TrimControl(text.substr(start, i - start));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
        if (line.empty() || line.front() == ';') continue;
        if (IsHeader(line)) sections_.push_back({std::string(line), lines_.size()});
        lines_.emplace_back(line);
    }
}

const TQuickIni::Section* TQuickIni::FindSection(std::string_view section) const {
    std::string wanted;
    wanted.reserve(section.size() + 2);
    wanted += '[';
    wanted += section;
    wanted += ']';
    for (const Section& s : sections_)
        if (EqualsIgnoreCaseAscii(s.header, wanted)) return &s;
    return nullptr;
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    if (lines_.empty()) return std::string(defaultValue);
    const Section* s = FindSection(section);
    if (!s) return std::string(defaultValue);
    std::string wanted = LowerAscii(key);
    for (std::size_t i = s->line + 1; i < lines_.size(); ++i) {
        std::string_view line = lines_[i];
        if (IsHeader(line)) break;
        if (LowerAscii(KeyOf(line)) != wanted) continue;
        std::string_view value = ValueOf(line);
        return std::string(value.empty() ? defaultValue : value);
    }
    return std::string(defaultValue);
}

std::int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
    std::string s = ReadString(section, key, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
    std::int32_t value;
    return ParseSkinInteger(s, value) ? value : defaultValue;
}

void TQuickIni::ReadSections(std::vector<std::string>& sections) const {
    sections.clear();
    for (const Section& s : sections_)
        sections.emplace_back(TrimControl(std::string_view(s.header).substr(1, s.header.size() - 2)));
}

}  // namespace qx
