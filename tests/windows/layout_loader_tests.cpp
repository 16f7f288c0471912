// Building forms from stored layouts, and refusing broken ones with a useful message.
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/LayoutLoader.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

using namespace qx;

namespace {

std::vector<std::string> g_loadedLog;

// Records that, when it is told the layout is loaded, every sibling already exists.
class TProbe : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TProbe(TComponent* owner) : TComponent(owner) {}
    void Loaded() override {
        TComponent::Loaded();
        g_loadedLog.push_back(Name() + (Owner()->FindComponent("Last") ? " sees Last" : " alone"));
    }
    TControl* Target() const { return target_; }
    void SetTarget(TControl* c) { target_ = c; }

private:
    TControl* target_ = nullptr;
};

const TClassInfo& TProbe::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TProbe>("TProbe", &TComponent::StaticClassInfo())
                                       .Reference<TControl>("Target", &TProbe::Target, &TProbe::SetTarget)
                                       .Creatable()
                                       .Build();
    return info;
}

class TTestForm : public TForm {
    QX_CLASS_INFO()
public:
    explicit TTestForm(TComponent* owner) : TForm(owner) {}
    void Clicked(TObject* sender) { clicks.push_back(static_cast<TComponent*>(sender)->Name()); }
    std::vector<std::string> clicks;
};

const TClassInfo& TTestForm::StaticClassInfo() {
    static const TClassInfo info = TClassBuilder<TTestForm>("TTestForm", &TForm::StaticClassInfo())
                                       .PublishMethod<&TTestForm::Clicked>("Clicked")
                                       .Build();
    return info;
}

TLayoutValue Int(int v) { return {TLayoutValue::Kind::Integer, v, "", {}, {}}; }
TLayoutValue Str(std::string s) { return {TLayoutValue::Kind::String, 0, std::move(s), {}, {}}; }
TLayoutValue Ident(std::string s) { return {TLayoutValue::Kind::Ident, 0, std::move(s), {}, {}}; }
TLayoutValue SetOf(std::vector<std::string> items) { return {TLayoutValue::Kind::Set, 0, "", std::move(items), {}}; }

TLayoutObject Obj(std::string cls, std::string name, std::vector<TLayoutProperty> props,
                  std::vector<TLayoutObject> children = {}) {
    return {std::move(cls), std::move(name), std::move(props), std::move(children)};
}

TLayoutObject GoodLayout() {
    return Obj("TTestForm", "Test",
               {{"Caption", Str("Deneme")}, {"ClientWidth", Int(300)}, {"Font.Height", Int(-13)}},
               {Obj("TProbe", "First", {{"Target", Ident("Box")}}),
                Obj("TPanel", "Box", {{"Left", Int(5)}, {"Width", Int(100)}, {"Font.Style", SetOf({"fsBold"})}},
                    {Obj("TRadioButton", "Inner", {{"Caption", Str("İç")}, {"OnClick", Ident("Clicked")}})}),
                Obj("TLabel", "Caption2", {{"Visible", Ident("False")}, {"Color", Ident("clRed")}}),
                Obj("TProbe", "Last", {})});
}

void ExpectRefused(const TLayoutObject& layout, const std::string& part) {
    TTestForm form(nullptr);
    auto bytes = WriteLayout(layout);
    try {
        LoadLayout(&form, bytes);
        ADD_FAILURE() << "accepted a layout that should fail with: " << part;
    } catch (const ELayoutError& e) {
        EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
}

}  // namespace

TEST(LayoutLoader, CreatesComponentsInOrderWithParentsPropertiesAndEvents) {
    RegisterClass(TProbe::StaticClassInfo());
    g_loadedLog.clear();
    TTestForm form(nullptr);
    LoadLayout(&form, WriteLayout(GoodLayout()));
    EXPECT_EQ(form.Name(), "Test");
    EXPECT_EQ(form.Caption(), u"Deneme");
    EXPECT_EQ(form.ClientWidth(), 300);
    ASSERT_EQ(form.ComponentCount(), 5);
    std::vector<std::string> order;
    for (TComponent* c : form.Components()) order.push_back(c->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"First", "Box", "Inner", "Caption2", "Last"}));
    auto* box = dynamic_cast<TPanel*>(form.FindComponent("Box"));
    auto* inner = dynamic_cast<TRadioButton*>(form.FindComponent("Inner"));
    ASSERT_TRUE(box && inner);
    EXPECT_EQ(box->Parent(), &form);
    EXPECT_EQ(inner->Parent(), box);
    EXPECT_EQ(inner->Owner(), &form);
    EXPECT_TRUE(box->Font().Style() & fsBold);
    EXPECT_EQ(inner->Font().Style(), box->Font().Style()) << "the child's font follows its parent's";
    EXPECT_EQ(dynamic_cast<TProbe*>(form.FindComponent("First"))->Target(), box);
    EXPECT_FALSE(dynamic_cast<TLabel*>(form.FindComponent("Caption2"))->Visible());
    // Loaded runs once per component, after the whole layout was read.
    EXPECT_EQ(g_loadedLog, (std::vector<std::string>{"First sees Last", "Last sees Last"}));
    for (TComponent* c : form.Components()) EXPECT_FALSE(c->IsLoading()) << c->Name();
    inner->Click();
    EXPECT_EQ(form.clicks, (std::vector<std::string>{"Inner"}));
}

