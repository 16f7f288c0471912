// Framework menus and MDI forms against the platform: the menu handles the items build and
// keep in step, commands, shortcuts and popups reaching the items, menus read from a layout,
// and an MDI frame with its children, window list and arrangement.
#include "TestSupport.h"
#include "framework/Forms.h"
#include "framework/LayoutLoader.h"
#include "framework/Menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qx;
using namespace qxtest;

namespace {

struct TNativeItem {
    std::wstring Text;
    UINT Type = 0, State = 0, Id = 0;
    HMENU Sub = nullptr;
};

std::vector<TNativeItem> Native(HMENU menu) {
    std::vector<TNativeItem> items;
    for (int pos = 0, n = GetMenuItemCount(menu); pos < n; ++pos) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{sizeof info};
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = text;
        info.cch = 127;
        GetMenuItemInfoW(menu, static_cast<UINT>(pos), TRUE, &info);
        items.push_back({text, info.fType, info.fState, info.wID, info.hSubMenu});
    }
    return items;
}

TMenuItem* NewItem(TComponent* owner, TMenuItem* parent, const char16_t* caption) {
    auto* item = new TMenuItem(owner);
    item->SetCaption(caption);
    parent->Add(item);
    return item;
}

}  // namespace

TEST(Menus, ItemsBuildTheMenuHandleAndChangesUpdateItInPlace) {
    auto form = MakeForm();
    auto* menu = new TMainMenu(form.get());
    TMenuItem* file = NewItem(form.get(), menu->Items(), u"&File");
    TMenuItem* open = NewItem(form.get(), file, u"&Open");
    open->SetShortCut(ShortCut('O', ssCtrl));
    TMenuItem* checked = NewItem(form.get(), file, u"&Checked");
    checked->SetChecked(true);
    TMenuItem* disabled = NewItem(form.get(), file, u"&Disabled");
    disabled->SetEnabled(false);
    NewItem(form.get(), file, u"-");
    TMenuItem* hidden = NewItem(form.get(), file, u"Hidden");
    hidden->SetVisible(false);
    TMenuItem* exit = NewItem(form.get(), file, u"E&xit");
    form->SetMenu(menu);
    form->Show();

    const HMENU bar = GetMenu(form->Handle());
    ASSERT_EQ(bar, menu->Handle());
    const HMENU drop = file->Handle();
    auto items = Native(bar);
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].Text, L"&File");
    EXPECT_EQ(items[0].Sub, drop);
    items = Native(drop);
    ASSERT_EQ(items.size(), 5u) << "the hidden item is left out";
    EXPECT_EQ(items[0].Text, L"&Open\tCtrl+O");
    EXPECT_EQ(items[0].Id, open->Command());
    EXPECT_TRUE(items[1].State & MFS_CHECKED);
    EXPECT_TRUE(items[2].State & MFS_GRAYED);
    EXPECT_TRUE(items[3].Type & MFT_SEPARATOR);
    EXPECT_EQ(items[4].Text, L"E&xit");

    // Someone else's item at the end (as the MDI window list puts its own) stays where it is
    // while the menu changes, and the handle stays the same.
    AppendMenuW(drop, MF_STRING, 0xFF00, L"1 Child");
    hidden->SetVisible(true);
    exit->SetCaption(u"&Quit");
    disabled->SetEnabled(true);
    EXPECT_EQ(file->Handle(), drop);
    items = Native(drop);
    ASSERT_EQ(items.size(), 7u);
    EXPECT_EQ(items[4].Text, L"Hidden");
    EXPECT_EQ(items[5].Text, L"&Quit");
    EXPECT_EQ(items[6].Text, L"1 Child");
    EXPECT_FALSE(items[2].State & MFS_GRAYED);

    // Owner drawing reaches every level.
    menu->SetOwnerDraw(true);
    EXPECT_TRUE(Native(bar)[0].Type & MFT_OWNERDRAW);
    EXPECT_TRUE(Native(drop)[0].Type & MFT_OWNERDRAW);
    EXPECT_FALSE(Native(drop)[6].Type & MFT_OWNERDRAW) << "not the foreign item";

    // An item that goes takes itself and its sub-items out; its drop-down goes with it.
    const UINT openCommand = open->Command();
    EXPECT_EQ(MenuItemFromCommand(openCommand), open);
    delete file;
    EXPECT_EQ(GetMenuItemCount(bar), 0);
    EXPECT_FALSE(IsMenu(drop));
    EXPECT_EQ(MenuItemFromCommand(openCommand), nullptr);

    // A menu that owns its items frees them after itself without telling it of the change.
    {
        TPopupMenu owning(nullptr);
        NewItem(&owning, owning.Items(), u"Owned");
        EXPECT_NE(owning.Handle(), nullptr);
    }
}

