// The platform's URL download service in the URL moniker library, loaded by name the first
// time it is wanted and released at program end. A failed load is not tried again.
#pragma once
#include "download/InstallerPlatform.h"

namespace qx {

// How modules are loaded; tests count and script the loading through it.
class IModuleLoader {
public:
    virtual ~IModuleLoader() = default;
    virtual HMODULE Load(const char* name) = 0;
    virtual FARPROC Find(HMODULE module, const char* procedure) = 0;
    virtual void Free(HMODULE module) = 0;
};

IModuleLoader& SystemModuleLoader();

class TUrlMonService final : public IUrlDownloadService {
public:
    static constexpr const char* LibraryName = "URLMON.DLL";
    static constexpr const char* EntryPointName = "URLDownloadToFileW";

    explicit TUrlMonService(IModuleLoader& loader) : loader_(loader) {}
    ~TUrlMonService() override;
    TUrlMonService(const TUrlMonService&) = delete;
    TUrlMonService& operator=(const TUrlMonService&) = delete;

    bool Load() override;
    HRESULT DownloadToFile(const wchar_t* url, const wchar_t* fileName, IBindStatusCallback* callback) override;

    // The one the program shares; its module is released when the program ends.
    static TUrlMonService& Process();

private:
    IModuleLoader& loader_;
    bool attempted_ = false;
    HMODULE module_ = nullptr;
    UrlDownloadToFileWProc entryPoint_ = nullptr;
};

}  // namespace qx
