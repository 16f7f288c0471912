#include "skin/SkinForm.h"

#include "core/TimedSteps.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "skin/ControlSkinners.h"
#include "skin/DispatchRules.h"
#include "skin/MenuBar.h"
#include "skin/SkinData.h"
#include "skin/SkinnerOwner.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>

namespace qx {

namespace {

// Undocumented messages with which newer systems draw the caption and frame themselves.
constexpr UINT WM_NCUAHDRAWCAPTION = 0xAE;
constexpr UINT WM_NCUAHDRAWFRAME = 0xAF;

bool IsSystemCommand(WPARAM command) {
    switch (command & 0xFFF0) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MINIMIZE:
        case SC_MAXIMIZE:
        case SC_NEXTWINDOW:
        case SC_PREVWINDOW:
        case SC_CLOSE:
        case SC_RESTORE: return (command & 0x000F) == 0;
        default: return false;
    }
}

TCaptionTextPainter* g_captionPainter = nullptr;

int Width(const RECT& r) { return r.right - r.left; }

}  // namespace

TCaptionTextPainter* DefaultCaptionPainter() { return g_captionPainter; }
void SetDefaultCaptionPainter(TCaptionTextPainter* painter) { g_captionPainter = painter; }

TSkinForm::TSkinForm(HWND window)
    : FHandle(window), FCaptionPainter(DefaultCaptionPainter()), FSystemCommands(std::make_unique<TSystemCommands>(*this)),
      FDispatch(std::make_unique<TChildDispatch>(*this)),
      FButtons(std::make_unique<TCaptionButtons>(*this)),
      FMenus(std::make_unique<TMenuBarTracker>(*this)),
      FFrame(std::make_unique<TFramePainter>(*this)) {}

TSkinForm::~TSkinForm() {
    // Nothing the window still calls may outlive this object.
    if (!FReleased) {
        if (IsWindow(FHandle))
            Unskin();
        else
            DetachAtDestroy();
    }
    FreeControlSkinners();
    FMenus->SkinFormMenus(false);
    // The system menu draws its items through the menus: it goes first.
    FSystemCommands.reset();
    FMenus.reset();
}

HWND TSkinForm::Handle() const { return FHandle; }
TCustomForm* TSkinForm::Form() const { return FForm; }
TSkinData* TSkinForm::SkinData() const { return FSkinData; }
bool TSkinForm::Active() const { return FActive; }
bool TSkinForm::RightToLeft() const { return FRightToLeft; }
bool TSkinForm::Released() const { return FReleased; }
TNCObjectHost& TSkinForm::CaptionObjects() { return *FButtons; }
HMENU TSkinForm::SystemMenu() const { return FSysMenu; }
TWindowState TSkinForm::WindowState() const { return FWindowState; }
TMdiKind TSkinForm::MdiKind() const { return FMDIKind; }
TSkinMenuBar* TSkinForm::MenuBar() const { return FMenus->MenuBar(); }
TSkinnerLife TSkinForm::Life() const { return FLife; }
TBorderKind TSkinForm::BorderKind() const { return FBorderKind; }
bool TSkinForm::SkinFrame() const { return FSkinFrame; }
bool TSkinForm::IsDialog() const { return FIsDialog; }
bool TSkinForm::IsChild() const { return FIsChild; }
TCaptionButtons& TSkinForm::CaptionButtons() { return *FButtons; }
HDC TSkinForm::WindowDc() { return GetWindowDC(FHandle); }
int TSkinForm::Dpi() const { return FFrame->Dpi(); }
TSkinScale TSkinForm::SkinScale() const { return FFrame->SkinScale(); }
int TSkinForm::Scaled(int length) const { return FFrame->Scaled(length); }
TBitmap& TSkinForm::LoadWindowIcon() { return FFrame->LoadWindowIcon(); }
void TSkinForm::DrawWindowIcon(HDC dc, const RECT& rect) { FFrame->DrawWindowIcon(dc, rect); }

bool TSkinForm::WriteCaptionText(HDC strip, const RECT& captionRect) {
    if (!FCaptionPainter) return false;
    FCaptionPainter->LayoutCaptionButtons(*this);
    FCaptionPainter->DrawCaptionText(*this, strip, captionRect);
    return true;
}

void TSkinForm::Release() {
    if (FReleased) return;
    if (IsWindow(FHandle))
        Unskin();
    else
        DetachAtDestroy();
}

// ---- take-over ---------------------------------------------------------------------------------

void TSkinForm::AttachForm(TSkinData* skinData, TCustomForm* form) {
    FForm = form;
    form->SetAutoScroll(false);
    {
        TTimedStep step("attach: window taken over");
        AttachWindow(skinData);
    }
    FSavedColor = form->Color();
    FColorSaved = true;
    TTimedStep step("attach: form colour");
    form->SetColor(skinData->Colours.ButtonFace);
}

