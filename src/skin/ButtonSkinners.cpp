#include "skin/ButtonSkinners.h"

#include "core/SkinScale.h"
#include "framework/Buttons.h"
#include "framework/Rtti.h"
#include "framework/WindowDpi.h"
#include "skin/SkinData.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinParts.h"

#include <algorithm>
#include <optional>

namespace qx {


// ---- radio button ---------------------------------------------------------------------------

void TSkinRadioButton::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor,
                              TCanvas* canvas) {
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    FSelfPaint = FControl ? TSelfPaint::On : TSelfPaint::Off;
    FTransparent = FControl && WantsTransparency();
}

bool TSkinRadioButton::BeforeMessage(TMessage& m) {
    const bool passOn = TSkinControl::BeforeMessage(m);
    // Without a glyph picture the control paints itself, from this very paint on.
    if ((m.Msg == WM_PAINT || m.Msg == WM_PRINT) && FSelfPaint == TSelfPaint::On && !HasGlyph()) FSelfPaint = TSelfPaint::Off;
    if ((m.Msg == WM_PAINT || m.Msg == WM_PRINT) && FSelfPaint == TSelfPaint::On) {
        PaintOwn(m);
        return false;
    }
    if (m.Msg == WM_ERASEBKGND && FTransparent) {
        EraseTransparent(m);
        m.Result = 1;
        return false;
    }
    return passOn;
}

void TSkinRadioButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case BM_SETCHECK:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case CM_EXIT:
            Repaint();
            break;
        default:
            TSkinControl::AfterMessage(m);
    }
}

std::optional<TSkinPart> TSkinRadioButton::GlyphPart() {
    if (!FSkinData) return std::nullopt;
    return RadioGlyphs(FSkinData->Buttons);
}

bool TSkinRadioButton::HasGlyph() {
    const std::optional<TSkinPart> part = GlyphPart();
    return part && part->Image && !part->Image->Empty() && part->Frames >= 1 &&
           part->Image->Width() / part->Frames > 0;
}

TSkinState TSkinRadioButton::GlyphState() const {
    const bool checked = FView.Check() == TCheckState::Checked;
    if (!FView.Enabled()) return checked ? TSkinState::CheckedDisabled : TSkinState::Disabled;
    return checked ? TSkinState::Checked : TSkinState::Normal;
}

void TSkinRadioButton::PaintSkin(HDC dc, const RECT& rect) {
    if (!HasGlyph()) {
        // No picture in the skin: the control paints itself from now on.
        FSelfPaint = TSelfPaint::Off;
        lastCell_ = 0;
        return;
    }
    const TSkinPart part = *GlyphPart();
    const SIZE cell = SkinPartSize(part);
    // The glyph at the window's scale, drawn from the skin's pictures scaled to it.
    const int dpi = Dpi();
    const int w = ScaleSkinLength(cell.cx, dpi), h = ScaleSkinLength(cell.cy, dpi);
    const TSkinState state = GlyphState();
    const LONG_PTR style = WindowStyle();
    RECT glyph{}, text = rect;
    glyph.top = rect.top + (rect.bottom - rect.top - h) / 2;
    glyph.bottom = glyph.top + h;
    UINT align = DT_LEFT;
    if (style & BS_LEFTTEXT) {
        glyph.right = rect.right - LeftTextInset();
        glyph.left = glyph.right - w;
        text.right = glyph.left - ScaleSkinLength(2, dpi);
        if (FView.RightToLeft()) align = DT_RIGHT;
    } else {
        glyph.left = rect.left;
        glyph.right = glyph.left + w;
        text.left = rect.left + w + ScaleSkinLength(2, dpi);
    }
    const UINT flags = align | DT_EXPANDTABS | DT_WORDBREAK;
    const bool onFace = FSelfPaint == TSelfPaint::On && !FTransparent;
    if (onFace) FillFace(dc, rect);
    // Over the face just filled, the glyph is one copy of a picture kept ready with its key in
    // the face's colour.
    DrawSkinGlyph(dc, part, state, glyph, PaintScale(dpi),
                  onFace ? std::optional<COLORREF>(ColorToRGB(SkinButtonFace())) : std::nullopt);
    lastCell_ = SkinPicture(part, state);
    lastGlyph_ = glyph;
    if (FSelfPaint == TSelfPaint::On) DrawCheckCaption(dc, text, flags);
}

