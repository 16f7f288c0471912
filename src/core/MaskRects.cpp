#include "MaskRects.h"

#include <algorithm>
#include <climits>

namespace qx {

namespace {

using TRun = TMaskRun;
using TRow = TMaskRow;

// One ordering of runs for every sort of them: one copy of the sort in the program.
struct TByLeft {
    bool operator()(const TRun& a, const TRun& b) const { return a.Left < b.Left; }
};

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
    std::sort(merged.begin(), merged.end(), TByLeft{});
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

std::vector<TMaskRow> MaskRows(std::span<const std::uint8_t> mask, int width, int height) {
    std::vector<TRow> rows;
    if (width <= 0 || height <= 0 || mask.size() < static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return rows;
    rows.resize(static_cast<std::size_t>(height));
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
    return rows;
}

std::vector<TMaskRect> MaskToRects(std::span<const std::uint8_t> mask, int width, int height, std::size_t maxRects) {
    return RowsToRects(MaskRows(mask, width, height), width, maxRects);
}

std::vector<TMaskRect> RowsToRects(const std::vector<TMaskRow>& rows, int width, std::size_t maxRects) {
    std::vector<TMaskRect> rects;
    const int height = static_cast<int>(rows.size());
    if (width <= 0 || height <= 0) return rects;
    maxRects = std::max<std::size_t>(maxRects, 1);
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

std::vector<TMaskRect> UniteRects(std::vector<TMaskRect> rects) {
    std::erase_if(rects, [](const TMaskRect& r) { return r.Left >= r.Right || r.Top >= r.Bottom; });
    std::vector<TMaskRect> out;
    if (rects.empty()) return out;
    std::vector<int> edges;
    edges.reserve(rects.size() * 2);
    for (const TMaskRect& r : rects) {
        edges.push_back(r.Top);
        edges.push_back(r.Bottom);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::sort(rects.begin(), rects.end(), [](const TMaskRect& a, const TMaskRect& b) { return a.Top < b.Top; });
    // Rectangles that reach into the band being built: those started above it, less those ended.
    std::vector<const TMaskRect*> live;
    std::size_t next = 0;
    TRow band, previous;
    std::size_t previousFirst = 0;  // where the previous band's rectangles begin in out
    int previousBottom = INT_MIN;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        const int top = edges[e], bottom = edges[e + 1];
        std::erase_if(live, [top](const TMaskRect* r) { return r->Bottom <= top; });
        while (next < rects.size() && rects[next].Top <= top) live.push_back(&rects[next++]);
        band.clear();
        for (const TMaskRect* r : live) band.push_back({r->Left, r->Right});
        std::sort(band.begin(), band.end(), TByLeft{});
        TRow joined;
        for (const TRun& r : band) {
            if (!joined.empty() && r.Left <= joined.back().Right)
                joined.back().Right = std::max(joined.back().Right, r.Right);
            else
                joined.push_back(r);
        }
        if (joined.empty()) {
            previous.clear();
            previousBottom = INT_MIN;
            continue;
        }
        if (previousBottom == top && joined == previous) {
            for (std::size_t i = previousFirst; i < out.size(); ++i) out[i].Bottom = bottom;
        } else {
            previousFirst = out.size();
            for (const TRun& r : joined) out.push_back({r.Left, top, r.Right, bottom});
            previous.swap(joined);
        }
        previousBottom = bottom;
    }
    return out;
}

}  // namespace qx
