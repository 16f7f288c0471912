#include "framework/Controls.h"

#include "core/Accelerator.h"
#include "core/DisplayScale.h"
#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/Accessible.h"
#include "framework/ExceptionReport.h"
#include "framework/Menus.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdio>
#include <map>

namespace qx {

static std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

const TEnumInfo AlignInfo{"TAlign", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
const TEnumInfo AlignmentInfo{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

// ---- control look-up through a window property --------------------------------------------

const std::wstring& ControlPropertyName() {
    static const std::wstring name = [] {
        const std::string text =
            "ControlOfs" + HexDigits(static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(GetModuleHandleW(nullptr))), 8) +
            HexDigits(static_cast<std::uint32_t>(GetCurrentThreadId()), 8);
        return std::wstring(text.begin(), text.end());
    }();
    return name;
}

static ATOM ControlAtom() {
    static const ATOM atom = GlobalAddAtomW(ControlPropertyName().c_str());
    return atom;
}

TWinControl* FindControl(HWND window) {
    if (!window || !IsWindow(window)) return nullptr;
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId()) return nullptr;
    return static_cast<TWinControl*>(GetPropW(window, MAKEINTATOM(ControlAtom())));
}

TWinControl* FindHostControl(HWND window) {
    const HWND desktop = GetDesktopWindow();
    for (HWND w = window; w && w != desktop; w = GetAncestor(w, GA_PARENT))
        if (TWinControl* control = FindControl(w)) return control;
    return nullptr;
}

bool IsAccelerator(WPARAM character, const std::u16string& caption) {
    const char16_t accelerator = AcceleratorOf(caption);
    if (!accelerator || character == 0 || character > 0xFFFF) return false;
    wchar_t a = static_cast<wchar_t>(accelerator), b = static_cast<wchar_t>(character);
    CharUpperBuffW(&a, 1);
    CharUpperBuffW(&b, 1);
    return a == b;
}

// ---- TControl ------------------------------------------------------------------------------


const TClassInfo& TControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TControl>("TControl", &TComponent::StaticClassInfo())
            .Int("Left", &TControl::Left, &TControl::SetLeft)
            .Int("Top", &TControl::Top, &TControl::SetTop)
            .Int("Width", &TControl::Width, &TControl::SetWidth)
            .Int("Height", &TControl::Height, &TControl::SetHeight)
            .Enum("Align", &TControl::Align, &TControl::SetAlign, AlignInfo)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled)
            .Color("Color", &TControl::Color, &TControl::SetColor)
            .Bool("ParentColor", &TControl::ParentColor, &TControl::SetParentColor)
            .Object("Font", static_cast<TFont* (TControl::*)()>(&TControl::FontObject), TFont::StaticClassInfo())
            .Bool("ParentFont", &TControl::ParentFont, &TControl::SetParentFont)
            .Str("Caption", &TControl::Caption, &TControl::SetCaption)
            .Int("Cursor", &TControl::Cursor, &TControl::SetCursor, &CursorIdents)
            .Str("Hint", &TControl::Hint, &TControl::SetHint)
            .Bool("ShowHint", &TControl::ShowHint, &TControl::SetShowHint)
            .Reference<TPopupMenu>("PopupMenu", &TControl::PopupMenu, &TControl::SetPopupMenu)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnMouseEnter", &TControl::OnMouseEnter)
            .Event("OnMouseLeave", &TControl::OnMouseLeave)
            .Build();
    return info;
}

TControl::TControl(TComponent* owner) : TComponent(owner), font_(std::make_unique<TFont>()) {
    WindowProc = DefaultWindowProc();
    font_->OnChange = [this] { FontWasChanged(); };
}

TControl::~TControl() {
    BeginDestroy();
    if (parent_) parent_->RemoveControl(this);
}

TCustomForm* TControl::ParentForm() const {
    const TControl* c = this;
    while (c->parent_) c = c->parent_;
    return const_cast<TControl*>(c)->AsForm();
}

void TControl::SetParent(TWinControl* parent) {
    if (parent == parent_) return;
    if (parent == this) throw EPropertyError("a control cannot be its own parent");
    if (parent_) parent_->RemoveControl(this);
    if (parent) {
        parent->InsertControl(this);
        if (parentColor_) ParentColorChanged();
        if (parentFont_) ParentFontChanged();
    }
}

void TControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    bool visible = !IsWindowed() && parent_ && Showing();
    if (visible) InvalidateControl(false);
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (visible) InvalidateControl(false);
    if (align_ != TAlign::alNone) RequestAlign();
}

POINT TControl::ClientOrigin() const {
    POINT p{left_, top_};
    return p;
}

POINT TControl::ClientToScreen(POINT p) const {
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(const_cast<TControl*>(this));
        if (self->HandleAllocated()) ::ClientToScreen(self->Handle(), &p);
        return p;
    }
    p.x += left_;
    p.y += top_;
    return parent_ ? parent_->ClientToScreen(p) : p;
}

POINT TControl::ScreenToClient(POINT p) const {
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(const_cast<TControl*>(this));
        if (self->HandleAllocated()) ::ScreenToClient(self->Handle(), &p);
        return p;
    }
    if (parent_) p = parent_->ScreenToClient(p);
    p.x -= left_;
    p.y -= top_;
    return p;
}

