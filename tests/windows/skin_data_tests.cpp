// The skin data component: its published settings, colour texts, and the object model it
// builds from small skins made here and from the installer's own skin.
#include "SkinTestSupport.h"
#include "TestSupport.h"

#include "core/Text.h"
#include "framework/Gdi.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManager.h"
#include "skin/SkinPictures.h"
#include "skin/SkinReader.h"

#include <winioctl.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace qx;
using qxtest::SkinRecord;
using qxtest::Solid24;

namespace {

// Records message boxes instead of showing them.
struct TBoxes {
    std::vector<std::u16string> texts;
    decltype(TApplication::OnMessageBox) saved;
    TBoxes() {
        saved = Application->OnMessageBox;
        Application->OnMessageBox = [this](const std::u16string& t, const std::u16string&, UINT) {
            texts.push_back(t);
            return IDOK;
        };
    }
    ~TBoxes() { Application->OnMessageBox = saved; }
};

std::vector<std::uint8_t> StoredSkinRecord() {
    std::ifstream in("Z:" QX_SKIN_FILE, std::ios::binary);
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return qxtest::Sized(bytes);
}

// A skin data component that has read the given record as the layout would hand it over.
std::unique_ptr<TSkinData> Parsed(const std::vector<std::uint8_t>& record) {
    auto data = std::make_unique<TSkinData>(nullptr);
    data->ReadSkinStream(record);
    return data;
}

COLORREF PixelOf(TBitmap& b, int x, int y) { return b.Canvas().Pixel(x, y); }

}  // namespace

TEST(SkinData, PublishedDefaultsAndEnumerations) {
    TSkinData d(nullptr);
    EXPECT_EQ(GetPropText(&d, "Active"), u"False");
    EXPECT_EQ(GetOrdProp(&d, "DisableTag"), 99);
    EXPECT_EQ(GetPropText(&d, "SkinControls"),
              u"[xcMainMenu,xcPopupMenu,xcToolbar,xcControlbar,xcCombo,xcCheckBox,xcRadioButton,xcProgress,"
              u"xcScrollbar,xcEdit,xcButton,xcBitBtn,xcSpeedButton,xcSpin,xcPanel,xcGroupBox,xcStatusBar,xcTab,"
              u"xcTrackBar,xcSystemMenu]");
    EXPECT_EQ(GetOrdProp(&d, "SkinControls"), 0x1FFFFB);
    EXPECT_EQ(GetPropText(&d, "Options"), u"[xoPreview,xoToolbarBK]");
    EXPECT_EQ(GetOrdProp(&d, "Options"), 0x48);
    EXPECT_EQ(GetPropText(&d, "SkinFormtype"), u"sfMainform");
    EXPECT_EQ(GetPropText(&d, "MenuUpdate"), u"True");
    EXPECT_EQ(GetPropText(&d, "MenuMerge"), u"False");
    EXPECT_EQ(GetStrProp(&d, "SkinFile"), u"");
    EXPECT_EQ(d.SkinClassMap().front(), u"TCheckBox=checkbox") << "the framework check box has a kind by default";
    // The designer-only texts ignore what is written to them.
    SetStrProp(&d, "SkinStore", u"(stored)");
    SetStrProp(&d, "Version", u"9.9");
    EXPECT_EQ(GetStrProp(&d, "SkinStore"), u"(none)");
    EXPECT_EQ(GetStrProp(&d, "Version"), u"1.0.0.0");
    SetPropText(&d, "SkinFormtype", u"sfDLL");
    EXPECT_EQ(d.SkinFormtype(), sfDLL);
    SetPropText(&d, "Options", u"[xoMDIChildBorder,xoMDIScrollbar]");
    EXPECT_EQ(d.Options(), 0x81);

    EXPECT_TRUE(d.SkinMissing());
    EXPECT_TRUE(d.NCPaintEnabled);
    EXPECT_EQ(d.FaceBrush(), nullptr);
    ASSERT_NE(d.MenuImages(), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(d.MenuImages()), 4);
    EXPECT_EQ(d.MaximizedSize().cx, GetSystemMetrics(SM_CXMAXIMIZED));
    EXPECT_EQ(d.AppIconBitmap().PixelFormat(), TPixelFormat::pf24bit);
}

TEST(SkinData, ReadColor) {
    EXPECT_EQ(TSkinData::ReadColor("244 244 244", 5), 0x00F4F4F4);
    EXPECT_EQ(TSkinData::ReadColor("  47 151 255 ", 5), 0x00FF972F);
    EXPECT_EQ(TSkinData::ReadColor("255 128", 5), 0x000000FF);  // an open second number is dropped
    EXPECT_EQ(TSkinData::ReadColor("200", 5), 0);                // a single number is not the blue
    EXPECT_EQ(TSkinData::ReadColor("", 0x0FFFFFFF), 0x0FFFFFFF);
    EXPECT_EQ(TSkinData::ReadColor("1,2,3,4", 5), 0x00030201);   // only three numbers count
    EXPECT_EQ(TSkinData::ReadColor("256 257 258", 5), 0x00020100); // low eight bits
    EXPECT_EQ(TSkinData::ReadColor("10  20 30", 5), 0x001E140A);  // the empty number between blanks is skipped
    EXPECT_EQ(TSkinData::ReadColor("99999999999 7 8 9", 5), 0x00090807);  // not convertible: skipped
    EXPECT_EQ(TSkinData::ReadColor("99999999999 7 8", 5), 0x00000007);
}

