// The arithmetic of skinned controls: scroll bar zones, thumbs and drags, progress fills and
// chunk strips, equal cells.
#include "core/ControlGeometry.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qx;

TEST(ScrollZones, EachPartOfABarAndTheBoundariesBetweenThem) {
    // A 200-pixel bar with 16-pixel arrows and a thumb from 60 to 100.
    const TScrollMetrics bar{200, 16, 60, 100};
    EXPECT_EQ(ScrollZoneAt(bar, 0), szFirstArrow);
    EXPECT_EQ(ScrollZoneAt(bar, 15), szFirstArrow);
    EXPECT_EQ(ScrollZoneAt(bar, 16), szPageBefore);
    EXPECT_EQ(ScrollZoneAt(bar, 59), szPageBefore);
    EXPECT_EQ(ScrollZoneAt(bar, 60), szThumb);
    EXPECT_EQ(ScrollZoneAt(bar, 99), szThumb);
    EXPECT_EQ(ScrollZoneAt(bar, 100), szPageAfter);
    EXPECT_EQ(ScrollZoneAt(bar, 183), szPageAfter);
    EXPECT_EQ(ScrollZoneAt(bar, 184), szSecondArrow);
    EXPECT_EQ(ScrollZoneAt(bar, 500), szSecondArrow);
    // A thumb against the first arrow leaves no page area before it.
    EXPECT_EQ(ScrollZoneAt({200, 16, 16, 40}, 16), szThumb);
}

TEST(ScrollZones, ABarShorterThanTwoArrowsGetsTwoHalfArrowsAndNoThumbSpace) {
    EXPECT_EQ(ScrollArrowLength(200, 16), 16);
    EXPECT_EQ(ScrollArrowLength(32, 16), 16);
    EXPECT_EQ(ScrollArrowLength(20, 16), 10);
    EXPECT_EQ(ScrollArrowLength(-5, 16), 0);
    const TThumbSpan t = ControlThumb(20, 16, 0, 100, 10, 50);
    EXPECT_EQ(t.Start, t.End) << "no room for a thumb";
    EXPECT_EQ(t.Start, 10);
}

TEST(ControlThumb, FollowsPositionAndPageAndStaysInTheTrack) {
    // Track of 100 pixels between two 16-pixel arrows, range 0..100, page 11.
    TThumbSpan t = ControlThumb(132, 16, 0, 100, 11, 0);
    EXPECT_EQ(t.Start, 16);
    EXPECT_EQ(t.End - t.Start, 10);
    t = ControlThumb(132, 16, 0, 100, 11, 45);
    EXPECT_EQ(t.Start, 61);
    t = ControlThumb(132, 16, 0, 100, 11, 90);  // the last position the page allows
    EXPECT_EQ(t.End, 116);
    // Without a page the thumb is one arrow long and travels the track less its length.
    t = ControlThumb(132, 16, 10, 110, 0, 110);
    EXPECT_EQ(t.End - t.Start, 16);
    EXPECT_EQ(t.Start, 16 + 84);
    // A position beyond the range is held at the track's end.
    t = ControlThumb(132, 16, 0, 100, 11, 1000);
    EXPECT_EQ(t.End, 116);
}

TEST(ControlThumb, ARangeOfZeroDividesByNothing) {
    // The platform's MulDiv answers -1 for a zero divisor, which would put the thumb over the
    // first arrow; the thumb stays at the track's start instead.
    for (int page : {0, 1, 10}) {
        const TThumbSpan t = ControlThumb(132, 16, 5, 5, page, 5);
        EXPECT_EQ(t.Start, 16) << page;
        EXPECT_GE(t.End, t.Start);
        EXPECT_LE(t.End, 116);
    }
    const TThumbSpan extreme = ControlThumb(132, 16, INT_MIN, INT_MAX, 2, INT_MAX);
    EXPECT_GE(extreme.Start, 16);
    EXPECT_LE(extreme.End, 116);
}

TEST(ThumbDrag, MovesWithTheCursorAndNeverPastEitherArrow) {
    // A 200-pixel bar, 16-pixel arrows, a 40-pixel thumb that started at 50.
    EXPECT_EQ(DraggedThumbStart(50, 30, 40, 200, 16), 80);
    EXPECT_EQ(DraggedThumbStart(50, -30, 40, 200, 16), 20);
    EXPECT_EQ(DraggedThumbStart(50, -1000, 40, 200, 16), 16);
    EXPECT_EQ(DraggedThumbStart(50, 1000, 40, 200, 16), 200 - 16 - 40);
    EXPECT_EQ(DraggedThumbStart(50, INT_MAX, 40, 200, 16), 144) << "no overflow on absurd travel";
    // A thumb longer than the track sits at the first arrow.
    EXPECT_EQ(DraggedThumbStart(50, 10, 500, 200, 16), 16);
}

TEST(ProgressFill, ProportionalToTheUpperLimitOnly) {
    EXPECT_EQ(ProgressFillWidth(160, 100, 200), 80);
    // A range of 50..150 at 100 fills 100/150 of the width: the lower limit plays no part.
    EXPECT_EQ(ProgressFillWidth(150, 100, 150), 100);
    EXPECT_EQ(ProgressFillWidth(160, 0, 100), 0);
    EXPECT_EQ(ProgressFillWidth(160, 50, 0), 0);
    EXPECT_EQ(ProgressFillWidth(160, -5, 100), 0);
    EXPECT_EQ(ProgressFillWidth(160, 300, 100), 160) << "never past the bar";
    EXPECT_EQ(ProgressFillWidth(160, INT_MAX, INT_MAX), 160);
}

TEST(ProgressChunks, StripCopiesAndAChunkWithoutWidthOrABarTooSmall) {
    TChunkLayout c = ChunkLayout(45, 20, 10, 12);
    EXPECT_EQ(c.Copies, 5);
    EXPECT_EQ(c.Y, 4);
    EXPECT_EQ(c.Height, 16);
    // A chunk image of width 0 (missing from the skin) repeats nothing instead of dividing by it.
    c = ChunkLayout(45, 20, 0, 0);
    EXPECT_EQ(c.Copies, 0);
    // A bar lower than the picture's margins gets an empty picture, not a negative one.
    c = ChunkLayout(45, 3, 10, 12);
    EXPECT_EQ(c.Height, 0);
    EXPECT_EQ(ChunkLayout(0, 20, 10, 12).Copies, 0);
}

TEST(EqualCells, FourOfNineButtonsShareTheWidth) {
    EXPECT_EQ(EqualCellWidth(240, 4), 60);
    EXPECT_EQ(EqualCellWidth(240, 0), 0);
    EXPECT_EQ(EqualCellAt(240, 4, 0), 0);
    EXPECT_EQ(EqualCellAt(240, 4, 179), 2);
    EXPECT_EQ(EqualCellAt(240, 4, 239), 3);
    EXPECT_EQ(EqualCellAt(243, 4, 241), -1) << "the remainder belongs to no cell";
    EXPECT_EQ(EqualCellAt(240, 0, 10), -1);
    EXPECT_EQ(EqualCellAt(240, 4, -1), -1);
}
