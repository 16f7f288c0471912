#include "app/Ana.h"

#include "components/RegisterComponents.h"
#include "framework/LayoutLoader.h"

namespace qx {

const TClassInfo& TFrmAna::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TFrmAna>("TFrmAna", &TForm::StaticClassInfo())
                                       .PublishMethod<&TFrmAna::btncarihesaplarClick>("btncarihesaplarClick")
                                       .Build();
    return info;
}

template <class T>
void TFrmAna::Bind(T*& field, const char* name) {
    field = dynamic_cast<T*>(FindComponent(name));
    if (!field) throw ELayoutError(std::string("the layout has no ") + T::StaticClassInfo().Name + " named " + name);
}

TFrmAna::TFrmAna(TComponent* owner) : TForm(owner) {
    RegisterComponentClasses();
    LoadLayoutResource(this, L"TFRMANA");
    for (const TProduct& p : ProductCatalogue()) Bind(this->*p.Radio, p.RadioName);
    Bind(btncarihesaplar, "btncarihesaplar");
    Bind(ProgressBar1, "ProgressBar1");
    Bind(Label1, "Label1");
    Bind(Label2, "Label2");
}

const TProduct* TFrmAna::CheckedProduct() const {
    for (const TProduct& p : ProductCatalogue())
        if ((this->*p.Radio)->Checked()) return &p;
    return nullptr;
}

void TFrmAna::btncarihesaplarClick(TObject*) {
    if (!CheckedProduct()) {
        Application->MessageBox(u"Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.", u"Uyarı",
                                MB_OK | MB_ICONINFORMATION);
        return;
    }
    // The choice is locked before any network work and stays locked for the whole run.
    for (const TProduct& p : ProductCatalogue()) (this->*p.Radio)->SetEnabled(false);
}

}  // namespace qx
