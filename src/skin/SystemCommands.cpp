#include "skin/SystemCommands.h"

#include "core/MenuRules.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/SkinData.h"
#include "skin/Skinner.h"

#include <cwchar>

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

TSystemCommands::TSystemCommands(TSystemCommandsHost& host) : FHost(host), FDoubleClickTime(GetDoubleClickTime()) {}

TSystemCommands::~TSystemCommands() = default;

void TSystemCommands::DropSysMenu() {
    if (!FShowing) FPopup.reset();
}

void TSystemCommands::OnSysCommand(TMessage& m) {
    const WPARAM command = m.WParam & 0xFFF0;
    switch (command) {
        case SC_MINIMIZE:
            FHost.SetWindowStateAhead(wsMinimized);
            if (FHost.MdiKind() == mkChild) FHost.SetCaptionStyle(true);
            break;
        case SC_MAXIMIZE:
            FHost.SetWindowStateAhead(wsMaximized);
            if (FHost.MdiKind() == mkChild) FHost.SetMdiChildMaximized(true);
            break;
        case SC_RESTORE:
            FHost.SetWindowStateAhead(wsNormal);
            if (FHost.MdiKind() == mkChild) {
                FHost.SetCaptionStyle(false);
                if (FHost.MdiChildMaximized()) FHost.SetMdiChildMaximized(false);
            }
            break;
        default: break;
    }
    FHost.CallPrevious(m);
}

