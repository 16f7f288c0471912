#include "skin/FramePainter.h"

#include "core/MaskRects.h"
#include "core/SkinScale.h"
#include "core/TimedSteps.h"
#include "framework/Forms.h"
#include "framework/WindowDpi.h"
#include "skin/CaptionButtons.h"
#include "skin/FrameParts.h"
#include "skin/MenuBar.h"
#include "skin/ScaledFrame.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace qx {

namespace {

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

TDataSkinObject& Piece(TSkinData& skin, TFramePiece index) {
    switch (index) {
        case fpLeft: return skin.Borders[sbLeft];
        case fpRight: return skin.Borders[sbRight];
        case fpTop: return skin.Borders[sbTop];
        default: return skin.Borders[sbBottom];
    }
}

bool CentringPosition(TPosition p) {
    return p == TPosition::poScreenCenter || p == TPosition::poDesktopCenter || p == TPosition::poMainFormCenter ||
           p == TPosition::poOwnerFormCenter;
}

RECT WorkAreaOf(HWND window) {
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (HMONITOR monitor = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)) {
        MONITORINFO info{sizeof info};
        if (GetMonitorInfoW(monitor, &info)) area = info.rcWork;
    }
    return area;
}

}  // namespace

TFramePainter::TFramePainter(TFramePainterHost& host) : FHost(host) {
    FIconBitmap.SetPixelFormat(TPixelFormat::pf24bit);
    FCaptionBitmap.SetPixelFormat(TPixelFormat::pf24bit);
}

TSkinScale TFramePainter::SkinScale() const {
    TSkinData* skin = FHost.SkinData();
    return skin ? skin->ScaleAt(FDpi) : TSkinScale{FDpi, nullptr};
}

int TFramePainter::Scaled(int length) const { return ScaleSkinLength(length, FDpi); }

// ---- geometry ------------------------------------------------------------------------------

int TFramePainter::CurrentDpi() const { return FAnnouncedDpi > 0 ? FAnnouncedDpi : WindowDpi(FHost.Handle()); }

void TFramePainter::MeasureFrame() {
    if (!FHost.SkinData() || FHost.SkinData()->IsLoading()) return;
    FDpi = CurrentDpi();
    // The title's font made at another scale is made again now, before anything paints with it
    // (the window icon is drawn again as the caption buttons are rebuilt below).
    if (FCaptionFontDpi != 0 && FCaptionFontDpi != FDpi) CaptionFont();
    if (FHost.BorderKind() == bkNoCaption) {
        FBorderLeft = FCaptionHeight = FBorderRight = FBorderBottom = FMenuHeight = 0;
    } else {
        TSkinData& s = *FHost.SkinData();
        // A frame piece's picture may be far larger than any frame: no side takes more than a
        // quarter of the screen, so the window and what paints it stay screen-sized.
        const int most = std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) / 4;
        auto side = [this, most](int extent, int frames) { return std::clamp(Scaled(FramePart(extent, frames)), 0, most); };
        FCaptionHeight = side(s.Borders[sbTop].Bitmap.Height(), s.Borders[sbTop].Frame);
        FBorderLeft = side(s.Borders[sbLeft].Bitmap.Width(), s.Borders[sbLeft].Frame);
        FBorderRight = side(s.Borders[sbRight].Bitmap.Width(), s.Borders[sbRight].Frame);
        FBorderBottom = side(s.Borders[sbBottom].Bitmap.Height(), s.Borders[sbBottom].Frame);
        if (FHost.MenuBar()) FMenuHeight = SystemMetricAt(SM_CYMENU, FDpi);
    }
    FHost.CaptionButtons().Rebuild(*FHost.SkinData());
    // The pieces' runs were read from the skin at the scale measured before.
    FPieceRuns.Clear();
}