TEST(SkinData, StoredSkinObjects) {
    const auto record = StoredSkinRecord();
    ASSERT_GT(record.size(), 1000u) << "the packed skin was not found";
    auto d = Parsed(record);
    ASSERT_FALSE(d->SkinMissing());
    EXPECT_EQ(d->SkinName(), "Quenrix Blue");

    // Buttons and the check and radio strips.
    EXPECT_EQ(d->Buttons.Bitmap.Width(), 380);
    EXPECT_EQ(d->Buttons.Bitmap.Height(), 23);
    EXPECT_EQ(d->Buttons.Frame, 5);
    EXPECT_EQ(d->Buttons.CheckButtonFrame, 12);
    EXPECT_EQ(d->Buttons.RadioButtonFrame, 8);
    EXPECT_EQ(d->Buttons.Margins.Left, 4);
    EXPECT_TRUE(d->Buttons.HasNormalColour2);
    EXPECT_EQ(d->Buttons.NormalColour, 0x00382A1E);
    EXPECT_EQ(d->Buttons.PressedColour2, 0x00A65512);

    // Five caption buttons from the skin, then the three MDI buttons.
    ASSERT_EQ(d->SysButtons.size(), 8u);
    std::vector<std::string> names;
    for (int i = 0; i < 5; ++i) names.push_back(d->SysButtons[i]->Name);
    EXPECT_EQ(names, (std::vector<std::string>{"BUTTON0", "BUTTON1", "BUTTON2", "BUTTON3", "BUTTON4"}));
    int with168 = 0, with102 = 0;
    for (int i = 0; i < 4; ++i) {
        const TDataSkinSysButton& b = *d->SysButtons[i];
        EXPECT_EQ(b.Bitmap.Height(), 16);
        with168 += b.Bitmap.Width() == 168;
        with102 += b.Bitmap.Width() == 102;
        EXPECT_EQ(b.Frame, 6) << b.Name;
    }
    EXPECT_GT(with168, 0);
    EXPECT_GT(with102, 0);
    EXPECT_EQ(with168 + with102, 4);
    const TDataSkinSysButton& system = *d->SysButtons[4];
    EXPECT_EQ(system.Action, 3);
    EXPECT_TRUE(system.Bitmap.Empty());
    EXPECT_EQ(system.Frame, 6);
    EXPECT_EQ(d->SysButtons[1]->Visibility1, 6);
    EXPECT_EQ(d->SysButtons[0]->CombineOp, -1);
    EXPECT_EQ(d->SysButtons[0]->Xcoord, 34);
    for (int i = 0; i < 3; ++i) {
        const TDataSkinSysButton& mdi = *d->SysButtons[5 + i];
        EXPECT_EQ(mdi.Action, 7 + i);
        EXPECT_EQ(mdi.Align, 100);
        EXPECT_EQ(mdi.Visibility, 100);
        EXPECT_EQ(mdi.Visibility1, 100);
        EXPECT_EQ(mdi.Frame, 4);
        // MDIButton.bmp: twelve 13 x 12 glyphs.
        EXPECT_EQ(mdi.Bitmap.Width(), 52);
        EXPECT_EQ(mdi.Bitmap.Height(), 12);
        EXPECT_EQ(mdi.Xcoord, 17 * (3 - i));
    }

    // The window frame.
    const TDataSkinObject& top = d->Borders[sbTop];
    EXPECT_EQ(top.Name, "Top");
    EXPECT_EQ(top.Bitmap.Width(), 793);
    EXPECT_EQ(top.Bitmap.Height(), 56);
    EXPECT_EQ(top.Frame, 2);
    EXPECT_EQ(top.Margins.Left, 8);
    EXPECT_EQ(top.Margins.Right, 8);
    EXPECT_EQ(top.Margins.Top, 0);
    const TDataSkinObject& left = d->Borders[sbLeft];
    EXPECT_EQ(left.Bitmap.Width(), 8);
    EXPECT_EQ(left.Bitmap.Height(), 574);
    EXPECT_EQ(left.Frame, 2);
    EXPECT_EQ(left.Margins.Top, 28);
    EXPECT_EQ(left.Margins.Bottom, 4);
    EXPECT_EQ(left.Tile, 1);
    EXPECT_EQ(left.Trans, 1);

    // Colours.
    EXPECT_EQ(d->Colours.ButtonFace, 0x00F4F4F4);
    EXPECT_EQ(d->Colours.Menubar, 0x00FFF9F4);
    EXPECT_EQ(d->Colours.Hilight, 0x00FF972F);
    EXPECT_EQ(d->SectionColors, (std::vector<TColor>{0x00FF972F, 0x00A65512}));
    EXPECT_EQ(d->CustomColors[8], 0x003B43E0);
    EXPECT_EQ(d->FrameColor, static_cast<TColor>(PixelOf(const_cast<TBitmap&>(top.Bitmap), 793 / 3, 28 / 3)));
    EXPECT_NE(d->FaceBrush(), nullptr);

    // The title.
    EXPECT_EQ(d->Title.Margins.Left, 30);
    EXPECT_EQ(d->Title.Margins.Right, 84);
    EXPECT_EQ(d->Title.FontHeight, 14);
    EXPECT_EQ(d->Title.ActiveTextColor, 0x00FFFFFF);
    EXPECT_EQ(d->Title.InActiveTextColor, 0x00F8F4F0);
    EXPECT_EQ(d->Title.Frame, 2);

    // Element slots and their frame counts.
    ASSERT_TRUE(d->Progress && d->ProgressChunk && d->MenuBar && d->GroupBoxEdge && d->GroupBox && d->Tabs &&
                d->StatusBarEdges && d->TabPane && d->ToolBars && d->ComboButton && d->SunkEdge && d->ExtraImages &&
                d->Headerbar && d->MenuItem && d->MenuBackground && d->Scrollbar && d->HorzScroll && d->VertScroll &&
                d->HorzScrollThumb && d->VertScrollThumb && d->TrackbarThumbDown && d->UpDownHorz && d->UpDownVert &&
                d->Track && d->TrackVert && d->Toolbar);
    EXPECT_EQ(d->Progress->Frame, 2);
    EXPECT_EQ(d->ProgressChunk->Frame, 1);
    EXPECT_EQ(d->MenuBar->Frame, 2);
    EXPECT_EQ(d->MenuBar->Name, "Personality");
    EXPECT_EQ(d->GroupBox->Frame, 1);
    EXPECT_EQ(d->Tabs->Frame, 5);
    EXPECT_FALSE(d->Tabs->Bitmap2.Empty());
    EXPECT_EQ(d->StatusBarEdges->Frame, 3);
    EXPECT_EQ(d->Headerbar->Frame, 5);
    EXPECT_EQ(d->Scrollbar->Frame, 23);
    EXPECT_EQ(d->HorzScrollThumb->Frame, 3);
    EXPECT_EQ(d->TrackbarThumbDown->Frame, 5);
    EXPECT_EQ(d->UpDownVert->Frame, 8);
    EXPECT_FALSE(d->UpDownVert->Bitmap2.Empty());
    EXPECT_EQ(d->Track->Frame, 1);
    EXPECT_EQ(d->Track->Name, "Track");

    // Generated pictures: the combo strips (SunkEdge has 4 frames), made when a combo box first
    // asks for them, once, and the toolbar gradient.
    const int bw = GetSystemMetrics(SM_CXHSCROLL) + 2;
    EXPECT_NE(d->ComboButton->Style, 2) << "not made before a combo box asks";
    d->EnsureComboImages();
    d->EnsureComboImages();
    EXPECT_EQ(d->ComboButton->Style, 2);
    EXPECT_EQ(d->ComboButton->Bitmap.Width(), 200);
    EXPECT_EQ(d->ComboButton->Bitmap.Height(), 21);
    EXPECT_EQ(d->ComboButton->Margins.Left, 2);
    EXPECT_EQ(d->ComboButton->Margins.Right, bw + 2);
    EXPECT_EQ(d->ComboButton->Margins.Top, 2);
    EXPECT_EQ(d->SunkEdge->Margins.Left, bw + 2);
    EXPECT_EQ(d->SunkEdge->Margins.Right, 2);
    EXPECT_EQ(PixelOf(d->ComboButton->Bitmap, 10, 10), RGB(255, 0, 255));   // the text hole
    EXPECT_EQ(PixelOf(d->SunkEdge->Bitmap, 199 - 10, 10), RGB(255, 0, 255));  // mirrored
    EXPECT_EQ(d->Toolbar->Bitmap.Width(), 10);
    EXPECT_EQ(d->Toolbar->Bitmap.Height(), 40);
    EXPECT_EQ(d->Toolbar->Frame, 1);
    EXPECT_NE(PixelOf(d->Toolbar->Bitmap, 5, 0), PixelOf(d->Toolbar->Bitmap, 5, 39));
}

