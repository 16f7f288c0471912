#include "framework/StdCtrls.h"

#include "core/Text.h"
#include "framework/Accessible.h"

#include <oleacc.h>

namespace qx {

static std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

static const TEnumInfo TextLayoutInfo{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
static const TEnumInfo CheckBoxStateInfo{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
const TEnumInfo BevelCutInfo{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};

// ---- TLabel --------------------------------------------------------------------------------

const TClassInfo& TLabel::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TLabel>("TLabel", &TGraphicControl::StaticClassInfo())
                                       .Enum("Alignment", &TLabel::Alignment, &TLabel::SetAlignment, AlignmentInfo)
                                       .Bool("AutoSize", &TLabel::AutoSize, &TLabel::SetAutoSize)
                                       .Bool("Transparent", &TLabel::Transparent, &TLabel::SetTransparent)
                                       .Bool("WordWrap", &TLabel::WordWrap, &TLabel::SetWordWrap)
                                       .Enum("Layout", &TLabel::Layout, &TLabel::SetLayout, TextLayoutInfo)
                                       .Creatable()
                                       .Build();
    return info;
}

TLabel::TLabel(TComponent* owner) : TGraphicControl(owner) {
    controlStyle_ &= ~csCaptureMouse;
    width_ = 65;
    height_ = 17;
}

void TLabel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}
void TLabel::SetAutoSize(bool v) {
    if (v == autoSize_) return;
    autoSize_ = v;
    AdjustSize();
}
void TLabel::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    if (v)
        controlStyle_ &= ~csOpaque;
    else
        controlStyle_ |= csOpaque;
    Invalidate();
}
void TLabel::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    AdjustSize();
    Invalidate();
}
void TLabel::SetLayout(TTextLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}

UINT TLabel::DrawFlags() const {
    static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    UINT f = DT_EXPANDTABS | DT_NOPREFIX | align[static_cast<int>(alignment_)];
    if (wordWrap_) f |= DT_WORDBREAK;
    return f;
}

void TLabel::TextChanged() { AdjustSize(); }
void TLabel::FontChanged() { AdjustSize(); }

void TLabel::AdjustSize() {
    if (!autoSize_ || IsLoading()) return;
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    RECT r{0, 0, wordWrap_ ? width_ : 0, 0};
    std::wstring text = W(Caption().empty() ? u" " : Caption());
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    SetBounds(left_, top_, r.right, r.bottom);
}

void TLabel::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    if (!transparent_) {
        c.Brush().SetColor(Color());
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        c.FillRect(r);
    }
    c.Brush().SetStyle(TBrushStyle::bsClear);
    if (!Enabled()) c.Font().SetColor(clGrayText);
    UINT flags = DrawFlags();
    if (layout_ != TTextLayout::tlTop) {
        RECT m = r;
        c.DrawText(Caption(), m, flags | DT_CALCRECT);
        int h = RectHeight(m);
        r.top = layout_ == TTextLayout::tlCenter ? (RectHeight(r) - h) / 2 : RectHeight(r) - h;
    }
    c.DrawText(Caption(), r, flags);
}

void TLabel::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_STATICTEXT;
    info.Name = std::u16string(TrimControl(Caption()));  // drawn as it is: an "&" is no accelerator here
    info.State = STATE_SYSTEM_READONLY;
}

// ---- button controls -----------------------------------------------------------------------

const TClassInfo& TButtonControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TButtonControl>("TButtonControl", &TWinControl::StaticClassInfo())
            .Bool("WordWrap", &TButtonControl::WordWrap, &TButtonControl::SetWordWrap)
            .Build();
    return info;
}

TButtonControl::TButtonControl(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~(csAcceptsControls | csCaptureMouse | csClickEvents);
}

void TButtonControl::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    RecreateWnd();
}

void TButtonControl::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = u"BUTTON";
    if (wordWrap_) p.Style |= BS_MULTILINE;
}

const TClassInfo& TButton::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TButton>("TButton", &TButtonControl::StaticClassInfo())
                                       .Bool("Default", &TButton::Default, &TButton::SetDefault)
                                       .Bool("Cancel", &TButton::Cancel, &TButton::SetCancel)
                                       .Int("ModalResult", &TButton::ModalResult, &TButton::SetModalResult)
                                       .Creatable()
                                       .Build();
    return info;
}

