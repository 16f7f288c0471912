#include "core/MenuRules.h"

namespace qx {

namespace {

// The platform's system command identifiers.
constexpr std::uint32_t kScSize = 0xF000;
constexpr std::uint32_t kScMove = 0xF010;
constexpr std::uint32_t kScMinimize = 0xF020;
constexpr std::uint32_t kScMaximize = 0xF030;
constexpr std::uint32_t kScClose = 0xF060;
constexpr std::uint32_t kScRestore = 0xF120;

// The skin's menu glyphs, in their strip order.
constexpr int kGlyphRestore = 0;
constexpr int kGlyphMaximize = 1;
constexpr int kGlyphMinimize = 2;
constexpr int kGlyphClose = 3;

// Upper case of the letters that menu captions of the Latin and Cyrillic scripts use; the
// platform's locale is not asked, so that the rule is the same everywhere.
char16_t Upper(char16_t c) {
    auto odd = [c] { return (c & 1) != 0; };
    if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 0x20);
    if (c < 0xE0) return c;
    if (c <= 0xFE) return c == 0xF7 ? c : static_cast<char16_t>(c - 0x20);
    if (c == 0xFF) return 0x178;
    if (c == 0x131) return u'I';  // dotless i
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return odd() ? static_cast<char16_t>(c - 1) : c;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return odd() ? c : static_cast<char16_t>(c - 1);
    if (c >= 0x430 && c <= 0x44F) return static_cast<char16_t>(c - 0x20);
    if (c >= 0x450 && c <= 0x45F) return static_cast<char16_t>(c - 0x50);
    return c;
}

}  // namespace

char16_t MenuAccelerator(std::u16string_view caption) {
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&') continue;
        if (caption[i + 1] == u'&') {
            ++i;  // a plain ampersand
            continue;
        }
        return Upper(caption[i + 1]);
    }
    return 0;
}

int FindAcceleratorItem(const std::vector<TKeyItem>& items, char16_t key) {
    if (key == 0) return -1;
    const char16_t wanted = Upper(key);
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TKeyItem& item = items[i];
        if (item.Enabled && item.Visible && MenuAccelerator(item.Caption) == wanted) return static_cast<int>(i);
    }
    return -1;
}

TKeyMenuChoice ChooseKeyMenu(std::uint32_t key, bool mouseCaptured, const std::vector<TKeyItem>& items) {
    if (key == u' ') return {TKeyMenuAct::SystemMenu, -1};
    if (key == u'-' || mouseCaptured) return {TKeyMenuAct::PassOn, -1};
    if (key == 0) {
        // Alt alone: the first item that can open; the key is the skin's even without one, so
        // that the platform never opens its own menus over the skin.
        for (std::size_t i = 0; i < items.size(); ++i)
            if (items[i].Visible && !items[i].Caption.empty()) return {TKeyMenuAct::OpenItem, static_cast<int>(i)};
        return {TKeyMenuAct::OpenItem, -1};
    }
    if (key > 0xFFFF) return {TKeyMenuAct::PassOn, -1};
    const int found = FindAcceleratorItem(items, static_cast<char16_t>(key));
    if (found < 0) return {TKeyMenuAct::PassOn, -1};
    return {TKeyMenuAct::OpenItem, found};
}

std::vector<bool> SeparatorsShown(const std::vector<TSeparatorEntry>& entries) {
    const std::size_t n = entries.size();
    std::vector<bool> shown(n, false);
    // Whether a shown item follows each position.
    std::vector<bool> itemAfter(n + 1, false);
    for (std::size_t i = n; i-- > 0;)
        itemAfter[i] = itemAfter[i + 1] || (!entries[i].Separator && entries[i].Visible);
    bool itemBefore = false;
    for (std::size_t i = 0; i < n; ++i) {
        if (!entries[i].Separator) {
            shown[i] = entries[i].Visible;
            if (shown[i]) itemBefore = true;
            continue;
        }
        shown[i] = itemBefore && itemAfter[i + 1];
        if (shown[i]) itemBefore = false;
    }
    return shown;
}

TSysMenuItemLook SysMenuItemLook(std::uint32_t id, bool ownEnabled, const TSysMenuFacts& f) {
    const bool normal = !f.Maximized && !f.Minimized;
    switch (id) {
        case kScSize: return {-1, !f.Maximized && !f.Minimized && f.Sizeable};
        case kScMove: return {-1, !f.Maximized};
        case kScMinimize: return {kGlyphMinimize, !f.Minimized && f.HasMinBox};
        case kScMaximize: return {kGlyphMaximize, !f.Maximized && f.HasMaxBox};
        case kScClose: return {kGlyphClose, ownEnabled};
        case kScRestore: return {kGlyphRestore, !normal};
        default: return {-1, ownEnabled};
    }
}

bool PopupKindSkinned(int kind, const TPopupFamilies& families) {
    switch (kind) {
        case 0: return families.PopupMenu;
        case 1: return families.MainMenu || families.MenuItem;
        case 2: return families.SystemMenu;
        default: return true;
    }
}

}  // namespace qx
