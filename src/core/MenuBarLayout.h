// The arithmetic of a skinned menu bar: where its items sit in the band under the caption,
// which item a point is on, and which item comes next when the keyboard moves along the bar.
// No drawing and no window here.
#pragma once
#include "core/DisplayScale.h"

#include <vector>

namespace qx {

struct TBarRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    bool Empty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
};

// One item of the bar as the layout sees it.
struct TBarItem {
    int TextWidth = 0;   // the caption's width in the menu font
    bool Visible = true;
    bool HasCaption = true;
};

// The band under the caption, in window coordinates, and how it starts.
struct TBarBand {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int FirstOffset = 6;  // from the band's leading edge to the first item
    bool RightToLeft = false;
    int Dpi = BaseDpi;  // the window's: the room around each caption grows with it
};

// Where the first item starts: after the bar element's leading margin (and a gap), or a fixed
// gap without a bar element; a band too narrow for that starts at 12. The margins come scaled;
// the gaps are scaled to dpi here.
int MenuBarFirstOffset(bool hasBarElement, int marginLeft, int marginRight, int bandWidth, bool rightToLeft,
                       int dpi = BaseDpi);

// The items' rectangles in window coordinates, in item order. An item is as wide as its text
// plus 10 (at the band's dpi); hidden items and items without a caption take no room (an empty rectangle). Items
// run from the leading edge: left to right, or right to left for a right-to-left bar.
std::vector<TBarRect> LayoutMenuBar(const std::vector<TBarItem>& items, const TBarBand& band);

// The item under a point (window coordinates), or -1. Items without a caption are never found.
int MenuBarItemAt(const std::vector<TBarRect>& rects, const std::vector<TBarItem>& items, int x, int y);

// The next (step +1) or previous (step -1) item that can open, wrapping at both ends; -1 when
// no item can. from may be -1 (then the first or last such item).
int MenuBarNeighbour(const std::vector<bool>& canOpen, int from, int step);

}  // namespace qx
