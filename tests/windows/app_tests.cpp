// The main window as its layout builds it, the product catalogue and the install command.
#include "FakeInstallerPlatform.h"
#include "TestSupport.h"

#include "app/Ana.h"
#include "components/HttpClient.h"
#include "components/PanelStyler.h"
#include "components/CaptionPanel.h"
#include "components/GdiPlusImage.h"
#include "framework/ExtCtrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>

using namespace qx;

namespace {

struct TBoxes {
    struct Box {
        std::u16string text, caption;
        UINT flags;
    };
    std::vector<Box> shown;
    decltype(TApplication::OnMessageBox) saved;
    TBoxes() {
        saved = Application->OnMessageBox;
        Application->OnMessageBox = [this](const std::u16string& t, const std::u16string& c, UINT f) {
            shown.push_back({t, c, f});
            return IDOK;
        };
    }
    ~TBoxes() { Application->OnMessageBox = saved; }
};

}  // namespace

TEST(MainWindow, LayoutGivesEveryStoredValue) {
    TFrmAna form(nullptr);
    EXPECT_EQ(form.Name(), "FrmAna");
    EXPECT_EQ(form.Caption(), u"Quenrix Installer");
    EXPECT_EQ(form.BorderStyle(), TFormBorderStyle::bsDialog);
    EXPECT_EQ(form.BorderIcons(), biSystemMenu);
    EXPECT_EQ(form.Position(), TPosition::poScreenCenter);
    EXPECT_EQ(form.Color(), clBtnFace);
    EXPECT_EQ(form.Font().Name(), u"MS Sans Serif");
    EXPECT_EQ(form.Font().Height(), -11);
    EXPECT_EQ(form.ClientWidth(), 566);
    EXPECT_EQ(form.ClientHeight(), 388);
    for (auto [radio, top, width] : {std::tuple{form.rdDrivano, 104, 396}, std::tuple{form.rdSarvek, 128, 396},
                                     std::tuple{form.rdLumiqo, 162, 396}, std::tuple{form.rdHestra, 186, 362},
                                     std::tuple{form.rdPartelo, 221, 396}, std::tuple{form.rdNuvreta, 245, 396}}) {
        SCOPED_TRACE(radio->Name());
        EXPECT_EQ(radio->Parent(), &form);
        EXPECT_EQ(radio->Left(), 16);
        EXPECT_EQ(radio->Top(), top);
        EXPECT_EQ(radio->Width(), width);
        EXPECT_EQ(radio->Height(), 20);
        EXPECT_EQ(radio->Font().Name(), u"Segoe UI");
        EXPECT_EQ(radio->Font().Height(), -15);
        EXPECT_EQ(radio->Font().Style(), fsBold);
        EXPECT_EQ(radio->Font().Color(), 0x383838);
        EXPECT_EQ(radio->Font().Charset(), TURKISH_CHARSET);
        EXPECT_FALSE(radio->Checked());
        EXPECT_TRUE(radio->Enabled());
    }
    EXPECT_FALSE(form.Label1->Visible());
    EXPECT_TRUE(form.Label1->Caption().empty());
    EXPECT_EQ(form.Label1->Alignment(), TAlignment::taCenter);
    EXPECT_EQ(form.Label1->Font().Color(), 0x404080);
    EXPECT_TRUE(form.Label2->Visible());
    EXPECT_EQ(form.Label2->Alignment(), TAlignment::taRightJustify);
    EXPECT_EQ(form.Label2->Font().Color(), 0xFF972F);
    EXPECT_EQ(form.btncarihesaplar->Caption(), u"  Kuruluma Başla");
    EXPECT_EQ(form.btncarihesaplar->Cursor(), crHandPoint);
    EXPECT_EQ(form.btncarihesaplar->BoundsRect().left, 174);
    std::vector<TWinControl*> tabs;
    form.GetTabOrderList(tabs);
    ASSERT_FALSE(tabs.empty());
    EXPECT_EQ(tabs.back(), form.rdNuvreta) << "the last place, after the install button";
}

