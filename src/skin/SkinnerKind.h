// The kinds of control skinner the dispatch chooses among: what the rule tables name and the
// registry makes.
#pragma once
#include <cstdint>

namespace qx {

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

}  // namespace qx
