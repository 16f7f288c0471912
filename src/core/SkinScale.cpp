#include "core/SkinScale.h"

#include "core/MulDiv.h"

#include <algorithm>
#include <climits>
#include <cmath>

namespace qx {

namespace {

int EffectiveDpi(int dpi) { return dpi < 1 ? BaseDpi : dpi; }

// Skin values come from a file: sums of two of them are taken in 64 bits and every result is
// held in int's range.
int Scale64(std::int64_t length, int dpi) {
    const std::int64_t scaled = MulDiv64(length, EffectiveDpi(dpi), BaseDpi);
    return static_cast<int>(std::clamp<std::int64_t>(scaled, INT_MIN / 2, INT_MAX / 2));
}

int ClampToInt(std::int64_t v) { return static_cast<int>(std::clamp<std::int64_t>(v, INT_MIN / 2, INT_MAX / 2)); }

// One axis of the nine pieces: start and end of the three bands.
struct TBands {
    int Edge[4];
};

TBands Cut(int size, int first, int last) {
    if (size < first + last) first = last = 0;
    return TBands{{0, first, size - last, size}};
}

struct TPiece {
    int X, Y, W, H;
};

bool IsWholeMultiple(int dpi) { return dpi % BaseDpi == 0; }

// Where one destination column (row) of a piece reads the source: its nearest source pixel and
// its two filter taps with their weights. Worked out once per column and per row, not per pixel.
struct TTaps {
    int Near, First, Second;
    double FirstWeight, SecondWeight;
};

std::vector<TTaps> AxisTaps(int sourceLength, int destLength) {
    std::vector<TTaps> taps(static_cast<std::size_t>(destLength));
    const double k = static_cast<double>(sourceLength) / destLength;
    for (int i = 0; i < destLength; ++i) {
        const double f = std::clamp((i + 0.5) * k - 0.5, 0.0, static_cast<double>(sourceLength - 1));
        const int first = static_cast<int>(f);
        const double w = f - first;
        taps[static_cast<std::size_t>(i)] = TTaps{std::min(static_cast<int>((i + 0.5) * k), sourceLength - 1), first,
                                                  std::min(first + 1, sourceLength - 1), 1 - w, w};
    }
    return taps;
}

// Resamples one piece of the source into one piece of the destination.
void ResamplePiece(const TSkinPixels& src, const TPiece& s, std::uint32_t* dst, std::size_t stride, const TPiece& d,
                   bool nearest) {
    if (s.W <= 0 || s.H <= 0 || d.W <= 0 || d.H <= 0) return;
    const std::vector<TTaps> cols = AxisTaps(s.W, d.W), rows = AxisTaps(s.H, d.H);
    auto row = [&](int y) { return src.Pixels.data() + static_cast<std::size_t>(s.Y + y) * src.Width + s.X; };
    for (int y = 0; y < d.H; ++y) {
        std::uint32_t* out = dst + static_cast<std::size_t>(d.Y + y) * stride + d.X;
        const TTaps& ty = rows[static_cast<std::size_t>(y)];
        const std::uint32_t* nearRow = row(ty.Near);
        const std::uint32_t* row0 = row(ty.First);
        const std::uint32_t* row1 = row(ty.Second);
        for (int x = 0; x < d.W; ++x) {
            const TTaps& tx = cols[static_cast<std::size_t>(x)];
            const std::uint32_t near = nearRow[tx.Near];
            if (nearest || near == kSkinKeyPixel) {
                out[x] = near;
                continue;
            }
            const std::uint32_t p[4] = {row0[tx.First], row0[tx.Second], row1[tx.First], row1[tx.Second]};
            const double w[4] = {tx.FirstWeight * ty.FirstWeight, tx.SecondWeight * ty.FirstWeight,
                                 tx.FirstWeight * ty.SecondWeight, tx.SecondWeight * ty.SecondWeight};
            double sum = 0, c[3] = {0, 0, 0};
            for (int i = 0; i < 4; ++i) {
                if (p[i] == kSkinKeyPixel || w[i] <= 0) continue;
                sum += w[i];
                for (int k = 0; k < 3; ++k) c[k] += w[i] * ((p[i] >> (8 * k)) & 0xFF);
            }
            if (sum <= 0) {
                out[x] = near;
                continue;
            }
            // Dividing by a sum of exactly one changes nothing: most pixels skip the divisions.
            if (sum != 1.0)
                for (double& channel : c) channel /= sum;
            std::uint32_t v = 0;
            for (int k = 0; k < 3; ++k)
                v |= static_cast<std::uint32_t>(std::clamp(static_cast<int>(c[k] + 0.5), 0, 255)) << (8 * k);
            // A blend that lands on the key would read as transparent: nudge it off.
            out[x] = v == kSkinKeyPixel ? (v ^ 0x000100u) : v;
        }
    }
}

}  // namespace

int ScaleSkinLength(int length, int dpi) { return Scale64(length, dpi); }

TScaledBox ScaleSkinBox(const TScaledBox& box, int dpi) {
    return TScaledBox{Scale64(box.Left, dpi), Scale64(box.Top, dpi), Scale64(box.Right, dpi), Scale64(box.Bottom, dpi)};
}

TSkinButtonPlace ScaleCaptionButtonPlace(std::int32_t align, std::int32_t xcoord, std::int32_t ycoord, int width,
                                         int height, bool rightToLeft, int dpi) {
    TSkinButtonPlace p;
    p.Xcoord = Scale64(xcoord, dpi);
    const bool fromRight = align == 1 || (align == 100 && !rightToLeft);
    // Anchored on the right, the button's far edge lies xcoord - width from the anchor; every
    // other align (against the text on either side, from the left) puts it at xcoord + width.
    if (fromRight)
        p.Width = p.Xcoord - Scale64(std::int64_t{xcoord} - width, dpi);
    else
        p.Width = Scale64(std::int64_t{xcoord} + width, dpi) - p.Xcoord;
    if (align == 100) {
        // Centred on the menu bar: only its height counts.
        p.Ycoord = ycoord;
        p.Height = Scale64(height, dpi);
    } else {
        p.Ycoord = Scale64(ycoord, dpi);
        p.Height = Scale64(std::int64_t{ycoord} + height, dpi) - p.Ycoord;
    }
    return p;
}

TSkinInsets ScaleSkinInsets(const TSkinInsets& m, int width, int height, int dpi) {
    const int w = std::max(0, width), h = std::max(0, height);
    const int sw = Scale64(w, dpi), sh = Scale64(h, dpi);
    auto axis = [dpi](int first, int last, int size, int scaledSize, int& outFirst, int& outLast) {
        first = std::clamp(first, 0, size);
        last = std::clamp(last, 0, size);
        outFirst = std::min(Scale64(first, dpi), scaledSize);
        outLast = std::min(Scale64(last, dpi), scaledSize);
        // A pair that fits at 96 dpi fits at scale (rounding both up can overrun by a pixel).
        if (first + last <= size && outFirst + outLast > scaledSize) outLast = scaledSize - outFirst;
    };
    TSkinInsets out;
    axis(m.Left, m.Right, w, sw, out.Left, out.Right);
    axis(m.Top, m.Bottom, h, sh, out.Top, out.Bottom);
    return out;
}

std::array<TScaledBox, 9> NineSlicePieces(int width, int height, const TSkinInsets& margins) {
    width = std::max(0, width);
    height = std::max(0, height);
    const TBands cols = Cut(width, std::clamp(margins.Left, 0, width), std::clamp(margins.Right, 0, width));
    const TBands rows = Cut(height, std::clamp(margins.Top, 0, height), std::clamp(margins.Bottom, 0, height));
    std::array<TScaledBox, 9> pieces{};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            pieces[static_cast<std::size_t>(r * 3 + c)] = TScaledBox{cols.Edge[c], rows.Edge[r], cols.Edge[c + 1], rows.Edge[r + 1]};
    return pieces;
}

TScaledBox ScaledSkinStripSize(int width, int height, int frames, bool stacked, int dpi) {
    frames = std::max(frames, 1);
    const int fw = stacked ? width : width / frames;
    const int fh = stacked ? height / frames : height;
    if (fw <= 0 || fh <= 0) return {};
    const int sfw = ScaleSkinLength(fw, dpi), sfh = ScaleSkinLength(fh, dpi);
    if (sfw <= 0 || sfh <= 0) return {};
    return TScaledBox{0, 0, stacked ? sfw : ClampToInt(std::int64_t{sfw} * frames),
                      stacked ? ClampToInt(std::int64_t{sfh} * frames) : sfh};
}

bool ScaleSkinFrame(const TSkinPixels& source, int frames, bool stacked, const TSkinInsets& margins, int dpi, int frame,
                    std::uint32_t* out, std::size_t stride) {
    if (source.Width <= 0 || source.Height <= 0 || !out ||
        source.Pixels.size() < static_cast<std::size_t>(source.Width) * static_cast<std::size_t>(source.Height))
        return false;
    frames = std::max(frames, 1);
    if (frame < 0 || frame >= frames) return false;
    const int fw = stacked ? source.Width : source.Width / frames;
    const int fh = stacked ? source.Height / frames : source.Height;
    if (fw <= 0 || fh <= 0) return false;
    const int sfw = ScaleSkinLength(fw, dpi), sfh = ScaleSkinLength(fh, dpi);
    if (sfw <= 0 || sfh <= 0) return false;
    const auto from = NineSlicePieces(fw, fh, margins);
    const auto to = NineSlicePieces(sfw, sfh, ScaleSkinInsets(margins, fw, fh, dpi));
    const bool nearest = IsWholeMultiple(EffectiveDpi(dpi));
    const int sx = stacked ? 0 : frame * fw, sy = stacked ? frame * fh : 0;
    const int dx = stacked ? 0 : frame * sfw, dy = stacked ? frame * sfh : 0;
    // Pieces not drawn (a zero-sized margin's) keep the key.
    for (int y = 0; y < sfh; ++y) std::fill_n(out + static_cast<std::size_t>(dy + y) * stride + dx, sfw, kSkinKeyPixel);
    for (std::size_t i = 0; i < from.size(); ++i)
        ResamplePiece(source, TPiece{sx + from[i].Left, sy + from[i].Top, from[i].Width(), from[i].Height()}, out, stride,
                      TPiece{dx + to[i].Left, dy + to[i].Top, to[i].Width(), to[i].Height()}, nearest);
    return true;
}

TSkinPixels ScaleSkinStrip(const TSkinPixels& source, int frames, bool stacked, const TSkinInsets& margins, int dpi) {
    TSkinPixels out;
    if (source.Width <= 0 || source.Height <= 0 ||
        source.Pixels.size() < static_cast<std::size_t>(source.Width) * static_cast<std::size_t>(source.Height))
        return out;
    const TScaledBox size = ScaledSkinStripSize(source.Width, source.Height, frames, stacked, dpi);
    if (size.Right <= 0 || size.Bottom <= 0) return out;
    out.Width = size.Right;
    out.Height = size.Bottom;
    out.Pixels.assign(static_cast<std::size_t>(out.Width) * static_cast<std::size_t>(out.Height), kSkinKeyPixel);
    for (int f = 0; f < std::max(frames, 1); ++f)
        ScaleSkinFrame(source, frames, stacked, margins, dpi, f, out.Pixels.data(), static_cast<std::size_t>(out.Width));
    return out;
}

}  // namespace qx
