#include "skin/ControlView.h"

#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/Rtti.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"

#include <commctrl.h>

#include <vector>

namespace qx {

LONG_PTR TControlView::Style() const { return window_ ? GetWindowLongPtrW(window_, GWL_STYLE) : 0; }

LONG_PTR TControlView::ExStyle() const { return window_ ? GetWindowLongPtrW(window_, GWL_EXSTYLE) : 0; }

bool TControlView::Enabled() const {
    if (window_) return (Style() & WS_DISABLED) == 0;
    return control_ ? control_->Enabled() : true;
}

bool TControlView::Focused() const { return window_ && GetFocus() == window_; }

TCheckState TControlView::Check() const {
    if (auto* radio = dynamic_cast<TRadioButton*>(control_))
        return radio->Checked() ? TCheckState::Checked : TCheckState::Unchecked;
    if (auto* check = dynamic_cast<TCheckBox*>(control_)) {
        switch (check->State()) {
            case TCheckBoxState::cbChecked: return TCheckState::Checked;
            case TCheckBoxState::cbGrayed: return TCheckState::Grayed;
            default: return TCheckState::Unchecked;
        }
    }
    if (auto* speed = dynamic_cast<TSpeedButton*>(control_))
        return speed->Down() ? TCheckState::Checked : TCheckState::Unchecked;
    if (!window_) return TCheckState::Unchecked;
    const LRESULT state = SendMessageW(window_, BM_GETCHECK, 0, 0);
    if (state == BST_INDETERMINATE) return TCheckState::Grayed;
    return state == BST_CHECKED ? TCheckState::Checked : TCheckState::Unchecked;
}

bool TControlView::Down() const {
    if (auto* speed = dynamic_cast<TSpeedButton*>(control_)) return speed->Down();
    return window_ && (SendMessageW(window_, BM_GETSTATE, 0, 0) & BST_PUSHED) != 0;
}

std::u16string TControlView::Caption() const {
    if (control_) return control_->Caption();
    if (!window_) return {};
    const int n = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(n > 0 ? n : 0) + 1, L'\0');
    const int got = GetWindowTextW(window_, text.data(), static_cast<int>(text.size()));
    return std::u16string(text.begin(), text.begin() + (got > 0 ? got : 0));
}

HFONT TControlView::Font() const {
    if (control_) return control_->Font().Handle();
    return window_ ? reinterpret_cast<HFONT>(SendMessageW(window_, WM_GETFONT, 0, 0)) : nullptr;
}

COLORREF TControlView::TextColor(COLORREF fallback) const {
    return control_ ? ColorToRGB(control_->Font().Color()) : fallback;
}

bool TControlView::RightToLeft() const { return (ExStyle() & (WS_EX_RTLREADING | WS_EX_RIGHT)) != 0; }

TGlyphSettings* TControlView::Glyphs() const { return dynamic_cast<TGlyphSettings*>(control_); }

TBitmap* TControlView::GlyphPicture() const {
    TBitmap* picture = nullptr;
    if (glyphSource_ == TGlyphSource::PngImage) {
        // The class map's controls are known only through their published properties.
        const TPropInfo* p = control_ ? GetPropInfo(control_, "PngImage") : nullptr;
        TObject* value = p && p->Kind == TPropKind::Object && p->GetObj ? p->GetObj(control_) : nullptr;
        picture = value && value->ClassInfo().InheritsFrom(TGraphic::StaticClassInfo()) ? dynamic_cast<TBitmap*>(value)
                                                                                        : nullptr;
    } else if (TGlyphSettings* settings = Glyphs()) {
        picture = settings->Glyph();
    }
    return picture && !picture->Empty() ? picture : nullptr;
}

bool TControlView::Flat() const {
    auto* speed = dynamic_cast<TSpeedButton*>(control_);
    return speed && speed->Flat();
}

std::int32_t TControlView::Tag() const { return control_ ? control_->Tag() : 0; }

TColor TControlView::Colour() const {
    if (control_) return control_->Color();
    return clBtnFace;
}

