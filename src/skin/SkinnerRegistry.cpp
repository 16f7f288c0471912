#include "skin/SkinnerRegistry.h"

#include "skin/ButtonSkinners.h"
#include "skin/EditSkinners.h"
#include "skin/MediaSkinners.h"
#include "skin/PanelSkinners.h"
#include "skin/ProgressSkinners.h"
#include "skin/ScrollSkinners.h"
#include "skin/SkinForm.h"
#include "skin/TabSkinners.h"

#include <array>

namespace qx {

namespace {

std::array<TSkinnerFactory, static_cast<std::size_t>(TSkinnerKind::Count)>& Factories() {
    static std::array<TSkinnerFactory, static_cast<std::size_t>(TSkinnerKind::Count)> factories{};
    return factories;
}

template <class S>
TSkinControl* Make(TSkinForm& form, TControl* control, HWND window, bool ownColor) {
    if (control) return form.AttachSkinner<S>(control, ownColor);
    return window ? form.AttachWindowSkinner<S>(window) : nullptr;
}

TSkinControl* MakePngBitButton(TSkinForm& form, TControl* control, HWND window, bool ownColor) {
    auto* s = static_cast<TSkinBitButton*>(Make<TSkinBitButton>(form, control, window, ownColor));
    if (s) s->FImageProperty = "PngImage";
    return s;
}

// A skinner that must be set up between its making and its attaching.
template <class S, class Setup>
TSkinControl* MakeWith(TSkinForm& form, TControl* control, HWND window, bool ownColor, Setup setup) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const TSkinKey key = control ? TSkinKey{windowed ? windowed->Handle() : nullptr, windowed ? nullptr : control}
                                 : TSkinKey{window, nullptr};
    if (!control && !window) return nullptr;
    auto made = std::make_unique<S>();
    setup(*made);
    S* skinner = EnsureSkinManager().Own(std::move(made), key);
    if (control)
        skinner->Attach(control, &form, form.SkinData(), ownColor, nullptr);
    else
        skinner->AttachWindow(window, form.SkinData(), &form, nullptr);
    return skinner;
}

TSkinControl* MakeSingleScrollbar(TSkinForm& form, TControl* control, HWND window, bool ownColor) {
    // The control paints its own border: the skinner adds none.
    return MakeWith<TSkinScrollbar>(form, control, window, ownColor, [](TSkinScrollbar& s) { s.SetSelfPaint(1); });
}

template <TGlyphKind K>
TSkinControl* MakeGlyph(TSkinForm& form, TControl* control, HWND window, bool ownColor) {
    return MakeWith<TSkinObjImage>(form, control, window, ownColor, [](TSkinObjImage& s) { s.SetGlyphKind(K); });
}

TSkinControl* MakePageEx(TSkinForm& form, TControl* control, HWND window, bool ownColor) {
    return MakeWith<TSkinPageEx>(form, control, window, ownColor, [](TSkinPageEx& s) { s.PageKind = 4; });
}

}  // namespace

void RegisterSkinnerFactory(TSkinnerKind kind, TSkinnerFactory factory) {
    Factories()[static_cast<std::size_t>(kind)] = factory;
}

bool HasSkinner(TSkinnerKind kind) {
    RegisterBuiltInSkinners();
    return kind != TSkinnerKind::None && Factories()[static_cast<std::size_t>(kind)] != nullptr;
}

TSkinControl* MakeSkinner(TSkinnerKind kind, TSkinForm& form, TControl* control, bool ownColor) {
    if (!HasSkinner(kind) || !control) return nullptr;
    return Factories()[static_cast<std::size_t>(kind)](form, control, nullptr, ownColor);
}

TSkinControl* MakeWindowSkinner(TSkinnerKind kind, TSkinForm& form, HWND window) {
    if (!HasSkinner(kind) || !window) return nullptr;
    return Factories()[static_cast<std::size_t>(kind)](form, nullptr, window, false);
}

void RegisterBuiltInSkinners() {
    static const bool done = [] {
        RegisterSkinnerFactory(TSkinnerKind::RadioButton, &Make<TSkinRadioButton>);
        RegisterSkinnerFactory(TSkinnerKind::CheckBox, &Make<TSkinCheckBox>);
        RegisterSkinnerFactory(TSkinnerKind::Button, &Make<TSkinButton>);
        RegisterSkinnerFactory(TSkinnerKind::BitButton, &Make<TSkinBitButton>);
        RegisterSkinnerFactory(TSkinnerKind::PngBitButton, &MakePngBitButton);
        RegisterSkinnerFactory(TSkinnerKind::SpeedButton, &Make<TSkinSpeedButton>);
        RegisterSkinnerFactory(TSkinnerKind::MenuButton, &Make<TSkinMenuButton>);
        RegisterSkinnerFactory(TSkinnerKind::Box, &Make<TSkinBox>);
        RegisterSkinnerFactory(TSkinnerKind::BoxH, &Make<TSkinBoxH>);
        RegisterSkinnerFactory(TSkinnerKind::GroupBox, &Make<TSkinGroupBox>);
        RegisterSkinnerFactory(TSkinnerKind::Progress, &Make<TSkinProgress>);
        RegisterSkinnerFactory(TSkinnerKind::StatusBar, &Make<TSkinStatusBar>);
        RegisterSkinnerFactory(TSkinnerKind::Scrollbar, &Make<TSkinScrollbar>);
        RegisterSkinnerFactory(TSkinnerKind::SingleScrollbar, &MakeSingleScrollbar);
        RegisterSkinnerFactory(TSkinnerKind::ListView, &Make<TSkinListView>);
        RegisterSkinnerFactory(TSkinnerKind::ScrollbarH, &Make<TSkinScrollbarH>);
        RegisterSkinnerFactory(TSkinnerKind::ScControl, &Make<TSkinScControl>);
        RegisterSkinnerFactory(TSkinnerKind::ComBox, &Make<TSkinComBox>);
        RegisterSkinnerFactory(TSkinnerKind::Edit, &Make<TSkinEdit>);
        RegisterSkinnerFactory(TSkinnerKind::UpDown, &Make<TSkinUpDown>);
        RegisterSkinnerFactory(TSkinnerKind::TrackBar, &Make<TSkinTrackBar>);
        RegisterSkinnerFactory(TSkinnerKind::Tab, &Make<TSkinTab>);
        RegisterSkinnerFactory(TSkinnerKind::Tab31, &Make<TSkinTab31>);
        RegisterSkinnerFactory(TSkinnerKind::TabSheet, &Make<TSkinTabSheet>);
        RegisterSkinnerFactory(TSkinnerKind::Header, &Make<TSkinHeader>);
        RegisterSkinnerFactory(TSkinnerKind::Sizer, &Make<TSkinSizer>);
        RegisterSkinnerFactory(TSkinnerKind::MediaPlayer, &Make<TSkinMP>);
        RegisterSkinnerFactory(TSkinnerKind::GlyphCheck, &MakeGlyph<gkCheck>);
        RegisterSkinnerFactory(TSkinnerKind::GlyphRadio, &MakeGlyph<gkRadio>);
        RegisterSkinnerFactory(TSkinnerKind::ExCheck, &MakeGlyph<gkExCheck>);
        RegisterSkinnerFactory(TSkinnerKind::PageEx, &MakePageEx);
        return true;
    }();
    (void)done;
}

}  // namespace qx
