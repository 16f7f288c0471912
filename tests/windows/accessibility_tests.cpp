// What the platform's accessibility interface tells of the self-painting controls: asked as a
// screen reader asks, through AccessibleObjectFromWindow.
#include "TestSupport.h"

#include "components/CaptionPanel.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"
#include "framework/ExtCtrls.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"

#include <oleacc.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace qx;
using namespace qxtest;

namespace {

// An IAccessible reference that is given back when it goes.
class TAcc {
public:
    explicit TAcc(HWND window) {
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                   reinterpret_cast<void**>(&acc_));
    }
    ~TAcc() {
        if (acc_) acc_->Release();
    }
    TAcc(const TAcc&) = delete;
    TAcc& operator=(const TAcc&) = delete;
    IAccessible* operator->() const { return acc_; }
    explicit operator bool() const { return acc_ != nullptr; }

    long Role(long child = CHILDID_SELF) const {
        VARIANT v;
        VariantInit(&v);
        acc_->get_accRole(Id(child), &v);
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    long State(long child = CHILDID_SELF) const {
        VARIANT v;
        VariantInit(&v);
        acc_->get_accState(Id(child), &v);
        return v.vt == VT_I4 ? v.lVal : -1;
    }
    std::wstring Name(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accName, child); }
    std::wstring Value(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accValue, child); }
    std::wstring Action(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accDefaultAction, child); }
    std::wstring Shortcut(long child = CHILDID_SELF) const { return Text(&IAccessible::get_accKeyboardShortcut, child); }
    RECT Location(long child) const {
        long x = 0, y = 0, w = 0, h = 0;
        acc_->accLocation(&x, &y, &w, &h, Id(child));
        return {x, y, x + w, y + h};
    }
    // The simple children (windowless controls) by role, and the child windows.
    std::vector<long> SimpleChildren(long role) const {
        windows_ = 0;
        long count = 0;
        acc_->get_accChildCount(&count);
        std::vector<VARIANT> children(static_cast<std::size_t>(count));
        LONG got = 0;
        AccessibleChildren(acc_, 0, count, children.data(), &got);
        std::vector<long> out;
        for (LONG i = 0; i < got; ++i) {
            if (children[i].vt == VT_I4 && Role(children[i].lVal) == role) out.push_back(children[i].lVal);
            if (children[i].vt == VT_DISPATCH) ++windows_;
            VariantClear(&children[i]);
        }
        return out;
    }
    int Windows() const { return windows_; }

    static VARIANT Id(long child) {
        VARIANT v;
        VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = child;
        return v;
    }

private:
    std::wstring Text(HRESULT (STDMETHODCALLTYPE IAccessible::*get)(VARIANT, BSTR*), long child) const {
        BSTR b = nullptr;
        if ((acc_->*get)(Id(child), &b) != S_OK || !b) return L"<none>";
        std::wstring out(b, SysStringLen(b));
        SysFreeString(b);
        return out;
    }
    IAccessible* acc_ = nullptr;
    mutable int windows_ = 0;
};

}  // namespace

