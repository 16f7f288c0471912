// Time from process start to the first complete paint of a program's main window, for the
// installer (whose window is skinned) against the bare Win32 window program, in alternating
// runs of the same session. A window counts as completely painted when it is visible, nothing
// of it or of its visible child windows waits to be painted, and, for the skinned window, the
// skin engine has taken it over (it answers the skinned query) and finished its start (the
// window region, which the start sets at its end, is there). Run through scripts/bench-startup.
// Usage: startup_bench RUNS INSTALLER.exe BARE.exe   (Unix paths are taken as Z: paths);
// QX_BENCH_DETAIL=1 also prints when each stage of every start was first seen.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

constexpr UINT kSkinnedQuery = 0x3523;  // a skinned window answers 1
constexpr double kTargetMs = 150.0;     // the skinned start may cost at most this much more
constexpr DWORD kRunTimeoutMs = 30000;

struct TTarget {
    const wchar_t* Name;
    std::wstring Path;
    const wchar_t* Title;
    bool Skinned;
    std::vector<double> Times;  // milliseconds
};

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return 1000.0 * double(to.QuadPart - from.QuadPart) / double(frequency);
}

std::wstring WindowsPath(const wchar_t* path) {
    std::wstring out = path;
    if (!out.empty() && out[0] == L'/') {
        std::replace(out.begin(), out.end(), L'/', L'\\');
        out = L"Z:" + out;
    }
    return out;
}

struct TFind {
    DWORD Process;
    const wchar_t* Title;
    HWND Found;
};

BOOL CALLBACK FindMainWindow(HWND window, LPARAM data) {
    auto* find = reinterpret_cast<TFind*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != find->Process || !IsWindowVisible(window)) return TRUE;
    wchar_t title[256] = {};
    GetWindowTextW(window, title, 256);
    if (std::wcscmp(title, find->Title) != 0) return TRUE;
    find->Found = window;
    return FALSE;
}

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM data) {
    // A hidden child never paints, whatever it was sent before it was hidden.
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

// How far the target's main window has come; each stage implies the ones before it.
enum TStage : int { stNoWindow, stVisible, stSkinned, stRegion, stPainted, stCount };
const char* const kStageNames[stCount] = {"", "visible", "skinned", "region set", "painted"};

TStage StageOf(DWORD process, const TTarget& target) {
    TFind find{process, target.Title, nullptr};
    EnumWindows(FindMainWindow, reinterpret_cast<LPARAM>(&find));
    const HWND window = find.Found;
    if (!window) return stNoWindow;
    if (target.Skinned) {
        // Answered only at one of the program's message retrievals, so what is read after it
        // is not half of a start still running.
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(window, kSkinnedQuery, 0, 0, SMTO_NORMAL, 2000, &answer) || answer != 1)
            return stVisible;
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        const int kind = GetWindowRgn(window, region);
        DeleteObject(region);
        if (kind == ERROR) return stSkinned;
    }
    if (GetUpdateRect(window, nullptr, FALSE)) return stRegion;
    bool unpainted = false;
    EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted && IsWindowVisible(window) ? stPainted : stRegion;
}

// Milliseconds from just before CreateProcess to the first complete paint, or a negative
// number when the program failed to get there.
double MeasureStart(const TTarget& target) {
    std::wstring folder = target.Path.substr(0, target.Path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + target.Path + L"\"";
    STARTUPINFOW si{sizeof si};
    PROCESS_INFORMATION pi{};
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(target.Path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
        std::fprintf(stderr, "cannot start %ls (error %lu)\n", target.Path.c_str(), GetLastError());
        return -1;
    }
    // Polling while the program starts takes the Wine server and the processor from it (it
    // made the bare window's start three times as long here), so the polling begins when the
    // program first waits for input. That comes at most a moment after the first complete
    // paint, since paint messages are only retrieved when nothing else is queued; a program
    // that waits earlier is caught by the polling.
    WaitForInputIdle(pi.hProcess, kRunTimeoutMs);
    QueryPerformanceCounter(&now);
    const double idle = Milliseconds(start, now);
    double elapsed = -1;
    double reached[stCount] = {};  // when each stage was first seen
    for (;;) {
        const TStage stage = StageOf(pi.dwProcessId, target);
        QueryPerformanceCounter(&now);
        for (int s = stVisible; s <= stage; ++s)
            if (reached[s] == 0) reached[s] = Milliseconds(start, now);
        if (stage == stPainted) {
            elapsed = reached[stPainted];
            break;
        }
        if (Milliseconds(start, now) > kRunTimeoutMs) {
            std::fprintf(stderr, "%ls: no complete paint within %lu ms\n", target.Name, kRunTimeoutMs);
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) {
            std::fprintf(stderr, "%ls ended before its window was painted\n", target.Name);
            break;
        }
        Sleep(1);
    }
    if (std::getenv("QX_BENCH_DETAIL")) {
        std::printf("  %ls: idle %.1f ms;", target.Name, idle);
        for (int s = stVisible; s < stCount; ++s)
            if (reached[s] > 0 && (target.Skinned || (s != stSkinned && s != stRegion)))
                std::printf(" %s %.1f ms;", kStageNames[s], reached[s]);
        std::printf("\n");
    }
    TerminateProcess(pi.hProcess, 0);
    WaitForSingleObject(pi.hProcess, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return elapsed;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: startup_bench RUNS INSTALLER.exe BARE.exe\n");
        return 2;
    }
    const int runs = std::max(1, _wtoi(argv[1]));
    TTarget installer{L"installer", WindowsPath(argv[2]), L"Quenrix Installer", true, {}};
    TTarget bare{L"bare window", WindowsPath(argv[3]), L"Quenrix bare window", false, {}};

    // One unmeasured start of each first: file cache, font cache, the display's first windows.
    for (TTarget* t : {&installer, &bare})
        if (MeasureStart(*t) < 0) return 1;
    for (int run = 1; run <= runs; ++run) {
        // Alternating which goes first spreads any drift of the machine's load over both.
        TTarget* order[2] = {&installer, &bare};
        if (run % 2 == 0) std::swap(order[0], order[1]);
        for (TTarget* t : order) {
            const double ms = MeasureStart(*t);
            if (ms < 0) return 1;
            t->Times.push_back(ms);
            Sleep(100);  // the ended process's windows and files are let go
        }
        std::printf("run %d: installer %.1f ms, bare window %.1f ms\n", run, installer.Times.back(), bare.Times.back());
        std::fflush(stdout);
    }
    const double skinned = Median(installer.Times), plain = Median(bare.Times), extra = skinned - plain;
    // The fastest start shows what a program costs when the machine's other work leaves it alone.
    const double skinnedBest = *std::min_element(installer.Times.begin(), installer.Times.end());
    const double plainBest = *std::min_element(bare.Times.begin(), bare.Times.end());
    // The two starts of one run are next to each other in time, so their difference is least
    // touched by the load's drift.
    std::vector<double> pairs;
    for (std::size_t i = 0; i < installer.Times.size(); ++i) pairs.push_back(installer.Times[i] - bare.Times[i]);
    std::printf("process start to first complete paint, median of %d runs (fastest):\n"
                "  installer, skinned main window: %6.1f ms (%.1f)\n"
                "  bare Win32 window:              %6.1f ms (%.1f)\n"
                "  difference:                     %6.1f ms (%.1f); target <= %.0f ms\n"
                "  median of the runs' own differences: %.1f ms\n",
                runs, skinned, skinnedBest, plain, plainBest, extra, skinnedBest - plainBest, kTargetMs, Median(pairs));
    return extra <= kTargetMs ? 0 : 3;
}
