#include "skin/MenuBarTracker.h"

#include "core/MenuBarLayout.h"
#include "core/MenuRules.h"
#include "framework/Forms.h"
#include "framework/Menus.h"
#include "framework/WindowDpi.h"
#include "skin/CaptionBar.h"
#include "skin/MenuItemPainter.h"
#include "skin/SkinData.h"
#include "skin/SkinnerOwner.h"
#include "skin/SkinPopupMenu.h"

#include <algorithm>

namespace qx {

namespace {

// The tracking of one menu bar drop-down: one per program (menus are modal).
struct TTrackState {
    TMenuBarTracker* Tracker = nullptr;
    int Index = -1;          // the open item
    int Next = -1;           // the item to open when this drop-down has closed
    bool NextByKeyboard = false;
    bool Keyboard = false;   // opened from the keyboard: its first item is selected
    bool FirstKeySent = false;
    POINT LastMouse{-32768, -32768};
    HMENU SelectedIn = nullptr;  // the menu that holds the selection
    bool SelectedHasSub = false;
};
TTrackState g_track;

bool IsFrameworkRightToLeft(const TMenuItem* item) {
    const TMenu* menu = item ? item->GetParentMenu() : nullptr;
    return menu && menu->RightToLeft();
}

}  // namespace

TMenuBarTracker::TMenuBarTracker(TMenuBarTrackerHost& host) : TComponent(nullptr), FHost(host) {}

TMenuBarTracker::~TMenuBarTracker() {
    RestoreOwnerDrawn();
    SkinFormMenus(false);
    if (g_track.Tracker == this) g_track.Tracker = nullptr;
}

// ---- the bar -------------------------------------------------------------------------------

void TMenuBarTracker::BuildMenuBar() {
    if (!FHost.SkinData()) return;
    FMenuBar = std::make_unique<TSkinMenuBar>(FHost.BarHost(), *FHost.SkinData());
    FMenuBar->MenuBarFromHandle(FHost.Handle(), FHost.Form() ? FHost.Form()->Menu() : nullptr);
    FHost.SetMenuHeight(SystemMetricAt(SM_CYMENU, FHost.BarHost().SkinScale().Dpi));
}

void TMenuBarTracker::GiveMenuBack(bool repaint) {
    if (!FMenuBar) return;
    if (dynamic_cast<TMenuBtn*>(FHost.CaptionObjects().HotObject())) FHost.CaptionObjects().SetHotObject(nullptr);
    HMENU menu = FMenuBar->Menu();
    if (FHost.Form() && FHost.Form()->Menu()) menu = FHost.Form()->Menu()->Handle();
    FMenuBar.reset();
    if (menu && IsMenu(menu) && IsWindow(FHost.Handle()) && !GetMenu(FHost.Handle())) SetMenu(FHost.Handle(), menu);
    if (repaint && IsWindow(FHost.Handle())) DrawMenuBar(FHost.Handle());
}

void TMenuBarTracker::DropAtDestroy(bool frameworkForm) {
    const HWND window = FHost.Handle();
    if (!frameworkForm && FMenuBar && FMenuBar->Menu() && IsWindow(window) && !GetMenu(window))
        SetMenu(window, FMenuBar->Menu());
    FMenuBar.reset();
}

TMenuBtn* TMenuBarTracker::MenuBtnAt(POINT p) const { return FMenuBar ? FMenuBar->ItemAt(p) : nullptr; }

void TMenuBarTracker::OnMenuChanged(TMessage& m) {
    FHost.SkinData()->NCPaintEnabled = false;
    FHost.CallPrevious(m);
    FHost.SkinData()->NCPaintEnabled = true;
    if (FHost.Released()) return;
    const HMENU now = GetMenu(FHost.Handle());
    if (FTracking) {
        // The bar's items stay as they are while one of them is open.
        FMenuDirty = true;
    } else if (FMenuBar) {
        const bool frameworkGone = FHost.Form() && !FHost.Form()->Menu() && !now;
        if (frameworkGone) {
            FMenuBar.reset();
            FHost.SetMenuHeight(0);
            FHost.FrameChanged();
        } else if (FHost.SkinData()->MenuUpdate()) {
            FMenuBar->MenuBarFromHandle(FHost.Handle(), FHost.Form() ? FHost.Form()->Menu() : nullptr);
        }
    } else if (now && FHost.CanTakeMenuBar()) {
        // A menu given to a window that had none: the band opens under the caption.
        BuildMenuBar();
        FHost.FrameChanged();
    }
    if (GetMenu(FHost.Handle())) SetMenu(FHost.Handle(), nullptr);
    if (FMenuBar) FHost.RepaintFrame();
}

// ---- drop-downs ----------------------------------------------------------------------------

void TMenuBarTracker::HideSeparators(TMenuItem& parent) {
    std::vector<TSeparatorEntry> entries;
    for (TMenuItem* item : parent.ItemList()) entries.push_back({item->IsLine(), item->Visible()});
    const std::vector<bool> shown = SeparatorsShown(entries);
    for (int i = 0; i < parent.Count(); ++i)
        if (TMenuItem* item = parent.Items(i); item->IsLine()) item->SetVisible(shown[static_cast<std::size_t>(i)]);
}

void TMenuBarTracker::OpenMenuBtn(TMenuBtn* item, bool fromKeyboard) {
    if (!FMenuBar || FTracking || !item || FHost.Released()) return;
    // The menu's own loop may stop skinning: this object stays until the drop-down is done.
    TSkinDispatchScope scope;
    TSkinnerOwner* manager = SkinnerOwner();
    int index = FMenuBar->IndexOf(item);
    bool keyboard = fromKeyboard;
    while (index >= 0 && FMenuBar && !FHost.Released()) {
        TMenuBtn* btn = FMenuBar->Item(index);
        if (!btn) break;
        if (!btn->FSubMenu) {
            // A command item: its command, and nothing opens.
            PostMessageW(FHost.Handle(), WM_COMMAND, btn->FCommand, 0);
            break;
        }
        if (btn->FItem) HideSeparators(*btn->FItem);
        const HMENU drop = btn->FItem && btn->FItem->Count() > 0 ? btn->FItem->Handle() : btn->FSubMenu;
        MarkOwnerDrawn(drop);
        FTracking = true;
        FTrackedMenu = drop;
        if (manager) {
            manager->SetPopupKind(pkMenuBar);
            manager->SetMenuBarPopup(true);
        }
        btn->MouseDown();
        g_track = TTrackState{};
        g_track.Tracker = this;
        g_track.Index = index;
        g_track.Keyboard = keyboard;
        HHOOK hook = SetWindowsHookExW(WH_MSGFILTER, &TMenuBarTracker::MenuFilterHook, nullptr, GetCurrentThreadId());
        if (btn->FEnabled) {
            RECT window{};
            GetWindowRect(FHost.Handle(), &window);
            RECT item = btn->FRect;
            OffsetRect(&item, window.left, window.top);
            // Under the item (over it when the screen has no room below), never covering it.
            TPMPARAMS params{sizeof params, item};
            const int x = FHost.RightToLeft() ? item.right : item.left;
            TrackPopupMenuEx(drop, TPM_RIGHTBUTTON | TPM_VERTICAL | (FHost.RightToLeft() ? TPM_RIGHTALIGN : TPM_LEFTALIGN), x,
                             item.bottom, FHost.Handle(), &params);
        }
        if (hook) UnhookWindowsHookEx(hook);
        const int next = g_track.Next;
        keyboard = g_track.NextByKeyboard;
        g_track = TTrackState{};
        RestoreOwnerDrawn();
        FTracking = false;
        FTrackedMenu = nullptr;
        if (manager) {
            manager->SetPopupKind(pkPopup);
            manager->SetMenuBarPopup(false);
        }
        if (FHost.Released() || !FMenuBar) break;
        if (FHost.CaptionObjects().HotObject() == btn) btn->MouseLeave();
        index = next;
    }
    if (FMenuDirty && !FHost.Released()) {
        FMenuDirty = false;
        TMessage changed{CM_MENUCHANGED, 1, 0, 0};
        OnMenuChanged(changed);
    }
}

void TMenuBarTracker::OnMenuSelect(TMessage& m) {
    if (HIWORD(m.WParam) == 0xFFFF && m.LParam == 0) return;  // the menu closed
    g_track.SelectedIn = reinterpret_cast<HMENU>(m.LParam);
    g_track.SelectedHasSub = (HIWORD(m.WParam) & MF_POPUP) != 0;
}

LRESULT CALLBACK TMenuBarTracker::MenuFilterHook(int code, WPARAM wParam, LPARAM lParam) {
    auto* msg = reinterpret_cast<MSG*>(lParam);
    TMenuBarTracker* form = g_track.Tracker;
    if (code == MSGF_MENU && msg && form && msg->message == WM_KEYDOWN && form->FMenuBar) {
        // A right-to-left bar runs the other way.
        const TMenuBtn* open = form->FMenuBar->Item(g_track.Index);
        if (form->FHost.RightToLeft() || (open && IsFrameworkRightToLeft(open->FItem))) {
            if (msg->wParam == VK_LEFT)
                msg->wParam = VK_RIGHT;
            else if (msg->wParam == VK_RIGHT)
                msg->wParam = VK_LEFT;
        }
    }
    const LRESULT next = CallNextHookEx(nullptr, code, wParam, lParam);
    if (code != MSGF_MENU || next != 0 || !msg || !form || !form->FMenuBar || form->FHost.Released()) return next;
    try {
        if (!g_track.FirstKeySent) {
            g_track.FirstKeySent = true;
            // Opened from the keyboard: the first item is selected, as the platform's bar does.
            if (g_track.Keyboard) PostMessageW(msg->hwnd, WM_KEYDOWN, VK_DOWN, 0);
        }
        auto moveTo = [form](int index, bool byKeyboard) -> LRESULT {
            if (index < 0 || index == g_track.Index) return 0;
            g_track.Next = index;
            g_track.NextByKeyboard = byKeyboard;
            // The open drop-down closes; the tracking loop then opens the next one.
            EndMenu();
            return 1;
        };
        const std::vector<bool> openable = form->FMenuBar->Openable();
        switch (msg->message) {
            case WM_KEYDOWN: {
                const bool nested = g_track.SelectedIn && g_track.SelectedIn != form->FTrackedMenu;
                if (msg->wParam == VK_LEFT && !nested)
                    return moveTo(MenuBarNeighbour(openable, g_track.Index, -1), true);
                if (msg->wParam == VK_RIGHT && !g_track.SelectedHasSub)
                    return moveTo(MenuBarNeighbour(openable, g_track.Index, +1), true);
                return 0;
            }
            case WM_MOUSEMOVE:
            case WM_NCMOUSEMOVE: {
                if (msg->pt.x == g_track.LastMouse.x && msg->pt.y == g_track.LastMouse.y) return 0;
                g_track.LastMouse = msg->pt;
                TMenuBtn* over = form->MenuBtnAt(form->FHost.ScreenToFrame(msg->pt.x, msg->pt.y));
                const int index = form->FMenuBar->IndexOf(over);
                if (index < 0 || !openable[static_cast<std::size_t>(index)]) return 0;
                return moveTo(index, false);
            }
            default: return 0;
        }
    } catch (...) {
        return 0;
    }
}

void TMenuBarTracker::MarkOwnerDrawn(HMENU menu) {
    if (!menu || !IsMenu(menu)) return;
    for (int pos = 0, n = GetMenuItemCount(menu); pos < n; ++pos) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 255;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info)) continue;
        if (!(info.fType & (MFT_OWNERDRAW | MFT_BITMAP))) {
            FOwnerDrawn.push_back({menu, info.wID, info.dwItemData, info.fType, std::u16string(text, text + wcslen(text)),
                                   info.hSubMenu != nullptr});
            MENUITEMINFOW set{sizeof set};
            set.fMask = MIIM_FTYPE;
            set.fType = info.fType | MFT_OWNERDRAW;
            SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &set);
        }
        if (info.hSubMenu && info.hSubMenu != menu) MarkOwnerDrawn(info.hSubMenu);
    }
}

