// Callable window procedures bound to an object: a few bytes of machine code that call a
// static entry point with the object in place of the window handle (the object knows its
// window). Used for windows that the framework creates and for windows a skinner takes over.
#pragma once
#include <windows.h>

namespace qx {

using TStubTarget = LRESULT(CALLBACK*)(void* object, UINT message, WPARAM wParam, LPARAM lParam);

// A window procedure that calls target(object, message, wParam, lParam). Move-only; frees its code on destruction.
class TWndStub {
public:
    TWndStub() = default;
    TWndStub(void* object, TStubTarget target);
    TWndStub(const TWndStub&) = delete;
    TWndStub& operator=(const TWndStub&) = delete;
    TWndStub(TWndStub&& other) noexcept;
    TWndStub& operator=(TWndStub&& other) noexcept;
    ~TWndStub();

    WNDPROC Proc() const { return proc_; }
    explicit operator bool() const { return proc_ != nullptr; }

private:
    void Free();
    WNDPROC proc_ = nullptr;
};

// Number of stubs alive (for tests that prove every stub is freed).
long LiveWndStubs();

}  // namespace qx
