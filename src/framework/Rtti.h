// Run-time class and property information: what the layout reader and the skin engine use
// to create components by class name and to read and write published properties by name.
// Each class describes its published properties once, as a table of typed accessors.
#pragma once
#include "framework/Types.h"

#include <cstdint>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace qx {

class TObject;
class TPersistent;
class TComponent;
struct TClassInfo;

// A failed property or class look-up, or a value of the wrong kind.
class EPropertyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The names of an enumeration, in ordinal order.
struct TEnumInfo {
    const char* Name;
    std::vector<const char*> Names;
    int IndexOf(std::string_view identifier) const;  // case-insensitive; -1 when unknown
};
extern const TEnumInfo BooleanInfo;

// Identifiers that stand for integer values (colours, cursors, character sets).
struct TIdentMap {
    std::vector<std::pair<std::int64_t, const char*>> Entries;
    bool ToInt(std::string_view identifier, std::int64_t& value) const;
    const char* ToIdent(std::int64_t value) const;  // nullptr when the value has no name
};
extern const TIdentMap ColorIdents;
extern const TIdentMap CursorIdents;
extern const TIdentMap CharsetIdents;

enum class TPropKind : std::uint8_t {
    Integer,     // 32-bit value; may have an identifier map
    Enum,        // ordinal of an enumeration (Booleans are the enumeration False, True)
    Set,         // bit n for ordinal n
    String,      // UTF-16 text
    StringList,  // a list of texts
    Object,      // a TPersistent sub-object or a component reference
    Method,      // an event: a method of the layout's root object
    Binary,      // bytes read from the layout (write-only)
};

struct TPropInfo {
    std::string Name;
    TPropKind Kind = TPropKind::Integer;
    const TEnumInfo* Enum = nullptr;      // Enum and Set
    const TIdentMap* Idents = nullptr;    // Integer
    const TClassInfo* ObjectClass = nullptr;  // Object
    std::function<std::int64_t(TObject*)> GetOrd;
    std::function<void(TObject*, std::int64_t)> SetOrd;
    std::function<std::u16string(TObject*)> GetStr;
    std::function<void(TObject*, const std::u16string&)> SetStr;
    std::function<std::vector<std::u16string>(TObject*)> GetList;
    std::function<void(TObject*, const std::vector<std::u16string>&)> SetList;
    std::function<TObject*(TObject*)> GetObj;
    std::function<void(TObject*, TObject*)> SetObj;  // component references only
    std::function<void(TObject*, TNotifyEvent)> SetMethod;
    std::function<void(TObject*, std::span<const std::uint8_t>)> ReadBinary;
};

// A published method of a class, bindable to an event by name.
struct TMethodInfo {
    std::string Name;
    std::function<TNotifyEvent(TObject* self)> Bind;
};

struct TClassInfo {
    std::string Name;
    const TClassInfo* Parent = nullptr;
    std::vector<TPropInfo> Props;
    std::vector<TMethodInfo> Methods;
    // Creates an instance owned by owner; empty for classes that the layout cannot name.
    std::function<TComponent*(TComponent* owner)> Create;

    const TPropInfo* FindProp(std::string_view name) const;  // case-insensitive, own then inherited
    const TMethodInfo* FindMethod(std::string_view name) const;
    bool InheritsFrom(const TClassInfo& other) const;
    std::vector<const TPropInfo*> AllProps() const;
};

class TObject {
public:
    virtual ~TObject() = default;
    static const TClassInfo& StaticClassInfo();
    virtual const TClassInfo& ClassInfo() const { return StaticClassInfo(); }
    const std::string& ClassName() const { return ClassInfo().Name; }
};

// Classes declare their information with this in their body and define StaticClassInfo().
#define QX_CLASS_INFO()                                          \
public:                                                          \
    static const ::qx::TClassInfo& StaticClassInfo();            \
    const ::qx::TClassInfo& ClassInfo() const override { return StaticClassInfo(); }

// The registry of classes that a layout can name.
void RegisterClass(const TClassInfo& info);
const TClassInfo* FindClass(std::string_view name);

// Property access by name. The getters throw EPropertyError when the property is missing
// or of another kind; the Try forms answer the "missing" value instead.
const TPropInfo* GetPropInfo(const TObject* object, std::string_view name);
bool HasProperty(const TObject* object, std::string_view name);
std::int64_t GetOrdProp(TObject* object, std::string_view name);
void SetOrdProp(TObject* object, std::string_view name, std::int64_t value);
std::string GetEnumProp(TObject* object, std::string_view name);  // the identifier
void SetEnumProp(TObject* object, std::string_view name, std::string_view identifier);
std::u16string GetStrProp(TObject* object, std::string_view name);
void SetStrProp(TObject* object, std::string_view name, const std::u16string& value);
TObject* GetObjectProp(TObject* object, std::string_view name);
// Any property as text: integers in decimal (or their identifier), enumerations and
// Booleans by identifier, sets as "[a,b]", texts as they are.
std::u16string GetPropText(TObject* object, std::string_view name);
// Sets a property from text in the same forms.
void SetPropText(TObject* object, std::string_view name, const std::u16string& text);

