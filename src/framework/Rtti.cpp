#include "framework/Rtti.h"

#include "core/Text.h"

#include <charconv>
#include <map>

namespace qx {

const TEnumInfo BooleanInfo{"Boolean", {"False", "True"}};

int TEnumInfo::IndexOf(std::string_view identifier) const {
    for (std::size_t i = 0; i < Names.size(); ++i)
        if (EqualsIgnoreCaseAscii(Names[i], identifier)) return static_cast<int>(i);
    return -1;
}

bool TIdentMap::ToInt(std::string_view identifier, std::int64_t& value) const {
    for (auto& [v, name] : Entries)
        if (EqualsIgnoreCaseAscii(name, identifier)) {
            value = v;
            return true;
        }
    return false;
}

const char* TIdentMap::ToIdent(std::int64_t value) const {
    for (auto& [v, name] : Entries)
        if (v == value) return name;
    return nullptr;
}

const TIdentMap ColorIdents{{
    {clBlack, "clBlack"}, {clMaroon, "clMaroon"}, {clGreen, "clGreen"}, {clOlive, "clOlive"},
    {clNavy, "clNavy"}, {clPurple, "clPurple"}, {clTeal, "clTeal"}, {clGray, "clGray"},
    {clSilver, "clSilver"}, {clRed, "clRed"}, {clLime, "clLime"}, {clYellow, "clYellow"},
    {clBlue, "clBlue"}, {clFuchsia, "clFuchsia"}, {clAqua, "clAqua"}, {clWhite, "clWhite"},
    {clScrollBar, "clScrollBar"}, {clBackground, "clBackground"}, {clActiveCaption, "clActiveCaption"},
    {clInactiveCaption, "clInactiveCaption"}, {clMenu, "clMenu"}, {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"}, {clMenuText, "clMenuText"}, {clWindowText, "clWindowText"},
    {clCaptionText, "clCaptionText"}, {clActiveBorder, "clActiveBorder"}, {clInactiveBorder, "clInactiveBorder"},
    {clAppWorkSpace, "clAppWorkSpace"}, {clHighlight, "clHighlight"}, {clHighlightText, "clHighlightText"},
    {clBtnFace, "clBtnFace"}, {clBtnShadow, "clBtnShadow"}, {clGrayText, "clGrayText"}, {clBtnText, "clBtnText"},
    {clInactiveCaptionText, "clInactiveCaptionText"}, {clBtnHighlight, "clBtnHighlight"},
    {cl3DDkShadow, "cl3DDkShadow"}, {cl3DLight, "cl3DLight"}, {clInfoText, "clInfoText"}, {clInfoBk, "clInfoBk"},
    {clNone, "clNone"}, {clDefault, "clDefault"},
}};

const TIdentMap CursorIdents{{
    {crDefault, "crDefault"}, {crNone, "crNone"}, {crArrow, "crArrow"}, {crCross, "crCross"},
    {crIBeam, "crIBeam"}, {crSizeNESW, "crSizeNESW"}, {crSizeNS, "crSizeNS"}, {crSizeNWSE, "crSizeNWSE"},
    {crSizeWE, "crSizeWE"}, {crUpArrow, "crUpArrow"}, {crHourGlass, "crHourGlass"}, {crNo, "crNo"},
    {crAppStart, "crAppStart"}, {crHelp, "crHelp"}, {crHandPoint, "crHandPoint"}, {crSizeAll, "crSizeAll"},
}};

const TIdentMap CharsetIdents{{
    {ANSI_CHARSET, "ANSI_CHARSET"}, {DEFAULT_CHARSET, "DEFAULT_CHARSET"}, {SYMBOL_CHARSET, "SYMBOL_CHARSET"},
    {MAC_CHARSET, "MAC_CHARSET"}, {SHIFTJIS_CHARSET, "SHIFTJIS_CHARSET"}, {HANGEUL_CHARSET, "HANGEUL_CHARSET"},
    {JOHAB_CHARSET, "JOHAB_CHARSET"}, {GB2312_CHARSET, "GB2312_CHARSET"}, {CHINESEBIG5_CHARSET, "CHINESEBIG5_CHARSET"},
    {GREEK_CHARSET, "GREEK_CHARSET"}, {TURKISH_CHARSET, "TURKISH_CHARSET"}, {HEBREW_CHARSET, "HEBREW_CHARSET"},
    {ARABIC_CHARSET, "ARABIC_CHARSET"}, {BALTIC_CHARSET, "BALTIC_CHARSET"}, {RUSSIAN_CHARSET, "RUSSIAN_CHARSET"},
    {THAI_CHARSET, "THAI_CHARSET"}, {EASTEUROPE_CHARSET, "EASTEUROPE_CHARSET"}, {OEM_CHARSET, "OEM_CHARSET"},
}};

const TClassInfo& TObject::StaticClassInfo() {
    static const TClassInfo info{"TObject", nullptr, {}, {}, {}};
    return info;
}

const TPropInfo* TClassInfo::FindProp(std::string_view name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (auto& p : c->Props)
            if (EqualsIgnoreCaseAscii(p.Name, name)) return &p;
    return nullptr;
}

const TMethodInfo* TClassInfo::FindMethod(std::string_view name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (auto& m : c->Methods)
            if (EqualsIgnoreCaseAscii(m.Name, name)) return &m;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const TClassInfo& other) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (c == &other) return true;
    return false;
}

std::vector<const TPropInfo*> TClassInfo::AllProps() const {
    std::vector<const TPropInfo*> out;
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (auto& p : c->Props)
            if (!FindProp(p.Name) || FindProp(p.Name) == &p) out.push_back(&p);
    return out;
}

namespace {
std::map<std::string, const TClassInfo*>& Registry() {
    static std::map<std::string, const TClassInfo*> registry;
    return registry;
}
}  // namespace

void RegisterClass(const TClassInfo& info) { Registry()[LowerAscii(info.Name)] = &info; }

const TClassInfo* FindClass(std::string_view name) {
    auto it = Registry().find(LowerAscii(name));
    return it == Registry().end() ? nullptr : it->second;
}

const TPropInfo* GetPropInfo(const TObject* object, std::string_view name) {
    return object ? object->ClassInfo().FindProp(name) : nullptr;
}

bool HasProperty(const TObject* object, std::string_view name) { return GetPropInfo(object, name) != nullptr; }

static const TPropInfo& Require(TObject* object, std::string_view name) {
    const TPropInfo* p = GetPropInfo(object, name);
    if (!p)
        throw EPropertyError((object ? object->ClassName() : std::string("(nil)")) + " has no property '" +
                             std::string(name) + "'");
    return *p;
}

static bool IsOrdinal(TPropKind k) { return k == TPropKind::Integer || k == TPropKind::Enum || k == TPropKind::Set; }

std::int64_t GetOrdProp(TObject* object, std::string_view name) {
    const TPropInfo& p = Require(object, name);
    if (!IsOrdinal(p.Kind) || !p.GetOrd) throw EPropertyError("property '" + p.Name + "' is not ordinal");
    return p.GetOrd(object);
}

void SetOrdProp(TObject* object, std::string_view name, std::int64_t value) {
    const TPropInfo& p = Require(object, name);
    if (!IsOrdinal(p.Kind) || !p.SetOrd) throw EPropertyError("property '" + p.Name + "' cannot be set as ordinal");
    if (p.Kind == TPropKind::Enum && (value < 0 || value >= static_cast<std::int64_t>(p.Enum->Names.size())))
        throw EPropertyError("value out of range for property '" + p.Name + "'");
    p.SetOrd(object, value);
}

std::string GetEnumProp(TObject* object, std::string_view name) {
    const TPropInfo& p = Require(object, name);
    if (p.Kind != TPropKind::Enum) throw EPropertyError("property '" + p.Name + "' is not an enumeration");
    auto v = p.GetOrd(object);
    if (v < 0 || v >= static_cast<std::int64_t>(p.Enum->Names.size())) return std::to_string(v);
    return p.Enum->Names[static_cast<std::size_t>(v)];
}

void SetEnumProp(TObject* object, std::string_view name, std::string_view identifier) {
    const TPropInfo& p = Require(object, name);
    if (p.Kind != TPropKind::Enum || !p.SetOrd) throw EPropertyError("property '" + p.Name + "' is not an enumeration");
    int v = p.Enum->IndexOf(identifier);
    if (v < 0)
        throw EPropertyError("'" + std::string(identifier) + "' is not a value of " + p.Enum->Name + " (property '" +
                             p.Name + "')");
    p.SetOrd(object, v);
}

std::u16string GetStrProp(TObject* object, std::string_view name) {
    const TPropInfo& p = Require(object, name);
    if (p.Kind != TPropKind::String) throw EPropertyError("property '" + p.Name + "' is not a text");
    return p.GetStr(object);
}

void SetStrProp(TObject* object, std::string_view name, const std::u16string& value) {
    const TPropInfo& p = Require(object, name);
    if (p.Kind != TPropKind::String || !p.SetStr) throw EPropertyError("property '" + p.Name + "' is not a text");
    p.SetStr(object, value);
}

TObject* GetObjectProp(TObject* object, std::string_view name) {
    const TPropInfo& p = Require(object, name);
    if (p.Kind != TPropKind::Object) throw EPropertyError("property '" + p.Name + "' is not an object");
    return p.GetObj(object);
}

static std::u16string FromAscii(std::string_view s) { return Utf8ToUtf16(s); }

std::u16string GetPropText(TObject* object, std::string_view name) {
    const TPropInfo& p = Require(object, name);
    switch (p.Kind) {
        case TPropKind::Integer: {
            auto v = p.GetOrd(object);
            if (p.Idents)
                if (const char* id = p.Idents->ToIdent(v)) return FromAscii(id);
            return FromAscii(std::to_string(v));
        }
        case TPropKind::Enum: return FromAscii(GetEnumProp(object, name));
        case TPropKind::Set: {
            auto v = static_cast<std::uint64_t>(p.GetOrd(object));
            std::string out = "[";
            for (std::size_t i = 0; i < p.Enum->Names.size() && i < 64; ++i)
                if (v & (std::uint64_t{1} << i)) {
                    if (out.size() > 1) out += ",";
                    out += p.Enum->Names[i];
                }
            return FromAscii(out + "]");
        }
        case TPropKind::String: return p.GetStr(object);
        default: throw EPropertyError("property '" + p.Name + "' has no text form");
    }
}

static bool ParseInt(std::string_view s, std::int64_t& v) {
    bool negative = false;
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) {
        negative = s[0] == '-';
        s.remove_prefix(1);
    }
    int base = 10;
    if (!s.empty() && s[0] == '$') {
        base = 16;
        s.remove_prefix(1);
    } else if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) {
        base = 16;
        s.remove_prefix(2);
    }
    if (s.empty()) return false;
    std::uint64_t u = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), u, base);
    if (ec != std::errc() || ptr != s.data() + s.size() || u > 0xFFFFFFFFull) return false;
    v = negative ? -static_cast<std::int64_t>(u) : static_cast<std::int64_t>(u);
    return true;
}

