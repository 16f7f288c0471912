// The skin data component as the main window's layout creates it, and layouts whose stored
// skin is damaged.
#include "SkinTestSupport.h"
#include "TestSupport.h"

#include "app/Ana.h"
#include "core/Layout.h"
#include "core/Text.h"
#include "framework/LayoutLoader.h"
#include "framework/StdCtrls.h"
#include "skin/SkinData.h"

#include <gtest/gtest.h>

using namespace qx;

TEST(SkinLayout, MainWindowCarriesSkinData1WithItsStoredValues) {
    TFrmAna form(nullptr);
    ASSERT_GT(form.ComponentCount(), 0);
    auto* skin = dynamic_cast<TSkinData*>(form.Components().back());
    ASSERT_NE(skin, nullptr) << "SkinData1 must be the last component";
    EXPECT_EQ(skin->Name(), "SkinData1");
    EXPECT_EQ(form.FindComponent("SkinData1"), skin);
    EXPECT_FALSE(skin->IsLoading());

    EXPECT_EQ(GetPropText(skin, "Active"), u"True");  // the skin parsed, so it stays on
    EXPECT_EQ(skin->DisableTag(), 99);
    EXPECT_EQ(skin->SkinControls(), kDefaultSkinControls);
    EXPECT_EQ(GetPropText(skin, "Options"), u"[xoPreview,xoToolbarBK]");
    EXPECT_EQ(skin->SkinFormtype(), sfMainform);
    EXPECT_TRUE(skin->MenuUpdate());
    EXPECT_FALSE(skin->MenuMerge());
    EXPECT_EQ(GetStrProp(skin, "SkinStore"), u"(none)");
    EXPECT_EQ(GetStrProp(skin, "Version"), u"1.0.0.0");
    EXPECT_EQ(skin->SkinClassMap(), TSkinData(nullptr).SkinClassMap()) << "the component's own rows";
    EXPECT_EQ(skin->SkinFile(), u"");

    // The stored skin was parsed while the layout was read.
    EXPECT_FALSE(skin->SkinMissing());
    EXPECT_GT(skin->SkinStream().Size(), 1000);
    EXPECT_EQ(skin->SkinName(), "Quenrix Blue");
    EXPECT_EQ(skin->Buttons.Bitmap.Width(), 380);
    EXPECT_EQ(skin->Colours.ButtonFace, 0x00F4F4F4);
    EXPECT_EQ(skin->SysButtons.size(), 8u);
    EXPECT_EQ(ImageList_GetImageCount(skin->MenuImages()), 4);
}

namespace {

TLayoutValue Binary(std::vector<std::uint8_t> bytes) {
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::Binary;
    v.bytes = std::move(bytes);
    return v;
}

TLayoutValue Ident(std::string s) {
    TLayoutValue v;
    v.kind = TLayoutValue::Kind::Ident;
    v.text = std::move(s);
    return v;
}

// A form with one button and a skin data component holding the given SkinStream record.
std::vector<std::uint8_t> FormWithSkin(std::vector<std::uint8_t> record) {
    TLayoutObject button{"TButton", "Button1", {}, {}};
    TLayoutObject skin{"TSkinData", "SkinData1", {{"Active", Ident("True")}, {"SkinStream", Binary(std::move(record))}}, {}};
    TLayoutObject root{"TForm", "Form1", {}, {button, skin}};
    return WriteLayout(root);
}

}  // namespace

TEST(SkinLayout, DamagedStoredSkinsStillGiveTheWindow) {
    // Noise may decode to an archive of another version, whose message must not block.
    std::vector<std::u16string> boxes;
    auto saved = Application->OnMessageBox;
    Application->OnMessageBox = [&](const std::u16string& t, const std::u16string&, UINT) {
        boxes.push_back(t);
        return IDOK;
    };
    std::vector<std::uint8_t> junk(2000);
    std::uint32_t seed = 12345;
    for (auto& b : junk) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 16);
    // A valid start (a small plain size) with noise after it.
    std::vector<std::uint8_t> noisy = junk;
    noisy[0] = 0x40, noisy[1] = 0x00, noisy[2] = 0x00, noisy[3] = 0x00;
    // A plain size that asks for far more than any skin.
    std::vector<std::uint8_t> greedy{0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x01, 0x02};

    std::vector<std::vector<std::uint8_t>> records{
        {},                                   // no length at all
        {0x10, 0x00},                         // a cut length
        {0xE8, 0x03, 0x00, 0x00, 1, 2, 3},    // a length beyond the data
        qxtest::Sized(junk),
        qxtest::Sized(noisy),
        qxtest::Sized(greedy),
    };
    for (std::size_t i = 0; i < records.size(); ++i) {
        SCOPED_TRACE(i);
        TForm form(nullptr);
        ASSERT_NO_THROW(LoadLayout(&form, FormWithSkin(records[i])));
        auto* skin = dynamic_cast<TSkinData*>(form.FindComponent("SkinData1"));
        ASSERT_NE(skin, nullptr);
        EXPECT_NE(form.FindComponent("Button1"), nullptr);
        EXPECT_TRUE(skin->SkinMissing());
        EXPECT_FALSE(skin->Active());
    }

    // A real skin cut in half: the decoder cannot tell (it pads the stream), so the skin may
    // parse; what matters is that the cut picture is refused rather than read past its end.
    std::vector<std::uint8_t> real = qxtest::SkinRecord("[Buttons]\nBitmap=b.bmp\n", {{"b.bmp", qxtest::Solid24(50, 20)}});
    std::vector<std::uint8_t> half(real.begin() + 4, real.begin() + 4 + (real.size() - 4) / 2);
    TForm form(nullptr);
    ASSERT_NO_THROW(LoadLayout(&form, FormWithSkin(qxtest::Sized(half))));
    auto* skin = dynamic_cast<TSkinData*>(form.FindComponent("SkinData1"));
    ASSERT_NE(skin, nullptr);
    if (!skin->Buttons.Bitmap.Empty()) {
        EXPECT_EQ(skin->Buttons.Bitmap.Width(), 50);
        EXPECT_EQ(skin->Buttons.Bitmap.Height(), 20);
    }
    Application->OnMessageBox = saved;
    // Each damaged skin that is refused says why (an archive of another version in the words
    // every program of ours has always used), and that it is not used.
    for (auto& text : boxes)
        EXPECT_TRUE(text.ends_with(u"The skin is not used.") ||
                    text == u"This is Older Skin File\rPlease update to new version !")
            << Utf16ToUtf8(text);
}
