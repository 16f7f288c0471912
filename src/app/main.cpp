#include "app/Ana.h"

#include "core/Text.h"
#include "skin/SkinRegister.h"

#include <cstdlib>
#include <cwchar>
#include <exception>
#include <string>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    qx::TApplication application;
    application.Initialize();
    application.SetTitle(u"Quenrix Installer");
    qx::RegisterSkinClasses();
    try {
        [[maybe_unused]] qx::TFrmAna* form = application.CreateForm<qx::TFrmAna>();
#ifdef QX_TEST_BUILD
        // Only the test build lets a test shorten the wait for a stalled transfer.
        if (const wchar_t* stall = _wgetenv(L"QX_STALL_TIMEOUT_MS"))
            form->SetStallTimeout(static_cast<std::uint32_t>(wcstoul(stall, nullptr, 10)));
#endif
    } catch (const std::exception& e) {
        // A window that cannot be built from its layout is not shown half-made.
        std::u16string text = u"The installer's window cannot be created:\n" + qx::Utf8ToUtf16(e.what());
        MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(text.c_str()), L"Quenrix Installer", MB_OK | MB_ICONERROR);
        return 1;
    }
    application.Run();
    return 0;
}
