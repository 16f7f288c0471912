#include "GdiPlusImage.h"

#include "core/StoredPicture.h"

#include <algorithm>
#include <cwctype>

namespace qx {

const TClassInfo& TGPImage::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TGPImage>("TGPImage", &TGraphic::StaticClassInfo()).Build();
    return info;
}
const TClassInfo& TSmartImage::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TSmartImage>("TSmartImage", &TGPImage::StaticClassInfo()).Build();
    return info;
}
const TClassInfo& TPngImage::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TPngImage>("TPngImage", &TGPImage::StaticClassInfo()).Build();
    return info;
}

void TGPImage::Draw(TCanvas& canvas, const RECT& rect) {
    if (HDC dc = canvas.Handle()) data_.Draw(dc, rect);
}

void TGPImage::LoadFromStream(TStream& stream) {
    data_.LoadFromStream(stream);
    Changed();
}

void TGPImage::SaveToStream(TStream& stream) const { data_.SaveToStream(stream); }

void TGPImage::SetNewSize(int width, int height) {
    data_.SetRequestedSize(width, height);
    Changed();
}

void TGPImage::SetPixels(int width, int height, std::vector<std::uint32_t> pixels) {
    data_.SetPixels(width, height, std::move(pixels));
    Changed();
}

namespace {

// The encoder or decoder class id of a MIME type; false when GDI+ has none.
bool FindCodec(const wchar_t* mime, bool encoder, CLSID& id) {
    UINT count = 0, size = 0;
    if ((encoder ? Gdiplus::GetImageEncodersSize(&count, &size) : Gdiplus::GetImageDecodersSize(&count, &size)) !=
            Gdiplus::Ok ||
        size == 0)
        return false;
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if ((encoder ? Gdiplus::GetImageEncoders(count, size, codecs) : Gdiplus::GetImageDecoders(count, size, codecs)) !=
        Gdiplus::Ok)
        return false;
    for (UINT i = 0; i < count; ++i)
        if (codecs[i].MimeType && wcscmp(codecs[i].MimeType, mime) == 0) {
            id = codecs[i].Clsid;
            return true;
        }
    return false;
}

}  // namespace

void TPngImage::SaveToStream(TStream& stream) const {
    TGdiPlusPicture& data = Data();
    if (data.Empty()) return;
    if (DetectImageSignature(data.Bytes()) == TImageSignature::Png) {
        data.SaveToStream(stream);
        return;
    }
    Gdiplus::Image* image = data.Image();
    CLSID png{};
    if (!FindCodec(L"image/png", true, png)) throw EGdipException("find the PNG encoder", Gdiplus::UnknownImageFormat);
    IStream* memory = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &memory))) throw EGdipException("save", Gdiplus::OutOfMemory);
    struct TRelease {
        IStream* s;
        ~TRelease() { s->Release(); }
    } release{memory};
    CheckGdip(image->Save(memory, &png, nullptr), "save as PNG");
    STATSTG stat{};
    memory->Stat(&stat, STATFLAG_NONAME);
    LARGE_INTEGER zero{};
    memory->Seek(zero, STREAM_SEEK_SET, nullptr);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(stat.cbSize.QuadPart));
    ULONG read = 0;
    if (!bytes.empty() && (FAILED(memory->Read(bytes.data(), ULONG(bytes.size()), &read)) || read != bytes.size()))
        throw EGdipException("save as PNG", Gdiplus::Win32Error);
    stream.WriteBuffer(bytes.data(), bytes.size());
}

std::vector<std::string> SmartImageExtensions() {
    std::vector<std::string> out;
    if (!GdiPlusAvailable()) return out;
    const struct {
        const wchar_t* mime;
        std::vector<std::string> extensions;
    } formats[] = {{L"image/tiff", {"TIFF", "TIF"}},
                   {L"image/gif", {"GIF"}},
                   {L"image/jpeg", {"JPEG", "JPG"}},
                   {L"image/png", {"PNG"}}};
    for (const auto& f : formats) {
        CLSID id{};
        if (FindCodec(f.mime, false, id)) out.insert(out.end(), f.extensions.begin(), f.extensions.end());
    }
    return out;
}

bool RegisterGdiPlusImageClasses() {
    if (!GdiPlusAvailable()) return false;
    RegisterGraphicClass("TSmartImage", [] { return std::make_unique<TSmartImage>(); });
    RegisterGraphicClass("TPngImage", [] { return std::make_unique<TPngImage>(); });
    return true;
}

void UnregisterGdiPlusImageClasses() {
    UnregisterGraphicClass("TSmartImage");
    UnregisterGraphicClass("TPngImage");
}

}  // namespace qx
