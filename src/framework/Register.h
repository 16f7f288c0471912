#pragma once
namespace qx {
// Makes the framework's own classes known to the layout reader (idempotent).
void RegisterFrameworkClasses();
// The controls over the platform's common controls as well (progress, status, spin, track,
// header, list view, edit, memo, combo box, scroll bar and box, group boxes, glyph toggles,
// tabs and pages, media player). Programs whose layouts name them call it; a program that
// does not (the installer) keeps them out of its binary.
void RegisterCommonControlClasses();
}  // namespace qx
