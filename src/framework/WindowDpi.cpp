#include "WindowDpi.h"

#include <cstddef>
#include <initializer_list>

namespace qx {

namespace {

using TGetDpiForWindow = UINT(WINAPI*)(HWND);
using TGetDpiForSystem = UINT(WINAPI*)();
using TSystemParametersInfoForDpi = BOOL(WINAPI*)(UINT, UINT, PVOID, UINT, UINT);
using TGetSystemMetricsForDpi = int(WINAPI*)(int, UINT);

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

void ScaleFontHeight(LOGFONTW& font, int toDpi, int fromDpi) { font.lfHeight = ScaleBetween(font.lfHeight, toDpi, fromDpi); }

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

bool NonClientMetricsAt(int dpi, NONCLIENTMETRICSW& metrics) {
    static const auto forDpi = User32Function<TSystemParametersInfoForDpi>("SystemParametersInfoForDpi");
    if (dpi <= 0) dpi = SystemDpi();
    metrics = NONCLIENTMETRICSW{};
    if (forDpi) {
        metrics.cbSize = sizeof metrics;
        if (forDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, static_cast<UINT>(dpi))) return true;
        metrics = NONCLIENTMETRICSW{};
    }
    // The size without the padded-border field, which every system version accepts.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return false;
    const int system = SystemDpi();
    if (dpi != system) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont})
            ScaleFontHeight(*font, dpi, system);
        metrics.iCaptionHeight = ScaleBetween(metrics.iCaptionHeight, dpi, system);
        metrics.iCaptionWidth = ScaleBetween(metrics.iCaptionWidth, dpi, system);
        metrics.iMenuHeight = ScaleBetween(metrics.iMenuHeight, dpi, system);
        metrics.iMenuWidth = ScaleBetween(metrics.iMenuWidth, dpi, system);
    }
    return true;
}

int SystemMetricAt(int index, int dpi) {
    static const auto forDpi = User32Function<TGetSystemMetricsForDpi>("GetSystemMetricsForDpi");
    if (dpi <= 0) return GetSystemMetrics(index);
    if (forDpi) {
        if (const int value = forDpi(index, static_cast<UINT>(dpi)); value > 0) return value;
    }
    return ScaleBetween(GetSystemMetrics(index), dpi, SystemDpi());
}

}  // namespace qx
