#include "skin/SkinDraw.h"

#include "core/MaskRects.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

namespace qx {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }
bool Inverted(const RECT& r) { return r.right < r.left || r.bottom < r.top; }

std::int64_t g_largestWork = 0;

// Stretches one piece when both its rectangles have an area. The destination DC clips it, and
// the platform stretches only what lands inside, so a piece larger than its DC costs no more
// than the part that shows.
void Piece(HDC dst, int dx, int dy, int dw, int dh, HDC src, int sx, int sy, int sw, int sh) {
    if (dw <= 0 || dh <= 0 || sw <= 0 || sh <= 0) return;
    if (dw == sw && dh == sh)
        BitBlt(dst, dx, dy, dw, dh, src, sx, sy, SRCCOPY);
    else
        StretchBlt(dst, dx, dy, dw, dh, src, sx, sy, sw, sh, SRCCOPY);
}

// A working 24-bit bitmap whose DC stretches COLORONCOLOR.
std::unique_ptr<TBitmap> WorkBitmap(int width, int height) {
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(TPixelFormat::pf24bit);
    b->SetSize(width, height);
    g_largestWork = std::max(g_largestWork, static_cast<std::int64_t>(b->Width()) * b->Height());
    if (b->Width() > 0) SetStretchBltMode(b->Canvas().Handle(), COLORONCOLOR);
    return b;
}

// The part of rect that dc can show: rect within the DC's clip box (a memory DC's bitmap, the
// visible part of a window, the area being painted). Empty when nothing of it shows.
RECT VisiblePart(HDC dc, const RECT& rect) {
    RECT clip{}, out{};
    const int kind = GetClipBox(dc, &clip);
    if (kind == NULLREGION) return RECT{};
    if (kind == ERROR) clip = rect;
    if (!IntersectRect(&out, &rect, &clip)) return RECT{};
    return out;
}

// Whole copies of a w x h block laid from area's top-left corner, stepping by w and h, while
// they start inside area (the last column and row may spill past it). Drawn into d, whose
// pixel (0, 0) is the area's coordinate (ox, oy) and which holds dw x dh pixels: only the
// copies that meet d are made, two of each row and column by block, the rest by doubling
// copies of what d already holds. draw(x, y) puts one block at d's (x, y).
template <class Draw>
void Repeat(HDC d, int ox, int oy, int dw, int dh, const RECT& area, int w, int h, Draw draw) {
    if (w <= 0 || h <= 0 || area.right <= area.left || area.bottom <= area.top) return;
    // The copies, by index, that meet d: [first, first + count) along each axis.
    auto span = [](std::int64_t start, std::int64_t end, std::int64_t step, std::int64_t viewStart,
                   std::int64_t viewEnd, int& first, int& count) {
        const std::int64_t total = (end - start + step - 1) / step;
        const std::int64_t a = viewStart > start ? (viewStart - start) / step : 0;
        const std::int64_t b = viewEnd > start ? std::min(total, (viewEnd - start + step - 1) / step) : 0;
        first = static_cast<int>(std::min<std::int64_t>(a, total));
        count = static_cast<int>(std::max<std::int64_t>(0, b - a));
    };
    int fx = 0, nx = 0, fy = 0, ny = 0;
    span(area.left, area.right, w, ox, static_cast<std::int64_t>(ox) + dw, fx, nx);
    span(area.top, area.bottom, h, oy, static_cast<std::int64_t>(oy) + dh, fy, ny);
    if (nx == 0 || ny == 0) return;
    const int x = static_cast<int>(area.left + static_cast<std::int64_t>(fx) * w - ox);
    const int y = static_cast<int>(area.top + static_cast<std::int64_t>(fy) * h - oy);
    // The first copy may start left of (above) d; from the second one on, every copy starts
    // inside d, so copies of copies never read outside d.
    for (int r = 0; r < std::min(ny, 2); ++r) {
        const int row = y + r * h;
        for (int c = 0; c < std::min(nx, 2); ++c) draw(x + c * w, row);
        for (int done = 2; done < nx;) {
            const int n = std::min(done - 1, nx - done);
            BitBlt(d, x + done * w, row, n * w, h, d, x + w, row, SRCCOPY);
            done += n;
        }
    }
    for (int done = 2; done < ny;) {
        const int n = std::min(done - 1, ny - done);
        BitBlt(d, 0, y + done * h, dw, n * h, d, 0, y + h, SRCCOPY);
        done += n;
    }
}

