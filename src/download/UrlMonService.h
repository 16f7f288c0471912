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

// A library loaded by name the first time one of its functions is wanted; a failed load is not
// tried again. It stays loaded until Release.
class TLateLibrary {
public:
    TLateLibrary(IModuleLoader& loader, const char* name) : loader_(loader), name_(name) {}
    TLateLibrary(const TLateLibrary&) = delete;
    TLateLibrary& operator=(const TLateLibrary&) = delete;

    // The function, or none (with the thread's last error saying why) when the library or the
    // function is missing.
    template <class TProcedure>
    TProcedure Find(const char* procedure) {
        return reinterpret_cast<TProcedure>(reinterpret_cast<void*>(FindProcedure(procedure)));
    }
    // Frees the library if it was loaded; a later Find does not load it again.
    void Release();

private:
    FARPROC FindProcedure(const char* procedure);

    IModuleLoader& loader_;
    const char* name_;
    bool attempted_ = false;
    HMODULE module_ = nullptr;
};

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
