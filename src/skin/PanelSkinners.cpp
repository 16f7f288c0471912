#include "skin/PanelSkinners.h"

#include "skin/SkinForm.h"

namespace qx {

void TSkinBox::Attach(TControl* control, TSkinForm* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (!control) return;
    FOwnColor = ownColor;
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    auto* windowed = dynamic_cast<TWinControl*>(control);
    FHandle = windowed && windowed->HandleAllocated() ? windowed->Handle() : nullptr;
    WatchControl(control);
    FView = TControlView(FHandle, control);
    if (FSkinForm) FSkinForm->RegisterControl(this);
    if (FOwnColor) {
        SyncParentBackground(true);
        FSavedColor = control->Color();
        control->SetColor(SkinButtonFace());
    }
}

}  // namespace qx
