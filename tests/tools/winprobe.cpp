// Test tool: prints the windows of the session as JSON lines, and pokes at them, so that
// end-to-end tests can check a running program from outside. Runs in the program's Wine
// prefix.
//   winprobe list                 every visible top-level window with all its descendants
//   winprobe close HWND           posts WM_CLOSE
//   winprobe press HWND           sends BM_CLICK (a button of a message box, say)
//   winprobe text HWND TEXT       sets a window's text
//   winprobe menu HWND            prints the window's menu bar handle (0: none)
//   winprobe send HWND MSG WP LP  sends a message and prints its result
//   winprobe query MSG HWND...    sends MSG to each window and prints the results
//   winprobe focus HWND           the focus and active windows of the window's thread, as the
//                                 platform reports them
//   winprobe acc HWND [ROLE]      what the platform's accessibility interface tells of the
//                                 window's client object and its children (with ROLE: only its
//                                 simple children of that role, which asks the window least)
//   winprobe acctree HWND         the same for the window's whole tree of objects, child windows
//                                 nested in their parents' children
//   winprobe dpichanged HWND DPI L T R B  sends WM_DPICHANGED with that dpi and suggested
//                                 rectangle, as the platform does when the window moves to a
//                                 display of another scale
//   winprobe toggles BUTTON N WATCH  clicks BUTTON N times, each time waiting (up to 10 s) until
//                                 WATCH's answer to the skinned query (0x3523) changes; prints
//                                 how many clicks changed it
#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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

std::string Bstr(BSTR b) {
    if (!b) return "null";
    std::string out = Json(Utf8(std::wstring(b, SysStringLen(b))));
    SysFreeString(b);
    return out;
}

// One accessible object (or one of its simple children) as a JSON object.
std::string Describe(IAccessible* acc, LONG child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    BSTR name = nullptr, value = nullptr, action = nullptr, shortcut = nullptr;
    acc->get_accName(id, &name);
    acc->get_accValue(id, &value);
    acc->get_accDefaultAction(id, &action);
    acc->get_accKeyboardShortcut(id, &shortcut);
    VARIANT role, state;
    VariantInit(&role);
    VariantInit(&state);
    acc->get_accRole(id, &role);
    acc->get_accState(id, &state);
    long x = 0, y = 0, w = 0, h = 0;
    acc->accLocation(&x, &y, &w, &h, id);
    char buf[256];
    std::snprintf(buf, sizeof buf, "{\"child\":%ld,\"role\":%ld,\"state\":%ld,\"location\":[%ld,%ld,%ld,%ld],", child,
                  role.vt == VT_I4 ? role.lVal : -1L, state.vt == VT_I4 ? state.lVal : -1L, x, y, w, h);
    VariantClear(&role);
    VariantClear(&state);
    return buf + ("\"name\":" + Bstr(name)) + ",\"value\":" + Bstr(value) + ",\"action\":" + Bstr(action) +
           ",\"shortcut\":" + Bstr(shortcut) + "}";
}

// The client object of a window with its children: simple ones told by it, child windows by
// their own client objects.
// An object's accessibility children, as the platform hands them out (the caller clears each).
std::vector<VARIANT> ChildrenOf(IAccessible* acc) {
    long count = 0;
    acc->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<std::size_t>(count > 0 ? count : 0));
    LONG got = 0;
    if (count > 0) AccessibleChildren(acc, 0, count, children.data(), &got);
    children.resize(static_cast<std::size_t>(got));
    return children;
}

// The window behind a child given as an object of its own; none for a simple child.
HWND WindowOfChild(const VARIANT& child) {
    if (child.vt != VT_DISPATCH || !child.pdispVal) return nullptr;
    IAccessible* object = nullptr;
    HWND hwnd = nullptr;
    child.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&object));
    if (object) {
        WindowFromAccessibleObject(object, &hwnd);
        object->Release();
    }
    return hwnd;
}

int Accessible(HWND window, long onlyRole) {
    CoInitialize(nullptr);
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&acc))) || !acc)
        return 1;
    std::string out = onlyRole ? "{" : Describe(acc, CHILDID_SELF);
    out.pop_back();
    out += onlyRole ? "{\"children\":[" : ",\"children\":[";
    for (VARIANT& c : ChildrenOf(acc)) {
        std::string item;
        if (c.vt == VT_I4) {
            VARIANT role;
            VariantInit(&role);
            if (onlyRole) acc->get_accRole(c, &role);
            if (!onlyRole || (role.vt == VT_I4 && role.lVal == onlyRole)) item = Describe(acc, c.lVal);
        } else if (c.vt == VT_DISPATCH && c.pdispVal && !onlyRole) {
            const HWND hwnd = WindowOfChild(c);
            IAccessible* client = nullptr;
            if (hwnd && SUCCEEDED(AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                                               reinterpret_cast<void**>(&client))) && client) {
                item = Describe(client, CHILDID_SELF);
                item.pop_back();
                item += ",\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(hwnd)) + "}";
                client->Release();
            }
        }
        VariantClear(&c);
        if (item.empty()) continue;
        if (out.back() != '[') out += ",";
        out += item;
    }
    out += "]}";
    acc->Release();
    std::printf("%s\n", out.c_str());
    return 0;
}

