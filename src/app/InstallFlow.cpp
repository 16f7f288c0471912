#include "app/InstallFlow.h"

#include "app/SetupFile.h"
#include "core/CommandLine.h"
#include "core/Text.h"

#include <memory>
#include <string>

namespace qx {

namespace {

std::string U8(const std::u16string& text) { return Utf16ToUtf8(text); }

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

std::string Seconds(std::uint64_t milliseconds) {
    std::string text = std::to_string(milliseconds / 1000) + ".";
    std::string fraction = std::to_string(milliseconds % 1000 / 10);
    return text + (fraction.size() < 2 ? "0" : "") + fraction + " s";
}

}  // namespace

void TInstallFlow::Cancel() {
    if (cancelled_) return;
    cancelled_ = true;
    // On this thread, inside the transfer: the binding is aborted here, and the report that
    // follows answers E_ABORT, whichever the service heeds first.
    if (download_) download_->Abort();
}

TInstallOutcome TInstallFlow::Fail(int exitCode, const std::string& why) {
    sink_.Step(why);
    return {exitCode, false};
}

TInstallOutcome TInstallFlow::Run(const TRequest& request) {
    cancelled_ = false;
    sink_.Step("Product " + U8(request.ProductWord) + ", address " + U8(request.Url));
    if (!IsInternetConnected(platform_)) return Fail(ecNotOnline, "Connection test: the machine is not online");
    sink_.Step("Connection test: online");
    ClearUrlCache(platform_);  // swallows its own errors: an uncleared cache does not stop the transfer
    sink_.Step("URL cache emptied");

    std::u16string target, partial;
    try {
        target = InstallerFolder(platform_) + request.LocalFileName;
    } catch (const std::exception& e) {
        return Fail(ecInternalError, std::string("No folder for the download: ") + e.what());
    }
    partial = PartialFileName(target);
    RemovePartialFile(partial);  // left by a crashed earlier process that had the same id

    // The action never outlives this block; the sink's display follows it.
    auto download = std::make_unique<TUrlDownload>(request.Owner);
    struct TEnd {
        TInstallFlow& flow;
        ~TEnd() {
            flow.download_ = nullptr;
            flow.sink_.TransferEnds();
        }
    } end{*this};
    download_ = download.get();
    sink_.TransferBegins();
    download->SetURL(request.Url);
    download->SetFilename(partial);
    download->SetService(&platform_.DownloadService());
    download->SetStallTimeout(request.StallTimeout);
    download->OnDownloadProgress = [this](TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax,
                                          TURLDownloadStatus, std::string, bool& cancel) {
        sink_.Progress(sender, progress, progressMax);
        if (cancelled_) cancel = true;
    };

    const std::uint64_t started = GetTickCount64();
    std::string failure;
    try {
        if (!cancelled_) download->ExecuteTarget(nullptr);
    } catch (const std::exception& e) {
        failure = e.what();
    } catch (...) {
        failure = "unknown error";
    }
    for (const TUrlDownload::THttpAnswer& answer : download->HttpAnswers())
        sink_.Step("HTTP " + std::to_string(answer.Status) + ", " +
                   (answer.ContentLength >= 0 ? std::to_string(answer.ContentLength) + " bytes announced"
                                              : std::string("no size announced")));
    sink_.Step("Received " + std::to_string(download->BytesReceived()) + " bytes in " +
               Seconds(GetTickCount64() - started));

    // Whatever ends here, nothing half-made stays beside the program.
    struct TPiece {
        std::u16string path;
        ~TPiece() {
            if (!path.empty()) RemovePartialFile(path);
        }
    } piece{partial};

    if (cancelled_) return Fail(ecCancelled, "Cancelled by the user: the transfer was stopped and its file removed");
    if (!failure.empty()) {
        if (download->StalledOut())
            return Fail(ecStalled, "The transfer stalled: no data for " + Seconds(request.StallTimeout));
        if (download->HttpStatus() >= 400)
            return Fail(ecServerAnswer, "The server answered with HTTP status " + std::to_string(download->HttpStatus()));
        if (download->BytesAnnounced() > 0 && download->BytesReceived() < download->BytesAnnounced())
            return Fail(ecServerAnswer, "The answer was cut off: " + std::to_string(download->BytesReceived()) + " of " +
                                            std::to_string(download->BytesAnnounced()) + " bytes");
        if (failure.rfind("Unable to load", 0) == 0) return Fail(ecInternalError, "The transfer failed: " + failure);
        return Fail(ecServerAnswer, "The transfer failed: " + failure);
    }
    if (!LooksLikeProgram(partial))
        return Fail(ecServerAnswer, "The answer is no program (a page or an empty file)");
    if (CheckFile) {
        TFileCheck check = CheckFile(partial);
        if (!check.Trusted)
            return Fail(ecVerificationFailed, "Verification failed: " + check.FailedCheck +
                                                  (check.Signer.empty() ? "" : " (signer " + check.Signer + ")"));
        sink_.Step("Verification: trusted, signer " + check.Signer);
    }
    try {
        PutSetupFileInPlace(partial, target);
    } catch (const std::exception& e) {
        return Fail(ecInternalError, std::string("The file cannot be put in place: ") + e.what());
    }
    piece.path.clear();
    return Launch(request, target);
}

TInstallOutcome TInstallFlow::Launch(const TRequest& request, const std::u16string& target) {
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The process handle gives its id for the log and lets the installer wait for it; the
    // shell's own error box would hang an unattended run.
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = request.Parent;
    info.lpFile = Wide(target);
    info.lpParameters = Wide(request.SetupArguments);
    info.nShow = SW_SHOWNORMAL;
    BOOL launched;
    try {
        launched = platform_.ShellExecuteExW(&info);
    } catch (const std::exception& e) {
        return Fail(ecLaunchFailed, "The setup program could not be started: " + std::string(e.what()));
    }
    if (!launched) {
        // The complete file stays in place so that the user can still start it by hand.
        return Fail(ecLaunchFailed, "The setup program could not be started (error " + std::to_string(GetLastError()) + ")");
    }
    std::unique_ptr<void, decltype(&CloseHandle)> process(info.hProcess, &CloseHandle);
    sink_.Step("Setup program started: " + U8(target) +
               (request.SetupArguments.empty() ? "" : " " + U8(request.SetupArguments)) + ", process id " +
               (process ? std::to_string(GetProcessId(process.get())) : std::string("unknown")));
    if (!request.Wait) return {ecSuccess, true};
    if (!process) {
        sink_.Step("The shell gave no process to wait for");
        return {ecSuccess, true};
    }
    HANDLE handle = process.get();
    while (!cancelled_ && MsgWaitForMultipleObjects(1, &handle, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0)
        sink_.Waiting();
    if (cancelled_) return Fail(ecCancelled, "Cancelled by the user while the setup program runs");
    DWORD code = 0;
    GetExitCodeProcess(handle, &code);
    sink_.Step("Setup program ended with exit code " + std::to_string(code));
    return {static_cast<int>(code), true};
}

}  // namespace qx
