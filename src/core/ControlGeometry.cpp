#include "core/ControlGeometry.h"

#include "core/MulDiv.h"

#include <algorithm>

namespace qx {

int ScrollZoneAt(const TScrollMetrics& bar, int p) {
    if (p < bar.ArrowSize) return szFirstArrow;
    if (p < bar.ThumbStart) return szPageBefore;
    if (p < bar.ThumbEnd) return szThumb;
    if (p < bar.Length - bar.ArrowSize) return szPageAfter;
    return szSecondArrow;
}

int ScrollArrowLength(int length, int arrowSize) {
    length = std::max(length, 0);
    arrowSize = std::max(arrowSize, 0);
    return length < 2 * arrowSize ? length / 2 : arrowSize;
}

TThumbSpan ControlThumb(int length, int arrowSize, int min, int max, int page, int pos) {
    const int a = ScrollArrowLength(length, arrowSize);
    const int track = length - 2 * a;
    if (track <= 0) return {a, a};
    const std::int64_t span = static_cast<std::int64_t>(max) - min;
    const std::int64_t offset = static_cast<std::int64_t>(pos) - min;
    int thumb = 0, start = a;
    if (page > 0) {
        thumb = span > 0 ? static_cast<int>(MulDiv64(track, page - 1, span)) : track;
        if (span > 0 && offset != 0) start = a + static_cast<int>(MulDiv64(track, offset, span));
    } else {
        thumb = a;
        if (span > 0 && offset != 0) start = a + static_cast<int>(MulDiv64(track - a, offset, span));
    }
    thumb = std::clamp(thumb, 0, track);
    start = std::clamp(start, a, length - a - thumb);
    return {start, start + thumb};
}

int DraggedThumbStart(int downThumbStart, int travel, int thumbLength, int length, int arrowSize) {
    const int low = arrowSize;
    const int high = std::max(low, length - arrowSize - thumbLength);
    const std::int64_t start = static_cast<std::int64_t>(downThumbStart) + travel;
    return static_cast<int>(std::clamp<std::int64_t>(start, low, high));
}

int ProgressFillWidth(int width, int pos, int max) {
    if (width <= 0 || pos <= 0 || max <= 0) return 0;
    return static_cast<int>(std::min<std::int64_t>(MulDiv64(width, pos, max), width));
}

TChunkLayout ChunkLayout(int fill, int barHeight, int chunkWidth, int chunkHeight) {
    TChunkLayout out;
    if (fill <= 0) return out;
    // A chunk image without width repeats nothing; one copy stretched over the fill is drawn.
    out.Copies = chunkWidth > 0 ? fill / chunkWidth + 1 : 0;
    out.Y = (barHeight - std::max(chunkHeight, 0)) / 2;
    out.Height = std::max(barHeight - 4, 0);
    return out;
}

int EqualCellWidth(int width, int count) { return count > 0 && width > 0 ? width / count : 0; }

int EqualCellAt(int width, int count, int x) {
    const int w = EqualCellWidth(width, count);
    if (w <= 0 || x < 0) return -1;
    const int cell = x / w;
    return cell < count ? cell : -1;
}

}  // namespace qx
