#include "skin/ControlSkinners.h"

#include "core/Text.h"
#include "framework/Rtti.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <utility>

namespace qx {

namespace {

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

std::string Narrow(const std::u16string& s) {
    std::string out;
    for (char16_t c : s) out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    return out;
}

}  // namespace

// ---- properties by name ----------------------------------------------------------------------

bool HasProp(TObject* object, std::string_view name) { return object && GetPropInfo(object, name) != nullptr; }

std::int64_t GetIntProp(TObject* object, std::string_view name) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p || p->Kind != TPropKind::Integer || !p->GetOrd) return -1;
    return p->GetOrd(object);
}

std::string GetEnumPropText(TObject* object, std::string_view name) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p || p->Kind != TPropKind::Enum) return {};
    try {
        return GetEnumProp(object, name);
    } catch (const EPropertyError&) {
        return {};
    }
}

std::u16string GetWideStrProp(TObject* object, std::string_view name) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p || p->Kind != TPropKind::String || !p->GetStr) return {};
    return p->GetStr(object);
}

TObject* GetObjectPropOf(TObject* object, std::string_view name, const TClassInfo& cls) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p || p->Kind != TPropKind::Object || !p->GetObj) return nullptr;
    TObject* value = p->GetObj(object);
    return value && value->ClassInfo().InheritsFrom(cls) ? value : nullptr;
}

void SetPropFromText(TObject* object, std::string_view name, const std::u16string& text) {
    const TPropInfo* p = object ? GetPropInfo(object, name) : nullptr;
    if (!p) return;
    try {
        if (p->Kind == TPropKind::Enum)
            SetEnumProp(object, name, Narrow(text));
        else if (p->Kind == TPropKind::Integer)
            SetOrdProp(object, name, std::stoll(Narrow(text)));
    } catch (const std::exception&) {
        // A value the property does not take leaves it as it was.
    }
}

std::string PropTextLower(TObject* object, std::string_view name) {
    if (!HasProp(object, name)) return {};
    try {
        return Lower(Narrow(GetPropText(object, name)));
    } catch (const EPropertyError&) {
        return {};
    }
}

std::u16string ReplaceFirst(const std::u16string& text, std::u16string_view pattern, std::u16string_view replacement) {
    if (pattern.empty()) return text;
    auto at = text.find(pattern);
    if (at == std::u16string::npos) return text;
    std::u16string out = text;
    out.replace(at, pattern.size(), replacement);
    return out;
}

// ---- drawing helpers ------------------------------------------------------------------------

void DrawButtonFace(HDC dc, const RECT& rect, int frameCount, int frameIndex, TDataSkinObject& element) {
    if (rect.right < rect.left || rect.bottom < rect.top) return;
    const TFrameMargins margins{element.Margins.Left, element.Margins.Top, element.Margins.Right,
                                element.Margins.Bottom};
    auto face = MakeFrameBitmap(rect, element.Bitmap, margins, false, element.Tile == 1, frameCount, frameIndex);
    if (face->Width() <= 0 || face->Height() <= 0) return;
    if (element.Trans == 1)
        TransparentBlt(dc, rect, *face, SkinKeyColor);
    else
        BitBlt(dc, rect.left, rect.top, face->Width(), face->Height(), face->Canvas().Handle(), 0, 0, SRCCOPY);
}

void DrawStateGlyph(HDC dc, const RECT& rect, int frameCount, int frameIndex, TBitmap& image) {
    DrawFrameCell(dc, rect, image, true, frameCount, frameIndex);
}

void DrawStateGlyph(TCanvas& canvas, const RECT& rect, int frameCount, int frameIndex, TBitmap& image) {
    DrawFrameCell(canvas.Handle(), rect, image, true, frameCount, frameIndex);
}

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

TSkinControl::TSkinControl(TComponent* owner) : TComponent(owner) {}

TSkinControl::~TSkinControl() {
    GiveBackHandler();
    GiveBackWindowProc();
    if (FSkinForm) FSkinForm->Unregister(this);
    if (FControl) FControl->RemoveFreeNotification(this);
}

void TSkinControl::Free() {
    if (FSkinForm) {
        FSkinForm->Unregister(this);
        FSkinForm = nullptr;
    }
    if (depth_ > 0)
        freePending_ = true;
    else
        FreeNow();
}

