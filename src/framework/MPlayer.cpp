#include "framework/MPlayer.h"

#include "core/ControlGeometry.h"
#include "framework/Gdi.h"

#include <windowsx.h>

#include <vector>

namespace qx {

const TEnumInfo MPBtnTypeInfo{"TMPBtnType",
                              {"btPlay", "btPause", "btStop", "btNext", "btPrev", "btStep", "btBack", "btRecord",
                               "btEject"}};

const TClassInfo& TMediaPlayer::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMediaPlayer>("TMediaPlayer", &TCustomControl::StaticClassInfo())
            .Set("VisibleButtons", &TMediaPlayer::VisibleButtons, &TMediaPlayer::SetVisibleButtons, MPBtnTypeInfo)
            .Set("EnabledButtons", &TMediaPlayer::EnabledButtons, &TMediaPlayer::SetEnabledButtons, MPBtnTypeInfo)
            .Set("ColoredButtons", &TMediaPlayer::ColoredButtons, &TMediaPlayer::SetColoredButtons, MPBtnTypeInfo)
            .Creatable()
            .Build();
    return info;
}

TMediaPlayer::TMediaPlayer(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ &= ~(csAcceptsControls | csClickEvents);
    controlStyle_ |= csOpaque;
    width_ = 253;
    height_ = 30;
}

void TMediaPlayer::SetVisibleButtons(TButtonSet v) {
    v &= kAllMediaButtons;
    if (v == visible_) return;
    visible_ = v;
    Invalidate();
}
void TMediaPlayer::SetEnabledButtons(TButtonSet v) {
    v &= kAllMediaButtons;
    if (v == enabled_) return;
    enabled_ = v;
    Invalidate();
}
void TMediaPlayer::SetColoredButtons(TButtonSet v) {
    v &= kAllMediaButtons;
    if (v == colored_) return;
    colored_ = v;
    Invalidate();
}

int TMediaPlayer::VisibleCount() const {
    int n = 0;
    for (int b = 0; b < kMediaButtonCount; ++b) n += (visible_ >> b) & 1;
    return n;
}

int TMediaPlayer::ButtonAt(int x) const {
    const int cell = EqualCellAt(Width(), VisibleCount(), x);
    if (cell < 0) return -1;
    int seen = 0;
    for (int b = 0; b < kMediaButtonCount; ++b)
        if ((visible_ >> b) & 1 && seen++ == cell) return b;
    return -1;
}

void TMediaPlayer::Paint() {
    TCanvas& c = Canvas();
    RECT all = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(all);
    const int w = EqualCellWidth(Width(), VisibleCount());
    int x = 0;
    for (int b = 0; b < kMediaButtonCount; ++b) {
        if (!((visible_ >> b) & 1)) continue;
        RECT cell{x, 0, x + w, all.bottom};
        x += w;
        const bool enabled = Enabled() && ((enabled_ >> b) & 1);
        UINT state = DFCS_BUTTONPUSH;
        if (b == pressed_) state |= DFCS_PUSHED;
        if (!enabled) state |= DFCS_INACTIVE;
        DrawFrameControl(c.Handle(), &cell, DFC_BUTTON, state);
        if (b == pressed_) OffsetRect(&cell, 1, 1);
        COLORREF ink = enabled ? ((colored_ >> b) & 1 ? RGB(0, 96, 0) : RGB(0, 0, 0)) : GetSysColor(COLOR_GRAYTEXT);
        DrawMediaGlyph(c.Handle(), cell, static_cast<TMPBtnType>(b), ink);
    }
}

void TMediaPlayer::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const int b = ButtonAt(GET_X_LPARAM(m.LParam));
            if (Enabled() && b >= 0 && ((enabled_ >> b) & 1)) {
                pressed_ = b;
                Invalidate();
            }
            break;
        }
        case WM_LBUTTONUP: {
            const int pressed = pressed_;
            pressed_ = -1;
            if (pressed >= 0) Invalidate();
            TCustomControl::WndProc(m);
            if (pressed >= 0 && ButtonAt(GET_X_LPARAM(m.LParam)) == pressed && OnClick)
                OnClick(this, static_cast<TMPBtnType>(pressed));
            return;
        }
        default: break;
    }
    TCustomControl::WndProc(m);
}

void DrawMediaGlyph(HDC dc, const RECT& rect, TMPBtnType button, COLORREF color) {
    const int cx = (rect.left + rect.right) / 2, cy = (rect.top + rect.bottom) / 2;
    TBrushHandle brush(CreateSolidBrush(color));
    TPenHandle pen(CreatePen(PS_SOLID, 1, color));
    TSelectObject b(dc, brush.Get()), p(dc, pen.Get());
    auto poly = [dc](std::vector<POINT> pts) { Polygon(dc, pts.data(), static_cast<int>(pts.size())); };
    auto bar = [dc](int l, int t, int r, int bt) { Rectangle(dc, l, t, r, bt); };
    switch (button) {
        case btPlay: poly({{cx - 3, cy - 5}, {cx + 3, cy}, {cx - 3, cy + 5}}); break;
        case btPause:
            bar(cx - 4, cy - 4, cx - 1, cy + 5);
            bar(cx + 1, cy - 4, cx + 4, cy + 5);
            break;
        case btStop: bar(cx - 4, cy - 4, cx + 4, cy + 4); break;
        case btNext:
            poly({{cx - 4, cy - 4}, {cx + 1, cy}, {cx - 4, cy + 4}});
            bar(cx + 2, cy - 4, cx + 4, cy + 5);
            break;
        case btPrev:
            poly({{cx + 4, cy - 4}, {cx - 1, cy}, {cx + 4, cy + 4}});
            bar(cx - 4, cy - 4, cx - 2, cy + 5);
            break;
        case btStep:
            poly({{cx - 5, cy - 4}, {cx, cy}, {cx - 5, cy + 4}});
            poly({{cx, cy - 4}, {cx + 5, cy}, {cx, cy + 4}});
            break;
        case btBack:
            poly({{cx + 5, cy - 4}, {cx, cy}, {cx + 5, cy + 4}});
            poly({{cx, cy - 4}, {cx - 5, cy}, {cx, cy + 4}});
            break;
        case btRecord: Ellipse(dc, cx - 4, cy - 4, cx + 5, cy + 5); break;
        case btEject:
            poly({{cx - 5, cy + 1}, {cx, cy - 4}, {cx + 5, cy + 1}});
            bar(cx - 5, cy + 3, cx + 6, cy + 5);
            break;
    }
}

}  // namespace qx
