#include "framework/ComCtrls.h"

#include "framework/ItemRows.h"

#include <commctrl.h>

#include <algorithm>

namespace qx {

namespace {

std::wstring W(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

const TEnumInfo PanelAlignmentNames{"TAlignment", {"taLeftJustify", "taRightJustify", "taCenter"}};

}  // namespace

void InitCommonControlClasses() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES |
                                                 ICC_UPDOWN_CLASS | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

const TEnumInfo ProgressBarOrientationInfo{"TProgressBarOrientation", {"pbHorizontal", "pbVertical"}};
const TEnumInfo StatusPanelBevelInfo{"TStatusPanelBevel", {"pbNone", "pbLowered", "pbRaised"}};
const TEnumInfo StatusPanelStyleInfo{"TStatusPanelStyle", {"psText", "psOwnerDraw"}};
const TEnumInfo UDOrientationInfo{"TUDOrientation", {"udVertical", "udHorizontal"}};
const TEnumInfo UDAlignButtonInfo{"TUDAlignButton", {"udLeft", "udRight"}};
const TEnumInfo TrackBarOrientationInfo{"TTrackBarOrientation", {"trHorizontal", "trVertical"}};
const TEnumInfo BorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};

// ---- TProgressBar --------------------------------------------------------------------------

const TClassInfo& TProgressBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TProgressBar>("TProgressBar", &TWinControl::StaticClassInfo())
            .Int("Min", &TProgressBar::Min, &TProgressBar::SetMin)
            .Int("Max", &TProgressBar::Max, &TProgressBar::SetMax)
            .Int("Position", &TProgressBar::Position, &TProgressBar::SetPosition)
            .Int("Step", &TProgressBar::Step, &TProgressBar::SetStep)
            .Enum("Orientation", &TProgressBar::Orientation, &TProgressBar::SetOrientation,
                  ProgressBarOrientationInfo)
            .Bool("Smooth", &TProgressBar::Smooth, &TProgressBar::SetSmooth)
            .Creatable()
            .Build();
    return info;
}

TProgressBar::TProgressBar(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 150;
    height_ = 16;
}

void TProgressBar::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"msctls_progress32";
    if (orientation_ == TProgressBarOrientation::pbVertical) p.Style |= PBS_VERTICAL;
    if (smooth_) p.Style |= PBS_SMOOTH;
}

void TProgressBar::CreateWindowHandleDone() {
    SendRange();
    SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(position_), 0);
}

void TProgressBar::SendRange() {
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}

void TProgressBar::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    SendRange();
}
void TProgressBar::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    SendRange();
}
void TProgressBar::SetPosition(int v) {
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (v == position_) return;
    position_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), PBM_SETPOS, static_cast<WPARAM>(v), 0);
}
void TProgressBar::SetOrientation(TProgressBarOrientation v) {
    if (v == orientation_) return;
    orientation_ = v;
    RecreateWnd();
}
void TProgressBar::SetSmooth(bool v) {
    if (v == smooth_) return;
    smooth_ = v;
    RecreateWnd();
}

// ---- TStatusBar ----------------------------------------------------------------------------

const TClassInfo& TStatusBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TStatusBar>("TStatusBar", &TWinControl::StaticClassInfo())
            .Strings("Panels", [](TStatusBar* s) { return s->PanelRows(); },
                     [](TStatusBar* s, const std::vector<std::u16string>& rows) { s->SetPanelRows(rows); })
            .Bool("SimplePanel", &TStatusBar::SimplePanel, &TStatusBar::SetSimplePanel)
            .Str("SimpleText", &TStatusBar::SimpleText, &TStatusBar::SetSimpleText)
            .Bool("SizeGrip", &TStatusBar::SizeGrip, &TStatusBar::SetSizeGrip)
            .Creatable()
            .Build();
    return info;
}

TStatusBar::TStatusBar(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 200;
    height_ = 19;
    SetAlign(TAlign::alBottom);
}

