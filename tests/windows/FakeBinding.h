// A transfer's binding as the download service hands it to the status callback: it counts
// what is done to it and signals Aborted, which another thread may wait on.
#pragma once
#include <windows.h>
#include <urlmon.h>

#include <atomic>

namespace qx::testing {

class TFakeBinding : public IBinding {
public:
    std::atomic<long> References{1};
    std::atomic<int> Aborts{0};
    std::atomic<DWORD> AbortThread{0};  // the thread of the last Abort
    HANDLE Aborted = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    TFakeBinding() = default;
    TFakeBinding(const TFakeBinding&) = delete;
    TFakeBinding& operator=(const TFakeBinding&) = delete;
    ~TFakeBinding() { CloseHandle(Aborted); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++References; }
    ULONG STDMETHODCALLTYPE Release() override { return --References; }
    HRESULT STDMETHODCALLTYPE Abort() override {
        ++Aborts;
        AbortThread = GetCurrentThreadId();
        SetEvent(Aborted);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Suspend() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Resume() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetPriority(LONG) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetPriority(LONG*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetBindResult(CLSID*, DWORD*, LPOLESTR*, DWORD*) override { return E_NOTIMPL; }
};

// Waits for the binding's abort the way the platform's blocking transfer does: retrieving
// only messages of its own, which still delivers what other threads send to this one.
inline DWORD PumpUntilAborted(TFakeBinding& binding, DWORD limit) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD elapsed = GetTickCount() - start;
        if (elapsed >= limit) return WAIT_TIMEOUT;
        DWORD woke = MsgWaitForMultipleObjects(1, &binding.Aborted, FALSE, limit - elapsed, QS_SENDMESSAGE);
        if (woke == WAIT_OBJECT_0) return WAIT_OBJECT_0;
        MSG msg;
        PeekMessageW(&msg, reinterpret_cast<HWND>(-1), 0, 0, PM_NOREMOVE);  // delivers sent messages only
    }
}

}  // namespace qx::testing
