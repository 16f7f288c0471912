// One install of one product, as one sequence of steps that interactive, passive and quiet
// runs share: connection test, cache, transfer, check of the file, putting it in place,
// launch, and (asked for) waiting for the setup program. Each step is told to a sink, which
// the main window turns into its progress display, its log lines and its exit code.
#pragma once
#include "app/Catalogue.h"
#include "download/InstallerPlatform.h"
#include "download/UrlDownload.h"

#include <cstdint>
#include <functional>
#include <string>

namespace qx {

class TComponent;

// How an install ended: the exit code the program ends with, and whether a setup program runs.
struct TInstallOutcome {
    int ExitCode = 0;
    bool Launched = false;
};

// What a check of the downloaded file found before it is put in place and started.
struct TFileCheck {
    bool Trusted = false;
    std::string Signer;       // the signer's name, when there is one
    std::string FailedCheck;  // which check refused the file
};

class IInstallSink {
public:
    virtual ~IInstallSink() = default;
    // One step done or failed, worded for the log (UTF-8).
    virtual void Step(const std::string& line) = 0;
    // The transfer is about to begin (the machine is online), and it has ended either way.
    virtual void TransferBegins() {}
    virtual void TransferEnds() {}
    // The transfer's progress; the sink may process window messages from here.
    virtual void Progress(TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax) {}
    // Called while the setup program is waited for; the sink may process window messages.
    virtual void Waiting() {}
};

class TInstallFlow {
public:
    struct TRequest {
        std::u16string Url;
        std::u16string LocalFileName;
        std::u16string ProductWord;     // for the log
        std::u16string SetupArguments;  // the setup program's parameters
        bool Wait = false;              // wait for the setup program and take its exit code
        HWND Parent = nullptr;          // of the shell's launch
        std::uint32_t StallTimeout = 0;
        TComponent* Owner = nullptr;    // of the download action, for its lifetime
    };

    TInstallFlow(IInstallerPlatform& platform, IInstallSink& sink) : platform_(platform), sink_(sink) {}

    TInstallOutcome Run(const TRequest& request);

    // Stops the install from inside one of the sink's calls (a close, the session's end): the
    // transfer ends within a second, what was received is removed, nothing is started. Once a
    // setup program runs, only the waiting for it stops.
    void Cancel();
    bool Cancelled() const { return cancelled_; }

    // Checks the downloaded file before it is put in place; none: it is taken as it is.
    std::function<TFileCheck(const std::u16string& path)> CheckFile;

private:
    TInstallOutcome Fail(int exitCode, const std::string& why);
    TInstallOutcome Launch(const TRequest& request, const std::u16string& target);

    IInstallerPlatform& platform_;
    IInstallSink& sink_;
    TUrlDownload* download_ = nullptr;
    bool cancelled_ = false;
};

}  // namespace qx
