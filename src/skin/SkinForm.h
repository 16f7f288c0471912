// The skinner registry of one window: the control skinners attached to its children, which it
// tells about skin changes and frees when they are done. The form skinner grows from this.
#pragma once
#include "framework/Component.h"

#include <vector>

namespace qx {

class TSkinControl;

class TSkinForm : public TComponent {
public:
    explicit TSkinForm(TComponent* owner);
    // Unskins every control that is still listed.
    ~TSkinForm() override;

    // Adds the skinner unless it is listed; true when it already was.
    bool Register(TSkinControl* skinner);
    // Removes the last listed occurrence.
    void Unregister(TSkinControl* skinner);
    bool IsRegistered(const TSkinControl* skinner) const;
    const std::vector<TSkinControl*>& Skinners() const { return skinners_; }

    // Frees the skinners whose window is gone.
    void FreeDestroyed();
    // Gives every control back its own look and frees its skinner.
    void UnskinControls();
    // The skin was replaced or reloaded.
    void SkinChanged();

private:
    std::vector<TSkinControl*> skinners_;
};

}  // namespace qx
