#include "skin/ControlSkinners.h"

#include "core/SkinScale.h"
#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/WindowDpi.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinData.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <utility>

namespace qx {

std::u16string ReplaceFirst(const std::u16string& text, std::u16string_view pattern, std::u16string_view replacement) {
    if (pattern.empty()) return text;
    auto at = text.find(pattern);
    if (at == std::u16string::npos) return text;
    std::u16string out = text;
    out.replace(at, pattern.size(), replacement);
    return out;
}

// ---- drawing helpers ------------------------------------------------------------------------

void CopyParentBackground(TControl* control, HDC dc) {
    if (!control || !control->Parent() || !dc) return;
    RECT r = control->ClientRect();
    TSavedDC saved(dc);
    POINT old{};
    OffsetViewportOrgEx(dc, -control->Left(), -control->Top(), &old);
    OffsetRect(&r, control->Left(), control->Top());
    IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    TWinControl* parent = control->Parent();
    const bool designing = (control->ComponentState() & csDesigning) != 0;
    if (designing) {
        try {
            parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
            parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
        } catch (...) {
        }
    } else {
        parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

// ---- the skinner ------------------------------------------------------------------------------

TSkinControl::TSkinControl() = default;

TSkinControl::~TSkinControl() { Release(); }

TSkinKey TSkinControl::Key() const {
    if (FHandle) return TSkinKey{FHandle, nullptr};
    return TSkinKey{nullptr, FControl};
}

void TSkinControl::WatchControl(TControl* control) {
    if (FControl && FControl != control) FControl->RemoveFreeNotification(this);
    FControl = control;
    if (control) control->FreeNotification(this);
}

void TSkinControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == FCompanion) FCompanion = nullptr;
    FChildren.erase(std::remove(FChildren.begin(), FChildren.end(), component), FChildren.end());
    if (component != FControl) return;
    // The control is going: its hooks go with it, and so does this skinner.
    FHooked = false;
    FControl = nullptr;
    FView = TControlView(FHandle, nullptr);
    if (FLife != TSkinnerLife::Destroyed) WindowGone();
}

void TSkinControl::HookControl(TControl* control) {
    WatchControl(control);
    FView = TControlView(FHandle, control);
    control->AddMessageHook(this);
    FHooked = true;
}

void TSkinControl::AdoptChild(TSkinControl* child) {
    if (!child || child == this || std::find(FChildren.begin(), FChildren.end(), child) != FChildren.end()) return;
    FChildren.push_back(child);
    child->FreeNotification(this);
}

void TSkinControl::Release() {
    for (TSkinControl* child : std::exchange(FChildren, {})) {
        child->RemoveFreeNotification(this);
        if (TSkinnerOwner* manager = SkinnerOwner(); manager && manager->Owns(child))
            manager->Free(child);
        else
            child->Release();
    }
    if (FHooked && FControl) FControl->RemoveMessageHook(this);
    FHooked = false;
    FSubclass.Remove();
    if (FControl) {
        FControl->RemoveFreeNotification(this);
        FControl = nullptr;
        FView = TControlView(FHandle, nullptr);
    }
    if (FSkinForm) {
        TControlSkinnerHost* form = FSkinForm;
        FSkinForm = nullptr;
        form->UnregisterControl(this);
    }
    FSkinOn = false;
}

void TSkinControl::WindowGone() {
    Release();
    FLife = TSkinnerLife::Destroyed;
    if (TSkinnerOwner* manager = SkinnerOwner(); manager && manager->Owns(this)) manager->Forget(this);
}

void TSkinControl::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached || !control) return;
    FOwnColor = ownColor;
    FSkinData = skinData;
    FSkinForm = form;
    FCanvas = canvas;
    const TControlView view(nullptr, control);
    FHandle = view.WindowNeeded();
    FUnicode = FHandle && IsWindowUnicode(FHandle) != FALSE;
    HookControl(control);
    view.SetDoubleBuffered(true);
    if (FSkinForm) FSkinForm->RegisterControl(this);
    if (FOwnColor) {
        SyncParentBackground(true);
        FSavedColor = control->Color();
        control->SetColor(SkinButtonFace());
    }
    if (FParentBackgroundWasOn) FSelfPaint = TSelfPaint::On;
    control->Invalidate();
    FAttached = true;
    FLife = TSkinnerLife::Skinned;
}

void TSkinControl::AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    // A second attach first gives back the window it had: it is then never left calling a
    // skinner that has moved on.
    FSubclass.Remove();
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    FHandle = handle;
    FView = TControlView(handle, nullptr);
    FEnabled = true;
    FSelfPaint = TSelfPaint::Off;
    if (FSkinForm) FSkinForm->RegisterControl(this);
    FUnicode = IsWindowUnicode(handle) != FALSE;
    FCaption = WindowTextOf(handle);
    FSubclass.Install(handle, &TSkinControl::SubclassProc, this);
    FSkinOn = true;
    InvalidateRect(handle, nullptr, TRUE);
    FAttached = true;
    FLife = TSkinnerLife::Skinned;
}

