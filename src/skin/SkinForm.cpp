#include "skin/SkinForm.h"

#include "skin/ControlSkinners.h"

#include <algorithm>

namespace qx {

TSkinForm::TSkinForm(TComponent* owner) : TComponent(owner) {}

TSkinForm::~TSkinForm() { UnskinControls(); }

bool TSkinForm::Register(TSkinControl* skinner) {
    if (IsRegistered(skinner)) return true;
    skinners_.push_back(skinner);
    return false;
}

void TSkinForm::Unregister(TSkinControl* skinner) {
    auto it = std::find(skinners_.rbegin(), skinners_.rend(), skinner);
    if (it != skinners_.rend()) skinners_.erase(std::next(it).base());
}

bool TSkinForm::IsRegistered(const TSkinControl* skinner) const {
    return std::find(skinners_.begin(), skinners_.end(), skinner) != skinners_.end();
}

void TSkinForm::FreeDestroyed() {
    // Freeing unregisters, so walk a copy.
    std::vector<TSkinControl*> done;
    for (TSkinControl* s : skinners_)
        if (s->LifeState() == 6) done.push_back(s);
    for (TSkinControl* s : done) {
        Unregister(s);
        s->Free();
    }
}

void TSkinForm::UnskinControls() {
    while (!skinners_.empty()) {
        TSkinControl* s = skinners_.back();
        skinners_.pop_back();
        if (s->LifeState() != 6) s->Detach();
        s->Free();
    }
}

void TSkinForm::SkinChanged() {
    std::vector<TSkinControl*> list = skinners_;
    for (TSkinControl* s : list)
        if (IsRegistered(s)) s->SkinChanged();
}

}  // namespace qx