void TStatusBar::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"msctls_statusbar32";
    // The framework places the bar (its Align), not the bar itself.
    p.Style |= CCS_NOPARENTALIGN | CCS_NORESIZE | CCS_NODIVIDER;
    if (sizeGrip_) p.Style |= SBARS_SIZEGRIP;
}

void TStatusBar::CreateWindowHandleDone() { SendPanels(); }

void TStatusBar::SendPanels() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    SendMessageW(h, SB_SIMPLE, simplePanel_ || panels_.empty(), 0);
    if (simplePanel_ || panels_.empty()) {
        std::wstring text = W(simpleText_);
        SendMessageW(h, SB_SETTEXTW, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    std::vector<int> edges;
    int x = 0;
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        x += std::max(panels_[i].Width, 0);
        edges.push_back(i + 1 == panels_.size() ? -1 : x);
    }
    SendMessageW(h, SB_SETPARTS, edges.size(), reinterpret_cast<LPARAM>(edges.data()));
    for (std::size_t i = 0; i < panels_.size(); ++i) {
        const TStatusPanel& panel = panels_[i];
        WPARAM flags = i;
        if (panel.Bevel == TStatusPanelBevel::pbNone) flags |= SBT_NOBORDERS;
        if (panel.Bevel == TStatusPanelBevel::pbRaised) flags |= SBT_POPOUT;
        if (panel.Style == TStatusPanelStyle::psOwnerDraw) {
            SendMessageW(h, SB_SETTEXTW, flags | SBT_OWNERDRAW, static_cast<LPARAM>(i));
            continue;
        }
        // The platform aligns by tabs in the text: one centres, two put it on the right.
        std::u16string text = panel.Text;
        if (panel.Alignment == TAlignment::taCenter) text = u"\t" + text;
        if (panel.Alignment == TAlignment::taRightJustify) text = u"\t\t" + text;
        std::wstring w = W(text);
        SendMessageW(h, SB_SETTEXTW, flags, reinterpret_cast<LPARAM>(w.c_str()));
    }
}

void TStatusBar::SetPanels(std::vector<TStatusPanel> panels) {
    panels_ = std::move(panels);
    SendPanels();
    Invalidate();
}

void TStatusBar::SetPanelText(int index, const std::u16string& text) {
    if (index < 0 || index >= static_cast<int>(panels_.size()) || panels_[index].Text == text) return;
    panels_[index].Text = text;
    SendPanels();
}

std::vector<std::u16string> TStatusBar::PanelRows() const {
    auto ident = [](const TEnumInfo& info, int v) {
        const std::string n = info.Names[static_cast<std::size_t>(v)];
        return std::u16string(n.begin(), n.end());
    };
    std::vector<std::u16string> rows;
    for (const TStatusPanel& p : panels_) {
        const std::string width = std::to_string(p.Width);
        rows.push_back(JoinRow({p.Text, std::u16string(width.begin(), width.end()),
                                ident(PanelAlignmentNames, static_cast<int>(p.Alignment)),
                                ident(StatusPanelBevelInfo, static_cast<int>(p.Bevel)),
                                ident(StatusPanelStyleInfo, static_cast<int>(p.Style))}));
    }
    return rows;
}

void TStatusBar::SetPanelRows(const std::vector<std::u16string>& rows) {
    std::vector<TStatusPanel> panels;
    auto index = [](const TEnumInfo& info, const std::u16string& text, int fallback) {
        const int i = info.IndexOf(std::string(text.begin(), text.end()));
        return i < 0 ? fallback : i;
    };
    for (const std::u16string& row : rows) {
        const auto f = SplitRow(row);
        TStatusPanel p;
        p.Text = RowText(f, 0);
        p.Width = RowInt(f, 1, 50);
        p.Alignment = static_cast<TAlignment>(index(PanelAlignmentNames, RowText(f, 2), 0));
        p.Bevel = static_cast<TStatusPanelBevel>(index(StatusPanelBevelInfo, RowText(f, 3), 1));
        p.Style = static_cast<TStatusPanelStyle>(index(StatusPanelStyleInfo, RowText(f, 4), 0));
        panels.push_back(std::move(p));
    }
    SetPanels(std::move(panels));
}

