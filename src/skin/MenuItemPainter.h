// The owner-drawn items of skinned drop-downs, context menus and the skinned system menu: one
// item drawn from the skin's MenuItem element over the popup's skinned background (or in the
// skin's menu colours without that element), and measured to fit the same layout.
#pragma once
#include "framework/Graphics.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

namespace qx {

class TSkinData;
class TMenuItem;

// What the painter needs to know of one item, whatever menu it belongs to.
struct TMenuItemLook {
    std::u16string Caption;   // with its '&' accelerator
    std::u16string ShortCut;  // right-aligned text ("Ctrl+O"), may be empty
    bool Separator = false;
    bool Enabled = true;
    bool Checked = false;
    bool Radio = false;
    bool Default = false;
    bool Selected = false;
    bool HideAccelerator = false;
    bool RightToLeft = false;
    bool SubMenu = false;  // opens a sub-menu: an arrow at the far end
    HIMAGELIST Images = nullptr;
    int ImageIndex = -1;
};

// The look of a framework item in a drawing state (ODS_* flags).
TMenuItemLook LookOfItem(TMenuItem& item, UINT state);
// The look of a platform menu item from its text ("caption\tshortcut"), type and state flags,
// and whether it opens a sub-menu.
TMenuItemLook LookOfText(const std::u16string& text, UINT type, UINT state, bool subMenu);

// Draws the item into rect of dc at the owner window's dpi. background, when given, is the popup
// window's skinned background and backgroundOffset where rect's top-left corner lies on it. An
// item that opens a sub-menu draws its own arrow at that dpi and leaves rect out of dc's clip,
// so that the platform's arrow (at the system's scale) is not drawn over it.
void DrawSkinMenuItem(HDC dc, const RECT& rect, const TMenuItemLook& look, TSkinData& skin, int dpi,
                      TBitmap* background, POINT backgroundOffset);
// The item's size at the owner window's dpi: width and height come in proposed and go out as
// the item wants them.
void MeasureSkinMenuItem(const TMenuItemLook& look, TSkinData& skin, int dpi, int& width, int& height);

}  // namespace qx