// Builds a class's information with typed accessors. Example:
//   TClassBuilder<TFoo>("TFoo", &TBar::StaticClassInfo()).Int("Width", &TFoo::Width, &TFoo::SetWidth)...
template <class C>
class TClassBuilder {
public:
    TClassBuilder(std::string name, const TClassInfo* parent) {
        info_.Name = std::move(name);
        info_.Parent = parent;
    }

    template <class G, class S>
    TClassBuilder& Int(const char* name, G get, S set, const TIdentMap* idents = nullptr) {
        TPropInfo p = Ordinal(name, TPropKind::Integer, get, set);
        p.Idents = idents;
        info_.Props.push_back(std::move(p));
        return *this;
    }
    template <class G, class S>
    TClassBuilder& Color(const char* name, G get, S set) { return Int(name, get, set, &ColorIdents); }

    template <class G, class S>
    TClassBuilder& Bool(const char* name, G get, S set) { return Enum(name, get, set, BooleanInfo); }

    template <class G, class S>
    TClassBuilder& Enum(const char* name, G get, S set, const TEnumInfo& info) {
        return Named(name, TPropKind::Enum, get, set, info);
    }

    template <class G, class S>
    TClassBuilder& Set(const char* name, G get, S set, const TEnumInfo& info) {
        return Named(name, TPropKind::Set, get, set, info);
    }

    template <class G, class S>
    TClassBuilder& Str(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::String);
        p.GetStr = [get](TObject* o) { return std::u16string((Self(o)->*get)()); };
        p.SetStr = [set](TObject* o, const std::u16string& v) { (Self(o)->*set)(v); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    template <class G>
    TClassBuilder& Object(const char* name, G get, const TClassInfo& objectClass) {
        TPropInfo p = Base(name, TPropKind::Object);
        p.ObjectClass = &objectClass;
        p.GetObj = [get](TObject* o) -> TObject* { return (Self(o)->*get)(); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    // A reference to another component of the layout, resolved after the whole layout is read.
    template <class T, class G, class S>
    TClassBuilder& Reference(const char* name, G get, S set) {
        TPropInfo p = Base(name, TPropKind::Object);
        p.ObjectClass = &T::StaticClassInfo();
        p.GetObj = [get](TObject* o) -> TObject* { return (Self(o)->*get)(); };
        p.SetObj = [set](TObject* o, TObject* v) { (Self(o)->*set)(dynamic_cast<T*>(v)); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    template <class M>
    TClassBuilder& Event(const char* name, M member) {
        TPropInfo p = Base(name, TPropKind::Method);
        p.SetMethod = [member](TObject* o, TNotifyEvent e) { Self(o)->*member = std::move(e); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    TClassBuilder& Binary(const char* name, std::function<void(C*, std::span<const std::uint8_t>)> read) {
        TPropInfo p = Base(name, TPropKind::Binary);
        p.ReadBinary = [read](TObject* o, std::span<const std::uint8_t> b) { read(Self(o), b); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    TClassBuilder& Strings(const char* name, std::function<std::vector<std::u16string>(C*)> get,
                           std::function<void(C*, const std::vector<std::u16string>&)> set) {
        TPropInfo p = Base(name, TPropKind::StringList);
        p.GetList = [get](TObject* o) { return get(Self(o)); };
        p.SetList = [set](TObject* o, const std::vector<std::u16string>& v) { set(Self(o), v); };
        info_.Props.push_back(std::move(p));
        return *this;
    }

    template <void (C::*Method)(TObject*)>
    TClassBuilder& PublishMethod(const char* name) {
        info_.Methods.push_back({name, [](TObject* self) -> TNotifyEvent {
                                     C* c = Self(self);
                                     return [c](TObject* sender) { (c->*Method)(sender); };
                                 }});
        return *this;
    }

    // The layout may create instances of this class.
    TClassBuilder& Creatable() {
        info_.Create = [](TComponent* owner) -> TComponent* { return new C(owner); };
        return *this;
    }

    TClassBuilder& Add(TPropInfo p) {
        info_.Props.push_back(std::move(p));
        return *this;
    }

    TClassInfo Build() { return std::move(info_); }

private:
    static C* Self(TObject* o) { return static_cast<C*>(o); }
    static TPropInfo Base(const char* name, TPropKind kind) {
        TPropInfo p;
        p.Name = name;
        p.Kind = kind;
        return p;
    }
    // An enumeration or a set: an ordinal whose values have identifiers.
    template <class G, class S>
    TClassBuilder& Named(const char* name, TPropKind kind, G get, S set, const TEnumInfo& info) {
        TPropInfo p = Ordinal(name, kind, get, set);
        p.Enum = &info;
        info_.Props.push_back(std::move(p));
        return *this;
    }

    // Integers, enumerations and sets all travel as a 64-bit ordinal; a null setter leaves the
    // property read-only.
    template <class G, class S>
    static TPropInfo Ordinal(const char* name, TPropKind kind, G get, S set) {
        TPropInfo p = Base(name, kind);
        p.GetOrd = [get](TObject* o) { return static_cast<std::int64_t>((Self(o)->*get)()); };
        if constexpr (!std::is_same_v<S, std::nullptr_t>)
            p.SetOrd = [set, get](TObject* o, std::int64_t v) {
                using V = std::remove_cvref_t<decltype((Self(o)->*get)())>;
                (Self(o)->*set)(static_cast<V>(v));
            };
        return p;
    }
    TClassInfo info_;
};

}  // namespace qx
