// The skin object model: one element per skin section that the engine knows, each an image
// of `Frame` state pictures with nine-slice margins, flags and text colours. Plain data; the
// form and control skinners draw them.
#pragma once
#include "framework/Graphics.h"
#include "framework/Types.h"

#include <cstdint>
#include <string>

namespace qx {

// Nine-slice margins in pixels (LeftWidth, TopHeight, RightWidth, BottomHeight). The menu bar
// and the title use them for flags and text offsets instead.
struct TSkinMargins {
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// -1 in a colour field: the skin did not give it.
inline constexpr TColor kSkinNoColour = -1;

class TDataSkinObject {
public:
    explicit TDataSkinObject(std::string name) : Name(std::move(name)) {}
    // The number of pictures, never below 1 (a skin file can write 0).
    int Frames() const { return Frame < 1 ? 1 : Frame; }
    virtual ~TDataSkinObject() = default;
    TDataSkinObject(const TDataSkinObject&) = delete;
    TDataSkinObject& operator=(const TDataSkinObject&) = delete;

    TSkinMargins Margins;
    TBitmap Bitmap;  // frames side by side unless the user stacks them
    std::int32_t Trans = 0;
    std::int32_t Tile = 0;  // borders keep their Stretch key here: 1 stretches
    std::string Name;
    std::int32_t Frame = 0;
    std::int32_t Style = 0;
    TColor NormalColour = kSkinNoColour, MouseOverColour = kSkinNoColour, PressedColour = kSkinNoColour;
    TColor NormalColour2 = kSkinNoColour, MouseOverColour2 = kSkinNoColour, PressedColour2 = kSkinNoColour;
    // The pictures lie one above the other (window's top and bottom pieces, text backgrounds).
    bool Stacked = false;
    // A window frame piece: Tile holds the piece's Stretch key (1 stretches the centre).
    bool FramePiece = false;
    // Whether the centre is repeated rather than stretched.
    bool TiledCentre() const { return FramePiece ? Tile != 1 : Tile == 1; }
    // Whether the key colour marks the pictures' transparent pixels.
    bool Keyed() const { return Trans == 1; }
};

// What an element's Style selects, for the elements where it chooses a way of drawing.
constexpr std::int32_t kProgressChunkStyle = 1;     // Progress: a trough with chunks, one picture
constexpr std::int32_t kTabsPaneStyle = 1;          // Tabs: the pane comes from TabPane
constexpr std::int32_t kComboButtonFromEdge = 2;    // ComboButton: made from the sunken edge's strip

// An element with a second image (tab borders, spin arrows, the mirrored combo button).
class TDataSkinBorder : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap Bitmap2;
};

// Caption text settings; Margins hold TextShift (Left), TextShiftVert (Top) and
// TextRightClip (Right), Bitmap the text background.
class TDataSkinTitle : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    std::int32_t TextAlignment = 0;
    std::int32_t Textbackground = 0;
    std::int32_t FontHeight = 14;
    std::int32_t TXTBackleft = 0;
    std::int32_t TXTBackRight = 0;
    TColor ActiveTextColor = clNone;
    TColor InActiveTextColor = clNone;
};

// Push, check and radio buttons.
class TDataSkinButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    TBitmap CheckBitmap;
    TBitmap RadioBitmap;
    std::int32_t RadioButtonFrame = 0;
    std::int32_t CheckButtonFrame = 0;
    bool HasNormalColour2 = false;
    bool HasMouseOverColour2 = false;
    bool HasPressedColour2 = false;
};

// A caption button; Bitmap is its ButtonImage.
class TDataSkinSysButton : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    std::int32_t Action = 0;
    std::int32_t Align = 0;
    std::int32_t Xcoord = 0;
    std::int32_t Ycoord = 0;
    std::int32_t CombineOp = -1;
    std::int32_t Visibility = 0;
    std::int32_t Visibility1 = 0;
};

// A group box frame with its caption background.
class TDataSkinBoxLabel : public TDataSkinObject {
public:
    using TDataSkinObject::TDataSkinObject;
    std::int32_t BackgroundLeftShift = 0;
    std::int32_t BackgroundRightShift = 0;
    std::int32_t BackgroundAlignment = 0;
};

}  // namespace qx
