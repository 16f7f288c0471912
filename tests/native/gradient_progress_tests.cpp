#include "core/GradientProgressLayout.h"
#include "core/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qx;

namespace {

constexpr TColor kBlue = Rgb(0x2F, 0x97, 0xFF);
constexpr TColor kBlack = Rgb(0, 0, 0);
constexpr TColor kFace = Rgb(0xEC, 0xE9, 0xD8);

// The installer's bar: 531 x 33, solid, blue to black, centred percentage.
TGradientProgressState MainWindowBar() {
    TGradientProgressState s;
    s.BeginLoading();
    s.SetClientSize(531, 33);
    s.SetSolid(true);
    s.SetGradientBlocks(true);
    s.SetStartColor(kBlue, kBlue);
    s.SetTextOption(toPercent);
    s.SetTextCentered(true);
    s.EndLoading();
    return s;
}

TProgressPicture Draw(TGradientProgressState& s, TTextExtent extent = {30, 13}) {
    return s.Plan(kFace, s.DisplayText(u"ProgressBar1"), extent);
}

// Columns of the body that are one pixel wide, indexed by x.
std::vector<TFillRect> Columns(const TProgressPicture& p) {
    std::vector<TFillRect> out;
    for (const auto& r : p.body)
        if (r.right - r.left == 1) out.push_back(r);
    return out;
}

}  // namespace

TEST(MulDiv, RoundsHalvesAwayFromZeroAndReportsFailureAsMinusOne) {
    EXPECT_EQ(MulDiv(1, 1, 2), 1);
    EXPECT_EQ(MulDiv(-1, 1, 2), -1);
    EXPECT_EQ(MulDiv(5, 1, -2), -3);
    EXPECT_EQ(MulDiv(-5, -1, -2), -3);
    EXPECT_EQ(MulDiv(1, 1, 3), 0);
    EXPECT_EQ(MulDiv(2, 1, 3), 1);
    EXPECT_EQ(MulDiv(-2, 1, 3), -1);
    EXPECT_EQ(MulDiv(1000000, 529, 5000000), 106);  // 105.8
    EXPECT_EQ(MulDiv(7, 3, 0), -1);
    // the product is taken in 64 bits; only the quotient has to fit
    EXPECT_EQ(MulDiv(INT_MAX, INT_MAX, INT_MAX), INT_MAX);
    EXPECT_EQ(MulDiv(INT_MIN + 1, 1, 1), INT_MIN + 1);
    EXPECT_EQ(MulDiv(INT_MIN, 1, 1), -1);  // the platform keeps results symmetric
    EXPECT_EQ(MulDiv(INT_MAX, 2, 1), -1);
    EXPECT_EQ(MulDiv(INT_MIN, -1, 1), -1);
}

TEST(GradientProgress, MainWindowBarAtOneFifthFills106ColumnsFromTheStartColour) {
    auto s = MainWindowBar();
    s.SetMaximum(5000000);
    s.SetPosition(1000000);
    EXPECT_EQ(s.Percent(), 20);
    EXPECT_EQ(s.Fill().width, 106);
    ASSERT_TRUE(s.TakeRedraw());
    const auto p = Draw(s);
    const auto cols = Columns(p);
    ASSERT_EQ(cols.size(), 106u);
    for (int i = 0; i < 106; ++i) {
        EXPECT_EQ(cols[i].left, i + 1);
        EXPECT_EQ(cols[i].top, 1);
        EXPECT_EQ(cols[i].bottom, 32);
    }
    EXPECT_EQ(cols.front().color, kBlue);
    // the last column is 105/106 of the way: (47, 151, 255) / 106 rounded
    EXPECT_EQ(cols.back().color, Rgb(0, 1, 2));
    for (std::size_t i = 1; i < cols.size(); ++i) EXPECT_LE(BlueOf(cols[i].color), BlueOf(cols[i - 1].color));
    // the rest of the inner area is background
    EXPECT_EQ(p.body.back(), (TFillRect{107, 1, 530, 32, kFace}));
    EXPECT_EQ(p.text, u"20%");
    EXPECT_EQ(p.textX, (531 - 30) / 2);
    EXPECT_EQ(p.textY, (33 - 13) / 2);
    // no 3-D frame: a 1-pixel outline in the background colour
    ASSERT_EQ(p.frame.size(), 4u);
    for (const auto& r : p.frame) EXPECT_EQ(r.color, kFace);
}

