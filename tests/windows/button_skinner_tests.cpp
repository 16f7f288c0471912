// Control skinners on real windows: taking over and giving back, the skin switch, the cells
// that each state paints, captions, clicks of raw buttons and GDI balance. Every skinner is
// owned by a skin manager of the test's own.
#include "TestSupport.h"

#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "skin/ButtonSkinners.h"
#include "skin/ClassMapProperties.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

using namespace qx;
using qxtest::MakeForm;
using qxtest::Place;
using qxtest::PumpUntil;

namespace {

// Sets flag when a component it watches is freed.
struct TFreeWatch : TComponent {
    bool* flag;
    explicit TFreeWatch(bool* f) : TComponent(nullptr), flag(f) {}
    void Notification(TComponent*, TOperation op) override {
        if (op == TOperation::opRemove) *flag = true;
    }
};

// Cell k of every strip is painted in CellColour(k).
COLORREF CellColour(int k) { return RGB(10 * k, 200 - 10 * k, 40); }

void FillStrip(TBitmap& bitmap, int cells, int cellWidth, int height) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(cells) * cellWidth * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < cells * cellWidth; ++x) {
            COLORREF c = CellColour(x / cellWidth + 1);
            px[static_cast<std::size_t>(y) * cells * cellWidth + x] =
                (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    bitmap.SetPixels32(cells * cellWidth, height, px);
}

// A skin with a 5-frame button face, an 8-cell radio strip and a 12-cell check strip.
std::unique_ptr<TSkinData> MakeSkin(int radioCells = 8, int checkCells = 12) {
    auto skin = std::make_unique<TSkinData>(nullptr);
    FillStrip(skin->Buttons.Bitmap, 5, 20, 20);
    skin->Buttons.Frame = 5;
    skin->Buttons.Margins = {3, 3, 3, 3};
    FillStrip(skin->Buttons.RadioBitmap, radioCells, 13, 13);
    skin->Buttons.RadioButtonFrame = radioCells;
    FillStrip(skin->Buttons.CheckBitmap, checkCells, 13, 13);
    skin->Buttons.CheckButtonFrame = checkCells;
    skin->Colours.ButtonFace = RGB(1, 2, 3);
    skin->Colours.ButtonText = RGB(0, 0, 0);
    return skin;
}

// Records every message that reaches it on its way to the control: installed before a
// skinner it stands for the control's own handling, installed after it for a later hook.
struct TSeen : TMessageHook {
    TControl* control = nullptr;
    std::vector<UINT> seen;
    void HookMessage(TMessage& m, const TMessageNext& next) override {
        seen.push_back(m.Msg);
        next(m);
    }
    void Install() { control->AddMessageHook(this); }
    bool Saw(UINT msg) const { return std::find(seen.begin(), seen.end(), msg) != seen.end(); }
};

// Skinners made the way the dispatch makes them: owned by the manager.
template <class S>
S* SkinOf(TSkinManager& manager, TControl* control, TSkinData* skin, bool ownColor = false, TSkinForm* form = nullptr) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    S* s = manager.Own(std::make_unique<S>(), TSkinKey{windowed ? windowed->Handle() : nullptr,
                                                        windowed ? nullptr : control});
    s->Attach(control, form, skin, ownColor, nullptr);
    return s;
}

template <class S>
S* SkinOfWindow(TSkinManager& manager, HWND window, TSkinData* skin, TSkinForm* form = nullptr) {
    S* s = manager.Own(std::make_unique<S>(), TSkinKey{window, nullptr});
    s->AttachWindow(window, skin, form, nullptr);
    return s;
}

// What the skinner paints over a window, through WM_PRINT (framework painters) or directly.
COLORREF PaintedAt(TSkinControl& s, HWND window, int x, int y, bool print) {
    TTestCanvas capture(200, 60);
    RECT all{0, 0, 200, 60};
    FillRect(capture.Dc(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    if (print)
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(capture.Dc()), PRF_CLIENT);
    else
        s.PaintWindow(capture.Dc());
    return capture.At(x, y);
}

// A top-level window that records the WM_COMMAND messages its children send it.
struct TParentWindow {
    static std::vector<std::pair<WPARAM, LPARAM>>& Commands() {
        static std::vector<std::pair<WPARAM, LPARAM>> c;
        return c;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        if (m == WM_COMMAND) Commands().emplace_back(wp, lp);
        return DefWindowProcW(w, m, wp, lp);
    }
    HWND handle = nullptr;
    TParentWindow() {
        static bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = &TParentWindow::Proc;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QxSkinTestParent";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        handle = CreateWindowExW(0, L"QxSkinTestParent", L"parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 400,
                                 300, nullptr, nullptr, nullptr, nullptr);
        Commands().clear();
    }
    ~TParentWindow() { DestroyWindow(handle); }
    HWND Child(const wchar_t* cls, const wchar_t* text, DWORD style, int id, int width = 150) {
        return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, 10, 10, width, 24, handle,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
};

}  // namespace

