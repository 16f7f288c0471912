// Fonts, brushes, pens, canvases, bitmaps and pictures: the drawing objects of the framework.
// Each owns its GDI handle through the wrappers of Gdi.h and re-creates it lazily after a
// change; none of them is copyable (Assign copies the settings).
#pragma once
#include "framework/Component.h"
#include "framework/Gdi.h"
#include "framework/Types.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

namespace qx {

class TStream;

// A persistent sub-object that tells its owner about changes.
class TGraphicsObject : public TPersistent {
    QX_CLASS_INFO()
public:
    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }
};

enum TFontStyle : std::uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = std::uint8_t;
extern const TEnumInfo FontStyleInfo;

class TFont final : public TGraphicsObject {
    QX_CLASS_INFO()
public:
    TFont();
    const std::u16string& Name() const { return name_; }
    void SetName(const std::u16string& name);
    // Negative: character height in pixels; positive: cell height.
    int Height() const { return height_; }
    void SetHeight(int height);
    // In points at 96 pixels per inch.
    int Size() const;
    void SetSize(int points);
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style);
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Charset() const { return charset_; }
    void SetCharset(int charset);
    void Assign(const TFont& other);
    bool SameAs(const TFont& other) const;
    HFONT Handle() const;
    LOGFONTW LogFont() const;

private:
    void Modified();
    std::u16string name_ = u"MS Sans Serif";
    int height_ = -11;
    TFontStyles style_ = 0;
    TColor color_ = clWindowText;
    int charset_ = DEFAULT_CHARSET;
    mutable TFontHandle handle_;
};

enum class TBrushStyle : std::uint8_t { bsSolid, bsClear };

class TBrush final : public TGraphicsObject {
    QX_CLASS_INFO()
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TBrushStyle Style() const { return style_; }
    void SetStyle(TBrushStyle style);
    void Assign(const TBrush& other);
    HBRUSH Handle() const;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = TBrushStyle::bsSolid;
    mutable TBrushHandle handle_;
};

enum class TPenStyle : std::uint8_t { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear };

class TPen final : public TGraphicsObject {
    QX_CLASS_INFO()
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    int Width() const { return width_; }
    void SetWidth(int width);
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style);
    HPEN Handle() const;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = TPenStyle::psSolid;
    mutable TPenHandle handle_;
};

class TGraphic;
class TBitmap;

// Drawing on a device context with the canvas's font, brush and pen. The canvas selects
// its objects into the DC while it uses it and puts the DC's own ones back when the DC
// is changed or released.
class TCanvas {
public:
    TCanvas();
    virtual ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    HDC Handle();
    void SetHandle(HDC dc);
    bool HandleAllocated() const { return dc_ != nullptr; }

    TFont& Font() { return font_; }
    TBrush& Brush() { return brush_; }
    TPen& Pen() { return pen_; }

    void FillRect(const RECT& rect);
    void FrameRect(const RECT& rect);
    void Rectangle(int x1, int y1, int x2, int y2);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void TextOut(int x, int y, const std::u16string& text);
    // DrawTextW with the canvas's font; returns the height of the text.
    int DrawText(const std::u16string& text, RECT& rect, UINT format);
    SIZE TextExtent(const std::u16string& text);
    int TextWidth(const std::u16string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::u16string& text) { return TextExtent(text).cy; }
    void Draw(int x, int y, TGraphic& graphic);
    void StretchDraw(const RECT& rect, TGraphic& graphic);
    COLORREF Pixel(int x, int y);
    void SetPixel(int x, int y, TColor color);

protected:
    // Descendants that get their DC on demand (a control's canvas) override this.
    virtual void CreateHandle() {}
    void RequireFont();
    void RequireBrush();
    void RequirePen();

private:
    void DeselectHandles();
    // Puts the DC's own object back in place of one of ours.
    template <class H>
    void Deselect(HGDIOBJ& old, H& selected);
    HDC dc_ = nullptr;
    TFont font_;
    TBrush brush_;
    TPen pen_;
    HGDIOBJ oldFont_ = nullptr, oldBrush_ = nullptr, oldPen_ = nullptr;
    HFONT selectedFont_ = nullptr;
    HBRUSH selectedBrush_ = nullptr;
    HPEN selectedPen_ = nullptr;
};

