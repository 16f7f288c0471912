// The captioned panel's geometry without a window: how wide each border style is, what is
// left for the children, and where the caption goes once its height has been measured.
#pragma once

namespace qx {

enum TFrameStyle {
    fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp,
    fsStatus, fsPopup, fsFlatBold, fsFlatRounded
};
enum TVerticalAlignment { avTop, avCenter, avBottom };
enum class TTextAlignment { LeftJustify, RightJustify, Center };

// Sides that carry a border, as bits.
enum TPanelSide : unsigned { sdLeft = 1, sdTop = 2, sdRight = 4, sdBottom = 8 };
inline constexpr unsigned kAllSides = sdLeft | sdTop | sdRight | sdBottom;

struct TPanelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const TPanelRect&) const = default;
};

struct TPanelBorders {
    TFrameStyle outer = fsRaised;
    TFrameStyle inner = fsNone;
    unsigned sides = kAllSides;
    int borderWidth = 0;
    int bevelWidth = 1;
};

int FrameStyleWidth(TFrameStyle style, int bevelWidth);

// The panel rectangle less the plain gap on all sides and both borders on the bordered sides.
TPanelRect PanelClientRect(TPanelRect panel, const TPanelBorders& borders);

// The text rectangle: the client rectangle less the text margins.
TPanelRect CaptionTextRect(TPanelRect panel, const TPanelBorders& borders, int margin, int marginVertical);

// The rectangle to draw the caption into, given the height the text measured in it.
TPanelRect PlaceCaption(TPanelRect text, int textHeight, TVerticalAlignment alignment);

// The text-drawing flags of the caption (the platform's DT_ values); calcRect adds DT_CALCRECT.
unsigned CaptionDrawFlags(TTextAlignment alignment, bool wordWrap, bool calcRect);

}  // namespace qx
