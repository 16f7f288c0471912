// The strips of a skinned window's own elements: the frame pieces, the caption buttons, the
// title's strip and the menu bar's band. Painters draw them by passing one of these, with the
// state they show, to DrawSkinPart.
#pragma once
#include "skin/SkinDraw.h"
#include "skin/SkinObjects.h"

namespace qx {

// A piece of the window frame: active, then inactive (a piece with one picture shows it for
// both); every pixel copied.
TSkinPart FramePiece(TDataSkinObject& piece);
// A caption button (and a maximized MDI child's buttons on the menu bar): normal, pressed, hot,
// inactive; each picture stretched to the button, magenta transparent.
TSkinPart CaptionButtonFace(TDataSkinSysButton& button);
// Whether the part has a picture of its own for the state (else it shows its normal one).
bool HasSkinPicture(const TSkinPart& part, TSkinState state);
// The state a caption object's cell (TButtonCell) shows.
TSkinState CaptionCellState(int cell);
// The strip under the caption's title: active, inactive; its caps (left, right) kept.
TSkinPart TitleStrip(TDataSkinTitle& title, int leftCap, int rightCap);
// The menu bar's band: active, then inactive (one picture shows for both); its side caps kept,
// laid nine-slice when the element tiles and three across else.
TSkinPart MenuBarBand(TDataSkinObject& bar);

}  // namespace qx
