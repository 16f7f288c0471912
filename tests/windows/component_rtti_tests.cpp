// Ownership, free notification and property access by name.
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

struct TTracked : TComponent {
    explicit TTracked(TComponent* owner, std::vector<std::string>* log) : TComponent(owner), log_(log) {}
    ~TTracked() override { log_->push_back("free " + Name()); }
    void Notification(TComponent* c, TOperation op) override {
        if (op == TOperation::opRemove) log_->push_back(Name() + " saw " + c->Name() + " go");
    }
    std::vector<std::string>* log_;
};

}  // namespace

TEST(Component, OwnerFreesWhatItOwns) {
    std::vector<std::string> log;
    auto* root = new TTracked(nullptr, &log);
    root->SetName("root");
    auto* a = new TTracked(root, &log);
    a->SetName("a");
    auto* b = new TTracked(root, &log);
    b->SetName("b");
    new TTracked(a, &log);  // grandchild, freed with a
    EXPECT_EQ(root->FindComponent("B"), b);
    delete b;  // leaves its owner's list
    EXPECT_EQ(root->ComponentCount(), 1);
    EXPECT_EQ(root->FindComponent("b"), nullptr);
    log.clear();
    delete root;
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "free root");  // the owner's own destructor body runs first
    EXPECT_EQ(log[1], "free a");
    EXPECT_EQ(log[2], "free ");  // a's own child goes with a
}

TEST(Component, FreeNotificationTellsTheWatcherOnce) {
    std::vector<std::string> log;
    TTracked watcher(nullptr, &log);
    watcher.SetName("watcher");
    auto* watched = new TTracked(nullptr, &log);
    watched->SetName("watched");
    watcher.FreeNotification(watched);
    watcher.FreeNotification(watched);
    delete watched;
    EXPECT_EQ(std::count(log.begin(), log.end(), "watcher saw watched go"), 1);
}

TEST(Properties, ReadAndWriteByNameInEveryForm) {
    TForm form(nullptr);
    auto* label = new TLabel(&form);
    SetPropText(label, "Caption", u"Başla");
    EXPECT_EQ(GetStrProp(label, "caption"), u"Başla");
    SetPropText(label, "Visible", u"False");
    EXPECT_FALSE(label->Visible());
    EXPECT_EQ(GetPropText(label, "Visible"), u"False");
    SetEnumProp(label, "Alignment", "taCenter");
    EXPECT_EQ(GetEnumProp(label, "Alignment"), "taCenter");
    SetPropText(label, "Color", u"clRed");
    EXPECT_EQ(label->Color(), clRed);
    EXPECT_EQ(GetPropText(label, "Color"), u"clRed");
    SetPropText(label, "Tag", u"$1F");
    EXPECT_EQ(label->Tag(), 31);
    SetPropText(label, "Tag", u"0x20");
    EXPECT_EQ(GetOrdProp(label, "Tag"), 32);
    auto* font = dynamic_cast<TFont*>(GetObjectProp(label, "Font"));
    ASSERT_NE(font, nullptr);
    SetPropText(font, "Style", u"[fsBold, fsUnderline]");
    EXPECT_EQ(label->Font().Style(), fsBold | fsUnderline);
    EXPECT_EQ(GetPropText(font, "Style"), u"[fsBold,fsUnderline]");
    EXPECT_FALSE(label->ParentFont()) << "changing the font detaches it from the parent's";
}

TEST(Properties, MistakesAreErrorsNotGuesses) {
    TForm form(nullptr);
    auto* radio = new TRadioButton(&form);
    EXPECT_TRUE(HasProperty(radio, "ParentBackground"));
    EXPECT_TRUE(HasProperty(radio, "Checked"));
    EXPECT_FALSE(HasProperty(new TLabel(&form), "ParentBackground"));
    EXPECT_THROW(SetPropText(radio, "Chekced", u"True"), EPropertyError);
    EXPECT_THROW(SetPropText(radio, "Checked", u"Yes"), EPropertyError);
    EXPECT_THROW(SetPropText(radio, "Tag", u"12abc"), EPropertyError);
    EXPECT_THROW(SetPropText(radio, "Font", u"x"), EPropertyError);
    EXPECT_THROW(SetOrdProp(radio, "Alignment", 7), EPropertyError);
    EXPECT_THROW(GetStrProp(radio, "Tag"), EPropertyError);
    EXPECT_FALSE(radio->Checked());
}

TEST(Properties, ClassesAreFoundByNameAndKnowTheirAncestry) {
    const TClassInfo* radio = FindClass("tradiobutton");
    ASSERT_NE(radio, nullptr);
    EXPECT_TRUE(radio->InheritsFrom(TWinControl::StaticClassInfo()));
    EXPECT_FALSE(radio->InheritsFrom(TGraphicControl::StaticClassInfo()));
    EXPECT_EQ(FindClass("TNoSuchThing"), nullptr);
    TForm form(nullptr);
    TComponent* created = radio->Create(&form);
    EXPECT_EQ(created->ClassName(), "TRadioButton");
    EXPECT_EQ(created->Owner(), &form);
}
