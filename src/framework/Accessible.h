// Accessibility through the platform's own interface: a window of the framework's own class
// answers the platform's request for its accessible object with the platform's standard
// object for that window, wrapped so that what the control paints itself (its role, name,
// value and state) and its windowless children are told too. The platform's accessibility
// library is loaded on the first such request; without it nothing changes.
#pragma once
#include "framework/Types.h"

#include <optional>
#include <string>
#include <vector>

namespace qx {

class TControl;
class TWinControl;

// What a control tells assistive technology. What it leaves unset comes from the platform's
// standard object of its window; a windowless control without a role is not shown at all.
struct TAccessibleInfo {
    long Role = 0;  // ROLE_SYSTEM_*
    std::optional<std::u16string> Name;
    std::optional<std::u16string> Value;
    std::optional<std::u16string> DefaultAction;
    std::optional<std::u16string> KeyboardShortcut;
    unsigned long State = 0;  // STATE_SYSTEM_* flags, added to those the platform works out
    // A window that only paints over another control (a skinner's overlay): not one of its
    // parent's children, so that the control under it is what is read.
    bool Hidden = false;
};

// A part of a control that is no control of its own (a tab of a tab row, a button of a bar),
// told as a simple child of the control's object.
struct TAccessibleItem {
    long Role = 0;
    std::u16string Name;
    unsigned long State = 0;
    RECT Bounds{};  // in the control's client coordinates
    std::optional<std::u16string> DefaultAction;
};

// WM_GETOBJECT of a framework window: true when answered, with the answer in result.
bool AnswerAccessibleObject(TWinControl* control, WPARAM wParam, LPARAM lParam, LRESULT& result);

// Tells assistive technology that something about the control changed (EVENT_OBJECT_*).
void NotifyAccessibleEvent(TControl* control, DWORD event);

// The same for one of the control's parts (its index among DescribeAccessibleItems).
void NotifyAccessibleItemEvent(TWinControl* control, int item, DWORD event);

// A caption as a name: without its accelerator marks and the blanks around it.
std::u16string AccessibleCaption(const std::u16string& caption);
// The platform's way of naming a caption's accelerator key ("Alt+K"), empty without one.
std::u16string AccessibleShortcut(const std::u16string& caption);

// The default action names the program uses (its user texts are Turkish).
inline constexpr char16_t kActionPress[] = u"Bas";
inline constexpr char16_t kActionSelect[] = u"Seç";
inline constexpr char16_t kActionToggle[] = u"Değiştir";

}  // namespace qx
