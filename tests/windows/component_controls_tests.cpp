// The components as the main window uses them: created from a layout by class and property
// names, painted into memory bitmaps, and probed pixel by pixel.
#include "ComponentTestSupport.h"
#include "TestCanvas.h"

#include "components/CaptionPanel.h"
#include "components/GdiPlusImage.h"
#include "components/GradientProgress.h"
#include "core/Layout.h"
#include "core/StoredPicture.h"
#include "framework/ExtCtrls.h"
#include "framework/Gdi.h"
#include "framework/Forms.h"
#include "framework/LayoutLoader.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

using namespace qx;
using namespace qxtest;

namespace {

TLayoutProperty SetOf(const char* path, std::vector<std::string> items) {
    auto p = Prop(path, TLayoutValue::Kind::Set);
    p.value.items = std::move(items);
    return p;
}
TLayoutProperty Bin(const char* path, std::vector<std::uint8_t> bytes) {
    auto p = Prop(path, TLayoutValue::Kind::Binary);
    p.value.bytes = std::move(bytes);
    return p;
}

std::vector<std::uint8_t> Resource(const wchar_t* name) {
    HRSRC info = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));
    if (!info) return {};
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
    return {data, data + SizeofResource(nullptr, info)};
}

// A form of the main window's size holding the given children, read from a layout.
std::unique_ptr<TForm> FormWith(std::vector<TLayoutObject> children) {
    App();
    TLayoutObject root{"TForm", "Form1", {P("ClientWidth", 566), P("ClientHeight", 388), Id("Color", "clBtnFace")}, {}};
    root.children = std::move(children);
    auto form = std::make_unique<TForm>(nullptr);
    LoadLayout(form.get(), WriteLayout(root));
    return form;
}

COLORREF Face() { return GetSysColor(COLOR_BTNFACE); }

}  // namespace

TEST(GradientProgressControl, MainWindowBarFromTheLayout) {
    auto form = FormWith({{"TGradientProgress",
                           "ProgressBar1",
                           {P("Left", 16), P("Top", 320), P("Width", 531), P("Height", 33), Id("Solid", "True"),
                            Id("GradientBlocks", "True"), P("StartColor", 16750383), Id("TextOption", "toPercent"),
                            Id("TextCentered", "True"), Id("Font.Color", "clRed"), P("Font.Height", -13),
                            S("Font.Name", "MS Sans Serif"), SetOf("Font.Style", {"fsBold"}), Id("ParentFont", "False"),
                            S("Caption", "ProgressBar1"), Id("Visible", "False")},
                           {}}});
    auto* bar = dynamic_cast<TGradientProgress*>(form->FindComponent("ProgressBar1"));
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->EndColor(), clBlack);
    EXPECT_EQ(GetEnumProp(bar, "TextOption"), "toPercent");
    EXPECT_EQ(bar->Color(), clBtnFace);  // the parent's colour
    EXPECT_EQ(bar->PictureCount(), 1);   // drawn once after loading

    bar->SetMaximum(5000000);
    bar->SetPosition(1000000);
    EXPECT_EQ(bar->FillWidth(), 106);
    const int pictures = bar->PictureCount();
    bar->SetPosition(1000001);  // neither the fill nor the percentage moves: no drawing
    EXPECT_EQ(bar->PictureCount(), pictures);

    TTestCanvas canvas(531, 33, RGB(1, 2, 3));
    bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
    canvas.Dump("progress-20");
    EXPECT_EQ(canvas.At(1, 16), RGB(0x2F, 0x97, 0xFF));
    EXPECT_EQ(canvas.At(107, 3), Face());
    EXPECT_EQ(canvas.At(0, 0), Face());
    const RECT red = canvas.BoundsOf(RGB(255, 0, 0));
    ASSERT_GT(red.right, red.left);
    EXPECT_NEAR((red.left + red.right) / 2.0, 265.5, 3.0);
}