void TSkinForm::ReadStyles() {
    FStyle = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    FRightToLeft = (ex & WS_EX_LEFTSCROLLBAR) != 0;
    FIsChild = (FStyle & WS_CHILD) != 0;
    FSizeable = (FStyle & WS_THICKFRAME) != 0;
    FCaps = 0;
    if ((FStyle & WS_SYSMENU) || FSysMenu) FCaps |= fcSysMenu;
    if (FStyle & WS_MINIMIZEBOX) FCaps |= fcMinBox;
    if (FStyle & WS_MAXIMIZEBOX) FCaps |= fcMaxBox;
}

void TSkinForm::ReadWindowState() {
    WINDOWPLACEMENT placement{sizeof placement};
    if (!GetWindowPlacement(FHandle, &placement)) return;
    switch (placement.showCmd) {
        case SW_SHOWMINIMIZED:
        case SW_MINIMIZE:
        case SW_SHOWMINNOACTIVE: FWindowState = wsMinimized; break;
        case SW_SHOWMAXIMIZED: FWindowState = wsMaximized; break;
        default: FWindowState = wsNormal; break;
    }
}

void TSkinForm::AttachWindow(TSkinData* skinData) {
    if (FSubclass.Installed() || FHooked || !skinData) return;
    TSkinnerOwner& manager = EnsureSkinnerOwner();
    if (manager.State() == msIdle) manager.SetState(msRunning);
    FSkinData = skinData;
    FHoverTimer = std::make_unique<TTimer>(nullptr);
    FHoverTimer->SetEnabled(false);
    FHoverTimer->SetInterval(250);
    FHoverTimer->OnTimer = [this](TObject*) { OnHoverTimer(); };
    ReadWindowKind(*skinData);
    if (FMDIKind == mkFrame && FClientHandle) FClientHook.Install(FClientHandle);
    if (!FIsChild && FSkinFrame && FBorderKind != bkNoCaption) {
        // Nothing is drawn until the start message has fitted the window to the skin.
        SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
        FRedrawOff = true;
    }
    // A framework form's messages all pass through its own handler: the skinner takes its
    // place in front of it there, as the control skinners do with their controls, and the
    // window procedure stays the form's. A raw window is subclassed.
    if (FForm) {
        FForm->AddMessageHook(this);
        FHooked = true;
    } else {
        FSubclass.Install(FHandle, &TSkinForm::SubclassProc, this);
    }
    TTimedStep step("attach: frame taken over");
    TakeOverFrame();
}

void TSkinForm::ReadWindowKind(TSkinData& skinData) {
    TSkinnerOwner& manager = EnsureSkinnerOwner();
    // A skin without a caption strip leaves the window its own frame (its controls are still skinned).
    FSkinFrame = (skinData.SkinControls() & SkinControlBit(xcMainMenu)) != 0 && skinData.HasFrame();
    ReadStyles();
    const TFormWindowClass windowClass = FormWindowClassOf(FHandle);
    FKeepsOwnPopupMenus = windowClass.KeepsOwnPopupMenus;
    FOwnerWindow = GetWindow(FHandle, GW_OWNER);
    ReadWindowState();
    // One look-up by class: asking every child its class cost a call per control.
    if (const HWND client = FindWindowExW(FHandle, nullptr, L"MDIClient", nullptr); client && IsMdiClientWindow(client)) {
        FMDIKind = mkFrame;
        FClientHandle = client;
        manager.SetMDIFrame(client, FForm);
    }
    const LONG_PTR ex = GetWindowLongPtrW(FHandle, GWL_EXSTYLE);
    if (ex & WS_EX_MDICHILD) {
        FMDIKind = mkChild;
        if (skinData.Options() & SkinOptionBit(xoMDIChildBorder)) FSkinFrame = false;
    }
    if ((FStyle & WS_CAPTION) != WS_CAPTION)
        FBorderKind = bkNoCaption;
    else if (FStyle & WS_THICKFRAME)
        FBorderKind = bkSizeable;
    else if (FStyle & DS_MODALFRAME)
        FBorderKind = bkDialog;
    else
        FBorderKind = bkSingle;
    if (ex & WS_EX_DLGMODALFRAME) FBorderKind = bkDialog;
    if (windowClass.Dialog) {
        FBorderKind = bkDialog;
        FIsDialog = true;
    }
    OSVERSIONINFOW version{sizeof version};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool nt50 = GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                      version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
#pragma GCC diagnostic pop
    if ((ex & WS_EX_APPWINDOW) && nt50) FCaps |= fcCaptionStripped;
    if (!FOwnerWindow && FMDIKind != mkChild) FCaps |= fcCaptionStripped;
    FUnicode = IsWindowUnicode(FHandle) != FALSE;
}

void TSkinForm::TakeOverFrame() {
    TSkinnerOwner& manager = EnsureSkinnerOwner();
    if (FSkinFrame) {
        FInitialMenu = GetMenu(FHandle);
        if (FInitialMenu && FMDIKind != mkChild) FMenus->BuildMenuBar();
        const bool keepCaption = (FMDIKind == mkChild && manager.MDIChildMaximized()) || FWindowState == wsMinimized;
        if (!keepCaption) SetCaptionStyle(false);
        MeasureFrame();
    } else {
        FLife = TSkinnerLife::Skinned;
    }
    if (FMDIKind == mkChild) {
        const int least = GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CXFRAME);
        if (FFrame->CaptionHeight() < least) FFrame->SetMenuHeight(least - FFrame->CaptionHeight());
        if (FWindowState == wsMaximized && !manager.MDIChildMaximized()) manager.SetMDIChildMaximized(true);
    }
}

