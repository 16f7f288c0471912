// The dpi the platform gives a window, the one source of a window's display scale.
#pragma once
#include <windows.h>

#include "core/DisplayScale.h"

namespace qx {

// The window's dpi: GetDpiForWindow where the system has it (Windows 10 1607 and later), else
// the LOGPIXELSX of the window's device. The base dpi when neither answers.
int WindowDpi(HWND window);

// The dpi of the system, for sizing a window before it exists (GetDpiForSystem where present,
// else the screen's LOGPIXELSX).
int SystemDpi();

// The platform's non-client metrics (the caption and menu fonts among them) at dpi:
// SystemParametersInfoForDpi where the system has it, else the system's own with their font
// heights taken from the system dpi to dpi. False when the platform gives none.
bool NonClientMetricsAt(int dpi, NONCLIENTMETRICSW& metrics);

// A system metric (SM_CXSMICON, SM_CYMENU...) at dpi: GetSystemMetricsForDpi where the system
// has it, else the system's own taken from the system dpi to dpi.
int SystemMetricAt(int index, int dpi);

inline TDisplayScale WindowScale(HWND window) { return TDisplayScale(WindowDpi(window)); }

}  // namespace qx
