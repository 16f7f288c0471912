// The caption rules: which buttons a window shows, where they sit, and what a point of the
// caption is.
#include "core/CaptionLayout.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

// The installer's window: a dialog frame with a system menu and no boxes, active.
TCaptionFacts InstallerWindow() {
    TCaptionFacts f;
    f.HasSysMenu = true;
    f.DialogFrame = true;
    return f;
}

bool Shows(std::int32_t v, std::int32_t v1, std::int32_t action, const TCaptionFacts& f,
           TVisibilityRules rules = TVisibilityRules::Frame, bool applicationSays = true) {
    return CaptionButtonVisible(v, v1, action, f, rules, [applicationSays] { return applicationSays; });
}

}  // namespace

TEST(CaptionButtons, TheInstallersWindowShowsOnlyItsCloseButton) {
    // The buttons of the installer's skin: close, maximize, restore, minimize, system menu.
    const TCaptionFacts f = InstallerWindow();
    EXPECT_TRUE(Shows(0, 0, 0, f)) << "close";
    EXPECT_FALSE(Shows(2, 6, 1, f)) << "maximize: no box";
    EXPECT_FALSE(Shows(1, 6, 1, f)) << "restore: not maximized";
    EXPECT_FALSE(Shows(8, 0, 2, f)) << "minimize: no box";
    EXPECT_FALSE(Shows(0, 0, 3, f)) << "a dialog frame has no system-menu button";
    TCaptionFacts plain = f;
    plain.DialogFrame = false;
    EXPECT_TRUE(Shows(0, 0, 3, plain)) << "an ordinary frame shows the icon button";
    // Without a system menu there is nothing to close with.
    TCaptionFacts noMenu = f;
    noMenu.HasSysMenu = false;
    EXPECT_FALSE(Shows(0, 0, 0, noMenu));
}

TEST(CaptionButtons, StateBoxAndApplicationConditions) {
    TCaptionFacts f;
    f.HasMaxBox = f.HasMinBox = f.HasSysMenu = true;
    // Maximize and restore exchange places with the window state.
    EXPECT_TRUE(Shows(2, 6, 1, f));
    EXPECT_FALSE(Shows(1, 6, 1, f));
    f.Maximized = true;
    EXPECT_FALSE(Shows(2, 6, 1, f));
    EXPECT_TRUE(Shows(1, 6, 1, f));
    // Active and inactive looks.
    f.Active = false;
    EXPECT_TRUE(Shows(4, 0, 40, f));
    EXPECT_FALSE(Shows(3, 0, 40, f));
    // The application decides its own buttons; only the first condition asks it.
    EXPECT_TRUE(Shows(1500, 0, 40, f, TVisibilityRules::Frame, true));
    EXPECT_FALSE(Shows(1500, 0, 40, f, TVisibilityRules::Frame, false));
    EXPECT_TRUE(Shows(0, 1500, 40, f, TVisibilityRules::Frame, false));
    int asked = 0;
    CaptionButtonVisible(3, 0, 40, f, TVisibilityRules::Frame, [&asked] { return ++asked > 0; });
    EXPECT_EQ(asked, 0) << "asked only for its own codes";
    // Unknown codes and -1 hide; 201 to 999 show.
    EXPECT_FALSE(Shows(-1, 0, 40, f));
    EXPECT_FALSE(Shows(3000, 0, 40, f));
    EXPECT_TRUE(Shows(500, 0, 40, f));
    // 200: a dialog frame that is not a system dialog; the second code repeats the first.
    f.DialogFrame = true;
    EXPECT_TRUE(Shows(200, 200, 40, f));
    f.DialogClass = true;
    EXPECT_FALSE(Shows(200, 200, 40, f));
}

TEST(CaptionButtons, TheTextPainterReadsSomeCodesItsOwnWay) {
    TCaptionFacts f;
    const auto text = TVisibilityRules::CaptionText;
    // 200 to 2000 show without asking anyone; 10 and 11 hide.
    EXPECT_TRUE(CaptionButtonVisible(1500, 0, 40, f, text, nullptr));
    EXPECT_TRUE(CaptionButtonVisible(200, 0, 40, f, text, nullptr));
    EXPECT_FALSE(CaptionButtonVisible(10, 0, 40, f, text, nullptr));
    // Close is held back by the first code alone: a second code of 0 does not ask for a menu.
    EXPECT_FALSE(CaptionButtonVisible(0, 0, 0, f, text, nullptr));
    EXPECT_TRUE(CaptionButtonVisible(2, 0, 0, f, text, nullptr));
    f.HasSysMenu = true;
    EXPECT_TRUE(CaptionButtonVisible(0, 0, 0, f, text, nullptr));
}

TEST(CaptionButtons, PlacementByAlignment) {
    TCaptionBand band;
    band.WindowWidth = 574;
    band.BorderLeft = 4;
    band.BorderRight = 4;
    band.CaptionHeight = 28;
    band.MenuHeight = 20;
    const TTextAnchors text{30, 200};
    auto at = [&](std::int32_t align, std::int32_t x, TVisibilityRules rules = TVisibilityRules::Frame) {
        const TButtonPlacement p = PlaceCaptionButton(align, x, 6, 16, 16, band, text, rules);
        return std::make_pair(p.Left, p.Top);
    };
    EXPECT_EQ(at(0, 8), std::make_pair(8, 6));
    EXPECT_EQ(at(1, 34), std::make_pair(540, 6)) << "counted from the right edge";
    EXPECT_EQ(at(2, 3), std::make_pair(30 - 16 - 3, 6)) << "right edge before the text";
    EXPECT_EQ(at(9, 3), std::make_pair(203, 6)) << "after the text";
    EXPECT_EQ(at(7, 3), std::make_pair(0, 0)) << "unknown alignment";
    // In the menu bar band: centred in it, from the right edge inside the border.
    EXPECT_EQ(at(100, 20), std::make_pair(574 - 20 - 4, 28 + 2));
    band.RightToLeft = true;
    band.MenuBarLeftMargin = 5;
    EXPECT_EQ(at(100, 20), std::make_pair(20 + 4 + 5, 30));
}

TEST(CaptionHitTest, OnlyNowhereAndCaptionAreDecidedByTheSkin) {
    constexpr int kNowhere = 0, kCaption = 2, kMenu = 5, kBorder = 18, kClient = 1;
    EXPECT_EQ(CaptionHitTest(kNowhere, 10, 28, 0), kCaption);
    EXPECT_EQ(CaptionHitTest(kNowhere, 2, 28, 0), kNowhere) << "the top edge is no caption";
    EXPECT_EQ(CaptionHitTest(kCaption, 35, 28, 20), kMenu) << "below the strip lies the menu band";
    EXPECT_EQ(CaptionHitTest(kCaption, 35, 28, 0), kCaption);
    EXPECT_EQ(CaptionHitTest(kBorder, 10, 28, 0), kBorder);
    EXPECT_EQ(CaptionHitTest(kClient, 10, 28, 0), kClient);
}

TEST(FramePart, ACountOfZeroOrLessMeansOnePicture) {
    EXPECT_EQ(FramePart(56, 2), 28);
    EXPECT_EQ(FramePart(56, 0), 56);
    EXPECT_EQ(FramePart(56, -3), 56);
}
