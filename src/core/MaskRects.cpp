#include "MaskRects.h"

#include <algorithm>

namespace qx {

namespace {

struct TRun {
    int Left, Right;
    bool operator==(const TRun&) const = default;
};
using TRow = std::vector<TRun>;

// Runs separated by at most gap transparent pixels become one.
void Join(const TRow& row, int gap, TRow& out) {
    out.clear();
    for (const TRun& r : row) {
        if (!out.empty() && r.Left - out.back().Right <= gap)
            out.back().Right = r.Right;
        else
            out.push_back(r);
    }
}

// The rows of strip y0..y1 as one: the union of their runs, then joined by gap.
void Strip(const std::vector<TRow>& rows, int y0, int y1, int gap, TRow& merged, TRow& out) {
    merged.clear();
    for (int y = y0; y < y1; ++y) merged.insert(merged.end(), rows[y].begin(), rows[y].end());
    std::sort(merged.begin(), merged.end(), [](const TRun& a, const TRun& b) { return a.Left < b.Left; });
    out.clear();
    for (const TRun& r : merged) {
        if (!out.empty() && r.Left - out.back().Right <= gap)
            out.back().Right = std::max(out.back().Right, r.Right);
        else
            out.push_back(r);
    }
}

// Walks the bands of the shape simplified by (gap, rowsPerStrip); emit(top, bottom, runs) gets
// each band. Stops early, returning false, once more than limit rectangles were seen.
template <class Emit>
bool Bands(const std::vector<TRow>& rows, int gap, int rowsPerStrip, std::size_t limit, Emit emit) {
    const int height = static_cast<int>(rows.size());
    TRow band, next, merged;
    int bandTop = 0;
    std::size_t count = 0;
    bool open = false;
    for (int y = 0; y < height; y += rowsPerStrip) {
        const int y1 = std::min(height, y + rowsPerStrip);
        if (rowsPerStrip == 1)
            Join(rows[y], gap, next);
        else
            Strip(rows, y, y1, gap, merged, next);
        if (open && next == band) continue;
        if (open && !band.empty()) {
            count += band.size();
            if (count > limit) return false;
            emit(bandTop, y, band);
        }
        band.swap(next);
        bandTop = y;
        open = true;
    }
    if (open && !band.empty()) {
        count += band.size();
        if (count > limit) return false;
        emit(bandTop, height, band);
    }
    return true;
}

}  // namespace

std::vector<TMaskRect> MaskToRects(std::span<const std::uint8_t> mask, int width, int height, std::size_t maxRects) {
    std::vector<TMaskRect> rects;
    if (width <= 0 || height <= 0 || mask.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return rects;
    maxRects = std::max<std::size_t>(maxRects, 1);
    std::vector<TRow> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* p = mask.data() + static_cast<std::size_t>(y) * width;
        for (int x = 0; x < width;) {
            while (x < width && !p[x]) ++x;
            if (x == width) break;
            const int start = x;
            while (x < width && p[x]) ++x;
            rows[y].push_back({start, x});
        }
    }
    auto collect = [&rects](int top, int bottom, const TRow& runs) {
        for (const TRun& r : runs) rects.push_back({r.Left, top, r.Right, bottom});
    };
    // Gaps are filled, narrowest first, until the shape fits; then rows go together, every
    // row of a strip holding the union of their runs. One row per strip with every gap filled
    // leaves at most one rectangle a row; rows as tall as the picture leave one.
    for (int rowsPerStrip = 1;; rowsPerStrip = std::min(height, rowsPerStrip * 2)) {
        for (int gap = 0;; gap = std::min(width, gap * 2 + 1)) {
            rects.clear();
            if (Bands(rows, gap, rowsPerStrip, maxRects, collect)) return rects;
            if (gap == width) break;
        }
        if (rowsPerStrip == height) break;
    }
    rects.clear();
    return rects;  // not reached: one strip of one run is a single rectangle
}

}  // namespace qx
