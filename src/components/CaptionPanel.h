// A container panel with configurable borders, a solid or gradient background and a caption
// that wraps over several lines and can sit at the top, middle or bottom.
#pragma once
#include "core/CaptionPanelLayout.h"
#include "framework/StdCtrls.h"

#include <map>

namespace qx {

enum TPanelVisualStyle { vsClassic, vsWinXP, vsGradient };
enum TPanelGradientDirection { gdHorizontalEnd, gdHorizontalCenter, gdVerticalEnd, gdVerticalCenter };

extern const TEnumInfo FrameStyleInfo;
extern const TEnumInfo VerticalAlignmentInfo;
extern const TEnumInfo PanelSideInfo;
extern const TEnumInfo PanelVisualStyleInfo;
extern const TEnumInfo PanelGradientDirectionInfo;

class TCustomCaptionPanel : public TCustomPanel {
    QX_CLASS_INFO()
public:
    explicit TCustomCaptionPanel(TComponent* owner);

    TVerticalAlignment AlignmentVertical() const { return alignmentVertical_; }
    void SetAlignmentVertical(TVerticalAlignment value) { Change(alignmentVertical_, value); }
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value) { Change(wordWrap_, value); }
    int TextMargin() const { return textMargin_; }
    void SetTextMargin(int value) { Change(textMargin_, value); }
    int TextMarginVertical() const { return textMarginVertical_; }
    void SetTextMarginVertical(int value) { Change(textMarginVertical_, value); }
    TFrameStyle BorderOuter() const { return borders_.outer; }
    void SetBorderOuter(TFrameStyle value) { ChangeBorder(borders_.outer, value); }
    TFrameStyle BorderInner() const { return borders_.inner; }
    void SetBorderInner(TFrameStyle value) { ChangeBorder(borders_.inner, value); }
    unsigned BorderSides() const { return borders_.sides; }
    void SetBorderSides(unsigned value) { ChangeBorder(borders_.sides, value & kAllSides); }
    int BorderWidth() const { return borders_.borderWidth; }
    void SetBorderWidth(int value) { ChangeBorder(borders_.borderWidth, std::max(0, value)); }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value) { Change(borderColor_, value); }
    TColor BorderHighlight() const { return borderHighlight_; }
    void SetBorderHighlight(TColor value) { Change(borderHighlight_, value); }
    TColor BorderShadow() const { return borderShadow_; }
    void SetBorderShadow(TColor value) { Change(borderShadow_, value); }
    TColor FlatColor() const { return flatColor_; }
    void SetFlatColor(TColor value) { Change(flatColor_, value); }
    int FlatColorAdjustment() const { return flatColorAdjustment_; }
    void SetFlatColorAdjustment(int value) { Change(flatColorAdjustment_, value); }
    TPanelVisualStyle VisualStyle() const { return visualStyle_; }
    void SetVisualStyle(TPanelVisualStyle value) { Change(visualStyle_, value); }
    TColor GradientColorStart() const { return gradientStart_; }
    void SetGradientColorStart(TColor value) { Change(gradientStart_, value); }
    TColor GradientColorStop() const { return gradientStop_; }
    void SetGradientColorStop(TColor value) { Change(gradientStop_, value); }
    TPanelGradientDirection GradientDirection() const { return gradientDirection_; }
    void SetGradientDirection(TPanelGradientDirection value) { Change(gradientDirection_, value); }
    bool PaintClientArea() const { return paintClientArea_; }
    void SetPaintClientArea(bool value) { Change(paintClientArea_, value); }
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value) { Change(transparent_, value); }
    bool ShowGrid() const { return showGrid_; }
    void SetShowGrid(bool value) { Change(showGrid_, value); }
    TColor GridColor() const { return gridColor_; }
    void SetGridColor(TColor value) { Change(gridColor_, value); }
    int GridXSize() const { return gridX_; }
    void SetGridXSize(int value) { Change(gridX_, std::max(2, value)); }
    int GridYSize() const { return gridY_; }
    void SetGridYSize(int value) { Change(gridY_, std::max(2, value)); }
    bool FullRepaint() const { return fullRepaint_; }
    void SetFullRepaint(bool value) { fullRepaint_ = value; }
    bool Locked() const { return locked_; }
    void SetLocked(bool value) { locked_ = value; }
    TNotifyEvent OnPaint;

    // The border settings with the panel's BevelWidth (used by fsStatus and fsPopup).
    TPanelBorders Borders() const;
    // Where the caption is drawn in the last paint (empty when there was none).
    RECT LastCaptionRect() const { return lastCaption_; }
    void SetEnabled(bool enabled) override;
    // Static text: its caption.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;
    void AlignControls(RECT& rect) override;
    void ScaleMetrics(int toDpi, int fromDpi) override;

private:
    template <class T>
    void Change(T& field, T value) {
        if (field == value) return;
        field = value;
        Invalidate();
    }
    template <class T>
    void ChangeBorder(T& field, T value) {
        if (field == value) return;
        field = value;
        Realign();
        Invalidate();
    }
    void PaintBorder(HDC dc, RECT& r, TFrameStyle style);
    void PaintBackground(HDC dc, const RECT& r);
    void PaintGrid(HDC dc, const RECT& r);
    void PaintCaption(TCanvas& canvas, const RECT& inner);
    COLORREF AdjustedFlatColor() const;

    TPanelBorders borders_;
    TVerticalAlignment alignmentVertical_ = avCenter;
    bool wordWrap_ = true;
    int textMargin_ = 0, textMarginVertical_ = 0;
    TColor borderColor_ = clBtnFace, borderHighlight_ = clBtnHighlight, borderShadow_ = clBtnShadow;
    TColor flatColor_ = clBtnShadow;
    int flatColorAdjustment_ = 30;
    TPanelVisualStyle visualStyle_ = vsWinXP;
    TColor gradientStart_ = clWhite, gradientStop_ = clBtnFace;
    TPanelGradientDirection gradientDirection_ = gdHorizontalEnd;
    bool paintClientArea_ = true, transparent_ = false;
    bool showGrid_ = false;
    TColor gridColor_ = clBtnShadow;
    int gridX_ = 8, gridY_ = 8;
    bool fullRepaint_ = true, locked_ = false;
    RECT lastCaption_{};
    std::map<TControl*, bool> childEnabled_;  // while disabled: each child's own Enabled
};

class TCaptionPanel : public TCustomCaptionPanel {
    QX_CLASS_INFO()
public:
    explicit TCaptionPanel(TComponent* owner) : TCustomCaptionPanel(owner) {}
};

}  // namespace qx
