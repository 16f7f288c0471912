// The framework's common controls read from a stored layout: each makes the platform's own
// control and hands it the settings the layout gave, and the controls answer their input as
// the platform's do.
#include "TestSupport.h"

#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/Forms.h"
#include "framework/GroupCtrls.h"
#include "framework/LayoutLoader.h"
#include "framework/MPlayer.h"
#include "framework/TabCtrls.h"

#include <commctrl.h>
#include <gtest/gtest.h>

using namespace qx;

namespace {

TLayoutValue Int(int v) { return {TLayoutValue::Kind::Integer, v, "", {}, {}}; }
TLayoutValue Str(std::string s) { return {TLayoutValue::Kind::String, 0, std::move(s), {}, {}}; }
TLayoutValue Ident(std::string s) { return {TLayoutValue::Kind::Ident, 0, std::move(s), {}, {}}; }
TLayoutValue SetOf(std::vector<std::string> items) { return {TLayoutValue::Kind::Set, 0, "", std::move(items), {}}; }
TLayoutValue List(std::vector<std::string> items) { return {TLayoutValue::Kind::List, 0, "", std::move(items), {}}; }

TLayoutObject Obj(std::string cls, std::string name, std::vector<TLayoutProperty> props,
                  std::vector<TLayoutObject> children = {}) {
    return {std::move(cls), std::move(name), std::move(props), std::move(children)};
}

template <class T>
T* Find(TForm& form, const char* name) {
    auto* c = dynamic_cast<T*>(form.FindComponent(name));
    EXPECT_TRUE(c) << name;
    return c;
}

}  // namespace

