// Actions: commands that can be executed against a target and enabled or disabled.
#pragma once
#include "framework/Component.h"

namespace qx {

class TBasicAction : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    // Runs the action; OnExecute when assigned.
    virtual bool Execute();
    virtual bool HandlesTarget(TObject* target) { return false; }
    virtual void ExecuteTarget(TObject* target) {}
    virtual void UpdateTarget(TObject* target) {}
    // Gives the action a chance to update its state (OnUpdate when assigned).
    virtual bool Update();
    TNotifyEvent OnExecute;
    TNotifyEvent OnUpdate;
};

class TCustomAction : public TBasicAction {
    QX_CLASS_INFO()
public:
    explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
    const std::u16string& Caption() const { return caption_; }
    void SetCaption(const std::u16string& v) { caption_ = v; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }
    bool Visible() const { return visible_; }
    void SetVisible(bool v) { visible_ = v; }
    const std::u16string& Hint() const { return hint_; }
    void SetHint(const std::u16string& v) { hint_ = v; }

private:
    std::u16string caption_, hint_;
    bool enabled_ = true, visible_ = true;
};

class TAction : public TCustomAction {
    QX_CLASS_INFO()
public:
    explicit TAction(TComponent* owner) : TCustomAction(owner) {}
};

}  // namespace qx
