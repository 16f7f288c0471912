#include "framework/Forms.h"

#include "core/DisplayScale.h"
#include "core/TabOrder.h"
#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/ExceptionReport.h"
#include "framework/Menus.h"
#include "framework/WindowDpi.h"

#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace qx {

static std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

TScreen Screen;
TApplication* Application = nullptr;

static const TEnumInfo FormBorderStyleInfo{
    "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
static const TEnumInfo BorderIconInfo{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
static const TEnumInfo PositionInfo{"TPosition",
                                    {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly",
                                     "poScreenCenter", "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
static const TEnumInfo FormStyleInfo{"TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};

// The first command identifier of the MDI window list.
constexpr UINT kFirstMdiChild = 0xFF00;

const TClassInfo& TCustomForm::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomForm>("TCustomForm", &TWinControl::StaticClassInfo())
            .Enum("BorderStyle", &TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle, FormBorderStyleInfo)
            .Set("BorderIcons", &TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons, BorderIconInfo)
            .Enum("Position", &TCustomForm::Position, &TCustomForm::SetPosition, PositionInfo)
            .Int("ClientWidth", &TCustomForm::StoredClientWidth, &TCustomForm::SetClientWidth)
            .Int("ClientHeight", &TCustomForm::StoredClientHeight, &TCustomForm::SetClientHeight)
            .Int("PixelsPerInch", &TCustomForm::PixelsPerInch, &TCustomForm::SetPixelsPerInch)
            .Bool("AutoScroll", &TCustomForm::AutoScroll, &TCustomForm::SetAutoScroll)
            .Enum("FormStyle", &TCustomForm::FormStyle, &TCustomForm::SetFormStyle, FormStyleInfo)
            .Reference<TMainMenu>("Menu", &TCustomForm::Menu, &TCustomForm::SetMenu)
            .Reference<TMenuItem>("WindowMenu", &TCustomForm::WindowMenu, &TCustomForm::SetWindowMenu)
            .Event("OnClose", &TCustomForm::OnClose)
            .Build();
    return info;
}

const TClassInfo& TForm::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TForm>("TForm", &TCustomForm::StaticClassInfo()).Creatable().Build();
    return info;
}

TCustomForm::TCustomForm(TComponent* owner) : TWinControl(owner) {
    Screen.forms_.push_back(this);
    KeepsFocusRecord(this, true);
    SetParentColor(false);
    SetColor(clBtnFace);
    SetParentFont(false);
    TControl::SetVisible(false);
    controlStyle_ &= ~(csCaptureMouse | csClickEvents);
    left_ = CW_USEDEFAULT;
    top_ = CW_USEDEFAULT;
    width_ = 320;
    height_ = 240;
}

TCustomForm::~TCustomForm() {
    BeginDestroy();
    if (Application) Application->CancelRelease(this);
    // Components first, while the form is still whole: they may give back what they took.
    while (!Components().empty()) delete Components().back();
    DestroyHandle();
    auto& forms = Screen.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    KeepsFocusRecord(this, false);
}

void TCustomForm::SetBorderStyle(TFormBorderStyle style) {
    if (style == borderStyle_) return;
    borderStyle_ = style;
    RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons icons) {
    if (icons == borderIcons_) return;
    borderIcons_ = icons;
    RecreateWnd();
}

DWORD TCustomForm::FrameStyle() const {
    DWORD style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
    bool sysMenu = (borderIcons_ & biSystemMenu) != 0;
    switch (borderStyle_) {
        case TFormBorderStyle::bsNone: style |= WS_POPUP; break;
        case TFormBorderStyle::bsSingle:
        case TFormBorderStyle::bsToolWindow: style |= WS_CAPTION | WS_BORDER; break;
        case TFormBorderStyle::bsSizeable:
        case TFormBorderStyle::bsSizeToolWin: style |= WS_CAPTION | WS_THICKFRAME; break;
        case TFormBorderStyle::bsDialog: style |= WS_POPUP | WS_CAPTION | DS_MODALFRAME; break;
    }
    if (borderStyle_ != TFormBorderStyle::bsNone && sysMenu) {
        style |= WS_SYSMENU;
        bool toolOrDialog = borderStyle_ == TFormBorderStyle::bsDialog || borderStyle_ == TFormBorderStyle::bsToolWindow ||
                            borderStyle_ == TFormBorderStyle::bsSizeToolWin;
        if (!toolOrDialog) {
            if (borderIcons_ & biMinimize) style |= WS_MINIMIZEBOX;
            if (borderIcons_ & biMaximize) style |= WS_MAXIMIZEBOX;
        }
    }
    return style;
}

DWORD TCustomForm::FrameExStyle() const {
    DWORD ex = 0;
    if (borderStyle_ == TFormBorderStyle::bsDialog) ex |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
    if (borderStyle_ == TFormBorderStyle::bsToolWindow || borderStyle_ == TFormBorderStyle::bsSizeToolWin)
        ex |= WS_EX_TOOLWINDOW;
    if (Application && Application->MainForm() == this) ex |= WS_EX_APPWINDOW;
    return ex;
}

void TCustomForm::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.Style = FrameStyle();
    p.ExStyle = FrameExStyle();
    p.WndParent = nullptr;
    if (formStyle_ == TFormStyle::fsMDIChild) {
        // An MDI child lives in its frame's MDI client, which places and activates it.
        p.WndParent = ClientForChild();
        if (!p.WndParent) throw std::runtime_error("the MDI child " + Name() + " has no MDI frame");
        p.Style = (p.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
        if (Visible()) p.Style |= WS_VISIBLE;
        p.ExStyle = (p.ExStyle & ~static_cast<DWORD>(WS_EX_APPWINDOW)) | WS_EX_MDICHILD;
    } else if (formStyle_ == TFormStyle::fsStayOnTop) {
        p.ExStyle |= WS_EX_TOPMOST;
    }
    p.X = left_;
    p.Y = top_;
    if (clientWidth_ >= 0 || clientHeight_ >= 0) {
        RECT r{0, 0, clientWidth_ >= 0 ? clientWidth_ : width_, clientHeight_ >= 0 ? clientHeight_ : height_};
        AdjustWindowRectEx(&r, p.Style, FALSE, p.ExStyle);
        width_ = RectWidth(r);
        height_ = RectHeight(r);
    }
    p.Width = width_;
    p.Height = height_;
}

void TCustomForm::CreateWindowHandleDone() {
    AttachMenu();
    ApplyClientSize();
    if (formStyle_ == TFormStyle::fsMDIForm && !clientHandle_) {
        CLIENTCREATESTRUCT create{};
        create.hWindowMenu = windowMenu_ ? windowMenu_->Handle() : nullptr;
        create.idFirstChild = kFirstMdiChild;
        RECT r{};
        GetClientRect(Handle(), &r);
        clientHandle_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"MDICLIENT", nullptr,
                                        WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_VSCROLL | WS_HSCROLL |
                                            WS_VISIBLE,
                                        0, 0, r.right, r.bottom, Handle(), nullptr, GetModuleHandleW(nullptr), &create);
        if (!clientHandle_) throw std::runtime_error("cannot create the MDI client of " + Name());
    }
    if (!Application || Application->MainForm() != this) return;
    // The application's icon for the caption and the task bar.
    HINSTANCE instance = GetModuleHandleW(nullptr);
    if (HICON big = LoadIconW(instance, L"MAINICON")) {
        SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        auto small = static_cast<HICON>(LoadImageW(instance, L"MAINICON", IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                   GetSystemMetrics(SM_CYSMICON), LR_SHARED));
        if (small) SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    }
}

void TCustomForm::AttachMenu() {
    if (!HandleAllocated() || formStyle_ == TFormStyle::fsMDIChild) return;
    HWND h = Handle();
    HMENU wanted = menu_ ? menu_->Handle() : nullptr;
    if (menu_) menu_->SetWindowHandle(h);
    if (GetMenu(h) != wanted) ::SetMenu(h, wanted);
}

void TCustomForm::SetMenu(TMainMenu* menu) {
    if (menu == menu_) return;
    if (menu_) {
        menu_->RemoveFreeNotification(this);
        menu_->SetWindowHandle(nullptr);
        if (HandleAllocated() && menu_->Items()->HasHandle() && GetMenu(Handle()) == menu_->Handle())
            ::SetMenu(Handle(), nullptr);
    }
    menu_ = menu;
    if (menu_) menu_->FreeNotification(this);
    if (!HandleAllocated()) return;
    AttachMenu();
    SendMessageW(Handle(), CM_MENUCHANGED, 1, 0);
}

void TCustomForm::SetWindowMenu(TMenuItem* item) {
    if (item == windowMenu_) return;
    if (windowMenu_) windowMenu_->RemoveFreeNotification(this);
    windowMenu_ = item;
    if (windowMenu_) windowMenu_->FreeNotification(this);
    if (clientHandle_ && windowMenu_ && windowMenu_->Handle()) {
        SendMessageW(clientHandle_, WM_MDISETMENU, 0, reinterpret_cast<LPARAM>(windowMenu_->Handle()));
        if (GetMenu(Handle())) DrawMenuBar(Handle());
    }
}

void TCustomForm::SetFormStyle(TFormStyle style) {
    if (style == formStyle_) return;
    formStyle_ = style;
    if (style == TFormStyle::fsMDIChild) TControl::SetVisible(true);
    RecreateWnd();
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation != TOperation::opRemove) return;
    if (component == menu_) menu_ = nullptr;
    if (component == windowMenu_) windowMenu_ = nullptr;
}

void TCustomForm::DestroyHandle() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    // A window destroys the menu it shows; the menu's handle belongs to its menu.
    if (HMENU shown = GetMenu(h); shown && menu_ && menu_->Items()->HasHandle() && shown == menu_->Handle())
        ::SetMenu(h, nullptr);
    if (menu_) menu_->SetWindowHandle(nullptr);
    if (formStyle_ == TFormStyle::fsMDIChild) {
        // The MDI client destroys its children itself, so that its list and its frame's
        // maximized-child state stay right.
        HWND client = GetParent(h);
        if (client && IsWindow(client)) SendMessageW(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
    }
    TWinControl::DestroyHandle();
    clientHandle_ = nullptr;
}

void TCustomForm::AlignControls(RECT& rect) {
    TWinControl::AlignControls(rect);
    // The MDI client takes what the aligned controls leave.
    if (clientHandle_)
        SetWindowPos(clientHandle_, nullptr, rect.left, rect.top, RectWidth(rect), RectHeight(rect),
                     SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::DefaultHandler(TMessage& m) {
    if (!HandleAllocated()) return;
    if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) return;  // the framework's own
    if (formStyle_ == TFormStyle::fsMDIForm && clientHandle_) {
        m.Result = DefFrameProcW(Handle(), clientHandle_, m.Msg, m.WParam, m.LParam);
        return;
    }
    if (formStyle_ == TFormStyle::fsMDIChild) {
        m.Result = DefMDIChildProcW(Handle(), m.Msg, m.WParam, m.LParam);
        return;
    }
    TWinControl::DefaultHandler(m);
}

TCustomForm* TCustomForm::MdiParent() const {
    if (formStyle_ != TFormStyle::fsMDIChild) return nullptr;
    auto isFrame = [](TComponent* c) {
        auto* f = dynamic_cast<TCustomForm*>(c);
        return f && f->formStyle_ == TFormStyle::fsMDIForm ? f : nullptr;
    };
    if (HandleAllocated())
        if (HWND client = GetParent(const_cast<TCustomForm*>(this)->Handle()))
            if (TCustomForm* f = isFrame(FindControl(GetParent(client)))) return f;
    if (TCustomForm* f = isFrame(Owner())) return f;
    if (Application)
        if (TCustomForm* f = isFrame(Application->MainForm())) return f;
    for (TCustomForm* f : Screen.Forms())
        if (isFrame(f)) return f;
    return nullptr;
}

HWND TCustomForm::ClientForChild() const {
    TCustomForm* frame = MdiParent();
    if (!frame) return nullptr;
    frame->HandleNeeded();
    return frame->ClientHandle();
}

std::vector<HWND> TCustomForm::MdiChildWindows() const {
    std::vector<HWND> children;
    if (!clientHandle_) return children;
    for (HWND c = GetWindow(clientHandle_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT))
        if (GetWindowLongPtrW(c, GWL_EXSTYLE) & WS_EX_MDICHILD) children.push_back(c);
    return children;
}

int TCustomForm::MDIChildCount() const {
    int n = 0;
    for (HWND c : MdiChildWindows())
        if (dynamic_cast<TCustomForm*>(FindControl(c))) ++n;
    return n;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
    for (HWND c : MdiChildWindows())
        if (auto* f = dynamic_cast<TCustomForm*>(FindControl(c)); f && index-- == 0) return f;
    return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
    if (!clientHandle_) return nullptr;
    return dynamic_cast<TCustomForm*>(FindControl(reinterpret_cast<HWND>(SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0))));
}

void TCustomForm::Tile() {
    if (clientHandle_)
        SendMessageW(clientHandle_, WM_MDITILE, tileMode_ == TTileMode::tbVertical ? MDITILE_VERTICAL : MDITILE_HORIZONTAL, 0);
}

void TCustomForm::Cascade() {
    if (clientHandle_) SendMessageW(clientHandle_, WM_MDICASCADE, 0, 0);
}

void TCustomForm::ArrangeIcons() {
    if (clientHandle_) SendMessageW(clientHandle_, WM_MDIICONARRANGE, 0, 0);
}

void TCustomForm::Next() {
    if (!clientHandle_) return;
    SendMessageW(clientHandle_, WM_MDINEXT, SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0), 0);
}