void TSkinRadioButton::DrawCheckCaption(HDC dc, const RECT& textRect, UINT flags) {
    FCaption = FView.Caption();
    COLORREF color = GetTextColor(dc);
    if (FControl) color = FView.Enabled() ? FView.TextColor(color) : ColorToRGB(clBtnShadow);
    TSelectObject selected(dc, FView.Font());
    COLORREF oldText = SetTextColor(dc, color);
    // The DC's own background colour is put back after the caption; the control's saved
    // colour is not the place to keep it.
    const COLORREF oldBack = SetBkColor(dc, ColorToRGB(SkinButtonFace()));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    RECT text = textRect, m = textRect;
    DrawTextWide(dc, FCaption, m, flags | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(&text, 0, ((text.bottom - text.top) - m.bottom) / 2);
    if (GetFocus() == FHandle) DrawTextFocus(dc, flags, text);
    DrawTextWide(dc, FCaption, text, flags);
    SetBkMode(dc, oldMode);
    SetTextColor(dc, oldText);
    SetBkColor(dc, oldBack);
}

// ---- check box ------------------------------------------------------------------------------

std::optional<TSkinPart> TSkinCheckBox::GlyphPart() {
    if (!FSkinData) return std::nullopt;
    return CheckGlyphs(FSkinData->Buttons);
}

TSkinState TSkinCheckBox::GlyphState() const {
    const TCheckState check = FView.Check();
    if (check == TCheckState::Grayed) return FView.Enabled() ? TSkinState::Mixed : TSkinState::MixedDisabled;
    return TSkinRadioButton::GlyphState();
}

// ---- push button ----------------------------------------------------------------------------

TSkinButton::TSkinButton() : FBuffer(std::make_unique<TBitmap>()) {}

void TSkinButton::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    FTransparent = FControl && WantsTransparency();
}

bool TSkinButton::HasFace() const { return FSkinData && !FSkinData->Buttons.Bitmap.Empty(); }

bool TSkinButton::BeforeMessage(TMessage& m) {
    // Without a face picture the control paints and handles its presses itself.
    if (!HasFace()) return TSkinControl::BeforeMessage(m);
    switch (m.Msg) {
        case WM_PAINT:
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            m.Result = 1;
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (!FFocused && FHandle) SetFocus(FHandle);
            FState |= skPressed;
            PaintWindow(nullptr);
            if (FSelfPaint == TSelfPaint::Off && FControl) ForwardMouseDown(m);
            return false;
        default:
            return TSkinControl::BeforeMessage(m);
    }
}

void TSkinButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_SETTEXT:
            PaintWindow(nullptr);
            break;
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE) {
                FState |= skPressed;
                Repaint();
            }
            break;
        case WM_KEYUP:
            if (m.WParam == VK_SPACE) {
                FState &= ~skPressed;
                Repaint();
            }
            break;
        case WM_MOUSEMOVE:
            if (FEnabled && !(FState & skHot)) {
                FState |= skHot;
                Repaint();
            }
            if (FHandle) {
                TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
                TrackMouseEvent(&track);
            }
            break;
        case WM_MOUSELEAVE:
            FState &= ~(skHot | skPressed);
            Repaint();
            break;
        case WM_LBUTTONUP:
            if (FState & skPressed) {
                FState &= ~skPressed;
                Repaint();
                FireClick();
            }
            break;
        case CM_DIALOGKEY:
        case CM_FOCUSCHANGED:
            Repaint();
            break;
        default:
            TSkinControl::AfterMessage(m);
    }
}