void TSkinControl::FreeNow() {
    const TWndMethod mine = TWndMethod::Of<TSkinControl, &TSkinControl::SkinWndProc>(this);
    if (FControl && FOldWindowProc && FControl->WindowProc != mine && FControl == Owner()) {
        // A later handler calls this one as its previous handler; it stays in the chain as a
        // plain link and its control, which owns it, frees it.
        passOnly_ = true;
        FSkinOn = false;
        return;
    }
    delete this;
}

void TSkinControl::WatchControl(TControl* control) {
    FControl = control;
    if (control && control != Owner()) control->FreeNotification(this);
}

void TSkinControl::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == TOperation::opRemove && component == FControl) {
        FControl = nullptr;
        FOldWindowProc = {};
        FCompanion = nullptr;
    }
}

void TSkinControl::GiveBackHandler() {
    if (!FOldWindowProc || !FControl) return;
    // Only when ours is still the installed handler: a later one keeps its place.
    if (FControl->WindowProc == TWndMethod::Of<TSkinControl, &TSkinControl::SkinWndProc>(this))
        FControl->WindowProc = FOldWindowProc;
    FOldWindowProc = {};
}

struct TSkinControl::TStubRoute {
    TSkinControl* skinner;  // null once the skinner has let go
    HWND handle = nullptr;
    WNDPROC previous = nullptr;
    bool unicode = false;
    TWndStub stub;  // owned here only after the skinner has let go

    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
        const LRESULT result = unicode ? CallWindowProcW(previous, handle, message, wParam, lParam)
                                       : CallWindowProcA(previous, handle, message, wParam, lParam);
        // The window's last message: the stub was left by a jump and nothing calls it again.
        if (message == WM_NCDESTROY) delete this;
        return result;
    }
};

void TSkinControl::GiveBackWindowProc(bool windowGoing) {
    if (!FWndStub) return;
    bool stillCalled = false;
    if (IsWindow(FHandle)) {
        LONG_PTR current = FUnicode ? GetWindowLongPtrW(FHandle, GWLP_WNDPROC) : GetWindowLongPtrA(FHandle, GWLP_WNDPROC);
        if (current == reinterpret_cast<LONG_PTR>(FWndStub.Proc())) {
            if (FUnicode)
                SetWindowLongPtrW(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
            else
                SetWindowLongPtrA(FHandle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FOldWndProc));
        } else {
            // A later subclass calls the stub as its previous procedure: freeing it would
            // leave that subclass calling freed code, so the stub stays and passes on.
            stillCalled = !windowGoing;
        }
    }
    if (stillCalled) {
        stubRoute_->skinner = nullptr;
        stubRoute_->handle = FHandle;
        stubRoute_->previous = FOldWndProc;
        stubRoute_->unicode = FUnicode;
        stubRoute_->stub = std::move(FWndStub);
    } else {
        FWndStub = TWndStub();
        delete stubRoute_;
    }
    stubRoute_ = nullptr;
}

void TSkinControl::Attach(TSkinForm* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    auto* control = dynamic_cast<TWinControl*>(Owner());
    if (!control) return;
    FOwnColor = ownColor;
    FSkinData = skinData;
    FSkinForm = form;
    FCanvas = canvas;
    WatchControl(control);
    FHandle = control->Handle();
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
    FOldWindowProc = control->WindowProc;
    control->WindowProc = TWndMethod::Of<TSkinControl, &TSkinControl::SkinWndProc>(this);
    control->SetDoubleBuffered(true);
    if (FSkinForm) FSkinForm->Register(this);
    if (FOwnColor) {
        SyncParentBackground(true);
        FSavedColor = control->Color();
        control->SetColor(SkinButtonFace());
    }
    if (FParentBackgroundWasOn) FSelfPaint = 1;
    control->Invalidate();
    FAttached = true;
    FLifeState = 1;
}

