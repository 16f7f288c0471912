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

// The file is decoded by the portable decoder first, which checks every size and offset
// against the bytes at hand; only a picture that decoded completely reaches GDI, so a bad
// file leaves this bitmap as it was.
void TBitmap::LoadFromStream(TStream& stream) {
    const std::int64_t remaining = stream.Remaining();
    if (remaining <= 0) throw EStreamError("bitmap file is empty");
    if (remaining > kMaxBitmapFileSize) throw EStreamError("bitmap file is too large");
    std::vector<std::uint8_t> file(static_cast<std::size_t>(remaining));
    stream.ReadBuffer(file.data(), file.size());

    TBmpImage image;
    std::string error;
    if (!DecodeBmp(file, image, error)) throw EStreamError("cannot read the bitmap file: " + error);

    const TPixelFormat format = FormatOf(image.BitCount);
    Recreate(0, 0, format);
    Recreate(image.Width, image.Height, format);
    const int w = image.Width, h = image.Height;
    if (format <= TPixelFormat::pf8bit) {
        RGBQUAD table[256]{};
        const std::size_t n = std::min<std::size_t>(image.Palette.size(), 256);
        for (std::size_t i = 0; i < n; ++i) {
            const std::uint32_t c = image.Palette[i];
            table[i] = {static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
        }
        {
            TMemoryDC dc;
            dc.SelectBitmap(handle_.Get());
            SetDIBColorTable(dc.Get(), 0, static_cast<UINT>(n), table);
        }
        const int bits = image.BitCount;
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = ScanLine(y);
            std::memset(row, 0, static_cast<std::size_t>(Stride()));
            const std::uint8_t* idx = image.Indices.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x) {
                const int bit = x * bits;
                row[bit >> 3] |= static_cast<std::uint8_t>(idx[x] << (8 - bits - (bit & 7)));
            }
        }
    } else if (format == TPixelFormat::pf32bit) {
        for (int y = 0; y < h; ++y)
            std::memcpy(ScanLine(y), image.Pixels.data() + static_cast<std::size_t>(y) * w, static_cast<std::size_t>(w) * 4);
    } else {
        for (int y = 0; y < h; ++y) {
            std::uint8_t* row = ScanLine(y);
            const std::uint32_t* src = image.Pixels.data() + static_cast<std::size_t>(y) * w;
            for (int x = 0; x < w; ++x) {
                row[3 * x] = static_cast<std::uint8_t>(src[x]);
                row[3 * x + 1] = static_cast<std::uint8_t>(src[x] >> 8);
                row[3 * x + 2] = static_cast<std::uint8_t>(src[x] >> 16);
            }
        }
    }
    GdiFlush();
    Changed();
}

}  // namespace qx
