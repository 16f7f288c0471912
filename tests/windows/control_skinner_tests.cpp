// Skinners of the other control kinds on real windows: what they paint from the skin, the
// scroll bar overlays and the presses they hand on, the controls that are destroyed while a
// press is handed on, text through a skinned Unicode window, and GDI, stub and hook balance
// over many skinning rounds, which skinner each kind of raw window is given, and failures inside a
// skinner's message. Every skinner is owned by a skin manager of the test's own.
#include "TestSupport.h"

#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"
#include "skin/ButtonSkinners.h"
#include "skin/EditSkinners.h"
#include "skin/MediaSkinners.h"
#include "skin/PanelSkinners.h"
#include "skin/ProgressSkinners.h"
#include "skin/ScrollSkinners.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"
#include "skin/SkinnerRegistry.h"
#include "skin/TabSkinners.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <typeindex>
#include <typeinfo>
#include <vector>

using namespace qx;
using qxtest::MakeForm;
using qxtest::Place;
using qxtest::Pump;
using qxtest::PumpUntil;

namespace {

// Cell k of every strip is painted in CellColour(k).
COLORREF CellColour(int k) { return RGB(10 * k, 200 - 5 * k, 40 + 3 * k); }

std::unique_ptr<TDataSkinObject> Strip(int cells, int cellWidth, int height, int frame = -1) {
    auto o = std::make_unique<TDataSkinObject>("strip");
    std::vector<std::uint32_t> px(static_cast<std::size_t>(cells) * cellWidth * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < cells * cellWidth; ++x) {
            const COLORREF c = CellColour(x / cellWidth + 1);
            px[static_cast<std::size_t>(y) * cells * cellWidth + x] =
                (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    o->Bitmap.SetPixels32(cells * cellWidth, height, px);
    o->Frame = frame < 0 ? cells : frame;
    return o;
}

std::unique_ptr<TDataSkinObject> Solid(COLORREF c, int width, int height) {
    auto o = std::make_unique<TDataSkinObject>("solid");
    std::vector<std::uint32_t> px(static_cast<std::size_t>(width) * height,
                                  (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
    o->Bitmap.SetPixels32(width, height, px);
    o->Frame = 1;
    return o;
}

template <class T>
std::unique_ptr<T> StripAs(int cells, int cellWidth, int height) {
    auto plain = Strip(cells, cellWidth, height);
    auto o = std::make_unique<T>("strip");
    o->Bitmap.Assign(plain->Bitmap);
    o->Frame = cells;
    return o;
}

const COLORREF kFace = RGB(1, 2, 3);
const COLORREF kShadow = RGB(169, 211, 255);

std::unique_ptr<TSkinData> MakeSkin() {
    auto skin = std::make_unique<TSkinData>(nullptr);
    skin->Colours.ButtonFace = kFace;
    skin->Colours.ButtonShadow = kShadow;
    skin->Colours.ButtonText = RGB(0, 0, 0);
    skin->Progress = StripAs<TDataSkinBorder>(2, 16, 14);
    skin->Scrollbar = Strip(23, 16, 16);
    skin->VertScroll = Strip(4, 16, 16);
    skin->HorzScroll = Strip(4, 16, 16);
    skin->VertScrollThumb = Strip(3, 16, 24);
    skin->HorzScrollThumb = Strip(3, 24, 16);
    skin->StatusBarEdges = Strip(3, 16, 16);
    skin->ExtraImages = Strip(5, 16, 16);
    skin->Headerbar = Strip(5, 40, 20);
    return skin;
}

// What the skinner paints over its window, through its window DC's picture into a canvas.
struct TPainted {
    TTestCanvas canvas;
    explicit TPainted(TSkinControl& s, int w = 260, int h = 160) : canvas(w, h, RGB(255, 255, 255)) {
        s.PaintWindow(canvas.Dc());
    }
    COLORREF At(int x, int y) const { return canvas.At(x, y); }
};

template <class S>
S* SkinOf(TSkinManager& manager, TWinControl* control, TSkinData* skin, TSkinForm* form = nullptr) {
    S* s = manager.Own(std::make_unique<S>(), TSkinKey{control->Handle(), nullptr});
    s->Attach(control, form, skin, false, nullptr);
    return s;
}

// A hook that runs an action when a given message reaches the control.
struct TOnMessage : TMessageHook {
    UINT msg;
    std::function<void()> action;
    TOnMessage(UINT m, std::function<void()> a) : msg(m), action(std::move(a)) {}
    void HookMessage(TMessage& m, const TMessageNext& next) override {
        if (m.Msg == msg && action) {
            auto run = std::move(action);
            action = nullptr;
            run();
            return;
        }
        next(m);
    }
};

}  // namespace

TEST(ProgressSkinner, FillFollowsTheUpperLimitAloneAndAnUprightBarFillsFromTheBottom) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* bar = Place<TProgressBar>(form.get(), 10, 10, 150, 16);
    auto* upright = Place<TProgressBar>(form.get(), 200, 10, 16, 120);
    upright->SetOrientation(TProgressBarOrientation::pbVertical);
    form->Show();
    auto* s = SkinOf<TSkinProgress>(manager, bar, skin.get());
    auto* u = SkinOf<TSkinProgress>(manager, upright, skin.get());

    // 50..150 at 100: 100/150 of the width, the lower limit playing no part.
    bar->SetMin(50);
    bar->SetMax(150);
    bar->SetPosition(100);
    {
        TPainted p(*s);
        EXPECT_EQ(s->LastFill(), 100);
        EXPECT_EQ(p.At(60, 8), CellColour(2));
        EXPECT_EQ(p.At(110, 8), CellColour(1));
    }
    bar->SetMin(0);
    bar->SetPosition(0);
    {
        TPainted p(*s);
        EXPECT_EQ(p.At(10, 8), CellColour(1)) << "nothing filled at 0";
    }
    upright->SetPosition(25);
    {
        TPainted p(*u);
        EXPECT_EQ(p.At(8, 115), CellColour(2)) << "the lowest quarter";
        EXPECT_EQ(p.At(8, 80), CellColour(1));
    }
    // Skinned, the bar's own painting never runs: its window shows the skin.
    RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    HDC dc = GetDC(upright->Handle());
    EXPECT_EQ(GetPixel(dc, 8, 115), CellColour(2));
    ReleaseDC(upright->Handle(), dc);
}

TEST(ProgressSkinner, ChunksWithoutAWidthAndBarsTooLowForTheirPictureDrawOnlyTheTrough) {
    auto skin = MakeSkin();
    skin->Progress = StripAs<TDataSkinBorder>(1, 16, 14);
    skin->Progress->Style = 1;
    const COLORREF chunkColour = RGB(200, 10, 10);
    skin->ProgressChunk = Solid(chunkColour, 10, 12);
    TSkinManager manager;
    auto form = MakeForm();
    auto* bar = Place<TProgressBar>(form.get(), 10, 10, 150, 16);
    auto* low = Place<TProgressBar>(form.get(), 10, 40, 150, 3);
    bar->SetPosition(50);
    low->SetPosition(50);
    form->Show();
    auto* s = SkinOf<TSkinProgress>(manager, bar, skin.get());
    auto* l = SkinOf<TSkinProgress>(manager, low, skin.get());
    for (int tile : {0, 1}) {
        skin->ProgressChunk->Tile = tile;
        TPainted p(*s);
        EXPECT_EQ(p.At(30, 8), chunkColour) << "a chunk over the fill, tile " << tile;
        EXPECT_EQ(p.At(120, 8), CellColour(1)) << "only trough past the fill";
        TPainted q(*l);  // a bar lower than the picture's margins: nothing of negative height
        EXPECT_EQ(l->LastFill(), 75);
    }
    // A chunk image the skin left empty repeats nothing and divides by nothing.
    skin->ProgressChunk->Bitmap.Clear();
    skin->ProgressChunk->Tile = 1;
    TPainted p(*s);
    EXPECT_EQ(p.At(30, 8), CellColour(1));
}

TEST(StatusBarSkinner, SimpleModeWithEmptyTextDrawsOneLoweredCell) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* bar = new TStatusBar(form.get());
    bar->SetParent(form.get());
    bar->SetSimplePanel(true);
    form->Show();
    auto* s = SkinOf<TSkinStatusBar>(manager, bar, skin.get());
    TPainted p(*s, 300, 30);
    EXPECT_EQ(p.At(40, 8), CellColour(1)) << "the lowered cell of the edges";
    // Panels: a raised one and a lowered one side by side.
    bar->SetSimplePanel(false);
    bar->SetPanels({{u"", 100, TAlignment::taLeftJustify, TStatusPanelBevel::pbRaised}, {u"", 100}});
    TPainted q(*s, 300, 30);
    EXPECT_EQ(q.At(50, 8), CellColour(2));
    EXPECT_EQ(q.At(150, 8), CellColour(1));
}

TEST(ScrollSkinner, OverlaysCoverTheBarsAndFollowTheControlsVisibility) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* memo = Place<TMemo>(form.get(), 10, 10, 180, 100);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetWordWrap(false);
    std::vector<std::u16string> lines(40, u"a line long enough to need the horizontal bar as well, surely");
    memo->SetLines(lines);
    form->Show();
    auto* s = SkinOf<TSkinScrollbar>(manager, memo, skin.get());
    ASSERT_TRUE(s->VertBar() && s->HorzBar());
    // Each overlay shown exactly over its bar, in the form.
    auto expectOverTheBars = [&](const char* when) {
        for (auto [bar, id] : {std::pair{s->VertBar(), OBJID_VSCROLL}, std::pair{s->HorzBar(), OBJID_HSCROLL}}) {
            SCROLLBARINFO info{};
            info.cbSize = sizeof info;
            ASSERT_TRUE(GetScrollBarInfo(memo->Handle(), id, &info)) << when;
            RECT placed{};
            GetWindowRect(bar->Handle(), &placed);
            EXPECT_TRUE(EqualRect(&placed, &info.rcScrollBar)) << "exactly over the bar " << when;
            EXPECT_TRUE(bar->Shown()) << when;
            EXPECT_EQ(GetParent(bar->Handle()), form->Handle()) << when;
        }
    };
    expectOverTheBars("when skinned");
    // Just above the memo in the Z order.
    HWND above = GetWindow(memo->Handle(), GW_HWNDPREV);
    EXPECT_TRUE(above == s->VertBar()->Handle() || above == s->HorzBar()->Handle());
    EXPECT_TRUE(s->DrawBorder());
    // The frame is painted with the covered bars left out for the moment: after it the memo
    // has both bars again, in their places, and the skin's border is drawn over its frame.
    RECT client{};
    GetClientRect(memo->Handle(), &client);
    RedrawWindow(memo->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(GetWindowLongPtrW(memo->Handle(), GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL), WS_VSCROLL | WS_HSCROLL);
    RECT after{};
    GetClientRect(memo->Handle(), &after);
    EXPECT_TRUE(EqualRect(&client, &after));
    expectOverTheBars("after the frame's paint");
    {
        TWindowDC dc(memo->Handle(), true);
        EXPECT_EQ(GetPixel(dc.Get(), 0, 50), kShadow) << "the skin's border";
    }
    memo->Hide();
    EXPECT_FALSE(IsWindowVisible(s->VertBar()->Handle()));
    EXPECT_FALSE(IsWindowVisible(s->HorzBar()->Handle()));
    memo->Show();
    EXPECT_TRUE(IsWindowVisible(s->VertBar()->Handle()));
    EXPECT_TRUE(s->HorzBar()->Shown());
    // Scrolling by the keyboard's way (a scroll message) shows the request's zone, then none.
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(s->VertBar()->HotZone(), szSecondArrow);
    SendMessageW(memo->Handle(), WM_VSCROLL, SB_ENDSCROLL, 0);
    EXPECT_EQ(s->VertBar()->HotZone(), 8);
    manager.Free(s);
    EXPECT_EQ(manager.SkinnerCount(), 0u);
}

TEST(ScrollSkinner, APressOnTheDownArrowIsHandedToTheControlAndShowsThePressedCell) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* memo = Place<TMemo>(form.get(), 10, 10, 180, 100);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    memo->SetLines(std::vector<std::u16string>(40, u"line"));
    form->Show();
    auto* s = SkinOf<TSkinScrollbar>(manager, memo, skin.get());
    TScrollOverlay* bar = s->VertBar();
    RECT r{};
    GetClientRect(bar->Handle(), &r);
    // What reaches the memo, and what the overlay showed while the press was handed on.
    WPARAM hit = 0;
    int cellDuringPress = 0;
    TOnMessage seen(WM_NCLBUTTONDOWN, [&] {
        hit = HTVSCROLL;
        UpdateWindow(bar->Handle());
        cellDuringPress = bar->LastSecondArrowCell();
    });
    memo->AddMessageHook(&seen);
    SendMessageW(bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom - 4));
    EXPECT_EQ(hit, static_cast<WPARAM>(HTVSCROLL));
    EXPECT_EQ(cellDuringPress, 14) << "the pressed down arrow";
    UpdateWindow(bar->Handle());
    InvalidateRect(bar->Handle(), nullptr, FALSE);
    UpdateWindow(bar->Handle());
    EXPECT_NE(bar->LastSecondArrowCell(), 14) << "released when the press is over";
    memo->RemoveMessageHook(&seen);
}