void TSkinButton::FireClick() {
    if (FControl) {
        FControl->Click();
        return;
    }
    if (!FHandle) return;
    HWND parent = GetParent(FHandle);
    if (FNotifyByHandle)
        PostMessageW(parent, WM_COMMAND, 0, reinterpret_cast<LPARAM>(FHandle));
    else
        PostMessageW(parent, WM_COMMAND, static_cast<WPARAM>(GetDlgCtrlID(FHandle)), reinterpret_cast<LPARAM>(FHandle));
}

TSkinState TSkinButton::FaceState() const {
    if (!FEnabled) return TSkinState::Disabled;
    if (FState & skPressed) return TSkinState::Pressed;
    if (FState & skHot) return TSkinState::Hot;
    return FFocused ? TSkinState::Focused : TSkinState::Normal;
}

void TSkinButton::ReadPaintState() {
    FFocused = FView.Focused();
    FEnabled = FView.Enabled();
    FCaption = FView.Caption();
}

COLORREF TSkinButton::StateTextColor(TSkinState state, COLORREF base) const {
    const TDataSkinButton& b = FSkinData->Buttons;
    COLORREF color = base;
    if (state == TSkinState::Normal && b.HasNormalColour2)
        color = ColorToRGB(b.NormalColour2);
    else if (state == TSkinState::Hot && b.HasMouseOverColour2)
        color = ColorToRGB(b.MouseOverColour2);
    else if (state == TSkinState::Pressed && b.HasPressedColour2)
        color = ColorToRGB(b.PressedColour2);
    if (!FEnabled) color = ColorToRGB(clBtnShadow);
    return color;
}

std::optional<TSkinState> TSkinButton::BeginFacePaint(const RECT& rect) {
    if (!FSkinData || FSkinData->Buttons.Bitmap.Empty()) {
        lastCell_ = 0;
        return std::nullopt;
    }
    ReadPaintState();
    const TSkinState state = FaceState();
    lastCell_ = SkinPicture(PushButtonFace(FSkinData->Buttons), state);
    if (rect.right <= rect.left || rect.bottom <= rect.top) return std::nullopt;
    return state;
}

HDC TSkinButton::PrepareBuffer(TSkinState state, int W, int H, bool drawFace) {
    const RECT r{0, 0, W, H};
    FBuffer->SetPixelFormat(TPixelFormat::pf24bit);
    FBuffer->SetSize(W, H);
    HDC b = FBuffer->Canvas().Handle();
    if (FTransparent)
        CopyParentBackground(FControl, b);
    else
        FillFace(b, r);
    if (drawFace) DrawSkinPart(b, PushButtonFace(FSkinData->Buttons), state, r, PaintScale(Dpi()));
    return b;
}

void TSkinButton::GlyphCaptionFont(HFONT& font, COLORREF& color) const {
    font = FView.Font();
    color = FView.TextColor(ColorToRGB(FSkinData->Colours.ButtonText));
}

void TSkinButton::PaintSkin(HDC dc, const RECT& rect) {
    const std::optional<TSkinState> state = BeginFacePaint(rect);
    if (!state) return;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const RECT r{0, 0, W, H};
    HDC b = PrepareBuffer(*state, W, H, true);
    HFONT font = nullptr;
    COLORREF color = 0;
    GlyphCaptionFont(font, color);
    {
        TSelectObject selected(b, font);
        COLORREF oldText = SetTextColor(b, StateTextColor(*state, color));
        DrawCaption(FBuffer->Canvas(), r, DT_CENTER, FCaption);
        SetTextColor(b, oldText);
    }
    BitBlt(dc, rect.left, rect.top, W, H, b, 0, 0, SRCCOPY);
}

