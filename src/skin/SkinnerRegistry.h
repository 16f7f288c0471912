// The skinner registry: which skinner serves which kind of control. Every kind the control
// dispatch knows is a row here; a family of skinners registers the factories of its kinds, and
// a kind whose family is not registered dispatches to nothing.
#pragma once
#include "skin/SkinnerKind.h"

#include <windows.h>

namespace qx {

class TControl;
class TSkinControl;
class TControlSkinnerHost;

// Makes a skinner of one kind for a framework control (control set) or a raw window (window
// set), gives it to the skin manager and attaches it to form; null when it could not.
using TSkinnerFactory = TSkinControl* (*)(TControlSkinnerHost& form, TControl* control, HWND window, bool ownColor);

void RegisterSkinnerFactory(TSkinnerKind kind, TSkinnerFactory factory);
// Whether a skinner of this kind exists in the program.
bool HasSkinner(TSkinnerKind kind);
TSkinControl* MakeSkinner(TSkinnerKind kind, TControlSkinnerHost& form, TControl* control, bool ownColor);
TSkinControl* MakeWindowSkinner(TSkinnerKind kind, TControlSkinnerHost& form, HWND window);

// The button family and panels are registered once, before the first dispatch; the other
// control families come with RegisterControlSkinnerFamilies (ControlSkinnerFamilies.h).
void RegisterBuiltInSkinners();

}  // namespace qx
