// The rules of skinned menus that need no window: the accelerator letter of a caption, what
// Alt and a key do on a skinned window, which separators of a drop-down show, how the skinned
// system menu shows each of its items for the window's state, and which popup menus take the
// skin. Tested on their own.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace qx {

// The letter after a single '&' of a caption, upper-cased; 0 when the caption has none ("&&"
// is a plain ampersand).
char16_t MenuAccelerator(std::u16string_view caption);

// One menu bar item as the keyboard sees it.
struct TKeyItem {
    std::u16string_view Caption;
    bool Enabled = true;
    bool Visible = true;
};

// The enabled, visible item whose accelerator is key (either case), or -1.
int FindAcceleratorItem(const std::vector<TKeyItem>& items, char16_t key);

// What Alt and a key (the key of a keyboard menu command: 0 for Alt alone) do on a skinned window.
enum class TKeyMenuAct : std::uint8_t {
    OpenItem,    // open the menu bar item Index (-1: nothing to open, the key is taken anyway)
    SystemMenu,  // Alt+Space: the skinned system menu
    PassOn,      // the platform's own handling (Alt+-, keys no item answers, mouse captured)
};
struct TKeyMenuChoice {
    TKeyMenuAct Act = TKeyMenuAct::PassOn;
    int Index = -1;
};
TKeyMenuChoice ChooseKeyMenu(std::uint32_t key, bool mouseCaptured, const std::vector<TKeyItem>& items);

// One entry of a drop-down for separator hiding.
struct TSeparatorEntry {
    bool Separator = false;
    bool Visible = true;  // for items: whether they show
};
// For each entry: whether it shows. Items keep their own visibility; a separator shows only
// between two shown items and never next to another shown separator.
std::vector<bool> SeparatorsShown(const std::vector<TSeparatorEntry>& entries);

// The window facts that decide the system menu's items.
struct TSysMenuFacts {
    bool Maximized = false;
    bool Minimized = false;
    bool Sizeable = false;
    bool HasMinBox = false;
    bool HasMaxBox = false;
};
// How the skinned copy of the system menu shows one item: the image of the skin's menu
// glyphs (-1: none), and whether it is enabled.
struct TSysMenuItemLook {
    int ImageIndex = -1;
    bool Enabled = true;
};
// id is the item's command; ownEnabled what the platform's menu says of it (kept for the
// items the window state does not decide).
TSysMenuItemLook SysMenuItemLook(std::uint32_t id, bool ownEnabled, const TSysMenuFacts& facts);

// Which families of popup menus the skin draws (the skin's SkinControls members).
struct TPopupFamilies {
    bool PopupMenu = false;
    bool MainMenu = false;
    bool MenuItem = false;
    bool SystemMenu = false;
};
// Whether a popup of this kind (0 a context menu, 1 a menu bar drop-down, 2 the system menu)
// takes the skin; kinds this system does not know need nothing.
bool PopupKindSkinned(int kind, const TPopupFamilies& families);

}  // namespace qx
