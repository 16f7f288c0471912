// The pictures that a parse generates from the skin's own images: the mirrored combo button,
// the combo box strips and the toolbar gradient.
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinParts.h"

#include <algorithm>

namespace qx {

namespace {

constexpr TColor kMagenta = 0xFF00FF;

// Picture `picture` (from 1) of a strip as a part of its own: a strip built here holds the same
// pictures as the strips it is built from, whatever states they stand for. frames is the
// strip's own count, even when it says none.
TSkinPart StripPicture(TSkinPart strip, int frames, int picture) {
    strip.Frames = frames;
    strip.Order = TPictureOrder::Single;
    strip.Group = picture - 1;
    return strip;
}

// A strip laid flat, side by side and stretched, as the combo pictures were drawn.
TSkinPart Flat(TSkinPart part) {
    part.Stacked = false;
    part.Tiled = false;
    return part;
}

void FillMagenta(TBitmap& bitmap, const RECT& rect) {
    TCanvas& canvas = bitmap.Canvas();
    canvas.Brush().SetColor(kMagenta);
    canvas.FillRect(rect);
}

}  // namespace

// The combo button drawn at the left edge of right-to-left combo boxes.
void TSkinData::BuildMirroredComboButton() {
    if (!ComboButton || ComboButton->Bitmap.Empty()) return;
    TBitmap& mirror = ComboButton->Bitmap2;
    mirror.Assign(ComboButton->Bitmap);
    mirror.SetPixelFormat(TPixelFormat::pf24bit);
    MirrorBitmap(mirror);
}

// One 50 x 21 picture per SunkEdge frame: the sunken edge, the button at its right with the
// arrow glyph, and a magenta hole where the text goes. The strip replaces ComboButton's
// image; its mirror (button on the left) replaces SunkEdge's.
void TSkinData::BuildComboImages() {
    if (!SunkEdge || !ComboButton) return;
    constexpr int kWidth = 50, kHeight = 21;
    const int bw = GetSystemMetrics(SM_CXHSCROLL) + 2;
    const int frames = std::max(0, SunkEdge->Frame);
    TBitmap work, strip;
    work.SetPixelFormat(TPixelFormat::pf24bit);
    work.SetSize(kWidth, kHeight);
    strip.SetPixelFormat(TPixelFormat::pf24bit);
    strip.SetSize(kWidth * frames, kHeight);
    if (frames > 0) FillMagenta(strip, {0, 0, kWidth * frames, kHeight});
    const RECT buttonRect{kWidth - bw, 0, kWidth, kHeight};
    const TSkinPart edge =
        Flat(SkinPart(*SunkEdge, TPictureOrder::Single, SunkEdge->Trans != 0 ? TPartBlend::Keyed : TPartBlend::Copy));
    const TSkinPart button = Flat(SkinPart(*ComboButton, TPictureOrder::Single, TPartBlend::Keyed));
    for (int f = 1; f <= frames; ++f) {
        FillMagenta(work, {0, 0, kWidth, kHeight});
        HDC dc = work.Canvas().Handle();
        DrawSkinPart(dc, StripPicture(edge, SunkEdge->Frame, f), TSkinState::Normal, {0, 0, kWidth, kHeight});
        DrawSkinPart(dc, StripPicture(button, ComboButton->Frame, f), TSkinState::Normal, buttonRect);
        if (ExtraImages)
            DrawSkinPart(dc, StripPicture(ComboArrowGlyph(*ExtraImages), ExtraImages->Frame, f), TSkinState::Normal,
                         buttonRect);
        FillMagenta(work, {2, 2, kWidth - 1 - bw, 18});
        BitBlt(strip.Canvas().Handle(), (f - 1) * kWidth, 0, kWidth, kHeight, dc, 0, 0, SRCCOPY);
    }
    GdiFlush();
    ComboButton->Style = kComboButtonFromEdge;
    ComboButton->Margins = SunkEdge->Margins;
    ComboButton->Margins.Left = 2;
    ComboButton->Margins.Right = bw + 2;
    ComboButton->Bitmap.Assign(strip);
    MirrorBitmap(strip);
    SunkEdge->Bitmap.Assign(strip);
    SunkEdge->Margins.Left = bw + 2;
    SunkEdge->Margins.Right = 2;
}

// A vertical gradient for toolbar backgrounds, from a pale face colour down to a shade of
// the caption's colour (lightened when that colour is strongly saturated).
void TSkinData::BuildToolbarImage() {
    if (!Toolbar) Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
    const TColor c = SampleTopBorder();
    TColor bottom = static_cast<TColor>(BlendColor(0x808080, c, 150));
    const TColor top = static_cast<TColor>(BlendColor(Colours.ButtonFace, 0xFFFFFF, 150));
    const int s = ColorSaturation(c);
    if (s > 110) bottom = static_cast<TColor>(BlendColor(c, 0xFFFFFF, (5625 - 25 * s) / 140 + 50));
    TBitmap& image = Toolbar->Bitmap;
    image.Clear();
    image.SetPixelFormat(TPixelFormat::pf24bit);
    image.SetSize(10, 40);
    GradientFillRect(image.Canvas().Handle(), {0, 0, 10, 40}, top, true, bottom);
    GdiFlush();
    Toolbar->Frame = 1;
}

}  // namespace qx