void TStatusBar::SetSimplePanel(bool v) {
    if (v == simplePanel_) return;
    simplePanel_ = v;
    SendPanels();
    Invalidate();
}

void TStatusBar::SetSimpleText(const std::u16string& v) {
    if (v == simpleText_) return;
    simpleText_ = v;
    SendPanels();
}

void TStatusBar::SetSizeGrip(bool v) {
    if (v == sizeGrip_) return;
    sizeGrip_ = v;
    RecreateWnd();
}

void TStatusBar::WndProc(TMessage& m) {
    if (m.Msg == CN_DRAWITEM) {
        auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
        if (item && OnDrawPanel) OnDrawPanel(this, static_cast<int>(item->itemID), item->hDC, item->rcItem);
        m.Result = 1;
        return;
    }
    if (m.Msg == WM_SIZE) {
        TWinControl::WndProc(m);
        SendPanels();
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TUpDown -------------------------------------------------------------------------------

const TClassInfo& TUpDown::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TUpDown>("TUpDown", &TWinControl::StaticClassInfo())
            .Int("Min", &TUpDown::Min, &TUpDown::SetMin)
            .Int("Max", &TUpDown::Max, &TUpDown::SetMax)
            .Int("Position", &TUpDown::Position, &TUpDown::SetPosition)
            .Int("Increment", &TUpDown::Increment, &TUpDown::SetIncrement)
            .Bool("Wrap", &TUpDown::Wrap, &TUpDown::SetWrap)
            .Enum("Orientation", &TUpDown::Orientation, &TUpDown::SetOrientation, UDOrientationInfo)
            .Enum("AlignButton", &TUpDown::AlignButton, &TUpDown::SetAlignButton, UDAlignButtonInfo)
            .Reference<TWinControl>("Associate", &TUpDown::Associate, &TUpDown::SetAssociate)
            .Event("OnChange", &TUpDown::OnChange)
            .Creatable()
            .Build();
    return info;
}

TUpDown::TUpDown(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 17;
    height_ = 25;
}

TUpDown::~TUpDown() {
    if (associate_) associate_->RemoveFreeNotification(this);
}

void TUpDown::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"msctls_updown32";
    p.Style |= UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS;
    p.Style |= alignButton_ == TUDAlignButton::udLeft ? UDS_ALIGNLEFT : UDS_ALIGNRIGHT;
    if (orientation_ == TUDOrientation::udHorizontal) p.Style |= UDS_HORZ;
    if (wrap_) p.Style |= UDS_WRAP;
}

void TUpDown::CreateWindowHandleDone() {
    HWND h = Handle();
    SendMessageW(h, UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
    UDACCEL accel{0, static_cast<UINT>(std::max(increment_, 1))};
    SendMessageW(h, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&accel));
    if (associate_) SendMessageW(h, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
    SendMessageW(h, UDM_SETPOS32, 0, position_);
}

int TUpDown::Position() const {
    if (!HandleAllocated()) return position_;
    BOOL failed = FALSE;
    const int pos = static_cast<int>(
        SendMessageW(const_cast<TUpDown*>(this)->Handle(), UDM_GETPOS32, 0, reinterpret_cast<LPARAM>(&failed)));
    return failed ? position_ : pos;
}

void TUpDown::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}
void TUpDown::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETRANGE32, static_cast<WPARAM>(min_), max_);
}
void TUpDown::SetPosition(int v) {
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    position_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), UDM_SETPOS32, 0, v);
}
void TUpDown::SetIncrement(int v) {
    if (v == increment_) return;
    increment_ = v;
    RecreateWnd();
}
void TUpDown::SetWrap(bool v) {
    if (v == wrap_) return;
    wrap_ = v;
    RecreateWnd();
}
void TUpDown::SetOrientation(TUDOrientation v) {
    if (v == orientation_) return;
    orientation_ = v;
    RecreateWnd();
}
void TUpDown::SetAlignButton(TUDAlignButton v) {
    if (v == alignButton_) return;
    alignButton_ = v;
    RecreateWnd();
}
void TUpDown::SetAssociate(TWinControl* v) {
    if (v == associate_ || v == this) return;
    if (associate_) associate_->RemoveFreeNotification(this);
    associate_ = v;
    if (v) v->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(Handle(), UDM_SETBUDDY, reinterpret_cast<WPARAM>(v ? v->Handle() : nullptr), 0);
}

