#include "GradientProgressLayout.h"

#include "core/MulDiv.h"

#include <algorithm>
#include <array>

namespace qx {

namespace {

using TChannels = std::array<double, 3>;

TChannels ChannelsOf(TColor c) { return {double(RedOf(c)), double(GreenOf(c)), double(BlueOf(c))}; }

TColor ColorOf(const TChannels& c) {
    return Rgb(ChannelFromDouble(c[0]), ChannelFromDouble(c[1]), ChannelFromDouble(c[2]));
}

void Add(std::vector<TFillRect>& out, int left, int top, int right, int bottom, TColor color) {
    if (left < right && top < bottom) out.push_back({left, top, right, bottom, color});
}

void PlanSolid(std::vector<TFillRect>& out, int fill, int height, TColor start, TColor end) {
    if (fill <= 0) return;
    if (start == end) {
        Add(out, 1, 1, fill + 1, height - 1, start);
        return;
    }
    const TChannels s = ChannelsOf(start), e = ChannelsOf(end);
    TChannels d;
    for (int c = 0; c < 3; ++c) d[c] = (e[c] - s[c]) / fill;
    for (int i = 1; i <= fill; ++i) {
        TChannels v;
        for (int c = 0; c < 3; ++c) v[c] = s[c] + (i - 1) * d[c];
        Add(out, i, 1, i + 1, height - 1, ColorOf(v));
    }
}

void PlanBlocks(std::vector<TFillRect>& out, const TProgressFill& f, int height, TColor start,
                TColor end, bool gradientBlocks, TColor background) {
    const int b = f.blockWidth;
    if (f.width <= 0 || b <= 0) return;
    const int full = f.blocks - (f.partial ? 1 : 0);
    const int partialX = 1 + full * b;
    if (start == end) {
        for (int k = 0; k < full; ++k) Add(out, 1 + k * b, 1, k * b + b, height - 1, start);
        if (f.partial) Add(out, partialX, 1, partialX + f.partialWidth, height - 1, start);
    } else {
        const TChannels e = ChannelsOf(end);
        TChannels run = ChannelsOf(start), d;
        for (int c = 0; c < 3; ++c) d[c] = (e[c] - run[c]) / f.width;
        auto advance = [&](int steps) {
            for (int c = 0; c < 3; ++c) run[c] += steps * d[c];
        };
        auto columns = [&](int x, int count) {
            for (int i = 0; i < count; ++i) {
                Add(out, x + i, 1, x + i + 1, height - 1, ColorOf(run));
                advance(1);
            }
        };
        for (int k = 0; k < full; ++k) {
            if (gradientBlocks) {
                columns(1 + k * b, b - 1);
                advance(1);  // the gap column
            } else {
                Add(out, 1 + k * b, 1, k * b + b, height - 1, ColorOf(run));
                advance(b);
            }
        }
        if (f.partial) {
            if (gradientBlocks)
                columns(partialX, f.partialWidth);
            else
                Add(out, partialX, 1, partialX + f.partialWidth, height - 1, ColorOf(run));
        }
    }
    for (int k = 1; k <= full; ++k) Add(out, k * b, 1, k * b + 1, height - 1, background);
}

// One 1-pixel ring inset by `inset`: top and left in one colour, bottom and right in another.
void Ring(std::vector<TFillRect>& out, int w, int h, int inset, TColor topLeft, TColor bottomRight) {
    const int l = inset, t = inset, r = w - inset, b = h - inset;
    if (r <= l || b <= t) return;
    Add(out, l, t, r - 1, t + 1, topLeft);
    Add(out, l, t + 1, l + 1, b - 1, topLeft);
    Add(out, l, b - 1, r, b, bottomRight);
    Add(out, r - 1, t, r, b - 1, bottomRight);
}

void AppendDecimal(std::u16string& out, std::uint64_t value, int base, bool upper) {
    char16_t digits[24];
    int n = 0;
    do {
        const int d = static_cast<int>(value % base);
        digits[n++] = static_cast<char16_t>(d < 10 ? u'0' + d : (upper ? u'A' : u'a') + d - 10);
        value /= base;
    } while (value != 0);
    while (n > 0) out.push_back(digits[--n]);
}

}  // namespace

int ProgressPercent(int position, int minimum, int maximum) {
    if (maximum == minimum) return 0;
    return static_cast<int>(MulDiv64(std::int64_t(position) - minimum, 100, std::int64_t(maximum) - minimum));
}

std::optional<TProgressFill> ComputeProgressFill(int position, int minimum, int maximum, bool solid,
                                                 int width, int height) {
    if (maximum == minimum || width < 2) return std::nullopt;
    const int inner = width - 2;
    TProgressFill f;
    f.width = static_cast<int>(
        MulDiv64(std::int64_t(position) - minimum, inner, std::int64_t(maximum) - minimum));
    f.width = std::clamp(f.width, 0, inner);
    if (solid) return f;
    f.blockWidth = std::max(0, 2 * height / 3);
    const int b = f.blockWidth;
    if (b == 0) {
        f.width = 0;
        return f;
    }
    const int n = f.width / b;
    const int room = std::min(inner - n * b, b);
    if (room < 2 * (f.width % b)) {
        f.blocks = n + 1;
        if (room < b) {
            f.partial = true;
            f.partialWidth = room;
            f.width = inner;
        } else {
            f.width = b * (n + 1);
        }
    } else {
        f.blocks = n;
        f.width = n * b;
    }
    return f;
}

std::u16string FormatProgressText(std::u16string_view pattern, int value) {
    std::u16string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char16_t ch = pattern[i];
        if (ch != u'%') {
            out.push_back(ch);
            ++i;
            continue;
        }
        // %[-][0][width][.precision](d|u|x|X) or %%
        std::size_t j = i + 1;
        bool left = false, zero = false;
        while (j < pattern.size() && (pattern[j] == u'-' || pattern[j] == u'0')) {
            (pattern[j] == u'-' ? left : zero) = true;
            ++j;
        }
        int fieldWidth = 0, precision = -1;
        while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9')
            fieldWidth = std::min(fieldWidth * 10 + (pattern[j++] - u'0'), 256);
        if (j < pattern.size() && pattern[j] == u'.') {
            precision = 0;
            ++j;
            while (j < pattern.size() && pattern[j] >= u'0' && pattern[j] <= u'9')
                precision = std::min(precision * 10 + (pattern[j++] - u'0'), 256);
        }
        if (j >= pattern.size()) {
            out.append(pattern.substr(i));
            break;
        }
        const char16_t kind = pattern[j];
        if (kind == u'%' && j == i + 1) {
            out.push_back(u'%');
            i = j + 1;
            continue;
        }
        if (kind != u'd' && kind != u'u' && kind != u'x' && kind != u'X') {
            out.append(pattern.substr(i, j + 1 - i));
            i = j + 1;
            continue;
        }
        std::u16string digits;
        bool negative = false;
        if (kind == u'd') {
            negative = value < 0;
            AppendDecimal(digits, negative ? std::uint64_t(-std::int64_t(value)) : std::uint64_t(value), 10, false);
        } else {
            AppendDecimal(digits, static_cast<std::uint32_t>(value), kind == u'u' ? 10 : 16, kind == u'X');
        }
        if (precision >= 0 && int(digits.size()) < precision)
            digits.insert(0, precision - digits.size(), u'0');
        if (negative) digits.insert(0, 1, u'-');
        const int pad = fieldWidth - int(digits.size());
        if (pad > 0) {
            if (left)
                digits.append(pad, u' ');
            else if (zero && precision < 0)
                digits.insert(negative ? 1 : 0, pad, u'0');
            else
                digits.insert(0, pad, u' ');
        }
        out += digits;
        i = j + 1;
    }
    return out;
}

