#include "core/Bmp.h"
#include "core/Stream.h"
#include "framework/Graphics.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace qx {

namespace {

// Bitmap files come from the layout and from skins; anything claiming more than this is
// refused before it is read into memory.
constexpr std::int64_t kMaxBitmapFileSize = 256LL * 1024 * 1024;

TPixelFormat FormatOf(std::uint16_t bitCount) {
    switch (bitCount) {
        case 1: return TPixelFormat::pf1bit;
        case 4: return TPixelFormat::pf4bit;
        case 8: return TPixelFormat::pf8bit;
        case 32: return TPixelFormat::pf32bit;
        default: return TPixelFormat::pf24bit;  // 24 bits, and 16-bit files widened
    }
}

}  // namespace

// The file's headers are checked by the portable decoder first, against the bytes at hand; only
// a file that decodes completely reaches GDI, so a bad file leaves this bitmap as it was. Rows
// are decoded one at a time straight into the new picture.
void TBitmap::LoadFromStream(TStream& stream) {
    const std::int64_t remaining = stream.Remaining();
    if (remaining <= 0) throw EStreamError("bitmap file is empty");
    if (remaining > kMaxBitmapFileSize) throw EStreamError("bitmap file is too large");
    std::vector<std::uint8_t> file(static_cast<std::size_t>(remaining));
    stream.ReadBuffer(file.data(), file.size());
    LoadFromBytes(file);
}

void TBitmap::LoadFromBytes(std::span<const std::uint8_t> file) {
    if (file.empty()) throw EStreamError("bitmap file is empty");
    if (static_cast<std::int64_t>(file.size()) > kMaxBitmapFileSize) throw EStreamError("bitmap file is too large");
    TBmpLayout layout;
    std::string error;
    if (!ReadBmpLayout(file, layout, error)) throw EStreamError("cannot read the bitmap file: " + error);

    const TPixelFormat format = FormatOf(layout.BitCount);
    Recreate(0, 0, format);
    Recreate(layout.Width, layout.Height, format);
    const int bits = layout.BitCount;
    if (format <= TPixelFormat::pf8bit) {
        RGBQUAD table[256]{};
        const std::size_t n = std::size_t{1} << bits;
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t c = layout.Palette[i];
            table[i] = {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
        }
        TMemoryDC dc;
        dc.SelectBitmap(store_->handle.Get());
        SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(n), table);
    }
    const int w = layout.Width;
    const std::size_t stride = static_cast<std::size_t>(Stride());
    DecodeBmpRows(file, layout, [&](int y, const std::uint32_t* rgb, const std::uint8_t* idx) {
        std::uint8_t* row = ScanLine(y);
        if (format <= TPixelFormat::pf8bit) {
            std::memset(row, 0, stride);
            for (int x = 0; x < w; ++x) {
                const int bit = x * bits;
                row[bit >> 3] |= static_cast<std::uint8_t>(idx[x] << (8 - bits - (bit & 7)));
            }
        } else if (format == TPixelFormat::pf32bit) {
            std::memcpy(row, rgb, static_cast<std::size_t>(w) * 4);
        } else {
            for (int x = 0; x < w; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(rgb[x]);
                row[3 * x + 1] = static_cast<std::uint8_t>(rgb[x] >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(rgb[x] >> 16);
            }
        }
    });
    GdiFlush();
    Changed();
}

}  // namespace qx
