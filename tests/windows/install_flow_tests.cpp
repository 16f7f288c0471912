// The install command's download and launch on the main window, against a recording platform
// and a scripted download service that writes into a real folder.
#include "FakeBinding.h"
#include "FakeInstallerPlatform.h"
#include "FakeTrustPlatform.h"
#include "TestSupport.h"

#include "app/Ana.h"
#include "app/InstallLog.h"
#include "app/SetupFile.h"
#include "app/SetupTrust.h"
#include "core/ProgressText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qx;
using qx::testing::TFakeBinding;
using qx::testing::TFakeInstallerPlatform;
using qx::testing::TFakeTrustPlatform;

namespace {

const std::u16string FailureText = u"Dosya Düzgün Bir Şekilde İndirilemedi.daha Sonra Tekrar Deneyiniz.";

struct TBox {
    std::u16string Text, Caption;
    UINT Flags;
};

struct TReport {
    std::uint32_t Progress, ProgressMax;
};

// What the handler's message processing saw of the window while it ran for one report.
struct TSeen {
    std::u16string Caption;
    int Maximum, Position;
    bool LabelVisible, BarVisible, ButtonVisible;
};

const UINT WM_LOOK = WM_APP + 17;

// Plays the platform's download service: reports, then writes the file at the end (as the
// platform does, from its cache) and answers with Result. Before each report it posts a
// message that the window's message processing will deliver to the observer.
class TPlayedService : public IUrlDownloadService {
public:
    std::vector<TReport> Reports;
    std::string Body = std::string("MZ") + std::string(3000, 'x');
    bool Write = true;
    HRESULT Result = S_OK;
    bool WaitForAbort = false;  // a transfer that never sends data
    HWND Observer = nullptr;
    std::vector<std::wstring> Urls, Files;
    std::size_t CallsBefore = 0;  // the platform's calls made before the transfer
    TFakeInstallerPlatform* Platform = nullptr;
    TComponent* SenderOwner = nullptr;
    DWORD Status = 0;             // an HTTP answer to tell the callback of (0: none)
    const wchar_t* Headers = L"";
    std::function<void(std::size_t report)> BeforeReport;  // what happens at the window meanwhile
    std::vector<HRESULT> Answers;

