// The skin manager as the skinners see it: the one owner of every skinner, and the few facts
// of the program's skinning that form, control, menu-bar and popup skinners follow. Skinners
// reach the manager through this, so that none of them depends on the manager's own header.
#pragma once
#include "skin/SkinMessages.h"
#include "skin/Skinner.h"

#include <windows.h>

#include <memory>

namespace qx {

class TCustomForm;
class TSkinPopupMenu;

class TSkinnerOwner {
public:
    // Takes the skinner into the table under key (a skinner already there for that key is
    // released and freed first).
    template <class S>
    S* Own(std::unique_ptr<S> skinner, TSkinKey key) {
        S* raw = skinner.get();
        Adopt(std::unique_ptr<TSkinner>(std::move(skinner)), key);
        return raw;
    }
    virtual TSkinner* Find(TSkinKey key) const = 0;
    TSkinner* Find(HWND window) const { return Find(TSkinKey{window, nullptr}); }
    virtual bool Owns(const TSkinner* skinner) const = 0;
    // Gives back what the skinner took over and frees it (later, while a message of a skinner
    // is still running).
    virtual void Free(TSkinner* skinner) = 0;
    // The skinner has already let go (its window is being destroyed): only takes it out of
    // the table and frees it.
    virtual void Forget(TSkinner* skinner) = 0;

    virtual bool SkinningOn() const = 0;
    virtual TManagerState State() const = 0;
    virtual void SetState(TManagerState state) = 0;
    // The kind of popup menu about to open, and whether it drops from a skinned menu bar.
    virtual void SetPopupKind(TPopupKind kind) = 0;
    virtual void SetMenuBarPopup(bool value) = 0;
    // The skinner of the popup window that shows menu, or none.
    virtual TSkinPopupMenu* PopupShowing(HMENU menu) const = 0;

    // The program's MDI frame: its client, and whether its children are shown maximized.
    virtual bool MDIChildMaximized() const = 0;
    virtual void SetMDIChildMaximized(bool value) = 0;
    virtual HWND MDIClient() const = 0;
    virtual void SetMDIFrame(HWND client, TCustomForm* frameForm) = 0;
    virtual void RedrawMdiClient(HWND child) = 0;

protected:
    ~TSkinnerOwner() = default;
    virtual void Adopt(std::unique_ptr<TSkinner> skinner, TSkinKey key) = 0;
};

// The program's manager as the skinners' owner, or none before the first skin data component
// is loaded.
TSkinnerOwner* SkinnerOwner();
// The program's manager as the skinners' owner, made when there is none.
TSkinnerOwner& EnsureSkinnerOwner();

}  // namespace qx