void TSkinForm::SetCaptionStyle(bool on) {
    if (!(FCaps & fcCaptionStripped)) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR next = on ? (style | WS_CAPTION) : (style & ~static_cast<LONG_PTR>(WS_CAPTION));
    if (next != style) SetWindowLongPtrW(FHandle, GWL_STYLE, next);
}

void TSkinForm::SetSysMenuStyle(bool remove) {
    if (FCaps & fcCaptionStripped) return;
    if (!remove && !FSysMenu) return;
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const LONG_PTR next = remove ? (style & ~static_cast<LONG_PTR>(WS_SYSMENU)) : (style | WS_SYSMENU);
    if (next != style) SetWindowLongPtrW(FHandle, GWL_STYLE, next);
}

void TSkinForm::FrameChanged() {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TSkinForm::RepaintFrame() {
    if (FLife == TSkinnerLife::Skinned) PaintFrame();
}

void TSkinForm::RestoreRedraw() {
    if (!FRedrawOff) return;
    FRedrawOff = false;
    if (!IsWindow(FHandle)) return;
    SendMessageW(FHandle, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_INTERNALPAINT | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

void TSkinForm::StartSkin() {
    if (FStarted) return;
    FStarted = true;
    {
        TTimedStep step("start: system frame recorded");
        RecordSystemFrame();
    }
    {
        TTimedStep step("start: children skinned");
        SkinChildren();
    }
    if (FLife == TSkinnerLife::New) {
        TTimedStep step("start: fitted to the skin");
        FitToSkinFirstTime();
    }
    FLife = TSkinnerLife::Skinned;
    // Drawing comes back once the window has the skin's size and region: with it on, each of
    // those changes repainted the whole window, frame and children, only for the next to
    // repaint it again.
    if (!FIsChild && FSkinFrame) {
        TTimedStep step("start: redraw on");
        RestoreRedraw();
    }
    if (FHoverTimer) FHoverTimer->SetEnabled(true);
}

void TSkinForm::RecordSystemFrame() {
    FSysMenu = GetSystemMenu(FHandle, FALSE);
    if (FSysMenu) FCaps |= fcSysMenu;
    LoadWindowIcon();
    RECT client{}, window{};
    GetClientRect(FHandle, &client);
    GetWindowRect(FHandle, &window);
    FFrame->RecordClientRect(client);
    FSysFrame = SIZE{(window.right - window.left) - (client.right - client.left),
                     (window.bottom - window.top) - (client.bottom - client.top)};
}

void TSkinForm::SkinChildren() {
    if (FForm) {
        {
            TTimedStep step("start: controls dispatched");
            FDispatch->DispatchForm(FForm);
        }
        TTimedStep step("start: menus skinned");
        FMenus->SkinFormMenus(true);
    } else {
        FDispatch->DispatchChildWindows(FHandle);
    }
}

void TSkinForm::FitToSkinFirstTime() {
    if (FMDIKind == mkChild) {
        if (FWindowState == wsMaximized) {
            if (TSkinnerOwner* m = SkinnerOwner()) m->RedrawMdiClient(FHandle);
        } else if (FWindowState == wsMinimized) {
            SetCaptionStyle(true);
        } else {
            FLife = TSkinnerLife::Fitting;
            FitToSkin(false);
            FLife = TSkinnerLife::Skinned;
            UpdateRegion();
        }
    } else if (!FIsChild && FBorderKind != bkNoCaption && FWindowState != wsMinimized) {
        FLife = TSkinnerLife::Fitting;
        FitToSkin(false, FWindowState == wsNormal);
        FLife = TSkinnerLife::Skinned;
        // Kept when the window took the size its region was made for.
        if (FWindowState == wsNormal)
            UpdateRegion();
        else if (FWindowState == wsMaximized)
            FrameChanged();
    }
}

// ---- release -------------------------------------------------------------------------------

void TSkinForm::GiveBackProcedures() {
    if (FHooked) {
        if (FForm) FForm->RemoveMessageHook(this);
        FHooked = false;
    }
    FSubclass.Remove();
    FClientHook.Remove();
    if (FMDIKind == mkFrame)
        if (TSkinnerOwner* manager = SkinnerOwner(); manager && manager->MDIClient() == FClientHandle)
            manager->SetMDIFrame(nullptr, nullptr);
}

void TSkinForm::Unskin() {
    if (FReleased) return;
    FReleased = true;
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
    // Nothing is drawn while the window changes back: each control given back, the frame's
    // exchange and the region each repainted the window or a part of it, only for the next
    // change to repaint it again. The window is drawn once when all is done (a window that
    // never started still has drawing off from its take-over).
    if (!FRedrawOff && FLife != TSkinnerLife::Destroying && IsWindow(FHandle) &&
        (GetWindowLongPtrW(FHandle, GWL_STYLE) & WS_VISIBLE)) {
        SendMessageW(FHandle, WM_SETREDRAW, FALSE, 0);
        FRedrawOff = true;
    }
    struct TRedrawAtEnd {
        TSkinForm& form;
        ~TRedrawAtEnd() { form.RestoreRedraw(); }
    } redrawAtEnd{*this};
    {
        TTimedStep step("unskin: menus given back");
        // A menu still open ends; its items draw themselves again.
        if (FMenus->Tracking() || FSystemCommands->SysMenuShowing()) EndMenu();
        FMenus->RestoreOwnerDrawn();
        FSystemCommands->DropSysMenu();
        FMenus->SkinFormMenus(false);
    }
    {
        TTimedStep step("unskin: control skinners freed");
        // Control skinners go first: they give their controls back while the window is whole.
        FreeControlSkinners();
    }
    GiveBackProcedures();
    if (FForm && FColorSaved && FLife != TSkinnerLife::Destroying) {
        TTimedStep step("unskin: form colour back");
        FForm->SetColor(FSavedColor);
    }
    if (!FSkinFrame) {
        if (FForm && FLife != TSkinnerLife::Destroying)
            for (TControl* c : FForm->Controls()) c->Invalidate();
        return;
    }
    FButtons->Drop();
    TTimedStep frameStep("unskin: system frame back");
    SetSysMenuStyle(false);
    SetCaptionStyle(true);
    const bool menuBack = FMenus->MenuBar() && FMenus->MenuBar()->Menu() && IsWindow(FHandle) &&
                          FLife != TSkinnerLife::Destroying;
    FMenus->GiveMenuBack(false);
    // The system drew no activation change while the skin did; its caption starts right.
    if (IsWindow(FHandle) && FLife != TSkinnerLife::Destroying)
        SendMessageW(FHandle, WM_NCACTIVATE, GetActiveWindow() == FHandle, 0);
    if (FLife != TSkinnerLife::Destroying && (FMDIKind == mkChild || !FIsChild) && IsWindow(FHandle)) {
        RECT r{};
        GetWindowRect(FHandle, &r);
        POINT topLeft{r.left, r.top};
        if (FMDIKind == mkChild) ScreenToClient(GetParent(FHandle), &topLeft);
        UINT flags = SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER;
        int width = r.right - r.left, height = r.bottom - r.top;
        // Only a window that was fitted to the skin has its frame exchanged for the system's;
        // one released before it started still has its own size.
        if (FStarted && FBorderKind != bkNoCaption && FWindowState == wsNormal) {
            // The menu given back takes its band from the client area as the skin's did.
            width += FSysFrame.cx - FFrame->BorderLeft() - FFrame->BorderRight();
            height += FSysFrame.cy - FFrame->CaptionHeight() - FFrame->BorderBottom() - (menuBack ? 0 : FFrame->MenuHeight());
        } else {
            flags |= SWP_NOSIZE;
        }
        SetWindowRgn(FHandle, nullptr, FALSE);
        SetWindowPos(FHandle, nullptr, topLeft.x, topLeft.y, width, height, flags);
    }
    if (IsWindow(FHandle)) SetWindowRgn(FHandle, nullptr, TRUE);
    // The window deleted the region it owned when it was given none.
    FFrame->ForgetRegion();
}

void TSkinForm::DetachAtDestroy() {
    if (FReleased) return;
    FReleased = true;
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
    FRedrawOff = false;
    if (FMenus->Tracking() || FSystemCommands->SysMenuShowing()) EndMenu();
    FMenus->RestoreOwnerDrawn();
    FSystemCommands->DropSysMenu();
    FMenus->SkinFormMenus(false);
    FreeControlSkinners();
    GiveBackProcedures();
    // A raw window's menu goes with the window, as it would have unskinned.
    FMenus->DropAtDestroy(FForm != nullptr);
    FButtons->Drop();
    // The system frees the region with the window.
    FFrame->ForgetRegion();
}

void TSkinForm::ReSkin() {
    if (FReleased || !FSkinData) return;
    if (FForm) {
        FForm->SetColor(FSkinData->Colours.ButtonFace);
        for (TComponent* c : FForm->Components())
            if (auto* child = dynamic_cast<TCustomForm*>(c)) child->SetColor(FSkinData->Colours.ButtonFace);
    }
    FDispatch->SkinChanged();
    FLife = TSkinnerLife::Reskinning;
    if (FSkinFrame && FForm) FMenus->SkinFormMenus(true);
    if (FSkinFrame) {
        FitToSkin(true);
        if (FForm) {
            // Realign the controls against the new frame.
            FForm->SetHeight(FForm->Height() + 1);
            FForm->SetHeight(FForm->Height() - 1);
        }
        UpdateRegion();
        PaintFrame();
    }
    FLife = TSkinnerLife::Skinned;
}

void TSkinForm::MdiChildMaximizedChanged(bool maximized) {
    if (maximized) {
        FFrame->RemoveRegion();
        SetCaptionStyle(true);
        return;
    }
    if (FWindowState == wsMinimized) {
        SetCaptionStyle(true);
        return;
    }
    FWindowState = wsNormal;
    UpdateRegion();
    SetCaptionStyle(false);
    if (!FFrame->RegionOwned()) FrameChanged();
}

// ---- messages ------------------------------------------------------------------------------

LRESULT CALLBACK TSkinForm::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinForm*>(refData);
    return self->FSubclass.Run(window, message, wParam, lParam, [self](TMessage& m) { self->SkinWndProc(m); });
}

void TSkinForm::CallPrevious(TMessage& m) {
    if (FNext)
        PassToForm(m, *FNext);
    else if (FSubclass.Running())
        m.Result = DefSubclassProc(FHandle, m.Msg, m.WParam, m.LParam);
    else
        m.Result = (FUnicode ? DefWindowProcW : DefWindowProcA)(FHandle, m.Msg, m.WParam, m.LParam);
}

void TSkinForm::SkinWndProc(TMessage& m) {
    const char* timed = nullptr;
    if (TimedStepsHeard()) switch (m.Msg) {
            case WM_PAINT: timed = "form WM_PAINT"; break;
            case WM_ERASEBKGND: timed = "form WM_ERASEBKGND"; break;
            case WM_NCPAINT: timed = "form WM_NCPAINT"; break;
            default: break;
        }
    TTimedStep step(timed);
    if (HandleAnyWindowMessage(m)) return;
    if (!FSkinFrame || (FIsChild && FMDIKind != mkChild)) {
        CallPrevious(m);
        return;
    }
    if (HandleFramedWindowMessage(m)) return;
    // The skin draws the frame only once it has started, and a maximized MDI child has none.
    const bool drawsFrame =
        FLife != TSkinnerLife::New && !(FMDIKind == mkChild && FWindowState == wsMaximized);
    if (drawsFrame && HandleSkinFrameMessage(m)) return;
    CallPrevious(m);
}

bool TSkinForm::HandleAnyWindowMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_NCPAINT:
            if (FLife == TSkinnerLife::New && FSkinFrame) {
                m.Result = 0;  // no system frame before the start message
                return true;
            }
            break;
        case WM_ERASEBKGND:
            CallPrevious(m);
            if (!FForm && FSkinData) {
                RECT r{};
                GetClientRect(FHandle, &r);
                FillRect(reinterpret_cast<HDC>(m.WParam), &r, FSkinData->FaceBrush());
                m.Result = 1;
            }
            return true;
        case WM_NCDESTROY: {
            FLife = TSkinnerLife::Destroying;
            CallPrevious(m);
            DetachAtDestroy();
            FLife = TSkinnerLife::Destroyed;
            if (TSkinnerOwner* manager = SkinnerOwner(); manager && manager->Owns(this)) manager->Forget(this);
            return true;
        }
        case WM_NCACTIVATE:
            if (FLife == TSkinnerLife::New && FMDIKind != mkChild && FSkinFrame) {
                // Nothing is drawn yet; deactivation still goes ahead.
                m.Result = TRUE;
                return true;
            }
            break;
        case WM_MENUSELECT:
            if (FMenus->Tracking()) FMenus->OnMenuSelect(m);
            CallPrevious(m);
            return true;
        case WM_INITMENUPOPUP:
            if (TSkinnerOwner* manager = SkinnerOwner())
                manager->SetPopupKind(reinterpret_cast<HMENU>(m.WParam) == FSysMenu ? pkSystemMenu : pkMenuBar);
            CallPrevious(m);
            // The owner may have changed its items: those of a tracked drop-down draw from the skin.
            if (FMenus->Tracking()) FMenus->MarkOwnerDrawn(reinterpret_cast<HMENU>(m.WParam));
            return true;
        case WM_CTLCOLORBTN:
            CallPrevious(m);
            if (!FForm) SetBkMode(reinterpret_cast<HDC>(m.WParam), TRANSPARENT);
            return true;
        case WM_CTLCOLORSTATIC:
            CallPrevious(m);
            if (!FForm && FSkinData) {
                SetBkMode(reinterpret_cast<HDC>(m.WParam), TRANSPARENT);
                m.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush());
            }
            return true;
        case WM_SKINSTART:
            if (m.LParam != kSkinStartKey) break;
            {
                TTimedStep step("start message");
                StartSkin();
            }
            m.Result = 0;
            return true;
        case WM_SKINRECREATESCROLL:
            FDispatch->RecreateSkinner(reinterpret_cast<HWND>(m.WParam), m.LParam);
            m.Result = 0;
            return true;
        case WM_SKINNEDQUERY: m.Result = 1; return true;
        case WM_SKINCHANGED:
            ReSkin();
            m.Result = 0;
            return true;
        case WM_SETTEXT:
        case WM_SETICON:
            if (FSkinFrame && FStarted && FBorderKind != bkNoCaption && !FIsChild) {
                PassOnWithoutSystemCaption(m);
                if (m.Msg == WM_SETICON) {
                    FFrame->ForgetWindowIcon();
                    LoadWindowIcon();
                    MeasureFrame();
                }
                PaintFrame();
                return true;
            }
            break;
        default: break;
    }
    return false;
}

