#include "ColorMath.h"

#include <algorithm>
#include <cmath>

namespace qx {

int RoundHalfEven(double value) {
    const double floor = std::floor(value);
    const double rest = value - floor;
    int result = static_cast<int>(floor);
    if (rest > 0.5 || (rest == 0.5 && (result & 1) != 0)) ++result;
    return result;
}

int ChannelFromDouble(double value) {
    if (!(value > 0)) return 0;  // NaN too
    if (value >= 255) return 255;
    return RoundHalfEven(value);
}

namespace {
int Channel(TRgb c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }
}  // namespace

TRgb BlendRgb(TRgb a, TRgb b, int weight) {
    const std::int64_t scale = weight < 100 ? 100 : 1000;
    TRgb result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        std::int64_t v = (static_cast<std::int64_t>(Channel(a, shift)) * weight +
                          static_cast<std::int64_t>(Channel(b, shift)) * (scale - weight) + scale / 2) /
                         scale;
        result |= (static_cast<TRgb>(v) & 0xFF) << shift;
    }
    return result;
}

int RgbSaturation(TRgb color) {
    int r = Channel(color, 0), g = Channel(color, 8), b = Channel(color, 16);
    if (r < 160 && g < 160 && b < 160) return 200;
    int mx = std::max({r, g, b}), mn = std::min({r, g, b});
    double s = mx == 0 ? 0.0 : static_cast<double>(mx - mn) / mx;
    return static_cast<int>(std::lround(s * 255.0));
}

std::vector<TRgb> GradientRamp(int count, TRgb first, TRgb last) {
    std::vector<TRgb> ramp;
    if (count < 1) return ramp;
    ramp.resize(static_cast<std::size_t>(count));
    const int d = count - 1;
    for (int i = 0; i < count; ++i) {
        TRgb c = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
            int f = Channel(first, shift), delta = Channel(last, shift) - f;
            int v = d == 0 ? f + delta / 2 : f + (d / 2 + i * delta) / d;
            c |= static_cast<TRgb>(v & 0xFF) << shift;
        }
        ramp[static_cast<std::size_t>(i)] = c;
    }
    return ramp;
}

int TGradientCache::Colors(int count, TRgb first, TRgb last) {
    if (count < 1) return -1;
    for (int i = SlotCount - 1; i >= 0; --i) {
        const TKey& k = keys_[static_cast<std::size_t>(i)];
        if (k.count == count && k.first == first && k.last == last) return i;
    }
    int slot = next_;
    next_ = (next_ + 1) % SlotCount;
    slots_[static_cast<std::size_t>(slot)] = GradientRamp(count, first, last);
    keys_[static_cast<std::size_t>(slot)] = {count, first, last};
    ++fills_;
    return slot;
}

TGradientCache& SharedGradientCache() {
    static TGradientCache cache;
    return cache;
}

}  // namespace qx
