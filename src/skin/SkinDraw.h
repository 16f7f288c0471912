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
#include "core/MaskRects.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"
#include "skin/SkinObjects.h"

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

namespace qx {

// The transparency key of every skin image.
constexpr COLORREF SkinKeyColor = 0xFF00FF;

// Nine-slice margins measured inside one frame.
struct TFrameMargins {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// Copies the bitmap from its top-left corner, leaving the pixels of key as they were.
void TransparentBlt(HDC dc, const RECT& rect, TBitmap& bitmap, COLORREF key);
// The region of the pixels outside the key colour range (key + tolerance per channel),
// moved by the offsets, of at most maxRects rectangles (a finer shape is simplified, see
// MaskToRects). Never null: an all-key image gives an empty region.
TRegionHandle BitmapToRegion(TBitmap& bitmap, int dx, int dy, int blueTolerance, int greenTolerance,
                             int redTolerance, COLORREF key, std::size_t maxRects = kMaxRegionRects);
// One region of the rectangles moved by the offsets (the rectangles in the order a region
// stores them, see UniteRects). Never null: no rectangles give an empty region.
TRegionHandle RegionFromRects(const std::vector<TMaskRect>& rects, int dx = 0, int dy = 0);
// One byte a pixel, rows top-down: 1 for a pixel outside the key colour range, 0 inside it.
std::vector<std::uint8_t> OpaqueMask(TBitmap& bitmap, int blueTolerance, int greenTolerance, int redTolerance,
                                     COLORREF key);
// The rectangles the region is stored as (0 for none or a region that cannot be read).
std::size_t RegionRectCount(HRGN region);
void CopyBitmap(TBitmap& source, TBitmap& dest);
void GrayBitmap(TBitmap& bitmap);
void MirrorBitmap(TBitmap& bitmap);
void FlipBitmap(TBitmap& bitmap);
void RotateBitmapLeft(TBitmap& bitmap);
void RotateBitmapRight(TBitmap& bitmap);

// ---- skin elements: one call draws one element in one state into one rectangle ----

// What a control shows. Each element's strip holds pictures for some of these, in an order of
// its own; a state the order has no picture for shows the normal one.
enum class TSkinState : std::uint8_t {
    Normal,
    Hot,
    Pressed,
    Disabled,
    Focused,
    Selected,
    Inactive,
    Separator,
    Filled,
    Checked,
    CheckedDisabled,
    Mixed,
    MixedDisabled,
    Raised,
    Flat,
};
inline constexpr int kSkinStateCount = static_cast<int>(TSkinState::Flat) + 1;

// The orders in which the skin format lays an element's pictures for the states.
enum class TPictureOrder : std::uint8_t {
    Single,            // one picture for every state
    HotPressed,        // normal, hot, pressed, disabled, focused
    PushButton,        // normal, pressed, disabled, hot, focused
    PressedHot,        // normal, pressed, hot, inactive
    PressedDisabled,   // normal, pressed, disabled
    TabFace,           // normal, selected, hot, disabled, selected and focused
    MenuItem,          // normal, inactive, -, selected, separator
    Trough,            // empty, filled
    Bevel,             // lowered, raised, flat
    ScrollArrow,       // normal, pressed, disabled, hot
    ScrollGrip,        // normal, pressed, hot
    CheckGlyphs,       // unchecked, checked, disabled, checked disabled; mixed as checked disabled
    CheckGlyphsWide,   // 12 pictures: unchecked, -, -, disabled, checked, -, -, checked disabled, mixed, -, -, mixed disabled
};

// How a picture is laid into its rectangle.
enum class TPartLayout : std::uint8_t {
    NineSlice,    // corners kept, edges and centre stretched or tiled
    ThreeAcross,  // caps kept, the middle repeated, the height stretched
    Cell,         // the whole picture stretched to the rectangle
    Centred,      // the picture at its own size, centred
};

enum class TPartBlend : std::uint8_t {
    AsElement,  // magenta transparent when the element says so
    Copy,       // every pixel, whatever the element says (window frame pieces)
    Keyed,      // magenta transparent
};

// One drawable strip of a skin element: its image and how its pictures are cut, ordered and
// laid. Made by the element accessors of SkinParts.h; painters never fill one field by field.
struct TSkinPart {
    TBitmap* Image = nullptr;
    int Frames = 1;       // pictures in the strip
    int Group = 0;        // pictures before this part's first, for strips shared by several parts
    TPictureOrder Order = TPictureOrder::Single;
    TPartLayout Layout = TPartLayout::NineSlice;
    TFrameMargins Margins{};
    bool Stacked = false;
    bool Tiled = false;
    bool Keyed = false;
    // A strip shorter than its order shows its last picture for the states past its end.
    bool ShortShowsLast = false;
};

// The element's own strip: its frames, margins, tiling and transparency.
TSkinPart SkinPart(TDataSkinObject& element, TPictureOrder order, TPartBlend blend = TPartBlend::AsElement);
// The number (from 1) of the picture a part shows for a state.
int SkinPicture(const TSkinPart& part, TSkinState state);
// The part's picture for the state, laid into rect. Nothing for an empty image or rectangle.
void DrawSkinPart(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect);
// The same picture, laid nine-slice, as a new bitmap of the given size.
std::unique_ptr<TBitmap> MakeSkinPartBitmap(const TSkinPart& part, TSkinState state, SIZE size);

// A keyed picture made ready to be drawn again and again with one or two copies: laid at its
// size once, its key pixels turned black beside a mask that is white where the key was, or,
// for a picture drawn over a known colour, its key pixels in that colour. Drawn, it shows what
// DrawSkinPart shows for the same part, state and size.
class TReadyGlyph {
public:
    // The part's picture for the state laid as a Cell into a box of size; under, when given, is
    // the colour the box shows before the picture is drawn. Null for a layout other than Cell or
    // an empty picture or size.
    static std::unique_ptr<TReadyGlyph> Make(const TSkinPart& part, TSkinState state, SIZE size,
                                             std::optional<COLORREF> under);
    void Draw(HDC dc, int x, int y);

private:
    TBitmap picture_;
    TBitmap mask_;             // empty when no pixel is keyed, or the keyed ones take a colour
    bool anyOpaque_ = false;   // false: every pixel keyed, nothing to draw
};

// Where the part's picture for the state lies in its image.
RECT SkinPartFrame(const TSkinPart& part, TSkinState state);
// The nine-slice margins a frame of the given size is cut by for a target of the given size:
// those that do not fit the target dropped, the rest held inside the frame.
TFrameMargins FittedMargins(const TFrameMargins& margins, SIZE target, SIZE frame);

// The size of one picture of a part (0 x 0 for an empty image).
SIZE SkinPartSize(const TSkinPart& part);

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
