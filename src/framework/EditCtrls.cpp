#include "framework/EditCtrls.h"

#include <windowsx.h>

#include <algorithm>

namespace qx {

namespace {
std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

std::u16string WindowText(HWND h) {
    const int n = GetWindowTextLengthW(h);
    std::wstring w(static_cast<std::size_t>(std::max(n, 0)) + 1, L'\0');
    const int got = GetWindowTextW(h, w.data(), static_cast<int>(w.size()));
    return std::u16string(w.begin(), w.begin() + std::max(got, 0));
}
}  // namespace

const TEnumInfo ScrollStyleInfo{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo ComboBoxStyleInfo{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}};
const TEnumInfo ScrollBarKindInfo{"TScrollBarKind", {"sbHorizontal", "sbVertical"}};

// ---- TCustomEdit ---------------------------------------------------------------------------

const TClassInfo& TCustomEdit::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TCustomEdit>("TCustomEdit", &TWinControl::StaticClassInfo())
            .Str("Text", &TCustomEdit::Text, &TCustomEdit::SetEditText)
            .Enum("BorderStyle", &TCustomEdit::BorderStyle, &TCustomEdit::SetBorderStyle, BorderStyleInfo)
            .Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly)
            .Int("MaxLength", &TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength)
            .Event("OnChange", &TCustomEdit::OnChange)
            .Build();
    return info;
}

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    width_ = 121;
    height_ = 21;
}

std::u16string TCustomEdit::Text() const {
    if (HandleAllocated()) return WindowText(const_cast<TCustomEdit*>(this)->Handle());
    return Caption();
}

void TCustomEdit::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = u"EDIT";
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
    if (readOnly_) p.Style |= ES_READONLY;
}

void TCustomEdit::CreateWindowHandleDone() {
    if (maxLength_ > 0) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
}
void TCustomEdit::SetReadOnly(bool v) {
    if (v == readOnly_) return;
    readOnly_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), EM_SETREADONLY, v, 0);
}
void TCustomEdit::SetMaxLength(int v) {
    if (v == maxLength_) return;
    maxLength_ = std::max(v, 0);
    if (HandleAllocated()) SendMessageW(Handle(), EM_LIMITTEXT, static_cast<WPARAM>(maxLength_), 0);
}

void TCustomEdit::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        if (HIWORD(m.WParam) == EN_CHANGE && OnChange && !IsLoading()) OnChange(this);
        return;
    }
    TWinControl::WndProc(m);
}

const TClassInfo& TEdit::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TEdit>("TEdit", &TCustomEdit::StaticClassInfo()).Creatable().Build();
    return info;
}

TEdit::TEdit(TComponent* owner) : TCustomEdit(owner) {}

void TEdit::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style |= ES_AUTOHSCROLL;
}

// ---- TMemo ---------------------------------------------------------------------------------

const TClassInfo& TMemo::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TMemo>("TMemo", &TCustomEdit::StaticClassInfo())
            .Strings("Lines", [](TMemo* m) { return m->Lines(); },
                     [](TMemo* m, const std::vector<std::u16string>& lines) { m->SetLines(lines); })
            .Enum("ScrollBars", &TMemo::ScrollBars, &TMemo::SetScrollBars, ScrollStyleInfo)
            .Bool("WordWrap", &TMemo::WordWrap, &TMemo::SetWordWrap)
            .Creatable()
            .Build();
    return info;
}

TMemo::TMemo(TComponent* owner) : TCustomEdit(owner) {
    width_ = 185;
    height_ = 89;
}

void TMemo::CreateParams(TCreateParams& p) {
    TCustomEdit::CreateParams(p);
    p.Style |= ES_MULTILINE | ES_WANTRETURN | ES_AUTOVSCROLL;
    if (!wordWrap_ || scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth)
        p.Style |= ES_AUTOHSCROLL;
    if (scrollBars_ == TScrollStyle::ssVertical || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
    if (scrollBars_ == TScrollStyle::ssHorizontal || scrollBars_ == TScrollStyle::ssBoth) p.Style |= WS_HSCROLL;
}

std::vector<std::u16string> TMemo::Lines() const {
    std::vector<std::u16string> lines;
    const std::u16string text = Text();
    if (text.empty()) return lines;
    std::u16string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            lines.push_back(line);
            line.clear();
            ++i;
        } else {
            line.push_back(text[i]);
        }
    }
    lines.push_back(line);
    return lines;
}

