#include "framework/TabCtrls.h"

#include "framework/Accessible.h"
#include "framework/ComCtrls.h"

#include <commctrl.h>
#include <oleacc.h>

#include <algorithm>

namespace qx {

namespace {
std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }
}  // namespace

const TEnumInfo TabPositionInfo{"TTabPosition", {"tpTop", "tpBottom", "tpLeft", "tpRight"}};

// ---- TCustomTabControl ---------------------------------------------------------------------

const TClassInfo& TCustomTabControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomTabControl>("TCustomTabControl", &TWinControl::StaticClassInfo())
            .Int("TabIndex", &TCustomTabControl::TabIndex, &TCustomTabControl::SetTabIndex)
            .Enum("TabPosition", &TCustomTabControl::TabPosition, &TCustomTabControl::SetTabPosition,
                  TabPositionInfo)
            .Event("OnChange", &TCustomTabControl::OnChange)
            .Build();
    return info;
}

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    width_ = 289;
    height_ = 193;
    SetTabStop(true);
}

void TCustomTabControl::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"SysTabControl32";
    switch (tabPosition_) {
        case TTabPosition::tpTop: break;
        case TTabPosition::tpBottom: p.Style |= TCS_BOTTOM; break;
        case TTabPosition::tpLeft: p.Style |= TCS_VERTICAL | TCS_MULTILINE; break;
        case TTabPosition::tpRight: p.Style |= TCS_VERTICAL | TCS_RIGHT | TCS_MULTILINE; break;
    }
}

void TCustomTabControl::CreateWindowHandleDone() { SendTabs(); }

void TCustomTabControl::SendTabs() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    SendMessageW(h, TCM_DELETEALLITEMS, 0, 0);
    const std::vector<std::u16string> texts = TabTexts();
    for (std::size_t i = 0; i < texts.size(); ++i) {
        std::wstring text = W(texts[i]);
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text.data();
        SendMessageW(h, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
    SendMessageW(h, TCM_SETCURSEL, static_cast<WPARAM>(tabIndex_), 0);
    Realign();
}

int TCustomTabControl::TabIndex() const {
    if (!HandleAllocated()) return tabIndex_;
    return static_cast<int>(SendMessageW(const_cast<TCustomTabControl*>(this)->Handle(), TCM_GETCURSEL, 0, 0));
}

void TCustomTabControl::SetTabIndex(int v) {
    if (v < -1) v = -1;
    if (!IsLoading() && v >= static_cast<int>(TabTexts().size())) return;
    if (v == tabIndex_ && (!HandleAllocated() || TabIndex() == v)) return;
    tabIndex_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TCM_SETCURSEL, static_cast<WPARAM>(v), 0);
    Changed();
}

void TCustomTabControl::SetTabPosition(TTabPosition v) {
    if (v == tabPosition_) return;
    tabPosition_ = v;
    RecreateWnd();
}

RECT TCustomTabControl::DisplayRect() {
    RECT r = ClientRect();
    if (HandleAllocated()) SendMessageW(Handle(), TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
    return r;
}

void TCustomTabControl::AlignControls(RECT& rect) {
    rect = DisplayRect();
    TWinControl::AlignControls(rect);
}

void TCustomTabControl::Changed() {
    if (!IsLoading() && OnChange) OnChange(this);
}

void TCustomTabControl::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        auto* n = reinterpret_cast<NMHDR*>(m.LParam);
        if (n && n->code == TCN_SELCHANGE) {
            tabIndex_ = TabIndex();
            Changed();
        }
        return;
    }
    TWinControl::WndProc(m);
    if (m.Msg == WM_SIZE) Realign();
}

// ---- TTabControl ---------------------------------------------------------------------------

const TClassInfo& TTabControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTabControl>("TTabControl", &TCustomTabControl::StaticClassInfo())
            .Strings("Tabs", [](TTabControl* t) { return t->Tabs(); },
                     [](TTabControl* t, const std::vector<std::u16string>& tabs) { t->SetTabs(tabs); })
            .Creatable()
            .Build();
    return info;
}

TTabControl::TTabControl(TComponent* owner) : TCustomTabControl(owner) {}

void TTabControl::SetTabs(const std::vector<std::u16string>& tabs) {
    tabs_ = tabs;
    if (tabIndex_ >= static_cast<int>(tabs_.size())) tabIndex_ = tabs_.empty() ? -1 : 0;
    if (tabIndex_ < 0 && !tabs_.empty()) tabIndex_ = 0;
    SendTabs();
}

