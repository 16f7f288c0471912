#include "FakeBinding.h"

#include "download/UrlDownload.h"
#include "download/UrlMonService.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <stdexcept>
#include <vector>

using namespace qx;
using ::testing::ElementsAre;
using qx::testing::PumpUntilAborted;
using qx::testing::TFakeBinding;

namespace {

// A download service that plays a script against the callback it is given.
class TScriptedService : public IUrlDownloadService {
public:
    std::function<HRESULT(IBindStatusCallback*)> Script;
    std::wstring Url, File;
    IBindStatusCallback* Callback = nullptr;
    int Loads = 0, Downloads = 0;
    bool Available = true;

    bool Load() override {
        ++Loads;
        return Available;
    }
    HRESULT DownloadToFile(const wchar_t* url, const wchar_t* file, IBindStatusCallback* callback) override {
        ++Downloads;
        Url = url;
        File = file;
        Callback = callback;
        return Script ? Script(callback) : S_OK;
    }
};

struct TReport {
    std::uint32_t Progress, ProgressMax;
    TURLDownloadStatus Status;
    std::string Text;
    bool operator==(const TReport&) const = default;
};

class UrlDownloadTest : public ::testing::Test {
protected:
    UrlDownloadTest() : download(nullptr) {
        download.SetService(&service);
        download.SetURL(u"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
        download.SetFilename(u"C:\\Kurulum\\DrivanoKur.exe");
    }
    void RecordReports(std::function<bool(const TReport&)> cancelAt = {}) {
        download.OnDownloadProgress = [this, cancelAt](TUrlDownload* sender, std::uint32_t progress,
                                                       std::uint32_t progressMax, TURLDownloadStatus status,
                                                       std::string text, bool& cancel) {
            EXPECT_EQ(sender, &download);
            EXPECT_FALSE(cancel) << "Cancel starts false on every report";
            reports.push_back({progress, progressMax, status, text});
            if (cancelAt) cancel = cancelAt(reports.back());
        };
    }
    std::string ErrorOf(std::function<void()> action) {
        try {
            action();
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }

    TScriptedService service;
    TUrlDownload download;
    std::vector<TReport> reports;
    std::vector<HRESULT> answers;
};

TEST_F(UrlDownloadTest, PassesUrlFileAndItsOwnCallbackWithWideText) {
    download.SetFilename(u"C:\\Users\\Gökçe\\İndirilenler\\ŞğüKur.exe");
    download.ExecuteTarget(nullptr);
    EXPECT_EQ(service.Url, L"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    EXPECT_EQ(service.File, L"C:\\Users\\Gökçe\\İndirilenler\\ŞğüKur.exe");
    EXPECT_EQ(service.Callback, static_cast<IBindStatusCallback*>(&download));
}

TEST_F(UrlDownloadTest, StatusCodesMapInOrderAndOthersNeverEscape) {
    RecordReports();
    service.Script = [this](IBindStatusCallback* callback) {
        for (ULONG code : {1ul, 5ul, 0ul, 47ul, 48ul, 0xFFFFFFFFul, 39ul, 6ul})
            answers.push_back(callback->OnProgress(code == 6 ? 100 : code, 100, code, L"x"));
        return S_OK;
    };
    download.ExecuteTarget(nullptr);
    EXPECT_THAT(reports, ElementsAre(TReport{1, 100, dsFindingResource, "x"}, TReport{5, 100, dsDownloadingData, "x"},
                                     TReport{47, 100, dsSessionCookiesAllowed, "x"},
                                     TReport{39, 100, dsCookeStateReject, "x"},
                                     TReport{100, 100, dsEndDownloadData, "x"}));
    for (HRESULT answer : answers) EXPECT_EQ(answer, S_OK);
    EXPECT_EQ(URLDownloadStatusCount, 47);
}

TEST_F(UrlDownloadTest, StatusTextIsTrimmedAndAbsentTextIsEmpty) {
    RecordReports();
    service.Script = [](IBindStatusCallback* callback) {
        callback->OnProgress(0, 0, BINDSTATUS_MIMETYPEAVAILABLE, L"  application/octet-stream\r\n");
        callback->OnProgress(0, 0, BINDSTATUS_CONNECTING, L" \t\r\n\x01 ");
        callback->OnProgress(0, 0, BINDSTATUS_CONNECTING, nullptr);
        callback->OnProgress(0, 0, BINDSTATUS_CONNECTING, L"");
        return S_OK;
    };
    download.ExecuteTarget(nullptr);
    ASSERT_EQ(reports.size(), 4u);
    EXPECT_EQ(reports[0].Text, "application/octet-stream");
    EXPECT_EQ(reports[1].Text, "");
    EXPECT_EQ(reports[2].Text, "");
    EXPECT_EQ(reports[3].Text, "");
}

TEST_F(UrlDownloadTest, CancelAnswersAbortAndAnyResultButSOkFails) {
    RecordReports([](const TReport& report) { return report.Progress == 3; });
    service.Script = [this](IBindStatusCallback* callback) {
        for (ULONG progress = 1; progress <= 4; ++progress) {
            HRESULT answer = callback->OnProgress(progress, 4, BINDSTATUS_DOWNLOADINGDATA, L"");
            answers.push_back(answer);
            if (answer == E_ABORT) return E_ABORT;
        }
        return S_OK;
    };
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }),
              "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    EXPECT_THAT(answers, ElementsAre(S_OK, S_OK, E_ABORT));

    download.OnDownloadProgress = nullptr;
    service.Script = [](IBindStatusCallback*) { return S_FALSE; };  // success, yet not S_OK
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }),
              "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    service.Script = nullptr;
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }), "(no error)");  // runs again after failures
}

