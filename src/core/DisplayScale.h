// One display scale per window: layouts are written for 96 dpi and every position, size and
// font height read from them is multiplied by dpi / 96 through this one rule, so that all
// parts of a window agree to the pixel.
#pragma once

namespace qx {

// The dpi at which layouts and skins are drawn: scale 100 %.
constexpr int BaseDpi = 96;

// A rectangle by its edges, as layouts and skins give them.
struct TScaledRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool operator==(const TScaledRect&) const = default;
};

class TDisplayScale {
public:
    // A dpi of 0 or less (a platform call that failed) is taken as the base dpi.
    constexpr TDisplayScale() = default;
    explicit TDisplayScale(int dpi);

    int Dpi() const { return Dpi_; }
    bool IsIdentity() const { return Dpi_ == BaseDpi; }

    // value * dpi / 96, rounded to the nearest integer, halves away from zero.
    int Apply(int value) const;
    // Both edges scaled by the rule: rectangles that meet at 96 dpi still meet.
    TScaledRect Apply(const TScaledRect& r) const;
    // The scaled extent of a span that starts at origin: the distance between its scaled
    // edges, so that a control placed by (origin, extent) lines up with its neighbours.
    int Extent(int origin, int extent) const;
    // The 96-dpi value of a scaled one (value * 96 / dpi, same rounding): for reading back a
    // size the user or the platform gave at this scale.
    int Unapply(int value) const;

    bool operator==(const TDisplayScale&) const = default;

private:
    int Dpi_ = BaseDpi;
};

// value * dpi / 96 with the rule above; the shorthand for callers that hold only a dpi.
int ScaleForDpi(int value, int dpi);

}  // namespace qx
