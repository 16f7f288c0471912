#include "CaptionPanelLayout.h"

#include <algorithm>

namespace qx {

namespace {
// The platform's text-drawing flags, spelled out so that this file needs no platform header.
constexpr unsigned kDtLeft = 0x0, kDtCenter = 0x1, kDtRight = 0x2, kDtVCenter = 0x4,
                   kDtWordBreak = 0x10, kDtExpandTabs = 0x40, kDtCalcRect = 0x400;
}  // namespace

int FrameStyleWidth(TFrameStyle style, int bevelWidth) {
    switch (style) {
    case fsNone: return 0;
    case fsFlat: return 1;
    case fsStatus:
    case fsPopup: return bevelWidth;
    case fsGroove: case fsBump: case fsLowered: case fsButtonDown: case fsRaised:
    case fsButtonUp: case fsFlatBold: case fsFlatRounded: return 2;
    }
    return 0;
}

TPanelRect PanelClientRect(TPanelRect r, const TPanelBorders& b) {
    r.left += b.borderWidth;
    r.top += b.borderWidth;
    r.right -= b.borderWidth;
    r.bottom -= b.borderWidth;
    const int w = FrameStyleWidth(b.outer, b.bevelWidth) + FrameStyleWidth(b.inner, b.bevelWidth);
    if (b.sides & sdLeft) r.left += w;
    if (b.sides & sdTop) r.top += w;
    if (b.sides & sdRight) r.right -= w;
    if (b.sides & sdBottom) r.bottom -= w;
    return r;
}

TPanelRect CaptionTextRect(TPanelRect panel, const TPanelBorders& borders, int margin, int marginVertical) {
    TPanelRect r = PanelClientRect(panel, borders);
    r.left += margin;
    r.right -= margin;
    r.top += marginVertical;
    r.bottom -= marginVertical;
    return r;
}

TPanelRect PlaceCaption(TPanelRect r, int h, TVerticalAlignment alignment) {
    switch (alignment) {
    case avTop:
        r.bottom = std::min(r.bottom, r.top + h);
        break;
    case avCenter:
        r.top = (r.top + r.bottom - h) / 2;  // truncates toward zero, like the original rule
        r.bottom = std::min(r.bottom, r.top + h);
        break;
    case avBottom:
        r.top = std::max(r.top, r.bottom - h - 1);
        break;
    }
    return r;
}

unsigned CaptionDrawFlags(TTextAlignment alignment, bool wordWrap, bool calcRect) {
    unsigned flags = kDtExpandTabs | kDtVCenter;
    if (wordWrap) flags |= kDtWordBreak;
    switch (alignment) {
    case TTextAlignment::LeftJustify: flags |= kDtLeft; break;
    case TTextAlignment::RightJustify: flags |= kDtRight; break;
    case TTextAlignment::Center: flags |= kDtCenter; break;
    }
    if (calcRect) flags |= kDtCalcRect;
    return flags;
}

}  // namespace qx
