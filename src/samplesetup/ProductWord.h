// The product a sample setup program stands for, read from its own file name the way the
// installer names its downloads ("DrivanoKur.exe") and the publisher its files ("DrivanoSetup.exe").
#pragma once
#include <string>
#include <string_view>

namespace qx {

inline std::u16string SampleProductWord(std::u16string_view fileName) {
    auto lower = [](char16_t c) { return (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c; };
    auto endsWith = [&](std::u16string_view text, std::u16string_view tail) {
        if (text.size() < tail.size()) return false;
        for (std::size_t i = 0; i < tail.size(); ++i)
            if (lower(text[text.size() - tail.size() + i]) != lower(tail[i])) return false;
        return true;
    };
    std::size_t slash = fileName.find_last_of(u"\\/");
    std::u16string_view name = slash == std::u16string_view::npos ? fileName : fileName.substr(slash + 1);
    if (endsWith(name, u".exe")) name.remove_suffix(4);
    std::u16string_view word = name;
    for (std::u16string_view tail : {u"Kur", u"Setup"}) {
        if (endsWith(word, tail)) {
            word.remove_suffix(tail.size());
            break;
        }
    }
    if (word.empty()) word = name;
    if (word.empty()) return u"Quenrix";
    return std::u16string(word);
}

}  // namespace qx