TEST(Menus, CommandsShortcutsAndRadioGroupsReachTheItems) {
    auto form = MakeForm();
    auto* menu = new TMainMenu(form.get());
    TMenuItem* view = NewItem(form.get(), menu->Items(), u"&View");
    std::vector<std::string> clicks;
    TMenuItem* small = NewItem(form.get(), view, u"&Small");
    TMenuItem* large = NewItem(form.get(), view, u"&Large");
    for (TMenuItem* i : {small, large}) {
        i->SetRadioItem(true);
        i->SetAutoCheck(true);
        i->SetGroupIndex(1);
    }
    small->SetChecked(true);
    TMenuItem* save = NewItem(form.get(), view, u"Sa&ve");
    save->SetShortCut(ShortCut('S', ssCtrl));
    TMenuItem* off = NewItem(form.get(), view, u"&Off");
    off->SetEnabled(false);
    for (TMenuItem* i : {small, large, save, off})
        i->OnClick = [&clicks](TObject* s) {
            const std::u16string& c = static_cast<TMenuItem*>(s)->Caption();
            clicks.push_back(std::string(c.begin(), c.end()));
        };
    form->SetMenu(menu);
    form->Show();

    SendMessageW(form->Handle(), WM_COMMAND, large->Command(), 0);
    EXPECT_TRUE(large->Checked());
    EXPECT_FALSE(small->Checked()) << "one radio item of a group is checked";
    EXPECT_TRUE(Native(view->Handle())[1].State & MFS_CHECKED);
    SendMessageW(form->Handle(), WM_COMMAND, off->Command(), 0);
    EXPECT_TRUE(menu->IsShortCut(ShortCut('S', ssCtrl)));
    EXPECT_FALSE(menu->IsShortCut(ShortCut('S', ssShift)));
    EXPECT_EQ(clicks, (std::vector<std::string>{"&Large", "Sa&ve"})) << "a disabled item does not run";

    // A shortcut typed into the form runs its item through the message loop.
    clicks.clear();
    BYTE keys[256];
    GetKeyboardState(keys);
    BYTE withCtrl[256];
    std::copy(std::begin(keys), std::end(keys), withCtrl);
    withCtrl[VK_CONTROL] = 0x80;
    SetKeyboardState(withCtrl);
    PostMessageW(form->Handle(), WM_KEYDOWN, 'S', 0);
    Application->ProcessMessages();
    SetKeyboardState(keys);
    EXPECT_EQ(clicks, (std::vector<std::string>{"Sa&ve"}));
}

TEST(Menus, APopupRunsTheChosenItemAndAContextMenuShowsOnARightClick) {
    auto form = MakeForm();
    auto* popup = new TPopupMenu(form.get());
    TMenuItem* first = NewItem(form.get(), popup->Items(), u"&First");
    TMenuItem* second = NewItem(form.get(), popup->Items(), u"&Second");
    int firstClicks = 0, secondClicks = 0;
    first->OnClick = [&](TObject*) { ++firstClicks; };
    second->OnClick = [&](TObject*) { ++secondClicks; };
    form->SetPopupMenu(popup);
    form->Show();
    int shown = 0;
    popup->OnPopup = [&](TObject*) { ++shown; };

    // The second item chosen with the keyboard inside the menu's own loop.
    {
        TInsideLoop choose([] {
            for (WPARAM key : {VK_DOWN, VK_DOWN, VK_RETURN}) {
                keybd_event(static_cast<BYTE>(key), 0, 0, 0);
                keybd_event(static_cast<BYTE>(key), 0, KEYEVENTF_KEYUP, 0);
            }
        });
        popup->Popup(60, 60);
    }
    EXPECT_EQ(secondClicks, 1);
    EXPECT_EQ(firstClicks, 0);

    // A right click (the menu key) on the form opens its popup menu there; nothing chosen.
    {
        TInsideLoop cancel([] { EndMenu(); });
        SendMessageW(form->Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->Handle()), MAKELPARAM(-1, -1));
    }
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(popup->PopupComponent(), form.get());
    EXPECT_EQ(secondClicks, 1);
}

