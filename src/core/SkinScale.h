// Skin geometry at a display scale: lengths, places and nine-slice pieces of a skin drawn for
// 96 dpi, brought to another dpi so that pieces that touch at 96 dpi still touch, and the
// resampling of skin pictures (nearest for whole multiples, smooth between, the magenta key
// kept exact).
#pragma once
#include "core/DisplayScale.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace qx {

// A length of the 96-dpi skin at dpi, rounded to the nearest pixel (halves away from zero),
// the rule of ScaleForDpi taken in 64 bits for sums of skin values.
// A dpi below 1 counts as 96.
int ScaleSkinLength(int length, int dpi);

struct TScaledBox {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    friend bool operator==(const TScaledBox&, const TScaledBox&) = default;
};

// A place of the 96-dpi skin at dpi: each edge scaled on its own, so that two places sharing an
// edge at 96 dpi share it at every scale (no gap, no overlap).
TScaledBox ScaleSkinBox(const TScaledBox& box, int dpi);

// A caption button's offset and size at dpi, for the button laid by PlaceCaptionButton with
// the same align: the edges are scaled as distances from the edge the align measures from
// (the window's or the text's left or right), so that buttons side by side at 96 dpi stay side
// by side, with the same gaps scaled.
struct TSkinButtonPlace {
    int Xcoord = 0, Ycoord = 0, Width = 0, Height = 0;
    friend bool operator==(const TSkinButtonPlace&, const TSkinButtonPlace&) = default;
};
TSkinButtonPlace ScaleCaptionButtonPlace(std::int32_t align, std::int32_t xcoord, std::int32_t ycoord, int width,
                                         int height, bool rightToLeft, int dpi);

// Nine-slice margins (left, top, right, bottom) in pixels.
struct TSkinInsets {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    friend bool operator==(const TSkinInsets&, const TSkinInsets&) = default;
};

// The margins of a frame of size (width x height) at 96 dpi, for the same frame at dpi of size
// (ScaleSkinLength(width) x ScaleSkinLength(height)): each margin scaled, then held inside
// the scaled frame (a pair that would not fit shares the scaled frame in the proportion of
// the 96-dpi pair), so the scaled centre is never negative.
TSkinInsets ScaleSkinInsets(const TSkinInsets& margins, int width, int height, int dpi);

// The nine pieces of a width x height box cut by margins, row by row (top-left, top, top-right,
// left, centre, right, bottom-left, bottom, bottom-right). A box narrower (lower) than its two
// side margins drops both of them, as the drawing of a frame does. The pieces tile the box:
// each column (row) starts where the one before ends.
std::array<TScaledBox, 9> NineSlicePieces(int width, int height, const TSkinInsets& margins);

// A picture as 0x00RRGGBB pixels, rows top-down.
struct TSkinPixels {
    int Width = 0, Height = 0;
    std::vector<std::uint32_t> Pixels;
};

inline constexpr std::uint32_t kSkinKeyPixel = 0xFF00FF;  // magenta, in 0x00RRGGBB

// A strip of frames (side by side, or stacked) resampled so that each frame is scaled on its own
// and each frame's nine pieces on their own: a whole multiple of 96 dpi repeats pixels (nearest);
// other scales filter (bilinear over the piece). A pixel whose nearest source pixel is the key
// stays the key; other pixels blend only non-key neighbours, so the key never bleeds into
// colours and no blend of the key appears. Frames are `frames` (at least 1); the result holds
// the same number of frames, each ScaleSkinLength of the source frame's size.
TSkinPixels ScaleSkinStrip(const TSkinPixels& source, int frames, bool stacked, const TSkinInsets& margins, int dpi);

// The size ScaleSkinStrip gives a width x height strip (Right x Bottom; 0 x 0 when it gives none).
TScaledBox ScaledSkinStripSize(int width, int height, int frames, bool stacked, int dpi);

// One frame (from 0) of ScaleSkinStrip's result, written in its place into out, a picture of the
// scaled strip's size whose rows lie stride pixels apart; the other frames are not touched, so a
// strip can be scaled as its frames are first drawn. False (nothing written) when ScaleSkinStrip
// would give nothing or the frame is not in the strip.
bool ScaleSkinFrame(const TSkinPixels& source, int frames, bool stacked, const TSkinInsets& margins, int dpi, int frame,
                    std::uint32_t* out, std::size_t stride);

}  // namespace qx