TEST(CommonControls, ALayoutGivesEachPlatformControlItsSettings) {
    const TLayoutObject layout = Obj(
        "TForm", "Controls", {{"ClientWidth", Int(600)}, {"ClientHeight", Int(400)}},
        {Obj("TStatusBar", "Status",
             {{"Panels", List({"Ready|120", "Centre|100|taCenter|pbRaised", "Drawn|80|taLeftJustify|pbNone|psOwnerDraw"})}}),
         Obj("TMemo", "Memo",
             {{"Left", Int(10)}, {"Width", Int(150)}, {"Height", Int(80)}, {"ScrollBars", Ident("ssVertical")},
              {"Lines", List({"bir", "iki", "üç"})}}),
         Obj("TComboBox", "Combo",
             {{"Top", Int(100)}, {"Style", Ident("csDropDownList")}, {"Items", List({"Drivano", "Stok"})},
              {"ItemIndex", Int(1)}}),
         Obj("TEdit", "Buddy", {{"Top", Int(130)}, {"Text", Str("3")}}),
         Obj("TUpDown", "Spin", {{"Top", Int(130)}, {"Max", Int(9)}, {"Position", Int(3)}, {"Associate", Ident("Buddy")}}),
         Obj("TRadioGroup", "Group", {{"Left", Int(200)}, {"Items", List({"a", "b", "c"})}, {"ItemIndex", Int(2)}}),
         Obj("TPageControl", "Pages", {{"Left", Int(300)}, {"Width", Int(200)}, {"Height", Int(120)}},
             {Obj("TTabSheet", "One", {{"Caption", Str("One")}}), Obj("TTabSheet", "Two", {{"Caption", Str("Two")}})}),
         Obj("TListView", "List",
             {{"Top", Int(250)}, {"Columns", List({"Name|80", "Size|60"})}, {"Items", List({"x|1", "y|2"})}}),
         Obj("TMediaPlayer", "Player", {{"Top", Int(360)}, {"VisibleButtons", SetOf({"btPlay", "btStop"})}}),
         Obj("TScrollBar", "Bar", {{"Left", Int(300)}, {"Top", Int(300)}, {"Max", Int(50)}, {"Position", Int(20)}}),
         Obj("TTrackBar", "Track", {{"Left", Int(300)}, {"Top", Int(330)}, {"Max", Int(20)}, {"Position", Int(5)}})});
    TForm form(nullptr);
    LoadLayout(&form, WriteLayout(layout));
    form.Show();

    HWND status = Find<TStatusBar>(form, "Status")->Handle();
    EXPECT_EQ(SendMessageW(status, SB_GETPARTS, 0, 0), 3);
    EXPECT_EQ(HIWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 1, 0)) & SBT_POPOUT, SBT_POPOUT);
    EXPECT_EQ(HIWORD(SendMessageW(status, SB_GETTEXTLENGTHW, 2, 0)) & SBT_OWNERDRAW, SBT_OWNERDRAW);
    auto* memo = Find<TMemo>(form, "Memo");
    EXPECT_EQ(memo->Lines(), (std::vector<std::u16string>{u"bir", u"iki", u"üç"}));
    EXPECT_TRUE(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & WS_VSCROLL);
    EXPECT_EQ(SendMessageW(Find<TComboBox>(form, "Combo")->Handle(), CB_GETCURSEL, 0, 0), 1);
    auto* spin = Find<TUpDown>(form, "Spin");
    EXPECT_EQ(reinterpret_cast<HWND>(SendMessageW(spin->Handle(), UDM_GETBUDDY, 0, 0)),
              Find<TEdit>(form, "Buddy")->Handle());
    auto* group = Find<TRadioGroup>(form, "Group");
    ASSERT_EQ(group->Buttons().size(), 3u);
    EXPECT_TRUE(group->Buttons()[2]->Checked());
    EXPECT_EQ(SendMessageW(group->Buttons()[2]->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
    auto* pages = Find<TPageControl>(form, "Pages");
    EXPECT_EQ(SendMessageW(pages->Handle(), TCM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_TRUE(IsWindowVisible(Find<TTabSheet>(form, "One")->Handle()));
    EXPECT_FALSE(IsWindowVisible(Find<TTabSheet>(form, "Two")->Handle()));
    HWND list = Find<TListView>(form, "List")->Handle();
    EXPECT_EQ(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(SendMessageW(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), HDM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(Find<TMediaPlayer>(form, "Player")->VisibleCount(), 2);

    // Input as the platform's controls take it: a page tab selects its page, the spin steps
    // its buddy, the scroll bar and the track bar follow their requests.
    pages->SetActivePageIndex(1);
    EXPECT_TRUE(IsWindowVisible(Find<TTabSheet>(form, "Two")->Handle()));
    EXPECT_FALSE(IsWindowVisible(Find<TTabSheet>(form, "One")->Handle()));
    auto* bar = Find<TScrollBar>(form, "Bar");
    SendMessageW(form.Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), 21);
    SendMessageW(form.Handle(), WM_HSCROLL, SB_PAGEUP, reinterpret_cast<LPARAM>(bar->Handle()));
    EXPECT_EQ(bar->Position(), 20);
    SCROLLINFO info{sizeof info, SIF_POS};
    GetScrollInfo(bar->Handle(), SB_CTL, &info);
    EXPECT_EQ(info.nPos, 20);
    auto* track = Find<TTrackBar>(form, "Track");
    int changes = 0;
    track->OnChange = [&](TObject*) { ++changes; };
    SendMessageW(track->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(track->Position(), 6);
    EXPECT_EQ(changes, 1);
}

TEST(CommonControls, AScrollBoxScrollsItsChildrenIntoViewAndNoFurther) {
    auto form = qxtest::MakeForm();
    auto* box = qxtest::Place<TScrollBox>(form.get(), 10, 10, 150, 100);
    auto* inside = qxtest::Place<TPanel>(box, 0, 0, 400, 300);
    box->UpdateScrollRange();
    form->Show();
    EXPECT_TRUE(GetWindowLongPtrW(box->Handle(), GWL_STYLE) & WS_VSCROLL);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
    RECT client{};
    GetClientRect(box->Handle(), &client);
    EXPECT_EQ(box->ScrollOffset().y, 300 - client.bottom);
    EXPECT_EQ(inside->Top(), -(300 - client.bottom));
    SendMessageW(box->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(box->ScrollOffset().y, 300 - client.bottom - 48);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_TOP, 0);
    SendMessageW(box->Handle(), WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(box->ScrollOffset().y, 0) << "never past the top";
    EXPECT_EQ(inside->Top(), 0);
}
