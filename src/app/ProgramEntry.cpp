// The program's entry point, run before the runtime starts: from the first static constructor
// on, every library the program loads (delay-loaded ones, and what they load on their behalf)
// comes from the system folder, never from the folder the program was started from.
#include "download/LateLibrary.h"

extern "C" int WinMainCRTStartup();

extern "C" __attribute__((used, force_align_arg_pointer)) int QxProgramEntry() {
    qx::RestrictLibrarySearchToSystem();
    return WinMainCRTStartup();
}
