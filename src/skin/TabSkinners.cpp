#include "skin/TabSkinners.h"

#include "core/SkinScale.h"
#include "skin/DispatchRules.h"
#include "skin/EditSkinners.h"
#include "skin/ProgressSkinners.h"
#include "skin/SkinData.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/SkinParts.h"

#include <commctrl.h>

#include <algorithm>

namespace qx {

namespace {

// A picture of a skinner's own goes, and its scaled strips with it.
void DropOwnPicture(std::unique_ptr<TBitmap>& picture, TSkinData* skin) {
    if (picture && skin) skin->ScaledPictures().Forget(*picture);
    picture.reset();
}

TFrameMargins MarginsOf(const TDataSkinObject& o) {
    return TFrameMargins{o.Margins.Left, o.Margins.Top, o.Margins.Right, o.Margins.Bottom};
}

COLORREF TextColour(const TSkinData& s, TColor wanted) {
    return ColorToRGB(wanted == kSkinNoColour ? s.Colours.ButtonText : wanted);
}

// A 24-bit working bitmap of the given size, or none when it cannot be made.
std::unique_ptr<TBitmap> Work(int w, int h) {
    if (w <= 0 || h <= 0) return nullptr;
    auto b = std::make_unique<TBitmap>();
    b->SetPixelFormat(TPixelFormat::pf24bit);
    b->SetSize(w, h);
    if (b->Empty()) return nullptr;
    return b;
}

void TrackLeave(HWND window) {
    TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, window, 0};
    TrackMouseEvent(&t);
}

}  // namespace

// ---- tab and page controls -----------------------------------------------------------------

void TSkinTab::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    Prepare();
    AttachSpin();
}

void TSkinTab::AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) {
    TSkinControl::AttachWindow(handle, skinData, form, canvas);
    Prepare();
    AttachSpin();
}

void TSkinTab::AttachSpin() {
    if (HWND spin = FHandle ? FindSpinChild(FHandle) : nullptr)
        AdoptChild(FUpDown = AttachSpinSkinner(spin, FSkinData, FSkinForm, FCanvas, false));
}

void TSkinTab::Prepare() {
    const LONG_PTR style = WindowStyle();
    if ((style & TCS_BOTTOM) && (style & TCS_VERTICAL))
        FOrientation = toRight;
    else if (style & TCS_BOTTOM)
        FOrientation = toBottom;
    else if (style & TCS_VERTICAL)
        FOrientation = toLeft;
    else
        FOrientation = toTop;
    DropOwnPicture(FTabImage, FSkinData);
    DropOwnPicture(FPaneImage, FSkinData);
    FTabPicture = FPanePicture = nullptr;
    if (!FSkinData || !FSkinData->Tabs || FSkinData->Tabs->Bitmap.Empty()) return;
    TDataSkinBorder& tabs = *FSkinData->Tabs;
    // The skin's pictures are drawn as they are: only a picture turned for the orientation
    // gets a copy of its own (made once here, never while painting).
    FTabPicture = &tabs.Bitmap;
    TBitmap* pane = nullptr;
    if (tabs.Style == kTabsPaneStyle && FSkinData->TabPane && !FSkinData->TabPane->Bitmap.Empty())
        pane = &FSkinData->TabPane->Bitmap;
    else if (!tabs.Bitmap2.Empty())
        pane = &tabs.Bitmap2;
    else if (FSkinData->TabPane && !FSkinData->TabPane->Bitmap.Empty())
        pane = &FSkinData->TabPane->Bitmap;
    FPanePicture = pane;
    if (FOrientation == toTop) return;
    const auto turned = [](TBitmap& source, std::unique_ptr<TBitmap>& copy) {
        copy = std::make_unique<TBitmap>();
        copy->Share(source);
        return copy.get();
    };
    if (FOrientation == toBottom) FlipBitmap(*(FTabPicture = turned(tabs.Bitmap, FTabImage)));
    if (!pane) return;
    FPanePicture = turned(*pane, FPaneImage);
    switch (FOrientation) {
        case toBottom: FlipBitmap(*FPanePicture); break;
        case toLeft: RotateBitmapLeft(*FPanePicture); break;
        case toRight: RotateBitmapRight(*FPanePicture); break;
        case toTop: break;
    }
}

