// One typed view of the state a skinner paints from. It answers the same questions for a
// framework control (through the control's own accessors) and for a raw window (through its
// style and the standard control messages), so painters never read properties by name.
#pragma once
#include "framework/Controls.h"
#include "framework/Types.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

class TGlyphSettings;

enum class TCheckState : std::uint8_t { Unchecked, Checked, Grayed };

// One panel of a status bar as the control shows it.
enum class TPanelBevel : std::uint8_t { Lowered, Raised, None };
enum class TPanelAlign : std::uint8_t { Left, Centre, Right };
struct TStatusCell {
    std::u16string Text;
    TPanelAlign Align = TPanelAlign::Left;
    TPanelBevel Bevel = TPanelBevel::Lowered;
    bool OwnerDraw = false;  // the program draws it (DrawStatusCell)
};

// One tab of a row of tabs that the control lays out itself.
struct TTabCell {
    std::u16string Text;
    RECT Rect{};  // client coordinates
    bool Selected = false;
};

// The buttons of a media player's bar, bit n for button n.
struct TMediaBar {
    std::uint16_t Visible = 0, Enabled = 0, Coloured = 0;
    int VisibleCount = 0;
    int Focused = -1;  // the button the keyboard is on, or -1
};

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

    // The control's window as it is now (a framework control may have made a new one), or none.
    HWND CurrentWindow() const;
    // The control's window, made now when a framework control has none yet; none for a control
    // that has no window of its own.
    HWND WindowNeeded() const;
    // A control with a window of its own.
    bool IsWindowed() const;
    // Paints the control's non-windowed children into dc (a framework container's own step).
    void PaintChildControls(HDC dc) const;
    // A framework control's own double-buffering switch (false for a raw window).
    bool DoubleBuffered() const;
    void SetDoubleBuffered(bool on) const;

    // A scroll bar laid out across rather than up and down.
    bool HorizontalBar() const;
    // The control's border switched off by its own setting, whatever its window style says.
    bool BorderSwitchedOff() const;

    // Status bars: one text across the whole bar, or panels.
    bool StatusSimple() const;
    std::u16string StatusSimpleText() const;
    int StatusCellCount() const;
    TStatusCell StatusCell(int index) const;
    // Lets the program draw an owner-drawn panel into dc; false when nothing is set to draw it.
    bool DrawStatusCell(int index, HDC dc, const RECT& cell) const;

    // A tab set that lays out its own row of tabs, and those tabs.
    bool HasTabRow() const;
    std::vector<TTabCell> TabRow() const;

    // A media player's button bar, and the button under a client x (-1 for none).
    bool HasMediaBar() const;
    TMediaBar MediaBar() const;
    int MediaButtonAt(int x) const;

    // Gives a glyph check box or radio button a strip of its four glyph cells (unchecked,
    // checked, disabled unchecked, disabled checked; magenta shows the background), or with
    // none takes it back. False when the control takes no strip.
    bool SetGlyphStrip(const TBitmap* strip) const;
    bool TakesGlyphStrip() const;
    // The pictures an advanced page control draws its tabs with (selected or other), or none.
    TBitmap* TabPicture(bool selected) const;

private:
    HWND window_ = nullptr;
    TControl* control_ = nullptr;
    TGlyphSource glyphSource_ = TGlyphSource::Settings;
};

}  // namespace qx
