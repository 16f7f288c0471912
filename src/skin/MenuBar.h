// The skinned menu bar: the band under a skinned window's caption that replaces the system's
// menu bar. Its items (TMenuBtn) are caption-bar objects with hot and pressed states; the bar
// builds them from the window's menu (and the framework items behind it), lays them out, and
// paints the band from the skin's menu bar element.
#pragma once
#include "framework/Graphics.h"
#include "skin/CaptionBar.h"
#include "skin/MenuBarHost.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

namespace qx {

class TMainMenu;
class TMenuItem;
class TSkinData;
class TSkinMenuBar;
struct TKeyItem;

class TMenuBtn : public TNCObject {
public:
    TMenuBtn(TNCObjectHost& owner, TSkinMenuBar& bar) : TNCObject(owner), FBar(bar) {}
    void Paint() override;

    TSkinMenuBar& FBar;
    TMenuItem* FItem = nullptr;  // the framework item behind it, or none
    int FIndex = 0;              // position in the menu bar
    std::u16string FCaption;
    bool FEnabled = true;
    HMENU FSubMenu = nullptr;  // its drop-down, or none for a command item
    UINT FCommand = 0;
};

class TSkinMenuBar {
public:
    TSkinMenuBar(TMenuBarHost& form, TSkinData& skin) : FForm(form), FSkin(skin) {}
    TSkinMenuBar(const TSkinMenuBar&) = delete;
    TSkinMenuBar& operator=(const TSkinMenuBar&) = delete;

    // Builds the items from the window's menu (the last one known when it has none now), with
    // the framework's items where the menu has them, and takes the menu off the window: the
    // skinned band shows it from now on.
    void MenuBarFromHandle(HWND window, TMainMenu* framework);
    // The menu the bar was built from: the window gets it back when skinning ends.
    HMENU Menu() const { return FMenu; }
    void ForgetMenu() { FMenu = nullptr; }

    const std::vector<std::unique_ptr<TMenuBtn>>& Items() const { return FItems; }
    TMenuBtn* Item(int index) const;
    int IndexOf(const TMenuBtn* item) const;
    // The item under a point of the window (window coordinates), or none.
    TMenuBtn* ItemAt(POINT framePoint) const;
    // Whether each item can open (for the keyboard's moves along the bar).
    std::vector<bool> Openable() const;
    // The items as the keyboard's accelerator rules see them (valid while the bar is unchanged).
    std::vector<TKeyItem> KeyItems() const;

    // Places the items in band (window coordinates) without painting.
    void Layout(const RECT& band);
    // Paints the band (window coordinates) on dc, the window's DC.
    void Paint(HDC dc, const RECT& band);
    // Paints one item in its state at once on the window.
    void PaintItem(TMenuBtn& item);
    // Copies the band's background under rect (window coordinates) into dc at (0, 0).
    void CopyBackground(HDC dc, const RECT& rect);

private:
    void DrawCaption(HDC dc, const TMenuBtn& item, const RECT& rect, bool hot);

    TMenuBarHost& FForm;
    TSkinData& FSkin;
    std::vector<std::unique_ptr<TMenuBtn>> FItems;
    HMENU FMenu = nullptr;
    RECT FBand{};
    TBitmap FBackground;  // the band as painted, without its items
};

}  // namespace qx