    bool Load() override { return true; }
    HRESULT DownloadToFile(const wchar_t* url, const wchar_t* file, IBindStatusCallback* callback) override;
};

HRESULT TPlayedService::DownloadToFile(const wchar_t* url, const wchar_t* file, IBindStatusCallback* callback) {
    Urls.push_back(url);
    Files.push_back(file);
    if (Platform) CallsBefore = Platform->Calls.size();
    if (WaitForAbort) {
        TFakeBinding binding;
        callback->OnStartBinding(0, &binding);
        DWORD waited = qx::testing::PumpUntilAborted(binding, 20000);
        callback->OnStopBinding(E_ABORT, nullptr);
        return waited == WAIT_OBJECT_0 ? E_ABORT : E_FAIL;
    }
    if (Status) {
        IHttpNegotiate* negotiate = nullptr;
        callback->QueryInterface(IID_IHttpNegotiate, reinterpret_cast<void**>(&negotiate));
        if (negotiate) negotiate->OnResponse(Status, Headers, nullptr, nullptr);
    }
    for (std::size_t i = 0; i < Reports.size(); ++i) {
        if (Observer) PostMessageW(Observer, WM_LOOK, 0, 0);
        if (BeforeReport) BeforeReport(i);
        Answers.push_back(callback->OnProgress(Reports[i].Progress, Reports[i].ProgressMax, BINDSTATUS_DOWNLOADINGDATA, url));
        if (Answers.back() == E_ABORT) {
            // Stopped as the platform stops: what came so far is left in the file.
            std::ofstream(file, std::ios::binary) << Body.substr(0, Reports[i].Progress);
            return E_ABORT;
        }
    }
    if (Write) {
        std::ofstream out(file, std::ios::binary);
        out << Body;
    }
    return Result;
}

std::vector<std::wstring> FilesIn(const std::wstring& folder) {
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
    std::sort(names.begin(), names.end());
    return names;
}

std::string Contents(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring W(const std::u16string& text) { return std::wstring(text.begin(), text.end()); }

// True once: the request to end the program, taken off the queue so later tests start clean.
bool TakeQuitRequest() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
}

class InstallFlow : public ::testing::Test {
protected:
    // Records what the window shows at the moment the fake service asks it to look.
    static LRESULT CALLBACK ObserverProc(HWND h, UINT m, WPARAM w, LPARAM l) {
        auto* self = reinterpret_cast<InstallFlow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
        if (m == WM_LOOK && self) {
            TFrmAna& f = self->form;
            self->seen.push_back({f.Label1->Caption(), f.ProgressBar1->Maximum(), f.ProgressBar1->Position(),
                                  f.Label1->Visible(), f.ProgressBar1->Visible(), f.btncarihesaplar->Visible()});
            return 0;
        }
        return DefWindowProcW(h, m, w, l);
    }
    void SetUp() override {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        // A user's desktop under Turkish folder names: no narrow code page call may touch it.
        root = std::wstring(temp) + L"qx-install-flow-" + std::to_wstring(GetCurrentProcessId()) + L"\\";
        folder = root + L"Kullanıcılar\\Şule\\Masaüstü\\";
        for (std::wstring part : {root, root + L"Kullanıcılar\\", root + L"Kullanıcılar\\Şule\\", folder})
            CreateDirectoryW(part.c_str(), nullptr);
        platform.ModulePath = folder + L"QuenrixInstaller.exe";
        platform.Service = &service;
        service.Platform = &platform;
        form.SetPlatform(platform);
        form.SetTrust(trust);
        form.Show();
        savedBox = Application->OnMessageBox;
        Application->OnMessageBox = [this](const std::u16string& t, const std::u16string& c, UINT f) {
            boxes.push_back({t, c, f});
            return IDOK;
        };
        WNDCLASSW wc{};
        wc.lpfnWndProc = ObserverProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"QxInstallFlowObserver";
        RegisterClassW(&wc);
        observer = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        SetWindowLongPtrW(observer, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        service.Observer = observer;
    }
    void TearDown() override {
        DestroyWindow(observer);
        Application->OnMessageBox = savedBox;
        TakeQuitRequest();
        for (const std::wstring& name : FilesIn(folder)) {
            SetFileAttributesW((folder + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileW((folder + name).c_str());
        }
        for (std::wstring part : {folder, root + L"Kullanıcılar\\Şule\\", root + L"Kullanıcılar\\", root})
            RemoveDirectoryW(part.c_str());
    }

    void Choose(TRadioButton* radio) {
        radio->SetChecked(true);
        form.btncarihesaplar->Click();
    }
    int DownloadActions() const {
        return static_cast<int>(std::count_if(form.Components().begin(), form.Components().end(),
                                              [](TComponent* c) { return dynamic_cast<TUrlDownload*>(c); }));
    }
    // The state after a failed transfer: one box, nothing started, the program goes on, and
    // the window is back at the choice with the product still chosen.
    void ExpectFailureReportedOnce(TRadioButton* chosen) {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Text, FailureText);
        EXPECT_EQ(boxes[0].Caption, u"Uyarı");
        EXPECT_EQ(boxes[0].Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
        EXPECT_TRUE(platform.Launches.empty());
        EXPECT_FALSE(TakeQuitRequest()) << "the installer stays open";
        EXPECT_FALSE(form.Label1->Visible());
        EXPECT_FALSE(form.ProgressBar1->Visible());
        EXPECT_TRUE(form.btncarihesaplar->Visible()) << "ready for another try";
        for (const TProduct& p : ProductCatalogue()) EXPECT_TRUE(form.Radio(p)->Enabled());
        EXPECT_TRUE(chosen->Checked()) << "the choice is kept";
        EXPECT_EQ(DownloadActions(), 0) << "the action is freed";
    }

    TFrmAna form{nullptr};
    TFakeInstallerPlatform platform;
    TFakeTrustPlatform trust;
    TPlayedService service;
    std::wstring root, folder;
    std::vector<TBox> boxes;
    std::vector<TSeen> seen;
    HWND observer = nullptr;
    decltype(TApplication::OnMessageBox) savedBox;
};

TEST_F(InstallFlow, OfflineNothingIsShownOrClearedAndASecondClickRetriesTheSameProduct) {
    platform.Online = false;
    platform.Cache = {"http://a/", "http://b/"};
    Choose(form.rdPartelo);
    EXPECT_EQ(platform.Calls, std::vector<std::string>{"connected? reserved=0"}) << "the cache is untouched";
    EXPECT_TRUE(service.Urls.empty());
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(form.Label1->Visible());
    EXPECT_FALSE(form.ProgressBar1->Visible());
    EXPECT_TRUE(form.btncarihesaplar->Visible());
    EXPECT_FALSE(form.rdPartelo->Enabled());
    EXPECT_EQ(DownloadActions(), 0);
    EXPECT_FALSE(TakeQuitRequest());

    platform.Online = true;
    form.btncarihesaplar->Click();
    ASSERT_EQ(service.Urls.size(), 1u);
    EXPECT_EQ(service.Urls[0], L"http://www.quenrix.com.tr/Kur/ParteloSetup.exe");
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"ParteloKur.exe"});
    EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(InstallFlow, EachProductIsFetchedFromItsUrlIntoItsFileBesideTheProgramAndStarted) {
    service.Reports = {{0, 3002}, {3002, 3002}};
    const auto& catalogue = ProductCatalogue();
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const TProduct& p = catalogue[i];
        SCOPED_TRACE(p.RadioName);
        TFrmAna window(nullptr);
        window.SetPlatform(platform);
        window.SetTrust(trust);
        platform.Calls.clear();
        platform.Launches.clear();
        platform.Cache = {"http://old/1", "http://old/2"};
        service.Urls.clear();
        service.Files.clear();
        service.Body = "MZ" + std::string(3000, static_cast<char>('a' + i));
        window.Radio(p)->SetChecked(true);
        window.btncarihesaplar->Click();

        std::wstring target = folder + W(p.LocalFileName);
        ASSERT_EQ(service.Urls.size(), 1u);
        EXPECT_EQ(service.Urls[0], W(p.Url));
        // Written beside the target under a name of its own, then put in place.
        EXPECT_EQ(service.Files[0].rfind(target + L".", 0), 0u) << std::string(service.Files[0].begin(), service.Files[0].end());
        EXPECT_NE(service.Files[0], target);
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{W(p.LocalFileName)});
        EXPECT_EQ(Contents(target), service.Body);
        // The cache is emptied before the transfer, and nothing else happens in between.
        std::vector<std::string> before(platform.Calls.begin(), platform.Calls.begin() + service.CallsBefore);
        EXPECT_EQ(before.front(), "connected? reserved=0");
        EXPECT_NE(std::find(before.begin(), before.end(), "delete http://old/2"), before.end());
        EXPECT_EQ(before.back(), "close");
        ASSERT_EQ(platform.Launches.size(), 1u);
        const auto& launch = platform.Launches[0];
        EXPECT_EQ(launch.Parent, window.Handle());
        EXPECT_EQ(launch.Verb, nullptr);
        EXPECT_EQ(launch.File, target);
        EXPECT_TRUE(launch.ParametersGiven);
        EXPECT_TRUE(launch.Parameters.empty());
        EXPECT_EQ(launch.Folder, nullptr);
        EXPECT_EQ(launch.ShowCommand, SW_SHOWNORMAL);
        EXPECT_EQ(launch.Mask, static_cast<ULONG>(SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI));
        EXPECT_TRUE(TakeQuitRequest()) << "the installer ends";
        EXPECT_TRUE(boxes.empty());
        EXPECT_FALSE(window.Label1->Visible());
        EXPECT_FALSE(window.ProgressBar1->Visible());
        EXPECT_EQ(std::count_if(window.Components().begin(), window.Components().end(),
                                [](TComponent* c) { return dynamic_cast<TUrlDownload*>(c); }),
                  0);
        DeleteFileW(target.c_str());
    }
}

TEST_F(InstallFlow, ProgressSetsTheBarThenProcessesMessagesThenWritesTheText) {
    platform.Separator = u".";
    service.Reports = {{0, 0}, {1536, 5000000}, {1263616, 5000000}, {5000000, 5000000}};
    service.Body = "MZ" + std::string(100, 'x');
    Choose(form.rdNuvreta);
    ASSERT_EQ(seen.size(), 4u);
    // Messages are processed after the bar is set and before the text is: each report's
    // processing sees its own bar and the previous report's text.
    const std::u16string texts[] = {u"", u" KB  /    KB ", u"2 KB  /  4.883  KB ", u"1.234 KB  /  4.883  KB "};
    const TReport* r = service.Reports.data();
    for (std::size_t i = 0; i < seen.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(seen[i].Caption, texts[i]);
        EXPECT_EQ(seen[i].Maximum, static_cast<int>(r[i].ProgressMax));
        EXPECT_EQ(seen[i].Position, static_cast<int>(r[i].Progress));
        EXPECT_TRUE(seen[i].LabelVisible);
        EXPECT_TRUE(seen[i].BarVisible);
        EXPECT_FALSE(seen[i].ButtonVisible);
    }
    EXPECT_EQ(form.Label1->Caption(), u"4.883 KB  /  4.883  KB ");
    EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(InstallFlow, TheKilobyteTextTakesTheUsersSeparator) {
    bool cancel = false;
    for (auto [separator, text] : {std::pair{u",", u"1,234 KB  /  4,883  KB "}, std::pair{u".", u"1.234 KB  /  4.883  KB "},
                                   std::pair{u"", u"1234 KB  /  4883  KB "}}) {
        platform.Separator = separator;
        form.ShowDownloadProgress(nullptr, 1263616, 5000000, dsDownloadingData, "", cancel);
        EXPECT_EQ(form.Label1->Caption(), text);
    }
    EXPECT_FALSE(cancel);
    // Sizes past the bar's int range keep their proportion.
    form.ShowDownloadProgress(nullptr, 0xC0000000u, 0xFFFFFFFFu, dsDownloadingData, "", cancel);
    EXPECT_GT(form.ProgressBar1->Maximum(), 0);
    EXPECT_NEAR(double(form.ProgressBar1->Position()) / form.ProgressBar1->Maximum(), 0.75, 0.001);
}

TEST_F(InstallFlow, AServiceFailureIsReportedOnceAndLeavesNothing) {
    service.Reports = {{1000, 3002}};
    service.Result = INET_E_DOWNLOAD_FAILURE;
    Choose(form.rdDrivano);
    ExpectFailureReportedOnce(form.rdDrivano);
    EXPECT_TRUE(FilesIn(folder).empty());
    // Another try, once the server answers, installs at once from the same window.
    service.Result = S_OK;
    service.Reports = {{3002, 3002}};
    boxes.clear();
    Choose(form.rdHestra);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(platform.Launches.size(), 1u);
    EXPECT_EQ(platform.Launches[0].File, folder + L"HestraKur.exe");
    EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(InstallFlow, APageInsteadOfAProgramOrACutOffBodyIsAFailureAndAnEarlierGoodFileIsKept) {
    std::wstring target = folder + L"HestraKur.exe";
    const std::string earlier = "MZ earlier good setup";
    struct TCase {
        const char* what;
        std::string body;
        std::vector<TReport> reports;
    } cases[] = {
        {"an HTML page answered with 200", "<html><body>Giriş yapınız</body></html>", {{40, 40}}},
        {"fewer bytes than announced", "MZ" + std::string(998, 'x'), {{1000, 5000}}},
        {"an empty answer", "", {}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        { std::ofstream(target.c_str(), std::ios::binary) << earlier; }
        TFrmAna window(nullptr);
        window.SetPlatform(platform);
        window.SetTrust(trust);
        platform.Launches.clear();
        boxes.clear();
        service.Body = c.body;
        service.Reports = c.reports;
        window.rdHestra->SetChecked(true);
        window.btncarihesaplar->Click();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Text, FailureText);
        EXPECT_TRUE(platform.Launches.empty());
        EXPECT_FALSE(TakeQuitRequest());
        EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"HestraKur.exe"}) << "no piece left beside it";
        EXPECT_EQ(Contents(target), earlier);
    }
    // A complete new file replaces the earlier one.
    service.Body = "MZ new";
    service.Reports = {{6, 6}};
    boxes.clear();
    Choose(form.rdHestra);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(Contents(target), "MZ new");
    EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(InstallFlow, ATargetHeldOpenIsAFailureThatKeepsItAndLeavesNoPiece) {
    std::wstring target = folder + L"SarvekKur.exe";
    { std::ofstream(target.c_str(), std::ios::binary) << "MZ running"; }
    HANDLE held = CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    service.Reports = {{3002, 3002}};
    Choose(form.rdSarvek);
    CloseHandle(held);
    ExpectFailureReportedOnce(form.rdSarvek);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"SarvekKur.exe"});
    EXPECT_EQ(Contents(target), "MZ running");
}

