// The URL download action: fetches one URL into one file through the platform's download
// service, reporting progress as events, and is itself the service's status callback.
#pragma once
#include "download/InstallerPlatform.h"
#include "framework/Actions.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qx {

// The platform's binding-status codes 1 to 47, in their order: value i stands for code i + 1.
enum TURLDownloadStatus : std::uint8_t {
    dsFindingResource, dsConnecting, dsRedirecting, dsBeginDownloadData, dsDownloadingData,
    dsEndDownloadData, dsBeginDownloadComponents, dsInstallingComponents, dsEndDownloadComponents,
    dsUsingCachedCopy, dsSendingRequest, dsClassIDAvailable, dsMIMETypeAvailable,
    dsCacheFileNameAvailable, dsBeginSyncOperation, dsEndSyncOperation, dsBeginUploadData,
    dsUploadingData, dsEndUploadData, dsProtocolClassID, dsEncoding, dsVerifiedMIMETypeAvailable,
    dsClassInstallLocation, dsDecoding, dsLoadingMIMEHandler, dsContentDispositionAttach,
    dsFilterReportMIMEType, dsCLSIDCanInstantiate, dsIUnKnownAvailable, dsDirectBind,
    dsRawMIMEType, dsProxyDetecting, dsAcceptRanges, dsCookieSent, dsCompactPolicyReceived,
    dsCookieSuppressed, dsCookieStateUnknown, dsCookieStateAccept, dsCookeStateReject,
    dsCookieStatePrompt, dsCookieStateLeash, dsCookieStateDowngrade, dsPolicyHREF, dsP3PHeader,
    dsSessionCookieReceived, dsPersistentCookieReceived, dsSessionCookiesAllowed,
};
constexpr int URLDownloadStatusCount = dsSessionCookiesAllowed + 1;

class TUrlDownload;

// A full path of a file, in UTF-16 so that any name the file system allows can be given.
using TFileName = std::u16string;

// Sender, bytes so far, bytes expected (0: unknown), status, status text (narrow, system code
// page, trimmed), and Cancel: set it to stop the transfer.
using TDownloadProgressEvent = std::function<void(TUrlDownload* sender, std::uint32_t progress,
                                                  std::uint32_t progressMax, TURLDownloadStatus statusCode,
                                                  std::string statusText, bool& cancel)>;

// An action about a URL: it accepts every target and is enabled exactly when it has a URL.
class TUrlAction : public TCustomAction {
    QX_CLASS_INFO()
public:
    explicit TUrlAction(TComponent* owner) : TCustomAction(owner) {}
    const std::u16string& URL() const { return url_; }
    void SetURL(const std::u16string& url) { url_ = url; }
    bool HandlesTarget(TObject* target) override { return true; }
    void UpdateTarget(TObject* target) override { SetEnabled(!url_.empty()); }

private:
    std::u16string url_;
};

