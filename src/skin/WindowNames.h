// Names of windows as the skinning rules compare them.
#pragma once
#include <windows.h>

#include <string>

namespace qx {

// The window's class name (characters outside ASCII as '?').
std::string WindowClassName(HWND window);
std::string LowerAscii(std::string text);

}  // namespace qx
