// The installer's main window: the product choice and the install command.
#pragma once
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"

#include "app/Catalogue.h"
#include "download/InstallerPlatform.h"
#include "download/TrustPlatform.h"
#include "download/UrlDownload.h"

#include <cstdint>
#include <string>

namespace qx {

class TFrmAna : public TForm {
    QX_CLASS_INFO()
public:
    explicit TFrmAna(TComponent* owner);

    // The install button's OnClick.
    void btncarihesaplarClick(TObject* sender);
    // The first product, in catalogue order, whose radio button is checked; none when none is.
    const TProduct* CheckedProduct() const;

    // Downloads url into the installer's own folder as localFileName with progress, starts it
    // once its signature is verified and ends the installer; offline it does nothing, and a
    // failed transfer or a refused program is reported.
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

private:
    IInstallerPlatform* platform_;
    ITrustPlatform* trust_;
    std::uint32_t stallTimeout_ = DefaultStallTimeout;

    template <class T>
    void Bind(T*& field, const char* name);
};

}  // namespace qx
