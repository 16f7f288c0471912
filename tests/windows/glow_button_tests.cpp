// The install button as the main window has it: read from a layout, driven by the mouse
// messages the framework delivers, painted into memory bitmaps.
#include "ComponentTestSupport.h"
#include "TestCanvas.h"

#include "components/GlowButton.h"
#include "core/Layout.h"
#include "core/StoredPicture.h"
#include "framework/Forms.h"
#include "framework/LayoutLoader.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace qx;
using namespace qxtest;

namespace {

std::vector<std::uint8_t> RocketData() {
    HRSRC info = FindResourceW(nullptr, L"ROCKET32", MAKEINTRESOURCEW(10));
    const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
    std::vector<std::uint8_t> png(data, data + SizeofResource(nullptr, info));
    TMemoryStream stored;
    WriteStoredPicture(stored, "TPngImage", png);
    return stored.Vector();
}

struct TInstallButton {
    std::unique_ptr<TForm> form;
    TGlowButton* button = nullptr;
    int clicks = 0;

    TInstallButton() {
        App();
        TCustomGlowButton::SetGlowPeriod(30);
        auto picture = Prop("Picture.Data", TLayoutValue::Kind::Binary);
        picture.value.bytes = RocketData();
        auto style = Prop("Font.Style", TLayoutValue::Kind::Set);
        style.value.items = {"fsBold"};
        TLayoutObject root{"TForm", "Form1", {P("ClientWidth", 566), P("ClientHeight", 388), Id("Color", "clBtnFace")}, {}};
        root.children.push_back({"TGlowButton",
                                 "btncarihesaplar",
                                 {P("Left", 174), P("Top", 275), P("Width", 243), P("Height", 62), Id("Cursor", "crHandPoint"),
                                  S("Caption", "  Kuruluma Başla"), P("Font.Color", 16750383), P("Font.Height", -16),
                                  S("Font.Name", "MS Sans Serif"), style, Id("ParentFont", "False"), picture,
                                  P("Spacing", 1), Id("WordWrap", "False"), P("TabOrder", 6), S("NotesFont.Name", "Tahoma"),
                                  P("NotesFont.Height", -11)},
                                 {}});
        form = std::make_unique<TForm>(nullptr);
        LoadLayout(form.get(), WriteLayout(root));
        button = dynamic_cast<TGlowButton*>(form->FindComponent("btncarihesaplar"));
        if (button) {
            button->OnClick = [this](TObject*) { ++clicks; };
            form->HandleNeeded();
        }
    }

    void Paint(TTestCanvas& canvas) { button->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(canvas.Dc()), PRF_CLIENT); }
    void Mouse(UINT message, int x, int y) {
        button->Perform(message, message == WM_LBUTTONDOWN ? MK_LBUTTON : 0, MAKELPARAM(x, y));
    }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) button->Perform(WM_TIMER, 1);
    }
};

bool Near(COLORREF a, COLORREF b, int tolerance) {
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// Pixels of the caption: strongly coloured in one channel or dark, inside the caption rectangle.
int CountPixels(const TTestCanvas& c, const RECT& r, bool (*match)(COLORREF)) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += match(c.At(x, y));
    return n;
}
bool IsBlueText(COLORREF c) { return GetBValue(c) > 200 && GetRValue(c) < 120 && GetGValue(c) > 100 && GetGValue(c) < 190; }
bool IsDarkText(COLORREF c) { return GetRValue(c) < 60 && GetGValue(c) < 60 && GetBValue(c) < 60; }
bool IsGreyText(COLORREF c) { return Near(c, RGB(0x80, 0x80, 0x80), 30); }

}  // namespace

TEST(GlowButton, ReadsFromTheLayoutWithDefaultAppearance) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    EXPECT_EQ(t.button->Spacing(), 1);
    EXPECT_FALSE(t.button->WordWrap());
    EXPECT_EQ(t.button->Layout(), blGlyphLeft);
    EXPECT_EQ(t.button->Cursor(), crHandPoint);
    EXPECT_FALSE(t.button->TabStop());
    EXPECT_EQ(t.button->Appearance()->Data(), TGlowButtonAppearanceData::Defaults());
    EXPECT_EQ(t.button->NotesFont().Name(), u"Tahoma");
    EXPECT_EQ(t.button->Picture()->Picture().Width(), 32);
    // appearance values by name
    TObject* appearance = GetObjectProp(t.button, "Appearance");
    EXPECT_EQ(GetOrdProp(appearance, "BorderColorDown"), Rgb(0, 0, 0x80));
    EXPECT_EQ(GetEnumProp(appearance, "GradientMirrorChecked"), "ggVertical");
    SetPropText(appearance, "ColorHotTo", u"clRed");
    EXPECT_EQ(t.button->Appearance()->Data().hot.colorTo, clRed);
}

