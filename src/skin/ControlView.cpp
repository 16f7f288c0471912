#include "skin/ControlView.h"

#include "framework/Buttons.h"
#include "framework/Rtti.h"
#include "framework/StdCtrls.h"

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

}  // namespace qx