TEST(SkinData, CaptionButtonFrameRules) {
    const std::string ini =
        "[Button.Narrow]\nButtonImage=narrow.bmp\nAction=1\n"
        "[Button.Hidden]\nButtonImage=narrow.bmp\nAction=-1\nVisibility=0\n"
        "[Button.Dropped]\nButtonImage=narrow.bmp\nAction=-1\n"
        "[Button.Wide]\nButtonImage=wide.bmp\nAction=2\n"
        "[Button.Counted]\nButtonImage=narrow.bmp\nframe=2\nAction=11\n"
        "[Button.Help]\nButtonImage=narrow.bmp\nAction=11\n"
        "[Button]\nButtonImage=narrow.bmp\n[BUTTON.RADIO]\nButtonImage=narrow.bmp\n"
        "[Button.CheckBox]\nButtonImage=narrow.bmp\n";
    auto d = Parsed(SkinRecord(ini, {{"narrow.bmp", Solid24(48, 16)}, {"wide.bmp", Solid24(61, 16)}}));
    ASSERT_FALSE(d->SkinMissing());
    ASSERT_EQ(d->SysButtons.size(), 5u + 3u);
    auto& b = d->SysButtons;
    EXPECT_EQ(b[0]->Name, "BUTTON.NARROW");
    EXPECT_EQ(b[0]->Frame, 3);  // 48 / 16 = 3.0
    EXPECT_EQ(b[0]->Visibility1, 0);
    EXPECT_EQ(b[1]->Name, "BUTTON.HIDDEN");
    EXPECT_EQ(b[1]->Frame, 6);  // negative actions always have six
    EXPECT_EQ(b[1]->Visibility1, -1);
    EXPECT_FALSE(b[1]->Bitmap.Empty());
    EXPECT_EQ(b[2]->Name, "BUTTON.WIDE");
    EXPECT_EQ(b[2]->Frame, 6);  // 61 / 16 = 3.81
    EXPECT_EQ(b[3]->Name, "BUTTON.COUNTED");
    EXPECT_EQ(b[3]->Frame, 2);
    EXPECT_FALSE(b[3]->Bitmap.Empty());  // a stated frame count keeps the image
    EXPECT_EQ(b[4]->Name, "BUTTON.HELP");
    EXPECT_TRUE(b[4]->Bitmap.Empty());
    EXPECT_EQ(b[4]->Frame, 3);
    // No MDI strip: the three MDI buttons exist without images.
    EXPECT_EQ(b[5]->Action, 7);
    EXPECT_TRUE(b[7]->Bitmap.Empty());
    EXPECT_EQ(b[7]->Xcoord, 0);
}

