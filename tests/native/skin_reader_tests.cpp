#include <gtest/gtest.h>

#include <cstring>

#include "LzhEncoder.h"
#include "SkinArchiveWriter.h"
#include "skin/Lzh.h"
#include "skin/SkinReader.h"

using namespace qx;
using qx::tools::BuildSkinArchive;
using qx::tools::LzhCompress;
using qx::tools::TSkinEntry;

namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }
std::string Text(const TMemoryStream& s) { return std::string(s.Bytes().begin(), s.Bytes().end()); }

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// A plain archive written field by field, for layouts the writer would never produce.
std::vector<std::uint8_t> RawArchive(std::int32_t version, std::string_view names, const std::vector<std::int32_t>& sizes,
                                     std::string_view data) {
    std::vector<std::uint8_t> out;
    Put32(out, static_cast<std::uint32_t>(version));
    Put32(out, static_cast<std::uint32_t>(names.size()));
    Put32(out, 0x12345678);  // reserved fields carry anything
    Put32(out, 0x9ABCDEF0);
    out.insert(out.end(), names.begin(), names.end());
    for (std::int32_t s : sizes) Put32(out, static_cast<std::uint32_t>(s));
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

struct LoadedSkin {
    TSkinReader reader;
    std::vector<std::string> messages;
    bool Load(const std::vector<std::uint8_t>& plain) {
        TMemoryStream stream(LzhCompress(plain));
        reader.OnMessage = [this](const std::string& m) { messages.push_back(m); };
        return reader.LoadArchive(stream);
    }
};

const std::vector<TSkinEntry> kSample = {
    {"Buttons.bmp", Bytes("BUTTONS")},
    {"empty.bmp", {}},
    {"first.ini", Bytes("[a]\r\nx=1\r\n")},
    {"buttons.bmp", Bytes("SECOND")},
    {"quenrix-blue.ini", Bytes("[b]")},
};

}  // namespace

TEST(SkinReader, ListsAndExtractsEntriesByName) {
    LoadedSkin skin;
    ASSERT_TRUE(skin.Load(BuildSkinArchive(kSample)));
    EXPECT_EQ(skin.reader.Names(), (std::vector<std::string>{"buttons.bmp", "empty.bmp", "first.ini", "buttons.bmp", "quenrix-blue.ini"}));
    EXPECT_EQ(skin.reader.EntrySize(2), 10);
    EXPECT_TRUE(skin.messages.empty());

    TMemoryStream out;
    out.WriteBuffer("old", 3);
    skin.reader.ExtractFile("Buttons.BMP", out);  // the request is lower-cased; the first of two wins
    EXPECT_EQ(Text(out), "BUTTONS");
    EXPECT_EQ(out.Position(), 0);
    skin.reader.ExtractFile("quenrix-blue.ini", out);
    EXPECT_EQ(Text(out), "[b]");
    skin.reader.ExtractFile("empty.bmp", out);  // reads as "not found" to callers
    EXPECT_EQ(out.Size(), 0);
    out.WriteBuffer("old", 3);
    skin.reader.ExtractFile("missing.bmp", out);
    EXPECT_EQ(out.Size(), 0);
}

TEST(SkinReader, ExtractsTheFirstEntryContainingAText) {
    LoadedSkin skin;
    ASSERT_TRUE(skin.Load(BuildSkinArchive(kSample)));
    TMemoryStream out;
    std::string name = "unchanged";
    skin.reader.ExtractFileLike(".ini", out, name);
    EXPECT_EQ(name, "first.ini");
    EXPECT_EQ(Text(out), "[a]\r\nx=1\r\n");
    skin.reader.ExtractFileLike("blue", out, name);
    EXPECT_EQ(name, "quenrix-blue.ini");
    // The text is not lower-cased, so upper-case text never matches the lower-case names.
    name = "unchanged";
    skin.reader.ExtractFileLike(".INI", out, name);
    EXPECT_EQ(name, "unchanged");
    EXPECT_EQ(out.Size(), 0);
    skin.reader.ExtractFileLike("", out, name);
    EXPECT_EQ(name, "unchanged");
}