TEST(ScrollSkinner, AControlDestroyedInsideTheHandedOnPressTakesNothingDownWithIt) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* memo = Place<TMemo>(form.get(), 10, 10, 180, 100);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    memo->SetLines(std::vector<std::u16string>(40, u"line"));
    form->Show();
    const long stubs = LiveWndStubs();
    TSkinForm registry(nullptr);
    auto* s = SkinOf<TSkinScrollbar>(manager, memo, skin.get(), &registry);
    TScrollOverlay* bar = s->VertBar();
    const HWND overlay = bar->Handle();
    RECT r{};
    GetClientRect(overlay, &r);
    // The memo's window goes from inside its own handling of the press; its skinner goes with it.
    TOnMessage destroy(WM_NCLBUTTONDOWN, [&] { DestroyWindow(memo->Handle()); });
    memo->AddMessageHook(&destroy);
    SendMessageW(overlay, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, r.bottom - 4));
    EXPECT_EQ(manager.SkinnerCount(), 0u);
    EXPECT_FALSE(IsWindowVisible(overlay)) << "hidden at once";
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(overlay); })) << "freed once its press was over";
    EXPECT_TRUE(registry.Controls().empty());
    memo->RemoveMessageHook(&destroy);
    memo->HandleNeeded();
    EXPECT_EQ(LiveWndStubs(), stubs + 0) << "no overlay's stub is left";
}