void TControl::SetAlign(TAlign align) {
    if (align == align_) return;
    align_ = align;
    RequestAlign();
}

void TControl::RequestAlign() {
    if (parent_ && !IsLoading()) parent_->Realign();
}

bool TControl::Showing() const { return visible_ && parent_ && parent_->Showing(); }

void TControl::SetVisible(bool visible) {
    if (visible == visible_) return;
    if (!visible && !IsWindowed() && parent_) InvalidateControl(false);
    visible_ = visible;
    Perform(CM_VISIBLECHANGED, visible);
    if (visible && !IsWindowed() && parent_) InvalidateControl(false);
    if (align_ != TAlign::alNone) RequestAlign();
}

void TControl::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor color) {
    if (color == color_) {
        parentColor_ = false;
        return;
    }
    color_ = color;
    parentColor_ = false;
    Perform(CM_COLORCHANGED);
}

void TControl::SetParentColor(bool value) {
    if (value == parentColor_) return;
    parentColor_ = value;
    if (value) ParentColorChanged();
}

void TControl::ParentColorChanged() {
    if (!parentColor_ || !parent_) return;
    if (color_ != parent_->Color()) {
        color_ = parent_->Color();
        Perform(CM_COLORCHANGED);
    }
    parentColor_ = true;
}

void TControl::SetParentFont(bool value) {
    if (value == parentFont_) return;
    parentFont_ = value;
    if (value) ParentFontChanged();
}

void TControl::ParentFontChanged() {
    if (!parentFont_ || !parent_) return;
    applyingParentFont_ = true;
    font_->Assign(parent_->Font());
    applyingParentFont_ = false;
}

void TControl::FontWasChanged() {
    if (!applyingParentFont_) parentFont_ = false;
    Perform(CM_FONTCHANGED);
}

void TControl::SetCaption(const std::u16string& text) {
    if (text == text_) return;
    text_ = text;
    Perform(CM_TEXTCHANGED);
}

void TControl::SetPopupMenu(TPopupMenu* menu) {
    if (menu == popupMenu_) return;
    if (popupMenu_) popupMenu_->RemoveFreeNotification(this);
    popupMenu_ = menu;
    if (popupMenu_) popupMenu_->FreeNotification(this);
}

void TControl::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == popupMenu_) popupMenu_ = nullptr;
}

void TControl::SetCursor(TCursor cursor) {
    if (cursor == cursor_) return;
    cursor_ = cursor;
    Perform(CM_CURSORCHANGED);
}

void TMessageNext::operator()(TMessage& message) const { control_->CallHooksBelow(message, below_); }

void TControl::AddMessageHook(TMessageHook* hook) {
    if (hook && !HasMessageHook(hook)) hooks_.push_back(hook);
}

void TControl::RemoveMessageHook(TMessageHook* hook) {
    auto it = std::find(hooks_.begin(), hooks_.end(), hook);
    if (it == hooks_.end()) return;
    // Indices of messages in flight must stay valid: leave a gap until none is.
    if (hookDepth_ > 0)
        *it = nullptr;
    else
        hooks_.erase(it);
}

bool TControl::HasMessageHook(const TMessageHook* hook) const {
    return hook && std::find(hooks_.begin(), hooks_.end(), hook) != hooks_.end();
}

std::size_t TControl::MessageHookCount() const {
    return static_cast<std::size_t>(std::count_if(hooks_.begin(), hooks_.end(), [](TMessageHook* h) { return h != nullptr; }));
}

void TControl::HookedWndProc(TMessage& m) { CallHooksBelow(m, hooks_.size()); }

void TControl::CallHooksBelow(TMessage& m, std::size_t below) {
    below = std::min(below, hooks_.size());
    while (below > 0 && !hooks_[below - 1]) --below;
    if (below == 0) {
        WndProc(m);
        return;
    }
    struct TDepth {
        TControl* c;
        explicit TDepth(TControl* control) : c(control) { ++c->hookDepth_; }
        ~TDepth() {
            if (--c->hookDepth_ == 0) c->hooks_.erase(std::remove(c->hooks_.begin(), c->hooks_.end(), nullptr), c->hooks_.end());
        }
    } depth(this);
    hooks_[below - 1]->HookMessage(m, TMessageNext(this, below - 1));
}

LRESULT TControl::Perform(UINT message, WPARAM wParam, LPARAM lParam) {
    TMessage m{message, wParam, lParam, 0};
    WindowProc(m);
    return m.Result;
}

void TControl::InvalidateControl(bool opaque) {
    if (!parent_ || !parent_->HandleAllocated()) return;
    RECT r = BoundsRect();
    InvalidateRect(parent_->Handle(), &r, !opaque);
}

void TControl::Invalidate() { InvalidateControl((controlStyle_ & csOpaque) != 0); }

void TControl::Update() {
    if (parent_) parent_->Update();
}

void TControl::Repaint() {
    Invalidate();
    Update();
}

void TControl::Click() {
    if (OnClick) OnClick(this);
}

