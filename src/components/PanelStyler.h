// A holder of panel style settings. The main window carries one, preset to a style, though
// no panel of the window takes its settings.
#pragma once
#include "framework/Component.h"

namespace qx {

enum class TPanelStyle : std::uint8_t {
    psNone, psOffice2003Blue, psOffice2003Olive, psOffice2003Silver, psOffice2007Luna, psOffice2007Obsidian,
    psWindowsXP, psFlat
};

class TPanelStyler : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TPanelStyler(TComponent* owner) : TComponent(owner) {}
    TPanelStyle Style() const { return style_; }
    void SetStyle(TPanelStyle v) { style_ = v; }

private:
    TPanelStyle style_ = TPanelStyle::psNone;
};

}  // namespace qx