void TMenuBarTracker::RestoreOwnerDrawn() {
    // Every item the skin made owner-drawn draws itself again, wherever it moved meanwhile.
    for (auto it = FOwnerDrawn.rbegin(); it != FOwnerDrawn.rend(); ++it) {
        if (!IsMenu(it->Menu)) continue;
        for (int pos = 0, n = GetMenuItemCount(it->Menu); pos < n; ++pos) {
            MENUITEMINFOW info{sizeof info};
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_DATA;
            if (!GetMenuItemInfoW(it->Menu, static_cast<UINT>(pos), TRUE, &info)) continue;
            if (info.wID != it->Id || info.dwItemData != it->Data || !(info.fType & MFT_OWNERDRAW) ||
                (info.fType & ~static_cast<UINT>(MFT_OWNERDRAW)) != it->OldType)
                continue;
            MENUITEMINFOW set{sizeof set};
            set.fMask = MIIM_FTYPE;
            set.fType = it->OldType;
            SetMenuItemInfoW(it->Menu, static_cast<UINT>(pos), TRUE, &set);
            break;
        }
    }
    FOwnerDrawn.clear();
}

namespace {

// The item the skin made owner-drawn that a measure or draw message names.
template <class Records>
auto FindOwnerDrawn(Records& records, HMENU menu, UINT id, ULONG_PTR data) -> decltype(&records.front()) {
    for (auto& r : records)
        if ((!menu || r.Menu == menu) && r.Id == id && r.Data == data) return &r;
    return nullptr;
}

// The skinned background of the popup showing a menu, if one is showing, with offset moved from
// the item's place in the popup's client area to its place in that background; null otherwise.
TBitmap* PopupBackground(HMENU menu, POINT& offset) {
    TSkinnerOwner* manager = SkinnerOwner();
    TSkinPopupMenu* popup = manager ? manager->PopupShowing(menu) : nullptr;
    if (!popup || popup->Background().Empty()) return nullptr;
    const POINT client = popup->ClientOffset();
    offset.x += client.x;
    offset.y += client.y;
    return &popup->Background();
}

}  // namespace

