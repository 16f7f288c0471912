// What a skin's author is told: every refusal with its reason, the caption that cannot serve,
// pictures that count as missing and values clamped, each naming where it is in the skin.
#include <gtest/gtest.h>

#include <cstring>

#include "LzhEncoder.h"
#include "SkinArchiveWriter.h"
#include "skin/SkinCheck.h"

using namespace qx;
using qx::tools::TSkinEntry;

namespace {

std::vector<std::uint8_t> Bmp24(int width, int height, std::uint32_t rgb = 0x2060C0) {
    const int stride = (width * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> f(54 + static_cast<std::size_t>(stride) * height, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    f[26] = 1;
    f[28] = 24;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            std::uint8_t* p = &f[54 + static_cast<std::size_t>(y) * stride + 3 * x];
            p[0] = rgb & 0xFF;
            p[1] = rgb >> 8 & 0xFF;
            p[2] = rgb >> 16 & 0xFF;
        }
    return f;
}

std::vector<std::uint8_t> Bytes(std::string_view text) { return {text.begin(), text.end()}; }

// A skin with a caption strip of two 28-pixel frames, a close button 16 pixels square (3
// frames) at the right, a menu bar and a scroll bar element; extra is added to the INI.
std::string Ini(std::string_view extra = "", std::string_view closeX = "34") {
    return "[Personality]\r\nTop=top.bmp\r\nTopFrame=2\r\nTopTrans=1\r\nmenuBar=bar.bmp\r\n"
           "[Button0]\r\nButtonImage=close.bmp\r\nAction=0\r\nAlign=1\r\nXcoord=" +
           std::string(closeX) + "\r\nYcoord=6\r\n[Scrollbar]\r\nImage=arrows.bmp\r\n" + std::string(extra);
}

std::vector<TSkinEntry> Entries(const std::string& ini, std::vector<std::uint8_t> top = Bmp24(400, 56),
                                std::vector<std::uint8_t> arrows = Bmp24(23 * 16, 16)) {
    return {{"top.bmp", std::move(top)},      {"close.bmp", Bmp24(48, 16)}, {"bar.bmp", Bmp24(32, 40)},
            {"arrows.bmp", std::move(arrows)}, {"dot.bmp", Bmp24(1, 1)},     {"skin.ini", Bytes(ini)}};
}

std::vector<std::uint8_t> Pack(const std::vector<std::uint8_t>& plain) { return qx::tools::LzhCompress(plain); }
TSkinVerdict Check(const std::vector<TSkinEntry>& entries) {
    return CheckSkin(Pack(qx::tools::BuildSkinArchive(entries)));
}

// The warning that mentions all of words, or "" (and a failure) when none does.
std::string Find(const TSkinVerdict& v, std::initializer_list<std::string_view> words) {
    for (const std::string& w : v.Warnings) {
        bool all = true;
        for (std::string_view word : words) all = all && w.find(word) != std::string::npos;
        if (all) return w;
    }
    ADD_FAILURE() << "no warning with " << *words.begin() << " in:\n" << v.Message();
    return {};
}

}  // namespace

TEST(SkinCheck, ASoundSkinHasNoWarningsWithOrWithoutAByteOrderMark) {
    for (const std::string ini : {Ini(), "\xEF\xBB\xBF" + Ini()}) {
        const TSkinVerdict v = Check(Entries(ini));
        EXPECT_FALSE(v.Refused);
        EXPECT_TRUE(v.CaptionServes) << "the first section, with the caption strip, is read";
        EXPECT_TRUE(v.Warnings.empty()) << v.Message();
        EXPECT_EQ(v.MenuLeft, 1);  // the default end pieces
    }
}

TEST(SkinCheck, ACaptionThatCannotServeKeepsTheSystemFrameAndSaysWhy) {
    const TSkinVerdict transparent = Check(Entries(Ini(), Bmp24(400, 56, 0xFF00FF)));
    EXPECT_FALSE(transparent.CaptionServes);
    Find(transparent, {"[Personality] Top:", "transparent everywhere", "system frame"});

    const TSkinVerdict low = Check(Entries(Ini(), Bmp24(400, 2)));
    EXPECT_FALSE(low.CaptionServes);
    Find(low, {"[Personality] Top:", "1 pixel high", "too low"});
    EXPECT_EQ(low.Warnings.size(), 1u);

    const TSkinVerdict far = Check(Entries(Ini("", "100000")));
    EXPECT_FALSE(far.CaptionServes);
    Find(far, {"[BUTTON0]", "Xcoord=100000", "outside"});

    std::string noClose = Ini();
    noClose.replace(noClose.find("Action=0"), 8, "Action=2");
    const TSkinVerdict none = Check(Entries(noClose));
    EXPECT_FALSE(none.CaptionServes);
    Find(none, {"[Personality] Top:", "no close button", "system frame"});
    EXPECT_FALSE(far.Refused) << "the rest of the skin is used";
}

TEST(SkinCheck, PicturesThatCannotServeCountAsMissingAndOffsetsAreClamped) {
    const TSkinVerdict tiny = Check(Entries(Ini("LeftWidth=3\r\n"), Bmp24(400, 56), Bmp24(1, 1)));
    EXPECT_TRUE(tiny.Ignores("Scrollbar"));
    Find(tiny, {"[Scrollbar] Image:", "\"arrows.bmp\" is 1 x 1 pixels", "23 frames", "own look"});
    // Room for the frames but not for the margins.
    const TSkinVerdict margins = Check(Entries(Ini("LeftWidth=10\r\nRightWidth=10\r\n")));
    EXPECT_TRUE(margins.Ignores("Scrollbar"));
    Find(margins, {"[Scrollbar] Image:", "margins of 10, 0, 10 and 0"});

    const TSkinVerdict named = Check(Entries(Ini("[Tabs]\r\nImage=gone.bmp\r\n[HorzScroll]\r\nImage=dot.BMP\r\n")));
    Find(named, {"[Tabs] Image:", "\"gone.bmp\" is not in the skin", "the tabs keep their own look"});
    Find(named, {"[HorzScroll] Image:", "\"dot.BMP\" does not name a \".bmp\" file"});
    EXPECT_TRUE(named.CaptionServes);

    std::string offsets = Ini();
    offsets.insert(offsets.find("[Button0]"), "TileLeftMenu=$80000000\r\nTileRightMenu=2147483647\r\n");
    const TSkinVerdict clamped = Check(Entries(offsets));
    EXPECT_EQ(clamped.MenuLeft, 0);
    EXPECT_EQ(clamped.MenuRight, 32);
    Find(clamped, {"[Personality] TileLeftMenu:", "-2147483648", "0 is used"});
    Find(clamped, {"[Personality] TileRightMenu:", "32 is used"});
    EXPECT_FALSE(clamped.Refused);

    // A second button far off to the left-anchored side and above the strip, and a title moved
    // out of sight: held inside the 28-pixel strip and the narrowest caption.
    std::string caption = Ini("[Button1]\r\nButtonImage=close.bmp\r\nAction=2\r\nXcoord=2147483647\r\nYcoord=-9\r\n");
    caption.insert(caption.find("[Button0]"), "TextShift=$80000000\r\nTextShiftVert=100\r\nTextRightClip=5\r\n");
    const TSkinVerdict held = Check(Entries(caption));
    EXPECT_TRUE(held.CaptionServes);
    EXPECT_EQ(held.Kept("BUTTON1", "Xcoord", 7), kCaptionReachWidth - 16);
    EXPECT_EQ(held.Kept("BUTTON1", "Ycoord", 7), 0);
    EXPECT_EQ(held.Kept("BUTTON0", "Xcoord", 7), 7) << "the close button lies inside already";
    EXPECT_EQ(held.Kept("Personality", "TextShift", 7), 0);
    EXPECT_EQ(held.Kept("Personality", "TextShiftVert", 7), 28);
    EXPECT_EQ(held.Kept("Personality", "TextRightClip", 7), 7);
    Find(held, {"[BUTTON1] Xcoord: 2147483647", "16 x 16, Align=0", "28 pixels high", "304 is used"});
    Find(held, {"[BUTTON1] Ycoord: -9", "0 is used"});
    Find(held, {"[Personality] TextShift: -2147483648", "moves the title", "0 is used"});
    Find(held, {"[Personality] TextShiftVert: 100", "28 is used"});
    EXPECT_EQ(held.Warnings.size(), 4u) << held.Message();
}

TEST(SkinCheck, EveryRefusalSaysWhatIsWrongAndWhere) {
    auto refused = [](const std::vector<std::uint8_t>& file, std::initializer_list<std::string_view> words) {
        const TSkinVerdict v = CheckSkin(file);
        EXPECT_TRUE(v.Refused);
        const std::string why = Find(v, words);
        EXPECT_TRUE(v.Warnings.back() == why) << "the reason comes last";
    };
    const std::vector<std::uint8_t> plain = qx::tools::BuildSkinArchive(Entries(Ini()));
    std::int32_t namesLength;
    std::memcpy(&namesLength, &plain[4], 4);
    const std::size_t sizesAt = 16 + static_cast<std::size_t>(namesLength);
    auto withSize = [&](std::size_t index, std::int32_t size) {
        std::vector<std::uint8_t> p = plain;
        std::memcpy(&p[sizesAt + 4 * index], &size, 4);
        return Pack(p);
    };
    refused({}, {"too short"});
    refused(withSize(0, 1 << 20), {"entry sizes add up to"});
    refused(withSize(2, -5), {"\"bar.bmp\" declares a negative size (-5)"});
    // Sizes that leave data over put the description in the wrong place.
    refused(withSize(0, 0), {"holds no [section]"});

    std::vector<std::uint8_t> nul = plain;
    nul[16 + 2] = 0;  // inside "top.bmp"
    const TSkinVerdict cut = CheckSkin(Pack(nul));
    EXPECT_TRUE(cut.Refused);
    Find(cut, {"NUL byte"});

    std::vector<std::uint8_t> older = plain;
    older[0] ^= 1;
    refused(Pack(older), {"Older Skin File"});

    std::vector<TSkinEntry> utf16 = Entries(Ini());
    std::vector<std::uint8_t> wide{0xFF, 0xFE};
    for (char c : Ini()) wide.insert(wide.end(), {static_cast<std::uint8_t>(c), 0});
    utf16.back().Data = wide;
    refused(Pack(qx::tools::BuildSkinArchive(utf16)), {"\"skin.ini\" is saved as UTF-16"});

    std::vector<TSkinEntry> backup = Entries(Ini());
    backup.insert(backup.begin(), {"skin.ini.bak", Bmp24(2, 2)});
    const TSkinVerdict first = CheckSkin(Pack(qx::tools::BuildSkinArchive(backup)));
    EXPECT_TRUE(first.Refused);
    Find(first, {"\"skin.ini.bak\", is its description", "\"skin.ini\" is not read"});

    std::vector<TSkinEntry> noIni = Entries(Ini());
    noIni.pop_back();
    refused(Pack(qx::tools::BuildSkinArchive(noIni)), {"no entry's name contains \".ini\""});
}
