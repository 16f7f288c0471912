// A stand-in for a system library that a test plants beside a program under the library's
// name. Whoever loads it leaves a mark: an empty file "<library>.loaded-by.<program>" in the
// folder named by QX_PLANT_LOG, or beside the library.
#include <windows.h>

namespace {

// The part of a path after its last backslash.
const wchar_t* BaseName(const wchar_t* path) {
    const wchar_t* base = path;
    for (const wchar_t* c = path; *c; ++c)
        if (*c == L'\\' || *c == L'/') base = c + 1;
    return base;
}

void LeaveMark(HMODULE self) {
    wchar_t library[MAX_PATH], program[MAX_PATH], mark[3 * MAX_PATH + 32];
    DWORD libraryLength = GetModuleFileNameW(self, library, MAX_PATH);
    if (libraryLength == 0 || libraryLength >= MAX_PATH) return;
    if (GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) lstrcpyW(program, L"unknown");
    DWORD folder = GetEnvironmentVariableW(L"QX_PLANT_LOG", mark, MAX_PATH);
    if (folder == 0 || folder >= MAX_PATH) {
        lstrcpyW(mark, library);
        mark[BaseName(library) - library] = L'\0';
    } else {
        lstrcatW(mark, L"\\");
    }
    lstrcatW(mark, BaseName(library));
    lstrcatW(mark, L".loaded-by.");
    lstrcatW(mark, BaseName(program));
    HANDLE file = CreateFileW(mark, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) LeaveMark(self);
    return TRUE;
}