bool TMenuBarTracker::OnMenuMeasureItem(TMessage& m) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
    if (!measure || measure->CtlType != ODT_MENU || !FHost.SkinData()) return false;
    const auto* record = FindOwnerDrawn(FOwnerDrawn, nullptr, measure->itemID, measure->itemData);
    if (!record) return false;
    TMenuItem* item = MenuItemFromData(measure->itemData);
    const TMenuItemLook look = item ? LookOfItem(*item, 0) : LookOfText(record->Text, record->OldType, 0, record->SubMenu);
    int width = static_cast<int>(measure->itemWidth), height = static_cast<int>(measure->itemHeight);
    MeasureSkinMenuItem(look, *FHost.SkinData(), FHost.BarHost().SkinScale().Dpi, width, height);
    measure->itemWidth = static_cast<UINT>(std::max(width, 0));
    measure->itemHeight = static_cast<UINT>(std::max(height, 0));
    m.Result = TRUE;
    return true;
}

bool TMenuBarTracker::OnMenuDrawItem(TMessage& m) {
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (!draw || draw->CtlType != ODT_MENU || !FHost.SkinData()) return false;
    const HMENU menu = reinterpret_cast<HMENU>(draw->hwndItem);
    const auto* record = FindOwnerDrawn(FOwnerDrawn, menu, draw->itemID, draw->itemData);
    if (!record) return false;
    TMenuItem* item = MenuItemFromData(draw->itemData);
    TMenuItemLook look =
        item ? LookOfItem(*item, draw->itemState) : LookOfText(record->Text, record->OldType, draw->itemState, record->SubMenu);
    POINT offset{draw->rcItem.left, draw->rcItem.top};
    TBitmap* background = PopupBackground(menu, offset);
    try {
        DrawSkinMenuItem(draw->hDC, draw->rcItem, look, *FHost.SkinData(), FHost.BarHost().SkinScale().Dpi, background,
                         offset);
    } catch (...) {
        // A bad element never breaks the menu's painting.
    }
    m.Result = TRUE;
    return true;
}

