// Skinners of the button family: radio buttons, check boxes, push buttons, buttons with a
// glyph, windowless speed buttons and drop-down menu buttons, all drawn from the skin's
// Buttons element.
#pragma once
#include "skin/ControlSkinners.h"

#include "skin/SkinDraw.h"

#include <memory>
#include <optional>

namespace qx {

class TSkinRadioButton : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // The cell the last paint drew (0 when none): lets tests and tools see the state picked.
    int LastCell() const { return lastCell_; }
    RECT LastGlyphRect() const { return lastGlyph_; }

protected:
    // The skin has a glyph strip for this kind (else the control paints itself).
    bool HasGlyph();
    // What the glyph shows now.
    virtual TSkinState GlyphState() const;
    // The skin's glyph strip of this kind (none without skin data).
    virtual std::optional<TSkinPart> GlyphPart();
    // Distance of the glyph's right edge from the rectangle's right edge with BS_LEFTTEXT.
    virtual int LeftTextInset() const { return 1; }
    void DrawCheckCaption(HDC dc, const RECT& textRect, UINT flags);
    bool FTransparent = false;
    int lastCell_ = 0;
    RECT lastGlyph_{};
};

class TSkinCheckBox : public TSkinRadioButton {
public:
    using TSkinRadioButton::TSkinRadioButton;

protected:
    TSkinState GlyphState() const override;
    std::optional<TSkinPart> GlyphPart() override;
    int LeftTextInset() const override { return 0; }
};

// Push buttons. A dispatch rule may turn SelfPaint on for buttons that paint their own face:
// the skinner then does not forward presses to the control's mouse handling.
class TSkinButton : public TSkinControl {
public:
    TSkinButton();
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    int LastCell() const { return lastCell_; }
    const std::u16string& Caption() const { return FCaption; }
    // Set by the dispatch for a button of another framework's class, which tells its parent of
    // a click by handle alone.
    void SetNotifyByHandle(bool on) { FNotifyByHandle = on; }

protected:
    // The skin has a face picture; without one the control paints and works as its own.
    bool HasFace() const;
    // What the face shows now.
    virtual TSkinState FaceState() const;
    void DrawCaption(TCanvas& canvas, const RECT& rect, UINT alignment, const std::u16string& text);
    // Caption colour of a state (the base colour when the skin gives none for it).
    COLORREF StateTextColor(TSkinState state, COLORREF base) const;
    void FireClick();
    // Recomputes FFocused, FEnabled and FCaption for a paint.
    void ReadPaintState();
    // The start every windowed button's paint shares: reads the state and records the face
    // cell. Returns the face's state, or none when there is nothing to draw (no face picture
    // in the skin, or an empty rectangle).
    std::optional<TSkinState> BeginFacePaint(const RECT& rect);
    // Sizes the buffer to W x H, lays the parent's background (transparent buttons) or the
    // plain face into it, then the skin's face cell when drawFace; returns the buffer's DC.
    HDC PrepareBuffer(TSkinState state, int W, int H, bool drawFace);
    // Caption font and base colour of the glyph and menu buttons: the control's font when it
    // is a framework control, else the window's font and the skin's button text colour.
    void GlyphCaptionFont(HFONT& font, COLORREF& color) const;
    std::unique_ptr<TBitmap> FBuffer;
    bool FTransparent = false;
    bool FNotifyByHandle = false;
    int lastCell_ = 0;
};

class TSkinBitButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // Set by the dispatch for a control whose glyph is not in glyph settings.
    void SetGlyphSource(TGlyphSource source) { FView = TControlView(FView.Window(), FView.Control(), source); }

protected:
    // Draws face, glyph and caption into the buffer of size W x H.
    void ComposeGlyphButton(TSkinState state, int W, int H, bool drawFace, bool speedRules);
};

class TSkinSpeedButton : public TSkinBitButton {
public:
    using TSkinBitButton::TSkinBitButton;
    // The control has no window: the skinner rides on its message hook alone.
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSpeed(HDC dc);

private:
    void PaintOnControl();
    bool FPainting = false;
};

class TSkinMenuButton : public TSkinButton {
public:
    using TSkinButton::TSkinButton;
    void PaintSkin(HDC dc, const RECT& rect) override;

protected:
    TSkinState FaceState() const override;
};

}  // namespace qx