void TCustomForm::Previous() {
    if (!clientHandle_) return;
    SendMessageW(clientHandle_, WM_MDINEXT, SendMessageW(clientHandle_, WM_MDIGETACTIVE, 0, 0), 1);
}

void TCustomForm::Release() {
    if (Application) Application->QueueRelease(this);
}

void TCustomForm::DoClose() {
    closeAction_ = formStyle_ == TFormStyle::fsMDIChild ? TCloseAction::caFree : TCloseAction::caHide;
    if (OnClose) OnClose(this);
    const TCloseAction action = closeAction_;
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this) {
        Application->Terminate();
        return;
    }
    switch (action) {
        case TCloseAction::caHide: SetVisible(false); break;
        case TCloseAction::caMinimize:
            if (HandleAllocated()) ShowWindow(Handle(), SW_MINIMIZE);
            break;
        case TCloseAction::caFree: Release(); break;
        case TCloseAction::caNone: break;
    }
}

void TCustomForm::ApplyClientSize() {
    if (!HandleAllocated()) return;
    RECT client;
    GetClientRect(Handle(), &client);
    int wantW = clientWidth_ >= 0 ? clientWidth_ : RectWidth(client);
    int wantH = clientHeight_ >= 0 ? clientHeight_ : RectHeight(client);
    if (wantW == RectWidth(client) && wantH == RectHeight(client)) return;
    RECT window;
    GetWindowRect(Handle(), &window);
    SetWindowPos(Handle(), nullptr, 0, 0, RectWidth(window) + wantW - RectWidth(client),
                 RectHeight(window) + wantH - RectHeight(client), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::SetPixelsPerInch(int dpi) {
    if (dpi <= 0) return;
    // While the layout is read this names the scale it was written for; afterwards it is a
    // request to lay the form out at another.
    if (IsLoading())
        pixelsPerInch_ = dpi;
    else
        ChangeScale(dpi, pixelsPerInch_);
}

void TCustomForm::ScaleToDisplay() {
    const int dpi = HandleAllocated() ? WindowDpi(Handle()) : SystemDpi();
    ChangeScale(dpi, pixelsPerInch_);
}

void TCustomForm::ChangeScale(int toDpi, int fromDpi) {
    if (toDpi <= 0 || fromDpi <= 0 || toDpi == fromDpi) return;
    pixelsPerInch_ = toDpi;
    TWinControl::ChangeScale(toDpi, fromDpi);
}

void TCustomForm::ScaleBounds(int toDpi, int fromDpi) {
    // A form keeps its place on the screen; its client area is what the layout sizes.
    const auto scale = [&](int v) { return ScaleBetween(v, toDpi, fromDpi); };
    if (clientWidth_ >= 0) clientWidth_ = scale(clientWidth_);
    if (clientHeight_ >= 0) clientHeight_ = scale(clientHeight_);
    if (!HandleAllocated()) {
        width_ = scale(width_);
        height_ = scale(height_);
        return;
    }
    if (clientWidth_ < 0 || clientHeight_ < 0) {
        const RECT client = TWinControl::ClientRect();
        if (clientWidth_ < 0) clientWidth_ = scale(RectWidth(client));
        if (clientHeight_ < 0) clientHeight_ = scale(RectHeight(client));
    }
    ApplyClientSize();
}

void TCustomForm::DisplayScaleChanged(int dpi, const RECT& suggested) {
    ChangeScale(dpi, pixelsPerInch_);
    // The platform's rectangle keeps the window under the pointer on the new display; the
    // client size follows from it and the frame.
    SetWindowPos(Handle(), nullptr, suggested.left, suggested.top, RectWidth(suggested), RectHeight(suggested),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    Invalidate();
}

void TCustomForm::SetClientWidth(int width) {
    clientWidth_ = width;
    ApplyClientSize();
}

void TCustomForm::SetClientHeight(int height) {
    clientHeight_ = height;
    ApplyClientSize();
}

SIZE TCustomForm::WantedClientSize() const {
    const RECT r = ClientRect();
    return SIZE{clientWidth_ >= 0 ? clientWidth_ : RectWidth(r), clientHeight_ >= 0 ? clientHeight_ : RectHeight(r)};
}

RECT TCustomForm::ClientRect() const {
    if (HandleAllocated()) return TWinControl::ClientRect();
    return {0, 0, clientWidth_ >= 0 ? clientWidth_ : width_, clientHeight_ >= 0 ? clientHeight_ : height_};
}

void TCustomForm::PlaceOnScreen() {
    placed_ = true;
    if (position_ != TPosition::poScreenCenter && position_ != TPosition::poDesktopCenter &&
        position_ != TPosition::poMainFormCenter && position_ != TPosition::poOwnerFormCenter)
        return;
    RECT r;
    GetWindowRect(Handle(), &r);
    int sw = GetSystemMetrics(position_ == TPosition::poDesktopCenter ? SM_CXVIRTUALSCREEN : SM_CXSCREEN);
    int sh = GetSystemMetrics(position_ == TPosition::poDesktopCenter ? SM_CYVIRTUALSCREEN : SM_CYSCREEN);
    int x = (sw - RectWidth(r)) / 2, y = (sh - RectHeight(r)) / 2;
    if (position_ == TPosition::poMainFormCenter || position_ == TPosition::poOwnerFormCenter) {
        TCustomForm* main = Application ? Application->MainForm() : nullptr;
        if (main && main != this && main->HandleAllocated()) {
            RECT m;
            GetWindowRect(main->Handle(), &m);
            x = m.left + (RectWidth(m) - RectWidth(r)) / 2;
            y = m.top + (RectHeight(m) - RectHeight(r)) / 2;
        }
    }
    SetWindowPos(Handle(), nullptr, std::max(0, x), std::max(0, y), 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TCustomForm::SetVisible(bool visible) {
    if (visible == Visible() && (!visible || Showing())) return;
    TControl::SetVisible(visible);
    if (IsLoading()) return;
    if (visible) {
        HandleNeeded();
        if (formStyle_ == TFormStyle::fsMDIChild) {
            // The MDI client decides whether a new child shows maximized.
            if (!IsWindowVisible(Handle())) ShowWindow(Handle(), SW_SHOW);
            return;
        }
        if (!placed_) PlaceOnScreen();
        ShowWindow(Handle(), SW_SHOWNORMAL);
        UpdateWindow(Handle());
    } else if (HandleAllocated()) {
        ShowWindow(Handle(), SW_HIDE);
    }
}

bool TCustomForm::Showing() const { return HandleAllocated() && IsWindowVisible(const_cast<TCustomForm*>(this)->Handle()); }

void TCustomForm::Show() {
    SetVisible(true);
    if (formStyle_ == TFormStyle::fsMDIChild) {
        if (HWND client = GetParent(Handle())) SendMessageW(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Handle()), 0);
        return;
    }
    SetForegroundWindow(Handle());
}

void TCustomForm::Close() { Perform(WM_CLOSE); }

bool TCustomForm::Active() const { return HandleAllocated() && GetActiveWindow() == const_cast<TCustomForm*>(this)->Handle(); }

void TCustomForm::SetActiveControl(TWinControl* control) {
    activeControl_ = control;
    if (control && Showing() && control->CanFocus()) control->SetFocus();
}

static void BroadcastDeep(TWinControl* parent, TMessage& m) {
    for (TControl* c : std::vector<TControl*>(parent->Controls())) {
        TMessage copy = m;
        c->WindowProc(copy);
        if (c->IsWindowed()) BroadcastDeep(static_cast<TWinControl*>(c), m);
    }
}

void TCustomForm::FocusChanged(TWinControl* control) {
    activeControl_ = control;
    TMessage m{CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control), 0};
    BroadcastDeep(this, m);
}

namespace {

// The controls in tab order as the keyboard rules see them.
std::vector<TTabEntry> TabEntries(const std::vector<TWinControl*>& list) {
    std::vector<TTabEntry> entries;
    std::vector<const TWinControl*> groups;  // the parents of radio buttons, one group each
    entries.reserve(list.size());
    for (const TWinControl* c : list) {
        TTabEntry e;
        e.focusable = c->CanFocus();
        e.tabStop = c->TabStop();
        bool checked = false;
        if (c->IsRadioButton(checked)) {
            auto it = std::find(groups.begin(), groups.end(), c->Parent());
            if (it == groups.end()) it = groups.insert(groups.end(), c->Parent());
            e.group = static_cast<int>(it - groups.begin());
            e.checked = checked;
        }
        entries.push_back(e);
    }
    return entries;
}

int IndexOf(const std::vector<TWinControl*>& list, const TWinControl* control) {
    auto it = std::find(list.begin(), list.end(), control);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

// Offers a message to every control under parent, depth first, until one answers non-zero.
bool OfferToControls(TWinControl* parent, UINT message, WPARAM wParam, LPARAM lParam) {
    for (TControl* c : std::vector<TControl*>(parent->Controls())) {
        if (c->Perform(message, wParam, lParam) != 0) return true;
        if (c->IsWindowed() && OfferToControls(static_cast<TWinControl*>(c), message, wParam, lParam)) return true;
    }
    return false;
}

}  // namespace

TWinControl* TCustomForm::FindNextControl(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int next = NextTabStop(TabEntries(list), IndexOf(list, current), forward);
    return next < 0 ? nullptr : list[static_cast<std::size_t>(next)];
}

TWinControl* TCustomForm::FindNextInGroup(TWinControl* current, bool forward) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    const int next = NextInGroup(TabEntries(list), IndexOf(list, current), forward);
    return next < 0 ? nullptr : list[static_cast<std::size_t>(next)];
}

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
    TWinControl* next = FindNextControl(current, forward);
    if (!next) return;
    next->SetFocus();
    // Text reached by the keyboard is selected whole, as the platform's dialogs select it, so
    // that typing replaces it and the selection shows where the focus is.
    if (next->HandleAllocated() && GetFocus() == next->Handle() &&
        (SendMessageW(next->Handle(), WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageW(next->Handle(), EM_SETSEL, 0, -1);
}

TWinControl* TCustomForm::FocusedControl() const {
    TWinControl* c = FindHostControl(GetFocus());
    return c && c != this && c->ParentForm() == this ? c : nullptr;
}

bool TCustomForm::DialogKey(WPARAM key) {
    TWinControl* current = FocusedControl();
    switch (key) {
        case VK_TAB:
            SelectNext(current, GetKeyState(VK_SHIFT) >= 0);
            return true;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: {
            const bool forward = key == VK_RIGHT || key == VK_DOWN;
            bool checked = false;
            if (current && current->IsRadioButton(checked)) {
                // Inside a radio group the arrows move to the next button and check it, as the
                // platform's radio buttons are checked when the keyboard gives them the focus.
                if (TWinControl* next = FindNextInGroup(current, forward)) {
                    next->SetFocus();
                    next->CheckFromKeyboard();
                }
                return true;
            }
            SelectNext(current, forward);
            return true;
        }
        case VK_RETURN:
        case VK_ESCAPE:
            // The form's default (Enter) or cancel (Escape) button, wherever it is.
            return OfferToControls(this, CM_DIALOGKEY, key, 0);
        default: return false;
    }
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGKEY: m.Result = DialogKey(m.WParam) ? 1 : 0; return;
        case CM_DIALOGCHAR:
            // An accelerator: the control whose caption has it takes it.
            m.Result = OfferToControls(this, CM_DIALOGCHAR, m.WParam, m.LParam) ? 1 : 0;
            return;
        case WM_CLOSE: DoClose(); return;
        case WM_DPICHANGED:
            if (m.LParam) {
                DisplayScaleChanged(LOWORD(m.WParam), *reinterpret_cast<const RECT*>(m.LParam));
                m.Result = 0;
                return;
            }
            break;
        case WM_COMMAND:
            // A menu's command (an accelerator's too); the MDI window list and everything
            // else go on to the default handling.
            if (m.LParam == 0 && HIWORD(m.WParam) <= 1 && menu_ && menu_->DispatchCommand(LOWORD(m.WParam))) {
                m.Result = 0;
                return;
            }
            break;
        case WM_INITMENUPOPUP:
            if (menu_) menu_->DispatchPopup(reinterpret_cast<HMENU>(m.WParam));
            break;
        case WM_MEASUREITEM:
            if (DispatchMenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam))) {
                m.Result = TRUE;
                return;
            }
            break;
        case WM_DRAWITEM:
            if (DispatchMenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam))) {
                m.Result = TRUE;
                return;
            }
            break;
        case WM_ACTIVATE:
            TWinControl::WndProc(m);
            if (LOWORD(m.WParam) != WA_INACTIVE && !HIWORD(m.WParam)) {
                // Back to the control that had the focus; the first tab stop when there is
                // none, or when it can no longer take it.
                if (activeControl_ && activeControl_->CanFocus())
                    activeControl_->SetFocus();
                else
                    SelectNext(nullptr, true);
            }
            return;
        case WM_SETFOCUS:
            // A form gives the focus on to its active control.
            if (activeControl_ && activeControl_->CanFocus()) {
                activeControl_->SetFocus();
                return;
            }
            break;
        default: break;
    }
    TWinControl::WndProc(m);
}