void ProgressTextOrigin(TTextExtent text, int width, int height, int fill, bool centered, int& x, int& y) {
    const int room = centered ? width : fill;
    x = std::max(0, (room - text.width) / 2);
    y = std::max(0, (height - text.height) / 2);
}

TGradientProgressState::TGradientProgressState()
    : startColor_(Rgb(255, 255, 255)), endColor_(Rgb(0, 0, 0)), startRgb_(startColor_), endRgb_(endColor_) {}

void TGradientProgressState::SetPosition(int value) {
    if (value == position_) return;
    const int oldPercent = Percent();
    position_ = std::clamp(value, minimum_, maximum_);
    RangeChanged(oldPercent);
}

void TGradientProgressState::SetMaximum(int value) {
    if (value == maximum_) return;
    const int oldPercent = Percent();
    // A maximum below the minimum is raised to it, and the position follows the maximum down
    // to the value stored, so the position never leaves the range.
    maximum_ = std::max(value, minimum_);
    position_ = std::min(position_, maximum_);
    RangeChanged(oldPercent);
}

void TGradientProgressState::SetMinimum(int value) {
    if (value == minimum_) return;
    const int oldPercent = Percent();
    minimum_ = std::min(value, maximum_);
    position_ = std::max(position_, minimum_);
    RangeChanged(oldPercent);
}

