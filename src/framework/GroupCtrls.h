// Group boxes and the controls that draw their own check and radio glyphs: the group box (an
// etched frame with a caption around its children), the radio group (a group box that makes
// and keeps one radio button per item), and check boxes and radio buttons that take a custom
// glyph strip.
#pragma once
#include "framework/StdCtrls.h"

#include <memory>
#include <string>
#include <vector>

namespace qx {

class TGroupBox : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TGroupBox(TComponent* owner);
    // A grouping named by its caption.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;
    void TextChanged() override { Invalidate(); }
};

// One radio button per item, laid out in columns inside the frame; ItemIndex is the checked one.
class TRadioGroup : public TGroupBox {
    QX_CLASS_INFO()
public:
    explicit TRadioGroup(TComponent* owner);
    const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(const std::vector<std::u16string>& items);
    int ItemIndex() const { return itemIndex_; }
    void SetItemIndex(int value);
    int Columns() const { return columns_; }
    void SetColumns(int value);
    const std::vector<TRadioButton*>& Buttons() const { return buttons_; }
    TNotifyEvent OnChange;

protected:
    void AlignControls(RECT& rect) override;
    void EnabledChanged() override;

private:
    void MakeButtons();
    void ArrangeButtons();
    std::vector<std::u16string> items_;
    std::vector<TRadioButton*> buttons_;  // owned as components
    int itemIndex_ = -1;
    int columns_ = 1;
    bool updating_ = false;
};

// A check box or radio button that paints its own glyph: the system's, or with UseCustomGlyphs
// a cell of CustomGlyphs, a strip of four equal cells (unchecked, checked, disabled unchecked,
// disabled checked) whose TransparentColor pixels show the background.
class TGlyphToggle : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TGlyphToggle(TComponent* owner);
    bool Checked() const { return checked_; }
    virtual void SetChecked(bool value);
    TBitmap* CustomGlyphs() { return glyphs_.get(); }
    bool UseCustomGlyphs() const { return useCustomGlyphs_; }
    void SetUseCustomGlyphs(bool value);
    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor value);
    // The glyph cell (from 0) the last paint drew, -1 for the system glyph.
    int LastGlyphCell() const { return lastCell_; }
    // A check box or radio button named by its caption, checked as it shows.
    void DescribeAccessible(TAccessibleInfo& info) const override;
    void DoAccessibleAction() override;

protected:
    void Paint() override;
    void WndProc(TMessage& message) override;
    virtual bool IsRadio() const = 0;
    virtual void Toggle() = 0;
    void TextChanged() override { Invalidate(); }
    void EnabledChanged() override { Invalidate(); }

private:
    bool checked_ = false;
    std::unique_ptr<TBitmap> glyphs_;
    bool useCustomGlyphs_ = false;
    TColor transparentColor_ = clFuchsia;
    int lastCell_ = -1;
};

class TGlyphCheckBox : public TGlyphToggle {
    QX_CLASS_INFO()
public:
    explicit TGlyphCheckBox(TComponent* owner) : TGlyphToggle(owner) {}

protected:
    bool IsRadio() const override { return false; }
    void Toggle() override { SetChecked(!Checked()); }
};

// Checking one unchecks the other glyph radio buttons of the same parent.
class TGlyphRadioButton : public TGlyphToggle {
    QX_CLASS_INFO()
public:
    explicit TGlyphRadioButton(TComponent* owner) : TGlyphToggle(owner) {}
    void SetChecked(bool value) override;
    // The glyph radio buttons of a parent are one group for the keyboard, as the platform's are.
    bool IsRadioButton(bool& checked) const override {
        checked = Checked();
        return true;
    }
    void CheckFromKeyboard() override {
        if (Enabled()) SetChecked(true);
    }

protected:
    bool IsRadio() const override { return true; }
    void Toggle() override { SetChecked(true); }
};

}  // namespace qx
