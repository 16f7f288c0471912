// The control dispatch: which child control of a skinned window gets which skinner. Framework
// controls are decided by the skin's class map, then by a table of rules on class and name;
// raw windows by their window class and style. The rules are data, the skinners come from the
// skinner registry.
#include "skin/ChildDispatch.h"

#include "core/TimedSteps.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/ClassMapProperties.h"
#include "skin/ControlSkinners.h"
#include "skin/DispatchRules.h"
#include "skin/SkinData.h"
#include "skin/SkinnerOwner.h"
#include "skin/SkinnerRegistry.h"
#include "skin/WindowNames.h"

#include <algorithm>
#include <cctype>

namespace qx {

namespace {

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

bool Has(const TSkinData& s, TSkinControlType t) { return (s.SkinControls() & SkinControlBit(t)) != 0; }

// What a rule does besides making its skinner.
enum class TThen : std::uint8_t {
    Nothing,
    Components,     // dispatch the components the control owns
    ChildControls,  // dispatch the control's child controls
};

// One row of the rule table for framework controls; the first row that matches wins.
struct TControlRule {
    std::initializer_list<const char*> Names;  // upper-case class names; empty: decided by Is
    bool (*Is)(TControl*);                     // decided by framework class (or style)
    int Needs;                                 // a member of SkinControls, or -1
    bool NeedsTabs;
    TSkinnerKind Kind;
    bool OwnColor;
    TThen Then;
};

bool IsRadio(TControl* c) { return dynamic_cast<TRadioButton*>(c) != nullptr; }
bool IsPanel(TControl* c) { return dynamic_cast<TCustomPanel*>(c) != nullptr; }
bool IsPushButton(TControl* c) { return dynamic_cast<TButton*>(c) != nullptr; }
bool IsEmbeddedForm(TControl* c) { return dynamic_cast<TCustomForm*>(c) != nullptr; }
bool HasScrollBars(TControl* c) {
    auto* w = dynamic_cast<TWinControl*>(c);
    return w && w->HandleAllocated() && (GetWindowLongPtrW(w->Handle(), GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL));
}

const std::initializer_list<TControlRule>& ControlRules() {
    static const std::initializer_list<TControlRule> rules = {
        {{"TTABSET"}, nullptr, -1, true, TSkinnerKind::Tab31, false, TThen::Nothing},
        {{"TTABBEDNOTEBOOK"}, nullptr, -1, true, TSkinnerKind::Tab, false, TThen::Nothing},
        {{"TVIEWPANEL"}, nullptr, -1, false, TSkinnerKind::None, false, TThen::Components},
        {{"TUPDOWN", "TSPINBUTTON"}, nullptr, xcSpin, false, TSkinnerKind::UpDown, false, TThen::Nothing},
        {{"TMEDIAPLAYER"}, nullptr, xcButton, false, TSkinnerKind::MediaPlayer, false, TThen::Nothing},
        {{"TDBNAVIGATOR"}, nullptr, xcPanel, false, TSkinnerKind::Box, true, TThen::ChildControls},
        {{"TGLYPHDBCHECKBOX", "TGLYPHCHECKBOX"}, nullptr, xcCheckBox, false, TSkinnerKind::GlyphCheck, true,
         TThen::Nothing},
        {{"TGLYPHRADIOBUTTON", "TGLYPHDBRADIOBUTTON"}, nullptr, xcRadioButton, false, TSkinnerKind::GlyphRadio, true,
         TThen::Nothing},
        {{"TEXDBCHECKBOX", "TEXCHECKBOX"}, nullptr, xcCheckBox, false, TSkinnerKind::ExCheck, true, TThen::Nothing},
        {{}, &IsRadio, xcRadioButton, false, TSkinnerKind::RadioButton, false, TThen::Nothing},
        {{"TWIDECOMBOBOX"}, nullptr, xcCombo, false, TSkinnerKind::ComBox, false, TThen::Nothing},
        {{"TRICHEDIT", "TDBRICHEDITEX", "TDBMEMOEX"}, nullptr, xcScrollbar, false, TSkinnerKind::Scrollbar, false,
         TThen::Nothing},
        {{}, &IsPanel, xcPanel, false, TSkinnerKind::Box, true, TThen::Components},
        {{"TTREELISTEX", "TDBTREELISTEX", "TDBGRIDEX"}, nullptr, xcScrollbar, false, TSkinnerKind::Scrollbar, false,
         TThen::Nothing},
        {{}, &HasScrollBars, xcScrollbar, false, TSkinnerKind::Scrollbar, false, TThen::Nothing},
        {{}, &IsPushButton, xcButton, false, TSkinnerKind::Button, false, TThen::Nothing},
        {{}, &IsEmbeddedForm, -1, false, TSkinnerKind::Box, true, TThen::Components},
    };
    return rules;
}

// A class-map kind: which skinner, what it needs, and what else it does.
enum class TKindAction : std::uint8_t {
    Plain,           // make the skinner
    EditWithBorder,  // an edit only when it has a border
    Panel,           // make the control transparent, then the panel skinner
    TrackBar,        // make the control transparent, then the track bar skinner
    BitButton,       // a bit button, or a menu button for a drop-down kind
    Scrollbar,       // the scroll-bar skinner, then the control's components
    EmbedScrollbar,  // scroll-bar skinners on each child with scroll bars
    Container,       // dispatch the child controls
    RadioGroup,
    CheckGroup,
};

struct TKindRow {
    const char* Word;
    int Needs;
    bool NeedsTabs;
    TSkinnerKind Kind;
    bool OwnColor;
    TKindAction Action;
};

const std::initializer_list<TKindRow>& KindRows() {
    static const std::initializer_list<TKindRow> rows = {
        {"nil", -1, false, TSkinnerKind::None, false, TKindAction::Plain},
        {"combobox", xcCombo, false, TSkinnerKind::ComBox, false, TKindAction::Plain},
        {"edit", xcEdit, false, TSkinnerKind::Edit, false, TKindAction::EditWithBorder},
        {"radiobutton", xcRadioButton, false, TSkinnerKind::RadioButton, false, TKindAction::Plain},
        {"panel", xcPanel, false, TSkinnerKind::Box, true, TKindAction::Panel},
        {"trackbar", xcButton, false, TSkinnerKind::TrackBar, false, TKindAction::TrackBar},
        {"button", xcButton, false, TSkinnerKind::Button, false, TKindAction::Plain},
        {"mediaplayer", xcButton, false, TSkinnerKind::MediaPlayer, false, TKindAction::Plain},
        {"bitbtn", xcButton, false, TSkinnerKind::BitButton, false, TKindAction::BitButton},
        {"pngbitbtn", xcButton, false, TSkinnerKind::PngBitButton, false, TKindAction::Plain},
        {"menubtn", xcButton, false, TSkinnerKind::MenuButton, false, TKindAction::Plain},
        {"speedbutton", xcSpeedButton, false, TSkinnerKind::SpeedButton, false, TKindAction::Plain},
        {"tab", xcTab, true, TSkinnerKind::Tab, false, TKindAction::Plain},
        {"progress", xcProgress, false, TSkinnerKind::Progress, false, TKindAction::Plain},
        {"scrollbar", xcScrollbar, false, TSkinnerKind::Scrollbar, false, TKindAction::Scrollbar},
        {"singlescrollbar", xcScrollbar, false, TSkinnerKind::SingleScrollbar, false, TKindAction::Plain},
        {"embedscrollbar", xcScrollbar, false, TSkinnerKind::Scrollbar, false, TKindAction::EmbedScrollbar},
        {"container", -1, false, TSkinnerKind::None, false, TKindAction::Container},
        {"groupbox", xcGroupBox, false, TSkinnerKind::GroupBox, true, TKindAction::Plain},
        {"pagecontrolex", xcTab, false, TSkinnerKind::PageEx, true, TKindAction::Plain},
        {"radiogroup", xcGroupBox, false, TSkinnerKind::GroupBox, true, TKindAction::RadioGroup},
        {"checkgroup", xcPanel, false, TSkinnerKind::GroupBox, true, TKindAction::CheckGroup},
        {"checkbox", xcCheckBox, false, TSkinnerKind::CheckBox, false, TKindAction::Plain},
        // Kinds of our own for framework classes that no row above serves.
        {"statusbar", xcStatusBar, false, TSkinnerKind::StatusBar, false, TKindAction::Plain},
        {"listview", xcScrollbar, false, TSkinnerKind::ListView, false, TKindAction::Plain},
        {"header", -1, false, TSkinnerKind::Header, false, TKindAction::Plain},
        {"scrollcontrol", xcScrollbar, false, TSkinnerKind::ScControl, false, TKindAction::Plain},
        {"tabsheet", xcTab, false, TSkinnerKind::TabSheet, false, TKindAction::Plain},
    };
    return rows;
}

std::vector<TControl*> ChildControls(TControl* control) {
    auto* w = dynamic_cast<TWinControl*>(control);
    return w ? w->Controls() : std::vector<TControl*>{};
}

}  // namespace

// ---- the register --------------------------------------------------------------------------

bool TChildDispatch::RegisterControl(TSkinControl* skinner) {
    if (std::find(FControls.begin(), FControls.end(), skinner) != FControls.end()) return true;
    FControls.push_back(skinner);
    return false;
}

void TChildDispatch::UnregisterControl(TSkinControl* skinner) {
    auto it = std::find(FControls.rbegin(), FControls.rend(), skinner);
    if (it != FControls.rend()) FControls.erase(std::next(it).base());
}

bool TChildDispatch::IsRegistered(TControl* control) const {
    if (!control) return false;
    for (TSkinControl* s : FControls)
        if (s->Control() == control) return true;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    return windowed && windowed->HandleAllocated() && SendMessageW(windowed->Handle(), WM_SKINNEDQUERY, 0, 0) == 1;
}

bool TChildDispatch::IsRegisteredWindow(HWND window) const {
    for (TSkinControl* s : FControls)
        if (s->Handle() == window) return true;
    return false;
}

void TChildDispatch::FreeControlSkinners() {
    TSkinnerOwner* manager = SkinnerOwner();
    while (!FControls.empty()) {
        TSkinControl* s = FControls.back();
        FControls.pop_back();
        TTimedStep step(TimedStepsHeard() ? KeptTypeStepName("release", typeid(*s)) : nullptr);
        if (s->Life() != TSkinnerLife::Destroyed) s->Detach();
        if (manager && manager->Owns(s))
            manager->Free(s);
        else
            s->Release();
    }
}

void TChildDispatch::SkinChanged() {
    // A skinner may let others go as it follows the skin: only those still registered follow.
    for (TSkinControl* s : std::vector<TSkinControl*>(FControls))
        if (std::find(FControls.begin(), FControls.end(), s) != FControls.end()) s->SkinChanged();
}

void TChildDispatch::RecreateSkinner(HWND control, LPARAM frameworkControl) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        if ((*it)->Handle() != control) continue;
        TSkinControl* old = *it;
        TControl* framework = old->Control();
        old->Detach();
        if (TSkinnerOwner* manager = SkinnerOwner()) manager->Free(old);
        if (framework)
            DispatchControl(framework, nullptr);
        else
            DispatchWindow(control);
        return;
    }
    // The old window has gone with its skinner: the framework control named, if it is still
    // one of this form's, is skinned again on its new window.
    TCustomForm* form = FHost.Form();
    if (!frameworkControl || !form || !FHost.SkinData()) return;
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    for (TWinControl* c : order)
        if (reinterpret_cast<LPARAM>(static_cast<TControl*>(c)) == frameworkControl) {
            if (c->HandleAllocated() && c->Tag() != FHost.SkinData()->DisableTag()) DispatchControl(c, nullptr);
            break;
        }
}

