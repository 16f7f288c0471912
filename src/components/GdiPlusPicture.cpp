#include "GdiPlusPicture.h"

#include "core/ColorMath.h"
#include "core/Png.h"
#include "core/StoredPicture.h"
#include "framework/Graphics.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qx {

namespace {

constexpr int kMaxSide = 16384;

std::uint32_t Le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}
std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

[[noreturn]] void BadBitmap() { throw EGdipException("decode bitmap", Gdiplus::InvalidParameter); }

}  // namespace

void DecodeBitmapFile(const std::vector<std::uint8_t>& bytes, int& width, int& height,
                      std::vector<std::uint32_t>& pixels) {
    const std::size_t size = bytes.size();
    if (size < 14 + 12 || Le16(&bytes[0]) != 0x4D42) BadBitmap();
    const std::uint8_t* info = &bytes[14];
    const std::uint32_t headerSize = Le32(info);
    if (headerSize < 12 || headerSize > size - 14) BadBitmap();

    // Everything GDI is given is first copied into a BITMAPINFO of our own, so that no field
    // of the file can make it read past the data.
    BITMAPINFOHEADER h{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    std::size_t entrySize = 4;
    std::uint32_t masks[3] = {};
    bool hasMasks = false;
    if (headerSize == 12) {  // the old core header: 16-bit sizes, 3-byte palette entries
        h.biWidth = Le16(info + 4);
        h.biHeight = Le16(info + 6);
        h.biPlanes = Le16(info + 8);
        h.biBitCount = Le16(info + 10);
        h.biCompression = BI_RGB;
        entrySize = 3;
    } else {
        if (headerSize < 40) BadBitmap();
        h.biWidth = static_cast<LONG>(Le32(info + 4));
        h.biHeight = static_cast<LONG>(Le32(info + 8));
        h.biPlanes = Le16(info + 12);
        h.biBitCount = Le16(info + 14);
        h.biCompression = Le32(info + 16);
        h.biSizeImage = Le32(info + 20);
        h.biClrUsed = Le32(info + 32);
        if (h.biCompression == BI_BITFIELDS) {
            // masks inside a larger header, or right after a 40-byte one
            const std::size_t at = headerSize >= 52 ? 14 + 40 : 14 + headerSize;
            if (at + 12 > size) BadBitmap();
            for (int i = 0; i < 3; ++i) masks[i] = Le32(&bytes[at + 4 * i]);
            hasMasks = true;
        }
    }
    const int bpp = h.biBitCount;
    const bool rle = h.biCompression == BI_RLE8 || h.biCompression == BI_RLE4;
    const bool bitfields = h.biCompression == BI_BITFIELDS;
    if (h.biWidth <= 0 || h.biWidth > kMaxSide || h.biHeight == 0 || h.biHeight < -kMaxSide ||
        h.biHeight > kMaxSide || h.biPlanes != 1)
        BadBitmap();
    if (bpp != 1 && bpp != 4 && bpp != 8 && bpp != 16 && bpp != 24 && bpp != 32) BadBitmap();
    if (!(h.biCompression == BI_RGB || (bitfields && (bpp == 16 || bpp == 32)) ||
          (h.biCompression == BI_RLE8 && bpp == 8) || (h.biCompression == BI_RLE4 && bpp == 4)))
        BadBitmap();
    if (rle && h.biHeight < 0) BadBitmap();

    const std::uint32_t maxColours = bpp <= 8 ? (1u << bpp) : 0;
    const std::uint32_t colours = bpp <= 8 ? (h.biClrUsed == 0 || h.biClrUsed > maxColours ? maxColours : h.biClrUsed) : 0;
    const std::size_t paletteAt = 14 + headerSize + (bitfields && headerSize == 40 ? 12 : 0);
    if (paletteAt + colours * entrySize > size) BadBitmap();
    std::size_t bitsAt = Le32(&bytes[10]);
    if (bitsAt == 0) bitsAt = paletteAt + colours * entrySize;
    if (bitsAt >= size) BadBitmap();
    const std::size_t available = size - bitsAt;
    const int rows = h.biHeight < 0 ? -h.biHeight : h.biHeight;
    const std::size_t stride = ((std::size_t(h.biWidth) * bpp + 31) / 32) * 4;
    if (rle) {
        if (h.biSizeImage == 0 || h.biSizeImage > available) BadBitmap();
    } else if (stride * rows > available) {
        BadBitmap();
    }
    width = h.biWidth;
    height = rows;
    pixels.assign(std::size_t(width) * rows, 0);
    const std::uint8_t* bits = &bytes[bitsAt];

    if (bpp == 32 && h.biCompression == BI_RGB) {
        // straight from the file, so the alpha channel survives; all-zero alpha means opaque
        bool anyAlpha = false;
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t* src = bits + stride * (h.biHeight > 0 ? rows - 1 - y : y);
            for (int x = 0; x < width; ++x) {
                const std::uint32_t v = Le32(src + 4 * x);
                anyAlpha |= (v >> 24) != 0;
                pixels[std::size_t(y) * width + x] = v;
            }
        }
        for (auto& p : pixels) p = anyAlpha ? PremultipliedArgb(p) : (p | 0xFF000000u);
        return;
    }

    std::vector<std::uint8_t> infoCopy(sizeof(BITMAPINFOHEADER) + 4 * (hasMasks ? 3 : colours));
    h.biClrUsed = colours;
    std::memcpy(infoCopy.data(), &h, sizeof h);
    std::uint8_t* table = infoCopy.data() + sizeof h;
    if (hasMasks) {
        std::memcpy(table, masks, sizeof masks);
    } else {
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::uint8_t* e = &bytes[paletteAt + i * entrySize];
            table[4 * i] = e[0];
            table[4 * i + 1] = e[1];
            table[4 * i + 2] = e[2];
            table[4 * i + 3] = 0;
        }
    }
    // GDI converts every source format into a 32-bit top-down bitmap; its pixels are then read.
    TBitmap canvas;
    canvas.SetPixelFormat(TPixelFormat::pf32bit);
    canvas.SetSize(width, rows);
    if (!canvas.Bits()) throw EGdipException("decode bitmap", Gdiplus::OutOfMemory);
    const int done = StretchDIBits(canvas.Canvas().Handle(), 0, 0, width, rows, 0, 0, width, rows, bits,
                                   reinterpret_cast<const BITMAPINFO*>(infoCopy.data()), DIB_RGB_COLORS, SRCCOPY);
    if (done == 0 || done == int(GDI_ERROR)) BadBitmap();
    GdiFlush();
    const auto* src = static_cast<const std::uint32_t*>(canvas.Bits());
    for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = src[i] | 0xFF000000u;
}

