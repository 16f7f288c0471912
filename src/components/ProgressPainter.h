// Puts a gradient progress picture on a device context: the rectangles with the DC's own
// brush (no GDI object is created per column) and the text in the given font.
#pragma once
#include "core/GradientProgressLayout.h"

#include <windows.h>

namespace qx {

// The platform colour of a layout colour: system colours looked up, "no colour" as black.
COLORREF ResolveColor(TColor color);

// The size of text in font on dc.
TTextExtent MeasureText(HDC dc, HFONT font, const std::u16string& text);

// Paints picture at (0, 0); selections and text settings of dc are restored afterwards.
void PaintProgressPicture(HDC dc, const TProgressPicture& picture, HFONT font, TColor textColor);

}  // namespace qx
