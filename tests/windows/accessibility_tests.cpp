// What the platform's accessibility interface tells of the self-painting controls: asked as a
// screen reader asks, through AccessibleObjectFromWindow.
#include "TestSupport.h"

#include "components/CaptionPanel.h"
#include "components/GlowButton.h"
#include "components/GradientProgress.h"
#include "framework/ExtCtrls.h"
#include "framework/StdCtrls.h"

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
        AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
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
