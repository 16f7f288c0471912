#include "SliceRuns.h"

#include <algorithm>

namespace qx {

namespace {

// Adds [left, right) at the end of row, joined to the last run when they touch.
void Append(TMaskRow& row, int left, int right) {
    if (left >= right) return;
    if (!row.empty() && left <= row.back().Right)
        row.back().Right = std::max(row.back().Right, right);
    else
        row.push_back({left, right});
}

// The runs of source clipped to [from, to), moved by shift.
void CopyRuns(const TMaskRow& source, int from, int to, int shift, TMaskRow& out) {
    for (const TMaskRun& r : source) {
        if (r.Right <= from) continue;
        if (r.Left >= to) break;
        Append(out, std::max(r.Left, from) + shift, std::min(r.Right, to) + shift);
    }
}

bool Regular(const TSliceAxis& a) {
    if (a.Target <= 0 || a.Source <= 0 || a.Head < 0 || a.Tail < 0) return false;
    if (a.Head + a.Tail > a.Target || a.Head + a.Tail > a.Source) return false;
    const int middle = a.Target - a.Head - a.Tail, source = a.Source - a.Head - a.Tail;
    if (a.Stretch.empty()) return middle == source || middle == 0 || source == 0;
    if (static_cast<int>(a.Stretch.size()) != middle) return false;
    for (std::size_t i = 0; i < a.Stretch.size(); ++i) {
        if (a.Stretch[i] < 0 || a.Stretch[i] >= source) return false;
        if (i > 0 && a.Stretch[i] < a.Stretch[i - 1]) return false;
    }
    return true;
}

// The middle pixel of the source a stretched middle's pixel i shows.
int Stretched(const TSliceAxis& a, int i) { return a.Stretch.empty() ? i : a.Stretch[static_cast<std::size_t>(i)]; }

// One target row: its head and tail from edge (the frame row the side pieces show), its
// middle from middle (the frame row the middle shows), stretched or tiled.
void PlaceRow(const TMaskRow& edge, const TMaskRow& middle, const TSliceAxis& x, bool tiled, TMaskRow& out) {
    out.clear();
    const int sourceEnd = x.Source - x.Tail, targetEnd = x.Target - x.Tail;
    const int width = sourceEnd - x.Head;
    CopyRuns(edge, 0, x.Head, 0, out);
    if (targetEnd > x.Head) {
        if (width <= 0) {
            Append(out, x.Head, targetEnd);  // nothing drawn there
        } else if (tiled) {
            for (int start = x.Head; start < targetEnd; start += width)
                for (const TMaskRun& r : middle) {
                    if (r.Right <= x.Head) continue;
                    if (r.Left >= sourceEnd) break;
                    const int left = std::max(r.Left, x.Head) - x.Head + start;
                    if (left >= targetEnd) break;
                    Append(out, left, std::min(std::min(r.Right, sourceEnd) - x.Head + start, targetEnd));
                }
        } else if (x.Stretch.empty()) {
            CopyRuns(middle, x.Head, sourceEnd, 0, out);
        } else {
            // A run of the middle shows on the target pixels that pick one of its pixels: the
            // map ascends, so they are one stretch of the target.
            for (const TMaskRun& r : middle) {
                if (r.Right <= x.Head) continue;
                if (r.Left >= sourceEnd) break;
                const int a = std::max(r.Left, x.Head) - x.Head, b = std::min(r.Right, sourceEnd) - x.Head;
                const auto from = std::lower_bound(x.Stretch.begin(), x.Stretch.end(), a);
                const auto to = std::lower_bound(from, x.Stretch.end(), b);
                Append(out, x.Head + static_cast<int>(from - x.Stretch.begin()),
                       x.Head + static_cast<int>(to - x.Stretch.begin()));
            }
        }
    }
    CopyRuns(edge, sourceEnd, x.Source, x.Target - x.Source, out);
}

}  // namespace

std::optional<std::vector<TMaskRow>> PlaceSlices(const std::vector<TMaskRow>& rows, const TSliceAxis& x,
                                                 const TSliceAxis& y, bool tiledMiddle) {
    if (!Regular(x) || !Regular(y) || static_cast<int>(rows.size()) != y.Source) return std::nullopt;
    std::vector<TMaskRow> out(static_cast<std::size_t>(y.Target));
    const int sourceEnd = y.Source - y.Tail, targetEnd = y.Target - y.Tail;
    const int height = sourceEnd - y.Head;
    // Rows that show the same frame rows come out the same: each is placed once.
    int lastEdge = -1, lastMiddle = -1;
    bool lastTiled = false;
    for (int t = 0; t < y.Target; ++t) {
        TMaskRow& row = out[static_cast<std::size_t>(t)];
        int edge = 0, middle = 0;
        bool tiled = false;
        if (t < y.Head) {
            edge = middle = t;
        } else if (t >= targetEnd) {
            edge = middle = t - targetEnd + sourceEnd;
        } else if (height <= 0) {
            row.push_back({0, x.Target});  // nothing drawn on these rows
            lastEdge = -1;
            continue;
        } else {
            edge = y.Head + Stretched(y, t - y.Head);
            middle = tiledMiddle ? y.Head + (t - y.Head) % height : edge;
            tiled = tiledMiddle;
        }
        if (edge == lastEdge && middle == lastMiddle && tiled == lastTiled) {
            row = out[static_cast<std::size_t>(t - 1)];
            continue;
        }
        // The top and bottom edges stretch their middle even when the centre is tiled.
        PlaceRow(rows[static_cast<std::size_t>(edge)], rows[static_cast<std::size_t>(middle)], x, tiled, row);
        lastEdge = edge;
        lastMiddle = middle;
        lastTiled = tiled;
    }
    return out;
}

}  // namespace qx
