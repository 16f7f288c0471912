#include "framework/Graphics.h"

#include "core/Stream.h"
#include "core/Text.h"
#include "core/TimedSteps.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

namespace qx {

static std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

COLORREF ColorToRGB(TColor color) {
    if (color == clNone || color == clDefault) return 0;
    if (color < 0) return GetSysColor(color & 0xFF);
    return static_cast<COLORREF>(color) & 0xFFFFFF;
}

TShiftState KeysToShiftState(WPARAM keys) {
    TShiftState s = 0;
    if (keys & MK_SHIFT) s |= ssShift;
    if (keys & MK_CONTROL) s |= ssCtrl;
    if (keys & MK_LBUTTON) s |= ssLeft;
    if (keys & MK_RBUTTON) s |= ssRight;
    if (keys & MK_MBUTTON) s |= ssMiddle;
    if (GetKeyState(VK_MENU) < 0) s |= ssAlt;
    return s;
}

HCURSOR CursorHandle(TCursor cursor) {
    static const std::pair<TCursor, LPCWSTR> table[] = {
        {crArrow, IDC_ARROW}, {crCross, IDC_CROSS}, {crIBeam, IDC_IBEAM}, {crSizeNESW, IDC_SIZENESW},
        {crSizeNS, IDC_SIZENS}, {crSizeNWSE, IDC_SIZENWSE}, {crSizeWE, IDC_SIZEWE}, {crUpArrow, IDC_UPARROW},
        {crHourGlass, IDC_WAIT}, {crNo, IDC_NO}, {crAppStart, IDC_APPSTARTING}, {crHelp, IDC_HELP},
        {crHandPoint, IDC_HAND}, {crSizeAll, IDC_SIZEALL},
    };
    if (cursor == crNone) return nullptr;
    for (auto& [c, id] : table)
        if (c == cursor) return LoadCursorW(nullptr, id);
    return LoadCursorW(nullptr, IDC_ARROW);
}

const TEnumInfo FontStyleInfo{"TFontStyle", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}};
static const TEnumInfo BrushStyleInfo{"TBrushStyle", {"bsSolid", "bsClear"}};
static const TEnumInfo PenStyleInfo{"TPenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear"}};

const TClassInfo& TGraphicsObject::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGraphicsObject>("TGraphicsObject", &TPersistent::StaticClassInfo()).Build();
    return info;
}

// ---- TFont -------------------------------------------------------------------------------

const TClassInfo& TFont::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TFont>("TFont", &TGraphicsObject::StaticClassInfo())
                                       .Int("Charset", &TFont::Charset, &TFont::SetCharset, &CharsetIdents)
                                       .Color("Color", &TFont::Color, &TFont::SetColor)
                                       .Int("Height", &TFont::Height, &TFont::SetHeight)
                                       .Str("Name", &TFont::Name, &TFont::SetName)
                                       .Int("Size", &TFont::Size, &TFont::SetSize)
                                       .Set("Style", &TFont::Style, &TFont::SetStyle, FontStyleInfo)
                                       .Build();
    return info;
}

TFont::TFont() = default;

void TFont::Modified() {
    // The old face outlives the notice, so that whoever selected it (a canvas, a window
    // given it by WM_SETFONT) can let go of it before it is deleted.
    TFontHandle old = std::move(handle_);
    Changed();
}

void TFont::SetName(const std::u16string& name) {
    if (name == name_ || name.empty()) return;
    name_ = name;
    Modified();
}
void TFont::SetHeight(int height) {
    if (height == height_) return;
    height_ = height;
    Modified();
}
int TFont::Size() const { return -MulDiv(height_, 72, 96); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }
void TFont::SetStyle(TFontStyles style) {
    if (style == style_) return;
    style_ = style;
    Modified();
}
void TFont::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    Changed();  // the colour is not part of the GDI font
}
void TFont::SetCharset(int charset) {
    if (charset == charset_) return;
    charset_ = charset;
    Modified();
}

bool TFont::SameAs(const TFont& o) const {
    return name_ == o.name_ && height_ == o.height_ && style_ == o.style_ && color_ == o.color_ &&
           charset_ == o.charset_;
}

void TFont::Assign(const TFont& o) {
    if (SameAs(o)) return;
    bool faceChanged = name_ != o.name_ || height_ != o.height_ || style_ != o.style_ || charset_ != o.charset_;
    name_ = o.name_;
    height_ = o.height_;
    style_ = o.style_;
    color_ = o.color_;
    charset_ = o.charset_;
    TFontHandle old;
    if (faceChanged) old = std::move(handle_);
    Changed();
}