TEST_F(InstallFlow, ATransferWithoutDataIsGivenUpAfterTheStallTimeout) {
    EXPECT_EQ(form.StallTimeout(), 60000u) << "a minute by default";
    form.SetStallTimeout(300);
    service.WaitForAbort = true;
    Choose(form.rdLumiqo);
    ExpectFailureReportedOnce(form.rdLumiqo);
    EXPECT_TRUE(FilesIn(folder).empty());
}

TEST_F(InstallFlow, AFailingLaunchIsReportedOnceAndDoesNotEndTheProgram) {
    service.Reports = {{3002, 3002}};
    platform.OnLaunch = [](const TFakeInstallerPlatform::TShellCall&) { throw std::runtime_error("no shell"); };
    Choose(form.rdLumiqo);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, FailureText);
    EXPECT_FALSE(TakeQuitRequest());
    EXPECT_FALSE(form.Label1->Visible());
    EXPECT_FALSE(form.ProgressBar1->Visible());
    EXPECT_EQ(DownloadActions(), 0);
}

TEST_F(InstallFlow, ALaunchTheShellRefusesIsReportedAndKeepsTheCompleteFile) {
    service.Reports = {{3002, 3002}};
    platform.LaunchSucceeds = false;
    Choose(form.rdSarvek);
    ASSERT_EQ(platform.Launches.size(), 1u);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, FailureText);
    EXPECT_FALSE(TakeQuitRequest());
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"SarvekKur.exe"});
}

