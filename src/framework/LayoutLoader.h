// Creates a form's components from its stored layout: each object by its class name, in
// stored order, with its published properties set by name; Loaded is called on every
// component once the whole layout has been read.
#pragma once
#include "core/Layout.h"
#include "framework/Component.h"

#include <span>

namespace qx {

// Reads the layout into root, whose class must be the layout's root class. Throws
// ELayoutError naming the object and property at fault.
void LoadLayout(TComponent* root, std::span<const std::uint8_t> data);
// The same from an RCDATA resource of the program.
void LoadLayoutResource(TComponent* root, const wchar_t* resourceName);

}  // namespace qx
