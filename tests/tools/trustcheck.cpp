// Asks the platform's trust service whether a file's Authenticode signature is valid (generic
// verification action, no user interface, no revocation check: the test machine is offline).
// Prints the service's answer in hex; exits 0 when it is success.
// Usage: trustcheck FILE
#include <windows.h>
#include <softpub.h>
#include <wintrust.h>

#include <cstdio>

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fputs("usage: trustcheck FILE\n", stderr);
        return 2;
    }
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof file;
    file.pcwszFilePath = argv[1];
    WINTRUST_DATA data = {};
    data.cbStruct = sizeof data;
    data.dwUIChoice = WTD_UI_NONE;
    data.fdwRevocationChecks = WTD_REVOKE_NONE;
    data.dwUnionChoice = WTD_CHOICE_FILE;
    data.pFile = &file;
    data.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    LONG verdict = WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    data.dwStateAction = WTD_STATEACTION_CLOSE;
    WinVerifyTrust(static_cast<HWND>(INVALID_HANDLE_VALUE), &action, &data);
    std::printf("0x%08lx\n", static_cast<unsigned long>(verdict));
    return verdict == 0 ? 0 : 1;
}