// Besides the status callback it answers the service's HTTP negotiation, to learn the answer's
// status: a service may report an error page or a cut-off body as a finished transfer.
class TUrlDownload : public TUrlAction,
                     public IBindStatusCallback,
                     public IHttpNegotiate,
                     public IServiceProvider {
    QX_CLASS_INFO()
public:
    explicit TUrlDownload(TComponent* owner);
    ~TUrlDownload() override;

    const TFileName& Filename() const { return filename_; }
    void SetFilename(const TFileName& filename) { filename_ = filename; }
    TDownloadProgressEvent OnDownloadProgress;

    // Where the transfer goes; by default the platform's service, shared by the program.
    void SetService(IUrlDownloadService* service) { service_ = service; }

    // Runs the transfer and returns when it has ended; the target is not looked at. Raises
    // "Unable to load URLMON.DLL" when the service is missing and "Error downloading URL: <URL>"
    // when the transfer does not succeed: the service fails, the server answers with an HTTP
    // error status, or fewer bytes arrive than were announced. An error raised by the progress
    // handler ends the transfer and is raised again here.
    void ExecuteTarget(TObject* target) override;

    // Stops the running transfer; callable from any thread. The binding belongs to the thread
    // that runs the transfer, so only that thread calls it: on it the binding is aborted at
    // once (true when it took the request); from another thread the request is handed over
    // and the next report answers E_ABORT (true when a transfer was running to take it).
    bool Abort();
    // Milliseconds without any report after which the transfer is aborted; 0 waits forever.
    void SetStallTimeout(std::uint32_t milliseconds) { stallTimeout_ = milliseconds; }
    std::uint32_t StallTimeout() const { return stallTimeout_; }
    // Whether the last transfer was ended for lack of reports.
    bool StalledOut() const { return stalledOut_; }
    // The clock's time at the last report (or at the start) of the running transfer.
    std::uint64_t LastActivityTick() const { return lastActivity_; }
    // Milliseconds as the watchdog and the reports read them; GetTickCount64 unless a test
    // sets another. Set it only while no transfer runs.
    using TClock = std::function<std::uint64_t()>;
    void SetClock(TClock clock) { clock_ = std::move(clock); }

    // What the last transfer met: the last HTTP status (0: none seen), the bytes received and
    // the size announced (0: none).
    DWORD HttpStatus() const { return httpStatus_; }
    std::uint32_t BytesReceived() const { return lastProgress_; }
    std::uint32_t BytesAnnounced() const { return lastProgressMax_; }
    // Every HTTP status of the last transfer (a redirect's first) with the size its headers
    // announced (-1: none).
    struct THttpAnswer {
        DWORD Status;
        long long ContentLength;
    };
    const std::vector<THttpAnswer>& HttpAnswers() const { return httpAnswers_; }

    // IBindStatusCallback. The platform's references never govern the action's life.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE OnStartBinding(DWORD reserved, IBinding* binding) override;
    HRESULT STDMETHODCALLTYPE GetPriority(LONG* priority) override;
    HRESULT STDMETHODCALLTYPE OnLowResource(DWORD reserved) override;
    HRESULT STDMETHODCALLTYPE OnProgress(ULONG progress, ULONG progressMax, ULONG statusCode,
                                         LPCWSTR statusText) override;
    HRESULT STDMETHODCALLTYPE OnStopBinding(HRESULT result, LPCWSTR error) override;
    HRESULT STDMETHODCALLTYPE GetBindInfo(DWORD* flags, BINDINFO* info) override;
    HRESULT STDMETHODCALLTYPE OnDataAvailable(DWORD flags, DWORD size, FORMATETC* format,
                                              STGMEDIUM* medium) override;
    HRESULT STDMETHODCALLTYPE OnObjectAvailable(REFIID iid, IUnknown* object) override;

    // IHttpNegotiate: no headers of its own; the response's status is noted.
    HRESULT STDMETHODCALLTYPE BeginningTransaction(LPCWSTR url, LPCWSTR headers, DWORD reserved,
                                                   LPWSTR* additionalHeaders) override;
    HRESULT STDMETHODCALLTYPE OnResponse(DWORD responseCode, LPCWSTR responseHeaders, LPCWSTR requestHeaders,
                                         LPWSTR* additionalRequestHeaders) override;
    // IServiceProvider: how the service finds the negotiation behind the callback.
    HRESULT STDMETHODCALLTYPE QueryService(REFGUID service, REFIID iid, void** object) override;

private:
    class TWatchdog;
    class TOwnerWindow;
    void ReleaseBinding();
    bool AbortBindingHere();
    std::uint64_t Now() const { return clock_ ? clock_() : GetTickCount64(); }

    TFileName filename_;
    IUrlDownloadService* service_ = nullptr;
    bool executing_ = false;
    std::exception_ptr handlerError_;
    DWORD httpStatus_ = 0;             // 0 until a response has been seen
    std::uint32_t lastProgress_ = 0, lastProgressMax_ = 0;

    // Shared with Abort() and the watchdog, which may run on other threads.
    std::mutex bindingLock_;
    IBinding* binding_ = nullptr;
    std::atomic<bool> abortRequested_{false};
    std::atomic<std::uint64_t> lastActivity_{0};
    std::uint32_t stallTimeout_ = 0;
    std::atomic<bool> stalledOut_{false};
    TClock clock_;
    std::vector<THttpAnswer> httpAnswers_;
    // The thread that runs the transfer, and its window through which other threads hand it
    // an abort request.
    std::atomic<DWORD> ownerThread_{0};
    std::atomic<HWND> ownerWindow_{nullptr};
};

// Platform status code to status: codes 1 to 47; false for any other code.
bool URLDownloadStatusFromCode(ULONG code, TURLDownloadStatus& status);

// The status text as handlers get it: narrow in the system code page, without leading and
// trailing blanks and control characters; an absent text is empty.
std::string DownloadStatusTextToNarrow(const wchar_t* text);

}  // namespace qx