TEST(ScrollSkinner, AScrollBarControlWithAnEmptyRangeKeepsItsThumbOffTheArrows) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* scroll = Place<TScrollBar>(form.get(), 10, 10, 200, 16);
    scroll->SetMax(0);
    form->Show();
    auto* s = manager.Own(std::make_unique<TSkinScControl>(), TSkinKey{scroll->Handle(), nullptr});
    s->Attach(scroll, nullptr, skin.get(), false, nullptr);
    ASSERT_TRUE(s->Bar());
    RECT placed{}, own{};
    GetWindowRect(s->Bar()->Handle(), &placed);
    GetWindowRect(scroll->Handle(), &own);
    EXPECT_TRUE(EqualRect(&placed, &own));
    InvalidateRect(s->Bar()->Handle(), nullptr, FALSE);
    UpdateWindow(s->Bar()->Handle());
    const int arrow = GetSystemMetrics(SM_CXHSCROLL);
    EXPECT_GE(s->Bar()->LastThumb().Start, arrow);
    EXPECT_LE(s->Bar()->LastThumb().End, 200 - arrow);
    // Moving the position through the control moves the drawn thumb.
    scroll->SetMax(100);
    scroll->SetPageSize(10);
    scroll->SetPosition(45);
    UpdateWindow(s->Bar()->Handle());
    EXPECT_GT(s->Bar()->LastThumb().Start, arrow + 40);
    // A press on the overlay's right arrow reaches the control, which steps its position (the
    // release is waiting already, or the control's tracking would wait for a real one).
    PostMessageW(scroll->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200 - 4, 8));
    SendMessageW(s->Bar()->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200 - 4, 8));
    EXPECT_EQ(scroll->Position(), 46);
}

TEST(EditSkinner, TextOfAUnicodeWindowPassesThroughTheSkinnerUnchanged) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    form->Show();
    HWND edit = CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 150, 22, form->Handle(),
                                nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindowUnicode(edit));
    auto* s = manager.Own(std::make_unique<TSkinEdit>(), TSkinKey{edit, nullptr});
    s->AttachWindow(edit, skin.get(), nullptr, nullptr);
    const wchar_t* turkish = L"Kuruluma Ba\u015Fla \u011F\u0131\u00FC";
    SetWindowTextW(edit, turkish);
    wchar_t back[64] = {};
    SendMessageW(edit, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(back));
    EXPECT_STREQ(back, turkish);
    EXPECT_EQ(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0), static_cast<LRESULT>(wcslen(turkish)));
    // Its border in the skin's shadow colour, and none for an edit without a border.
    TPainted p(*s);
    EXPECT_EQ(p.At(0, 10), kShadow);
    EXPECT_TRUE(s->LastBorder());
    HWND flat = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 40, 150, 22, form->Handle(), nullptr,
                                nullptr, nullptr);
    auto* f = manager.Own(std::make_unique<TSkinEdit>(), TSkinKey{flat, nullptr});
    f->AttachWindow(flat, skin.get(), nullptr, nullptr);
    TPainted q(*f);
    EXPECT_FALSE(f->LastBorder());
    EXPECT_NE(q.At(0, 10), kShadow);
    DestroyWindow(edit);
    DestroyWindow(flat);
    EXPECT_EQ(manager.SkinnerCount(), 0u);
}