void TSkinForm::PassOnWithoutSystemCaption(TMessage& m) {
    // The system draws its caption on these messages whenever the window has one.
    const LONG_PTR style = GetWindowLongPtrW(FHandle, GWL_STYLE);
    const bool hadCaption = (style & WS_CAPTION) == WS_CAPTION;
    if (hadCaption) SetWindowLongPtrW(FHandle, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
    CallPrevious(m);
    if (hadCaption) {
        const LONG_PTR now = GetWindowLongPtrW(FHandle, GWL_STYLE);
        SetWindowLongPtrW(FHandle, GWL_STYLE, now | WS_CAPTION);
    }
}

bool TSkinForm::HandleFramedWindowMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SIZE: OnSize(m); return true;
        case WM_ACTIVATE:
            FActive = LOWORD(m.WParam) != WA_INACTIVE;
            break;
        case WM_GETMINMAXINFO:
            CallPrevious(m);
            ReadWindowState();
            if (FWindowState == wsMinimized ||
                (FMDIKind == mkChild && FWindowState == wsMaximized))
                SetCaptionStyle(true);
            else
                SetCaptionStyle(false);
            return true;
        case WM_WINDOWPOSCHANGED:
            ReadWindowState();
            if (FromOwnRegion(m))
                m.Result = 0;
            else
                CallPrevious(m);
            return true;
        case WM_DPICHANGED:
            // The frame is measured at the new scale first, so that the client area the window
            // gets in the platform's rectangle is what is left inside the scaled frame. The
            // announced dpi counts: the platform may still report the old one meanwhile.
            FFrame->AnnounceDpi(LOWORD(m.WParam));
            MeasureFrame();
            CallPrevious(m);
            if (FSkinFrame && (FLife == TSkinnerLife::Skinned || FLife == TSkinnerLife::Reskinning)) {
                UpdateRegion();
                PaintFrame();
            }
            return true;
        case WM_NCACTIVATE:
            FActive = LOBYTE(m.WParam) != 0;
            break;
        case WM_COMMAND:
            if (IsSystemCommand(LOWORD(m.WParam))) {
                PostMessageW(FHandle, WM_SYSCOMMAND, LOWORD(m.WParam), 0);
                m.Result = 0;
                return true;
            }
            break;
        case WM_SYSCOMMAND:
            if (!FMenus->OnKeyMenu(m)) FSystemCommands->OnSysCommand(m);
            return true;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            HandleAnyWindowMessage(m);
            return true;
        case WM_SKINOPENMENU: {
            m.Result = 0;
            if (FMenus->Tracking()) return true;
            const POINT p = ScreenToFrame(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            if (TMenuBtn* item = FMenus->MenuBtnAt(p)) FMenus->OpenMenuBtn(item, m.WParam != 0);
            return true;
        }
        case CM_MENUCHANGED: FMenus->OnMenuChanged(m); return true;
        default: break;
    }
    return false;
}

