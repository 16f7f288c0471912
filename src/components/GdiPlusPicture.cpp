#include "GdiPlusPicture.h"

#include "core/Bmp.h"
#include "core/ColorMath.h"
#include "core/Png.h"
#include "core/StoredPicture.h"
#include "core/TimedSteps.h"
#include "framework/Graphics.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace qx {

namespace {

[[noreturn]] void BadBitmap() { throw EGdipException("decode bitmap", Gdiplus::InvalidParameter); }

}  // namespace

void DecodeBitmapFile(const std::vector<std::uint8_t>& bytes, int& width, int& height,
                      std::vector<std::uint32_t>& pixels) {
    // The core's decoder, with its ceilings: whatever the headers claim, nothing is allocated
    // before they are checked against the file.
    TBmpLayout layout;
    std::string error;
    if (!ReadBmpLayout(bytes, layout, error)) BadBitmap();
    const auto w = static_cast<std::size_t>(layout.Width);
    std::vector<std::uint32_t> out(w * static_cast<std::size_t>(layout.Height));
    DecodeBmpRows(bytes, layout, [&](int y, const std::uint32_t* rgb, const std::uint8_t*) {
        std::uint32_t* row = out.data() + static_cast<std::size_t>(y) * w;
        for (std::size_t x = 0; x < w; ++x) row[x] = rgb[x] | 0xFF000000u;
    });
    // A 32-bit picture keeps its transparency; one whose fourth bytes are all zero is opaque.
    std::vector<std::uint8_t> alpha;
    bool anyAlpha = false;
    DecodeBmpAlphaRows(bytes, layout, [&](int, const std::uint8_t* a) {
        alpha.insert(alpha.end(), a, a + w);
        anyAlpha = anyAlpha || std::any_of(a, a + w, [](std::uint8_t v) { return v != 0; });
    });
    if (anyAlpha)
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = PremultipliedArgb(static_cast<std::uint32_t>(alpha[i]) << 24 | (out[i] & 0x00FFFFFFu));
    width = layout.Width;
    height = layout.Height;
    pixels = std::move(out);
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
    TTimedStep step("picture decoded");
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
