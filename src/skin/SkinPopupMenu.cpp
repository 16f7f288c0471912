#include "skin/SkinPopupMenu.h"

#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinnerOwner.h"
#include "skin/SkinMessages.h"
#include "skin/SkinParts.h"
#include "skin/ScaledPictures.h"

namespace qx {

namespace {

// The band of the background that frames the items, at 96 dpi.
constexpr int kFrameWidth = 3;
// Asks a popup menu window for the menu it shows.
constexpr UINT MN_GETHMENU_ = 0x01E1;

}  // namespace

TSkinPopupMenu::~TSkinPopupMenu() { DetachPopup(); }

void TSkinPopupMenu::AttachPopup(HWND window, TSkinData* skinData, int dpi) {
    FWindow = window;
    FSkinData = skinData;
    FDpi = dpi > 0 ? dpi : BaseDpi;
    FSubclass.Install(window, &TSkinPopupMenu::SubclassProc, this);
}

void TSkinPopupMenu::DetachPopup() {
    if (!FSubclass.Installed()) return;
    FSubclass.Remove();
    FBackground.Clear();
}

HMENU TSkinPopupMenu::Menu() {
    if (!FMenu && FWindow && IsWindow(FWindow))
        FMenu = reinterpret_cast<HMENU>(SendMessageW(FWindow, MN_GETHMENU_, 0, 0));
    return FMenu;
}

POINT TSkinPopupMenu::ClientOffset() const {
    RECT window{};
    POINT client{0, 0};
    if (!FWindow || !GetWindowRect(FWindow, &window) || !ClientToScreen(FWindow, &client)) return POINT{0, 0};
    return POINT{client.x - window.left, client.y - window.top};
}

bool TSkinPopupMenu::CanPaint() const {
    return FSkinData && !FSkinData->SkinMissing() && FSkinData->MenuBackground &&
           !FSkinData->MenuBackground->Bitmap.Empty();
}

bool TSkinPopupMenu::BuildBackground() {
    if (!CanPaint()) return false;
    RECT r{};
    GetWindowRect(FWindow, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (w <= 0 || h <= 0) return false;
    const TSkinPart part = ScaledSkinPart(MenuBackground(*FSkinData->MenuBackground), FSkinData->ScaleAt(FDpi));
    auto picture = MakeSkinPartBitmap(part, TSkinState::Normal, SIZE{w, h});
    if (!picture || picture->Empty()) return false;
    FBackground.SetPixelFormat(TPixelFormat::pf24bit);
    FBackground.SetSize(w, h);
    BitBlt(FBackground.Canvas().Handle(), 0, 0, w, h, picture->Canvas().Handle(), 0, 0, SRCCOPY);
    return true;
}

RECT TSkinPopupMenu::ItemArea(POINT origin) const {
    // The window rectangle moved to (0, 0): the DC's coordinates start at the window's corner
    // (or at origin of it), never at its place on the screen.
    RECT r{};
    GetWindowRect(FWindow, &r);
    const int w = r.right - r.left, h = r.bottom - r.top;
    const int band = FrameWidth();
    return RECT{band - origin.x, band - origin.y, w - band - origin.x, h - band - origin.y};
}

int TSkinPopupMenu::FrameWidth() const { return ScaleForDpi(kFrameWidth, FDpi); }

LRESULT CALLBACK TSkinPopupMenu::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                              DWORD_PTR refData) {
    auto* self = reinterpret_cast<TSkinPopupMenu*>(refData);
    return self->FSubclass.Run(window, message, wParam, lParam,
                               [self](TMessage& m) { m.Result = self->PopupWndProc(m.Msg, m.WParam, m.LParam); });
}

LRESULT TSkinPopupMenu::PassOn(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefSubclassProc(FWindow, message, wParam, lParam);
}

LRESULT TSkinPopupMenu::PopupWndProc(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SKINNEDQUERY) return 1;
    TSkinnerOwner* manager = SkinnerOwner();
    if (!manager || !manager->SkinningOn()) return PassOn(message, wParam, lParam);
    switch (message) {
        case WM_DESTROY: {
            const LRESULT result = PassOn(message, wParam, lParam);
            DetachPopup();
            return result;
        }
        case WM_NCPAINT:
            if (!CanPaint()) break;
            PaintPopupFrame();
            return 0;
        case WM_PRINT:
            if (!CanPaint()) break;
            return PaintPopupBackground(reinterpret_cast<HDC>(wParam), lParam);
        case WM_ERASEBKGND:
            // Everything is painted at WM_PAINT in one transfer.
            if (!CanPaint()) break;
            return 1;
        case WM_PAINT:
            if (!CanPaint()) break;
            PaintPopupClient();
            return 0;
        default: break;
    }
    return PassOn(message, wParam, lParam);
}

void TSkinPopupMenu::PaintPopupFrame() {
    if (!BuildBackground()) return;
    HDC dc = GetWindowDC(FWindow);
    if (!dc) return;
    const int w = FBackground.Width(), h = FBackground.Height();
    HDC src = FBackground.Canvas().Handle();
    const int band = FrameWidth();
    BitBlt(dc, 0, 0, w, band, src, 0, 0, SRCCOPY);
    BitBlt(dc, 0, h - band, w, band, src, 0, h - band, SRCCOPY);
    BitBlt(dc, 0, band, band, h - band, src, 0, band, SRCCOPY);
    BitBlt(dc, w - band, band, band, h - band, src, w - band, band, SRCCOPY);
    ReleaseDC(FWindow, dc);
}

LRESULT TSkinPopupMenu::PaintPopupBackground(HDC target, LPARAM flags) {
    if (!target || !BuildBackground()) return PassOn(WM_PRINT, reinterpret_cast<WPARAM>(target), flags);
    BitBlt(target, 0, 0, FBackground.Width(), FBackground.Height(), FBackground.Canvas().Handle(), 0, 0, SRCCOPY);
    TSavedDC saved(target);
    const RECT area = ItemArea(POINT{0, 0});
    IntersectClipRect(target, area.left, area.top, area.right, area.bottom);
    SetBkMode(target, TRANSPARENT);
    // The menu prints its frame and items; only the items inside the band show.
    return PassOn(WM_PRINT, reinterpret_cast<WPARAM>(target), flags);
}

void TSkinPopupMenu::PaintPopupClient() {
    PAINTSTRUCT ps{};
    HDC dc = BeginPaint(FWindow, &ps);
    if (!dc) return;
    RECT client{};
    GetClientRect(FWindow, &client);
    const int cw = client.right, ch = client.bottom;
    if (cw > 0 && ch > 0 && BuildBackground()) {
        TBitmap buffer;
        buffer.SetPixelFormat(TPixelFormat::pf24bit);
        buffer.SetSize(cw, ch);
        HDC b = buffer.Canvas().Handle();
        const POINT offset = ClientOffset();
        BitBlt(b, 0, 0, cw, ch, FBackground.Canvas().Handle(), offset.x, offset.y, SRCCOPY);
        {
            TSavedDC saved(b);
            const RECT area = ItemArea(offset);
            IntersectClipRect(b, area.left, area.top, area.right, area.bottom);
            SetBkMode(b, TRANSPARENT);
            // The menu draws its items (owner-drawn ones on the skin's background) where the
            // band leaves room; the platform's own frame and fill fall outside or under them.
            PassOn(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(b), PRF_CLIENT);
        }
        GdiFlush();
        BitBlt(dc, 0, 0, cw, ch, b, 0, 0, SRCCOPY);
    }
    EndPaint(FWindow, &ps);
}

}  // namespace qx
