#include "app/Ana.h"

#include "app/SetupFile.h"
#include "app/SetupTrust.h"
#include "components/RegisterComponents.h"
#include "core/ProgressText.h"
#include "framework/LayoutLoader.h"

#include <limits>
#include <string>

namespace qx {

const TClassInfo& TFrmAna::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TFrmAna>("TFrmAna", &TForm::StaticClassInfo())
                                       .PublishMethod<&TFrmAna::btncarihesaplarClick>("btncarihesaplarClick")
                                       .Build();
    return info;
}

template <class T>
void TFrmAna::Bind(T*& field, const char* name) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (!field) throw ELayoutError(std::string("the layout has no ") + T::StaticClassInfo().Name + " named " + name);
}

TFrmAna::TFrmAna(TComponent* owner) : TForm(owner), platform_(&WindowsPlatform()), trust_(&WindowsTrust()) {
    RegisterComponentClasses();
    LoadLayoutResource(this, L"TFRMANA");
    for (const TProduct& p : ProductCatalogue()) Bind(this->*p.Radio, p.RadioName);
    Bind(btncarihesaplar, "btncarihesaplar");
    Bind(ProgressBar1, "ProgressBar1");
    Bind(Label1, "Label1");
    Bind(Label2, "Label2");
}

const TProduct* TFrmAna::CheckedProduct() const {
    for (const TProduct& p : ProductCatalogue())
        if ((this->*p.Radio)->Checked()) return &p;
    return nullptr;
}

void TFrmAna::btncarihesaplarClick(TObject*) {
    if (!CheckedProduct()) {
        Application->MessageBox(u"Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.", u"Uyarı",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The choice is locked before any network work and stays locked for the whole run.
    for (const TProduct& p : ProductCatalogue()) (this->*p.Radio)->SetEnabled(false);
    // Tested again rather than carried over: what counts is the state after the lock.
    for (const TProduct& p : ProductCatalogue()) {
        if ((this->*p.Radio)->Checked()) {
            DownloadAndLaunch(p.Url, p.LocalFileName);
            return;
        }
    }
}

void TFrmAna::DownloadAndLaunch(const std::u16string& url, const std::u16string& localFileName) {
    IInstallerPlatform& platform = Platform();
    if (!IsInternetConnected(platform)) return;
    ClearUrlCache(platform);  // swallows its own errors: an uncleared cache does not stop the transfer

    auto* download = new TUrlDownload(this);
    std::u16string partial;
    // Runs on every way out: the action never outlives the call.
    struct TCleanUp {
        TFrmAna& form;
        TUrlDownload* download;
        ~TCleanUp() {
            form.Label1->Hide();
            form.ProgressBar1->Hide();
            delete download;
        }
    } cleanUp{*this, download};

    Label1->Show();
    btncarihesaplar->Hide();
    ProgressBar1->Show();
    try {
        std::u16string target = InstallerFolder(platform) + localFileName;
        partial = PartialFileName(target);
        RemovePartialFile(partial);  // left by a crashed earlier process that had the same id
        download->SetURL(url);
        download->SetFilename(partial);
        download->SetService(&platform.DownloadService());
        download->SetStallTimeout(stallTimeout_);
        download->OnDownloadProgress = [this](TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax,
                                              TURLDownloadStatus status, std::string text, bool& cancel) {
            ShowDownloadProgress(sender, progress, progressMax, status, std::move(text), cancel);
        };
        download->ExecuteTarget(nullptr);
        PutVerifiedSetupFileInPlace(Trust(), partial, target);
        partial.clear();
        HINSTANCE launched = platform.ShellExecuteW(Handle(), nullptr, reinterpret_cast<const wchar_t*>(target.c_str()),
                                                    L"", nullptr, SW_SHOWNORMAL);
        // Ending quietly when the shell refused to start the program would look like success; the
        // complete file stays in place so the user can still start it by hand.
        if (reinterpret_cast<INT_PTR>(launched) <= 32)
            throw ESetupFileError("the shell did not start the setup program (" +
                                  std::to_string(reinterpret_cast<INT_PTR>(launched)) + ")");
        Application->Terminate();
    } catch (const ESetupNotTrusted& refused) {
        RemovePartialFile(partial);
        Application->MessageBox(RefusalText(refused.Check()), u"Uyarı", MB_OK | MB_ICONINFORMATION);
    } catch (...) {
        // Whatever failed, nothing half-made stays under the setup program's name or beside it.
        if (!partial.empty()) RemovePartialFile(partial);
        Application->MessageBox(u"Dosya Düzgün Bir Şekilde İndirilemedi.daha Sonra Tekrar Deneyiniz.", u"Uyarı",
                                MB_OK | MB_ICONINFORMATION);
    }
}

void TFrmAna::ShowDownloadProgress(TUrlDownload*, std::uint32_t progress, std::uint32_t progressMax,
                                   TURLDownloadStatus, std::string, bool&) {
    // The bar counts in int; sizes beyond it are scaled alike, so the proportion stays.
    std::uint32_t maximum = progressMax, position = progress;
    while (maximum > static_cast<std::uint32_t>(std::numeric_limits<int>::max()) ||
           position > static_cast<std::uint32_t>(std::numeric_limits<int>::max())) {
        maximum >>= 1;
        position >>= 1;
    }
    ProgressBar1->SetMaximum(static_cast<int>(maximum));
    ProgressBar1->SetPosition(static_cast<int>(position));
    Application->ProcessMessages();
    Label1->SetCaption(DownloadStatusText(progress, progressMax, Platform().ThousandSeparator()));
}

}  // namespace qx
