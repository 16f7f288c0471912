// A stand-in for a product's setup program: what the test publisher serves and the installer
// starts. It shows "<Product> Kurulumu" with a close button. For tests it leaves a marker file
// beside itself (QX_SAMPLE_MARKER set: "<exe name>.started" holding its command line) and can
// close itself after QX_SAMPLE_CLOSE_MS milliseconds, so that no test leaves it running. With
// "/exitcode:N" among its parameters it ends with code N, as a real setup program reports
// its outcome to whoever waits for it.
#include "samplesetup/ProductWord.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

constexpr int kCloseButton = 1;
constexpr UINT_PTR kCloseTimer = 1;

std::wstring ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= 32768) return {};
        path.resize(path.size() * 2);
    }
}

std::wstring Environment(const wchar_t* name) {
    wchar_t buffer[64];
    DWORD length = GetEnvironmentVariableW(name, buffer, 64);
    if (length == 0 || length >= 64) return {};
    return std::wstring(buffer, length);
}

void WriteMarker(const std::wstring& exePath) {
    std::wstring marker = exePath + L".started";
    const wchar_t* commandLine = GetCommandLineW();
    int bytes = WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr);
    std::string text(bytes > 0 ? bytes - 1 : 0, '\0');
    if (bytes > 1) WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, text.data(), bytes, nullptr, nullptr);
    text += "\n";
    HANDLE file = CreateFileW(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (LOWORD(wParam) == kCloseButton) DestroyWindow(window);
        return 0;
    case WM_TIMER:
        if (wParam == kCloseTimer) {
            KillTimer(window, kCloseTimer);
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

// N of the first "/exitcode:N" in the command line; 0 without one.
int RequestedExitCode(const wchar_t* commandLine) {
    const wchar_t* found = std::wcsstr(commandLine, L"/exitcode:");
    if (!found) return 0;
    return static_cast<int>(std::wcstol(found + 10, nullptr, 10));
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    std::wstring exePath = ModulePath();
    if (!Environment(L"QX_SAMPLE_MARKER").empty() && !exePath.empty()) WriteMarker(exePath);

    std::u16string word = qx::SampleProductWord(std::u16string(exePath.begin(), exePath.end()));
    std::wstring title(word.begin(), word.end());
    title += L" Kurulumu";

    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"QuenrixSampleSetup";
    if (!RegisterClassExW(&windowClass)) return 1;

    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(),
                                  WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, 420, 180, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    std::wstring message = title + L" hazır. Bu bir deneme kurulum programıdır.";
    HWND label = CreateWindowExW(0, L"STATIC", message.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                 16, 20, 380, 40, window, nullptr, instance, nullptr);
    HWND button = CreateWindowExW(0, L"BUTTON", L"Kapat", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON,
                                  300, 90, 90, 28, window, reinterpret_cast<HMENU>(kCloseButton), instance, nullptr);
    SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

    std::wstring closeAfter = Environment(L"QX_SAMPLE_CLOSE_MS");
    if (!closeAfter.empty()) {
        wchar_t* end = nullptr;
        unsigned long milliseconds = std::wcstoul(closeAfter.c_str(), &end, 10);
        if (end && *end == L'\0' && milliseconds <= 24ul * 3600 * 1000)
            SetTimer(window, kCloseTimer, static_cast<UINT>(milliseconds), nullptr);
    }

    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(window, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return RequestedExitCode(GetCommandLineW());
}
