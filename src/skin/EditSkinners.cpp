#include "skin/EditSkinners.h"

#include "core/SkinScale.h"
#include "skin/DispatchRules.h"
#include "skin/SkinData.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinnerOwner.h"
#include "skin/SkinParts.h"

#include <commctrl.h>

#include <algorithm>

namespace qx {

namespace {

void TrackLeave(HWND window) {
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window, 0};
    TrackMouseEvent(&t);
}

// A system metric at dpi: the platform's own figure for that dpi where it has one
// (GetSystemMetricsForDpi, Windows 10 1607 and later), else the system's.
int MetricAt(int index, int dpi) {
    using TForDpi = int(WINAPI*)(int, UINT);
    static const auto forDpi = reinterpret_cast<TForDpi>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetSystemMetricsForDpi")));
    return forDpi && dpi > 0 ? forDpi(index, static_cast<UINT>(dpi)) : GetSystemMetrics(index);
}

POINT PointOf(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

// Attaches like the base, but keeps the control's own choice of double buffering: an edit's
// caret and partial painting work only when it paints straight onto its window.
void AttachKeepingBuffering(TSkinControl& s, TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor,
                            TCanvas* canvas) {
    const TControlView view(nullptr, control);
    const bool buffered = view.DoubleBuffered();
    s.TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    view.SetDoubleBuffered(buffered);
}

}  // namespace

// ---- spin buttons of other controls ------------------------------------------------------

HWND FindSpinChild(HWND parent) {
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (IsSpinWindow(child)) return child;
    }
    return nullptr;
}

TSkinUpDown* AttachSpinSkinner(HWND spin, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas, bool buddy) {
    if (!spin || (form && form->IsRegisteredWindow(spin))) return nullptr;
    if (TSkinnerOwner* m = SkinnerOwner(); m && m->Find(spin)) return nullptr;
    TSkinUpDown* s = nullptr;
    if (form) {
        s = AttachWindowSkinner<TSkinUpDown>(*form, spin);
    } else {
        s = EnsureSkinnerOwner().Own(std::make_unique<TSkinUpDown>(), TSkinKey{spin, nullptr});
        s->AttachWindow(spin, skinData, nullptr, canvas);
    }
    if (s) s->SetBuddyMode(buddy);
    return s;
}

// ---- combo boxes ---------------------------------------------------------------------------

void TSkinComBox::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    AttachKeepingBuffering(*this, control, form, skinData, ownColor, canvas);
    Prepare();
}

void TSkinComBox::AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    TSkinControl::AttachWindow(handle, skinData, form, canvas);
    Prepare();
}

void TSkinComBox::Prepare() {
    if (!FHandle) return;
    // The drop-down list of a combo box is a pop-up window (or a child of the desktop).
    FListWindow = (WindowStyle() & WS_POPUP) != 0 || GetParent(FHandle) == GetDesktopWindow();
    if (FListWindow) return;
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(FHandle, &info) && info.hwndItem && info.hwndItem != FHandle)
        FChild.Install(info.hwndItem, &TSkinComBox::ChildProc, this);
}

void TSkinComBox::Release() {
    FChild.Remove();
    TSkinControl::Release();
}

LRESULT CALLBACK TSkinComBox::ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinComBox*>(refData);
    TSkinDispatchScope scope;
    // The edit is part of the skinned combo box.
    if (message == WM_SKINNEDQUERY && self->FSkinOn) return 1;
    LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    try {
        if (self->FChild.Window() != window || !self->FSkinOn) return result;
        switch (message) {
            case WM_PAINT: self->PaintWindow(nullptr); break;
            case WM_LBUTTONDOWN:
            case WM_LBUTTONDBLCLK:
                self->FState |= skPressed;
                self->PaintWindow(nullptr);
                break;
            case WM_LBUTTONUP:
                self->FState &= ~skPressed;
                self->PaintWindow(nullptr);
                break;
            default: break;
        }
    } catch (...) {
        // Nothing may unwind into the platform's message dispatch.
        ReportSkinnerFailure(std::current_exception());
    }
    return result;
}

