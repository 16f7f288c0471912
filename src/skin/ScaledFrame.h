// A skinned window's own elements at the window's display scale: the caption buttons' places
// and the skin's lengths (frame sides, text offsets) as the form skinner measures them.
#pragma once
#include "core/CaptionLayout.h"
#include "skin/SkinObjects.h"

#include <windows.h>

namespace qx {

// The caption button's rectangle in the window at dpi: its offset and its picture's size scaled
// by their edges (PlaceCaptionButton's rules on the scaled band), so buttons that touch at
// 96 dpi still touch and their gaps scale with them.
RECT PlaceScaledCaptionButton(const TDataSkinSysButton& button, const TCaptionBand& band, const TTextAnchors& anchors,
                              TVisibilityRules rules, int dpi);

}  // namespace qx
