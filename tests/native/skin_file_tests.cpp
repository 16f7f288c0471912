// The installer's own skin as the build packs it: the archive, its INI and its bitmaps hold
// what the skin engine expects of them.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>

#include "core/Bmp.h"
#include "core/SkinScale.h"
#include "skin/QuickIni.h"
#include "skin/SkinPictures.h"
#include "skin/SkinReader.h"

using namespace qx;

namespace {

class QuenrixBlue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::ifstream in(QX_SKIN_FILE, std::ios::binary);
        ASSERT_TRUE(in) << "missing " << QX_SKIN_FILE;
        std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        TMemoryStream stream(std::move(bytes));
        reader_ = new TSkinReader;
        ASSERT_TRUE(reader_->LoadArchive(stream));
        TMemoryStream text;
        std::string name;
        reader_->ExtractFileLike(".ini", text, name);
        ASSERT_EQ(name, "quenrix-blue.ini");
        ini_ = new TQuickIni;
        ini_->LoadFromStream(&text);
    }
    static void TearDownTestSuite() {
        delete reader_;
        delete ini_;
        reader_ = nullptr;
        ini_ = nullptr;
    }

    // The bitmap that an INI value names, decoded; a failure fails the test.
    static TBmpImage Image(const std::string& file) {
        TMemoryStream entry;
        reader_->ExtractFile(file, entry);
        TBmpImage image;
        std::string error;
        EXPECT_GT(entry.Size(), 0) << file;
        EXPECT_TRUE(DecodeBmp(entry.Bytes(), image, error)) << file << ": " << error;
        return image;
    }
    static TBmpImage ImageOf(const char* section, const char* key) { return Image(ini_->ReadString(section, key, "")); }

    static TSkinReader* reader_;
    static TQuickIni* ini_;
};

TSkinReader* QuenrixBlue::reader_ = nullptr;
TQuickIni* QuenrixBlue::ini_ = nullptr;

}  // namespace

TEST_F(QuenrixBlue, HoldsTheThirtyFiveEntriesInArchiveOrder) {
    const std::vector<std::string> expected = {
        "buttons.bmp", "checkbox.bmp", "radiobutton.bmp", "progress.bmp", "progresschunk.bmp", "tab.bmp", "tabsheet.bmp",
        "comboboxbtn.bmp", "statusbar.bmp", "header.bmp", "scrollbararrow.bmp", "scrollbarhthumb.bmp",
        "scrollbarvthumb.bmp", "scrollbarhbar.bmp", "scrollbarvbar.bmp", "menubackground.bmp", "menuitem.bmp",
        "extraimages.bmp", "trackthumbh.bmp", "trackbot.bmp", "mdibutton.bmp", "spin.bmp", "spinarrow.bmp", "spinh.bmp",
        "spinharrow.bmp", "closebutton.bmp", "maxbutton.bmp", "minbutton.bmp", "restrorebutton.bmp", "frameleft.bmp",
        "frameright.bmp", "frametop.bmp", "framebottom.bmp", "mincaption.bmp", "quenrix-blue.ini"};
    EXPECT_EQ(reader_->Names(), expected);
    // Every bitmap entry is a 24-bit file that decodes.
    for (std::size_t i = 0; i + 1 < expected.size(); ++i) EXPECT_EQ(Image(expected[i]).BitCount, 24) << expected[i];
}

TEST_F(QuenrixBlue, FrameHasATwentyEightPixelCaptionAndFourPixelEdges) {
    auto size = [](const TBmpImage& i) { return std::pair(i.Width, i.Height); };
    EXPECT_EQ(size(ImageOf("Personality", "Top")), std::pair(793, 56));
    EXPECT_EQ(size(ImageOf("Personality", "Left")), std::pair(8, 574));
    EXPECT_EQ(size(ImageOf("Personality", "Right")), std::pair(8, 574));
    EXPECT_EQ(size(ImageOf("Personality", "Bottom")), std::pair(793, 8));
    for (const char* piece : {"Left", "Right", "Top", "Bottom"})
        EXPECT_EQ(ini_->ReadInteger("Personality", std::string(piece) + "Frame", 1), 2) << piece;
    // The caption's active colour is the installer's blue at its bottom row.
    TBmpImage top = ImageOf("Personality", "Top");
    EXPECT_EQ(top.Pixels[26 * 793 + 400], 0x2F97FFu);
    // The rounded corner is cut out with the transparency colour.
    EXPECT_EQ(ImageOf("Personality", "Left").Pixels[0], 0xFF00FFu);
}