// ---- framework controls ------------------------------------------------------------------------

void TChildDispatch::DispatchForm(TCustomForm* form) {
    if (!form || !FHost.SkinData()) return;
    DispatchComponents(form);
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    for (TWinControl* c : order) {
        if (!c->HandleAllocated() || c->Tag() == FHost.SkinData()->DisableTag()) continue;
        if (SendMessageW(c->Handle(), WM_SKINNEDQUERY, 0, 0) == 1) continue;
        DispatchControl(c, nullptr);
    }
}

void TChildDispatch::DispatchComponents(TComponent* component) {
    if (!component) return;
    for (TComponent* c : std::vector<TComponent*>(component->Components()))
        if (auto* control = dynamic_cast<TControl*>(c)) DispatchControl(control, component);
}

void TChildDispatch::DispatchControl(TControl* control, TComponent* owner) {
    if (!control || !FHost.SkinData()) return;
    TSkinData& s = *FHost.SkinData();
    auto* windowed = dynamic_cast<TWinControl*>(control);
    if (control->Tag() == s.DisableTag()) {
        if (windowed && windowed->ControlCount() > 0 && IsButtonGroupClass(Upper(control->ClassName())))
            for (TControl* child : windowed->Controls()) child->SetTag(s.DisableTag());
        return;
    }
    if (!control->Parent() || IsRegistered(control)) return;
    const std::string name = Upper(control->ClassName());
    if (windowed && !windowed->HandleAllocated()) {
        try {
            windowed->HandleNeeded();
        } catch (...) {
            return;
        }
        if (!windowed->HandleAllocated()) return;
    }
    if (s.OnSkinControl) {
        TComponent* made = nullptr;
        s.OnSkinControl(FHost.SkinnerComponent(), FHost.SkinData(), owner, control, name, made);
        if (auto* skinner = dynamic_cast<TSkinControl*>(made)) {
            if (!RegisterControlIfNew(skinner, control)) return;
            if (IsPanel(control)) DispatchComponents(control);
            return;
        }
    }
    if (DispatchByKind(name, control)) return;
    if (IsUnskinnedClass(name)) return;
    for (const TControlRule& rule : ControlRules()) {
        bool matches = rule.Names.size() == 0 ? rule.Is(control)
                                              : std::any_of(rule.Names.begin(), rule.Names.end(),
                                                            [&name](const char* n) { return name == n; });
        if (!matches) continue;
        if (rule.Needs >= 0 && !Has(s, static_cast<TSkinControlType>(rule.Needs))) continue;
        if (rule.NeedsTabs && !s.Tabs) continue;
        MakeSkinner(rule.Kind, *this, control, rule.OwnColor);
        if (rule.Then == TThen::Components) DispatchComponents(control);
        if (rule.Then == TThen::ChildControls)
            for (TControl* child : ChildControls(control)) DispatchControl(child, nullptr);
        return;
    }
}

