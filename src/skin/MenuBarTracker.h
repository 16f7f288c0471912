// The form skinner's menus: the skinned menu bar in place of the system's, its drop-downs
// opened under their items and tracked along the bar (mouse and arrow keys), the keyboard's
// menu and Alt with a letter, and the owner-drawn items of drop-downs and of the form's popup
// menus. A part of the form skinner, which owns it and answers for the window through
// TMenuBarTrackerHost.
#pragma once
#include "framework/Component.h"
#include "framework/Controls.h"
#include "skin/MenuBar.h"
#include "skin/SkinMessages.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class TCustomForm;
class TMenu;
class TMenuItem;
class TNCObjectHost;
class TSkinData;

// What the menus need of the window they serve.
class TMenuBarTrackerHost {
public:
    virtual HWND Handle() const = 0;
    virtual TCustomForm* Form() const = 0;
    virtual TSkinData* SkinData() const = 0;
    virtual bool Released() const = 0;
    virtual bool RightToLeft() const = 0;
    // The window's class calls for the form's popup menus to stay as they are.
    virtual bool KeepsOwnPopupMenus() const = 0;
    // The window can take a menu bar it did not have (not an MDI child, has a caption).
    virtual bool CanTakeMenuBar() const = 0;
    // The bar as the menu bar sees its window, and the caption objects its items join.
    virtual TMenuBarHost& BarHost() = 0;
    virtual TNCObjectHost& CaptionObjects() = 0;
    virtual POINT ScreenToFrame(int x, int y) const = 0;
    // The band under the caption (window coordinates) and its height.
    virtual RECT MenuBand() const = 0;
    virtual void SetMenuHeight(int height) = 0;
    // The frame's size changed: the system asks for the client area again.
    virtual void FrameChanged() = 0;
    // Paints the frame again when the skin draws it.
    virtual void RepaintFrame() = 0;
    virtual void CallPrevious(TMessage& m) = 0;
    virtual void ShowSystemMenu(POINT screenPoint) = 0;

protected:
    ~TMenuBarTrackerHost() = default;
};

class TMenuBarTracker final : public TComponent {
public:
    explicit TMenuBarTracker(TMenuBarTrackerHost& host);
    ~TMenuBarTracker() override;
    TMenuBarTracker(const TMenuBarTracker&) = delete;
    TMenuBarTracker& operator=(const TMenuBarTracker&) = delete;

    // ---- the bar ----
    TSkinMenuBar* MenuBar() const { return FMenuBar.get(); }
    // The menu bar of the window's menu (made when the window has one), and the menu back.
    void BuildMenuBar();
    void GiveMenuBack(bool repaint);
    // A window released as it is destroyed: a raw window's menu goes with it.
    void DropAtDestroy(bool frameworkForm);
    // The menu bar item under a point of the window (window coordinates), or none.
    TMenuBtn* MenuBtnAt(POINT framePoint) const;
    // The window's menu changed (CM_MENUCHANGED).
    void OnMenuChanged(TMessage& m);

    // ---- drop-downs ----
    // Opens the item's drop-down under it and tracks it (the mouse moving along the bar and
    // the arrow keys open the neighbours); a command item only posts its command.
    void OpenMenuBtn(TMenuBtn* item, bool fromKeyboard);
    bool Tracking() const { return FTracking; }
    // What the tracked drop-down selects (whether a nested drop-down holds the selection).
    void OnMenuSelect(TMessage& m);
    // Owner drawing of the platform's items of a drop-down while the skin tracks it.
    void MarkOwnerDrawn(HMENU menu);
    void RestoreOwnerDrawn();
    bool OnMenuMeasureItem(TMessage& m);
    bool OnMenuDrawItem(TMessage& m);

    // ---- the form's popup menus ----
    // They draw their items from the skin, or not.
    void SkinFormMenus(bool on);
    void DrawItem(TMenuItem* item, HDC dc, const RECT& rect, UINT state);
    void MeasureItem(TMenuItem* item, int& width, int& height);

    // ---- the keyboard ----
    // Alt with a letter of a bar item (CM_DIALOGCHAR), after the form had its turn.
    void OnDialogChar(TMessage& m, const TMessageNext& next);
    // The keyboard's menu (WM_SYSCOMMAND with SC_KEYMENU); true when it was answered here.
    bool OnKeyMenu(TMessage& m);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    // The message filter that follows the mouse and the arrow keys along the bar while a
    // drop-down is tracked.
    static LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam);
    void HideSeparators(TMenuItem& parent);
    void SkinPopupItems(TMenu& menu);

    TMenuBarTrackerHost& FHost;
    std::unique_ptr<TSkinMenuBar> FMenuBar;
    bool FTracking = false;
    bool FMenuDirty = false;  // the menu changed while a drop-down was tracked
    HMENU FTrackedMenu = nullptr;
    // Items of platform menus the skin made owner-drawn while it tracks a drop-down.
    struct TOwnerDrawnItem {
        HMENU Menu;
        UINT Id;
        ULONG_PTR Data;
        UINT OldType;
        std::u16string Text;
        bool SubMenu;
    };
    std::vector<TOwnerDrawnItem> FOwnerDrawn;
    // Framework popup menus and items that draw from the skin while it skins the form.
    std::vector<TMenu*> FSkinnedMenus;
    std::vector<TMenuItem*> FSkinnedItems;
};

}  // namespace qx