TEST(ComboSkinner, TheDropDownListIsKnownByThePlatformsDesktopAndTheButtonShowsItsState) {
    auto skin = MakeSkin();
    skin->ComboButton = StripAs<TDataSkinBorder>(4, 18, 21);
    TSkinManager manager;
    auto form = MakeForm();
    auto* combo = Place<TComboBox>(form.get(), 10, 10, 150, 22);
    combo->SetStyle(TComboBoxStyle::csDropDownList);
    combo->SetItems({u"Drivano", u"Stok"});
    form->Show();
    auto* s = SkinOf<TSkinComBox>(manager, combo, skin.get());
    EXPECT_FALSE(s->IsDropDownList());
    { TPainted p(*s); }
    EXPECT_EQ(s->LastButtonFrame(), 1);
    SendMessageW(combo->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(140, 8));
    EXPECT_EQ(s->LastButtonFrame(), 2) << "hot";
    combo->SetEnabled(false);
    { TPainted p(*s); }
    EXPECT_EQ(s->LastButtonFrame(), 4) << "disabled";
    // The list that drops down belongs to the desktop (or is a pop-up): skinned as the list.
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo->Handle(), &info));
    auto* list = manager.Own(std::make_unique<TSkinComBox>(), TSkinKey{info.hwndList, nullptr});
    list->AttachWindow(info.hwndList, skin.get(), nullptr, nullptr);
    EXPECT_TRUE(list->IsDropDownList());
}

TEST(MediaPlayerSkinner, FourOfNineButtonsShareTheWidthAndAPressClicksTheButtonUnderIt) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* player = Place<TMediaPlayer>(form.get(), 10, 10, 240, 30);
    player->SetVisibleButtons(1u << btPlay | 1u << btPause | 1u << btStop | 1u << btEject);
    player->SetEnabledButtons(1u << btPlay | 1u << btStop | 1u << btEject);
    std::vector<TMPBtnType> clicked;
    player->OnClick = [&](TMediaPlayer*, TMPBtnType b) { clicked.push_back(b); };
    form->Show();
    auto* s = SkinOf<TSkinMP>(manager, player, skin.get());
    TMediaPlayerOverlay* panel = s->Overlay();
    ASSERT_TRUE(panel);
    RECT a{}, b{};
    GetWindowRect(panel->Handle(), &a);
    GetWindowRect(player->Handle(), &b);
    EXPECT_TRUE(EqualRect(&a, &b)) << "the panel covers the player";
    EXPECT_EQ(panel->Tag(), skin->DisableTag()) << "never skinned itself";
    // Cells of 60 pixels: the third is stop.
    SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 10));
    EXPECT_EQ(panel->PressedButton(), btStop);
    SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(170, 10));
    EXPECT_EQ(clicked, std::vector<TMPBtnType>{btStop});
    // A release over another button clicks nothing; a disabled button takes no press.
    SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(200, 10));
    SendMessageW(panel->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(90, 10));
    EXPECT_EQ(panel->PressedButton(), -1);
    SendMessageW(panel->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(90, 10));
    EXPECT_EQ(clicked.size(), 1u);
    UpdateWindow(panel->Handle());
    InvalidateRect(panel->Handle(), nullptr, FALSE);
    UpdateWindow(panel->Handle());
    EXPECT_EQ(panel->LastGlyph(btPause), 'D');
    EXPECT_EQ(panel->LastGlyph(btPlay), 'C');
    EXPECT_EQ(panel->LastGlyph(btNext), 0);
    // The disabled pause glyph is the program's own picture: its bars in the disabled ink.
    HDC dc = GetDC(panel->Handle());
    EXPECT_EQ(GetPixel(dc, 60 + (60 - 16) / 2 + 5, (30 - 16) / 2 + 8), RGB(176, 176, 176));
    ReleaseDC(panel->Handle(), dc);
    // Moving the player moves the panel; hiding it hides the panel.
    player->SetLeft(30);
    GetWindowRect(panel->Handle(), &a);
    GetWindowRect(player->Handle(), &b);
    EXPECT_TRUE(EqualRect(&a, &b));
    player->Hide();
    EXPECT_FALSE(IsWindowVisible(panel->Handle()));
    player->Show();
    EXPECT_TRUE(IsWindowVisible(panel->Handle()));
    // Skinned while its form is not shown (or draws nothing yet), a player has its panel once
    // the form shows.
    auto hidden = MakeForm();
    auto* later = Place<TMediaPlayer>(hidden.get(), 10, 10, 240, 30);
    auto* t = SkinOf<TSkinMP>(manager, later, skin.get());
    ASSERT_TRUE(t->Overlay());
    hidden->Show();
    EXPECT_TRUE(IsWindowVisible(t->Overlay()->Handle()));
}