void TSkinButton::DrawCaption(TCanvas& canvas, const RECT& rect, UINT alignment, const std::u16string& text) {
    FCaption = ReplaceFirst(text, u"||", u"\r\n");
    HDC dc = canvas.Handle();
    const UINT f = alignment | DT_EXPANDTABS | DT_WORDBREAK;
    const int pad = ScaleSkinLength(2, Dpi());
    RECT m = rect;
    InflateRect(&m, -pad, -pad);
    SetBkMode(dc, TRANSPARENT);
    DrawTextWide(dc, FCaption, m, f | DT_CALCRECT | DT_NOCLIP);
    OffsetRect(&m, -m.left, -m.top);
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    const int w = m.right - m.left, h = m.bottom - m.top;
    if (alignment == DT_CENTER) {
        OffsetRect(&m, rect.left + (W - w) / 2, rect.top + (H - h) / 2 - 1);
    } else {
        OffsetRect(&m, 0, rect.top + (H - h) / 2 - 1);
        m.left = rect.left;
        m.right = rect.right;
    }
    DrawTextWide(dc, FCaption, m, f);
    SetBkMode(dc, OPAQUE);
    if (FFocused && !OptionSet(xoNoFocusRect)) {
        InflateRect(&m, pad, pad);
        DrawFocusRect(dc, &m);
    }
}

// ---- bit button -----------------------------------------------------------------------------

void TSkinBitButton::PaintSkin(HDC dc, const RECT& rect) {
    const std::optional<TSkinState> state = BeginFacePaint(rect);
    if (!state) return;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    ComposeGlyphButton(*state, W, H, true, false);
    BitBlt(dc, rect.left, rect.top, W, H, FBuffer->Canvas().Handle(), 0, 0, SRCCOPY);
}

void TSkinBitButton::ComposeGlyphButton(TSkinState state, int W, int H, bool drawFace, bool speedRules) {
    const RECT r{0, 0, W, H};
    HDC b = PrepareBuffer(state, W, H, drawFace);
    HFONT font = nullptr;
    COLORREF color = 0;
    GlyphCaptionFont(font, color);
    TSelectObject selected(b, font);
    COLORREF oldText = SetTextColor(b, StateTextColor(state, color));

    // The glyph cell: pressed shows cell 3, disabled cell 2.
    const int wanted = state == TSkinState::Pressed ? 3 : state == TSkinState::Disabled ? 2 : 1;
    TGlyphSettings* settings = FView.Glyphs();
    TBitmap* glyph = FView.GlyphPicture();
    int numGlyphs = settings ? settings->NumGlyphs() : 1;
    if (numGlyphs < 1) numGlyphs = 1;
    const int gw = glyph ? glyph->Width() / numGlyphs : 0, gh = glyph ? glyph->Height() : 0;

    if (speedRules && !glyph) {
        DrawCaption(FBuffer->Canvas(), r, DT_CENTER, FCaption);
        SetTextColor(b, oldText);
        return;
    }

    const int L = settings ? static_cast<int>(settings->Layout()) : 0;  // left, right, top, bottom
    const bool across = L <= 1;
    int M = settings ? settings->Margin() : -1;
    int S = settings ? settings->Spacing() : -1;
    const int givenM = M, givenS = S;

    FCaption = ReplaceFirst(FCaption, u"||", u"\r\n");
    RECT space = r;
    InflateRect(&space, -2, -2);
    if (across)
        space.right -= gw + 2;
    else
        space.bottom -= gh + 2;
    int tw = 0, th = 0;
    if (!FCaption.empty()) {
        RECT m = space;
        DrawTextWide(b, FCaption, m, DT_CALCRECT | DT_WORDBREAK);
        tw = m.right - m.left;
        th = m.bottom - m.top;
    }
    int gx = 0, gy = 0, tx = 0, ty = 0;
    if (across) {
        gy = (H - gh + 1) / 2;
        ty = (H - th + 1) / 2;
    } else {
        gx = (W - gw + 1) / 2;
        tx = (W - tw + 1) / 2;
    }
    if (tw == 0 || gw == 0) S = 0;
    const int free = across ? W : H, glen = across ? gw : gh, tlen = across ? tw : th;
    if (M == -1) {
        if (S == -1) {
            M = (free - (glen + tlen)) / 3;
            S = M;
        } else {
            M = (free - (glen + S + tlen)) / 2;
        }
    } else if (S == -1) {
        S = ((free - M - glen) - tlen) / 2;
    }
    if (speedRules && givenM == -1 && givenS != -1) M += 1;
    UINT flags = DT_WORDBREAK;
    switch (L) {
        case 0: gx = M; tx = M + gw + S; break;
        case 1: gx = W - M - gw; tx = gx - S - tw; flags |= DT_RIGHT; break;
        case 2: gy = M; ty = M + gh + S; flags |= DT_CENTER; break;
        default: gy = H - M - gh; ty = gy - S - th; flags |= DT_CENTER; break;
    }

    if (glyph && gw > 0) {
        const int cell = numGlyphs < wanted ? 1 : wanted;
        TBitmap piece;
        piece.SetPixelFormat(TPixelFormat::pf24bit);
        piece.SetSize(gw, gh);
        BitBlt(piece.Canvas().Handle(), 0, 0, gw, gh, glyph->Canvas().Handle(), (cell - 1) * gw, 0, SRCCOPY);
        if (wanted == 2) GrayBitmap(piece);
        // The bottom-left pixel names the transparent colour, as for the framework's glyphs.
        COLORREF key = GetPixel(piece.Canvas().Handle(), 0, gh - 1);
        TransparentBlt(b, RECT{gx, gy, gx + gw, gy + gh}, piece, key);
    }
    RECT text{tx, ty, tx + tw, ty + th};
    int oldMode = SetBkMode(b, TRANSPARENT);
    if (!FCaption.empty()) DrawTextWide(b, FCaption, text, flags);
    SetBkMode(b, oldMode);
    if (!FCaption.empty() && FFocused && !OptionSet(xoNoFocusRect)) {
        InflateRect(&text, 2, 2);
        DrawFocusRect(b, &text);
    }
    SetTextColor(b, oldText);
}

