// A windowless control base with a hint colour and a parent-colour-change event; the
// framework's colour, font and text notifications reach descendants as ColorChanged,
// FontChanged and TextChanged.
#pragma once
#include "framework/Controls.h"

namespace qx {

class TGraphicControlEx : public TGraphicControl {
    QX_CLASS_INFO()
public:
    explicit TGraphicControlEx(TComponent* owner) : TGraphicControl(owner) {}
    TColor HintColor() const { return hintColor_; }
    void SetHintColor(TColor color) { hintColor_ = color; }
    TNotifyEvent OnParentColorChange;

protected:
    void WndProc(TMessage& message) override;

private:
    TColor hintColor_ = clInfoBk;
};

}  // namespace qx
