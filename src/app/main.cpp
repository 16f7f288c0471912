#include "app/Ana.h"
#include "app/InstallerRun.h"
#include "skin/SkinRegister.h"

#include <cstdlib>
#include <cwchar>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    qx::TApplication application;
    application.Initialize();
    application.SetTitle(u"Quenrix Installer");
    qx::RegisterSkinClasses();
    std::uint32_t stallTimeout = qx::TFrmAna::DefaultStallTimeout;
#ifdef QX_TEST_BUILD
    // Only the test build lets a test shorten the wait for a stalled transfer.
    if (const wchar_t* stall = _wgetenv(L"QX_STALL_TIMEOUT_MS"))
        stallTimeout = static_cast<std::uint32_t>(wcstoul(stall, nullptr, 10));
#endif
    return qx::RunInstaller(application, GetCommandLineW(), stallTimeout);
}