bool TSkinForm::HandleSkinFrameMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_MEASUREITEM:
            if (FMenus->OnMenuMeasureItem(m)) return true;
            break;
        case WM_DRAWITEM:
            if (FMenus->OnMenuDrawItem(m)) return true;
            break;
        case WM_WINDOWPOSCHANGING:
            if (!FromOwnRegion(m)) break;
            m.Result = 0;
            return true;
        case WM_NCCALCSIZE: OnNcCalcSize(m); return true;
        case WM_NCHITTEST: {
            CallPrevious(m);
            const POINT p = ScreenToFrame(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
            m.Result = CaptionHitTest(static_cast<int>(m.Result), p.y, FFrame->CaptionHeight(), FFrame->MenuHeight());
            return true;
        }
        case WM_NCMOUSEMOVE:
        case WM_NCLBUTTONDOWN:
        case WM_NCLBUTTONUP:
        case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONDOWN:
            if (OnNcMouse(m)) return true;
            break;
        case WM_NCPAINT:
            SetSysMenuStyle(true);
            if (FSkinData && FSkinData->NCPaintEnabled) {
                if ((FMDIKind == mkChild && FWindowState == wsMaximized) || FBorderKind == bkNoCaption) {
                    CallPrevious(m);
                } else {
                    PaintFrame();
                }
            }
            m.Result = 0;
            return true;
        case WM_NCACTIVATE: OnNcActivate(m); return true;
        case WM_NCUAHDRAWCAPTION:
        case WM_NCUAHDRAWFRAME: m.Result = 0; return true;
        case WM_SKINPAINTFRAME: PaintFrame(); return true;
        default: break;
    }
    return false;
}