TEST_F(QuenrixBlue, ButtonsAndGlyphStripsHaveTheirFrameCounts) {
    TBmpImage buttons = ImageOf("Buttons", "Bitmap");
    EXPECT_EQ(buttons.Width, 380);
    EXPECT_EQ(buttons.Height, 23);
    EXPECT_EQ(ini_->ReadInteger("Buttons", "RadioButtonFrame", 0), 8);
    EXPECT_EQ(ini_->ReadInteger("Buttons", "CheckButtonFrame", 0), 12);
    EXPECT_EQ(ImageOf("Buttons", "RadioButton").Width % 8, 0);
    EXPECT_EQ(ImageOf("Buttons", "CheckButton").Width % 12, 0);
    EXPECT_EQ(ini_->ReadString("Colours", "ButtonFace", ""), "244 244 244");
    EXPECT_EQ(ImageOf("MDICONTROLS", "Image").Width % 12, 0);
}

TEST_F(QuenrixBlue, CaptionButtonsAreFiveWithTheSystemMenuLastAndImageless) {
    std::vector<std::string> sections, buttons;
    ini_->ReadSections(sections);
    for (const std::string& s : sections) {
        std::string upper = s;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper.rfind("BUTTON", 0) == 0 && upper != "BUTTON" && upper != "BUTTONS" && upper != "BUTTON.RADIO" &&
            upper != "BUTTON.CHECKBOX")
            buttons.push_back(s);
    }
    ASSERT_EQ(buttons, (std::vector<std::string>{"Button0", "Button1", "Button2", "Button3", "Button4"}));
    // Without Frame keys the images' width-to-height ratio (above 3.8) gives them six frames.
    std::map<std::string, std::pair<int, int>> sizes;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(ini_->ReadString(buttons[i], "Frame", ""), "");
        TBmpImage image = ImageOf(buttons[i].c_str(), "ButtonImage");
        sizes[buttons[i]] = {image.Width, image.Height};
    }
    EXPECT_EQ(sizes["Button0"], std::pair(168, 16));
    for (const char* b : {"Button1", "Button2", "Button3"}) EXPECT_EQ(sizes[b], std::pair(102, 16)) << b;
    // Close: action 0, right-aligned, always shown.
    EXPECT_EQ(ini_->ReadInteger("Button0", "Action", -9), 0);
    EXPECT_EQ(ini_->ReadInteger("Button0", "Align", -9), 1);
    EXPECT_EQ(ini_->ReadInteger("Button0", "Visibility", -9), 0);
    // System menu: action 3, left-aligned, no image.
    EXPECT_EQ(ini_->ReadInteger("Button4", "Action", -9), 3);
    EXPECT_EQ(ini_->ReadInteger("Button4", "Align", -9), 0);
    EXPECT_EQ(ini_->ReadString("Button4", "ButtonImage", ""), "");
}

