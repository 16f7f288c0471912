// Where the keyboard moves the focus in a window: the next tab stop in tab order, where a
// group of radio buttons is a single stop, and the next button of a radio group for the
// arrow keys. Pure rules over the window's controls listed in tab order.
#pragma once
#include <vector>

namespace qx {

// One control of a window, in tab order.
struct TTabEntry {
    bool focusable = false;  // visible and enabled: it can take the focus
    bool tabStop = false;    // its own tab-stop switch (not consulted for radio buttons)
    int group = -1;          // radio group (the buttons sharing a parent); -1: not a radio button
    bool checked = false;    // radio buttons: checked
};

// A radio group is one stop: its checked button, or while none that can take the focus is
// checked, its first button in tab order that can. Any other control is a stop when it can
// take the focus and its switch is on.
bool IsTabStop(const std::vector<TTabEntry>& entries, int index);

// The stop that Tab (forward) or Shift+Tab reaches from current (-1: from outside the list,
// to the first or the last stop), wrapping round; leaving a radio group skips its other
// buttons. -1 when there is no other stop to go to.
int NextTabStop(const std::vector<TTabEntry>& entries, int current, bool forward);

// The button of current's radio group that an arrow key reaches (next or previous in tab
// order, wrapping round, skipping those that cannot take the focus); -1 when current is not
// a radio button or is alone.
int NextInGroup(const std::vector<TTabEntry>& entries, int current, bool forward);

}  // namespace qx