TEST(HeaderAndTabSkinners, ItemsTakeTheirFramesByState) {
    auto skin = MakeSkin();
    skin->Tabs = StripAs<TDataSkinBorder>(5, 40, 22);
    TSkinManager manager;
    auto form = MakeForm();
    auto* header = Place<THeaderControl>(form.get(), 10, 10, 240, 20);
    header->SetSectionRows({u"Name|100", u"Size|80"});
    auto* tabs = Place<TTabControl>(form.get(), 10, 40, 240, 90);
    tabs->SetTabs({u"One", u"Two", u"Three"});
    tabs->SetTabIndex(1);
    form->Show();
    auto* h = SkinOf<TSkinHeader>(manager, header, skin.get());
    { TPainted p(*h); }
    EXPECT_EQ(h->LastItemFrames(), (std::vector<int>{1, 1}));
    SendMessageW(header->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(130, 10));
    EXPECT_EQ(h->HotItem(), 1);
    { TPainted p(*h); }
    EXPECT_EQ(h->LastItemFrames(), (std::vector<int>{1, 2}));
    auto* t = SkinOf<TSkinTab>(manager, tabs, skin.get());
    { TPainted p(*t, 260, 100); }
    ASSERT_EQ(t->LastTabFrames().size(), 3u);
    EXPECT_EQ(t->LastTabFrames()[1], GetFocus() == tabs->Handle() ? 5 : 2) << "the selected tab";
    EXPECT_EQ(t->LastTabFrames()[0], 1);
}

TEST(ControlSkinners, ManyRoundsOfSkinningEveryKindLeaveNoGdiObjectStubOrHook) {
    auto skin = MakeSkin();
    skin->Tabs = StripAs<TDataSkinBorder>(5, 40, 22);
    skin->ComboButton = StripAs<TDataSkinBorder>(4, 18, 21);
    skin->UpDownVert = StripAs<TDataSkinBorder>(8, 16, 10);
    skin->TrackbarThumbHorz = Strip(5, 11, 20);
    skin->Track = Strip(1, 16, 4);
    TSkinManager manager;
    auto form = MakeForm();
    form->SetClientWidth(600);
    form->SetClientHeight(400);
    std::vector<std::pair<TSkinnerKind, TControl*>> controls;
    auto add = [&](TSkinnerKind kind, TControl* c) { controls.emplace_back(kind, c); };
    auto* bar = Place<TProgressBar>(form.get(), 0, 0, 100, 16);
    bar->SetPosition(40);
    add(TSkinnerKind::Progress, bar);
    add(TSkinnerKind::GroupBox, Place<TGroupBox>(form.get(), 0, 20, 100, 60));
    auto* memo = Place<TMemo>(form.get(), 110, 0, 120, 80);
    memo->SetScrollBars(TScrollStyle::ssBoth);
    memo->SetLines(std::vector<std::u16string>(30, u"a memo line"));
    add(TSkinnerKind::Scrollbar, memo);
    auto* list = Place<TListView>(form.get(), 240, 0, 150, 80);
    list->SetColumnRows({u"A|100", u"B|100"});
    list->SetItemRows(std::vector<std::u16string>(20, u"x|y"));
    add(TSkinnerKind::ListView, list);
    add(TSkinnerKind::ScControl, Place<TScrollBar>(form.get(), 400, 0, 150, 16));
    add(TSkinnerKind::Edit, Place<TEdit>(form.get(), 0, 90, 100, 22));
    auto* combo = Place<TComboBox>(form.get(), 110, 90, 120, 22);
    add(TSkinnerKind::ComBox, combo);
    add(TSkinnerKind::UpDown, Place<TUpDown>(form.get(), 240, 90, 17, 22));
    add(TSkinnerKind::TrackBar, Place<TTrackBar>(form.get(), 270, 90, 150, 30));
    auto* tabs = Place<TTabControl>(form.get(), 0, 130, 200, 80);
    tabs->SetTabs({u"One", u"Two"});
    add(TSkinnerKind::Tab, tabs);
    auto* set = Place<TTabSet>(form.get(), 210, 130, 150, 22);
    set->SetTabs({u"A", u"B"});
    add(TSkinnerKind::Tab31, set);
    auto* header = Place<THeaderControl>(form.get(), 370, 130, 150, 20);
    header->SetSectionRows({u"A|50"});
    add(TSkinnerKind::Header, header);
    auto* status = new TStatusBar(form.get());
    status->SetParent(form.get());
    add(TSkinnerKind::StatusBar, status);
    add(TSkinnerKind::MediaPlayer, Place<TMediaPlayer>(form.get(), 0, 220, 250, 30));
    add(TSkinnerKind::GlyphCheck, Place<TGlyphCheckBox>(form.get(), 260, 220, 100, 20));
    auto* pages = Place<TPageControlEx>(form.get(), 370, 220, 200, 80);
    auto* sheet = new TTabSheet(form.get());
    sheet->SetCaption(u"Page");
    sheet->SetParent(pages);
    add(TSkinnerKind::PageEx, pages);
    add(TSkinnerKind::TabSheet, sheet);
    auto* box = Place<TScrollBox>(form.get(), 0, 260, 150, 80);
    Place<TPanel>(box, 0, 0, 300, 200);
    box->UpdateScrollRange();
    add(TSkinnerKind::Scrollbar, box);
    form->Show();

    auto hooks = [&] {
        std::size_t n = 0;
        for (auto& [kind, c] : controls) n += c->MessageHookCount();
        return n;
    };
    long gdi = GdiLiveObjects();
    const long stubs = LiveWndStubs();
    for (int r = 0; r < 12; ++r) {
        std::vector<TSkinControl*> made;
        for (auto& [kind, c] : controls) {
            TSkinControl* s = nullptr;
            auto* w = dynamic_cast<TWinControl*>(c);
            switch (kind) {
                case TSkinnerKind::Progress: s = manager.Own(std::make_unique<TSkinProgress>(), {w->Handle()}); break;
                case TSkinnerKind::GroupBox: s = manager.Own(std::make_unique<TSkinGroupBox>(), {w->Handle()}); break;
                case TSkinnerKind::Scrollbar: s = manager.Own(std::make_unique<TSkinScrollbar>(), {w->Handle()}); break;
                case TSkinnerKind::ListView: s = manager.Own(std::make_unique<TSkinListView>(), {w->Handle()}); break;
                case TSkinnerKind::ScControl: s = manager.Own(std::make_unique<TSkinScControl>(), {w->Handle()}); break;
                case TSkinnerKind::Edit: s = manager.Own(std::make_unique<TSkinEdit>(), {w->Handle()}); break;
                case TSkinnerKind::ComBox: s = manager.Own(std::make_unique<TSkinComBox>(), {w->Handle()}); break;
                case TSkinnerKind::UpDown: s = manager.Own(std::make_unique<TSkinUpDown>(), {w->Handle()}); break;
                case TSkinnerKind::TrackBar: s = manager.Own(std::make_unique<TSkinTrackBar>(), {w->Handle()}); break;
                case TSkinnerKind::Tab: s = manager.Own(std::make_unique<TSkinTab>(), {w->Handle()}); break;
                case TSkinnerKind::Tab31: s = manager.Own(std::make_unique<TSkinTab31>(), {w->Handle()}); break;
                case TSkinnerKind::Header: s = manager.Own(std::make_unique<TSkinHeader>(), {w->Handle()}); break;
                case TSkinnerKind::StatusBar: s = manager.Own(std::make_unique<TSkinStatusBar>(), {w->Handle()}); break;
                case TSkinnerKind::MediaPlayer: s = manager.Own(std::make_unique<TSkinMP>(), {w->Handle()}); break;
                case TSkinnerKind::GlyphCheck: s = manager.Own(std::make_unique<TSkinObjImage>(gkCheck), {w->Handle()}); break;
                case TSkinnerKind::PageEx: s = manager.Own(std::make_unique<TSkinPageEx>(), {w->Handle()}); break;
                case TSkinnerKind::TabSheet: s = manager.Own(std::make_unique<TSkinTabSheet>(), {w->Handle()}); break;
                default: break;
            }
            ASSERT_TRUE(s);
            s->Attach(c, nullptr, skin.get(), kind == TSkinnerKind::GroupBox, nullptr);
            made.push_back(s);
        }
        RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Pump(20);
        EXPECT_GT(hooks(), 0u);
        for (TSkinControl* s : made) {
            s->Detach();
            manager.Free(s);
        }
        Pump(20);
        if (r == 1) {
            // Caches made by the first rounds (fonts, the status bar's composition bitmap)
            // stay; from here on every round must end where the last one did.
            gdi = GdiLiveObjects();
        }
        if (r > 1) {
            EXPECT_EQ(GdiLiveObjects(), gdi) << "round " << r;
        }
        EXPECT_EQ(LiveWndStubs(), stubs) << "round " << r;
        EXPECT_EQ(hooks(), 0u) << "round " << r;
        EXPECT_EQ(manager.SkinnerCount(), 0u);
    }
}