void SetPropText(TObject* object, std::string_view name, const std::u16string& text16) {
    const TPropInfo& p = Require(object, name);
    std::string text(TrimControl(std::string_view(Utf16ToUtf8(text16))));
    switch (p.Kind) {
        case TPropKind::Integer: {
            std::int64_t v;
            if (!(p.Idents && p.Idents->ToInt(text, v)) && !ParseInt(text, v))
                throw EPropertyError("'" + text + "' is not a valid value for property '" + p.Name + "'");
            SetOrdProp(object, name, static_cast<std::int32_t>(v));
            return;
        }
        case TPropKind::Enum: SetEnumProp(object, name, text); return;
        case TPropKind::Set: {
            std::string_view s = text;
            if (s.size() < 2 || s.front() != '[' || s.back() != ']')
                throw EPropertyError("'" + text + "' is not a set (property '" + p.Name + "')");
            s = s.substr(1, s.size() - 2);
            std::int64_t bits = 0;
            while (!s.empty()) {
                auto comma = s.find(',');
                auto item = TrimControl(s.substr(0, comma));
                s = comma == std::string_view::npos ? std::string_view() : s.substr(comma + 1);
                if (item.empty()) continue;
                int i = p.Enum->IndexOf(item);
                if (i < 0)
                    throw EPropertyError("'" + std::string(item) + "' is not a value of " + p.Enum->Name);
                bits |= std::int64_t{1} << i;
            }
            SetOrdProp(object, name, bits);
            return;
        }
        case TPropKind::String: SetStrProp(object, name, text16); return;
        default: throw EPropertyError("property '" + p.Name + "' cannot be set from text");
    }
}

}  // namespace qx
