#include "GlowButtonLogic.h"

#include <algorithm>

namespace qx {

namespace {

constexpr TColor Hex(std::uint32_t rgb) {
    return Rgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
}

TGlowColorSet WithMirrorFallback(TGlowColorSet s) {
    if (s.mirror == kColorNone) s.mirror = s.color;
    return s;
}

TGlowColorSet BlendSets(const TGlowColorSet& a, const TGlowColorSet& b, int p, const TGlowColorSet& kinds) {
    TGlowColorSet r = kinds;
    r.color = GlowBlend(a.color, b.color, p);
    r.colorTo = GlowBlend(a.colorTo, b.colorTo, p);
    r.mirror = GlowBlend(a.mirror, b.mirror, p);
    r.mirrorTo = GlowBlend(a.mirrorTo, b.mirrorTo, p);
    r.border = GlowBlend(a.border, b.border, p);
    return r;
}

TGlowColorSet AdjustPairs(const TGlowColorSet& from, const TGlowColorSet& like, int dr, int dg, int db) {
    TGlowColorSet r = like;
    auto adjust = [&](TColor c) { return c == kColorNone ? c : AdjustColor(c, dr, dg, db); };
    r.color = adjust(from.color);
    r.colorTo = adjust(from.colorTo);
    r.mirror = adjust(from.mirror);
    r.mirrorTo = adjust(from.mirrorTo);
    return r;
}

}  // namespace

TColor GlowBlend(TColor a, TColor b, int percent) {
    if (percent >= 100) return a;
    if (percent <= 0 || a == kColorNone) return b;
    if (b == kColorNone) return a;
    const double p = percent / 100.0;
    auto mixChannel = [p](int ca, int cb) { return std::min(255, RoundHalfEven(p * ca + (1 - p) * cb)); };
    return Rgb(mixChannel(RedOf(a), RedOf(b)), mixChannel(GreenOf(a), GreenOf(b)), mixChannel(BlueOf(a), BlueOf(b)));
}

TColor AdjustColor(TColor color, int dRed, int dGreen, int dBlue) {
    auto channel = [](int c, int d) { return ChannelFromDouble(c * (100.0 + d) / 100.0); };
    return Rgb(channel(RedOf(color), dRed), channel(GreenOf(color), dGreen), channel(BlueOf(color), dBlue));
}

TGlowColorSet DarkenedForDown(const TGlowColorSet& hot, const TGlowColorSet& like) {
    return AdjustPairs(hot, like, -10, -10, 0);
}

TGlowColorSet DarkenedForDisabled(const TGlowColorSet& normal, const TGlowColorSet& like) {
    return AdjustPairs(normal, like, -5, -5, -5);
}

TGlowButtonAppearanceData TGlowButtonAppearanceData::Defaults() {
    TGlowButtonAppearanceData a;
    a.normal = {Hex(0xFFFFFF), Hex(0xFFFFFF), Hex(0xC0C0C0), Hex(0xFFFFFF), Hex(0xC0C0C0), ggVertical, ggVertical};
    a.hot = {Hex(0xE1F0F5), Hex(0xB2D2F9), Hex(0xADC8F5), Hex(0xF4F8FF), Hex(0x0000FF), ggRadial, ggRadial};
    a.down = {Hex(0xCAD8F5), Hex(0xA0BDF9), Hex(0x9CB4F5), Hex(0xDCDFFF), Hex(0x000080), ggRadial, ggRadial};
    a.checked = {Hex(0xCAD8F5), Hex(0xA0BDF9), Hex(0x9CB4F5), Hex(0xDCDFFF), Hex(0x0000FF), ggRadial, ggVertical};
    a.disabled = {Hex(0xF2F2F2), Hex(0xF2F2F2), Hex(0xB6B6B6), Hex(0xF2F2F2), Hex(0x808080), ggRadial, ggRadial};
    a.textColorHot = Hex(0x000000);
    a.textColorDown = Hex(0x000000);
    a.systemFont = true;
    return a;
}

TGlowPaintColors ChooseGlowColors(const TGlowButtonAppearanceData& appearance, const TGlowPaintInput& in) {
    const bool disabled = !in.enabled && in.showDisabled;
    const bool focusHot = in.focused && (in.focusType == ftHot || in.focusType == ftHotBorder) && !in.pressed;
    const TGlowColorSet* chosen;
    if (disabled)
        chosen = &appearance.disabled;
    else if (in.state == TGlowVisualState::Down)
        chosen = &appearance.down;
    else if (in.state == TGlowVisualState::Checked)
        chosen = &appearance.checked;
    else if (in.hot || focusHot)
        chosen = &appearance.hot;
    else
        chosen = &appearance.normal;

    TGlowPaintColors out;
    out.set = WithMirrorFallback(*chosen);
    // A disabled button keeps its disabled look even if a fade was still running.
    if (in.fading && !disabled) {
        const TGlowColorSet hot = WithMirrorFallback(appearance.hot);
        if (in.fadingPress)
            out.set = BlendSets(WithMirrorFallback(appearance.down), hot, in.pressBlend, out.set);
        else
            out.set = BlendSets(hot, WithMirrorFallback(appearance.normal), in.hotBlend, out.set);
    }
    out.text = in.fontColor;
    if (in.hot) out.text = appearance.textColorHot;
    if (in.state == TGlowVisualState::Down) out.text = appearance.textColorDown;
    if (!in.enabled) out.text = Rgb(0x80, 0x80, 0x80);
    return out;
}

void TGlowAnimation::EnsureTimer(TGlowEffects& fx) {
    if (period_ > 0 && !timer_) {
        timer_ = true;
        fx.startTimer = true;
    }
}

void TGlowAnimation::Drive(bool press, int step, TGlowEffects& fx) {
    drivingPress_ = press;
    step_ = step;
    if (period_ <= 0) {
        // no fading: the driven blend is at its end at once
        (press ? pressBlend_ : hotBlend_) = step > 0 ? 100 : 0;
    }
    fx.invalidate = true;
}

TGlowEffects TGlowAnimation::MouseEnter(bool leftButtonHeld) {
    TGlowEffects fx;
    hot_ = true;
    if (lostDownLook_ && leftButtonHeld && pressed_) {
        downLook_ = true;
        lostDownLook_ = false;
    }
    const bool pressFading = timer_ && drivingPress_;
    EnsureTimer(fx);
    if (!downLook_ && !pressFading) Drive(false, kStep, fx);
    fx.invalidate = true;
    return fx;
}

TGlowEffects TGlowAnimation::MouseLeave(bool leftButtonHeld) {
    TGlowEffects fx;
    hot_ = false;
    if (leftButtonHeld && pressed_) {
        if (downLook_) {
            downLook_ = false;
            lostDownLook_ = true;
        }
    } else {
        hotBlend_ = 100;
    }
    Drive(false, -kStep, fx);
    EnsureTimer(fx);
    return fx;
}

TGlowEffects TGlowAnimation::MouseDown(bool tabStop) {
    TGlowEffects fx;
    pressed_ = true;
    EnsureTimer(fx);
    Drive(true, kStep, fx);
    downLook_ = true;
    lostDownLook_ = false;
    fx.takeFocus = tabStop;
    return fx;
}

TGlowEffects TGlowAnimation::MouseUp(bool inside) {
    TGlowEffects fx;
    // Fade back from the pressed look even when the press fade had already finished.
    if (pressed_ || pressBlend_ > 0) EnsureTimer(fx);
    Drive(true, -kStep, fx);
    fx.click = pressed_ && inside;
    downLook_ = false;
    lostDownLook_ = false;
    pressed_ = false;
    return fx;
}

TGlowEffects TGlowAnimation::Tick() {
    TGlowEffects fx;
    if (!timer_) return fx;
    int& blend = drivingPress_ ? pressBlend_ : hotBlend_;
    const int next = blend + step_;
    if (next < 0 || next > 100) {
        blend = std::clamp(next, 0, 100);
        timer_ = false;
        fx.stopTimer = true;
    } else {
        blend = next;
        fx.invalidate = true;
    }
    return fx;
}

TGlowEffects TGlowAnimation::Reset() {
    TGlowEffects fx;
    fx.stopTimer = timer_;
    timer_ = hot_ = pressed_ = downLook_ = lostDownLook_ = drivingPress_ = false;
    hotBlend_ = pressBlend_ = step_ = 0;
    return fx;
}

void TGlowAnimation::Describe(TGlowPaintInput& in) const {
    in.hot = hot_;
    in.pressed = pressed_;
    if (downLook_ && in.state == TGlowVisualState::Normal) in.state = TGlowVisualState::Down;
    in.fading = timer_;
    in.fadingPress = drivingPress_;
    in.hotBlend = hotBlend_;
    in.pressBlend = pressBlend_;
}

}  // namespace qx
