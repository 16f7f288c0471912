#include "framework/GroupCtrls.h"

#include "framework/Accessible.h"

#include <oleacc.h>

#include <algorithm>

namespace qx {

// ---- TGroupBox -----------------------------------------------------------------------------

const TClassInfo& TGroupBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGroupBox>("TGroupBox", &TCustomControl::StaticClassInfo()).Creatable().Build();
    return info;
}

TGroupBox::TGroupBox(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ |= csOpaque;
    controlStyle_ &= ~(csCaptureMouse | csClickEvents);
    width_ = 185;
    height_ = 105;
}

void TGroupBox::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(r);
    const int textHeight = c.TextHeight(u"0");
    RECT frame{r.left, r.top + textHeight / 2, r.right, r.bottom};
    DrawEdge(c.Handle(), &frame, EDGE_ETCHED, BF_RECT);
    if (Caption().empty()) return;
    RECT text{8, 0, r.right - 8, textHeight};
    c.Brush().SetColor(Color());
    c.Font().SetColor(Enabled() ? Font().Color() : clGrayText);
    c.DrawText(Caption(), text, DT_SINGLELINE | DT_CALCRECT);
    InflateRect(&text, 1, 0);
    c.FillRect(text);
    InflateRect(&text, -1, 0);
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.DrawText(Caption(), text, DT_SINGLELINE);
}

void TGroupBox::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_GROUPING;
    info.Name = AccessibleCaption(Caption());
}

// ---- TRadioGroup ---------------------------------------------------------------------------

const TClassInfo& TRadioGroup::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TRadioGroup>("TRadioGroup", &TGroupBox::StaticClassInfo())
            .Strings("Items", [](TRadioGroup* g) { return g->Items(); },
                     [](TRadioGroup* g, const std::vector<std::u16string>& items) { g->SetItems(items); })
            .Int("ItemIndex", &TRadioGroup::ItemIndex, &TRadioGroup::SetItemIndex)
            .Int("Columns", &TRadioGroup::Columns, &TRadioGroup::SetColumns)
            .Event("OnChange", &TRadioGroup::OnChange)
            .Creatable()
            .Build();
    return info;
}

TRadioGroup::TRadioGroup(TComponent* owner) : TGroupBox(owner) {}

void TRadioGroup::SetItems(const std::vector<std::u16string>& items) {
    items_ = items;
    MakeButtons();
}

void TRadioGroup::MakeButtons() {
    updating_ = true;
    for (TRadioButton* b : buttons_) delete b;
    buttons_.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) {
        auto* b = new TRadioButton(this);
        b->SetCaption(items_[i]);
        b->SetEnabled(Enabled());
        b->SetParent(this);
        b->OnClick = [this, i](TObject*) {
            if (updating_ || !buttons_[i]->Checked()) return;
            itemIndex_ = static_cast<int>(i);
            if (OnChange) OnChange(this);
        };
        buttons_.push_back(b);
    }
    if (itemIndex_ >= 0 && itemIndex_ < static_cast<int>(buttons_.size())) buttons_[itemIndex_]->SetChecked(true);
    updating_ = false;
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int v) {
    // While the layout is read the items may come after the index.
    if (v < -1 || (!IsLoading() && v >= static_cast<int>(items_.size()))) v = -1;
    if (v == itemIndex_) return;
    itemIndex_ = v;
    updating_ = true;
    if (v >= 0 && v < static_cast<int>(buttons_.size()))
        buttons_[v]->SetChecked(true);
    else
        for (TRadioButton* b : buttons_) b->SetChecked(false);
    updating_ = false;
    if (OnChange && !IsLoading()) OnChange(this);
}

void TRadioGroup::SetColumns(int v) {
    v = std::clamp(v, 1, 16);
    if (v == columns_) return;
    columns_ = v;
    ArrangeButtons();
}

void TRadioGroup::EnabledChanged() {
    for (TRadioButton* b : buttons_) b->SetEnabled(Enabled());
    TGroupBox::EnabledChanged();
}

void TRadioGroup::AlignControls(RECT& rect) {
    TGroupBox::AlignControls(rect);
    ArrangeButtons();
}

void TRadioGroup::ArrangeButtons() {
    if (buttons_.empty()) return;
    const int rows = (static_cast<int>(buttons_.size()) + columns_ - 1) / columns_;
    const int top = 16, left = 8;
    const int columnWidth = std::max(1, (Width() - 2 * left) / columns_);
    const int rowHeight = std::max(17, std::max(0, Height() - top - 6) / std::max(rows, 1));
    for (std::size_t i = 0; i < buttons_.size(); ++i) {
        const int col = static_cast<int>(i) / rows, row = static_cast<int>(i) % rows;
        buttons_[i]->SetBounds(left + col * columnWidth, top + row * rowHeight + (rowHeight - 17) / 2,
                               columnWidth - 4, 17);
    }
}

// ---- glyph toggles -------------------------------------------------------------------------

const TClassInfo& TGlyphToggle::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGlyphToggle>("TGlyphToggle", &TCustomControl::StaticClassInfo())
            .Bool("Checked", &TGlyphToggle::Checked, &TGlyphToggle::SetChecked)
            .Object("CustomGlyphs", &TGlyphToggle::CustomGlyphs, TBitmap::StaticClassInfo())
            .Bool("UseCustomGlyphs", &TGlyphToggle::UseCustomGlyphs, &TGlyphToggle::SetUseCustomGlyphs)
            .Color("TransparentColor", &TGlyphToggle::TransparentColor, &TGlyphToggle::SetTransparentColor)
            .Build();
    return info;
}