TGdiPlusPicture::TGdiPlusPicture() = default;

TGdiPlusPicture::~TGdiPlusPicture() { DropImage(); }

void TGdiPlusPicture::DropImage() {
    image_.reset();  // before the stream it may read from
    if (stream_) {
        stream_->Release();
        stream_ = nullptr;
    }
}

void TGdiPlusPicture::Clear() {
    DropImage();
    bytes_.clear();
    pixels_.clear();
    pixelWidth_ = pixelHeight_ = 0;
}

void TGdiPlusPicture::LoadFromBytes(std::vector<std::uint8_t> bytes) {
    Clear();
    bytes_ = std::move(bytes);
}

void TGdiPlusPicture::LoadFromStream(TStream& stream) {
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(stream.Remaining(), 0)));
    if (!bytes.empty()) stream.ReadBuffer(bytes.data(), bytes.size());
    LoadFromBytes(std::move(bytes));
}

void TGdiPlusPicture::SaveToStream(TStream& stream) const {
    if (!bytes_.empty()) stream.WriteBuffer(bytes_.data(), bytes_.size());
}

void TGdiPlusPicture::SetPixels(int width, int height, std::vector<std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() != std::size_t(width) * std::size_t(height))
        throw EGdipException("set pixels", Gdiplus::InvalidParameter);
    DropImage();
    pixels_ = std::move(pixels);
    pixelWidth_ = width;
    pixelHeight_ = height;
}

void TGdiPlusPicture::SetRequestedSize(int width, int height) {
    if (width == requestedWidth_ && height == requestedHeight_) return;
    requestedWidth_ = width;
    requestedHeight_ = height;
    DropImage();
}

void TGdiPlusPicture::Assign(const TGdiPlusPicture& other) {
    if (&other == this) return;
    Clear();
    bytes_ = other.bytes_;
    pixels_ = other.pixels_;
    pixelWidth_ = other.pixelWidth_;
    pixelHeight_ = other.pixelHeight_;
    requestedWidth_ = other.requestedWidth_;
    requestedHeight_ = other.requestedHeight_;
}