void TSkinControl::AttachWindow(HWND handle, TSkinData* skinData, TSkinForm* form, TCanvas* canvas) {
    // A second attach would chain this skinner onto itself, or leave the window it had
    // before calling a freed stub; the first window is given back while it is still known.
    GiveBackWindowProc();
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    FHandle = handle;
    FEnabled = true;
    FSelfPaint = 0;
    if (FSkinForm) FSkinForm->Register(this);
    FUnicode = IsWindowUnicode(handle) != FALSE;
    FCaption = WindowText();
    auto route = std::make_unique<TStubRoute>(this);
    FWndStub = TWndStub(route.get(), &TSkinControl::StubEntry);
    stubRoute_ = route.release();
    if (FUnicode)
        FOldWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FWndStub.Proc())));
    else
        FOldWndProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(FWndStub.Proc())));
    InvalidateRect(handle, nullptr, TRUE);
    FAttached = true;
    FLifeState = 1;
}

LRESULT CALLBACK TSkinControl::StubEntry(void* object, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* route = static_cast<TStubRoute*>(object);
    TMessage m{message, wParam, lParam, 0};
    try {
        // The route may be gone once the message has run: nothing below looks at it again.
        if (!route->skinner) return route->PassOn(message, wParam, lParam);
        route->skinner->SkinWndProc(m);
    } catch (...) {
        // Nothing may unwind into the platform's message dispatch.
    }
    return m.Result;
}

void TSkinControl::SkinWndProc(TMessage& m) {
    struct TDepth {
        TSkinControl* self;
        explicit TDepth(TSkinControl* s) : self(s) { ++self->depth_; }
        ~TDepth() {
            if (--self->depth_ == 0 && self->freePending_) {
                self->freePending_ = false;
                self->FreeNow();
            }
        }
    } depth(this);
    if (passOnly_) {
        CallPrevious(m);
        return;
    }
    if (m.Msg == WM_SKINSWITCH) {
        FSkinOn = static_cast<std::int32_t>(m.WParam) > 0;
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
    if (FOldWindowProc) {
        FOldWindowProc(m);
        return;
    }
    if (!FOldWndProc) return;
    // The procedure was taken with the setter of the window's character set, so the
    // messages arrive in that set and go on in it.
    m.Result = FUnicode ? CallWindowProcW(FOldWndProc, FHandle, m.Msg, m.WParam, m.LParam)
                        : CallWindowProcA(FOldWndProc, FHandle, m.Msg, m.WParam, m.LParam);
}

bool TSkinControl::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCDESTROY:
            CallPrevious(m);
            FSkinOn = false;
            FLifeState = 6;
            Detach();
            // The window goes: its procedure is given back now, the stub is left by a jump.
            GiveBackWindowProc(true);
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
        if (auto* c = dynamic_cast<TControl*>(FCompanion)) c->Invalidate();
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
    FControl->SetColor(FSavedColor);
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
    if (OptionSet(xoParentBackGround) || !FControl || !HasProp(FControl, "ParentBackground")) return;
    if (on) {
        FParentBackgroundWasOn = PropTextLower(FControl, "ParentBackground") == "true";
        if (FParentBackgroundWasOn) SetPropFromText(FControl, "ParentBackground", u"False");
    } else if (FParentBackgroundWasOn) {
        SetPropFromText(FControl, "ParentBackground", u"True");
    }
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

void TSkinControl::DrawTextFocus(HDC dc, UINT format, const RECT& rect) {
    RECT m = rect;
    DrawTextWide(dc, FCaption, m, format | DT_CALCRECT | DT_NOCLIP);
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const int w = m.right - m.left, h = m.bottom - m.top;
    if (format & DT_CENTER)
        OffsetRect(&m, (W - w) / 2, (H - h) / 2 - 1);
    else if (format & DT_RIGHT)
        OffsetRect(&m, W - w, 0);
    InflateRect(&m, 2, 1);
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

std::u16string TSkinControl::WindowText() const {
    if (!FHandle) return {};
    if (!(GetVersion() & 0x80000000)) {
        int n = GetWindowTextLengthW(FHandle);
        std::wstring w(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
        n = GetWindowTextW(FHandle, w.data(), static_cast<int>(w.size()));
        return std::u16string(w.begin(), w.begin() + std::max(n, 0));
    }
    char buffer[1000] = {};
    SendMessageA(FHandle, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    wchar_t wide[1000] = {};
    int n = MultiByteToWideChar(CP_ACP, 0, buffer, -1, wide, 1000);
    return std::u16string(wide, wide + std::max(n - 1, 0));
}

LONG_PTR TSkinControl::WindowStyle() const { return FHandle ? GetWindowLongPtrW(FHandle, GWL_STYLE) : 0; }

}  // namespace qx
