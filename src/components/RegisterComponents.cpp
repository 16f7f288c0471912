#include "components/RegisterComponents.h"

#include "components/CaptionPanel.h"
#include "components/GdiPlusImage.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"
#include "components/HttpClient.h"
#include "components/PanelStyler.h"

namespace qx {

void RegisterComponentClasses() {
    RegisterClass(TGradientProgress::StaticClassInfo());
    RegisterClass(TCaptionPanel::StaticClassInfo());
    RegisterClass(TGlowButton::StaticClassInfo());
    RegisterClass(TPanelStyler::StaticClassInfo());
    RegisterClass(THttpClient::StaticClassInfo());
    RegisterGdiPlusImageClasses();
}

}  // namespace qx