void TFramePainter::FitToSkin(bool keepClient, bool shapeFirst) {
    UINT flags = SWP_FRAMECHANGED | SWP_NOZORDER | SWP_NOMOVE;
    if (FHost.Life() == TSkinnerLife::Reskinning) flags |= SWP_NOACTIVATE;
    if (FHost.WindowState() == wsMaximized) {
        SetWindowPos(FHost.Handle(), nullptr, 0, 0, 0, 0, flags | SWP_NOSIZE);
        return;
    }
    RECT window{};
    GetWindowRect(FHost.Handle(), &window);
    if (FHost.IsDialog() || FHost.Life() == TSkinnerLife::Reskinning)
        GetClientRect(FHost.Handle(), &FClientRect);
    int width = Width(FClientRect) + FBorderLeft + FBorderRight;
    int clientHeight = Height(FClientRect);
    if (keepClient) {
        GetClientRect(FHost.Handle(), &FClientRect);
        clientHeight = Height(FClientRect);
    } else if (FHost.Form()) {
        // The size the form asked for, whatever frame it had when it was measured.
        const SIZE wanted = FHost.Form()->WantedClientSize();
        width = wanted.cx + FBorderLeft + FBorderRight;
        clientHeight = FHost.MdiKind() == mkChild ? wanted.cy : wanted.cy - FMenuHeight;
    }
    const int height = clientHeight + FCaptionHeight + FBorderBottom + FMenuHeight;
    const RECT area = WorkAreaOf(FHost.Handle());
    if (FHost.IsDialog() && !keepClient && FHost.SkinData()) {
        // A dialog grows until its whole title fits, within the work area; its controls stay centred.
        const int length = GetWindowTextLengthW(FHost.Handle());
        std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
        text.resize(static_cast<std::size_t>(std::max(GetWindowTextW(FHost.Handle(), text.data(), length + 1), 0)));
        SIZE extent{};
        if (HDC dc = GetWindowDC(FHost.Handle())) {
            TSelectObject font(dc, CaptionFont());
            GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
            ReleaseDC(FHost.Handle(), dc);
        }
        const TSkinMargins& margins = FHost.SkinData()->Title.Margins;
        const std::int64_t title = std::int64_t{Scaled(margins.Left)} + extent.cx + Scaled(margins.Right);
        const int needed = static_cast<int>(std::clamp<std::int64_t>(title, 0, Width(area)));
        if (width < needed) {
            const int shift = (needed - width) / 2;
            for (HWND child = GetTopWindow(FHost.Handle()); child; child = GetWindow(child, GW_HWNDNEXT)) {
                RECT r{};
                GetWindowRect(child, &r);
                POINT p{r.left, r.top};
                ScreenToClient(FHost.Handle(), &p);
                SetWindowPos(child, nullptr, p.x + shift, p.y, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOSENDCHANGING | SWP_NOOWNERZORDER);
            }
            width = needed;
        }
    }
    int left = window.left, top = window.top;
    const bool centred = FHost.IsDialog() || (FHost.Form() && CentringPosition(FHost.Form()->Position()));
    if (centred && !FHost.IsChild()) {
        // The new frame keeps the window where its centre was, inside the work area.
        left = window.left - (width - Width(window)) / 2;
        top = window.top - (height - Height(window)) / 2;
        left = std::max<int>(area.left, std::min<int>(left, area.right - width));
        top = std::max<int>(area.top, std::min<int>(top, area.bottom - height));
        flags &= ~SWP_NOMOVE;
    }
    if (shapeFirst && FHost.SkinFrame() && width > 0 && height > 0) {
        // Under Wine a region set on a window that has just been resized waits for the display
        // to catch up with the resize (some 5 ms at start); set first, it costs what setting
        // it on a plain window does, and the resize that follows paints the frame once.
        TTimedStep step("fit: region of the new size set");
        SetRegion(MakeRegion(width, height), SIZE{width, height}, TRegionPaint::BeforeSizeChange);
    }
    TTimedStep step("fit: window sized");
    SetWindowPos(FHost.Handle(), nullptr, left, top, width, height, flags);
}

