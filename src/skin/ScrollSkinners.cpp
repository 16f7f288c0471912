#include "skin/ScrollSkinners.h"

#include "core/SkinScale.h"
#include "core/TimedSteps.h"
#include "framework/Accessible.h"
#include "framework/ExtCtrls.h"
#include "framework/WindowDpi.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinData.h"
#include "skin/SkinParts.h"
#include "skin/TabSkinners.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace qx {

namespace {

bool HasScrollbarElement(const TSkinData* s) { return s && s->Scrollbar && !s->Scrollbar->Bitmap.Empty(); }

TSkinData* SkinDataOf(TSkinControl* skinner);

}  // namespace

// ---- the overlay ---------------------------------------------------------------------------

TScrollOverlay::TScrollOverlay(TSkinControl* skinner)
    : TCustomControl(nullptr),
      FArrowSize(GetSystemMetrics(SM_CXHSCROLL)),
      FSkinner(skinner),
      alive_(std::make_shared<bool>(true)) {
    controlStyle_ &= ~(csAcceptsControls | csClickEvents | csDoubleClicks);
    controlStyle_ |= csOpaque;
    SetVisible(false);
}

TScrollOverlay::~TScrollOverlay() { *alive_ = false; }

void TScrollOverlay::DescribeAccessible(TAccessibleInfo& info) const { info.Hidden = true; }

void TScrollOverlay::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.WndParent = parentWindow_;
    p.ExStyle |= WS_EX_TOOLWINDOW;
    p.Style &= ~WS_TABSTOP;
    p.WinClassName = u"TScrollOverlay";
}

void TScrollOverlay::Bind(TSkinControl* skinner, TControl* control, TOverlayKind kind) {
    const TControlView view(nullptr, control);
    if (!view.IsWindowed()) return;
    FTarget = kind == okControl ? control : nullptr;
    BindWindow(skinner, view.WindowNeeded(), kind);
    if (kind == okControl) FVertical = !TControlView(nullptr, control).HorizontalBar();
    if (control->Parent()) SetColor(control->Parent()->Color());
}

void TScrollOverlay::BindWindow(TSkinControl* skinner, HWND target, TOverlayKind kind) {
    FSkinner = skinner;
    FTargetHandle = target;
    FKind = kind;
    FVertical = kind == okVertical || (kind == okControl && (GetWindowLongPtrW(target, GWL_STYLE) & SBS_VERT));
    parentWindow_ = GetParent(target);
    if (TSkinData* s = SkinDataOf(skinner)) SetTag(s->DisableTag());
    if (parentWindow_) HandleNeeded();
}

void TScrollOverlay::SetHotZone(int zone) {
    if (zone == FHotZone) return;
    FHotZone = zone;
    if (HandleAllocated()) Invalidate();
}

bool TScrollOverlay::BarInfo(TBarInfo& info) const {
    if (!FTargetHandle || !IsWindow(FTargetHandle)) return false;
    const LONG_PTR style = GetWindowLongPtrW(FTargetHandle, GWL_STYLE);
    if (FKind == okControl) {
        if (!GetWindowRect(FTargetHandle, &info.Screen)) return false;
        SCROLLINFO si{sizeof si, SIF_ALL};
        if (!GetScrollInfo(FTargetHandle, SB_CTL, &si)) si = SCROLLINFO{sizeof si, SIF_ALL, 0, 0, 0, 0, 0};
        const int length = FVertical ? RectHeight(info.Screen) : RectWidth(info.Screen);
        const TThumbSpan t = ControlThumb(length, FArrowSize, si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos);
        info.ThumbStart = t.Start;
        info.ThumbEnd = t.End;
        info.State = 0;
        if (!(style & WS_VISIBLE)) info.State |= STATE_SYSTEM_INVISIBLE;
        if (style & WS_DISABLED) info.State |= STATE_SYSTEM_UNAVAILABLE;
        return true;
    }
    SCROLLBARINFO sbi{};
    sbi.cbSize = sizeof sbi;
    if (!GetScrollBarInfo(FTargetHandle, FKind == okVertical ? OBJID_VSCROLL : OBJID_HSCROLL, &sbi)) return false;
    info.Screen = sbi.rcScrollBar;
    info.ThumbStart = sbi.xyThumbTop;
    info.ThumbEnd = sbi.xyThumbBottom;
    info.State = sbi.rgstate[0];
    if (IsRectEmpty(&sbi.rcScrollBar)) info.State |= STATE_SYSTEM_INVISIBLE;
    return true;
}

