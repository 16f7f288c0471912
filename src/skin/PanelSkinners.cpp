#include "skin/PanelSkinners.h"

#include "core/SkinScale.h"
#include "skin/SkinData.h"
#include "skin/ControlSkinnerHost.h"

namespace qx {

void TSkinBox::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (!control) return;
    FOwnColor = ownColor;
    FSkinData = skinData;
    FCanvas = canvas;
    FSkinForm = form;
    FHandle = TControlView(nullptr, control).CurrentWindow();
    WatchControl(control);
    FView = TControlView(FHandle, control);
    if (FSkinForm) FSkinForm->RegisterControl(this);
    if (FOwnColor) {
        SyncParentBackground(true);
        FSavedColor = control->Color();
        control->SetColor(SkinButtonFace());
    }
}

}  // namespace qx

namespace qx {

// ---- nested dialog page --------------------------------------------------------------------

bool TSkinBoxH::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_ERASEBKGND: {
            RECT r{};
            GetWindowRect(FHandle, &r);
            OffsetRect(&r, -r.left, -r.top);
            FillFace(reinterpret_cast<HDC>(m.WParam), r);
            m.Result = 0;
            return false;
        }
        case WM_CTLCOLORSTATIC:
            CallPrevious(m);
            if (FSkinData) m.Result = reinterpret_cast<LRESULT>(FSkinData->FaceBrush());
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

// ---- group box -----------------------------------------------------------------------------

void TSkinGroupBox::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    if (FControl) FSelfPaint = TSelfPaint::On;
}

bool TSkinGroupBox::BeforeMessage(TMessage& m) {
    const bool passOn = TSkinControl::BeforeMessage(m);
    if (!passOn || FSelfPaint == TSelfPaint::Off) return passOn;
    switch (m.Msg) {
        case WM_PAINT:
        case WM_PRINT:
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            EraseTransparent(m);
            m.Result = 1;
            return false;
        default: return passOn;
    }
}

void TSkinGroupBox::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData) return;
    FCaption = WindowTextOf(FHandle);
    if (FCaption.empty() && FControl) FCaption = FControl->Caption();
    const int W = rect.right - rect.left, H = rect.bottom - rect.top;
    TSelectObject font(dc, FView.Font());
    const COLORREF oldText = SetTextColor(dc, FControl ? FView.TextColor(GetTextColor(dc)) : GetTextColor(dc));
    SIZE zero{};
    GetTextExtentPoint32W(dc, L"0", 1, &zero);
    const int a = zero.cy / 2 - 1;
    lastFrameTop_ = a;
    const int dpi = Dpi();
    const int line = ScaleSkinLength(1, dpi), corner = ScaleSkinLength(5, dpi);
    // A line wider than a pixel stays inside the rounded box, as the one-pixel line does.
    TPenHandle pen(CreatePen(line > 1 ? PS_INSIDEFRAME : PS_SOLID, line, ColorToRGB(FSkinData->Colours.ButtonShadow)));
    if (FSelfPaint == TSelfPaint::Off) {
        // The system's own frame goes first.
        RECT frame{0, a, W, H};
        for (int ring = 0; ring < 2 * line; ++ring) {
            FrameRect(dc, &frame, FSkinData->FaceBrush());
            InflateRect(&frame, -1, -1);
        }
    }
    {
        TSelectObject brush(dc, GetStockObject(NULL_BRUSH));
        TSelectObject selectedPen(dc, pen.Get());
        RoundRect(dc, line, a, W - line, H - line, corner, corner);
    }
    const COLORREF oldBack = SetBkColor(dc, ColorToRGB(SkinButtonFace()));
    RECT text{rect.left + ScaleSkinLength(8, dpi), rect.top, W, H};
    DrawTextWide(dc, FCaption, text, DT_EXPANDTABS);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
    if (FSelfPaint == TSelfPaint::On) FView.PaintChildControls(dc);
}

}  // namespace qx
