#include "download/UrlDownload.h"

#include "core/Text.h"
#include "download/UrlMonService.h"

#include <chrono>
#include <cwctype>
#include <string_view>
#include <optional>
#include <stdexcept>

namespace qx {

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

// The Content-Length header's value in an answer's headers; -1 when there is none or it is
// no number.
long long ContentLengthOf(const wchar_t* headers) {
    if (!headers) return -1;
    std::wstring_view rest(headers);
    constexpr std::wstring_view name = L"content-length:";
    while (!rest.empty()) {
        std::size_t end = rest.find(L'\n');
        std::wstring_view line = rest.substr(0, end);
        rest = end == std::wstring_view::npos ? std::wstring_view() : rest.substr(end + 1);
        if (line.size() < name.size()) continue;
        bool same = true;
        for (std::size_t i = 0; i < name.size() && same; ++i) same = towlower(line[i]) == name[i];
        if (!same) continue;
        long long value = -1;
        for (wchar_t c : line.substr(name.size())) {
            if (c >= L'0' && c <= L'9') {
                if (value > (1LL << 50)) return -1;
                value = (value < 0 ? 0 : value * 10) + (c - L'0');
            } else if (c != L' ' && c != L'\t' && c != L'\r') {
                return -1;
            }
        }
        return value;
    }
    return -1;
}

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
// reports and its blocking loop dispatches nothing of ours. When the reports stop for longer
// than the limit it asks for the abort, which the transfer's own thread carries out: the
// binding lives in that thread's apartment and is never called from here.
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
            // The stamp is read before the clock: a report between the two readings makes the
            // stamp older than the time, never newer. A newer one (a clock of another source)
            // still counts as activity rather than wrapping into a huge silence.
            std::uint64_t last = download_.lastActivity_.load();
            std::uint64_t now = download_.Now();
            std::uint64_t quietFor = now > last ? now - last : 0;
            std::chrono::milliseconds wait(100);
            if (quietFor < timeout_) {
                wait = std::chrono::milliseconds(timeout_ - quietFor);
            } else {
                download_.stalledOut_ = true;
                lock.unlock();
                download_.Abort();
                lock.lock();
                // Asked again while the transfer goes on, in case its thread missed the request.
                wait = std::chrono::milliseconds(250);
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

// A message-only window of the transfer's thread. Another thread sends it a notification;
// the transfer's thread handles it inside whatever message retrieval its blocking loop does
// (sent messages are delivered by every one) and aborts its own binding.
class TUrlDownload::TOwnerWindow {
public:
    static constexpr UINT AbortMessage = WM_APP + 0x2A1;

    explicit TOwnerWindow(TUrlDownload& download) : download_(download) {
        static const ATOM windowClass = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = Procedure;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QxUrlDownloadOwner";
            return RegisterClassW(&wc);
        }();
        HWND window = windowClass ? CreateWindowExW(0, L"QxUrlDownloadOwner", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                                    nullptr, GetModuleHandleW(nullptr), nullptr)
                                  : nullptr;
        if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&download));
        download_.ownerThread_ = GetCurrentThreadId();
        download_.ownerWindow_ = window;
    }
    ~TOwnerWindow() {
        HWND window = download_.ownerWindow_.exchange(nullptr);
        download_.ownerThread_ = 0;
        if (window) DestroyWindow(window);
    }
    TOwnerWindow(const TOwnerWindow&) = delete;
    TOwnerWindow& operator=(const TOwnerWindow&) = delete;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == AbortMessage) {
            if (auto* download = reinterpret_cast<TUrlDownload*>(GetWindowLongPtrW(window, GWLP_USERDATA)))
                download->AbortBindingHere();
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    TUrlDownload& download_;
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
    httpAnswers_.clear();
    lastActivity_ = Now();
    HRESULT result;
    {
        TOwnerWindow ownerWindow(*this);  // outlives the watchdog, which may still send to it
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
    if (ownerThread_ == GetCurrentThreadId()) return AbortBindingHere();
    HWND window = ownerWindow_.load();
    return window && SendNotifyMessageW(window, TOwnerWindow::AbortMessage, 0, 0);
}

bool TUrlDownload::AbortBindingHere() {
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
    lastActivity_ = Now();
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
    try {
        httpAnswers_.push_back({responseCode, ContentLengthOf(responseHeaders)});
    } catch (...) {
        // Only the log misses an answer when memory runs out.
    }
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
