#include "core/Stream.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(MemoryStream, WritesGrowReadsStopAtTheEnd) {
    TMemoryStream s;
    s.WriteBuffer("abcdef", 6);
    EXPECT_EQ(s.Size(), 6);
    s.SetPosition(4);
    char buf[8] = {};
    EXPECT_EQ(s.Read(buf, 8), 2u);
    EXPECT_EQ(std::string(buf, 2), "ef");
    EXPECT_EQ(s.Read(buf, 8), 0u);
    s.SetPosition(10);  // past the end: reading yields nothing, writing fills the gap
    EXPECT_EQ(s.Read(buf, 1), 0u);
    s.WriteBuffer("z", 1);
    EXPECT_EQ(s.Size(), 11);
    EXPECT_EQ(s.Memory()[7], 0);
    EXPECT_THROW(s.SetPosition(-1), EStreamError);
}

TEST(MemoryStream, ReadBufferRefusesAShortRead) {
    TMemoryStream s("ab", 2);
    char buf[3];
    EXPECT_THROW(s.ReadBuffer(buf, 3), EStreamError);
}

TEST(SpanStream, CopyFromCopiesWhatRemains) {
    const std::uint8_t bytes[] = {1, 2, 3, 4, 5};
    TSpanStream src(bytes);
    src.SetPosition(1);
    TMemoryStream dst;
    EXPECT_EQ(dst.CopyFrom(src, -1), 4);
    EXPECT_EQ(dst.Vector(), (std::vector<std::uint8_t>{2, 3, 4, 5}));
    EXPECT_THROW(src.Write("x", 1), EStreamError);
    src.SetPosition(0);
    EXPECT_THROW(dst.CopyFrom(src, 6), EStreamError);
}
