#include "app/Ana.h"

#include "app/InstallLog.h"
#include "app/SetupFile.h"
#include "app/SetupTrust.h"
#include "components/RegisterComponents.h"
#include "core/ProgressText.h"
#include "core/Text.h"
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

namespace {

const std::u16string FailureText = u"Dosya Düzgün Bir Şekilde İndirilemedi.daha Sonra Tekrar Deneyiniz.";
const std::u16string CancelQuestion = u"İndirme iptal edilsin mi?";

// Starts the install of a passive or quiet run once the message loop runs.
constexpr UINT WM_START_INSTALL = WM_APP + 0x2B0;

// The question's buttons read "Evet" and "Hayır" whatever language the system's own buttons
// speak: the box is renamed as it is activated, before it is first painted.
HHOOK questionHook = nullptr;

LRESULT CALLBACK RenameQuestionButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t className[16] = {};
        GetClassNameW(box, className, 16);
        if (std::wstring(className) == L"#32770") {
            if (HWND yes = GetDlgItem(box, IDYES)) SetWindowTextW(yes, L"&Evet");
            if (HWND no = GetDlgItem(box, IDNO)) SetWindowTextW(no, L"&Hayır");
        }
    }
    return CallNextHookEx(questionHook, code, wParam, lParam);
}

bool AskYesNo(const std::u16string& text, const std::u16string& caption) {
    HHOOK outer = questionHook;
    questionHook = SetWindowsHookExW(WH_CBT, RenameQuestionButtons, nullptr, GetCurrentThreadId());
    int answer = IDNO;
    try {
        answer = Application->MessageBox(text, caption, MB_YESNO | MB_ICONQUESTION);
    } catch (...) {
    }
    if (questionHook) UnhookWindowsHookEx(questionHook);
    questionHook = outer;
    return answer == IDYES;
}

}  // namespace

TFrmAna::TFrmAna(TComponent* owner) : TForm(owner), platform_(&WindowsPlatform()), trust_(&WindowsTrust()) {
    RegisterComponentClasses();
    LoadLayoutResource(this, L"TFRMANA");
    const auto& catalogue = ProductCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) Bind(radios_[i], catalogue[i].RadioName);
    Bind(rdDrivano, "rdDrivano");
    Bind(rdHestra, "rdHestra");
    Bind(rdPartelo, "rdPartelo");
    Bind(rdLumiqo, "rdLumiqo");
    Bind(rdSarvek, "rdSarvek");
    Bind(rdNuvreta, "rdNuvreta");
    Bind(btncarihesaplar, "btncarihesaplar");
    Bind(ProgressBar1, "ProgressBar1");
    Bind(Label1, "Label1");
    Bind(Label2, "Label2");
    OnClose = [this](TObject*) {
        if (Installing()) {
            // The install ends the program itself once it has stopped; the close waits for it.
            SetCloseAction(TCloseAction::caNone);
            CloseRequested();
        }
    };
}

TRadioButton* TFrmAna::Radio(const TProduct& product) const {
    return radios_[static_cast<std::size_t>(&product - ProductCatalogue().data())];
}

const TProduct* TFrmAna::CheckedProduct() const {
    for (const TProduct& p : ProductCatalogue())
        if (Radio(p)->Checked()) return &p;
    return nullptr;
}

void TFrmAna::SetOptions(const TInstallerOptions& options, TInstallLog* log) {
    options_ = options;
    log_ = log;
}

void TFrmAna::StartFromOptions() {
    if (!options_.Product) return;
    Radio(ProductCatalogue()[*options_.Product])->SetChecked(true);
    if (options_.Ui != TUiLevel::Full) PostMessageW(Handle(), WM_START_INSTALL, 0, 0);
}

