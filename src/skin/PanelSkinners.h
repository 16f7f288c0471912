// Skinners of controls that are mostly surface. The panel skinner only recolours its panel in
// the skin's face colour; the panel paints itself and its children get skinners of their own.
// A dialog page nested in a skinned dialog takes the face colour behind itself and its static
// children; a group box draws its frame and caption in the skin's colours.
#pragma once
#include "skin/ControlSkinners.h"

namespace qx {

class TSkinBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    // Takes no messages: it watches the control only to let go when the control goes.
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override { return true; }
    void AfterMessage(TMessage& message) override {}
};

// A raw dialog page (class "#32770") inside a skinned dialog.
class TSkinBoxH : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& message) override;
};

// A framework group box is painted by the skinner alone (frame, caption and its windowless
// children); a raw one paints itself first and gets the skin drawn over it.
class TSkinGroupBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // The y of the frame's top line in the last paint.
    int LastFrameTop() const { return lastFrameTop_; }

private:
    int lastFrameTop_ = 0;
};

}  // namespace qx
