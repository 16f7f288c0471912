// The strips of the skin format's elements: for each way an element is drawn, which image it
// uses, how many pictures that image holds, in what order they follow the states and how a
// picture is laid. Painters draw an element by passing one of these to DrawSkinPart.
#pragma once
#include "skin/SkinDraw.h"
#include "skin/SkinObjects.h"

namespace qx {

// Push buttons and the glyph buttons built on them.
TSkinPart PushButtonFace(TDataSkinButton& buttons);
// Check-box and radio glyphs, each picture drawn stretched to the glyph's box.
TSkinPart CheckGlyphs(TDataSkinButton& buttons);
TSkinPart RadioGlyphs(TDataSkinButton& buttons);

// The combo box's drop button; the combined picture (sunken edge and button in one) is keyed.
TSkinPart ComboButtonFace(TDataSkinBorder& button);
TSkinPart ComboEdgeAndButton(TDataSkinBorder& button);
// The drop arrow at its own size, centred on the button, from the shared glyph strip.
TSkinPart ComboArrowGlyph(TDataSkinObject& extraImages);
// The size grip of status bars and size boxes in the shared glyph strip.
TSkinPart SizeGripGlyph(TDataSkinObject& extraImages);

// One half (0 first, 1 second) of a spin button and its arrow glyph.
TSkinPart SpinHalf(TDataSkinBorder& upDown, int half);
TSkinPart SpinArrowGlyph(TDataSkinBorder& upDown, int half);

TSkinPart TrackBarThumb(TDataSkinObject& thumb);
TSkinPart TrackBarChannel(TDataSkinObject& track);
TSkinPart MediaButtonFace(TDataSkinObject& buttons);
TSkinPart ProgressTrough(TDataSkinObject& progress);
TSkinPart ProgressChunk(TDataSkinObject& chunk);
// One chunk at its own size, opaque, for painters that lay copies of it themselves.
TSkinPart ProgressChunkCell(TDataSkinObject& chunk);
TSkinPart StatusPanelEdge(TDataSkinObject& edges);
TSkinPart HeaderItem(TDataSkinObject& headerBar);

// Scroll bars: the track, the thumb, the arrows of the shared arrow strip and the thumb's grip.
enum class TScrollArrow : std::uint8_t { Left, Right, Up, Down };
TSkinPart ScrollTrack(TDataSkinObject& track);
TSkinPart ScrollThumb(TDataSkinObject& thumb);
TSkinPart ScrollArrowGlyph(TDataSkinObject& arrows, TScrollArrow arrow);
TSkinPart ScrollGripGlyph(TDataSkinObject& arrows, bool vertical);

// Tab faces and the pane under them, cut from pictures the tab skinner turned for its
// orientation; tiling, transparency and margins stay the tab element's.
TSkinPart TabFace(TDataSkinBorder& tabs, TBitmap& turned, const TFrameMargins& margins);
TSkinPart TabPane(TBitmap& turned, const TFrameMargins& margins);

// Popup menus: an item's face, the separator (caps kept, at its own height) and the menu's
// background.
TSkinPart MenuItemFace(TDataSkinObject& menuItem);
TSkinPart MenuSeparator(TDataSkinObject& menuItem);
TSkinPart MenuBackground(TDataSkinObject& background);

}  // namespace qx
