#include "skin/MediaSkinners.h"

#include "core/ControlGeometry.h"
#include "core/SkinScale.h"
#include "framework/Accessible.h"
#include "framework/ExtCtrls.h"
#include "framework/MPlayer.h"
#include "framework/WindowDpi.h"
#include "skin/SkinData.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinParts.h"

#include <windowsx.h>

#include <string>

namespace qx {

namespace {

const char* const kButtonNames[kMediaButtonCount] = {"MPPLAY", "MPPAUSE", "MPSTOP",   "MPNEXT", "MPPREV",
                                                     "MPSTEP", "MPBACK",  "MPRECORD", "MPEJECT"};
const char* const kGlyphPrefixes[3] = {"EN", "DI", "CL"};
constexpr COLORREF kGlyphKey = 0x808080;

}  // namespace

// ---- the panel over a media player ---------------------------------------------------------

TMediaPlayerOverlay::TMediaPlayerOverlay(TSkinMP* skinner, const TControlView& player)
    : TCustomControl(nullptr), skinner_(skinner), player_(player) {
    controlStyle_ &= ~(csAcceptsControls | csClickEvents | csDoubleClicks);
    controlStyle_ |= csOpaque;
    SetVisible(false);
    if (TSkinData* s = skinner ? skinner->SkinData() : nullptr) SetTag(s->DisableTag());
    LoadGlyphs();
    if (HWND window = PlayerWindow()) {
        parentWindow_ = GetParent(window);
        HandleNeeded();
        Follow();
    }
}

TMediaPlayerOverlay::~TMediaPlayerOverlay() = default;

void TMediaPlayerOverlay::LoadGlyphs() {
    for (int b = 0; b < kMediaButtonCount; ++b)
        for (int k = 0; k < 3; ++k) {
            const std::string name = std::string(kGlyphPrefixes[k]) + "_" + kButtonNames[b];
            const std::wstring wide(name.begin(), name.end());
            auto bitmap = std::make_unique<TBitmap>();
            LoadBitmapResource(*bitmap, wide.c_str());
            glyphs_[static_cast<std::size_t>(b)][static_cast<std::size_t>(k)] = std::move(bitmap);
        }
}

void TMediaPlayerOverlay::CreateParams(TCreateParams& p) {
    TCustomControl::CreateParams(p);
    p.WndParent = parentWindow_;
    p.Style &= ~WS_TABSTOP;
    p.WinClassName = u"TMediaPlayerOverlay";
}

void TMediaPlayerOverlay::Follow() {
    HWND target = PlayerWindow();
    if (!target || !HandleAllocated()) return;
    RECT r{};
    GetWindowRect(target, &r);
    MapWindowPoints(nullptr, parentWindow_, reinterpret_cast<POINT*>(&r), 2);
    HWND before = GetWindow(target, GW_HWNDPREV);
    // The player's own visibility, not its ancestors': the panel shares the player's parent, so
    // it shows and hides with it; a player skinned while its window or page is hidden (or its
    // form has drawing off) still has its panel when they show.
    const bool shown = (GetWindowLongPtrW(target, GWL_STYLE) & WS_VISIBLE) != 0;
    UINT flags = SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW);
    if (before == Handle()) flags |= SWP_NOZORDER;
    SetWindowPos(Handle(), before ? before : HWND_TOP, r.left, r.top, RectWidth(r), RectHeight(r), flags);
    InvalidateRect(Handle(), nullptr, FALSE);
}