TButton::TButton(TComponent* owner) : TButtonControl(owner) {
    width_ = 75;
    height_ = 25;
    SetTabStop(true);
}

void TButton::SetDefault(bool v) {
    if (v == default_) return;
    default_ = v;
    if (HandleAllocated())
        SendMessageW(Handle(), BM_SETSTYLE, v ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

void TButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED) Click();
        return;
    }
    if (m.Msg == CM_DIALOGKEY) {
        // Enter clicks the focused button, or the default one when the focus is elsewhere.
        bool enter = m.WParam == VK_RETURN && (default_ || Focused()), escape = m.WParam == VK_ESCAPE && cancel_;
        if ((enter || escape) && CanFocus()) {
            Click();
            m.Result = 1;
            return;
        }
    }
    if (m.Msg == CM_DIALOGCHAR && IsAccelerator(m.WParam, Caption()) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
    }
    TButtonControl::WndProc(m);
}

const TClassInfo& TRadioButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TRadioButton>("TRadioButton", &TButtonControl::StaticClassInfo())
            .Bool("Checked", &TRadioButton::Checked, &TRadioButton::SetChecked)
            .Enum("Alignment", &TRadioButton::Alignment, &TRadioButton::SetAlignment, AlignmentInfo)
            .Creatable()
            .Build();
    return info;
}

TRadioButton::TRadioButton(TComponent* owner) : TButtonControl(owner) {
    width_ = 113;
    height_ = 17;
}

void TRadioButton::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    RecreateWnd();
}

void TRadioButton::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    // The framework keeps the group itself (see SetChecked), so the plain style is used.
    p.Style |= BS_RADIOBUTTON;
    if (alignment_ == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TRadioButton::CreateWindowHandleDone() {
    SendMessageW(Handle(), BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

void TRadioButton::SetChecked(bool value) {
    if (value == checked_) return;
    checked_ = value;
    SetTabStop(value);
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
    if (value) {
        if (Parent())
            for (TControl* c : Parent()->Controls())
                if (auto* other = dynamic_cast<TRadioButton*>(c); other && other != this) other->SetChecked(false);
        if (!IsLoading()) Click();
    }
}

void TRadioButton::CheckFromKeyboard() {
    if (Enabled()) SetChecked(true);
}

void TRadioButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CN_COMMAND: {
            auto code = HIWORD(m.WParam);
            // Messages sent straight to a disabled button still click it; the choice must not
            // move. The platform's button also reports a click when it takes the focus while
            // unchecked: the focus alone (Tab, the window's first activation) chooses nothing.
            if ((code == BN_CLICKED || code == BN_DOUBLECLICKED) && Enabled() && !focusing_) SetChecked(true);
            return;
        }
        case WM_SETFOCUS: {
            focusing_ = true;
            struct TEnd {
                bool& flag;
                ~TEnd() { flag = false; }
            } end{focusing_};
            TButtonControl::WndProc(m);
            return;
        }
        case CM_DIALOGCHAR:
            if (IsAccelerator(m.WParam, Caption()) && CanFocus()) {
                SetFocus();
                SetChecked(true);
                m.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TButtonControl::WndProc(m);
}

const TClassInfo& TCheckBox::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TCheckBox>("TCheckBox", &TButtonControl::StaticClassInfo())
                                       .Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked)
                                       .Enum("State", &TCheckBox::State, &TCheckBox::SetState, CheckBoxStateInfo)
                                       .Bool("AllowGrayed", &TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed)
                                       .Creatable()
                                       .Build();
    return info;
}

TCheckBox::TCheckBox(TComponent* owner) : TButtonControl(owner) {
    width_ = 97;
    height_ = 17;
    SetTabStop(true);
}

void TCheckBox::CreateParams(TCreateParams& p) {
    TButtonControl::CreateParams(p);
    p.Style |= BS_3STATE;
}

void TCheckBox::CreateWindowHandleDone() { SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state_), 0); }

