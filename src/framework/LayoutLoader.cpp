#include "framework/LayoutLoader.h"

#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/Controls.h"
#include "framework/Forms.h"

#include <windows.h>

#include <exception>

namespace qx {

namespace {

struct TFixup {
    TObject* target;
    const TPropInfo* prop;
    std::string componentName;
    std::string where;
};

class TLayoutApplier {
public:
    explicit TLayoutApplier(TComponent* root) : root_(root) {}

    void Apply(const TLayoutObject& tree) {
        if (!EqualsIgnoreCaseAscii(tree.className, root_->ClassName()))
            throw ELayoutError("the layout describes a " + tree.className + ", not a " + root_->ClassName());
        root_->BeginLoading();
        loaded_.push_back(root_);
        if (!tree.name.empty()) root_->SetName(tree.name);
        SetProperties(root_, tree);
        parents_.push_back(&tree);
        for (auto& child : tree.children) CreateChild(child, root_);
        parents_.pop_back();
        for (auto& f : fixups_) {
            TComponent* c = root_->FindComponent(f.componentName);
            if (!c && EqualsIgnoreCaseAscii(f.componentName, root_->Name())) c = root_;
            if (!c || !c->ClassInfo().InheritsFrom(*f.prop->ObjectClass))
                throw ELayoutError(f.where + ": no component '" + f.componentName + "' of class " +
                                   f.prop->ObjectClass->Name);
            f.prop->SetObj(f.target, c);
        }
        for (TComponent* c : loaded_) c->Loaded();
        // Layouts are written at one scale; the form is shown at its display's.
        if (auto* form = dynamic_cast<TCustomForm*>(root_)) form->ScaleToDisplay();
    }

private:
    void CreateChild(const TLayoutObject& o, TComponent* parent) {
        std::string where = Describe(o);
        const TClassInfo* cls = FindClass(o.className);
        if (!cls || !cls->Create) throw ELayoutError(where + ": unknown class '" + o.className + "'");
        if (o.name.empty()) throw ELayoutError(where + ": an object without a name");
        if (root_->FindComponent(o.name) || EqualsIgnoreCaseAscii(o.name, root_->Name()))
            throw ELayoutError(where + ": the name '" + o.name + "' is used twice");
        TComponent* c = cls->Create(root_);
        c->BeginLoading();
        loaded_.push_back(c);
        c->SetName(o.name);
        auto* control = dynamic_cast<TControl*>(c);
        auto* container = dynamic_cast<TWinControl*>(parent);
        if (control && container) {
            control->SetParent(container);
        } else if (parent && parent != root_ && !container && !parent->AddChildComponent(c)) {
            // Only windowed controls hold controls; other objects hold what they accept (a
            // menu its items).
            throw ELayoutError(Describe(*parents_.back()) + ": a " + parent->ClassName() + " cannot hold other objects");
        }
        SetProperties(c, o);
        parents_.push_back(&o);
        for (auto& child : o.children) CreateChild(child, c);
        parents_.pop_back();
    }

    std::string Describe(const TLayoutObject& o) const {
        return "object '" + (o.name.empty() ? std::string("?") : o.name) + "' (" + o.className + ")";
    }

    void SetProperties(TComponent* c, const TLayoutObject& o) {
        for (auto& p : o.properties) {
            std::string where = Describe(o) + ", property " + p.path;
            try {
                SetProperty(c, p, where);
            } catch (const ELayoutError&) {
                throw;
            } catch (const std::exception& e) {
                throw ELayoutError(where + ": " + e.what());
            }
        }
    }

