#include "skin/ControlSkinnerFamilies.h"

#include "skin/DispatchRules.h"
#include "skin/EditSkinners.h"
#include "skin/MediaSkinners.h"
#include "skin/PanelSkinners.h"
#include "skin/ProgressSkinners.h"
#include "skin/ScrollSkinners.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinnerRegistry.h"
#include "skin/TabSkinners.h"

#include <memory>

namespace qx {

namespace {

template <class S>
TSkinControl* Make(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    if (control) return AttachSkinner<S>(form, control, ownColor);
    return window ? AttachWindowSkinner<S>(form, window) : nullptr;
}

// A skinner that must be set up between its making and its attaching.
template <class S, class Setup>
TSkinControl* MakeWith(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor, Setup setup) {
    if (!control && !window) return nullptr;
    const TControlView view(nullptr, control);
    const TSkinKey key = control ? TSkinKey{view.WindowNeeded(), view.IsWindowed() ? nullptr : control}
                                 : TSkinKey{window, nullptr};
    auto made = std::make_unique<S>();
    setup(*made);
    S* skinner = EnsureSkinnerOwner().Own(std::move(made), key);
    if (control)
        skinner->Attach(control, &form, form.SkinData(), ownColor, nullptr);
    else
        skinner->AttachWindow(window, form.SkinData(), &form, nullptr);
    return skinner;
}

TSkinControl* MakeScrollbar(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    // A scroll box that draws its own border gets none from the skinner.
    const bool ownBorder = control && HasOwnBorderClass(control);
    return MakeWith<TSkinScrollbar>(form, control, window, ownColor, [ownBorder](TSkinScrollbar& s) {
        if (ownBorder) s.SetSelfPaint(TSelfPaint::On);
    });
}

TSkinControl* MakeSingleScrollbar(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    // The control paints its own border: the skinner adds none.
    return MakeWith<TSkinScrollbar>(form, control, window, ownColor, [](TSkinScrollbar& s) { s.SetSelfPaint(TSelfPaint::On); });
}

template <TGlyphKind K>
TSkinControl* MakeGlyph(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor) {
    return MakeWith<TSkinObjImage>(form, control, window, ownColor, [](TSkinObjImage& s) { s.SetGlyphKind(K); });
}

}  // namespace

void RegisterControlSkinnerFamilies() {
    static const bool done = [] {
        RegisterBuiltInSkinners();
        RegisterSkinnerFactory(TSkinnerKind::BoxH, &Make<TSkinBoxH>);
        RegisterSkinnerFactory(TSkinnerKind::GroupBox, &Make<TSkinGroupBox>);
        RegisterSkinnerFactory(TSkinnerKind::Progress, &Make<TSkinProgress>);
        RegisterSkinnerFactory(TSkinnerKind::StatusBar, &Make<TSkinStatusBar>);
        RegisterSkinnerFactory(TSkinnerKind::Scrollbar, &MakeScrollbar);
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
        RegisterSkinnerFactory(TSkinnerKind::PageEx, &Make<TSkinPageEx>);
        return true;
    }();
    (void)done;
}

}  // namespace qx