// ---- the form's popup menus -------------------------------------------------------------------

void TMenuBarTracker::SkinFormMenus(bool on) {
    if (!on) {
        for (TMenuItem* item : FSkinnedItems)
            if (MenuItemFromData(reinterpret_cast<ULONG_PTR>(item)) == item) {
                item->OnDrawItem = nullptr;
                item->OnMeasureItem = nullptr;
            }
        FSkinnedItems.clear();
        for (TMenu* menu : FSkinnedMenus) {
            menu->RemoveFreeNotification(this);
            menu->SetOwnerDraw(false);
        }
        FSkinnedMenus.clear();
        return;
    }
    if (!FHost.Form() || !FHost.SkinData() || !(FHost.SkinData()->SkinControls() & SkinControlBit(xcPopupMenu))) return;
    if (FHost.KeepsOwnPopupMenus()) return;
    for (TComponent* c : FHost.Form()->Components())
        if (auto* popup = dynamic_cast<TPopupMenu*>(c); popup && popup->Tag() != FHost.SkinData()->DisableTag())
            SkinPopupItems(*popup);
}

void TMenuBarTracker::SkinPopupItems(TMenu& menu) {
    if (std::find(FSkinnedMenus.begin(), FSkinnedMenus.end(), &menu) != FSkinnedMenus.end()) return;
    // Items that draw or measure themselves keep doing so.
    std::function<void(TMenuItem*)> walk = [&](TMenuItem* parent) {
        for (TMenuItem* item : parent->ItemList()) {
            if (!item->OnDrawItem && !item->OnMeasureItem) {
                item->OnDrawItem = [this](TMenuItem* i, HDC dc, const RECT& r, UINT state) { DrawItem(i, dc, r, state); };
                item->OnMeasureItem = [this](TMenuItem* i, HDC, int& w, int& h) { MeasureItem(i, w, h); };
                FSkinnedItems.push_back(item);
            }
            walk(item);
        }
    };
    walk(menu.Items());
    if (menu.OwnerDraw()) return;  // the menu was owner-drawn before: it stays so afterwards
    menu.SetOwnerDraw(true);
    menu.FreeNotification(this);
    FSkinnedMenus.push_back(&menu);
}

