#include "core/ProgressText.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(Kilobytes, RoundHalfUpAndShowNothingForZero) {
    EXPECT_EQ(FormatKilobytes(0, u"."), u"");
    EXPECT_EQ(FormatKilobytes(511, u"."), u"");
    EXPECT_EQ(FormatKilobytes(512, u"."), u"1");
    EXPECT_EQ(FormatKilobytes(1535, u"."), u"1");
    EXPECT_EQ(FormatKilobytes(1536, u"."), u"2");
    EXPECT_EQ(FormatKilobytes(1024 * 999 + 511, u"."), u"999");
    EXPECT_EQ(FormatKilobytes(1024 * 999 + 512, u"."), u"1.000");
}

TEST(Kilobytes, GroupsByThreesWithTheUsersSeparator) {
    EXPECT_EQ(FormatKilobytes(1263616, u"."), u"1.234");
    EXPECT_EQ(FormatKilobytes(1263616, u","), u"1,234");
    EXPECT_EQ(FormatKilobytes(1263616, u""), u"1234");
    EXPECT_EQ(FormatKilobytes(1263616, u"\u00A0"), u"1\u00A0234");  // some locales use a no-break space
    EXPECT_EQ(FormatKilobytes(1000000, u"."), u"977");
    EXPECT_EQ(FormatKilobytes(5000000, u"."), u"4.883");
    EXPECT_EQ(FormatKilobytes(1024u * 123456, u"."), u"123.456");
    EXPECT_EQ(FormatKilobytes(1024u * 1234567, u","), u"1,234,567");
}

TEST(Kilobytes, LargestByteCountDoesNotWrapAround) {
    EXPECT_EQ(FormatKilobytes(0xFFFFFFFFu, u"."), u"4.194.304");
    EXPECT_EQ(FormatKilobytes(0xFFFFFFFFu, u""), u"4194304");
    EXPECT_EQ(FormatKilobytes(0xFFFFFE00u, u","), u"4,194,304");  // exactly half a kilobyte short
    EXPECT_EQ(FormatKilobytes(0xFFFFFDFFu, u","), u"4,194,303");
}

TEST(StatusText, JoinsBothCountsWithTheFixedPieces) {
    EXPECT_EQ(DownloadStatusText(1000000, 5000000, u"."), u"977 KB  /  4.883  KB ");
    EXPECT_EQ(DownloadStatusText(1000000, 5000000, u","), u"977 KB  /  4,883  KB ");
    EXPECT_EQ(DownloadStatusText(1000000, 5000000, u""), u"977 KB  /  4883  KB ");
    EXPECT_EQ(DownloadStatusText(0, 0, u"."), u" KB  /    KB ");
    EXPECT_EQ(DownloadStatusText(511, 1536, u"."), u" KB  /  2  KB ");
    EXPECT_EQ(DownloadStatusText(0xFFFFFFFFu, 0xFFFFFFFFu, u"."), u"4.194.304 KB  /  4.194.304  KB ");
}
