#pragma once
namespace qx {
// Makes the skin engine's components known to the layout reader, with the framework's own
// classes that a skinned layout is made of, and lets the skin manager follow the skin data
// components (idempotent).
void RegisterSkinClasses();
}  // namespace qx
