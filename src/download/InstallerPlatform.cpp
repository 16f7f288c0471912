#include "download/InstallerPlatform.h"

#include "download/LateLibrary.h"
#include "download/UrlMonService.h"

#include <shellapi.h>

#include <algorithm>
#include <new>
#include <vector>

namespace qx {

namespace {

// The Internet and shell libraries serve only the installation itself. Imported, they (and the
// libraries they pull in) would be loaded and initialised at every start, before the window
// shows; so each is loaded the first time one of its functions is called, and kept to the end
// as an imported one would be.
TLateLibrary& InternetLibrary() {
    static TLateLibrary library(SystemModuleLoader(), "WININET.DLL");
    return library;
}

TLateLibrary& ShellLibrary() {
    static TLateLibrary library(SystemModuleLoader(), "SHELL32.DLL");
    return library;
}

class TWindowsInstallerPlatform final : public IInstallerPlatform {
public:
    BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved) override {
        QX_LATE_CALL(InternetLibrary, InternetGetConnectedState, FALSE, flags, reserved);
    }
    HANDLE FindFirstUrlCacheEntryA(const char* searchPattern, INTERNET_CACHE_ENTRY_INFOA* entry,
                                   DWORD* entrySize) override {
        QX_LATE_CALL(InternetLibrary, FindFirstUrlCacheEntryA, nullptr, searchPattern, entry, entrySize);
    }
    BOOL FindNextUrlCacheEntryA(HANDLE enumeration, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* entrySize) override {
        QX_LATE_CALL(InternetLibrary, FindNextUrlCacheEntryA, FALSE, enumeration, entry, entrySize);
    }
    BOOL DeleteUrlCacheEntryA(const char* sourceUrlName) override {
        QX_LATE_CALL(InternetLibrary, DeleteUrlCacheEntryA, FALSE, sourceUrlName);
    }
    BOOL FindCloseUrlCache(HANDLE enumeration) override {
        QX_LATE_CALL(InternetLibrary, FindCloseUrlCache, FALSE, enumeration);
    }

    IUrlDownloadService& DownloadService() override { return TUrlMonService::Process(); }

    BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) override {
        // The shell's own answer for a library it could not load, with no process.
        if (info) info->hProcess = nullptr;
        QX_LATE_CALL(ShellLibrary, ShellExecuteExW, (SetLastError(ERROR_MOD_NOT_FOUND), FALSE), info);
    }

    std::u16string ThousandSeparator() override {
        wchar_t separator[8] = {};
        int length = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8);
        if (length <= 1) return {};
        return std::u16string(separator, separator + length - 1);
    }

    DWORD GetModuleFileNameW(HMODULE module, wchar_t* path, DWORD size) override {
        return ::GetModuleFileNameW(module, path, size);
    }
};

// Anything bigger is no cache entry but a broken answer; it ends the clearing.
constexpr DWORD MaxEntrySize = 1 << 20;

// One cache-entry record, sized as the platform asked and carrying that size in its first
// field. A record shorter than the structure is padded with zeros, so reading its fields
// never goes past the allocation.
class TCacheEntryBuffer {
public:
    TCacheEntryBuffer() = default;
    explicit TCacheEntryBuffer(DWORD size) {
        if (size == 0) return;
        if (size > MaxEntrySize) throw std::bad_alloc();
        bytes_.assign(std::max<std::size_t>(size, sizeof(INTERNET_CACHE_ENTRY_INFOA)), 0);
        Record()->dwStructSize = size;
    }
    INTERNET_CACHE_ENTRY_INFOA* Record() {
        return bytes_.empty() ? nullptr : reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(bytes_.data());
    }

private:
    std::vector<unsigned char> bytes_;
};

}  // namespace

IInstallerPlatform& WindowsPlatform() {
    static TWindowsInstallerPlatform platform;
    return platform;
}

bool IsInternetConnected(IInstallerPlatform& platform) {
    DWORD flags = 0;
    return platform.InternetGetConnectedState(&flags, 0) != FALSE;
}

void ClearUrlCache(IInstallerPlatform& platform) noexcept {
    HANDLE enumeration = nullptr;
    try {
        DWORD size = 0;
        // Only asks for the first entry's size; an answer with a handle would be one to close.
        if (HANDLE stray = platform.FindFirstUrlCacheEntryA(nullptr, nullptr, &size)) platform.FindCloseUrlCache(stray);
        TCacheEntryBuffer buffer(size);
        enumeration = platform.FindFirstUrlCacheEntryA(nullptr, buffer.Record(), &size);
        if (enumeration) {
            do {
                INTERNET_CACHE_ENTRY_INFOA* entry = buffer.Record();
                if (entry && entry->lpszSourceUrlName) platform.DeleteUrlCacheEntryA(entry->lpszSourceUrlName);
                buffer = TCacheEntryBuffer();
                size = 0;
                platform.FindNextUrlCacheEntryA(enumeration, nullptr, &size);
                buffer = TCacheEntryBuffer(size);
            } while (platform.FindNextUrlCacheEntryA(enumeration, buffer.Record(), &size));
        }
    } catch (...) {
        // Emptying the cache is a courtesy to the transfer; nothing here may stop it.
    }
    try {
        platform.FindCloseUrlCache(enumeration);
    } catch (...) {
    }
}

}  // namespace qx