TEST(GlowButton, AtRestWhiteBodyGreyMirrorBorderBlueCaptionAndRocket) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    TTestCanvas canvas(243, 62, RGB(1, 2, 3));
    t.Paint(canvas);
    canvas.Dump("glow-rest");
    EXPECT_TRUE(Near(canvas.At(20, 8), RGB(255, 255, 255), 2));       // upper half
    EXPECT_TRUE(Near(canvas.At(20, 32), RGB(255, 255, 255), 6));      // the mirror starts white
    EXPECT_TRUE(Near(canvas.At(20, 59), RGB(0xC0, 0xC0, 0xC0), 10));  // and ends grey
    EXPECT_TRUE(Near(canvas.At(120, 0), RGB(0xC0, 0xC0, 0xC0), 6));   // border
    EXPECT_TRUE(Near(canvas.At(0, 30), RGB(0xC0, 0xC0, 0xC0), 6));
    EXPECT_NE(canvas.At(0, 0), RGB(0xC0, 0xC0, 0xC0));                // rounded corner

    const RECT picture = t.button->LastPictureRect();
    const RECT caption = t.button->LastCaptionRect();
    EXPECT_EQ(RectWidth(picture), 32);
    EXPECT_EQ(picture.top, 1 + (60 - 32) / 2);
    EXPECT_EQ(caption.left, picture.right + 1);  // Spacing 1
    EXPECT_NEAR((picture.left + caption.right) / 2.0, 121.5, 2.0);  // centred as a group
    EXPECT_GT(CountPixels(canvas, picture, [](COLORREF c) { return GetRValue(c) < 120 && GetRValue(c) == GetBValue(c); }), 30);
    EXPECT_GT(CountPixels(canvas, caption, IsBlueText), 20);
}

TEST(GlowButton, HoverFadesToTheHotSetInFiveTicks) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    t.button->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(t.button->Animation().TimerRunning());
    t.Ticks(2);
    TTestCanvas mid(243, 62, RGB(1, 2, 3));
    t.Paint(mid);
    const COLORREF border = mid.At(120, 0);
    EXPECT_TRUE(Near(border, RGB(0x73, 0x73, 0xD8), 12)) << std::hex << border;  // 40 % of the way to blue
    t.Ticks(4);
    EXPECT_FALSE(t.button->Animation().TimerRunning());
    TTestCanvas hot(243, 62, RGB(1, 2, 3));
    t.Paint(hot);
    hot.Dump("glow-hot");
    EXPECT_TRUE(Near(hot.At(120, 0), RGB(0, 0, 255), 6));
    EXPECT_GT(CountPixels(hot, t.button->LastCaptionRect(), IsDarkText), 20);  // black caption
    EXPECT_EQ(CountPixels(hot, t.button->LastCaptionRect(), IsBlueText), 0);
    // the radial glow: the middle of the top edge is the hot end colour
    EXPECT_TRUE(Near(hot.At(121, 2), RGB(0xB2, 0xD2, 0xF9), 24)) << std::hex << hot.At(121, 2);
    EXPECT_TRUE(Near(hot.At(3, 14), RGB(0xE1, 0xF0, 0xF5), 24)) << std::hex << hot.At(3, 14);

    t.button->Perform(CM_MOUSELEAVE);
    t.Ticks(6);
    TTestCanvas away(243, 62, RGB(1, 2, 3));
    t.Paint(away);
    EXPECT_TRUE(Near(away.At(120, 0), RGB(0xC0, 0xC0, 0xC0), 6));
}

TEST(GlowButton, TheRealTimerRunsTheFade) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    t.button->Perform(CM_MOUSEENTER);
    const DWORD start = GetTickCount();
    while (t.button->Animation().TimerRunning() && GetTickCount() - start < 3000) {
        App().ProcessMessages();
        Sleep(5);
    }
    EXPECT_FALSE(t.button->Animation().TimerRunning());
    EXPECT_EQ(t.button->Animation().HotBlend(), 100);
}