// Copies a bitmap's picture from its top-left corner, keyed or plain.
void Put(HDC dc, const RECT& rect, TBitmap& bitmap, bool transparent) {
    if (bitmap.Width() <= 0 || bitmap.Height() <= 0) return;
    if (transparent)
        TransparentBlt(dc, rect, bitmap, SkinKeyColor);
    else
        BitBlt(dc, rect.left, rect.top, Width(rect), Height(rect), bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
}

// The picture as 0x00RRGGBB pixels, rows top-down.
std::vector<std::uint32_t> ReadPixels32(TBitmap& bitmap) {
    const int w = bitmap.Width(), h = bitmap.Height();
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * std::max(h, 0));
    if (w <= 0 || h <= 0) return out;
    TBitmap* source = &bitmap;
    std::unique_ptr<TBitmap> converted;
    if (bitmap.PixelFormat() != TPixelFormat::pf32bit && bitmap.PixelFormat() != TPixelFormat::pf24bit) {
        converted = std::make_unique<TBitmap>();
        converted->SetPixelFormat(TPixelFormat::pf32bit);
        converted->SetSize(w, h);
        BitBlt(converted->Canvas().Handle(), 0, 0, w, h, bitmap.Canvas().Handle(), 0, 0, SRCCOPY);
        source = converted.get();
    }
    GdiFlush();
    const int bpp = source->PixelFormat() == TPixelFormat::pf32bit ? 4 : 3;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = source->ScanLine(y);
        std::uint32_t* o = out.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x, row += bpp) o[x] = row[0] | (row[1] << 8) | (row[2] << 16);
    }
    return out;
}

// Writes 0x00RRGGBB pixels back into a 24- or 32-bit bitmap of the pixels' size.
void WritePixels(TBitmap& bitmap, const std::vector<std::uint32_t>& pixels) {
    const int w = bitmap.Width(), h = bitmap.Height();
    const int bpp = bitmap.PixelFormat() == TPixelFormat::pf32bit ? 4 : 3;
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        const std::uint32_t* p = pixels.data() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x, row += bpp) {
            row[0] = static_cast<std::uint8_t>(p[x]);
            row[1] = static_cast<std::uint8_t>(p[x] >> 8);
            row[2] = static_cast<std::uint8_t>(p[x] >> 16);
        }
    }
}