TEST(SkinData, ElementReadersAndFallbacks) {
    const std::string ini =
        "[Tab.Pane]\nImage=pane.bmp\nLeftWidth=9\nTopHeight=4\nRightWidth=5\nBottomHeight=1\nTile=3\n"
        "[ComboButton]\nImage=combo.bmp\nStyle=7\nLeftWidth=3\nFrame=9\nNormalColour2=1 2 3\n"
        "[Progress]\nBitmap=pane.bmp\nStyle=1\nTile=5\n"
        "[Headerbar]\nImage=pane.bmp\n"
        "[GroupBox]\nImage=pane.bmp\nBackgroundLeftShift=6\nFrame=3\n"
        "[MenuItem]\nImage=broken.bmp\n"
        "[MenuBackground]\nImage=pane.png\n"
        "[Scrollbar]\nImage=missing.bmp\n"
        "[HorzScrollThumb]\nImage=pane.bmp\nFrameCount=7\n"
        "[Personality]\nmenuBar=pane.bmp\nTileMenu=4\nTileLeftMenu=0\nTopFrame=0\nTop=pane.bmp\n"
        "[Colours]\nButtonText=9 9 9\n";
    // Four frames, each as wide as the margin needs.
    auto combo = qxtest::Bmp24(32, 4, [](int x, int) { return x == 0 ? 0xFF0000u : 0x0000FFu; });
    auto broken = Solid24(4, 4);
    broken.resize(40);
    auto d = Parsed(SkinRecord(ini, {{"pane.bmp", Solid24(12, 12)}, {"combo.bmp", combo}, {"broken.bmp", broken}}));
    ASSERT_FALSE(d->SkinMissing());

    ASSERT_TRUE(d->TabPane);
    EXPECT_EQ(d->TabPane->Margins.Left, 4);
    EXPECT_EQ(d->TabPane->Margins.Top, 4);
    EXPECT_EQ(d->TabPane->Margins.Right, 4);
    EXPECT_EQ(d->TabPane->Margins.Bottom, 1);
    EXPECT_EQ(d->TabPane->Tile, 0);  // above 1 becomes 0
    EXPECT_EQ(d->TabPane->NormalColour2, 0x00090909);  // the skin's ButtonText

    // Without [SunkEdge] the combo button stays as read, with its mirrored copy.
    ASSERT_TRUE(d->ComboButton);
    d->EnsureComboImages();
    EXPECT_EQ(d->ComboButton->Style, 7);
    EXPECT_EQ(d->ComboButton->Margins.Left, 3);
    EXPECT_EQ(d->ComboButton->Frame, 4);
    EXPECT_EQ(d->ComboButton->NormalColour2, 0x00030201);
    ASSERT_EQ(d->ComboButton->Bitmap.Width(), 32);
    ASSERT_EQ(d->ComboButton->Bitmap2.Width(), 32);
    EXPECT_EQ(d->ComboButton->Bitmap2.PixelFormat(), TPixelFormat::pf24bit);
    EXPECT_EQ(PixelOf(d->ComboButton->Bitmap, 0, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(d->ComboButton->Bitmap2, 31, 0), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(d->ComboButton->Bitmap2, 0, 0), RGB(0, 0, 255));

    ASSERT_TRUE(d->Progress);
    EXPECT_EQ(d->Progress->Frame, 1);  // Style 1
    EXPECT_EQ(d->Progress->Tile, 1);   // above 1 becomes 1
    EXPECT_EQ(d->Headerbar->Frame, 5);
    EXPECT_EQ(d->GroupBox->BackgroundLeftShift, 6);
    EXPECT_EQ(d->GroupBox->Frame, 1);
    EXPECT_EQ(d->HorzScrollThumb->Frame, 7);
    EXPECT_EQ(d->MenuBar->Tile, 1);
    EXPECT_EQ(d->MenuBar->Margins.Left, 0);
    EXPECT_EQ(d->MenuBar->Margins.Right, 1);

    // Broken, misnamed and missing images: the elements exist with empty images.
    ASSERT_TRUE(d->MenuItem && d->MenuBackground && d->Scrollbar);
    EXPECT_TRUE(d->MenuItem->Bitmap.Empty());
    EXPECT_TRUE(d->MenuBackground->Bitmap.Empty());
    EXPECT_TRUE(d->Scrollbar->Bitmap.Empty());
    EXPECT_EQ(d->Scrollbar->Frame, 23);

    // Absent sections: empty slots; [Track] and [TRACKVERT] fall back to the built-in images.
    EXPECT_FALSE(d->SunkEdge);
    EXPECT_FALSE(d->Tabs);
    EXPECT_FALSE(d->UpDownHorz);
    ASSERT_TRUE(d->Track && d->TrackVert);
    EXPECT_EQ(d->Track->Name, "TRACK");
    EXPECT_EQ(d->Track->Bitmap.Width(), 16);
    EXPECT_EQ(d->Track->Bitmap.Height(), 4);
    EXPECT_EQ(d->TrackVert->Bitmap.Width(), 4);
    EXPECT_EQ(d->TrackVert->Bitmap.Height(), 16);
    for (auto* t : {d->Track.get(), d->TrackVert.get()}) {
        EXPECT_EQ(t->Margins.Left, 3);
        EXPECT_EQ(t->Margins.Top, 3);
        EXPECT_EQ(t->Margins.Right, 3);
        EXPECT_EQ(t->Margins.Bottom, 3);
        EXPECT_EQ(t->Frame, 1);
        EXPECT_EQ(t->Tile, 0);
    }

    // A Top border with a frame count of 0 still gives a frame colour (no division by zero).
    EXPECT_EQ(d->Borders[sbTop].Frame, 0);
    EXPECT_EQ(d->FrameColor, 0x00FF972F);
    // No [Buttons]: frame counts from the (empty) strips, at least 4.
    EXPECT_EQ(d->Buttons.RadioButtonFrame, 4);
    EXPECT_EQ(d->Buttons.Frame, 5);
    EXPECT_FALSE(d->Buttons.HasNormalColour2);
}

TEST(SkinData, RadioAndCheckFramesFromTheirStrips) {
    const std::string ini = "[Buttons]\nBitmap=b.bmp\nRadioButton=r.bmp\nCheckButton=c.bmp\nCheckButtonFrame=3\n";
    auto d = Parsed(SkinRecord(ini, {{"b.bmp", Solid24(10, 10)}, {"r.bmp", Solid24(130, 13)}, {"c.bmp", Solid24(160, 16)}}));
    EXPECT_EQ(d->Buttons.RadioButtonFrame, 10);  // 13-pixel cells below 16 high
    EXPECT_EQ(d->Buttons.CheckButtonFrame, 3);   // stated
    auto e = Parsed(SkinRecord("[Buttons]\nRadioButton=r.bmp\nCheckButton=c.bmp\n",
                               {{"r.bmp", Solid24(20, 13)}, {"c.bmp", Solid24(160, 16)}}));
    EXPECT_EQ(e->Buttons.RadioButtonFrame, 4);  // 1 cell, raised to 4
    EXPECT_EQ(e->Buttons.CheckButtonFrame, 10); // 16-pixel cells
}

TEST(SkinData, UnreadableSkinsLeaveTheComponentWithoutASkin) {
    TBoxes boxes;
    const long gdiBefore = GdiLiveObjects();
    {
        auto d = Parsed(SkinRecord("[Buttons]\nBitmap=b.bmp\n", {{"b.bmp", Solid24(30, 10)}}));
        ASSERT_FALSE(d->SkinMissing());
        HBRUSH first = d->FaceBrush();
        ASSERT_NE(first, nullptr);

        // Another archive version: the message, false, the previous objects kept.
        d->SkinStream().Clear();
        auto old = SkinRecord("[Buttons]\n", {}, 10000);
        d->SkinStream().WriteBuffer(old.data() + 4, old.size() - 4);
        EXPECT_FALSE(d->LoadSkin());
        ASSERT_EQ(boxes.texts.size(), 1u);
        EXPECT_EQ(boxes.texts[0], u"This is Older Skin File\rPlease update to new version !");
        EXPECT_TRUE(d->SkinMissing());
        EXPECT_EQ(d->Buttons.Bitmap.Width(), 30);

        // Garbage instead of compressed data.
        d->SkinStream().Clear();
        std::vector<std::uint8_t> junk(300);
        for (std::size_t i = 0; i < junk.size(); ++i) junk[i] = static_cast<std::uint8_t>(i * 37 + 11);
        d->SkinStream().WriteBuffer(junk.data(), junk.size());
        EXPECT_FALSE(d->LoadSkin());
        EXPECT_TRUE(d->SkinMissing());

        // A good skin again: a new brush replaces the old one.
        d->ReadSkinStream(SkinRecord("[Colours]\nButtonFace=1 2 3\n"));
        EXPECT_FALSE(d->SkinMissing());
        EXPECT_EQ(d->Colours.ButtonFace, 0x00030201);
        EXPECT_TRUE(d->Buttons.Bitmap.Empty());
        EXPECT_NE(d->FaceBrush(), nullptr);
    }
    EXPECT_EQ(GdiLiveObjects(), gdiBefore) << "GDI objects leaked by parsing";

    // Records that do not hold what they claim.
    for (const std::vector<std::uint8_t>& record :
         {std::vector<std::uint8_t>{}, std::vector<std::uint8_t>{1, 0}, std::vector<std::uint8_t>{0, 0, 0, 0},
          std::vector<std::uint8_t>{200, 0, 0, 0, 1, 2, 3}, std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 9}}) {
        auto d = Parsed(record);
        EXPECT_TRUE(d->SkinMissing());
        EXPECT_EQ(d->SkinStream().Size(), 0);
    }
}

