// The six products the installer offers, in the order the install command examines them.
#pragma once
#include <array>
#include <string>

namespace qx {

struct TProduct {
    const char* RadioName;  // the main window's radio button that selects the product
    std::u16string Word;    // as the command line names it
    std::u16string Caption;
    std::u16string Url;
    std::u16string LocalFileName;  // saved beside the installer under this name
};

// The publisher's web server; every product URL is on it.
inline constexpr char16_t kPublisherHost[] = u"www.quenrix.com.tr";

// The common name of the certificate every product's setup program is signed with; a program
// signed by anyone else is not started.
inline constexpr char16_t kPublisherName[] = u"Quenrix";

// In the order of the command line's product words.
const std::array<TProduct, 6>& ProductCatalogue();

// The catalogue's entry of that URL, or none.
const TProduct* ProductOfUrl(const std::u16string& url);

}  // namespace qx
