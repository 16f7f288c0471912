#include "framework/MPlayer.h"

#include "core/ControlGeometry.h"
#include "framework/Accessible.h"
#include "framework/Gdi.h"

#include <oleacc.h>
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
    SetTabStop(true);
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
        if (b == FocusedButton()) DrawMediaFocus(c.Handle(), cell);
    }
}

bool TMediaPlayer::Usable(int b) const {
    return b >= 0 && b < kMediaButtonCount && ((visible_ >> b) & 1) && ((enabled_ >> b) & 1);
}

int TMediaPlayer::NextUsable(int from, bool forward) const {
    for (int b = from + (forward ? 1 : -1); b >= 0 && b < kMediaButtonCount; b += forward ? 1 : -1)
        if (Usable(b)) return b;
    return from;
}

int TMediaPlayer::FocusedButton() const {
    if (!Focused()) return -1;
    if (Usable(key_)) return key_;
    return NextUsable(-1, true) >= 0 ? NextUsable(-1, true) : -1;
}

void TMediaPlayer::MoveKeyboardTo(int b) {
    if (!Usable(b)) return;
    key_ = b;
    Invalidate();
    // The buttons are the bar's parts in bar order: the part's number is its place among the shown.
    int place = 0;
    for (int i = 0; i < b; ++i) place += (visible_ >> i) & 1;
    NotifyAccessibleItemEvent(this, place, EVENT_OBJECT_FOCUS);
}

void TMediaPlayer::ClickButton(int b) {
    if (!Enabled() || !Usable(b)) return;
    if (OnClick) OnClick(this, static_cast<TMPBtnType>(b));
}

void TMediaPlayer::DescribeAccessible(TAccessibleInfo& info) const { info.Role = ROLE_SYSTEM_TOOLBAR; }

void TMediaPlayer::DescribeAccessibleItems(std::vector<TAccessibleItem>& items) const {
    static const char16_t* const names[kMediaButtonCount] = {u"Play", u"Pause", u"Stop", u"Next", u"Prev",
                                                             u"Step", u"Back", u"Record", u"Eject"};
    const int w = EqualCellWidth(Width(), VisibleCount());
    const int focused = FocusedButton();
    int x = 0;
    for (int b = 0; b < kMediaButtonCount; ++b) {
        if (!((visible_ >> b) & 1)) continue;
        TAccessibleItem item;
        item.Role = ROLE_SYSTEM_PUSHBUTTON;
        item.Name = names[b];
        item.Bounds = RECT{x, 0, x + w, Height()};
        x += w;
        if (!((enabled_ >> b) & 1)) {
            item.State = STATE_SYSTEM_UNAVAILABLE;
        } else {
            item.State = STATE_SYSTEM_FOCUSABLE | (b == focused ? STATE_SYSTEM_FOCUSED : 0) |
                         (b == pressed_ ? STATE_SYSTEM_PRESSED : 0);
            item.DefaultAction = kActionPress;
        }
        items.push_back(std::move(item));
    }
}

void TMediaPlayer::DoAccessibleItemAction(int index) {
    int seen = 0;
    for (int b = 0; b < kMediaButtonCount; ++b)
        if ((visible_ >> b) & 1 && seen++ == index) return ClickButton(b);
}

void TMediaPlayer::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            const int b = ButtonAt(GET_X_LPARAM(m.LParam));
            if (Enabled() && b >= 0 && ((enabled_ >> b) & 1)) {
                pressed_ = b;
                key_ = b;
                if (CanFocus()) SetFocus();
                Invalidate();
            }
            break;
        }
        case WM_GETDLGCODE:
            // The arrows move along the bar, as they move through the buttons of a tool bar.
            m.Result = DLGC_WANTARROWS;
            return;
        case WM_KEYDOWN: {
            const int at = FocusedButton();
            switch (m.WParam) {
                case VK_LEFT:
                case VK_UP: MoveKeyboardTo(NextUsable(at, false)); break;
                case VK_RIGHT:
                case VK_DOWN: MoveKeyboardTo(NextUsable(at, true)); break;
                case VK_HOME: MoveKeyboardTo(NextUsable(-1, true)); break;
                case VK_END: MoveKeyboardTo(NextUsable(kMediaButtonCount, false)); break;
                case VK_SPACE: ClickButton(at); break;
                default: break;
            }
            break;
        }
        case CM_DIALOGKEY:
            // Enter on the focused bar presses its button, as Enter presses a focused push button.
            if (m.WParam == VK_RETURN && Focused() && FocusedButton() >= 0) {
                ClickButton(FocusedButton());
                m.Result = 1;
                return;
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS: Invalidate(); break;
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

void DrawMediaFocus(HDC dc, const RECT& cell) {
    RECT focus = cell;
    InflateRect(&focus, -4, -4);
    if (focus.right > focus.left && focus.bottom > focus.top) {
        // The focus rectangle inverts what is under it in the text colour; a known one keeps it seen.
        const COLORREF text = SetTextColor(dc, RGB(0, 0, 0)), back = SetBkColor(dc, RGB(255, 255, 255));
        DrawFocusRect(dc, &focus);
        SetTextColor(dc, text);
        SetBkColor(dc, back);
    }
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
