#include "GraphicControlEx.h"

namespace qx {

const TClassInfo& TGraphicControlEx::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGraphicControlEx>("TGraphicControlEx", &TGraphicControl::StaticClassInfo())
            .Color("HintColor", &TGraphicControlEx::HintColor, &TGraphicControlEx::SetHintColor)
            .Event("OnParentColorChange", &TGraphicControlEx::OnParentColorChange)
            .Build();
    return info;
}

void TGraphicControlEx::WndProc(TMessage& message) {
    TGraphicControl::WndProc(message);
    if (message.Msg == CM_PARENTCOLORCHANGED && OnParentColorChange) OnParentColorChange(this);
}

}  // namespace qx