void TMemo::SetLines(const std::vector<std::u16string>& lines) {
    std::u16string text;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i) text += u"\r\n";
        text += lines[i];
    }
    SetCaption(text);
}

void TMemo::SetScrollBars(TScrollStyle v) {
    if (v == scrollBars_) return;
    scrollBars_ = v;
    RecreateWnd();
}
void TMemo::SetWordWrap(bool v) {
    if (v == wordWrap_) return;
    wordWrap_ = v;
    RecreateWnd();
}

// ---- TComboBox -----------------------------------------------------------------------------

const TClassInfo& TComboBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TComboBox>("TComboBox", &TWinControl::StaticClassInfo())
            .Strings("Items", [](TComboBox* c) { return c->Items(); },
                     [](TComboBox* c, const std::vector<std::u16string>& items) { c->SetItems(items); })
            .Int("ItemIndex", &TComboBox::ItemIndex, &TComboBox::SetItemIndex)
            .Enum("Style", &TComboBox::Style, &TComboBox::SetStyle, ComboBoxStyleInfo)
            .Int("DropDownCount", &TComboBox::DropDownCount, &TComboBox::SetDropDownCount)
            .Event("OnChange", &TComboBox::OnChange)
            .Creatable()
            .Build();
    return info;
}

TComboBox::TComboBox(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    SetParentColor(false);
    SetColor(clWindow);
    SetTabStop(true);
    width_ = 145;
    height_ = 21;
}

std::u16string TComboBox::Text() const {
    if (HandleAllocated()) return WindowText(const_cast<TComboBox*>(this)->Handle());
    return Caption();
}

void TComboBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = u"COMBOBOX";
    p.Style |= WS_VSCROLL | CBS_AUTOHSCROLL;
    switch (style_) {
        case TComboBoxStyle::csDropDown: p.Style |= CBS_DROPDOWN; break;
        case TComboBoxStyle::csSimple: p.Style |= CBS_SIMPLE; break;
        case TComboBoxStyle::csDropDownList: p.Style |= CBS_DROPDOWNLIST; break;
    }
    // The height of a drop-down combo box includes its list.
    if (style_ != TComboBoxStyle::csSimple) p.Height = height_ + 18 * dropDownCount_;
}

void TComboBox::CreateWindowHandleDone() { SendItems(); }

void TComboBox::SendItems() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    SendMessageW(h, CB_RESETCONTENT, 0, 0);
    for (const std::u16string& item : items_) {
        std::wstring w = W(item);
        SendMessageW(h, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(w.c_str()));
    }
    SendMessageW(h, CB_SETCURSEL, static_cast<WPARAM>(itemIndex_), 0);
}

void TComboBox::SetItems(const std::vector<std::u16string>& items) {
    items_ = items;
    SendItems();
}

int TComboBox::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    return static_cast<int>(SendMessageW(const_cast<TComboBox*>(this)->Handle(), CB_GETCURSEL, 0, 0));
}

void TComboBox::SetItemIndex(int v) {
    itemIndex_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(v), 0);
}

void TComboBox::SetStyle(TComboBoxStyle v) {
    if (v == style_) return;
    style_ = v;
    RecreateWnd();
}

