#include "DisplayScale.h"

#include "MulDiv.h"

#include <cstdint>
#include <limits>

namespace qx {

namespace {

int Clamped(std::int64_t v) {
    // A hostile layout or skin may give values near the integer limits; saturate instead of
    // wrapping so that a huge size stays huge and is refused downstream.
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    if (v < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
    return static_cast<int>(v);
}

}  // namespace

TDisplayScale::TDisplayScale(int dpi) : Dpi_(dpi > 0 ? dpi : BaseDpi) {}

int TDisplayScale::Apply(int value) const {
    if (Dpi_ == BaseDpi) return value;
    return Clamped(MulDiv64(value, Dpi_, BaseDpi));
}

TScaledRect TDisplayScale::Apply(const TScaledRect& r) const {
    return {Apply(r.Left), Apply(r.Top), Apply(r.Right), Apply(r.Bottom)};
}

int TDisplayScale::Extent(int origin, int extent) const {
    const std::int64_t end = static_cast<std::int64_t>(origin) + extent;
    const std::int64_t scaledEnd = MulDiv64(end, Dpi_, BaseDpi);
    return Clamped(scaledEnd - Apply(origin));
}

int TDisplayScale::Unapply(int value) const {
    if (Dpi_ == BaseDpi) return value;
    return Clamped(MulDiv64(value, BaseDpi, Dpi_));
}

int ScaleForDpi(int value, int dpi) { return TDisplayScale(dpi).Apply(value); }

}  // namespace qx