void TMediaPlayerOverlay::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_SKINNEDQUERY: m.Result = 1; return;
        case WM_ERASEBKGND: m.Result = 1; return;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK: {
            TCustomControl::WndProc(m);
            HWND player = PlayerWindow();
            if (!player) return;
            const int b = player_.MediaButtonAt(GET_X_LPARAM(m.LParam));
            pressed_ = b >= 0 && ((player_.MediaBar().Enabled >> b) & 1) ? b : -1;
            Invalidate();
            ++busy_;
            {
                // The player may be destroyed by its own handling of the press.
                TSkinDispatchScope scope;
                SendMessageW(player, m.Msg, m.WParam, m.LParam);
            }
            --busy_;
            return;
        }
        case WM_LBUTTONUP: {
            TCustomControl::WndProc(m);
            const int pressed = pressed_;
            pressed_ = -1;
            Invalidate();
            HWND player = PlayerWindow();
            if (!player) return;
            // A release away from the pressed button only lets the player go.
            LPARAM at = m.LParam;
            if (pressed < 0 || player_.MediaButtonAt(GET_X_LPARAM(m.LParam)) != pressed) at = MAKELPARAM(-1, -1);
            ++busy_;
            {
                TSkinDispatchScope scope;
                SendMessageW(player, WM_LBUTTONUP, m.WParam, at);
            }
            --busy_;
            return;
        }
        default: TCustomControl::WndProc(m);
    }
}

void TMediaPlayerOverlay::Paint() {
    TCanvas& c = Canvas();
    HDC dc = c.Handle();
    const RECT all = ClientRect();
    TSkinData* skin = skinner_ ? skinner_->SkinData() : nullptr;
    FillSolidRect(dc, all, ColorToRGB(skin ? skin->Colours.ButtonFace : clBtnFace));
    lastGlyph_.fill(0);
    if (!player_.HasMediaBar()) return;
    const TMediaBar bar = player_.MediaBar();
    const int count = bar.VisibleCount;
    const int w = EqualCellWidth(RectWidth(all), count);
    const int dpi = WindowDpi(HandleAllocated() ? Handle() : nullptr);
    const int push = ScaleSkinLength(1, dpi);
    int x = 0;
    for (int b = 0; b < kMediaButtonCount; ++b) {
        if (!((bar.Visible >> b) & 1)) continue;
        RECT cell{x, 0, x + w, all.bottom};
        x += w;
        const bool enabled = (bar.Enabled >> b) & 1;
        const bool pressed = b == pressed_;
        if (skin && !skin->Buttons.Bitmap.Empty())
            DrawSkinPart(dc, MediaButtonFace(skin->Buttons),
                         pressed ? TSkinState::Pressed : !enabled ? TSkinState::Disabled : TSkinState::Normal, cell,
                         skin->ScaleAt(dpi));
        else
            DrawFrameControl(dc, &cell, DFC_BUTTON,
                             DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0) | (enabled ? 0 : DFCS_INACTIVE));
        const int kind = !enabled ? 1 : ((bar.Coloured >> b) & 1) ? 2 : 0;
        lastGlyph_[static_cast<std::size_t>(b)] = "EDC"[kind];
        RECT glyphArea = cell;
        if (pressed) OffsetRect(&glyphArea, push, push);
        TBitmap& glyph = *glyphs_[static_cast<std::size_t>(b)][static_cast<std::size_t>(kind)];
        if (glyph.Empty()) {
            DrawMediaGlyph(dc, glyphArea, static_cast<TMPBtnType>(b),
                           enabled ? ColorToRGB(skin ? skin->Colours.ButtonText : clBtnText) : GetSysColor(COLOR_GRAYTEXT));
        } else {
            const int gx = glyphArea.left + (RectWidth(glyphArea) - glyph.Width()) / 2;
            const int gy = glyphArea.top + (RectHeight(glyphArea) - glyph.Height()) / 2;
            TransparentBlt(dc, RECT{gx, gy, gx + glyph.Width(), gy + glyph.Height()}, glyph, kGlyphKey);
        }
        // The player has the focus under the panel: the panel shows the keyboard's button.
        if (b == bar.Focused) DrawMediaFocus(dc, cell);
    }
}

void TMediaPlayerOverlay::DescribeAccessible(TAccessibleInfo& info) const { info.Hidden = true; }

void TMediaOverlayDeleter::operator()(TMediaPlayerOverlay* overlay) const {
    if (!overlay) return;
    if (!overlay->Busy()) {
        delete overlay;
        return;
    }
    overlay->Orphan();
    if (overlay->HandleAllocated()) ShowWindow(overlay->Handle(), SW_HIDE);
    PostCall([overlay] { TMediaOverlayDeleter{}(overlay); });
}

