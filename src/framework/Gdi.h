// Owning, move-only wrappers of GDI handles, and the scoped helpers that keep selections
// balanced. Every GDI object the program creates passes through one of these, so the live
// count below is an exact leak detector (Wine's GetGuiResources is a stub).
#pragma once
#include <windows.h>

#include <utility>

namespace qx {

// Number of GDI objects created through TGdiObject that are not yet deleted.
long GdiLiveObjects();
namespace detail {
void GdiCreated();
void GdiDeleted();
}  // namespace detail

template <class H>
class TGdiObject {
public:
    TGdiObject() = default;
    explicit TGdiObject(H handle) : handle_(handle) {
        if (handle_) detail::GdiCreated();
    }
    TGdiObject(const TGdiObject&) = delete;
    TGdiObject& operator=(const TGdiObject&) = delete;
    TGdiObject(TGdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
    TGdiObject& operator=(TGdiObject&& other) noexcept {
        if (this != &other) Reset(std::exchange(other.handle_, nullptr), false);
        return *this;
    }
    ~TGdiObject() { Reset(); }

    H Get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    // Takes ownership of handle (counted as a new creation unless adopted is false).
    void Reset(H handle = nullptr, bool counted = true) {
        if (handle_) {
            DeleteObject(handle_);
            detail::GdiDeleted();
        }
        handle_ = handle;
        if (handle_ && counted) detail::GdiCreated();
    }
    // Gives the handle up to a new owner, which must delete it.
    H Release() {
        if (handle_) detail::GdiDeleted();
        return std::exchange(handle_, nullptr);
    }

private:
    H handle_ = nullptr;
};

using TBitmapHandle = TGdiObject<HBITMAP>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TPenHandle = TGdiObject<HPEN>;
using TFontHandle = TGdiObject<HFONT>;
using TRegionHandle = TGdiObject<HRGN>;

// A memory device context; it puts back what it selected before it is deleted.
class TMemoryDC {
public:
    explicit TMemoryDC(HDC compatible = nullptr);
    TMemoryDC(const TMemoryDC&) = delete;
    TMemoryDC& operator=(const TMemoryDC&) = delete;
    TMemoryDC(TMemoryDC&& other) noexcept;
    TMemoryDC& operator=(TMemoryDC&&) = delete;
    ~TMemoryDC();

    HDC Get() const { return dc_; }
    // Selects a bitmap for the lifetime of this DC (or until the next SelectBitmap).
    void SelectBitmap(HBITMAP bitmap);

private:
    HDC dc_ = nullptr;
    HGDIOBJ oldBitmap_ = nullptr;
};

// A DC from GetDC/GetWindowDC, released on scope exit.
class TWindowDC {
public:
    explicit TWindowDC(HWND window, bool wholeWindow = false);
    TWindowDC(const TWindowDC&) = delete;
    TWindowDC& operator=(const TWindowDC&) = delete;
    ~TWindowDC();
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and puts the previous one back on scope exit.
class TSelectObject {
public:
    TSelectObject(HDC dc, HGDIOBJ object) : dc_(dc), old_(object ? SelectObject(dc, object) : nullptr) {}
    TSelectObject(const TSelectObject&) = delete;
    TSelectObject& operator=(const TSelectObject&) = delete;
    ~TSelectObject() {
        if (old_) SelectObject(dc_, old_);
    }

private:
    HDC dc_;
    HGDIOBJ old_;
};

// SaveDC/RestoreDC as a scope.
class TSavedDC {
public:
    explicit TSavedDC(HDC dc) : dc_(dc), state_(SaveDC(dc)) {}
    TSavedDC(const TSavedDC&) = delete;
    TSavedDC& operator=(const TSavedDC&) = delete;
    ~TSavedDC() {
        if (state_) RestoreDC(dc_, state_);
    }

private:
    HDC dc_;
    int state_;
};

// Off-screen composition for a paint: draw into Dc(), the destructor copies the result to
// the target in one transfer. Used alike by WM_PAINT and WM_PRINTCLIENT handlers.
class TDoubleBuffer {
public:
    TDoubleBuffer(HDC target, const RECT& area);
    TDoubleBuffer(const TDoubleBuffer&) = delete;
    TDoubleBuffer& operator=(const TDoubleBuffer&) = delete;
    ~TDoubleBuffer();
    HDC Dc() const { return ok_ ? memory_.Get() : target_; }

private:
    HDC target_;
    RECT area_;
    TBitmapHandle bitmap_;  // declared before memory_: the DC lets go of it before it is deleted
    TMemoryDC memory_;
    POINT oldOrigin_{};
    bool ok_ = false;
};

// A solid brush for one fill.
void FillSolidRect(HDC dc, const RECT& rect, COLORREF color);

}  // namespace qx
