// The installer's main window: the product choice and the install command.
#pragma once
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"

#include "app/Catalogue.h"
#include "app/InstallFlow.h"
#include "app/SetupTrust.h"
#include "core/CommandLine.h"
#include "download/InstallerPlatform.h"
#include "download/TrustPlatform.h"
#include "download/UrlDownload.h"

#include <array>
#include <optional>
#include <cstdint>
#include <string>

namespace qx {

class TInstallLog;

class TFrmAna : public TForm, private IInstallSink {
    QX_CLASS_INFO()
public:
    explicit TFrmAna(TComponent* owner);

    // The install button's OnClick.
    void btncarihesaplarClick(TObject* sender);
    // The first product, in catalogue order, whose radio button is checked; none when none is.
    const TProduct* CheckedProduct() const;

    // The product's radio button.
    TRadioButton* Radio(const TProduct& product) const;

    // Downloads url into the installer's own folder as localFileName with progress, starts it
    // once its signature is verified and ends the installer. Offline it does nothing; a failure
    // or a refused program is reported once and the window goes back to the choice. Passive and
    // quiet runs show no box and end either way.
    void DownloadAndLaunch(const std::u16string& url, const std::u16string& localFileName);
    // The download's progress handler: bar, then pending messages, then the kilobyte text.
    void ShowDownloadProgress(TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax,
                              TURLDownloadStatus statusCode, std::string statusText, bool& cancel);

    // The platform the install command works on: WindowsPlatform() unless a test sets another.
    IInstallerPlatform& Platform() const { return *platform_; }
    void SetPlatform(IInstallerPlatform& platform) { platform_ = &platform; }
    // The services that judge a downloaded program before it starts: WindowsTrust() unless a
    // test sets others.
    ITrustPlatform& Trust() const { return *trust_; }
    void SetTrust(ITrustPlatform& trust) { trust_ = &trust; }
    // Milliseconds without data after which a transfer is given up.
    std::uint32_t StallTimeout() const { return stallTimeout_; }
    void SetStallTimeout(std::uint32_t milliseconds) { stallTimeout_ = milliseconds; }
    static constexpr std::uint32_t DefaultStallTimeout = 60000;

    // How this run was asked for on the command line, and the log its steps go to (none: no
    // log). Set before the window is shown.
    void SetOptions(const TInstallerOptions& options, TInstallLog* log);
    // Chooses the product of the options and, in a passive or quiet run, starts installing it
    // once the message loop runs.
    void StartFromOptions();
    // What the program ends with: the last install's outcome; 1602 when the user ended the
    // program before any setup program was started.
    int ExitCode() const { return exitCode_; }
    // Whether an install (transfer, launch or waiting for the setup program) is under way.
    bool Installing() const { return flow_ != nullptr; }
    TRadioButton* rdDrivano = nullptr;
    TRadioButton* rdHestra = nullptr;
    TRadioButton* rdPartelo = nullptr;
    TRadioButton* rdLumiqo = nullptr;
    TRadioButton* rdSarvek = nullptr;
    TRadioButton* rdNuvreta = nullptr;
    TGlowButton* btncarihesaplar = nullptr;
    TGradientProgress* ProgressBar1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

protected:
    void WndProc(TMessage& message) override;
    bool DialogKey(WPARAM key) override;

private:
    // IInstallSink: the window shows the transfer and writes the log.
    void Step(const std::string& line) override;
    void TransferBegins() override;
    void TransferEnds() override;
    void Progress(TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax) override;
    void Waiting() override;

    // A close during an install: asks in an interactive run, cancels at once otherwise.
    void CloseRequested();
    void Finished(const TInstallOutcome& outcome);

    IInstallerPlatform* platform_;
    ITrustPlatform* trust_;
    std::uint32_t stallTimeout_ = DefaultStallTimeout;
    std::array<TRadioButton*, 6> radios_{};
    TInstallerOptions options_;
    TInstallLog* log_ = nullptr;
    TInstallFlow* flow_ = nullptr;
    bool asking_ = false;
    int exitCode_ = ecCancelled;
    std::optional<TTrustCheck> refused_;  // the check that refused the last install's program

    template <class T>
    void Bind(T*& field, const char* name);
};

}  // namespace qx
