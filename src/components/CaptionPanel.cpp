#include "CaptionPanel.h"

#include "core/DisplayScale.h"
#include "framework/Accessible.h"

#include <oleacc.h>

#include <algorithm>

namespace qx {

const TEnumInfo FrameStyleInfo{"TFrameStyle",
                               {"fsNone", "fsFlat", "fsGroove", "fsBump", "fsLowered", "fsButtonDown", "fsRaised",
                                "fsButtonUp", "fsStatus", "fsPopup", "fsFlatBold", "fsFlatRounded"}};
const TEnumInfo VerticalAlignmentInfo{"TVerticalAlignment", {"avTop", "avCenter", "avBottom"}};
const TEnumInfo PanelSideInfo{"TSide", {"sdLeft", "sdTop", "sdRight", "sdBottom"}};
const TEnumInfo PanelVisualStyleInfo{"TVisualStyle", {"vsClassic", "vsWinXP", "vsGradient"}};
const TEnumInfo PanelGradientDirectionInfo{
    "TGradientDirection", {"gdHorizontalEnd", "gdHorizontalCenter", "gdVerticalEnd", "gdVerticalCenter"}};

const TClassInfo& TCustomCaptionPanel::StaticClassInfo() {
    using C = TCustomCaptionPanel;
    static const TClassInfo info = [] {
        TClassBuilder<C> b("TCustomCaptionPanel", &TCustomPanel::StaticClassInfo());
        b.Enum("AlignmentVertical", &C::AlignmentVertical, &C::SetAlignmentVertical, VerticalAlignmentInfo)
            .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap)
            .Int("TextMargin", &C::TextMargin, &C::SetTextMargin)
            .Int("TextMarginVertical", &C::TextMarginVertical, &C::SetTextMarginVertical)
            .Enum("BorderOuter", &C::BorderOuter, &C::SetBorderOuter, FrameStyleInfo)
            .Enum("BorderInner", &C::BorderInner, &C::SetBorderInner, FrameStyleInfo)
            .Set("BorderSides", &C::BorderSides, &C::SetBorderSides, PanelSideInfo)
            .Int("BorderWidth", &C::BorderWidth, &C::SetBorderWidth)
            .Color("BorderColor", &C::BorderColor, &C::SetBorderColor)
            .Color("BorderHighlight", &C::BorderHighlight, &C::SetBorderHighlight)
            .Color("BorderShadow", &C::BorderShadow, &C::SetBorderShadow)
            .Color("FlatColor", &C::FlatColor, &C::SetFlatColor)
            .Int("FlatColorAdjustment", &C::FlatColorAdjustment, &C::SetFlatColorAdjustment)
            .Enum("VisualStyle", &C::VisualStyle, &C::SetVisualStyle, PanelVisualStyleInfo)
            .Color("GradientColorStart", &C::GradientColorStart, &C::SetGradientColorStart)
            .Color("GradientColorStop", &C::GradientColorStop, &C::SetGradientColorStop)
            .Enum("GradientDirection", &C::GradientDirection, &C::SetGradientDirection, PanelGradientDirectionInfo)
            .Bool("PaintClientArea", &C::PaintClientArea, &C::SetPaintClientArea)
            .Bool("Transparent", &C::Transparent, &C::SetTransparent)
            .Bool("ShowGrid", &C::ShowGrid, &C::SetShowGrid)
            .Color("GridColor", &C::GridColor, &C::SetGridColor)
            .Int("GridXSize", &C::GridXSize, &C::SetGridXSize)
            .Int("GridYSize", &C::GridYSize, &C::SetGridYSize)
            .Bool("FullRepaint", &C::FullRepaint, &C::SetFullRepaint)
            .Bool("Locked", &C::Locked, &C::SetLocked)
            .Event("OnPaint", &C::OnPaint);
        // Older stored forms: the sides had another name, and the theme switch is gone.
        b.Set("FrameSides", &C::BorderSides, &C::SetBorderSides, PanelSideInfo);
        TPropInfo themeAware;
        themeAware.Name = "ThemeAware";
        themeAware.Kind = TPropKind::Enum;
        themeAware.Enum = &BooleanInfo;
        themeAware.GetOrd = [](TObject*) -> std::int64_t { return 1; };
        themeAware.SetOrd = [](TObject*, std::int64_t) {};
        b.Add(std::move(themeAware));
        return b.Build();
    }();
    return info;
}

