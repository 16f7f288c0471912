// The skinned window as the skinners of its child controls see it: they register with it while
// they skin one of its children, draw on the canvas it shares with them and post it their
// requests. Control skinners reach the form skinner only through this.
#pragma once
#include "framework/Controls.h"
#include "skin/SkinnerOwner.h"

#include <windows.h>

#include <memory>

namespace qx {

class TCanvas;
class TSkinControl;
class TSkinData;

class TControlSkinnerHost {
public:
    virtual HWND Handle() const = 0;
    virtual TSkinData* SkinData() const = 0;
    // true when the skinner was registered already.
    virtual bool RegisterControl(TSkinControl* skinner) = 0;
    virtual void UnregisterControl(TSkinControl* skinner) = 0;
    // Whether a child window already has a skinner registered here.
    virtual bool IsRegisteredWindow(HWND window) const = 0;
    virtual TCanvas* ControlCanvas() = 0;

protected:
    ~TControlSkinnerHost() = default;
};

// Makes a skinner of type S for a framework control of the host's window, hands it to the
// manager and attaches it.
template <class S>
S* AttachSkinner(TControlSkinnerHost& host, TControl* control, bool ownColor) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const TSkinKey key{windowed ? windowed->Handle() : nullptr, windowed ? nullptr : control};
    S* skinner = EnsureSkinnerOwner().Own(std::make_unique<S>(), key);
    skinner->Attach(control, &host, host.SkinData(), ownColor, host.ControlCanvas());
    return skinner;
}

// Makes a skinner of type S for a raw child window of the host's window and attaches it.
template <class S>
S* AttachWindowSkinner(TControlSkinnerHost& host, HWND window) {
    S* skinner = EnsureSkinnerOwner().Own(std::make_unique<S>(), TSkinKey{window, nullptr});
    skinner->AttachWindow(window, host.SkinData(), &host, host.ControlCanvas());
    return skinner;
}

}  // namespace qx
