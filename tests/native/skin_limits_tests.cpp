// The portable half of loading a skin within bounds: which pictures a skin names and how many
// pixels they decode to (each distinct entry once), the INI index that every look-up goes
// through, and the caption buttons a skin may define.
#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>

#include "LzhEncoder.h"
#include "SkinArchiveWriter.h"
#include "skin/QuickIni.h"
#include "skin/SkinPictures.h"
#include "skin/SkinReader.h"
#include "skin/SkinValues.h"

using namespace qx;

namespace {

// A 24-bit bitmap file of one colour.
std::vector<std::uint8_t> Bmp24(int width, int height) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> f(54 + static_cast<std::size_t>(stride) * height, 0x40);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&f[at], &v, 2); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(6, 0);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    std::memset(&f[30], 0, 24);
    return f;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

struct TArchive {
    TSkinReader reader;
    TQuickIni ini;
    explicit TArchive(std::vector<qx::tools::TSkinEntry> entries) {
        TMemoryStream stream(qx::tools::LzhCompress(qx::tools::BuildSkinArchive(entries)));
        EXPECT_TRUE(reader.LoadArchive(stream));
        const std::size_t i = reader.Find("skin.ini");
        if (i != TSkinReader::npos) {
            const auto text = reader.Entry(i);
            ini.LoadFromText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        }
    }
};

}  // namespace

TEST(SkinPictures, EachNamedReadablePictureCountsOnceWhateverNamesIt) {
    const std::string ini =
        "[Buttons]\nBitmap=A.bmp\nCheckButton=C:\\skins\\a.bmp\nRadioButton=b.bmp\n"
        "[Other]\nImage=bad.bmp\nGlyph=missing.bmp\nUpper=b.BMP\nText=not a picture\n"
        "[Other]\nImage=big.bmp\n";  // a second section of a name is never read
    TArchive a({{"a.bmp", Bmp24(10, 10)},
                {"b.bmp", Bmp24(20, 5)},
                {"bad.bmp", Bytes("BM but nothing more")},
                {"big.bmp", Bmp24(300, 300)},
                {"unused.bmp", Bmp24(400, 400)},
                {"skin.ini", Bytes(ini)}});
    const TSkinPictures pictures(a.reader);
    EXPECT_EQ(pictures.NamedPixels(a.ini), 10 * 10 + 20 * 5);
    EXPECT_EQ(pictures.EntryOf("C:\\skins\\A.bmp"), a.reader.Find("a.bmp"));
    EXPECT_EQ(pictures.EntryOf("b.BMP"), TSkinReader::npos) << "only names ending in .bmp name pictures";
    EXPECT_EQ(pictures.Layout(pictures.EntryOf("bad.bmp")), nullptr);
    ASSERT_NE(pictures.Layout(pictures.EntryOf("big.bmp")), nullptr);
    EXPECT_EQ(pictures.Layout(pictures.EntryOf("big.bmp"))->Pixels(), 90000);
}

TEST(SkinPictures, RefusalsSayWhatIsTooLargeByHowMuch) {
    EXPECT_EQ(SkinPicturesTooLargeMessage(16777216),
              "This skin's pictures are too large: 16.8 megapixels, and a skin may use at most 8.4 megapixels.\r"
              "The skin is not used.");
    EXPECT_EQ(SkinFileTooLargeMessage(250LL * 1024 * 1024),
              "This skin file is too large: 250.0 MiB, and a skin file may be at most 8.0 MiB.\rThe skin is not used.");
    EXPECT_NE(SkinIniTooLargeMessage(40LL * 1024 * 1024).find("40.0 MiB of text"), std::string::npos);
}

TEST(SkinReader, HandsOutEntriesWithoutCopyingAndFindsTheFirstOfAName) {
    TArchive a({{"One.bmp", Bytes("first")}, {"two.bmp", Bytes("second")}, {"one.bmp", Bytes("third")}});
    EXPECT_EQ(a.reader.Find("ONE.BMP"), 0u);
    EXPECT_EQ(a.reader.Find("three.bmp"), TSkinReader::npos);
    const auto second = a.reader.Entry(1);
    EXPECT_EQ(std::string(second.begin(), second.end()), "second");
    EXPECT_EQ(a.reader.Entry(1).data(), second.data()) << "the same bytes every time, held by the reader";
    EXPECT_TRUE(a.reader.Entry(3).empty());
}

TEST(QuickIni, ListsEachValueALookUpCanReturnOnce) {
    TQuickIni ini;
    ini.LoadFromText("Before=0\n[A]\nk=1\nK=2\nempty=\nplain\n[B]\nk=3\n[a]\nk=4\nother=5\n");
    std::multiset<std::string> values;
    ini.ForEachValue([&](std::string_view v) { values.emplace(v); });
    // Keys before any section, later lines of a key and later sections of a name are never read.
    EXPECT_EQ(values, (std::multiset<std::string>{"1", "3"}));
    EXPECT_EQ(ini.SectionCount(), 3u);
}

TEST(SkinValues, CaptionButtonsStopAtWhatACaptionCanHold) {
    std::string text = "[Buttons]\nBitmap=b.bmp\n[Button.Radio]\n";
    for (int i = 0; i < 100; ++i) {
        text += "[Button" + std::to_string(i) + "]\nAction=" + std::to_string(i % 5) + "\n";
        if (i % 10 == 3) text += "Action=-1\n[ButtonHidden" + std::to_string(i) + "]\nAction=-1\nVisibility=2\n";
    }
    TQuickIni ini;
    ini.LoadFromText(text);
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    const auto buttons = TSkinValueReader(ini).SysButtons(sections);
    ASSERT_EQ(buttons.size(), kMaxCaptionButtons);
    EXPECT_EQ(buttons.front().Name, "BUTTON0");
    EXPECT_EQ(buttons.back().Name, "BUTTON" + std::to_string(kMaxCaptionButtons - 1));
    EXPECT_EQ(buttons[3].Visibility1, 0) << "only the first Action line of a section counts";
}
