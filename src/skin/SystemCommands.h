// The form skinner's system commands: maximize, minimize and restore (from WM_SYSCOMMAND and
// the caption buttons) and the skinned, owner-drawn copy of the window's system menu. A part of
// the form skinner, which owns it and answers for the window through TSystemCommandsHost.
#pragma once
#include "framework/Types.h"
#include "skin/SkinMessages.h"

#include <windows.h>

#include <memory>

namespace qx {

class TMenuItem;
class TPopupMenu;
class TSkinData;

// What the system commands need of the window they serve.
class TSystemCommandsHost {
public:
    virtual HWND Handle() const = 0;
    virtual TSkinData* SkinData() const = 0;
    virtual TMdiKind MdiKind() const = 0;
    virtual HWND ClientHandle() const = 0;
    virtual TWindowState WindowState() const = 0;
    // Records the state the window is being put into, before the system has done it.
    virtual void SetWindowStateAhead(TWindowState state) = 0;
    virtual std::uint8_t Caps() const = 0;
    virtual bool Sizeable() const = 0;
    virtual bool RightToLeft() const = 0;
    virtual HMENU SystemMenu() const = 0;
    // Skinning has ended (the window got its own look back).
    virtual bool Released() const = 0;
    // The system-menu button of the caption is the object under the mouse.
    virtual bool SysButtonHot() const = 0;
    virtual void ForgetHotObject() = 0;
    // The window is about to close: the caption stops following the mouse.
    virtual void StopHover() = 0;
    // The program's state of maximized MDI children, and the kind of popup menu opening.
    virtual bool MdiChildMaximized() const = 0;
    virtual void SetMdiChildMaximized(bool maximized) = 0;
    virtual void SetPopupKind(TPopupKind kind) = 0;
    virtual void SetCaptionStyle(bool on) = 0;
    virtual void SetSysMenuStyle(bool remove) = 0;
    virtual void CallPrevious(TMessage& m) = 0;
    virtual void DrawMenuItem(TMenuItem* item, HDC dc, const RECT& rect, UINT state) = 0;
    virtual void MeasureMenuItem(TMenuItem* item, int& width, int& height) = 0;

protected:
    ~TSystemCommandsHost() = default;
};

class TSystemCommands {
public:
    explicit TSystemCommands(TSystemCommandsHost& host);
    ~TSystemCommands();
    TSystemCommands(const TSystemCommands&) = delete;
    TSystemCommands& operator=(const TSystemCommands&) = delete;

    // WM_SYSCOMMAND other than the keyboard's menu: follows the window state, then passes on.
    void OnSysCommand(TMessage& m);
    void ToggleMaximize();
    void ToggleMinimize();
    void RestoreWindow();
    // An MDI frame sends the command to its active child.
    void ChildSysCommand(WPARAM command);

    // The skinned system menu: a copy of the window's system menu with the skin's images,
    // enabled for the window's state, popped up at the screen point; a second click on the
    // system-menu button within the double-click time closes the window instead.
    void ShowSysMenu(POINT screenPoint);
    void BuildSysMenu();
    TPopupMenu* SysMenuPopup() const { return FPopup.get(); }
    bool SysMenuShowing() const { return FShowing; }
    // Skinning ends: the menu goes now, or as soon as it closes when it is showing.
    void DropSysMenu();

private:
    TSystemCommandsHost& FHost;
    std::unique_ptr<TPopupMenu> FPopup;
    bool FShowing = false;
    DWORD FLastClick = 0;
    UINT FDoubleClickTime = 0;
};

}  // namespace qx
