// Skinners of controls that are mostly surface. The panel skinner only recolours its panel in
// the skin's face colour; the panel paints itself and its children get skinners of their own.
#pragma once
#include "skin/ControlSkinners.h"

namespace qx {

class TSkinBox : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    // Takes no messages: it watches the control only to let go when the control goes.
    void Attach(TControl* control, TSkinForm* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override { return true; }
    void AfterMessage(TMessage& message) override {}
};

}  // namespace qx