const TClassInfo& TGlyphCheckBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGlyphCheckBox>("TGlyphCheckBox", &TGlyphToggle::StaticClassInfo()).Creatable().Build();
    return info;
}

const TClassInfo& TGlyphRadioButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGlyphRadioButton>("TGlyphRadioButton", &TGlyphToggle::StaticClassInfo()).Creatable().Build();
    return info;
}

TGlyphToggle::TGlyphToggle(TComponent* owner) : TCustomControl(owner), glyphs_(std::make_unique<TBitmap>()) {
    // Toggle clicks itself; the framework's own click on release would come twice.
    controlStyle_ &= ~(csAcceptsControls | csClickEvents);
    controlStyle_ |= csOpaque;
    glyphs_->OnChange = [this] { Invalidate(); };
    SetTabStop(true);
    width_ = 120;
    height_ = 17;
}

void TGlyphToggle::SetChecked(bool v) {
    if (v == checked_) return;
    checked_ = v;
    Invalidate();
    NotifyAccessibleEvent(this, EVENT_OBJECT_STATECHANGE);
    if (!IsLoading()) Click();
}

void TGlyphRadioButton::SetChecked(bool v) {
    if (v == Checked()) return;
    TGlyphToggle::SetChecked(v);
    if (v && Parent())
        for (TControl* c : Parent()->Controls())
            if (auto* other = dynamic_cast<TGlyphRadioButton*>(c); other && other != this) other->SetChecked(false);
}

void TGlyphToggle::SetUseCustomGlyphs(bool v) {
    if (v == useCustomGlyphs_) return;
    useCustomGlyphs_ = v;
    Invalidate();
}

void TGlyphToggle::SetTransparentColor(TColor v) {
    if (v == transparentColor_) return;
    transparentColor_ = v;
    Invalidate();
}

void TGlyphToggle::Paint() {
    TCanvas& c = Canvas();
    RECT r = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(r);
    const int size = 13;
    RECT glyph{0, (RectHeight(r) - size) / 2, size, (RectHeight(r) - size) / 2 + size};
    const int cell = (checked_ ? 1 : 0) + (Enabled() ? 0 : 2);
    if (useCustomGlyphs_ && !glyphs_->Empty() && glyphs_->Width() >= 4) {
        const int w = glyphs_->Width() / 4, h = glyphs_->Height();
        glyph = RECT{0, (RectHeight(r) - h) / 2, w, (RectHeight(r) - h) / 2 + h};
        TMemoryDC source(c.Handle());
        source.SelectBitmap(glyphs_->Handle());
        ::TransparentBlt(c.Handle(), glyph.left, glyph.top, w, h, source.Get(), cell * w, 0, w, h,
                       ColorToRGB(transparentColor_));
        lastCell_ = cell;
    } else {
        UINT state = IsRadio() ? DFCS_BUTTONRADIO : DFCS_BUTTONCHECK;
        if (checked_) state |= DFCS_CHECKED;
        if (!Enabled()) state |= DFCS_INACTIVE;
        DrawFrameControl(c.Handle(), &glyph, DFC_BUTTON, state);
        lastCell_ = -1;
    }
    RECT text{glyph.right + 4, 0, r.right, r.bottom};
    c.Brush().SetStyle(TBrushStyle::bsClear);
    c.Font().SetColor(Enabled() ? Font().Color() : clGrayText);
    c.DrawText(Caption(), text, DT_SINGLELINE | DT_VCENTER);
    if (Focused()) {
        RECT focus = text;
        c.DrawText(Caption(), focus, DT_SINGLELINE | DT_CALCRECT);
        OffsetRect(&focus, 0, (RectHeight(r) - RectHeight(focus)) / 2);
        InflateRect(&focus, 2, 1);
        DrawFocusRect(c.Handle(), &focus);
    }
}

void TGlyphToggle::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = IsRadio() ? ROLE_SYSTEM_RADIOBUTTON : ROLE_SYSTEM_CHECKBUTTON;
    info.Name = AccessibleCaption(Caption());
    info.DefaultAction = IsRadio() ? kActionSelect : kActionToggle;
    if (const std::u16string key = AccessibleShortcut(Caption()); !key.empty()) info.KeyboardShortcut = key;
    if (checked_) info.State = STATE_SYSTEM_CHECKED;
}

void TGlyphToggle::DoAccessibleAction() {
    if (Enabled()) Toggle();
}

void TGlyphToggle::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGCHAR:
            // Its accelerator focuses it and clicks it, as the platform's check boxes answer.
            if (IsAccelerator(m.WParam, Caption()) && CanFocus()) {
                SetFocus();
                Toggle();
                m.Result = 1;
                return;
            }
            break;
        case WM_LBUTTONDOWN:
            if (Enabled() && CanFocus()) SetFocus();
            break;
        case WM_LBUTTONUP:
            if (Enabled() && (ControlState() & csLButtonDown)) {
                POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
                RECT r = ClientRect();
                if (PtInRect(&r, p)) Toggle();
            }
            break;
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE && Enabled()) Toggle();
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: Invalidate(); break;
        case WM_GETDLGCODE: m.Result = DLGC_BUTTON; return;
        default: break;
    }
    TCustomControl::WndProc(m);
}

}  // namespace qx
