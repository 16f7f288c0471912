#include "framework/Menus.h"

#include "framework/Gdi.h"
#include "framework/ImgList.h"
#include "framework/WindowDpi.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

namespace qx {

namespace {

// Commands below the platform's system commands and the MDI window list.
constexpr UINT kLastCommand = 0xEFFF;

std::unordered_set<const TMenuItem*>& LiveItems() {
    static std::unordered_set<const TMenuItem*> items;
    return items;
}

std::unordered_map<UINT, TMenuItem*>& Commands() {
    static std::unordered_map<UINT, TMenuItem*> commands;
    return commands;
}

UINT NextCommand() {
    static UINT next = 0;
    for (UINT tried = 0; tried < kLastCommand; ++tried) {
        next = next % kLastCommand + 1;
        if (!Commands().count(next)) return next;
    }
    return 0;
}

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::u16string KeyName(WORD key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::u16string(1, static_cast<char16_t>(key));
    if (key >= VK_F1 && key <= VK_F24) {
        const int n = key - VK_F1 + 1;
        std::u16string name = u"F";
        if (n >= 10) name += static_cast<char16_t>(u'0' + n / 10);
        name += static_cast<char16_t>(u'0' + n % 10);
        return name;
    }
    switch (key) {
        case VK_BACK: return u"BkSp";
        case VK_TAB: return u"Tab";
        case VK_RETURN: return u"Enter";
        case VK_ESCAPE: return u"Esc";
        case VK_SPACE: return u"Space";
        case VK_PRIOR: return u"PgUp";
        case VK_NEXT: return u"PgDn";
        case VK_END: return u"End";
        case VK_HOME: return u"Home";
        case VK_LEFT: return u"Left";
        case VK_UP: return u"Up";
        case VK_RIGHT: return u"Right";
        case VK_DOWN: return u"Down";
        case VK_INSERT: return u"Ins";
        case VK_DELETE: return u"Del";
        default: return {};
    }
}

}  // namespace

TShortCut ShortCut(WORD key, TShiftState shift) {
    TShortCut s = static_cast<TShortCut>(key & 0xFF);
    if (shift & ssShift) s |= scShift;
    if (shift & ssCtrl) s |= scCtrl;
    if (shift & ssAlt) s |= scAlt;
    return s;
}

std::u16string ShortCutToText(TShortCut shortCut) {
    const std::u16string name = KeyName(static_cast<WORD>(shortCut & 0xFF));
    if (name.empty()) return {};
    std::u16string text;
    if (shortCut & scShift) text += u"Shift+";
    if (shortCut & scCtrl) text += u"Ctrl+";
    if (shortCut & scAlt) text += u"Alt+";
    return text + name;
}

bool MenuItemSelected(UINT state) { return (state & ODS_SELECTED) != 0; }

TFontHandle CreateMenuFont(bool bold, int dpi) {
    NONCLIENTMETRICSW metrics{};
    if (!NonClientMetricsAt(dpi, metrics)) return TFontHandle();
    if (bold) metrics.lfMenuFont.lfWeight = FW_BOLD;
    return TFontHandle(CreateFontIndirectW(&metrics.lfMenuFont));
}

// ---- TMenuItem ---------------------------------------------------------------------------------

const TClassInfo& TMenuItem::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClassInfo())
            .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Int("ShortCut", &TMenuItem::ShortCut, &TMenuItem::SetShortCut)
            .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked)
            .Bool("RadioItem", &TMenuItem::RadioItem, &TMenuItem::SetRadioItem)
            .Int("GroupIndex", &TMenuItem::GroupIndex, &TMenuItem::SetGroupIndex)
            .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::SetAutoCheck)
            .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled)
            .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible)
            .Bool("Default", &TMenuItem::Default, &TMenuItem::SetDefault)
            .Int("ImageIndex", &TMenuItem::ImageIndex, &TMenuItem::SetImageIndex)
            .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Event("OnClick", &TMenuItem::OnClick)
            .Creatable()
            .Build();
    return info;
}

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), command_(NextCommand()) {
    LiveItems().insert(this);
    if (command_) Commands()[command_] = this;
}