void TScrollOverlay::HideBar() {
    FShown = false;
    if (HandleAllocated() && IsWindowVisible(Handle()))
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TScrollOverlay::Place() {
    TBarInfo info;
    if (!HandleAllocated() || !BarInfo(info) || !HasScrollbarElement(SkinDataOf(FSkinner))) {
        HideBar();
        return;
    }
    const LONG_PTR style = GetWindowLongPtrW(FTargetHandle, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (info.State & STATE_SYSTEM_INVISIBLE)) {
        HideBar();
        return;
    }
    const int w = RectWidth(info.Screen), h = RectHeight(info.Screen);
    POINT inTarget{info.Screen.left, info.Screen.top};
    ::ScreenToClient(FTargetHandle, &inTarget);
    FBarRect = RECT{inTarget.x, inTarget.y, inTarget.x + w, inTarget.y + h};
    FLength = FVertical ? h : w;
    FOrigin = POINT{info.Screen.left, info.Screen.top};
    POINT inParent = FOrigin;
    ::ScreenToClient(parentWindow_, &inParent);
    // Right above the target: after the window that precedes it.
    HWND before = GetWindow(FTargetHandle, GW_HWNDPREV);
    UINT flags = SWP_NOACTIVATE | SWP_SHOWWINDOW;
    if (before == Handle()) flags |= SWP_NOZORDER;
    SetWindowPos(Handle(), before ? before : HWND_TOP, inParent.x, inParent.y, w, h, flags);
    InvalidateRect(Handle(), nullptr, FALSE);
    FShown = true;
}

int TScrollOverlay::ZoneAt(POINT client) const {
    const TScrollMetrics bar{FLength, ScrollArrowLength(FLength, FArrowSize), FThumbStart, FThumbEnd};
    return ScrollZoneAt(bar, FVertical ? client.y : client.x);
}

POINT TScrollOverlay::CursorOnBar() const {
    POINT p{};
    GetCursorPos(&p);
    return p;
}

void TScrollOverlay::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SKINNEDQUERY: m.Result = 1; return;
        case WM_ERASEBKGND: m.Result = 1; return;
        case WM_MOUSEMOVE:
            TCustomControl::WndProc(m);
            if (!FPressed) SetHotZone(ZoneAt(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
            return;
        case WM_MOUSELEAVE:
            TCustomControl::WndProc(m);
            if (!FPressed) SetHotZone(szNone);
            return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: Press(m); return;
        case WM_LBUTTONUP: Release(m); return;
        case WM_MOUSEWHEEL:
            // The wheel over a bar scrolls what the bar scrolls.
            if (FTargetHandle && IsWindow(FTargetHandle))
                m.Result = SendMessageW(FTargetHandle, m.Msg, m.WParam, m.LParam);
            return;
        default: TCustomControl::WndProc(m);
    }
}

void TScrollOverlay::Press(TMessage& m) {
    TCustomControl::WndProc(m);
    const std::shared_ptr<bool> alive = alive_;
    ++busy_;
    {
        // The target may be destroyed from inside its own handling of the press, and its skinner
        // with it: nothing is freed until this press is over.
        TSkinDispatchScope scope;
        TBarInfo info;
        if (BarInfo(info)) FDownThumbStart = info.ThumbStart;
        FDownPos = CursorOnBar();
        const POINT client{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
        POINT screen = client;
        ::ClientToScreen(Handle(), &screen);
        FHotZone = ZoneAt(client);
        FPressed = true;
        Invalidate();
        Update();
        ReleaseCapture();
        const HWND target = FTargetHandle;
        if (target && IsWindow(target)) {
            // The platform's own scroll tracking runs inside this call until the button is up.
            if (FKind == okControl) {
                POINT local = screen;
                ::ScreenToClient(target, &local);
                SendMessageW(target, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(local.x, local.y));
            } else {
                SendMessageW(target, WM_NCLBUTTONDOWN, FKind == okVertical ? HTVSCROLL : HTHSCROLL,
                             MAKELPARAM(screen.x, screen.y));
            }
        }
        if (*alive) {
            FPressed = false;
            if (GetCapture() == Handle()) ReleaseCapture();
            if (HandleAllocated()) Invalidate();
        }
    }
    if (*alive) --busy_;
}

void TScrollOverlay::Release(TMessage& m) {
    TCustomControl::WndProc(m);
    const POINT client{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    POINT screen = client;
    ::ClientToScreen(Handle(), &screen);
    FPressed = false;
    if (GetCapture() == Handle()) ReleaseCapture();
    if (!FTargetHandle || !IsWindow(FTargetHandle)) return;
    if (FKind == okControl) {
        POINT local = screen;
        ::ScreenToClient(FTargetHandle, &local);
        PostMessageW(FTargetHandle, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(local.x, local.y));
        Invalidate();
    } else {
        PostMessageW(FTargetHandle, WM_NCLBUTTONUP, FKind == okVertical ? HTVSCROLL : HTHSCROLL,
                     MAKELPARAM(screen.x, screen.y));
    }
}

void TScrollOverlay::Paint() {
    TTimedStep step("scroll overlay painted");
    TSkinData* skin = SkinDataOf(FSkinner);
    if (!HasScrollbarElement(skin)) return;
    TBarInfo info;
    if (!BarInfo(info) || (info.State & STATE_SYSTEM_INVISIBLE)) return;
    const bool disabled = (info.State & STATE_SYSTEM_UNAVAILABLE) != 0;
    const int w = RectWidth(info.Screen), h = RectHeight(info.Screen);
    const RECT client = ClientRect();
    if (w <= 0 || h <= 0) return;
    if (FKind != okControl && (w > RectWidth(client) || h > RectHeight(client))) return;
    FLength = FVertical ? h : w;
    FThumbStart = info.ThumbStart;
    FThumbEnd = info.ThumbEnd;
    const TDataSkinObject& arrows = *skin->Scrollbar;
    // The skin at the scrolled window's scale: the arrows' pictures and their height with it.
    const TSkinScale scale = skin->ScaleAt(WindowDpi(FTargetHandle));
    int t = ScaleSkinLength(arrows.Bitmap.Height(), scale.Dpi);
    if (std::abs(t - FArrowSize) > 2) t = FArrowSize;

    // Where the thumb is drawn: while the platform tracks it, the drawn one follows the cursor.
    // The platform puts the thumb back where it was taken from while the cursor is far from the
    // bar (eight thicknesses across, two along it); the drawn one does the same.
    const int len = FThumbEnd - FThumbStart;
    int start = FThumbStart;
    if (!disabled && len > 0 && FPressed && FHotZone == szThumb && FKind != okControl) {
        const POINT cursor = CursorOnBar();
        RECT reach = info.Screen;
        const int thickness = FVertical ? w : h;
        InflateRect(&reach, FVertical ? thickness * 8 : thickness * 2, FVertical ? thickness * 2 : thickness * 8);
        const int travel = FVertical ? cursor.y - FDownPos.y : cursor.x - FDownPos.x;
        start = PtInRect(&reach, cursor) ? DraggedThumbStart(FDownThumbStart, travel, len, FLength, FArrowSize)
                                        : FDownThumbStart;
    }
    TFaceKey key;
    key.Skin = skin;
    key.Generation = skin->Generation();
    key.Face = skin->Colours.ButtonFace;
    key.Dpi = scale.Dpi;
    key.Width = w;
    key.Height = h;
    key.ArrowSize = FArrowSize;
    key.ThumbStart = start;
    key.ThumbEnd = start + len;
    key.HotZone = FHotZone;
    key.Pressed = FPressed;
    key.Disabled = disabled;
    key.Focused = FKind == okControl && GetFocus() == FTargetHandle;
    if (!face_ || face_->Empty() || !(key == faceKey_)) {
        faceKey_ = TFaceKey{};
        if (!face_) face_ = std::make_unique<TBitmap>();
        DrawFace(*face_, *skin, scale, info, t, start, len, disabled);
        if (face_->Empty()) return;
        faceKey_ = key;
    }
    if (!disabled && len > 0) {
        FThumbStart = start;
        FThumbEnd = start + len;
    }
    HDC d = face_->Canvas().Handle();
    HDC target = Canvas().Handle();
    if (FKind == okControl) {
        const int old = SetStretchBltMode(target, COLORONCOLOR);
        StretchBlt(target, 0, 0, RectWidth(client), RectHeight(client), d, 0, 0, w, h, SRCCOPY);
        SetStretchBltMode(target, old);
    } else {
        BitBlt(target, 0, 0, w, h, d, 0, 0, SRCCOPY);
    }
}

void TScrollOverlay::DrawFace(TBitmap& work, TSkinData& skinData, const TSkinScale& scale, const TBarInfo& info,
                              int t, int start, int len, bool disabled) {
    TSkinData* skin = &skinData;
    const int w = RectWidth(info.Screen), h = RectHeight(info.Screen);
    work.SetPixelFormat(TPixelFormat::pf24bit);
    work.SetSize(w, h);
    if (work.Empty()) return;
    HDC d = work.Canvas().Handle();
    SetStretchBltMode(d, COLORONCOLOR);
    FillSolidRect(d, RECT{0, 0, w, h}, ColorToRGB(skin->Colours.ButtonFace));

    TDataSkinObject& arrows = *skin->Scrollbar;
    TDataSkinObject* track = (FVertical ? skin->VertScroll : skin->HorzScroll).get();
    const RECT trackRect = FVertical ? RECT{0, FArrowSize, w, h - FArrowSize} : RECT{FArrowSize, 0, w - FArrowSize, h};
    if (track && trackRect.right > trackRect.left && trackRect.bottom > trackRect.top)
        DrawSkinPart(d, ScrollTrack(*track), disabled ? TSkinState::Disabled : TSkinState::Normal, trackRect, scale);

    const int a = ScrollArrowLength(FLength, FArrowSize);
    const TScrollArrow arrow[2] = {FVertical ? TScrollArrow::Up : TScrollArrow::Left,
                                   FVertical ? TScrollArrow::Down : TScrollArrow::Right};
    const RECT arrowRect[2] = {FVertical ? RECT{0, 0, w, a} : RECT{0, 0, a, h},
                               FVertical ? RECT{0, h - a, w, h} : RECT{w - a, 0, w, h}};
    for (int i = 0; i < 2; ++i) {
        const TSkinState state = disabled       ? TSkinState::Disabled
                                 : FHotZone != i ? TSkinState::Normal
                                 : FPressed      ? TSkinState::Pressed
                                                 : TSkinState::Hot;
        const TSkinPart glyph = ScrollArrowGlyph(arrows, arrow[i]);
        lastArrows_[i] = SkinPicture(glyph, state);
        DrawSkinPart(d, glyph, state, arrowRect[i], scale);
    }

    lastThumb_ = TThumbSpan{};
    if (disabled || len <= 0) return;
    const int end = start + len;
    lastThumb_ = TThumbSpan{start, end};
    const RECT thumb = FVertical ? RECT{0, start, t, end} : RECT{start, 0, end, t};
    const bool inside = thumb.left >= 0 && thumb.top >= 0 && thumb.right <= w && thumb.bottom <= h;
    TDataSkinObject* thumbPart = (FVertical ? skin->VertScrollThumb : skin->HorzScrollThumb).get();
    const TSkinState thumbState = FHotZone != szThumb ? TSkinState::Normal
                                  : FPressed            ? TSkinState::Pressed
                                                        : TSkinState::Hot;
    if (thumbPart && inside) DrawSkinPart(d, ScrollThumb(*thumbPart), thumbState, thumb, scale);
    if (FKind == okControl && inside && GetFocus() == FTargetHandle) {
        // The platform marks a focused scroll bar on its thumb, which this panel covers.
        RECT focus = thumb;
        InflateRect(&focus, -2, -2);
        DrawFocusRect(d, &focus);
    }
    const int g = ScaleSkinLength(arrows.Bitmap.Height(), scale.Dpi);
    if (g < len + 2) {
        const int offset = (len - g) / 2;
        const RECT grip = FVertical ? RECT{0, start + offset, t, start + offset + g}
                                    : RECT{start + offset, 0, start + offset + g, t};
        if (grip.left >= 0 && grip.top >= 0 && grip.right <= w && grip.bottom <= h)
            DrawSkinPart(d, ScrollGripGlyph(arrows, FVertical), thumbState, grip, scale);
    }
}

void TOverlayDeleter::operator()(TScrollOverlay* overlay) const {
    if (!overlay) return;
    if (!overlay->Busy()) {
        delete overlay;
        return;
    }
    // Still inside its press: hidden now, freed once the press has returned.
    overlay->HideBar();
    PostCall([overlay] { TOverlayDeleter{}(overlay); });
}

namespace {

TSkinData* SkinDataOf(TSkinControl* skinner) { return skinner ? skinner->SkinData() : nullptr; }

TOverlayPtr MakeOverlay(TSkinControl* skinner) { return TOverlayPtr(new TScrollOverlay(skinner)); }

void PlaceOrHide(TScrollOverlay* bar, bool show) {
    if (!bar) return;
    if (show)
        bar->Place();
    else
        bar->HideBar();
}

void InvalidateShown(TScrollOverlay* bar) {
    if (bar && bar->Shown() && bar->HandleAllocated()) bar->Invalidate();
}

// The scroll request code of a notification is the zone being scrolled.
void ShowRequest(TScrollOverlay* bar, WPARAM wParam) {
    if (!bar) return;
    bar->SetHotZone(LOWORD(wParam));
    if (bar->HandleAllocated()) bar->Update();
}

// The box between two bars, in the window DC's coordinates.
RECT CornerBox(HWND window, TScrollOverlay* vertical, TScrollOverlay* horizontal) {
    RECT w{}, v{}, h{};
    GetWindowRect(window, &w);
    GetWindowRect(vertical->Handle(), &v);
    GetWindowRect(horizontal->Handle(), &h);
    return RECT{v.left - w.left, h.top - w.top, v.right - w.left, h.bottom - w.top};
}

}  // namespace

// ---- framework controls with window scroll bars --------------------------------------------

TSkinScrollbar::TSkinScrollbar() = default;

TSkinScrollbar::~TSkinScrollbar() { FreeBars(); }

void TSkinScrollbar::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool, TCanvas* canvas) {
    AttachScrollbars(control, skinData, form, canvas);
}

void TSkinScrollbar::AttachScrollbars(TControl* control, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    const TControlView view(nullptr, control);
    if (FAttached || !view.IsWindowed()) return;
    FSkinData = skinData;
    FSkinForm = form;
    FCanvas = canvas;
    FHandle = view.WindowNeeded();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    WatchControl(control);
    FView = TControlView(FHandle, control);
    if (FSkinForm) FSkinForm->RegisterControl(this);
    // Only a control that has a border of its own gets the skin's.
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE), ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    const bool bordered = (style & WS_BORDER) || (ex & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    FDrawBorder = !FView.BorderSwitchedOff() && bordered;
    if (FSelfPaint == TSelfPaint::On) FDrawBorder = false;
    FHorzBar = MakeOverlay(this);
    FVertBar = MakeOverlay(this);
    FHorzBar->Bind(this, control, okHorizontal);
    FVertBar->Bind(this, control, okVertical);
    PlaceBars();
    if (!control->Visible()) HideBars();
    HookControl(control);
    FAttached = true;
    FLife = TSkinnerLife::Skinned;
    if (FDrawBorder) PaintWindow(nullptr);
}

void TSkinScrollbar::PlaceBars() {
    PlaceOrHide(FHorzBar.get(), true);
    PlaceOrHide(FVertBar.get(), true);
}

void TSkinScrollbar::HideBars() {
    PlaceOrHide(FHorzBar.get(), false);
    PlaceOrHide(FVertBar.get(), false);
}

void TSkinScrollbar::FreeBars() {
    FHorzBar.reset();
    FVertBar.reset();
}

void TSkinScrollbar::Detach() {
    TSkinControl::Detach();
    if (FLife != TSkinnerLife::Destroyed) FreeBars();
}

void TSkinScrollbar::Release() {
    TSkinControl::Release();
    FreeBars();
    // The system's frame comes back in place of the skin's.
    if (FDrawBorder && FHandle && IsWindow(FHandle))
        SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                     SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TSkinScrollbar::BeforeMessage(TMessage& m) {
    if (FHidingBars && (m.Msg == WM_STYLECHANGING || m.Msg == WM_STYLECHANGED)) {
        // The control never learns of the moment its bars are out of its style.
        m.Result = 0;
        return false;
    }
    if (m.Msg != WM_NCPAINT) return TSkinControl::BeforeMessage(m);
    // The system draws its bars at length (a themed bar is most of a frame's painting) even
    // where the overlays cover them: it paints the frame with the covered bars out of the style.
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    LONG_PTR covered = 0;
    if (FVertBar && FVertBar->Shown()) covered |= WS_VSCROLL;
    if (FHorzBar && FHorzBar->Shown()) covered |= WS_HSCROLL;
    covered &= style;
    const auto setQuietly = [this](LONG_PTR next) {
        FHidingBars = true;
        SetWindowLongPtrW(FHandle, GWL_STYLE, next);
        FHidingBars = false;
    };
    {
        // The bars go back even when the control's own painting throws: a control left without
        // them in its style would lose its scroll bars for good.
        struct TBarsBack {
            const decltype(setQuietly)& Set;
            HWND Window;
            LONG_PTR Covered;
            ~TBarsBack() {
                if (Covered && IsWindow(Window)) Set(GetWindowLongPtrW(Window, GWL_STYLE) | Covered);
            }
        } back{setQuietly, FHandle, covered};
        if (covered) setQuietly(style & ~covered);
        CallPrevious(m);
    }
    AfterMessage(m);
    return false;
}

void TSkinScrollbar::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SIZE:
        case WM_WINDOWPOSCHANGED: PlaceBars(); break;
        case WM_HSCROLL:
            if (!m.LParam) ShowRequest(FHorzBar.get(), m.WParam);
            break;
        case WM_VSCROLL:
            if (!m.LParam) ShowRequest(FVertBar.get(), m.WParam);
            break;
        case WM_MOUSEWHEEL:
            InvalidateShown(FHorzBar.get());
            InvalidateShown(FVertBar.get());
            break;
        case CM_VISIBLECHANGED:
            if (m.WParam)
                PlaceBars();
            else
                HideBars();
            break;
        case CM_RECREATEWND:
            // The window is about to be made anew: the form skinner skins the new one.
            if (FControl && FSkinForm)
                PostMessageW(FSkinForm->Handle(), WM_SKINRECREATESCROLL, reinterpret_cast<WPARAM>(FHandle),
                             reinterpret_cast<LPARAM>(FControl));
            break;
        case WM_NCPAINT:
            // The system drew its frame again: the skin's goes over it.
            if (FDrawBorder) PaintWindow(nullptr);
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinScrollbar::PaintCorner(HDC dc) {
    if (!FHorzBar || !FVertBar || !FHorzBar->Shown() || !FVertBar->Shown()) return;
    FillFace(dc, CornerBox(FHandle, FVertBar.get(), FHorzBar.get()));
}

void TSkinScrollbar::PaintSkin(HDC dc, const RECT& rect) {
    const LONG_PTR style = WindowStyle();
    for (auto [bar, flag] : {std::pair{FVertBar.get(), WS_VSCROLL}, std::pair{FHorzBar.get(), WS_HSCROLL}}) {
        if (!bar) continue;
        if (bar->Shown())
            bar->Invalidate();
        else if (style & flag)
            bar->Place();
    }
    PaintCorner(dc);
    if (!FDrawBorder || !FSkinData) return;
    TBrushHandle shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    TBrushHandle face(CreateSolidBrush(ColorToRGB(SkinButtonFace())));
    // The shadow ring, then the face ring, each a line wide at the window's scale; above 96 dpi
    // both stay within the system's border (its top edge: no scroll bar lies there), never over
    // the control's own client area.
    const int line = ScaleSkinLength(1, Dpi());
    int room = 2 * line;
    if (line > 1) {
        POINT origin{0, 0};
        RECT window{};
        if (ClientToScreen(FHandle, &origin) && GetWindowRect(FHandle, &window))
            room = std::clamp<int>(origin.y - window.top, 2, room);
    }
    RECT r = rect;
    const int shadowRings = std::min(line, room);
    for (int ring = 0; ring < room; ++ring, InflateRect(&r, -1, -1))
        FrameRect(dc, &r, ring < shadowRings ? shadow.Get() : face.Get());
}

// ---- list views ----------------------------------------------------------------------------

void TSkinListView::AttachScrollbars(TControl* control, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    TSkinScrollbar::AttachScrollbars(control, skinData, form, canvas);
    if (!FHandle) return;
    const HWND header = reinterpret_cast<HWND>(SendMessageW(FHandle, LVM_GETHEADER, 0, 0));
    if (!header) return;
    if (form) {
        FHeaderSkinner = AttachWindowSkinner<TSkinHeader>(*form, header);
    } else {
        FHeaderSkinner = EnsureSkinnerOwner().Own(std::make_unique<TSkinHeader>(), TSkinKey{header, nullptr});
        FHeaderSkinner->AttachWindow(header, skinData, nullptr, canvas);
    }
    AdoptChild(FHeaderSkinner);
}

void TSkinListView::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && FHeaderSkinner && component == static_cast<TComponent*>(FHeaderSkinner))
        FHeaderSkinner = nullptr;
    TSkinScrollbar::Notification(component, operation);
}

// ---- raw windows with window scroll bars ---------------------------------------------------

TSkinScrollbarH::TSkinScrollbarH() = default;

TSkinScrollbarH::~TSkinScrollbarH() {
    FHorzBar.reset();
    FVertBar.reset();
}

void TSkinScrollbarH::AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    TSkinControl::AttachWindow(handle, skinData, form, canvas);
    FHorzBar = MakeOverlay(this);
    FVertBar = MakeOverlay(this);
    FHorzBar->BindWindow(this, handle, okHorizontal);
    FVertBar->BindWindow(this, handle, okVertical);
    FHorzBar->Place();
    FVertBar->Place();
}

