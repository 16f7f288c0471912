// Skin Preview's measuring mode (--report FILE): message boxes are recorded instead of shown,
// the window is shown and its messages run until nothing is pending, and the time since the
// process started, its peak memory and the window's look are written to FILE. The skin
// benchmark (scripts/bench-skins) reads these reports.
#pragma once
#include <string>
#include <vector>

namespace qx {

class TApplication;
class TCustomForm;

class TPreviewReport {
public:
    explicit TPreviewReport(std::wstring path) : path_(std::move(path)) {}
    // From here on the application's message boxes are kept as text instead of shown.
    void RecordMessages(TApplication& application);
    // Shows the main form and dispatches its messages until the queue stays empty: the window
    // has been skinned (or not) and painted.
    void RunUntilPainted(TApplication& application);
    // Writes milliseconds since the process started and of processor time, peak working set in bytes, whether the
    // window is skinned and whether it has its system frame, and the messages; false when the
    // file cannot be written.
    bool Write(TCustomForm& form) const;

private:
    std::wstring path_;
    std::vector<std::u16string> messages_;
    double elapsedMs_ = 0;
    double cpuMs_ = 0;
};

}  // namespace qx