// The client object of a window and, depth first, those of its child windows as its
// accessibility children name them: every object a screen reader walking the window meets.
std::string Tree(HWND window, int depth) {
    IAccessible* acc = nullptr;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&acc))) || !acc)
        return {};
    std::string out = Describe(acc, CHILDID_SELF);
    out.pop_back();
    out += ",\"hwnd\":" + std::to_string(reinterpret_cast<UINT_PTR>(window)) + ",\"children\":[";
    for (VARIANT& c : ChildrenOf(acc)) {
        std::string item;
        if (c.vt == VT_I4) {
            item = Describe(acc, c.lVal);
        } else if (c.vt == VT_DISPATCH && c.pdispVal && depth < 8) {
            const HWND hwnd = WindowOfChild(c);
            if (hwnd && hwnd != window) item = Tree(hwnd, depth + 1);
        }
        VariantClear(&c);
        if (item.empty()) continue;
        if (out.back() != '[') out += ",";
        out += item;
    }
    acc->Release();
    return out + "]}";
}

HWND Handle(const wchar_t* s) { return reinterpret_cast<HWND>(static_cast<UINT_PTR>(_wcstoui64(s, nullptr, 10))); }

// WM_DPICHANGED's rectangle is a pointer. Whether a platform copies it into the receiving
// process is not promised, so the rectangle is put at one address valid in both: written into
// the target's memory and, at the same address, into this process's.
int SendDpiChanged(HWND window, int dpi, const RECT& suggested) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) return 1;
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    SIZE_T written = 0;
    if (!remote || !WriteProcessMemory(process, remote, &suggested, sizeof suggested, &written)) {
        CloseHandle(process);
        return 1;
    }
    void* local = VirtualAlloc(remote, sizeof(RECT), MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (local == remote) *static_cast<RECT*>(local) = suggested;
    DWORD_PTR result = 0;
    const BOOL sent = SendMessageTimeoutW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(remote),
                                          SMTO_ABORTIFHUNG, 10000, &result);
    if (local) VirtualFree(local, 0, MEM_RELEASE);
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    return sent ? 0 : 1;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return 2;
    // Rectangles in the display's own pixels: a probe left unaware of the scale would be given
    // them divided by it.
    SetProcessDPIAware();
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
    } else if (cmd == L"menu" && argc > 2) {
        std::printf("%llu\n", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetMenu(Handle(argv[2])))));
    } else if (cmd == L"query" && argc > 3) {
        // query MESSAGE HWND...: sends MESSAGE (no parameters) to each window, one result a line
        const UINT message = static_cast<UINT>(_wcstoui64(argv[2], nullptr, 0));
        for (int i = 3; i < argc; ++i) {
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(Handle(argv[i]), message, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) result = 0;
            std::printf("%lld\n", static_cast<long long>(result));
        }
    } else if (cmd == L"focus" && argc > 2) {
        GUITHREADINFO info{sizeof info};
        if (!GetGUIThreadInfo(GetWindowThreadProcessId(Handle(argv[2]), nullptr), &info)) return 1;
        std::printf("{\"focus\":%llu,\"active\":%llu}\n",
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(info.hwndFocus)),
                    static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(info.hwndActive)));
    } else if (cmd == L"acc" && argc > 2) {
        if (Accessible(Handle(argv[2]), argc > 3 ? _wtol(argv[3]) : 0) != 0) return 1;
    } else if (cmd == L"acctree" && argc > 2) {
        CoInitialize(nullptr);
        const std::string tree = Tree(Handle(argv[2]), 0);
        if (tree.empty()) return 1;
        std::printf("%s\n", tree.c_str());
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
    } else if (cmd == L"dpichanged" && argc > 7) {
        const RECT r{_wtol(argv[4]), _wtol(argv[5]), _wtol(argv[6]), _wtol(argv[7])};
        return SendDpiChanged(Handle(argv[2]), _wtoi(argv[3]), r);
    } else if (cmd == L"text" && argc > 3) {
        SetWindowTextW(Handle(argv[2]), argv[3]);
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}