    void SetProperty(TComponent* c, const TLayoutProperty& p, const std::string& where) {
        TObject* target = c;
        std::string_view path = p.path;
        for (;;) {
            auto dot = path.find('.');
            if (dot == std::string_view::npos) break;
            std::string_view head = path.substr(0, dot);
            const TPropInfo* info = GetPropInfo(target, head);
            if (!info || info->Kind != TPropKind::Object || !info->GetObj)
                throw ELayoutError(where + ": " + target->ClassName() + " has no object property '" +
                                   std::string(head) + "'");
            target = info->GetObj(target);
            if (!target) throw ELayoutError(where + ": '" + std::string(head) + "' is empty");
            path.remove_prefix(dot + 1);
        }
        const TPropInfo* info = GetPropInfo(target, path);
        if (!info) throw ELayoutError(where + ": " + target->ClassName() + " has no property '" + std::string(path) + "'");
        const TLayoutValue& v = p.value;
        auto wrong = [&](const char* expected) {
            return ELayoutError(where + ": expected " + expected + ", found " + ValueKindName(v.kind) +
                                (v.kind == TLayoutValue::Kind::Ident ? " '" + v.text + "'" : std::string()));
        };
        switch (info->Kind) {
            case TPropKind::Integer: {
                if (!info->SetOrd) throw ELayoutError(where + ": the property cannot be set");
                std::int64_t value;
                if (v.kind == TLayoutValue::Kind::Integer)
                    value = v.integer;
                else if (v.kind == TLayoutValue::Kind::Ident && info->Idents && info->Idents->ToInt(v.text, value)) {
                } else
                    throw wrong(info->Idents ? "an integer or a known identifier" : "an integer");
                info->SetOrd(target, value);
                return;
            }
            case TPropKind::Enum: {
                if (v.kind != TLayoutValue::Kind::Ident) throw wrong("an identifier");
                int value = info->Enum->IndexOf(v.text);
                if (value < 0) throw ELayoutError(where + ": '" + v.text + "' is not a value of " + info->Enum->Name);
                info->SetOrd(target, value);
                return;
            }
            case TPropKind::Set: {
                if (v.kind != TLayoutValue::Kind::Set) throw wrong("a set");
                std::int64_t bits = 0;
                for (auto& item : v.items) {
                    int i = info->Enum->IndexOf(item);
                    if (i < 0) throw ELayoutError(where + ": '" + item + "' is not a value of " + info->Enum->Name);
                    bits |= std::int64_t{1} << i;
                }
                info->SetOrd(target, bits);
                return;
            }
            case TPropKind::String:
                if (v.kind != TLayoutValue::Kind::String) throw wrong("a text");
                if (!info->SetStr) throw ELayoutError(where + ": the property cannot be set");
                info->SetStr(target, Utf8ToUtf16(v.text));
                return;
            case TPropKind::StringList: {
                if (v.kind != TLayoutValue::Kind::List) throw wrong("a list of texts");
                std::vector<std::u16string> items;
                for (auto& s : v.items) items.push_back(Utf8ToUtf16(s));
                info->SetList(target, items);
                return;
            }
            case TPropKind::Object:
                if (v.kind != TLayoutValue::Kind::Ident || !info->SetObj) throw wrong("the name of a component");
                fixups_.push_back({target, info, v.text, where});
                return;
            case TPropKind::Method: {
                if (v.kind != TLayoutValue::Kind::Ident) throw wrong("the name of a method");
                const TMethodInfo* m = root_->ClassInfo().FindMethod(v.text);
                if (!m) throw ELayoutError(where + ": " + root_->ClassName() + " has no method '" + v.text + "'");
                info->SetMethod(target, m->Bind(root_));
                return;
            }
            case TPropKind::Binary:
                if (v.kind != TLayoutValue::Kind::Binary) throw wrong("binary data");
                info->ReadBinary(target, v.bytes);
                return;
        }
    }

    TComponent* root_;
    std::vector<const TLayoutObject*> parents_;  // the objects whose children are being read
    std::vector<TComponent*> loaded_;
    std::vector<TFixup> fixups_;
};

}  // namespace

void LoadLayout(TComponent* root, std::span<const std::uint8_t> data) {
    TLayoutObject tree = ReadLayout(data);
    TLayoutApplier(root).Apply(tree);
}

void LoadLayoutResource(TComponent* root, const wchar_t* resourceName) {
    TTimedStep step("layout read");
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, resourceName, MAKEINTRESOURCEW(10) /* RT_RCDATA */);
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* bytes = handle ? LockResource(handle) : nullptr;
    if (!bytes) throw ELayoutError("the program holds no layout for " + root->ClassName());
    LoadLayout(root, {static_cast<const std::uint8_t*>(bytes), SizeofResource(module, info)});
}

}  // namespace qx
