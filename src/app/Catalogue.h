// The six products the installer offers, in the order the install command examines them.
#pragma once
#include <array>
#include <string>

namespace qx {

class TRadioButton;
class TFrmAna;

struct TProduct {
    TRadioButton* TFrmAna::*Radio;  // the radio button that selects the product
    const char* RadioName;
    std::u16string Caption;
    std::u16string Url;
    std::u16string LocalFileName;  // saved beside the installer under this name
};

// The publisher's web server; every product URL is on it.
inline constexpr char16_t kPublisherHost[] = u"www.quenrix.com.tr";

// The common name of the certificate every product's setup program is signed with; a program
// signed by anyone else is not started.
inline constexpr char16_t kPublisherName[] = u"Quenrix";

const std::array<TProduct, 6>& ProductCatalogue();

}  // namespace qx