LRESULT CALLBACK TSkinControl::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                            DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinControl*>(refData);
    return self->FSubclass.Run(window, message, wParam, lParam, [self](TMessage& m) { self->SkinWndProc(m); });
}

void TSkinControl::HookMessage(TMessage& m, const TMessageNext& next) {
    TSkinDispatchScope scope;
    TMessageNextScope link(next_, next);
    SkinWndProc(m);
}

namespace {

// The messages whose time a bench gives per skinner class.
const char* TimedMessage(UINT message) {
    switch (message) {
        case WM_PAINT: return "WM_PAINT";
        case WM_ERASEBKGND: return "WM_ERASEBKGND";
        case WM_NCPAINT: return "WM_NCPAINT";
        case WM_PRINTCLIENT: return "WM_PRINTCLIENT";
        default: return nullptr;
    }
}

// The same, handed on to the control's own handler.
const char* TimedPrevious(UINT message) {
    switch (message) {
        case WM_PAINT: return "  previous WM_PAINT";
        case WM_ERASEBKGND: return "  previous WM_ERASEBKGND";
        case WM_NCPAINT: return "  previous WM_NCPAINT";
        case WM_PRINTCLIENT: return "  previous WM_PRINTCLIENT";
        default: return nullptr;
    }
}

}  // namespace

void TSkinControl::SkinWndProc(TMessage& m) {
    const char* timed = TimedStepsHeard() ? TimedMessage(m.Msg) : nullptr;
    TTimedStep step(timed ? KeptTypeStepName(timed, typeid(*this)) : nullptr);
    if (m.Msg == WM_SKINSWITCH) {
        FSkinOn = static_cast<std::int32_t>(m.WParam) > 0 && (FHooked || FSubclass.Installed());
        if (FSkinOn) Repaint();
        return;
    }
    if (!FSkinOn) {
        CallPrevious(m);
        return;
    }
    if (BeforeMessage(m)) {
        CallPrevious(m);
        AfterMessage(m);
    }
}

void TSkinControl::CallPrevious(TMessage& m) {
    // A control without border or scroll bars has nothing outside its client area: the default
    // frame paint would only fetch and free a window DC (what a skinner draws after it still runs).
    if (m.Msg == WM_NCPAINT && !HasFrame(FHandle)) return;
    const char* timed = TimedStepsHeard() ? TimedPrevious(m.Msg) : nullptr;
    TTimedStep step(timed ? KeptTypeStepName(timed, typeid(*this)) : nullptr);
    if (next_) {
        (*next_)(m);
        return;
    }
    // The platform's subclass chain passes the message on in the window's own character set.
    if (FSubclass.Running()) m.Result = DefSubclassProc(FHandle, m.Msg, m.WParam, m.LParam);
}

bool TSkinControl::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCDESTROY:
            CallPrevious(m);
            FSkinOn = false;
            Detach();
            WindowGone();
            return false;
        case WM_SKINNEDQUERY:
            m.Result = 1;
            return false;
        default:
            return true;
    }
}

void TSkinControl::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case WM_ENABLE:
        case WM_SETTEXT:
        case CM_ENABLEDCHANGED:
            Repaint();
            break;
        case WM_PAINT:
            PaintWindow(reinterpret_cast<HDC>(m.WParam));
            break;
        default:
            break;
    }
}

void TSkinControl::Repaint() {
    if (FCompanion) {
        FCompanion->Invalidate();
        return;
    }
    if (!FHandle) return;
    InvalidateRect(FHandle, nullptr, TRUE);
    UpdateWindow(FHandle);
}

void TSkinControl::PaintWindow(HDC dc) {
    try {
        RECT r{};
        if (!FHandle || !GetWindowRect(FHandle, &r)) return;
        FWindowRect = r;
        OffsetRect(&r, -r.left, -r.top);
        if (dc) {
            PaintSkin(dc, r);
        } else {
            TWindowDC windowDc(FHandle, true);
            if (windowDc.Get()) PaintSkin(windowDc.Get(), r);
        }
    } catch (...) {
        // A broken skin element must not break the window's paint cycle.
    }
}

void TSkinControl::Detach() {
    if (!FOwnColor || !FControl) return;
    SyncParentBackground(false);
    FView.SetColour(FSavedColor);
}

void TSkinControl::SkinChanged() {
    if (FOwnColor && FControl) FControl->SetColor(SkinButtonFace());
    Repaint();
}