// ---- speed button ---------------------------------------------------------------------------

void TSkinSpeedButton::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool, TCanvas* canvas) {
    if (FAttached || !control) return;
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    HookControl(control);
    FCompanion = control;
    FEnabled = control->Enabled();
    if (FSkinForm) FSkinForm->RegisterControl(this);
    FAttached = true;
    FLife = TSkinnerLife::Skinned;
    FTransparent = WantsTransparency();
}

bool TSkinSpeedButton::BeforeMessage(TMessage& m) {
    if (!HasFace()) return TSkinButton::BeforeMessage(m);
    switch (m.Msg) {
        case WM_PAINT:
            PaintSpeed(reinterpret_cast<HDC>(m.WParam));
            m.Result = 1;
            return false;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            CallPrevious(m);
            FState |= skPressed;
            PaintOnControl();
            return false;
        default:
            return TSkinButton::BeforeMessage(m);
    }
}

void TSkinSpeedButton::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_KEYDOWN:
            if (m.WParam == VK_SPACE) {
                FState |= skPressed;
                PaintOnControl();
            }
            break;
        case WM_KEYUP:
            if (m.WParam != VK_SPACE) break;
            [[fallthrough]];
        case WM_LBUTTONUP:
            FState &= ~skPressed;
            PaintOnControl();
            break;
        case CM_MOUSEENTER:
            FState |= skHot;
            PaintOnControl();
            break;
        case CM_MOUSELEAVE:
            FState &= ~(skHot | skPressed);
            if (FControl && FControl->Visible()) PaintOnControl();
            break;
        default:
            TSkinButton::AfterMessage(m);
    }
}

void TSkinSpeedButton::PaintOnControl() {
    if (!FControl || !FControl->Parent() || !FControl->Parent()->HandleAllocated()) return;
    TWindowDC dc(FControl->Parent()->Handle());
    if (!dc.Get()) return;
    TSavedDC saved(dc.Get());
    SetViewportOrgEx(dc.Get(), FControl->Left(), FControl->Top(), nullptr);
    IntersectClipRect(dc.Get(), 0, 0, FControl->Width(), FControl->Height());
    PaintSpeed(dc.Get());
}