TEST_F(InstallFlow, ClosingDuringTheTransferAsksAndEvetStopsItRemovesTheFileAndStartsNothing) {
    service.Reports = {{1000, 9000}, {2000, 9000}, {3000, 9000}, {9000, 9000}};
    service.Body = "MZ" + std::string(8998, 'x');
    std::vector<int> answers = {IDNO, IDYES};
    Application->OnMessageBox = [&](const std::u16string& t, const std::u16string& c, UINT f) {
        boxes.push_back({t, c, f});
        int answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    };
    // The user closes the window during the first report (and says no), then again (and says yes).
    service.BeforeReport = [&](std::size_t report) {
        if (report <= 1) PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
    };
    Choose(form.rdSarvek);
    ASSERT_EQ(boxes.size(), 2u) << "asked once per close, no failure box";
    EXPECT_EQ(boxes[0].Text, u"İndirme iptal edilsin mi?");
    EXPECT_EQ(boxes[0].Flags & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    EXPECT_EQ(service.Answers[0], S_OK) << "Hayır carries on";
    EXPECT_EQ(service.Answers[1], E_ABORT) << "Evet stops the transfer at its next report";
    EXPECT_TRUE(platform.Launches.empty());
    EXPECT_TRUE(FilesIn(folder).empty()) << "what was received is removed";
    EXPECT_EQ(form.ExitCode(), 1602);
    EXPECT_TRUE(TakeQuitRequest());
}

TEST_F(InstallFlow, APassiveRunIsCancelledByACloseWithoutAQuestionAndLogsEveryStep) {
    std::wstring logPath = root + L"kurulum.log";
    {
        TInstallLog log;
        ASSERT_TRUE(log.Open(std::u16string(logPath.begin(), logPath.end())));
        TInstallerOptions options;
        options.Product = 4;  // Sarvek
        options.Ui = TUiLevel::Passive;
        // A 404 first: no box, the run ends with the server's code.
        form.SetOptions(options, &log);
        service.Status = 404;
        service.Headers = L"HTTP/1.1 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 120\r\n";
        service.Reports = {{120, 120}};
        service.Result = S_OK;
        form.StartFromOptions();
        MSG msg;
        bool ended = false;
        while (!ended && PeekMessageW(&msg, form.Handle(), 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                ended = true;  // this loop meets the request to end as well
            else
                DispatchMessageW(&msg);
        }
        EXPECT_TRUE(ended || TakeQuitRequest());
        EXPECT_EQ(form.ExitCode(), 2002);
        // Then a close during the transfer: cancelled at once, nothing asked.
        service.Status = 200;
        service.Headers = L"HTTP/1.1 200 OK\r\nContent-Length: 9000\r\n";
        service.Reports = {{1000, 9000}, {9000, 9000}};
        service.BeforeReport = [&](std::size_t report) {
            if (report == 0) PostMessageW(form.Handle(), WM_CLOSE, 0, 0);
        };
        form.btncarihesaplar->Click();
        EXPECT_EQ(form.ExitCode(), 1602);
        EXPECT_TRUE(TakeQuitRequest());
        form.SetOptions(options, nullptr);
    }
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(platform.Launches.empty());
    std::string text = Contents(logPath);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at + 25, end - at - 25));  // after "YYYY-MM-DD HH:MM:SS.mmm  "
    const std::string product = "Product Sarvek, address http://www.quenrix.com.tr/Kur/SarvekSetup.exe";
    ASSERT_EQ(lines.size(), 12u) << text;
    EXPECT_EQ(lines[0], product);
    EXPECT_EQ(lines[1], "Connection test: online");
    EXPECT_EQ(lines[2], "URL cache emptied");
    EXPECT_EQ(lines[3], "HTTP 404, 120 bytes announced");
    EXPECT_EQ(lines[4].rfind("Received 120 bytes in ", 0), 0u);
    EXPECT_EQ(lines[5], "The server answered with HTTP status 404");
    EXPECT_EQ(lines[6], product);
    EXPECT_EQ(lines[9], "HTTP 200, 9000 bytes announced");
    EXPECT_EQ(lines[10].rfind("Received 1000 bytes in ", 0), 0u) << "the transfer stopped at the close";
    EXPECT_EQ(lines[11], "Cancelled by the user: the transfer was stopped and its file removed");
    EXPECT_EQ(text.substr(4, 1) + text.substr(7, 1) + text.substr(13, 1) + text.substr(19, 1), "--:.");
    DeleteFileW(logPath.c_str());
}