// ---- painting ------------------------------------------------------------------------------

void TFramePainter::PaintBorderPiece(TFramePiece index, const RECT& rect, HDC dc) {
    if (!FHost.SkinData() || Width(rect) < 0 || Height(rect) < 0) return;
    const TSkinState state = FHost.Active() ? TSkinState::Normal : TSkinState::Inactive;
    DrawSkinPart(dc, FramePiece(Piece(*FHost.SkinData(), index)), state, rect, SkinScale());
}

void TFramePainter::ComposeCaptionStrip(HDC strip, const RECT& captionRect, bool minimized) {
    RECT window{};
    GetWindowRect(FHost.Handle(), &window);
    const int width = Width(window), height = Height(window);
    if (minimized) {
        TBrushHandle face(CreateSolidBrush(ColorToRGB(FHost.SkinData()->Colours.ButtonFace)));
        const RECT all{0, 0, width, height};
        FillRect(strip, &all, face.Get());
    } else {
        // The corners come from the side pieces, composed here rather than read back from the
        // screen: a window that is covered still gets its caption right.
        PaintBorderPiece(fpLeft, RECT{0, 0, FBorderLeft, height}, strip);
        PaintBorderPiece(fpRight, RECT{width - FBorderRight, 0, width, height}, strip);
    }
    PaintBorderPiece(fpTop, captionRect, strip);
}

void TFramePainter::PaintCaption(HDC dc) {
    if (!FHost.SkinData()) return;
    RECT window{};
    GetWindowRect(FHost.Handle(), &window);
    const int width = Width(window);
    const bool minimized = FHost.WindowState() == wsMinimized;
    const int stripHeight = minimized ? Height(window) : FCaptionHeight;
    FCaptionBitmap.SetSize(width, stripHeight);
    if (FCaptionBitmap.Empty()) return;
    HDC strip = FCaptionBitmap.Canvas().Handle();
    const RECT captionRect = minimized ? RECT{0, 0, width, FCaptionHeight}
                                       : RECT{FBorderLeft, 0, width - FBorderRight, FCaptionHeight};
    ComposeCaptionStrip(strip, captionRect, minimized);
    if (!FHost.WriteCaptionText(strip, captionRect)) FHost.CaptionButtons().Layout();
    FHost.CaptionButtons().PaintAll(FCaptionBitmap);
    BitBlt(dc, 0, 0, width, stripHeight, strip, 0, 0, SRCCOPY);
    SetBkMode(dc, OPAQUE);
}

void TFramePainter::PaintFrame(HDC given) {
    if (FHost.Life() != TSkinnerLife::Skinned && FHost.Life() != TSkinnerLife::Reskinning) return;
    if (FHost.BorderKind() == bkNoCaption || !FHost.SkinData()) return;
    if (FHost.MdiKind() == mkChild && FHost.WindowState() == wsMaximized) return;
    if (!IsWindow(FHost.Handle())) return;
    HDC dc = given ? given : FHost.WindowDc();
    if (!dc) return;
    try {
        GetWindowRect(FHost.Handle(), &FWindowRect);
        const int width = Width(FWindowRect), height = Height(FWindowRect);
        if (FHost.WindowState() == wsMinimized) {
            PaintCaption(dc);
        } else {
            PaintBorderPiece(fpLeft, RECT{0, 0, FBorderLeft, height}, dc);
            PaintBorderPiece(fpRight, RECT{width - FBorderRight, 0, width, height}, dc);
            PaintBorderPiece(fpBottom, RECT{FBorderLeft, height - FBorderBottom, width - FBorderRight, height}, dc);
            PaintCaption(dc);
            if (FMenuHeight > 0) {
                const RECT band{FBorderLeft, FCaptionHeight, width - FBorderRight, FCaptionHeight + FMenuHeight};
                if (TSkinMenuBar* bar = FHost.MenuBar())
                    bar->Paint(dc, band);
                else
                    FillRect(dc, &band, FHost.SkinData()->FaceBrush());
            }
        }
    } catch (...) {
        // A bad element never stops the frame from being painted again later.
    }
    FHost.CaptionButtons().ResetStates();
    if (!given) ReleaseDC(FHost.Handle(), dc);
}