LOGFONTW TFont::LogFont() const {
    LOGFONTW lf{};
    lf.lfHeight = height_;
    lf.lfWeight = (style_ & fsBold) ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = (style_ & fsItalic) ? 1 : 0;
    lf.lfUnderline = (style_ & fsUnderline) ? 1 : 0;
    lf.lfStrikeOut = (style_ & fsStrikeOut) ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charset_);
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH;
    auto n = std::min<std::size_t>(name_.size(), LF_FACESIZE - 1);
    std::memcpy(lf.lfFaceName, name_.data(), n * sizeof(wchar_t));
    return lf;
}

HFONT TFont::Handle() const {
    if (!handle_) {
        TTimedStep step("font made");
        LOGFONTW lf = LogFont();
        handle_.Reset(CreateFontIndirectW(&lf));
    }
    return handle_.Get();
}

// ---- TBrush, TPen --------------------------------------------------------------------------

const TClassInfo& TBrush::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TBrush>("TBrush", &TGraphicsObject::StaticClassInfo())
                                       .Color("Color", &TBrush::Color, &TBrush::SetColor)
                                       .Enum("Style", &TBrush::Style, &TBrush::SetStyle, BrushStyleInfo)
                                       .Build();
    return info;
}

// As with fonts, a replaced brush or pen is deleted only after its users were told.
void TBrush::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    TBrushHandle old = std::move(handle_);
    Changed();
}
void TBrush::SetStyle(TBrushStyle style) {
    if (style == style_) return;
    style_ = style;
    TBrushHandle old = std::move(handle_);
    Changed();
}
void TBrush::Assign(const TBrush& o) {
    SetColor(o.color_);
    SetStyle(o.style_);
}
HBRUSH TBrush::Handle() const {
    if (!handle_) {
        if (style_ == TBrushStyle::bsClear)
            return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
        handle_.Reset(CreateSolidBrush(ColorToRGB(color_)));
    }
    return handle_.Get();
}

const TClassInfo& TPen::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TPen>("TPen", &TGraphicsObject::StaticClassInfo())
                                       .Color("Color", &TPen::Color, &TPen::SetColor)
                                       .Enum("Style", &TPen::Style, &TPen::SetStyle, PenStyleInfo)
                                       .Int("Width", &TPen::Width, &TPen::SetWidth)
                                       .Build();
    return info;
}

void TPen::SetColor(TColor color) {
    if (color == color_) return;
    color_ = color;
    TPenHandle old = std::move(handle_);
    Changed();
}
void TPen::SetWidth(int width) {
    if (width == width_ || width < 0) return;
    width_ = width;
    TPenHandle old = std::move(handle_);
    Changed();
}
void TPen::SetStyle(TPenStyle style) {
    if (style == style_) return;
    style_ = style;
    TPenHandle old = std::move(handle_);
    Changed();
}
HPEN TPen::Handle() const {
    if (!handle_) {
        static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL};
        handle_.Reset(CreatePen(styles[static_cast<int>(style_)], width_, ColorToRGB(color_)));
    }
    return handle_.Get();
}

// ---- TCanvas -------------------------------------------------------------------------------

TCanvas::TCanvas() {
    // A changed object is put out of the DC before its old handle is deleted, and selected
    // again at the next drawing call.
    font_.OnChange = [this] { Deselect(oldFont_, selectedFont_); };
    brush_.OnChange = [this] { Deselect(oldBrush_, selectedBrush_); };
    pen_.OnChange = [this] { Deselect(oldPen_, selectedPen_); };
}

TCanvas::~TCanvas() { DeselectHandles(); }

HDC TCanvas::Handle() {
    if (!dc_) CreateHandle();
    return dc_;
}

void TCanvas::SetHandle(HDC dc) {
    if (dc == dc_) return;
    DeselectHandles();
    dc_ = dc;
}

template <class H>
void TCanvas::Deselect(HGDIOBJ& old, H& selected) {
    if (dc_ && old) SelectObject(dc_, old);
    old = nullptr;
    selected = nullptr;
}

void TCanvas::DeselectHandles() {
    if (!dc_) return;
    Deselect(oldFont_, selectedFont_);
    Deselect(oldBrush_, selectedBrush_);
    Deselect(oldPen_, selectedPen_);
}