// Mirror and flip keep 24- and 32-bit pictures as they are and bring others to 24 bits.
void RequireTrueColor(TBitmap& bitmap) {
    if (bitmap.PixelFormat() != TPixelFormat::pf24bit && bitmap.PixelFormat() != TPixelFormat::pf32bit)
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

// Margins and frame numbers come from a skin's INI text unchecked. Held within these bounds,
// every comparison of a margin with a real size (images at most 32,767 pixels a side, windows
// far below 2^24) comes out as it would without bounds, and no sum or product overflows.
constexpr int kMarginLimit = 1 << 24;
constexpr int kFrameLimit = 1 << 15;

// Margins from a skin's text, held inside the frame they cut: never negative, never wider (or
// higher) than the frame. No piece then reaches outside its frame, and none is larger than
// its target.
TFrameMargins Bounded(const TFrameMargins& m, int frameWidth, int frameHeight) {
    const int fw = std::max(0, frameWidth), fh = std::max(0, frameHeight);
    return TFrameMargins{std::clamp(m.Left, 0, fw), std::clamp(m.Top, 0, fh), std::clamp(m.Right, 0, fw),
                         std::clamp(m.Bottom, 0, fh)};
}

TFrameMargins FitMargins(const TFrameMargins& margins, int W, int H, int fw, int fh) {
    // Margins that do not fit the target are dropped, then the rest are held inside the frame.
    auto limit = [](int v) { return std::clamp(v, -kMarginLimit, kMarginLimit); };
    TFrameMargins fitting{limit(margins.Left), limit(margins.Top), limit(margins.Right), limit(margins.Bottom)};
    if (W < fitting.Left + fitting.Right) fitting.Left = fitting.Right = 0;
    if (H < fitting.Top + fitting.Bottom) fitting.Top = fitting.Bottom = 0;
    return Bounded(fitting, fw, fh);
}

// The nine slices of frame f for a W x H target, drawn into d (dw x dh pixels), whose pixel
// (0, 0) is the target's pixel (ox, oy). Work and pieces stay within d.
void ComposeFrame(HDC d, int ox, int oy, int dw, int dh, int W, int H, TBitmap& image, const RECT& f,
                  const TFrameMargins& margins, bool tile) {
    const int x0 = f.left, y0 = f.top, fw = Width(f), fh = Height(f);
    if (W <= 0 || H <= 0 || fw <= 0 || fh <= 0 || dw <= 0 || dh <= 0) return;
    const TFrameMargins m = FitMargins(margins, W, H, fw, fh);
    const int L = m.Left, T = m.Top, R = m.Right, B = m.Bottom;
    HDC s = image.Canvas().Handle();
    auto piece = [&](int dx, int dy, int pw, int ph, int sx, int sy, int sw, int sh) {
        Piece(d, dx - ox, dy - oy, pw, ph, s, sx, sy, sw, sh);
    };
    if (L > 0 && T > 0) piece(0, 0, L, T, x0, y0, L, T);
    piece(0, H - B, L, B, x0, y0 + fh - B, L, B);
    piece(W - R, 0, R, T, x0 + fw - R, y0, R, T);
    if (L > 0) piece(0, T, L, H - T - B, x0, y0 + T, L, fh - T - B);
    if (T > 0) piece(L, 0, W - L - R, T, x0 + L, y0, fw - L - R, T);
    const int cw = fw - L - R, ch = fh - T - B;
    if (tile) {
        // Whole tiles from the frame's centre; the pieces drawn next cover what spills over.
        Repeat(d, ox, oy, dw, dh, RECT{L, T, W - R, H - B}, cw, ch,
               [&](int x, int y) { BitBlt(d, x, y, cw, ch, s, x0 + L, y0 + T, SRCCOPY); });
    } else {
        piece(L, T, W - L - R, H - T - B, x0 + L, y0 + T, cw, ch);
    }
    piece(W - R, H - B, R, B, x0 + fw - R, y0 + fh - B, R, B);
    piece(W - R, T, R, H - T - B, x0 + fw - R, y0 + T, R, fh - T - B);
    piece(L, H - B, W - L - R, B, x0 + L, y0 + fh - B, fw - L - R, B);
}

// Where frame `frame` (from 1) of an image holding `count` frames lies: side by side, or one
// above the other when stacked. Frame sizes are 0 for an empty image or a count below 1.
RECT FrameRect(const TBitmap& image, bool stacked, int count, int frame) {
    if (count < 1 || image.Width() <= 0 || image.Height() <= 0) return RECT{0, 0, 0, 0};
    frame = std::clamp(frame, -kFrameLimit, kFrameLimit);
    if (stacked) {
        int fh = image.Height() / count;
        int y0 = (frame - 1) * fh;
        return RECT{0, y0, image.Width(), y0 + fh};
    }
    int fw = image.Width() / count;
    int x0 = (frame - 1) * fw;
    return RECT{x0, 0, x0 + fw, image.Height()};
}

// A new bitmap of the target's size holding the frame cut into nine slices by the margins.
std::unique_ptr<TBitmap> MakeFrameBitmap(const RECT& target, TBitmap& image, const TFrameMargins& margins,
                                         bool stacked, bool tile, int count, int frame) {
    const int W = std::max(0, Width(target)), H = std::max(0, Height(target));
    auto result = WorkBitmap(W, H);
    if (W > 0 && H > 0)
        ComposeFrame(result->Canvas().Handle(), 0, 0, W, H, W, H, image, FrameRect(image, stacked, count, frame), margins,
                     tile);
    return result;
}

// The nine-slice picture of one frame for rect, made only for the part of rect that dc shows.
void DrawNineSlice(HDC dc, const RECT& rect, TBitmap& image, const RECT& frame, const TFrameMargins& margins,
                   bool tile, bool transparent) {
    if (Inverted(rect) || Width(frame) <= 0 || Height(frame) <= 0) return;
    const RECT view = VisiblePart(dc, rect);
    const int vw = Width(view), vh = Height(view);
    if (vw <= 0 || vh <= 0) return;
    auto work = WorkBitmap(vw, vh);
    ComposeFrame(work->Canvas().Handle(), view.left - rect.left, view.top - rect.top, vw, vh, Width(rect), Height(rect),
                 image, frame, margins, tile);
    Put(dc, view, *work, transparent);
}

// Three slices across: caps of Left and Right, the middle repeated.
void DrawThreeAcross(HDC dc, const RECT& rect, TBitmap& image, bool stacked, bool transparent, int count,
                   int frame, const TFrameMargins& margins) {
    if (Inverted(rect)) return;
    const RECT f = FrameRect(image, stacked, count, frame);
    const int x0 = f.left, y0 = f.top, fw = Width(f), fh = Height(f);
    const int W = Width(rect), H = Height(rect);
    if (W == 0 || H == 0 || fw <= 0 || fh <= 0) return;
    const RECT view = VisiblePart(dc, rect);
    const int vw = Width(view), vh = Height(view);
    if (vw <= 0 || vh <= 0) return;
    const int ox = view.left - rect.left, oy = view.top - rect.top;
    auto work = WorkBitmap(vw, vh);
    HDC d = work->Canvas().Handle();
    HDC s = image.Canvas().Handle();
    const TFrameMargins bounded = Bounded(margins, fw, fh);
    const int L = bounded.Left, R = bounded.Right, m = fw - L - R;
    Piece(d, -ox, -oy, L, H, s, x0, y0, L, fh);
    if (m > 0)
        Repeat(d, ox, oy, vw, vh, RECT{L, 0, W - R, H}, m, H,
               [&](int x, int y) { Piece(d, x, y, m, H, s, x0 + L, y0, m, fh); });
    Piece(d, W - R - ox, -oy, R, H, s, x0 + fw - R, y0, R, fh);
    Put(dc, view, *work, transparent);
}

// The picture stretched to the whole rectangle.
void DrawCell(HDC dc, const RECT& rect, TBitmap& image, bool transparent, int count, int frame) {
    if (Inverted(rect)) return;
    const RECT f = FrameRect(image, false, count, frame);
    if (Width(f) <= 0 || Height(f) <= 0) return;
    const RECT view = VisiblePart(dc, rect);
    const int vw = Width(view), vh = Height(view);
    if (vw <= 0 || vh <= 0) return;
    auto work = WorkBitmap(vw, vh);
    Piece(work->Canvas().Handle(), rect.left - view.left, rect.top - view.top, Width(rect), Height(rect),
          image.Canvas().Handle(), f.left, f.top, Width(f), Height(f));
    Put(dc, view, *work, transparent);
}

// The picture at its own size, centred on the rectangle.
void DrawCentred(HDC dc, const RECT& rect, TBitmap& image, bool transparent, int count, int frame) {
    if (Inverted(rect)) return;
    const RECT f = FrameRect(image, false, count, frame);
    const int fw = Width(f), fh = Height(f);
    if (fw <= 0 || fh <= 0) return;
    const int x = rect.left + (Width(rect) - fw) / 2, y = rect.top + (Height(rect) - fh) / 2;
    // The glyph keeps its size and may lie partly outside the rectangle; only what the DC
    // shows of it is copied.
    const RECT view = VisiblePart(dc, RECT{x, y, x + fw, y + fh});
    const int vw = Width(view), vh = Height(view);
    if (vw <= 0 || vh <= 0) return;
    auto work = WorkBitmap(vw, vh);
    BitBlt(work->Canvas().Handle(), 0, 0, vw, vh, image.Canvas().Handle(), f.left + view.left - x,
           f.top + view.top - y, SRCCOPY);
    Put(dc, view, *work, transparent);
}

using S = TSkinState;

// Picture numbers (from 1) of each order for each state; 0 where the order has none.
struct TOrderRow {
    TPictureOrder Order;
    std::uint8_t Picture[kSkinStateCount];
};

constexpr std::uint8_t At(std::initializer_list<std::pair<S, int>> pictures, S state) {
    for (const auto& [s, n] : pictures)
        if (s == state) return static_cast<std::uint8_t>(n);
    return 0;
}

template <std::size_t... I>
constexpr TOrderRow Row(TPictureOrder order, std::initializer_list<std::pair<S, int>> pictures,
                        std::index_sequence<I...>) {
    return TOrderRow{order, {At(pictures, static_cast<S>(I))...}};
}

constexpr TOrderRow Row(TPictureOrder order, std::initializer_list<std::pair<S, int>> pictures) {
    return Row(order, pictures, std::make_index_sequence<kSkinStateCount>{});
}

constexpr TOrderRow kOrders[] = {
    Row(TPictureOrder::Single, {{S::Normal, 1}}),
    Row(TPictureOrder::HotPressed, {{S::Normal, 1}, {S::Hot, 2}, {S::Pressed, 3}, {S::Disabled, 4}, {S::Focused, 5}}),
    Row(TPictureOrder::PushButton, {{S::Normal, 1}, {S::Pressed, 2}, {S::Disabled, 3}, {S::Hot, 4}, {S::Focused, 5}}),
    Row(TPictureOrder::PressedHot, {{S::Normal, 1}, {S::Pressed, 2}, {S::Hot, 3}, {S::Inactive, 4}}),
    Row(TPictureOrder::PressedDisabled, {{S::Normal, 1}, {S::Pressed, 2}, {S::Disabled, 3}}),
    Row(TPictureOrder::TabFace, {{S::Normal, 1}, {S::Selected, 2}, {S::Hot, 3}, {S::Disabled, 4}, {S::Focused, 5}}),
    Row(TPictureOrder::MenuItem, {{S::Normal, 1}, {S::Inactive, 2}, {S::Selected, 4}, {S::Separator, 5}}),
    Row(TPictureOrder::Trough, {{S::Normal, 1}, {S::Filled, 2}}),
    Row(TPictureOrder::Bevel, {{S::Normal, 1}, {S::Raised, 2}, {S::Flat, 3}}),
    Row(TPictureOrder::ScrollArrow, {{S::Normal, 1}, {S::Pressed, 2}, {S::Disabled, 3}, {S::Hot, 4}}),
    Row(TPictureOrder::ScrollGrip, {{S::Normal, 1}, {S::Pressed, 2}, {S::Hot, 3}}),
    Row(TPictureOrder::CheckGlyphs,
        {{S::Normal, 1}, {S::Checked, 2}, {S::Disabled, 3}, {S::CheckedDisabled, 4}, {S::Mixed, 4}, {S::MixedDisabled, 4}}),
    Row(TPictureOrder::CheckGlyphsWide,
        {{S::Normal, 1}, {S::Checked, 5}, {S::Disabled, 4}, {S::CheckedDisabled, 8}, {S::Mixed, 9}, {S::MixedDisabled, 12}}),
};

constexpr bool OrdersInPlace() {
    for (std::size_t i = 0; i < std::size(kOrders); ++i)
        if (static_cast<std::size_t>(kOrders[i].Order) != i) return false;
    return true;
}
static_assert(OrdersInPlace(), "one row per picture order, in the order's place");

}  // namespace