TEST(SkinData, LoadedRules) {
    TBoxes boxes;
    {
        // Active stored true with an unreadable skin: false after loading.
        TSkinData d(nullptr);
        d.BeginLoading();
        d.SetActive(true);
        d.ReadSkinStream(qxtest::Sized({1, 2, 3, 4, 5, 6, 7, 8}));
        d.Loaded();
        EXPECT_FALSE(d.Active());
        EXPECT_TRUE(d.SkinControls() & SkinControlBit(xcScrollbar));  // the platform has GetScrollBarInfo
        EXPECT_FALSE(d.SkinControls() & SkinControlBit(xcMenuItem));
        EXPECT_TRUE(d.SkinControls() & SkinControlBit(xcSystemMenu));
        // At run time, switching on without a skin does nothing either.
        d.SetActive(true);
        EXPECT_FALSE(d.Active());
    }
    {
        TSkinData d(nullptr);
        d.BeginLoading();
        d.SetActive(true);
        d.SetSkinControls(SkinControlBit(xcMenuItem) | SkinControlBit(xcSystemMenu) | SkinControlBit(xcButton));
        d.ReadSkinStream(SkinRecord("[Colours]\nButtonFace=1 2 3\n"));
        d.Loaded();
        EXPECT_TRUE(d.Active());
        // Without xcMainMenu the system menu is not skinned; menu items stay as set.
        EXPECT_EQ(d.SkinControls(), SkinControlBit(xcMenuItem) | SkinControlBit(xcButton));
        EXPECT_EQ(d.AppIconBitmap().Width(), GetSystemMetrics(SM_CXSMICON));
        EXPECT_EQ(d.AppIconBitmap().TransparentColor(), 0xFF00FF);
        EXPECT_TRUE(d.AppIconBitmap().Transparent());
        EXPECT_FALSE(d.CaptionFont().Name().empty());
    }
    {
        // Other form types stop before the menu rule.
        TSkinData d(nullptr);
        d.BeginLoading();
        d.SetSkinFormtype(sfDialog);
        d.Loaded();
        EXPECT_TRUE(d.SkinControls() & SkinControlBit(xcSystemMenu));
        EXPECT_TRUE(d.AppIconBitmap().Empty());
    }
    // The unreadable skin is refused with its reason, and nothing else is said.
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_TRUE(boxes.texts[0].ends_with(u"The skin is not used.")) << Utf16ToUtf8(boxes.texts[0]);
}

