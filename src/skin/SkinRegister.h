#pragma once
namespace qx {
// Makes the skin engine's components known to the layout reader (idempotent).
void RegisterSkinClasses();
}  // namespace qx