bool TChildDispatch::RegisterControlIfNew(TSkinControl* skinner, TControl* control) {
    if (std::find(FControls.begin(), FControls.end(), skinner) != FControls.end()) return false;
    // A skinner the program made itself: the manager owns it from now on.
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const TSkinKey key{windowed ? windowed->Handle() : nullptr, windowed ? nullptr : control};
    EnsureSkinnerOwner().Own(std::unique_ptr<TSkinControl>(skinner), key);
    skinner->Attach(control, this, FHost.SkinData(), skinner->OwnColor(), &FCanvas);
    return true;
}

bool TChildDispatch::DispatchByKind(const std::string& upperClassName, TControl* control) {
    TSkinData& s = *FHost.SkinData();
    const std::string prefix = LowerAscii(upperClassName) + "=";
    std::string kind;
    bool found = false;
    for (const std::u16string& row : s.SkinClassMap()) {
        const std::string lower = LowerAscii(Narrow(row));
        if (lower.compare(0, prefix.size(), prefix) != 0) continue;
        kind = lower.substr(prefix.size(), 50);
        found = true;
        break;
    }
    if (!found) return false;
    const auto& rows = KindRows();
    auto row = std::find_if(rows.begin(), rows.end(), [&kind](const TKindRow& r) { return kind == r.Word; });
    if (row == rows.end()) return true;
    if (row->Needs >= 0 && !Has(s, static_cast<TSkinControlType>(row->Needs))) return true;
    if (row->NeedsTabs && !s.Tabs) return true;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    switch (row->Action) {
        case TKindAction::Plain: MakeSkinner(row->Kind, *this, control, row->OwnColor); break;
        case TKindAction::EditWithBorder: {
            RECT w{}, c{};
            if (windowed && GetWindowRect(windowed->Handle(), &w) && GetClientRect(windowed->Handle(), &c) &&
                (w.right - w.left != c.right || w.bottom - w.top != c.bottom))
                MakeSkinner(row->Kind, *this, control, false);
            break;
        }
        case TKindAction::Panel:
        case TKindAction::TrackBar:
            SetPropFromText(control, "Transparent", u"True");
            MakeSkinner(row->Kind, *this, control, row->OwnColor);
            break;
        case TKindAction::BitButton:
            // A drop-down kind of button shows the menu button's arrow.
            if (LowerAscii(control->ClassName()) == "tbuttonex" && GetEnumPropText(control, "Kind") == "bkDropDownButton")
                MakeSkinner(TSkinnerKind::MenuButton, *this, control, false);
            else
                MakeSkinner(TSkinnerKind::BitButton, *this, control, false);
            break;
        case TKindAction::Scrollbar:
            MakeSkinner(row->Kind, *this, control, false);
            DispatchComponents(control);
            break;
        case TKindAction::EmbedScrollbar:
            for (TControl* child : ChildControls(control))
                if (HasScrollBars(child)) MakeSkinner(TSkinnerKind::Scrollbar, *this, child, false);
            break;
        case TKindAction::Container:
            for (TControl* child : ChildControls(control)) DispatchControl(child, nullptr);
            break;
        case TKindAction::RadioGroup:
            if (Has(s, xcRadioButton))
                for (TControl* child : ChildControls(control)) {
                    if (IsGlyphButtonClass(Upper(child->ClassName())))
                        MakeSkinner(TSkinnerKind::GlyphRadio, *this, child, true);
                    else
                        MakeSkinner(TSkinnerKind::RadioButton, *this, child, false);
                }
            MakeSkinner(TSkinnerKind::GroupBox, *this, control, true);
            break;
        case TKindAction::CheckGroup:
            if (Has(s, xcRadioButton))
                for (TControl* child : ChildControls(control)) {
                    if (IsGlyphButtonClass(Upper(child->ClassName())))
                        MakeSkinner(TSkinnerKind::GlyphCheck, *this, child, true);
                    else
                        MakeSkinner(TSkinnerKind::CheckBox, *this, child, false);
                }
            if (Has(s, xcGroupBox)) MakeSkinner(TSkinnerKind::GroupBox, *this, control, true);
            break;
    }
    return true;
}

// ---- raw windows ---------------------------------------------------------------------------

void TChildDispatch::DispatchChildWindows(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT))
        if (GetWindowLongPtrW(child, GWL_STYLE) & WS_CHILD) children.push_back(child);
    for (HWND child : children) DispatchWindow(child);
}

void TChildDispatch::DispatchWindow(HWND window) {
    if (!window || !FHost.SkinData() || IsRegisteredWindow(window)) return;
    const TWindowRule& rule = WindowRuleFor(window);
    switch (rule.Action) {
        case TWindowAction::Leave: return;
        case TWindowAction::Skin: break;
        case TWindowAction::ChildrenThenSkin: DispatchChildWindows(window); break;
        case TWindowAction::ChildrenThenButtonFace: DispatchChildWindows(window); [[fallthrough]];
        case TWindowAction::ButtonFace:
            if (TWinControl* control = FindControl(window)) control->SetColor(FHost.SkinData()->Colours.ButtonFace);
            return;
    }
    MakeWindowSkinner(rule.Kind, *this, window);
}

}  // namespace qx
