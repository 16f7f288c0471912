#include "skin/Skinner.h"

#include "framework/Forms.h"

#include <utility>
#include <vector>

namespace qx {

void ReportSkinnerFailure(std::exception_ptr error) noexcept {
    try {
        if (Application) Application->HandleException(nullptr, error);
    } catch (...) {
        // The report itself failed: nothing more can be shown.
    }
}

namespace {

// Skinners live on the user-interface thread only; nothing here is locked.
int g_depth = 0;
std::vector<std::unique_ptr<TSkinner>>& Graveyard() {
    static std::vector<std::unique_ptr<TSkinner>> graveyard;
    return graveyard;
}

void FlushGraveyard() {
    // A destructor may retire more; keep going until none is left.
    while (!Graveyard().empty()) {
        auto batch = std::move(Graveyard());
        Graveyard().clear();
        batch.clear();
    }
}

}  // namespace

bool TWindowSubclass::Install(HWND window, SUBCLASSPROC proc, void* object) {
    Remove();
    const auto id = reinterpret_cast<UINT_PTR>(object);
    if (!window || !SetWindowSubclass(window, proc, id, reinterpret_cast<DWORD_PTR>(object))) return false;
    window_ = window;
    proc_ = proc;
    id_ = id;
    chainTop_ = GetWindowLongPtrW(window, GWLP_WNDPROC);
    return true;
}

void TWindowSubclass::Remove() {
    if (!window_) return;
    const HWND window = std::exchange(window_, nullptr);
    if (!IsWindow(window)) return;
    if (GetWindowLongPtrW(window, GWLP_WNDPROC) == chainTop_) {
        RemoveWindowSubclass(window, proc_, id_);
        return;
    }
    // A procedure put over the chain by hand calls the chain as its previous one; taking the
    // last subclass out would put the window's own procedure back over it and cut it off. A
    // link that only passes messages on takes this one's place first, so the chain stays.
    SetWindowSubclass(window, &TWindowSubclass::PassOn, id_, 0);
    RemoveWindowSubclass(window, proc_, id_);
}

LRESULT CALLBACK TWindowSubclass::PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                          DWORD_PTR) {
    const LRESULT result = DefSubclassProc(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) RemoveWindowSubclass(window, &TWindowSubclass::PassOn, id);
    return result;
}

TSkinDispatchScope::TSkinDispatchScope() { ++g_depth; }

TSkinDispatchScope::~TSkinDispatchScope() {
    if (--g_depth == 0) FlushGraveyard();
}

void DisposeSkinner(std::unique_ptr<TSkinner> skinner) {
    if (!skinner) return;
    if (g_depth > 0)
        Graveyard().push_back(std::move(skinner));
    else
        skinner.reset();
}

std::size_t PendingSkinnerDisposals() { return Graveyard().size(); }

}  // namespace qx
