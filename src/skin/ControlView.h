// One typed view of the state a skinner paints from. It answers the same questions for a
// framework control (through the control's own accessors) and for a raw window (through its
// style and the standard control messages), so painters never read properties by name.
#pragma once
#include "framework/Controls.h"
#include "framework/Types.h"

#include <windows.h>

#include <string>

namespace qx {

class TGlyphSettings;

enum class TCheckState : std::uint8_t { Unchecked, Checked, Grayed };

// Where a glyph button keeps its picture: in its glyph settings, or (a control known only by
// name through the skin's class map) in a published "PngImage" picture.
enum class TGlyphSource : std::uint8_t { Settings, PngImage };

class TControlView {
public:
    TControlView() = default;
    // control may be none (a raw window); window may be none (a control without a window).
    TControlView(HWND window, TControl* control) : window_(window), control_(control) {}
    TControlView(HWND window, TControl* control, TGlyphSource glyphSource)
        : window_(window), control_(control), glyphSource_(glyphSource) {}

    HWND Window() const { return window_; }
    TControl* Control() const { return control_; }
    bool IsFramework() const { return control_ != nullptr; }

    LONG_PTR Style() const;
    LONG_PTR ExStyle() const;
    bool Enabled() const;
    bool Focused() const;
    TCheckState Check() const;
    // A toggle button held down (a speed button's Down, a raw button's pushed state).
    bool Down() const;
    // The text the control shows.
    std::u16string Caption() const;
    HFONT Font() const;
    // The caption colour the control asks for, or fallback when it has none of its own.
    COLORREF TextColor(COLORREF fallback) const;
    bool RightToLeft() const;
    // Glyph, cell count, layout and spacing of a glyph button, or none.
    TGlyphSettings* Glyphs() const;
    // The glyph button's picture (all its cells), or none when it has an empty one or none.
    TBitmap* GlyphPicture() const;
    TGlyphSource GlyphSourceKind() const { return glyphSource_; }
    // A flat speed button (face shown only while hot or down).
    bool Flat() const;
    std::int32_t Tag() const;

    // The control's own colour (the parent window's face for a raw window).
    TColor Colour() const;
    void SetColour(TColor colour) const;
    // Whether the control has a parent-background switch, and its value.
    bool HasParentBackground() const;
    bool ParentBackground() const;
    void SetParentBackground(bool on) const;

private:
    HWND window_ = nullptr;
    TControl* control_ = nullptr;
    TGlyphSource glyphSource_ = TGlyphSource::Settings;
};

}  // namespace qx
