#include "core/GlowButtonLogic.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

constexpr TColor Hex(std::uint32_t rgb) { return Rgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF); }

// Ticks until the timer stops; returns how many ticks repainted.
int RunFade(TGlowAnimation& a) {
    int repaints = 0;
    for (int guard = 0; guard < 50 && a.TimerRunning(); ++guard) {
        const auto fx = a.Tick();
        repaints += fx.invalidate;
        if (fx.stopTimer) {
            EXPECT_FALSE(a.TimerRunning());
        }
    }
    EXPECT_FALSE(a.TimerRunning());
    return repaints;
}

TGlowPaintColors Paint(const TGlowAnimation& a, TColor font = Hex(0x2F97FF)) {
    TGlowPaintInput in;
    in.fontColor = font;
    a.Describe(in);
    return ChooseGlowColors(TGlowButtonAppearanceData::Defaults(), in);
}

}  // namespace

TEST(GlowBlend, EndsNoColourAndRounding) {
    const TColor a = Rgb(200, 100, 0), b = Rgb(0, 50, 255);
    EXPECT_EQ(GlowBlend(a, b, 100), a);
    EXPECT_EQ(GlowBlend(a, b, 150), a);
    EXPECT_EQ(GlowBlend(a, b, 0), b);
    EXPECT_EQ(GlowBlend(a, b, -5), b);
    EXPECT_EQ(GlowBlend(kColorNone, b, 50), b);
    EXPECT_EQ(GlowBlend(a, kColorNone, 50), a);
    EXPECT_EQ(GlowBlend(a, kColorNone, 0), kColorNone);  // the bounds come first
    EXPECT_EQ(GlowBlend(a, b, 50), Rgb(100, 75, 128));    // 127.5 rounds to even
    EXPECT_EQ(GlowBlend(Rgb(1, 3, 5), Rgb(0, 0, 0), 50), Rgb(0, 2, 2));
    EXPECT_EQ(GlowBlend(Rgb(255, 255, 255), Rgb(255, 255, 255), 33), Rgb(255, 255, 255));
}

TEST(GlowAppearance, DefaultPressedAndDisabledColoursAreTheDarkenedOnes) {
    const auto d = TGlowButtonAppearanceData::Defaults();
    EXPECT_EQ(DarkenedForDown(d.hot, d.down), d.down);
    EXPECT_EQ(DarkenedForDown(d.hot, d.checked), d.checked);
    EXPECT_EQ(DarkenedForDisabled(d.normal, d.disabled), d.disabled);
    // 225 * 0.9 = 202.5 goes to the even 202; a channel of 0 stays 0
    EXPECT_EQ(AdjustColor(Hex(0xE1F0F5), -10, -10, 0), Hex(0xCAD8F5));
    EXPECT_EQ(AdjustColor(Hex(0x0000FF), -10, -10, 0), Hex(0x0000FF));
    EXPECT_EQ(AdjustColor(Hex(0xF0F0F0), 10, 10, 10), Hex(0xFFFFFF));  // held at 255
    EXPECT_EQ(d.normal.border, Hex(0xC0C0C0));
    EXPECT_EQ(d.hot.border, Hex(0x0000FF));
    EXPECT_EQ(d.down.border, Hex(0x000080));
    EXPECT_EQ(d.checked.gradientMirror, ggVertical);
    EXPECT_EQ(d.normal.gradient, ggVertical);
    EXPECT_EQ(d.hot.gradient, ggRadial);
    EXPECT_TRUE(d.systemFont);
}

TEST(GlowColours, StateDecidesTheSetAndTheCaptionColour) {
    auto d = TGlowButtonAppearanceData::Defaults();
    TGlowPaintInput in;
    in.fontColor = Hex(0x2F97FF);
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.normal);
    EXPECT_EQ(ChooseGlowColors(d, in).text, Hex(0x2F97FF));
    in.hot = true;
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.hot);
    EXPECT_EQ(ChooseGlowColors(d, in).text, d.textColorHot);
    in.state = TGlowVisualState::Checked;
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.checked);
    in.state = TGlowVisualState::Down;
    d.textColorDown = Hex(0x112233);
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.down);
    EXPECT_EQ(ChooseGlowColors(d, in).text, Hex(0x112233));
    in.enabled = false;
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.disabled);
    EXPECT_EQ(ChooseGlowColors(d, in).text, Hex(0x808080));
    in.showDisabled = false;
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.down);

    // focus marks the button hot only for the hot focus types and only while not pressed
    TGlowPaintInput focus;
    focus.focused = true;
    EXPECT_EQ(ChooseGlowColors(d, focus).set, d.normal);
    focus.focusType = ftHotBorder;
    EXPECT_EQ(ChooseGlowColors(d, focus).set, d.hot);
    focus.pressed = true;
    EXPECT_EQ(ChooseGlowColors(d, focus).set, d.normal);
}