TEST(GradientProgress, ColumnColoursRoundHalvesToEven) {
    TGradientProgressState s;
    s.SetClientSize(4, 10);  // two inner columns: the second is exactly half-way
    s.SetSolid(true);
    s.SetStartColor(Rgb(1, 3, 5), Rgb(1, 3, 5));
    s.SetPosition(100);
    const auto cols = Columns(Draw(s));
    ASSERT_EQ(cols.size(), 2u);
    EXPECT_EQ(cols[1].color, Rgb(0, 2, 2));  // 0.5, 1.5, 2.5
}

TEST(GradientProgress, EmptyRangeShowsZeroPercentAndKeepsTheFill) {
    auto s = MainWindowBar();
    s.SetPosition(40);
    const int before = s.Fill().width;
    ASSERT_GT(before, 0);
    s.SetMaximum(0);  // below the position: the position follows, the range is empty
    EXPECT_EQ(s.Maximum(), 0);
    EXPECT_EQ(s.Position(), 0);
    EXPECT_EQ(s.Percent(), 0);
    EXPECT_EQ(s.Fill().width, before);
    EXPECT_EQ(Draw(s).text, u"0%");
    EXPECT_EQ(ProgressPercent(5, 5, 5), 0);
    EXPECT_FALSE(ComputeProgressFill(5, 5, 5, true, 100, 10).has_value());
    EXPECT_FALSE(ComputeProgressFill(1, 0, 2, true, 1, 10).has_value());
}

TEST(GradientProgress, PositionZeroAndFullRange) {
    auto s = MainWindowBar();
    auto p = Draw(s);
    EXPECT_TRUE(Columns(p).empty());
    ASSERT_EQ(p.body.size(), 1u);
    EXPECT_EQ(p.body[0], (TFillRect{1, 1, 530, 32, kFace}));
    EXPECT_EQ(p.text, u"0%");

    s.SetPosition(100);
    p = Draw(s);
    const auto cols = Columns(p);
    ASSERT_EQ(cols.size(), 529u);
    EXPECT_EQ(cols.back().left, 529);  // W - 2
    // 528/529 of the way: (0.09, 0.29, 0.48) before rounding
    EXPECT_EQ(cols.back().color, kBlack);
    EXPECT_EQ(p.body.size(), cols.size());  // no background left
    EXPECT_EQ(p.text, u"100%");

    // on a shorter bar the last column visibly stops short of the end colour
    s.SetClientSize(52, 33);
    const auto shortCols = Columns(Draw(s));
    ASSERT_EQ(shortCols.size(), 50u);
    EXPECT_EQ(shortCols.back().color, Rgb(1, 3, 5));  // (47, 151, 255) / 50
}

TEST(GradientProgress, SettersKeepThePositionInsideTheRange) {
    TGradientProgressState s;
    s.SetPosition(150);
    EXPECT_EQ(s.Position(), 100);
    s.SetPosition(-5);
    EXPECT_EQ(s.Position(), 0);
    s.SetPosition(70);
    s.SetMaximum(50);
    EXPECT_EQ(s.Position(), 50);
    s.SetMinimum(60);  // above the maximum: raised only to it
    EXPECT_EQ(s.Minimum(), 50);
    EXPECT_EQ(s.Position(), 50);
    s.SetMaximum(200);
    s.SetMinimum(80);
    EXPECT_EQ(s.Position(), 80);
    s.SetMaximum(10);  // below the minimum: the maximum stops at it, the position stays in range
    EXPECT_EQ(s.Maximum(), 80);
    EXPECT_EQ(s.Position(), 80);
}

TEST(GradientProgress, RangesWiderThan32BitsDoNotOverflow) {
    TGradientProgressState s;
    s.SetClientSize(102, 15);
    s.SetSolid(true);
    s.SetMinimum(-2000000000);
    s.SetMaximum(2000000000);
    s.SetPosition(0);
    EXPECT_EQ(s.Percent(), 50);
    EXPECT_EQ(s.Fill().width, 50);
}

