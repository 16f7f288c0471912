#include "skin/FramePieceRuns.h"

#include "core/SliceRuns.h"

#include <algorithm>

namespace qx {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

// Stretch maps kept: a window being resized asks for one or two new ones per size.
constexpr std::size_t kKeptStretches = 8;

// A 24-bit picture stretched the way the nine-slice painter stretches its pieces.
std::vector<int> ProbeStretch(int source, int target, bool vertical) {
    TBitmap from, to;
    from.SetPixelFormat(TPixelFormat::pf24bit);
    to.SetPixelFormat(TPixelFormat::pf24bit);
    from.SetSize(vertical ? 1 : source, vertical ? source : 1);
    to.SetSize(vertical ? 1 : target, vertical ? target : 1);
    if (from.Empty() || to.Empty()) return {};
    // Each source pixel's colour is its own index, so each target pixel tells where it came from.
    GdiFlush();
    for (int i = 0; i < source; ++i) {
        std::uint8_t* p = vertical ? from.ScanLine(i) : from.ScanLine(0) + 3 * i;
        p[0] = static_cast<std::uint8_t>(i);
        p[1] = static_cast<std::uint8_t>(i >> 8);
        p[2] = static_cast<std::uint8_t>(i >> 16);
    }
    HDC d = to.Canvas().Handle();
    const int oldMode = SetStretchBltMode(d, COLORONCOLOR);
    const BOOL stretched = StretchBlt(d, 0, 0, to.Width(), to.Height(), from.Canvas().Handle(), 0, 0, from.Width(),
                                      from.Height(), SRCCOPY);
    SetStretchBltMode(d, oldMode);
    if (!stretched) return {};
    GdiFlush();
    std::vector<int> map(static_cast<std::size_t>(target));
    for (int i = 0; i < target; ++i) {
        const std::uint8_t* p = vertical ? to.ScanLine(i) : to.ScanLine(0) + 3 * i;
        map[static_cast<std::size_t>(i)] = p[0] | (p[1] << 8) | (p[2] << 16);
    }
    return map;
}

// One axis of a nine-slice target: the middle's stretch map only where the middle changes size.
template <class StretchOf>
TSliceAxis Axis(int target, int source, int head, int tail, StretchOf stretch) {
    TSliceAxis axis{target, source, head, tail, {}};
    const int middle = target - head - tail, from = source - head - tail;
    if (middle > 0 && from > 0 && middle != from) axis.Stretch = stretch(from, middle);
    return axis;
}

}  // namespace

const TFramePieceRuns::TPiece& TFramePieceRuns::Piece(TBitmap& image, const RECT& frame) {
    for (auto it = pieces_.begin(); it != pieces_.end(); ++it) {
        const TPiece& p = **it;
        if (p.Image != &image || !EqualRect(&p.Frame, &frame)) continue;
        if (p.Source.SharesWith(image)) return p;
        pieces_.erase(it);  // the bitmap holds another picture now
        break;
    }
    auto piece = std::make_unique<TPiece>(TPiece{&image, {}, frame, {}});
    piece->Source.Share(image);
    // The frame copied into a 24-bit picture, as the painter's working bitmap receives it.
    const int w = Width(frame), h = Height(frame);
    TBitmap copy;
    copy.SetPixelFormat(TPixelFormat::pf24bit);
    copy.SetSize(w, h);
    if (!copy.Empty()) {
        BitBlt(copy.Canvas().Handle(), 0, 0, w, h, image.Canvas().Handle(), frame.left, frame.top, SRCCOPY);
        piece->Rows = MaskRows(OpaqueMask(copy, 1, 1, 1, SkinKeyColor), w, h);
    }
    pieces_.push_back(std::move(piece));
    return *pieces_.back();
}

const std::vector<int>& TFramePieceRuns::Stretch(int source, int target, bool vertical) {
    for (const TStretch& s : stretches_)
        if (s.Source == source && s.Target == target && s.Vertical == vertical) return s.Map;
    if (stretches_.size() >= kKeptStretches) stretches_.erase(stretches_.begin());
    stretches_.push_back(TStretch{source, target, vertical, ProbeStretch(source, target, vertical)});
    return stretches_.back().Map;
}

std::optional<std::vector<TMaskRect>> TFramePieceRuns::Rects(const TSkinPart& part, TSkinState state,
                                                             const RECT& target, std::size_t maxRects) {
    if (!part.Image || part.Image->Empty() || part.Layout != TPartLayout::NineSlice) return std::nullopt;
    const int W = Width(target), H = Height(target);
    const RECT frame = SkinPartFrame(part, state);
    const int fw = Width(frame), fh = Height(frame);
    if (W <= 0 || H <= 0 || fw <= 0 || fh <= 0 || frame.left < 0 || frame.top < 0 ||
        frame.right > part.Image->Width() || frame.bottom > part.Image->Height())
        return std::nullopt;
    const TPiece& piece = Piece(*part.Image, frame);
    if (static_cast<int>(piece.Rows.size()) != fh) return std::nullopt;
    const TFrameMargins m = FittedMargins(part.Margins, SIZE{W, H}, SIZE{fw, fh});
    const TSliceAxis x = Axis(W, fw, m.Left, m.Right, [this](int from, int to) { return Stretch(from, to, false); });
    const TSliceAxis y = Axis(H, fh, m.Top, m.Bottom, [this](int from, int to) { return Stretch(from, to, true); });
    const std::optional<std::vector<TMaskRow>> rows = PlaceSlices(piece.Rows, x, y, part.Tiled);
    if (!rows) return std::nullopt;
    std::vector<TMaskRect> rects = RowsToRects(*rows, W, maxRects);
    for (TMaskRect& r : rects) {
        r.Left += target.left;
        r.Right += target.left;
        r.Top += target.top;
        r.Bottom += target.top;
    }
    return rects;
}

void TFramePieceRuns::Clear() {
    pieces_.clear();
    stretches_.clear();
}

}  // namespace qx