void TFrmAna::btncarihesaplarClick(TObject*) {
    if (!CheckedProduct()) {
        Application->MessageBox(u"Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.", u"Uyarı",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The choice is locked before any network work, until the install has failed.
    for (const TProduct& p : ProductCatalogue()) Radio(p)->SetEnabled(false);
    // Tested again rather than carried over: what counts is the state after the lock.
    for (const TProduct& p : ProductCatalogue()) {
        if (Radio(p)->Checked()) {
            DownloadAndLaunch(p.Url, p.LocalFileName);
            return;
        }
    }
}

void TFrmAna::DownloadAndLaunch(const std::u16string& url, const std::u16string& localFileName) {
    if (flow_) return;  // one install at a time, even from inside the running one's messages
    const TProduct* product = ProductOfUrl(url);
    TInstallFlow flow(Platform(), *this);
    TInstallFlow::TRequest request;
    request.Url = url;
    request.LocalFileName = localFileName;
    request.ProductWord = product ? product->Word : localFileName;
    request.SetupArguments = options_.SetupArguments;
    request.Wait = options_.Wait;
    request.Parent = options_.Ui == TUiLevel::Quiet ? nullptr : Handle();
    request.StallTimeout = stallTimeout_;
    request.Owner = this;
    // The file is judged under its transfer's own name, before it is put in place.
    refused_.reset();
    flow.CheckFile = [this](const std::u16string& path) {
        TFileCheck check;
        try {
            check.Signer = Utf16ToUtf8(VerifySetupProgram(Trust(), path, kPublisherName));
            check.Trusted = true;
        } catch (const ESetupNotTrusted& refused) {
            refused_ = refused.Check();
            check.FailedCheck = refused.what();
        }
        return check;
    };
    flow_ = &flow;
    TInstallOutcome outcome;
    try {
        outcome = flow.Run(request);
    } catch (...) {
        // Only a lack of memory gets here; the run still ends with its code.
        outcome = {ecInternalError, false};
    }
    flow_ = nullptr;
    Finished(outcome);
}

void TFrmAna::Finished(const TInstallOutcome& outcome) {
    exitCode_ = outcome.ExitCode;
    if (outcome.Launched || outcome.ExitCode == ecCancelled || options_.Ui != TUiLevel::Full) {
        Application->Terminate();
        return;
    }
    // Offline nothing has changed, and the install button is there for another try.
    if (outcome.ExitCode == ecNotOnline) return;
    // A refused program is told apart from a failed transfer: the user learns which check failed.
    Application->MessageBox(outcome.ExitCode == ecVerificationFailed && refused_ ? RefusalText(*refused_) : FailureText,
                            u"Uyarı", MB_OK | MB_ICONINFORMATION);
    // Back to the choice, as it was, for another try.
    for (const TProduct& p : ProductCatalogue()) Radio(p)->SetEnabled(true);
    btncarihesaplar->Show();
}

void TFrmAna::CloseRequested() {
    if (!flow_ || flow_->Cancelled() || asking_) return;
    if (options_.Ui == TUiLevel::Full) {
        asking_ = true;
        bool cancel = AskYesNo(CancelQuestion, u"Uyarı");
        asking_ = false;
        // The install may have ended while the question was open.
        if (!cancel || !flow_) return;
    }
    flow_->Cancel();
}

void TFrmAna::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_START_INSTALL:
            btncarihesaplarClick(this);
            m.Result = 0;
            return;
        case WM_QUERYENDSESSION:
        case WM_ENDSESSION:
            // The session ends: no one can be asked, and no setup program may start after it.
            if ((m.Msg == WM_QUERYENDSESSION || m.WParam) && flow_) flow_->Cancel();
            m.Result = m.Msg == WM_QUERYENDSESSION ? TRUE : 0;
            return;
        default: TForm::WndProc(m);
    }
}

bool TFrmAna::DialogKey(WPARAM key) {
    if (TForm::DialogKey(key)) return true;
    // Escape stops a running install as the close button does.
    if (key == VK_ESCAPE && Installing()) {
        Close();
        return true;
    }
    return false;
}

void TFrmAna::Step(const std::string& line) {
    if (log_) log_->Write(line);
}

void TFrmAna::TransferBegins() {
    Label1->Show();
    btncarihesaplar->Hide();
    ProgressBar1->Show();
    // The keys (Escape among them) come to the window while its controls are locked.
    if (HandleAllocated() && IsWindowVisible(Handle())) ::SetFocus(Handle());
}

void TFrmAna::TransferEnds() {
    Label1->Hide();
    ProgressBar1->Hide();
}

void TFrmAna::Progress(TUrlDownload* sender, std::uint32_t progress, std::uint32_t progressMax) {
    bool cancel = false;
    ShowDownloadProgress(sender, progress, progressMax, dsDownloadingData, std::string(), cancel);
}

void TFrmAna::Waiting() { Application->ProcessMessages(); }

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