TEST(Accessibility, TheGlowButtonIsAPushButtonNamedByItsCaptionThatAScreenReaderCanPress) {
    auto form = MakeForm();
    auto* button = Place<TGlowButton>(form.get(), 20, 20, 200, 50);
    button->SetCaption(u"  &Kuruluma Başla");
    button->SetTabStop(true);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    button->SetFocus();
    TAcc acc(button->Handle());
    ASSERT_TRUE(acc);
    EXPECT_EQ(acc.Role(), ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(acc.Name(), L"Kuruluma Başla");
    EXPECT_EQ(acc.Shortcut(), L"Alt+K");
    EXPECT_EQ(acc.Action(), L"Bas");
    EXPECT_EQ(acc.State() & (STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED | STATE_SYSTEM_UNAVAILABLE),
              STATE_SYSTEM_FOCUSABLE | STATE_SYSTEM_FOCUSED);
    button->SetEnabled(false);
    EXPECT_TRUE(acc.State() & STATE_SYSTEM_UNAVAILABLE);
    button->SetEnabled(true);
    // The press runs after the request has returned, not inside it.
    EXPECT_EQ(acc->accDoDefaultAction(TAcc::Id(CHILDID_SELF)), S_OK);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(PumpUntil([&] { return clicks == 1; }));
    // A reference kept after the button is gone answers with errors.
    delete button;
    EXPECT_EQ(acc.Name(), L"<none>");
    EXPECT_EQ(acc->accDoDefaultAction(TAcc::Id(CHILDID_SELF)) == S_OK, false);
    Pump(50);
}

TEST(Accessibility, WindowlessControlsAreChildrenOfTheirWindowWithRoleNameValueStateAndPlace) {
    auto form = MakeForm();
    auto* header = Place<TCaptionPanel>(form.get(), 0, 0, 300, 40);
    header->SetCaption(u"Kurulum Sihirbazı");
    auto* bar = new TGradientProgress(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(10, 120, 200, 20);
    bar->SetHint(u"İndirme");
    bar->SetTextOption(toPercent);
    auto* status = new TLabel(form.get());
    status->SetParent(form.get());
    status->SetBounds(10, 150, 200, 16);
    status->SetCaption(u"12 KB / 100 KB");
    auto* hidden = new TLabel(form.get());
    hidden->SetParent(form.get());
    hidden->SetBounds(10, 170, 200, 16);
    hidden->SetCaption(u"gizli");
    hidden->SetVisible(false);
    auto* picture = new TImage(form.get());
    picture->SetParent(form.get());
    picture->SetBounds(220, 60, 64, 64);
    picture->SetHint(u"Buluttan indirme");
    form->Show();
    bar->SetMaximum(5000000);
    bar->SetPosition(2100000);

    TAcc acc(form->Handle());
    ASSERT_TRUE(acc);
    const std::vector<long> bars = acc.SimpleChildren(ROLE_SYSTEM_PROGRESSBAR);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(acc.Value(bars[0]), L"42%");
    EXPECT_EQ(acc.Name(bars[0]), L"İndirme");
    const POINT origin = form->ClientToScreen(POINT{10, 120});
    const RECT place = acc.Location(bars[0]);
    EXPECT_EQ(place.left, origin.x);
    EXPECT_EQ(place.top, origin.y);
    EXPECT_EQ(place.right - place.left, 200);
    // A point over the bar names the bar.
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(acc->accHitTest(origin.x + 100, origin.y + 10, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, bars[0]);
    bar->SetPosition(5000000);
    EXPECT_EQ(acc.Value(bars[0]), L"100%");

    const std::vector<long> texts = acc.SimpleChildren(ROLE_SYSTEM_STATICTEXT);
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(acc.Name(texts[0]), L"12 KB / 100 KB");
    EXPECT_FALSE(acc.State(texts[0]) & STATE_SYSTEM_INVISIBLE);
    EXPECT_EQ(acc.Name(texts[1]), L"gizli");
    EXPECT_TRUE(acc.State(texts[1]) & STATE_SYSTEM_INVISIBLE);
    const std::vector<long> pictures = acc.SimpleChildren(ROLE_SYSTEM_GRAPHIC);
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_EQ(acc.Name(pictures[0]), L"Buluttan indirme");
    EXPECT_EQ(acc.Windows(), 1) << "the header panel is a child window with an object of its own";

    TAcc panel(header->Handle());
    EXPECT_EQ(panel.Role(), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(panel.Name(), L"Kurulum Sihirbazı");
    // The panel's window text follows its caption, so the platform's window object (which
    // names the window by its text) says the same.
    header->SetCaption(u"Yeni başlık");
    wchar_t shown[64] = {};
    GetWindowTextW(header->Handle(), shown, 64);
    EXPECT_STREQ(shown, L"Yeni başlık");
    EXPECT_EQ(panel.Name(), L"Yeni başlık");

    // Questions about children that are not there get errors.
    BSTR none = nullptr;
    EXPECT_EQ(acc->get_accName(TAcc::Id(999), &none), E_INVALIDARG);
    VARIANT text;
    VariantInit(&text);
    text.vt = VT_BSTR;
    text.bstrVal = nullptr;
    EXPECT_EQ(acc->get_accName(text, &none), E_INVALIDARG);
    EXPECT_EQ(none, nullptr);
}

namespace {
std::vector<std::pair<HWND, LONG>> g_valueEvents;
void CALLBACK OnValueChange(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD) {
    if (object == OBJID_CLIENT) g_valueEvents.emplace_back(window, child);
}
}  // namespace

TEST(Accessibility, TheProgressBarTellsAScreenReaderWhenItsPercentageMoves) {
    auto form = MakeForm();
    auto* bar = new TGradientProgress(form.get());
    bar->SetParent(form.get());
    bar->SetBounds(10, 120, 200, 20);
    form->Show();
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_VALUECHANGE, EVENT_OBJECT_VALUECHANGE, nullptr, OnValueChange,
                                         GetCurrentProcessId(), GetCurrentThreadId(), WINEVENT_OUTOFCONTEXT);
    ASSERT_NE(hook, nullptr);
    g_valueEvents.clear();
    bar->SetMaximum(1000);
    bar->SetPosition(3);    // still 0 %
    bar->SetPosition(420);  // 42 %
    bar->SetPosition(424);  // still 42 %
    Pump(100);
    UnhookWinEvent(hook);
    TAcc acc(form->Handle());
    const std::vector<long> bars = acc.SimpleChildren(ROLE_SYSTEM_PROGRESSBAR);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(g_valueEvents, (std::vector<std::pair<HWND, LONG>>{{form->Handle(), bars[0]}}));
}

TEST(Accessibility, GlyphTogglesGroupsTabSetsAndTheMediaBarTellTheirPartsAndStates) {
    auto form = MakeForm();
    auto* group = Place<TGroupBox>(form.get(), 10, 10, 200, 80);
    group->SetCaption(u"&Seçenekler");
    auto* check = Place<TGlyphCheckBox>(group, 10, 20, 150, 20);
    check->SetCaption(u"&Onay");
    auto* radio = Place<TGlyphRadioButton>(group, 10, 44, 150, 20);
    radio->SetCaption(u"Radyo");
    auto* tabs = Place<TTabSet>(form.get(), 10, 100, 200, 24);
    tabs->SetTabs({u"Bir", u"İki"});
    tabs->SetTabIndex(1);
    auto* player = Place<TMediaPlayer>(form.get(), 10, 140, 120, 30);
    player->SetVisibleButtons(1u << btPlay | 1u << btPause | 1u << btStop);
    player->SetEnabledButtons(1u << btPlay | 1u << btStop);
    std::vector<int> pressed;
    player->OnClick = [&](TMediaPlayer*, TMPBtnType b) { pressed.push_back(b); };
    form->Show();

    TAcc box(group->Handle());
    EXPECT_EQ(box.Role(), ROLE_SYSTEM_GROUPING);
    EXPECT_EQ(box.Name(), L"Seçenekler");
    TAcc c(check->Handle()), r(radio->Handle());
    EXPECT_EQ(c.Role(), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(c.Name(), L"Onay");
    EXPECT_EQ(c.Shortcut(), L"Alt+O");
    EXPECT_FALSE(c.State() & STATE_SYSTEM_CHECKED);
    check->SetChecked(true);
    EXPECT_TRUE(c.State() & STATE_SYSTEM_CHECKED);
    EXPECT_EQ(r.Role(), ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(r->accDoDefaultAction(TAcc::Id(CHILDID_SELF)), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return radio->Checked(); })) << "a screen reader's press checks it";
    EXPECT_TRUE(r.State() & STATE_SYSTEM_CHECKED);

    TAcc set(tabs->Handle());
    EXPECT_EQ(set.Role(), ROLE_SYSTEM_PAGETABLIST);
    EXPECT_EQ(set.Value(), L"İki");
    const std::vector<long> pageTabs = set.SimpleChildren(ROLE_SYSTEM_PAGETAB);
    ASSERT_EQ(pageTabs.size(), 2u);
    EXPECT_EQ(set.Name(pageTabs[0]), L"Bir");
    EXPECT_FALSE(set.State(pageTabs[0]) & STATE_SYSTEM_SELECTED);
    EXPECT_TRUE(set.State(pageTabs[1]) & STATE_SYSTEM_SELECTED);
    // The place of a tab is where it is drawn, and a point there names it.
    const RECT drawn = tabs->TabRect(0);
    const POINT origin = tabs->ClientToScreen(POINT{drawn.left, drawn.top});
    EXPECT_EQ(set.Location(pageTabs[0]).left, origin.x);
    VARIANT hit;
    VariantInit(&hit);
    ASSERT_EQ(set->accHitTest(origin.x + 3, origin.y + 3, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, pageTabs[0]);
    EXPECT_EQ(set->accDoDefaultAction(TAcc::Id(pageTabs[0])), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return tabs->TabIndex() == 0; }));

    TAcc bar(player->Handle());
    EXPECT_EQ(bar.Role(), ROLE_SYSTEM_TOOLBAR);
    const std::vector<long> buttons = bar.SimpleChildren(ROLE_SYSTEM_PUSHBUTTON);
    ASSERT_EQ(buttons.size(), 3u);
    EXPECT_EQ(bar.Name(buttons[0]), L"Play");
    EXPECT_EQ(bar.Name(buttons[1]), L"Pause");
    EXPECT_TRUE(bar.State(buttons[1]) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_FALSE(bar.State(buttons[2]) & STATE_SYSTEM_UNAVAILABLE);
    EXPECT_NE(bar->accDoDefaultAction(TAcc::Id(buttons[1])), S_OK) << "a disabled button cannot be pressed";
    EXPECT_EQ(bar->accDoDefaultAction(TAcc::Id(buttons[2])), S_OK);
    EXPECT_TRUE(PumpUntil([&] { return !pressed.empty(); }));
    EXPECT_EQ(pressed, (std::vector<int>{btStop}));
    player->SetFocus();
    EXPECT_TRUE(bar.State(buttons[0]) & STATE_SYSTEM_FOCUSED) << "the keyboard's button";
    player->SetEnabled(false);
    EXPECT_TRUE(bar.State(buttons[0]) & STATE_SYSTEM_UNAVAILABLE);
}
