#include "core/TabOrder.h"

namespace qx {

namespace {

bool Valid(const std::vector<TTabEntry>& entries, int index) {
    return index >= 0 && index < static_cast<int>(entries.size());
}

// Steps from start by one place at a time, wrapping round, and stops at the first index
// that pass accepts; start itself is tried last.
template <class Pass>
int Walk(const std::vector<TTabEntry>& entries, int start, bool forward, Pass pass) {
    const int n = static_cast<int>(entries.size());
    for (int k = 1; k <= n; ++k) {
        const int j = ((forward ? start + k : start - k) % n + n) % n;
        if (pass(j)) return j;
    }
    return -1;
}

}  // namespace

bool IsTabStop(const std::vector<TTabEntry>& entries, int index) {
    if (!Valid(entries, index)) return false;
    const TTabEntry& e = entries[static_cast<std::size_t>(index)];
    if (!e.focusable) return false;
    if (e.group < 0) return e.tabStop;
    if (e.checked) return true;
    int first = -1;
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const TTabEntry& other = entries[static_cast<std::size_t>(i)];
        if (other.group != e.group || !other.focusable) continue;
        if (other.checked) return false;
        if (first < 0) first = i;
    }
    return first == index;
}

int NextTabStop(const std::vector<TTabEntry>& entries, int current, bool forward) {
    if (entries.empty()) return -1;
    if (!Valid(entries, current)) {
        // From outside the list: the walk starts just before the first (or after the last).
        current = forward ? -1 : static_cast<int>(entries.size());
        const int n = static_cast<int>(entries.size());
        for (int k = 1; k <= n; ++k) {
            const int j = forward ? current + k : current - k;
            if (IsTabStop(entries, j)) return j;
        }
        return -1;
    }
    const int group = entries[static_cast<std::size_t>(current)].group;
    const int next = Walk(entries, current, forward, [&](int j) {
        if (group >= 0 && entries[static_cast<std::size_t>(j)].group == group) return false;
        return IsTabStop(entries, j);
    });
    return next == current ? -1 : next;
}

int NextInGroup(const std::vector<TTabEntry>& entries, int current, bool forward) {
    if (!Valid(entries, current)) return -1;
    const int group = entries[static_cast<std::size_t>(current)].group;
    if (group < 0) return -1;
    const int next = Walk(entries, current, forward, [&](int j) {
        const TTabEntry& e = entries[static_cast<std::size_t>(j)];
        return e.group == group && e.focusable;
    });
    return next == current ? -1 : next;
}

}  // namespace qx