void TSkinScrollbarH::Detach() {
    TSkinControl::Detach();
    if (FLife != TSkinnerLife::Destroyed) {
        FHorzBar.reset();
        FVertBar.reset();
    }
}

void TSkinScrollbarH::Release() {
    TSkinControl::Release();
    FHorzBar.reset();
    FVertBar.reset();
}

void TSkinScrollbarH::AfterMessage(TMessage& m) {
    if (!IsWindowVisible(FHandle)) {
        PlaceOrHide(FVertBar.get(), false);
        PlaceOrHide(FHorzBar.get(), false);
    }
    switch (m.Msg) {
        case WM_SIZE:
        case WM_NCPAINT:
        case WM_WINDOWPOSCHANGED:
            if (IsWindowVisible(FHandle)) {
                PlaceOrHide(FHorzBar.get(), true);
                PlaceOrHide(FVertBar.get(), true);
            }
            break;
        case WM_HSCROLL:
            if (!m.LParam) ShowRequest(FHorzBar.get(), m.WParam);
            break;
        case WM_VSCROLL:
            if (!m.LParam) ShowRequest(FVertBar.get(), m.WParam);
            break;
        case WM_MOUSEWHEEL:
            InvalidateShown(FHorzBar.get());
            InvalidateShown(FVertBar.get());
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinScrollbarH::PaintSkin(HDC dc, const RECT&) {
    InvalidateShown(FHorzBar.get());
    InvalidateShown(FVertBar.get());
    if (FHorzBar && FVertBar && FHorzBar->Shown() && FVertBar->Shown())
        FillFace(dc, CornerBox(FHandle, FVertBar.get(), FHorzBar.get()));
}

// ---- stand-alone scroll bar controls -------------------------------------------------------

TSkinScControl::TSkinScControl() = default;

TSkinScControl::~TSkinScControl() { FBar.reset(); }

void TSkinScControl::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool, TCanvas* canvas) {
    const TControlView view(nullptr, control);
    if (FAttached || !view.IsWindowed()) return;
    FSkinData = skinData;
    FSkinForm = form;
    FCanvas = canvas;
    FHandle = view.WindowNeeded();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    WatchControl(control);
    FView = TControlView(FHandle, control);
    if (FSkinForm) FSkinForm->RegisterControl(this);
    FBar = MakeOverlay(this);
    FBar->SetShowHint(control->ShowHint());
    FBar->SetHint(control->Hint());
    FBar->Bind(this, control, okControl);
    FBar->Place();
    if (!control->Visible()) FBar->HideBar();
    HookControl(control);
    FAttached = true;
    FLife = TSkinnerLife::Skinned;
}

void TSkinScControl::Detach() {
    TSkinControl::Detach();
    if (FLife != TSkinnerLife::Destroyed) FBar.reset();
}

void TSkinScControl::Release() {
    TSkinControl::Release();
    FBar.reset();
}

bool TSkinScControl::BeforeMessage(TMessage& m) {
    if (m.Msg != WM_PAINT || m.WParam || !FBar || !FBar->Shown() || !FBar->HandleAllocated())
        return TSkinControl::BeforeMessage(m);
    // The overlay covers the whole bar: the system's drawing of it, which nothing shows, is
    // left out (the bar is only validated).
    PAINTSTRUCT ps{};
    if (BeginPaint(FHandle, &ps)) EndPaint(FHandle, &ps);
    m.Result = 0;
    InvalidateShown(FBar.get());
    return false;
}

void TSkinScControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_WINDOWPOSCHANGED:
            if (FBar) FBar->Place();
            break;
        case WM_NCPAINT:
            if (HWND window = FView.CurrentWindow()) FHandle = window;
            if (FBar) FBar->Place();
            break;
        case SBM_SETSCROLLINFO:
        case SBM_SETPOS:
        case SBM_SETRANGE:
        case CN_VSCROLL:
        case CN_HSCROLL:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            if (FBar && FBar->HandleAllocated()) {
                FBar->Invalidate();
                FBar->Update();
            }
            break;
        case CM_VISIBLECHANGED: PlaceOrHide(FBar.get(), m.WParam != 0); break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinScControl::PaintSkin(HDC, const RECT&) { InvalidateShown(FBar.get()); }

}  // namespace qx