// Plays an HTTP answer the way the service learns it: through the negotiation that the
// callback's service provider hands out, then reports of the body.
HRESULT Answer(IBindStatusCallback* callback, DWORD status, ULONG received, ULONG announced,
               std::vector<HRESULT>& answers) {
    IServiceProvider* provider = nullptr;
    IHttpNegotiate* negotiate = nullptr;
    if (FAILED(callback->QueryInterface(IID_IServiceProvider, reinterpret_cast<void**>(&provider)))) return E_FAIL;
    if (FAILED(provider->QueryService(IID_IHttpNegotiate, IID_IHttpNegotiate, reinterpret_cast<void**>(&negotiate))))
        return E_FAIL;
    LPWSTR extra = reinterpret_cast<LPWSTR>(1);
    if (negotiate->BeginningTransaction(L"http://x/", L"", 0, &extra) != S_OK || extra) return E_FAIL;
    if (status != 200) negotiate->OnResponse(302, L"HTTP/1.1 302 Found\r\n", nullptr, nullptr);
    negotiate->OnResponse(status, L"HTTP/1.1\r\n", nullptr, &extra);
    for (ULONG got = 0; got < received;) {
        got = std::min(received, got + 100);
        answers.push_back(callback->OnProgress(got, announced, BINDSTATUS_DOWNLOADINGDATA, L""));
    }
    return S_OK;  // as a lenient service does, whatever the answer was
}

TEST_F(UrlDownloadTest, ErrorStatusOrShortBodyFailsThoughTheServiceSaysSOk) {
    struct TCase {
        DWORD Status;
        ULONG Received, Announced;
        bool Fails;
    };
    for (TCase c : {TCase{200, 300, 300, false}, TCase{200, 300, 0, false}, TCase{200, 200, 300, true},
                    TCase{404, 300, 300, true}, TCase{500, 100, 100, true}, TCase{200, 400, 300, false}}) {
        answers.clear();
        service.Script = [&](IBindStatusCallback* callback) {
            return Answer(callback, c.Status, c.Received, c.Announced, answers);
        };
        std::string error = ErrorOf([&] { download.ExecuteTarget(nullptr); });
        EXPECT_EQ(error != "(no error)", c.Fails) << c.Status << " " << c.Received << "/" << c.Announced;
        // An error page is not received to its end.
        for (HRESULT answer : answers) EXPECT_EQ(answer, c.Status >= 400 ? E_ABORT : S_OK);
    }
}

TEST_F(UrlDownloadTest, WithoutAHandlerEveryReportIsAnsweredSOk) {
    service.Script = [this](IBindStatusCallback* callback) {
        for (ULONG code = 0; code <= 60; ++code) answers.push_back(callback->OnProgress(code, 10, code, L" t "));
        return S_OK;
    };
    download.ExecuteTarget(nullptr);
    EXPECT_EQ(answers, std::vector<HRESULT>(61, S_OK));
}