TSkinPart SkinPart(TDataSkinObject& element, TPictureOrder order, TPartBlend blend) {
    TSkinPart part;
    part.Image = &element.Bitmap;
    part.Frames = element.Frames();
    part.Order = order;
    part.Margins = TFrameMargins{element.Margins.Left, element.Margins.Top, element.Margins.Right, element.Margins.Bottom};
    part.Stacked = element.Stacked;
    part.Tiled = element.TiledCentre();
    part.Keyed = blend == TPartBlend::Keyed || (blend == TPartBlend::AsElement && element.Keyed());
    return part;
}

int SkinPicture(const TSkinPart& part, TSkinState state) {
    const auto& row = kOrders[static_cast<std::size_t>(part.Order)].Picture;
    int picture = row[static_cast<std::size_t>(state)];
    if (picture == 0) picture = row[static_cast<std::size_t>(TSkinState::Normal)];
    picture += std::clamp(part.Group, 0, kFrameLimit);
    return part.ShortShowsLast ? std::min(picture, std::max(part.Frames, 1)) : picture;
}

void DrawSkinPart(HDC dc, const TSkinPart& part, TSkinState state, const RECT& rect) {
    if (!part.Image || part.Image->Empty() || Inverted(rect) || Width(rect) == 0 || Height(rect) == 0) return;
    TBitmap& image = *part.Image;
    const int picture = SkinPicture(part, state);
    switch (part.Layout) {
        case TPartLayout::NineSlice:
            DrawNineSlice(dc, rect, image, FrameRect(image, part.Stacked, part.Frames, picture), part.Margins, part.Tiled,
                          part.Keyed);
            break;
        case TPartLayout::ThreeAcross:
            DrawThreeAcross(dc, rect, image, part.Stacked, part.Keyed, part.Frames, picture, part.Margins);
            break;
        case TPartLayout::Cell: DrawCell(dc, rect, image, part.Keyed, part.Frames, picture); break;
        case TPartLayout::Centred: DrawCentred(dc, rect, image, part.Keyed, part.Frames, picture); break;
    }
}