void TSkinForm::OnSize(TMessage& m) {
    CallPrevious(m);
    switch (m.WParam) {
        case SIZE_RESTORED: FWindowState = wsNormal; break;
        case SIZE_MINIMIZED: FWindowState = wsMinimized; break;
        case SIZE_MAXIMIZED: FWindowState = wsMaximized; break;
        default: break;
    }
    if (FWindowState == wsMinimized) return;
    if (FMDIKind == mkChild) {
        TSkinnerOwner* manager = SkinnerOwner();
        if ((manager && manager->MDIChildMaximized()) || FWindowState != wsNormal) return;
    }
    if (FLife == TSkinnerLife::Skinned || FLife == TSkinnerLife::Reskinning) UpdateRegion(TRegionPaint::WithSizeChange);
}

void TSkinForm::OnNcActivate(TMessage& m) {
    FActive = m.WParam != 0;
    if (FHoverTimer) FHoverTimer->SetEnabled(FActive);
    if (FMDIKind == mkFrame && FClientHandle) SendMessageW(FClientHandle, WM_NCACTIVATE, m.WParam, m.LParam);
    if (FMDIKind == mkChild) CallPrevious(m);
    if (!(FMDIKind == mkChild && FWindowState == wsMaximized)) PaintFrame();
    m.Result = TRUE;
}

