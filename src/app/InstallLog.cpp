#include "app/InstallLog.h"

#include <cstring>
#include <tuple>

namespace qx {

namespace {

// Digits by hand: the formatted-output functions would bring a large part of the runtime in.
void AppendNumber(std::string& text, unsigned long value, int width = 1) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value && count < 16);
    for (int i = count; i < width; ++i) text += '0';
    while (count) text += digits[--count];
}

}  // namespace

TInstallLog::~TInstallLog() {
    if (IsOpen()) CloseHandle(file_);
}

bool TInstallLog::Open(const std::u16string& path) {
    if (IsOpen()) CloseHandle(file_);
    // Appending only: every write goes to the end, even while another run writes the same file.
    file_ = CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), FILE_APPEND_DATA,
                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    error_ = IsOpen() ? 0 : GetLastError();
    return IsOpen();
}

void TInstallLog::Write(std::string_view text) {
    if (!IsOpen()) return;
    SYSTEMTIME t;
    GetLocalTime(&t);
    std::string line;
    AppendNumber(line, t.wYear, 4);
    for (auto [separator, value, width] : {std::tuple{'-', t.wMonth, 2}, std::tuple{'-', t.wDay, 2},
                                          std::tuple{' ', t.wHour, 2}, std::tuple{':', t.wMinute, 2},
                                          std::tuple{':', t.wSecond, 2}, std::tuple{'.', t.wMilliseconds, 3}}) {
        line += separator;
        AppendNumber(line, value, width);
    }
    line += "  ";
    // A line break inside a step would split it into two lines that look like steps.
    for (char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
    line += "\r\n";
    DWORD written = 0;
    WriteFile(file_, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

std::string ProgramVersion() {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(VS_VERSION_INFO), MAKEINTRESOURCEW(16) /* RT_VERSION */);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
    DWORD size = found ? SizeofResource(nullptr, found) : 0;
    // The fixed part of the record begins with its signature, aligned to four bytes.
    for (DWORD at = 0; bytes && at + sizeof(VS_FIXEDFILEINFO) <= size; at += 4) {
        VS_FIXEDFILEINFO info;
        std::memcpy(&info, bytes + at, sizeof info);
        if (info.dwSignature != VS_FFI_SIGNATURE) continue;
        std::string text;
        for (DWORD part : {HIWORD(info.dwFileVersionMS), LOWORD(info.dwFileVersionMS), HIWORD(info.dwFileVersionLS),
                           LOWORD(info.dwFileVersionLS)}) {
            if (!text.empty()) text += '.';
            AppendNumber(text, part);
        }
        return text;
    }
    return "?";
}

}  // namespace qx
