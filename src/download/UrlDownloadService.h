// The platform's URL download service as the download action sees it: what the URL moniker
// library offers, and what tests put in its place.
#pragma once
#include <windows.h>
#include <urlmon.h>

namespace qx {

// URLDownloadToFileW, as looked up by name in the URL moniker library.
using UrlDownloadToFileWProc = HRESULT(WINAPI*)(IUnknown* caller, LPCWSTR url, LPCWSTR fileName,
                                                DWORD reserved, IBindStatusCallback* callback);

// The platform's URL download service.
class IUrlDownloadService {
public:
    virtual ~IUrlDownloadService() = default;
    // Makes the service ready on first use; once it has failed it stays unavailable.
    virtual bool Load() = 0;
    // Fetches url into fileName, blocking, reporting to callback; only after Load() said true.
    virtual HRESULT DownloadToFile(const wchar_t* url, const wchar_t* fileName, IBindStatusCallback* callback) = 0;
};

}  // namespace qx
