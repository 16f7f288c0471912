#include "core/MenuBarLayout.h"

namespace qx {

namespace {
constexpr int kItemPadding = 10;
constexpr int kGapAfterMargin = 4;
constexpr int kGapAfterMarginRtl = 8;
constexpr int kGapWithoutElement = 6;
constexpr int kNarrowBandOffset = 12;
}  // namespace

int MenuBarFirstOffset(bool hasBarElement, int marginLeft, int marginRight, int bandWidth, bool rightToLeft, int dpi) {
    if (!hasBarElement) return ScaleForDpi(kGapWithoutElement, dpi);
    const int offset = rightToLeft ? marginRight + ScaleForDpi(kGapAfterMarginRtl, dpi)
                                   : marginLeft + ScaleForDpi(kGapAfterMargin, dpi);
    return bandWidth < offset ? ScaleForDpi(kNarrowBandOffset, dpi) : offset;
}

std::vector<TBarRect> LayoutMenuBar(const std::vector<TBarItem>& items, const TBarBand& band) {
    std::vector<TBarRect> rects(items.size());
    int advance = band.FirstOffset;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const TBarItem& item = items[i];
        if (!item.Visible || !item.HasCaption) continue;
        const int width = item.TextWidth + ScaleForDpi(kItemPadding, band.Dpi);
        TBarRect& r = rects[i];
        r.Top = band.Top;
        r.Bottom = band.Bottom - 1;
        if (band.RightToLeft) {
            r.Right = band.Right - advance;
            r.Left = r.Right - width;
        } else {
            r.Left = band.Left + advance;
            r.Right = r.Left + width;
        }
        advance += width;
    }
    return rects;
}

int MenuBarItemAt(const std::vector<TBarRect>& rects, const std::vector<TBarItem>& items, int x, int y) {
    for (std::size_t i = 0; i < rects.size() && i < items.size(); ++i)
        if (items[i].HasCaption && items[i].Visible && rects[i].Contains(x, y)) return static_cast<int>(i);
    return -1;
}

int MenuBarNeighbour(const std::vector<bool>& canOpen, int from, int step) {
    const int n = static_cast<int>(canOpen.size());
    if (n == 0 || (step != 1 && step != -1)) return -1;
    int i = from;
    if (i < 0 || i >= n) i = step > 0 ? -1 : n;
    for (int tried = 0; tried < n; ++tried) {
        i = ((i + step) % n + n) % n;
        if (canOpen[static_cast<std::size_t>(i)]) return i;
    }
    return -1;
}

}  // namespace qx