TEST(SkinControl, SwitchTurnsSkinningOffAndOnAndTheQueryNeverReachesTheControl) {
    auto skin = MakeSkin();
    TSkinManager manager;
    TSeen seen;  // outlives the form, whose last messages pass through it
    auto form = MakeForm();
    TSkinForm registry(nullptr);
    auto* radio = Place<TRadioButton>(form.get(), 10, 10, 150, 20);
    form->Show();
    seen.control = radio;
    seen.Install();
    auto* skinner = SkinOf<TSkinRadioButton>(manager, radio, skin.get(), false, &registry);
    EXPECT_EQ(registry.Controls(), std::vector<TSkinControl*>{skinner});
    HWND h = radio->Handle();

    EXPECT_EQ(SendMessageW(h, WM_SKINNEDQUERY, 0, 0), 1);
    EXPECT_FALSE(seen.Saw(WM_SKINNEDQUERY));
    EXPECT_EQ(PaintedAt(*skinner, h, 6, 10, true), CellColour(1));
    EXPECT_EQ(skinner->LastCell(), 1);

    SendMessageW(h, WM_SKINSWITCH, 0, 0);
    EXPECT_FALSE(seen.Saw(WM_SKINSWITCH));
    EXPECT_FALSE(skinner->SkinOn());
    EXPECT_EQ(SendMessageW(h, WM_SKINNEDQUERY, 0, 0), 0) << "answered by the control itself";
    EXPECT_TRUE(seen.Saw(WM_SKINNEDQUERY));
    EXPECT_NE(PaintedAt(*skinner, h, 6, 10, true), CellColour(1)) << "the system look";

    // Switching on repaints at once: what was invalid is painted before the message returns.
    InvalidateRect(h, nullptr, TRUE);
    SendMessageW(h, WM_SKINSWITCH, 1, 0);
    EXPECT_TRUE(skinner->SkinOn());
    EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE)) << "switching on repaints at once";
    EXPECT_EQ(PaintedAt(*skinner, h, 6, 10, true), CellColour(1));

    // Off again: even the window's destruction passes straight through.
    SendMessageW(h, WM_SKINSWITCH, static_cast<WPARAM>(-5), 0);
    seen.seen.clear();
    radio->RecreateWnd();
    EXPECT_TRUE(seen.Saw(WM_NCDESTROY));
    EXPECT_EQ(skinner->Life(), TSkinnerLife::Skinned);
    manager.Free(skinner);
    EXPECT_TRUE(registry.Controls().empty());
    EXPECT_FALSE(radio->HasMessageHook(skinner)) << "hook given back";
    EXPECT_TRUE(radio->HasMessageHook(&seen));
    EXPECT_EQ(manager.SkinnerCount(), 0u);
}

TEST(SkinControl, RawWindowIsTakenOverAndGivenBackAtItsDestruction) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND radio = parent.Child(L"BUTTON", L"raw", BS_RADIOBUTTON, 7);
    const LONG_PTR original = GetWindowLongPtrW(radio, GWLP_WNDPROC);
    TSkinManager manager;
    TSkinForm registry(nullptr);
    auto* skinner = SkinOfWindow<TSkinRadioButton>(manager, radio, skin.get(), &registry);
    EXPECT_NE(GetWindowLongPtrW(radio, GWLP_WNDPROC), original);
    EXPECT_EQ(SendMessageW(radio, WM_SKINNEDQUERY, 0, 0), 1);
    wchar_t text[16] = {};
    GetWindowTextW(radio, text, 16);
    EXPECT_STREQ(text, L"raw") << "other messages reach the button";

    // A raw radio button paints itself and gets the glyph over it.
    EXPECT_EQ(PaintedAt(*skinner, radio, 6, 12, false), CellColour(1));
    SendMessageW(radio, BM_SETCHECK, BST_CHECKED, 0);
    EXPECT_EQ(PaintedAt(*skinner, radio, 6, 12, false), CellColour(5));

    // The window's destruction takes the skinner out of the table and frees it.
    bool gone = false;
    TFreeWatch watch(&gone);
    skinner->FreeNotification(&watch);
    DestroyWindow(radio);
    EXPECT_TRUE(gone);
    EXPECT_EQ(manager.SkinnerCount(), 0u);
    EXPECT_TRUE(registry.Controls().empty());
}

TEST(SkinControl, RegistryListsOnceAndUnskinningFreesThroughTheManager) {
    TSkinManager manager;
    TSkinForm registry(nullptr);
    auto* a = manager.Own(std::make_unique<TSkinButton>(), TSkinKey{nullptr, nullptr});
    EXPECT_FALSE(registry.RegisterControl(a));
    EXPECT_TRUE(registry.RegisterControl(a));
    EXPECT_EQ(registry.Controls().size(), 1u);
    registry.UnregisterControl(a);
    EXPECT_TRUE(registry.Controls().empty());
    registry.RegisterControl(a);
    // Unskinning frees what is listed.
    bool gone = false;
    TFreeWatch watch(&gone);
    a->FreeNotification(&watch);
    registry.FreeControlSkinners();
    EXPECT_TRUE(gone);
    EXPECT_EQ(manager.SkinnerCount(), 0u);
}

