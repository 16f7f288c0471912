#include <gtest/gtest.h>

#include "core/Stream.h"
#include "skin/QuickIni.h"

using namespace qx;

namespace {

TQuickIni Ini(std::string_view text) {
    TQuickIni ini;
    ini.LoadFromText(text);
    return ini;
}

}  // namespace

TEST(QuickIni, FindsSectionsWithoutCaseAndKeysByTheirLowerCaseName) {
    auto ini = Ini("[Buttons]\r\nRightwidth=3\r\n  Left Width  =  a b  \r\n[Other]\r\nRightWidth=9\r\n");
    EXPECT_EQ(ini.ReadString("BUTTONS", "RightWidth", "d"), "3");
    EXPECT_EQ(ini.ReadString("buttons", "rightwidth", "d"), "3");
    EXPECT_EQ(ini.ReadString("Buttons", "left width", "d"), "a b");
    EXPECT_EQ(ini.ReadString("Buttons", "Missing", "d"), "d");  // stops at the next section
    EXPECT_EQ(ini.ReadString("Other", "RightWidth", "d"), "9");
    EXPECT_EQ(ini.ReadString("Nowhere", "RightWidth", "d"), "d");
}

TEST(QuickIni, TakesOnlyTheFirstLineOfAKeyEvenWhenItIsEmpty) {
    auto ini = Ini("[S]\nKey=\nKey=later\nOther=1\nOther=2\n[S]\nThird=3\n");
    EXPECT_EQ(ini.ReadString("S", "Key", "default"), "default");
    EXPECT_EQ(ini.ReadString("S", "Other", ""), "1");
    // Two sections with the same name: only the first is searched.
    EXPECT_EQ(ini.ReadString("S", "Third", "none"), "none");
}

TEST(QuickIni, DropsCommentsButKeepsNumberSignLines) {
    auto ini = Ini("[S]\r\n;Trans=1\r\n# Trans=2\r\nplain line\r\n\r\n   \r\n[T]\r\n");
    EXPECT_EQ(ini.ReadString("S", "Trans", "none"), "none");
    EXPECT_EQ(ini.ReadString("S", "# trans", "none"), "2");
    EXPECT_EQ(ini.Lines(), (std::vector<std::string>{"[S]", "# Trans=2", "plain line", "[T]"}));
    // Keys before the first section cannot be reached.
    EXPECT_EQ(Ini("Key=1\n[S]\n").ReadString("", "Key", "none"), "none");
}

TEST(QuickIni, SplitsLinesAtCrLfCrAndNul) {
    auto crlf = Ini("[A]\r\nx=1\r\ny=2\r\n");
    auto lf = Ini("[A]\nx=1\ny=2");
    EXPECT_EQ(crlf.Lines(), lf.Lines());
    EXPECT_EQ(lf.ReadString("A", "y", ""), "2");  // the last line without a break
    EXPECT_EQ(Ini("[A]\rx=1\ry=2").ReadString("A", "y", ""), "2");
    auto nul = Ini(std::string_view("[A]\nx=1\0\ny=2\n", 13));
    EXPECT_EQ(nul.ReadString("A", "y", "cut"), "cut");
}

TEST(QuickIni, SectionHeadersKeepTheirInnerBlanks) {
    auto ini = Ini("[ Padded ]\nk=v\n[]\ne=1\n[Tab.Pane]\nLeftWidth=9\n");
    EXPECT_EQ(ini.ReadString("Padded", "k", "no"), "no");
    EXPECT_EQ(ini.ReadString(" Padded ", "k", "no"), "v");
    EXPECT_EQ(ini.ReadString("", "e", "no"), "1");
    std::vector<std::string> sections = {"stale"};
    ini.ReadSections(sections);
    EXPECT_EQ(sections, (std::vector<std::string>{"Padded", "", "Tab.Pane"}));
}

TEST(QuickIni, ReadsDecimalAndHexIntegers) {
    auto ini = Ini("[N]\nhex1=0x1F\nhex2=$1F\nbare=1F\nneg=-5\nplus=+7\nall=$FFFFFFFF\nbig=0xFFFFFFFF\n"
                   "nine=$100000000\nmax=2147483647\nover=2147483648\nmin=-2147483648\nx=0x\nsp=1 2\n"
                   "dollar=$\nminus=-\nupper=0X10\n");
    EXPECT_EQ(ini.ReadInteger("N", "hex1", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "hex2", 0), 31);
    EXPECT_EQ(ini.ReadInteger("N", "bare", 77), 77);
    EXPECT_EQ(ini.ReadInteger("N", "neg", 0), -5);
    EXPECT_EQ(ini.ReadInteger("N", "plus", 0), 7);
    EXPECT_EQ(ini.ReadInteger("N", "all", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "big", 0), -1);
    EXPECT_EQ(ini.ReadInteger("N", "nine", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "max", 0), 2147483647);
    EXPECT_EQ(ini.ReadInteger("N", "over", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "min", 0), -2147483647 - 1);
    EXPECT_EQ(ini.ReadInteger("N", "x", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "sp", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "dollar", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "minus", 5), 5);
    EXPECT_EQ(ini.ReadInteger("N", "upper", 0), 16);
    EXPECT_EQ(ini.ReadInteger("N", "absent", -3), -3);
}

TEST(QuickIni, LoadsFromTheStreamPositionAndIgnoresAMissingStream) {
    TMemoryStream stream(std::vector<std::uint8_t>{'[', 'X', ']', '\n', '[', 'A', ']', '\n', 'k', '=', '1'});
    stream.SetPosition(4);
    TQuickIni ini;
    ini.LoadFromStream(&stream);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    EXPECT_EQ(ini.ReadString("X", "k", "none"), "none");
    ini.LoadFromStream(nullptr);
    EXPECT_EQ(ini.ReadString("A", "k", ""), "1");
    TMemoryStream empty;
    ini.LoadFromStream(&empty);
    EXPECT_TRUE(ini.Lines().empty());
    EXPECT_EQ(ini.ReadString("A", "k", "gone"), "gone");
}

TEST(QuickIni, AByteOrderMarkBeforeTheFirstSectionIsSkippedAndNowhereElse) {
    auto ini = Ini("\xEF\xBB\xBF[Personality]\r\nTop=top.bmp\r\n\xEF\xBB\xBF[Later]\r\nKey=1\r\n");
    EXPECT_EQ(ini.ReadString("Personality", "Top", ""), "top.bmp");
    EXPECT_EQ(ini.SectionCount(), 1u);  // the second mark is the text of an ordinary line
}