// A skin data component knows no window: it tells its listeners what changed, and the manager
// (the program's listener, subscribed with the skin classes) acts on the windows.
TEST(SkinData, TellsItsListenersWhatChangedAndTheManagerFollows) {
    struct TRecorder final : TSkinDataListener {
        std::vector<TSkinDataChange> heard;
        const TSkinData* from = nullptr;
        void SkinDataChanged(TSkinData& data, TSkinDataChange change) override {
            if (&data == from) heard.push_back(change);
        }
    } recorder;
    TBoxes boxes;
    TSkinManager manager;  // the newest manager is the one that follows
    TSkinData::Subscribe(&recorder);
    TSkinData::Subscribe(&recorder);  // once is enough
    using C = TSkinDataChange;
    {
        TSkinData d(nullptr);
        recorder.from = &d;
        d.SetActive(true);  // no skin: refused
        EXPECT_FALSE(d.Active());
        EXPECT_EQ(manager.CurrentSkinData(), nullptr);  // the main form's component asks nothing then

        d.ReadSkinStream(SkinRecord("[Colours]\nButtonFace=1 2 3\n"));
        d.SetActive(true);
        EXPECT_TRUE(d.Active());
        EXPECT_EQ(manager.CurrentSkinData(), &d);
        EXPECT_EQ(manager.PendingCommand(), scStart);
        d.SetActive(false);
        EXPECT_EQ(manager.PendingCommand(), scStop);
        d.SetActive(true);
        d.ApplySkin();
        EXPECT_EQ(manager.PendingCommand(), scRefresh);  // switching on set the manager running

        // A replacement that cannot be used turns it off, and the windows are unskinned.
        d.ReadSkinStream(qxtest::Sized({1, 2, 3, 4, 5, 6, 7, 8}));
        EXPECT_FALSE(d.Active());
        EXPECT_EQ(manager.PendingCommand(), scStop);
        d.ReadSkinStream(qxtest::Sized({1, 2, 3, 4, 5, 6, 7, 8}));
        manager.AddSkinData(&d);
    }
    EXPECT_EQ(recorder.heard, (std::vector<C>{C::SwitchOnRefused, C::SwitchedOn, C::SwitchedOff, C::SwitchedOn,
                                              C::SkinApplied, C::SkinLostWhileOn, C::SkinLostWhileOff, C::Going}));
    EXPECT_TRUE(manager.SkinDataList().empty());  // the component that went left the manager
    EXPECT_EQ(manager.CurrentSkinData(), nullptr);

    TSkinData::Unsubscribe(&recorder);
    const std::size_t before = recorder.heard.size();
    {
        TSkinData d(nullptr);
        recorder.from = &d;
        d.ReadSkinStream(SkinRecord("[Colours]\nButtonFace=1 2 3\n"));
        d.SetActive(true);
    }
    EXPECT_EQ(recorder.heard.size(), before);
    // Only the two unreadable skins' refusals are shown, each with its reason.
    ASSERT_EQ(boxes.texts.size(), 2u);
    for (const auto& text : boxes.texts) EXPECT_TRUE(text.ends_with(u"The skin is not used.")) << Utf16ToUtf8(text);
}

