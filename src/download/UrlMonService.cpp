#include "download/UrlMonService.h"

namespace qx {

namespace {

class TSystemModuleLoader final : public IModuleLoader {
public:
    // Only the system's own copy: the program is often started from a downloads folder, where
    // a library of the same name must not be picked up. Systems whose loader does not know the
    // flag yet refuse it as a parameter error, and search as they always did.
    HMODULE Load(const char* name) override {
        HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadLibraryA(name);
        return module;
    }
    FARPROC Find(HMODULE module, const char* procedure) override { return GetProcAddress(module, procedure); }
    void Free(HMODULE module) override { FreeLibrary(module); }
};

}  // namespace

IModuleLoader& SystemModuleLoader() {
    static TSystemModuleLoader loader;
    return loader;
}

FARPROC TLateLibrary::FindProcedure(const char* procedure) {
    if (!attempted_) {
        attempted_ = true;
        module_ = loader_.Load(name_);
    }
    if (!module_) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    FARPROC found = loader_.Find(module_, procedure);
    if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
    return found;
}

void TLateLibrary::Release() {
    attempted_ = true;
    if (module_) loader_.Free(module_);
    module_ = nullptr;
}

TUrlMonService::~TUrlMonService() { library_.Release(); }

bool TUrlMonService::Load() {
    if (!looked_) {
        looked_ = true;
        entryPoint_ = library_.Find<UrlDownloadToFileWProc>(EntryPointName);
    }
    return entryPoint_ != nullptr;
}

HRESULT TUrlMonService::DownloadToFile(const wchar_t* url, const wchar_t* fileName, IBindStatusCallback* callback) {
    if (!Load()) return HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
    return entryPoint_(nullptr, url, fileName, 0, callback);
}

TUrlMonService& TUrlMonService::Process() {
    static TUrlMonService service(SystemModuleLoader());
    return service;
}

}  // namespace qx
