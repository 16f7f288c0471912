// A platform that records every call the installer makes and answers from a scripted URL
// cache, the way WinINet does: a size query without a buffer fails with
// ERROR_INSUFFICIENT_BUFFER and tells the size; a record holds its strings after itself.
#pragma once
#include "download/InstallerPlatform.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qx::testing {

class TFakeInstallerPlatform : public IInstallerPlatform {
public:
    static inline const HANDLE EnumerationHandle = reinterpret_cast<HANDLE>(0x5EED);

    std::vector<std::string> Cache;              // source URL names, in enumeration order
    std::vector<std::string> Calls;              // what was asked, in order
    std::vector<DWORD> RecordSizesSeen;          // first field of each record handed in
    bool Online = true;
    int FailFindNextAt = -1;                     // the entry index whose fetch fails (-1: never)
    std::function<void(const std::string&)> OnDelete;  // may throw, to test that nothing escapes
    DWORD ForcedSize = 0;                        // when set, size queries answer this and fetches
                                                 // claim success without filling anything
    int Closes = 0;
    HANDLE ClosedHandle = nullptr;
    IUrlDownloadService* Service = nullptr;
    std::u16string Separator = u".";

    BOOL InternetGetConnectedState(DWORD* flags, DWORD reserved) override {
        Calls.push_back("connected? reserved=" + std::to_string(reserved));
        *flags = Online ? INTERNET_CONNECTION_LAN : INTERNET_CONNECTION_OFFLINE;
        return Online;
    }

    HANDLE FindFirstUrlCacheEntryA(const char* pattern, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) override {
        Calls.push_back(std::string("first") + (pattern ? " pattern" : "") + (entry ? " buffer" : " size?"));
        position_ = 0;
        return Fetch(entry, size) ? EnumerationHandle : nullptr;
    }

    BOOL FindNextUrlCacheEntryA(HANDLE enumeration, INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) override {
        Calls.push_back(std::string("next") + (entry ? " buffer" : " size?"));
        if (enumeration != EnumerationHandle) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (entry && position_ + 1 == static_cast<std::size_t>(FailFindNextAt)) {
            SetLastError(ERROR_INTERNAL_ERROR);
            return FALSE;
        }
        ++position_;
        bool fetched = Fetch(entry, size);
        if (!fetched || !entry) --position_;  // a failed fetch does not move on
        return fetched;
    }

    BOOL DeleteUrlCacheEntryA(const char* url) override {
        Calls.push_back(std::string("delete ") + url);
        if (OnDelete) OnDelete(url);
        return TRUE;
    }

    BOOL FindCloseUrlCache(HANDLE enumeration) override {
        Calls.push_back(enumeration ? "close" : "close none");
        ++Closes;
        ClosedHandle = enumeration;
        return enumeration == EnumerationHandle;
    }

    IUrlDownloadService& DownloadService() override {
        if (!Service) throw std::logic_error("no download service scripted");
        return *Service;
    }

    struct TShellCall {
        HWND Parent;
        const wchar_t* Verb;
        std::wstring File;
        bool ParametersGiven;  // a text, even an empty one, rather than none
        std::wstring Parameters;
        const wchar_t* Folder;
        int ShowCommand;
        ULONG Mask;
    };
    std::vector<TShellCall> Launches;
    std::function<void(const TShellCall&)> OnLaunch;  // may throw
    bool LaunchSucceeds = true;
    HANDLE LaunchedProcess = nullptr;  // handed back as the started process (the caller closes it)
    BOOL ShellExecuteExW(SHELLEXECUTEINFOW* info) override {
        Calls.push_back("shell");
        Launches.push_back({info->hwnd, info->lpVerb, info->lpFile ? info->lpFile : L"", info->lpParameters != nullptr,
                            info->lpParameters ? info->lpParameters : L"", info->lpDirectory, info->nShow, info->fMask});
        if (OnLaunch) OnLaunch(Launches.back());
        info->hProcess = LaunchSucceeds ? LaunchedProcess : nullptr;
        LaunchedProcess = nullptr;
        if (!LaunchSucceeds) SetLastError(ERROR_ACCESS_DENIED);
        return LaunchSucceeds;
    }

    std::u16string ThousandSeparator() override { return Separator; }

    std::wstring ModulePath = L"C:\\Quenrix\\QuenrixInstaller.exe";  // what GetModuleFileNameW answers
    DWORD GetModuleFileNameW(HMODULE, wchar_t* path, DWORD size) override {
        DWORD length = static_cast<DWORD>(ModulePath.size());
        if (size == 0) return 0;
        DWORD copied = std::min(length, size - 1);
        std::wmemcpy(path, ModulePath.c_str(), copied);
        path[copied] = L'\0';
        if (copied < length) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return size;  // truncated, as the platform answers
        }
        return length;
    }

    static DWORD RecordSize(const std::string& url) {
        return static_cast<DWORD>(sizeof(INTERNET_CACHE_ENTRY_INFOA) + url.size() + 1);
    }

private:
    bool Fetch(INTERNET_CACHE_ENTRY_INFOA* entry, DWORD* size) {
        if (position_ >= Cache.size()) {
            SetLastError(ERROR_NO_MORE_ITEMS);
            return false;
        }
        const std::string& url = Cache[position_];
        DWORD needed = ForcedSize ? ForcedSize : RecordSize(url);
        if (entry) RecordSizesSeen.push_back(entry->dwStructSize);
        if (ForcedSize && entry) return true;
        if (!entry || *size < needed) {
            *size = needed;
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        }
        char* strings = reinterpret_cast<char*>(entry + 1);
        std::memcpy(strings, url.c_str(), url.size() + 1);
        entry->lpszSourceUrlName = strings;
        *size = needed;
        return true;
    }

    std::size_t position_ = 0;
};

}  // namespace qx::testing