TEST(SkinData, FormSkinDecisions) {
    TSkinData d(nullptr);
    bool doSkin = true;
    d.DoFormSkin("SysMonthCal32", doSkin);
    EXPECT_FALSE(doSkin);
    doSkin = true;
    d.DoFormSkin("TRptDesigner", doSkin);
    EXPECT_TRUE(doSkin);  // xcReportDesigner is not in the default set
    d.SetSkinControls(d.SkinControls() | SkinControlBit(xcReportDesigner));
    d.DoFormSkin("TRptDesigner", doSkin);
    EXPECT_FALSE(doSkin);
    std::vector<std::string> asked;
    d.OnFormSkin = [&](TObject* sender, const std::string& name, bool& skin) {
        EXPECT_EQ(sender, &d);
        asked.push_back(name);
    };
    doSkin = true;
    d.DoFormSkin("SysMonthCal32", doSkin);
    EXPECT_TRUE(doSkin);  // the handler alone decides
    EXPECT_EQ(asked, std::vector<std::string>{"SysMonthCal32"});
    int changed = 0;
    d.DoSkinChanged();
    d.OnSkinChanged = [&](TObject* sender) { changed += sender == &d; };
    d.DoSkinChanged();
    EXPECT_EQ(changed, 1);
}

// ---- skins beyond bounds ----------------------------------------------------------------------

