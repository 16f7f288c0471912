#include "framework/Buttons.h"

#include "framework/Accessible.h"

#include <oleacc.h>

namespace qx {

const TEnumInfo GlyphLayoutInfo{"TGlyphLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};

TGlyphSettings::TGlyphSettings() : glyph_(std::make_unique<TBitmap>()) {}

// ---- TBitBtn ----------------------------------------------------------------------------------

const TClassInfo& TBitBtn::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TBitBtn>("TBitBtn", &TButton::StaticClassInfo())
                                       .Object("Glyph", &TBitBtn::Glyph, TBitmap::StaticClassInfo())
                                       .Int("NumGlyphs", &TBitBtn::NumGlyphs, &TBitBtn::SetNumGlyphs)
                                       .Enum("Layout", &TBitBtn::Layout, &TBitBtn::SetLayout, GlyphLayoutInfo)
                                       .Int("Margin", &TBitBtn::Margin, &TBitBtn::SetMargin)
                                       .Int("Spacing", &TBitBtn::Spacing, &TBitBtn::SetSpacing)
                                       .Creatable()
                                       .Build();
    return info;
}

TBitBtn::TBitBtn(TComponent* owner) : TButton(owner) {
    glyph_->OnChange = [this] { Invalidate(); };
}

void TBitBtn::SetNumGlyphs(int v) {
    v = std::max(1, std::min(4, v));
    if (v == numGlyphs_) return;
    numGlyphs_ = v;
    Invalidate();
}
void TBitBtn::SetLayout(TGlyphLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}
void TBitBtn::SetMargin(int v) {
    if (v == margin_) return;
    margin_ = v;
    Invalidate();
}
void TBitBtn::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Invalidate();
}

// ---- TSpeedButton ---------------------------------------------------------------------------

const TClassInfo& TSpeedButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TSpeedButton>("TSpeedButton", &TGraphicControl::StaticClassInfo())
            .Object("Glyph", &TSpeedButton::Glyph, TBitmap::StaticClassInfo())
            .Int("NumGlyphs", &TSpeedButton::NumGlyphs, &TSpeedButton::SetNumGlyphs)
            .Enum("Layout", &TSpeedButton::Layout, &TSpeedButton::SetLayout, GlyphLayoutInfo)
            .Int("Margin", &TSpeedButton::Margin, &TSpeedButton::SetMargin)
            .Int("Spacing", &TSpeedButton::Spacing, &TSpeedButton::SetSpacing)
            .Bool("Flat", &TSpeedButton::Flat, &TSpeedButton::SetFlat)
            .Bool("Down", &TSpeedButton::Down, &TSpeedButton::SetDown)
            .Creatable()
            .Build();
    return info;
}

TSpeedButton::TSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    width_ = 23;
    height_ = 22;
    glyph_->OnChange = [this] { Invalidate(); };
}

void TSpeedButton::SetFlat(bool v) {
    if (v == flat_) return;
    flat_ = v;
    Invalidate();
}
void TSpeedButton::SetDown(bool v) {
    if (v == down_) return;
    down_ = v;
    Invalidate();
}
void TSpeedButton::SetNumGlyphs(int v) {
    v = std::max(1, std::min(4, v));
    if (v == numGlyphs_) return;
    numGlyphs_ = v;
    Invalidate();
}
void TSpeedButton::SetLayout(TGlyphLayout v) {
    if (v == layout_) return;
    layout_ = v;
    Invalidate();
}
void TSpeedButton::SetMargin(int v) {
    if (v == margin_) return;
    margin_ = v;
    Invalidate();
}
void TSpeedButton::SetSpacing(int v) {
    if (v == spacing_) return;
    spacing_ = v;
    Invalidate();
}

void TSpeedButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Enabled()) {
                pressed_ = true;
                Invalidate();
            }
            break;
        case WM_LBUTTONUP:
            if (pressed_) {
                pressed_ = false;
                Invalidate();
            }
            break;
        case CM_MOUSEENTER:
        case CM_MOUSELEAVE:
            if (flat_) Invalidate();
            break;
        case CM_DIALOGCHAR:
            if (IsAccelerator(m.WParam, Caption()) && Enabled() && Showing()) {
                Click();
                m.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TGraphicControl::WndProc(m);
}

void TSpeedButton::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_PUSHBUTTON;
    info.Name = AccessibleCaption(Caption());
    info.DefaultAction = kActionPress;
    if (const std::u16string key = AccessibleShortcut(Caption()); !key.empty()) info.KeyboardShortcut = key;
    if (down_) info.State = STATE_SYSTEM_PRESSED;
}

void TSpeedButton::Paint() {
    TCanvas& c = Canvas();
    HDC dc = c.Handle();
    RECT r = ClientRect();
    const bool sunken = pressed_ || down_;
    if (!flat_ || sunken || MouseInside()) {
        DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (sunken ? DFCS_PUSHED : 0));
    } else {
        FillSolidRect(dc, r, ColorToRGB(clBtnFace));
    }
    int x = (r.right - r.left) / 2, y = (r.bottom - r.top) / 2;
    if (!glyph_->Empty()) {
        int cell = glyph_->Width() / std::max(1, numGlyphs_);
        int index = !Enabled() && numGlyphs_ > 1 ? 1 : sunken && numGlyphs_ > 2 ? 2 : 0;
        BitBlt(dc, x - cell / 2, y - glyph_->Height() / 2, cell, glyph_->Height(), glyph_->Canvas().Handle(),
               index * cell, 0, SRCCOPY);
    } else if (!Caption().empty()) {
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
        c.DrawText(Caption(), r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

// ---- TMenuButton ----------------------------------------------------------------------------

const TClassInfo& TMenuButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMenuButton>("TMenuButton", &TButton::StaticClassInfo()).Creatable().Build();
    return info;
}

TMenuButton::TMenuButton(TComponent* owner) : TButton(owner) {}

void TMenuButton::WndProc(TMessage& m) {
    TButton::WndProc(m);
    if (m.Msg == WM_PAINT && HandleAllocated()) {
        // The arrow over the system face.
        TWindowDC dc(Handle());
        RECT r{};
        GetClientRect(Handle(), &r);
        int c = (r.bottom - r.top) / 2 + 2, w = r.right - r.left;
        POINT pts[3] = {{w - 12, c}, {w - 15, c - 3}, {w - 9, c - 3}};
        TBrushHandle brush(CreateSolidBrush(ColorToRGB(Enabled() ? clWindowText : clBtnShadow)));
        TSelectObject b(dc.Get(), brush.Get());
        TSelectObject p(dc.Get(), GetStockObject(NULL_PEN));
        Polygon(dc.Get(), pts, 3);
    }
}

}  // namespace qx
