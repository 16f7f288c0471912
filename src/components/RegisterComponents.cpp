#include "components/RegisterComponents.h"

#include "components/CaptionPanel.h"
#include "components/GdiPlusImage.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"

namespace qx {

void RegisterComponentClasses() {
    RegisterClass(TGradientProgress::StaticClassInfo());
    RegisterClass(TCaptionPanel::StaticClassInfo());
    RegisterClass(TGlowButton::StaticClassInfo());
    RegisterGdiPlusImageClasses();
}

}  // namespace qx