bool TSkinControl::OptionSet(int option) const {
    return FSkinData && (FSkinData->Options() & SkinOptionBit(static_cast<TSkinOption>(option))) != 0;
}

TColor TSkinControl::SkinButtonFace() const { return FSkinData ? FSkinData->Colours.ButtonFace : clBtnFace; }

void TSkinControl::SyncParentBackground(bool on) {
    if (OptionSet(xoParentBackGround) || !FView.HasParentBackground()) return;
    if (on) {
        FParentBackgroundWasOn = FView.ParentBackground();
        if (FParentBackgroundWasOn) FView.SetParentBackground(false);
    } else if (FParentBackgroundWasOn) {
        FView.SetParentBackground(true);
    }
}

bool TSkinControl::WantsTransparency() const {
    return (FControl && FControl->Tag() == TransparentTag) || OptionSet(xoTransparent);
}

void TSkinControl::FillFace(HDC dc, const RECT& rect) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(SkinButtonFace())));
    FillRect(dc, &rect, brush.Get());
}

TColor TSkinControl::ParentColor(TColor defaultColor) const {
    return FControl && FControl->Parent() ? FControl->Parent()->Color() : defaultColor;
}

void TSkinControl::FillParentColor(HDC dc, const RECT& rect) {
    TBrushHandle brush(CreateSolidBrush(ColorToRGB(ParentColor(SkinButtonFace()))));
    FillRect(dc, &rect, brush.Get());
}

int TSkinControl::Dpi() const {
    HWND window = FHandle;
    if (!window && FControl && FControl->Parent() && FControl->Parent()->HandleAllocated())
        window = FControl->Parent()->Handle();
    return WindowDpi(window);
}

TSkinScale TSkinControl::PaintScale(int dpi) const {
    return FSkinData ? FSkinData->ScaleAt(dpi) : TSkinScale{dpi, nullptr};
}

void TSkinControl::DrawTextFocus(HDC dc, UINT format, const RECT& rect) {
    RECT m = rect;
    DrawTextWide(dc, FCaption, m, format | DT_CALCRECT | DT_NOCLIP);
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const int w = m.right - m.left, h = m.bottom - m.top;
    if (format & DT_CENTER)
        OffsetRect(&m, (W - w) / 2, (H - h) / 2 - 1);
    else if (format & DT_RIGHT)
        OffsetRect(&m, W - w, 0);
    const int dpi = Dpi();
    InflateRect(&m, ScaleSkinLength(2, dpi), ScaleSkinLength(1, dpi));
    m.left = std::max(m.left, rect.left);
    m.top = std::max(m.top, rect.top);
    m.right = std::min(m.right, rect.right);
    m.bottom = std::min(m.bottom, rect.bottom);
    DrawFocusRect(dc, &m);
}

void TSkinControl::ForwardMouseDown(const TMessage& m) {
    if (!FControl) return;
    int x, y;
    if (FControl->Width() > 0x8000 || FControl->Height() > 0x8000) {
        // Packed coordinates hold only 16 bits.
        POINT p{};
        GetCursorPos(&p);
        p = FControl->ScreenToClient(p);
        x = p.x;
        y = p.y;
    } else {
        x = static_cast<short>(LOWORD(m.LParam));
        y = static_cast<short>(HIWORD(m.LParam));
    }
    FControl->MouseDown(TMouseButton::mbLeft, KeysToShiftState(m.WParam), x, y);
}

void TSkinControl::PaintOwn(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    const bool began = dc == nullptr;
    if (began) dc = BeginPaint(FHandle, &ps);
    try {
        RECT r{};
        if (dc && GetWindowRect(FHandle, &r)) {
            FWindowRect = r;
            OffsetRect(&r, -r.left, -r.top);
            PaintSkin(dc, r);
        }
    } catch (...) {
        // Painting swallows its own failures.
    }
    if (began) EndPaint(FHandle, &ps);
}

void TSkinControl::EraseTransparent(TMessage& m) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    if (FControl) {
        CopyParentBackground(FControl, dc);
    } else {
        RECT r{};
        GetClientRect(FHandle, &r);
        FillParentColor(dc, r);
    }
    m.Result = 1;
}

std::u16string WindowTextOf(HWND window) {
    if (!window) return {};
    const int n = GetWindowTextLengthW(window);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
    const int got = GetWindowTextW(window, w.data(), static_cast<int>(w.size()));
    return std::u16string(w.begin(), w.begin() + std::max(got, 0));
}

LONG_PTR TSkinControl::WindowStyle() const { return FHandle ? GetWindowLongPtrW(FHandle, GWL_STYLE) : 0; }

}  // namespace qx
