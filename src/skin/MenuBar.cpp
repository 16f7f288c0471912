#include "skin/MenuBar.h"

#include "core/MenuBarLayout.h"
#include "core/MenuRules.h"
#include "framework/Menus.h"
#include "skin/SkinData.h"
#include "skin/FrameParts.h"
#include "skin/SkinDraw.h"
#include "skin/SkinParts.h"
#include "skin/SkinnerOwner.h"

#include <algorithm>

namespace qx {

namespace {

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool HasBarElement(const TSkinData& skin) { return skin.MenuBar && !skin.MenuBar->Bitmap.Empty(); }

}  // namespace

void TMenuBtn::Paint() { FBar.PaintItem(*this); }

TMenuBtn* TSkinMenuBar::Item(int index) const {
    return index >= 0 && index < static_cast<int>(FItems.size()) ? FItems[static_cast<std::size_t>(index)].get()
                                                                 : nullptr;
}

int TSkinMenuBar::IndexOf(const TMenuBtn* item) const {
    for (std::size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].get() == item) return static_cast<int>(i);
    return -1;
}

void TSkinMenuBar::MenuBarFromHandle(HWND window, TMainMenu* framework) {
    if (HMENU now = GetMenu(window)) FMenu = now;
    if (!FMenu || !IsMenu(FMenu)) return;
    if (TNCObject* hot = FForm.CaptionObjects().HotObject(); hot && dynamic_cast<TMenuBtn*>(hot))
        FForm.CaptionObjects().SetHotObject(nullptr);
    FItems.clear();
    for (int pos = 0, n = GetMenuItemCount(FMenu); pos < n; ++pos) {
        wchar_t text[81] = {};
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_ID | MIIM_STATE | MIIM_SUBMENU | MIIM_FTYPE | MIIM_STRING | MIIM_DATA;
        info.dwTypeData = text;
        info.cch = 80;
        if (!GetMenuItemInfoW(FMenu, static_cast<UINT>(pos), TRUE, &info)) continue;
        auto item = std::make_unique<TMenuBtn>(FForm.CaptionObjects(), *this);
        item->FIndex = pos;
        item->FSubMenu = info.hSubMenu;
        item->FEnabled = !(info.fState & (MFS_GRAYED | MFS_DISABLED));
        item->FVisible = true;
        item->FCommand = info.wID;
        // Pictures a maximized MDI child puts into the bar have no caption and stay unfound.
        if (!(info.fType & (MFT_BITMAP | MFT_SEPARATOR))) item->FCaption = std::u16string(text, text + wcslen(text));
        if (TMenuItem* owned = MenuItemFromData(info.dwItemData);
            owned && framework && owned->GetParentMenu() == framework) {
            item->FItem = owned;
            item->FCaption = owned->Caption();
            item->FEnabled = owned->Enabled();
            item->FSubMenu = owned->Count() > 0 ? owned->Handle() : nullptr;
            item->FCommand = owned->Command();
        }
        FItems.push_back(std::move(item));
    }
    SetMenu(window, nullptr);
}

TMenuBtn* TSkinMenuBar::ItemAt(POINT p) const {
    std::vector<TBarRect> rects;
    std::vector<TBarItem> items;
    for (const auto& item : FItems) {
        rects.push_back({item->FRect.left, item->FRect.top, item->FRect.right, item->FRect.bottom});
        items.push_back({0, item->FVisible, !item->FCaption.empty()});
    }
    return Item(MenuBarItemAt(rects, items, p.x, p.y));
}

std::vector<bool> TSkinMenuBar::Openable() const {
    std::vector<bool> can;
    for (const auto& item : FItems) can.push_back(item->FVisible && item->FEnabled && !item->FCaption.empty());
    return can;
}

std::vector<TKeyItem> TSkinMenuBar::KeyItems() const {
    std::vector<TKeyItem> keys;
    for (const auto& item : FItems) keys.push_back({item->FCaption, item->FEnabled, item->FVisible});
    return keys;
}

void TSkinMenuBar::Layout(const RECT& band) {
    FBand = band;
    std::vector<TBarItem> items;
    HDC screen = GetDC(nullptr);
    {
        TFontHandle font = CreateMenuFont(false, FForm.SkinScale().Dpi);
        TSelectObject selected(screen, font.Get());
        for (const auto& item : FItems) {
            RECT r{0, 0, 0, 0};
            const std::wstring text = Wide(item->FCaption);
            if (!text.empty()) DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
            items.push_back({r.right - r.left, item->FVisible, !text.empty()});
        }
    }
    ReleaseDC(nullptr, screen);
    const int dpi = FForm.SkinScale().Dpi;
    TBarBand bar{band.left, band.top, band.right, band.bottom, 0, FForm.RightToLeft(), dpi};
    const TDataSkinObject* e = HasBarElement(FSkin) ? FSkin.MenuBar.get() : nullptr;
    bar.FirstOffset = MenuBarFirstOffset(e != nullptr, e ? FForm.Scaled(e->Margins.Left) : 0,
                                         e ? FForm.Scaled(e->Margins.Right) : 0, Width(band), bar.RightToLeft, dpi);
    const std::vector<TBarRect> rects = LayoutMenuBar(items, bar);
    for (std::size_t i = 0; i < FItems.size(); ++i)
        FItems[i]->FRect = RECT{rects[i].Left, rects[i].Top, rects[i].Right, rects[i].Bottom};
}

