#include "skin/ScaledFrame.h"

#include "core/SkinScale.h"

namespace qx {

RECT PlaceScaledCaptionButton(const TDataSkinSysButton& button, const TCaptionBand& band, const TTextAnchors& anchors,
                              TVisibilityRules rules, int dpi) {
    const int w = FramePart(button.Bitmap.Width(), button.Frame), h = button.Bitmap.Height();
    const TSkinButtonPlace place =
        ScaleCaptionButtonPlace(button.Align, button.Xcoord, button.Ycoord, w, h, band.RightToLeft, dpi);
    const TButtonPlacement at =
        PlaceCaptionButton(button.Align, place.Xcoord, place.Ycoord, place.Width, place.Height, band, anchors, rules);
    return RECT{at.Left, at.Top, at.Left + place.Width, at.Top + place.Height};
}

}  // namespace qx
