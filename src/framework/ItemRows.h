// Items of list-like controls in the layout: the layout format has no collections, so each item
// (a status panel, a list column, a header section, a list row) is one text of a string list
// whose fields are separated by "|", in the order each control documents.
#pragma once
#include <string>
#include <vector>

namespace qx {

inline std::vector<std::u16string> SplitRow(const std::u16string& row) {
    std::vector<std::u16string> fields(1);
    for (char16_t c : row) {
        if (c == u'|')
            fields.emplace_back();
        else
            fields.back().push_back(c);
    }
    return fields;
}

inline std::u16string JoinRow(const std::vector<std::u16string>& fields) {
    std::u16string row;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) row.push_back(u'|');
        row += fields[i];
    }
    return row;
}

// A field as a number; fallback when it is missing or not a number.
inline int RowInt(const std::vector<std::u16string>& fields, std::size_t index, int fallback) {
    if (index >= fields.size() || fields[index].empty()) return fallback;
    int value = 0;
    bool negative = false;
    std::size_t i = 0;
    if (fields[index][0] == u'-') {
        negative = true;
        i = 1;
    }
    if (i >= fields[index].size()) return fallback;
    for (; i < fields[index].size(); ++i) {
        const char16_t c = fields[index][i];
        if (c < u'0' || c > u'9' || value > 100000000) return fallback;
        value = value * 10 + (c - u'0');
    }
    return negative ? -value : value;
}

inline std::u16string RowText(const std::vector<std::u16string>& fields, std::size_t index) {
    return index < fields.size() ? fields[index] : std::u16string();
}

}  // namespace qx
