// The installer's main window: the product choice and the install command.
#pragma once
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"

#include "app/Catalogue.h"

namespace qx {

class TFrmAna : public TForm {
    QX_CLASS_INFO()
public:
    explicit TFrmAna(TComponent* owner);

    // The install button's OnClick.
    void btncarihesaplarClick(TObject* sender);
    // The first product, in catalogue order, whose radio button is checked; none when none is.
    const TProduct* CheckedProduct() const;

    TRadioButton* rdDrivano = nullptr;
    TRadioButton* rdHestra = nullptr;
    TRadioButton* rdPartelo = nullptr;
    TRadioButton* rdLumiqo = nullptr;
    TRadioButton* rdSarvek = nullptr;
    TRadioButton* rdNuvreta = nullptr;
    TGlowButton* btncarihesaplar = nullptr;
    TGradientProgress* ProgressBar1 = nullptr;
    TLabel* Label1 = nullptr;
    TLabel* Label2 = nullptr;

private:
    template <class T>
    void Bind(T*& field, const char* name);
};

}  // namespace qx