std::unique_ptr<TReadyGlyph> TReadyGlyph::Make(const TSkinPart& part, TSkinState state, SIZE size,
                                               std::optional<COLORREF> under) {
    if (part.Layout != TPartLayout::Cell || !part.Image || part.Image->Empty() || size.cx <= 0 || size.cy <= 0)
        return nullptr;
    const RECT f = FrameRect(*part.Image, false, part.Frames, SkinPicture(part, state));
    if (Width(f) <= 0 || Height(f) <= 0) return nullptr;
    auto glyph = std::make_unique<TReadyGlyph>();
    TBitmap& picture = glyph->picture_;
    picture.SetPixelFormat(TPixelFormat::pf24bit);
    picture.SetSize(size.cx, size.cy);
    if (picture.Empty() || !picture.Bits()) return nullptr;
    g_largestWork = std::max(g_largestWork, static_cast<std::int64_t>(size.cx) * size.cy);
    HDC d = picture.Canvas().Handle();
    SetStretchBltMode(d, COLORONCOLOR);
    // The same copy DrawCell makes, so the pixels and the key test are the same.
    Piece(d, 0, 0, size.cx, size.cy, part.Image->Canvas().Handle(), f.left, f.top, Width(f), Height(f));
    GdiFlush();
    const bool keyed = part.Keyed;
    const std::uint8_t kb = GetBValue(SkinKeyColor), kg = GetGValue(SkinKeyColor), kr = GetRValue(SkinKeyColor);
    bool anyKey = false;
    for (int y = 0; y < size.cy; ++y) {
        const std::uint8_t* p = picture.ScanLine(y);
        for (int x = 0; x < size.cx; ++x, p += 3) {
            const bool key = keyed && p[0] == kb && p[1] == kg && p[2] == kr;
            anyKey = anyKey || key;
            glyph->anyOpaque_ = glyph->anyOpaque_ || !key;
        }
    }
    if (!anyKey) return glyph;
    const bool mask = !under;
    if (mask) {
        glyph->mask_.SetPixelFormat(TPixelFormat::pf24bit);
        glyph->mask_.SetSize(size.cx, size.cy);
        if (glyph->mask_.Empty() || !glyph->mask_.Bits()) return nullptr;
    }
    const COLORREF fill = under.value_or(0);
    for (int y = 0; y < size.cy; ++y) {
        std::uint8_t* p = picture.ScanLine(y);
        std::uint8_t* m = mask ? glyph->mask_.ScanLine(y) : nullptr;
        for (int x = 0; x < size.cx; ++x, p += 3) {
            const bool key = p[0] == kb && p[1] == kg && p[2] == kr;
            if (key) {
                p[0] = GetBValue(fill);
                p[1] = GetGValue(fill);
                p[2] = GetRValue(fill);
            }
            if (m) {
                m[0] = m[1] = m[2] = key ? 0xFF : 0;
                m += 3;
            }
        }
    }
    if (under) glyph->anyOpaque_ = true;
    return glyph;
}

