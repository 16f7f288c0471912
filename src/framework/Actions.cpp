#include "framework/Actions.h"

namespace qx {

const TClassInfo& TBasicAction::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TBasicAction>("TBasicAction", &TComponent::StaticClassInfo())
                                       .Event("OnExecute", &TBasicAction::OnExecute)
                                       .Event("OnUpdate", &TBasicAction::OnUpdate)
                                       .Build();
    return info;
}

const TClassInfo& TCustomAction::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TCustomAction>("TCustomAction", &TBasicAction::StaticClassInfo())
                                       .Str("Caption", &TCustomAction::Caption, &TCustomAction::SetCaption)
                                       .Bool("Enabled", &TCustomAction::Enabled, &TCustomAction::SetEnabled)
                                       .Bool("Visible", &TCustomAction::Visible, &TCustomAction::SetVisible)
                                       .Str("Hint", &TCustomAction::Hint, &TCustomAction::SetHint)
                                       .Build();
    return info;
}

const TClassInfo& TAction::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TAction>("TAction", &TCustomAction::StaticClassInfo()).Creatable().Build();
    return info;
}

bool TBasicAction::Execute() {
    if (!OnExecute) return false;
    OnExecute(this);
    return true;
}

bool TBasicAction::Update() {
    if (!OnUpdate) return false;
    OnUpdate(this);
    return true;
}

}  // namespace qx