void TCanvas::RequireFont() {
    HDC dc = Handle();
    HFONT f = font_.Handle();
    if (f != selectedFont_ || !selectedFont_) {
        HGDIOBJ old = SelectObject(dc, f);
        if (!oldFont_) oldFont_ = old;
        selectedFont_ = f;
    }
    SetTextColor(dc, ColorToRGB(font_.Color()));
}

void TCanvas::RequireBrush() {
    HDC dc = Handle();
    HBRUSH b = brush_.Handle();
    if (b != selectedBrush_ || !selectedBrush_) {
        HGDIOBJ old = SelectObject(dc, b);
        if (!oldBrush_) oldBrush_ = old;
        selectedBrush_ = b;
    }
    SetBkColor(dc, ColorToRGB(brush_.Color()));
    SetBkMode(dc, brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::RequirePen() {
    HDC dc = Handle();
    HPEN p = pen_.Handle();
    if (p != selectedPen_ || !selectedPen_) {
        HGDIOBJ old = SelectObject(dc, p);
        if (!oldPen_) oldPen_ = old;
        selectedPen_ = p;
    }
}

void TCanvas::FillRect(const RECT& rect) {
    RequireBrush();
    ::FillRect(Handle(), &rect, brush_.Handle());
}

void TCanvas::FrameRect(const RECT& rect) {
    RequireBrush();
    ::FrameRect(Handle(), &rect, brush_.Handle());
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    RequirePen();
    RequireBrush();
    ::Rectangle(Handle(), x1, y1, x2, y2);
}

void TCanvas::MoveTo(int x, int y) { MoveToEx(Handle(), x, y, nullptr); }

void TCanvas::LineTo(int x, int y) {
    RequirePen();
    ::LineTo(Handle(), x, y);
}

void TCanvas::TextOut(int x, int y, const std::u16string& text) {
    RequireFont();
    RequireBrush();
    std::wstring w = W(text);
    ExtTextOutW(Handle(), x, y, 0, nullptr, w.c_str(), static_cast<UINT>(w.size()), nullptr);
}

int TCanvas::DrawText(const std::u16string& text, RECT& rect, UINT format) {
    RequireFont();
    RequireBrush();
    std::wstring w = W(text);
    return ::DrawTextW(Handle(), w.c_str(), static_cast<int>(w.size()), &rect, format);
}

SIZE TCanvas::TextExtent(const std::u16string& text) {
    RequireFont();
    std::wstring w = W(text);
    SIZE s{};
    GetTextExtentPoint32W(Handle(), w.c_str(), static_cast<int>(w.size()), &s);
    return s;
}

void TCanvas::Draw(int x, int y, TGraphic& graphic) {
    RECT r{x, y, x + graphic.Width(), y + graphic.Height()};
    graphic.Draw(*this, r);
}

void TCanvas::StretchDraw(const RECT& rect, TGraphic& graphic) { graphic.Draw(*this, rect); }

COLORREF TCanvas::Pixel(int x, int y) { return GetPixel(Handle(), x, y); }
void TCanvas::SetPixel(int x, int y, TColor color) { ::SetPixelV(Handle(), x, y, ColorToRGB(color)); }

// ---- Graphics by class name ----------------------------------------------------------------

const TClassInfo& TGraphic::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TGraphic>("TGraphic", &TPersistent::StaticClassInfo()).Build();
    return info;
}

static std::map<std::string, TGraphicFactory>& GraphicClasses() {
    static std::map<std::string, TGraphicFactory> classes;
    return classes;
}

void RegisterGraphicClass(const std::string& className, TGraphicFactory factory) {
    GraphicClasses()[LowerAscii(className)] = std::move(factory);
}
void UnregisterGraphicClass(const std::string& className) { GraphicClasses().erase(LowerAscii(className)); }

std::unique_ptr<TGraphic> CreateGraphic(std::string_view className) {
    auto it = GraphicClasses().find(LowerAscii(className));
    return it == GraphicClasses().end() ? nullptr : it->second();
}

// ---- TBitmap -------------------------------------------------------------------------------

const TClassInfo& TBitmap::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TBitmap>("TBitmap", &TGraphic::StaticClassInfo()).Build();
    return info;
}

TBitmap::TBitmap() : store_(std::make_shared<TStore>()) {}
TBitmap::~TBitmap() = default;