TMenuItem::~TMenuItem() {
    dying_ = true;
    if (parent_) parent_->Remove(this);
    // Out of the handle first: the sub-items' drop-downs go with them, and a menu handle
    // destroyed later must not take them again.
    if (handle_)
        for (int pos = GetMenuItemCount(handle_) - 1; pos >= 0; --pos) {
            MENUITEMINFOW info{sizeof info};
            info.fMask = MIIM_DATA;
            if (GetMenuItemInfoW(handle_, static_cast<UINT>(pos), TRUE, &info) &&
                std::find(built_.begin(), built_.end(), info.dwItemData) != built_.end())
                RemoveMenu(handle_, static_cast<UINT>(pos), MF_BYPOSITION);
        }
    built_.clear();
    while (!items_.empty()) delete items_.back();
    if (handle_ && ownsHandle_) DestroyMenu(handle_);
    handle_ = nullptr;
    if (command_) Commands().erase(command_);
    LiveItems().erase(this);
}

TMenuItem* TMenuItem::Items(int index) const {
    return index >= 0 && index < Count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
    auto it = std::find(items_.begin(), items_.end(), item);
    return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

bool TMenuItem::AddChildComponent(TComponent* child) {
    auto* item = dynamic_cast<TMenuItem*>(child);
    if (!item) return false;
    Add(item);
    return true;
}

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (!item || item == this || item->parent_ == this) return;
    for (TMenuItem* p = this; p; p = p->parent_)
        if (p == item) return;  // an item never holds one of its parents
    if (item->parent_) item->parent_->Remove(item);
    const bool had = !items_.empty();
    index = std::clamp(index, 0, Count());
    items_.insert(items_.begin() + index, item);
    item->parent_ = this;
    ListChanged(had);
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(items_.begin(), items_.end(), item);
    if (it == items_.end()) return;
    items_.erase(it);
    item->parent_ = nullptr;
    if (!dying_) ListChanged(true);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->parent_) root = root->parent_;
    return root->menu_;
}

HMENU TMenuItem::Handle() {
    if (!handle_) {
        if (!menu_ && items_.empty()) return nullptr;
        handle_ = menu_ ? menu_->CreateMenuHandle() : CreatePopupMenu();
        ownsHandle_ = true;
        RebuildItems();
    }
    return handle_;
}

TMenuItem* TMenuItem::Find(UINT command) {
    if (command_ == command && !menu_) return this;
    for (TMenuItem* item : items_)
        if (TMenuItem* found = item->Find(command)) return found;
    return nullptr;
}

TMenuItem* TMenuItem::FindBySubMenu(HMENU menu) {
    if (!menu) return nullptr;
    if (handle_ == menu) return this;
    for (TMenuItem* item : items_)
        if (TMenuItem* found = item->FindBySubMenu(menu)) return found;
    return nullptr;
}

std::u16string TMenuItem::DisplayText() const {
    const std::u16string keys = ShortCutToText(shortCut_);
    return keys.empty() ? caption_ : caption_ + u"\t" + keys;
}

bool TMenuItem::OwnerDrawn() const {
    const TMenu* menu = GetParentMenu();
    return menu && menu->OwnerDraw();
}

void TMenuItem::FillInfo(MENUITEMINFOW& info, std::wstring& text) {
    info = MENUITEMINFOW{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA;
    info.fType = IsLine() ? MFT_SEPARATOR : MFT_STRING;
    if (radioItem_) info.fType |= MFT_RADIOCHECK;
    if (OwnerDrawn()) info.fType |= MFT_OWNERDRAW;
    if (const TMenu* menu = GetParentMenu(); menu && menu->RightToLeft()) info.fType |= MFT_RIGHTORDER;
    if (checked_) info.fState |= MFS_CHECKED;
    if (!enabled_) info.fState |= MFS_GRAYED;
    if (default_) info.fState |= MFS_DEFAULT;
    info.wID = command_;
    info.hSubMenu = items_.empty() ? nullptr : Handle();
    info.dwItemData = reinterpret_cast<ULONG_PTR>(this);
    if (!IsLine()) {
        text = Wide(DisplayText());
        info.fMask |= MIIM_STRING;
        info.dwTypeData = text.data();
        info.cch = static_cast<UINT>(text.size());
    }
}

void TMenuItem::RebuildItems() {
    if (!handle_ || dying_) return;
    // Others may have put items of their own into the handle (the MDI window list, a
    // maximized child's buttons): only this item's own ones are replaced, where they were.
    int first = -1;
    for (int pos = GetMenuItemCount(handle_) - 1; pos >= 0; --pos) {
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoW(handle_, static_cast<UINT>(pos), TRUE, &info)) continue;
        if (std::find(built_.begin(), built_.end(), info.dwItemData) == built_.end()) continue;
        RemoveMenu(handle_, static_cast<UINT>(pos), MF_BYPOSITION);
        first = pos;
    }
    built_.clear();
    UINT at = first < 0 ? 0 : static_cast<UINT>(first);
    for (TMenuItem* item : items_) {
        if (!item->visible_) continue;
        MENUITEMINFOW info;
        std::wstring text;
        item->FillInfo(info, text);
        if (InsertMenuItemW(handle_, at, TRUE, &info)) {
            ++at;
            built_.push_back(info.dwItemData);
        }
    }
}

