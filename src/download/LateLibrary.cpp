#include "download/LateLibrary.h"

namespace qx {

namespace {

class TSystemModuleLoader final : public IModuleLoader {
public:
    // Only the system's own copy: the program is often started from a downloads folder, where
    // a library of the same name must not be picked up. Systems whose loader does not know the
    // flag yet refuse it as a parameter error; they are given the full path of the system's copy.
    HMODULE Load(const char* name) override {
        HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (!module && GetLastError() == ERROR_INVALID_PARAMETER) module = LoadFromSystemFolder(name);
        return module;
    }
    FARPROC Find(HMODULE module, const char* procedure) override { return GetProcAddress(module, procedure); }
    void Free(HMODULE module) override { FreeLibrary(module); }

private:
    static HMODULE LoadFromSystemFolder(const char* name) {
        char path[MAX_PATH];
        UINT length = GetSystemDirectoryA(path, MAX_PATH);
        if (length == 0 || length >= MAX_PATH) return nullptr;
        std::size_t at = length;
        if (path[at - 1] != '\\') path[at++] = '\\';
        for (const char* c = name; *c; ++c) {
            if (at + 1 >= MAX_PATH) return nullptr;
            path[at++] = *c;
        }
        path[at] = '\0';
        return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
    }
};

}  // namespace

IModuleLoader& SystemModuleLoader() {
    static TSystemModuleLoader loader;
    return loader;
}

bool RestrictLibrarySearchToSystem() noexcept {
    // Looked up by name: the setting came with an update to Windows 7 and is absent before it.
    using SetDefaultDllDirectoriesProc = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = GetModuleHandleW(L"KERNEL32.DLL");
    if (!kernel) return false;
    auto set = reinterpret_cast<SetDefaultDllDirectoriesProc>(
        reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")));
    return set && set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

FARPROC TLateLibrary::FindProcedure(const char* procedure) {
    if (!attempted_) {
        attempted_ = true;
        module_ = loader_.Load(name_);
    }
    if (!module_) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    FARPROC found = loader_.Find(module_, procedure);
    if (!found) SetLastError(ERROR_PROC_NOT_FOUND);
    return found;
}

void TLateLibrary::Release() {
    attempted_ = true;
    if (module_) loader_.Free(module_);
    module_ = nullptr;
}

}  // namespace qx