// ---- TTabSheet -----------------------------------------------------------------------------

const TClassInfo& TTabSheet::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTabSheet>("TTabSheet", &TWinControl::StaticClassInfo()).Creatable().Build();
    return info;
}

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetParentColor(true);
}

TTabSheet::~TTabSheet() {
    if (pageControl_) pageControl_->RemovePage(this);
}

void TTabSheet::SetParent(TWinControl* parent) {
    if (parent == Parent()) return;
    if (pageControl_) pageControl_->RemovePage(this);
    pageControl_ = nullptr;
    TWinControl::SetParent(parent);
    if (auto* pages = dynamic_cast<TPageControl*>(parent)) {
        pageControl_ = pages;
        pages->InsertPage(this);
    }
}

int TTabSheet::PageIndex() const {
    if (!pageControl_) return -1;
    const auto& pages = pageControl_->Pages();
    auto it = std::find(pages.begin(), pages.end(), this);
    return it == pages.end() ? -1 : static_cast<int>(it - pages.begin());
}

void TTabSheet::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_PROPERTYPAGE;
    info.Name = AccessibleCaption(Caption());
}

void TTabSheet::TextChanged() {
    if (pageControl_) pageControl_->SendTabs();
}

// ---- TPageControl --------------------------------------------------------------------------

const TClassInfo& TPageControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TPageControl>("TPageControl", &TCustomTabControl::StaticClassInfo())
            .Int("ActivePageIndex", &TPageControl::ActivePageIndex, &TPageControl::SetActivePageIndex)
            .Creatable()
            .Build();
    return info;
}

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    BeginDestroy();
    for (TTabSheet* page : pages_) page->pageControl_ = nullptr;
    pages_.clear();
}

std::vector<std::u16string> TPageControl::TabTexts() const {
    std::vector<std::u16string> texts;
    for (TTabSheet* page : pages_) texts.push_back(page->Caption());
    return texts;
}

void TPageControl::InsertPage(TTabSheet* page) {
    pages_.push_back(page);
    if (tabIndex_ < 0) tabIndex_ = 0;
    SendTabs();
    ShowActivePage();
}

void TPageControl::RemovePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it == pages_.end()) return;
    pages_.erase(it);
    if (IsDestroying()) return;
    if (tabIndex_ >= static_cast<int>(pages_.size())) tabIndex_ = static_cast<int>(pages_.size()) - 1;
    SendTabs();
    ShowActivePage();
}

TTabSheet* TPageControl::ActivePage() const {
    return tabIndex_ >= 0 && tabIndex_ < static_cast<int>(pages_.size()) ? pages_[tabIndex_] : nullptr;
}

void TPageControl::SetActivePage(TTabSheet* page) {
    auto it = std::find(pages_.begin(), pages_.end(), page);
    if (it != pages_.end()) SetTabIndex(static_cast<int>(it - pages_.begin()));
}

void TPageControl::Changed() {
    ShowActivePage();
    TCustomTabControl::Changed();
}

void TPageControl::ShowActivePage() {
    TTabSheet* active = ActivePage();
    // The new page shows before the old one hides, so the pane never flashes empty.
    if (active) {
        RECT r = DisplayRect();
        active->SetBounds(r.left, r.top, RectWidth(r), RectHeight(r));
        active->SetVisible(true);
        active->BringToFront();
    }
    for (TTabSheet* page : pages_)
        if (page != active) page->SetVisible(false);
}

void TPageControl::AlignControls(RECT& rect) {
    rect = DisplayRect();
    for (TTabSheet* page : pages_) page->SetBounds(rect.left, rect.top, RectWidth(rect), RectHeight(rect));
}

// ---- TPageControlEx ------------------------------------------------------------------------

const TClassInfo& TPageControlEx::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TPageControlEx>("TPageControlEx", &TPageControl::StaticClassInfo())
            .Object("TabBackGround", &TPageControlEx::TabBackGround, TBitmap::StaticClassInfo())
            .Object("TabBackGroundActive", &TPageControlEx::TabBackGroundActive, TBitmap::StaticClassInfo())
            .Creatable()
            .Build();
    return info;
}

TPageControlEx::TPageControlEx(TComponent* owner)
    : TPageControl(owner), background_(std::make_unique<TBitmap>()), backgroundActive_(std::make_unique<TBitmap>()) {
    background_->OnChange = [this] { Invalidate(); };
    backgroundActive_->OnChange = [this] { Invalidate(); };
}