void TMenuBarTracker::DrawItem(TMenuItem* item, HDC dc, const RECT& rect, UINT state) {
    if (!item || !FHost.SkinData() || FHost.Released()) return;
    const TMenuItemLook look = LookOfItem(*item, state);
    POINT offset{rect.left, rect.top};
    TBitmap* background = PopupBackground(item->Parent() ? item->Parent()->Handle() : nullptr, offset);
    DrawSkinMenuItem(dc, rect, look, *FHost.SkinData(), FHost.BarHost().SkinScale().Dpi, background, offset);
}

void TMenuBarTracker::MeasureItem(TMenuItem* item, int& width, int& height) {
    if (!item || !FHost.SkinData() || FHost.Released()) return;
    MeasureSkinMenuItem(LookOfItem(*item, 0), *FHost.SkinData(), FHost.BarHost().SkinScale().Dpi, width, height);
}

void TMenuBarTracker::Notification(TComponent* component, TOperation operation) {
    if (operation != TOperation::opRemove) return;
    FSkinnedMenus.erase(std::remove(FSkinnedMenus.begin(), FSkinnedMenus.end(), component), FSkinnedMenus.end());
}

// ---- the keyboard --------------------------------------------------------------------------

void TMenuBarTracker::OnDialogChar(TMessage& m, const TMessageNext& next) {
    next(m);
    if (m.Result != 0 || !FMenuBar || FTracking || FHost.Released()) return;
    const bool onlyAlt = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    if (!onlyAlt || m.WParam > 0xFFFF) return;
    const int index = FindAcceleratorItem(FMenuBar->KeyItems(), static_cast<char16_t>(m.WParam));
    TMenuBtn* item = FMenuBar->Item(index);
    if (!item) return;
    if (IsRectEmpty(&item->FRect)) FMenuBar->Layout(FHost.MenuBand());
    RECT window{};
    GetWindowRect(FHost.Handle(), &window);
    // Opened once this key's message is done, as a click one pixel inside the item would.
    const POINT at{window.left + item->FRect.left + 1, window.top + item->FRect.top + 1};
    PostMessageW(FHost.Handle(), WM_SKINOPENMENU, 1, MAKELPARAM(at.x, at.y));
    m.Result = 1;
}

bool TMenuBarTracker::OnKeyMenu(TMessage& m) {
    if ((m.WParam & 0xFFF0) != SC_KEYMENU || FTracking) return false;
    const std::vector<TKeyItem> items = FMenuBar ? FMenuBar->KeyItems() : std::vector<TKeyItem>{};
    const TKeyMenuChoice choice = ChooseKeyMenu(static_cast<std::uint32_t>(m.LParam), GetCapture() != nullptr, items);
    switch (choice.Act) {
        case TKeyMenuAct::OpenItem:
            if (TMenuBtn* item = FMenuBar ? FMenuBar->Item(choice.Index) : nullptr) {
                if (IsRectEmpty(&item->FRect)) FMenuBar->Layout(FHost.MenuBand());
                OpenMenuBtn(item, true);
            }
            m.Result = 1;
            return true;
        case TKeyMenuAct::SystemMenu: {
            POINT origin{0, 0};
            ClientToScreen(FHost.Handle(), &origin);
            FHost.ShowSystemMenu(origin);
            m.Result = 0;
            return true;
        }
        case TKeyMenuAct::PassOn: break;
    }
    return false;
}

}  // namespace qx
