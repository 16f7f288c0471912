// The keyboard on a shown window, through the application's own message path: Tab and
// Shift+Tab through the tab stops with a radio group as one stop, the arrows through the group,
// Enter, Space, Escape and accelerators, and the focus coming back after a message box.
#include "TestSupport.h"

#include "components/GlowButton.h"
#include "framework/EditCtrls.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qx;
using namespace qxtest;

namespace {

// Holds a key of the keyboard (Shift, say) down in the thread's key state while alive.
class THeldKey {
public:
    explicit THeldKey(BYTE key, bool down = true) : key_(key) {
        GetKeyboardState(state_);
        BYTE held[256];
        std::copy(state_, state_ + 256, held);
        held[key] = down ? 0x80 : 0;
        SetKeyboardState(held);
    }
    ~THeldKey() { SetKeyboardState(state_); }

private:
    BYTE key_;
    BYTE state_[256];
};

// A radio button whose platform part reports a click when it takes the focus unchecked, as
// the platform's radio buttons do on Windows and in the newer common controls (Wine's older
// built-in button does not, so without this the rule would go untested here).
class TPlatformRadio : public TRadioButton {
public:
    using TRadioButton::TRadioButton;

protected:
    void DefaultHandler(TMessage& m) override {
        TRadioButton::DefaultHandler(m);
        if (m.Msg == WM_SETFOCUS && SendMessageW(Handle(), BM_GETCHECK, 0, 0) != BST_CHECKED)
            SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(Handle()), BN_CLICKED),
                         reinterpret_cast<LPARAM>(Handle()));
    }
};

// A window like the installer's: a header panel, five products in a shuffled tab order, the
// install button, a sixth product after it, and a default and a cancel button.
struct TKeyboardForm {
    std::unique_ptr<TForm> form = MakeForm();
    std::vector<TRadioButton*> products;  // in tab order
    TGlowButton* install = nullptr;
    TButton* ok = nullptr;
    TButton* cancel = nullptr;
    std::vector<std::u16string> clicks;

    TKeyboardForm() {
        form->SetClientWidth(420);
        form->SetClientHeight(300);
        auto* header = Place<TPanel>(form.get(), 0, 0, 420, 30);
        header->SetCaption(u"Başlık");
        const char16_t* names[] = {u"Bir", u"İki", u"Üç", u"&Dört", u"Beş"};
        const int tops[] = {64, 40, 112, 88, 136};  // not the tab order
        for (int i = 0; i < 5; ++i) products.push_back(Radio(names[i], tops[i]));
        install = Place<TGlowButton>(form.get(), 200, 40, 150, 40);
        install->SetCaption(u"  &Kuruluma Başla");
        install->SetTabStop(true);
        products.push_back(Radio(u"Altı", 160));
        ok = Place<TButton>(form.get(), 200, 200, 90, 26);
        ok->SetCaption(u"Tamam");
        ok->SetDefault(true);
        cancel = Place<TButton>(form.get(), 300, 200, 90, 26);
        cancel->SetCaption(u"Vazgeç");
        cancel->SetCancel(true);
        Count(install, u"install");
        Count(ok, u"ok");
        Count(cancel, u"cancel");
        // The tab order is the creation order: header, five products, install, sixth, ok, cancel.
        header->SetTabOrder(0);
        form->Show();
        PumpUntil([&] { return GetFocus() != nullptr; });
    }

    TRadioButton* Radio(const char16_t* caption, int top) {
        auto* r = Place<TPlatformRadio>(form.get(), 10, top, 150, 20);
        r->SetCaption(caption);
        Count(r, caption);
        return r;
    }

    void Count(TControl* control, std::u16string name) {
        control->OnClick = [this, name](TObject*) { clicks.push_back(name); };
    }

    // One press and release of a key, as the keyboard delivers it to the focused window.
    void Key(WORD key) {
        HWND target = GetFocus() ? GetFocus() : form->Handle();
        PostMessageW(target, WM_KEYDOWN, key, 1);
        PostMessageW(target, WM_KEYUP, key, 0xC0000001);
        Application->ProcessMessages();
    }