TEST(RadioSkinner, CellsOfTheFourStatesOnEightAndFourCellStrips) {
    for (int cells : {8, 4}) {
        auto skin = MakeSkin(cells);
        TSkinManager manager;
        auto form = MakeForm();
        auto* radio = Place<TRadioButton>(form.get(), 10, 10, 150, 20);
        radio->SetCaption(u"Drivano");
        form->Show();
        auto* skinner = SkinOf<TSkinRadioButton>(manager, radio, skin.get(), false);
        HWND h = radio->Handle();
        std::vector<int> got;
        for (bool disabled : {false, true})
            for (bool checked : {false, true}) {
                radio->SetEnabled(!disabled);
                radio->SetChecked(checked);
                COLORREF c = PaintedAt(*skinner, h, 6, 10, true);
                got.push_back(skinner->LastCell());
                EXPECT_EQ(c, CellColour(skinner->LastCell()));
            }
        std::vector<int> want = cells == 8 ? std::vector<int>{1, 5, 4, 8} : std::vector<int>{1, 2, 3, 4};
        EXPECT_EQ(got, want) << cells << " cells";
        // The face is the skin's button face.
        EXPECT_EQ(PaintedAt(*skinner, h, 140, 2, true), RGB(1, 2, 3));
    }
}

TEST(CheckSkinner, TwelveCellMapping) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* box = Place<TCheckBox>(form.get(), 10, 10, 150, 20);
    box->SetAllowGrayed(true);
    form->Show();
    auto* skinner = SkinOf<TSkinCheckBox>(manager, box, skin.get(), false);
    std::vector<int> got;
    for (bool disabled : {false, true})
        for (auto state : {TCheckBoxState::cbUnchecked, TCheckBoxState::cbChecked, TCheckBoxState::cbGrayed}) {
            box->SetEnabled(!disabled);
            box->SetState(state);
            COLORREF c = PaintedAt(*skinner, box->Handle(), 6, 10, true);
            got.push_back(skinner->LastCell());
            EXPECT_EQ(c, CellColour(got.back()));
        }
    EXPECT_EQ(got, (std::vector<int>{1, 5, 9, 4, 8, 12}));
}

TEST(RadioSkinner, PaintingLeavesTheColourItGivesBackAlone) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* radio = Place<TRadioButton>(form.get(), 10, 10, 150, 20);
    radio->SetCaption(u"Drivano");
    radio->SetColor(RGB(10, 20, 30));
    form->Show();
    auto* skinner = SkinOf<TSkinRadioButton>(manager, radio, skin.get(), true);
    EXPECT_EQ(radio->Color(), RGB(1, 2, 3)) << "the skin's face while skinned";
    TTestCanvas capture(200, 60);
    SetBkColor(capture.Dc(), RGB(90, 90, 90));
    SendMessageW(radio->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(capture.Dc()), PRF_CLIENT);
    EXPECT_EQ(GetBkColor(capture.Dc()), RGB(90, 90, 90)) << "the DC's own background colour is put back";
    skinner->Detach();
    EXPECT_EQ(radio->Color(), RGB(10, 20, 30)) << "its own colour comes back, whatever was painted";
}

TEST(CheckSkinner, LeftTextPutsTheGlyphAtTheRight) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND radio = parent.Child(L"BUTTON", L"r", BS_RADIOBUTTON | BS_LEFTTEXT, 1);
    HWND check = parent.Child(L"BUTTON", L"c", BS_CHECKBOX | BS_LEFTTEXT, 2);
    TSkinRadioButton r;
    TSkinCheckBox c;
    r.AttachWindow(radio, skin.get(), nullptr, nullptr);
    c.AttachWindow(check, skin.get(), nullptr, nullptr);
    PaintedAt(r, radio, 0, 0, false);
    PaintedAt(c, check, 0, 0, false);
    EXPECT_EQ(r.LastGlyphRect().right, 149) << "one pixel inside";
    EXPECT_EQ(r.LastGlyphRect().left, 136);
    EXPECT_EQ(c.LastGlyphRect().right, 150) << "flush";
    EXPECT_EQ(PaintedAt(c, check, 149, 12, false), CellColour(1));
    EXPECT_EQ(PaintedAt(r, radio, 136, 12, false), CellColour(1));
    EXPECT_EQ(r.LastGlyphRect().top, 5) << "(24 - 13) / 2";
}