TEST(SkinReader, SplitsNamesAtEveryKindOfLineBreak) {
    EXPECT_EQ(SplitSkinLines("a\r\nb\r\n"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitSkinLines("a\r\nb"), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(SplitSkinLines("a\rb\nc"), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(SplitSkinLines("a\r\n\r\nb"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitSkinLines(std::string_view("a\r\nb\0c\r\n", 8)), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(SplitSkinLines("").empty());

    // An empty line still takes a size slot; names are lower-cased for A..Z only.
    LoadedSkin skin;
    ASSERT_TRUE(skin.Load(RawArchive(20000, "ONE.BMP\r\n\r\n\xC4X.bmp", {1, 2, 3}, "abbccc")));
    EXPECT_EQ(skin.reader.Names(), (std::vector<std::string>{"one.bmp", "", "\xC4x.bmp"}));
    TMemoryStream out;
    skin.reader.ExtractFile("\xC4X.BMP", out);
    EXPECT_EQ(Text(out), "ccc");
}

TEST(SkinReader, RefusesAnOlderArchiveWithTheMessageAndKeepsWhatItHad) {
    LoadedSkin skin;
    ASSERT_TRUE(skin.Load(BuildSkinArchive(kSample)));
    EXPECT_FALSE(skin.Load(RawArchive(19999, "x.bmp\r\n", {1}, "x")));
    ASSERT_EQ(skin.messages.size(), 1u);
    EXPECT_EQ(skin.messages[0], "This is Older Skin File\rPlease update to new version !");
    EXPECT_EQ(skin.reader.Count(), 5u);
    TMemoryStream out;
    skin.reader.ExtractFile("buttons.bmp", out);
    EXPECT_EQ(Text(out), "BUTTONS");

    // Without a listener the refusal is silent.
    TSkinReader quiet;
    TMemoryStream stream(LzhCompress(RawArchive(1, "", {}, "")));
    EXPECT_FALSE(quiet.LoadArchive(stream));
}

TEST(SkinReader, RefusesDamagedArchivesSilentlyAndKeepsWhatItHad) {
    std::vector<std::int32_t> manySizes(1002, 0);
    std::string manyNames;
    for (int i = 0; i < 1002; ++i) manyNames += "n\r\n";
    std::vector<std::int32_t> allowedSizes(1001, 1);
    std::string allowedNames;
    for (int i = 0; i < 1001; ++i) allowedNames += "n\r\n";

    struct Case { const char* what; std::vector<std::uint8_t> plain; };
    std::vector<std::uint8_t> goodRaw = RawArchive(20000, "a\r\nb\r\n", {2, 3}, "xxyyy");
    std::vector<Case> cases = {
        {"more than 1,001 names", RawArchive(20000, manyNames, manySizes, "")},
        {"a negative size", RawArchive(20000, "a\r\nb\r\n", {-1, 3}, "xxyyy")},
        {"sizes past the data", RawArchive(20000, "a\r\nb\r\n", {2, 4}, "xxyyy")},
        {"sizes summing past 4 GB", RawArchive(20000, "a\r\nb\r\n", {0x7FFFFFFF, 0x7FFFFFFF}, "xxyyy")},
        {"header cut short", std::vector<std::uint8_t>(goodRaw.begin(), goodRaw.begin() + 15)},
        {"names cut short", std::vector<std::uint8_t>(goodRaw.begin(), goodRaw.begin() + 19)},
        {"size table cut short", std::vector<std::uint8_t>(goodRaw.begin(), goodRaw.begin() + 16 + 6 + 5)},
        {"negative names length", [] { auto r = RawArchive(20000, "", {}, ""); r[7] = 0x80; return r; }()},
        {"empty archive", {}},
    };
    for (const Case& c : cases) {
        LoadedSkin skin;
        ASSERT_TRUE(skin.Load(BuildSkinArchive(kSample)));
        EXPECT_FALSE(skin.Load(c.plain)) << c.what;
        EXPECT_TRUE(skin.messages.empty()) << c.what;
        EXPECT_EQ(skin.reader.Count(), 5u) << c.what;
    }
    LoadedSkin atLimit;
    std::string data(1001, 'z');
    EXPECT_TRUE(atLimit.Load(RawArchive(20000, allowedNames, allowedSizes, data)));
    EXPECT_EQ(atLimit.reader.Count(), 1001u);
}

TEST(SkinReader, RefusesStreamsTooShortOrClaimingTooMuch) {
    TSkinReader reader;
    TMemoryStream tiny(std::vector<std::uint8_t>{1, 0, 0});
    EXPECT_FALSE(reader.LoadArchive(tiny));
    // A few bytes that claim a gigabyte are refused before any decoding.
    TMemoryStream greedy(std::vector<std::uint8_t>{0, 0, 0, 0x40, 0xFF});
    EXPECT_FALSE(reader.LoadArchive(greedy));
    // A stream too short for what it claims (every coded byte holds at most 48 plain ones)
    // would only decode from zero bits: refused at once, however far below the ceiling.
    std::vector<std::uint8_t> claim{0, 0, 0x10, 0};  // 1 MiB
    claim.resize(4 + (1 << 20) / 48 - 8, 0xFF);
    TMemoryStream bomb(claim);
    EXPECT_FALSE(reader.LoadArchive(bomb));
    // A whole stream of the same size at the best ratio the coder reaches still loads.
    TMemoryStream runs(LzhCompress(RawArchive(20000, "a\r\n", {1 << 20}, std::string(1 << 20, 'a'))));
    EXPECT_LT(runs.Size() * 40, 1 << 20) << "the coder packs runs nearly as tightly as it can";
    EXPECT_TRUE(reader.LoadArchive(runs));
    reader.MaxPlainSize = 100;
    TMemoryStream justOver(LzhCompress(RawArchive(20000, "a\r\n", {90}, std::string(90, 'a'))));
    EXPECT_FALSE(reader.LoadArchive(justOver));
}

TEST(SkinReader, ReadsFromTheStartOfTheStreamAndKeepsTheBytesPastTheLastEntry) {
    auto plain = RawArchive(20000, "a", {2}, "xx-trailing");
    TMemoryStream stream(LzhCompress(plain));
    stream.SetPosition(3);
    TSkinReader reader;
    ASSERT_TRUE(reader.LoadArchive(stream));
    EXPECT_EQ(reader.Names(), std::vector<std::string>{"a"});
    TMemoryStream out;
    reader.ExtractFile("a", out);
    EXPECT_EQ(Text(out), "xx");
    EXPECT_EQ(reader.Header()[8], 0x78);
}
