// Colour values as the layout stores them (0x00BBGGRR, system colours as 0xFF000000 + index,
// "no colour" as a sentinel) and the channel arithmetic that the self-painting controls share.
#pragma once
#include <cstdint>

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

// Nearest integer, ties to the even neighbour, whatever the floating-point environment says.
int RoundHalfEven(double value);

// One channel value rounded half to even and held within 0..255.
int ChannelFromDouble(double value);

}  // namespace qx