TEST(ButtonFamily, WithoutTheSkinsPicturesEveryButtonLooksAndWorksAsItsOwnFromTheFirstPaint) {
    // A skin that names no button pictures: every kind paints exactly as it does with its
    // skinner switched off (the system look), and a push button's press reaches the control.
    auto skin = MakeSkin();
    skin->Buttons.Bitmap.Clear();
    skin->Buttons.RadioBitmap.Clear();
    skin->Buttons.CheckBitmap.Clear();
    TSkinManager manager;
    auto form = MakeForm();
    auto* radio = Place<TRadioButton>(form.get(), 10, 10, 150, 20);
    auto* check = Place<TCheckBox>(form.get(), 10, 40, 150, 20);
    auto* push = Place<TButton>(form.get(), 10, 70, 110, 26);
    auto* glyph = Place<TBitBtn>(form.get(), 10, 100, 110, 26);
    radio->SetCaption(u"Radio");
    check->SetCaption(u"Check");
    push->SetCaption(u"Push");
    glyph->SetCaption(u"Glyph");
    form->Show();
    TSeen seen;
    seen.control = push;
    seen.Install();
    std::vector<std::pair<TWinControl*, TSkinControl*>> skinned = {
        {radio, SkinOf<TSkinRadioButton>(manager, radio, skin.get())},
        {check, SkinOf<TSkinCheckBox>(manager, check, skin.get())},
        {push, SkinOf<TSkinButton>(manager, push, skin.get())},
        {glyph, SkinOf<TSkinBitButton>(manager, glyph, skin.get())}};
    auto capture = [](HWND window) {
        TTestCanvas c(200, 40, RGB(1, 2, 3));
        SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(c.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
        std::vector<COLORREF> pixels;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x) pixels.push_back(c.At(x, y));
        return pixels;
    };
    for (auto [control, skinner] : skinned) {
        const std::vector<COLORREF> first = capture(control->Handle());
        SendMessageW(control->Handle(), WM_SKINSWITCH, 0, 0);
        const std::vector<COLORREF> own = capture(control->Handle());
        SendMessageW(control->Handle(), WM_SKINSWITCH, 1, 0);
        EXPECT_EQ(first, own) << skinner->Control()->ClassInfo().Name;
        EXPECT_NE(std::count(own.begin(), own.end(), RGB(1, 2, 3)), static_cast<std::ptrdiff_t>(own.size()))
            << "the control painted something";
    }
    seen.seen.clear();
    SendMessageW(push->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(push->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(seen.Saw(WM_LBUTTONDOWN)) << "the press is the control's own";
    EXPECT_EQ(dynamic_cast<TSkinButton*>(skinned[2].second)->LastCell(), 0) << "no face was drawn";
}

TEST(ButtonSkinner, FaceCellsByStateAndTheCaptionSplitOnce) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND button = parent.Child(L"BUTTON", L"Ab||Cd||Ef", BS_PUSHBUTTON, 3);
    HWND other = parent.Child(L"BUTTON", L"x", BS_PUSHBUTTON, 4);
    TSkinButton s;
    s.AttachWindow(button, skin.get(), nullptr, nullptr);
    SetForegroundWindow(parent.handle);
    SetFocus(other);
    PaintedAt(s, button, 0, 0, false);
    EXPECT_EQ(s.LastCell(), 1);
    EXPECT_EQ(s.Caption(), u"Ab\r\nCd||Ef");
    SetFocus(button);
    EXPECT_EQ(GetFocus(), button);
    EXPECT_EQ(PaintedAt(s, button, 1, 1, false), CellColour(5));
    EXPECT_EQ(s.LastCell(), 5);
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(PaintedAt(s, button, 1, 1, false), CellColour(2));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EnableWindow(button, FALSE);
    EXPECT_EQ(PaintedAt(s, button, 1, 1, false), CellColour(3));
    // The caption is drawn on two lines: its ink spans more than one line's height.
    EnableWindow(button, TRUE);
    SetWindowPos(button, nullptr, 0, 0, 150, 50, SWP_NOMOVE | SWP_NOZORDER);
    skin->Buttons.Bitmap.Clear();
    FillStrip(skin->Buttons.Bitmap, 5, 20, 20);
    TTestCanvas capture(200, 60);
    s.PaintWindow(capture.Dc());
    int top = -1, bottom = -1;
    for (int y = 0; y < 50; ++y)
        for (int x = 3; x < 147; ++x)
            if (capture.At(x, y) == RGB(0, 0, 0)) {
                if (top < 0) top = y;
                bottom = y;
            }
    TEXTMETRICW tm{};
    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    GetTextMetricsW(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    ASSERT_GE(top, 0);
    EXPECT_GT(bottom - top + 1, tm.tmHeight) << "two lines of text";
}

TEST(ButtonSkinner, RawButtonClickIsPostedOnceOnReleaseAfterAPressOnIt) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND button = parent.Child(L"Button", L"Go", BS_PUSHBUTTON, 42);
    TSkinButton s;
    s.AttachWindow(button, skin.get(), nullptr, nullptr);
    auto& commands = TParentWindow::Commands();
    // A release without a press on the button does nothing.
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    qxtest::Pump(50);
    EXPECT_TRUE(commands.empty());
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    EXPECT_TRUE(commands.empty()) << "posted, not sent";
    qxtest::Pump(100);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0].first, 42u);
    EXPECT_EQ(commands[0].second, reinterpret_cast<LPARAM>(button));
    // Pressed, then the mouse leaves: the release elsewhere is no click.
    commands.clear();
    SendMessageW(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(button, WM_MOUSELEAVE, 0, 0);
    SendMessageW(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    qxtest::Pump(50);
    EXPECT_TRUE(commands.empty());
}

TEST(ButtonSkinner, AVeryWideControlReportsTheCursorPosition) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TButton>(form.get(), 0, 0, 40000, 25);
    form->Show();
    SkinOf<TSkinButton>(manager, button, skin.get(), false);
    POINT got{-1, -1};
    button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int x, int y) { got = {x, y}; };
    SetCursorPos(200, 100);
    POINT cursor{};
    GetCursorPos(&cursor);
    POINT want = button->ScreenToClient(cursor);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(got.x, want.x);
    EXPECT_EQ(got.y, want.y);
    EXPECT_FALSE(got.x == 3 && got.y == 4);
    // A normal width uses the message's coordinates.
    button->SetWidth(100);
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    EXPECT_EQ(got.x, 3);
    EXPECT_EQ(got.y, 4);
}