TEST(MainWindow, SelfPaintingComponentsHaveTheirStoredValues) {
    TFrmAna form(nullptr);
    TGradientProgress* bar = form.ProgressBar1;
    EXPECT_FALSE(bar->Visible());
    EXPECT_EQ(bar->BoundsRect().left, 16);
    EXPECT_EQ(bar->BoundsRect().top, 320);
    EXPECT_EQ(bar->Width(), 531);
    EXPECT_EQ(bar->Height(), 33);
    EXPECT_TRUE(bar->Solid());
    EXPECT_TRUE(bar->GradientBlocks());
    EXPECT_EQ(bar->StartColor(), 0xFF972F);
    EXPECT_EQ(bar->EndColor(), clBlack);
    EXPECT_EQ(bar->TextOption(), toPercent);
    EXPECT_TRUE(bar->TextCentered());
    EXPECT_EQ(bar->Font().Color(), clRed);
    EXPECT_EQ(bar->Color(), clBtnFace);
    EXPECT_EQ(bar->Maximum(), 100);
    EXPECT_EQ(bar->Position(), 0);

    auto* image = dynamic_cast<TImage*>(form.FindComponent("Image1"));
    ASSERT_NE(image, nullptr);
    EXPECT_NE(dynamic_cast<TSmartImage*>(image->Picture().Graphic()), nullptr);
    EXPECT_EQ(image->BoundsRect().left, 428);
    EXPECT_EQ(image->Width(), 128);
    EXPECT_EQ(image->Height(), 128);

    auto* panel = dynamic_cast<TCaptionPanel*>(form.FindComponent("CaptionPanel1"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->Align(), TAlign::alTop);
    EXPECT_EQ(panel->BorderOuter(), fsNone);
    EXPECT_EQ(panel->BorderInner(), fsNone);
    EXPECT_EQ(panel->Height(), 89);
    EXPECT_EQ(panel->Font().Color(), 0xFF972F);
    EXPECT_NE(panel->Caption().find(u"İndirmenizde  ve Kurmanızda"), std::u16string::npos);  // the double blank kept

    TGlowButton* button = form.btncarihesaplar;
    EXPECT_EQ(button->Spacing(), 1);
    EXPECT_FALSE(button->WordWrap());
    EXPECT_EQ(button->Picture()->Picture().Width(), 32);
    EXPECT_EQ(button->NotesFont().Name(), u"Tahoma");
    EXPECT_EQ(button->Appearance()->Data(), TGlowButtonAppearanceData::Defaults());
}

TEST(Catalogue, EachProductHasItsOwnRadioUrlAndFile) {
    TFrmAna form(nullptr);
    const auto& catalogue = ProductCatalogue();
    const char* words[] = {"Drivano", "Hestra", "Partelo", "Lumiqo", "Sarvek", "Nuvreta"};
    for (std::size_t i = 0; i < catalogue.size(); ++i) {
        const TProduct& p = catalogue[i];
        SCOPED_TRACE(words[i]);
        std::u16string word(words[i], words[i] + std::strlen(words[i]));
        EXPECT_EQ(p.Url, u"http://www.quenrix.com.tr/Kur/" + word + u"Setup.exe");
        EXPECT_EQ(p.LocalFileName, word + u"Kur.exe");
        EXPECT_EQ(p.Word, word) << "as the command line names it";
        TRadioButton* radio = form.Radio(p);
        EXPECT_EQ(radio->Caption(), p.Caption);
        radio->SetChecked(true);
        EXPECT_EQ(form.CheckedProduct(), &p) << "never a neighbour's entry";
    }
}

TEST(InstallCommand, WithoutAChoiceItAsksForOneAndChangesNothing) {
    TFrmAna form(nullptr);
    TBoxes boxes;
    form.btncarihesaplar->Click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, u"Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.");
    EXPECT_EQ(boxes.shown[0].caption, u"Uyarı");
    EXPECT_EQ(boxes.shown[0].flags, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    for (const TProduct& p : ProductCatalogue()) EXPECT_TRUE(form.Radio(p)->Enabled());
}

TEST(InstallCommand, AChoiceIsLockedForTheRestOfTheRun) {
    TFrmAna form(nullptr);
    qx::testing::TFakeInstallerPlatform offline;  // the lock comes before, and without, any transfer
    offline.Online = false;
    form.SetPlatform(offline);
    form.Show();
    TBoxes boxes;
    form.rdPartelo->SetChecked(true);
    form.btncarihesaplar->Click();
    EXPECT_TRUE(boxes.shown.empty());
    for (const TProduct& p : ProductCatalogue()) {
        EXPECT_FALSE(form.Radio(p)->Enabled()) << p.RadioName;
        EXPECT_FALSE(IsWindowEnabled(form.Radio(p)->Handle())) << p.RadioName;
    }
    EXPECT_TRUE(form.rdPartelo->Checked());
    ASSERT_NE(form.CheckedProduct(), nullptr);
    EXPECT_EQ(form.CheckedProduct()->LocalFileName, u"ParteloKur.exe");
    // A click on a disabled radio button changes nothing.
    SendMessageW(form.rdSarvek->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(form.rdSarvek->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    qxtest::Pump(50);
    EXPECT_TRUE(form.rdPartelo->Checked());
    EXPECT_FALSE(form.rdSarvek->Checked());
}

TEST(Program, CarriesItsVersionRecord) {
    const char* build = std::getenv("QX_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    std::string unixPath = std::string(build) + "/src/app/QuenrixInstaller.exe";
    std::wstring path = L"Z:";
    for (char c : unixPath) path += c == '/' ? L'\\' : static_cast<wchar_t>(c);
    DWORD ignored = 0, size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<char> data(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, data.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x000103E8u);  // 1.0.1.1000
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0u);
    struct Lang {
        WORD language, codePage;
    }* langs = nullptr;
    ASSERT_TRUE(VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&langs), &length));
    EXPECT_EQ(langs[0].language, 0x041F);
    EXPECT_EQ(langs[0].codePage, 1254);
    auto field = [&](const wchar_t* name) {
        wchar_t* value = nullptr;
        std::wstring key = std::wstring(L"\\StringFileInfo\\041F04E6\\") + name;
        return VerQueryValueW(data.data(), key.c_str(), reinterpret_cast<void**>(&value), &length) ? std::wstring(value)
                                                                                                  : std::wstring();
    };
    EXPECT_EQ(field(L"CompanyName"), L"Quenrix Yazılım A.Ş.");
    EXPECT_EQ(field(L"LegalTrademarks"), L"Quenrix Yazılım A.Ş.");
    EXPECT_EQ(field(L"ProductName"), L"Quenrix Installer");
    EXPECT_EQ(field(L"OriginalFilename"), L"Quenrix Installer");
}

TEST(MainWindow, NonVisualComponentsFollowTheVisibleOnesWithTheirSettings) {
    TFrmAna form(nullptr);
    std::vector<std::string> order;
    for (TComponent* c : form.Components()) order.push_back(c->Name());
    auto at = [&](const char* name) { return std::find(order.begin(), order.end(), name) - order.begin(); };
    EXPECT_GT(at("PanelStyler1"), at("rdNuvreta"));
    EXPECT_GT(at("HttpClient1"), at("PanelStyler1"));
    auto* styler = dynamic_cast<TPanelStyler*>(form.FindComponent("PanelStyler1"));
    ASSERT_NE(styler, nullptr);
    EXPECT_EQ(styler->Style(), TPanelStyle::psOffice2003Blue);
    auto* http = dynamic_cast<THttpClient*>(form.FindComponent("HttpClient1"));
    ASSERT_NE(http, nullptr);
    EXPECT_TRUE(http->AllowCookies());
    EXPECT_FALSE(http->ProxyParams()->BasicAuthentication());
    EXPECT_EQ(http->ProxyParams()->ProxyPort(), 0);
    EXPECT_EQ(http->Request()->ContentLength(), -1);
    EXPECT_EQ(http->Request()->Accept(), u"text/html, */*");
    EXPECT_EQ(http->Request()->UserAgent(), u"Mozilla/3.0 (compatible; Quenrix Installer)");
    EXPECT_EQ(GetPropText(http, "HTTPOptions"), u"[hoForceEncodeParams]");
}