TEST(GlowColours, MissingMirrorColourTakesTheUpperStart) {
    auto d = TGlowButtonAppearanceData::Defaults();
    d.normal.mirror = kColorNone;
    TGlowPaintInput in;
    EXPECT_EQ(ChooseGlowColors(d, in).set.mirror, d.normal.color);
    // and blends from it while fading
    in.fading = true;
    in.hotBlend = 0;
    EXPECT_EQ(ChooseGlowColors(d, in).set.mirror, d.normal.color);
}

TEST(GlowColours, FadesBlendBetweenSetsButKeepTheChosenGradients) {
    const auto d = TGlowButtonAppearanceData::Defaults();
    TGlowPaintInput in;
    in.hot = true;
    in.fading = true;
    in.hotBlend = 40;
    auto c = ChooseGlowColors(d, in);
    EXPECT_EQ(c.set.border, GlowBlend(d.hot.border, d.normal.border, 40));
    EXPECT_EQ(c.set.colorTo, GlowBlend(d.hot.colorTo, d.normal.colorTo, 40));
    EXPECT_EQ(c.set.gradient, ggRadial);

    in.hot = false;  // fading out: the normal set's gradient kinds
    c = ChooseGlowColors(d, in);
    EXPECT_EQ(c.set.gradient, ggVertical);

    in.state = TGlowVisualState::Down;
    in.fadingPress = true;
    in.pressBlend = 60;
    c = ChooseGlowColors(d, in);
    EXPECT_EQ(c.set.mirrorTo, GlowBlend(d.down.mirrorTo, d.hot.mirrorTo, 60));
    EXPECT_EQ(c.set.border, GlowBlend(d.down.border, d.hot.border, 60));

    in.enabled = false;  // a disabled button never shows a fade
    EXPECT_EQ(ChooseGlowColors(d, in).set, d.disabled);
}

TEST(GlowAnimation, HoverFadesInFiveTicksAndStopsOnTheSixth) {
    TGlowAnimation a;
    auto fx = a.MouseEnter(false);
    EXPECT_TRUE(fx.startTimer && fx.invalidate);
    EXPECT_EQ(a.StepValue(), 20);
    EXPECT_EQ(Paint(a).set.border, Hex(0xC0C0C0));  // blend 0: still the normal look
    for (int k = 1; k <= 5; ++k) {
        fx = a.Tick();
        EXPECT_TRUE(fx.invalidate);
        EXPECT_EQ(a.HotBlend(), 20 * k);
    }
    fx = a.Tick();
    EXPECT_TRUE(fx.stopTimer);
    EXPECT_FALSE(fx.invalidate);
    EXPECT_EQ(a.HotBlend(), 100);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().hot);
    EXPECT_EQ(Paint(a).text, Hex(0x000000));
    EXPECT_EQ(a.Tick(), TGlowEffects{});  // no timer, nothing happens

    fx = a.MouseLeave(false);
    EXPECT_TRUE(fx.startTimer);
    EXPECT_EQ(a.StepValue(), -20);
    EXPECT_EQ(RunFade(a), 5);
    EXPECT_EQ(a.HotBlend(), 0);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().normal);
}

TEST(GlowAnimation, LeavingMidFadeTurnsBackFromFullGlow) {
    TGlowAnimation a;
    a.MouseEnter(false);
    a.Tick();
    a.Tick();
    const auto fx = a.MouseLeave(false);
    EXPECT_FALSE(fx.startTimer);  // the running timer is reused
    EXPECT_EQ(a.HotBlend(), 100);
    EXPECT_EQ(RunFade(a), 5);
}