TEST(ButtonSkinner, FreeingInsideAMessageWaitsForItsEnd) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TButton>(form.get(), 0, 0, 80, 25);
    form->Show();
    TSkinForm registry(nullptr);
    auto* s = SkinOf<TSkinButton>(manager, button, skin.get(), false, &registry);
    bool gone = false, goneDuringClick = true;
    TFreeWatch watch(&gone);
    s->FreeNotification(&watch);
    button->OnClick = [&](TObject*) {
        manager.Free(s);
        goneDuringClick = gone;
    };
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    EXPECT_FALSE(goneDuringClick);
    EXPECT_TRUE(gone);
    EXPECT_TRUE(registry.Controls().empty());
    EXPECT_FALSE(button->HasMessageHook(s));
}

TEST(ButtonSkinner, ThousandPaintsLeaveNoGdiObjects) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* radio = Place<TRadioButton>(form.get(), 10, 10, 150, 20);
    radio->SetCaption(u"Ağ");
    auto* button = Place<TButton>(form.get(), 10, 40, 80, 25);
    button->SetCaption(u"Kur||Kur");
    form->Show();
    auto* r = SkinOf<TSkinRadioButton>(manager, radio, skin.get(), false);
    auto* b = SkinOf<TSkinButton>(manager, button, skin.get(), false);
    TTestCanvas capture(200, 60);
    PaintedAt(*r, radio->Handle(), 0, 0, true);
    b->PaintWindow(capture.Dc());
    const long before = GdiLiveObjects();
    for (int i = 0; i < 1000; ++i) {
        SendMessageW(radio->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(capture.Dc()), PRF_CLIENT);
        b->PaintWindow(capture.Dc());
        if (i % 100 == 0) {
            RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        }
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}

TEST(SkinProperties, MissingValuesAndTextForms) {
    auto form = MakeForm();
    auto* box = new TCheckBox(form.get());
    box->SetTag(12);
    EXPECT_EQ(GetEnumPropText(box, "State"), "cbUnchecked");
    EXPECT_EQ(GetEnumPropText(box, "NoSuch"), "");
    EXPECT_EQ(GetEnumPropText(box, "Tag"), "") << "not an enumeration";
    EXPECT_EQ(GetEnumPropText(nullptr, "State"), "");
    SetPropFromText(box, "State", u"cbChecked");
    EXPECT_TRUE(box->Checked());
    SetPropFromText(box, "Tag", u"77");
    EXPECT_EQ(box->Tag(), 77);
    SetPropFromText(box, "Tag", u"x7");  // not a number: unchanged
    EXPECT_EQ(box->Tag(), 77);
    EXPECT_EQ(ReplaceFirst(u"a||b||c", u"||", u"\r\n"), u"a\r\nb||c");
}

namespace {

// A glyph strip of `cells` 16 x 16 cells; cell k is GlyphColour(k) with a magenta bottom-left
// pixel (the transparent colour of framework glyphs).
COLORREF GlyphColour(int k) { return RGB(200, 40 * k, 10); }
void FillGlyph(TBitmap& glyph, int cells) {
    std::vector<std::uint32_t> px(static_cast<std::size_t>(cells) * 16 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < cells * 16; ++x) {
            COLORREF c = (x % 16 == 0 && y == 15) ? RGB(255, 0, 255) : GlyphColour(x / 16 + 1);
            px[static_cast<std::size_t>(y) * cells * 16 + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    glyph.SetPixels32(cells * 16, 16, px);
}

}  // namespace

TEST(BitButtonSkinner, GlyphCellsFollowTheBitmapButtonConvention) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TBitBtn>(form.get(), 10, 10, 80, 26);
    FillGlyph(*button->Glyph(), 3);
    button->SetNumGlyphs(3);
    form->Show();
    auto* s = SkinOf<TSkinBitButton>(manager, button, skin.get(), false);
    // No caption: the glyph is centred, at (32, 5).
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 40, 12, false), GlyphColour(1));
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 32, 20, false), CellColour(s->LastCell())) << "key pixel";
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 40, 12, false), GlyphColour(3)) << "pressed shows cell 3";
    EXPECT_EQ(s->LastCell(), 2);
    SendMessageW(button->Handle(), WM_MOUSELEAVE, 0, 0);
    button->SetEnabled(false);
    COLORREF gray = PaintedAt(*s, button->Handle(), 40, 12, false);
    EXPECT_EQ(s->LastCell(), 3);
    EXPECT_TRUE(GetRValue(gray) == GetGValue(gray) && GetGValue(gray) == GetBValue(gray)) << "cell 2, greyed";
    EXPECT_EQ(GetRValue(gray), (200 + 80 + 10) / 3);
    // Glyph left, caption after it: the glyph moves to the margin.
    button->SetEnabled(true);
    button->SetCaption(u"Kur");
    button->SetMargin(4);
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 4 + 8, 12, false), GlyphColour(1));
}

