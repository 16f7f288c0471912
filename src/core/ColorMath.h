// Colour values as the layout stores them (0x00BBGGRR, system colours as 0xFF000000 + index,
// "no colour" as a sentinel), the channel arithmetic that the self-painting controls share, and
// the skin engine's mixing, gradient tables and saturation (system colours resolved by the callers).
#pragma once
#include <array>
#include <cstdint>
#include <vector>

namespace qx {

// The same type as the window framework's colour.
using TColor = std::int32_t;

inline constexpr TColor kColorNone = 0x1FFFFFFF;  // "no colour": the layout's clNone
inline constexpr TColor kSystemColorFlag = static_cast<TColor>(0xFF000000u);

constexpr TColor Rgb(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }
constexpr bool IsSystemColor(TColor c) { return (c & kSystemColorFlag) == kSystemColorFlag; }
constexpr TColor SystemColor(int index) { return kSystemColorFlag | static_cast<TColor>(index & 0xFF); }

// 0xAARRGGBB with red, green and blue multiplied by alpha (rounded to the nearest), as
// premultiplied 32-bit pictures hold their pixels.
constexpr std::uint32_t PremultipliedArgb(std::uint32_t argb) {
    const std::uint32_t a = argb >> 24;
    if (a == 255) return argb;
    auto channel = [a](std::uint32_t c) { return (c * a + 127) / 255; };
    return (a << 24) | (channel((argb >> 16) & 0xFF) << 16) | (channel((argb >> 8) & 0xFF) << 8) |
           channel(argb & 0xFF);
}

// Nearest integer, ties to the even neighbour, whatever the floating-point environment says.
int RoundHalfEven(double value);

// One channel value rounded half to even and held within 0..255.
int ChannelFromDouble(double value);

using TRgb = std::uint32_t;  // 0x00BBGGRR

// Mixes a and b channel by channel. A weight below 100 is a percentage of a; from 100 on it
// is in thousandths of a (150: 15 % a, 85 % b). Each channel keeps its low eight bits.
TRgb BlendRgb(TRgb a, TRgb b, int weight);

// (max - min) / max of the channels scaled to 0..255; 200 for a colour whose channels are all
// below 160, so that dark colours count as saturated.
int RgbSaturation(TRgb color);

// count colours from first to last (count 1: the colour half-way); empty for count < 1.
std::vector<TRgb> GradientRamp(int count, TRgb first, TRgb last);

// The 16 most recent gradient tables, reused when the same count and end colours are asked
// again; new tables overwrite the slots round robin.
class TGradientCache {
public:
    static constexpr int SlotCount = 16;
    // Index of a slot holding count colours from first to last; -1 for count < 1.
    int Colors(int count, TRgb first, TRgb last);
    const std::vector<TRgb>& Slot(int index) const { return slots_.at(static_cast<std::size_t>(index)); }
    // How many tables have been computed (lets callers see that a slot was reused).
    long Fills() const { return fills_; }

private:
    struct TKey {
        int count = 0;
        TRgb first = 0, last = 0;
    };
    std::array<std::vector<TRgb>, SlotCount> slots_{};
    // What each slot was asked for: the table's own ends differ from the request for a count of
    // 1 and for falling channels (rounding toward zero), which would defeat matching on them.
    std::array<TKey, SlotCount> keys_{};
    int next_ = 0;
    long fills_ = 0;
};

// The cache the painting code shares (main thread only).
TGradientCache& SharedGradientCache();

}  // namespace qx
