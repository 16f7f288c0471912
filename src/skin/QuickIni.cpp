#include "QuickIni.h"

#include "core/Stream.h"
#include "core/Text.h"

namespace qx {

namespace {

bool IsHeader(std::string_view line) {
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
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

template <class Visit>
void TQuickIni::SplitRetained(std::string_view text, Visit visit) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    while (i < n && text[i] != '\0') {
        std::size_t start = i;
        while (i < n && text[i] != '\r' && text[i] != '\n' && text[i] != '\0') ++i;
        std::string_view line = TrimControl(text.substr(start, i - start));
        if (i < n && text[i] == '\r') ++i;
        if (i < n && text[i] == '\n') ++i;
        if (line.empty() || line.front() == ';') continue;
        visit(line, static_cast<std::size_t>(line.data() - text.data()));
    }
}

void TQuickIni::LoadFromText(std::string_view text) {
    sections_.clear();
    sectionIndex_.clear();
    keys_.clear();
    // Many editors start a UTF-8 text with a byte-order mark; it is no part of the first line.
    if (text.starts_with(kUtf8ByteOrderMark)) text.remove_prefix(kUtf8ByteOrderMark.size());
    text_.assign(text);
    lower_ = std::make_unique<const std::string>(LowerAscii(text_));
    const std::string_view lower(*lower_);
    // Keys of a section are indexed only in the first section of its name, and only at their
    // first line: nothing else can be found by a look-up.
    bool indexing = false;
    SplitRetained(text_, [&](std::string_view line, std::size_t at) {
        if (IsHeader(line)) {
            const std::size_t index = sections_.size();
            sections_.push_back({at, line.size()});
            indexing = sectionIndex_.emplace(lower.substr(at, line.size()), index).second;
            return;
        }
        if (!indexing) return;
        const std::size_t eq = line.find('=');
        std::string_view key, value;
        if (eq != std::string_view::npos) {
            key = TrimControl(lower.substr(at, eq));
            value = TrimControl(line.substr(eq + 1));
        }
        const TValue where{value.empty() ? at : static_cast<std::size_t>(value.data() - text_.data()), value.size()};
        keys_.emplace(TKey{sections_.size() - 1, key}, where);
    });
}

std::string TQuickIni::ReadString(std::string_view section, std::string_view key, std::string_view defaultValue) const {
    if (sections_.empty()) return std::string(defaultValue);
    std::string wanted;
    wanted.reserve(section.size() + 2);
    wanted += '[';
    wanted += LowerAscii(section);
    wanted += ']';
    const auto s = sectionIndex_.find(wanted);
    if (s == sectionIndex_.end()) return std::string(defaultValue);
    const std::string name = LowerAscii(key);
    const auto k = keys_.find(TKey{s->second, name});
    if (k == keys_.end() || k->second.length == 0) return std::string(defaultValue);
    return std::string(Text(k->second.at, k->second.length));
}

std::int32_t TQuickIni::ReadInteger(std::string_view section, std::string_view key, std::int32_t defaultValue) const {
    std::string s = ReadString(section, key, "");
    if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s.replace(0, 2, "$");
    std::int32_t value;
    return ParseSkinInteger(s, value) ? value : defaultValue;
}

void TQuickIni::ReadSections(std::vector<std::string>& sections) const {
    sections.clear();
    sections.reserve(sections_.size());
    for (const TSection& s : sections_) sections.emplace_back(TrimControl(Text(s.at + 1, s.length - 2)));
}

void TQuickIni::ForEachValue(const std::function<void(std::string_view value)>& visit) const {
    for (const auto& [key, value] : keys_)
        if (value.length > 0) visit(Text(value.at, value.length));
}

std::vector<std::string> TQuickIni::Lines() const {
    std::vector<std::string> lines;
    SplitRetained(text_, [&lines](std::string_view line, std::size_t) { lines.emplace_back(line); });
    return lines;
}

}  // namespace qx
