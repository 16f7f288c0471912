// The menu rules without windows: the menu bar's layout, hit test and keyboard moves, the
// accelerator of a caption and what Alt with a key does, separators of a drop-down, the
// skinned system menu per window state, and which popups take the skin.
#include "core/MenuBarLayout.h"
#include "core/MenuRules.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(MenuBarLayout, ItemsFollowEachOtherFromTheLeadingEdgeAndPointsFindThem) {
    // "File", a hidden item, an item without caption, "Window".
    const std::vector<TBarItem> items{{30, true, true}, {40, false, true}, {0, true, false}, {50, true, true}};
    TBarBand band{4, 28, 404, 47, 6, false};
    const auto rects = LayoutMenuBar(items, band);
    ASSERT_EQ(rects.size(), 4u);
    // Each visible item is its text plus 10 wide, the last band row left free.
    EXPECT_EQ(rects[0].Left, 10);
    EXPECT_EQ(rects[0].Right, 50);
    EXPECT_EQ(rects[0].Top, 28);
    EXPECT_EQ(rects[0].Bottom, 46);
    EXPECT_TRUE(rects[1].Empty());
    EXPECT_TRUE(rects[2].Empty());
    EXPECT_EQ(rects[3].Left, 50);
    EXPECT_EQ(rects[3].Right, 110);
    EXPECT_EQ(MenuBarItemAt(rects, items, 10, 30), 0);
    EXPECT_EQ(MenuBarItemAt(rects, items, 49, 45), 0);
    EXPECT_EQ(MenuBarItemAt(rects, items, 50, 30), 3);
    EXPECT_EQ(MenuBarItemAt(rects, items, 9, 30), -1) << "before the first item";
    EXPECT_EQ(MenuBarItemAt(rects, items, 60, 46), -1) << "the band's last row";
    EXPECT_EQ(MenuBarItemAt(rects, items, 200, 30), -1) << "past the last item";

    // Right to left: the first item hugs the right edge and the rest follow leftwards.
    band.RightToLeft = true;
    const auto rtl = LayoutMenuBar(items, band);
    EXPECT_EQ(rtl[0].Right, 398);
    EXPECT_EQ(rtl[0].Left, 358);
    EXPECT_EQ(rtl[3].Right, 358);
    EXPECT_EQ(MenuBarItemAt(rtl, items, 397, 30), 0);

    // At 200 % the text is measured in the larger font; the room around it doubles too, and
    // the items still meet.
    band = TBarBand{8, 56, 808, 94, 12, false, 192};
    const auto doubled = LayoutMenuBar({{60, true, true}, {100, true, true}}, band);
    EXPECT_EQ(doubled[0].Left, 20);
    EXPECT_EQ(doubled[0].Right, 100);
    EXPECT_EQ(doubled[1].Left, 100);
    EXPECT_EQ(doubled[1].Right, 220);
}

TEST(MenuBarLayout, FirstOffsetAndNeighboursWrapOverItemsThatCannotOpen) {
    EXPECT_EQ(MenuBarFirstOffset(false, 9, 9, 300, false), 6);
    EXPECT_EQ(MenuBarFirstOffset(true, 3, 7, 300, false), 7);
    EXPECT_EQ(MenuBarFirstOffset(true, 3, 7, 300, true), 15);
    EXPECT_EQ(MenuBarFirstOffset(true, 30, 7, 20, false), 12) << "a band narrower than the margin";

    // At 150 %: the gaps grow with the scale, the margins come in already scaled.
    EXPECT_EQ(MenuBarFirstOffset(false, 9, 9, 300, false, 144), 9);
    EXPECT_EQ(MenuBarFirstOffset(true, 5, 11, 300, false, 144), 11);
    EXPECT_EQ(MenuBarFirstOffset(true, 5, 11, 300, true, 144), 23);
    EXPECT_EQ(MenuBarFirstOffset(true, 45, 11, 30, false, 144), 18) << "a band narrower than the margin";

    const std::vector<bool> canOpen{true, false, true, true};
    EXPECT_EQ(MenuBarNeighbour(canOpen, 0, +1), 2);
    EXPECT_EQ(MenuBarNeighbour(canOpen, 3, +1), 0) << "the last wraps to the first";
    EXPECT_EQ(MenuBarNeighbour(canOpen, 0, -1), 3) << "the first wraps to the last";
    EXPECT_EQ(MenuBarNeighbour(canOpen, 2, -1), 0);
    EXPECT_EQ(MenuBarNeighbour(canOpen, -1, +1), 0);
    EXPECT_EQ(MenuBarNeighbour(canOpen, -1, -1), 3);
    EXPECT_EQ(MenuBarNeighbour({false, false}, 0, +1), -1);
    EXPECT_EQ(MenuBarNeighbour({}, 0, +1), -1);
}

