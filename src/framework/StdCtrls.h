// Standard controls: the label (windowless) and the push button, radio button and check
// box (windowed, on the system "BUTTON" class), and the plain panel.
#pragma once
#include "framework/Controls.h"

namespace qx {

enum class TTextLayout : std::uint8_t { tlTop, tlCenter, tlBottom };

class TLabel : public TGraphicControl {
    QX_CLASS_INFO()
public:
    explicit TLabel(TComponent* owner);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;
    void TextChanged() override;
    void FontChanged() override;

private:
    UINT DrawFlags() const;
    void AdjustSize();
    TAlignment alignment_ = TAlignment::taLeftJustify;
    bool autoSize_ = true;
    bool transparent_ = false;
    bool wordWrap_ = false;
    TTextLayout layout_ = TTextLayout::tlTop;
};

// A control on the system "BUTTON" class; the style decides which kind.
class TButtonControl : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TButtonControl(TComponent* owner);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    bool wordWrap_ = false;
};

class TButton : public TButtonControl {
    QX_CLASS_INFO()
public:
    explicit TButton(TComponent* owner);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool value) { cancel_ = value; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int value) { modalResult_ = value; }
    void DoAccessibleAction() override { Click(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;
};

// Radio buttons with the same parent form one group: checking one unchecks the others.
class TRadioButton : public TButtonControl {
    QX_CLASS_INFO()
public:
    explicit TRadioButton(TComponent* owner);
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    bool IsRadioButton(bool& checked) const override {
        checked = checked_;
        return true;
    }
    void CheckFromKeyboard() override;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    bool checked_ = false;
    TAlignment alignment_ = TAlignment::taRightJustify;
    bool focusing_ = false;  // the window is taking the focus
};

enum class TCheckBoxState : std::uint8_t { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TButtonControl {
    QX_CLASS_INFO()
public:
    explicit TCheckBox(TComponent* owner);
    bool Checked() const { return state_ == TCheckBoxState::cbChecked; }
    void SetChecked(bool value) { SetState(value ? TCheckBoxState::cbChecked : TCheckBoxState::cbUnchecked); }
    TCheckBoxState State() const { return state_; }
    void SetState(TCheckBoxState state);
    bool AllowGrayed() const { return allowGrayed_; }
    void SetAllowGrayed(bool value) { allowGrayed_ = value; }

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    // The next state, as a click moves it.
    void Toggle();
    TCheckBoxState state_ = TCheckBoxState::cbUnchecked;
    bool allowGrayed_ = false;
};

enum class TBevelCut : std::uint8_t { bvNone, bvLowered, bvRaised, bvSpace };

// A container that paints a background, an optional bevel and a centred caption.
class TCustomPanel : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TCustomPanel(TComponent* owner);
    TBevelCut BevelOuter() const { return bevelOuter_; }
    void SetBevelOuter(TBevelCut value);
    TBevelCut BevelInner() const { return bevelInner_; }
    void SetBevelInner(TBevelCut value);
    int BevelWidth() const { return bevelWidth_; }
    void SetBevelWidth(int value);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;

private:
    TBevelCut bevelOuter_ = TBevelCut::bvRaised;
    TBevelCut bevelInner_ = TBevelCut::bvNone;
    int bevelWidth_ = 1;
    TAlignment alignment_ = TAlignment::taCenter;
};

class TPanel : public TCustomPanel {
    QX_CLASS_INFO()
public:
    explicit TPanel(TComponent* owner) : TCustomPanel(owner) {}
};

extern const TEnumInfo BevelCutInfo;

}  // namespace qx