void TComboBox::WndProc(TMessage& m) {
    if (m.Msg == CN_COMMAND) {
        const WORD code = HIWORD(m.WParam);
        if ((code == CBN_SELCHANGE || code == CBN_EDITCHANGE) && OnChange) {
            itemIndex_ = ItemIndex();
            OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TScrollBar ----------------------------------------------------------------------------

const TClassInfo& TScrollBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TScrollBar>("TScrollBar", &TWinControl::StaticClassInfo())
            .Enum("Kind", &TScrollBar::Kind, &TScrollBar::SetKind, ScrollBarKindInfo)
            .Int("Min", &TScrollBar::Min, &TScrollBar::SetMin)
            .Int("Max", &TScrollBar::Max, &TScrollBar::SetMax)
            .Int("Position", &TScrollBar::Position, &TScrollBar::SetPosition)
            .Int("PageSize", &TScrollBar::PageSize, &TScrollBar::SetPageSize)
            .Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SetSmallChange)
            .Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::SetLargeChange)
            .Event("OnChange", &TScrollBar::OnChange)
            .Creatable()
            .Build();
    return info;
}

TScrollBar::TScrollBar(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 121;
    height_ = GetSystemMetrics(SM_CYHSCROLL);
    SetTabStop(true);
}

void TScrollBar::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SysClassName = u"SCROLLBAR";
    p.Style |= kind_ == TScrollBarKind::sbVertical ? SBS_VERT : SBS_HORZ;
}

void TScrollBar::CreateWindowHandleDone() { SendInfo(); }

int TScrollBar::Top() const { return pageSize_ > 0 ? std::max(min_, max_ - pageSize_ + 1) : max_; }

void TScrollBar::SendInfo() {
    if (!HandleAllocated()) return;
    SCROLLINFO info{sizeof info, SIF_ALL | SIF_DISABLENOSCROLL};
    info.nMin = min_;
    info.nMax = max_;
    info.nPage = static_cast<UINT>(std::max(pageSize_, 0));
    info.nPos = position_;
    SetScrollInfo(Handle(), SB_CTL, &info, TRUE);
}

void TScrollBar::SetKind(TScrollBarKind v) {
    if (v == kind_) return;
    kind_ = v;
    SetBounds(left_, top_, height_, width_);
    RecreateWnd();
}
void TScrollBar::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    position_ = std::max(position_, min_);
    SendInfo();
}
void TScrollBar::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    position_ = std::min(position_, Top());
    SendInfo();
}
void TScrollBar::SetPageSize(int v) {
    if (v == pageSize_) return;
    pageSize_ = std::max(v, 0);
    SendInfo();
}
void TScrollBar::SetPosition(int v) {
    v = std::clamp(v, min_, std::max(min_, Top()));
    if (v == position_) return;
    position_ = v;
    SendInfo();
    if (OnChange) OnChange(this);
}

void TScrollBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        switch (LOWORD(m.WParam)) {
            case SB_LINEUP: SetPosition(position_ - smallChange_); break;
            case SB_LINEDOWN: SetPosition(position_ + smallChange_); break;
            case SB_PAGEUP: SetPosition(position_ - std::max(largeChange_, pageSize_)); break;
            case SB_PAGEDOWN: SetPosition(position_ + std::max(largeChange_, pageSize_)); break;
            case SB_THUMBTRACK:
            case SB_THUMBPOSITION: {
                SCROLLINFO info{sizeof info, SIF_TRACKPOS};
                GetScrollInfo(Handle(), SB_CTL, &info);
                SetPosition(info.nTrackPos);
                break;
            }
            case SB_TOP: SetPosition(min_); break;
            case SB_BOTTOM: SetPosition(max_); break;
            default: break;
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TScrollBox ----------------------------------------------------------------------------

const TClassInfo& TScrollBox::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TScrollBox>("TScrollBox", &TWinControl::StaticClassInfo())
            .Enum("BorderStyle", &TScrollBox::BorderStyle, &TScrollBox::SetBorderStyle, BorderStyleInfo)
            .Creatable()
            .Build();
    return info;
}

TScrollBox::TScrollBox(TComponent* owner) : TWinControl(owner) {
    width_ = 185;
    height_ = 41;
    SetParentColor(true);
}

void TScrollBox::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TScrollBox::CreateWindowHandleDone() { UpdateScrollRange(); }

void TScrollBox::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
}