void TGradientProgressState::RangeChanged(int oldPercent) {
    if (ShowsPercent() && Percent() != oldPercent) changed_ = true;
    UpdateFill();
}

void TGradientProgressState::UpdateFill() {
    if (loading_) return;
    const auto fill = ComputeProgressFill(position_, minimum_, maximum_, solid_, width_, height_);
    if (fill && *fill != fill_) {
        fill_ = *fill;
        changed_ = true;
    }
}

void TGradientProgressState::SetSolid(bool value) {
    if (value == solid_) return;
    solid_ = value;
    changed_ = true;
    UpdateFill();
}

void TGradientProgressState::SetGradientBlocks(bool value) {
    if (value == gradientBlocks_) return;
    gradientBlocks_ = value;
    if (!solid_) changed_ = true;
}

void TGradientProgressState::SetStartColor(TColor color, TColor rgb) {
    if (color == startColor_) return;
    startColor_ = color;
    startRgb_ = rgb;
    changed_ = true;
}

void TGradientProgressState::SetEndColor(TColor color, TColor rgb) {
    if (color == endColor_) return;
    endColor_ = color;
    endRgb_ = rgb;
    changed_ = true;
}

void TGradientProgressState::SetTextOption(TProgressTextOption value) {
    if (value == textOption_) return;
    textOption_ = value;
    changed_ = true;
}

void TGradientProgressState::SetTextCentered(bool value) {
    if (value == textCentered_) return;
    textCentered_ = value;
    if (textOption_ != toNoText) changed_ = true;
}

void TGradientProgressState::SetBorderStyle(TProgressBorder value) {
    if (value == borderStyle_) return;
    borderStyle_ = value;
    changed_ = true;
}

void TGradientProgressState::FontChanged() {
    if (textOption_ != toNoText) changed_ = true;
}

void TGradientProgressState::CaptionChanged() {
    if (textOption_ == toCaption || textOption_ == toFormat) changed_ = true;
}

void TGradientProgressState::SetClientSize(int width, int height) {
    width_ = width;
    height_ = height;
    if (width != pictureWidth_ || height != pictureHeight_) {
        changed_ = true;
        UpdateFill();
    }
}

void TGradientProgressState::EndLoading() {
    loading_ = false;
    UpdateFill();
}

bool TGradientProgressState::TakeRedraw() {
    if (!changed_ || loading_) return false;
    changed_ = false;
    if (width_ <= 0 || height_ <= 0) return false;
    pictureWidth_ = width_;  // the off-screen bitmap takes this size now
    pictureHeight_ = height_;
    return true;
}

std::u16string TGradientProgressState::DisplayText(std::u16string_view caption) const {
    switch (textOption_) {
    case toCaption: return std::u16string(caption);
    case toFormat: return FormatProgressText(caption, Percent());
    case toPercent: return FormatProgressText(u"%d%%", Percent());
    case toNoText: break;
    }
    return {};
}

TProgressPicture TGradientProgressState::Plan(TColor color, const std::u16string& text, TTextExtent extent) {
    TProgressPicture p;
    p.width = width_;
    p.height = height_;
    if (width_ <= 0 || height_ <= 0) return p;
    // A fill kept from solid mode (an empty range stops its recomputation) has no block
    // geometry; the background then covers it rather than leave stale pixels behind.
    const bool blocksUnknown = !solid_ && fill_.blockWidth == 0;
    if (solid_)
        PlanSolid(p.body, fill_.width, height_, startRgb_, endRgb_);
    else
        PlanBlocks(p.body, fill_, height_, startRgb_, endRgb_, gradientBlocks_, color);
    const int filled = blocksUnknown ? 0 : fill_.width;
    if (filled < width_ - 2) Add(p.body, filled + 1, 1, width_ - 1, height_ - 1, color);
    if (!text.empty()) {
        p.text = text;
        ProgressTextOrigin(extent, width_, height_, fill_.width, textCentered_, p.textX, p.textY);
    }
    if (borderStyle_ == TProgressBorder::bsNone) {
        Ring(p.frame, width_, height_, 0, color, color);
    } else {
        Ring(p.frame, width_, height_, 0, kBtnFace, kBtnFace);
        Ring(p.frame, width_, height_, 1, kBtnShadow, kBtnHighlight);
        Ring(p.frame, width_, height_, 2, k3DDkShadow, kBtnFace);
    }
    return p;
}

}  // namespace qx