void TReadyGlyph::Draw(HDC dc, int x, int y) {
    if (!anyOpaque_) return;
    const int w = picture_.Width(), h = picture_.Height();
    if (mask_.Empty()) {
        BitBlt(dc, x, y, w, h, picture_.Canvas().Handle(), 0, 0, SRCCOPY);
        return;
    }
    // White mask pixels keep the destination and black ones clear it; the picture, black where
    // the key was, is then added: the destination shows through exactly where the key was.
    BitBlt(dc, x, y, w, h, mask_.Canvas().Handle(), 0, 0, SRCAND);
    BitBlt(dc, x, y, w, h, picture_.Canvas().Handle(), 0, 0, SRCPAINT);
}

std::unique_ptr<TBitmap> MakeSkinPartBitmap(const TSkinPart& part, TSkinState state, SIZE size) {
    if (!part.Image) return std::make_unique<TBitmap>();
    return MakeFrameBitmap(RECT{0, 0, size.cx, size.cy}, *part.Image, part.Margins, part.Stacked, part.Tiled,
                           part.Frames, SkinPicture(part, state));
}

SIZE SkinPartSize(const TSkinPart& part) {
    if (!part.Image || part.Image->Empty()) return SIZE{0, 0};
    const int frames = std::max(part.Frames, 1);
    if (part.Stacked) return SIZE{part.Image->Width(), part.Image->Height() / frames};
    return SIZE{part.Image->Width() / frames, part.Image->Height()};
}

RECT SkinPartFrame(const TSkinPart& part, TSkinState state) {
    if (!part.Image) return RECT{0, 0, 0, 0};
    return FrameRect(*part.Image, part.Stacked, part.Frames, SkinPicture(part, state));
}

TFrameMargins FittedMargins(const TFrameMargins& margins, SIZE target, SIZE frame) {
    return FitMargins(margins, target.cx, target.cy, frame.cx, frame.cy);
}

void TransparentBlt(HDC dc, const RECT& rect, TBitmap& bitmap, COLORREF key) {
    if (Inverted(rect)) return;
    // The bitmap is read from its top-left corner: only what exists and what the DC shows.
    RECT view = VisiblePart(dc, RECT{rect.left, rect.top, rect.left + std::min(Width(rect), bitmap.Width()),
                                     rect.top + std::min(Height(rect), bitmap.Height())});
    const int w = Width(view), h = Height(view);
    if (w <= 0 || h <= 0) return;
    const int sx = view.left - rect.left, sy = view.top - rect.top;
    HDC src = bitmap.Canvas().Handle();
    TBitmapHandle mask(CreateBitmap(w, h, 1, 1, nullptr));
    if (!mask) return;
    {
        TMemoryDC maskDc(dc);
        maskDc.SelectBitmap(mask.Get());
        COLORREF oldBk = SetBkColor(src, key);
        BitBlt(maskDc.Get(), 0, 0, w, h, src, sx, sy, SRCCOPY);  // key pixels set, others clear
        SetBkColor(src, oldBk);
    }
    // Set mask bits keep the destination; clear ones take the source.
    MaskBlt(dc, view.left, view.top, w, h, src, sx, sy, mask.Get(), 0, 0, MAKEROP4(0x00AA0029, SRCCOPY));
}