TEST(GlowAnimation, PressAndReleaseInsideClicksOnceOutsideNever) {
    TGlowAnimation a;
    a.MouseEnter(false);
    RunFade(a);
    auto fx = a.MouseDown(false);
    EXPECT_TRUE(fx.startTimer && fx.invalidate);
    EXPECT_FALSE(fx.takeFocus);
    EXPECT_TRUE(a.DownLook());
    a.Tick();
    a.Tick();
    EXPECT_EQ(a.PressBlend(), 40);
    EXPECT_EQ(Paint(a).set.border, GlowBlend(Hex(0x000080), Hex(0x0000FF), 40));
    EXPECT_EQ(Paint(a).text, Hex(0x000000));
    RunFade(a);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().down);

    fx = a.MouseUp(true);
    EXPECT_TRUE(fx.click);
    EXPECT_TRUE(fx.startTimer);  // fades back although the press fade had ended
    EXPECT_FALSE(a.DownLook());
    EXPECT_EQ(RunFade(a), 5);
    EXPECT_EQ(a.PressBlend(), 0);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().hot);
    EXPECT_FALSE(a.MouseUp(true).click);  // no second click without a press

    EXPECT_TRUE(a.MouseDown(true).takeFocus);
    EXPECT_FALSE(a.MouseUp(false).click);
}

TEST(GlowAnimation, LeavingWhileHeldDropsThePressedLookAndReturningRestoresIt) {
    TGlowAnimation a;
    a.MouseEnter(false);
    RunFade(a);
    a.MouseDown(false);
    RunFade(a);
    a.MouseLeave(true);
    EXPECT_FALSE(a.DownLook());
    EXPECT_FALSE(a.Hot());
    EXPECT_EQ(a.HotBlend(), 100);  // driven down from where it was
    EXPECT_FALSE(a.DrivingPress());
    a.Tick();
    EXPECT_EQ(a.HotBlend(), 80);

    a.MouseEnter(true);
    EXPECT_TRUE(a.DownLook());
    EXPECT_EQ(a.StepValue(), -20);  // the pressed look does not start a hover fade
    EXPECT_EQ(Paint(a).text, Hex(0x000000));
    EXPECT_TRUE(a.MouseUp(true).click);

    // a pointer that comes back after the button was released elsewhere is only hot, and
    // starts a hover fade only once the press fade has finished
    a.MouseDown(false);
    a.MouseLeave(true);
    a.MouseUp(false);
    a.MouseEnter(false);
    EXPECT_FALSE(a.DownLook());
    EXPECT_TRUE(a.DrivingPress());
    RunFade(a);
    a.MouseLeave(false);
    a.MouseEnter(false);
    EXPECT_FALSE(a.DrivingPress());
    EXPECT_EQ(a.StepValue(), 20);
}

TEST(GlowAnimation, ZeroPeriodSwitchesAtOnceWithoutATimer) {
    TGlowAnimation a(0);
    auto fx = a.MouseEnter(false);
    EXPECT_FALSE(fx.startTimer);
    EXPECT_TRUE(fx.invalidate);
    EXPECT_FALSE(a.TimerRunning());
    EXPECT_EQ(a.HotBlend(), 100);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().hot);
    fx = a.MouseDown(false);
    EXPECT_FALSE(fx.startTimer);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().down);
    EXPECT_TRUE(a.MouseUp(true).click);
    fx = a.MouseLeave(false);
    EXPECT_FALSE(fx.startTimer);
    EXPECT_EQ(a.HotBlend(), 0);
    EXPECT_EQ(Paint(a).set, TGlowButtonAppearanceData::Defaults().normal);
}

TEST(GlowAnimation, ResetStopsTheTimerAndForgetsEverything) {
    TGlowAnimation a;
    a.MouseEnter(false);
    a.MouseDown(false);
    auto fx = a.Reset();
    EXPECT_TRUE(fx.stopTimer);
    EXPECT_FALSE(a.TimerRunning() || a.Hot() || a.Pressed() || a.DownLook());
    EXPECT_EQ(a.HotBlend() + a.PressBlend(), 0);
    EXPECT_FALSE(a.Reset().stopTimer);
    EXPECT_FALSE(a.MouseUp(true).click);
}
