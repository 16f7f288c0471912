#pragma once
namespace qx {
// Makes the framework's own classes known to the layout reader (idempotent).
void RegisterFrameworkClasses();
}  // namespace qx