void TSkinComBox::AfterMessage(TMessage& m) {
    const bool enabled = FView.Enabled();
    switch (m.Msg) {
        case WM_DRAWITEM:
        case WM_NCPAINT: PaintWindow(nullptr); break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            FState |= skPressed;
            PaintWindow(nullptr);
            break;
        case WM_LBUTTONUP:
            FState &= ~skPressed;
            PaintWindow(nullptr);
            break;
        case WM_MOUSEMOVE:
            if (enabled && !(FState & skHot)) {
                FState |= skHot;
                TrackLeave(FHandle);
                PaintWindow(nullptr);
            }
            break;
        case CM_MOUSEENTER:
            // Shown at once: the mouse move that follows finds the state already set.
            if (enabled && !(FState & skHot)) {
                FState |= skHot;
                PaintWindow(nullptr);
            }
            break;
        case WM_MOUSELEAVE:
        case CM_MOUSELEAVE:
            if (enabled || (FState & skHot)) {
                FState &= ~skHot;
                PaintWindow(nullptr);
            }
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinComBox::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData) return;
    TBrushHandle shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    if (FListWindow) {
        FrameRect(dc, &rect, shadow.Get());
        return;
    }
    const bool enabled = FView.Enabled();
    const bool pressed = (FState & skPressed) || SendMessageW(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0;
    const bool hot = (FState & skHot) != 0;
    const TSkinState state = !enabled ? TSkinState::Disabled
                             : pressed ? TSkinState::Pressed
                             : hot     ? TSkinState::Hot
                                       : TSkinState::Normal;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const TSkinScale scale = PaintScale(Dpi());
    const int line = ScaleSkinLength(1, scale.Dpi), gap = ScaleSkinLength(2, scale.Dpi);
    const int bw = MetricAt(SM_CXHSCROLL, scale.Dpi) + gap;
    FSkinData->EnsureComboImages();
    TDataSkinBorder* button = FSkinData->ComboButton.get();
    if (button && button->Style == kComboButtonFromEdge && !button->Bitmap.Empty()) {
        // The skin's combined picture: sunken edge and drop button around a see-through middle.
        lastButton_ = RECT{rect.left + W - bw - gap, rect.top, rect.right, rect.bottom};
        lastFrame_ = SkinPicture(ComboEdgeAndButton(*button), state);
        DrawSkinPart(dc, ComboEdgeAndButton(*button), state, rect, scale);
        return;
    }
    // The shadow line, then a ring of face, each a line wide at this scale.
    RECT r = rect;
    for (int i = 0; i < line; ++i, InflateRect(&r, -1, -1)) FrameRect(dc, &r, shadow.Get());
    TBrushHandle face(CreateSolidBrush(ColorToRGB(SkinButtonFace())));
    for (int i = 0; i < line; ++i, InflateRect(&r, -1, -1)) FrameRect(dc, &r, face.Get());
    lastButton_ = RECT{rect.left + std::max(W - bw, gap), rect.top + line, rect.right - line,
                       rect.top + std::max(H - line, line)};
    if (button && !button->Bitmap.Empty()) {
        lastFrame_ = SkinPicture(ComboButtonFace(*button), state);
        DrawSkinPart(dc, ComboButtonFace(*button), state, lastButton_, scale);
        if (TDataSkinObject* extra = FSkinData->ExtraImages.get(); extra && !extra->Bitmap.Empty())
            DrawSkinPart(dc, ComboArrowGlyph(*extra), state, lastButton_, scale);
        return;
    }
    RECT b = lastButton_;
    lastFrame_ = 0;
    UINT look = DFCS_SCROLLCOMBOBOX;
    if (pressed) look |= DFCS_PUSHED;
    if (!enabled) look |= DFCS_INACTIVE;
    DrawFrameControl(dc, &b, DFC_SCROLL, look);
}

// ---- edits ---------------------------------------------------------------------------------

void TSkinEdit::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    AttachKeepingBuffering(*this, control, form, skinData, ownColor, canvas);
}

void TSkinEdit::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT:
            // The system drew its border again: the skin's goes over it.
            PaintWindow(nullptr);
            break;
        case WM_PRINT: PaintWindow(reinterpret_cast<HDC>(m.WParam)); break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinEdit::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData) return;
    if ((FSkinData->SkinControls() & SkinControlBit(xcSpin)) && !FUpDown)
        if (HWND spin = FindSpinChild(FHandle))
            AdoptChild(FUpDown = AttachSpinSkinner(spin, FSkinData, FSkinForm, FCanvas, true));
    RECT client{};
    GetClientRect(FHandle, &client);
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    lastBorder_ = false;
    if (client.right >= W || client.bottom >= H) return;
    TBrushHandle shadow(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonShadow)));
    TBrushHandle white(CreateSolidBrush(RGB(255, 255, 255)));
    // The shadow line, then white rings over what is left of the system's border (never
    // into the client area of a thin one), both as wide as the display's scale makes them.
    const int dpi = Dpi();
    const int border = std::min((W - client.right) / 2, (H - client.bottom) / 2);
    const int line = std::max(1, std::min(ScaleSkinLength(1, dpi), border));
    const int rings = std::min(border, ScaleSkinLength(3, dpi));
    RECT r = rect;
    for (int ring = 0; ring < line; ++ring, InflateRect(&r, -1, -1)) FrameRect(dc, &r, shadow.Get());
    for (int ring = line; ring < rings; ++ring, InflateRect(&r, -1, -1)) FrameRect(dc, &r, white.Get());
    lastBorder_ = true;
}