void TControl::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseDown) OnMouseDown(this, button, shift, x, y);
}
void TControl::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    if (OnMouseUp) OnMouseUp(this, button, shift, x, y);
}
void TControl::MouseMove(TShiftState shift, int x, int y) {
    if (OnMouseMove) OnMouseMove(this, shift, x, y);
}

void TControl::SetControlState(std::uint32_t flags, bool on) {
    if (on)
        controlState_ |= flags;
    else
        controlState_ &= ~flags;
}

bool TControl::MouseCapture() const {
    if (IsWindowed()) {
        auto* self = static_cast<const TWinControl*>(this);
        return self->HandleAllocated() && GetCapture() == const_cast<TWinControl*>(self)->Handle();
    }
    return parent_ && parent_->captureControl_ == this;
}

void TControl::SetMouseCapture(bool capture) {
    if (capture == MouseCapture()) return;
    if (IsWindowed()) {
        auto* self = static_cast<TWinControl*>(this);
        if (capture)
            SetCapture(self->Handle());
        else
            ReleaseCapture();
        return;
    }
    if (!parent_) return;
    if (capture) {
        parent_->captureControl_ = this;
        SetCapture(parent_->Handle());
    } else {
        parent_->captureControl_ = nullptr;
        ReleaseCapture();
    }
}

void TControl::HandleMouse(TMessage& m) {
    int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
    TShiftState shift = KeysToShiftState(m.WParam);
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (controlStyle_ & csCaptureMouse) SetMouseCapture(true);
            if (controlStyle_ & csClickEvents) controlState_ |= csClicked;
            controlState_ |= csLButtonDown;
            if (m.Msg == WM_LBUTTONDBLCLK && (controlStyle_ & csDoubleClicks) && OnDblClick) OnDblClick(this);
            MouseDown(TMouseButton::mbLeft, shift | (m.Msg == WM_LBUTTONDBLCLK ? ssDouble : 0), x, y);
            break;
        case WM_LBUTTONUP: {
            bool clicked = (controlState_ & csClicked) != 0;
            controlState_ &= ~(csClicked | csLButtonDown);
            if (MouseCapture()) SetMouseCapture(false);
            RECT r = ClientRect();
            POINT p{x, y};
            if (clicked && PtInRect(&r, p)) Click();
            MouseUp(TMouseButton::mbLeft, shift, x, y);
            break;
        }
        case WM_RBUTTONDOWN: MouseDown(TMouseButton::mbRight, shift, x, y); break;
        case WM_RBUTTONUP: MouseUp(TMouseButton::mbRight, shift, x, y); break;
        case WM_MBUTTONDOWN: MouseDown(TMouseButton::mbMiddle, shift, x, y); break;
        case WM_MBUTTONUP: MouseUp(TMouseButton::mbMiddle, shift, x, y); break;
        case WM_MOUSEMOVE: MouseMove(shift, x, y); break;
        default: break;
    }
}

void TControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            // The window's own handling first (a system button tracks its own press).
            DefaultHandler(m);
            if (enabled_) HandleMouse(m);
            return;
        case CM_MOUSEENTER:
            mouseInside_ = true;
            if (OnMouseEnter) OnMouseEnter(this);
            return;
        case CM_MOUSELEAVE:
            mouseInside_ = false;
            if (OnMouseLeave) OnMouseLeave(this);
            return;
        case CM_PARENTCOLORCHANGED: ParentColorChanged(); return;
        case CM_PARENTFONTCHANGED: ParentFontChanged(); return;
        case CM_COLORCHANGED:
            ColorChanged();
            Invalidate();
            return;
        case CM_FONTCHANGED:
            FontChanged();
            Invalidate();
            return;
        case CM_TEXTCHANGED:
            TextChanged();
            Invalidate();
            // A window's name changes with its text; a windowless control tells it itself.
            if (!IsWindowed()) NotifyAccessibleEvent(this, EVENT_OBJECT_NAMECHANGE);
            return;
        case CM_ENABLEDCHANGED:
            EnabledChanged();
            Invalidate();
            if (!IsWindowed()) NotifyAccessibleEvent(this, EVENT_OBJECT_STATECHANGE);
            return;
        case CM_VISIBLECHANGED:
            VisibleChanged();
            if (!IsWindowed()) NotifyAccessibleEvent(this, visible_ ? EVENT_OBJECT_SHOW : EVENT_OBJECT_HIDE);
            return;
        default: DefaultHandler(m);
    }
}

void TControl::DescribeAccessible(TAccessibleInfo&) const {}

void TControl::Loaded() {
    TComponent::Loaded();
    if (align_ != TAlign::alNone) RequestAlign();
}

void TControl::ChangeScale(int toDpi, int fromDpi) {
    if (toDpi <= 0 || fromDpi <= 0 || toDpi == fromDpi) return;
    ScaleBounds(toDpi, fromDpi);
    if (!parentFont_) font_->SetHeight(ScaleBetween(font_->Height(), toDpi, fromDpi));
    ScaleMetrics(toDpi, fromDpi);
}

void TControl::ScaleBounds(int toDpi, int fromDpi) {
    const auto scale = [&](int v) { return ScaleBetween(v, toDpi, fromDpi); };
    const int left = scale(left_), top = scale(top_);
    SetBounds(left, top, scale(left_ + width_) - left, scale(top_ + height_) - top);
}

