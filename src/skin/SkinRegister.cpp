#include "skin/SkinRegister.h"

#include "framework/Register.h"
#include "skin/CaptionPainter.h"
#include "skin/SkinData.h"
#include "skin/SkinManager.h"

namespace qx {

void RegisterSkinClasses() {
    RegisterFrameworkClasses();
    RegisterClass(TSkinData::StaticClassInfo());
    RegisterClass(TSkinCaption::StaticClassInfo());
    FollowSkinData();
}

}  // namespace qx