    void AltKey(wchar_t character) {
        THeldKey alt(VK_MENU);
        PostMessageW(GetFocus() ? GetFocus() : form->Handle(), WM_SYSCHAR, character, 0x20000001);
        Application->ProcessMessages();
    }

    TWinControl* Focused() const { return FindControl(GetFocus()); }

    std::vector<int> Checked() const {
        std::vector<int> out;
        for (std::size_t i = 0; i < products.size(); ++i)
            if (products[i]->Checked()) out.push_back(static_cast<int>(i));
        return out;
    }
};

BOOL CALLBACK CloseBox(HWND window, LPARAM) {
    wchar_t cls[16] = {};
    GetClassNameW(window, cls, 16);
    if (std::wstring(cls) == L"#32770") PostMessageW(window, WM_COMMAND, IDOK, 0);
    return TRUE;
}

void CALLBACK CloseBoxes(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    EnumThreadWindows(GetCurrentThreadId(), CloseBox, 0);
}

}  // namespace

TEST(Keyboard, TabVisitsEachStopOnceTheRadioGroupBeingOneStopAndFocusAloneChoosesNothing) {
    TKeyboardForm w;
    // The window opens with the focus on its first stop: the group's first product.
    EXPECT_EQ(w.Focused(), w.products[0]);
    std::vector<TWinControl*> forward{w.Focused()};
    for (int i = 0; i < 4; ++i) {
        w.Key(VK_TAB);
        forward.push_back(w.Focused());
    }
    EXPECT_EQ(forward, (std::vector<TWinControl*>{w.products[0], w.install, w.ok, w.cancel, w.products[0]}));
    std::vector<TWinControl*> back;
    {
        THeldKey shift(VK_SHIFT);
        for (int i = 0; i < 4; ++i) {
            w.Key(VK_TAB);
            back.push_back(w.Focused());
        }
    }
    EXPECT_EQ(back, (std::vector<TWinControl*>{w.cancel, w.ok, w.install, w.products[0]}));
    EXPECT_TRUE(w.Checked().empty()) << "the focus on a product does not choose it";
    EXPECT_TRUE(w.clicks.empty());
    // The skinned radio draws its focus rectangle from the platform's focus, which is here.
    EXPECT_EQ(GetFocus(), w.products[0]->Handle());
}

TEST(Keyboard, ArrowsMoveThroughTheGroupAndCheckAndTheCheckedProductIsTheGroupsStop) {
    TKeyboardForm w;
    ASSERT_EQ(w.Focused(), w.products[0]);
    for (int i = 0; i < 3; ++i) w.Key(VK_DOWN);
    EXPECT_EQ(w.Focused(), w.products[3]);
    EXPECT_EQ(w.Checked(), (std::vector<int>{3}));
    EXPECT_EQ(w.clicks, (std::vector<std::u16string>{u"İki", u"Üç", u"&Dört"}));
    w.Key(VK_TAB);
    EXPECT_EQ(w.Focused(), w.install);
    {
        THeldKey shift(VK_SHIFT);
        w.Key(VK_TAB);
    }
    EXPECT_EQ(w.Focused(), w.products[3]) << "Shift+Tab goes back to the checked product";
    // Down from the fifth passes the install button to the sixth; Up from the first wraps.
    w.Key(VK_RIGHT);
    w.Key(VK_DOWN);
    EXPECT_EQ(w.Focused(), w.products[5]);
    w.Key(VK_DOWN);
    w.Key(VK_UP);
    w.Key(VK_LEFT);
    EXPECT_EQ(w.Focused(), w.products[4]);
    EXPECT_EQ(w.Checked(), (std::vector<int>{4}));
    // A disabled product is passed over.
    w.products[5]->SetEnabled(false);
    w.Key(VK_DOWN);
    EXPECT_EQ(w.Focused(), w.products[0]);
}

