// Helpers shared by the Windows tests.
#pragma once
#include "TestCanvas.h"
#include "framework/Forms.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace qxtest {

// Runs the message loop until done() or the time is up; returns done().
inline bool PumpUntil(const std::function<bool()>& done, DWORD milliseconds = 3000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > milliseconds) return false;
        qx::Application->ProcessMessages();
        Sleep(5);
    }
    return true;
}

inline void Pump(DWORD milliseconds) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < milliseconds) {
        qx::Application->ProcessMessages();
        Sleep(5);
    }
}

// A dialog-styled form of 300 x 200 client pixels near the screen's corner, not yet shown.
inline std::unique_ptr<qx::TForm> MakeForm() {
    auto form = std::make_unique<qx::TForm>(nullptr);
    form->SetBorderStyle(qx::TFormBorderStyle::bsDialog);
    form->SetClientWidth(300);
    form->SetClientHeight(200);
    form->SetLeft(10);
    form->SetTop(10);
    return form;
}

// A control of class T made, owned and parented by parent, at the given bounds.
template <class T>
T* Place(qx::TWinControl* parent, int left, int top, int width, int height) {
    auto* control = new T(parent);
    control->SetParent(parent);
    control->SetBounds(left, top, width, height);
    return control;
}

// Calls back once from inside a modal loop (a menu's) on the thread's timer.
struct TInsideLoop {
    static std::function<void()>& Action() {
        static std::function<void()> action;
        return action;
    }
    static void CALLBACK Fire(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (auto a = std::move(Action())) a();
    }
    explicit TInsideLoop(std::function<void()> action, UINT delay = 150) {
        Action() = std::move(action);
        id = SetTimer(nullptr, 0, delay, &TInsideLoop::Fire);
    }
    ~TInsideLoop() {
        KillTimer(nullptr, id);
        Action() = nullptr;
    }
    UINT_PTR id;
};

}  // namespace qxtest