TEST_F(InstallFlow, AProgramThatIsNotTrustedIsDeletedReportedAndNotStartedAndAnEarlierFileStays) {
    std::wstring target = folder + L"NuvretaKur.exe";
    { std::ofstream(target.c_str(), std::ios::binary) << "MZ earlier good setup"; }
    service.Reports = {{3002, 3002}};
    trust.CommonName = L"Other Publisher";
    Choose(form.rdNuvreta);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, RefusalText(TTrustCheck::Publisher));
    EXPECT_EQ(boxes[0].Caption, u"Uyarı");
    EXPECT_EQ(boxes[0].Flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(platform.Launches.empty());
    EXPECT_FALSE(TakeQuitRequest());
    // Judged under the transfer's own name: the target never held the refused program.
    ASSERT_EQ(service.Files.size(), 1u);
    EXPECT_EQ(trust.VerifiedPath, service.Files[0]);
    EXPECT_EQ(FilesIn(folder), std::vector<std::wstring>{L"NuvretaKur.exe"});
    EXPECT_EQ(Contents(target), "MZ earlier good setup");
    EXPECT_EQ(trust.OpenStates, 0);
    EXPECT_EQ(DownloadActions(), 0);
}

TEST(SetupFile, TheInstallersFolderComesFromItsOwnPathHoweverLong) {
    TFakeInstallerPlatform platform;
    platform.ModulePath = L"C:\\Kullanıcılar\\Şule\\Masaüstü\\QuenrixInstaller.exe";
    EXPECT_EQ(InstallerFolder(platform), u"C:\\Kullanıcılar\\Şule\\Masaüstü\\");
    std::wstring deep = L"\\\\?\\C:";
    while (deep.size() < 1000) deep += L"\\klasör";
    platform.ModulePath = deep + L"\\QuenrixInstaller.exe";
    std::u16string folder = InstallerFolder(platform);
    EXPECT_EQ(W(folder), deep + L"\\");
    platform.ModulePath = L"";
    EXPECT_THROW(InstallerFolder(platform), ESetupFileError);
}

}  // namespace
