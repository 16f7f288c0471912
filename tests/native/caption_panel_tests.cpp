#include "core/CaptionPanelLayout.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(CaptionPanelBorders, WidthsPerStyle) {
    EXPECT_EQ(FrameStyleWidth(fsNone, 7), 0);
    EXPECT_EQ(FrameStyleWidth(fsFlat, 7), 1);
    for (auto s : {fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsFlatBold, fsFlatRounded})
        EXPECT_EQ(FrameStyleWidth(s, 7), 2) << s;
    EXPECT_EQ(FrameStyleWidth(fsStatus, 7), 7);
    EXPECT_EQ(FrameStyleWidth(fsPopup, 3), 3);
}

TEST(CaptionPanelBorders, ClientRectLosesGapOnAllSidesAndBordersOnBorderedSides) {
    const TPanelRect panel{0, 0, 566, 89};
    TPanelBorders none;
    none.outer = fsNone;
    EXPECT_EQ(PanelClientRect(panel, none), panel);

    TPanelBorders b;  // defaults: raised outer border on all sides
    EXPECT_EQ(PanelClientRect(panel, b), (TPanelRect{2, 2, 564, 87}));
    b.inner = fsStatus;
    b.bevelWidth = 3;
    b.borderWidth = 4;
    b.sides = sdLeft | sdBottom;
    EXPECT_EQ(PanelClientRect(panel, b), (TPanelRect{9, 4, 562, 80}));
    EXPECT_EQ(CaptionTextRect(panel, b, 10, 1), (TPanelRect{19, 5, 552, 79}));
}

TEST(CaptionPanelCaption, VerticalPlacement) {
    const TPanelRect text{0, 0, 566, 89};
    EXPECT_EQ(PlaceCaption(text, 34, avTop), (TPanelRect{0, 0, 566, 34}));
    EXPECT_EQ(PlaceCaption(text, 34, avCenter), (TPanelRect{0, 27, 566, 61}));  // 55 / 2
    EXPECT_EQ(PlaceCaption(text, 34, avBottom), (TPanelRect{0, 54, 566, 89}));
    EXPECT_EQ(PlaceCaption(text, 200, avTop), text);
    EXPECT_EQ(PlaceCaption(text, 200, avBottom), text);
    // a caption taller than the panel starts above the top edge; -111 / 2 truncates to -55
    EXPECT_EQ(PlaceCaption(text, 200, avCenter), (TPanelRect{0, -55, 566, 89}));
    EXPECT_EQ(PlaceCaption({0, 10, 50, 20}, 13, avCenter), (TPanelRect{0, 8, 50, 20}));
}

TEST(CaptionPanelCaption, DrawFlags) {
    // DT_EXPANDTABS | DT_VCENTER | DT_WORDBREAK | DT_CENTER, and DT_CALCRECT for measuring
    EXPECT_EQ(CaptionDrawFlags(TTextAlignment::Center, true, false), 0x40u | 0x4u | 0x10u | 0x1u);
    EXPECT_EQ(CaptionDrawFlags(TTextAlignment::Center, true, true), 0x40u | 0x4u | 0x10u | 0x1u | 0x400u);
    EXPECT_EQ(CaptionDrawFlags(TTextAlignment::RightJustify, false, false), 0x40u | 0x4u | 0x2u);
    EXPECT_EQ(CaptionDrawFlags(TTextAlignment::LeftJustify, false, false), 0x40u | 0x4u);
}