void TControl::BringToFront() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.push_back(this);
    if (IsWindowed() && static_cast<TWinControl*>(this)->HandleAllocated())
        SetWindowPos(static_cast<TWinControl*>(this)->Handle(), HWND_TOP, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

void TControl::SendToBack() {
    if (!parent_) return;
    auto& list = parent_->controls_;
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
    list.insert(list.begin(), this);
    if (IsWindowed() && static_cast<TWinControl*>(this)->HandleAllocated())
        SetWindowPos(static_cast<TWinControl*>(this)->Handle(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Invalidate();
}

// ---- TGraphicControl -----------------------------------------------------------------------

const TClassInfo& TGraphicControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGraphicControl>("TGraphicControl", &TControl::StaticClassInfo()).Build();
    return info;
}

TGraphicControl::TGraphicControl(TComponent* owner) : TControl(owner) {}
TGraphicControl::~TGraphicControl() = default;

void TGraphicControl::WndProc(TMessage& m) {
    if (m.Msg == WM_PAINT && m.WParam) {
        canvas_.SetHandle(reinterpret_cast<HDC>(m.WParam));
        canvas_.Font().Assign(Font());
        try {
            Paint();
        } catch (...) {
            canvas_.SetHandle(nullptr);
            throw;
        }
        canvas_.SetHandle(nullptr);
        return;
    }
    TControl::WndProc(m);
}

// ---- TWinControl ---------------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClassInfo())
            .Int("TabOrder", &TWinControl::TabOrder, &TWinControl::SetTabOrder)
            .Bool("TabStop", &TWinControl::TabStop, &TWinControl::SetTabStop)
            .Bool("DoubleBuffered", &TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered)
            .Bool("ParentBackground", &TWinControl::ParentBackground, &TWinControl::SetParentBackground)
            .Build();
    return info;
}

namespace {
TWinControl* g_creationControl = nullptr;
std::map<std::wstring, WNDPROC>& DefaultProcs() {
    static std::map<std::wstring, WNDPROC> procs;
    return procs;
}
int g_nextChildId = 100;
}  // namespace

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {
    controlStyle_ |= csAcceptsControls;
    brush_.SetColor(Color());
}

namespace {

std::vector<TWinControl*>& FocusKeepers() {
    static std::vector<TWinControl*> keepers;
    return keepers;
}

}  // namespace

TWinControl* TWinControl::HostForm() {
    TWinControl* top = this;
    while (top->Parent()) top = top->Parent();
    return top->AsForm() ? top : nullptr;
}

void TWinControl::KeepsFocusRecord(TWinControl* keeper, bool keeps) {
    auto& keepers = FocusKeepers();
    keepers.erase(std::remove(keepers.begin(), keepers.end(), keeper), keepers.end());
    if (keeps) keepers.push_back(keeper);
}

TWinControl::~TWinControl() {
    BeginDestroy();
    // Any form may hold this control as the one to focus, even after the control has left
    // it (a parent that went first leaves its children without one). Forgotten before the
    // window goes, so that the focus moving away from it does not come straight back.
    for (TWinControl* keeper : std::vector<TWinControl*>(FocusKeepers())) keeper->ForgetControl(this);
    // Owned components go while this control and its window still exist, so that they
    // can give back whatever they took over.
    while (!Components().empty()) delete Components().back();
    for (TControl* c : controls_) c->parent_ = nullptr;
    controls_.clear();
    tabList_.clear();
    DestroyHandle();
    if (parent_) parent_->RemoveControl(this);
}

void TWinControl::InsertControl(TControl* c) {
    controls_.push_back(c);
    c->parent_ = this;
    if (c->IsWindowed()) {
        auto* w = static_cast<TWinControl*>(c);
        tabList_.push_back(w);
        if (handle_) w->CreateHandle();
    } else {
        c->Invalidate();
    }
    if (c->Align() != TAlign::alNone) Realign();
}

void TWinControl::RemoveControl(TControl* c) {
    if (c == captureControl_) captureControl_ = nullptr;
    if (c == hotControl_) hotControl_ = nullptr;
    if (!c->IsWindowed()) c->Invalidate();
    controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
    if (c->IsWindowed()) tabList_.erase(std::remove(tabList_.begin(), tabList_.end(), c), tabList_.end());
    c->parent_ = nullptr;
}

TControl* TWinControl::ControlAtPos(POINT p, bool allowDisabled, bool allowWindowed) const {
    for (auto it = controls_.rbegin(); it != controls_.rend(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() && !allowWindowed) continue;
        if (!c->Visible() || (!allowDisabled && !c->Enabled())) continue;
        RECT r = c->BoundsRect();
        if (PtInRect(&r, p)) return c;
    }
    return nullptr;
}

int TWinControl::TabOrder() const {
    if (!parent_) return -1;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int order) {
    if (!parent_) return;
    auto& list = parent_->tabList_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    order = std::clamp(order, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + order, this);
}

void TWinControl::SetTabStop(bool value) {
    if (value == tabStop_) return;
    tabStop_ = value;
    if (handle_) {
        LONG_PTR style = GetWindowLongPtrW(handle_, GWL_STYLE);
        SetWindowLongPtrW(handle_, GWL_STYLE, value ? (style | WS_TABSTOP) : (style & ~WS_TABSTOP));
    }
    Perform(CM_TABSTOPCHANGED);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : tabList_) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

void TWinControl::SetParentBackground(bool value) {
    if (value == ParentBackground()) return;
    if (value)
        controlStyle_ |= csParentBackground;
    else
        controlStyle_ &= ~csParentBackground;
    Invalidate();
}

bool TWinControl::Focused() const { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->Parent())
        if (!c->Visible() || !c->Enabled()) return false;
    return ParentForm() != nullptr;
}

