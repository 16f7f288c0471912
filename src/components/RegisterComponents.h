#pragma once
namespace qx {
// Makes the self-painting components (and, when GDI+ starts, the GDI+ picture classes)
// known to the layout reader. Idempotent.
void RegisterComponentClasses();
}  // namespace qx
