#include "skin/ProgressSkinners.h"

#include "core/ControlGeometry.h"
#include "core/SkinScale.h"
#include "skin/SkinData.h"
#include "skin/SkinParts.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace qx {

namespace {

// The status bars' one composition bitmap: painting happens one paint at a time on the
// interface thread, so a single bitmap serves every status bar.
TBitmap& StatusScratch() {
    static TBitmap scratch;
    if (scratch.PixelFormat() != TPixelFormat::pf24bit) scratch.SetPixelFormat(TPixelFormat::pf24bit);
    return scratch;
}

}  // namespace

// ---- progress bar --------------------------------------------------------------------------

bool TSkinProgress::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            // Without a trough picture the bar keeps its own look.
            if (!FSkinData || !FSkinData->Progress || FSkinData->Progress->Bitmap.Empty()) return true;
            PaintOwn(m);
            m.Result = 0;
            return false;
        case WM_ERASEBKGND:
            m.Result = 1;
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinProgress::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData || !FSkinData->Progress || FSkinData->Progress->Bitmap.Empty()) return;
    TDataSkinBorder& trough = *FSkinData->Progress;
    const bool vertical = (WindowStyle() & PBS_VERTICAL) != 0;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    // A vertical bar is composed lying down and turned at the end.
    const RECT r{0, 0, vertical ? H : W, vertical ? W : H};
    if (r.right <= 0 || r.bottom <= 0) return;
    TBitmap work;
    work.SetPixelFormat(TPixelFormat::pf24bit);
    work.SetSize(r.right, r.bottom);
    if (work.Empty()) return;
    HDC w = work.Canvas().Handle();
    FillSolidRect(w, r, ColorToRGB(SkinButtonFace()));
    const int pos = static_cast<int>(SendMessageW(FHandle, PBM_GETPOS, 0, 0));
    const int max = static_cast<int>(SendMessageW(FHandle, PBM_GETRANGE, FALSE, 0));
    const int fill = ProgressFillWidth(r.right, pos, max);
    lastFill_ = fill;
    const TSkinScale scale = PaintScale(Dpi());
    DrawSkinPart(w, ProgressTrough(trough), TSkinState::Normal, r, scale);
    if (trough.Style == kProgressChunkStyle)
        PaintChunks(w, r, fill, scale);
    else if (fill > 0)
        DrawSkinPart(w, ProgressTrough(trough), TSkinState::Filled, RECT{0, 0, fill, r.bottom}, scale);
    if (vertical) RotateBitmapLeft(work);
    BitBlt(dc, rect.left, rect.top, work.Width(), work.Height(), work.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinProgress::PaintChunks(HDC w, const RECT& r, int fill, const TSkinScale& scale) {
    TDataSkinObject* chunk = FSkinData->ProgressChunk.get();
    if (!chunk || chunk->Bitmap.Empty() || fill <= 0) return;
    const SIZE skinCell = SkinPartSize(ProgressChunk(*chunk));
    const SIZE cell{ScaleSkinLength(skinCell.cx, scale.Dpi), ScaleSkinLength(skinCell.cy, scale.Dpi)};
    const int inset = ScaleSkinLength(2, scale.Dpi);
    const TChunkLayout layout = ChunkLayout(fill, r.bottom, cell.cx, cell.cy);
    if (chunk->Tile == 1) {
        if (layout.Copies <= 0 || cell.cy <= 0) return;
        // The strip holds only the rows of the chunks that land inside the bar, however tall
        // the skin's chunk picture is: a chunk centred on a thinner bar loses its top and
        // bottom rows as it would when drawn whole.
        const int top = std::max(r.top + layout.Y, r.top), bottom = std::min(r.top + layout.Y + cell.cy, r.bottom);
        if (bottom <= top) return;
        const int skipped = top - (r.top + layout.Y);
        TBitmap strip;
        strip.SetPixelFormat(TPixelFormat::pf24bit);
        strip.SetSize(fill, bottom - top);
        if (strip.Empty()) return;
        HDC s = strip.Canvas().Handle();
        FillSolidRect(s, RECT{0, 0, fill, bottom - top}, SkinKeyColor);
        // One chunk drawn, the rest copies of copies: a chunk one pixel wide costs no more.
        DrawSkinPart(s, ProgressChunkCell(*chunk), TSkinState::Normal, RECT{0, -skipped, cell.cx, cell.cy - skipped},
                     scale);
        for (int done = 1; done < layout.Copies;) {
            const int n = std::min(done, layout.Copies - done);
            BitBlt(s, done * cell.cx, 0, n * cell.cx, bottom - top, s, 0, 0, SRCCOPY);
            done += n;
        }
        const int x = ScaleSkinLength(chunk->Margins.Left, scale.Dpi) + inset;
        TransparentBlt(w, RECT{x, top, x + fill, bottom}, strip, SkinKeyColor);
        return;
    }
    const int height = std::max<int>(r.bottom - 2 * inset, 0);
    if (height <= 0) return;
    DrawSkinPart(w, ProgressChunk(*chunk), TSkinState::Normal, RECT{inset, inset, inset + fill, inset + height}, scale);
}

// ---- status bar ----------------------------------------------------------------------------

void DrawCellText(HDC dc, const RECT& cell, UINT alignment, bool enabled, const std::u16string& text) {
    const int mode = SetBkMode(dc, TRANSPARENT);
    const UINT f = alignment | DT_EXPANDTABS;
    RECT m = cell;
    DrawTextWide(dc, text, m, f | DT_CALCRECT | DT_NOCLIP);
    const int cw = cell.right - cell.left, ch = cell.bottom - cell.top;
    const int mw = m.right - m.left, mh = m.bottom - m.top;
    const int dy = (ch - mh) / 2 - 1;
    if (alignment & DT_CENTER) {
        OffsetRect(&m, (cw - mw) / 2, dy);
    } else {
        OffsetRect(&m, 0, dy);
        m.left = cell.left;
        m.right = cell.right;
    }
    COLORREF old = 0;
    if (!enabled) old = SetTextColor(dc, ColorToRGB(clBtnShadow));
    DrawTextWide(dc, text, m, f);
    if (!enabled) SetTextColor(dc, old);
    SetBkMode(dc, mode);
}

bool TSkinStatusBar::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            m.Result = 1;
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinStatusBar::PanelBackground(HDC dc, const RECT& cell, TSkinState bevel, const TSkinScale& scale) {
    TDataSkinObject* edges = FSkinData ? FSkinData->StatusBarEdges.get() : nullptr;
    if (edges && !edges->Bitmap.Empty()) {
        DrawSkinPart(dc, StatusPanelEdge(*edges), bevel, cell, scale);
        return;
    }
    if (bevel == TSkinState::Flat) return;
    const int line = ScaleSkinLength(1, scale.Dpi);
    const COLORREF topLeft = ColorToRGB(bevel == TSkinState::Normal ? clBtnShadow : clBtnHighlight);
    const COLORREF bottomRight = ColorToRGB(bevel == TSkinState::Normal ? clBtnHighlight : clBtnShadow);
    FillSolidRect(dc, RECT{cell.left, cell.top, cell.right, cell.top + line}, topLeft);
    FillSolidRect(dc, RECT{cell.left, cell.top, cell.left + line, cell.bottom}, topLeft);
    FillSolidRect(dc, RECT{cell.left, cell.bottom - line, cell.right, cell.bottom}, bottomRight);
    FillSolidRect(dc, RECT{cell.right - line, cell.top, cell.right, cell.bottom}, bottomRight);
}

void TSkinStatusBar::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData) return;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    if (W <= 0 || H <= 0) return;
    TBitmap& S = StatusScratch();
    S.SetSize(W, H);
    if (S.Empty()) return;
    HDC s = S.Canvas().Handle();
    const RECT all{0, 0, W, H};
    FillSolidRect(s, all, ColorToRGB(SkinButtonFace()));
    TSelectObject font(s, FView.Font());
    TDataSkinObject* edges = FSkinData->StatusBarEdges.get();
    TColor textColour = FSkinData->Colours.ButtonText;
    if (edges && edges->NormalColour2 != kSkinNoColour) textColour = edges->NormalColour2;
    const COLORREF oldText = SetTextColor(s, ColorToRGB(textColour));

    const TSkinScale scale = PaintScale(Dpi());
    const int pad = ScaleSkinLength(2, scale.Dpi);
    const bool simple = FView.StatusSimple();
    std::vector<int> ownerDrawn;
    if (simple) {
        PanelBackground(s, all, TSkinState::Normal, scale);
        std::u16string text = FView.StatusSimpleText();
        if (text.empty()) text = u" ";
        RECT cell = all;
        InflateRect(&cell, -pad, 0);
        DrawCellText(s, cell, FView.RightToLeft() ? DT_RIGHT : DT_LEFT, true, text);
    } else {
        const int count = FView.StatusCellCount();
        for (int i = 0; i < count; ++i) {
            RECT cell{};
            if (!SendMessageW(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell))) continue;
            cell.right += pad;
            if (i == count - 1) cell.right = all.right;
            TStatusCell panel = FView.StatusCell(i);
            const UINT align = panel.Align == TPanelAlign::Centre ? DT_CENTER
                               : panel.Align == TPanelAlign::Right ? DT_RIGHT
                                                                   : DT_LEFT;
            const TSkinState bevel = panel.Bevel == TPanelBevel::Raised ? TSkinState::Raised
                                     : panel.Bevel == TPanelBevel::None ? TSkinState::Flat
                                                                        : TSkinState::Normal;
            const bool ownerDraw = panel.OwnerDraw;
            std::u16string& text = panel.Text;
            PanelBackground(s, cell, bevel, scale);
            if (ownerDraw) {
                ownerDrawn.push_back(i);
                continue;
            }
            if (text.empty()) text = u" ";
            InflateRect(&cell, -pad, 0);
            DrawCellText(s, cell, align, true, text);
        }
    }
    SetTextColor(s, oldText);

    TDataSkinObject* extra = FSkinData->ExtraImages.get();
    if ((WindowStyle() & SBARS_SIZEGRIP) && extra && !extra->Bitmap.Empty()) {
        const TSkinPart grip = SizeGripGlyph(*extra);
        const SIZE c = SkinPartSize(grip);
        const int cx = ScaleSkinLength(c.cx, scale.Dpi), cy = ScaleSkinLength(c.cy, scale.Dpi);
        const int edge = ScaleSkinLength(1, scale.Dpi);
        DrawSkinPart(s, grip, TSkinState::Normal, RECT{W - edge - cx, H - edge - cy, W - edge, H - edge}, scale);
    }
    BitBlt(dc, rect.left, rect.top, W, H, s, 0, 0, SRCCOPY);
    FView.PaintChildControls(dc);
    for (int i : ownerDrawn) {
        RECT cell{};
        if (!SendMessageW(FHandle, SB_GETRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&cell))) continue;
        InflateRect(&cell, -pad, -pad);
        if (!FView.DrawStatusCell(i, dc, cell)) break;
    }
}

}  // namespace qx
