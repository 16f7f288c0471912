// The skinner families of the controls beyond the button family and panels: progress and
// status bars, group boxes, scroll bars, list views, combo boxes, edits, spin buttons, track
// bars, tabs, headers, size boxes, media players, glyph toggles and advanced page controls.
// A program that shows such controls registers them once before skinning starts; one that
// does not (the installer) keeps them out of its binary.
#pragma once

namespace qx {

void RegisterControlSkinnerFamilies();

}  // namespace qx
