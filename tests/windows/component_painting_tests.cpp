#include "TestCanvas.h"
#include "components/ProgressPainter.h"
#include "core/MulDiv.h"

#include <gtest/gtest.h>

#include <climits>

using namespace qx;

TEST(MulDivOnWindows, AgreesWithThePlatform) {
    const int values[] = {0, 1, -1, 2, -2, 3, 5, -5, 7, 100, 529, 1000000, 5000000, -5000000,
                          46341, INT_MAX, INT_MIN, INT_MAX - 1, INT_MIN + 1};
    // Left out: a divisor of -2^31, and -2^31 over a negative divisor. The platform negates
    // these in 32 bits first; what it returns then is an accident of the overflow (under
    // Wine, -2^31 / -2 gives -2^30), where we give the true quotient.
    for (int a : values)
        for (int b : values)
            for (int c : values)
                if (c != INT_MIN && !(a == INT_MIN && c < 0)) {
                    EXPECT_EQ(qx::MulDiv(a, b, c), ::MulDiv(a, b, c)) << a << " * " << b << " / " << c;
                }
}

TEST(ProgressPainting, MainWindowBarAtTwentyPercent) {
    TGradientProgressState s;
    s.SetClientSize(531, 33);
    s.SetSolid(true);
    const TColor blue = Rgb(0x2F, 0x97, 0xFF);
    s.SetStartColor(blue, blue);
    s.SetTextOption(toPercent);
    s.SetTextCentered(true);
    s.SetMaximum(5000000);
    s.SetPosition(1000000);
    ASSERT_TRUE(s.TakeRedraw());

    TTestCanvas canvas(531, 33, RGB(1, 2, 3));
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS Sans Serif");
    ASSERT_NE(font, nullptr);
    const COLORREF face = RGB(0xEC, 0xE9, 0xD8);
    const std::u16string text = s.DisplayText(u"ProgressBar1");
    const auto extent = MeasureText(canvas.Dc(), font, text);
    EXPECT_GT(extent.width, 0);
    const auto picture = s.Plan(Rgb(GetRValue(face), GetGValue(face), GetBValue(face)), text, extent);
    const HGDIOBJ fontBefore = GetCurrentObject(canvas.Dc(), OBJ_FONT);
    PaintProgressPicture(canvas.Dc(), picture, font, Rgb(255, 0, 0));
    EXPECT_EQ(GetCurrentObject(canvas.Dc(), OBJ_FONT), fontBefore);
    EXPECT_EQ(GetBkMode(canvas.Dc()), OPAQUE);

    EXPECT_EQ(canvas.At(1, 16), RGB(0x2F, 0x97, 0xFF));
    EXPECT_EQ(canvas.At(1, 1), RGB(0x2F, 0x97, 0xFF));
    EXPECT_EQ(canvas.At(1, 31), RGB(0x2F, 0x97, 0xFF));
    EXPECT_EQ(canvas.At(106, 16), RGB(0, 1, 2));
    EXPECT_EQ(canvas.At(107, 16), face);
    EXPECT_EQ(canvas.At(529, 31), face);
    for (auto [x, y] : {std::pair{0, 0}, {530, 0}, {0, 32}, {530, 32}, {50, 0}, {50, 32}})
        EXPECT_EQ(canvas.At(x, y), face) << x << "," << y;

    // "20%" in red, centred on the bar
    const RECT red = canvas.BoundsOf(RGB(255, 0, 0));
    ASSERT_GT(red.right, red.left);
    EXPECT_NEAR((red.left + red.right) / 2.0, 531 / 2.0, 3.0);
    EXPECT_NEAR((red.top + red.bottom) / 2.0, 33 / 2.0, 4.0);
    DeleteObject(font);
}

TEST(ProgressPainting, SingleBorderUsesTheSystemColours) {
    TGradientProgressState s;
    s.SetClientSize(40, 12);
    s.SetBorderStyle(TProgressBorder::bsSingle);
    TTestCanvas canvas(40, 12, RGB(1, 2, 3));
    PaintProgressPicture(canvas.Dc(), s.Plan(Rgb(9, 9, 9), u"", {}), nullptr, 0);
    EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(1, 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(38, 10), GetSysColor(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(2, 5), GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(canvas.At(20, 6), RGB(9, 9, 9));
}