// ---- the caption's font ------------------------------------------------------------------

HFONT TFramePainter::CaptionFont() {
    if (FCaptionFont && FCaptionFontDpi == FDpi) return FCaptionFont.Get();
    NONCLIENTMETRICSW metrics{};
    LOGFONTW font{};
    if (NonClientMetricsAt(FDpi, metrics)) {
        font = metrics.lfCaptionFont;
    } else if (TSkinData* skin = FHost.SkinData()) {
        // The skin's font is the system's, at the system's dpi.
        font = skin->CaptionFont().LogFont();
        font.lfHeight = ScaleBetween(font.lfHeight, FDpi, SystemDpi());
    } else {
        return FCaptionFont.Get();
    }
    // The old font is deleted here, once: it is selected only while a caption is drawn.
    if (HFONT made = CreateFontIndirectW(&font)) {
        FCaptionFont.Reset(made);
        FCaptionFontDpi = FDpi;
    }
    return FCaptionFont.Get();
}

// ---- the window icon ---------------------------------------------------------------------

TBitmap& TFramePainter::LoadWindowIcon() {
    const int dpi = CurrentDpi();
    const int cx = SystemMetricAt(SM_CXSMICON, dpi), cy = SystemMetricAt(SM_CYSMICON, dpi);
    FIcon = reinterpret_cast<HICON>(SendMessageW(FHost.Handle(), WM_GETICON, ICON_SMALL, 0));
    if (!FIcon) FIcon = reinterpret_cast<HICON>(SendMessageW(FHost.Handle(), WM_GETICON, ICON_BIG, 0));
    // A window without an icon of its own shows its class's, or the system's, as a caption does.
    if (!FIcon) FIcon = reinterpret_cast<HICON>(GetClassLongPtrW(FHost.Handle(), GCLP_HICONSM));
    if (!FIcon) FIcon = reinterpret_cast<HICON>(GetClassLongPtrW(FHost.Handle(), GCLP_HICON));
    if (!FIcon) FIcon = LoadIconW(nullptr, IDI_APPLICATION);  // shared: never destroyed
    if (!FIcon) return FIconBitmap;  // the bitmap keeps what it had
    // The frame is measured at attach and recorded at start, each asking for the icon: an icon
    // handle stands for one picture, so the same icon at the same size is not drawn again.
    if (FIcon == FIconDrawn && FIconBitmap.Width() == cx && FIconBitmap.Height() == cy) return FIconBitmap;
    DrawIconBitmap(FIcon, cx, cy);
    return FIconBitmap;
}

namespace {

// The size of the icon's picture, or 0 x 0 when it cannot be read.
SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return SIZE{};
    BITMAP b{};
    SIZE size{};
    // A monochrome icon's mask holds the AND and XOR halves one above the other.
    if (info.hbmColor && GetObjectW(info.hbmColor, sizeof b, &b))
        size = SIZE{b.bmWidth, b.bmHeight};
    else if (info.hbmMask && GetObjectW(info.hbmMask, sizeof b, &b))
        size = SIZE{b.bmWidth, b.bmHeight / 2};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

}  // namespace

