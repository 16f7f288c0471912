// Time of one full non-client paint and of one region rebuild of the installer's skinned main
// window, built in this process from the installer's own layout and skinned the way the
// program is (the skin manager takes it over when it is activated). Prints the median
// microseconds per call. Run through scripts/bench-startup; with the argument "start" it
// stops after the start.
#include "app/Ana.h"
#include "core/TimedSteps.h"
#include "framework/Gdi.h"
#include "skin/FramePainter.h"
#include "skin/SkinDraw.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"
#include "skin/SkinRegister.h"

#include <windows.h>
#include <commctrl.h>
#include <delayimp.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace qx;

namespace {

constexpr int kCalls = 300;
constexpr UINT_PTR kSizeFilterId = 0x51B7;

double Microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    return 1e6 * double(to.QuadPart - from.QuadPart) / double(frequency);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

void Pump(TApplication& application, DWORD milliseconds) {
    const DWORD until = GetTickCount() + milliseconds;
    do {
        application.ProcessMessages();
        Sleep(1);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

// Times each call of work alone; between calls, untimed, prepare and check run and pending
// messages are dispatched, so that each call meets the window as a real one would.
std::vector<double> TimeCalls(TApplication& application, const std::function<void()>& prepare,
                              const std::function<void()>& work, const std::function<void()>& check,
                              int calls = kCalls, int warmUp = 10) {
    std::vector<double> times;
    for (int i = 0; i < calls + warmUp; ++i) {
        prepare();
        application.ProcessMessages();
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        work();
        QueryPerformanceCounter(&b);
        check();
        if (i >= warmUp) times.push_back(Microseconds(a, b));  // the first calls only warm up
    }
    return times;
}

// Keeps the size message from the skinner while the bench resizes the window, so that its
// region is rebuilt by the timed call and not by the resize itself; counts the frame paints
// that setting a region brings.
int g_nonClientPaints = 0;

// The messages that setting a region sends the window, each as it came (its parameters kept,
// so that it can be sent again to the form's handler and to the default procedure alone) and
// the microseconds it took through the whole window procedure.
struct TRegionMessage {
    UINT Msg;
    WPARAM WParam;
    WINDOWPOS Pos;
    NCCALCSIZE_PARAMS Calc;
    double Whole;
};
bool g_recordRegionMessages = false;
std::vector<TRegionMessage> g_regionMessages;

bool RegionMessage(UINT message) {
    return message == WM_WINDOWPOSCHANGING || message == WM_NCCALCSIZE || message == WM_WINDOWPOSCHANGED;
}

LRESULT CALLBACK SizeFilter(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
    if (message == WM_SIZE) return 0;
    if (message == WM_NCPAINT) ++g_nonClientPaints;
    if (!g_recordRegionMessages || !RegionMessage(message)) return DefSubclassProc(window, message, wParam, lParam);
    TRegionMessage kept{message, wParam, {}, {}, 0};
    if (message == WM_NCCALCSIZE && wParam) {
        kept.Calc = *reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
        if (kept.Calc.lppos) kept.Pos = *kept.Calc.lppos;
    } else if (message != WM_NCCALCSIZE) {
        kept.Pos = *reinterpret_cast<WINDOWPOS*>(lParam);
    }
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    QueryPerformanceCounter(&b);
    kept.Whole = Microseconds(a, b);
    g_regionMessages.push_back(kept);
    return result;
}

// Sends a kept message again to send (the form's handler, or the default procedure) and
// returns the microseconds it took; the parameters are fresh copies of the kept ones.
double Resend(const TRegionMessage& kept, const std::function<void(UINT, WPARAM, LPARAM)>& send) {
    WINDOWPOS pos = kept.Pos;
    NCCALCSIZE_PARAMS calc = kept.Calc;
    calc.lppos = &pos;
    const LPARAM lParam = kept.Msg == WM_NCCALCSIZE ? reinterpret_cast<LPARAM>(kept.WParam ? static_cast<void*>(&calc)
                                                                                            : static_cast<void*>(&calc.rgrc[0]))
                                                    : reinterpret_cast<LPARAM>(&pos);
    LARGE_INTEGER a, b;
    QueryPerformanceCounter(&a);
    send(kept.Msg, kept.WParam, lParam);
    QueryPerformanceCounter(&b);
    return Microseconds(a, b);
}

// Times the skinner's start message (take-over of the controls, fitting, region, first frame).
// A hook of the form's own handler, put in front of the skinner's: a window subclass would load
// the common controls library, which the program itself does not load at its start.
double g_startMicroseconds = 0;
class TStartTimer final : public TMessageHook {
public:
    void HookMessage(TMessage& m, const TMessageNext& next) override {
        if (m.Msg != WM_SKINSTART) return next(m);
        LARGE_INTEGER a, b;
        QueryPerformanceCounter(&a);
        next(m);
        QueryPerformanceCounter(&b);
        g_startMicroseconds += Microseconds(a, b);
    }
};

// A bench subclass on the window for a scope; given back at its end, whatever way it ends.
class TBenchSubclass {
public:
    TBenchSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id)
        : window_(window), procedure_(procedure), id_(id),
          installed_(SetWindowSubclass(window, procedure, id, 0) != FALSE) {}
    ~TBenchSubclass() {
        if (installed_) RemoveWindowSubclass(window_, procedure_, id_);
    }
    TBenchSubclass(const TBenchSubclass&) = delete;
    TBenchSubclass& operator=(const TBenchSubclass&) = delete;
    bool Installed() const { return installed_; }

private:
    HWND window_;
    SUBCLASSPROC procedure_;
    UINT_PTR id_;
    bool installed_;
};

BOOL CALLBACK FindUnpaintedChild(HWND child, LPARAM data) {
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(data) = true;
        return FALSE;
    }
    return TRUE;
}

// Whether anything of the window or its visible children still waits to be painted.
bool Unpainted(HWND window) {
    bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted) EnumChildWindows(window, FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
}

// The window's region at the given size as it was made before it was placed from the pieces'
// runs: each keyed frame piece drawn at its size and read back.
TRegionHandle DrawnRegion(TSkinForm& skinned, int width, int height) {
    const int bl = skinned.BorderLeft(), ch = skinned.CaptionHeight(), br = skinned.BorderRight(),
              bb = skinned.BorderBottom();
    TRegionHandle region(CreateRectRgn(bl, ch, width - br, height - bb));
    auto piece = [&](TFramePiece index, const RECT& p) {
        TBitmap scratch;
        scratch.SetPixelFormat(TPixelFormat::pf24bit);
        scratch.SetSize(p.right - p.left, p.bottom - p.top);
        if (scratch.Empty()) return;
        skinned.PaintBorderPiece(index, RECT{0, 0, scratch.Width(), scratch.Height()}, scratch.Canvas().Handle());
        TRegionHandle part = BitmapToRegion(scratch, p.left, p.top, 1, 1, 1, SkinKeyColor, kMaxRegionRects / 4);
        CombineRgn(region.Get(), region.Get(), part.Get(), RGN_OR);
    };
    piece(fpLeft, RECT{0, 0, bl, height});
    piece(fpRight, RECT{width - br, 0, width, height});
    piece(fpBottom, RECT{bl, height - bb, width - br, height});
    piece(fpTop, RECT{bl, 0, width - br, ch});
    return region;
}

// The steps of the start as the program marks them: each name once, in the order first
// begun, with how deep it first ran, how often and how long in all.
struct TStepTotal {
    std::string Name;
    int Depth;
    int Count = 0;
    double Microseconds = 0;
};
std::vector<TStepTotal> g_steps;
std::vector<std::pair<std::size_t, LARGE_INTEGER>> g_openSteps;

void HearStep(const char* name, bool begins) {
    // With QX_TRACE_STEPS each step's edges also go to the debug output, so that a Wine trace
    // (WINEDEBUG=+server,+debugstr) shows which platform requests each step makes; its
    // timings are the trace's, not the program's.
    static const bool trace = std::getenv("QX_TRACE_STEPS") != nullptr;
    if (trace) OutputDebugStringA((std::string(begins ? "STEP+ " : "STEP- ") + name).c_str());
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    if (begins) {
        std::size_t i = 0;
        while (i < g_steps.size() && g_steps[i].Name != name) ++i;
        if (i == g_steps.size()) g_steps.push_back({name, int(g_openSteps.size())});
        g_openSteps.push_back({i, now});
        return;
    }
    if (g_openSteps.empty()) return;
    TStepTotal& step = g_steps[g_openSteps.back().first];
    ++step.Count;
    step.Microseconds += Microseconds(g_openSteps.back().second, now);
    g_openSteps.pop_back();
}

// The libraries that the program loads at their first use show as steps of their own: from
// the loader helper's note before the load to its note before the first look-up in it.
FARPROC WINAPI HearDelayLoad(unsigned note, PDelayLoadInfo info) {
    static bool loading = false;
    if (note == dliNotePreLoadLibrary && info && info->szDll) {
        HearStep(("library loaded: " + std::string(info->szDll)).c_str(), true);
        loading = true;
    } else if ((note == dliNotePreGetProcAddress || note == dliNoteEndProcessing || note == dliFailLoadLib) && loading) {
        loading = false;
        HearStep("", false);
    }
    return nullptr;
}

void PrintSteps() {
    std::printf("steps of the start (count, milliseconds in all; a step's time includes the steps under it):\n");
    for (const TStepTotal& s : g_steps)
        std::printf("  %*s%-*s %3d %7.2f\n", 2 * s.Depth, "", 44 - 2 * s.Depth, s.Name.c_str(), s.Count,
                    s.Microseconds / 1000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    // "start": only the start, for a profiler to watch (perf, or a Wine trace with QX_TRACE_STEPS).
    const bool startOnly = argc > 1 && std::wcscmp(argv[1], L"start") == 0;
    ListenToTimedSteps(HearStep);
    __pfnDliNotifyHook2 = HearDelayLoad;
    LARGE_INTEGER c0, c1;
    QueryPerformanceCounter(&c0);
    TApplication application;
    application.Initialize();
    application.SetTitle(u"Quenrix Installer");
    RegisterSkinClasses();
    QueryPerformanceCounter(&c1);
    // Where the time of a start goes in this process (its first form: nothing was warmed up).
    LARGE_INTEGER t0, t1, t2, t3;
    QueryPerformanceCounter(&t0);
    TFrmAna* form = application.CreateForm<TFrmAna>();
    QueryPerformanceCounter(&t1);
    form->Show();  // activation: the skin manager attaches here and posts the start
    QueryPerformanceCounter(&t2);
    const HWND window = form->Handle();
    TStartTimer startTimer;
    form->AddMessageHook(&startTimer);
    TSkinForm* skinned = nullptr;
    const DWORD deadline = GetTickCount() + 10000;
    while (!(skinned && skinned->Started()) && static_cast<LONG>(deadline - GetTickCount()) > 0) {
        if (!application.ProcessMessage()) Sleep(1);
        if (TSkinManager* manager = SkinManager()) skinned = manager->FindSkinForm(window);
    }
    if (!skinned || !skinned->Started() || !skinned->Region()) {
        std::fprintf(stderr, "the main window was not skinned\n");
        return 1;
    }
    while (Unpainted(window) && static_cast<LONG>(deadline - GetTickCount()) > 0)
        if (!application.ProcessMessage()) Sleep(1);
    QueryPerformanceCounter(&t3);
    form->RemoveMessageHook(&startTimer);
    ListenToTimedSteps(nullptr);
    std::printf("application and COM initialised %.1f ms\n", Microseconds(c0, c1) / 1000);
    std::printf("window from its layout %.1f ms, Show %.1f ms, then to the first complete paint %.1f ms,\n"
                "  of which the skinner's start message %.1f ms\n",
                Microseconds(t0, t1) / 1000, Microseconds(t1, t2) / 1000, Microseconds(t2, t3) / 1000,
                g_startMicroseconds / 1000);
    if (std::getenv("QX_BENCH_DETAIL")) PrintSteps();
    if (startOnly) {
        std::fflush(stdout);
        ExitProcess(0);  // as a killed installer ends: no tear-down for the profiler to see
    }
    Pump(application, 300);  // what the start left queued (timers, late paints) is done first

    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left, height = outer.bottom - outer.top;
    std::printf("main window %d x %d (frame %d, %d, %d, %d), %zu caption buttons\n", width, height,
                skinned->BorderLeft(), skinned->CaptionHeight(), skinned->BorderRight(), skinned->BorderBottom(),
                skinned->SysButtons().size());
    const long gdiBefore = GdiLiveObjects();

    const std::vector<double> paints = TimeCalls(application, [] {}, [&] { skinned->PaintFrame(); }, [] {});

    // The region is cached by window size: alternating the width by one pixel makes every
    // timed call a rebuild, which the changed region handle confirms.
    auto sizeFilter = std::make_unique<TBenchSubclass>(window, SizeFilter, kSizeFilterId);
    if (!sizeFilter->Installed()) {
        std::fprintf(stderr, "cannot watch the window's size messages\n");
        return 1;
    }
    // A size change sets the new region without repainting and leaves the frame marked for the
    // paint the size change brings anyway: the rebuild is timed as the skinner's size handler
    // makes it, and that paint (it must come, once, for the frame to be right on screen) is
    // counted after it. The rebuild is also timed with the window's pending paint done at once,
    // and as skin and scale changes make it, repainting at once.
    int step = 0, rebuilt = 0, paintsInRebuilds = 0, paintsAfterRebuilds = 0, paintsAfterUnwatched = 0,
        paintsInRepaintingRebuilds = 0;
    HRGN last = skinned->Region();
    auto resize = [&] {
        SetWindowPos(window, nullptr, 0, 0, width + (++step % 2), height,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    };
    auto confirm = [&] {
        if (skinned->Region() && skinned->Region() != last) ++rebuilt;
        last = skinned->Region();
    };
    auto paintPending = [&] { RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN); };
    bool watchLost = false;
    auto watch = [&] {
        if (!sizeFilter) sizeFilter = std::make_unique<TBenchSubclass>(window, SizeFilter, kSizeFilterId);
        watchLost |= !sizeFilter->Installed();
    };
    // The rebuild is set against giving a plain window of the same size, with as many child
    // windows as the form has, the same region (under Wine this reshapes the X window): the part
    // of a rebuild that is the platform's. The two are timed in turns, a block of calls each,
    // so that a busy spell of the machine falls on both alike; the plain window lies over the
    // form during its blocks, and is hidden during the form's.
    int children = 0;
    for (HWND child = GetTopWindow(window); child; child = GetWindow(child, GW_HWNDNEXT)) ++children;
    // Not of this program's module, so the skin manager leaves it alone.
    HWND plain = CreateWindowExW(WS_EX_TOOLWINDOW, L"STATIC", L"", WS_POPUP, outer.left, outer.top, width, height,
                                 nullptr, nullptr, nullptr, nullptr);
    for (int i = 0; plain && i < children; ++i)
        CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, 8 + 24 * (i % 20), 40 + 24 * (i / 20), 20, 20, plain,
                        nullptr, nullptr, nullptr);
    TRegionHandle plainShape = skinned->FramePainter().MakeRegion(width, height);
    HRGN copy = nullptr;
    auto copyRegion = [&] {
        copy = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(copy, plainShape.Get(), nullptr, RGN_COPY);
    };
    // The bench's subclass is on the form only while it resizes the window and counts the paint
    // after: a subclass makes every message dearer (under Wine each one looks the chain up in
    // the window's properties, a call to the server), and the plain window has none.
    std::vector<double> regions, platform, platformUnpainted;
    int unwatchedCalls = 0;
    constexpr int kBlocks = 10, kBlockCalls = kCalls / kBlocks;
    auto append = [](std::vector<double>& to, const std::vector<double>& from) { to.insert(to.end(), from.begin(), from.end()); };
    for (int block = 0; block < kBlocks; ++block) {
        append(regions, TimeCalls(
                            application,
                            [&] {
                                watch();
                                resize();
                                sizeFilter.reset();
                            },
                            [&] { skinned->UpdateRegion(TRegionPaint::WithSizeChange); },
                            [&] {
                                confirm();
                                ++unwatchedCalls;
                                watch();
                                const int before = g_nonClientPaints;
                                paintPending();
                                paintsAfterUnwatched += g_nonClientPaints - before;
                            },
                            kBlockCalls, block == 0 ? 10 : 1));
        if (!plain) continue;
        ShowWindow(plain, SW_SHOWNOACTIVATE);
        // The window owns each copy from here on.
        append(platform, TimeCalls(application, copyRegion, [&] { SetWindowRgn(plain, copy, TRUE); }, [] {},
                                   kBlockCalls / 2, block == 0 ? 10 : 1));
        append(platformUnpainted, TimeCalls(application, copyRegion, [&] { SetWindowRgn(plain, copy, FALSE); }, [] {},
                                            kBlockCalls / 2, 1));
        ShowWindow(plain, SW_HIDE);
    }
    if (plain) DestroyWindow(plain);
    plainShape.Reset();
    // The same with the bench's subclass on throughout, which counts the paints inside the
    // rebuild and times the messages that setting the region sends: each through the window
    // procedure, then sent again (outside the timed rebuild) to the form's handler (its hooks,
    // the framework and the default procedure) and to the default procedure alone.
    struct TShare {
        std::vector<double> Whole, Form, Default;
        int Count = 0;
    };
    TShare shares[3];
    auto shareOf = [&](UINT message) -> TShare& {
        return shares[message == WM_WINDOWPOSCHANGING ? 0 : message == WM_NCCALCSIZE ? 1 : 2];
    };
    g_recordRegionMessages = true;
    const std::vector<double> regionsWatched = TimeCalls(
        application,
        [&] {
            watch();
            resize();
            g_regionMessages.clear();
        },
        [&] {
            const int before = g_nonClientPaints;
            skinned->UpdateRegion(TRegionPaint::WithSizeChange);
            paintsInRebuilds += g_nonClientPaints - before;
        },
        [&] {
            confirm();
            const std::vector<TRegionMessage> kept = std::move(g_regionMessages);
            g_regionMessages.clear();
            for (const TRegionMessage& k : kept) {
                TShare& share = shareOf(k.Msg);
                ++share.Count;
                share.Whole.push_back(k.Whole);
                share.Form.push_back(Resend(k, [&](UINT msg, WPARAM w, LPARAM l) { form->Perform(msg, w, l); }));
                share.Default.push_back(
                    Resend(k, [&](UINT msg, WPARAM w, LPARAM l) { DefWindowProcW(window, msg, w, l); }));
            }
            const int before = g_nonClientPaints;
            paintPending();
            paintsAfterRebuilds += g_nonClientPaints - before;
        });
    g_recordRegionMessages = false;
    const std::vector<double> regionsPainted = TimeCalls(
        application, resize,
        [&] {
            skinned->UpdateRegion(TRegionPaint::WithSizeChange);
            paintPending();
        },
        confirm);
    const std::vector<double> regionsRepainting = TimeCalls(
        application, resize,
        [&] {
            const int before = g_nonClientPaints;
            skinned->UpdateRegion(TRegionPaint::Now);
            paintsInRepaintingRebuilds += g_nonClientPaints - before;
        },
        confirm);
    // Where a rebuild's time goes besides setting the region: making it, placed from the pieces'
    // runs, against drawing the pieces and reading them back as it was made before.
    TFramePainter& painter = skinned->FramePainter();
    const std::vector<double> making = TimeCalls(
        application, [] {}, [&] { TRegionHandle r = painter.MakeRegion(width + (++step % 2), height); }, [] {});
    const std::vector<double> drawing = TimeCalls(
        application, [] {}, [&] { TRegionHandle r = DrawnRegion(*skinned, width + (++step % 2), height); }, [] {});
    sizeFilter.reset();
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    application.ProcessMessages();
    const long gdiAfter = GdiLiveObjects();

    std::printf("full non-client paint (PaintFrame):     %.1f us per call (median of %d)\n", Median(paints), kCalls);
    std::printf("region rebuild (UpdateRegion, new size): %.1f us per call (median of %d)\n", Median(regions), kCalls);
    std::printf("  it includes %.1f frame paints per call and leaves %.1f for the size change's paint\n",
                double(paintsInRebuilds) / (kCalls + 10), double(paintsAfterRebuilds) / (kCalls + 10));
    std::printf("  with the bench's subclass on the window (every message dearer): %.1f us per call\n",
                Median(regionsWatched));
    std::printf("  with the window's pending paint done at once: %.1f us per call (median of %d)\n",
                Median(regionsPainted), kCalls);
    std::printf("  making the region, placed from the pieces' runs: %.1f us; drawn from the pieces and read back: %.1f us\n",
                Median(making), Median(drawing));
    std::printf("  repainting at once (skin or scale change): %.1f us per call, %.1f frame paints per call\n",
                Median(regionsRepainting), double(paintsInRepaintingRebuilds) / (kCalls + 10));
    if (!platform.empty()) {
        std::printf("  SetWindowRgn of it on a plain window:  %.1f us per call (median of %zu; %d child windows)\n",
                    Median(platform), platform.size(), children);
        std::printf("    without repainting: %.1f us; the rebuild costs %+.1f us more than the plain window's\n",
                    Median(platformUnpainted), Median(regions) - Median(platform));
    }
    if (std::getenv("QX_BENCH_DETAIL")) {
        std::printf("  the messages setting the region sends, median us through the window procedure (with the\n"
                    "  bench's subclass) / the form's handler / the default procedure alone, and per rebuild:\n");
        const char* names[] = {"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED"};
        for (int i = 0; i < 3; ++i)
            if (!shares[i].Whole.empty())
                std::printf("    %-22s %7.1f %7.1f %7.1f  %.1f\n", names[i], Median(shares[i].Whole),
                            Median(shares[i].Form), Median(shares[i].Default), double(shares[i].Count) / (kCalls + 10));
    }
    std::printf("live GDI objects before and after: %ld, %ld\n", gdiBefore, gdiAfter);
    application.DestroyForms();
    if (watchLost) {
        std::fprintf(stderr, "cannot watch the window's size messages\n");
        return 1;
    }
    if (rebuilt != 3 * (kCalls + 10) + unwatchedCalls) {
        std::fprintf(stderr, "the region was rebuilt on %d of %d size changes\n", rebuilt, 3 * (kCalls + 10) + unwatchedCalls);
        return 1;
    }
    if (paintsInRebuilds + paintsAfterRebuilds != kCalls + 10 || paintsAfterUnwatched != unwatchedCalls) {
        std::fprintf(stderr, "rebuilds for a size change left the frame painted %d times in %d rebuilds, %d in %d\n",
                     paintsInRebuilds + paintsAfterRebuilds, kCalls + 10, paintsAfterUnwatched, unwatchedCalls);
        return 1;
    }
    if (gdiAfter != gdiBefore) {
        std::fprintf(stderr, "GDI objects were left behind\n");
        return 1;
    }
    return 0;
}
