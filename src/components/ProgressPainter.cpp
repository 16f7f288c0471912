#include "ProgressPainter.h"

namespace qx {

namespace {

void FillAll(HDC dc, const std::vector<TFillRect>& rects) {
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (const auto& r : rects) {
        SetDCBrushColor(dc, ResolveColor(r.color));
        const RECT rc{r.left, r.top, r.right, r.bottom};
        FillRect(dc, &rc, brush);
    }
}

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

COLORREF ResolveColor(TColor color) {
    if (color == kColorNone) return RGB(0, 0, 0);
    if (IsSystemColor(color)) return GetSysColor(static_cast<int>(color & 0xFF));
    return static_cast<COLORREF>(color & 0xFFFFFF);
}

TTextExtent MeasureText(HDC dc, HFONT font, const std::u16string& text) {
    if (text.empty()) return {};
    HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
    SIZE size{};
    GetTextExtentPoint32W(dc, Wide(text), static_cast<int>(text.size()), &size);
    if (old) SelectObject(dc, old);
    return {static_cast<int>(size.cx), static_cast<int>(size.cy)};
}

void PaintProgressPicture(HDC dc, const TProgressPicture& picture, HFONT font, TColor textColor) {
    const COLORREF oldBrushColor = GetDCBrushColor(dc);
    FillAll(dc, picture.body);
    if (!picture.text.empty()) {
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        const int oldMode = SetBkMode(dc, TRANSPARENT);
        const COLORREF oldColor = SetTextColor(dc, ResolveColor(textColor));
        TextOutW(dc, picture.textX, picture.textY, Wide(picture.text), static_cast<int>(picture.text.size()));
        SetTextColor(dc, oldColor);
        SetBkMode(dc, oldMode);
        if (oldFont) SelectObject(dc, oldFont);
    }
    FillAll(dc, picture.frame);
    SetDCBrushColor(dc, oldBrushColor);
}

}  // namespace qx