const TClassInfo& TCaptionPanel::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCaptionPanel>("TCaptionPanel", &TCustomCaptionPanel::StaticClassInfo()).Creatable().Build();
    return info;
}

TCustomCaptionPanel::TCustomCaptionPanel(TComponent* owner) : TCustomPanel(owner) {
    SetBevelOuter(TBevelCut::bvNone);
}

TPanelBorders TCustomCaptionPanel::Borders() const {
    TPanelBorders b = borders_;
    b.bevelWidth = BevelWidth();
    return b;
}

void TCustomCaptionPanel::AlignControls(RECT& rect) {
    const TPanelRect inner = PanelClientRect({rect.left, rect.top, rect.right, rect.bottom}, Borders());
    rect = {inner.left, inner.top, inner.right, inner.bottom};
    TCustomPanel::AlignControls(rect);
}

COLORREF TCustomCaptionPanel::AdjustedFlatColor() const {
    const COLORREF c = ColorToRGB(flatColor_);
    auto adjust = [this](int v) { return std::clamp(v + flatColorAdjustment_ - 30, 0, 255); };
    return RGB(adjust(GetRValue(c)), adjust(GetGValue(c)), adjust(GetBValue(c)));
}

void TCustomCaptionPanel::PaintBorder(HDC dc, RECT& r, TFrameStyle style) {
    const unsigned sides = borders_.sides;
    // One ring of lines on the bordered sides, then the rectangle shrinks past it.
    auto ring = [&](COLORREF topLeft, COLORREF bottomRight, bool corners) {
        const int cut = corners ? 0 : 1;
        if (sides & sdTop) FillSolidRect(dc, {r.left + cut, r.top, r.right - cut, r.top + 1}, topLeft);
        if (sides & sdLeft) FillSolidRect(dc, {r.left, r.top + cut, r.left + 1, r.bottom - cut}, topLeft);
        if (sides & sdBottom) FillSolidRect(dc, {r.left + cut, r.bottom - 1, r.right - cut, r.bottom}, bottomRight);
        if (sides & sdRight) FillSolidRect(dc, {r.right - 1, r.top + cut, r.right, r.bottom - cut}, bottomRight);
        if (sides & sdLeft) ++r.left;
        if (sides & sdTop) ++r.top;
        if (sides & sdRight) --r.right;
        if (sides & sdBottom) --r.bottom;
    };
    const COLORREF hi = ColorToRGB(borderHighlight_), sh = ColorToRGB(borderShadow_);
    const COLORREF face = ColorToRGB(borderColor_), dark = ColorToRGB(cl3DDkShadow), light = ColorToRGB(cl3DLight);
    const COLORREF flat = AdjustedFlatColor();
    switch (style) {
        case fsNone: break;
        case fsFlat: ring(flat, flat, true); break;
        case fsGroove: ring(sh, hi, true); ring(hi, sh, true); break;
        case fsBump: ring(hi, sh, true); ring(sh, hi, true); break;
        case fsLowered: ring(sh, hi, true); ring(dark, light, true); break;
        case fsButtonDown: ring(dark, hi, true); ring(sh, face, true); break;
        case fsRaised: ring(hi, dark, true); ring(light, sh, true); break;
        case fsButtonUp: ring(hi, dark, true); ring(face, sh, true); break;
        case fsStatus: for (int i = 0; i < BevelWidth(); ++i) ring(sh, hi, true); break;
        case fsPopup: for (int i = 0; i < BevelWidth(); ++i) ring(hi, sh, true); break;
        case fsFlatBold: ring(flat, flat, true); ring(flat, flat, true); break;
        case fsFlatRounded: ring(flat, flat, false); ring(flat, flat, true); break;
    }
}

void TCustomCaptionPanel::PaintBackground(HDC dc, const RECT& r) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (visualStyle_ != vsGradient) {
        FillSolidRect(dc, r, ColorToRGB(Color()));
        return;
    }
    const COLORREF a = ColorToRGB(gradientStart_), b = ColorToRGB(gradientStop_);
    const bool horizontal = gradientDirection_ == gdHorizontalEnd || gradientDirection_ == gdHorizontalCenter;
    const bool centred = gradientDirection_ == gdHorizontalCenter || gradientDirection_ == gdVerticalCenter;
    const int length = horizontal ? RectWidth(r) : RectHeight(r);
    for (int i = 0; i < length; ++i) {
        double t = length > 1 ? double(i) / (length - 1) : 0.0;
        if (centred) t = 1.0 - std::abs(2.0 * t - 1.0);
        auto mix = [t](int x, int y) { return int(x + (y - x) * t + 0.5); };
        const COLORREF c = RGB(mix(GetRValue(a), GetRValue(b)), mix(GetGValue(a), GetGValue(b)), mix(GetBValue(a), GetBValue(b)));
        const RECT line = horizontal ? RECT{r.left + i, r.top, r.left + i + 1, r.bottom} : RECT{r.left, r.top + i, r.right, r.top + i + 1};
        FillSolidRect(dc, line, c);
    }
}

