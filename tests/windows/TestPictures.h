// Pictures made in memory for the drawing tests: each case states the pixels it depends on.
#pragma once
#include "framework/Graphics.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace qxtest {

// A 32-bit picture whose pixel (x, y) is colour(x, y) (COLORREF values).
inline std::unique_ptr<qx::TBitmap> Picture(int w, int h, const std::function<COLORREF(int, int)>& colour) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const COLORREF c = colour(x, y);
            px[static_cast<std::size_t>(y) * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    auto b = std::make_unique<qx::TBitmap>();
    b->SetPixels32(w, h, px);
    return b;
}

}  // namespace qxtest