// A picture that can measure and draw itself; the pictures of TPicture derive from it.
class TGraphic : public TPersistent {
    QX_CLASS_INFO()
public:
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    virtual bool Empty() const { return Width() == 0 || Height() == 0; }
    virtual void Draw(TCanvas& canvas, const RECT& rect) = 0;
    virtual void LoadFromStream(TStream& stream) = 0;
    virtual void SaveToStream(TStream& stream) const = 0;
    bool Transparent() const { return transparent_; }
    virtual void SetTransparent(bool value) { transparent_ = value; }
    std::function<void()> OnChange;

protected:
    void Changed() {
        if (OnChange) OnChange();
    }

private:
    bool transparent_ = false;
};

// Picture classes by name, for the layout's picture data ("Data" holds a length-prefixed
// class name followed by that class's own bytes).
using TGraphicFactory = std::function<std::unique_ptr<TGraphic>()>;
void RegisterGraphicClass(const std::string& className, TGraphicFactory factory);
void UnregisterGraphicClass(const std::string& className);
std::unique_ptr<TGraphic> CreateGraphic(std::string_view className);

enum class TPixelFormat : std::uint8_t { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit };

// A device-independent bitmap (a DIB section) with a pixel format, a canvas that draws on
// it, and an optional transparent colour for drawing it onto other canvases. Bitmaps can share
// one picture (Share): a skin's picture named by many keys is held once.
class TBitmap final : public TGraphic {
    QX_CLASS_INFO()
public:
    TBitmap();
    ~TBitmap() override;

    int Width() const override { return store_->width; }
    int Height() const override { return store_->height; }
    void SetSize(int width, int height);
    void SetWidth(int width) { SetSize(width, store_->height); }
    void SetHeight(int height) { SetSize(store_->width, height); }
    TPixelFormat PixelFormat() const { return store_->format; }
    void SetPixelFormat(TPixelFormat format);

    // The canvas of the picture: of every bitmap that shares it.
    TCanvas& Canvas();
    HBITMAP Handle() const { return store_->handle.Get(); }
    // Raw pixels (rows top-down for this class); nullptr when empty.
    void* Bits() const { return store_->bits; }
    int Stride() const;
    std::uint8_t* ScanLine(int row) const;

    TColor TransparentColor() const { return transparentColor_; }
    void SetTransparentColor(TColor color) { transparentColor_ = color; }

    // Shows source's picture without copying it. Changing the size, pixel format or contents
    // as a whole (SetSize, SetPixelFormat, Clear, Assign, the loaders, SetPixels32) gives this
    // bitmap a picture of its own again; drawing on the canvas or writing scan lines changes
    // the shared picture, so a writer that must not first calls Unshare.
    void Share(const TBitmap& source);
    bool SharesWith(const TBitmap& other) const { return store_ == other.store_; }
    // Makes the picture this bitmap's own (a copy) when another bitmap shares it.
    void Unshare();

    void Assign(const TBitmap& other);
    void Clear();
    void Draw(TCanvas& canvas, const RECT& rect) override;
    // Windows bitmap file bytes (a "BM" file); throws on a file it cannot read.
    void LoadFromStream(TStream& stream) override;
    // The same from bytes held elsewhere, decoded straight into the picture.
    void LoadFromBytes(std::span<const std::uint8_t> file);
    void SaveToStream(TStream& stream) const override;
    // Takes 32-bit BGRA pixels, rows top-down.
    void SetPixels32(int width, int height, std::span<const std::uint32_t> pixels);

private:
    // The picture: shared by the bitmaps that show it. Its canvas goes before its DC, and the
    // DC (which gives the bitmap back) before the bitmap.
    struct TStore {
        int width = 0, height = 0;
        TPixelFormat format = TPixelFormat::pf24bit;
        TBitmapHandle handle;
        void* bits = nullptr;
        std::unique_ptr<TMemoryDC> dc;
        std::unique_ptr<TCanvas> canvas;
    };
    // A new picture of the given size and format, with the top-left part of the old one.
    void Recreate(int width, int height, TPixelFormat format);
    static HDC SourceDC(const TStore& store, TMemoryDC& scratch);
    std::shared_ptr<TStore> store_;
    TColor transparentColor_ = clNone;
};

// Holds one graphic of any registered class; reads its "Data" from the layout.
class TPicture final : public TPersistent {
    QX_CLASS_INFO()
public:
    TGraphic* Graphic() const { return graphic_.get(); }
    void SetGraphic(std::unique_ptr<TGraphic> graphic);
    int Width() const { return graphic_ ? graphic_->Width() : 0; }
    int Height() const { return graphic_ ? graphic_->Height() : 0; }
    void ReadData(std::span<const std::uint8_t> data);
    std::function<void()> OnChange;

private:
    std::unique_ptr<TGraphic> graphic_;
};

}  // namespace qx
