#include "Gdi.h"

#include <atomic>

namespace qx {

namespace {
std::atomic<long> g_live{0};
}

long GdiLiveObjects() { return g_live.load(); }
void detail::GdiCreated() { ++g_live; }
void detail::GdiDeleted() { --g_live; }

TMemoryDC::TMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}

TMemoryDC::TMemoryDC(TMemoryDC&& other) noexcept
    : dc_(std::exchange(other.dc_, nullptr)), oldBitmap_(std::exchange(other.oldBitmap_, nullptr)) {}

TMemoryDC::~TMemoryDC() {
    if (!dc_) return;
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
}

void TMemoryDC::SelectBitmap(HBITMAP bitmap) {
    HGDIOBJ previous = SelectObject(dc_, bitmap);
    if (!oldBitmap_) oldBitmap_ = previous;
}

TWindowDC::TWindowDC(HWND window, bool wholeWindow)
    : window_(window), dc_(wholeWindow ? GetWindowDC(window) : GetDC(window)) {}

TWindowDC::~TWindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
}

TDoubleBuffer::TDoubleBuffer(HDC target, const RECT& area) : target_(target), area_(area), memory_(target) {
    int w = area.right - area.left, h = area.bottom - area.top;
    if (w <= 0 || h <= 0 || !memory_.Get()) return;
    bitmap_.Reset(CreateCompatibleBitmap(target, w, h));
    if (!bitmap_) return;
    memory_.SelectBitmap(bitmap_.Get());
    // Callers draw in the target's coordinates.
    SetWindowOrgEx(memory_.Get(), area.left, area.top, &oldOrigin_);
    ok_ = true;
}

TDoubleBuffer::~TDoubleBuffer() {
    if (!ok_) return;
    BitBlt(target_, area_.left, area_.top, area_.right - area_.left, area_.bottom - area_.top, memory_.Get(),
           area_.left, area_.top, SRCCOPY);
    SetWindowOrgEx(memory_.Get(), oldOrigin_.x, oldOrigin_.y, nullptr);
}

void FillSolidRect(HDC dc, const RECT& rect, COLORREF color) {
    COLORREF old = SetBkColor(dc, color);
    ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
    SetBkColor(dc, old);
}

}  // namespace qx