TEST(Keyboard, EnterSpaceEscapeAndAcceleratorsClickTheirButtons) {
    TKeyboardForm w;
    w.install->SetFocus();
    w.Key(VK_RETURN);
    EXPECT_EQ(w.clicks, (std::vector<std::u16string>{u"install"})) << "Enter clicks the focused button";
    w.Key(VK_SPACE);
    EXPECT_EQ(w.clicks.size(), 2u) << "so does Space";
    w.products[1]->SetFocus();
    w.clicks.clear();
    w.Key(VK_RETURN);
    w.Key(VK_ESCAPE);
    EXPECT_EQ(w.clicks, (std::vector<std::u16string>{u"ok", u"cancel"})) << "the default and the cancel button";
    EXPECT_EQ(w.Focused(), w.products[1]);
    w.cancel->SetFocus();
    w.clicks.clear();
    w.Key(VK_RETURN);
    EXPECT_EQ(w.clicks, (std::vector<std::u16string>{u"cancel"})) << "the focused button, not the default one";
    w.clicks.clear();
    w.AltKey(L'k');
    EXPECT_EQ(w.clicks, (std::vector<std::u16string>{u"install"}));
    w.AltKey(L'D');
    EXPECT_EQ(w.Focused(), w.products[3]);
    EXPECT_EQ(w.Checked(), (std::vector<int>{3}));
    // A disabled control's accelerator reaches nothing.
    w.install->SetEnabled(false);
    w.clicks.clear();
    w.AltKey(L'k');
    EXPECT_TRUE(w.clicks.empty());
}

TEST(Keyboard, AfterAMessageBoxTheFocusIsBackOnTheButtonThatOpenedItAndItStillAnswers) {
    TKeyboardForm w;
    int boxes = 0;
    w.install->OnClick = [&](TObject*) {
        ++boxes;
        // The box closes itself from inside its own modal loop, as a user pressing Enter would.
        SetTimer(nullptr, 0, 200, CloseBoxes);
        Application->MessageBox(u"Lütfen Kurulum Yapmak İstediğiniz Programı Seçiniz.", u"Uyarı", MB_OK | MB_ICONINFORMATION);
    };
    w.install->SetFocus();
    w.Key(VK_RETURN);
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(GetFocus(), w.install->Handle());
    w.Key(VK_SPACE);
    EXPECT_EQ(boxes, 2) << "Space still clicks it";
    EXPECT_EQ(GetFocus(), w.install->Handle());
    w.Key(VK_RETURN);
    EXPECT_EQ(boxes, 3) << "and so does Enter";
}

