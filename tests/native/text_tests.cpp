#include "core/Text.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(Utf, TurkishLettersRoundTrip) {
    std::string s = "Kuruluma Başla ığüşöçİ";
    auto w = Utf8ToUtf16(s);
    EXPECT_EQ(w, u"Kuruluma Başla ığüşöçİ");
    EXPECT_EQ(Utf16ToUtf8(w), s);
}

TEST(Utf, MalformedInputBecomesReplacementCharacters) {
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");          // cut short
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD");         // overlong
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD");     // surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFF" "b"), u"\uFFFD" "b");
    EXPECT_EQ(Utf16ToUtf8(u"\xD800"), "\xEF\xBF\xBD");      // lone surrogate
    EXPECT_EQ(Utf16ToUtf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
}

TEST(AsciiRules, CaseAndTrimTouchOnlyTheirCharacters) {
    EXPECT_EQ(LowerAscii("Buttons.BMP \xC4\xB0"), "buttons.bmp \xC4\xB0");
    EXPECT_EQ(UpperAscii("button.radio"), "BUTTON.RADIO");
    EXPECT_TRUE(EqualsIgnoreCaseAscii("[Buttons]", "[BUTTONS]"));
    EXPECT_FALSE(EqualsIgnoreCaseAscii("a", "ab"));
    EXPECT_EQ(TrimControl(std::string_view("\t x = 1 \r\n")), "x = 1");
    EXPECT_EQ(TrimControl(std::string_view("\xC5\x9F ")), "\xC5\x9F");
    EXPECT_EQ(TrimControl(std::string_view(" \x01 ")), "");
}

TEST(NumberText, HexPadsAndOneDecimalCarriesItsRounding) {
    EXPECT_EQ(HexDigits(0x800B0109u, 8), "800B0109");
    EXPECT_EQ(HexDigits(0x3503, 4), "3503");
    EXPECT_EQ(HexDigits(0x1F, 4), "001F");
    EXPECT_EQ(HexDigits(0, 0), "0");
    EXPECT_EQ(HexDigits(0xFFFFFFFFu, 2), "FFFFFFFF");
    EXPECT_EQ(OneDecimal(1048575, 1048576), "1.0");  // 0.99999 rounds up into the whole part
    EXPECT_EQ(OneDecimal(1572864, 1048576), "1.5");
    EXPECT_EQ(OneDecimal(8100000, 1000000), "8.1");
    EXPECT_EQ(OneDecimal(INT64_MAX, 1048576), "8796093022208.0");
    EXPECT_EQ(OneDecimal(-5, 10), "0.0");
}