void TMenuItem::UpdateNative() {
    if (!parent_ || !parent_->handle_ || !visible_) return;
    HMENU menu = parent_->handle_;
    for (int pos = 0, n = GetMenuItemCount(menu); pos < n; ++pos) {
        MENUITEMINFOW probe{sizeof probe};
        probe.fMask = MIIM_DATA;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &probe) ||
            probe.dwItemData != reinterpret_cast<ULONG_PTR>(this))
            continue;
        MENUITEMINFOW info;
        std::wstring text;
        FillInfo(info, text);
        SetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
        return;
    }
}

void TMenuItem::PropertyChanged(bool visibility) {
    if (dying_) return;
    if (parent_) {
        if (visibility)
            parent_->RebuildItems();
        else
            UpdateNative();
    }
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(visibility);
}

void TMenuItem::ListChanged(bool hadItems) {
    if (dying_) return;
    RebuildItems();
    // Gaining the first or losing the last sub-item makes this item a drop-down or not.
    if (parent_ && hadItems != !items_.empty()) UpdateNative();
    if (TMenu* menu = GetParentMenu()) menu->MenuChanged(true);
}

void TMenuItem::SetCaption(const std::u16string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    PropertyChanged(false);
}

void TMenuItem::SetShortCut(TShortCut shortCut) {
    if (shortCut == shortCut_) return;
    shortCut_ = shortCut;
    PropertyChanged(false);
}

void TMenuItem::SetChecked(bool checked) {
    if (checked == checked_) return;
    checked_ = checked;
    if (checked && radioItem_ && parent_)
        for (TMenuItem* other : parent_->items_)
            if (other != this && other->radioItem_ && other->groupIndex_ == groupIndex_) other->SetChecked(false);
    PropertyChanged(false);
}

void TMenuItem::SetRadioItem(bool value) {
    if (value == radioItem_) return;
    radioItem_ = value;
    PropertyChanged(false);
}

void TMenuItem::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    PropertyChanged(false);
}

void TMenuItem::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    PropertyChanged(true);
}

void TMenuItem::SetDefault(bool value) {
    if (value == default_) return;
    default_ = value;
    PropertyChanged(false);
}

void TMenuItem::SetImageIndex(int index) {
    if (index == imageIndex_) return;
    imageIndex_ = index;
    PropertyChanged(false);
}

void TMenuItem::Click() {
    if (autoCheck_) SetChecked(radioItem_ ? true : !checked_);
    if (OnClick) OnClick(this);
}

