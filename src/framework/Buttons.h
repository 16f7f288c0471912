// Buttons with a glyph (TBitBtn), windowless speed buttons (TSpeedButton) and push buttons
// with a drop-down arrow (TMenuButton).
#pragma once
#include "framework/StdCtrls.h"

#include <memory>

namespace qx {

enum class TGlyphLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
extern const TEnumInfo GlyphLayoutInfo;

// The glyph settings both glyph buttons share. The glyph strip holds NumGlyphs cells:
// normal, disabled, pressed (and down).
class TGlyphSettings {
public:
    TGlyphSettings();
    TBitmap* Glyph() { return glyph_.get(); }
    int NumGlyphs() const { return numGlyphs_; }
    TGlyphLayout Layout() const { return layout_; }
    int Margin() const { return margin_; }
    int Spacing() const { return spacing_; }

protected:
    std::unique_ptr<TBitmap> glyph_;
    int numGlyphs_ = 1;
    TGlyphLayout layout_ = TGlyphLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
};

class TBitBtn : public TButton, public TGlyphSettings {
    QX_CLASS_INFO()
public:
    explicit TBitBtn(TComponent* owner);
    void SetNumGlyphs(int value);
    void SetLayout(TGlyphLayout value);
    void SetMargin(int value);
    void SetSpacing(int value);
};

class TSpeedButton : public TGraphicControl, public TGlyphSettings {
    QX_CLASS_INFO()
public:
    explicit TSpeedButton(TComponent* owner);
    bool Flat() const { return flat_; }
    void SetFlat(bool value);
    bool Down() const { return down_; }
    void SetDown(bool value);
    void SetNumGlyphs(int value);
    void SetLayout(TGlyphLayout value);
    void SetMargin(int value);
    void SetSpacing(int value);
    void DescribeAccessible(TAccessibleInfo& info) const override;
    void DoAccessibleAction() override { Click(); }

protected:
    void Paint() override;
    void WndProc(TMessage& message) override;

private:
    bool flat_ = false;
    bool down_ = false;
    bool pressed_ = false;
};

// A push button that shows an arrow on its right for the menu it drops down.
class TMenuButton : public TButton {
    QX_CLASS_INFO()
public:
    explicit TMenuButton(TComponent* owner);

protected:
    void WndProc(TMessage& message) override;
};

}  // namespace qx
