#include "skin/CaptionButtons.h"

#include "skin/FrameParts.h"
#include "skin/ScaledFrame.h"
#include "skin/MenuBar.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SystemCommands.h"

namespace qx {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// source, drawn at dpi, brought to its size at the base dpi into target.
void CopyBitmapAtBase(TBitmap& source, TBitmap& target, int dpi) {
    const int cx = ScaleBetween(source.Width(), BaseDpi, dpi), cy = ScaleBetween(source.Height(), BaseDpi, dpi);
    if (cx == source.Width() && cy == source.Height()) {
        CopyBitmap(source, target);
        return;
    }
    target.SetPixelFormat(TPixelFormat::pf24bit);
    target.SetSize(cx, cy);
    if (target.Empty() || source.Empty()) return;
    HDC t = target.Canvas().Handle();
    const int oldMode = SetStretchBltMode(t, HALFTONE);
    StretchBlt(t, 0, 0, cx, cy, source.Canvas().Handle(), 0, 0, source.Width(), source.Height(), SRCCOPY);
    SetStretchBltMode(t, oldMode);
}

}  // namespace

void TCaptionButtons::Rebuild(TSkinData& skin) {
    Drop();
    for (auto& element : skin.SysButtons) {
        if (!element) continue;
        if (ShowsWindowIcon(element->Action)) {
            TBitmap& icon = FHost.LoadWindowIcon();
            // The button shows the icon; it takes the icon's size so that it is laid out. Like a
            // picture of the skin's own, it is the size at the skin's scale, which the layout
            // takes to the window's.
            if (element->Bitmap.Empty()) CopyBitmapAtBase(icon, element->Bitmap, FHost.Dpi());
            if (skin.AppIconBitmap().Empty()) CopyBitmap(icon, skin.AppIconBitmap());
            element->Frame = 1;
        }
        FButtons.push_back(std::make_unique<TSysButton>(*this, *element));
    }
}

void TCaptionButtons::Drop() {
    FHotObject = nullptr;
    FButtons.clear();
}

bool TCaptionButtons::Visible(TSysButton& b) const {
    const TDataSkinSysButton& e = *b.FSkin;
    const HWND window = FHost.Handle();
    b.FVisible = CaptionButtonVisible(e.Visibility, e.Visibility1, e.Action, FHost.CaptionFacts(), TVisibilityRules::Frame,
                                      [&e, window] {
                                          return SendMessageW(window, WM_SKINBUTTONVISIBLE,
                                                              static_cast<WPARAM>(e.Visibility),
                                                              static_cast<LPARAM>(e.Action)) > 0;
                                      });
    return b.FVisible;
}

void TCaptionButtons::Layout() {
    const TCaptionBand band = FHost.CaptionBand();
    for (const auto& button : FButtons) {
        TSysButton& b = *button;
        if (!Visible(b) || b.FSkin->Bitmap.Empty()) continue;
        b.FRect = PlaceScaledCaptionButton(*b.FSkin, band, TTextAnchors{}, TVisibilityRules::Frame, FHost.Dpi());
    }
}

TSysButton* TCaptionButtons::ObjectAt(POINT p) const {
    for (const auto& b : FButtons)
        if (b->FVisible && b->FSkin->Action >= 0 && PtInRect(&b->FRect, p)) return b.get();
    return nullptr;
}

void TCaptionButtons::PaintAll(TBitmap& strip) {
    // What lies under the buttons is kept, so that a button repainted alone starts from it.
    CopyBitmap(strip, FStripBack);
    HDC dc = strip.Canvas().Handle();
    const bool active = FHost.Active();
    for (const auto& b : FButtons) {
        TDataSkinSysButton& e = *b->FSkin;
        if (!b->FVisible || e.Bitmap.Empty() || e.Visibility == bvMdiMenuBar) continue;
        if (ShowsWindowIcon(e.Action)) {
            FHost.DrawWindowIcon(dc, b->FRect);
            continue;
        }
        const TSkinPart face = CaptionButtonFace(e);
        const bool inactive = !active && HasSkinPicture(face, TSkinState::Inactive);
        DrawSkinPart(dc, face, inactive ? TSkinState::Inactive : TSkinState::Normal, b->FRect, FHost.SkinScale());
    }
}

