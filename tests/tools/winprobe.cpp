// Test tool: prints the windows of the session as JSON lines, and pokes at them, so that
// end-to-end tests can check a running program from outside. Runs in the program's Wine
// prefix.
//   winprobe list                 every visible top-level window with all its descendants
//   winprobe close HWND           posts WM_CLOSE
//   winprobe press HWND           sends BM_CLICK (a button of a message box, say)
//   winprobe text HWND TEXT       sets a window's text
//   winprobe send HWND MSG WP LP  sends a message and prints its result
//   winprobe query MSG HWND...    sends MSG to each window and prints the results
//   winprobe toggles BUTTON N WATCH  clicks BUTTON N times, each time waiting (up to 10 s) until
//                                 WATCH's answer to the skinned query (0x3523) changes; prints
//                                 how many clicks changed it
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const std::wstring& w) {
    if (w.empty()) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

std::string Json(const std::string& s) {
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

// The window region as {"rects":N,"box":[l,t,r,b]} in window coordinates, or null.
std::string Region(HWND w) {
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    std::string out = "null";
    if (GetWindowRgn(w, region) != ERROR) {
        const DWORD size = GetRegionData(region, 0, nullptr);
        std::string data(size, '\0');
        auto* rd = reinterpret_cast<RGNDATA*>(data.data());
        if (size && GetRegionData(region, size, rd)) {
            const RECT& b = rd->rdh.rcBound;
            char buf[128];
            std::snprintf(buf, sizeof buf, "{\"rects\":%lu,\"box\":[%ld,%ld,%ld,%ld]}", rd->rdh.nCount, b.left, b.top,
                          b.right, b.bottom);
            out = buf;
        }
    }
    DeleteObject(region);
    return out;
}

std::string Rect(const RECT& r) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "[%ld,%ld,%ld,%ld]", r.left, r.top, r.right, r.bottom);
    return buf;
}

void Print(HWND w, HWND top) {
    wchar_t cls[256] = {};
    GetClassNameW(w, cls, 256);
    int len = GetWindowTextLengthW(w);
    std::wstring text(static_cast<std::size_t>(len) + 1, L'\0');
    GetWindowTextW(w, text.data(), len + 1);
    text.resize(static_cast<std::size_t>(len));
    RECT wr{}, cr{};
    GetWindowRect(w, &wr);
    GetClientRect(w, &cr);
    MapWindowPoints(w, nullptr, reinterpret_cast<POINT*>(&cr), 2);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    LONG style = GetWindowLongW(w, GWL_STYLE), ex = GetWindowLongW(w, GWL_EXSTYLE);
    std::string checked = "null";
    if (_wcsicmp(cls, L"Button") == 0 || wcsstr(cls, L"Radio") || wcsstr(cls, L"CheckBox") || wcsstr(cls, L"TButton"))
        checked = std::to_string(SendMessageW(w, BM_GETCHECK, 0, 0));
    std::printf(
        "{\"hwnd\":%llu,\"top\":%llu,\"parent\":%llu,\"owner\":%llu,\"pid\":%lu,\"class\":%s,\"text\":%s,"
        "\"rect\":%s,\"client\":%s,\"style\":%ld,\"exstyle\":%ld,\"enabled\":%s,\"visible\":%s,\"checked\":%s,"
        "\"id\":%d,\"region\":%s}\n",
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(w)),
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(top)),
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetAncestor(w, GA_PARENT))),
        static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetWindow(w, GW_OWNER))), pid,
        Json(Utf8(cls)).c_str(), Json(Utf8(text)).c_str(), Rect(wr).c_str(), Rect(cr).c_str(), style, ex,
        IsWindowEnabled(w) ? "true" : "false", IsWindowVisible(w) ? "true" : "false", checked.c_str(),
        GetDlgCtrlID(w), w == top ? Region(w).c_str() : "null");
}

BOOL CALLBACK Child(HWND w, LPARAM top) {
    Print(w, reinterpret_cast<HWND>(top));
    return TRUE;
}

BOOL CALLBACK Top(HWND w, LPARAM) {
    if (!IsWindowVisible(w)) return TRUE;
    Print(w, w);
    EnumChildWindows(w, Child, reinterpret_cast<LPARAM>(w));
    return TRUE;
}

HWND Handle(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(s, nullptr, 10))); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    std::wstring cmd = argv[1];
    if (cmd == L"list") {
        EnumWindows(Top, 0);
    } else if (cmd == L"close" && argc > 2) {
        return PostMessageW(Handle(argv[2]), WM_CLOSE, 0, 0) ? 0 : 1;
    } else if (cmd == L"press" && argc > 2) {
        PostMessageW(Handle(argv[2]), BM_CLICK, 0, 0);
    } else if (cmd == L"ping" && argc > 2) {
        // Answers 0 when the window's thread takes a message within the time (ms, default 2000).
        DWORD_PTR result = 0;
        UINT timeout = argc > 3 ? static_cast<UINT>(_wtoi(argv[3])) : 2000;
        return SendMessageTimeoutW(Handle(argv[2]), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, timeout, &result) ? 0 : 1;
    } else if (cmd == L"move" && argc > 4) {
        // Moves a top-level window to screen position x y, as dragging its caption would.
        return SetWindowPos(Handle(argv[2]), nullptr, _wtoi(argv[3]), _wtoi(argv[4]), 0, 0,
                            SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE)
                   ? 0
                   : 1;
    } else if (cmd == L"send" && argc > 5) {
        // send HWND MESSAGE WPARAM LPARAM: prints the result
        LRESULT r = SendMessageW(Handle(argv[2]), static_cast<UINT>(_wcstoui64(argv[3], nullptr, 0)),
                                 static_cast<WPARAM>(_wcstoui64(argv[4], nullptr, 0)),
                                 static_cast<LPARAM>(_wcstoi64(argv[5], nullptr, 0)));
        std::printf("%lld\n", static_cast<long long>(r));
    } else if (cmd == L"query" && argc > 3) {
        // query MESSAGE HWND...: sends MESSAGE (no parameters) to each window, one result a line
        const UINT message = static_cast<UINT>(_wcstoui64(argv[2], nullptr, 0));
        for (int i = 3; i < argc; ++i) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(Handle(argv[i]), message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) result = 0;
            std::printf("%lld\n", static_cast<long long>(result));
        }
    } else if (cmd == L"toggles" && argc > 4) {
        const HWND button = Handle(argv[2]), watch = Handle(argv[4]);
        const int count = _wtoi(argv[3]);
        int changed = 0;
        for (int i = 0; i < count; ++i) {
            DWORD_PTR before = 0, now = 0;
            SendMessageTimeoutW(watch, 0x3523, 0, 0, SMTO_ABORTIFHUNG, 5000, &before);
            SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 5000, &now);
            for (int waited = 0; waited < 10000; waited += 20) {
                Sleep(20);
                if (!SendMessageTimeoutW(watch, 0x3523, 0, 0, SMTO_ABORTIFHUNG, 5000, &now)) break;
                if (now != before) {
                    ++changed;
                    break;
                }
            }
        }
        std::printf("%d\n", changed);
    } else if (cmd == L"text" && argc > 3) {
        SetWindowTextW(Handle(argv[2]), argv[3]);
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
