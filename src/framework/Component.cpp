#include "framework/Component.h"

#include "core/Text.h"

#include <algorithm>

namespace qx {

const TClassInfo& TPersistent::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TPersistent>("TPersistent", &TObject::StaticClassInfo()).Build();
    return info;
}

const TClassInfo& TComponent::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TComponent>("TComponent", &TPersistent::StaticClassInfo())
            .Str("Name", &TComponent::NameText, &TComponent::SetNameText)
            .Int("Tag", &TComponent::Tag, &TComponent::SetTag)
            .Build();
    return info;
}

TComponent::TComponent(TComponent* owner) {
    if (owner) owner->InsertComponent(this);
}

TComponent::~TComponent() {
    state_ |= csDestroying;
    // Tell those who asked; they drop their references to us.
    auto notifies = std::move(freeNotifies_);
    for (TComponent* c : notifies) {
        auto& back = c->freeNotifies_;
        back.erase(std::remove(back.begin(), back.end(), this), back.end());
        c->Notification(this, TOperation::opRemove);
    }
    // Owned components go first, newest first.
    while (!components_.empty()) {
        TComponent* c = components_.back();
        delete c;  // removes itself from components_
    }
    if (owner_) owner_->RemoveComponent(this);
}

void TComponent::InsertComponent(TComponent* c) {
    c->owner_ = this;
    components_.push_back(c);
    for (TComponent* x : components_)
        if (x != c) x->Notification(c, TOperation::opInsert);
}

void TComponent::RemoveComponent(TComponent* c) {
    components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
    c->owner_ = nullptr;
    if (!(state_ & csDestroying))
        for (TComponent* x : components_) x->Notification(c, TOperation::opRemove);
}

void TComponent::SetOwner(TComponent* owner) {
    if (owner == owner_) return;
    if (owner_) owner_->RemoveComponent(this);
    if (owner) owner->InsertComponent(this);
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (TComponent* c : components_)
        if (EqualsIgnoreCaseAscii(c->name_, name)) return c;
    return nullptr;
}

void TComponent::SetName(const std::string& name) { name_ = name; }
std::u16string TComponent::NameText() const { return Utf8ToUtf16(name_); }
void TComponent::SetNameText(const std::u16string& name) { SetName(Utf16ToUtf8(name)); }

void TComponent::Loaded() { state_ &= static_cast<std::uint8_t>(~(csLoading | csReading)); }

void TComponent::FreeNotification(TComponent* other) {
    if (!other || other == this) return;
    if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
        freeNotifies_.push_back(other);
        other->freeNotifies_.push_back(this);
    }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
    if (!other) return;
    freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
    auto& back = other->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
}

}  // namespace qx