void TFramePainter::DrawIconBitmap(HICON icon, int cx, int cy) {
    TTimedStep step("window icon drawn");
    FIconBitmap.SetPixelFormat(TPixelFormat::pf24bit);
    FIconBitmap.SetSize(cx, cy);
    FIconDrawn = nullptr;
    if (FIconBitmap.Empty()) return;
    HDC b = FIconBitmap.Canvas().Handle();
    TBrushHandle key(CreateSolidBrush(SkinKeyColor));
    const RECT all{0, 0, cx, cy};
    FillRect(b, &all, key.Get());
    // An icon of another size is copied at the small size from its resource, which picks the
    // picture made for that size instead of scaling this one; one already of that size (as a
    // window's small icon usually is) is that picture, and copying it cost some 2 ms under Wine.
    const SIZE size = IconSize(icon);
    HICON copy = size.cx == cx && size.cy == cy ? nullptr
                                                : static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, LR_COPYFROMRESOURCE));
    DrawIconEx(b, 0, 0, copy ? copy : icon, cx, cy, 0, nullptr, DI_NORMAL);
    if (copy) DestroyIcon(copy);
    GdiFlush();
    FIconDrawn = icon;
    ++FIconsDrawn;
}

void TFramePainter::DrawWindowIcon(HDC dc, const RECT& rect) {
    if (FIconBitmap.Empty()) return;
    TransparentBlt(dc, RECT{rect.left, rect.top, rect.left + FIconBitmap.Width(), rect.top + FIconBitmap.Height()},
                   FIconBitmap, SkinKeyColor);
}

// ---- the window region -------------------------------------------------------------------

void TFramePainter::RemoveRegion() {
    if (!FRegionOwned) return;
    SetWindowRgn(FHost.Handle(), nullptr, TRUE);
    ForgetRegion();
}

void TFramePainter::ForgetRegion() {
    FRegion = nullptr;
    FRegionOwned = false;
}

void TFramePainter::InvalidateFrame() {
    const HWND window = FHost.Handle();
    RECT outer{}, client{};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    POINT origin{0, 0};
    ClientToScreen(window, &origin);
    // The update region is given in client coordinates: the frame lies around (and left of and
    // above) the client's origin.
    TRegionHandle frame(CreateRectRgn(outer.left - origin.x, outer.top - origin.y, outer.right - origin.x,
                                      outer.bottom - origin.y));
    TRegionHandle inside(CreateRectRgnIndirect(&client));
    if (!frame || !inside) return;
    CombineRgn(frame.Get(), frame.Get(), inside.Get(), RGN_DIFF);
    RedrawWindow(window, nullptr, frame.Get(), RDW_INVALIDATE | RDW_FRAME | RDW_NOCHILDREN);
}

std::vector<TMaskRect> TFramePainter::PaintedPieceRects(TFramePiece index, const RECT& r) {
    TBitmap scratch;
    scratch.SetPixelFormat(TPixelFormat::pf24bit);
    scratch.SetSize(Width(r), Height(r));
    if (scratch.Empty()) return {};
    ++FPiecesDrawnForRegion;
    PaintBorderPiece(index, RECT{0, 0, Width(r), Height(r)}, scratch.Canvas().Handle());
    std::vector<TMaskRect> rects = MaskToRects(OpaqueMask(scratch, 1, 1, 1, SkinKeyColor), scratch.Width(),
                                               scratch.Height(), kMaxRegionRects / 4);
    for (TMaskRect& m : rects) m = TMaskRect{m.Left + r.left, m.Top + r.top, m.Right + r.left, m.Bottom + r.top};
    return rects;
}

