// A 32-bit top-down memory bitmap with a DC, for tests that paint and then read pixels.
#pragma once
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

class TTestCanvas {
public:
    TTestCanvas(int width, int height, COLORREF fill = RGB(0, 0, 0)) : width_(width), height_(height) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        Fill(fill);
    }
    ~TTestCanvas() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    TTestCanvas(const TTestCanvas&) = delete;
    TTestCanvas& operator=(const TTestCanvas&) = delete;

    HDC Dc() const { return dc_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void Fill(COLORREF c) {
        GdiFlush();
        for (int i = 0; i < width_ * height_; ++i)
            bits_[i] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    COLORREF At(int x, int y) const {
        GdiFlush();
        const std::uint32_t v = bits_[y * width_ + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    // Bounding box of the pixels of one colour; empty (right <= left) when there are none.
    RECT BoundsOf(COLORREF c) const {
        RECT r{width_, height_, 0, 0};
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x)
                if (At(x, y) == c) {
                    r.left = std::min<LONG>(r.left, x);
                    r.top = std::min<LONG>(r.top, y);
                    r.right = std::max<LONG>(r.right, x + 1);
                    r.bottom = std::max<LONG>(r.bottom, y + 1);
                }
        return r;
    }

    // Writes the pixels as a bitmap file into the folder named by QX_DUMP_DIR, when set: for
    // looking at what a test painted.
    void Dump(const char* name) const {
        const char* dir = std::getenv("QX_DUMP_DIR");
        if (!dir) return;
        GdiFlush();
        const std::string path = std::string(dir) + "\\" + name + ".bmp";
        BITMAPFILEHEADER f{};
        BITMAPINFOHEADER h{};
        h.biSize = sizeof h;
        h.biWidth = width_;
        h.biHeight = -height_;
        h.biPlanes = 1;
        h.biBitCount = 32;
        f.bfType = 0x4D42;
        f.bfOffBits = sizeof f + sizeof h;
        f.bfSize = f.bfOffBits + 4 * width_ * height_;
        if (FILE* out = std::fopen(path.c_str(), "wb")) {
            std::fwrite(&f, sizeof f, 1, out);
            std::fwrite(&h, sizeof h, 1, out);
            for (int i = 0; i < width_ * height_; ++i) {
                const std::uint32_t opaque = bits_[i] | 0xFF000000u;  // GDI leaves alpha at 0
                std::fwrite(&opaque, 4, 1, out);
            }
            std::fclose(out);
        }
    }

private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};
