#include "framework/Forms.h"

#include "core/Text.h"
#include "framework/Register.h"

#include <objbase.h>

#include <algorithm>
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
    // Components first, while the form is still whole: they may give back what they took.
    while (!Components().empty()) delete Components().back();
    DestroyHandle();
    auto& forms = Screen.forms_;
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
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
    ApplyClientSize();
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

void TCustomForm::SelectNext(TWinControl* current, bool forward) {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    std::vector<TWinControl*> stops;
    for (TWinControl* c : list)
        if (c->TabStop() && c->CanFocus()) stops.push_back(c);
    if (stops.empty()) return;
    auto it = std::find(stops.begin(), stops.end(), current);
    std::size_t i;
    if (it == stops.end())
        i = forward ? 0 : stops.size() - 1;
    else
        i = forward ? (static_cast<std::size_t>(it - stops.begin()) + 1) % stops.size()
                    : (static_cast<std::size_t>(it - stops.begin()) + stops.size() - 1) % stops.size();
    stops[i]->SetFocus();
}

bool TCustomForm::DialogKey(WPARAM key) {
    if (key == VK_TAB) {
        bool back = GetKeyState(VK_SHIFT) < 0;
        HWND focus = GetFocus();
        SelectNext(FindControl(focus), !back);
        return true;
    }
    return false;
}

void TCustomForm::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_DIALOGKEY: m.Result = DialogKey(m.WParam) ? 1 : 0; return;
        case WM_CLOSE:
            if (OnClose) OnClose(this);
            if (Application && Application->MainForm() == this)
                Application->Terminate();
            else
                SetVisible(false);
            return;
        case WM_ACTIVATE:
            TWinControl::WndProc(m);
            if (LOWORD(m.WParam) != WA_INACTIVE) {
                if (activeControl_ && activeControl_->CanFocus())
                    activeControl_->SetFocus();
                else if (!activeControl_)
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

TApplication::TApplication() { Application = this; }

TApplication::~TApplication() {
    DestroyForms();
    if (comInitialized_) CoUninitialize();
    if (Application == this) Application = nullptr;
}

void TApplication::Initialize() {
    comInitialized_ = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    RegisterFrameworkClasses();
}

void TApplication::DestroyForms() {
    while (!forms_.empty()) forms_.pop_back();
    mainForm_ = nullptr;
}

void TApplication::Terminate() { PostQuitMessage(0); }

bool TApplication::IsDialogKey(MSG& msg) {
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.wParam != VK_TAB && msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE) return false;
    TWinControl* control = FindControl(msg.hwnd);
    if (!control) return false;
    LRESULT code = SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if ((code & DLGC_WANTALLKEYS) || (msg.wParam == VK_TAB && (code & DLGC_WANTTAB))) return false;
    TCustomForm* form = control->ParentForm();
    return form && form->Perform(CM_DIALOGKEY, msg.wParam, msg.lParam) != 0;
}

bool TApplication::ProcessMessage() {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    if (msg.message == WM_QUIT) {
        terminated_ = true;
        return true;
    }
    if (!IsDialogKey(msg)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return true;
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
