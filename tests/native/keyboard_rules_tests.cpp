// The keyboard's rules without windows: which control Tab, Shift+Tab and the arrow keys reach
// (a radio group being one tab stop), and the accelerator character of a caption.
#include "core/Accelerator.h"
#include "core/TabOrder.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

TTabEntry Plain(bool tabStop = true, bool focusable = true) { return TTabEntry{focusable, tabStop, -1, false}; }
TTabEntry Radio(int group, bool checked = false, bool focusable = true) {
    return TTabEntry{focusable, false, group, checked};
}

// The installer's window in tab order: the header panel (no stop), five of the six products,
// the install button, and the sixth product after it.
std::vector<TTabEntry> Installer(int checked = -1) {
    std::vector<TTabEntry> e{Plain(false)};
    for (int i = 0; i < 5; ++i) e.push_back(Radio(0, i + 1 == checked));
    e.push_back(Plain(true));
    e.push_back(Radio(0, checked == 7));
    return e;
}

std::vector<int> Stops(const std::vector<TTabEntry>& e) {
    std::vector<int> out;
    for (int i = 0; i < static_cast<int>(e.size()); ++i)
        if (IsTabStop(e, i)) out.push_back(i);
    return out;
}

}  // namespace

TEST(TabOrder, ARadioGroupIsOneStopTheCheckedButtonOrTheFirstWhileNoneIs) {
    EXPECT_EQ(Stops(Installer()), (std::vector<int>{1, 6}));
    EXPECT_EQ(Stops(Installer(4)), (std::vector<int>{4, 6}));
    EXPECT_EQ(Stops(Installer(7)), (std::vector<int>{6, 7}));
    // A checked button that cannot take the focus leaves the stop to the first that can.
    auto e = Installer(1);
    e[1].focusable = false;
    EXPECT_EQ(Stops(e), (std::vector<int>{2, 6}));
    // The whole group locked: only the button remains.
    for (auto& entry : e)
        if (entry.group == 0) entry.focusable = false;
    EXPECT_EQ(Stops(e), (std::vector<int>{6}));
    // Buttons of another parent are a group of their own.
    std::vector<TTabEntry> two{Radio(0, true), Radio(0), Radio(1), Radio(1)};
    EXPECT_EQ(Stops(two), (std::vector<int>{0, 2}));
}

TEST(TabOrder, TabAndShiftTabVisitTheStopsInOrderAndWrapRound) {
    const auto none = Installer();
    EXPECT_EQ(NextTabStop(none, -1, true), 1);   // from nowhere: the group's first product
    EXPECT_EQ(NextTabStop(none, -1, false), 6);  // backwards: the install button
    EXPECT_EQ(NextTabStop(none, 1, true), 6);
    EXPECT_EQ(NextTabStop(none, 6, true), 1);
    EXPECT_EQ(NextTabStop(none, 6, false), 1);
    EXPECT_EQ(NextTabStop(none, 1, false), 6);
    const auto last = Installer(7);  // the product after the button is checked
    EXPECT_EQ(NextTabStop(last, 6, true), 7);
    EXPECT_EQ(NextTabStop(last, 7, true), 6);
    EXPECT_EQ(NextTabStop(last, 0, true), 6);  // from a control that is no stop itself
    // Leaving the group from any of its buttons goes past the rest of it.
    const auto fourth = Installer(4);
    EXPECT_EQ(NextTabStop(fourth, 2, true), 6);
    EXPECT_EQ(NextTabStop(fourth, 5, false), 6);
    // Nothing else to go to.
    EXPECT_EQ(NextTabStop(std::vector<TTabEntry>{Plain()}, 0, true), -1);
    EXPECT_EQ(NextTabStop(std::vector<TTabEntry>{Radio(0, true), Radio(0)}, 0, true), -1);
    EXPECT_EQ(NextTabStop(std::vector<TTabEntry>{Plain(false), Plain(true, false)}, -1, true), -1);
    EXPECT_EQ(NextTabStop({}, -1, true), -1);
}

TEST(TabOrder, ArrowsMoveThroughTheGroupSkippingOthersAndWrapRound) {
    auto e = Installer(1);
    EXPECT_EQ(NextInGroup(e, 1, true), 2);
    EXPECT_EQ(NextInGroup(e, 5, true), 7);   // past the install button
    EXPECT_EQ(NextInGroup(e, 7, true), 1);   // and round
    EXPECT_EQ(NextInGroup(e, 1, false), 7);
    e[3].focusable = false;
    EXPECT_EQ(NextInGroup(e, 2, true), 4);  // a disabled product is passed over
    EXPECT_EQ(NextInGroup(e, 6, true), -1);  // not a radio button
    EXPECT_EQ(NextInGroup(std::vector<TTabEntry>{Radio(0), Radio(1)}, 0, true), -1);
}

TEST(Accelerator, TheCharacterAfterASingleAmpersand) {
    EXPECT_EQ(AcceleratorOf(u"&Kaydet"), u'K');
    EXPECT_EQ(AcceleratorOf(u"Ku&ruluma Başla"), u'r');
    EXPECT_EQ(AcceleratorOf(u"A && B"), 0);
    EXPECT_EQ(AcceleratorOf(u"A && &B"), u'B');
    EXPECT_EQ(AcceleratorOf(u"sonda &"), 0);
    EXPECT_EQ(AcceleratorOf(u"  Kuruluma Başla"), 0);
    EXPECT_EQ(WithoutAccelerator(u"Ku&ruluma && Başla&"), u"Kuruluma & Başla");
    EXPECT_EQ(WithoutAccelerator(u"&&&İ"), u"&İ");
}
