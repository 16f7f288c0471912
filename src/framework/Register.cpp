#include "framework/Register.h"

#include "framework/Actions.h"
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/StdCtrls.h"

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
    RegisterClass(TMainMenu::StaticClassInfo());
    RegisterClass(TPopupMenu::StaticClassInfo());
    RegisterClass(TMenuItem::StaticClassInfo());
    RegisterClass(TImageList::StaticClassInfo());
    RegisterGraphicClass("TBitmap", [] { return std::make_unique<TBitmap>(); });
}

}  // namespace qx
