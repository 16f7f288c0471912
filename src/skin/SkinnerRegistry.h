// The skinner registry: which skinner serves which kind of control. Every kind the control
// dispatch knows is a row here; a family of skinners registers the factories of its kinds, and
// a kind whose family is not registered dispatches to nothing.
#pragma once
#include <windows.h>

#include <cstdint>

namespace qx {

class TControl;
class TSkinControl;
class TSkinForm;

enum class TSkinnerKind : std::uint8_t {
    None,
    RadioButton,
    CheckBox,
    Button,
    BitButton,
    PngBitButton,  // a bit button whose glyph is in the property "PngImage"
    SpeedButton,
    MenuButton,
    Box,
    BoxH,
    GroupBox,
    Progress,
    StatusBar,
    Scrollbar,
    SingleScrollbar,
    ListView,
    ComBox,
    Edit,
    UpDown,
    TrackBar,
    Tab,
    Tab31,
    TabSheet,
    Header,
    Sizer,
    MediaPlayer,
    GlyphCheck,    // a check box drawn from custom glyphs
    GlyphRadio,    // a radio button drawn from custom glyphs
    ExCheck,       // an extended check box drawn from glyphs
    PageEx,        // an advanced page control
    ScrollbarH,    // a raw window with window scroll bars
    ScControl,     // a stand-alone scroll bar control
    Count
};

// Makes a skinner of one kind for a framework control (control set) or a raw window (window
// set), gives it to the skin manager and attaches it to form; null when it could not.
using TSkinnerFactory = TSkinControl* (*)(TSkinForm& form, TControl* control, HWND window, bool ownColor);

void RegisterSkinnerFactory(TSkinnerKind kind, TSkinnerFactory factory);
// Whether a skinner of this kind exists in the program.
bool HasSkinner(TSkinnerKind kind);
TSkinControl* MakeSkinner(TSkinnerKind kind, TSkinForm& form, TControl* control, bool ownColor);
TSkinControl* MakeWindowSkinner(TSkinnerKind kind, TSkinForm& form, HWND window);

// The button family and panels are registered once, before the first dispatch; the other
// control families come with RegisterControlSkinnerFamilies (ControlSkinnerFamilies.h).
void RegisterBuiltInSkinners();

}  // namespace qx
