// A picture held as its encoded file bytes (or as a block of premultiplied 32-bit pixels)
// and decoded through GDI+ on first need, so that a PNG keeps its alpha channel when drawn.
// The smart image graphic and the glow button's picture both keep one.
#pragma once
#include "components/GdiPlus.h"
#include "core/Stream.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace qx {

class TGdiPlusPicture {
public:
    TGdiPlusPicture();
    ~TGdiPlusPicture();
    TGdiPlusPicture(const TGdiPlusPicture&) = delete;
    TGdiPlusPicture& operator=(const TGdiPlusPicture&) = delete;

    // New encoded bytes; the decoded image and any pixel block are dropped.
    void LoadFromBytes(std::vector<std::uint8_t> bytes);
    // Takes the rest of the stream as the encoded bytes.
    void LoadFromStream(TStream& stream);
    void SaveToStream(TStream& stream) const;
    // Pixels as 0xAARRGGBB premultiplied by alpha, rows top-down, width * height of them.
    void SetPixels(int width, int height, std::vector<std::uint32_t> pixels);
    // A size to scale the decoded image to; 0 for either side keeps the decoded size.
    void SetRequestedSize(int width, int height);
    void Assign(const TGdiPlusPicture& other);
    void Clear();

    bool Empty() const { return bytes_.empty() && pixels_.empty(); }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

    // 0 when empty; otherwise decodes (EGdipException when the bytes are not an image).
    int Width();
    int Height();
    // The decoded image, or null when empty. Throws EGdipException on bad data.
    Gdiplus::Image* Image();

    // Draws the whole image scaled into the rectangle, with the image's own alpha.
    void Draw(Gdiplus::Graphics& graphics, int x, int y, int width, int height);
    // As above on a device context; a picture that cannot be decoded draws nothing.
    void Draw(HDC dc, const RECT& rect);

private:
    void Decode();
    void DropImage();

    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint32_t> pixels_;
    int pixelWidth_ = 0, pixelHeight_ = 0;
    int requestedWidth_ = 0, requestedHeight_ = 0;
    IStream* stream_ = nullptr;  // kept while a stream-decoded image may still read from it
    std::unique_ptr<Gdiplus::Image> image_;
};

// Decodes a Windows bitmap file (the bytes begin with "BM") into premultiplied 32-bit pixels,
// top-down, with the core's decoder and its ceilings. Rejects what that decoder refuses
// (EGdipException, InvalidParameter): headers that do not fit the data, run-length data.
void DecodeBitmapFile(const std::vector<std::uint8_t>& bytes, int& width, int& height,
                      std::vector<std::uint32_t>& pixels);

}  // namespace qx
