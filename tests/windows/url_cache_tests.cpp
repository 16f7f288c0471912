#include "FakeInstallerPlatform.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <new>

using namespace qx;
using qx::testing::TFakeInstallerPlatform;
using ::testing::ElementsAre;

TEST(ClearUrlCache, DeletesEveryEntryWithAFreshRecordPerEntryAndClosesOnce) {
    TFakeInstallerPlatform platform;
    platform.Cache = {"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe", "Cookie:user@quenrix.com.tr/",
                      "Visited: user@http://x/a-much-longer-address/than-the-others.html"};
    ClearUrlCache(platform);
    EXPECT_THAT(platform.Calls,
                ElementsAre("first size?", "first buffer", "delete http://www.quenrix.com.tr/Kur/DrivanoSetup.exe",
                            "next size?", "next buffer", "delete Cookie:user@quenrix.com.tr/", "next size?",
                            "next buffer", "delete Visited: user@http://x/a-much-longer-address/than-the-others.html",
                            "next size?", "next size?", "close"));
    // Each record carried the size asked for that very entry in its first field; after the
    // last entry the size query answers 0, so the closing fetch goes without a buffer.
    EXPECT_THAT(platform.RecordSizesSeen,
                ElementsAre(TFakeInstallerPlatform::RecordSize(platform.Cache[0]),
                            TFakeInstallerPlatform::RecordSize(platform.Cache[1]),
                            TFakeInstallerPlatform::RecordSize(platform.Cache[2])));
    EXPECT_EQ(platform.ClosedHandle, TFakeInstallerPlatform::EnumerationHandle);
}

TEST(ClearUrlCache, EmptyCacheDeletesNothingAndStillCloses) {
    TFakeInstallerPlatform platform;
    ClearUrlCache(platform);
    EXPECT_THAT(platform.Calls, ElementsAre("first size?", "first size?", "close none"));
    EXPECT_EQ(platform.Closes, 1);
}

TEST(ClearUrlCache, AFailingFetchEndsTheClearingButNotTheClose) {
    TFakeInstallerPlatform platform;
    platform.Cache = {"a", "b", "c", "d"};
    platform.FailFindNextAt = 2;
    ClearUrlCache(platform);
    EXPECT_THAT(platform.Calls, ElementsAre("first size?", "first buffer", "delete a", "next size?", "next buffer",
                                            "delete b", "next size?", "next buffer", "close"));
}

TEST(ClearUrlCache, ErrorsInsideAreSwallowedAndTheEnumerationIsClosed) {
    {
        TFakeInstallerPlatform platform;
        platform.Cache = {"a", "b"};
        platform.OnDelete = [](const std::string& url) {
            if (url == "b") throw std::runtime_error("cache locked");
        };
        EXPECT_NO_THROW(ClearUrlCache(platform));
        EXPECT_EQ(platform.Calls.back(), "close");
        EXPECT_EQ(platform.Closes, 1);
        EXPECT_EQ(platform.ClosedHandle, TFakeInstallerPlatform::EnumerationHandle);
    }
    {
        TFakeInstallerPlatform platform;  // out of memory inside a deletion
        platform.Cache = {"a"};
        platform.OnDelete = [](const std::string&) { throw std::bad_alloc(); };
        EXPECT_NO_THROW(ClearUrlCache(platform));
        EXPECT_EQ(platform.Calls.back(), "close");
    }
}

TEST(ClearUrlCache, AbsurdSizesAreNeitherAllocatedNorOverrun) {
    {
        TFakeInstallerPlatform platform;  // 4 GB "entry": refused before any allocation
        platform.Cache = {"a"};
        platform.ForcedSize = 0xFFFFFFF0u;
        EXPECT_NO_THROW(ClearUrlCache(platform));
        EXPECT_THAT(platform.Calls, ElementsAre("first size?", "close none"));
    }
    {
        // Two bytes cannot even hold the size field; the record is padded to its full
        // structure, and an entry that names no URL is not deleted.
        TFakeInstallerPlatform platform;
        platform.Cache = {"a"};
        platform.ForcedSize = 2;
        ClearUrlCache(platform);
        EXPECT_THAT(platform.RecordSizesSeen, ElementsAre(2u));
        for (const std::string& call : platform.Calls) EXPECT_NE(call.rfind("delete", 0), 0u) << call;
        EXPECT_EQ(platform.Calls.back(), "close");
    }
}

TEST(IsInternetConnected, AsksOnceWithReservedZeroAndReadsOnlyTheAnswer) {
    TFakeInstallerPlatform platform;
    EXPECT_TRUE(IsInternetConnected(platform));
    platform.Online = false;
    EXPECT_FALSE(IsInternetConnected(platform));
    EXPECT_THAT(platform.Calls, ElementsAre("connected? reserved=0", "connected? reserved=0"));
}
