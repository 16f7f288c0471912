// The log an unattended install leaves for whoever deployed it (/log:PATH): UTF-8 text,
// appended to what is there, one line per step, each with the local time to the millisecond.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>

namespace qx {

class TInstallLog {
public:
    TInstallLog() = default;
    ~TInstallLog();
    TInstallLog(const TInstallLog&) = delete;
    TInstallLog& operator=(const TInstallLog&) = delete;

    // Opens (or creates) the file for appending; false with the platform's error code in
    // LastError() when it cannot be written. Other programs may read it meanwhile.
    bool Open(const std::u16string& path);
    bool IsOpen() const { return file_ != INVALID_HANDLE_VALUE; }
    DWORD LastError() const { return error_; }

    // One line, stamped; the text is UTF-8. Every line reaches the file at once, so that a
    // run that is killed still leaves what it did. Nothing happens when the log is not open.
    void Write(std::string_view text);

private:
    HANDLE file_ = INVALID_HANDLE_VALUE;
    DWORD error_ = 0;
};

// The program's file version from its own version record ("1.0.1.1000"), or "?" without one.
std::string ProgramVersion();

}  // namespace qx
