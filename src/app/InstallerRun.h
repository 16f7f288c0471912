// The installer's run from its command line to its exit code: a bad line or /? is answered
// with the list of switches, otherwise the main window is made and the message loop runs,
// shown or (quiet) not.
#pragma once
#include "framework/Forms.h"

#include <cstdint>

namespace qx {

// The exit code of the whole run; commandLine is the process's own, program name first.
int RunInstaller(TApplication& application, const wchar_t* commandLine, std::uint32_t stallTimeout);

}  // namespace qx
