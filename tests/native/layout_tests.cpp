#include "core/Layout.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

TLayoutObject Sample() {
    TLayoutObject root{"TFrmAna", "FrmAna", {}, {}};
    root.properties.push_back({"Caption", {TLayoutValue::Kind::String, 0, "Quenrix Installer", {}, {}}});
    root.properties.push_back({"ClientWidth", {TLayoutValue::Kind::Integer, 566, "", {}, {}}});
    root.properties.push_back({"Font.Style", {TLayoutValue::Kind::Set, 0, "", {"fsBold", "fsItalic"}, {}}});
    root.properties.push_back({"Color", {TLayoutValue::Kind::Ident, 0, "clBtnFace", {}, {}}});
    root.properties.push_back({"Strings", {TLayoutValue::Kind::List, 0, "", {"a=b", ""}, {}}});
    root.properties.push_back({"Data", {TLayoutValue::Kind::Binary, 0, "", {}, {0, 1, 2, 255}}});
    TLayoutObject child{"TRadioButton", "rdSarvek", {}, {}};
    child.properties.push_back({"Top", {TLayoutValue::Kind::Integer, -128, "", {}, {}}});
    root.children.push_back(child);
    return root;
}

}  // namespace

TEST(Layout, RoundTripKeepsEveryValueKindAndTheOrder) {
    auto bytes = WriteLayout(Sample());
    TLayoutObject back = ReadLayout(bytes);
    EXPECT_EQ(back.className, "TFrmAna");
    ASSERT_EQ(back.properties.size(), 6u);
    EXPECT_EQ(back.properties[0].value.text, "Quenrix Installer");
    EXPECT_EQ(back.properties[1].value.integer, 566);
    EXPECT_EQ(back.properties[2].value.items, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_EQ(back.properties[3].value.kind, TLayoutValue::Kind::Ident);
    EXPECT_EQ(back.properties[4].value.items, (std::vector<std::string>{"a=b", ""}));
    EXPECT_EQ(back.properties[5].value.bytes, (std::vector<std::uint8_t>{0, 1, 2, 255}));
    ASSERT_EQ(back.children.size(), 1u);
    EXPECT_EQ(back.children[0].name, "rdSarvek");
    EXPECT_EQ(back.children[0].properties[0].value.integer, -128);
}

TEST(Layout, EveryTruncationIsRefusedWithAnError) {
    auto bytes = WriteLayout(Sample());
    for (std::size_t n = 0; n < bytes.size(); ++n) {
        std::span<const std::uint8_t> cut(bytes.data(), n);
        EXPECT_THROW(ReadLayout(cut), ELayoutError) << "cut at " << n;
    }
}

TEST(Layout, MalformedDataNamesWhatIsWrong) {
    auto expectError = [](std::vector<std::uint8_t> bytes, const std::string& part) {
        try {
            ReadLayout(bytes);
            ADD_FAILURE() << "accepted";
        } catch (const ELayoutError& e) {
            EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
        }
    };
    expectError({'X', 'X', 'L', '1'}, "signature");
    auto good = WriteLayout(Sample());
    auto extra = good;
    extra.push_back('E');
    expectError(extra, "after the layout");
    // An unknown value tag: patch the first property's tag.
    auto badTag = good;
    std::size_t tagAt = 4 + 1 + 2 + 7 + 2 + 6 + 1 + 2 + 7;  // O class name 'P' path
    ASSERT_EQ(badTag[tagAt], 's');
    badTag[tagAt] = '?';
    expectError(badTag, "unknown value type");
    // A class name that is not an identifier.
    TLayoutObject odd{"T Frm", "x", {}, {}};
    expectError(WriteLayout(odd), "invalid class name");
}

TEST(Layout, DeepNestingIsRefusedNotRecursedInto) {
    TLayoutObject root{"TForm", "f", {}, {}};
    TLayoutObject* at = &root;
    for (int i = 0; i < 100; ++i) {
        at->children.push_back({"TPanel", "p" + std::to_string(i), {}, {}});
        at = &at->children.back();
    }
    EXPECT_THROW(ReadLayout(WriteLayout(root)), ELayoutError);
}

TEST(Layout, APropertyAfterAChildIsRefused) {
    std::vector<std::uint8_t> bytes{'Q', 'X', 'L', '1', 'O', 1, 0, 'A', 0, 0, 'O', 1, 0, 'B', 0, 0, 'E',
                                    'P', 1, 0, 'x', 'i', 1, 0, 0, 0, 'E'};
    EXPECT_THROW(ReadLayout(bytes), ELayoutError);
}