TEST_F(UrlDownloadTest, AFailingHandlerEndsTheTransferAndItsErrorComesBack) {
    int calls = 0;
    download.OnDownloadProgress = [&](TUrlDownload*, std::uint32_t, std::uint32_t, TURLDownloadStatus, std::string,
                                      bool&) {
        ++calls;
        throw std::logic_error("handler broke");
    };
    service.Script = [this](IBindStatusCallback* callback) {
        answers.push_back(callback->OnProgress(1, 2, BINDSTATUS_DOWNLOADINGDATA, L""));
        answers.push_back(callback->OnProgress(2, 2, BINDSTATUS_DOWNLOADINGDATA, L""));
        return E_ABORT;
    };
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }), "handler broke");
    EXPECT_THAT(answers, ElementsAre(E_ABORT, E_ABORT));
    EXPECT_EQ(calls, 1);
    download.OnDownloadProgress = nullptr;
    service.Script = nullptr;
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }), "(no error)");  // the error does not linger
}

TEST_F(UrlDownloadTest, StartingAgainFromInsideItsOwnTransferFails) {
    std::string nested;
    download.OnDownloadProgress = [&](TUrlDownload* sender, std::uint32_t, std::uint32_t, TURLDownloadStatus,
                                      std::string, bool&) {
        nested = ErrorOf([&] { sender->ExecuteTarget(nullptr); });
    };
    service.Script = [](IBindStatusCallback* callback) {
        return callback->OnProgress(1, 1, BINDSTATUS_DOWNLOADINGDATA, L"");
    };
    download.ExecuteTarget(nullptr);
    EXPECT_EQ(nested, "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    EXPECT_EQ(service.Downloads, 1);
}

TEST_F(UrlDownloadTest, IsItsOwnUncountedCallback) {
    IBindStatusCallback* callback = nullptr;
    ASSERT_EQ(download.QueryInterface(IID_IBindStatusCallback, reinterpret_cast<void**>(&callback)), S_OK);
    EXPECT_EQ(callback, static_cast<IBindStatusCallback*>(&download));
    static const GUID published = {0x79EAC9C1, 0xBAF9, 0x11CE, {0x8C, 0x82, 0x00, 0xAA, 0x00, 0x4B, 0xA9, 0x0B}};
    EXPECT_TRUE(IsEqualGUID(IID_IBindStatusCallback, published));
    IUnknown* unknown = nullptr;
    EXPECT_EQ(download.QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
    void* negotiate = nullptr;
    EXPECT_EQ(download.QueryInterface(IID_IHttpNegotiate, &negotiate), S_OK);
    EXPECT_EQ(negotiate, static_cast<IHttpNegotiate*>(&download));
    void* other = &download;
    EXPECT_EQ(download.QueryService(IID_IAuthenticate, IID_IAuthenticate, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    void* binding = &download;
    EXPECT_EQ(download.QueryInterface(IID_IBinding, &binding), E_NOINTERFACE);
    EXPECT_EQ(binding, nullptr);
    EXPECT_EQ(download.QueryInterface(IID_IUnknown, nullptr), E_POINTER);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(callback->AddRef(), static_cast<ULONG>(-1));
        EXPECT_EQ(callback->Release(), static_cast<ULONG>(-1));
    }
    EXPECT_EQ(callback->Release(), static_cast<ULONG>(-1));  // never frees: download is still usable
    download.ExecuteTarget(nullptr);
    EXPECT_EQ(callback->GetPriority(nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->OnLowResource(0), E_NOTIMPL);
    EXPECT_EQ(callback->GetBindInfo(nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->OnDataAvailable(0, 0, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(callback->OnObjectAvailable(IID_IUnknown, nullptr), E_NOTIMPL);
}

TEST(UrlDownloadComponent, PublishesUrlAndFilenameAndBelongsToItsOwner) {
    TComponent owner(nullptr);
    auto* download = new TUrlDownload(&owner);
    EXPECT_EQ(download->ClassName(), "TUrlDownload");
    SetStrProp(download, "URL", u"http://www.quenrix.com.tr/Kur/HestraSetup.exe");
    SetStrProp(download, "Filename", u"C:\\Kurulum\\HestraKur.exe");
    EXPECT_EQ(download->URL(), u"http://www.quenrix.com.tr/Kur/HestraSetup.exe");
    EXPECT_EQ(GetStrProp(download, "Filename"), u"C:\\Kurulum\\HestraKur.exe");
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.Components()[0], download);
    download->UpdateTarget(nullptr);  // enabled exactly when there is a URL
    EXPECT_TRUE(download->Enabled());
    download->SetURL(u"");
    download->UpdateTarget(nullptr);
    EXPECT_FALSE(download->Enabled());
    EXPECT_TRUE(download->HandlesTarget(nullptr));
}

TEST_F(UrlDownloadTest, KeepsTheBindingWhileItRunsSoAbortReachesIt) {
    TFakeBinding binding;
    bool abortTaken = false;
    download.OnDownloadProgress = [&](TUrlDownload* sender, std::uint32_t, std::uint32_t, TURLDownloadStatus,
                                      std::string, bool&) { abortTaken = sender->Abort(); };
    service.Script = [&](IBindStatusCallback* callback) {
        EXPECT_EQ(callback->OnStartBinding(0, &binding), E_NOTIMPL);
        EXPECT_EQ(binding.References, 2);
        answers.push_back(callback->OnProgress(1, 9, BINDSTATUS_DOWNLOADINGDATA, L""));
        EXPECT_EQ(callback->OnStopBinding(E_ABORT, nullptr), E_NOTIMPL);
        EXPECT_EQ(binding.References, 1);
        return E_ABORT;
    };
    EXPECT_NE(ErrorOf([&] { download.ExecuteTarget(nullptr); }), "(no error)");
    EXPECT_TRUE(abortTaken);
    EXPECT_EQ(binding.Aborts, 1);
    EXPECT_THAT(answers, ElementsAre(E_ABORT));
    EXPECT_FALSE(download.Abort());  // nothing running, nothing held
    EXPECT_EQ(binding.References, 1);
}

TEST_F(UrlDownloadTest, ABindingNeverStoppedIsReleasedWhenTheTransferReturns) {
    TFakeBinding binding;
    service.Script = [&](IBindStatusCallback* callback) {
        callback->OnStartBinding(0, &binding);
        return S_OK;
    };
    download.ExecuteTarget(nullptr);
    EXPECT_EQ(binding.References, 1);
}

TEST_F(UrlDownloadTest, WatchdogHasTheTransfersOwnThreadAbortATransferThatGoesQuiet) {
    TFakeBinding binding;
    download.SetStallTimeout(300);
    DWORD waited = 0;
    service.Script = [&](IBindStatusCallback* callback) {
        callback->OnStartBinding(0, &binding);
        // Reports keep the watchdog away...
        for (int i = 0; i < 6; ++i) {
            Sleep(100);
            callback->OnProgress(i, 10, BINDSTATUS_DOWNLOADINGDATA, L"");
        }
        EXPECT_EQ(binding.Aborts, 0);
        // ...silence does not: the service blocks like a stalled line until aborted.
        DWORD start = GetTickCount();
        EXPECT_EQ(PumpUntilAborted(binding, 20000), WAIT_OBJECT_0);
        waited = GetTickCount() - start;
        EXPECT_EQ(callback->OnProgress(7, 10, BINDSTATUS_DOWNLOADINGDATA, L""), E_ABORT);
        callback->OnStopBinding(E_ABORT, nullptr);
        return E_ABORT;
    };
    EXPECT_EQ(ErrorOf([&] { download.ExecuteTarget(nullptr); }),
              "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    EXPECT_TRUE(download.StalledOut());
    EXPECT_GE(binding.Aborts, 1);
    EXPECT_EQ(binding.AbortThread, GetCurrentThreadId()) << "the binding is called only in its own apartment";
    EXPECT_EQ(binding.References, 1);
    EXPECT_GE(waited, 150u);  // not before the limit (allowing for the last report's age)

    service.Script = nullptr;  // the next transfer starts with a clean slate
    download.ExecuteTarget(nullptr);
    EXPECT_FALSE(download.StalledOut());
}

TEST_F(UrlDownloadTest, AReportBetweenTheWatchdogsTwoReadingsIsNoStall) {
    // The clock stands still unless a report comes; each reading of it by the watchdog lets a
    // report arrive in the middle of the watchdog's look, stamped later than the time it read.
    std::atomic<std::uint64_t> time{1000000};
    std::atomic<bool> running{false};
    std::atomic<int> injected{0};
    const DWORD transferThread = GetCurrentThreadId();
    std::atomic<bool> injecting{false};
    download.SetClock([&]() -> std::uint64_t {
        std::uint64_t read = time.load();
        if (running && GetCurrentThreadId() != transferThread && !injecting) {
            injecting = true;
            time = read + 5;
            download.OnProgress(10, 10, BINDSTATUS_DOWNLOADINGDATA, L"");  // stamps read + 5
            injecting = false;
            ++injected;
        }
        return read;
    });
    download.SetStallTimeout(200);
    TFakeBinding binding;
    service.Script = [&](IBindStatusCallback* callback) {
        callback->OnStartBinding(0, &binding);
        running = true;
        EXPECT_EQ(PumpUntilAborted(binding, 1500), static_cast<DWORD>(WAIT_TIMEOUT));
        running = false;
        callback->OnStopBinding(S_OK, nullptr);
        return S_OK;
    };
    // A healthy transfer whose reports never fall silent ends well.
    download.ExecuteTarget(nullptr);
    EXPECT_GT(injected, 0) << "the watchdog looked while reports came";
    EXPECT_EQ(binding.Aborts, 0);
    EXPECT_FALSE(download.StalledOut());
}

// -- loading the service ---------------------------------------------------------------

HRESULT WINAPI FakeUrlDownloadToFileW(IUnknown* caller, LPCWSTR url, LPCWSTR file, DWORD reserved,
                                      IBindStatusCallback* callback) {
    if (caller || reserved) return E_INVALIDARG;
    return callback->OnProgress(1, 1, BINDSTATUS_ENDDOWNLOADDATA, url);
}

class TCountingLoader : public IModuleLoader {
public:
    std::vector<std::string> Calls;
    bool ModulePresent = true, EntryPresent = true;
    HMODULE Module = reinterpret_cast<HMODULE>(0x4000);

    HMODULE Load(const char* name) override {
        Calls.push_back(std::string("load ") + name);
        return ModulePresent ? Module : nullptr;
    }
    FARPROC Find(HMODULE module, const char* procedure) override {
        Calls.push_back(std::string("find ") + procedure);
        return module == Module && EntryPresent ? reinterpret_cast<FARPROC>(&FakeUrlDownloadToFileW) : nullptr;
    }
    void Free(HMODULE module) override { Calls.push_back(module == Module ? "free" : "free other"); }
};

TEST(UrlMonLoading, LoadsOnceForEveryActionAndFreesAtTheEnd) {
    TCountingLoader loader;
    {
        TUrlMonService service(loader);
        for (int i = 0; i < 3; ++i) {
            TUrlDownload download(nullptr);
            download.SetService(&service);
            download.SetURL(u"http://x/");
            std::string text;
            download.OnDownloadProgress = [&](TUrlDownload*, std::uint32_t, std::uint32_t, TURLDownloadStatus,
                                              std::string t, bool&) { text = t; };
            download.ExecuteTarget(nullptr);
            EXPECT_EQ(text, "http://x/");  // the fake entry point really ran
        }
        EXPECT_THAT(loader.Calls, ElementsAre("load URLMON.DLL", "find URLDownloadToFileW"));
    }
    EXPECT_THAT(loader.Calls, ElementsAre("load URLMON.DLL", "find URLDownloadToFileW", "free"));
}

TEST(UrlMonLoading, AFailedLoadIsNotRepeated) {
    for (bool modulePresent : {false, true}) {
        TCountingLoader loader;
        loader.ModulePresent = modulePresent;
        loader.EntryPresent = false;
        {
            TUrlMonService service(loader);
            for (int i = 0; i < 2; ++i) {
                TUrlDownload download(nullptr);
                download.SetService(&service);
                download.SetURL(u"http://x/");
                try {
                    download.ExecuteTarget(nullptr);
                    ADD_FAILURE() << "no error raised";
                } catch (const std::exception& e) {
                    EXPECT_STREQ(e.what(), "Unable to load URLMON.DLL");
                }
            }
            EXPECT_EQ(service.DownloadToFile(L"http://x/", L"y", nullptr), HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND));
        }
        if (modulePresent)
            EXPECT_THAT(loader.Calls, ElementsAre("load URLMON.DLL", "find URLDownloadToFileW", "free"));
        else
            EXPECT_THAT(loader.Calls, ElementsAre("load URLMON.DLL"));
    }
}

}  // namespace