void TMenuItem::MeasureItem(HDC dc, int& width, int& height) {
    if (OnMeasureItem) {
        OnMeasureItem(this, dc, width, height);
        return;
    }
    if (IsLine()) {
        height = 8;
        return;
    }
    TFontHandle font = CreateMenuFont(default_);
    TSelectObject selected(dc, font.Get());
    const std::wstring text = Wide(DisplayText());
    SIZE extent{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    width = extent.cx + 24 + 20;
    height = std::max<int>(extent.cy + 6, GetSystemMetrics(SM_CYMENU));
}

void TMenuItem::DrawItem(HDC dc, const RECT& rect, UINT state) {
    if (OnDrawItem) {
        OnDrawItem(this, dc, rect, state);
        return;
    }
    // The plain owner-drawn look: the system's menu colours, the glyph column, the texts.
    const bool selected = MenuItemSelected(state);
    const bool disabled = (state & (ODS_GRAYED | ODS_DISABLED)) != 0;
    FillRect(dc, &rect, GetSysColorBrush(selected && !IsLine() ? COLOR_HIGHLIGHT : COLOR_MENU));
    if (IsLine()) {
        RECT line{rect.left + 2, (rect.top + rect.bottom) / 2 - 1, rect.right - 2, (rect.top + rect.bottom) / 2 + 1};
        DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
        return;
    }
    const int glyph = 20;
    TMenu* menu = GetParentMenu();
    TImageList* images = menu ? menu->Images() : nullptr;
    if (images && imageIndex_ >= 0) {
        images->Draw(dc, rect.left + 2, rect.top + (rect.bottom - rect.top - images->Height()) / 2, imageIndex_, !disabled);
    } else if (checked_) {
        const int cx = rect.left + glyph / 2, cy = (rect.top + rect.bottom) / 2;
        TPenHandle pen(CreatePen(PS_SOLID, 2, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
        TSelectObject p(dc, pen.Get());
        if (radioItem_) {
            TBrushHandle dot(CreateSolidBrush(GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT)));
            TSelectObject b(dc, dot.Get());
            Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
        } else {
            MoveToEx(dc, cx - 4, cy, nullptr);
            LineTo(dc, cx - 1, cy + 3);
            LineTo(dc, cx + 5, cy - 3);
        }
    }
    TFontHandle font = CreateMenuFont(default_);
    TSelectObject selectedFont(dc, font.Get());
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(dc, GetSysColor(disabled ? COLOR_GRAYTEXT : selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
    RECT text{rect.left + glyph + 4, rect.top, rect.right - 10, rect.bottom};
    const std::wstring caption = Wide(caption_);
    const UINT noPrefix = (state & ODS_NOACCEL) ? DT_HIDEPREFIX : 0;
    DrawTextW(dc, caption.c_str(), static_cast<int>(caption.size()), &text, DT_SINGLELINE | DT_VCENTER | noPrefix);
    const std::wstring keys = Wide(ShortCutToText(shortCut_));
    if (!keys.empty())
        DrawTextW(dc, keys.c_str(), static_cast<int>(keys.size()), &text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    SetTextColor(dc, oldColor);
    SetBkMode(dc, oldMode);
}

// ---- TMenu -------------------------------------------------------------------------------------

const TClassInfo& TMenu::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TMenu>("TMenu", &TComponent::StaticClassInfo())
                                       .Bool("OwnerDraw", &TMenu::OwnerDraw, &TMenu::SetOwnerDraw)
                                       .Reference<TImageList>("Images", &TMenu::Images, &TMenu::SetImages)
                                       .Build();
    return info;
}

TMenu::TMenu(TComponent* owner) : TComponent(owner), items_(new TMenuItem(this)) { items_->menu_ = this; }

TMenu::~TMenu() {
    if (images_) images_->RemoveFreeNotification(this);
    // The items go after this part of the object: none may tell it of a change any more.
    items_->menu_ = nullptr;
}

void TMenu::Notification(TComponent* component, TOperation operation) {
    if (operation == TOperation::opRemove && component == images_) images_ = nullptr;
}

void TMenu::SetOwnerDraw(bool value) {
    if (value == ownerDraw_) return;
    ownerDraw_ = value;
    // Every item's type carries the owner-drawn flag.
    std::function<void(TMenuItem*)> walk = [&walk](TMenuItem* item) {
        item->RebuildItems();
        for (TMenuItem* sub : item->items_) walk(sub);
    };
    walk(items_);
    MenuChanged(true);
}

void TMenu::SetImages(TImageList* images) {
    if (images == images_) return;
    if (images_) images_->RemoveFreeNotification(this);
    images_ = images;
    if (images_) images_->FreeNotification(this);
    MenuChanged(false);
}

bool TMenu::DispatchCommand(UINT command) {
    TMenuItem* item = FindItem(command);
    if (!item) return false;
    if (item->Enabled()) item->Click();
    return true;
}

bool TMenu::DispatchPopup(HMENU menu) {
    TMenuItem* item = items_->FindBySubMenu(menu);
    if (!item) return false;
    if (item != items_ && item->OnClick) item->OnClick(item);
    return true;
}

bool TMenu::IsShortCut(TShortCut shortCut) {
    if (!shortCut) return false;
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* parent) -> TMenuItem* {
        for (TMenuItem* item : parent->items_) {
            if (!item->Visible() || !item->Enabled()) continue;
            if (item->ShortCut() == shortCut) return item;
            if (TMenuItem* found = find(item)) return found;
        }
        return nullptr;
    };
    TMenuItem* item = find(items_);
    if (!item) return false;
    item->Click();
    return true;
}

const TClassInfo& TMainMenu::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMainMenu>("TMainMenu", &TMenu::StaticClassInfo()).Creatable().Build();
    return info;
}

TMainMenu::~TMainMenu() {
    // A window destroys the menu it shows; this menu's handle is its own to destroy.
    if (window_ && IsWindow(window_) && Items()->HasHandle() && GetMenu(window_) == Items()->Handle())
        SetMenu(window_, nullptr);
}

void TMainMenu::MenuChanged(bool structure) {
    if (!window_ || !IsWindow(window_)) return;
    if (GetMenu(window_)) DrawMenuBar(window_);
    // Whoever draws the bar itself (the skin engine) hears of it.
    SendMessageW(window_, CM_MENUCHANGED, structure ? 1 : 0, 0);
}

const TClassInfo& TPopupMenu::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TPopupMenu>("TPopupMenu", &TMenu::StaticClassInfo()).Creatable().Build();
    return info;
}

TPopupMenu::~TPopupMenu() = default;

void TPopupMenu::Popup(int x, int y) {
    popupPoint_ = POINT{x, y};
    if (OnPopup) OnPopup(this);
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON;
    if (alignment_ == TPopupAlignment::paRight || RightToLeft()) flags |= TPM_RIGHTALIGN;
    if (alignment_ == TPopupAlignment::paCenter) flags |= TPM_CENTERALIGN;
    HWND owner = PopupListWindow();
    const UINT command = static_cast<UINT>(TrackPopupMenuEx(Handle(), flags, x, y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    // The menu may have been freed while it showed: the item is looked up afresh.
    if (TMenuItem* item = command ? MenuItemFromCommand(command) : nullptr; item && item->Enabled()) item->Click();
}

// ---- messages ----------------------------------------------------------------------------------

TMenuItem* MenuItemFromData(ULONG_PTR data) {
    auto* item = reinterpret_cast<TMenuItem*>(data);
    return data && LiveItems().count(item) ? item : nullptr;
}

TMenuItem* MenuItemFromCommand(UINT command) {
    auto it = Commands().find(command);
    return it == Commands().end() ? nullptr : it->second;
}

bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* measure) {
    if (!measure || measure->CtlType != ODT_MENU) return false;
    TMenuItem* item = MenuItemFromData(measure->itemData);
    if (!item) return false;
    HDC dc = GetDC(nullptr);
    int width = static_cast<int>(measure->itemWidth), height = static_cast<int>(measure->itemHeight);
    try {
        item->MeasureItem(dc, width, height);
    } catch (...) {
        // A failing handler leaves the proposed size.
    }
    ReleaseDC(nullptr, dc);
    measure->itemWidth = static_cast<UINT>(std::max(width, 0));
    measure->itemHeight = static_cast<UINT>(std::max(height, 0));
    return true;
}

bool DispatchMenuDrawItem(DRAWITEMSTRUCT* draw) {
    if (!draw || draw->CtlType != ODT_MENU) return false;
    TMenuItem* item = MenuItemFromData(draw->itemData);
    if (!item) return false;
    try {
        item->DrawItem(draw->hDC, draw->rcItem, draw->itemState);
    } catch (...) {
        // Painting never lets an exception into the menu's own drawing.
    }
    return true;
}

namespace {

LRESULT CALLBACK PopupListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_MEASUREITEM:
            if (DispatchMenuMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_DRAWITEM:
            if (DispatchMenuDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
            break;
        case WM_INITMENUPOPUP:
            for (const TMenuItem* live : LiveItems()) {
                auto* item = const_cast<TMenuItem*>(live);
                if (item->HasHandle() && item->Handle() == reinterpret_cast<HMENU>(wParam)) {
                    if (item->Parent() && item->OnClick) item->OnClick(item);
                    break;
                }
            }
            return 0;
        default: break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// The window lives as long as the program; it is destroyed with the thread's windows.
struct TPopupList {
    HWND window = nullptr;
    ~TPopupList() {
        if (window && IsWindow(window)) DestroyWindow(window);
    }
};

}  // namespace

HWND PopupListWindow() {
    static TPopupList list;
    if (list.window && IsWindow(list.window)) return list.window;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{sizeof existing};
    if (!GetClassInfoExW(instance, L"QxPopupList", &existing)) {
        WNDCLASSEXW wc{sizeof wc};
        wc.lpfnWndProc = PopupListProc;
        wc.hInstance = instance;
        wc.lpszClassName = L"QxPopupList";
        RegisterClassExW(&wc);
    }
    list.window = CreateWindowExW(WS_EX_TOOLWINDOW, L"QxPopupList", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  instance, nullptr);
    return list.window;
}

}  // namespace qx