void TControlView::SetColour(TColor colour) const {
    if (control_) control_->SetColor(colour);
}

bool TControlView::HasParentBackground() const { return dynamic_cast<TWinControl*>(control_) != nullptr; }

bool TControlView::ParentBackground() const {
    auto* w = dynamic_cast<TWinControl*>(control_);
    return w && w->ParentBackground();
}

void TControlView::SetParentBackground(bool on) const {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) w->SetParentBackground(on);
}

HWND TControlView::CurrentWindow() const {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) return w->HandleAllocated() ? w->Handle() : nullptr;
    return window_;
}

HWND TControlView::WindowNeeded() const {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) return w->Handle();
    return control_ ? nullptr : window_;
}

bool TControlView::IsWindowed() const { return control_ ? dynamic_cast<TWinControl*>(control_) != nullptr : window_ != nullptr; }

void TControlView::PaintChildControls(HDC dc) const {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) w->PaintControls(dc);
}

bool TControlView::DoubleBuffered() const {
    auto* w = dynamic_cast<TWinControl*>(control_);
    return w && w->DoubleBuffered();
}

void TControlView::SetDoubleBuffered(bool on) const {
    if (auto* w = dynamic_cast<TWinControl*>(control_)) w->SetDoubleBuffered(on);
}

namespace {

// A published property's identifier, lower case; "" when the control has none. Controls the
// skin's class map names are known only through what they publish.
std::string PublishedLower(TControl* control, std::string_view name) {
    if (!control || !HasProperty(control, name)) return {};
    try {
        std::string out;
        for (char16_t c : GetPropText(control, name))
            out.push_back(c < 0x80 ? static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c) : '?');
        return out;
    } catch (const EPropertyError&) {
        return {};
    }
}

}  // namespace

bool TControlView::HorizontalBar() const {
    if (control_) return PublishedLower(control_, "Kind") == "sbhorizontal";
    return (Style() & SBS_VERT) == 0;
}

bool TControlView::BorderSwitchedOff() const { return PublishedLower(control_, "BorderStyle") == "bsnone"; }

bool TControlView::StatusSimple() const {
    if (auto* bar = dynamic_cast<TStatusBar*>(control_)) return bar->SimplePanel() || bar->Panels().empty();
    return window_ && SendMessageW(window_, SB_ISSIMPLE, 0, 0) != 0;
}

std::u16string TControlView::StatusSimpleText() const {
    if (auto* bar = dynamic_cast<TStatusBar*>(control_)) return bar->SimpleText();
    return Caption();
}

int TControlView::StatusCellCount() const {
    if (auto* bar = dynamic_cast<TStatusBar*>(control_)) return static_cast<int>(bar->Panels().size());
    return window_ ? static_cast<int>(SendMessageW(window_, SB_GETPARTS, 0, 0)) : 0;
}

