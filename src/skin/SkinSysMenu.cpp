// The form skinner's system menu and window-state commands: WM_SYSCOMMAND with the keyboard
// menu, maximize, minimize and restore from the caption buttons, the skinned (owner-drawn)
// copy of the system menu, and the MDI client's procedure of a skinned MDI frame.
#include "core/MenuRules.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/MenuBar.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"

#include <windowsx.h>

namespace qx {

namespace {

// The skinned system menu's Tag, by which other code can tell it.
constexpr std::int32_t kSysMenuTag = 33333;
// The fixed menu of the oldest NT systems names its items by these Tags.
enum TFixedSysItem : std::int32_t { fsRestore = 0, fsMaximize = 1, fsMinimize = 2, fsClose = 3, fsSeparator = 100 };

bool OldNt() {
    OSVERSIONINFOW version{sizeof version};
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    return GetVersionExW(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion < 5;
#pragma GCC diagnostic pop
}

}  // namespace

// ---- system commands -----------------------------------------------------------------------

void TSkinForm::OnSysCommand(TMessage& m) {
    const WPARAM command = m.WParam & 0xFFF0;
    if (command == SC_KEYMENU && !FTracking) {
        const std::vector<TKeyItem> items = FMenuBar ? FMenuBar->KeyItems() : std::vector<TKeyItem>{};
        const TKeyMenuChoice choice =
            ChooseKeyMenu(static_cast<std::uint32_t>(m.LParam), GetCapture() != nullptr, items);
        switch (choice.Act) {
            case TKeyMenuAct::OpenItem:
                if (TMenuBtn* item = FMenuBar ? FMenuBar->Item(choice.Index) : nullptr) {
                    if (IsRectEmpty(&item->FRect)) FMenuBar->Layout(MenuBand());
                    OpenMenuBtn(item, true);
                }
                m.Result = 1;
                return;
            case TKeyMenuAct::SystemMenu: {
                POINT origin{0, 0};
                ClientToScreen(FHandle, &origin);
                ShowSysMenu(origin);
                m.Result = 0;
                return;
            }
            case TKeyMenuAct::PassOn: break;
        }
    }
    TSkinManager* manager = SkinManager();
    switch (command) {
        case SC_MINIMIZE:
            FWindowState = wsMinimized;
            if (FMDIKind == mkChild) SetCaptionStyle(true);
            break;
        case SC_MAXIMIZE:
            FWindowState = wsMaximized;
            if (FMDIKind == mkChild && manager) manager->SetMDIChildMaximized(true);
            break;
        case SC_RESTORE:
            FWindowState = wsNormal;
            if (FMDIKind == mkChild) {
                SetCaptionStyle(false);
                if (manager && manager->MDIChildMaximized()) manager->SetMDIChildMaximized(false);
            }
            break;
        default: break;
    }
    CallPrevious(m);
}

void TSkinForm::ToggleMaximize() {
    if (FWindowState == wsMaximized) {
        RestoreWindow();
        return;
    }
    if (FMDIKind == mkChild)
        if (TSkinManager* manager = SkinManager()) manager->SetMDIChildMaximized(true);
    FWindowState = wsMaximized;
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FHotObject = nullptr;
}

void TSkinForm::ToggleMinimize() {
    if (FWindowState == wsMinimized) {
        RestoreWindow();
        return;
    }
    FWindowState = wsMinimized;
    SetSysMenuStyle(false);
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TSkinForm::RestoreWindow() {
    FWindowState = wsNormal;
    PostMessageW(FHandle, WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TSkinForm::ChildSysCommand(WPARAM command) {
    if (FMDIKind != mkFrame || !FClientHandle || !IsWindow(FClientHandle)) return;
    if (HWND child = reinterpret_cast<HWND>(SendMessageW(FClientHandle, WM_MDIGETACTIVE, 0, 0)))
        SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

// ---- the skinned system menu -----------------------------------------------------------------

void TSkinForm::ShowSysMenu(POINT screenPoint) {
    const DWORD now = GetTickCount();
    if (FLastSysClick != 0 && now - FLastSysClick <= FDoubleClickTime) {
        // A second click on the system-menu button within the double-click time closes.
        if (dynamic_cast<TSysButton*>(FHotObject)) {
            if (FHoverTimer) FHoverTimer->SetEnabled(false);
            PostMessageW(FHandle, WM_CLOSE, 0, 0);
        }
        FLastSysClick = 0;
        return;
    }
    FLastSysClick = now;
    if (FSysMenuShowing || FReleased) return;
    // The menu's own loop may stop skinning: this object stays until the menu is done.
    TSkinDispatchScope scope;
    BuildSysMenu();
    if (!FSysMenuPopup) return;
    TSkinManager* manager = SkinManager();
    if (manager) manager->SetPopupKind(pkSystemMenu);
    FSysMenuShowing = true;
    FSysMenuPopup->Popup(screenPoint.x, screenPoint.y);
    FSysMenuShowing = false;
    if (manager) manager->SetPopupKind(pkPopup);
    // Skinning ended while the menu showed: it could not go then.
    if (FReleased) FSysMenuPopup.reset();
}

void TSkinForm::BuildSysMenu() {
    FSysMenuPopup.reset();
    if (!FSkinData) return;
    auto popup = std::make_unique<TPopupMenu>(nullptr);
    popup->SetTag(kSysMenuTag);
    popup->SetRightToLeft(FRightToLeft);
    auto* images = new TImageList(popup.get());
    images->ShareHandle(FSkinData->MenuImages());
    popup->SetImages(images);
    const TSysMenuFacts facts{FWindowState == wsMaximized, FWindowState == wsMinimized, FSizeable,
                              (FCaps & fcMinBox) != 0, (FCaps & fcMaxBox) != 0};
    auto add = [&](const std::u16string& caption, std::int32_t tag, int image, bool enabled) {
        auto* item = new TMenuItem(popup.get());
        item->SetCaption(caption);
        item->SetTag(tag);
        item->SetImageIndex(image);
        item->SetEnabled(enabled);
        item->OnDrawItem = [this](TMenuItem* i, HDC dc, const RECT& r, UINT state) { DrawItemHandler(i, dc, r, state); };
        item->OnMeasureItem = [this](TMenuItem* i, HDC, int& w, int& h) { MeasureItemHandler(i, w, h); };
        popup->Items()->Add(item);
        return item;
    };
    if (OldNt()) {
        // The fixed menu of the oldest systems, whose own system menu cannot be copied.
        add(u" Restore ", fsRestore, fsRestore, FWindowState != wsNormal)->OnClick = [this](TObject*) { RestoreWindow(); };
        if (FCaps & fcMaxBox)
            add(u" Maximize ", fsMaximize, fsMaximize, FWindowState != wsMaximized)->OnClick = [this](TObject*) { ToggleMaximize(); };
        if (FCaps & fcMinBox)
            add(u" Minimize ", fsMinimize, fsMinimize, FWindowState != wsMinimized)->OnClick = [this](TObject*) { ToggleMinimize(); };
        add(u"-", fsSeparator, -1, true);
        add(u" Close \tALT+F4", fsClose, fsClose, true)->OnClick = [this](TObject*) {
            if (FHoverTimer) FHoverTimer->SetEnabled(false);
            PostMessageW(FHandle, WM_CLOSE, 0, 0);
        };
    } else if (FSysMenu && IsMenu(FSysMenu)) {
        // A copy of the platform's own items and states, whatever the system puts there.
        for (int pos = 0, n = GetMenuItemCount(FSysMenu); pos < n; ++pos) {
            wchar_t text[81] = {};
            MENUITEMINFOW info{sizeof info};
            info.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
            info.dwTypeData = text;
            info.cch = 80;
            if (!GetMenuItemInfoW(FSysMenu, static_cast<UINT>(pos), TRUE, &info)) continue;
            const bool separator = text[0] == 0 || (info.fType & MFT_SEPARATOR);
            const std::u16string caption = separator ? std::u16string(1, u'-') : std::u16string(text, text + wcslen(text));
            const bool ownEnabled = !(info.fState & MFS_GRAYED);
            const TSysMenuItemLook look = SysMenuItemLook(info.wID, ownEnabled, facts);
            TMenuItem* item = add(caption, static_cast<std::int32_t>(info.wID), look.ImageIndex, look.Enabled);
            item->SetChecked((info.fState & MFS_CHECKED) != 0);
            item->SetDefault((info.fState & MFS_DEFAULT) != 0);
            const UINT id = info.wID;
            item->OnClick = [this, id](TObject*) {
                if (id == SC_CLOSE && FHoverTimer) FHoverTimer->SetEnabled(false);
                PostMessageW(FHandle, WM_SYSCOMMAND, id, 0);
            };
        }
    }
    popup->SetOwnerDraw(true);
    FSysMenuPopup = std::move(popup);
}

// ---- the MDI client --------------------------------------------------------------------------

LRESULT CALLBACK TSkinForm::ClientSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                               DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinForm*>(refData);
    return self->FClientSubclass.Run(window, message, wParam, lParam, [self](TMessage& m) { self->ClientWndProc(m); });
}

void TSkinForm::ClientWndProc(TMessage& m) {
    const HWND client = FClientHandle;
    auto pass = [&m, client] { m.Result = DefSubclassProc(client, m.Msg, m.WParam, m.LParam); };
    if (m.Msg == WM_SKINREDRAWMDI) {
        if (IsWindow(FHandle))
            RedrawWindow(FHandle, nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
        m.Result = 0;
        return;
    }
    if (!FSkinFrame || !FSkinData) {
        pass();
        return;
    }
    TSkinManager* manager = SkinManager();
    switch (m.Msg) {
        case WM_NCDESTROY:
            pass();
            FClientSubclass.Remove();
            if (manager && manager->MDIClient() == client) manager->SetMDIFrame(nullptr, nullptr);
            return;
        case WM_NCCALCSIZE:
            // The skin draws no scroll bars for the client unless it says so.
            if (!(FSkinData->Options() & SkinOptionBit(xoMDIScrollbar))) {
                const LONG_PTR style = GetWindowLongPtrW(client, GWL_STYLE);
                const LONG_PTR without = style & ~static_cast<LONG_PTR>(WS_VSCROLL | WS_HSCROLL);
                if (without != style) SetWindowLongPtrW(client, GWL_STYLE, without);
            }
            pass();
            return;
        case WM_MDICREATE:
            FSkinData->SetMenuUpdate(false);
            pass();
            return;
        case WM_MDIDESTROY: {
            pass();
            // Another child that is maximized keeps the state, as the platform keeps it.
            if (manager) manager->SetMDIChildMaximized(ActiveChildMaximized());
            if (!SendMessageW(client, WM_MDIGETACTIVE, 0, 0) && FMenuBar) {
                FSkinData->SetMenuUpdate(FSavedMenuUpdate);
                FMenuBar->MenuBarFromHandle(FHandle, FForm ? FForm->Menu() : nullptr);
                PaintFrame();
            }
            return;
        }
        case WM_MDITILE:
        case WM_MDICASCADE:
            if (manager && manager->MDIChildMaximized()) manager->SetMDIChildMaximized(false);
            pass();
            return;
        case WM_MDISETMENU:
            pass();
            if (m.WParam && FMenuBar) {
                FMenuBar->MenuBarFromHandle(FHandle, FForm ? FForm->Menu() : nullptr);
                FMenuBar->Layout(MenuBand());
                PaintFrame();
            }
            if (GetMenu(FHandle)) SetMenu(FHandle, nullptr);
            return;
        default: break;
    }
    pass();
}

}  // namespace qx
