// The platform's URL download service in the URL moniker library, loaded by name the first
// time it is wanted and released at program end. A failed load is not tried again.
#pragma once
#include "download/UrlDownloadService.h"
#include "download/LateLibrary.h"

namespace qx {

class TUrlMonService final : public IUrlDownloadService {
public:
    static constexpr const char* LibraryName = "URLMON.DLL";
    static constexpr const char* EntryPointName = "URLDownloadToFileW";

    explicit TUrlMonService(IModuleLoader& loader) : library_(loader, LibraryName) {}
    ~TUrlMonService() override;
    TUrlMonService(const TUrlMonService&) = delete;
    TUrlMonService& operator=(const TUrlMonService&) = delete;

    bool Load() override;
    HRESULT DownloadToFile(const wchar_t* url, const wchar_t* fileName, IBindStatusCallback* callback) override;

    // The one the program shares; its module is released when the program ends.
    static TUrlMonService& Process();

private:
    TLateLibrary library_;
    bool looked_ = false;
    UrlDownloadToFileWProc entryPoint_ = nullptr;
};

}  // namespace qx
