#include "download/UrlDownload.h"

#include "core/Text.h"
#include "download/UrlMonService.h"

#include <chrono>
#include <optional>
#include <stdexcept>

namespace qx {

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

[[noreturn]] void RaiseDownloadError(const std::u16string& url) {
    throw std::runtime_error("Error downloading URL: " + Utf16ToUtf8(url));
}

}  // namespace

const TClassInfo& TUrlAction::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TUrlAction>("TUrlAction", &TCustomAction::StaticClassInfo())
                                       .Str("URL", &TUrlAction::URL, &TUrlAction::SetURL)
                                       .Build();
    return info;
}

const TClassInfo& TUrlDownload::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TUrlDownload>("TUrlDownload", &TUrlAction::StaticClassInfo())
                                       .Str("Filename", &TUrlDownload::Filename, &TUrlDownload::SetFilename)
                                       .Creatable()
                                       .Build();
    return info;
}

bool URLDownloadStatusFromCode(ULONG code, TURLDownloadStatus& status) {
    if (code < 1 || code > static_cast<ULONG>(URLDownloadStatusCount)) return false;
    status = static_cast<TURLDownloadStatus>(code - 1);
    return true;
}

std::string DownloadStatusTextToNarrow(const wchar_t* text) {
    if (!text || !*text) return {};
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (bytes <= 1) return {};
    std::string narrow(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), bytes, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(bytes) - 1);
    return std::string(TrimControl(std::string_view(narrow)));
}

// Watches a running transfer from its own thread, because a stalled transfer sends no
// reports and its blocking loop dispatches nothing of ours. When the reports stop for
// longer than the limit it aborts the binding, retrying until a binding takes the request.
class TUrlDownload::TWatchdog {
public:
    TWatchdog(TUrlDownload& download, std::uint32_t timeout)
        : download_(download), timeout_(timeout), thread_([this] { Run(); }) {}
    ~TWatchdog() {
        {
            std::lock_guard<std::mutex> lock(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(lock_);
        while (!stop_) {
            std::uint64_t now = GetTickCount64();
            std::uint64_t quietFor = now - download_.lastActivity_.load();
            std::chrono::milliseconds wait(100);
            if (!download_.stalledOut_ && quietFor < timeout_) {
                wait = std::chrono::milliseconds(timeout_ - quietFor);
            } else {
                download_.stalledOut_ = true;
                lock.unlock();
                bool taken = download_.Abort();
                lock.lock();
                if (taken) break;
            }
            wake_.wait_for(lock, wait, [this] { return stop_; });
        }
    }

    TUrlDownload& download_;
    std::uint32_t timeout_;
    std::mutex lock_;
    std::condition_variable wake_;
    bool stop_ = false;
    std::thread thread_;  // last: starts once everything above is ready
};

TUrlDownload::TUrlDownload(TComponent* owner) : TUrlAction(owner) {}

TUrlDownload::~TUrlDownload() { ReleaseBinding(); }

void TUrlDownload::ExecuteTarget(TObject* target) {
    // A handler that processes messages could start this action again from inside its own
    // transfer; the running one owns the binding, so the nested start fails instead.
    if (executing_) RaiseDownloadError(URL());
    IUrlDownloadService& service = service_ ? *service_ : TUrlMonService::Process();
    if (!service.Load()) throw std::runtime_error(std::string("Unable to load ") + TUrlMonService::LibraryName);

    handlerError_ = nullptr;
    httpStatus_ = 0;
    lastProgress_ = lastProgressMax_ = 0;
    abortRequested_ = false;
    stalledOut_ = false;
    lastActivity_ = GetTickCount64();
    HRESULT result;
    {
        struct TEnd {
            TUrlDownload& download;
            ~TEnd() {
                download.ReleaseBinding();
                download.executing_ = false;
            }
        } end{*this};
        executing_ = true;
        std::optional<TWatchdog> watchdog;
        if (stallTimeout_ > 0) watchdog.emplace(*this, stallTimeout_);
        IBindStatusCallback* callback = nullptr;
        QueryInterface(IID_IBindStatusCallback, reinterpret_cast<void**>(&callback));
        result = service.DownloadToFile(Wide(URL()), Wide(filename_), callback);
        callback->Release();
    }
    if (handlerError_) {
        std::exception_ptr error = handlerError_;
        handlerError_ = nullptr;
        std::rethrow_exception(error);
    }
    // A service can call an error page or a cut-off body a success; neither is the file.
    bool shortOfAnnounced = lastProgressMax_ > 0 && lastProgress_ < lastProgressMax_;
    if (result != S_OK || httpStatus_ >= 400 || shortOfAnnounced) RaiseDownloadError(URL());
}

bool TUrlDownload::Abort() {
    abortRequested_ = true;
    IBinding* binding;
    {
        std::lock_guard<std::mutex> lock(bindingLock_);
        binding = binding_;
        if (binding) binding->AddRef();
    }
    if (!binding) return false;
    HRESULT result = binding->Abort();
    binding->Release();
    return SUCCEEDED(result);
}

void TUrlDownload::ReleaseBinding() {
    IBinding* binding;
    {
        std::lock_guard<std::mutex> lock(bindingLock_);
        binding = binding_;
        binding_ = nullptr;
    }
    if (binding) binding->Release();
}

HRESULT TUrlDownload::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IBindStatusCallback))
        *object = static_cast<IBindStatusCallback*>(this);
    else if (IsEqualIID(iid, IID_IHttpNegotiate))
        *object = static_cast<IHttpNegotiate*>(this);
    else if (IsEqualIID(iid, IID_IServiceProvider))
        *object = static_cast<IServiceProvider*>(this);
    else
        *object = nullptr;
    return *object ? S_OK : E_NOINTERFACE;
}

