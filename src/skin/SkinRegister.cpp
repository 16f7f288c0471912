#include "skin/SkinRegister.h"

#include "skin/SkinData.h"

namespace qx {

void RegisterSkinClasses() { RegisterClass(TSkinData::StaticClassInfo()); }

}  // namespace qx