void TPageControlEx::CreateParams(TCreateParams& p) {
    TPageControl::CreateParams(p);
    p.Style |= TCS_OWNERDRAWFIXED;
}

void TPageControlEx::WndProc(TMessage& m) {
    if (m.Msg != CN_DRAWITEM) {
        TPageControl::WndProc(m);
        return;
    }
    auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
    if (!item) return;
    const bool active = (item->itemState & ODS_SELECTED) != 0 || static_cast<int>(item->itemID) == tabIndex_;
    TBitmap& picture = active ? *backgroundActive_ : *background_;
    RECT r = item->rcItem;
    if (!picture.Empty()) {
        TMemoryDC source(item->hDC);
        source.SelectBitmap(picture.Handle());
        const int old = SetStretchBltMode(item->hDC, COLORONCOLOR);
        if (picture.TransparentColor() != clNone && RectWidth(r) > 0 && RectHeight(r) > 0) {
            // Corners in the picture's transparent colour show the tab control behind them. The
            // picture is sized first pixel for pixel, so that no blended pixel escapes the key.
            TBitmap sized;
            sized.SetPixelFormat(TPixelFormat::pf24bit);
            sized.SetSize(RectWidth(r), RectHeight(r));
            HDC s = sized.Canvas().Handle();
            SetStretchBltMode(s, COLORONCOLOR);
            StretchBlt(s, 0, 0, RectWidth(r), RectHeight(r), source.Get(), 0, 0, picture.Width(), picture.Height(),
                       SRCCOPY);
            FillRect(item->hDC, &r, GetSysColorBrush(COLOR_BTNFACE));
            ::TransparentBlt(item->hDC, r.left, r.top, RectWidth(r), RectHeight(r), s, 0, 0, RectWidth(r),
                             RectHeight(r), ColorToRGB(picture.TransparentColor()));
        } else {
            StretchBlt(item->hDC, r.left, r.top, RectWidth(r), RectHeight(r), source.Get(), 0, 0, picture.Width(),
                       picture.Height(), SRCCOPY);
        }
        SetStretchBltMode(item->hDC, old);
    } else {
        FillRect(item->hDC, &r, GetSysColorBrush(active ? COLOR_WINDOW : COLOR_BTNFACE));
    }
    const auto texts = TabTexts();
    if (item->itemID < texts.size()) {
        std::wstring text = W(texts[item->itemID]);
        const int mode = SetBkMode(item->hDC, TRANSPARENT);
        DrawTextW(item->hDC, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        SetBkMode(item->hDC, mode);
    }
    // The platform leaves the focus rectangle of a tab it does not draw to the one that draws it.
    if (active && HandleAllocated() && GetFocus() == Handle()) {
        RECT focus = item->rcItem;
        InflateRect(&focus, -3, -3);
        DrawFocusRect(item->hDC, &focus);
    }
    m.Result = 1;
}

// ---- TTabSet -------------------------------------------------------------------------------

const TClassInfo& TTabSet::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTabSet>("TTabSet", &TCustomControl::StaticClassInfo())
            .Strings("Tabs", [](TTabSet* t) { return t->Tabs(); },
                     [](TTabSet* t, const std::vector<std::u16string>& tabs) { t->SetTabs(tabs); })
            .Int("TabIndex", &TTabSet::TabIndex, &TTabSet::SetTabIndex)
            .Event("OnChange", &TTabSet::OnChange)
            .Creatable()
            .Build();
    return info;
}

TTabSet::TTabSet(TComponent* owner) : TCustomControl(owner) {
    controlStyle_ &= ~(csAcceptsControls | csClickEvents);
    controlStyle_ |= csOpaque;
    SetTabStop(true);
    width_ = 185;
    height_ = 21;
}

void TTabSet::SetTabs(const std::vector<std::u16string>& tabs) {
    tabs_ = tabs;
    if (tabIndex_ >= static_cast<int>(tabs_.size())) tabIndex_ = static_cast<int>(tabs_.size()) - 1;
    Invalidate();
}

void TTabSet::SetTabIndex(int v) {
    if (v < -1 || (!IsLoading() && v >= static_cast<int>(tabs_.size()))) return;
    if (v == tabIndex_) return;
    tabIndex_ = v;
    Invalidate();
    if (!IsLoading() && OnChange) OnChange(this);
}

