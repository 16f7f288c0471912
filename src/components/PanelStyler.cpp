#include "components/PanelStyler.h"

namespace qx {

static const TEnumInfo PanelStyleInfo{
    "TPanelStyle",
    {"psNone", "psOffice2003Blue", "psOffice2003Olive", "psOffice2003Silver", "psOffice2007Luna",
     "psOffice2007Obsidian", "psWindowsXP", "psFlat"}};

const TClassInfo& TPanelStyler::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TPanelStyler>("TPanelStyler", &TComponent::StaticClassInfo())
                                       .Enum("Style", &TPanelStyler::Style, &TPanelStyler::SetStyle, PanelStyleInfo)
                                       .Creatable()
                                       .Build();
    return info;
}

}  // namespace qx