TRegionHandle TFramePainter::MakeRegion(int width, int height) {
    if (!FHost.SkinData()) return TRegionHandle(CreateRectRgn(0, 0, width, height));
    TSkinData& s = *FHost.SkinData();
    TRegionHandle region;
    if (s.Borders[sbRight].Trans + s.Borders[sbTop].Trans + 2 * s.Borders[sbLeft].Trans == 0) {
        region.Reset(CreateRectRgn(0, 0, width, height));
    } else {
        // The client area, as a rectangle region takes it (corners in either order), and each
        // frame piece's opaque pixels.
        std::vector<TMaskRect> rects{{std::min(FBorderLeft, width - FBorderRight),
                                      std::min(FCaptionHeight, height - FBorderBottom),
                                      std::max(FBorderLeft, width - FBorderRight),
                                      std::max(FCaptionHeight, height - FBorderBottom)}};
        if (FHost.BorderKind() != bkNoCaption) {
            const TSkinState state = FHost.Active() ? TSkinState::Normal : TSkinState::Inactive;
            auto addPiece = [&](TFramePiece index, const RECT& r, bool fromImage) {
                if (!fromImage || Width(r) <= 0 || Height(r) <= 0) {
                    rects.push_back({r.left, r.top, std::max(r.left, r.right), std::max(r.top, r.bottom)});
                    return;
                }
                const TSkinPart part = ScaledSkinPart(FramePiece(Piece(s, index)), SkinScale(), state);
                std::optional<std::vector<TMaskRect>> placed = FPieceRuns.Rects(part, state, r, kMaxRegionRects / 4);
                if (!placed) placed = PaintedPieceRects(index, r);
                rects.insert(rects.end(), placed->begin(), placed->end());
            };
            addPiece(fpLeft, RECT{0, 0, FBorderLeft, height}, s.Borders[sbLeft].Keyed() && height > 1);
            addPiece(fpRight, RECT{width - FBorderRight, 0, width, height}, s.Borders[sbRight].Keyed() && height > 1);
            addPiece(fpBottom, RECT{FBorderLeft, height - FBorderBottom, width - FBorderRight, height},
                     s.Borders[sbBottom].Keyed() && FBorderBottom >= 2);
            const RECT topRect{FBorderLeft, 0, width - FBorderRight, FCaptionHeight};
            addPiece(fpTop, topRect, s.Borders[sbTop].Keyed() && FCaptionHeight > 1 && Width(topRect) > 0);
        }
        region = RegionFromRects(UniteRects(std::move(rects)));
    }
    // Four bounded pieces can still make more bands together than a region may hold: the
    // frame is then kept whole rather than shaped.
    if (RegionRectCount(region.Get()) > kMaxRegionRects) region.Reset(CreateRectRgn(0, 0, width, height));
    return region;
}

void TFramePainter::UpdateRegion(TRegionPaint paint) {
    if (!FHost.SkinFrame() || FHost.Life() == TSkinnerLife::Destroyed || FHost.Released() || !FHost.SkinData())
        return;
    RECT window{};
    GetWindowRect(FHost.Handle(), &window);
    const int width = Width(window), height = Height(window);
    if (width * height == 0) return;
    if (FHost.MdiKind() == mkChild && FHost.WindowState() != wsNormal) return;
    if (FRegionOwned && width == FRegionSize.cx && height == FRegionSize.cy && FHost.MdiKind() != mkChild &&
        FHost.Life() != TSkinnerLife::Reskinning)
        return;
    SetRegion(MakeRegion(width, height), SIZE{width, height}, paint);
}

void TFramePainter::SetRegion(TRegionHandle region, SIZE size, TRegionPaint paint) {
    FRegionSize = size;
    // The window owns the region from here on and deletes it when it is replaced.
    FRegion = region.Release();
    // Repainting at once would paint the frame, erase the client and its children, and the
    // size change would still paint the frame after: it is marked for that paint instead,
    // since only frame pixels enter or leave the region.
    const bool now = paint == TRegionPaint::Now;
    FSettingRegion = true;
    const bool set = SetWindowRgn(FHost.Handle(), FRegion, now ? TRUE : FALSE) != 0;
    FSettingRegion = false;
    if (set) {
        FRegionOwned = true;
        if (paint == TRegionPaint::WithSizeChange) InvalidateFrame();
    } else {
        DeleteObject(FRegion);
        FRegion = nullptr;
        FRegionOwned = false;
    }
}

}  // namespace qx
