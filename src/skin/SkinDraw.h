// Drawing primitives shared by every skinned surface: nine-slice and three-slice painting of
// multi-frame skin images, colour-keyed transfers, regions from images, in-place image
// transforms and the colour helpers that first resolve system colours.
//
// Bounded work: whatever a skin file says, a primitive that draws into a DC makes working
// bitmaps no larger than the part of its destination rectangle that the DC shows (its clip
// box), never the size of the source picture; margins are held inside the frame they cut;
// tiles and repeated middles are laid by doubling copies, not one by one. A painter that
// composes in its own buffer sizes that buffer by its destination (the control or the strip),
// not by a picture, and draws through these primitives.
#pragma once
#include "core/ColorMath.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"
#include "skin/SkinObjects.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string_view>

namespace qx {

// The transparency key of every skin image.
constexpr COLORREF SkinKeyColor = 0xFF00FF;

// Nine-slice margins measured inside one frame.
struct TFrameMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Where frame `frame` (from 1) of an image holding `count` frames lies: side by side, or one
// above the other when stacked. Frame sizes are 0 for an empty image or a count below 1.
RECT FrameRect(const TBitmap& image, bool stacked, int count, int frame);

// A new bitmap of the target's size holding the frame cut into nine slices by the margins.
std::unique_ptr<TBitmap> MakeFrameBitmap(const RECT& target, TBitmap& image, const TFrameMargins& margins,
                                         bool stacked, bool tile, int count, int frame);
void DrawFrame(HDC dc, const RECT& rect, TBitmap& image, bool stacked, bool tile, bool transparent, int count,
               int frame, const TFrameMargins& margins);
// Three slices across: caps of Left and Right, the middle repeated.
void DrawHorzFrame(TCanvas& canvas, const RECT& rect, TBitmap& image, bool stacked, bool transparent, int count,
                   int frame, const TFrameMargins& margins);
void DrawFrameCell(HDC dc, const RECT& rect, TBitmap& image, bool transparent, int count, int frame);
void DrawGlyphCentered(HDC dc, const RECT& rect, TBitmap& image, bool transparent, int count, int frame);
// Three slices across straight to the DC, the middle stretched; a frame wider than the
// rectangle is stretched whole.
void DrawThreePart(HDC dc, const RECT& rect, TBitmap& image, bool stacked, int count, int frame,
                   const TFrameMargins& margins);
// Repeats the source part of image over the target; the last tiles spill past its edges.
void TileBitmap(TCanvas& canvas, const RECT& target, TBitmap& image, const RECT& source);
// Copies the bitmap from its top-left corner, leaving the pixels of key as they were.
void TransparentBlt(HDC dc, const RECT& rect, TBitmap& bitmap, COLORREF key);
// The region of the pixels outside the key colour range (key + tolerance per channel),
// moved by the offsets. Never null: an all-key image gives an empty region.
TRegionHandle BitmapToRegion(TBitmap& bitmap, int dx, int dy, int blueTolerance, int greenTolerance,
                             int redTolerance, COLORREF key);
void CopyBitmap(TBitmap& source, TBitmap& dest);
void GrayBitmap(TBitmap& bitmap);
void MirrorBitmap(TBitmap& bitmap);
void FlipBitmap(TBitmap& bitmap);
void RotateBitmapLeft(TBitmap& bitmap);
void RotateBitmapRight(TBitmap& bitmap);

// ---- skin elements: one call draws one element in one state into one rectangle ----
enum class TPartBlend : std::uint8_t {
    AsElement,  // magenta transparent when the element says so
    Copy,       // every pixel, whatever the element says (window frame pieces)
    Keyed,      // magenta transparent
};
// Picture `state` (from 1) of the element, cut into nine slices by its margins with the centre
// stretched or tiled as it says, drawn into rect. Nothing for an empty image or rectangle.
void DrawSkinPart(HDC dc, TDataSkinObject& part, int state, const RECT& rect,
                  TPartBlend blend = TPartBlend::AsElement);
// The same picture as a new bitmap of the given size.
std::unique_ptr<TBitmap> MakeSkinPartBitmap(TDataSkinObject& part, int state, SIZE size);
// The size of one picture of the element (0 x 0 for an empty image).
SIZE SkinPartSize(const TDataSkinObject& part);

// The largest working bitmap (in pixels) a primitive has made since the last reset: how tests
// see that painting stays within its destination.
std::int64_t SkinDrawLargestWork();
void ResetSkinDrawLargestWork();

COLORREF BlendColor(TColor a, TColor b, int weight);
// Index of a slot of SharedGradientCache() holding count colours from first to last.
int GradientColors(int count, TColor first, TColor last);
// Lines of a gradient, only those inside the DC's clip box.
// Returns how many lines it painted.
int GradientFillRect(HDC dc, const RECT& rect, TColor first, bool vertical, TColor last);
int ColorSaturation(TColor color);
int DrawTextWide(HDC dc, std::u16string_view text, RECT& rect, UINT format);

}  // namespace qx
