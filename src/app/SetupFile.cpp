#include "app/SetupFile.h"

#include <string>
#include <vector>

namespace qx {

namespace {

const wchar_t* Wide(const std::u16string& text) { return reinterpret_cast<const wchar_t*>(text.c_str()); }

}  // namespace

std::u16string InstallerFolder(IInstallerPlatform& platform) {
    // The path may exceed MAX_PATH; the platform says so by filling the whole buffer.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = platform.GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) throw ESetupFileError("the installer's own path is unknown");
        if (length < buffer.size()) {
            std::u16string path(buffer.begin(), buffer.begin() + length);
            std::size_t slash = path.find_last_of(u"\\/");
            if (slash == std::u16string::npos) throw ESetupFileError("the installer's own path has no folder");
            return path.substr(0, slash + 1);
        }
        if (buffer.size() >= 32768) throw ESetupFileError("the installer's own path is too long");
        buffer.resize(buffer.size() * 2);
    }
}

std::u16string PartialFileName(const std::u16string& target) {
    std::string pid = std::to_string(GetCurrentProcessId());
    return target + u"." + std::u16string(pid.begin(), pid.end()) + u".part";
}

bool LooksLikeProgram(const std::u16string& path) {
    HANDLE file = CreateFileW(Wide(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char head[2] = {};
    DWORD read = 0;
    BOOL ok = ReadFile(file, head, sizeof head, &read, nullptr);
    CloseHandle(file);
    return ok && read == 2 && head[0] == 'M' && head[1] == 'Z';
}

void PutSetupFileInPlace(const std::u16string& partial, const std::u16string& target) {
    if (!LooksLikeProgram(partial)) throw ESetupFileError("the downloaded file is no program");
    if (!MoveFileExW(Wide(partial), Wide(target), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        throw ESetupFileError("the downloaded file cannot be put in place (error " + std::to_string(GetLastError()) + ")");
}

void RemovePartialFile(const std::u16string& partial) noexcept {
    // A read-only attribute left by the service must not keep the piece alive.
    SetFileAttributesW(Wide(partial), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Wide(partial));
}

}  // namespace qx
