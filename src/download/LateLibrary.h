// Libraries the program loads by name when it first needs them, and only from the system
// folder: a library of the same name beside the program is never picked up.
#pragma once
#include <windows.h>

namespace qx {

// How modules are loaded; tests count and script the loading through it.
class IModuleLoader {
public:
    virtual ~IModuleLoader() = default;
    virtual HMODULE Load(const char* name) = 0;
    virtual FARPROC Find(HMODULE module, const char* procedure) = 0;
    virtual void Free(HMODULE module) = 0;
};

// Loads from the system folder only.
IModuleLoader& SystemModuleLoader();

// Narrows the process's library search to the system folder, for every later load and for
// what those libraries load on their behalf. Systems without the setting are left as they are
// (false); SystemModuleLoader still asks for the system folder on its own.
bool RestrictLibrarySearchToSystem() noexcept;

// A library loaded by name the first time one of its functions is wanted; a failed load is not
// tried again. It stays loaded until Release.
class TLateLibrary {
public:
    TLateLibrary(IModuleLoader& loader, const char* name) : loader_(loader), name_(name) {}
    TLateLibrary(const TLateLibrary&) = delete;
    TLateLibrary& operator=(const TLateLibrary&) = delete;

    // The function, or none (with the thread's last error saying why) when the library or the
    // function is missing.
    template <class TProcedure>
    TProcedure Find(const char* procedure) {
        return reinterpret_cast<TProcedure>(reinterpret_cast<void*>(FindProcedure(procedure)));
    }
    // Frees the library if it was loaded; a later Find does not load it again.
    void Release();

private:
    FARPROC FindProcedure(const char* procedure);

    IModuleLoader& loader_;
    const char* name_;
    bool attempted_ = false;
    HMODULE module_ = nullptr;
};

}  // namespace qx

// Inside a function that returns what the late function returns: calls the named function of
// the library with the arguments, or answers failed when it cannot be had. Each call site looks
// its function up once.
#define QX_LATE_CALL(library, function, failed, ...)                                        \
    do {                                                                                   \
        static const auto procedure = library().Find<decltype(&::function)>(#function);    \
        return procedure ? procedure(__VA_ARGS__) : (failed);                              \
    } while (false)
