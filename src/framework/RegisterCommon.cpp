#include "framework/Register.h"

#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/TabCtrls.h"

namespace qx {

void RegisterCommonControlClasses() {
    RegisterFrameworkClasses();
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
}

}  // namespace qx