TEST(Menus, ALayoutNestsItemsInTheirMenuAndTheFormShowsIt) {
    TForm form(nullptr);
    auto str = [](std::string s) { return TLayoutValue{TLayoutValue::Kind::String, 0, std::move(s), {}, {}}; };
    auto ident = [](std::string s) { return TLayoutValue{TLayoutValue::Kind::Ident, 0, std::move(s), {}, {}}; };
    TLayoutObject root{"TForm", "Frame", {{"Menu", ident("MainMenu1")}, {"WindowMenu", ident("mnWindow")}}, {}};
    root.children.push_back({"TMainMenu",
                             "MainMenu1",
                             {},
                             {{"TMenuItem",
                               "mnFile",
                               {{"Caption", str("&File")}},
                               {{"TMenuItem", "mnExit", {{"Caption", str("E&xit")}, {"ShortCut", {TLayoutValue::Kind::Integer, 0x4058, "", {}, {}}}}, {}}}},
                              {"TMenuItem", "mnWindow", {{"Caption", str("&Window")}}, {{"TMenuItem", "mnTile", {{"Caption", str("&Tile")}}, {}}}}}});
    LoadLayout(&form, WriteLayout(root));
    form.Show();
    auto* menu = dynamic_cast<TMainMenu*>(form.FindComponent("MainMenu1"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(form.Menu(), menu);
    EXPECT_EQ(form.WindowMenu(), form.FindComponent("mnWindow"));
    auto bar = Native(GetMenu(form.Handle()));
    ASSERT_EQ(bar.size(), 2u);
    EXPECT_EQ(bar[1].Text, L"&Window");
    EXPECT_EQ(Native(bar[0].Sub)[0].Text, L"E&xit\tCtrl+X");

    // A control is not a menu's child.
    TForm other(nullptr);
    TLayoutObject bad{"TForm", "Bad", {}, {{"TMainMenu", "M", {}, {{"TButton", "B", {}, {}}}}}};
    EXPECT_THROW(LoadLayout(&other, WriteLayout(bad)), ELayoutError);
}

TEST(MdiForms, AFrameHoldsItsChildrenListsThemAndArrangesThem) {
    TForm frame(nullptr);
    frame.SetFormStyle(TFormStyle::fsMDIForm);
    frame.SetBounds(20, 20, 600, 400);
    auto* menu = new TMainMenu(&frame);
    TMenuItem* window = NewItem(&frame, menu->Items(), u"&Window");
    NewItem(&frame, window, u"&Tile");
    frame.SetMenu(menu);
    frame.SetWindowMenu(window);
    frame.Show();
    ASSERT_NE(frame.ClientHandle(), nullptr);
    const int menuItemsBefore = GetMenuItemCount(window->Handle());

    std::vector<TForm*> children;
    for (int i = 0; i < 3; ++i) {
        auto* child = new TForm(&frame);
        child->SetFormStyle(TFormStyle::fsMDIChild);
        child->SetCaption(u"Child " + std::u16string(1, static_cast<char16_t>(u'1' + i)));
        child->SetBounds(0, 0, 200, 150);
        child->Show();
        children.push_back(child);
    }
    EXPECT_EQ(frame.MDIChildCount(), 3);
    EXPECT_EQ(GetParent(children[0]->Handle()), frame.ClientHandle());
    EXPECT_EQ(frame.ActiveMDIChild(), children[2]);
    EXPECT_GT(GetMenuItemCount(window->Handle()), menuItemsBefore) << "the window list is in the window menu";

    frame.Tile();
    RECT a{}, b{}, overlap{};
    GetWindowRect(children[0]->Handle(), &a);
    GetWindowRect(children[1]->Handle(), &b);
    EXPECT_FALSE(IntersectRect(&overlap, &a, &b)) << "tiled children do not overlap";
    frame.Cascade();
    GetWindowRect(children[0]->Handle(), &a);
    GetWindowRect(children[1]->Handle(), &b);
    EXPECT_NE(a.left, b.left) << "cascaded children are offset";
    EXPECT_TRUE(IntersectRect(&overlap, &a, &b));

    // Closing a child frees it once the message is done; the client forgets it.
    bool freed = false;
    struct TWatch : TComponent {
        bool* flag;
        TWatch(TComponent* owner, bool* f) : TComponent(owner), flag(f) {}
        ~TWatch() override { *flag = true; }
    };
    new TWatch(children[1], &freed);
    SendMessageW(children[1]->Handle(), WM_CLOSE, 0, 0);
    EXPECT_FALSE(freed) << "not under its own message";
    EXPECT_TRUE(PumpUntil([&] { return freed; }));
    EXPECT_EQ(frame.MDIChildCount(), 2);
}
