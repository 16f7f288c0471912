#include "PreviewReport.h"

#include "core/Text.h"
#include "framework/Forms.h"
#include "skin/SkinMessages.h"

#include <windows.h>
#include <psapi.h>

#include <cstdio>

namespace qx {

namespace {

unsigned long long Ticks(const FILETIME& t) { return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime; }

// Milliseconds since the process was created, by the system's clock, and of processor time
// the process has used (on a machine shared with other work the first grows, the second not).
void Elapsed(double& wallMs, double& cpuMs) {
    FILETIME created{}, exited{}, kernel{}, user{}, now{};
    wallMs = cpuMs = -1;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return;
    GetSystemTimeAsFileTime(&now);
    wallMs = static_cast<double>(Ticks(now) - Ticks(created)) / 10000.0;
    cpuMs = static_cast<double>(Ticks(kernel) + Ticks(user)) / 10000.0;
}

// Paints that the queue cannot hand out yet (a transparent window waits for its siblings)
// leave their flag set after every paint that can be had was dispatched.
bool QueueEmpty() { return HIWORD(GetQueueStatus(QS_ALLINPUT & ~QS_PAINT)) == 0; }

}  // namespace

void TPreviewReport::RecordMessages(TApplication& application) {
    application.OnMessageBox = [this](const std::u16string& text, const std::u16string&, UINT) {
        messages_.push_back(text);
        return IDOK;
    };
}

void TPreviewReport::RunUntilPainted(TApplication& application) {
    if (TCustomForm* main = application.MainForm()) main->Show();
    // Idle twice in a row, a moment apart: what the window system sends after showing the
    // window (activation, exposure) has arrived and been handled.
    for (int quiet = 0; quiet < 2;) {
        while (application.ProcessMessage()) {
        }
        Sleep(20);
        quiet = QueueEmpty() ? quiet + 1 : 0;
    }
    Elapsed(elapsedMs_, cpuMs_);
}

bool TPreviewReport::Write(TCustomForm& form) const {
    PROCESS_MEMORY_COUNTERS counters{sizeof counters};
    const bool measured = GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    const bool skinned = form.HandleAllocated() && SendMessageW(form.Handle(), WM_SKINNEDQUERY, 0, 0) == 1;
    const bool systemFrame =
        form.HandleAllocated() && (GetWindowLongPtrW(form.Handle(), GWL_STYLE) & WS_CAPTION) == WS_CAPTION;
    FILE* out = _wfopen(path_.c_str(), L"wb");
    if (!out) return false;
    std::fprintf(out, "ms %.0f\ncpu %.0f\npeak %llu\nskinned %d\nsystemframe %d\n", elapsedMs_, cpuMs_,
                 measured ? static_cast<unsigned long long>(counters.PeakWorkingSetSize) : 0ULL, skinned ? 1 : 0,
                 systemFrame ? 1 : 0);
    for (const std::u16string& m : messages_) {
        std::string text = Utf16ToUtf8(m);
        for (char& c : text)
            if (c == '\r' || c == '\n') c = ' ';
        std::fprintf(out, "message %s\n", text.c_str());
    }
    return std::fclose(out) == 0;
}

}  // namespace qx