// ---- spin buttons --------------------------------------------------------------------------

bool TSkinUpDown::Horizontal() const { return (WindowStyle() & UDS_HORZ) != 0; }

int TSkinUpDown::HalfAt(POINT p) const {
    RECT c{};
    GetClientRect(FHandle, &c);
    if (!PtInRect(&c, p)) return -1;
    return Horizontal() ? (p.x < c.right / 2 ? 0 : 1) : (p.y < c.bottom / 2 ? 0 : 1);
}

bool TSkinUpDown::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND: {
            RECT c{};
            GetClientRect(FHandle, &c);
            FillFace(reinterpret_cast<HDC>(m.WParam), c);
            m.Result = 1;
            return false;
        }
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            // The control spins first, then shows the half that was pressed.
            CallPrevious(m);
            FPressedHalf = HalfAt(PointOf(m.LParam));
            FState |= skPressed;
            PaintWindow(nullptr);
            return false;
        case WM_LBUTTONUP:
            FState &= ~skPressed;
            FPressedHalf = -1;
            CallPrevious(m);
            PaintWindow(nullptr);
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinUpDown::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEMOVE: {
            const int half = HalfAt(PointOf(m.LParam));
            if (half != FHotHalf) {
                FHotHalf = half;
                PaintWindow(nullptr);
            }
            TrackLeave(FHandle);
            break;
        }
        case WM_MOUSELEAVE:
            FHotHalf = -1;
            PaintWindow(nullptr);
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinUpDown::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData) return;
    RECT client{};
    GetClientRect(FHandle, &client);
    const int W = client.right, H = client.bottom;
    if (W <= 0 || H <= 0) return;
    TBitmap work;
    work.SetPixelFormat(TPixelFormat::pf24bit);
    work.SetSize(W, H);
    if (work.Empty()) return;
    HDC d = work.Canvas().Handle();
    FillSolidRect(d, client, ColorToRGB(SkinButtonFace()));
    const bool horizontal = Horizontal();
    const RECT halves[2] = {horizontal ? RECT{0, 0, W / 2, H} : RECT{0, 0, W, H / 2},
                            horizontal ? RECT{W / 2, 0, W, H} : RECT{0, H / 2, W, H}};
    TDataSkinBorder* element = (horizontal ? FSkinData->UpDownHorz : FSkinData->UpDownVert).get();
    const bool enabled = FView.Enabled();
    const TSkinScale scale = PaintScale(Dpi());
    for (int i = 0; i < 2; ++i) {
        const bool pressed = (FState & skPressed) && FPressedHalf == i;
        const TSkinState state = !enabled         ? TSkinState::Disabled
                                 : pressed       ? TSkinState::Pressed
                                 : FHotHalf == i ? TSkinState::Hot
                                                 : TSkinState::Normal;
        if (element && !element->Bitmap.Empty()) {
            lastFrames_[i] = SkinPicture(SpinHalf(*element, i), state);
            DrawSkinPart(d, SpinHalf(*element, i), state, halves[i], scale);
            if (!element->Bitmap2.Empty()) DrawSkinPart(d, SpinArrowGlyph(*element, i), state, halves[i], scale);
            continue;
        }
        // No picture in the skin: plain boxes with line-drawn arrows.
        lastFrames_[i] = 0;
        RECT box = halves[i];
        FillSolidRect(d, box, ColorToRGB(pressed ? FSkinData->Colours.ButtonShadow : SkinButtonFace()));
        TBrushHandle outline(CreateSolidBrush(ColorToRGB(FSkinData->Colours.ButtonDkShadow)));
        for (int ring = 0; ring < ScaleSkinLength(1, scale.Dpi); ++ring, InflateRect(&box, -1, -1))
            FrameRect(d, &box, outline.Get());
        const int cx = (halves[i].left + halves[i].right) / 2, cy = (halves[i].top + halves[i].bottom) / 2;
        const COLORREF ink = enabled ? ColorToRGB(FSkinData->Colours.ButtonText) : ColorToRGB(clBtnShadow);
        // An arrow of lines one pixel apart, as many as the scale makes of four.
        const int steps = ScaleSkinLength(4, scale.Dpi), back = ScaleSkinLength(2, scale.Dpi);
        for (int k = 0; k < steps; ++k) {
            RECT line{};
            if (horizontal)
                line = i == 0 ? RECT{cx - back + k, cy - k, cx - back + 1 + k, cy + k + 1}
                              : RECT{cx + back - 1 - k, cy - k, cx + back - k, cy + k + 1};
            else
                line = i == 0 ? RECT{cx - k, cy - back + k, cx + k + 1, cy - back + 1 + k}
                              : RECT{cx - k, cy + back - 1 - k, cx + k + 1, cy + back - k};
            FillSolidRect(d, line, ink);
        }
    }
    BitBlt(dc, rect.left + (RectWidth(rect) - W) / 2, rect.top + (RectHeight(rect) - H) / 2, W, H, d, 0, 0, SRCCOPY);
}