TEST(GlowButton, PressAndReleaseInsideClickOnceOutsideNever) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    t.button->Perform(CM_MOUSEENTER);
    t.Mouse(WM_LBUTTONDOWN, 100, 30);
    EXPECT_TRUE(t.button->Animation().DownLook());
    t.Ticks(6);
    TTestCanvas down(243, 62, RGB(1, 2, 3));
    t.Paint(down);
    down.Dump("glow-down");
    EXPECT_TRUE(Near(down.At(120, 0), RGB(0, 0, 0x80), 6));
    t.Mouse(WM_LBUTTONUP, 100, 30);
    EXPECT_EQ(t.clicks, 1);
    EXPECT_FALSE(t.button->Animation().DownLook());
    EXPECT_TRUE(t.button->Animation().TimerRunning());  // fading back

    t.Mouse(WM_LBUTTONDOWN, 100, 30);
    t.Mouse(WM_LBUTTONUP, 400, 30);  // released outside
    EXPECT_EQ(t.clicks, 1);
}

TEST(GlowButton, HidingForgetsTheGlowAndLosingTheMouseEndsThePress) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    t.button->Perform(CM_MOUSEENTER);
    t.Ticks(6);
    ASSERT_TRUE(t.button->Animation().Hot());
    t.button->Hide();
    EXPECT_FALSE(t.button->Animation().Hot());
    EXPECT_FALSE(t.button->Animation().TimerRunning());
    t.button->Show();
    TTestCanvas canvas(243, 62, RGB(1, 2, 3));
    t.Paint(canvas);
    EXPECT_TRUE(Near(canvas.At(120, 0), RGB(0xC0, 0xC0, 0xC0), 6));

    t.button->Perform(CM_MOUSEENTER);
    t.Mouse(WM_LBUTTONDOWN, 100, 30);
    ASSERT_TRUE(t.button->Animation().Pressed());
    t.button->Perform(WM_CAPTURECHANGED, 0, reinterpret_cast<LPARAM>(t.form->Handle()));
    EXPECT_FALSE(t.button->Animation().Pressed());
    EXPECT_FALSE(t.button->Animation().DownLook());
    EXPECT_EQ(t.clicks, 0);
}

TEST(GlowButton, ZeroPeriodSwitchesAtOnce) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    TCustomGlowButton::SetGlowPeriod(0);
    t.button->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(t.button->Animation().TimerRunning());
    TTestCanvas hot(243, 62, RGB(1, 2, 3));
    t.Paint(hot);
    EXPECT_TRUE(Near(hot.At(120, 0), RGB(0, 0, 255), 6));
    TCustomGlowButton::SetGlowPeriod(30);
}

TEST(GlowButton, DisabledLookAndGreyCaption) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    t.button->SetEnabled(false);
    TTestCanvas canvas(243, 62, RGB(1, 2, 3));
    t.Paint(canvas);
    canvas.Dump("glow-disabled");
    EXPECT_TRUE(Near(canvas.At(20, 8), RGB(0xF2, 0xF2, 0xF2), 3));
    EXPECT_TRUE(Near(canvas.At(120, 0), RGB(0x80, 0x80, 0x80), 6));
    EXPECT_GT(CountPixels(canvas, t.button->LastCaptionRect(), IsGreyText), 20);
    EXPECT_EQ(CountPixels(canvas, t.button->LastCaptionRect(), IsBlueText), 0);
    t.button->Perform(CM_MOUSEENTER);  // a disabled button does not glow
    EXPECT_FALSE(t.button->Animation().Hot());
}

TEST(GlowButton, SystemFontReplacesTheCaptionFace) {
    TInstallButton t;
    ASSERT_NE(t.button, nullptr);
    const bool newer = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetLocaleInfoEx") != nullptr;
    EXPECT_EQ(t.button->CaptionFace(), newer ? u"Segoe UI" : u"Tahoma");
    SetPropText(GetObjectProp(t.button, "Appearance"), "SystemFont", u"False");
    EXPECT_EQ(t.button->CaptionFace(), u"MS Sans Serif");
}
