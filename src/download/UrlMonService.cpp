#include "download/UrlMonService.h"

namespace qx {

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