TEST(GradientProgressControl, TinyBarPaintsNothingAndSettersClamp) {
    TGradientProgress bar(nullptr);
    EXPECT_EQ(bar.Width(), 150);
    EXPECT_EQ(bar.Height(), 15);
    bar.SetColor(RGB(9, 9, 9));
    bar.SetPosition(500);
    EXPECT_EQ(bar.Position(), 100);
    bar.SetMaximum(40);
    EXPECT_EQ(bar.Position(), 40);
    bar.SetBounds(0, 0, 2, 2);
    TTestCanvas canvas(4, 4, RGB(1, 2, 3));
    bar.Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
    EXPECT_EQ(canvas.At(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(canvas.At(1, 1), RGB(1, 2, 3));
}

TEST(GradientProgressControl, ParentColourChangeRaisesItsEvent) {
    auto form = FormWith({{"TGradientProgress", "Bar", {P("Width", 50), P("Height", 10)}, {}}});
    auto* bar = dynamic_cast<TGradientProgress*>(form->FindComponent("Bar"));
    ASSERT_NE(bar, nullptr);
    int raised = 0;
    bar->OnParentColorChange = [&](TObject*) { ++raised; };
    const int before = bar->PictureCount();
    form->SetColor(RGB(10, 20, 30));
    EXPECT_EQ(raised, 1);
    EXPECT_EQ(bar->Color(), RGB(10, 20, 30));
    EXPECT_GT(bar->PictureCount(), before);
}

TEST(SmartImage, MainWindowPictureReadsFromTheLayoutAt128) {
    const auto png = Resource(L"CLOUD128");
    TMemoryStream stored;
    WriteStoredPicture(stored, "TSmartImage", png);
    auto form = FormWith({{"TImage",
                           "Image1",
                           {P("Left", 428), P("Top", 118), P("Width", 105), P("Height", 105), Id("AutoSize", "True"),
                            Bin("Picture.Data", stored.Vector())},
                           {}}});
    auto* image = dynamic_cast<TImage*>(form->FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 128);
    EXPECT_EQ(image->Height(), 128);
    auto* graphic = dynamic_cast<TSmartImage*>(image->Picture().Graphic());
    ASSERT_NE(graphic, nullptr);
    TMemoryStream saved;
    graphic->SaveToStream(saved);
    EXPECT_EQ(saved.Vector(), png);

    TTestCanvas canvas(128, 128, Face());
    image->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
    canvas.Dump("image1");
    EXPECT_EQ(canvas.At(0, 0), Face());  // transparent pixels show what lies beneath
    EXPECT_EQ(canvas.At(64, 64), RGB(255, 255, 255));
}

TEST(SmartImage, EmptyAndBitmapData) {
    App();
    TPicture picture;
    picture.ReadData(std::vector<std::uint8_t>{11, 'T', 'S', 'm', 'a', 'r', 't', 'I', 'm', 'a', 'g', 'e'});
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_TRUE(picture.Graphic()->Empty());
    EXPECT_EQ(picture.Width(), 0);
    EXPECT_EQ(picture.Height(), 0);

    // a 1 x 1 24-bit bitmap: decoded as a bitmap, then saved by the PNG class as PNG
    std::vector<std::uint8_t> bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                     1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                     0x30, 0x20, 0x10, 0};
    TMemoryStream stored;
    WriteStoredPicture(stored, "TPngImage", bmp);
    picture.ReadData(stored.Vector());
    ASSERT_NE(dynamic_cast<TPngImage*>(picture.Graphic()), nullptr);
    EXPECT_EQ(picture.Width(), 1);
    TMemoryStream png;
    picture.Graphic()->SaveToStream(png);
    EXPECT_EQ(DetectImageSignature(png.Bytes()), TImageSignature::Png);
    TTestCanvas canvas(1, 1, RGB(0, 0, 0));
    TCanvas c;
    c.SetHandle(canvas.Dc());
    picture.Graphic()->Draw(c, RECT{0, 0, 1, 1});
    c.SetHandle(nullptr);
    EXPECT_EQ(canvas.At(0, 0), RGB(0x10, 0x20, 0x30));

    EXPECT_FALSE(SmartImageExtensions().empty());
}

TEST(CaptionPanelControl, HeaderTextIsCentredBothWays) {
    auto form = FormWith({{"TCaptionPanel",
                           "CaptionPanel1",
                           {P("Width", 566), P("Height", 89), Id("Align", "alTop"), Id("BorderOuter", "fsNone"),
                            P("TabOrder", 0), S("Caption", "Quenrix Kurulum Sihirbazı, Size Kurulum Dosyasını İndirmenizde  ve Kurmanızda Yardımcı Olacaktır.Kuruluma Başlamak İçin Lütfen Kurulumunu Yapmak İstediğiniz Programı Seçerek Başla Butonuna Tıklayınız..."),
                            P("Font.Color", 16750383), P("Font.Height", -13), S("Font.Name", "Segoe UI"),
                            SetOf("Font.Style", {"fsBold"}), Id("ParentFont", "False")},
                           {}}});
    auto* panel = dynamic_cast<TCaptionPanel*>(form->FindComponent("CaptionPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->BorderInner(), fsNone);
    EXPECT_EQ(panel->AlignmentVertical(), avCenter);
    EXPECT_TRUE(panel->WordWrap());
    form->HandleNeeded();
    EXPECT_EQ(panel->Width(), 566);
    EXPECT_EQ(panel->Top(), 0);

    TTestCanvas canvas(566, 89, RGB(1, 2, 3));
    panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    canvas.Dump("caption-panel");
    EXPECT_EQ(canvas.At(0, 0), Face());
    const RECT text = canvas.BoundsOf(RGB(0x2F, 0x97, 0xFF));
    ASSERT_GT(text.right, text.left);
    EXPECT_NEAR((text.top + text.bottom) / 2.0, 44.5, 4.0);
    EXPECT_NEAR((text.left + text.right) / 2.0, 283.0, 12.0);
    EXPECT_GT(text.bottom - text.top, 20);  // more than one line: the caption wrapped
    const RECT placed = panel->LastCaptionRect();
    EXPECT_GE(placed.top, 0);
    EXPECT_LE(placed.bottom, 89);
}

TEST(CaptionPanelControl, BordersShrinkTheChildAreaAndTallCaptionsStartAbove) {
    auto form = FormWith({{"TCaptionPanel",
                           "Panel",
                           {P("Left", 0), P("Top", 0), P("Width", 200), P("Height", 30), P("BorderWidth", 3),
                            Id("BorderInner", "fsFlat"), SetOf("BorderSides", {"sdLeft", "sdTop"}),
                            S("Caption", "bir iki üç dört beş altı yedi sekiz dokuz on on bir on iki on üç on dört"),
                            P("Font.Height", -14), Id("ParentFont", "False")},
                           {{"TLabel", "Inside", {Id("Align", "alClient")}, {}}}}});
    auto* panel = dynamic_cast<TCaptionPanel*>(form->FindComponent("Panel"));
    auto* label = dynamic_cast<TLabel*>(form->FindComponent("Inside"));
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(label, nullptr);
    form->HandleNeeded();
    panel->Realign();
    // gap 3 all round, raised (2) and flat (1) borders on the left and top only
    EXPECT_EQ(label->Left(), 6);
    EXPECT_EQ(label->Top(), 6);
    EXPECT_EQ(label->Width(), 200 - 6 - 3);
    EXPECT_EQ(label->Height(), 30 - 6 - 3);

    TTestCanvas canvas(200, 30, RGB(1, 2, 3));
    panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_LT(panel->LastCaptionRect().top, 6);  // taller than the room: starts above it
    EXPECT_EQ(canvas.At(0, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
}

TEST(CaptionPanelControl, EmptyCaptionDrawsNoTextAndDisablingRemembersChildren) {
    auto form = FormWith({{"TCaptionPanel",
                           "Panel",
                           {P("Width", 100), P("Height", 40), Id("BorderOuter", "fsNone"), P("Font.Color", 255),
                            Id("ParentFont", "False")},
                           {{"TLabel", "A", {}, {}}, {"TLabel", "B", {Id("Enabled", "False")}, {}}}}});
    auto* panel = dynamic_cast<TCaptionPanel*>(form->FindComponent("Panel"));
    auto* a = dynamic_cast<TLabel*>(form->FindComponent("A"));
    auto* b = dynamic_cast<TLabel*>(form->FindComponent("B"));
    form->HandleNeeded();
    TTestCanvas canvas(100, 40, RGB(1, 2, 3));
    panel->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
    EXPECT_EQ(canvas.BoundsOf(RGB(255, 0, 0)).right, 0);
    EXPECT_EQ(panel->LastCaptionRect().right, 0);

    panel->SetEnabled(false);
    EXPECT_FALSE(a->Enabled());
    EXPECT_FALSE(b->Enabled());
    panel->SetEnabled(true);
    EXPECT_TRUE(a->Enabled());
    EXPECT_FALSE(b->Enabled());  // was disabled before: stays so
}

TEST(Components, PaintingAndFreeingLeaveNoGdiObjectBehind) {
    App();
    const long before = GdiLiveObjects();
    {
        const auto png = Resource(L"CLOUD128");
        TMemoryStream stored;
        WriteStoredPicture(stored, "TSmartImage", png);
        auto form = FormWith(
            {{"TGradientProgress", "Bar", {P("Width", 200), P("Height", 20), Id("TextOption", "toPercent")}, {}},
             {"TCaptionPanel", "Panel", {P("Width", 300), P("Height", 40), S("Caption", "Başlık")}, {}},
             {"TImage", "Picture", {Id("AutoSize", "True"), Bin("Picture.Data", stored.Vector())}, {}},
             {"TGlowButton", "Button", {P("Width", 120), P("Height", 40), S("Caption", "Tamam")}, {}}});
        form->HandleNeeded();
        TTestCanvas canvas(300, 130, RGB(0, 0, 0));
        for (int i = 0; i <= 100; i += 10) {
            auto* bar = static_cast<TGradientProgress*>(form->FindComponent("Bar"));
            bar->SetPosition(i);
            bar->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
            static_cast<TControl*>(form->FindComponent("Picture"))->Perform(WM_PAINT, reinterpret_cast<WPARAM>(canvas.Dc()));
            for (const char* name : {"Panel", "Button"})
                static_cast<TControl*>(form->FindComponent(name))
                    ->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT);
            static_cast<TControl*>(form->FindComponent("Button"))->Perform(i % 20 ? CM_MOUSEENTER : CM_MOUSELEAVE);
        }
        // a bitmap picture goes through a memory DC of its own while it is decoded
        TPicture picture;
        std::vector<std::uint8_t> bmp = {'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0,
                                         1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                                         1, 2, 3, 0};
        TMemoryStream bitmapForm;
        WriteStoredPicture(bitmapForm, "TSmartImage", bmp);
        picture.ReadData(bitmapForm.Vector());
        EXPECT_EQ(picture.Width(), 1);
        EXPECT_GT(GdiLiveObjects(), before);
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}
