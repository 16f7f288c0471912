// Components: objects with an owner that frees them, a name and a tag, and a loading state
// while a stored layout is being read.
#pragma once
#include "framework/Rtti.h"

#include <cstdint>
#include <string>
#include <vector>

namespace qx {

// An object that can be described in a layout (a sub-object such as a font, or a component).
class TPersistent : public TObject {
    QX_CLASS_INFO()
};

enum TComponentStateFlag : std::uint8_t { csLoading = 1, csReading = 2, csDestroying = 4, csDesigning = 8 };
enum class TOperation : std::uint8_t { opInsert, opRemove };

class TComponent : public TPersistent {
    QX_CLASS_INFO()
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    TComponent* Owner() const { return owner_; }
    const std::vector<TComponent*>& Components() const { return components_; }
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* FindComponent(std::string_view name) const;

    const std::string& Name() const { return name_; }
    virtual void SetName(const std::string& name);
    std::u16string NameText() const;
    void SetNameText(const std::u16string& name);
    std::int32_t Tag() const { return tag_; }
    void SetTag(std::int32_t tag) { tag_ = tag; }

    std::uint8_t ComponentState() const { return state_; }
    bool IsLoading() const { return state_ & csLoading; }
    bool IsDestroying() const { return state_ & csDestroying; }
    // Marks the component as being read from a layout; Loaded ends that state.
    void BeginLoading() { state_ |= csLoading | csReading; }
    // Called once after the whole layout that created this component has been read.
    virtual void Loaded();

    // Asks to be told (Notification with opRemove) when other is destroyed.
    void FreeNotification(TComponent* other);
    void RemoveFreeNotification(TComponent* other);

    // Moves this component to another owner (or none).
    void SetOwner(TComponent* owner);
    // A stored layout nests child inside this component: true when this kind of component
    // takes it (a menu its items); controls are placed on windowed controls instead.
    virtual bool AddChildComponent(TComponent* child) { return false; }

protected:
    virtual void Notification(TComponent* component, TOperation operation) {}
    // Marks destruction early, so that descendants' destructors can tell.
    void BeginDestroy() { state_ |= csDestroying; }

private:
    void InsertComponent(TComponent* c);
    void RemoveComponent(TComponent* c);

    TComponent* owner_ = nullptr;
    std::vector<TComponent*> components_;
    std::vector<TComponent*> freeNotifies_;
    std::string name_;
    std::int32_t tag_ = 0;
    std::uint8_t state_ = 0;
};

}  // namespace qx