TEST(SpeedButtonSkinner, FlatButtonsShowTheFaceOnlyWhenHotOrDown) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TSpeedButton>(form.get(), 10, 10, 60, 24);
    button->SetFlat(true);
    form->Show();
    auto* s = SkinOf<TSkinSpeedButton>(manager, button, skin.get());
    TMouseButton pressed = TMouseButton::mbRight;
    button->OnMouseDown = [&](TObject*, TMouseButton b, TShiftState, int, int) { pressed = b; };
    auto paint = [&] {
        TTestCanvas capture(100, 40);
        s->PaintSpeed(capture.Dc());
        return capture.At(30, 1);
    };
    EXPECT_EQ(paint(), RGB(1, 2, 3)) << "idle and flat: background only";
    EXPECT_EQ(s->LastCell(), 1);
    button->Perform(CM_MOUSEENTER);
    EXPECT_EQ(paint(), CellColour(4));
    button->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    EXPECT_EQ(pressed, TMouseButton::mbLeft) << "the control sees the press";
    EXPECT_EQ(paint(), CellColour(2));
    button->Perform(WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    button->Perform(CM_MOUSELEAVE);
    EXPECT_EQ(paint(), RGB(1, 2, 3));
    button->SetDown(true);
    EXPECT_EQ(paint(), CellColour(2));
    button->SetDown(false);
    button->SetEnabled(false);
    button->SetFlat(false);
    EXPECT_EQ(paint(), CellColour(3));
    // The skinner gives the hook back when it goes.
    manager.Free(s);
    EXPECT_FALSE(button->HasMessageHook(s));
}

TEST(MenuButtonSkinner, FocusShowsTheHotFaceAndTheArrowIsDrawn) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TMenuButton>(form.get(), 10, 10, 100, 26);
    auto* other = Place<TButton>(form.get(), 10, 50, 100, 26);
    form->Show();
    SetForegroundWindow(form->Handle());
    auto* s = SkinOf<TSkinMenuButton>(manager, button, skin.get(), false);
    SetFocus(other->Handle());
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 10, 1, false), CellColour(1));
    SetFocus(button->Handle());
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 10, 1, false), CellColour(4));
    // Arrow tip row: c - 1 = 26 / 2 + 1 = 14, centred on x = 100 - 12.
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 88, 14, false), GetSysColor(COLOR_WINDOWTEXT));
    button->SetEnabled(false);
    EXPECT_EQ(PaintedAt(*s, button->Handle(), 88, 12, false), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(s->LastCell(), 3);
}

TEST(ButtonSkinner, TransparentTagShowsTheParentBehindKeyedPixels) {
    auto skin = MakeSkin();
    TSkinManager manager;
    // Frame corners in the key colour, drawn transparently.
    auto& face = skin->Buttons.Bitmap;
    std::vector<std::uint32_t> px(100 * 20, 0x0000FF);
    for (int f = 0; f < 5; ++f) px[static_cast<std::size_t>(f) * 20] = 0xFF00FF;
    face.SetPixels32(100, 20, px);
    skin->Buttons.Trans = 1;
    auto form = MakeForm();
    form->SetColor(RGB(0, 128, 0));
    auto* plain = Place<TButton>(form.get(), 10, 10, 80, 25);
    auto* clear = Place<TButton>(form.get(), 10, 50, 80, 25);
    clear->SetTag(TransparentTag);
    form->Show();
    auto* a = SkinOf<TSkinButton>(manager, plain, skin.get(), false);
    auto* b = SkinOf<TSkinButton>(manager, clear, skin.get(), false);
    EXPECT_EQ(PaintedAt(*a, plain->Handle(), 0, 0, false), RGB(1, 2, 3)) << "the skin's button face";
    EXPECT_EQ(PaintedAt(*b, clear->Handle(), 0, 0, false), RGB(0, 128, 0)) << "the parent's background";
    EXPECT_EQ(PaintedAt(*b, clear->Handle(), 40, 12, false), RGB(0, 0, 255));
    // The skin option does the same for every control.
    skin->SetOptions(skin->Options() | SkinOptionBit(xoTransparent));
    auto* third = Place<TButton>(form.get(), 100, 10, 80, 25);
    auto* c = SkinOf<TSkinButton>(manager, third, skin.get(), false);
    EXPECT_EQ(PaintedAt(*c, third->Handle(), 0, 0, false), RGB(0, 128, 0));
}

TEST(SkinControl, OwnColourSwitchesParentBackgroundOffWhileSkinned) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetParentBackground(true);
    panel->SetColor(RGB(9, 9, 9));
    form->Show();
    auto* s = SkinOf<TSkinControl>(manager, panel, skin.get(), true);
    EXPECT_FALSE(panel->ParentBackground());
    EXPECT_EQ(panel->Color(), RGB(1, 2, 3));
    EXPECT_EQ(s->SelfPaint(), TSelfPaint::On);
    s->Detach();
    EXPECT_TRUE(panel->ParentBackground());
    EXPECT_EQ(panel->Color(), RGB(9, 9, 9));
    manager.Free(s);
    // With the skin option the property is left alone.
    skin->SetOptions(skin->Options() | SkinOptionBit(xoParentBackGround));
    SkinOf<TSkinControl>(manager, panel, skin.get(), true);
    EXPECT_TRUE(panel->ParentBackground());
}