TEST(GradientProgress, BlocksAreTwoThirdsOfTheHeightAndAppearPastHalfWay) {
    // H = 15: 10-pixel blocks; W = 102 leaves 100 inner pixels, so position = fill
    auto fill = [](int position) { return *ComputeProgressFill(position, 0, 100, false, 102, 15); };
    EXPECT_EQ(fill(14).blockWidth, 10);
    EXPECT_EQ(fill(14), (TProgressFill{10, 10, 1, false, 0}));
    EXPECT_EQ(fill(15), (TProgressFill{10, 10, 1, false, 0}));  // exactly half: not yet
    EXPECT_EQ(fill(16), (TProgressFill{20, 10, 2, false, 0}));
    EXPECT_EQ(fill(4), (TProgressFill{0, 10, 0, false, 0}));
    EXPECT_EQ(fill(6), (TProgressFill{10, 10, 1, false, 0}));

    // W = 27: 25 inner pixels; after two blocks only 5 are left, and 3 of them is past half
    auto narrow = [](int fillPixels) { return *ComputeProgressFill(fillPixels, 0, 25, false, 27, 15); };
    EXPECT_EQ(narrow(22), (TProgressFill{20, 10, 2, false, 0}));
    EXPECT_EQ(narrow(23), (TProgressFill{25, 10, 3, true, 5}));
    // too low for any block
    EXPECT_EQ(*ComputeProgressFill(50, 0, 100, false, 102, 1), (TProgressFill{0, 0, 0, false, 0}));
}

TEST(GradientProgress, BlockPicturesWithAndWithoutGradientBlocks) {
    TGradientProgressState s;
    s.SetClientSize(27, 15);
    s.SetMaximum(25);
    s.SetPosition(23);  // two full blocks and a partial one of 5
    s.SetStartColor(Rgb(100, 100, 100), Rgb(100, 100, 100));
    s.SetEndColor(Rgb(100, 100, 100), Rgb(100, 100, 100));
    auto p = Draw(s);
    std::vector<TFillRect> expect = {
        {1, 1, 10, 14, Rgb(100, 100, 100)}, {11, 1, 20, 14, Rgb(100, 100, 100)},
        {21, 1, 26, 14, Rgb(100, 100, 100)}, {10, 1, 11, 14, kFace}, {20, 1, 21, 14, kFace}};
    EXPECT_EQ(p.body, expect);

    // one colour per block; the running colour moves b steps of (end - start) / fill per block
    s.SetEndColor(Rgb(0, 50, 100), Rgb(0, 50, 100));
    p = Draw(s);
    ASSERT_EQ(p.body.size(), 5u);
    EXPECT_EQ(p.body[0].color, Rgb(100, 100, 100));
    EXPECT_EQ(p.body[1].color, Rgb(60, 80, 100));  // 100 - 10 * 4, 100 - 10 * 2
    EXPECT_EQ(p.body[2].color, Rgb(20, 60, 100));
    EXPECT_EQ(p.body[2].left, 21);
    EXPECT_EQ(p.body[2].right, 26);

    // a colour per column, the gap column skipped over in the gradient
    s.SetGradientBlocks(true);
    EXPECT_TRUE(s.Changed());
    p = Draw(s);
    const auto cols = Columns(p);
    ASSERT_EQ(cols.size(), 9u + 9u + 5u + 2u);  // colour columns, then the two gaps
    EXPECT_EQ(cols[0].color, Rgb(100, 100, 100));
    EXPECT_EQ(cols[8].color, Rgb(68, 84, 100));   // eighth step
    EXPECT_EQ(cols[9].left, 11);
    EXPECT_EQ(cols[9].color, Rgb(60, 80, 100));   // tenth step: the gap took one
    EXPECT_EQ(cols[22].left, 25);
    EXPECT_EQ(cols[23], (TFillRect{10, 1, 11, 14, kFace}));
}

TEST(GradientProgress, FillKeptFromSolidModeIsCoveredWhenBlocksCannotBeComputed) {
    TGradientProgressState s;
    s.SetClientSize(102, 15);
    s.SetSolid(true);
    s.SetPosition(50);
    s.SetMaximum(50);  // empty range from here on
    s.SetMinimum(50);
    s.SetSolid(false);
    const auto p = Draw(s);
    ASSERT_EQ(p.body.size(), 1u);
    EXPECT_EQ(p.body[0], (TFillRect{1, 1, 101, 14, kFace}));
}