static int BitsPerPixel(TPixelFormat f) {
    switch (f) {
        case TPixelFormat::pf1bit: return 1;
        case TPixelFormat::pf4bit: return 4;
        case TPixelFormat::pf8bit: return 8;
        case TPixelFormat::pf15bit:
        case TPixelFormat::pf16bit: return 16;
        case TPixelFormat::pf24bit: return 24;
        case TPixelFormat::pf32bit: return 32;
        case TPixelFormat::pfDevice: return 32;
    }
    return 24;
}

int TBitmap::Stride() const { return ((store_->width * BitsPerPixel(store_->format) + 31) / 32) * 4; }

std::uint8_t* TBitmap::ScanLine(int row) const {
    if (!store_->bits || row < 0 || row >= store_->height) return nullptr;
    return static_cast<std::uint8_t*>(store_->bits) + static_cast<std::size_t>(row) * Stride();
}

HDC TBitmap::SourceDC(const TStore& store, TMemoryDC& scratch) {
    // A bitmap can be selected into one DC at a time: while its canvas holds it, read from there.
    if (store.dc) return store.dc->Get();
    scratch.SelectBitmap(store.handle.Get());
    return scratch.Get();
}

void TBitmap::Recreate(int width, int height, TPixelFormat format) {
    // The old picture stays as it is for any bitmap that shares it; this one gets a new one,
    // with the old one's top-left part, as resizing a bitmap keeps it.
    std::shared_ptr<TStore> old = std::move(store_);
    store_ = std::make_shared<TStore>();
    TStore& s = *store_;
    s.width = std::max(0, width);
    s.height = std::max(0, height);
    s.format = format;
    if (s.width == 0 || s.height == 0) return;

    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = s.width;
    info.header.biHeight = -s.height;  // top-down rows
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(BitsPerPixel(format));
    info.header.biCompression = BI_RGB;
    int colors = info.header.biBitCount <= 8 ? (1 << info.header.biBitCount) : 0;
    for (int i = 0; i < colors; ++i) {
        // A grey ramp (black and white for 1 bit) until a palette is loaded.
        BYTE v = static_cast<BYTE>(colors == 2 ? i * 255 : i * 255 / (colors - 1));
        info.colors[i] = {v, v, v, 0};
    }
    info.header.biClrUsed = static_cast<DWORD>(colors);
    HBITMAP h = CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &s.bits, nullptr, 0);
    if (!h) {
        s.width = s.height = 0;
        s.bits = nullptr;
        throw std::runtime_error("cannot create a bitmap of " + std::to_string(width) + " x " + std::to_string(height));
    }
    s.handle.Reset(h);
    std::memset(s.bits, 0xFF, static_cast<std::size_t>(Stride()) * s.height);  // new bitmaps start white
    if (old && old->handle && old->width > 0 && old->height > 0) {
        TMemoryDC scratch, dst;
        HDC src = SourceDC(*old, scratch);
        dst.SelectBitmap(s.handle.Get());
        BitBlt(dst.Get(), 0, 0, std::min(old->width, s.width), std::min(old->height, s.height), src, 0, 0, SRCCOPY);
    }
}

void TBitmap::SetSize(int width, int height) {
    if (width == store_->width && height == store_->height) return;
    Recreate(width, height, store_->format);
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat format) {
    if (format == store_->format) return;
    Recreate(store_->width, store_->height, format);
    Changed();
}

TCanvas& TBitmap::Canvas() {
    TStore& s = *store_;
    if (!s.canvas) {
        s.dc = std::make_unique<TMemoryDC>();
        if (s.handle) s.dc->SelectBitmap(s.handle.Get());
        s.canvas = std::make_unique<TCanvas>();
        s.canvas->SetHandle(s.dc->Get());
    }
    return *s.canvas;
}

void TBitmap::Clear() {
    const TPixelFormat format = store_->format;
    store_ = std::make_shared<TStore>();
    store_->format = format;
    Changed();
}

void TBitmap::Share(const TBitmap& source) {
    if (store_ == source.store_) return;
    store_ = source.store_;
    transparentColor_ = source.transparentColor_;
    SetTransparent(source.Transparent());
    Changed();
}

void TBitmap::Unshare() {
    if (store_.use_count() <= 1) return;
    TBitmap copy;
    copy.Assign(*this);
    store_ = std::move(copy.store_);
}