TEST(MenuKeyboard, AcceleratorsAndWhatAltWithAKeyOpens) {
    EXPECT_EQ(MenuAccelerator(u"&File"), u'F');
    EXPECT_EQ(MenuAccelerator(u"E&xit"), u'X');
    EXPECT_EQ(MenuAccelerator(u"Save && &quit"), u'Q') << "a doubled ampersand is text";
    EXPECT_EQ(MenuAccelerator(u"Fish && chips"), 0);
    EXPECT_EQ(MenuAccelerator(u"Trailing&"), 0);
    EXPECT_EQ(MenuAccelerator(u"&\u00e7ift"), u'\u00c7') << "letters beyond ASCII compare upper-cased";
    EXPECT_EQ(MenuAccelerator(u"&\u015fube"), u'\u015e');
    EXPECT_EQ(MenuAccelerator(u"&\u0131s\u0131"), u'I');

    const std::vector<TKeyItem> bar{{u"&File", true, true}, {u"&Edit", false, true}, {u"&Window", true, false},
                                    {u"&Help", true, true}, {u"&Fonts", true, true}};
    EXPECT_EQ(FindAcceleratorItem(bar, u'f'), 0) << "the first of two items with the letter";
    EXPECT_EQ(FindAcceleratorItem(bar, u'E'), -1) << "disabled";
    EXPECT_EQ(FindAcceleratorItem(bar, u'w'), -1) << "hidden";
    EXPECT_EQ(FindAcceleratorItem(bar, u'h'), 3);

    auto choose = [&bar](std::uint32_t key, bool captured = false) { return ChooseKeyMenu(key, captured, bar); };
    EXPECT_EQ(choose(u'h').Act, TKeyMenuAct::OpenItem);
    EXPECT_EQ(choose(u'h').Index, 3);
    EXPECT_EQ(choose(u' ').Act, TKeyMenuAct::SystemMenu) << "Alt+Space";
    EXPECT_EQ(choose(u'-').Act, TKeyMenuAct::PassOn) << "Alt+- belongs to an MDI child's own menu";
    EXPECT_EQ(choose(u'q').Act, TKeyMenuAct::PassOn) << "no item answers";
    EXPECT_EQ(choose(u'h', true).Act, TKeyMenuAct::PassOn) << "while the mouse is captured";
    EXPECT_EQ(choose(0).Act, TKeyMenuAct::OpenItem) << "Alt alone";
    EXPECT_EQ(choose(0).Index, 0);
    const auto none = ChooseKeyMenu(0, false, {});
    EXPECT_EQ(none.Act, TKeyMenuAct::OpenItem) << "taken even without a bar, so no system menu opens unskinned";
    EXPECT_EQ(none.Index, -1);
}

TEST(MenuSeparators, NeverFirstLastOrTwiceInARow) {
    auto shown = [](std::vector<TSeparatorEntry> entries) {
        std::string out;
        const auto s = SeparatorsShown(entries);
        for (std::size_t i = 0; i < entries.size(); ++i)
            out += entries[i].Separator ? (s[i] ? '-' : ' ') : (s[i] ? 'I' : '.');
        return out;
    };
    const TSeparatorEntry sep{true, true}, item{false, true}, hidden{false, false};
    EXPECT_EQ(shown({sep, item, sep, sep, item, sep}), " I- I ");
    EXPECT_EQ(shown({item, sep, hidden, sep, item}), "I-. I") << "a hidden item between them";
    EXPECT_EQ(shown({item, sep, hidden}), "I .") << "only hidden items follow";
    EXPECT_EQ(shown({sep, sep}), "  ");
    EXPECT_EQ(shown({item, sep, item, sep, item}), "I-I-I");
    EXPECT_EQ(shown({}), "");
}

