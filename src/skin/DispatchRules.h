// The rules that are decided by a name or a style: raw windows by window class and style, the
// few framework classes the dispatch knows by name, and what a form skinner's window is by its
// class. Skinners never look at class names; whatever depends on one is decided here.
#pragma once
#include "skin/SkinnerKind.h"

#include <windows.h>

#include <string_view>

namespace qx {

class TControl;

// What the dispatch does with a raw window.
enum class TWindowAction : std::uint8_t {
    Leave,                  // no skinner
    Skin,                   // the rule's skinner
    ChildrenThenSkin,       // dispatch its child windows, then the rule's skinner
    ChildrenThenButtonFace, // dispatch its child windows, then give its control the skin's face colour
    ButtonFace,             // give its framework control the skin's face colour
};

// How a row tests the window's style.
enum class TStyleTest : std::uint8_t {
    Any,
    TypeIs,    // (style AND Mask) = Value: the style's type field
    FlagsSet,  // style has a bit of Mask
    HasChild,  // the window has a child window
};

struct TWindowRule {
    const char* Class;  // lower case
    TStyleTest Test;
    LONG_PTR Mask;
    LONG_PTR Value;
    TWindowAction Action;
    TSkinnerKind Kind;
};

// The first row that matches the window's class and style; a row that leaves it alone for a
// window no row names.
const TWindowRule& WindowRuleFor(HWND window);

// A window of a spin (up-down) class, which the tab skinners take over as their scroller.
bool IsSpinWindow(HWND window);

// Framework classes known by name (upper case, as the dispatch compares them).
// Controls that keep their system look whatever the skin says.
bool IsUnskinnedClass(std::string_view upperName);
// Check boxes and radio buttons drawn from glyphs of their own.
bool IsGlyphButtonClass(std::string_view upperName);
// Groups whose buttons share the group's opt-out.
bool IsButtonGroupClass(std::string_view upperName);
// Scroll boxes that draw their own border: their scroll-bar skinner adds none.
bool HasOwnBorderClass(const TControl* control);
// Buttons of another framework's window class, which tell their parent of a click by handle
// alone.
bool NotifiesByHandleAlone(HWND button);

// What a form skinner's window is, by its class.
struct TFormWindowClass {
    bool Dialog = false;              // a dialog box: it takes the dialog frame
    bool KeepsOwnPopupMenus = false;  // its menus are not switched to the skin's drawing
};
TFormWindowClass FormWindowClassOf(HWND window);
// The client window of an MDI frame, which holds the frame's child windows.
bool IsMdiClientWindow(HWND window);

}  // namespace qx
