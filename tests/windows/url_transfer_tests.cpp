// Real transfers through the platform's download service, against the test publisher server
// that tools/publisher/with_publisher.py starts and names in QX_PUBLISHER_PORT.
#include <winsock2.h>  // before windows.h, which the headers below include

#include "download/InstallerPlatform.h"
#include "download/UrlDownload.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

using namespace qx;

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

// One request to the server's control interface; returns the whole answer.
std::string Control(const std::string& pathAndQuery) {
    int port = std::atoi(Environment("QX_PUBLISHER_PORT").c_str());
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return {};
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<u_short>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string answer;
    if (connect(s, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request = "GET /_control/" + pathAndQuery + " HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n";
        send(s, request.data(), static_cast<int>(request.size()), 0);
        char buffer[4096];
        int got;
        while ((got = recv(s, buffer, sizeof buffer, 0)) > 0) answer.append(buffer, got);
    }
    closesocket(s);
    return answer;
}

std::vector<char> ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), {});
}

std::size_t CountOf(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

int CacheEntryCount() {
    DWORD size = 0;
    FindFirstUrlCacheEntryA(nullptr, nullptr, &size);
    if (size == 0) return 0;
    std::vector<unsigned char> buffer(size);
    auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
    entry->dwStructSize = size;
    HANDLE enumeration = FindFirstUrlCacheEntryA(nullptr, entry, &size);
    if (!enumeration) return 0;
    int count = 0;
    for (;;) {
        ++count;
        size = 0;
        FindNextUrlCacheEntryA(enumeration, nullptr, &size);
        if (size == 0) break;
        buffer.assign(size, 0);
        entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOA*>(buffer.data());
        entry->dwStructSize = size;
        if (!FindNextUrlCacheEntryA(enumeration, entry, &size)) break;
    }
    FindCloseUrlCache(enumeration);
    return count;
}

class UrlTransfer : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    }
    static void TearDownTestSuite() {
        CoUninitialize();
        WSACleanup();
    }
    void SetUp() override {
        ASSERT_FALSE(Environment("QX_PUBLISHER_PORT").empty()) << "run me through tools/publisher/with_publisher.py";
        ASSERT_NE(Control("reset").find("200 OK"), std::string::npos);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        // Letters that no single ANSI code page holds together: the narrow entry point
        // could not name this folder whatever the system's code page is.
        folder = std::wstring(temp) + L"qx İndirme ğüş Жд\\";
        CreateDirectoryW(folder.c_str(), nullptr);
        target = folder + L"DrivanoKur.exe";
        DeleteFileW(target.c_str());
        std::string sample = Environment("QX_PUBLISHER_SAMPLE");
        for (char& c : sample)
            if (c == '/') c = '\\';
        std::ifstream in("Z:" + sample, std::ios::binary);
        expected.assign(std::istreambuf_iterator<char>(in), {});
        ASSERT_GT(expected.size(), 1000u);
        download.SetURL(u"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
        download.SetFilename(std::u16string(target.begin(), target.end()));
    }
    void TearDown() override {
        DeleteFileW((target + L".started").c_str());
        // A started setup program may still be closing: its file is busy until it has gone.
        for (int i = 0; i < 100 && !DeleteFileW(target.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND; ++i)
            Sleep(100);
        RemoveDirectoryW(folder.c_str());
    }
    std::string ErrorOf() {
        try {
            download.ExecuteTarget(nullptr);
        } catch (const std::exception& e) {
            return e.what();
        }
        return "(no error)";
    }

    std::wstring folder, target;
    std::vector<char> expected;
    TUrlDownload download{nullptr};
};

TEST_F(UrlTransfer, WritesTheFileUnderAPathBeyondTheAnsiCodePageWithProgress) {
    BOOL lossy = FALSE;
    if (GetACP() != CP_UTF8) {
        WideCharToMultiByte(CP_ACP, 0, folder.c_str(), -1, nullptr, 0, nullptr, &lossy);
        EXPECT_TRUE(lossy) << "the folder name must not survive the narrow code page";
    }
    const std::size_t padded = 1500000;
    ASSERT_NE(Control("set?mode=slow&pad_to=" + std::to_string(padded)).find("200 OK"), std::string::npos);
    expected.resize(padded, '\0');
    std::vector<std::uint32_t> progress;
    std::uint32_t last = 0, maximum = 0;
    download.OnDownloadProgress = [&](TUrlDownload*, std::uint32_t p, std::uint32_t pMax, TURLDownloadStatus status,
                                      std::string, bool&) {
        if (status == dsDownloadingData) progress.push_back(p);
        last = p;
        maximum = pMax;
    };
    ClearUrlCache(WindowsPlatform());
    EXPECT_EQ(ErrorOf(), "(no error)");
    EXPECT_EQ(ReadFile(target), expected);
    ASSERT_GE(progress.size(), 3u) << "a paced answer reports several pieces";
    EXPECT_EQ(last, padded);  // the final report counts every byte
    EXPECT_EQ(maximum, padded);
    for (std::size_t i = 1; i < progress.size(); ++i) EXPECT_GE(progress[i], progress[i - 1]);
}

TEST_F(UrlTransfer, ErrorPagesAndCutOffBodiesAreFailuresNotFiles) {
    // The platform's service may call these a success and keep the page or the piece.
    for (const char* misbehaviour : {"mode=404", "mode=500", "mode=drop", "mode=drop&mode=slow"}) {
        Control("reset");
        Control(std::string("set?") + misbehaviour);
        ClearUrlCache(WindowsPlatform());
        EXPECT_EQ(ErrorOf(), "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe") << misbehaviour;
    }
    // Without a length the end of the connection is the end of the file; an HTML page with
    // status 200 is a successful transfer as far as a download can tell.
    for (const char* answer : {"mode=no-length&mode=slow", "mode=html"}) {
        Control("reset");
        Control(std::string("set?") + answer);
        ClearUrlCache(WindowsPlatform());
        EXPECT_EQ(ErrorOf(), "(no error)") << answer;
    }
    std::vector<char> page = ReadFile(target);
    EXPECT_EQ(std::string(page.begin(), page.end()).rfind("<!DOCTYPE html>", 0), 0u) << "the page is the file";
}

TEST_F(UrlTransfer, CancelFromTheHandlerEndsTheTransferWithTheError) {
    Control("set?mode=slow&pad_to=2000000");
    int reports = 0;
    download.OnDownloadProgress = [&](TUrlDownload*, std::uint32_t, std::uint32_t, TURLDownloadStatus status,
                                      std::string, bool& cancel) {
        ++reports;
        cancel = status == dsDownloadingData;
    };
    ClearUrlCache(WindowsPlatform());
    DWORD start = GetTickCount();
    EXPECT_EQ(ErrorOf(), "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    EXPECT_LT(GetTickCount() - start, 1500u) << "the paced body takes 1.5 s; cancelling must not wait for it";
    EXPECT_GT(reports, 0);
}

TEST_F(UrlTransfer, AStalledAnswerIsAbandonedByTheWatchdog) {
    Control("set?stall_after=20000&stall_seconds=120");
    download.SetStallTimeout(1500);
    ClearUrlCache(WindowsPlatform());
    DWORD start = GetTickCount();
    EXPECT_EQ(ErrorOf(), "Error downloading URL: http://www.quenrix.com.tr/Kur/DrivanoSetup.exe");
    DWORD took = GetTickCount() - start;
    EXPECT_TRUE(download.StalledOut());
    EXPECT_GE(took, 1400u);
    EXPECT_LT(took, 30000u);
    Control("reset");
    download.SetStallTimeout(0);
    ClearUrlCache(WindowsPlatform());
    EXPECT_EQ(ErrorOf(), "(no error)");  // the next transfer is a fresh one
    EXPECT_EQ(ReadFile(target), expected);
}

TEST_F(UrlTransfer, ClearingTheCacheMakesTheNextTransferAskTheServerAgain) {
    ClearUrlCache(WindowsPlatform());
    EXPECT_EQ(CacheEntryCount(), 0);
    Control("clear");
    EXPECT_EQ(ErrorOf(), "(no error)");
    EXPECT_GE(CacheEntryCount(), 1);
    ClearUrlCache(WindowsPlatform());
    EXPECT_EQ(CacheEntryCount(), 0);
    EXPECT_EQ(ErrorOf(), "(no error)");
    EXPECT_EQ(ReadFile(target), expected);
    EXPECT_EQ(CountOf(Control("requests"), "\"path\": \"/Kur/DrivanoSetup.exe\""), 2u);
}

TEST_F(UrlTransfer, TheDownloadedSetupProgramStartsThroughTheShell) {
    ClearUrlCache(WindowsPlatform());
    ASSERT_EQ(ErrorOf(), "(no error)");
    SetEnvironmentVariableW(L"QX_SAMPLE_MARKER", L"1");
    SetEnvironmentVariableW(L"QX_SAMPLE_CLOSE_MS", L"300");
    SHELLEXECUTEINFOW info{sizeof info};
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpFile = target.c_str();
    info.lpParameters = L"/exitcode:42";
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(WindowsPlatform().ShellExecuteExW(&info));
    ASSERT_NE(info.hProcess, nullptr) << "the started process comes with its handle";
    EXPECT_EQ(WaitForSingleObject(info.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(info.hProcess, &code);
    CloseHandle(info.hProcess);
    EXPECT_EQ(code, 42u) << "its own code comes back";
    std::vector<char> marker = ReadFile(target + L".started");
    std::string text(marker.begin(), marker.end());
    EXPECT_NE(text.find("DrivanoKur.exe"), std::string::npos) << text;
    EXPECT_NE(text.find("/exitcode:42"), std::string::npos) << text;
    std::wstring missingFile = folder + L"NoSuchKur.exe";
    SHELLEXECUTEINFOW missing{sizeof missing};
    missing.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    missing.lpFile = missingFile.c_str();
    missing.nShow = SW_SHOWNORMAL;
    EXPECT_FALSE(WindowsPlatform().ShellExecuteExW(&missing)) << "refused without a box of the shell's own";
    EXPECT_EQ(missing.hProcess, nullptr);
    SetEnvironmentVariableW(L"QX_SAMPLE_MARKER", nullptr);
    SetEnvironmentVariableW(L"QX_SAMPLE_CLOSE_MS", nullptr);
}

}  // namespace
