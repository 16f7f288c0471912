#include "skin/SkinRegister.h"

#include "skin/CaptionPainter.h"
#include "skin/SkinData.h"

namespace qx {

void RegisterSkinClasses() {
    RegisterClass(TSkinData::StaticClassInfo());
    RegisterClass(TSkinCaption::StaticClassInfo());
}

}  // namespace qx