TEST(ScrollSkinner, AMemoMadeAnewOnAChangedStyleIsSkinnedAgainByItsForm) {
    auto skin = MakeSkin();
    skin->SetSkinControls(skin->SkinControls() & ~SkinControlBit(xcMainMenu));  // the frame stays the system's
    TSkinManager manager;
    auto form = MakeForm();
    auto* memo = Place<TMemo>(form.get(), 10, 10, 180, 100);
    memo->SetScrollBars(TScrollStyle::ssVertical);
    memo->SetLines(std::vector<std::u16string>(40, u"line"));
    form->Show();
    auto* skinForm = manager.Own(std::make_unique<TSkinForm>(form->Handle()), TSkinKey{form->Handle(), nullptr});
    skinForm->AttachForm(skin.get(), form.get());
    skinForm->ChildDispatch().DispatchControl(memo, nullptr);
    ASSERT_EQ(SendMessageW(memo->Handle(), WM_SKINNEDQUERY, 0, 0), 1);
    const HWND old = memo->Handle();
    memo->SetScrollBars(TScrollStyle::ssBoth);
    ASSERT_NE(memo->Handle(), old);
    EXPECT_TRUE(PumpUntil([&] { return SendMessageW(memo->Handle(), WM_SKINNEDQUERY, 0, 0) == 1; }))
        << "the new window has a skinner again";
    auto* s = dynamic_cast<TSkinScrollbar*>(manager.Find(memo->Handle()));
    ASSERT_TRUE(s);
    EXPECT_TRUE(s->HorzBar()->Shown() && s->VertBar()->Shown());
    manager.Free(skinForm);
    EXPECT_TRUE(PumpUntil([&] { return manager.SkinnerCount() == 0; }));
}

