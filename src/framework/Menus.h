// Menus: a form's main menu, popup menus and their items. An item is a component with a
// caption (the letter after '&' is its accelerator, "-" makes a separator), a shortcut, check
// and radio marks, an image of the menu's image list and a click event; items hold sub-items.
// A menu builds the platform's menu handles from its items and keeps them in step when an
// item changes; a handle stays the same for the life of its menu or item, so that others (the
// MDI window list, the skin engine) can hold on to it.
#pragma once
#include "framework/Component.h"
#include "framework/Gdi.h"
#include "framework/Types.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace qx {

class TImageList;
class TMenu;
class TMenuItem;

// A key with modifiers: the virtual key in the low byte, and the modifier bits.
using TShortCut = std::uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
TShortCut ShortCut(WORD key, TShiftState shift);
// "Ctrl+O", "Shift+F5", "Alt+F4"; empty for no shortcut.
std::u16string ShortCutToText(TShortCut shortCut);

// dc is the menu's DC, rect the item's rectangle on it, state the platform's ODS_* flags.
using TMenuDrawItemEvent = std::function<void(TMenuItem* sender, HDC dc, const RECT& rect, UINT state)>;
// width and height come in proposed and go out as the item wants them.
using TMenuMeasureItemEvent = std::function<void(TMenuItem* sender, HDC dc, int& width, int& height)>;

class TMenuItem : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::u16string& Caption() const { return caption_; }
    void SetCaption(const std::u16string& caption);
    TShortCut ShortCut() const { return shortCut_; }
    void SetShortCut(TShortCut shortCut);
    bool Checked() const { return checked_; }
    // Checking a radio item unchecks the other radio items of its group under the same parent.
    void SetChecked(bool checked);
    bool RadioItem() const { return radioItem_; }
    void SetRadioItem(bool value);
    std::uint8_t GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(std::uint8_t value) { groupIndex_ = value; }
    bool AutoCheck() const { return autoCheck_; }
    void SetAutoCheck(bool value) { autoCheck_ = value; }
    bool Enabled() const { return enabled_; }
    void SetEnabled(bool enabled);
    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    bool Default() const { return default_; }
    void SetDefault(bool value);
    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int index);
    const std::u16string& Hint() const { return hint_; }
    void SetHint(const std::u16string& hint) { hint_ = hint; }

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;
    TMenuMeasureItemEvent OnMeasureItem;

    // ---- sub-items (not owned: the owner component frees them; a freed item leaves its
    // parent, and an item frees its sub-items with itself) ----
    int Count() const { return static_cast<int>(items_.size()); }
    TMenuItem* Items(int index) const;
    const std::vector<TMenuItem*>& ItemList() const { return items_; }
    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int IndexOf(const TMenuItem* item) const;
    TMenuItem* Parent() const { return parent_; }
    TMenu* GetParentMenu() const;
    bool IsLine() const { return caption_ == u"-"; }
    // The command identifier the platform reports for this item (unique in the program).
    UINT Command() const { return command_; }
    // The drop-down of an item that has sub-items (made on demand); none otherwise. A menu's
    // own item list answers the menu's handle.
    HMENU Handle();
    bool HasHandle() const { return handle_ != nullptr; }
    // This item or the first sub-item (at any depth) with the command, or none.
    TMenuItem* Find(UINT command);
    // The item whose drop-down is menu, or none.
    TMenuItem* FindBySubMenu(HMENU menu);
    // The caption and the shortcut text as the platform shows them ("&Open\tCtrl+O").
    std::u16string DisplayText() const;

    // What a click on the item does: an auto-check item toggles, then OnClick.
    virtual void Click();
    // The owner drawing of the item: its handlers when set, else a plain look of its own.
    void DrawItem(HDC dc, const RECT& rect, UINT state);
    void MeasureItem(HDC dc, int& width, int& height);
    // A layout nests sub-items inside their item.
    bool AddChildComponent(TComponent* child) override;

private:
    friend class TMenu;
    // This item's own look changed (visibility: it showed or hid).
    void PropertyChanged(bool visibility);
    // Items came or went under this item.
    void ListChanged(bool hadItems);
    // Puts this item's sub-items into its handle again, where its earlier ones were.
    void RebuildItems();
    // Updates this item in its parent's handle.
    void UpdateNative();
    void FillInfo(MENUITEMINFOW& info, std::wstring& text);
    bool OwnerDrawn() const;

    std::u16string caption_;
    std::u16string hint_;
    TShortCut shortCut_ = 0;
    bool checked_ = false, radioItem_ = false, autoCheck_ = false, enabled_ = true, visible_ = true, default_ = false;
    std::uint8_t groupIndex_ = 0;
    int imageIndex_ = -1;
    UINT command_ = 0;
    TMenuItem* parent_ = nullptr;
    std::vector<TMenuItem*> items_;
    HMENU handle_ = nullptr;      // owned unless a menu lent it (its root item)
    bool ownsHandle_ = true;
    std::vector<ULONG_PTR> built_;  // the sub-items this item put into its handle (their data)
    TMenu* menu_ = nullptr;       // set on a menu's root item
    bool dying_ = false;
};