// ---- track bars ----------------------------------------------------------------------------

bool TSkinTrackBar::BeforeMessage(TMessage& m) {
    if ((m.Msg == WM_NOTIFY || m.Msg == CN_NOTIFY) && m.LParam) {
        auto* header = reinterpret_cast<NMHDR*>(m.LParam);
        if (header->code == static_cast<UINT>(NM_CUSTOMDRAW) && header->hwndFrom == FHandle) return CustomDraw(m);
    }
    return TSkinControl::BeforeMessage(m);
}

bool TSkinTrackBar::CustomDraw(TMessage& m) {
    auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(m.LParam);
    const bool vertical = (WindowStyle() & TBS_VERT) != 0;
    if (cd->dwDrawStage == CDDS_PREPAINT) {
        m.Result = CDRF_NOTIFYITEMDRAW;
        return false;
    }
    if (cd->dwDrawStage != CDDS_ITEMPREPAINT || !FSkinData) return true;
    switch (cd->dwItemSpec) {
        case TBCD_TICS: m.Result = CDRF_DODEFAULT; return false;
        case TBCD_THUMB: {
            TDataSkinObject* thumb = (vertical ? FSkinData->TrackbarThumbVert : FSkinData->TrackbarThumbHorz).get();
            if (!thumb || thumb->Bitmap.Empty()) return true;
            RECT r{};
            SendMessageW(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
            POINT cursor{};
            GetCursorPos(&cursor);
            ScreenToClient(FHandle, &cursor);
            TSkinState state = TSkinState::Normal;
            if (!FView.Enabled())
                state = TSkinState::Disabled;
            else if (GetCapture() == FHandle || (cd->uItemState & CDIS_SELECTED))
                state = TSkinState::Pressed;
            else if (PtInRect(&r, cursor) || (cd->uItemState & CDIS_HOT))
                state = TSkinState::Hot;
            else if (GetFocus() == FHandle)
                state = TSkinState::Focused;
            lastThumb_ = SkinPicture(TrackBarThumb(*thumb), state);
            DrawSkinPart(cd->hdc, TrackBarThumb(*thumb), state, r, PaintScale(Dpi()));
            m.Result = CDRF_SKIPDEFAULT;
            return false;
        }
        case TBCD_CHANNEL: {
            TDataSkinObject* track = (vertical ? FSkinData->TrackVert : FSkinData->Track).get();
            if (!track || track->Bitmap.Empty()) return true;
            RECT r{};
            SendMessageW(FHandle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&r));
            // The platform reports the channel across even for a vertical bar.
            if (vertical && RectWidth(r) > RectHeight(r)) r = RECT{r.top, r.left, r.bottom, r.right};
            DrawSkinPart(cd->hdc, TrackBarChannel(*track), TSkinState::Normal, r, PaintScale(Dpi()));
            m.Result = CDRF_SKIPDEFAULT;
            return false;
        }
        default: return true;
    }
}

void TSkinTrackBar::SkinChanged() {
    TSkinControl::SkinChanged();
    if (FHandle) InvalidateRect(FHandle, nullptr, TRUE);
}

// ---- size boxes ----------------------------------------------------------------------------

void TSkinSizer::PaintSkin(HDC dc, const RECT& rect) {
    FillFace(dc, rect);
    TDataSkinObject* extra = FSkinData ? FSkinData->ExtraImages.get() : nullptr;
    if (!extra || extra->Bitmap.Empty() || !(WindowStyle() & SBS_SIZEGRIP)) return;
    const TSkinPart grip = SizeGripGlyph(*extra);
    const SIZE cell = SkinPartSize(grip);
    const TSkinScale scale = PaintScale(Dpi());
    const int cx = ScaleSkinLength(cell.cx, scale.Dpi), cy = ScaleSkinLength(cell.cy, scale.Dpi);
    DrawSkinPart(dc, grip, TSkinState::Normal, RECT{rect.right - cx, rect.bottom - cy, rect.right, rect.bottom}, scale);
}

}  // namespace qx