TCustomForm* TScreen::ActiveForm() const {
    HWND active = GetActiveWindow();
    for (TCustomForm* f : forms_)
        if (f->HandleAllocated() && f->Handle() == active) return f;
    return nullptr;
}

// ---- TApplication --------------------------------------------------------------------------

TApplication::TApplication() {
    Application = this;
    SetExceptionReporter([](TObject* sender, std::exception_ptr error) {
        if (Application) Application->HandleException(sender, error);
    });
}

TApplication::~TApplication() {
    DestroyForms();
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) forms_.pop_back();
    mainForm_ = nullptr;
}

void TApplication::Terminate() { PostQuitMessage(0); }

namespace {

bool IsNavigationKey(WPARAM key) {
    switch (key) {
        case VK_TAB:
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN:
        case VK_RETURN:
        case VK_ESCAPE: return true;
        default: return false;
    }
}

LRESULT DialogCode(HWND window, MSG& msg) {
    return SendMessageW(window, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
}

// Whether a window keeps a navigation key for itself (an edit its arrows, say).
bool WantsKey(HWND window, MSG& msg) {
    const LRESULT code = DialogCode(window, msg);
    if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return true;
    switch (msg.wParam) {
        case VK_TAB: return (code & DLGC_WANTTAB) != 0;
        case VK_LEFT:
        case VK_UP:
        case VK_RIGHT:
        case VK_DOWN: return (code & DLGC_WANTARROWS) != 0;
        default: return false;
    }
}

// Tab, the arrows, Enter and Escape: the focused window and each window above it inside the
// form may keep the key; otherwise the focused control and then each of its parents up to the
// form is offered it as a dialog key.
bool DialogKeyDown(MSG& msg) {
    if (!IsNavigationKey(msg.wParam) || GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return false;
    TWinControl* focused = FindHostControl(msg.hwnd);
    TCustomForm* form = focused ? focused->ParentForm() : nullptr;
    if (!form || !form->HandleAllocated()) return false;
    for (HWND w = msg.hwnd; w && w != form->Handle(); w = GetAncestor(w, GA_PARENT))
        if (WantsKey(w, msg)) return false;
    for (TWinControl* c = focused; c; c = c->Parent())
        if (c->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0) return true;
    return false;
}

// A character as an accelerator: always with Alt; without it only where the focused window
// does not take typed characters.
bool DialogChar(MSG& msg) {
    if (msg.wParam <= u' ') return false;
    TWinControl* focused = FindHostControl(msg.hwnd);
    TCustomForm* form = focused ? focused->ParentForm() : nullptr;
    if (!form) return false;
    const LRESULT typing = DLGC_WANTCHARS | DLGC_WANTALLKEYS | DLGC_WANTMESSAGE;
    if (msg.message == WM_CHAR && (DialogCode(msg.hwnd, msg) & typing)) return false;
    if (form->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0) return true;
    // Alt with a letter in an MDI child may also name an item of its frame's menus.
    TCustomForm* frame = form->FormStyle() == TFormStyle::fsMDIChild ? form->MdiParent() : nullptr;
    return msg.message == WM_SYSCHAR && frame && frame->Perform(CM_DIALOGCHAR, msg.wParam, msg.lParam) != 0;
}

}  // namespace

bool TApplication::IsDialogKey(MSG& msg) {
    switch (msg.message) {
        case WM_KEYDOWN: return DialogKeyDown(msg);
        case WM_CHAR:
        case WM_SYSCHAR: return DialogChar(msg);
        default: return false;
    }
}

namespace {

TShiftState KeyboardShift() {
    TShiftState shift = 0;
    if (GetKeyState(VK_SHIFT) < 0) shift |= ssShift;
    if (GetKeyState(VK_CONTROL) < 0) shift |= ssCtrl;
    if (GetKeyState(VK_MENU) < 0) shift |= ssAlt;
    return shift;
}

// The framework form that holds the window (the innermost one: an MDI child before its frame).
TCustomForm* FormOfWindow(HWND window) {
    for (HWND w = window; w; w = GetParent(w))
        if (TWinControl* control = FindControl(w)) return control->ParentForm();
    return nullptr;
}

}  // namespace

bool TApplication::IsKeyMessage(MSG& msg) {
    if (msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
    TCustomForm* form = FormOfWindow(msg.hwnd);
    if (!form) return false;
    TCustomForm* frame = form->FormStyle() == TFormStyle::fsMDIChild ? form->MdiParent() : form;
    if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) {
        const TShortCut shortCut = ShortCut(static_cast<WORD>(msg.wParam), KeyboardShift());
        for (TCustomForm* f : {form, frame})
            if (f && f->Menu() && f->Menu()->IsShortCut(shortCut)) return true;
    }
    if (frame && frame->ClientHandle() && TranslateMDISysAccel(frame->ClientHandle(), &msg)) return true;
    return false;
}

namespace {

// "paint: TRadioButton", "message 0x3503: TFrmAna": each name made once, kept for the listener.
const char* DispatchStepName(const MSG& msg) {
    wchar_t className[64] = {};
    GetClassNameW(msg.hwnd, className, 64);
    const std::string what = msg.message == WM_PAINT ? std::string("paint") : "message 0x" + HexDigits(msg.message, 4);
    return KeptStepName(what + ": " + Utf16ToUtf8(reinterpret_cast<const char16_t*>(className)));
}

}  // namespace

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    ++dispatching_;
    try {
        if (!IsKeyMessage(msg) && !IsDialogKey(msg)) {
            TTimedStep step(TimedStepsHeard() ? DispatchStepName(msg) : nullptr);
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    } catch (...) {
        --dispatching_;
        throw;
    }
    --dispatching_;
    if (dispatching_ == 0) FreeReleased();
    return true;
}

void TApplication::QueueRelease(TCustomForm* form) {
    if (!form || std::find(released_.begin(), released_.end(), form) != released_.end()) return;
    released_.push_back(form);
    // Wakes the message loop so that the form goes soon.
    PostThreadMessageW(GetCurrentThreadId(), WM_NULL, 0, 0);
}

void TApplication::CancelRelease(TCustomForm* form) {
    released_.erase(std::remove(released_.begin(), released_.end(), form), released_.end());
}

void TApplication::FreeReleased() {
    while (!released_.empty()) {
        TCustomForm* form = released_.front();
        released_.erase(released_.begin());
        auto owned = std::find_if(forms_.begin(), forms_.end(), [form](const auto& f) { return f.get() == form; });
        if (owned != forms_.end()) {
            if (mainForm_ == form) mainForm_ = nullptr;
            forms_.erase(owned);
        } else {
            delete form;
        }
    }
}

void TApplication::ProcessMessages() {
    while (ProcessMessage()) {
    }
}

void TApplication::Run() {
    if (mainForm_) mainForm_->Show();
    while (!terminated_) {
        if (!ProcessMessage() && !terminated_) WaitMessage();
    }
}

static HWND BoxOwner() {
    HWND active = GetActiveWindow();
    if (active && FindControl(active)) return active;
    TCustomForm* main = Application ? Application->MainForm() : nullptr;
    return main && main->HandleAllocated() && main->Showing() ? main->Handle() : nullptr;
}

int TApplication::MessageBox(const std::u16string& text, const std::u16string& caption, UINT flags) {
    if (OnMessageBox) return OnMessageBox(text, caption, flags);
    HWND owner = BoxOwner();
    std::wstring t = W(text), c = W(caption);
    int result = ::MessageBoxW(owner, t.c_str(), c.c_str(), flags | (owner ? 0 : MB_TASKMODAL));
    return result;
}

std::u16string ExceptionText(std::exception_ptr error) {
    try {
        if (error) std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return Utf8ToUtf16(e.what());
    } catch (...) {
    }
    return u"Unknown error";
}

void TApplication::HandleException(TObject* sender, std::exception_ptr error) {
    static bool showing = false;
    if (showing) return;  // an error while an error is shown is not shown again
    showing = true;
    std::u16string text = ExceptionText(error);
    try {
        if (OnException)
            OnException(text);
        else
            this->MessageBox(text, title_, MB_OK | MB_ICONSTOP);
    } catch (...) {
    }
    showing = false;
}

}  // namespace qx
