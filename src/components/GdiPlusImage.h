// Picture graphics decoded and drawn through GDI+, so a PNG's alpha channel blends over
// whatever lies beneath: TSmartImage (the layout's picture class for PNG, GIF, JPEG and TIFF)
// and TPngImage, which differs only in saving PNG.
#pragma once
#include "components/GdiPlusPicture.h"
#include "framework/Graphics.h"

namespace qx {

class TGPImage : public TGraphic {
    QX_CLASS_INFO()
public:
    int Width() const override { return data_.Width(); }
    int Height() const override { return data_.Height(); }
    bool Empty() const override { return data_.Empty(); }
    void Draw(TCanvas& canvas, const RECT& rect) override;
    void LoadFromStream(TStream& stream) override;
    void SaveToStream(TStream& stream) const override;

    // A size to scale to when decoding (0 for either side: none).
    void SetNewSize(int width, int height);
    // Premultiplied 0xAARRGGBB pixels, rows top-down, in place of encoded bytes.
    void SetPixels(int width, int height, std::vector<std::uint32_t> pixels);
    TGdiPlusPicture& Data() const { return data_; }

private:
    mutable TGdiPlusPicture data_;
};

class TSmartImage final : public TGPImage {
    QX_CLASS_INFO()
};

class TPngImage final : public TGPImage {
    QX_CLASS_INFO()
public:
    // Always PNG: encoded bytes of another format are converted.
    void SaveToStream(TStream& stream) const override;
};

// Registers both picture classes with the layout reader when GDI+ can be started; the
// file extensions that TSmartImage takes, each offered only when GDI+ has its codec.
bool RegisterGdiPlusImageClasses();
void UnregisterGdiPlusImageClasses();
std::vector<std::string> SmartImageExtensions();

}  // namespace qx
