// Scroll bar skinners. The platform's scroll bars are not repainted in place: each one is covered
// by an overlay window in the same parent that draws the bar from the skin and hands every press
// to the real bar, which keeps doing the scrolling. The overlay only mirrors the bar's geometry
// and state.
#pragma once
#include "core/ControlGeometry.h"
#include "skin/ControlSkinners.h"

#include <memory>

namespace qx {

enum TOverlayKind : std::uint8_t { okHorizontal = 0, okVertical = 1, okControl = 2 };

// A borderless window over one scroll bar. Its window is a child of the scrolled window's
// parent, just above the scrolled window in the Z order.
class TScrollOverlay : public TCustomControl {
public:
    explicit TScrollOverlay(TSkinControl* skinner);
    ~TScrollOverlay() override;
    // A framework target; for a control bar the axis comes from the control's "Kind".
    void Bind(TSkinControl* skinner, TControl* control, TOverlayKind kind);
    void BindWindow(TSkinControl* skinner, HWND target, TOverlayKind kind);
    // Follows the bar's place and visibility (hidden when there is no bar to cover).
    void Place();
    void HideBar();
    bool Shown() const { return FShown; }
    // Read through the bar under it, never itself.
    void DescribeAccessible(TAccessibleInfo& info) const override;
    bool Pressed() const { return FPressed; }
    int HotZone() const { return FHotZone; }
    void SetHotZone(int zone);
    TOverlayKind Kind() const { return FKind; }
    HWND Target() const { return FTargetHandle; }
    bool Vertical() const { return FVertical; }
    // The bar in the scrolled window's client coordinates (screen coordinates of the bar are
    // FOrigin), and the thumb the last paint drew along the axis.
    RECT BarRect() const { return FBarRect; }
    TThumbSpan LastThumb() const { return lastThumb_; }
    // The arrow cells (from 1) the last paint drew.
    int LastFirstArrowCell() const { return lastArrows_[0]; }
    int LastSecondArrowCell() const { return lastArrows_[1]; }
    // Handling a press: freeing waits until it is over.
    bool Busy() const { return busy_ > 0; }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint() override;

private:
    struct TBarInfo {
        RECT Screen{};  // the bar in screen coordinates
        int ThumbStart = 0, ThumbEnd = 0;
        DWORD State = 0;
    };
    bool BarInfo(TBarInfo& info) const;
    // The bar's face as the skin draws it, thumb at start (len long; none when 0 or disabled).
    void DrawFace(TBitmap& work, TSkinData& skin, const TSkinScale& scale, const TBarInfo& info, int t, int start,
                  int len, bool disabled);
    int ZoneAt(POINT client) const;
    void Press(TMessage& message);
    void Release(TMessage& message);
    POINT CursorOnBar() const;

    int FLength = 0;
    int FThumbStart = 0, FThumbEnd = 0;
    POINT FOrigin{};
    POINT FDownPos{};
    int FDownThumbStart = 0;
    bool FVertical = false;
    int FHotZone = szNone;
    int FArrowSize = 0;
    HWND FTargetHandle = nullptr;
    TControl* FTarget = nullptr;
    TSkinControl* FSkinner = nullptr;
    TOverlayKind FKind = okHorizontal;
    RECT FBarRect{};
    bool FShown = false;
    bool FPressed = false;
    HWND parentWindow_ = nullptr;
    int busy_ = 0;
    std::shared_ptr<bool> alive_;
    TThumbSpan lastThumb_{};
    int lastArrows_[2]{};
    // The face last drawn and what it was drawn from: the scrolled window's own paint asks for
    // the overlay again, and an unchanged bar is then shown again instead of drawn again.
    struct TFaceKey {
        const TSkinData* Skin = nullptr;
        std::uint64_t Generation = 0;
        TColor Face = 0;
        int Dpi = 0, Width = 0, Height = 0, ArrowSize = 0, ThumbStart = 0, ThumbEnd = 0, HotZone = 0;
        bool Pressed = false, Disabled = false, Focused = false;
        bool operator==(const TFaceKey&) const = default;
    };
    TFaceKey faceKey_{};
    std::unique_ptr<TBitmap> face_;
};

// Frees an overlay now, or after the press it is handling has returned.
struct TOverlayDeleter {
    void operator()(TScrollOverlay* overlay) const;
};
using TOverlayPtr = std::unique_ptr<TScrollOverlay, TOverlayDeleter>;

// Framework controls with window scroll bars (memos, lists, scroll boxes): two overlays, and a
// flat border in the skin's colours unless the control has none.
class TSkinScrollbar : public TSkinControl {
public:
    TSkinScrollbar();
    ~TSkinScrollbar() override;
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    virtual void AttachScrollbars(TControl* control, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas);
    void Detach() override;
    void Release() override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    TScrollOverlay* HorzBar() const { return FHorzBar.get(); }
    TScrollOverlay* VertBar() const { return FVertBar.get(); }
    bool DrawBorder() const { return FDrawBorder; }

protected:
    void PlaceBars();
    void HideBars();
    void FreeBars();
    void PaintCorner(HDC dc);
    TOverlayPtr FHorzBar;
    TOverlayPtr FVertBar;
    bool FDrawBorder = false;
    bool FHidingBars = false;  // the covered bars are out of the style while the system paints
};

class TSkinHeader;

// List views: as the scroll bar skinner, and the column header gets a header skinner.
class TSkinListView : public TSkinScrollbar {
public:
    using TSkinScrollbar::TSkinScrollbar;
    void AttachScrollbars(TControl* control, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) override;
    TSkinHeader* HeaderSkinner() const { return FHeaderSkinner; }

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TSkinHeader* FHeaderSkinner = nullptr;  // owned by the skin manager
};

// Raw windows with window scroll bars.
class TSkinScrollbarH : public TSkinControl {
public:
    TSkinScrollbarH();
    ~TSkinScrollbarH() override;
    void AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) override;
    void Detach() override;
    void Release() override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    TScrollOverlay* HorzBar() const { return FHorzBar.get(); }
    TScrollOverlay* VertBar() const { return FVertBar.get(); }

private:
    TOverlayPtr FHorzBar;
    TOverlayPtr FVertBar;
};

// Stand-alone framework scroll bar controls: one overlay of the control kind.
class TSkinScControl : public TSkinControl {
public:
    TSkinScControl();
    ~TSkinScControl() override;
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void Detach() override;
    void Release() override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    TScrollOverlay* Bar() const { return FBar.get(); }

private:
    TOverlayPtr FBar;
};

}  // namespace qx
