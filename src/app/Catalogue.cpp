#include "app/Catalogue.h"

#include "app/Ana.h"

namespace qx {

const std::array<TProduct, 6>& ProductCatalogue() {
    static const std::array<TProduct, 6> catalogue{{
        {&TFrmAna::rdDrivano, "rdDrivano", u"Quenrix Drivano Programı", u"http://www.quenrix.com.tr/Kur/DrivanoSetup.exe",
         u"DrivanoKur.exe"},
        {&TFrmAna::rdHestra, "rdHestra", u"Hestra Hasta Takip Programı", u"http://www.quenrix.com.tr/Kur/HestraSetup.exe",
         u"HestraKur.exe"},
        {&TFrmAna::rdPartelo, "rdPartelo", u"Partelo IBYS Otomasyonu", u"http://www.quenrix.com.tr/Kur/ParteloSetup.exe",
         u"ParteloKur.exe"},
        {&TFrmAna::rdLumiqo, "rdLumiqo", u"Lumiqo Güzellik ve Estetik Merkezleri Programı",
         u"http://www.quenrix.com.tr/Kur/LumiqoSetup.exe", u"LumiqoKur.exe"},
        {&TFrmAna::rdSarvek, "rdSarvek", u"Sarvek Teknik Servis Programı", u"http://www.quenrix.com.tr/Kur/SarvekSetup.exe",
         u"SarvekKur.exe"},
        {&TFrmAna::rdNuvreta, "rdNuvreta", u"Nuvreta Programı", u"http://www.quenrix.com.tr/Kur/NuvretaSetup.exe",
         u"NuvretaKur.exe"},
    }};
    return catalogue;
}

}  // namespace qx
