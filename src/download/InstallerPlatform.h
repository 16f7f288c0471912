// The installer's one seam to the platform: connection test, URL cache, download service,
// shell launch and the user's number format. The program uses the Windows one; tests put a
// recording fake in its place.
#pragma once
#include "download/UrlDownloadService.h"

#include <windows.h>
#include <shellapi.h>
#include <urlmon.h>
#include <wininet.h>

#include <string>

namespace qx {

class IInstallerPlatform {
public:
    virtual ~IInstallerPlatform() = default;

    virtual BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved) = 0;

    virtual HANDLE FindFirstUrlCacheEntryA(const char* searchPattern, INTERNET_CACHE_ENTRY_INFOA* entry,
                                           DWORD* entrySize) = 0;
    virtual BOOL FindNextUrlCacheEntryA(HANDLE enumeration, INTERNET_CACHE_ENTRY_INFOA* entry,
                                        DWORD* entrySize) = 0;
    virtual BOOL DeleteUrlCacheEntryA(const char* sourceUrlName) = 0;
    virtual BOOL FindCloseUrlCache(HANDLE enumeration) = 0;

    virtual IUrlDownloadService& DownloadService() = 0;

    // As the platform's function; the installer asks for the started process's handle
    // (SEE_MASK_NOCLOSEPROCESS) and for no error box of the shell's own (SEE_MASK_FLAG_NO_UI).
    virtual BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) = 0;

    // The thousands separator of the user's regional settings (may be empty).
    virtual std::u16string ThousandSeparator() = 0;

    // As the platform's function: the full path of a module of the process (none: the program).
    virtual DWORD GetModuleFileNameW(HMODULE module, wchar_t* path, DWORD size) = 0;
};

// The real platform, shared by the whole program.
IInstallerPlatform& WindowsPlatform();

// True when the platform reports a connection; its flags are not looked at.
bool IsInternetConnected(IInstallerPlatform& platform);

// Deletes every entry of the URL cache. Nothing it meets is reported: a failing call, a bad
// entry or a lack of memory ends the clearing early, and the enumeration is always closed.
void ClearUrlCache(IInstallerPlatform& platform) noexcept;

}  // namespace qx
