#pragma once
namespace qx {
// Makes the skin engine's components known to the layout reader and lets the skin manager
// follow the skin data components (idempotent).
void RegisterSkinClasses();
}  // namespace qx
