#include "skin/FrameParts.h"

#include "skin/SkinMessages.h"

namespace qx {

namespace {

// The title's strip always holds two pictures, whatever the element says.
constexpr int kTitleStripPictures = 2;

}  // namespace

TSkinPart FramePiece(TDataSkinObject& piece) {
    // Active and inactive follow as a menu item's normal and inactive pictures do.
    TSkinPart part = SkinPart(piece, TPictureOrder::MenuItem, TPartBlend::Copy);
    part.ShortShowsLast = true;
    return part;
}

TSkinPart CaptionButtonFace(TDataSkinSysButton& button) {
    TSkinPart part = SkinPart(button, TPictureOrder::PressedHot, TPartBlend::Keyed);
    part.Layout = TPartLayout::Cell;
    return part;
}

bool HasSkinPicture(const TSkinPart& part, TSkinState state) { return SkinPicture(part, state) <= part.Frames; }

TSkinState CaptionCellState(int cell) {
    switch (cell) {
        case bcPressed: return TSkinState::Pressed;
        case bcHot: return TSkinState::Hot;
        case bcInactive: return TSkinState::Inactive;
        default: return TSkinState::Normal;
    }
}

TSkinPart TitleStrip(TDataSkinTitle& title, int leftCap, int rightCap) {
    TSkinPart part = SkinPart(title, TPictureOrder::MenuItem, TPartBlend::Keyed);
    part.Frames = kTitleStripPictures;
    part.Layout = TPartLayout::ThreeAcross;
    part.Stacked = true;
    part.Margins = TFrameMargins{leftCap, 0, rightCap, 0};
    return part;
}

TSkinPart MenuBarBand(TDataSkinObject& bar) {
    TSkinPart part = SkinPart(bar, TPictureOrder::MenuItem, TPartBlend::Copy);
    part.ShortShowsLast = true;
    part.Stacked = true;
    part.Tiled = false;
    part.Layout = bar.Tile == 1 ? TPartLayout::NineSlice : TPartLayout::ThreeAcross;
    part.Margins.Top = part.Margins.Bottom = 0;
    return part;
}

}  // namespace qx
