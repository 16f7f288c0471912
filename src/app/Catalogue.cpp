#include "app/Catalogue.h"

#include "core/CommandLine.h"

namespace qx {

const std::array<TProduct, 6>& ProductCatalogue() {
    static const std::array<TProduct, 6> catalogue{{
        {"rdDrivano", u"Drivano", u"Quenrix Drivano Programı", u"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe",
         u"DrivanoKur.exe"},
        {"rdHestra", u"Hestra", u"Hestra Hasta Takip Programı", u"http://www.quenrix.com.tr/Kur/HestraSetup.exe",
         u"HestraKur.exe"},
        {"rdPartelo", u"Partelo", u"Partelo IBYS Otomasyonu", u"http://www.quenrix.com.tr/Kur/ParteloSetup.exe",
         u"ParteloKur.exe"},
        {"rdLumiqo", u"Lumiqo", u"Lumiqo Güzellik ve Estetik Merkezleri Programı",
         u"http://www.quenrix.com.tr/Kur/LumiqoSetup.exe", u"LumiqoKur.exe"},
        {"rdSarvek", u"Sarvek", u"Sarvek Teknik Servis Programı", u"http://www.quenrix.com.tr/Kur/SarvekSetup.exe",
         u"SarvekKur.exe"},
        {"rdNuvreta", u"Nuvreta", u"Nuvreta Programı", u"http://www.quenrix.com.tr/Kur/NuvretaSetup.exe",
         u"NuvretaKur.exe"},
    }};
    // The command line's product index is an index into this table.
    static_assert(kProductWords.size() == 6);
    return catalogue;
}

const TProduct* ProductOfUrl(const std::u16string& url) {
    for (const TProduct& p : ProductCatalogue())
        if (p.Url == url) return &p;
    return nullptr;
}

}  // namespace qx