TEST(GroupBoxSkinner, CopyingWhatLiesBehindLeavesTheFormsOwnPaintToCome) {
    auto skin = MakeSkin();
    TSkinManager manager;
    auto form = MakeForm();
    auto* box = Place<TGroupBox>(form.get(), 10, 10, 120, 80);
    box->SetCaption(u"Group");
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetBounds(150, 20, 60, 20);
    form->Show();
    auto* s = manager.Own(std::make_unique<TSkinGroupBox>(), TSkinKey{box->Handle(), nullptr});
    s->Attach(box, nullptr, skin.get(), true, nullptr);
    UpdateWindow(form->Handle());
    // The form still has a part to paint (a windowless label) when the group box paints first
    // and copies the form behind itself.
    RECT labelRect = label->BoundsRect();
    InvalidateRect(form->Handle(), &labelRect, TRUE);
    RedrawWindow(box->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    RECT pending{};
    EXPECT_TRUE(GetUpdateRect(form->Handle(), &pending, FALSE)) << "the label's part is still to be painted";
    EXPECT_TRUE(IntersectRect(&pending, &pending, &labelRect));
}

TEST(ControlSkinners, PicturesFarLargerThanTheirControlsAreCutToWhatTheControlsCanShow) {
    auto skin = MakeSkin();
    // Four check cells of 600 x 600 whose middle rows alone carry each cell's colour.
    const int side = 600;
    std::vector<std::uint32_t> px(static_cast<std::size_t>(4) * side * side, 0x00FF0000);
    for (int y = side / 2 - 30; y < side / 2 + 30; ++y)
        for (int x = 0; x < 4 * side; ++x) {
            const COLORREF c = CellColour(x / side + 1);
            px[static_cast<std::size_t>(y) * 4 * side + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    skin->Buttons.CheckBitmap.SetPixels32(4 * side, side, px);
    skin->Buttons.CheckButtonFrame = 4;
    // A chunk far taller than its bar whose middle rows alone carry the chunk's colour.
    const COLORREF chunkColour = RGB(200, 10, 10);
    skin->Progress->Style = 1;
    skin->ProgressChunk = Solid(RGB(0, 0, 255), 10, 3000);
    for (int y = 1490; y < 1510; ++y)
        for (int x = 0; x < 10; ++x) SetPixel(skin->ProgressChunk->Bitmap.Canvas().Handle(), x, y, chunkColour);
    skin->ProgressChunk->Tile = 1;
    skin->Tabs = StripAs<TDataSkinBorder>(5, 40, 22);
    TSkinManager manager;
    auto form = MakeForm();
    auto* check = Place<TGlyphCheckBox>(form.get(), 10, 10, 100, 20);
    auto* bar = Place<TProgressBar>(form.get(), 10, 40, 150, 16);
    bar->SetPosition(50);
    auto* set = Place<TTabSet>(form.get(), 10, 70, 200, 24);
    set->SetTabs({u"A", u"B"});
    form->Show();

    SkinOf<TSkinObjImage>(manager, check, skin.get());
    ASSERT_TRUE(check->UseCustomGlyphs());
    EXPECT_LE(check->CustomGlyphs()->Width(), 4 * 100) << "no more of a cell than the control is wide";
    EXPECT_LE(check->CustomGlyphs()->Height(), 20) << "nor high";
    RedrawWindow(check->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    HDC dc = GetDC(check->Handle());
    EXPECT_EQ(GetPixel(dc, 5, 10), CellColour(1)) << "the middle of the unchecked cell, as the whole cell shows it";
    ReleaseDC(check->Handle(), dc);
    check->SetBounds(10, 10, 100, 40);
    Pump(50);
    EXPECT_EQ(check->CustomGlyphs()->Height(), 40) << "a control grown taller shows more of the cells";

    auto* progress = SkinOf<TSkinProgress>(manager, bar, skin.get());
    TPainted p(*progress);
    EXPECT_EQ(p.At(30, 8), chunkColour) << "the chunk's middle rows at the bar's middle";

    // The old-style tab set hangs the tab picture upside down; without a picture it is its own.
    for (int y = 11; y < 22; ++y)
        for (int x = 0; x < 200; ++x) SetPixel(skin->Tabs->Bitmap.Canvas().Handle(), x, y, RGB(0, 128, 0));
    auto* t = SkinOf<TSkinTab31>(manager, set, skin.get());
    {
        TPainted q(*t, 200, 24);
        const RECT r = set->TabRect(0);
        EXPECT_EQ(q.At((r.left + r.right) / 2, r.top + 3), RGB(0, 128, 0)) << "the picture's bottom rows on top";
    }
    skin->Tabs->Bitmap.Clear();
    t->SkinChanged();
    const COLORREF marker = RGB(255, 0, 255);
    dc = GetDC(set->Handle());
    RECT all{0, 0, 200, 24};
    FillSolidRect(dc, all, marker);
    ReleaseDC(set->Handle(), dc);
    RedrawWindow(set->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    dc = GetDC(set->Handle());
    EXPECT_NE(GetPixel(dc, 100, 12), marker) << "the tab set painted itself";
    ReleaseDC(set->Handle(), dc);
}

TEST(PageExSkinner, TheTabPicturesComeFromTheSkinsTabsAndGoWithTheSkinner) {
    auto skin = MakeSkin();
    skin->Tabs = StripAs<TDataSkinBorder>(5, 40, 22);
    TSkinManager manager;
    auto form = MakeForm();
    auto* pages = Place<TPageControlEx>(form.get(), 10, 10, 200, 100);
    form->Show();
    auto* s = SkinOf<TSkinPageEx>(manager, pages, skin.get());
    TBitmap& other = *pages->TabBackGround();
    TBitmap& selected = *pages->TabBackGroundActive();
    ASSERT_FALSE(other.Empty());
    ASSERT_FALSE(selected.Empty());
    EXPECT_EQ(other.Canvas().Pixel(50, 10), CellColour(1)) << "the normal tab's picture";
    EXPECT_EQ(selected.Canvas().Pixel(50, 10), CellColour(2)) << "the selected tab's picture";
    s->Detach();
    EXPECT_TRUE(pages->TabBackGround()->Empty()) << "the control's own plain tabs come back";
    EXPECT_TRUE(pages->TabBackGroundActive()->Empty());
    manager.Free(s);
}

namespace {

// A form with a form skinner of its own, which dispatches raw child windows of every class.
struct TDispatchBench {
    std::unique_ptr<TSkinData> skin = MakeSkin();
    TSkinManager manager;
    std::unique_ptr<TForm> form = MakeForm();
    TSkinForm* skinForm = nullptr;
    TDispatchBench() {
        skin->SetSkinControls(skin->SkinControls() & ~SkinControlBit(xcMainMenu));
        form->Show();
        skinForm = manager.Own(std::make_unique<TSkinForm>(form->Handle()), TSkinKey{form->Handle(), nullptr});
        skinForm->AttachForm(skin.get(), form.get());
    }
    ~TDispatchBench() { manager.Free(skinForm); }
    // The skinner the form chose for a new child window of the class and style, by its type.
    std::type_index Dispatched(const wchar_t* cls, DWORD style) {
        HWND w = CreateWindowExW(0, cls, L"Kur", WS_CHILD | WS_VISIBLE | style, 10, 10, 120, 60, form->Handle(),
                                 nullptr, nullptr, nullptr);
        if (!w) return typeid(void*);
        skinForm->ChildDispatch().DispatchWindow(w);
        TSkinner* s = manager.Find(w);
        const std::type_index chosen = s ? std::type_index(typeid(*s)) : std::type_index(typeid(void));
        DestroyWindow(w);
        return chosen;
    }
};

const std::type_index kNone = typeid(void);

}  // namespace

TEST(WindowDispatch, ButtonsAreSkinnedByTheTypeFieldOfTheirStyle) {
    TDispatchBench bench;
    struct TRow {
        const char* what;
        DWORD style;
        std::type_index skinner;
    };
    const TRow rows[] = {
        {"push button", BS_PUSHBUTTON, typeid(TSkinButton)},
        {"default push button", BS_DEFPUSHBUTTON, typeid(TSkinButton)},
        {"push box", BS_PUSHBOX, typeid(TSkinButton)},
        {"user button", BS_USERBUTTON, typeid(TSkinButton)},
        {"check box", BS_CHECKBOX, typeid(TSkinCheckBox)},
        {"automatic check box, text left", BS_AUTOCHECKBOX | BS_LEFTTEXT, typeid(TSkinCheckBox)},
        {"three-state box", BS_3STATE, typeid(TSkinCheckBox)},
        {"automatic three-state box, push-like", BS_AUTO3STATE | BS_PUSHLIKE, typeid(TSkinCheckBox)},
        {"radio button", BS_RADIOBUTTON, typeid(TSkinRadioButton)},
        {"automatic radio button, text left", BS_AUTORADIOBUTTON | BS_LEFTTEXT, typeid(TSkinRadioButton)},
        {"split button", BS_SPLITBUTTON, kNone},
        {"default split button", BS_DEFSPLITBUTTON, kNone},
        {"command link", BS_COMMANDLINK, kNone},
        {"default command link", BS_DEFCOMMANDLINK, kNone},
        {"owner-drawn button", BS_OWNERDRAW, kNone},
        {"group box", BS_GROUPBOX, kNone},
        {"picture button", BS_PUSHBUTTON | BS_BITMAP, kNone},
    };
    for (const TRow& row : rows) EXPECT_EQ(bench.Dispatched(WC_BUTTONW, row.style), row.skinner) << row.what;
    EXPECT_EQ(bench.manager.SkinnerCount(), 1u) << "only the form's own skinner is left";
}

TEST(WindowDispatch, EachPlatformClassGetsItsSkinnerOrNone) {
    TDispatchBench bench;
    struct TRow {
        const wchar_t* cls;
        DWORD style;
        std::type_index skinner;
    };
    const TRow rows[] = {
        {WC_COMBOBOXW, CBS_DROPDOWNLIST, typeid(TSkinComBox)},
        {WC_COMBOBOXW, CBS_DROPDOWN, typeid(TSkinComBox)},
        {WC_COMBOBOXW, CBS_SIMPLE, kNone},
        {WC_COMBOBOXEXW, CBS_DROPDOWNLIST, typeid(TSkinComBox)},
        {WC_SCROLLBARW, SBS_SIZEGRIP, typeid(TSkinSizer)},
        {WC_SCROLLBARW, SBS_VERT | WS_TABSTOP, kNone},
        {WC_TREEVIEWW, 0, kNone},
        {WC_DIALOG, 0, typeid(TSkinBoxH)},
        {WC_DIALOG, WS_TABSTOP, kNone},
        {WC_TABCONTROLW, 0, typeid(TSkinTab)},
        {WC_TABCONTROLW, TCS_OWNERDRAWFIXED, kNone},
        {TOOLBARCLASSNAMEW, 0, kNone},
        {WC_EDITW, 0, typeid(TSkinEdit)},
        {WC_LISTBOXW, 0, kNone},
    };
    for (const TRow& row : rows) {
        const std::wstring name = IS_INTRESOURCE(row.cls) ? L"#32770" : row.cls;
        EXPECT_EQ(bench.Dispatched(row.cls, row.style), row.skinner)
            << std::string(name.begin(), name.end()) << " style " << std::hex << row.style;
    }
}

TEST(SkinnerMessages, AFailureInsideASkinnersMessageIsReportedAndGoesNoFurther) {
    auto form = MakeForm();
    form->Show();
    HWND w = CreateWindowExW(0, WC_STATICW, L"", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, form->Handle(), nullptr, nullptr,
                             nullptr);
    struct TThrowing {
        TWindowSubclass subclass;
        static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                     DWORD_PTR refData) {
            auto* self = reinterpret_cast<TThrowing*>(refData);
            return self->subclass.Run(window, message, wParam, lParam, [](TMessage& m) {
                if (m.Msg == WM_APP + 7) throw std::runtime_error("kaputt");
                m.Result = 0;
            });
        }
    } throwing;
    ASSERT_TRUE(throwing.subclass.Install(w, &TThrowing::Proc, &throwing));
    std::vector<std::u16string> errors;
    auto saved = Application->OnException;
    Application->OnException = [&](const std::u16string& text) { errors.push_back(text); };
    EXPECT_EQ(SendMessageW(w, WM_APP + 7, 0, 0), 0);
    Application->OnException = saved;
    EXPECT_EQ(errors, std::vector<std::u16string>{u"kaputt"});
    throwing.subclass.Remove();
    DestroyWindow(w);
}
