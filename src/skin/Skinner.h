// What the skin manager owns for one window: a form skinner or a control skinner. Skinners
// never free themselves; they leave the manager's table when their window is destroyed or
// skinning stops, and the manager frees them once no message of theirs is still running.
#pragma once
#include "framework/Component.h"
#include "framework/Controls.h"

#include <windows.h>
#include <commctrl.h>

#include <compare>
#include <cstdint>
#include <exception>
#include <memory>

namespace qx {

// Which window (or, for a control without a window, which control) a skinner serves.
struct TSkinKey {
    HWND Window = nullptr;
    const TControl* Graphic = nullptr;
    auto operator<=>(const TSkinKey&) const = default;
};

// Where a skinner is in its life. Control skinners go from New to Skinned to Destroyed; form
// skinners pass the steps between as their window is fitted, reskinned and destroyed.
enum class TSkinnerLife : std::uint8_t {
    New,         // made, not attached yet
    Skinned,     // attached: its window is skinned
    Reskinning,  // a new skin is being put on
    Destroying,  // its window is being destroyed
    Fitting,     // its window is being fitted to the skin's frame
    Destroyed,   // its window is gone; it only waits to be freed
};

class TSkinner : public TComponent {
public:
    TSkinner() : TComponent(nullptr) {}
    TSkinnerLife Life() const { return FLife; }
    // The key it was made for.
    virtual TSkinKey Key() const = 0;
    // Gives back everything it took over (window procedure, message hook, colours, styles);
    // afterwards it only waits to be freed. Safe to call more than once.
    virtual void Release() = 0;

protected:
    TSkinnerLife FLife = TSkinnerLife::New;
};

// Shows an error that a skinner's message raised the way the framework shows one from a
// window's own procedure, so that it reaches no further than the message that raised it.
void ReportSkinnerFailure(std::exception_ptr error) noexcept;

// Marks a message of a skinner as running; the last one to return frees what was retired
// meanwhile, so that no object is freed under a message that is still using it.
class TSkinDispatchScope {
public:
    TSkinDispatchScope();
    ~TSkinDispatchScope();
    TSkinDispatchScope(const TSkinDispatchScope&) = delete;
    TSkinDispatchScope& operator=(const TSkinDispatchScope&) = delete;
};

// One subclass of a window through the platform's subclass chain, which keeps other subclasses
// working whatever the order in which they leave. One that leaves while a later procedure was
// put over the chain by hand stays in the chain as a plain link (that procedure still calls
// the chain), and goes with the window.
class TWindowSubclass {
public:
    TWindowSubclass() = default;
    TWindowSubclass(const TWindowSubclass&) = delete;
    TWindowSubclass& operator=(const TWindowSubclass&) = delete;
    ~TWindowSubclass() { Remove(); }
    // proc receives the object as its reference data; false when the window refused.
    bool Install(HWND window, SUBCLASSPROC proc, void* object);
    void Remove();
    bool Installed() const { return window_ != nullptr; }
    HWND Window() const { return window_; }
    // A message of the window is running through handler now: the chain goes on from here.
    bool Running() const { return running_ > 0; }

    // Runs one message of the subclass procedure through handler. A message that arrives after
    // Remove passes straight on, and nothing unwinds into the platform's message dispatch.
    template <class F>
    LRESULT Run(HWND window, UINT message, WPARAM wParam, LPARAM lParam, F&& handler) {
        TSkinDispatchScope scope;
        TMessage m{message, wParam, lParam, 0};
        ++running_;
        try {
            if (window_ == window)
                handler(m);
            else
                m.Result = DefSubclassProc(window, message, wParam, lParam);
        } catch (...) {
            ReportSkinnerFailure(std::current_exception());
        }
        --running_;
        return m.Result;
    }

private:
    static LRESULT CALLBACK PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                   DWORD_PTR refData);
    HWND window_ = nullptr;
    SUBCLASSPROC proc_ = nullptr;
    UINT_PTR id_ = 0;
    LONG_PTR chainTop_ = 0;  // the window procedure right after installing: the chain's own
    int running_ = 0;
};

// Frees the skinner now, or when the outermost running skinner message returns.
void DisposeSkinner(std::unique_ptr<TSkinner> skinner);
// Skinners waiting to be freed (for tests).
std::size_t PendingSkinnerDisposals();

}  // namespace qx