TEST_F(QuenrixBlue, DefinesEveryElementTheObjectModelReads) {
    const char* withImage[] = {"Progress.Chunk", "GroupBoxEdge", "GroupBox", "Tabs", "StatusBarEdges", "Tab.Pane",
                               "ToolBars", "ComboButton", "SunkEdge", "ExtraImages", "Headerbar", "MenuItem",
                               "MenuBackground", "Scrollbar", "HorzScroll", "VertScroll", "HorzScrollThumb",
                               "VertScrollThumb", "Trackbar.ThumbHorz", "Trackbar.ThumbVert", "Trackbar.ThumbLeft",
                               "Trackbar.ThumbRight", "Trackbar.ThumbUp", "Trackbar.ThumbDown", "UpDown.Horz",
                               "UpDown.Vert", "Track", "TRACKVERT", "MDICONTROLS"};
    for (const char* section : withImage) {
        TBmpImage image = ImageOf(section, "Image");
        EXPECT_GT(image.Width, 0) << section;
    }
    EXPECT_GT(ImageOf("Progress", "Bitmap").Width, 0);
    EXPECT_GT(ImageOf("Personality", "menuBar").Width, 0);
    EXPECT_GT(ImageOf("Tabs", "Border").Width, 0);
    EXPECT_GT(ImageOf("UpDown.Horz", "GlyphImage").Width, 0);
    EXPECT_GT(ImageOf("UpDown.Vert", "GlyphImage").Width, 0);
    // Strips split evenly into the frame counts their users apply.
    EXPECT_EQ(ImageOf("Scrollbar", "Image").Width % 23, 0);
    EXPECT_EQ(ImageOf("Tabs", "Image").Width % 5, 0);
    EXPECT_EQ(ImageOf("ExtraImages", "Image").Width % 5, 0);
    EXPECT_EQ(ImageOf("ComboButton", "Image").Width % 4, 0);
    EXPECT_EQ(ImageOf("SunkEdge", "Image").Width % 4, 0);
    EXPECT_EQ(ImageOf("StatusBarEdges", "Image").Width % 3, 0);
    EXPECT_EQ(ImageOf("MenuItem", "Image").Height % 5, 0);
    EXPECT_EQ(ImageOf("Personality", "menuBar").Height % 2, 0);
    EXPECT_EQ(ini_->ReadInteger("HorzScrollThumb", "FrameCount", 0), 3);
}

TEST_F(QuenrixBlue, ItsPicturesDecodeToAFractionOfTheBudget) {
    // About 0.12 megapixels: the pixel budget leaves a skin drawn for a large screen some
    // seventy times that.
    const std::int64_t pixels = TSkinPictures(*reader_).NamedPixels(*ini_);
    EXPECT_GT(pixels, 100000);
    EXPECT_LT(pixels, 140000);
    EXPECT_LT(pixels * 50, kSkinPixelBudget);
}

TEST_F(QuenrixBlue, EveryPictureScaledFrameByFrameIsTheStripScaledWhole) {
    // Each bitmap of the skin cut as a strip is (side by side and stacked, with and without
    // margins), its frames scaled one at a time in any order into a picture of the strip's
    // size: the same pixels as the whole strip, at whole multiples and between them.
    int strips = 0;
    for (const std::string& name : reader_->Names()) {
        if (name.ends_with(".ini")) continue;
        const TBmpImage image = Image(name);
        const TSkinPixels source{image.Width, image.Height, image.Pixels};
        for (int frames : {2, 5})
            for (bool stacked : {false, true})
                for (const TSkinInsets& margins : {TSkinInsets{}, TSkinInsets{3, 4, 5, 2}})
                    for (int dpi : {120, 144, 192}) {
                        const TSkinPixels whole = ScaleSkinStrip(source, frames, stacked, margins, dpi);
                        const TScaledBox size = ScaledSkinStripSize(image.Width, image.Height, frames, stacked, dpi);
                        ASSERT_EQ(size.Right, whole.Width) << name;
                        ASSERT_EQ(size.Bottom, whole.Height) << name;
                        if (whole.Pixels.empty()) continue;
                        std::vector<std::uint32_t> byFrame(whole.Pixels.size(), 0);
                        const auto stride = static_cast<std::size_t>(whole.Width);
                        for (int f : {1, frames - 1, 0, 2, 3})
                            if (f < frames) ASSERT_TRUE(ScaleSkinFrame(source, frames, stacked, margins, dpi, f, byFrame.data(), stride));
                        ASSERT_TRUE(byFrame == whole.Pixels)
                            << name << " frames " << frames << (stacked ? " stacked" : "") << " at " << dpi;
                        EXPECT_FALSE(ScaleSkinFrame(source, frames, stacked, margins, dpi, frames, byFrame.data(), stride));
                        EXPECT_FALSE(ScaleSkinFrame(source, frames, stacked, margins, dpi, -1, byFrame.data(), stride));
                        ++strips;
                    }
    }
    EXPECT_GT(strips, 300);
}
