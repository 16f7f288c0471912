// Helpers shared by the Windows tests.
#pragma once
#include "framework/Forms.h"

#include <windows.h>

#include <functional>
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

// Paints a window's client area through WM_PRINTCLIENT-like direct painting into a 32-bit
// memory bitmap and reads pixels back.
class TCapture {
public:
    TCapture(int width, int height);
    ~TCapture();
    HDC Dc() const { return dc_; }
    COLORREF Pixel(int x, int y) const;
    int Width() const { return width_; }
    int Height() const { return height_; }

private:
    int width_, height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ old_;
    unsigned* bits_ = nullptr;
};

inline TCapture::TCapture(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    old_ = SelectObject(dc_, bitmap_);
}

inline TCapture::~TCapture() {
    SelectObject(dc_, old_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

inline COLORREF TCapture::Pixel(int x, int y) const {
    GdiFlush();
    unsigned v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

}  // namespace qxtest