void TCheckBox::SetState(TCheckBoxState state) {
    if (state == state_) return;
    state_ = state;
    if (HandleAllocated()) SendMessageW(Handle(), BM_SETCHECK, static_cast<WPARAM>(state), 0);
    if (!IsLoading()) Click();
}

void TCheckBox::Toggle() {
    switch (state_) {
        case TCheckBoxState::cbUnchecked:
            SetState(allowGrayed_ ? TCheckBoxState::cbGrayed : TCheckBoxState::cbChecked);
            break;
        case TCheckBoxState::cbGrayed: SetState(TCheckBoxState::cbChecked); break;
        case TCheckBoxState::cbChecked: SetState(TCheckBoxState::cbUnchecked); break;
    }
}

void TCheckBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == BN_CLICKED && Enabled()) Toggle();
        return;
    }
    if (m.Msg == CM_DIALOGCHAR && IsAccelerator(m.WParam, Caption()) && CanFocus()) {
        SetFocus();
        Toggle();
        m.Result = 1;
        return;
    }
    TButtonControl::WndProc(m);
}

// ---- TCustomPanel --------------------------------------------------------------------------

const TClassInfo& TCustomPanel::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomPanel>("TCustomPanel", &TCustomControl::StaticClassInfo())
            .Enum("BevelOuter", &TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter, BevelCutInfo)
            .Enum("BevelInner", &TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner, BevelCutInfo)
            .Int("BevelWidth", &TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth)
            .Enum("Alignment", &TCustomPanel::Alignment, &TCustomPanel::SetAlignment, AlignmentInfo)
            .Build();
    return info;
}

const TClassInfo& TPanel::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TPanel>("TPanel", &TCustomPanel::StaticClassInfo()).Creatable().Build();
    return info;
}

TCustomPanel::TCustomPanel(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ &= ~(csCaptureMouse | csClickEvents);
    controlStyle_ |= csOpaque;
    SetParentColor(false);
    SetColor(clBtnFace);
    width_ = 185;
    height_ = 41;
}

void TCustomPanel::SetBevelOuter(TBevelCut v) {
    if (v == bevelOuter_) return;
    bevelOuter_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelInner(TBevelCut v) {
    if (v == bevelInner_) return;
    bevelInner_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetBevelWidth(int v) {
    if (v == bevelWidth_ || v < 1) return;
    bevelWidth_ = v;
    Realign();
    Invalidate();
}
void TCustomPanel::SetAlignment(TAlignment v) {
    if (v == alignment_) return;
    alignment_ = v;
    Invalidate();
}

void TCustomPanel::DescribeAccessible(TAccessibleInfo& info) const {
    if (!Caption().empty()) info.Name = AccessibleCaption(Caption());
}

static void DrawBevel(HDC dc, RECT& r, TBevelCut cut, int width) {
    if (cut == TBevelCut::bvNone) return;
    COLORREF topLeft = ColorToRGB(cut == TBevelCut::bvLowered ? clBtnShadow : clBtnHighlight);
    COLORREF bottomRight = ColorToRGB(cut == TBevelCut::bvLowered ? clBtnHighlight : clBtnShadow);
    for (int i = 0; i < width; ++i) {
        if (cut != TBevelCut::bvSpace) {
            FillSolidRect(dc, {r.left, r.top, r.right, r.top + 1}, topLeft);
            FillSolidRect(dc, {r.left, r.top, r.left + 1, r.bottom}, topLeft);
            FillSolidRect(dc, {r.left, r.bottom - 1, r.right, r.bottom}, bottomRight);
            FillSolidRect(dc, {r.right - 1, r.top, r.right, r.bottom}, bottomRight);
        }
        InflateRect(&r, -1, -1);
    }
}

void TCustomPanel::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(r);
    DrawBevel(c.Handle(), r, bevelOuter_, bevelWidth_);
    DrawBevel(c.Handle(), r, bevelInner_, bevelWidth_);
    if (Caption().empty()) return;
    static const UINT align[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.DrawText(Caption(), r, DT_SINGLELINE | DT_VCENTER | DT_EXPANDTABS | align[static_cast<int>(alignment_)]);
}

}  // namespace qx