bool TSkinForm::FromOwnRegion(const TMessage& m) const {
    if (!FFrame->SettingRegion() || !m.LParam) return false;
    const WINDOWPOS* pos = nullptr;
    if (m.Msg == WM_NCCALCSIZE)
        pos = LOBYTE(m.WParam) ? reinterpret_cast<const NCCALCSIZE_PARAMS*>(m.LParam)->lppos : nullptr;
    else
        pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
    return pos && (pos->flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE);
}

void TSkinForm::OnNcCalcSize(TMessage& m) {
    const bool systemFrame = (FMDIKind == mkChild && FWindowState != wsNormal) || FBorderKind == bkNoCaption;
    // Setting the region asks again for a client area that cannot have changed, and the skin
    // frame's answer below replaces whatever the window's own procedure gives: passed on, the
    // default procedure measured the system frame for nothing (and under Wine each message
    // passed on through a subclassed raw window looks the subclass chain up again, a call to
    // the server).
    if (systemFrame || !FromOwnRegion(m)) CallPrevious(m);
    if (LOBYTE(m.WParam) == 0) {
        m.Result = 0;
        return;
    }
    auto* params = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
    if (systemFrame) {
        params->rgrc[1] = params->rgrc[0];
        m.Result = WVR_VALIDRECTS;
        return;
    }
    const WINDOWPOS* pos = params->lppos;
    RECT client{};
    if (pos) {
        client = RECT{pos->x + FFrame->BorderLeft(), pos->y + FFrame->CaptionHeight() + FFrame->MenuHeight(), pos->x + pos->cx - FFrame->BorderRight(),
                      pos->y + pos->cy - FFrame->BorderBottom()};
    } else {
        RECT w{};
        GetWindowRect(FHandle, &w);
        client = RECT{w.left + FFrame->BorderLeft(), w.top + FFrame->CaptionHeight() + FFrame->MenuHeight(), w.right - FFrame->BorderRight(),
                      w.bottom - FFrame->BorderBottom()};
    }
    client.right = std::max(client.right, client.left);
    client.bottom = std::max(client.bottom, client.top);
    params->rgrc[0] = client;
    params->rgrc[1] = client;
    m.Result = WVR_VALIDRECTS;
}

void TSkinForm::HookMessage(TMessage& m, const TMessageNext& next) {
    TSkinDispatchScope scope;
    TMessageNextScope link(FNext, next);
    SkinWndProc(m);
}

void TSkinForm::PassToForm(TMessage& m, const TMessageNext& next) {
    if (!FSkinFrame) {
        next(m);
        return;
    }
    switch (m.Msg) {
        case WM_SETTEXT:
            next(m);
            if (FWindowState == wsMaximized)
                if (TSkinnerOwner* manager = SkinnerOwner()) manager->RedrawMdiClient(FHandle);
            return;
        case CM_DIALOGCHAR: FMenus->OnDialogChar(m, next); return;
        default: next(m); return;
    }
}

TCaptionFacts TSkinForm::CaptionFacts() const {
    TCaptionFacts f;
    f.Maximized = FWindowState == wsMaximized;
    f.Active = FActive;
    f.HasMaxBox = (FCaps & fcMaxBox) != 0;
    f.HasMinBox = (FCaps & fcMinBox) != 0;
    f.HasSysMenu = (FCaps & fcSysMenu) != 0;
    f.DialogFrame = FBorderKind == bkDialog;
    f.DialogClass = FIsDialog;
    f.MdiMenuBar = FMDIKind == mkFrame && FMenus->MenuBar() && ActiveChildMaximized();
    return f;
}

