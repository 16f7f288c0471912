#include "WindowDpi.h"

namespace qx {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();

// Looked up at run time: the program also runs on systems whose USER32 lacks them, and a
// static import of a missing function would stop it from loading at all.
template <class F>
F User32Function(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (!user32) return nullptr;
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(user32, name)));
}

int DeviceDpi(HWND window) {
    const HDC dc = GetDC(window);
    if (!dc) return BaseDpi;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi > 0 ? dpi : BaseDpi;
}

}  // namespace

int WindowDpi(HWND window) {
    static const auto getDpiForWindow = User32Function<TGetDpiForWindow>("GetDpiForWindow");
    if (window && getDpiForWindow) {
        const UINT dpi = getDpiForWindow(window);
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return DeviceDpi(window);
}

int SystemDpi() {
    static const auto getDpiForSystem = User32Function<TGetDpiForSystem>("GetDpiForSystem");
    if (getDpiForSystem) {
        const UINT dpi = getDpiForSystem();
        if (dpi > 0) return static_cast<int>(dpi);
    }
    return DeviceDpi(nullptr);
}

}  // namespace qx