void TUpDown::Notification(TComponent* component, TOperation operation) {
    TWinControl::Notification(component, operation);
    if (operation == TOperation::opRemove && component == associate_) associate_ = nullptr;
}

void TUpDown::WndProc(TMessage& m) {
    if (m.Msg == CN_VSCROLL || m.Msg == CN_HSCROLL) {
        if (LOWORD(m.WParam) == SB_THUMBPOSITION) {
            position_ = Position();
            if (OnChange) OnChange(this);
        }
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TTrackBar -----------------------------------------------------------------------------

const TClassInfo& TTrackBar::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TTrackBar>("TTrackBar", &TWinControl::StaticClassInfo())
            .Int("Min", &TTrackBar::Min, &TTrackBar::SetMin)
            .Int("Max", &TTrackBar::Max, &TTrackBar::SetMax)
            .Int("Position", &TTrackBar::Position, &TTrackBar::SetPosition)
            .Int("Frequency", &TTrackBar::Frequency, &TTrackBar::SetFrequency)
            .Int("PageSize", &TTrackBar::PageSize, &TTrackBar::SetPageSize)
            .Enum("Orientation", &TTrackBar::Orientation, &TTrackBar::SetOrientation, TrackBarOrientationInfo)
            .Bool("Transparent", &TTrackBar::Transparent, &TTrackBar::SetTransparent)
            .Event("OnChange", &TTrackBar::OnChange)
            .Creatable()
            .Build();
    return info;
}

TTrackBar::TTrackBar(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 150;
    height_ = 45;
    SetTabStop(true);
}

void TTrackBar::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"msctls_trackbar32";
    p.Style |= TBS_AUTOTICKS | (orientation_ == TTrackBarOrientation::trVertical ? TBS_VERT : TBS_HORZ);
}

void TTrackBar::CreateWindowHandleDone() {
    HWND h = Handle();
    SendMessageW(h, TBM_SETRANGEMIN, FALSE, min_);
    SendMessageW(h, TBM_SETRANGEMAX, FALSE, max_);
    SendMessageW(h, TBM_SETTICFREQ, static_cast<WPARAM>(std::max(frequency_, 1)), 0);
    SendMessageW(h, TBM_SETPAGESIZE, 0, pageSize_);
    SendMessageW(h, TBM_SETPOS, TRUE, position_);
}

void TTrackBar::SetMin(int v) {
    if (v == min_) return;
    min_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETRANGEMIN, TRUE, v);
}
void TTrackBar::SetMax(int v) {
    if (v == max_) return;
    max_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETRANGEMAX, TRUE, v);
}
void TTrackBar::SetPosition(int v) {
    v = std::clamp(v, std::min(min_, max_), std::max(min_, max_));
    if (v == position_) return;
    position_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPOS, TRUE, v);
    if (OnChange) OnChange(this);
}
void TTrackBar::SetFrequency(int v) {
    if (v == frequency_) return;
    frequency_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETTICFREQ, static_cast<WPARAM>(std::max(v, 1)), 0);
}
void TTrackBar::SetPageSize(int v) {
    if (v == pageSize_) return;
    pageSize_ = v;
    if (HandleAllocated()) SendMessageW(Handle(), TBM_SETPAGESIZE, 0, v);
}
void TTrackBar::SetOrientation(TTrackBarOrientation v) {
    if (v == orientation_) return;
    orientation_ = v;
    RecreateWnd();
}
void TTrackBar::SetTransparent(bool v) {
    if (v == transparent_) return;
    transparent_ = v;
    Invalidate();
}

