// The glow button's decisions that need no window: its appearance colours with their
// defaults, which colours a paint uses in which state, and the hover/press fade as a state
// machine whose effects (repaint, timer, click) the Windows button carries out.
#pragma once
#include "core/ColorMath.h"

namespace qx {

enum TGlowGradient { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };

// blend(a, b, p): a at p >= 100, b at p <= 0; "no colour" on either side gives the other.
TColor GlowBlend(TColor a, TColor b, int percent);

// Each channel c becomes round(c * (100 + d) / 100), ties to even, held within 0..255.
TColor AdjustColor(TColor color, int dRed, int dGreen, int dBlue);

// One colour set: upper half, lower (mirror) half, border and the two gradient kinds.
struct TGlowColorSet {
    TColor color, colorTo, mirror, mirrorTo, border;
    TGlowGradient gradient, gradientMirror;
    bool operator==(const TGlowColorSet&) const = default;
};

struct TGlowButtonAppearanceData {
    TGlowColorSet normal, hot, down, checked, disabled;
    TColor textColorHot, textColorDown;
    bool systemFont;
    bool operator==(const TGlowButtonAppearanceData&) const = default;

    static TGlowButtonAppearanceData Defaults();
};

// The default pressed and checked sets darken the hot colours (red and green by 10 %), the
// disabled set the normal colours (5 % in every channel); borders and gradients are not derived.
TGlowColorSet DarkenedForDown(const TGlowColorSet& hot, const TGlowColorSet& like);
TGlowColorSet DarkenedForDisabled(const TGlowColorSet& normal, const TGlowColorSet& like);

enum class TGlowVisualState { Normal, Disabled, Down, Checked };
enum TGlowFocusType { ftBorder, ftHot, ftHotBorder, ftNone };

// What a paint needs to know about the button.
struct TGlowPaintInput {
    bool enabled = true;
    bool showDisabled = true;
    TGlowVisualState state = TGlowVisualState::Normal;
    bool hot = false;
    bool focused = false;
    TGlowFocusType focusType = ftBorder;
    bool pressed = false;      // left button went down on the button and is held
    bool fading = false;       // the glow timer runs
    bool fadingPress = false;  // ... and drives the press blend (else the hot blend)
    int hotBlend = 0, pressBlend = 0;
    TColor fontColor = 0;
};

struct TGlowPaintColors {
    TGlowColorSet set;
    TColor text = 0;
    bool operator==(const TGlowPaintColors&) const = default;
};

TGlowPaintColors ChooseGlowColors(const TGlowButtonAppearanceData& appearance, const TGlowPaintInput& in);

// What the button must do after an event of the fade machine.
struct TGlowEffects {
    bool invalidate = false;
    bool startTimer = false;  // create the timer (it was not running)
    bool stopTimer = false;   // destroy the timer
    bool click = false;       // raise OnClick
    bool takeFocus = false;
    bool operator==(const TGlowEffects&) const = default;
};

// Hover and press fades. Every event returns the effects; the button owns the real timer and
// calls Tick on each of its periods.
class TGlowAnimation {
public:
    static constexpr int kDefaultPeriod = 30;
    static constexpr int kStep = 20;

    // period: the shared timer period in milliseconds; 0 or less switches without fading.
    explicit TGlowAnimation(int period = kDefaultPeriod) : period_(period) {}

    TGlowEffects MouseEnter(bool leftButtonHeld);
    TGlowEffects MouseLeave(bool leftButtonHeld);
    TGlowEffects MouseDown(bool tabStop);
    TGlowEffects MouseUp(bool inside);
    TGlowEffects Tick();
    // A new window handle: back to rest, no timer.
    TGlowEffects Reset();

    void SetPeriod(int period) { period_ = period; }
    int Period() const { return period_; }
    bool TimerRunning() const { return timer_; }
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    bool DownLook() const { return downLook_; }
    bool DrivingPress() const { return drivingPress_; }
    int HotBlend() const { return hotBlend_; }
    int PressBlend() const { return pressBlend_; }
    int StepValue() const { return step_; }

    // Fills the animation fields of a paint input.
    void Describe(TGlowPaintInput& in) const;

private:
    void EnsureTimer(TGlowEffects& fx);
    void Drive(bool press, int step, TGlowEffects& fx);

    int period_;
    bool timer_ = false;
    bool hot_ = false;
    bool pressed_ = false;
    bool downLook_ = false;
    bool lostDownLook_ = false;  // the pointer left while the button was held down
    bool drivingPress_ = false;
    int hotBlend_ = 0, pressBlend_ = 0;
    int step_ = 0;
};

}  // namespace qx
