#include "samplesetup/ProductWord.h"

#include <gtest/gtest.h>

using qx::SampleProductWord;

TEST(SampleProductWord, TakesTheWordBeforeKurOrSetup) {
    EXPECT_EQ(SampleProductWord(u"C:\\Users\\u\\Desktop\\DrivanoKur.exe"), u"Drivano");
    EXPECT_EQ(SampleProductWord(u"/tmp/NuvretaSetup.exe"), u"Nuvreta");
    EXPECT_EQ(SampleProductWord(u"hestrakur.EXE"), u"hestra");
    EXPECT_EQ(SampleProductWord(u"Partelo.exe"), u"Partelo");
    EXPECT_EQ(SampleProductWord(u"LumiqoKurSetup.exe"), u"LumiqoKur");  // only one suffix goes
}

TEST(SampleProductWord, FallsBackToTheWholeNameOrThePublisher) {
    EXPECT_EQ(SampleProductWord(u"Kur.exe"), u"Kur");
    EXPECT_EQ(SampleProductWord(u"C:\\x\\Setup"), u"Setup");
    EXPECT_EQ(SampleProductWord(u"C:\\x\\.exe"), u"Quenrix");
    EXPECT_EQ(SampleProductWord(u""), u"Quenrix");
}