TEST(SkinData, EachPictureIsDecodedOnceAndSharedByEveryKeyThatNamesIt) {
    const std::string ini =
        "[Personality]\nTop=Pic.bmp\nLeft=pic.bmp\n"
        "[Buttons]\nBitmap=pic.bmp\nCheckButton=C:\\elsewhere\\PIC.bmp\nRadioButton=other.bmp\n"
        "[Progress]\nBitmap=pic.bmp\n[Tabs]\nImage=pic.bmp\nBorder=pic.bmp\n";
    const long before = GdiLiveObjects();
    {
        auto d = Parsed(SkinRecord(ini, {{"pic.bmp", Solid24(40, 20)}, {"other.bmp", Solid24(26, 13)}}));
        ASSERT_FALSE(d->SkinMissing());
        const TBitmap& pic = d->Buttons.Bitmap;
        ASSERT_EQ(pic.Width(), 40);
        for (const TBitmap* b : {&d->Borders[sbTop].Bitmap, &d->Borders[sbLeft].Bitmap, &d->Buttons.CheckBitmap,
                                 &d->Progress->Bitmap, &d->Tabs->Bitmap, &d->Tabs->Bitmap2})
            EXPECT_TRUE(b->SharesWith(pic));
        EXPECT_FALSE(d->Buttons.RadioBitmap.SharesWith(pic));
        // Drawing keeps them shared; an element whose picture is changed gets its own.
        TBitmap target;
        target.SetSize(30, 30);
        DrawSkinPart(target.Canvas().Handle(), SkinPart(*d->Progress, TPictureOrder::Single), TSkinState::Normal,
                     RECT{0, 0, 30, 30});
        EXPECT_TRUE(d->Progress->Bitmap.SharesWith(pic));
        GrayBitmap(d->Tabs->Bitmap2);
        EXPECT_FALSE(d->Tabs->Bitmap2.SharesWith(pic));
        EXPECT_EQ(PixelOf(d->Buttons.Bitmap, 1, 1), RGB(0x2F, 0x97, 0xFF)) << "the others keep their colours";
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}

TEST(SkinData, ASkinWhosePicturesExceedTheBudgetIsRefusedWithItsMessage) {
    TBoxes boxes;
    auto d = Parsed(SkinRecord("[Buttons]\nBitmap=b.bmp\n", {{"b.bmp", Solid24(30, 10)}}));
    ASSERT_FALSE(d->SkinMissing());
    // Two pictures of 4.4 megapixels each: either alone fits, both do not. One of them named
    // by many keys still counts once.
    const std::string ini = "[Personality]\nTop=a.bmp\n[Buttons]\nBitmap=a.bmp\nRadioButton=b.bmp\nCheckButton=a.bmp\n";
    auto fits = Parsed(SkinRecord(ini + "[Progress]\nBitmap=a.bmp\n", {{"a.bmp", qxtest::Bmp1(2100, 2100)}}));
    EXPECT_FALSE(fits->SkinMissing());
    // The picture it names and does not hold is reported; the skin is used.
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(u"\"b.bmp\" is not in the skin"), std::u16string::npos) << Utf16ToUtf8(boxes.texts[0]);
    boxes.texts.clear();
    EXPECT_TRUE(fits->Buttons.Bitmap.SharesWith(fits->Borders[sbTop].Bitmap));

    const auto record = SkinRecord(ini, {{"a.bmp", qxtest::Bmp1(2100, 2100)}, {"b.bmp", qxtest::Bmp1(2100, 2100, 0)}});
    d->SkinStream().Clear();
    d->SkinStream().WriteBuffer(record.data() + 4, record.size() - 4);
    EXPECT_FALSE(d->LoadSkin());
    EXPECT_TRUE(d->SkinMissing());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], Utf8ToUtf16(SkinPicturesTooLargeMessage(2LL * 2100 * 2100)));
    EXPECT_EQ(d->Buttons.Bitmap.Width(), 30) << "the skin in use is left as it was";
}

TEST(SkinData, ADescriptionBeyondItsCeilingOrNoDescriptionLeavesNoSkin) {
    TBoxes boxes;
    std::string huge = "[Buttons]\nBitmap=b.bmp\n";
    huge.append(kSkinMaxIniBytes, '\n');
    auto d = Parsed(SkinRecord(huge, {{"b.bmp", Solid24(30, 10)}}));
    EXPECT_TRUE(d->SkinMissing());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_NE(boxes.texts[0].find(u"description is too large"), std::u16string::npos);

    // An archive of pictures alone has nothing to skin with; it is refused, and says why.
    std::vector<std::uint8_t> plain = qx::tools::BuildSkinArchive({{"b.bmp", Solid24(30, 10)}});
    auto alone = Parsed(qxtest::Sized(qx::tools::LzhCompress(plain)));
    EXPECT_TRUE(alone->SkinMissing());
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_NE(boxes.texts[1].find(u"has no description"), std::u16string::npos);
}

TEST(SkinData, ASkinFilePastTheArchivesCeilingIsRefusedBeforeItIsRead) {
    TBoxes boxes;
    auto d = Parsed(SkinRecord("[Buttons]\nBitmap=b.bmp\n", {{"b.bmp", Solid24(30, 10)}}));
    const std::int64_t stored = d->SkinStream().Size();
    wchar_t folder[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"qxs", 0, path);
    {
        // A file of just over the ceiling that takes no room: only its size is ever looked at.
        HANDLE f = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(f, INVALID_HANDLE_VALUE);
        LARGE_INTEGER end;
        end.QuadPart = TSkinReader::kMaxPlainSize + 1;
        DWORD ignored = 0;
        DeviceIoControl(f, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &ignored, nullptr);
        SetFilePointerEx(f, end, nullptr, FILE_BEGIN);
        SetEndOfFile(f);
        CloseHandle(f);
    }
    d->SetSkinFile(std::u16string(reinterpret_cast<const char16_t*>(path)));
    DeleteFileW(path);
    EXPECT_TRUE(d->SkinMissing());
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.texts[0], Utf8ToUtf16(SkinFileTooLargeMessage(TSkinReader::kMaxPlainSize + 1)));
    EXPECT_EQ(d->SkinStream().Size(), stored) << "nothing of the file was read";
}
