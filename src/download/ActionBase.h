// Stand-in for the window framework's action classes until the download action is built on
// them: the same names and the operations the download action uses, nothing more.
#pragma once

namespace qx {

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner) : owner_(owner) {}
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;
    TComponent* Owner() const { return owner_; }

private:
    TComponent* owner_;
};

class TBasicAction : public TComponent {
public:
    explicit TBasicAction(TComponent* owner) : TComponent(owner) {}
    virtual bool HandlesTarget(TObject* target) { return false; }
    virtual void ExecuteTarget(TObject* target) {}
    virtual void UpdateTarget(TObject* target) {}
};

class TCustomAction : public TBasicAction {
public:
    explicit TCustomAction(TComponent* owner) : TBasicAction(owner) {}
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool v) { enabled_ = v; }

private:
    bool enabled_ = true;
};

}  // namespace qx