bool TSkinTab::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            if (!FTabPicture) return true;
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            if (!FTabPicture) return true;
            m.Result = 1;
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinTab::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEMOVE: {
            TCHITTESTINFO hit{};
            hit.pt = POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
            const int tab = static_cast<int>(SendMessageW(FHandle, TCM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
            if (tab != FHot) {
                FHot = tab;
                InvalidateRect(FHandle, nullptr, FALSE);
            }
            TrackLeave(FHandle);
            break;
        }
        case WM_MOUSELEAVE:
            if (FHot != -1) {
                FHot = -1;
                InvalidateRect(FHandle, nullptr, FALSE);
            }
            TSkinControl::AfterMessage(m);
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinTab::SkinChanged() {
    TSkinControl::SkinChanged();
    Prepare();
    InvalidateRect(FHandle, nullptr, TRUE);
}

TSkinState TSkinTab::StateOf(int index, int selected) const {
    if (!FView.Enabled()) return TSkinState::Disabled;
    if (index == selected) return FView.Focused() ? TSkinState::Focused : TSkinState::Selected;
    return index == FHot ? TSkinState::Hot : TSkinState::Normal;
}

void TSkinTab::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData || !FTabPicture) return;
    RECT client{};
    GetClientRect(FHandle, &client);
    const int W = client.right, H = client.bottom;
    auto work = Work(W, H);
    if (!work) return;
    HDC d = work->Canvas().Handle();
    FillSolidRect(d, client, ColorToRGB(ParentColor(SkinButtonFace())));
    TDataSkinBorder& tabs = *FSkinData->Tabs;
    const int count = static_cast<int>(SendMessageW(FHandle, TCM_GETITEMCOUNT, 0, 0));
    const int selected = static_cast<int>(SendMessageW(FHandle, TCM_GETCURSEL, 0, 0));
    // The pane begins where the row of tabs ends.
    RECT pane = client;
    if (count > 0) {
        RECT row{};
        SendMessageW(FHandle, TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        for (int i = 1; i < count; ++i) {
            RECT r{};
            SendMessageW(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r));
            UnionRect(&row, &row, &r);
        }
        switch (FOrientation) {
            case toTop: pane.top = row.bottom; break;
            case toBottom: pane.bottom = row.top; break;
            case toLeft: pane.left = row.right; break;
            case toRight: pane.right = row.left; break;
        }
    }
    const TSkinScale scale = PaintScale(Dpi());
    const auto S = [&](int length) { return ScaleSkinLength(length, scale.Dpi); };
    if (FPanePicture) {
        const TDataSkinObject& source = (tabs.Style == kTabsPaneStyle && FSkinData->TabPane) ? *FSkinData->TabPane : tabs;
        DrawSkinPart(d, TabPane(*FPanePicture, MarginsOf(source)), TSkinState::Normal, pane, scale);
    } else {
        FillSolidRect(d, pane, ColorToRGB(SkinButtonFace()));
    }
    TSelectObject font(d, FView.Font());
    const int mode = SetBkMode(d, TRANSPARENT);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, TCM_GETIMAGELIST, 0, 0));
    lastFrames_.assign(static_cast<std::size_t>(std::max(count, 0)), 0);
    TFrameMargins margins = MarginsOf(tabs);
    if (FOrientation == toBottom) std::swap(margins.Top, margins.Bottom);
    // The selected tab last: it overlaps its neighbours.
    std::vector<int> order;
    for (int i = 0; i < count; ++i)
        if (i != selected) order.push_back(i);
    if (selected >= 0 && selected < count) order.push_back(selected);
    for (int i : order) {
        RECT r{};
        if (!SendMessageW(FHandle, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
        if (i == selected) {
            switch (FOrientation) {
                case toTop: InflateRect(&r, S(2), 0), r.top -= S(2), r.bottom += S(1); break;
                case toBottom: InflateRect(&r, S(2), 0), r.bottom += S(2), r.top -= S(1); break;
                case toLeft: InflateRect(&r, 0, S(2)), r.left -= S(2), r.right += S(1); break;
                case toRight: InflateRect(&r, 0, S(2)), r.right += S(2), r.left -= S(1); break;
            }
        }
        const TSkinPart face = TabFace(tabs, *FTabPicture, margins);
        const TSkinState state = StateOf(i, selected);
        lastFrames_[static_cast<std::size_t>(i)] = SkinPicture(face, state);
        DrawSkinPart(d, face, state, r, scale);
        wchar_t buffer[260] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT | TCIF_IMAGE;
        item.pszText = buffer;
        item.cchTextMax = 259;
        SendMessageW(FHandle, TCM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT text = r;
        if (images && item.iImage >= 0) {
            int iw = 0, ih = 0;
            ImageList_GetIconSize(images, &iw, &ih);
            ImageList_Draw(images, item.iImage, d, r.left + S(4), r.top + (RectHeight(r) - ih) / 2, ILD_TRANSPARENT);
            text.left += iw + S(4);
        }
        SetTextColor(d, TextColour(*FSkinData, i == FHot ? tabs.MouseOverColour2 : tabs.NormalColour2));
        const std::wstring w(buffer);
        DrawTextWide(d, std::u16string(w.begin(), w.end()), text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    }
    SetBkMode(d, mode);
    BitBlt(dc, rect.left + (RectWidth(rect) - W) / 2, rect.top + (RectHeight(rect) - H) / 2, W, H, d, 0, 0, SRCCOPY);
}

// ---- old-style tab set ---------------------------------------------------------------------

void TSkinTab31::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    Prepare();
}

void TSkinTab31::SkinChanged() {
    TSkinControl::SkinChanged();
    Prepare();
}

void TSkinTab31::Prepare() {
    DropOwnPicture(FTabImage, FSkinData);
    if (!FView.HasTabRow() || !FSkinData || !FSkinData->Tabs || FSkinData->Tabs->Bitmap.Empty()) return;
    // The tabs hang down from the line: the picture upside down, turned once per skin.
    FTabImage = std::make_unique<TBitmap>();
    FTabImage->Share(FSkinData->Tabs->Bitmap);
    FlipBitmap(*FTabImage);
}

bool TSkinTab31::BeforeMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_PAINT:
            // Without a tab picture the tab set keeps its own look.
            if (!FTabImage) return true;
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            if (!FTabImage) return true;
            m.Result = 1;
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinTab31::PaintSkin(HDC dc, const RECT& rect) {
    if (!FView.HasTabRow() || !FSkinData || !FSkinData->Tabs || !FTabImage) return;
    TDataSkinBorder& tabs = *FSkinData->Tabs;
    const int W = RectWidth(rect), H = RectHeight(rect);
    auto work = Work(W, H);
    if (!work) return;
    HDC d = work->Canvas().Handle();
    FillSolidRect(d, RECT{0, 0, W, H}, ColorToRGB(SkinButtonFace()));
    const TSkinScale scale = PaintScale(Dpi());
    const auto S = [&](int length) { return ScaleSkinLength(length, scale.Dpi); };
    FillSolidRect(d, RECT{0, 0, W, S(1)}, ColorToRGB(FSkinData->Colours.ButtonShadow));
    TBitmap& image = *FTabImage;
    TFrameMargins margins = MarginsOf(tabs);
    std::swap(margins.Top, margins.Bottom);
    TSelectObject font(d, FView.Font());
    for (const TTabCell& tab : FView.TabRow()) {
        const RECT r = tab.Rect;
        DrawSkinPart(d, TabFace(tabs, image, margins), tab.Selected ? TSkinState::Selected : TSkinState::Normal, r, scale);
        SetTextColor(d, TextColour(*FSkinData, tabs.NormalColour2));
        DrawCellText(d, r, DT_CENTER, FView.Enabled(), tab.Text);
        if (tab.Selected && FView.Focused()) {
            RECT focus{r.left + S(3), r.top + S(2), r.right - S(4), r.bottom - S(3)};
            DrawFocusRect(d, &focus);
        }
    }
    BitBlt(dc, rect.left, rect.top, W, H, d, 0, 0, SRCCOPY);
}

// ---- pages of a page control ---------------------------------------------------------------

bool TSkinTabSheet::BeforeMessage(TMessage& m) {
    const bool passOn = TSkinControl::BeforeMessage(m);
    if (!passOn || FSelfPaint == TSelfPaint::On) return passOn;
    switch (m.Msg) {
        case WM_PAINT:
        case WM_PRINT:
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND: {
            RECT r{};
            GetClientRect(FHandle, &r);
            if (FSkinData) FillRect(reinterpret_cast<HDC>(m.WParam), &r, FSkinData->FaceBrush());
            m.Result = 1;
            return false;
        }
        default: return passOn;
    }
}

void TSkinTabSheet::PaintSkin(HDC dc, const RECT& rect) {
    FillFace(dc, rect);
    FView.PaintChildControls(dc);
}

// ---- headers -------------------------------------------------------------------------------

bool TSkinHeader::BeforeMessage(TMessage& m) {
    const bool hasPicture = FSkinData && FSkinData->Headerbar && !FSkinData->Headerbar->Bitmap.Empty();
    switch (m.Msg) {
        case WM_PAINT:
            if (!hasPicture) return true;
            PaintOwn(m);
            return false;
        case WM_ERASEBKGND:
            if (!hasPicture) return true;
            m.Result = 1;
            return false;
        default: return TSkinControl::BeforeMessage(m);
    }
}

void TSkinHeader::AfterMessage(TMessage& m) {
    switch (m.Msg) {
        case WM_MOUSEMOVE: {
            const POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
            int hot = -1;
            for (std::size_t i = 0; i < FItems.size(); ++i)
                if (PtInRect(&FItems[i], p)) hot = static_cast<int>(i);
            if (hot != FHot) {
                FHot = hot;
                InvalidateRect(FHandle, nullptr, FALSE);
            }
            TrackLeave(FHandle);
            break;
        }
        case WM_MOUSELEAVE:
            FHot = -1;
            InvalidateRect(FHandle, nullptr, FALSE);
            break;
        case WM_LBUTTONDOWN:
            FPressedItem = FHot;
            InvalidateRect(FHandle, nullptr, FALSE);
            break;
        case WM_LBUTTONUP:
            FPressedItem = -1;
            InvalidateRect(FHandle, nullptr, FALSE);
            break;
        default: TSkinControl::AfterMessage(m);
    }
}

void TSkinHeader::PaintSkin(HDC dc, const RECT& rect) {
    if (!FSkinData || !FSkinData->Headerbar || FSkinData->Headerbar->Bitmap.Empty()) return;
    TDataSkinObject& bar = *FSkinData->Headerbar;
    RECT client{};
    GetClientRect(FHandle, &client);
    const int W = client.right, H = client.bottom;
    auto work = Work(W, H);
    if (!work) return;
    HDC d = work->Canvas().Handle();
    FillSolidRect(d, client, ColorToRGB(SkinButtonFace()));
    const int count = std::max(0, static_cast<int>(SendMessageW(FHandle, HDM_GETITEMCOUNT, 0, 0)));
    FItems.assign(static_cast<std::size_t>(count), RECT{});
    lastFrames_.assign(static_cast<std::size_t>(count), 0);
    HIMAGELIST images = reinterpret_cast<HIMAGELIST>(SendMessageW(FHandle, HDM_GETIMAGELIST, 0, 0));
    TSelectObject font(d, FView.Font());
    const int mode = SetBkMode(d, TRANSPARENT);
    const TSkinScale scale = PaintScale(Dpi());
    int right = 0;
    const bool enabled = FView.Enabled();
    for (int i = 0; i < count; ++i) {
        RECT r{};
        if (!SendMessageW(FHandle, HDM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&r))) continue;
        FItems[static_cast<std::size_t>(i)] = r;
        right = std::max<int>(right, r.right);
        const TSkinState state = !enabled            ? TSkinState::Disabled
                                 : i == FPressedItem ? TSkinState::Pressed
                                 : i == FHot         ? TSkinState::Hot
                                                     : TSkinState::Normal;
        lastFrames_[static_cast<std::size_t>(i)] = SkinPicture(HeaderItem(bar), state);
        DrawSkinPart(d, HeaderItem(bar), state, r, scale);
        wchar_t buffer[260] = {};
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_IMAGE;
        item.pszText = buffer;
        item.cchTextMax = 259;
        SendMessageW(FHandle, HDM_GETITEMW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
        RECT text = r;
        InflateRect(&text, -ScaleSkinLength(6, scale.Dpi), 0);
        if (images && (item.fmt & HDF_IMAGE) && item.iImage >= 0) {
            int iw = 0, ih = 0;
            ImageList_GetIconSize(images, &iw, &ih);
            ImageList_Draw(images, item.iImage, d, text.left, r.top + (RectHeight(r) - ih) / 2, ILD_TRANSPARENT);
            text.left += iw + ScaleSkinLength(4, scale.Dpi);
        }
        UINT align = DT_LEFT;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_CENTER) align = DT_CENTER;
        if ((item.fmt & HDF_JUSTIFYMASK) == HDF_RIGHT) align = DT_RIGHT;
        SetTextColor(d, enabled ? TextColour(*FSkinData, i == FHot ? bar.MouseOverColour2 : bar.NormalColour2)
                                : ColorToRGB(clBtnShadow));
        const std::wstring w(buffer);
        DrawTextWide(d, std::u16string(w.begin(), w.end()), text,
                     align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
    }
    // The part past the last item.
    if (right < W)
        DrawSkinPart(d, HeaderItem(bar), enabled ? TSkinState::Normal : TSkinState::Disabled, RECT{right, 0, W, H},
                     scale);
    SetBkMode(d, mode);
    BitBlt(dc, rect.left + (RectWidth(rect) - W) / 2, rect.top + (RectHeight(rect) - H) / 2, W, H, d, 0, 0, SRCCOPY);
}

// ---- advanced page controls ----------------------------------------------------------------

void TSkinPageEx::Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) {
    if (FAttached) return;
    TSkinControl::Attach(control, form, skinData, ownColor, canvas);
    AssignTabPictures();
    if (HWND spin = FHandle ? FindSpinChild(FHandle) : nullptr)
        AdoptChild(FUpDown = AttachSpinSkinner(spin, FSkinData, FSkinForm, FCanvas, false));
}

void TSkinPageEx::AssignTabPictures() {
    if (!FControl || !FSkinData || !FSkinData->Tabs || FSkinData->Tabs->Bitmap.Empty()) return;
    TDataSkinBorder& tabs = *FSkinData->Tabs;
    // The control stretches these over its tabs: made at its scale, their edges keep their width.
    const TSkinScale scale = PaintScale(Dpi());
    const SIZE size{ScaleSkinLength(100, scale.Dpi), ScaleSkinLength(21, scale.Dpi)};
    for (const bool selected : {false, true}) {
        TBitmap* target = FView.TabPicture(selected);
        if (!target) continue;
        auto picture = MakeSkinPartBitmap(ScaledSkinPart(TabFace(tabs, tabs.Bitmap, MarginsOf(tabs)), scale),
                                          selected ? TSkinState::Selected : TSkinState::Normal, size);
        target->Assign(*picture);
        if (tabs.Keyed()) target->SetTransparentColor(static_cast<TColor>(SkinKeyColor));
    }
}

void TSkinPageEx::SkinChanged() {
    TSkinControl::SkinChanged();
    AssignTabPictures();
}

void TSkinPageEx::Detach() {
    TSkinControl::Detach();
    // The control's own plain tabs come back.
    if (!FControl) return;
    for (const bool selected : {false, true})
        if (TBitmap* target = FView.TabPicture(selected)) target->Clear();
}

}  // namespace qx
