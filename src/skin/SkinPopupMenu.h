// The popup menu skinner: one per skinned "#32768" window (a context menu, a menu bar
// drop-down, the system menu). It paints the menu's background and its 3-pixel frame (at the
// scale of the window the menu opened for) from the skin's MenuBackground element and lets the menu draw its items inside the frame; the
// owner-drawn items take the same background from it. The skin manager owns it.
#pragma once
#include "core/DisplayScale.h"
#include "framework/Graphics.h"
#include "skin/Skinner.h"

#include <windows.h>

namespace qx {

class TSkinData;

class TSkinPopupMenu : public TSkinner {
public:
    TSkinPopupMenu() = default;
    ~TSkinPopupMenu() override;

    TSkinKey Key() const override { return TSkinKey{FWindow, nullptr}; }
    void Release() override { DetachPopup(); }

    // Takes over the popup window's messages; it is drawn at dpi.
    void AttachPopup(HWND window, TSkinData* skinData, int dpi);
    // Gives the window its own procedure back and empties the background; safe twice.
    void DetachPopup();
    bool Attached() const { return FSubclass.Installed(); }

    HWND Window() const { return FWindow; }
    int Dpi() const { return FDpi; }
    TSkinData* SkinData() const { return FSkinData; }
    // The menu the window shows (asked of the window once it has one).
    HMENU Menu();
    // The background of the last paint, in window coordinates; empty before the first one.
    TBitmap& Background() { return FBackground; }
    // Where the client area's top-left corner lies in the window.
    POINT ClientOffset() const;

    // The paint handlers (public for the tests that print a popup into a bitmap).
    // Whether the skin has what the paint handlers need.
    bool CanPaint() const;
    // Builds the background of the window's size into Background().
    bool BuildBackground();

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    LRESULT PopupWndProc(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT PassOn(UINT message, WPARAM wParam, LPARAM lParam);
    // WM_NCPAINT: the outer 3-pixel band of the background onto the window.
    void PaintPopupFrame();
    // WM_PRINT: the background into the target, the menu's own printing clipped inside the band.
    LRESULT PaintPopupBackground(HDC target, LPARAM flags);
    // WM_PAINT: the background and the menu's items in one transfer.
    void PaintPopupClient();
    // The item area in the coordinates of a DC whose origin lies at origin of the window.
    RECT ItemArea(POINT origin) const;

    // The band's width at the popup's scale.
    int FrameWidth() const;

    HWND FWindow = nullptr;
    TSkinData* FSkinData = nullptr;
    int FDpi = BaseDpi;
    HMENU FMenu = nullptr;
    TBitmap FBackground;
    TWindowSubclass FSubclass;
};

}  // namespace qx