// ---- the media player skinner --------------------------------------------------------------

TSkinMP::TSkinMP() = default;

TSkinMP::~TSkinMP() { FOverlay.reset(); }

void TSkinMP::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    if (FView.HasMediaBar()) FOverlay.reset(new TMediaPlayerOverlay(this, FView));
}

void TSkinMP::Detach() {
    TSkinControl::Detach();
    if (FLife != TSkinnerLife::Destroyed) FOverlay.reset();
}

void TSkinMP::Release() {
    TSkinControl::Release();
    FOverlay.reset();
}

void TSkinMP::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_WINDOWPOSCHANGED:
        case CM_VISIBLECHANGED:
        case WM_SHOWWINDOW:
            if (FOverlay) FOverlay->Follow();
            break;
        case WM_PAINT:
        case CM_ENABLEDCHANGED:
            // The player painted under the panel: the panel shows its state.
            if (FOverlay && FOverlay->HandleAllocated()) FOverlay->Invalidate();
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

// ---- glyph check boxes and radio buttons ---------------------------------------------------

void TSkinObjImage::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    AssignGlyphs();
}

void TSkinObjImage::AssignGlyphs() {
    if (!FControl || !FSkinData) return;
    const bool radio = FKind == gkRadio;
    TBitmap& skinCells = radio ? FSkinData->Buttons.RadioBitmap : FSkinData->Buttons.CheckBitmap;
    const int n = radio ? FSkinData->Buttons.RadioButtonFrame : FSkinData->Buttons.CheckButtonFrame;
    if (skinCells.Empty() || n < 1) return;
    if (!FView.TakesGlyphStrip()) return;
    // The control draws the cells as given: they are given at its scale (the skin's own when
    // no scaled strip can be had).
    TBitmap* scaled = FSkinData->ScaledPictures().Strip(skinCells, n, false, TFrameMargins{}, Dpi());
    TBitmap& source = scaled ? *scaled : skinCells;
    // The skin's cells for unchecked, checked, disabled unchecked and disabled checked, in the
    // same numbering the check box and radio button skinners use.
    int cells[4] = {1, 2, 3, 4};
    if ((radio && n == 8) || (!radio && n == 12)) {
        cells[1] = 5;
        cells[2] = 4;
        cells[3] = 8;
    }
    const int sourceWidth = source.Width() / n, sourceHeight = source.Height();
    if (sourceWidth <= 0 || sourceHeight <= 0) return;
    // The control draws a cell at its own size from its left edge, centred from top to
    // bottom, so no more of a cell than the control's size can show: the strip keeps that
    // much (the cell's left part, its middle rows), not a skin's picture four times over.
    const RECT client = FControl->ClientRect();
    const int cw = std::min(sourceWidth, std::max<int>(client.right - client.left, 1));
    const int ch = std::min(sourceHeight, std::max<int>(client.bottom - client.top, 1));
    const int top = (sourceHeight - ch) / 2;
    cropped_ = cw < sourceWidth || ch < sourceHeight;
    TBitmap strip;
    strip.SetPixelFormat(TPixelFormat::pf24bit);
    strip.SetSize(4 * cw, ch);
    if (strip.Empty()) return;
    FillSolidRect(strip.Canvas().Handle(), RECT{0, 0, 4 * cw, ch}, SkinKeyColor);
    for (int i = 0; i < 4; ++i)
        BitBlt(strip.Canvas().Handle(), i * cw, 0, cw, ch, source.Canvas().Handle(),
               (std::min(cells[i], n) - 1) * sourceWidth, top, SRCCOPY);
    FView.SetGlyphStrip(&strip);
}

void TSkinObjImage::AfterMessage(TMessage& m) {
    // A control grown past the cells it was given shows more of them.
    if (m.Msg == WM_SIZE && cropped_) AssignGlyphs();
}

void TSkinObjImage::Detach() {
    FView.SetGlyphStrip(nullptr);
    TSkinControl::Detach();
}

void TSkinObjImage::SkinChanged() {
    TSkinControl::SkinChanged();
    AssignGlyphs();
}

}  // namespace qx