void TGdiPlusPicture::Decode() {
    if (!GdiPlusAvailable()) throw EGdipException("start", Gdiplus::GdiplusNotInitialized);
    const TImageSignature signature = pixels_.empty() ? DetectImageSignature(bytes_) : TImageSignature::Empty;
    if (signature == TImageSignature::Bitmap) {
        int w = 0, h = 0;
        std::vector<std::uint32_t> px;
        DecodeBitmapFile(bytes_, w, h, px);
        pixels_ = std::move(px);
        pixelWidth_ = w;
        pixelHeight_ = h;
    } else if (signature == TImageSignature::Png) {
        // Decoded here when it can be: the platform's decoder would start its imaging
        // components first. What is declined (an interlaced image, a colour profile, a broken
        // file) still goes to the platform, which decides as it always did.
        TPngPixels png;
        std::string declined;
        bool decoded = false;
        try {
            decoded = DecodePng(bytes_, png, declined);
        } catch (const std::bad_alloc&) {
            // A picture too big for the memory left: the platform answers that as it always did.
        }
        if (decoded) {
            pixels_ = std::move(png.Pixels);
            pixelWidth_ = png.Width;
            pixelHeight_ = png.Height;
        }
    }
    std::unique_ptr<Gdiplus::Image> image;
    if (!pixels_.empty()) {
        image.reset(new Gdiplus::Bitmap(pixelWidth_, pixelHeight_, 4 * pixelWidth_, PixelFormat32bppPARGB,
                                        reinterpret_cast<BYTE*>(pixels_.data())));
    } else {
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes_.size());
        if (!memory) throw EGdipException("decode", Gdiplus::OutOfMemory);
        if (void* p = GlobalLock(memory)) {
            std::memcpy(p, bytes_.data(), bytes_.size());
            GlobalUnlock(memory);
        }
        IStream* stream = nullptr;
        if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
            GlobalFree(memory);
            throw EGdipException("decode", Gdiplus::OutOfMemory);
        }
        stream_ = stream;  // released with the image
        image.reset(new Gdiplus::Image(stream_));
    }
    if (!image) throw EGdipException("decode", Gdiplus::OutOfMemory);
    CheckGdip(image->GetLastStatus(), "decode");
    if (requestedWidth_ > 0 && requestedHeight_ > 0 &&
        (int(image->GetWidth()) != requestedWidth_ || int(image->GetHeight()) != requestedHeight_)) {
        std::unique_ptr<Gdiplus::Bitmap> scaled(new Gdiplus::Bitmap(requestedWidth_, requestedHeight_, PixelFormat32bppPARGB));
        CheckGdip(scaled->GetLastStatus(), "resize");
        {
            Gdiplus::Graphics g(scaled.get());
            g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
            g.SetPixelOffsetMode(Gdiplus::PixelOffsetModeHalf);
            CheckGdip(g.DrawImage(image.get(), 0, 0, requestedWidth_, requestedHeight_), "resize");
        }
        image = std::move(scaled);
    }
    image_ = std::move(image);
}

Gdiplus::Image* TGdiPlusPicture::Image() {
    if (Empty()) return nullptr;
    if (!image_) {
        try {
            Decode();
        } catch (...) {
            DropImage();
            throw;
        }
    }
    return image_.get();
}

int TGdiPlusPicture::Width() {
    Gdiplus::Image* image = Image();
    return image ? static_cast<int>(image->GetWidth()) : 0;
}

int TGdiPlusPicture::Height() {
    Gdiplus::Image* image = Image();
    return image ? static_cast<int>(image->GetHeight()) : 0;
}

void TGdiPlusPicture::Draw(Gdiplus::Graphics& graphics, int x, int y, int width, int height) {
    if (Gdiplus::Image* image = Image())
        CheckGdip(graphics.DrawImage(image, x, y, width, height), "draw image");
}

void TGdiPlusPicture::Draw(HDC dc, const RECT& rect) {
    try {
        if (Empty()) return;
        Gdiplus::Graphics graphics(dc);
        Draw(graphics, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    } catch (const std::exception&) {
        // painting goes on without the picture; measuring it reports the error
    }
}

}  // namespace qx