TEST(LayoutLoader, BrokenLayoutsAreRefusedWithTheirFaultNamed) {
    RegisterClass(TProbe::StaticClassInfo());
    ExpectRefused(Obj("TForm", "X", {}), "describes a TForm, not a TTestForm");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TGizmo", "G", {})}), "unknown class 'TGizmo'");
    ExpectRefused(Obj("TTestForm", "T", {{"Captoin", Str("x")}}), "has no property 'Captoin'");
    ExpectRefused(Obj("TTestForm", "T", {{"ClientWidth", Str("wide")}}), "expected an integer");
    ExpectRefused(Obj("TTestForm", "T", {{"BorderStyle", Ident("bsRound")}}), "'bsRound' is not a value of TFormBorderStyle");
    ExpectRefused(Obj("TTestForm", "T", {{"Font.Style", SetOf({"fsBlinking"})}}), "'fsBlinking'");
    ExpectRefused(Obj("TTestForm", "T", {{"Caption.Size", Int(3)}}), "no object property 'Caption'");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TButton", "B", {{"OnClick", Ident("Nowhere")}})}),
                  "has no method 'Nowhere'");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TLabel", "A", {}), Obj("TLabel", "a", {})}), "used twice");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TLabel", "L", {}, {Obj("TLabel", "M", {})})}),
                  "cannot hold other objects");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TProbe", "P", {{"Target", Ident("Missing")}})}),
                  "no component 'Missing'");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TImage", "I", {{"Picture.Data", {TLayoutValue::Kind::Binary, 0, "", {}, {4, 'T', 'F', 'o', 'o', 1}}}})}),
                  "unknown picture class 'TFoo'");
    ExpectRefused(Obj("TTestForm", "T", {}, {Obj("TImage", "I", {{"Picture.Data", {TLayoutValue::Kind::Binary, 0, "", {}, {40, 'T'}}}})}),
                  "cut short");
}

TEST(LayoutLoader, TruncatedDataStopsWithAnErrorAndFreesWhatWasMade) {
    auto bytes = WriteLayout(GoodLayout());
    for (std::size_t n : {std::size_t{3}, bytes.size() / 3, bytes.size() / 2, bytes.size() - 1}) {
        TTestForm form(nullptr);
        EXPECT_THROW(LoadLayout(&form, std::span<const std::uint8_t>(bytes.data(), n)), ELayoutError) << n;
    }
}

TEST(LayoutLoader, AFormTakenToAnotherScaleKeepsItsNeighboursMeetingAndComesBackWhole) {
    TTestForm form(nullptr);
    LoadLayout(&form,
               WriteLayout(Obj("TTestForm", "Scaled",
                               {{"ClientWidth", Int(300)}, {"ClientHeight", Int(200)}, {"Font.Height", Int(-13)}},
                               {Obj("TPanel", "Head", {{"Align", Ident("alTop")}, {"Height", Int(41)}}),
                                Obj("TPanel", "West",
                                    {{"Left", Int(5)}, {"Top", Int(50)}, {"Width", Int(101)}, {"Height", Int(33)},
                                     {"Font.Height", Int(-16)}},
                                    {Obj("TLabel", "Inner", {{"Left", Int(3)}, {"Top", Int(3)}, {"AutoSize", Ident("False")}})}),
                                Obj("TPanel", "East",
                                    {{"Left", Int(106)}, {"Top", Int(50)}, {"Width", Int(57)}, {"Height", Int(33)}})})));
    // The test program declares no scale awareness: the platform gives it 96 dpi.
    EXPECT_EQ(form.PixelsPerInch(), 96);
    auto* head = dynamic_cast<TControl*>(form.FindComponent("Head"));
    auto* west = dynamic_cast<TControl*>(form.FindComponent("West"));
    auto* east = dynamic_cast<TControl*>(form.FindComponent("East"));
    auto* inner = dynamic_cast<TControl*>(form.FindComponent("Inner"));
    ASSERT_TRUE(head && west && east && inner);
    const RECT west96 = west->BoundsRect(), east96 = east->BoundsRect(), inner96 = inner->BoundsRect();

    form.ChangeScale(144, 96);
    EXPECT_EQ(form.PixelsPerInch(), 144);
    EXPECT_EQ(form.ClientWidth(), 450);
    EXPECT_EQ(form.ClientHeight(), 300);
    EXPECT_EQ(head->Width(), 450) << "an aligned child is placed once, in the scaled client";
    EXPECT_EQ(head->Height(), 62);
    EXPECT_EQ(west->BoundsRect().right, east->BoundsRect().left) << "neighbours still meet";
    EXPECT_EQ(west->BoundsRect().bottom, east->BoundsRect().bottom);
    EXPECT_EQ(form.Font().Height(), -20);
    EXPECT_EQ(west->Font().Height(), -24);
    EXPECT_EQ(inner->Font().Height(), -24) << "a font taken from the parent follows the parent's";

    form.ChangeScale(96, 144);
    EXPECT_EQ(form.ClientWidth(), 300);
    EXPECT_EQ(head->Height(), 41);
    const RECT westBack = west->BoundsRect(), eastBack = east->BoundsRect(), innerBack = inner->BoundsRect();
    EXPECT_TRUE(EqualRect(&westBack, &west96) && EqualRect(&eastBack, &east96) && EqualRect(&innerBack, &inner96))
        << "there and back loses nothing";
    EXPECT_EQ(west->Font().Height(), -16);

    // Moved to a display at 200 %: laid out again, in the rectangle the platform suggests.
    form.HandleNeeded();
    RECT suggested{40, 30, 40 + 640, 30 + 460};
    SendMessageW(form.Handle(), WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    RECT window{};
    GetWindowRect(form.Handle(), &window);
    EXPECT_TRUE(EqualRect(&window, &suggested));
    EXPECT_EQ(form.PixelsPerInch(), 192);
    EXPECT_EQ(west->BoundsRect().left, 10);
    EXPECT_EQ(west->BoundsRect().right, east->BoundsRect().left);
    EXPECT_EQ(east->BoundsRect().right, 2 * east96.right);
    EXPECT_EQ(head->Width(), form.ClientWidth());
}
