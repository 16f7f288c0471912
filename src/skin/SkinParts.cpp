#include "skin/SkinParts.h"

namespace qx {

namespace {

constexpr int kSpinGlyphFrames = 8;     // four states for each half
constexpr int kTabFaceFrames = 5;
constexpr int kStatusEdgeFrames = 3;    // one per bevel
constexpr int kSizeGripPicture = 5;     // after the drop arrow's four
constexpr int kCheckGlyphsWide = 12;    // check boxes: four states of three checks
constexpr int kRadioGlyphsWide = 8;

// A strip whose pictures are glyphs: laid as given, magenta transparent.
TSkinPart Glyphs(TBitmap& image, int frames, TPictureOrder order, TPartLayout layout, int group = 0) {
    TSkinPart part;
    part.Image = &image;
    part.Frames = frames;
    part.Order = order;
    part.Layout = layout;
    part.Group = group;
    part.Keyed = true;
    return part;
}

}  // namespace

TSkinPart PushButtonFace(TDataSkinButton& buttons) { return SkinPart(buttons, TPictureOrder::PushButton); }

TSkinPart CheckGlyphs(TDataSkinButton& buttons) {
    const int n = buttons.CheckButtonFrame;
    return Glyphs(buttons.CheckBitmap, n, n == kCheckGlyphsWide ? TPictureOrder::CheckGlyphsWide : TPictureOrder::CheckGlyphs,
                  TPartLayout::Cell);
}

TSkinPart RadioGlyphs(TDataSkinButton& buttons) {
    const int n = buttons.RadioButtonFrame;
    return Glyphs(buttons.RadioBitmap, n, n == kRadioGlyphsWide ? TPictureOrder::CheckGlyphsWide : TPictureOrder::CheckGlyphs,
                  TPartLayout::Cell);
}

TSkinPart ComboButtonFace(TDataSkinBorder& button) { return SkinPart(button, TPictureOrder::HotPressed); }

TSkinPart ComboEdgeAndButton(TDataSkinBorder& button) {
    return SkinPart(button, TPictureOrder::HotPressed, TPartBlend::Keyed);
}

TSkinPart ComboArrowGlyph(TDataSkinObject& extraImages) {
    return Glyphs(extraImages.Bitmap, extraImages.Frames(), TPictureOrder::HotPressed, TPartLayout::Centred);
}

TSkinPart SizeGripGlyph(TDataSkinObject& extraImages) {
    return Glyphs(extraImages.Bitmap, extraImages.Frames(), TPictureOrder::Single, TPartLayout::Cell,
                  kSizeGripPicture - 1);
}

TSkinPart SpinHalf(TDataSkinBorder& upDown, int half) {
    TSkinPart part = SkinPart(upDown, TPictureOrder::HotPressed);
    part.Group = (half & 1) * 4;
    return part;
}

TSkinPart SpinArrowGlyph(TDataSkinBorder& upDown, int half) {
    return Glyphs(upDown.Bitmap2, kSpinGlyphFrames, TPictureOrder::HotPressed, TPartLayout::Centred, (half & 1) * 4);
}

TSkinPart TrackBarThumb(TDataSkinObject& thumb) { return SkinPart(thumb, TPictureOrder::HotPressed); }
TSkinPart TrackBarChannel(TDataSkinObject& track) { return SkinPart(track, TPictureOrder::Single); }
TSkinPart MediaButtonFace(TDataSkinObject& buttons) { return SkinPart(buttons, TPictureOrder::PressedDisabled); }

TSkinPart ProgressTrough(TDataSkinObject& progress) {
    return SkinPart(progress, TPictureOrder::Trough, TPartBlend::Keyed);
}

TSkinPart ProgressChunk(TDataSkinObject& chunk) { return SkinPart(chunk, TPictureOrder::Single); }

TSkinPart ProgressChunkCell(TDataSkinObject& chunk) {
    TSkinPart part = Glyphs(chunk.Bitmap, chunk.Frames(), TPictureOrder::Single, TPartLayout::Cell);
    part.Keyed = false;
    return part;
}

TSkinPart StatusPanelEdge(TDataSkinObject& edges) {
    TSkinPart part = SkinPart(edges, TPictureOrder::Bevel, TPartBlend::Copy);
    part.Frames = kStatusEdgeFrames;
    part.Stacked = false;
    return part;
}

TSkinPart HeaderItem(TDataSkinObject& headerBar) { return SkinPart(headerBar, TPictureOrder::HotPressed); }

TSkinPart ScrollTrack(TDataSkinObject& track) { return SkinPart(track, TPictureOrder::PressedDisabled); }
TSkinPart ScrollThumb(TDataSkinObject& thumb) { return SkinPart(thumb, TPictureOrder::PressedHot); }

TSkinPart ScrollArrowGlyph(TDataSkinObject& arrows, TScrollArrow arrow) {
    // Four pictures for each arrow, in the order of TScrollArrow.
    return Glyphs(arrows.Bitmap, arrows.Frames(), TPictureOrder::ScrollArrow, TPartLayout::Cell,
                  static_cast<int>(arrow) * 4);
}

TSkinPart ScrollGripGlyph(TDataSkinObject& arrows, bool vertical) {
    // Three pictures for each grip, after the sixteen arrows.
    return Glyphs(arrows.Bitmap, arrows.Frames(), TPictureOrder::ScrollGrip, TPartLayout::Cell, vertical ? 19 : 16);
}

TSkinPart TabFace(TDataSkinBorder& tabs, TBitmap& turned, const TFrameMargins& margins) {
    TSkinPart part = SkinPart(tabs, TPictureOrder::TabFace);
    part.Image = &turned;
    part.Frames = kTabFaceFrames;
    part.Margins = margins;
    part.Stacked = false;
    return part;
}

TSkinPart TabPane(TBitmap& turned, const TFrameMargins& margins) {
    TSkinPart part;
    part.Image = &turned;
    part.Margins = margins;
    return part;
}

TSkinPart MenuItemFace(TDataSkinObject& menuItem) {
    TSkinPart part = SkinPart(menuItem, TPictureOrder::MenuItem);
    part.ShortShowsLast = true;
    return part;
}

TSkinPart MenuSeparator(TDataSkinObject& menuItem) {
    TSkinPart part = SkinPart(menuItem, TPictureOrder::MenuItem, TPartBlend::Keyed);
    part.Layout = TPartLayout::ThreeAcross;
    part.Stacked = true;
    part.Margins.Top = part.Margins.Bottom = 0;
    return part;
}

TSkinPart MenuBackground(TDataSkinObject& background) {
    TSkinPart part = SkinPart(background, TPictureOrder::Single);
    part.Frames = 1;
    part.Stacked = false;
    return part;
}

}  // namespace qx
