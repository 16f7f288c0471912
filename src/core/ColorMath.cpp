#include "ColorMath.h"

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

}  // namespace qx