TCaptionBand TSkinForm::CaptionBand() const {
    TCaptionBand band;
    RECT r{};
    GetWindowRect(FHandle, &r);
    band.WindowWidth = Width(r);
    band.BorderLeft = FFrame->BorderLeft();
    band.BorderRight = FFrame->BorderRight();
    band.CaptionHeight = FFrame->CaptionHeight();
    band.MenuHeight = FFrame->MenuHeight();
    band.MenuBarLeftMargin = FSkinData && FSkinData->MenuBar ? Scaled(FSkinData->MenuBar->Margins.Left) : 0;
    band.RightToLeft = FRightToLeft;
    return band;
}

RECT TSkinForm::MenuBand() const {
    RECT r{};
    GetWindowRect(FHandle, &r);
    return RECT{FFrame->BorderLeft(), FFrame->CaptionHeight(), Width(r) - FFrame->BorderRight(), FFrame->CaptionHeight() + FFrame->MenuHeight()};
}

bool TSkinForm::ActiveChildMaximized() const {
    if (FMDIKind != mkFrame || !FClientHandle || !IsWindow(FClientHandle)) return false;
    BOOL maximized = FALSE;
    const HWND child =
        reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(&maximized)));
    return child && maximized;
}

void TSkinForm::ReloadMenuBar(bool relayout) {
    TSkinMenuBar* bar = FMenus->MenuBar();
    if (!bar) return;
    bar->MenuBarFromHandle(FHandle, FForm ? FForm->Menu() : nullptr);
    if (relayout) bar->Layout(MenuBand());
    PaintFrame();
}

// ---- caption-bar objects -------------------------------------------------------------------------

POINT TSkinForm::ScreenToFrame(int x, int y) const {
    POINT p{x, y};
    ScreenToClient(FHandle, &p);
    if (!(FMDIKind == mkChild && FWindowState == wsMinimized)) {
        p.x += FFrame->BorderLeft();
        p.y += FFrame->CaptionHeight() + FFrame->MenuHeight();
    }
    return p;
}

bool TSkinForm::OnNcMouse(TMessage& m) {
    const POINT p = ScreenToFrame(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
    TSysButton* button = FButtons->ObjectAt(p);
    TMenuBtn* item = button ? nullptr : FMenus->MenuBtnAt(p);
    TNCObject* target = button ? static_cast<TNCObject*>(button) : item;
    auto consume = [&m] { m.Result = 0; };
    switch (m.Msg) {
        case WM_NCMOUSEMOVE:
            if (!FActive) {
                consume();
                return true;
            }
            if (target) {
                target->MouseEnter();
                consume();
                return true;
            }
            if (TNCObject* hot = FButtons->HotObject()) hot->MouseLeave();
            return false;
        case WM_NCLBUTTONDOWN:
            if (target) {
                if (!FActive) SetForegroundWindow(FHandle);
                target->MouseDown();
                if (item) FMenus->OpenMenuBtn(item, false);
                consume();
                return true;
            }
            // A maximized window is not dragged by its caption.
            if (FWindowState == wsMaximized && FActive && m.WParam == HTCAPTION) m.WParam = HTMENU;
            return false;
        case WM_NCLBUTTONUP:
            if (button) {
                if (button == FButtons->HotObject()) {
                    button->MouseUp();
                    FButtons->DoButtonAction(*button, POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
                }
                consume();
                return true;
            }
            if (item) {
                consume();
                return true;
            }
            return false;
        case WM_NCLBUTTONDBLCLK:
            if (button) {
                if (ShowsWindowIcon(button->FSkin->Action)) {
                    if (FHoverTimer) FHoverTimer->SetEnabled(false);
                    PostMessageW(FHandle, WM_SYSCOMMAND, SC_CLOSE, 0);
                }
                consume();
                return true;
            }
            if (m.WParam != HTCAPTION) return false;
            if (FWindowState != wsNormal) {
                FSystemCommands->RestoreWindow();
                consume();
                return true;
            }
            if (FCaps & fcMaxBox) {
                FSystemCommands->ToggleMaximize();
                consume();
                return true;
            }
            return false;
        case WM_NCRBUTTONDOWN:
            if (m.WParam == HTCAPTION && FMDIKind != mkChild) {
                FSystemCommands->ShowSysMenu(POINT{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)});
                consume();
                return true;
            }
            return false;
        default: return false;
    }
}

void TSkinForm::OnHoverTimer() {
    TNCObject* hot = FButtons->HotObject();
    if (!hot || !FActive || FMenus->Tracking()) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    const POINT p = ScreenToFrame(cursor.x, cursor.y);
    if (!PtInRect(&hot->FRect, p)) hot->MouseLeave();
}

// ---- what the system commands ask of the window ----------------------------------------------

void TSkinForm::StopHover() {
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
}

bool TSkinForm::MdiChildMaximized() const {
    TSkinnerOwner* manager = SkinnerOwner();
    return manager && manager->MDIChildMaximized();
}

void TSkinForm::SetMdiChildMaximized(bool maximized) {
    if (TSkinnerOwner* manager = SkinnerOwner()) manager->SetMDIChildMaximized(maximized);
}

void TSkinForm::SetPopupKind(TPopupKind kind) {
    if (TSkinnerOwner* manager = SkinnerOwner()) manager->SetPopupKind(kind);
}

}  // namespace qx
