// What the gradient progress bar shows, decided without drawing anything: the bar's
// properties with their clamping rules, when the picture must be rebuilt, and the picture
// itself as a list of filled rectangles and a text origin that the Windows control paints.
#pragma once
#include "core/ColorMath.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

enum TProgressTextOption { toCaption, toFormat, toNoText, toPercent };
enum class TProgressBorder { bsNone, bsSingle };

// System colours of the 3-D frame (indices as the platform numbers them).
inline constexpr TColor kBtnFace = SystemColor(15);
inline constexpr TColor kBtnShadow = SystemColor(16);
inline constexpr TColor kBtnHighlight = SystemColor(20);
inline constexpr TColor k3DDkShadow = SystemColor(21);

// A filled rectangle; right and bottom are exclusive.
struct TFillRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    TColor color = 0;
    bool operator==(const TFillRect&) const = default;
};

struct TTextExtent {
    int width = 0, height = 0;
};

// The fill geometry that position, range, mode and size decide.
struct TProgressFill {
    int width = 0;         // filled pixels of the inner area (W - 2 wide)
    int blockWidth = 0;    // block mode: colour plus one gap pixel
    int blocks = 0;        // block mode: blocks drawn, a partial one included
    bool partial = false;  // the last block is cut short by the end of the bar
    int partialWidth = 0;
    bool operator==(const TProgressFill&) const = default;
};

// The picture in painting order: body (fill, gaps, background), then text, then frame.
struct TProgressPicture {
    int width = 0, height = 0;
    std::vector<TFillRect> body;
    std::u16string text;  // empty: none
    int textX = 0, textY = 0;
    std::vector<TFillRect> frame;
};

// 0 when the range is empty; otherwise the platform's rounded multiply-divide, taken in
// 64 bits so that ranges wider than 2^31 do not overflow.
int ProgressPercent(int position, int minimum, int maximum);

// The fill for a client area of width x height; nothing when the range is empty or the bar
// is narrower than 2 pixels (the previous fill then stays).
std::optional<TProgressFill> ComputeProgressFill(int position, int minimum, int maximum, bool solid,
                                                 int width, int height);

// The caption used as a pattern with one integer argument. Understands %d, %u, %x and %X
// (with flags, width and precision) and %%; any other directive is copied as it stands, so a
// caption can never make the formatter read an argument it was not given.
std::u16string FormatProgressText(std::u16string_view pattern, int value);

// Where the text goes: centred on the whole bar or on the fill, never at a negative offset.
void ProgressTextOrigin(TTextExtent text, int width, int height, int fill, bool centered, int& x,
                        int& y);

class TGradientProgressState {
public:
    TGradientProgressState();

    int Minimum() const { return minimum_; }
    int Maximum() const { return maximum_; }
    int Position() const { return position_; }
    bool Solid() const { return solid_; }
    bool GradientBlocks() const { return gradientBlocks_; }
    TColor StartColor() const { return startColor_; }
    TColor EndColor() const { return endColor_; }
    TProgressTextOption TextOption() const { return textOption_; }
    bool TextCentered() const { return textCentered_; }
    TProgressBorder BorderStyle() const { return borderStyle_; }
    int Step() const { return step_; }

    // Each stores its value when it differs and marks the picture changed where it can show.
    void SetPosition(int value);
    void SetMaximum(int value);
    void SetMinimum(int value);
    void SetSolid(bool value);
    void SetGradientBlocks(bool value);
    // rgb: the colour with a system colour resolved (the caller knows the platform's table).
    void SetStartColor(TColor color, TColor rgb);
    void SetEndColor(TColor color, TColor rgb);
    void SetTextOption(TProgressTextOption value);
    void SetTextCentered(bool value);
    void SetBorderStyle(TProgressBorder value);
    void SetStep(int value) { step_ = value; }
    void ColorChanged() { changed_ = true; }
    void FontChanged();
    void CaptionChanged();

    // The client size; a size other than the last picture's marks the picture changed.
    void SetClientSize(int width, int height);
    int ClientWidth() const { return width_; }
    int ClientHeight() const { return height_; }

    // While the stored layout is read nothing is computed; afterwards the fill once.
    void BeginLoading() { loading_ = true; }
    void EndLoading();
    bool Loading() const { return loading_; }

    int Percent() const { return ProgressPercent(position_, minimum_, maximum_); }
    const TProgressFill& Fill() const { return fill_; }
    bool Changed() const { return changed_; }

    // True when a picture must be built now (and of the current client size); clears the
    // mark, so a caller that gets true builds exactly one picture for it.
    bool TakeRedraw();

    std::u16string DisplayText(std::u16string_view caption) const;
    // The picture for the current state, with the background colour and the text measured
    // in the control's font.
    TProgressPicture Plan(TColor color, const std::u16string& text, TTextExtent extent);

private:
    void RangeChanged(int oldPercent);
    void UpdateFill();
    bool ShowsPercent() const { return textOption_ == toFormat || textOption_ == toPercent; }

    int minimum_ = 0, maximum_ = 100, position_ = 0;
    bool solid_ = false, gradientBlocks_ = false;
    TColor startColor_, endColor_, startRgb_, endRgb_;
    TProgressTextOption textOption_ = toNoText;
    bool textCentered_ = false;
    TProgressBorder borderStyle_ = TProgressBorder::bsNone;
    int step_ = 10;
    int width_ = 150, height_ = 15;
    int pictureWidth_ = -1, pictureHeight_ = -1;
    TProgressFill fill_;
    bool changed_ = true;
    bool loading_ = false;
};

}  // namespace qx