// The platform's ODS_* flags of a menu item as a drawing handler sees them.
bool MenuItemSelected(UINT state);
// The system's menu font (bold for a default item), at dpi (0: the system's own).
TFontHandle CreateMenuFont(bool bold = false, int dpi = 0);

class TMenu : public TComponent {
    QX_CLASS_INFO()
public:
    ~TMenu() override;
    // The root item: its sub-items are the menu's items.
    TMenuItem* Items() const { return items_; }
    HMENU Handle() { return items_->Handle(); }
    // Items drawn by their owner (OnDrawItem or the plain owner-drawn look).
    bool OwnerDraw() const { return ownerDraw_; }
    void SetOwnerDraw(bool value);
    TImageList* Images() const { return images_; }
    void SetImages(TImageList* images);
    bool RightToLeft() const { return rightToLeft_; }
    void SetRightToLeft(bool value) { rightToLeft_ = value; }

    TMenuItem* FindItem(UINT command) { return items_->Find(command); }
    // A command the platform reported: the item's click; false when no item has it.
    bool DispatchCommand(UINT command);
    // A drop-down opens: the click of the item it belongs to (so that it can update its items).
    bool DispatchPopup(HMENU menu);
    // Runs the click of the enabled item with this shortcut; false when none has it.
    bool IsShortCut(TShortCut shortCut);

    // An item changed; structure is true when items came, went, or showed or hid.
    virtual void MenuChanged(bool structure) {}
    // A layout nests the menu's items inside it.
    bool AddChildComponent(TComponent* child) override { return items_->AddChildComponent(child); }

protected:
    explicit TMenu(TComponent* owner);
    void Notification(TComponent* component, TOperation operation) override;
    // The menu's own handle: a menu bar or a popup menu.
    virtual HMENU CreateMenuHandle() = 0;

private:
    friend class TMenuItem;
    TMenuItem* items_;
    bool ownerDraw_ = false;
    bool rightToLeft_ = false;
    TImageList* images_ = nullptr;
};

// A form's menu bar.
class TMainMenu : public TMenu {
    QX_CLASS_INFO()
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    ~TMainMenu() override;
    // The window that shows this menu (set by the form), told when the menu changes.
    HWND WindowHandle() const { return window_; }
    void SetWindowHandle(HWND window) { window_ = window; }
    void MenuChanged(bool structure) override;

protected:
    HMENU CreateMenuHandle() override { return CreateMenu(); }

private:
    HWND window_ = nullptr;
};

enum class TPopupAlignment : std::uint8_t { paLeft, paRight, paCenter };

// A menu that pops up at a point (a context menu).
class TPopupMenu : public TMenu {
    QX_CLASS_INFO()
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    ~TPopupMenu() override;
    // Shows the menu at the screen point and runs the chosen item's click before it returns.
    virtual void Popup(int x, int y);
    TPopupAlignment Alignment() const { return alignment_; }
    void SetAlignment(TPopupAlignment value) { alignment_ = value; }
    // The control whose context menu this is, while it shows.
    TComponent* PopupComponent() const { return popupComponent_; }
    void SetPopupComponent(TComponent* component) { popupComponent_ = component; }
    POINT PopupPoint() const { return popupPoint_; }
    TNotifyEvent OnPopup;

protected:
    HMENU CreateMenuHandle() override { return CreatePopupMenu(); }

private:
    TPopupAlignment alignment_ = TPopupAlignment::paLeft;
    TComponent* popupComponent_ = nullptr;
    POINT popupPoint_{};
};

// ---- the platform's menu messages, for the windows that own menus ----
// The live framework item that an owner-drawn item's data names, or none.
TMenuItem* MenuItemFromData(ULONG_PTR data);
// The item with this command, in any menu of the program, or none.
TMenuItem* MenuItemFromCommand(UINT command);
// WM_MEASUREITEM and WM_DRAWITEM of framework items; false for anything else.
bool DispatchMenuMeasureItem(MEASUREITEMSTRUCT* measure);
bool DispatchMenuDrawItem(DRAWITEMSTRUCT* draw);
// The hidden window that owns popup menus while they show.
HWND PopupListWindow();

}  // namespace qx