void TCaptionButtons::PaintSysButton(TSysButton& button, int state) {
    const HWND window = FHost.Handle();
    if (!FHost.SkinData() || !IsWindow(window)) return;
    TDataSkinSysButton& e = *button.FSkin;
    // Only the part of the button inside the window is composed (a button's picture may be
    // larger than the window).
    RECT bounds{};
    GetWindowRect(window, &bounds);
    const RECT inside{0, 0, Width(bounds), Height(bounds)};
    RECT r{};
    if (!IntersectRect(&r, &button.FRect, &inside)) return;
    const int w = Width(r), h = Height(r);
    if (w <= 0 || h <= 0) return;
    try {
        TBitmap cell;
        cell.SetPixelFormat(TPixelFormat::pf24bit);
        cell.SetSize(w, h);
        HDC c = cell.Canvas().Handle();
        // Start from what lies under the button (the caption, or the menu bar for a maximized
        // MDI child's buttons), so that no trace of an earlier state stays.
        TSkinMenuBar* bar = FHost.MenuBar();
        if (e.Visibility == bvMdiMenuBar && bar)
            bar->CopyBackground(c, r);
        else if (!FStripBack.Empty())
            BitBlt(c, 0, 0, w, h, FStripBack.Canvas().Handle(), r.left, r.top, SRCCOPY);
        RECT local = button.FRect;
        OffsetRect(&local, -r.left, -r.top);
        if (ShowsWindowIcon(e.Action)) {
            FHost.DrawWindowIcon(c, local);
        } else {
            const TSkinPart face = CaptionButtonFace(e);
            TSkinState shown = CaptionCellState(state);
            // On the menu bar a maximized child's hot button shows its inactive picture.
            if (e.Visibility == bvMdiMenuBar && shown == TSkinState::Hot) shown = TSkinState::Inactive;
            if (!HasSkinPicture(face, shown)) shown = TSkinState::Normal;
            DrawSkinPart(c, face, shown, local, FHost.SkinScale());
        }
        TWindowDC dc(window, true);
        if (dc.Get()) BitBlt(dc.Get(), r.left, r.top, w, h, c, 0, 0, SRCCOPY);
    } catch (...) {
        // A bad element never breaks the window's painting.
    }
}

void TCaptionButtons::ResetStates() {
    FHotObject = nullptr;
    for (auto& b : FButtons) b->FState = bcNormal;
}

void TCaptionButtons::DoButtonAction(TSysButton& button, POINT releasePoint) {
    const std::int32_t action = button.FSkin->Action;
    const HWND window = FHost.Handle();
    auto commands = [this]() -> TSystemCommands& { return FHost.SystemCommands(); };
    auto mdiChildCommand = [&commands](WPARAM command) { commands().ChildSysCommand(command); };
    switch (action) {
        case caClose:
            if (HMENU menu = FHost.SystemMenu(); menu && GetMenuState(menu, SC_CLOSE, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
                FHost.StopHover();
                PostMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
            return;
        case caMaximize:
        case caMaximize2: commands().ToggleMaximize(); return;
        case caMinimize:
        case caMinimize2: commands().ToggleMinimize(); return;
        case caSystemMenu:
        case caIconMenu:
        case caSystemMenu2: commands().ShowSysMenu(POINT{releasePoint.x + 1, releasePoint.y + 1}); return;
        case caMdiMinimize:
        case caMdiMinimize2: mdiChildCommand(SC_MINIMIZE); return;
        case caMdiRestore:
        case caMdiRestore2: mdiChildCommand(SC_RESTORE); return;
        case caMdiClose:
        case caMdiClose2: mdiChildCommand(SC_CLOSE); return;
        default: PostMessageW(window, WM_SKINCAPTIONACTION, static_cast<WPARAM>(action), 0); return;
    }
}

}  // namespace qx
