#include "skin/DispatchRules.h"

#include "framework/Controls.h"
#include "skin/WindowNames.h"

#include <commctrl.h>

#include <algorithm>
#include <initializer_list>
#include <string>

namespace qx {

namespace {

using A = TWindowAction;
using K = TSkinnerKind;
using T = TStyleTest;

// A combo box's type field, as BS_TYPEMASK is a button's (the platform names no mask for it).
constexpr LONG_PTR kComboTypeMask = CBS_SIMPLE | CBS_DROPDOWN | CBS_DROPDOWNLIST;

// First match wins: the exclusions of a class come before its skinners.
constexpr TWindowRule kWindowRules[] = {
    // Buttons by the type field of their style. Owner-drawn buttons, group boxes and picture
    // buttons keep their own look; so do split buttons and command links, whose drop-down
    // arrow and note a push-button face would cover.
    {"button", T::FlagsSet, BS_BITMAP, 0, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_OWNERDRAW, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_GROUPBOX, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_SPLITBUTTON, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_DEFSPLITBUTTON, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_COMMANDLINK, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_DEFCOMMANDLINK, A::Leave, K::None},
    {"button", T::TypeIs, BS_TYPEMASK, BS_CHECKBOX, A::Skin, K::CheckBox},
    {"button", T::TypeIs, BS_TYPEMASK, BS_AUTOCHECKBOX, A::Skin, K::CheckBox},
    {"button", T::TypeIs, BS_TYPEMASK, BS_3STATE, A::Skin, K::CheckBox},
    {"button", T::TypeIs, BS_TYPEMASK, BS_AUTO3STATE, A::Skin, K::CheckBox},
    {"button", T::TypeIs, BS_TYPEMASK, BS_RADIOBUTTON, A::Skin, K::RadioButton},
    {"button", T::TypeIs, BS_TYPEMASK, BS_AUTORADIOBUTTON, A::Skin, K::RadioButton},
    {"button", T::Any, 0, 0, A::Skin, K::Button},  // push buttons, push boxes, user buttons
    {"combobox", T::TypeIs, kComboTypeMask, CBS_SIMPLE, A::Leave, K::None},
    {"combobox", T::Any, 0, 0, A::Skin, K::ComBox},
    {"comboboxex32", T::HasChild, 0, 0, A::Skin, K::ComBox},
    {"scrollbar", T::FlagsSet, WS_TABSTOP, 0, A::Leave, K::None},
    {"scrollbar", T::Any, 0, 0, A::Skin, K::Sizer},
    {"#32770", T::FlagsSet, WS_TABSTOP, 0, A::Leave, K::None},
    {"#32770", T::Any, 0, 0, A::ChildrenThenSkin, K::BoxH},
    {"tpanel", T::Any, 0, 0, A::ChildrenThenButtonFace, K::None},
    {"twidepanel.unicodeclass", T::Any, 0, 0, A::ChildrenThenButtonFace, K::None},
    {"twidesilentpaintpanel.unicodeclass", T::Any, 0, 0, A::ChildrenThenButtonFace, K::None},
    {"tcheckbox", T::Any, 0, 0, A::Skin, K::CheckBox},
    {"tcombobox", T::Any, 0, 0, A::Skin, K::ComBox},
    {"tbutton", T::Any, 0, 0, A::Skin, K::Button},
    {"tprogressbar", T::Any, 0, 0, A::Skin, K::Progress},
    {"tsilentpaintpanel", T::Any, 0, 0, A::ButtonFace, K::None},
    {"systabcontrol32", T::FlagsSet, TCS_OWNERDRAWFIXED, 0, A::Leave, K::None},
    {"systabcontrol32", T::Any, 0, 0, A::Skin, K::Tab},
    {"edit", T::Any, 0, 0, A::Skin, K::Edit},
};

constexpr TWindowRule kNoRule{"", T::Any, 0, 0, A::Leave, K::None};

bool Matches(const TWindowRule& rule, HWND window, LONG_PTR style) {
    switch (rule.Test) {
        case T::Any: return true;
        case T::TypeIs: return (style & rule.Mask) == rule.Value;
        case T::FlagsSet: return (style & rule.Mask) != 0;
        case T::HasChild: return GetTopWindow(window) != nullptr;
    }
    return false;
}

bool OneOf(std::string_view name, std::initializer_list<std::string_view> names) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

const TWindowRule& WindowRuleFor(HWND window) {
    const std::string cls = LowerAscii(WindowClassName(window));
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_STYLE);
    for (const TWindowRule& rule : kWindowRules)
        if (cls == rule.Class && Matches(rule, window, style)) return rule;
    return kNoRule;
}

bool IsSpinWindow(HWND window) {
    return OneOf(LowerAscii(WindowClassName(window)), {"msctls_updown32", "tupdown", "tspinbutton"});
}

bool IsUnskinnedClass(std::string_view upperName) {
    return OneOf(upperName, {"TDBLOOKUPCOMBOEX", "TRPTDESIGNERPAGE", "TRPTPBOX"});
}

bool IsGlyphButtonClass(std::string_view upperName) {
    return OneOf(upperName, {"TGLYPHCHECKBOX", "TGLYPHDBCHECKBOX", "TGLYPHRADIOBUTTON", "TGLYPHDBRADIOBUTTON"});
}

bool IsButtonGroupClass(std::string_view upperName) {
    return OneOf(upperName, {"TRADIOGROUP", "TDBRADIOGROUP", "TCHECKGROUP", "TDBCHECKGROUP"});
}

bool HasOwnBorderClass(const TControl* control) {
    return control && OneOf(control->ClassName(), {"TPictureScrollBox"});
}

bool NotifiesByHandleAlone(HWND button) { return LowerAscii(WindowClassName(button)) == "tbutton"; }

TFormWindowClass FormWindowClassOf(HWND window) {
    const std::string cls = WindowClassName(window);
    TFormWindowClass result;
    result.Dialog = OneOf(cls, {"#32770", "TMessageForm"});
    result.KeepsOwnPopupMenus = cls == "TRichEditForm";
    return result;
}

bool IsMdiClientWindow(HWND window) { return WindowClassName(window) == "MDIClient"; }

}  // namespace qx