void TSkinSpeedButton::PaintSpeed(HDC dc) {
    if (FPainting || !dc || !FControl || !HasFace()) return;
    FPainting = true;
    struct TDone {
        bool& flag;
        ~TDone() { flag = false; }
    } done{FPainting};
    try {
        TSkinState state = (FState & skPressed) ? TSkinState::Pressed
                           : (FState & skHot)   ? TSkinState::Hot
                                                : TSkinState::Normal;
        if (!FView.Enabled()) state = TSkinState::Disabled;
        if (FView.Down()) state = TSkinState::Pressed;
        lastCell_ = SkinPicture(PushButtonFace(FSkinData->Buttons), state);
        FEnabled = state != TSkinState::Disabled;
        FFocused = false;
        FCaption = FView.Caption();
        const RECT client = FControl->ClientRect();
        const int W = client.right - client.left, H = client.bottom - client.top;
        if (W <= 0 || H <= 0) return;
        const bool face = state == TSkinState::Pressed || state == TSkinState::Hot || !FView.Flat();
        ComposeGlyphButton(state, W, H, face, true);
        BitBlt(dc, client.left, client.top, W, H, FBuffer->Canvas().Handle(), 0, 0, SRCCOPY);
    } catch (...) {
        // Painting swallows its own failures.
    }
}

// ---- menu button ----------------------------------------------------------------------------

TSkinState TSkinMenuButton::FaceState() const {
    if (!FEnabled) return TSkinState::Disabled;
    if (FState & skPressed) return TSkinState::Pressed;
    return ((FState & skHot) || FFocused) ? TSkinState::Hot : TSkinState::Normal;
}

void TSkinMenuButton::PaintSkin(HDC dc, const RECT& rect) {
    const std::optional<TSkinState> state = BeginFacePaint(rect);
    if (!state) return;
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    HDC b = PrepareBuffer(*state, W, H, true);
    HFONT font = nullptr;
    COLORREF color = 0;
    GlyphCaptionFont(font, color);
    TSelectObject selected(b, font);
    COLORREF oldText = SetTextColor(b, StateTextColor(*state, color));
    FCaption = ReplaceFirst(FCaption, u"||", u"\r\n");
    const int dpi = Dpi();
    const auto S = [dpi](int length) { return ScaleSkinLength(length, dpi); };
    // The drop-down arrow's strip on the right, and the arrow in it, at the button's scale.
    const int strip = S(17), pad = S(2);
    RECT m{0, 0, W - strip, H};
    InflateRect(&m, -pad, -pad);
    int tw = 0, th = 0;
    if (!FCaption.empty()) {
        DrawTextWide(b, FCaption, m, DT_CALCRECT | DT_WORDBREAK);
        tw = m.right - m.left;
        th = m.bottom - m.top;
    }
    RECT text{(W - strip - tw) / 2 + pad, (H - th + 1) / 2, 0, 0};
    text.right = text.left + tw;
    text.bottom = text.top + th;
    int oldMode = SetBkMode(b, TRANSPARENT);
    if (!FCaption.empty()) DrawTextWide(b, FCaption, text, DT_WORDBREAK);
    SetBkMode(b, oldMode);
    SetTextColor(b, oldText);
    if (FFocused && !OptionSet(xoNoFocusRect) && !FCaption.empty()) {
        InflateRect(&text, pad, pad);
        DrawFocusRect(b, &text);
    }
    const int c = H / 2 + S(2);
    POINT pts[3] = {{W - S(12), c}, {W - S(15), c - S(3)}, {W - S(9), c - S(3)}};
    const COLORREF arrow = ColorToRGB(FEnabled ? clWindowText : clBtnShadow);
    TBrushHandle brush(CreateSolidBrush(arrow));
    TPenHandle pen(CreatePen(PS_SOLID, 1, arrow));
    {
        TSelectObject sb(b, brush.Get());
        TSelectObject sp(b, pen.Get());
        Polygon(b, pts, 3);
    }
    BitBlt(dc, rect.left, rect.top, W, H, b, 0, 0, SRCCOPY);
}

}  // namespace qx