void TWinControl::SetFocus() {
    if (HWND h = Handle()) ::SetFocus(h);
}

HWND TWinControl::Handle() {
    if (!handle_) CreateHandle();
    return handle_;
}

void TWinControl::CreateParams(TCreateParams& p) {
    p.Caption = Caption();
    p.Style = WS_CHILD | WS_CLIPSIBLINGS;
    if (controlStyle_ & csAcceptsControls) p.Style |= WS_CLIPCHILDREN;
    if (Visible()) p.Style |= WS_VISIBLE;
    if (!Enabled()) p.Style |= WS_DISABLED;
    if (tabStop_) p.Style |= WS_TABSTOP;
    p.X = left_;
    p.Y = top_;
    p.Width = width_;
    p.Height = height_;
    if (parent_) p.WndParent = parent_->Handle();
    p.WinClassName = Utf8ToUtf16(ClassName());
}

void TWinControl::CreateHandle() {
    if (handle_) return;
    if (parent_) parent_->HandleNeeded();
    if (handle_) return;  // the parent created ours with its children
    CreateWnd();
    if (!(controlStyle_ & csAcceptsControls) || defWndProc_ != DefWindowProcW)
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
    for (TControl* c : controls_)
        if (c->IsWindowed()) static_cast<TWinControl*>(c)->CreateHandle();
    CreateWindowHandleDone();
    Realign();
}

void TWinControl::CreateWnd() {
    TCreateParams p;
    CreateParams(p);
    TTimedStep step(TimedStepsHeard() ? KeptStepName("window made: " + ClassName()) : nullptr);
    std::wstring className = W(p.WinClassName);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, className.c_str(), &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        WNDPROC defProc = DefWindowProcW;
        if (!p.SysClassName.empty()) {
            std::wstring sys = W(p.SysClassName);
            if (!GetClassInfoExW(nullptr, sys.c_str(), &wc))
                throw std::runtime_error("the system window class is missing");
            defProc = wc.lpfnWndProc;
            wc.cbSize = sizeof wc;
        } else {
            wc.style = p.ClassStyle;
            wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        }
        wc.lpfnWndProc = InitWndProc;
        wc.hInstance = instance;
        wc.lpszClassName = className.c_str();
        wc.lpszMenuName = nullptr;
        if (!RegisterClassExW(&wc)) throw std::runtime_error("cannot register a window class");
        DefaultProcs()[className] = defProc;
    }
    defWndProc_ = DefaultProcs().count(className) ? DefaultProcs()[className] : DefWindowProcW;
    HMENU id = (p.Style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(g_nextChildId++)) : nullptr;
    std::wstring caption = W(p.Caption);
    g_creationControl = this;
    HWND h = CreateWindowExW(p.ExStyle, className.c_str(), caption.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                             p.WndParent, id, instance, nullptr);
    g_creationControl = nullptr;
    if (!h) throw std::runtime_error("cannot create the window of " + Name());
    handle_ = h;
}