void TSkinMenuBar::DrawCaption(HDC dc, const TMenuBtn& item, const RECT& rect, bool hot) {
    const std::wstring text = Wide(item.FCaption);
    if (text.empty()) return;
    TFontHandle font = CreateMenuFont(false, FForm.SkinScale().Dpi);
    TSelectObject selected(dc, font.Get());
    SetBkMode(dc, TRANSPARENT);
    COLORREF colour = ColorToRGB(FSkin.Colours.MenuBarText);
    if (!item.FEnabled)
        colour = GetSysColor(COLOR_BTNSHADOW);
    else if (hot && FSkin.MenuItem && FSkin.MenuItem->MouseOverColour2 != kSkinNoColour)
        colour = ColorToRGB(FSkin.MenuItem->MouseOverColour2);
    SetTextColor(dc, colour);
    RECT r = rect;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER | DT_EXPANDTABS);
}

void TSkinMenuBar::Paint(HDC dc, const RECT& band) {
    const int w = Width(band), h = Height(band);
    if (w <= 0 || h <= 0) return;
    TBitmap canvas;
    canvas.SetPixelFormat(TPixelFormat::pf24bit);
    canvas.SetSize(w, h);
    if (canvas.Empty()) return;
    HDC c = canvas.Canvas().Handle();
    const RECT local{0, 0, w, h};
    if (HasBarElement(FSkin)) {
        DrawSkinPart(c, MenuBarBand(*FSkin.MenuBar), FForm.Active() ? TSkinState::Normal : TSkinState::Inactive, local,
                     FForm.SkinScale());
    } else {
        FillSolidRect(c, local, ColorToRGB(FSkin.Colours.Menubar));
    }
    FBackground.SetPixelFormat(TPixelFormat::pf24bit);
    FBackground.SetSize(w, h);
    BitBlt(FBackground.Canvas().Handle(), 0, 0, w, h, c, 0, 0, SRCCOPY);

    Layout(band);
    for (const auto& item : FItems) {
        item->FState = bcNormal;
        if (IsRectEmpty(&item->FRect)) continue;
        RECT r = item->FRect;
        OffsetRect(&r, -band.left, -band.top);
        DrawCaption(c, *item, r, false);
    }
    // A maximized MDI child's buttons sit at the bar's end.
    if (FForm.MdiButtonsOnBar()) {
        for (const auto& b : FForm.SysButtons()) {
            TDataSkinSysButton& e = *b->FSkin;
            if (e.Visibility != bvMdiMenuBar || !b->FVisible || e.Bitmap.Empty()) continue;
            RECT r = b->FRect;
            OffsetRect(&r, -band.left, -band.top);
            DrawSkinPart(c, CaptionButtonFace(e), TSkinState::Normal, r, FForm.SkinScale());
        }
        if (TSkinnerOwner* manager = SkinnerOwner(); manager && !manager->MDIChildMaximized())
            manager->SetMDIChildMaximized(true);
    }
    BitBlt(dc, band.left, band.top, w, h, c, 0, 0, SRCCOPY);
}

void TSkinMenuBar::CopyBackground(HDC dc, const RECT& rect) {
    if (FBackground.Empty()) return;
    BitBlt(dc, 0, 0, Width(rect), Height(rect), FBackground.Canvas().Handle(), rect.left - FBand.left,
           rect.top - FBand.top, SRCCOPY);
}

void TSkinMenuBar::PaintItem(TMenuBtn& item) {
    const RECT r = item.FRect;
    const int w = Width(r), h = Height(r);
    if (w <= 0 || h <= 0 || FBackground.Empty() || !IsWindow(FForm.Handle())) return;
    try {
        TBitmap cell;
        cell.SetPixelFormat(TPixelFormat::pf24bit);
        cell.SetSize(w, h);
        HDC c = cell.Canvas().Handle();
        CopyBackground(c, r);
        const RECT local{0, 0, w, h};
        const bool hot = item.FState == bcHot || item.FState == bcPressed;
        if (hot) {
            // The skin's selected-item picture when it has one; a frame of the highlight colour else.
            if (FSkin.MenuItem && !FSkin.MenuItem->Bitmap.Empty())
                DrawSkinPart(c, MenuItemFace(*FSkin.MenuItem), TSkinState::Selected, local, FForm.SkinScale());
            else
                FrameRect(c, &local, TBrushHandle(CreateSolidBrush(ColorToRGB(FSkin.Colours.ButtonHilight))).Get());
        }
        DrawCaption(c, item, local, hot);
        TWindowDC dc(FForm.Handle(), true);
        if (dc.Get()) BitBlt(dc.Get(), r.left, r.top, w, h, c, 0, 0, SRCCOPY);
    } catch (...) {
        // A bad element never breaks the window's painting.
    }
}

}  // namespace qx
