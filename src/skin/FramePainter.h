// The skinned window's non-client area: the frame's widths at the window's scale, the size the
// window takes around its client area, painting of the frame pieces and the caption strip, the
// window icon, and the window region cut from the transparent parts of the frame. A part of the
// form skinner, which owns it and answers for the window through TFramePainterHost.
#pragma once
#include "core/DisplayScale.h"
#include "framework/Graphics.h"
#include "core/MaskRects.h"
#include "skin/FramePieceRuns.h"
#include "skin/ScaledPictures.h"
#include "skin/SkinMessages.h"
#include "skin/Skinner.h"

#include <windows.h>

namespace qx {

class TSkinData;
class TCustomForm;
class TSkinMenuBar;
class TCaptionButtons;

// What the frame painter needs of the window it paints.
class TFramePainterHost {
public:
    virtual HWND Handle() const = 0;
    virtual TSkinData* SkinData() const = 0;
    // The framework form behind the window, or none for a raw window.
    virtual TCustomForm* Form() const = 0;
    virtual bool Active() const = 0;
    virtual bool Released() const = 0;
    virtual TSkinnerLife Life() const = 0;
    virtual TWindowState WindowState() const = 0;
    virtual TMdiKind MdiKind() const = 0;
    virtual TBorderKind BorderKind() const = 0;
    // Whether the skin draws this window's frame at all.
    virtual bool SkinFrame() const = 0;
    virtual bool IsDialog() const = 0;
    virtual bool IsChild() const = 0;
    virtual TSkinMenuBar* MenuBar() const = 0;
    virtual TCaptionButtons& CaptionButtons() = 0;
    // Places the caption buttons and writes the title on the strip through the caption text
    // painter; false when the window has none (the buttons are then placed by their own rules).
    virtual bool WriteCaptionText(HDC strip, const RECT& captionRect) = 0;
    virtual HDC WindowDc() = 0;

protected:
    ~TFramePainterHost() = default;
};

// How the frame shows a new region: painted again at once, or by the paint a size change brings
// anyway (the frame is only marked for it, so that it is painted once, after the region is set),
// or by the size change that is about to follow (the region is made for the size the window is
// being given, and that change repaints the whole frame).
enum class TRegionPaint : std::uint8_t { Now, WithSizeChange, BeforeSizeChange };

class TFramePainter final {
public:
    explicit TFramePainter(TFramePainterHost& host);
    TFramePainter(const TFramePainter&) = delete;
    TFramePainter& operator=(const TFramePainter&) = delete;

    // ---- geometry ----
    // The frame's widths from the skin at the window's dpi, and the caption buttons again.
    void MeasureFrame();
    // Sizes the window around its client area (kept, or the one the form asked for). With
    // shapeFirst the window is given the region of its new size before it takes that size.
    void FitToSkin(bool keepClient, bool shapeFirst = false);
    // The client area the window had under its own frame.
    void RecordClientRect(const RECT& client) { FClientRect = client; }
    // The dpi the platform announced; counts from the next measure on.
    void AnnounceDpi(int dpi) { FAnnouncedDpi = dpi; }

    int BorderLeft() const { return FBorderLeft; }
    int CaptionHeight() const { return FCaptionHeight; }
    int BorderRight() const { return FBorderRight; }
    int BorderBottom() const { return FBorderBottom; }
    int MenuHeight() const { return FMenuHeight; }
    void SetMenuHeight(int height) { FMenuHeight = height; }
    // The window's dpi as the frame was last measured, and the skin drawn at it.
    int Dpi() const { return FDpi; }
    TSkinScale SkinScale() const;
    // A length of the skin at the window's scale.
    int Scaled(int length) const;

    // ---- painting ----
    void PaintFrame(HDC dc = nullptr);
    // Composes the caption strip (pieces, buttons, and the title through the caption text
    // painter when one is set) and shows it on dc.
    void PaintCaption(HDC dc);
    // Draws piece index of the frame into rect of dc.
    void PaintBorderPiece(TFramePiece index, const RECT& rect, HDC dc);
    // Draws the caption strip's pieces into strip (window width x caption height).
    void ComposeCaptionStrip(HDC strip, const RECT& captionRect, bool minimized);
    TBitmap& CaptionBitmap() { return FCaptionBitmap; }

    // ---- the caption's font ----
    // The title's font at the window's dpi as the frame was last measured: the platform's
    // caption font for that dpi, made again when the dpi changes.
    HFONT CaptionFont();

    // ---- the window icon ----
    // The window's small icon drawn once at the small-icon size of the window's dpi (again only
    // when the window shows another icon or the size changed).
    TBitmap& LoadWindowIcon();
    // The next LoadWindowIcon draws the icon again even if the window still names the same one.
    void ForgetWindowIcon() { FIconDrawn = nullptr; }
    // Icons drawn into the icon bitmap so far.
    int IconsDrawn() const { return FIconsDrawn; }
    void DrawWindowIcon(HDC dc, const RECT& rect);

    // ---- the window region ----
    void UpdateRegion(TRegionPaint paint = TRegionPaint::Now);
    // The region of the window at that size: the client area and the frame pieces' opaque
    // pixels, placed from the pieces' runs.
    TRegionHandle MakeRegion(int width, int height);
    // Takes the region away from a living window (it is shaped by the system again).
    void RemoveRegion();
    // The window deleted, or will delete, the region it owned.
    void ForgetRegion();
    bool RegionOwned() const { return FRegionOwned; }
    // The window is being given its new region: the messages that brings neither move nor
    // resize it, and leave its frame as it was measured.
    bool SettingRegion() const { return FSettingRegion; }
    HRGN Region() const { return FRegionOwned ? FRegion : nullptr; }
    // Frame pieces drawn and read back for a region so far, because their shape could not be
    // placed from their runs.
    int PiecesDrawnForRegion() const { return FPiecesDrawnForRegion; }

private:
    // The dpi the window is at now: the one the platform last announced, else its own.
    int CurrentDpi() const;
    // A frame piece's share of the region, drawn into a bitmap of rect's size and read back:
    // for pieces whose shape cannot be placed from their runs.
    std::vector<TMaskRect> PaintedPieceRects(TFramePiece index, const RECT& rect);
    // Marks the frame (and not the client area) to be painted with the next paint.
    void InvalidateFrame();
    // Gives the window region, made for a window of size, to the window.
    void SetRegion(TRegionHandle region, SIZE size, TRegionPaint paint);
    // Draws icon into FIconBitmap at cx x cy.
    void DrawIconBitmap(HICON icon, int cx, int cy);

    TFramePainterHost& FHost;
    int FBorderLeft = 0, FCaptionHeight = 0, FBorderRight = 0, FBorderBottom = 0;
    int FMenuHeight = 0;
    int FDpi = BaseDpi;
    int FAnnouncedDpi = 0;  // from the last WM_DPICHANGED, 0 before one
    RECT FClientRect{};
    RECT FWindowRect{};
    TFontHandle FCaptionFont;
    int FCaptionFontDpi = 0;  // the dpi FCaptionFont was made at, 0 before it was
    HICON FIcon = nullptr;
    HICON FIconDrawn = nullptr;  // the icon FIconBitmap holds, none before one was drawn
    int FIconsDrawn = 0;
    TBitmap FIconBitmap;
    TBitmap FCaptionBitmap;
    HRGN FRegion = nullptr;  // owned by the window once set
    bool FRegionOwned = false;
    bool FSettingRegion = false;
    SIZE FRegionSize{};
    TFramePieceRuns FPieceRuns;
    int FPiecesDrawnForRegion = 0;
};

}  // namespace qx
