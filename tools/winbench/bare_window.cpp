// The baseline of the start-up bench: the least a Win32 program does to show a window of the
// installer's client size, a plain system frame around a client filled with one colour.
#include <windows.h>

namespace {

// The installer's client size, so that both programs paint the same client area.
constexpr int kClientWidth = 566;
constexpr int kClientHeight = 388;
constexpr wchar_t kClassName[] = L"QuenrixBareWindow";
constexpr wchar_t kTitle[] = L"Quenrix bare window";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ERASEBKGND: return 1;  // the paint below covers the whole client
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(window, &ps);
            RECT client;
            GetClientRect(window, &client);
            FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
            EndPaint(window, &ps);
            return 0;
        }
        case WM_DESTROY: PostQuitMessage(0); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int show) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = kClassName;
    if (!RegisterClassExW(&wc)) return 1;
    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT outer{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRectEx(&outer, style, FALSE, 0);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    // Centred on the screen, as the installer's window is.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND window = CreateWindowExW(0, kClassName, kTitle, style, x, y, width, height, nullptr, nullptr, instance, nullptr);
    if (!window) return 1;
    ShowWindow(window, show);
    UpdateWindow(window);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