LRESULT CALLBACK TWinControl::InitWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (TWinControl* control = g_creationControl) {
        g_creationControl = nullptr;
        control->handle_ = window;
        control->stub_ = TWndStub(control, &TWinControl::StubEntry);
        SetPropW(window, MAKEINTATOM(ControlAtom()), control);
        // A subclass installed before the first message (by a creation hook) keeps its place:
        // this procedure then stays under it and hands the window's messages to the control.
        if (GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&TWinControl::InitWndProc))
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(control->stub_.Proc()));
        return CallWindowProcW(control->stub_.Proc(), window, message, wParam, lParam);
    }
    auto* bound = static_cast<TWinControl*>(GetPropW(window, MAKEINTATOM(ControlAtom())));
    if (bound && bound->handle_ == window && bound->stub_)
        return CallWindowProcW(bound->stub_.Proc(), window, message, wParam, lParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

LRESULT CALLBACK TWinControl::StubEntry(void* object, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* control = static_cast<TWinControl*>(object);
    TMessage m{message, wParam, lParam, 0};
    control->MainWndProc(m);
    return m.Result;
}

void TWinControl::MainWndProc(TMessage& m) {
    try {
        WindowProc(m);
    } catch (...) {
        // Nothing may unwind into the platform's message dispatch.
        ReportException(this, std::current_exception());
    }
}

void TWinControl::DestroyHandle() {
    if (!handle_) return;
    DestroyWindow(handle_);  // WM_NCDESTROY clears handle_
    handle_ = nullptr;
    stub_ = TWndStub();
}

void TWinControl::HandleNcDestroy(TMessage& m) {
    DefaultHandler(m);
    RemovePropW(handle_, MAKEINTATOM(ControlAtom()));
    // Give the window its class procedure back, unless someone replaced ours since.
    if (stub_ && GetWindowLongPtrW(handle_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(stub_.Proc()))
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(defWndProc_));
    handle_ = nullptr;
    captureControl_ = hotControl_ = nullptr;
    trackingLeave_ = false;
    stub_ = TWndStub();  // left by a jump, so freeing it here is safe
}

void TWinControl::RecreateWnd() {
    if (!handle_) return;
    Perform(CM_RECREATEWND);
    DestroyHandle();
    CreateHandle();
}

void TWinControl::DefaultHandler(TMessage& m) {
    if (!handle_) return;
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) return;  // the framework's own
    m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

RECT TWinControl::ClientRect() const {
    RECT r{0, 0, width_, height_};
    if (handle_) GetClientRect(handle_, &r);
    return r;
}

bool TWinControl::Showing() const {
    if (handle_) return IsWindowVisible(handle_) != FALSE;
    return TControl::Showing();
}

void TWinControl::SetBounds(int left, int top, int width, int height) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (left == left_ && top == top_ && width == width_ && height == height_) return;
    left_ = left;
    top_ = top;
    width_ = width;
    height_ = height;
    if (handle_) SetWindowPos(handle_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    if (Align() != TAlign::alNone) RequestAlign();
    Realign();
}

void TWinControl::SetVisible(bool visible) {
    if (visible == Visible()) return;
    TControl::SetVisible(visible);
    if (handle_)
        SetWindowPos(handle_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE |
                         (visible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
}

void TWinControl::SetEnabled(bool enabled) {
    if (enabled == Enabled()) return;
    if (handle_) EnableWindow(handle_, enabled);
    TControl::SetEnabled(enabled);
}

void TWinControl::Invalidate() {
    if (handle_) InvalidateRect(handle_, nullptr, !(controlStyle_ & csOpaque));
}

void TWinControl::Update() {
    if (handle_) UpdateWindow(handle_);
}

void TWinControl::ColorChanged() {
    brush_.SetColor(Color());
    TMessage m{CM_PARENTCOLORCHANGED, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::FontChanged() {
    if (handle_ && (!(controlStyle_ & csAcceptsControls) || defWndProc_ != DefWindowProcW))
        SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    TMessage m{CM_PARENTFONTCHANGED, 0, 0, 0};
    Broadcast(m);
}

void TWinControl::TextChanged() {
    if (handle_) {
        std::wstring w = W(Caption());
        SetWindowTextW(handle_, w.c_str());
    }
}

void TWinControl::Broadcast(TMessage& message) {
    for (TControl* c : std::vector<TControl*>(controls_)) {
        TMessage copy = message;
        c->WindowProc(copy);
    }
}

void TWinControl::ChangeScale(int toDpi, int fromDpi) {
    if (toDpi <= 0 || fromDpi <= 0 || toDpi == fromDpi) return;
    // Aligned children are placed once, at the end, in the scaled client area: aligning after
    // every single change would scale some of them twice.
    ++realigning_;
    try {
        TControl::ChangeScale(toDpi, fromDpi);
        for (TControl* c : controls_) c->ChangeScale(toDpi, fromDpi);
    } catch (...) {
        --realigning_;
        throw;
    }
    --realigning_;
    Realign();
}

void TWinControl::Realign() {
    if (realigning_ || IsLoading()) return;
    ++realigning_;
    RECT r = ClientRect();
    AlignControls(r);
    --realigning_;
}

void TWinControl::AlignControls(RECT& r) {
    for (TControl* c : controls_) {
        if (!c->Visible() || c->Align() == TAlign::alNone) continue;
        switch (c->Align()) {
            case TAlign::alTop:
                c->SetBounds(r.left, r.top, r.right - r.left, c->Height());
                r.top += c->Height();
                break;
            case TAlign::alBottom:
                c->SetBounds(r.left, r.bottom - c->Height(), r.right - r.left, c->Height());
                r.bottom -= c->Height();
                break;
            case TAlign::alLeft:
                c->SetBounds(r.left, r.top, c->Width(), r.bottom - r.top);
                r.left += c->Width();
                break;
            case TAlign::alRight:
                c->SetBounds(r.right - c->Width(), r.top, c->Width(), r.bottom - r.top);
                r.right -= c->Width();
                break;
            case TAlign::alClient: c->SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); break;
            case TAlign::alNone: break;
        }
    }
}

void TWinControl::PaintWindow(HDC dc) {
    // A window of the framework's own class has nothing to paint but its children. The
    // platform's default handling of a paint would only validate the window, even when it is
    // asked to paint into another DC (a child copying what lies behind it), and the window's
    // own paint would then never come.
    if (defWndProc_ == DefWindowProcW) return;
    TMessage m{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
    DefaultHandler(m);
}

void TWinControl::EraseBackground(HDC dc) {
    RECT r = ClientRect();
    ::FillRect(dc, &r, brush_.Handle());
}

bool HasFrame(HWND window) {
    RECT outer{}, client{};
    if (!window || !GetWindowRect(window, &outer) || !GetClientRect(window, &client)) return true;
    return outer.right - outer.left != client.right || outer.bottom - outer.top != client.bottom;
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
    auto it = controls_.begin();
    if (first) it = std::find(controls_.begin(), controls_.end(), first);
    RECT clip{};
    GetClipBox(dc, &clip);
    for (; it != controls_.end(); ++it) {
        TControl* c = *it;
        if (c->IsWindowed() || !c->Visible()) continue;
        RECT r = c->BoundsRect(), overlap;
        if (!IntersectRect(&overlap, &r, &clip)) continue;
        TSavedDC saved(dc);
        POINT origin{};
        GetViewportOrgEx(dc, &origin);
        SetViewportOrgEx(dc, origin.x + c->Left(), origin.y + c->Top(), nullptr);
        IntersectClipRect(dc, 0, 0, c->Width(), c->Height());
        TTimedStep step(TimedStepsHeard() ? KeptStepName("paint control: " + c->Name()) : nullptr);
        c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    }
}

void TWinControl::PaintHandler(TMessage& m) {
    HDC given = reinterpret_cast<HDC>(m.WParam);
    PAINTSTRUCT ps{};
    HDC dc = given ? given : BeginPaint(handle_, &ps);
    try {
        if (doubleBuffered_ && !given) {
            TDoubleBuffer buffer(dc, ClientRect());
            Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(buffer.Dc()));
            PaintWindow(buffer.Dc());
            PaintControls(buffer.Dc());
        } else {
            PaintWindow(dc);
            PaintControls(dc);
        }
    } catch (...) {
        // A broken picture must not stop the window from finishing its paint cycle.
        OutputDebugStringW(L"paint failed");
    }
    if (!given) EndPaint(handle_, &ps);
}

void TWinControl::TrackMouse(TMessage& m) {
    if (!trackingLeave_) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, handle_, 0};
        if (TrackMouseEvent(&t)) trackingLeave_ = true;
    }
    if (!MouseInside()) Perform(CM_MOUSEENTER);
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* hot = captureControl_ ? captureControl_ : ControlAtPos(p);
    if (hot != hotControl_) {
        if (hotControl_) hotControl_->Perform(CM_MOUSELEAVE);
        hotControl_ = hot;
        if (hot) hot->Perform(CM_MOUSEENTER);
    }
}

bool TWinControl::ShowContextMenu(TMessage& m) {
    POINT screen{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    const bool fromKeyboard = screen.x == -1 && screen.y == -1;
    if (fromKeyboard) {
        screen = POINT{0, 0};
        ::ClientToScreen(handle_, &screen);
    }
    POINT client = screen;
    ::ScreenToClient(handle_, &client);
    TControl* target = fromKeyboard ? nullptr : ControlAtPos(client);
    if (!target || !target->PopupMenu()) target = this;
    TPopupMenu* menu = target->PopupMenu();
    if (!menu) return false;
    menu->SetPopupComponent(target);
    menu->Popup(screen.x, screen.y);
    m.Result = 0;
    return true;
}

bool TWinControl::ForwardMouseToChild(TMessage& m) {
    POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
    TControl* target = captureControl_ ? captureControl_ : ControlAtPos(p);
    if (!target) return false;
    LPARAM local = MAKELPARAM(static_cast<WORD>(p.x - target->Left()), static_cast<WORD>(p.y - target->Top()));
    target->Perform(m.Msg, m.WParam, local);
    return true;
}

void TWinControl::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            if (defWndProc_ != DefWindowProcW && !doubleBuffered_ && !m.WParam &&
                std::none_of(controls_.begin(), controls_.end(), [](TControl* c) { return !c->IsWindowed(); })) {
                DefaultHandler(m);  // a system control with nothing of ours to add
                return;
            }
            PaintHandler(m);
            return;
        case WM_PRINTCLIENT:
            if (defWndProc_ == DefWindowProcW) {
                HDC dc = reinterpret_cast<HDC>(m.WParam);
                if (m.LParam & PRF_ERASEBKGND) EraseBackground(dc);
                try {
                    PaintWindow(dc);
                    PaintControls(dc);
                } catch (...) {
                    // As in WM_PAINT: a broken picture is left out, not reported at every print.
                    OutputDebugStringW(L"print failed");
                }
                return;
            }
            break;
        case WM_NCPAINT:
            // A control of ours with no border or scroll bars has nothing outside its client
            // area: the default frame paint would only fetch and free a window DC.
            if (defWndProc_ == DefWindowProcW && handle_ && !HasFrame(handle_)) return;
            break;
        case WM_ERASEBKGND:
            if (defWndProc_ == DefWindowProcW) {
                EraseBackground(reinterpret_cast<HDC>(m.WParam));
                m.Result = 1;
                return;
            }
            break;
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
            if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
                m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                return;
            }
            break;
        case CN_CTLCOLORBTN:
        case CN_CTLCOLORSTATIC:
        case CN_CTLCOLOREDIT: {
            HDC dc = reinterpret_cast<HDC>(m.WParam);
            SetTextColor(dc, ColorToRGB(Enabled() ? Font().Color() : clGrayText));
            SetBkColor(dc, ColorToRGB(Color()));
            m.Result = reinterpret_cast<LRESULT>(brush_.Handle());
            return;
        }
        case WM_COMMAND:
            if (m.LParam)
                if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
                    m.Result = child->Perform(CN_COMMAND, m.WParam, m.LParam);
                    return;
                }
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            // A scroll bar, track bar or spin control tells its parent; its own control decides.
            if (m.LParam)
                if (TWinControl* child = FindControl(reinterpret_cast<HWND>(m.LParam)); child && child != this) {
                    m.Result = child->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
                    return;
                }
            break;
        case WM_NOTIFY: {
            auto* header = reinterpret_cast<NMHDR*>(m.LParam);
            if (header)
                if (TWinControl* child = FindControl(header->hwndFrom); child && child != this) {
                    m.Result = child->Perform(CN_NOTIFY, m.WParam, m.LParam);
                    return;
                }
            break;
        }
        case WM_DRAWITEM: {
            auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
            if (item && item->CtlType != ODT_MENU)
                if (TWinControl* child = FindControl(item->hwndItem); child && child != this) {
                    m.Result = child->Perform(CN_DRAWITEM, m.WParam, m.LParam);
                    return;
                }
            break;
        }
        case WM_SETFOCUS:
            DefaultHandler(m);
            if (TWinControl* form = HostForm(); form && form != this) form->ControlFocused(this);
            Perform(CM_ENTER);
            return;
        case WM_KILLFOCUS:
            DefaultHandler(m);
            Perform(CM_EXIT);
            return;
        case WM_SETCURSOR:
            if (LOWORD(m.LParam) == HTCLIENT && reinterpret_cast<HWND>(m.WParam) == handle_) {
                POINT p;
                GetCursorPos(&p);
                ::ScreenToClient(handle_, &p);
                TControl* child = ControlAtPos(p);
                TCursor cursor = child && child->Cursor() != crDefault ? child->Cursor() : Cursor();
                if (cursor != crDefault) {
                    ::SetCursor(CursorHandle(cursor));
                    m.Result = 1;
                    return;
                }
            }
            break;
        case WM_MOUSEMOVE:
            TrackMouse(m);
            if (ForwardMouseToChild(m)) return;
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONUP:
            if (ForwardMouseToChild(m)) return;
            break;
        case WM_CONTEXTMENU:
            if (ShowContextMenu(m)) return;
            break;
        case WM_MOUSELEAVE:
            trackingLeave_ = false;
            if (hotControl_) {
                TControl* old = hotControl_;
                hotControl_ = nullptr;
                old->Perform(CM_MOUSELEAVE);
            }
            if (MouseInside()) Perform(CM_MOUSELEAVE);
            DefaultHandler(m);
            return;
        case WM_CANCELMODE:
            captureControl_ = nullptr;
            break;
        case WM_WINDOWPOSCHANGED: {
            DefaultHandler(m);
            RECT r;
            GetWindowRect(handle_, &r);
            if (HWND parent = GetParent(handle_); parent && (GetWindowLongPtrW(handle_, GWL_STYLE) & WS_CHILD))
                MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
            bool resized = RectWidth(r) != width_ || RectHeight(r) != height_;
            left_ = r.left;
            top_ = r.top;
            width_ = RectWidth(r);
            height_ = RectHeight(r);
            if (resized) Realign();
            return;
        }
        case WM_NEXTDLGCTL:
            // A platform control that keeps Tab for itself in a dialog (a multi-line edit) asks
            // its parent to move the focus on, as the platform's dialogs are asked.
            if (TWinControl* form = HostForm()) {
                if (LOWORD(m.LParam)) {
                    if (TWinControl* target = FindHostControl(reinterpret_cast<HWND>(m.WParam)); target && target->CanFocus())
                        target->SetFocus();
                } else {
                    form->MoveFocusOn(m.WParam == 0);
                }
            }
            m.Result = 0;
            return;
        case WM_GETOBJECT:
            // The platform describes its own controls; the framework's own windows add what
            // they paint themselves (their role, name and state, and their windowless children).
            if (defWndProc_ == DefWindowProcW && AnswerAccessibleObject(this, m.WParam, m.LParam, m.Result)) return;
            break;
        case WM_NCDESTROY: HandleNcDestroy(m); return;
        default: break;
    }
    TControl::WndProc(m);
}

// ---- TCustomControl ------------------------------------------------------------------------

const TClassInfo& TCustomControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomControl>("TCustomControl", &TWinControl::StaticClassInfo()).Build();
    return info;
}

TCustomControl::TCustomControl(TComponent* owner) : TWinControl(owner) {}
TCustomControl::~TCustomControl() = default;

void TCustomControl::PaintWindow(HDC dc) {
    canvas_.SetHandle(dc);
    canvas_.Font().Assign(Font());
    try {
        Paint();
    } catch (...) {
        canvas_.SetHandle(nullptr);
        throw;
    }
    canvas_.SetHandle(nullptr);
}

}  // namespace qx