TEST(SkinControl, ASecondTakeOverOfARawWindowReplacesTheFirst) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND button = parent.Child(L"BUTTON", L"twice", BS_PUSHBUTTON, 9);
    const LONG_PTR original = GetWindowLongPtrW(button, GWLP_WNDPROC);
    {
        TSkinButton s;
        s.AttachWindow(button, skin.get(), nullptr, nullptr);
        s.AttachWindow(button, skin.get(), nullptr, nullptr);
        // Chained onto itself this would recurse without end.
        EXPECT_EQ(SendMessageW(button, WM_SKINNEDQUERY, 0, 0), 1);
        wchar_t text[16] = {};
        GetWindowTextW(button, text, 16);
        EXPECT_STREQ(text, L"twice");
    }
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), original);
}

TEST(SkinControl, HooksAndHandlersInstalledLaterKeepWorkingWhenTheSkinnerLeavesFirst) {
    auto skin = MakeSkin();
    TSkinManager manager;
    TSeen later;  // outlives the form, whose last messages pass through it
    auto form = MakeForm();
    auto* button = Place<TButton>(form.get(), 0, 0, 80, 25);
    button->SetCaption(u"later");
    form->Show();
    TSkinForm registry(nullptr);
    auto* s = SkinOf<TSkinButton>(manager, button, skin.get(), false, &registry);
    later.control = button;
    later.Install();
    // A handler put in place of the control's message handler, as other code may do.
    TWndMethod saved = button->WindowProc;
    std::vector<UINT> replaced;
    struct TReplacement {
        TWndMethod* previous;
        std::vector<UINT>* seen;
        void Handle(TMessage& m) {
            seen->push_back(m.Msg);
            (*previous)(m);
        }
    } replacement{&saved, &replaced};
    button->WindowProc = TWndMethod::Of<TReplacement, &TReplacement::Handle>(&replacement);
    EXPECT_EQ(SendMessageW(button->Handle(), WM_SKINNEDQUERY, 0, 0), 1);

    bool gone = false;
    TFreeWatch watch(&gone);
    s->FreeNotification(&watch);
    registry.FreeControlSkinners();
    EXPECT_TRUE(gone) << "freed at once: nothing else holds it";
    EXPECT_TRUE(button->HasMessageHook(&later)) << "the later hook keeps its place";
    later.seen.clear();
    replaced.clear();
    EXPECT_EQ(SendMessageW(button->Handle(), WM_SKINNEDQUERY, 0, 0), 0) << "the skinner no longer answers";
    SendMessageW(button->Handle(), WM_SKINSWITCH, 1, 0);
    EXPECT_EQ(SendMessageW(button->Handle(), WM_SKINNEDQUERY, 0, 0), 0) << "nor turns itself on again";
    wchar_t text[16] = {};
    GetWindowTextW(button->Handle(), text, 16);
    EXPECT_STREQ(text, L"later") << "messages still reach the control";
    EXPECT_TRUE(later.Saw(WM_GETTEXT));
    EXPECT_TRUE(std::find(replaced.begin(), replaced.end(), static_cast<UINT>(WM_GETTEXT)) != replaced.end());
    button->WindowProc = saved;
}

TEST(SkinControl, AHookLeavingWhileAMessagePassesThroughItSkipsOnlyItself) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* button = Place<TButton>(form.get(), 0, 0, 80, 25);
    form->Show();
    TSeen below, above;
    below.control = above.control = button;
    below.Install();
    auto* s = SkinOf<TSkinButton>(manager, button, skin.get());
    above.Install();
    // While the click runs through the skinner, the skinner is freed and the hook above leaves.
    button->OnClick = [&](TObject*) {
        manager.Free(s);
        button->RemoveMessageHook(&above);
    };
    SendMessageW(button->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 4));
    SendMessageW(button->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 4));
    below.seen.clear();
    above.seen.clear();
    button->Perform(WM_USER + 1);
    EXPECT_TRUE(below.Saw(WM_USER + 1));
    EXPECT_FALSE(above.Saw(WM_USER + 1));
    EXPECT_FALSE(button->HasMessageHook(s));
    EXPECT_TRUE(button->HasMessageHook(&below));
}

namespace {

// A plain subclass of a raw window, as another library would install it after the skinner.
struct TLaterSubclass {
    static WNDPROC& Previous() {
        static WNDPROC previous = nullptr;
        return previous;
    }
    static std::vector<UINT>& Seen() {
        static std::vector<UINT> seen;
        return seen;
    }
    static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
        Seen().push_back(m);
        return CallWindowProcW(Previous(), w, m, wp, lp);
    }
    static void Install(HWND w) {
        Seen().clear();
        Previous() = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(w, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TLaterSubclass::Proc)));
    }
};

LRESULT CALLBACK CountingSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR counter) {
    ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(w, m, wp, lp);
}

}  // namespace