void TTrackBar::WndProc(TMessage& m) {
    if (m.Msg == CN_HSCROLL || m.Msg == CN_VSCROLL) {
        const int pos = static_cast<int>(SendMessageW(Handle(), TBM_GETPOS, 0, 0));
        if (pos != position_) {
            position_ = pos;
            if (OnChange) OnChange(this);
        }
        return;
    }
    if (m.Msg == CN_NOTIFY) {
        m.Result = CDRF_DODEFAULT;
        return;
    }
    TWinControl::WndProc(m);
}

// ---- THeaderControl ------------------------------------------------------------------------

const TClassInfo& THeaderControl::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<THeaderControl>("THeaderControl", &TWinControl::StaticClassInfo())
            .Strings("Sections", [](THeaderControl* h) { return h->SectionRows(); },
                     [](THeaderControl* h, const std::vector<std::u16string>& rows) { h->SetSectionRows(rows); })
            .Creatable()
            .Build();
    return info;
}

THeaderControl::THeaderControl(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 200;
    height_ = 20;
}

void THeaderControl::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"SysHeader32";
    p.Style |= HDS_BUTTONS | HDS_HORZ | HDS_FULLDRAG;
}

void THeaderControl::CreateWindowHandleDone() { SendSections(); }

void THeaderControl::SendSections() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    while (SendMessageW(h, HDM_GETITEMCOUNT, 0, 0) > 0) SendMessageW(h, HDM_DELETEITEM, 0, 0);
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        std::wstring text = W(sections_[i].Text);
        HDITEMW item{};
        item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
        item.cxy = sections_[i].Width;
        item.fmt = HDF_LEFT | HDF_STRING;
        item.pszText = text.data();
        SendMessageW(h, HDM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
    }
}

void THeaderControl::SetSections(std::vector<THeaderSection> sections) {
    sections_ = std::move(sections);
    SendSections();
}

std::vector<std::u16string> THeaderControl::SectionRows() const {
    std::vector<std::u16string> rows;
    for (const THeaderSection& s : sections_) {
        const std::string w = std::to_string(s.Width);
        rows.push_back(JoinRow({s.Text, std::u16string(w.begin(), w.end())}));
    }
    return rows;
}

void THeaderControl::SetSectionRows(const std::vector<std::u16string>& rows) {
    std::vector<THeaderSection> sections;
    for (const std::u16string& row : rows) {
        const auto f = SplitRow(row);
        sections.push_back({RowText(f, 0), RowInt(f, 1, 80)});
    }
    SetSections(std::move(sections));
}

void THeaderControl::WndProc(TMessage& m) {
    if (m.Msg == CN_NOTIFY) {
        auto* n = reinterpret_cast<NMHEADERW*>(m.LParam);
        if (n && (n->hdr.code == HDN_ITEMCLICKW || n->hdr.code == HDN_ITEMCLICKA) && OnSectionClick)
            OnSectionClick(this, n->iItem);
        return;
    }
    TWinControl::WndProc(m);
}

// ---- TListView -----------------------------------------------------------------------------