TEST(Keyboard, TheSelfPaintingTogglesTabsAndMediaBarAnswerTheirKeys) {
    auto form = MakeForm();
    form->SetClientWidth(420);
    form->SetClientHeight(240);
    auto* group = Place<TGroupBox>(form.get(), 200, 150, 200, 60);
    group->SetCaption(u"Grup");
    auto* check = Place<TGlyphCheckBox>(form.get(), 10, 10, 150, 20);
    check->SetCaption(u"&Onay");
    std::vector<TGlyphRadioButton*> radios;
    for (int i = 0; i < 3; ++i) {
        radios.push_back(Place<TGlyphRadioButton>(form.get(), 10, 40 + 24 * i, 150, 20));
        radios.back()->SetCaption(i == 2 ? u"&Üç" : u"Seçenek");
    }
    radios[1]->SetChecked(true);
    auto* tabs = Place<TTabSet>(form.get(), 10, 120, 200, 24);
    tabs->SetTabs({u"Bir", u"İki", u"Üç"});
    tabs->SetTabIndex(0);
    auto* player = Place<TMediaPlayer>(form.get(), 10, 160, 160, 30);
    player->SetVisibleButtons(1u << btPlay | 1u << btPause | 1u << btStop | 1u << btEject);
    player->SetEnabledButtons(1u << btPlay | 1u << btStop | 1u << btEject);
    std::vector<int> pressed;
    player->OnClick = [&](TMediaPlayer*, TMPBtnType b) { pressed.push_back(b); };
    auto* edit = Place<TEdit>(form.get(), 200, 10, 150, 22);
    edit->SetCaption(u"Metin");
    auto* memo = Place<TMemo>(form.get(), 200, 40, 150, 60);
    memo->SetLines({u"Bir satır", u"İkinci satır"});
    form->Show();
    ASSERT_TRUE(PumpUntil([] { return GetFocus() != nullptr; }));
    // With no focus (a focused control was disabled) the keys go to the window, as to an active window.
    auto target = [&] { return GetFocus() ? GetFocus() : form->Handle(); };
    auto key = [&](WORD k) {
        HWND target = GetFocus() ? GetFocus() : form->Handle();
        PostMessageW(target, WM_KEYDOWN, k, 1);
        PostMessageW(target, WM_KEYUP, k, 0xC0000001);
        Application->ProcessMessages();
    };
    auto focused = [] { return FindControl(GetFocus()); };

    // Each is one stop (the glyph radios as a group: the checked one); the group box is none.
    EXPECT_EQ(focused(), check);
    std::vector<TWinControl*> stops;
    DWORD from = 1, to = 1;
    for (int i = 0; i < 6; ++i) {
        key(VK_TAB);
        stops.push_back(focused());
        if (focused() == edit) SendMessageW(edit->Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                                            reinterpret_cast<LPARAM>(&to));
    }
    // The memo keeps Tab for itself and asks the window to move on, typing nothing.
    EXPECT_EQ(stops, (std::vector<TWinControl*>{radios[1], tabs, player, edit, memo, check}));
    EXPECT_EQ(memo->Lines(), (std::vector<std::u16string>{u"Bir satır", u"İkinci satır"}));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 5u) << "Tab into an edit selects its text, as in the platform's dialogs";

    // Space toggles the check box; the arrows move through the glyph radios and check them.
    key(VK_SPACE);
    EXPECT_TRUE(check->Checked());
    key(VK_TAB);
    key(VK_DOWN);
    EXPECT_EQ(focused(), radios[2]);
    EXPECT_TRUE(radios[2]->Checked());
    EXPECT_FALSE(radios[1]->Checked());
    key(VK_DOWN);
    EXPECT_EQ(focused(), radios[0]) << "round to the group's first";
    EXPECT_TRUE(radios[0]->Checked());

    // The arrows, Home and End move through the tabs, and stay at the ends.
    key(VK_TAB);
    ASSERT_EQ(focused(), tabs);
    key(VK_RIGHT);
    EXPECT_EQ(tabs->TabIndex(), 1);
    key(VK_END);
    key(VK_RIGHT);
    EXPECT_EQ(tabs->TabIndex(), 2);
    key(VK_HOME);
    key(VK_LEFT);
    EXPECT_EQ(tabs->TabIndex(), 0);
    EXPECT_EQ(focused(), tabs) << "the arrows stay inside the tab set";

    // The media bar: the keyboard starts on its first usable button, passes the disabled one,
    // and Space or Enter presses the button it is on.
    key(VK_TAB);
    ASSERT_EQ(focused(), player);
    EXPECT_EQ(player->FocusedButton(), btPlay);
    key(VK_RIGHT);
    EXPECT_EQ(player->FocusedButton(), btStop);
    key(VK_SPACE);
    key(VK_RIGHT);
    key(VK_RIGHT);
    key(VK_RETURN);
    key(VK_HOME);
    key(VK_SPACE);
    EXPECT_EQ(pressed, (std::vector<int>{btStop, btEject, btPlay}));
    player->SetEnabled(false);
    key(VK_SPACE);
    EXPECT_EQ(pressed.size(), 3u) << "a disabled bar presses nothing";
    player->SetEnabled(true);

    // Alt with an underlined letter reaches a glyph toggle.
    {
        THeldKey alt(VK_MENU);
        PostMessageW(target(), WM_SYSCHAR, L'o', 0x20000001);
        Application->ProcessMessages();
        PostMessageW(target(), WM_SYSCHAR, L'ü', 0x20000001);
        Application->ProcessMessages();
    }
    EXPECT_FALSE(check->Checked());
    EXPECT_EQ(focused(), radios[2]);
    EXPECT_TRUE(radios[2]->Checked());
}