TEST(SkinControl, ARawWindowSubclassedLaterStillWorksAfterItsSkinnerIsFreed) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND button = parent.Child(L"BUTTON", L"later", BS_PUSHBUTTON, 11);
    TSkinManager manager;
    TSkinForm registry(nullptr);
    SkinOfWindow<TSkinButton>(manager, button, skin.get(), &registry);
    TLaterSubclass::Install(button);
    EXPECT_EQ(SendMessageW(button, WM_SKINNEDQUERY, 0, 0), 1);

    registry.FreeControlSkinners();
    EXPECT_EQ(manager.SkinnerCount(), 0u);
    EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&TLaterSubclass::Proc))
        << "the later subclass keeps its place";
    EXPECT_EQ(SendMessageW(button, WM_SKINNEDQUERY, 0, 0), 0) << "the skinner no longer answers";
    wchar_t text[16] = {};
    GetWindowTextW(button, text, 16);
    EXPECT_STREQ(text, L"later") << "messages still reach the button through the chain";
    DestroyWindow(button);
    EXPECT_EQ(TLaterSubclass::Seen().back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST(SkinControl, SubclassesLeaveARawWindowInAnyOrderAndItsOwnProcedureComesBack) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND button = parent.Child(L"BUTTON", L"order", BS_PUSHBUTTON, 14);
    const LONG_PTR original = GetWindowLongPtrW(button, GWLP_WNDPROC);
    TSkinManager manager;
    for (bool skinnerFirst : {true, false}) {
        int calls = 0;
        auto* s = SkinOfWindow<TSkinButton>(manager, button, skin.get());
        SetWindowSubclass(button, &CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&calls));
        if (skinnerFirst) {
            manager.Free(s);
            EXPECT_EQ(SendMessageW(button, WM_SKINNEDQUERY, 0, 0), 0);
            EXPECT_GT(calls, 0) << "the other subclass still runs";
            RemoveWindowSubclass(button, &CountingSubclass, 1);
        } else {
            RemoveWindowSubclass(button, &CountingSubclass, 1);
            EXPECT_EQ(SendMessageW(button, WM_SKINNEDQUERY, 0, 0), 1) << "the skinner still runs";
            manager.Free(s);
        }
        EXPECT_EQ(GetWindowLongPtrW(button, GWLP_WNDPROC), original) << (skinnerFirst ? "skinner first" : "skinner last");
    }
}

TEST(SkinControl, TakingOverAnotherRawWindowGivesTheFirstOneBack) {
    auto skin = MakeSkin();
    TParentWindow parent;
    HWND first = parent.Child(L"BUTTON", L"first", BS_PUSHBUTTON, 12);
    HWND second = parent.Child(L"BUTTON", L"second", BS_PUSHBUTTON, 13);
    const LONG_PTR original = GetWindowLongPtrW(first, GWLP_WNDPROC);
    {
        TSkinButton s;
        s.AttachWindow(first, skin.get(), nullptr, nullptr);
        s.AttachWindow(second, skin.get(), nullptr, nullptr);
        EXPECT_EQ(GetWindowLongPtrW(first, GWLP_WNDPROC), original);
        EXPECT_EQ(SendMessageW(first, WM_SKINNEDQUERY, 0, 0), 0);
        EXPECT_EQ(SendMessageW(second, WM_SKINNEDQUERY, 0, 0), 1);
    }
    EXPECT_EQ(GetWindowLongPtrW(second, GWLP_WNDPROC), original);
}

namespace {

LRESULT CALLBACK FramePaintCounter(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR counter) {
    if (m == WM_NCPAINT) ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(w, m, wp, lp);
}

}  // namespace

TEST(ButtonFamily, OnlyAButtonWithAFrameHasItsFramePainted) {
    // The control's own frame paint (a subclass made before the skinner stands for it) is
    // skipped where the window has nothing outside its client area, and kept where it has.
    auto skin = MakeSkin();
    TParentWindow parent;
    TSkinManager manager;
    for (const DWORD kind : {DWORD(BS_AUTORADIOBUTTON), DWORD(BS_PUSHBUTTON), DWORD(BS_AUTOCHECKBOX)}) {
        for (const DWORD frame : {DWORD(0), DWORD(WS_BORDER)}) {
            HWND button = parent.Child(L"BUTTON", L"frame", kind | frame, 21);
            int framePaints = 0;
            SetWindowSubclass(button, &FramePaintCounter, 1, reinterpret_cast<DWORD_PTR>(&framePaints));
            if (kind == BS_PUSHBUTTON)
                SkinOfWindow<TSkinButton>(manager, button, skin.get());
            else if (kind == BS_AUTOCHECKBOX)
                SkinOfWindow<TSkinCheckBox>(manager, button, skin.get());
            else
                SkinOfWindow<TSkinRadioButton>(manager, button, skin.get());
            RedrawWindow(button, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
            if (frame)
                EXPECT_GT(framePaints, 0) << "a bordered button keeps its border, kind " << kind;
            else
                EXPECT_EQ(framePaints, 0) << "kind " << kind;
            DestroyWindow(button);
        }
    }
}
