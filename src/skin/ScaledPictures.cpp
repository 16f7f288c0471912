#include "skin/ScaledPictures.h"

#include "core/SkinScale.h"
#include "core/TimedSteps.h"

#include <algorithm>

namespace qx {

namespace {

// A 24- or 32-bit picture's own pixels, read in place: the same values a copy by the platform
// gives, without making a second picture of the strip's size.
bool ReadOwnPixels(const TBitmap& image, TSkinPixels& p) {
    const bool wide = image.PixelFormat() == TPixelFormat::pf32bit;
    if (!image.Bits() || (!wide && image.PixelFormat() != TPixelFormat::pf24bit)) return false;
    GdiFlush();  // drawing on the picture may still be queued
    const int w = image.Width(), h = image.Height();
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = image.ScanLine(y);
        if (!row) return false;
        std::uint32_t* out = pixels.data() + static_cast<std::size_t>(y) * w;
        if (wide)
            for (int x = 0; x < w; ++x) out[x] = reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
        else
            for (int x = 0; x < w; ++x, row += 3)
                out[x] = std::uint32_t{row[0]} | std::uint32_t{row[1]} << 8 | std::uint32_t{row[2]} << 16;
    }
    p.Width = w;
    p.Height = h;
    p.Pixels = std::move(pixels);
    return true;
}

// The picture as 0x00RRGGBB pixels, rows top-down: read in place when the bitmap holds 24- or
// 32-bit pixels, else copied by the platform into a 32-bit picture of ours.
TSkinPixels ReadStrip(TBitmap& image) {
    TSkinPixels p;
    const int w = image.Width(), h = image.Height();
    if (w <= 0 || h <= 0) return p;
    if (ReadOwnPixels(image, p)) return p;
    TBitmap copy;
    copy.SetPixelFormat(TPixelFormat::pf32bit);
    copy.SetSize(w, h);
    if (copy.Empty() || !BitBlt(copy.Canvas().Handle(), 0, 0, w, h, image.Canvas().Handle(), 0, 0, SRCCOPY)) return p;
    GdiFlush();
    p.Width = w;
    p.Height = h;
    p.Pixels.resize(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(copy.ScanLine(y));
        if (!row) return TSkinPixels{};
        for (int x = 0; x < w; ++x) p.Pixels[static_cast<std::size_t>(y) * w + x] = row[x] & 0xFFFFFF;
    }
    return p;
}

TSkinInsets Insets(const TFrameMargins& m) { return TSkinInsets{m.Left, m.Top, m.Right, m.Bottom}; }

bool SameMargins(const TFrameMargins& a, const TFrameMargins& b) {
    return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

}  // namespace

TBitmap* TScaledSkinPictures::Strip(TBitmap& image, int frames, bool stacked, const TFrameMargins& margins, int dpi,
                                    int frame) {
    if (dpi == BaseDpi || dpi < 1 || image.Empty()) return nullptr;
    frames = std::max(frames, 1);
    for (auto it = entries_.begin(); it != entries_.end(); ++it) {
        TEntry& e = **it;
        if (e.Image != &image || e.Frames != frames || e.Stacked != stacked || e.Dpi != dpi ||
            !SameMargins(e.Margins, margins))
            continue;
        if (e.Source.SharesWith(image)) {
            MakeFrames(e, frame, nullptr);
            return e.Scaled.get();
        }
        // The bitmap holds a new picture now: its old strip goes, and with it its pixels.
        if (e.Scaled) pixels_ -= std::int64_t{e.Scaled->Width()} * e.Scaled->Height();
        entries_.erase(it);
        break;
    }
    auto entry = std::make_unique<TEntry>(TEntry{&image, {}, frames, stacked, margins, dpi, nullptr, {}});
    entry->Source.Share(image);
    // Known before any pixel is read: the strip's size at scale.
    const TScaledBox size = ScaledSkinStripSize(image.Width(), image.Height(), frames, stacked, dpi);
    const std::int64_t w = size.Right, h = size.Bottom;
    TSkinPixels source;
    if (w > 0 && h > 0 && w <= 32767 && h <= 32767 && pixels_ + w * h <= budget_ &&
        (source = ReadStrip(image)).Width > 0) {
        auto bitmap = std::make_unique<TBitmap>();
        bitmap->SetPixelFormat(TPixelFormat::pf24bit);
        bitmap->SetSize(size.Right, size.Bottom);
        if (!bitmap->Empty() && bitmap->ScanLine(0)) {
            pixels_ += w * h;
            ++made_;
            entry->Scaled = std::move(bitmap);
            entry->Made.assign(static_cast<std::size_t>(frames), 0);
            MakeFrames(*entry, frame, &source);
        }
    }
    entries_.push_back(std::move(entry));
    return entries_.back()->Scaled.get();
}

void TScaledSkinPictures::MakeFrames(TEntry& e, int frame, const TSkinPixels* read) {
    if (!e.Scaled) return;
    const bool one = frame >= 0 && frame < e.Frames;
    if (one ? e.Made[static_cast<std::size_t>(frame)]
            : std::find(e.Made.begin(), e.Made.end(), 0) == e.Made.end())
        return;
    TTimedStep step("skin picture scaled");
    TSkinPixels again;
    const TSkinPixels& source = read ? *read : (again = ReadStrip(e.Source));
    // Each frame is scaled into a picture of the strip's size, then copied into the strip, which
    // holds 24-bit pixels as the skin's own pictures do: the platform's transfers from it into
    // the 24-bit pictures the painter composes in are plain copies, not conversions.
    const int W = e.Scaled->Width(), H = e.Scaled->Height();
    const int fw = e.Stacked ? W : W / e.Frames, fh = e.Stacked ? H / e.Frames : H;
    std::vector<std::uint32_t> scaled(static_cast<std::size_t>(W) * static_cast<std::size_t>(H));
    GdiFlush();
    for (int f = one ? frame : 0; f < (one ? frame + 1 : e.Frames); ++f) {
        if (e.Made[static_cast<std::size_t>(f)]) continue;
        // A frame whose picture cannot be read again is tried again when it is next drawn.
        if (!ScaleSkinFrame(source, e.Frames, e.Stacked, Insets(e.Margins), e.Dpi, f, scaled.data(),
                            static_cast<std::size_t>(W)))
            continue;
        const int x0 = e.Stacked ? 0 : f * fw, y0 = e.Stacked ? f * fh : 0;
        for (int y = y0; y < y0 + fh; ++y) {
            std::uint8_t* row = e.Scaled->ScanLine(y) + 3 * x0;
            const std::uint32_t* from = scaled.data() + static_cast<std::size_t>(y) * W + x0;
            for (int x = 0; x < fw; ++x, row += 3) {
                row[0] = static_cast<std::uint8_t>(from[x]);
                row[1] = static_cast<std::uint8_t>(from[x] >> 8);
                row[2] = static_cast<std::uint8_t>(from[x] >> 16);
            }
        }
        e.Made[static_cast<std::size_t>(f)] = 1;
    }
}

TReadyGlyph* TScaledSkinPictures::Glyph(const TSkinPart& part, TSkinState state, SIZE size,
                                        std::optional<COLORREF> under) {
    // Glyphs are small; a larger picture is drawn as usual rather than kept.
    constexpr std::int64_t kGlyphPixels = 128 * 128;
    constexpr std::size_t kGlyphs = 48;
    if (!part.Image || part.Layout != TPartLayout::Cell || size.cx <= 0 || size.cy <= 0 ||
        std::int64_t{size.cx} * size.cy > kGlyphPixels)
        return nullptr;
    const int picture = SkinPicture(part, state);
    for (auto it = glyphs_.begin(); it != glyphs_.end(); ++it) {
        if (it->Image != part.Image || it->Frames != part.Frames || it->Picture != picture || it->Keyed != part.Keyed ||
            it->Size.cx != size.cx || it->Size.cy != size.cy || it->Under != under)
            continue;
        if (it->Source.SharesWith(*part.Image)) return it->Glyph.get();
        glyphs_.erase(it);  // the bitmap holds a new picture now
        break;
    }
    std::unique_ptr<TReadyGlyph> glyph = TReadyGlyph::Make(part, state, size, under);
    if (!glyph) return nullptr;
    if (glyphs_.size() >= kGlyphs) glyphs_.erase(glyphs_.begin());
    TGlyphEntry& entry = glyphs_.emplace_back(TGlyphEntry{part.Image, {}, part.Frames, picture, part.Keyed, size, under,
                                                          std::move(glyph)});
    entry.Source.Share(*part.Image);
    return entry.Glyph.get();
}

void TScaledSkinPictures::Clear() {
    glyphs_.clear();
    entries_.clear();
    pixels_ = 0;
}

void TScaledSkinPictures::Forget(const TBitmap& image) {
    std::erase_if(glyphs_, [&](const TGlyphEntry& g) { return g.Image == &image; });
    std::erase_if(entries_, [&](const std::unique_ptr<TEntry>& e) {
        if (e->Image != &image) return false;
        if (e->Scaled) pixels_ -= std::int64_t{e->Scaled->Width()} * e->Scaled->Height();
        return true;
    });
}

namespace {

TSkinPart ScaledPart(const TSkinPart& part, const TSkinScale& scale, int frame) {
    if (scale.Dpi == BaseDpi || scale.Dpi < 1 || !scale.Pictures || !part.Image || part.Image->Empty()) return part;
    TBitmap* strip = scale.Pictures->Strip(*part.Image, part.Frames, part.Stacked, part.Margins, scale.Dpi, frame);
    if (!strip) return part;
    const SIZE size = SkinPartSize(part);
    const TSkinInsets m =
        ScaleSkinInsets(TSkinInsets{part.Margins.Left, part.Margins.Top, part.Margins.Right, part.Margins.Bottom},
                        size.cx, size.cy, scale.Dpi);
    TSkinPart scaled = part;
    scaled.Image = strip;
    scaled.Margins = TFrameMargins{m.Left, m.Top, m.Right, m.Bottom};
    return scaled;
}

}  // namespace

TSkinPart ScaledSkinPart(const TSkinPart& part, const TSkinScale& scale) {
    return ScaledPart(part, scale, TScaledSkinPictures::kAllFrames);
}

TSkinPart ScaledSkinPart(const TSkinPart& part, const TSkinScale& scale, TSkinState state) {
    // A picture past the strip's end reads outside it whatever is scaled: the strip is made whole.
    const int picture = SkinPicture(part, state) - 1;
    return ScaledPart(part, scale, picture >= 0 && picture < std::max(part.Frames, 1) ? picture
                                                                                     : TScaledSkinPictures::kAllFrames);
}

void DrawSkinPart(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect, const TSkinScale& scale) {
    DrawSkinPart(dc, ScaledSkinPart(part, scale, state), state, rect);
}

void DrawSkinGlyph(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect, const TSkinScale& scale,
                   std::optional<COLORREF> under) {
    const TSkinPart scaled = ScaledSkinPart(part, scale, state);
    const SIZE size{rect.right - rect.left, rect.bottom - rect.top};
    // A glyph partly hidden is drawn as usual: only the part that shows is then made.
    RECT clip{}, shown{};
    if (scale.Pictures && size.cx > 0 && size.cy > 0 && GetClipBox(dc, &clip) != ERROR &&
        IntersectRect(&shown, &clip, &rect) && EqualRect(&shown, &rect)) {
        if (TReadyGlyph* glyph = scale.Pictures->Glyph(scaled, state, size, under)) {
            glyph->Draw(dc, rect.left, rect.top);
            return;
        }
    }
    DrawSkinPart(dc, scaled, state, rect);
}

}  // namespace qx