std::int64_t SkinDrawLargestWork() { return g_largestWork; }
void ResetSkinDrawLargestWork() { g_largestWork = 0; }

std::vector<std::uint8_t> OpaqueMask(TBitmap& bitmap, int blueTolerance, int greenTolerance, int redTolerance,
                                     COLORREF key) {
    const int r0 = GetRValue(key), g0 = GetGValue(key), b0 = GetBValue(key);
    const int r1 = std::min(255, r0 + redTolerance), g1 = std::min(255, g0 + greenTolerance),
              b1 = std::min(255, b0 + blueTolerance);
    const std::vector<std::uint32_t> pixels = ReadPixels32(bitmap);
    std::vector<std::uint8_t> mask(pixels.size());
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const std::uint32_t p = pixels[i];
        const int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        mask[i] = !(r >= r0 && r <= r1 && g >= g0 && g <= g1 && b >= b0 && b <= b1);
    }
    return mask;
}

TRegionHandle BitmapToRegion(TBitmap& bitmap, int dx, int dy, int blueTolerance, int greenTolerance,
                             int redTolerance, COLORREF key, std::size_t maxRects) {
    const std::vector<std::uint8_t> mask = OpaqueMask(bitmap, blueTolerance, greenTolerance, redTolerance, key);
    const int w = bitmap.Width(), h = bitmap.Height();
    // Bounded: a picture of scattered transparent pixels is simplified, not made into a region
    // too large to set.
    return RegionFromRects(MaskToRects(mask, w, h, maxRects), dx, dy);
}

TRegionHandle RegionFromRects(const std::vector<TMaskRect>& rects, int dx, int dy) {
    TRegionHandle result;
    if (!rects.empty()) {
        std::vector<std::uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
        RGNDATAHEADER header{};
        header.dwSize = sizeof(RGNDATAHEADER);
        header.iType = RDH_RECTANGLES;
        header.nCount = static_cast<DWORD>(rects.size());
        header.nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
        RECT* out = reinterpret_cast<RECT*>(data.data() + sizeof header);
        header.rcBound = RECT{rects[0].Left + dx, rects[0].Top + dy, rects[0].Right + dx, rects[0].Bottom + dy};
        for (std::size_t i = 0; i < rects.size(); ++i) {
            out[i] = RECT{rects[i].Left + dx, rects[i].Top + dy, rects[i].Right + dx, rects[i].Bottom + dy};
            UnionRect(&header.rcBound, &header.rcBound, &out[i]);
        }
        std::memcpy(data.data(), &header, sizeof header);
        result.Reset(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<const RGNDATA*>(data.data())));
    }
    if (!result) result.Reset(CreateRectRgn(0, 0, 0, 0));
    return result;
}

std::size_t RegionRectCount(HRGN region) {
    if (!region) return 0;
    const DWORD size = GetRegionData(region, 0, nullptr);
    if (size < sizeof(RGNDATAHEADER)) return 0;
    std::vector<std::uint8_t> data(size);
    if (GetRegionData(region, size, reinterpret_cast<RGNDATA*>(data.data())) != size) return 0;
    RGNDATAHEADER header;
    std::memcpy(&header, data.data(), sizeof header);
    return header.nCount;
}

void CopyBitmap(TBitmap& source, TBitmap& dest) {
    if (&source == &dest) return;
    dest.SetPixelFormat(source.PixelFormat());
    dest.SetSize(source.Width(), source.Height());
    if (source.Width() > 0 && source.Height() > 0)
        BitBlt(dest.Canvas().Handle(), 0, 0, source.Width(), source.Height(), source.Canvas().Handle(), 0, 0,
               SRCCOPY);
}

void GrayBitmap(TBitmap& bitmap) {
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.Unshare();
    GdiFlush();
    for (int y = 0; y < bitmap.Height(); ++y) {
        std::uint8_t* p = bitmap.ScanLine(y);
        for (int x = 0; x < bitmap.Width(); ++x, p += 3) {
            auto v = static_cast<std::uint8_t>((p[0] + p[1] + p[2]) / 3);
            p[0] = p[1] = p[2] = v;
        }
    }
}

