#include "GradientProgress.h"

#include "components/ProgressPainter.h"
#include "framework/Accessible.h"

#include <oleacc.h>

#include <string>

namespace qx {

const TEnumInfo ProgressTextOptionInfo{"TProgressTextOption", {"toCaption", "toFormat", "toNoText", "toPercent"}};
const TEnumInfo ProgressBorderInfo{"TBorderStyle", {"bsNone", "bsSingle"}};

const TClassInfo& TGradientProgress::StaticClassInfo() {
    using C = TGradientProgress;
    static const TClassInfo info =
        TClassBuilder<C>("TGradientProgress", &TGraphicControlEx::StaticClassInfo())
            .Int("Minimum", &C::Minimum, &C::SetMinimum)
            .Int("Maximum", &C::Maximum, &C::SetMaximum)
            .Int("Position", &C::Position, &C::SetPosition)
            .Bool("Solid", &C::Solid, &C::SetSolid)
            .Bool("GradientBlocks", &C::GradientBlocks, &C::SetGradientBlocks)
            .Color("StartColor", &C::StartColor, &C::SetStartColor)
            .Color("EndColor", &C::EndColor, &C::SetEndColor)
            .Enum("TextOption", &C::TextOption, &C::SetTextOption, ProgressTextOptionInfo)
            .Bool("TextCentered", &C::TextCentered, &C::SetTextCentered)
            .Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, ProgressBorderInfo)
            .Int("Step", &C::Step, &C::SetStep)
            .Creatable()
            .Build();
    return info;
}

TGradientProgress::TGradientProgress(TComponent* owner) : TGraphicControlEx(owner) {
    controlStyle_ |= csOpaque;
    width_ = 150;
    height_ = 15;
}

void TGradientProgress::Sync() {
    if (IsLoading() && !state_.Loading()) state_.BeginLoading();
    state_.SetClientSize(Width(), Height());
}

void TGradientProgress::Compose() {
    bitmap_.SetSize(state_.ClientWidth(), state_.ClientHeight());
    HDC dc = bitmap_.Canvas().Handle();
    if (!dc) return;
    bitmap_.Canvas().Font().Assign(Font());
    HFONT font = Font().Handle();
    const std::u16string text = state_.DisplayText(Caption());
    const TProgressPicture picture = state_.Plan(Color(), text, MeasureText(dc, font, text));
    PaintProgressPicture(dc, picture, font, Font().Color());
    ++pictureCount_;
}

void TGradientProgress::Redraw(bool onScreen) {
    if (!state_.TakeRedraw()) return;
    try {
        Compose();
    } catch (const std::exception&) {
        return;  // no picture this time; the next change tries again
    }
    if (onScreen) Repaint();
}

void TGradientProgress::Loaded() {
    TGraphicControlEx::Loaded();
    state_.SetClientSize(Width(), Height());
    state_.EndLoading();
    Redraw(true);
}

void TGradientProgress::Paint() {
    Sync();
    Redraw(false);
    const int w = Width(), h = Height();
    if (w < 3 || h < 3 || bitmap_.Width() != w || bitmap_.Height() != h) return;
    BitBlt(Canvas().Handle(), 0, 0, w, h, bitmap_.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TGradientProgress::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_PROGRESSBAR;
    info.Name = AccessibleCaption(Hint());
    const std::string percent = std::to_string(Percent()) + "%";
    info.Value = std::u16string(percent.begin(), percent.end());
    info.State = STATE_SYSTEM_READONLY;
}

void TGradientProgress::TellValue(int percentBefore) {
    if (Percent() != percentBefore) NotifyAccessibleEvent(this, EVENT_OBJECT_VALUECHANGE);
}

#define QX_PROGRESS_RANGE_SETTER(Name)              \
    void TGradientProgress::Set##Name(int value) {  \
        const int before = Percent();               \
        Sync();                                     \
        state_.Set##Name(value);                    \
        Redraw(true);                               \
        TellValue(before);                          \
    }
QX_PROGRESS_RANGE_SETTER(Minimum)
QX_PROGRESS_RANGE_SETTER(Maximum)
QX_PROGRESS_RANGE_SETTER(Position)
#undef QX_PROGRESS_RANGE_SETTER

#define QX_PROGRESS_SETTER(Name, Type)   \
    void TGradientProgress::Set##Name(Type value) { \
        Sync();                          \
        state_.Set##Name(value);         \
        Redraw(true);                    \
    }
QX_PROGRESS_SETTER(Solid, bool)
QX_PROGRESS_SETTER(GradientBlocks, bool)
QX_PROGRESS_SETTER(TextOption, TProgressTextOption)
QX_PROGRESS_SETTER(TextCentered, bool)
QX_PROGRESS_SETTER(BorderStyle, TProgressBorder)
#undef QX_PROGRESS_SETTER

static TColor PlainColor(TColor color) {
    const COLORREF c = ColorToRGB(color);
    return Rgb(GetRValue(c), GetGValue(c), GetBValue(c));
}

void TGradientProgress::SetStartColor(TColor value) {
    Sync();
    state_.SetStartColor(value, PlainColor(value));
    Redraw(true);
}

void TGradientProgress::SetEndColor(TColor value) {
    Sync();
    state_.SetEndColor(value, PlainColor(value));
    Redraw(true);
}

void TGradientProgress::ColorChanged() {
    Sync();
    state_.ColorChanged();
    Redraw(true);
}

void TGradientProgress::FontChanged() {
    bitmap_.Canvas().Font().Assign(Font());
    Sync();
    state_.FontChanged();
    Redraw(true);
}

void TGradientProgress::TextChanged() {
    Sync();
    state_.CaptionChanged();
    Redraw(true);
}

}  // namespace qx
