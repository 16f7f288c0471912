#include "skin/SkinnerRegistry.h"

#include "core/TimedSteps.h"
#include "skin/ButtonSkinners.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/ControlSkinners.h"
#include "skin/DispatchRules.h"
#include "skin/PanelSkinners.h"

#include <array>

namespace qx {

namespace {

std::array<TSkinnerFactory, static_cast<std::size_t>(TSkinnerKind::Count)>& Factories() {
    static std::array<TSkinnerFactory, static_cast<std::size_t>(TSkinnerKind::Count)> factories{};
    return factories;
}

template <class S>
TSkinControl* Make(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    if (control) return AttachSkinner<S>(form, control, ownColor);
    return window ? AttachWindowSkinner<S>(form, window) : nullptr;
}

TSkinControl* MakePngBitButton(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    auto* s = static_cast<TSkinBitButton*>(Make<TSkinBitButton>(form, control, window, ownColor));
    if (s) s->SetGlyphSource(TGlyphSource::PngImage);
    return s;
}

TSkinControl* MakeButton(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    auto* s = static_cast<TSkinButton*>(Make<TSkinButton>(form, control, window, ownColor));
    if (s && window) s->SetNotifyByHandle(NotifiesByHandleAlone(window));
    return s;
}

}  // namespace

void RegisterSkinnerFactory(TSkinnerKind kind, TSkinnerFactory factory) {
    Factories()[static_cast<std::size_t>(kind)] = factory;
}

bool HasSkinner(TSkinnerKind kind) {
    RegisterBuiltInSkinners();
    return kind != TSkinnerKind::None && Factories()[static_cast<std::size_t>(kind)] != nullptr;
}

TSkinControl* MakeSkinner(TSkinnerKind kind, TControlSkinnerHost& form, TControl* control, bool ownColor) {
    if (!HasSkinner(kind) || !control) return nullptr;
    TTimedStep step(TimedStepsHeard() ? KeptStepName("attach " + control->ClassName()) : nullptr);
    return Factories()[static_cast<std::size_t>(kind)](form, control, nullptr, ownColor);
}

TSkinControl* MakeWindowSkinner(TSkinnerKind kind, TControlSkinnerHost& form, HWND window) {
    if (!HasSkinner(kind) || !window) return nullptr;
    return Factories()[static_cast<std::size_t>(kind)](form, nullptr, window, false);
}

void RegisterBuiltInSkinners() {
    static const bool done = [] {
        RegisterSkinnerFactory(TSkinnerKind::RadioButton, &Make<TSkinRadioButton>);
        RegisterSkinnerFactory(TSkinnerKind::CheckBox, &Make<TSkinCheckBox>);
        RegisterSkinnerFactory(TSkinnerKind::Button, &MakeButton);
        RegisterSkinnerFactory(TSkinnerKind::BitButton, &Make<TSkinBitButton>);
        RegisterSkinnerFactory(TSkinnerKind::PngBitButton, &MakePngBitButton);
        RegisterSkinnerFactory(TSkinnerKind::SpeedButton, &Make<TSkinSpeedButton>);
        RegisterSkinnerFactory(TSkinnerKind::MenuButton, &Make<TSkinMenuButton>);
        RegisterSkinnerFactory(TSkinnerKind::Box, &Make<TSkinBox>);
        return true;
    }();
    (void)done;
}

}  // namespace qx