ULONG TUrlDownload::AddRef() { return static_cast<ULONG>(-1); }

ULONG TUrlDownload::Release() { return static_cast<ULONG>(-1); }

HRESULT TUrlDownload::OnStartBinding(DWORD reserved, IBinding* binding) {
    // Kept only so that Abort() can reach it; the platform learns nothing from the answer.
    if (binding) binding->AddRef();
    IBinding* previous;
    {
        std::lock_guard<std::mutex> lock(bindingLock_);
        previous = binding_;
        binding_ = binding;
    }
    if (previous) previous->Release();
    return E_NOTIMPL;
}

HRESULT TUrlDownload::GetPriority(LONG* priority) { return E_NOTIMPL; }

HRESULT TUrlDownload::OnLowResource(DWORD reserved) { return E_NOTIMPL; }

HRESULT TUrlDownload::OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode, LPCWSTR statusText) {
    lastActivity_ = GetTickCount64();
    lastProgress_ = progress;
    lastProgressMax_ = progressMax;
    bool cancel = false;
    // Nothing may leave this into the platform's service: a failing handler ends the
    // transfer, and its error is raised again once the service has returned.
    try {
        TURLDownloadStatus status;
        if (OnDownloadProgress && !handlerError_ && URLDownloadStatusFromCode(statusCode, status)) {
            OnDownloadProgress(this, progress, progressMax, status, DownloadStatusTextToNarrow(statusText), cancel);
        }
    } catch (...) {
        handlerError_ = std::current_exception();
    }
    // An error page is not worth receiving: the transfer has failed already.
    return cancel || handlerError_ || abortRequested_ || httpStatus_ >= 400 ? E_ABORT : S_OK;
}

HRESULT TUrlDownload::OnStopBinding(HRESULT result, LPCWSTR error) {
    ReleaseBinding();
    return E_NOTIMPL;
}

HRESULT TUrlDownload::GetBindInfo(DWORD* flags, BINDINFO* info) { return E_NOTIMPL; }

HRESULT TUrlDownload::OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format, STGMEDIUM* medium) {
    return E_NOTIMPL;
}

HRESULT TUrlDownload::OnObjectAvailable(REFIID iid, IUnknown* object) { return E_NOTIMPL; }

HRESULT TUrlDownload::BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved, LPWSTR* additionalHeaders) {
    if (additionalHeaders) *additionalHeaders = nullptr;
    return S_OK;
}

HRESULT TUrlDownload::OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                                 LPWSTR* additionalRequestHeaders) {
    if (additionalRequestHeaders) *additionalRequestHeaders = nullptr;
    // The last response counts: a redirect's 3xx is followed by the final answer's status.
    httpStatus_ = responseCode;
    return S_OK;
}

HRESULT TUrlDownload::QueryService(REFGUID service, REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(service, IID_IHttpNegotiate) || IsEqualGUID(service, IID_IBindStatusCallback))
        return QueryInterface(iid, object);
    *object = nullptr;
    return E_NOINTERFACE;
}

}  // namespace qx