const TClassInfo& TListView::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TListView>("TListView", &TWinControl::StaticClassInfo())
            .Strings("Columns", [](TListView* l) { return l->ColumnRows(); },
                     [](TListView* l, const std::vector<std::u16string>& rows) { l->SetColumnRows(rows); })
            .Strings("Items", [](TListView* l) { return l->ItemRows(); },
                     [](TListView* l, const std::vector<std::u16string>& rows) { l->SetItemRows(rows); })
            .Int("ItemIndex", &TListView::ItemIndex, &TListView::SetItemIndex)
            .Bool("RowSelect", &TListView::RowSelect, &TListView::SetRowSelect)
            .Bool("GridLines", &TListView::GridLines, &TListView::SetGridLines)
            .Enum("BorderStyle", &TListView::BorderStyle, &TListView::SetBorderStyle, BorderStyleInfo)
            .Creatable()
            .Build();
    return info;
}

TListView::TListView(TComponent* owner) : TWinControl(owner) {
    controlStyle_ &= ~csAcceptsControls;
    width_ = 250;
    height_ = 150;
    SetTabStop(true);
}

void TListView::CreateParams(TCreateParams& p) {
    InitCommonControlClasses();
    TWinControl::CreateParams(p);
    p.SysClassName = u"SysListView32";
    p.Style |= LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL;
    if (borderStyle_ == TBorderStyle::bsSingle) p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListView::CreateWindowHandleDone() {
    SendExtendedStyle();
    SendColumns();
    SendItems();
}

void TListView::SendExtendedStyle() {
    if (!HandleAllocated()) return;
    DWORD ex = 0;
    if (rowSelect_) ex |= LVS_EX_FULLROWSELECT;
    if (gridLines_) ex |= LVS_EX_GRIDLINES;
    SendMessageW(Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES, ex);
}

void TListView::SendColumns() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    while (SendMessageW(h, LVM_DELETECOLUMN, 0, 0)) {
    }
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        const auto f = SplitRow(columns_[i]);
        std::wstring text = W(RowText(f, 0));
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
        col.cx = RowInt(f, 1, 100);
        col.iSubItem = static_cast<int>(i);
        col.pszText = text.data();
        SendMessageW(h, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }
}

void TListView::SendItems() {
    if (!HandleAllocated()) return;
    HWND h = Handle();
    SendMessageW(h, LVM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < items_.size(); ++i) {
        const auto f = SplitRow(items_[i]);
        for (std::size_t k = 0; k < f.size(); ++k) {
            std::wstring text = W(f[k]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.iSubItem = static_cast<int>(k);
            item.pszText = text.data();
            SendMessageW(h, k == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, i, reinterpret_cast<LPARAM>(&item));
        }
    }
    if (itemIndex_ >= 0) SetItemIndex(itemIndex_);
}

void TListView::SetColumnRows(const std::vector<std::u16string>& rows) {
    columns_ = rows;
    SendColumns();
}

void TListView::SetItemRows(const std::vector<std::u16string>& rows) {
    items_ = rows;
    SendItems();
}

int TListView::ItemIndex() const {
    if (!HandleAllocated()) return itemIndex_;
    return static_cast<int>(
        SendMessageW(const_cast<TListView*>(this)->Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void TListView::SetItemIndex(int v) {
    itemIndex_ = v;
    if (!HandleAllocated()) return;
    LVITEMW item{};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&item));
    if (v < 0) return;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(Handle(), LVM_SETITEMSTATE, static_cast<WPARAM>(v), reinterpret_cast<LPARAM>(&item));
}

void TListView::SetRowSelect(bool v) {
    if (v == rowSelect_) return;
    rowSelect_ = v;
    SendExtendedStyle();
}
void TListView::SetGridLines(bool v) {
    if (v == gridLines_) return;
    gridLines_ = v;
    SendExtendedStyle();
}
void TListView::SetBorderStyle(TBorderStyle v) {
    if (v == borderStyle_) return;
    borderStyle_ = v;
    RecreateWnd();
}

HWND TListView::HeaderHandle() {
    if (!HandleAllocated()) return nullptr;
    return reinterpret_cast<HWND>(SendMessageW(Handle(), LVM_GETHEADER, 0, 0));
}

}  // namespace qx
