#include "framework/Register.h"

#include "framework/Actions.h"
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"

namespace qx {

void RegisterFrameworkClasses() {
    RegisterClass(TForm::StaticClassInfo());
    RegisterClass(TLabel::StaticClassInfo());
    RegisterClass(TButton::StaticClassInfo());
    RegisterClass(TRadioButton::StaticClassInfo());
    RegisterClass(TCheckBox::StaticClassInfo());
    RegisterClass(TPanel::StaticClassInfo());
    RegisterClass(TImage::StaticClassInfo());
    RegisterClass(TTimer::StaticClassInfo());
    RegisterClass(TAction::StaticClassInfo());
    RegisterClass(TBitBtn::StaticClassInfo());
    RegisterClass(TSpeedButton::StaticClassInfo());
    RegisterClass(TMenuButton::StaticClassInfo());
    RegisterClass(TProgressBar::StaticClassInfo());
    RegisterClass(TStatusBar::StaticClassInfo());
    RegisterClass(TUpDown::StaticClassInfo());
    RegisterClass(TTrackBar::StaticClassInfo());
    RegisterClass(THeaderControl::StaticClassInfo());
    RegisterClass(TListView::StaticClassInfo());
    RegisterClass(TEdit::StaticClassInfo());
    RegisterClass(TMemo::StaticClassInfo());
    RegisterClass(TComboBox::StaticClassInfo());
    RegisterClass(TScrollBar::StaticClassInfo());
    RegisterClass(TScrollBox::StaticClassInfo());
    RegisterClass(TGroupBox::StaticClassInfo());
    RegisterClass(TRadioGroup::StaticClassInfo());
    RegisterClass(TGlyphCheckBox::StaticClassInfo());
    RegisterClass(TGlyphRadioButton::StaticClassInfo());
    RegisterClass(TTabControl::StaticClassInfo());
    RegisterClass(TPageControl::StaticClassInfo());
    RegisterClass(TTabSheet::StaticClassInfo());
    RegisterClass(TPageControlEx::StaticClassInfo());
    RegisterClass(TTabSet::StaticClassInfo());
    RegisterClass(TMediaPlayer::StaticClassInfo());
    RegisterGraphicClass("TBitmap", [] { return std::make_unique<TBitmap>(); });
}

}  // namespace qx