void TCustomCaptionPanel::PaintGrid(HDC dc, const RECT& r) {
    const COLORREF c = ColorToRGB(gridColor_);
    for (int y = r.top; y < r.bottom; y += gridY_)
        for (int x = r.left; x < r.right; x += gridX_) SetPixelV(dc, x, y, c);
}

void TCustomCaptionPanel::PaintCaption(TCanvas& canvas, const RECT& inner) {
    lastCaption_ = {};
    if (Caption().empty()) return;
    const TPanelBorders b = Borders();
    const bool bare = b.outer == fsNone && b.inner == fsNone && b.borderWidth == 0;
    const RECT base = bare ? ClientRect() : inner;
    TPanelRect text{base.left + textMargin_, base.top + textMarginVertical_, base.right - textMargin_,
                    base.bottom - textMarginVertical_};
    const auto alignment = static_cast<TTextAlignment>(static_cast<int>(Alignment()));
    RECT measure{text.left, text.top, text.right, text.bottom};
    const int height = canvas.DrawText(Caption(), measure, CaptionDrawFlags(alignment, wordWrap_, true));
    const TPanelRect placed = PlaceCaption(text, height, alignmentVertical_);
    RECT target{placed.left, placed.top, placed.right, placed.bottom};
    if (!Enabled()) canvas.Font().SetColor(clGrayText);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    canvas.DrawText(Caption(), target, CaptionDrawFlags(alignment, wordWrap_, false));
    lastCaption_ = target;
}

void TCustomCaptionPanel::ScaleMetrics(int toDpi, int fromDpi) {
    TCustomPanel::ScaleMetrics(toDpi, fromDpi);
    const auto scale = [&](int v) { return ScaleBetween(v, toDpi, fromDpi); };
    textMargin_ = scale(textMargin_);
    textMarginVertical_ = scale(textMarginVertical_);
    borders_.borderWidth = scale(borders_.borderWidth);
    // The grid's dots stay a pixel; their spacing follows the scale (never under the setter's 2).
    gridX_ = std::max(2, scale(gridX_));
    gridY_ = std::max(2, scale(gridY_));
    Invalidate();
}

void TCustomCaptionPanel::Paint() {
    TCanvas& canvas = Canvas();
    HDC dc = canvas.Handle();
    RECT r = ClientRect();
    const int gap = borders_.borderWidth;
    PaintBorder(dc, r, borders_.outer);
    InflateRect(&r, -gap, -gap);
    PaintBorder(dc, r, borders_.inner);
    if (!transparent_ && paintClientArea_) {
        PaintBackground(dc, r);
        if (borders_.outer == fsFlatRounded && borders_.inner == fsNone && r.right - r.left > 1 && r.bottom - r.top > 1) {
            const COLORREF c = AdjustedFlatColor();
            SetPixelV(dc, r.left, r.top, c);
            SetPixelV(dc, r.right - 1, r.top, c);
            SetPixelV(dc, r.left, r.bottom - 1, c);
            SetPixelV(dc, r.right - 1, r.bottom - 1, c);
        }
    }
    if (showGrid_) PaintGrid(dc, r);
    PaintCaption(canvas, r);
    if (OnPaint) OnPaint(this);
}

void TCustomCaptionPanel::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_STATICTEXT;
    info.Name = AccessibleCaption(Caption());
    info.State = STATE_SYSTEM_READONLY;
}

void TCustomCaptionPanel::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    if (!enabled) {
        childEnabled_.clear();
        for (TControl* c : Controls()) {
            childEnabled_[c] = c->Enabled();
            c->SetEnabled(false);
        }
    } else {
        for (TControl* c : Controls()) {
            auto it = childEnabled_.find(c);
            if (it == childEnabled_.end() || it->second) c->SetEnabled(true);
        }
        childEnabled_.clear();
    }
    TCustomPanel::SetEnabled(enabled);
}

}  // namespace qx