void TScrollBox::UpdateScrollRange() {
    if (!HandleAllocated() || updating_) return;
    updating_ = true;
    // The contents' extent in unscrolled coordinates.
    SIZE extent{0, 0};
    for (TControl* c : Controls()) {
        if (!c->Visible()) continue;
        extent.cx = std::max<LONG>(extent.cx, c->Left() + offset_.x + c->Width());
        extent.cy = std::max<LONG>(extent.cy, c->Top() + offset_.y + c->Height());
    }
    extent_ = extent;
    // Showing one bar narrows the room for the other: settle both in two rounds.
    for (int round = 0; round < 2; ++round) {
        RECT client{};
        GetClientRect(Handle(), &client);
        SCROLLINFO info{sizeof info, SIF_RANGE | SIF_PAGE};
        info.nMin = 0;
        info.nMax = extent.cx > client.right ? extent.cx - 1 : 0;
        info.nPage = extent.cx > client.right ? static_cast<UINT>(client.right) : 0;
        SetScrollInfo(Handle(), SB_HORZ, &info, TRUE);
        info.nMax = extent.cy > client.bottom ? extent.cy - 1 : 0;
        info.nPage = extent.cy > client.bottom ? static_cast<UINT>(client.bottom) : 0;
        SetScrollInfo(Handle(), SB_VERT, &info, TRUE);
    }
    updating_ = false;
    ScrollTo(offset_.x, offset_.y);
}

void TScrollBox::ScrollTo(int x, int y) {
    if (!HandleAllocated()) return;
    RECT client{};
    GetClientRect(Handle(), &client);
    x = std::clamp(x, 0, std::max<int>(0, extent_.cx - client.right));
    y = std::clamp(y, 0, std::max<int>(0, extent_.cy - client.bottom));
    const int dx = offset_.x - x, dy = offset_.y - y;
    if (dx == 0 && dy == 0) {
        SetScrollPos(Handle(), SB_HORZ, x, TRUE);
        SetScrollPos(Handle(), SB_VERT, y, TRUE);
        return;
    }
    offset_ = {x, y};
    // Windowed children move with the scroll; windowless ones are moved by hand.
    ScrollWindowEx(Handle(), dx, dy, nullptr, nullptr, nullptr, nullptr,
                   SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    for (TControl* c : Controls())
        if (!c->IsWindowed()) c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    SetScrollPos(Handle(), SB_HORZ, x, TRUE);
    SetScrollPos(Handle(), SB_VERT, y, TRUE);
}

void TScrollBox::Scroll(int bar, int request) {
    SCROLLINFO info{sizeof info, SIF_ALL};
    GetScrollInfo(Handle(), bar, &info);
    const int line = 16;
    const int page = std::max<int>(static_cast<int>(info.nPage), line);
    int pos = bar == SB_HORZ ? offset_.x : offset_.y;
    switch (request) {
        case SB_LINEUP: pos -= line; break;
        case SB_LINEDOWN: pos += line; break;
        case SB_PAGEUP: pos -= page; break;
        case SB_PAGEDOWN: pos += page; break;
        case SB_THUMBTRACK:
        case SB_THUMBPOSITION: pos = info.nTrackPos; break;
        case SB_TOP: pos = 0; break;
        case SB_BOTTOM: pos = info.nMax; break;
        default: return;
    }
    if (bar == SB_HORZ)
        ScrollTo(pos, offset_.y);
    else
        ScrollTo(offset_.x, pos);
}

void TScrollBox::WndProc(TMessage& m) {
    switch (m.Msg) {
        case WM_HSCROLL:
            if (m.LParam) break;  // a child's scroll bar: reflected to it
            Scroll(SB_HORZ, LOWORD(m.WParam));
            return;
        case WM_VSCROLL:
            if (m.LParam) break;
            Scroll(SB_VERT, LOWORD(m.WParam));
            return;
        case WM_MOUSEWHEEL: {
            const int notches = GET_WHEEL_DELTA_WPARAM(m.WParam) / WHEEL_DELTA;
            ScrollTo(offset_.x, offset_.y - notches * 3 * 16);
            m.Result = 0;
            return;
        }
        case WM_SIZE:
            TWinControl::WndProc(m);
            UpdateScrollRange();
            return;
        default: break;
    }
    TWinControl::WndProc(m);
}

}  // namespace qx