TEST(SystemMenu, ItemsFollowTheWindowState) {
    constexpr std::uint32_t size = 0xF000, move = 0xF010, minimize = 0xF020, maximize = 0xF030, close = 0xF060,
                            restore = 0xF120, other = 0x1234;
    TSysMenuFacts normal;
    normal.HasMinBox = normal.HasMaxBox = normal.Sizeable = true;
    EXPECT_FALSE(SysMenuItemLook(restore, true, normal).Enabled) << "Restore is disabled while normal";
    EXPECT_TRUE(SysMenuItemLook(maximize, false, normal).Enabled) << "the state decides, not the platform's copy";
    EXPECT_TRUE(SysMenuItemLook(minimize, true, normal).Enabled);
    EXPECT_TRUE(SysMenuItemLook(size, true, normal).Enabled);
    EXPECT_TRUE(SysMenuItemLook(move, true, normal).Enabled);

    TSysMenuFacts maximized = normal;
    maximized.Maximized = true;
    EXPECT_TRUE(SysMenuItemLook(restore, false, maximized).Enabled);
    EXPECT_FALSE(SysMenuItemLook(maximize, true, maximized).Enabled);
    EXPECT_FALSE(SysMenuItemLook(size, true, maximized).Enabled);
    EXPECT_FALSE(SysMenuItemLook(move, true, maximized).Enabled);

    TSysMenuFacts minimized = normal;
    minimized.Minimized = true;
    EXPECT_TRUE(SysMenuItemLook(restore, false, minimized).Enabled);
    EXPECT_FALSE(SysMenuItemLook(minimize, true, minimized).Enabled);
    EXPECT_TRUE(SysMenuItemLook(move, true, minimized).Enabled);

    TSysMenuFacts fixed;  // the installer's window: no boxes, not sizeable
    EXPECT_FALSE(SysMenuItemLook(maximize, true, fixed).Enabled);
    EXPECT_FALSE(SysMenuItemLook(minimize, true, fixed).Enabled);
    EXPECT_FALSE(SysMenuItemLook(size, true, fixed).Enabled);

    // Close and the items the skin does not know keep what the platform says.
    EXPECT_FALSE(SysMenuItemLook(close, false, normal).Enabled);
    EXPECT_TRUE(SysMenuItemLook(other, true, maximized).Enabled);
    // Images of the skin's menu glyphs.
    EXPECT_EQ(SysMenuItemLook(restore, true, normal).ImageIndex, 0);
    EXPECT_EQ(SysMenuItemLook(maximize, true, normal).ImageIndex, 1);
    EXPECT_EQ(SysMenuItemLook(minimize, true, normal).ImageIndex, 2);
    EXPECT_EQ(SysMenuItemLook(close, true, normal).ImageIndex, 3);
    EXPECT_EQ(SysMenuItemLook(move, true, normal).ImageIndex, -1);
}

TEST(PopupKinds, EachKindNeedsItsFamily) {
    TPopupFamilies none;
    TPopupFamilies all{true, true, true, true};
    for (int kind = 0; kind <= 2; ++kind) {
        EXPECT_FALSE(PopupKindSkinned(kind, none)) << kind;
        EXPECT_TRUE(PopupKindSkinned(kind, all)) << kind;
    }
    EXPECT_TRUE(PopupKindSkinned(0, {true, false, false, false}));
    EXPECT_FALSE(PopupKindSkinned(1, {true, false, false, true})) << "a drop-down is not a context menu";
    EXPECT_TRUE(PopupKindSkinned(1, {false, true, false, false}));
    EXPECT_TRUE(PopupKindSkinned(1, {false, false, true, false}));
    EXPECT_FALSE(PopupKindSkinned(2, {true, true, true, false})) << "the system menu needs its own member";
    EXPECT_TRUE(PopupKindSkinned(7, none)) << "a kind this system does not know";
}