TStatusCell TControlView::StatusCell(int index) const {
    TStatusCell cell;
    if (auto* bar = dynamic_cast<TStatusBar*>(control_)) {
        if (index < 0 || index >= static_cast<int>(bar->Panels().size())) return cell;
        const TStatusPanel& panel = bar->Panels()[static_cast<std::size_t>(index)];
        TAlignment a = panel.Alignment;
        if (panel.RightToLeft && a != TAlignment::taCenter)
            a = a == TAlignment::taLeftJustify ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
        cell.Align = a == TAlignment::taCenter         ? TPanelAlign::Centre
                     : a == TAlignment::taRightJustify ? TPanelAlign::Right
                                                       : TPanelAlign::Left;
        cell.Bevel = panel.Bevel == TStatusPanelBevel::pbRaised ? TPanelBevel::Raised
                     : panel.Bevel == TStatusPanelBevel::pbNone ? TPanelBevel::None
                                                                : TPanelBevel::Lowered;
        cell.OwnerDraw = panel.Style == TStatusPanelStyle::psOwnerDraw;
        cell.Text = panel.Text;
        return cell;
    }
    if (!window_) return cell;
    const LRESULT info = SendMessageW(window_, SB_GETTEXTLENGTHW, static_cast<WPARAM>(index), 0);
    const UINT flags = HIWORD(info);
    cell.Bevel = (flags & SBT_POPOUT) ? TPanelBevel::Raised : (flags & SBT_NOBORDERS) ? TPanelBevel::None : TPanelBevel::Lowered;
    cell.OwnerDraw = (flags & SBT_OWNERDRAW) != 0;
    if (cell.OwnerDraw) return cell;
    std::wstring w(static_cast<std::size_t>(LOWORD(info)) + 1, L'\0');
    SendMessageW(window_, SB_GETTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(w.data()));
    w.resize(LOWORD(info));
    cell.Text.assign(w.begin(), w.end());
    // The platform aligns by leading tabs.
    if (cell.Text.rfind(u"\t\t", 0) == 0) {
        cell.Align = TPanelAlign::Right;
        cell.Text = cell.Text.substr(2);
    } else if (cell.Text.rfind(u"\t", 0) == 0) {
        cell.Align = TPanelAlign::Centre;
        cell.Text = cell.Text.substr(1);
    }
    return cell;
}

bool TControlView::DrawStatusCell(int index, HDC dc, const RECT& cell) const {
    auto* bar = dynamic_cast<TStatusBar*>(control_);
    if (!bar || !bar->OnDrawPanel) return false;
    bar->OnDrawPanel(bar, index, dc, cell);
    return true;
}

bool TControlView::HasTabRow() const { return dynamic_cast<TTabSet*>(control_) != nullptr; }

std::vector<TTabCell> TControlView::TabRow() const {
    std::vector<TTabCell> row;
    auto* set = dynamic_cast<TTabSet*>(control_);
    if (!set) return row;
    for (int i = 0; i < static_cast<int>(set->Tabs().size()); ++i)
        row.push_back(TTabCell{set->Tabs()[static_cast<std::size_t>(i)], set->TabRect(i), i == set->TabIndex()});
    return row;
}

bool TControlView::HasMediaBar() const { return dynamic_cast<TMediaPlayer*>(control_) != nullptr; }

TMediaBar TControlView::MediaBar() const {
    TMediaBar bar;
    auto* player = dynamic_cast<TMediaPlayer*>(control_);
    if (!player) return bar;
    bar.Visible = player->VisibleButtons();
    bar.Enabled = player->Enabled() ? player->EnabledButtons() : 0;
    bar.Coloured = player->ColoredButtons();
    bar.VisibleCount = player->VisibleCount();
    bar.Focused = player->FocusedButton();
    return bar;
}

int TControlView::MediaButtonAt(int x) const {
    auto* player = dynamic_cast<TMediaPlayer*>(control_);
    return player ? player->ButtonAt(x) : -1;
}

bool TControlView::TakesGlyphStrip() const {
    auto* toggle = dynamic_cast<TGlyphToggle*>(control_);
    return toggle && toggle->CustomGlyphs();
}

bool TControlView::SetGlyphStrip(const TBitmap* strip) const {
    auto* toggle = dynamic_cast<TGlyphToggle*>(control_);
    if (!toggle || !toggle->CustomGlyphs()) return false;
    if (!strip) {
        toggle->SetUseCustomGlyphs(false);
        toggle->CustomGlyphs()->Clear();
        return true;
    }
    toggle->CustomGlyphs()->Assign(*strip);
    toggle->SetTransparentColor(clFuchsia);
    // Off and on again, so that the control takes the new glyphs.
    toggle->SetUseCustomGlyphs(false);
    toggle->SetUseCustomGlyphs(true);
    return true;
}

TBitmap* TControlView::TabPicture(bool selected) const {
    auto* pages = dynamic_cast<TPageControlEx*>(control_);
    if (!pages) return nullptr;
    return selected ? pages->TabBackGroundActive() : pages->TabBackGround();
}

}  // namespace qx