TEST(GradientProgress, OnlyVisibleChangesMarkThePicture) {
    auto s = MainWindowBar();
    s.SetMaximum(5000000);
    s.SetPosition(1000000);
    ASSERT_TRUE(s.TakeRedraw());
    EXPECT_FALSE(s.TakeRedraw());
    s.SetPosition(1000001);  // same fill, same percentage
    EXPECT_FALSE(s.Changed());
    s.SetPosition(1004000);  // same fill (106.2), percentage still 20
    EXPECT_FALSE(s.Changed());
    s.SetPosition(1030000);  // 20.6 -> 21 %, fill 109
    EXPECT_TRUE(s.TakeRedraw());

    s.SetTextOption(toNoText);
    ASSERT_TRUE(s.TakeRedraw());
    s.SetPosition(1031000);  // percentage not shown, fill unchanged
    EXPECT_FALSE(s.Changed());
    s.SetTextCentered(false);
    s.FontChanged();
    s.CaptionChanged();
    EXPECT_FALSE(s.Changed());
    s.SetGradientBlocks(false);  // solid: no effect
    EXPECT_FALSE(s.Changed());
    s.SetStep(3);
    EXPECT_FALSE(s.Changed());

    s.SetTextOption(toCaption);
    ASSERT_TRUE(s.TakeRedraw());
    s.CaptionChanged();
    EXPECT_TRUE(s.TakeRedraw());
    s.ColorChanged();
    EXPECT_TRUE(s.TakeRedraw());
    s.SetBorderStyle(TProgressBorder::bsSingle);
    EXPECT_TRUE(s.TakeRedraw());
    s.SetBorderStyle(TProgressBorder::bsSingle);
    EXPECT_FALSE(s.Changed());

    // a size other than the last picture's
    s.SetClientSize(531, 33);
    EXPECT_FALSE(s.Changed());
    s.SetClientSize(400, 33);
    EXPECT_TRUE(s.Changed());
    EXPECT_EQ(s.Fill().width, MulDiv(1031000, 398, 5000000));
}

TEST(GradientProgress, NothingIsComputedWhileLoading) {
    TGradientProgressState s;
    s.BeginLoading();
    s.SetClientSize(102, 15);
    s.SetSolid(true);
    s.SetPosition(50);
    EXPECT_EQ(s.Fill().width, 0);
    EXPECT_FALSE(s.TakeRedraw());
    s.EndLoading();
    EXPECT_EQ(s.Fill().width, 50);
    EXPECT_TRUE(s.TakeRedraw());
    s.SetClientSize(0, 15);
    EXPECT_FALSE(s.TakeRedraw());  // nothing to draw into
}

TEST(GradientProgress, TextFollowsTheFillWhenNotCentredAndNeverGoesNegative) {
    int x = -1, y = -1;
    ProgressTextOrigin({30, 13}, 531, 33, 106, false, x, y);
    EXPECT_EQ(x, 38);
    EXPECT_EQ(y, 10);
    ProgressTextOrigin({30, 13}, 531, 33, 10, false, x, y);
    EXPECT_EQ(x, 0);
    ProgressTextOrigin({600, 40}, 531, 33, 10, true, x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    ProgressTextOrigin({30, 14}, 531, 33, 0, true, x, y);
    EXPECT_EQ(x, 250);  // 501 / 2
    EXPECT_EQ(y, 9);    // 19 / 2
}

TEST(GradientProgress, FormatPatternsTakeOnlyIntegerDirectives) {
    EXPECT_EQ(FormatProgressText(u"%d%%", 42), u"42%");
    EXPECT_EQ(FormatProgressText(u"Yüklendi: %d", 7), u"Yüklendi: 7");
    EXPECT_EQ(FormatProgressText(u"[%4d][%-4d][%04d][%.3d]", 7), u"[   7][7   ][0007][007]");
    EXPECT_EQ(FormatProgressText(u"%x %X %u %d", -1), u"ffffffff FFFFFFFF 4294967295 -1");
    EXPECT_EQ(FormatProgressText(u"%05d", -42), u"-0042");
    // directives that would need other arguments stay as written
    EXPECT_EQ(FormatProgressText(u"%s %n %p %d", 3), u"%s %n %p 3");
    EXPECT_EQ(FormatProgressText(u"50%", 3), u"50%");
    EXPECT_EQ(FormatProgressText(u"%999999999999d", 1).size(), 256u);
}

TEST(GradientProgress, SingleBorderDrawsThreeRingsOfSystemColours) {
    TGradientProgressState s;
    s.SetClientSize(20, 10);
    s.SetBorderStyle(TProgressBorder::bsSingle);
    const auto p = Draw(s);
    ASSERT_EQ(p.frame.size(), 12u);
    // outer ring all face; second ring shadow at top and left, highlight at bottom and right
    EXPECT_EQ(p.frame[0], (TFillRect{0, 0, 19, 1, kBtnFace}));
    EXPECT_EQ(p.frame[4], (TFillRect{1, 1, 18, 2, kBtnShadow}));
    EXPECT_EQ(p.frame[6], (TFillRect{1, 8, 19, 9, kBtnHighlight}));
    EXPECT_EQ(p.frame[8], (TFillRect{2, 2, 17, 3, k3DDkShadow}));
    EXPECT_EQ(p.frame[11], (TFillRect{17, 2, 18, 7, kBtnFace}));
}
