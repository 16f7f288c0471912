// The form skinner's child dispatch: which child control of a skinned window gets which
// skinner, and the register of the control skinners made for that window's children (the
// skin manager owns them; the register lets them go with the window's skinning).
#pragma once
#include "framework/Graphics.h"
#include "skin/ControlSkinnerHost.h"

#include <windows.h>

#include <string>
#include <vector>

namespace qx {

class TComponent;
class TControl;
class TCustomForm;
class TSkinControl;
class TSkinData;

// What the dispatch needs of the skinned window it serves.
class TChildDispatchHost {
public:
    virtual HWND Handle() const = 0;
    // The framework form behind the window, or none for a raw window.
    virtual TCustomForm* Form() const = 0;
    virtual TSkinData* SkinData() const = 0;
    // The sender the program's skin-control handler is told of.
    virtual TComponent* SkinnerComponent() = 0;

protected:
    ~TChildDispatchHost() = default;
};

class TChildDispatch final : public TControlSkinnerHost {
public:
    explicit TChildDispatch(TChildDispatchHost& host) : FHost(host) {}
    ~TChildDispatch() { FreeControlSkinners(); }
    TChildDispatch(const TChildDispatch&) = delete;
    TChildDispatch& operator=(const TChildDispatch&) = delete;

    // ---- the register ----
    HWND Handle() const override { return FHost.Handle(); }
    TSkinData* SkinData() const override { return FHost.SkinData(); }
    bool RegisterControl(TSkinControl* skinner) override;
    void UnregisterControl(TSkinControl* skinner) override;
    bool IsRegisteredWindow(HWND window) const override;
    TCanvas* ControlCanvas() override { return &FCanvas; }
    // Whether the control already has a skinner or answers the skinned query.
    bool IsRegistered(TControl* control) const;
    const std::vector<TSkinControl*>& Controls() const { return FControls; }
    // Every registered skinner gives its control back and goes (newest first).
    void FreeControlSkinners();
    // The skin changed: every registered skinner follows it.
    void SkinChanged();

    // ---- dispatch ----
    void DispatchForm(TCustomForm* form);
    void DispatchComponents(TComponent* component);
    void DispatchControl(TControl* control, TComponent* owner);
    void DispatchChildWindows(HWND window);
    void DispatchWindow(HWND window);
    // A control's window was made again (its scroll bars changed): its skinner goes and the
    // control is skinned anew; frameworkControl names the control when its skinner has gone.
    void RecreateSkinner(HWND control, LPARAM frameworkControl);

private:
    bool DispatchByKind(const std::string& upperClassName, TControl* control);
    // A skinner the program's skin-control handler made: owned by the manager from now on and
    // attached; false when it was registered already.
    bool RegisterControlIfNew(TSkinControl* skinner, TControl* control);

    TChildDispatchHost& FHost;
    std::vector<TSkinControl*> FControls;  // registered; owned by the skin manager
    TCanvas FCanvas;
};

}  // namespace qx