void TBitmap::Assign(const TBitmap& other) {
    if (&other == this) return;
    // Held here: other may share this bitmap's picture, which the first Recreate lets go.
    const std::shared_ptr<TStore> source = other.store_;
    Recreate(0, 0, source->format);
    transparentColor_ = other.transparentColor_;
    SetTransparent(other.Transparent());
    if (source->width > 0 && source->height > 0) {
        Recreate(source->width, source->height, source->format);
        if (source->format <= TPixelFormat::pf8bit) {
            RGBQUAD table[256];
            TMemoryDC scratch;
            UINT n = GetDIBColorTable(SourceDC(*source, scratch), 0, 256, table);
            TMemoryDC dst;
            dst.SelectBitmap(store_->handle.Get());
            if (n) SetDIBColorTable(dst.Get(), 0, n, table);
        }
        // Drawing on the other bitmap's canvas may still sit in this thread's GDI batch.
        GdiFlush();
        std::memcpy(store_->bits, source->bits, static_cast<std::size_t>(Stride()) * store_->height);
    }
    Changed();
}

void TBitmap::SetPixels32(int width, int height, std::span<const std::uint32_t> pixels) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) {
        Clear();
        return;
    }
    Recreate(0, 0, TPixelFormat::pf32bit);
    Recreate(width, height, TPixelFormat::pf32bit);
    std::memcpy(store_->bits, pixels.data(), static_cast<std::size_t>(width) * height * 4);
    Changed();
}

void TBitmap::Draw(TCanvas& canvas, const RECT& rect) {
    const TStore& s = *store_;
    if (!s.handle) return;
    TMemoryDC scratch;
    HDC source = SourceDC(s, scratch);
    HDC dst = canvas.Handle();
    int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (Transparent() && transparentColor_ != clNone) {
        TransparentBlt(dst, rect.left, rect.top, w, h, source, 0, 0, s.width, s.height,
                       ColorToRGB(transparentColor_));
    } else if (w == s.width && h == s.height) {
        BitBlt(dst, rect.left, rect.top, w, h, source, 0, 0, SRCCOPY);
    } else {
        int oldMode = SetStretchBltMode(dst, COLORONCOLOR);
        StretchBlt(dst, rect.left, rect.top, w, h, source, 0, 0, s.width, s.height, SRCCOPY);
        SetStretchBltMode(dst, oldMode);
    }
}

void TBitmap::SaveToStream(TStream& stream) const {
    const TStore& s = *store_;
    if (!s.handle) return;
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = s.width;
    header.biHeight = -s.height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(BitsPerPixel(s.format));
    header.biCompression = BI_RGB;
    RGBQUAD table[256]{};
    UINT colors = 0;
    if (header.biBitCount <= 8) {
        TMemoryDC scratch;
        colors = GetDIBColorTable(SourceDC(s, scratch), 0, 256, table);
        header.biClrUsed = colors;
    }
    DWORD imageSize = static_cast<DWORD>(Stride()) * s.height;
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof header + colors * sizeof(RGBQUAD);
    file.bfSize = file.bfOffBits + imageSize;
    stream.WriteBuffer(&file, sizeof file);
    stream.WriteBuffer(&header, sizeof header);
    if (colors) stream.WriteBuffer(table, colors * sizeof(RGBQUAD));
    stream.WriteBuffer(s.bits, imageSize);
}

// ---- TPicture ------------------------------------------------------------------------------

const TClassInfo& TPicture::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TPicture>("TPicture", &TPersistent::StaticClassInfo())
            .Binary("Data", [](TPicture* p, std::span<const std::uint8_t> data) { p->ReadData(data); })
            .Build();
    return info;
}

void TPicture::SetGraphic(std::unique_ptr<TGraphic> graphic) {
    graphic_ = std::move(graphic);
    if (graphic_) graphic_->OnChange = [this] {
            if (OnChange) OnChange();
        };
    if (OnChange) OnChange();
}

void TPicture::ReadData(std::span<const std::uint8_t> data) {
    if (data.empty()) {
        SetGraphic(nullptr);
        return;
    }
    std::size_t nameLength = data[0];
    if (data.size() < 1 + nameLength) throw EStreamError("picture data cut short in its class name");
    std::string className(reinterpret_cast<const char*>(data.data() + 1), nameLength);
    auto graphic = CreateGraphic(className);
    if (!graphic) throw EPropertyError("unknown picture class '" + className + "'");
    TSpanStream rest(data.subspan(1 + nameLength));
    graphic->LoadFromStream(rest);
    SetGraphic(std::move(graphic));
}

}  // namespace qx