// Mirror and flip move whole pixels of the picture's own rows in place: no copy of the
// picture is made, however large it is.
void MirrorBitmap(TBitmap& bitmap) {
    RequireTrueColor(bitmap);
    bitmap.Unshare();
    const int w = bitmap.Width(), h = bitmap.Height();
    const int bpp = bitmap.PixelFormat() == TPixelFormat::pf32bit ? 4 : 3;
    GdiFlush();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = 0; x < w / 2; ++x) std::swap_ranges(row + x * bpp, row + (x + 1) * bpp, row + (w - 1 - x) * bpp);
    }
}

void FlipBitmap(TBitmap& bitmap) {
    RequireTrueColor(bitmap);
    bitmap.Unshare();
    const int h = bitmap.Height();
    const std::size_t bytes = static_cast<std::size_t>(bitmap.Stride());
    GdiFlush();
    for (int y = 0; y < h / 2; ++y) std::swap_ranges(bitmap.ScanLine(y), bitmap.ScanLine(y) + bytes, bitmap.ScanLine(h - 1 - y));
}

namespace {
template <class Source>
void Rotate(TBitmap& bitmap, Source source) {
    const int ow = bitmap.Width(), oh = bitmap.Height();
    if (ow <= 0 || oh <= 0) return;
    std::vector<std::uint32_t> old = ReadPixels32(bitmap), out(old.size());
    // New picture: oh wide, ow high.
    for (int y = 0; y < ow; ++y)
        for (int x = 0; x < oh; ++x) {
            auto [sx, sy] = source(x, y, ow, oh);
            out[static_cast<std::size_t>(y) * oh + x] = old[static_cast<std::size_t>(sy) * ow + sx];
        }
    bitmap.SetPixelFormat(TPixelFormat::pf24bit);
    bitmap.SetSize(oh, ow);
    WritePixels(bitmap, out);
}
}  // namespace

void RotateBitmapLeft(TBitmap& bitmap) {
    Rotate(bitmap, [](int x, int y, int ow, int) { return std::pair{ow - 1 - y, x}; });
}

void RotateBitmapRight(TBitmap& bitmap) {
    Rotate(bitmap, [](int x, int y, int, int oh) { return std::pair{y, oh - 1 - x}; });
}

COLORREF BlendColor(TColor a, TColor b, int weight) { return BlendRgb(ColorToRGB(a), ColorToRGB(b), weight); }

int GradientColors(int count, TColor first, TColor last) {
    return SharedGradientCache().Colors(count, ColorToRGB(first), ColorToRGB(last));
}

int GradientFillRect(HDC dc, const RECT& rect, TColor first, bool vertical, TColor last) {
    if (!RectVisible(dc, &rect)) return 0;
    const COLORREF c1 = ColorToRGB(first), c2 = ColorToRGB(last);
    RECT clip{};
    GetClipBox(dc, &clip);
    const int n = vertical ? Height(rect) : Width(rect);
    if (n <= 0) return 0;
    const int start = static_cast<int>(vertical ? rect.top : rect.left);
    const int from = std::max(0, static_cast<int>(vertical ? clip.top : clip.left) - start);
    const int to = std::min(n - 1, static_cast<int>(vertical ? clip.bottom : clip.right) - start - 1);
    const int slot = GradientColors(n, c1, c2);
    if (slot < 0) return 0;
    const std::vector<TRgb>& colors = SharedGradientCache().Slot(slot);
    int painted = 0;
    for (int i = from; i <= to; ++i) {
        RECT line = vertical ? RECT{rect.left, start + i, rect.right, start + i + 1}
                             : RECT{start + i, rect.top, start + i + 1, rect.bottom};
        TBrushHandle brush(CreateSolidBrush(colors[static_cast<std::size_t>(i)]));
        FillRect(dc, &line, brush.Get());
        ++painted;
    }
    return painted;
}

int ColorSaturation(TColor color) { return RgbSaturation(ColorToRGB(color)); }

int DrawTextWide(HDC dc, std::u16string_view text, RECT& rect, UINT format) {
    if (!(GetVersion() & 0x80000000)) {
        std::wstring w(text.begin(), text.end());
        return DrawTextW(dc, w.c_str(), static_cast<int>(w.size()), &rect, format);
    }
    std::wstring w(text.begin(), text.end());
    int n = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(std::max(n, 0)), '\0');
    if (n > 0)
        WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(w.size()), narrow.data(), n, nullptr, nullptr);
    return DrawTextA(dc, narrow.c_str(), -1, &rect, format);
}

}  // namespace qx
