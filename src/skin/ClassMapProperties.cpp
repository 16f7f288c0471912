#include "skin/ClassMapProperties.h"

#include <exception>

namespace qx {

namespace {

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace

std::string GetEnumPropText(TObject* object, std::string_view name) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p || p->Kind != TPropKind::Enum) return {};
    try {
        return GetEnumProp(object, name);
    } catch (const EPropertyError&) {
        return {};
    }
}

void SetPropFromText(TObject* object, std::string_view name, const std::u16string& text) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p) return;
    try {
        if (p->Kind == TPropKind::Enum)
            SetEnumProp(object, name, Narrow(text));
        else if (p->Kind == TPropKind::Integer)
            SetOrdProp(object, name, std::stoll(Narrow(text)));
    } catch (const std::exception&) {
        // A value the property does not take leaves it as it was.
    }
}

}  // namespace qx