RECT TTabSet::TabRect(int index) {
    if (index < 0 || index >= static_cast<int>(tabs_.size())) return RECT{};
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, Font().Handle());
    int x = 4;
    RECT r{};
    for (int i = 0; i <= index; ++i) {
        std::wstring text = W(tabs_[static_cast<std::size_t>(i)]);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        r = RECT{x, 0, x + size.cx + 16, Height() - 2};
        x = r.right - 2;
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return r;
}

int TTabSet::TabAt(POINT p) {
    for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) {
        RECT r = TabRect(i);
        if (PtInRect(&r, p)) return i;
    }
    return -1;
}

void TTabSet::Paint() {
    TCanvas& c = Canvas();
    RECT all = ClientRect();
    c.Brush().SetColor(Color());
    c.Brush().SetStyle(TBrushStyle::bsSolid);
    c.FillRect(all);
    // The line the tabs hang from; the selected tab breaks it.
    c.Pen().SetColor(clBtnShadow);
    c.MoveTo(0, 0);
    c.LineTo(all.right, 0);
    for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) {
        RECT r = TabRect(i);
        const bool selected = i == tabIndex_;
        c.Brush().SetColor(selected ? clWindow : Color());
        c.FillRect(RECT{r.left + 1, r.top + (selected ? 0 : 1), r.right - 1, r.bottom - 1});
        c.Pen().SetColor(clBtnShadow);
        c.MoveTo(r.left, r.top);
        c.LineTo(r.left, r.bottom - 1);
        c.LineTo(r.right - 1, r.bottom - 1);
        c.LineTo(r.right - 1, r.top - 1);
        c.Brush().SetStyle(TBrushStyle::bsClear);
        RECT text = r;
        c.DrawText(tabs_[static_cast<std::size_t>(i)], text, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
        c.Brush().SetStyle(TBrushStyle::bsSolid);
        if (selected && Focused()) {
            RECT focus{r.left + 3, r.top + 2, r.right - 4, r.bottom - 3};
            DrawFocusRect(c.Handle(), &focus);
        }
    }
}

void TTabSet::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_LBUTTONDOWN: {
            const int tab = TabAt(POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))});
            if (tab >= 0 && Enabled()) {
                if (CanFocus()) SetFocus();
                SetTabIndex(tab);
            }
            break;
        }
        case WM_GETDLGCODE:
            // The arrows move through the tabs, as the platform's tab control answers them.
            m.Result = DLGC_WANTARROWS;
            return;
        case WM_KEYDOWN: {
            const int count = static_cast<int>(tabs_.size());
            int next = tabIndex_;
            switch (m.WParam) {
                case VK_LEFT:
                case VK_UP: next = tabIndex_ - 1; break;
                case VK_RIGHT:
                case VK_DOWN: next = tabIndex_ + 1; break;
                case VK_HOME: next = 0; break;
                case VK_END: next = count - 1; break;
                default: break;
            }
            if (next != tabIndex_ && next >= 0 && next < count && Enabled()) {
                SetTabIndex(next);
                NotifyAccessibleItemEvent(this, next, EVENT_OBJECT_FOCUS);
            }
            break;
        }
        case WM_SETFOCUS:
        case WM_KILLFOCUS: Invalidate(); break;
        default: break;
    }
    TCustomControl::WndProc(m);
}

void TTabSet::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = ROLE_SYSTEM_PAGETABLIST;
    if (tabIndex_ >= 0 && tabIndex_ < static_cast<int>(tabs_.size()))
        info.Value = AccessibleCaption(tabs_[static_cast<std::size_t>(tabIndex_)]);
}

void TTabSet::DescribeAccessibleItems(std::vector<TAccessibleItem>& items) const {
    auto* self = const_cast<TTabSet*>(this);  // measuring the tabs needs no change of state
    const bool focused = Focused();
    for (int i = 0; i < static_cast<int>(tabs_.size()); ++i) {
        TAccessibleItem item;
        item.Role = ROLE_SYSTEM_PAGETAB;
        item.Name = AccessibleCaption(tabs_[static_cast<std::size_t>(i)]);
        item.State = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (i == tabIndex_) item.State |= STATE_SYSTEM_SELECTED | (focused ? STATE_SYSTEM_FOCUSED : 0);
        item.Bounds = self->TabRect(i);
        item.DefaultAction = kActionSelect;
        items.push_back(std::move(item));
    }
}

void TTabSet::DoAccessibleItemAction(int index) {
    if (Enabled() && index >= 0 && index < static_cast<int>(tabs_.size())) SetTabIndex(index);
}

}  // namespace qx
