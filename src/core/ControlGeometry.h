// The arithmetic of skinned controls, apart from drawing so that each rule is tested natively:
// scroll bar zones, thumbs and thumb dragging, progress fills and chunk strips, and the equal
// cells of button bars. Every division here guards its divisor: a skin or a control can hand
// it zeros, and the platform's MulDiv answers -1 for them.
#pragma once
#include <cstdint>

namespace qx {

// Parts of a scroll bar along its axis, numbered like the platform's scroll request codes.
enum TScrollZone : int {
    szNone = -1,
    szFirstArrow = 0,   // up or left
    szSecondArrow = 1,  // down or right
    szPageBefore = 2,
    szPageAfter = 3,
    szThumb = 5,
};

// One scroll bar along its axis: its length, the arrow size and the thumb's extent, all in
// pixels from the bar's start.
struct TScrollMetrics {
    int Length = 0;
    int ArrowSize = 0;
    int ThumbStart = 0;
    int ThumbEnd = 0;
};

// The zone at position p along the axis.
int ScrollZoneAt(const TScrollMetrics& bar, int p);

// The length of each arrow: the arrow size, or half the bar when the bar is shorter than two
// arrows (never negative).
int ScrollArrowLength(int length, int arrowSize);

struct TThumbSpan {
    int Start = 0;
    int End = 0;
};

// The thumb of a stand-alone scroll bar control from its scroll information. A range of 0
// (min equal to max) puts a thumb of the usual size at the first arrow instead of dividing by
// it; the thumb never leaves the track.
TThumbSpan ControlThumb(int length, int arrowSize, int min, int max, int page, int pos);

// Where a dragged thumb starts: the start it had at the press moved by the cursor's travel,
// held between the two arrows.
int DraggedThumbStart(int downThumbStart, int travel, int thumbLength, int length, int arrowSize);

// The filled width of a progress bar of the given width: width * pos / max, where the lower
// limit of the range plays no part. Nothing is filled for a position or maximum of 0 or
// less, and never more than the width.
int ProgressFillWidth(int width, int pos, int max);

// How the chunk style lays its chunks over the filled part of a progress bar.
struct TChunkLayout {
    int Copies = 0;  // chunk pictures side by side in the strip
    int Y = 0;       // top of the strip, centred in the bar
    int Height = 0;  // picture height for the stretched form (never negative)
};
// fill is the filled width, barHeight the bar's height; chunkWidth and chunkHeight the chunk
// image's size (a skin can leave them 0).
TChunkLayout ChunkLayout(int fill, int barHeight, int chunkWidth, int chunkHeight);

// The width of each of count equal cells across width (0 when there are none).
int EqualCellWidth(int width, int count);
// The cell under x, or -1 outside all of them.
int EqualCellAt(int width, int count, int x);

}  // namespace qx