void TSystemCommands::ToggleMaximize() {
    if (FHost.WindowState() == wsMaximized) {
        RestoreWindow();
        return;
    }
    if (FHost.MdiKind() == mkChild)
        FHost.SetMdiChildMaximized(true);
    FHost.SetWindowStateAhead(wsMaximized);
    PostMessageW(FHost.Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    FHost.ForgetHotObject();
}

void TSystemCommands::ToggleMinimize() {
    if (FHost.WindowState() == wsMinimized) {
        RestoreWindow();
        return;
    }
    FHost.SetWindowStateAhead(wsMinimized);
    FHost.SetSysMenuStyle(false);
    PostMessageW(FHost.Handle(), WM_SYSCOMMAND, SC_MINIMIZE, 0);
}

void TSystemCommands::RestoreWindow() {
    FHost.SetWindowStateAhead(wsNormal);
    PostMessageW(FHost.Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
}

void TSystemCommands::ChildSysCommand(WPARAM command) {
    if (FHost.MdiKind() != mkFrame || !FHost.ClientHandle() || !IsWindow(FHost.ClientHandle())) return;
    if (HWND child = reinterpret_cast<HWND>(SendMessageW(FHost.ClientHandle(), WM_MDIGETACTIVE, 0, 0)))
        SendMessageW(child, WM_SYSCOMMAND, command, 0);
}

void TSystemCommands::ShowSysMenu(POINT screenPoint) {
    const DWORD now = GetTickCount();
    if (FLastClick != 0 && now - FLastClick <= FDoubleClickTime) {
        // A second click on the system-menu button within the double-click time closes.
        if (FHost.SysButtonHot()) {
            FHost.StopHover();
            PostMessageW(FHost.Handle(), WM_CLOSE, 0, 0);
        }
        FLastClick = 0;
        return;
    }
    FLastClick = now;
    if (FShowing || FHost.Released()) return;
    // The menu's own loop may stop skinning: this object stays until the menu is done.
    TSkinDispatchScope scope;
    BuildSysMenu();
    if (!FPopup) return;
    FHost.SetPopupKind(pkSystemMenu);
    FShowing = true;
    FPopup->Popup(screenPoint.x, screenPoint.y);
    FShowing = false;
    FHost.SetPopupKind(pkPopup);
    // Skinning ended while the menu showed: it could not go then.
    if (FHost.Released()) FPopup.reset();
}

void TSystemCommands::BuildSysMenu() {
    FPopup.reset();
    if (!FHost.SkinData()) return;
    auto popup = std::make_unique<TPopupMenu>(nullptr);
    popup->SetTag(kSysMenuTag);
    popup->SetRightToLeft(FHost.RightToLeft());
    auto* images = new TImageList(popup.get());
    images->ShareHandle(FHost.SkinData()->MenuImages());
    popup->SetImages(images);
    const TSysMenuFacts facts{FHost.WindowState() == wsMaximized, FHost.WindowState() == wsMinimized, FHost.Sizeable(),
                              (FHost.Caps() & fcMinBox) != 0, (FHost.Caps() & fcMaxBox) != 0};
    auto add = [&](const std::u16string& caption, std::int32_t tag, int image, bool enabled) {
        auto* item = new TMenuItem(popup.get());
        item->SetCaption(caption);
        item->SetTag(tag);
        item->SetImageIndex(image);
        item->SetEnabled(enabled);
        item->OnDrawItem = [this](TMenuItem* i, HDC dc, const RECT& r, UINT state) { FHost.DrawMenuItem(i, dc, r, state); };
        item->OnMeasureItem = [this](TMenuItem* i, HDC, int& w, int& h) { FHost.MeasureMenuItem(i, w, h); };
        popup->Items()->Add(item);
        return item;
    };
    if (OldNt()) {
        // The fixed menu of the oldest systems, whose own system menu cannot be copied.
        add(u" Restore ", fsRestore, fsRestore, FHost.WindowState() != wsNormal)->OnClick = [this](TObject*) { RestoreWindow(); };
        if (FHost.Caps() & fcMaxBox)
            add(u" Maximize ", fsMaximize, fsMaximize, FHost.WindowState() != wsMaximized)->OnClick = [this](TObject*) { ToggleMaximize(); };
        if (FHost.Caps() & fcMinBox)
            add(u" Minimize ", fsMinimize, fsMinimize, FHost.WindowState() != wsMinimized)->OnClick = [this](TObject*) { ToggleMinimize(); };
        add(u"-", fsSeparator, -1, true);
        add(u" Close \tALT+F4", fsClose, fsClose, true)->OnClick = [this](TObject*) {
            FHost.StopHover();
            PostMessageW(FHost.Handle(), WM_CLOSE, 0, 0);
        };
    } else if (FHost.SystemMenu() && IsMenu(FHost.SystemMenu())) {
        // A copy of the platform's own items and states, whatever the system puts there.
        for (int pos = 0, n = GetMenuItemCount(FHost.SystemMenu()); pos < n; ++pos) {
            wchar_t text[81] = {};
            MENUITEMINFOW info{sizeof info};
            info.fMask = MIIM_STATE | MIIM_ID | MIIM_STRING | MIIM_FTYPE;
            info.dwTypeData = text;
            info.cch = 80;
            if (!GetMenuItemInfoW(FHost.SystemMenu(), static_cast<UINT>(pos), TRUE, &info)) continue;
            const bool separator = text[0] == 0 || (info.fType & MFT_SEPARATOR);
            const std::u16string caption = separator ? std::u16string(1, u'-') : std::u16string(text, text + wcslen(text));
            const bool ownEnabled = !(info.fState & MFS_GRAYED);
            const TSysMenuItemLook look = SysMenuItemLook(info.wID, ownEnabled, facts);
            TMenuItem* item = add(caption, static_cast<std::int32_t>(info.wID), look.ImageIndex, look.Enabled);
            item->SetChecked((info.fState & MFS_CHECKED) != 0);
            item->SetDefault((info.fState & MFS_DEFAULT) != 0);
            const UINT id = info.wID;
            item->OnClick = [this, id](TObject*) {
                if (id == SC_CLOSE) FHost.StopHover();
                PostMessageW(FHost.Handle(), WM_SYSCOMMAND, id, 0);
            };
        }
    }
    popup->SetOwnerDraw(true);
    FPopup = std::move(popup);
}

}  // namespace qx
