// Skinned menus on real windows under a skin manager of the test's own: which popups take the
// skin and that they let go at stop, a popup printed into a bitmap (band and items where they
// belong), drop-down items that draw themselves again after tracking and after a stop inside
// it, items measured and drawn at twice the scale, the MDI redraw message going only to a
// living MDI client, and a soak of popups and MDI children that leaves no GDI object, skinner,
// stub or window procedure behind.
#include "SkinTestSupport.h"
#include "TestSupport.h"

#include "framework/Forms.h"
#include "framework/Gdi.h"
#include "framework/Menus.h"
#include "framework/WndStub.h"
#include "skin/MenuBar.h"
#include "skin/MenuItemPainter.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"
#include "skin/SkinPopupMenu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>

using namespace qx;
using qxtest::Bmp24;
using qxtest::PumpUntil;
using qxtest::SkinRecord;
using qxtest::Solid24;
using qxtest::TInsideLoop;

namespace {

constexpr std::uint32_t kBack = 0x306090;      // the menu background (0xRRGGBB)
constexpr std::uint32_t kSelected = 0x20C040;  // the MenuItem element's selected picture
constexpr std::uint32_t kItemInk = 0xC02020;   // what the test's own items paint
COLORREF Ref(std::uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// A small skin with a frame (and the close button a skinned caption needs), a menu bar, a menu
// background and a MenuItem element.
std::unique_ptr<TSkinData> MenuSkin() {
    const std::string ini =
        "[Personality]\nLeft=side.bmp\nLeftFrame=1\nRight=side.bmp\nRightFrame=1\nTop=top.bmp\nTopFrame=1\n"
        "Bottom=bottom.bmp\nBottomFrame=1\nmenuBar=bar.bmp\n"
        "[MenuBackground]\nImage=back.bmp\n"
        "[MenuItem]\nImage=item.bmp\nTrans=1\nLeftWidth=2\nRightWidth=2\n"
        "[Button0]\nButtonImage=close.bmp\nframe=3\nAction=0\nAlign=1\nXcoord=20\nYcoord=4\n";
    auto item = Bmp24(20, 100, [](int x, int y) -> std::uint32_t {
        const int cell = y / 20;
        if (cell == 3) return kSelected;
        if (cell == 4 && y % 20 == 10) return 0x000080;
        return 0xFF00FF;
    });
    auto skin = std::make_unique<TSkinData>(nullptr);
    skin->ReadSkinStream(SkinRecord(ini, {{"side.bmp", Solid24(4, 40, 0x204060)},
                                          {"top.bmp", Solid24(40, 24, 0x2050A0)},
                                          {"bottom.bmp", Solid24(40, 4, 0x204060)},
                                          {"bar.bmp", Solid24(20, 40, 0xE0E8F0)},
                                          {"back.bmp", Solid24(20, 20, kBack)},
                                          {"item.bmp", item},
                                          {"close.bmp", Solid24(48, 16, 0xC04040)}}));
    return skin;
}

// A skin manager of the test's own with the skin registered and skinning on.
struct TSkinning {
    TSkinManager manager;
    std::unique_ptr<TSkinData> skin = MenuSkin();
    TSkinning() {
        manager.AddSkinData(skin.get());
        manager.SetSkinningOn(true);
        manager.SetState(msRunning);
        manager.InstallHooks();
    }
    ~TSkinning() { manager.RemoveSkinData(skin.get()); }
    void Stop() {
        manager.SetCurrentSkinData(skin.get());
        manager.QueueCommand(scStop, 0);
        manager.ExecuteCommand();
    }
};

// A framework popup menu whose one item paints itself in kItemInk.
struct TInkPopup {
    TPopupMenu menu{nullptr};
    TInkPopup() {
        auto* item = new TMenuItem(&menu);
        item->SetCaption(u"Item");
        item->OnMeasureItem = [](TMenuItem*, HDC, int& w, int& h) {
            w = 80;
            h = 24;
        };
        item->OnDrawItem = [](TMenuItem*, HDC dc, const RECT& r, UINT) { FillSolidRect(dc, r, Ref(kItemInk)); };
        menu.Items()->Add(item);
        menu.SetOwnerDraw(true);
    }
};

UINT ItemType(HMENU menu, int position) {
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_FTYPE;
    GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
    return info.fType;
}

bool AnyOwnerDrawn(HMENU menu) {
    for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
        if (ItemType(menu, i) & MFT_OWNERDRAW) return true;
    return false;
}

}  // namespace

TEST(SkinPopupMenu, EachKindNeedsItsFamilyAndEveryPopupLetsGoAtStopOrDestruction) {
    TSkinning s;
    TInkPopup popup;
    auto seen = [&s](std::size_t& count, HWND& window) {
        return [&s, &count, &window] {
            count = s.manager.PopupSkinners().size();
            window = count ? s.manager.PopupSkinners().front()->Window() : nullptr;
            EndMenu();
        };
    };
    std::size_t count = 0;
    HWND window = nullptr;
    {
        TInsideLoop look(seen(count, window));
        popup.menu.Popup(100, 100);
    }
    EXPECT_EQ(count, 1u) << "a context menu needs xcPopupMenu, which the skin has";
    EXPECT_EQ(s.manager.PopupSkinners().size(), 0u) << "freed with its window";

    // The system menu's kind needs xcSystemMenu.
    s.skin->SetSkinControls(s.skin->SkinControls() & ~SkinControlBit(xcSystemMenu));
    s.manager.SetPopupKind(pkSystemMenu);
    {
        TInsideLoop look(seen(count, window));
        popup.menu.Popup(100, 100);
    }
    EXPECT_EQ(count, 0u);
    s.skin->SetSkinControls(s.skin->SkinControls() | SkinControlBit(xcSystemMenu));
    s.manager.SetPopupKind(pkSystemMenu);

    // Stopping while the menu shows gives the window back at once; the menu goes on working.
    LRESULT answered = -1;
    {
        TInsideLoop stop([&] {
            ASSERT_EQ(s.manager.PopupSkinners().size(), 1u);
            HWND w = s.manager.PopupSkinners().front()->Window();
            s.Stop();
            answered = SendMessageW(w, WM_SKINNEDQUERY, 0, 0);
            EndMenu();
        });
        popup.menu.Popup(100, 100);
    }
    EXPECT_EQ(answered, 0) << "no skinner left on the open menu";
    EXPECT_EQ(s.manager.SkinnerCount(), 0u);
    EXPECT_EQ(s.manager.PopupKind(), pkPopup) << "the kind falls back when the last popup skinner goes";
}

TEST(SkinPopupMenu, PrintedPopupShowsTheBandAndTheItemsInsideItWherever) {
    TSkinning s;
    TInkPopup popup;
    COLORREF corner = 0, band = 0, item = 0, itemEdge = 0;
    {
        TInsideLoop print([&] {
            ASSERT_EQ(s.manager.PopupSkinners().size(), 1u);
            HWND w = s.manager.PopupSkinners().front()->Window();
            RECT r{};
            GetWindowRect(w, &r);
            // The popup lies far from the screen's corner: the DC of WM_PRINT starts at the
            // window's corner all the same.
            ASSERT_GT(r.left, 200);
            TBitmap target;
            target.SetPixelFormat(TPixelFormat::pf24bit);
            target.SetSize(r.right - r.left, r.bottom - r.top);
            HDC dc = target.Canvas().Handle();
            FillSolidRect(dc, RECT{0, 0, target.Width(), target.Height()}, RGB(255, 255, 255));
            SendMessageW(w, WM_PRINT, reinterpret_cast<WPARAM>(dc), PRF_NONCLIENT | PRF_CLIENT | PRF_ERASEBKGND);
            GdiFlush();
            corner = GetPixel(dc, 0, 0);
            band = GetPixel(dc, 2, target.Height() / 2);
            item = GetPixel(dc, target.Width() / 2, 3 + 12);
            itemEdge = GetPixel(dc, 3, 3 + 12);
            EndMenu();
        });
        popup.menu.Popup(400, 300);
    }
    EXPECT_EQ(corner, Ref(kBack));
    EXPECT_EQ(band, Ref(kBack)) << "the 3-pixel band is the skin's";
    EXPECT_EQ(item, Ref(kItemInk)) << "the items are printed inside the band";
    EXPECT_EQ(itemEdge, Ref(kItemInk));
}

TEST(SkinMenuItems, AtTwiceTheScaleItemsMeasureAndDrawTwiceAsLargeAndTheirArrowIsTheirs) {
    auto skin = MenuSkin();
    TMenuItemLook text;
    text.Caption = u"&Open the file";
    text.ShortCut = u"Ctrl+O";
    TMenuItemLook line;
    line.Separator = true;
    auto measure = [&](const TMenuItemLook& look, int dpi) {
        int width = 0, height = 0;
        MeasureSkinMenuItem(look, *skin, dpi, width, height);
        return SIZE{width, height};
    };
    const SIZE item96 = measure(text, 96), item192 = measure(text, 192);
    const SIZE line96 = measure(line, 96), line192 = measure(line, 192);
    EXPECT_EQ(line192.cy, 2 * line96.cy);
    // The menu font at 192 dpi is twice as tall; its glyphs round on their own.
    EXPECT_NEAR(item192.cy, 2 * item96.cy, 3);
    EXPECT_NEAR(item192.cx, 2 * item96.cx, item96.cx / 10);

    // Items without a caption: only the check mark, or the sub-menu arrow, differs from the
    // menu's colour. An item with an arrow keeps the platform from drawing its own over it.
    TMenuItemLook checked;
    checked.Checked = true;
    TMenuItemLook parent;
    parent.SubMenu = true;
    const COLORREF back = ColorToRGB(skin->Colours.Menu);
    bool platformArrowKeptOut = true;
    auto ink = [&](const TMenuItemLook& look, int dpi, SIZE size) {
        TBitmap canvas;
        canvas.SetPixelFormat(TPixelFormat::pf24bit);
        canvas.SetSize(size.cx, size.cy);
        HDC dc = canvas.Canvas().Handle();
        {
            TSavedDC saved(dc);
            DrawSkinMenuItem(dc, RECT{0, 0, size.cx, size.cy}, look, *skin, dpi, nullptr, POINT{0, 0});
            GdiFlush();
            if (look.SubMenu) platformArrowKeptOut = platformArrowKeptOut && !PtVisible(dc, size.cx - 3, size.cy / 2);
        }
        RECT box{size.cx, size.cy, -1, -1};
        for (int y = 0; y < size.cy; ++y)
            for (int x = 0; x < size.cx; ++x)
                if (GetPixel(dc, x, y) != back) {
                    box = RECT{std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                               std::max<LONG>(box.bottom, y + 1)};
                }
        return SIZE{std::max<LONG>(box.right - box.left, 0), std::max<LONG>(box.bottom - box.top, 0)};
    };
    for (const TMenuItemLook* look : {&checked, &parent}) {
        const SIZE at96 = ink(*look, 96, item96), at192 = ink(*look, 192, item192);
        ASSERT_GT(at96.cx, 3);
        ASSERT_GT(at96.cy, 3);
        EXPECT_NEAR(at192.cx, 2 * at96.cx, 3) << (look->SubMenu ? "the arrow" : "the check mark");
        EXPECT_NEAR(at192.cy, 2 * at96.cy, 3) << (look->SubMenu ? "the arrow" : "the check mark");
    }
    EXPECT_TRUE(platformArrowKeptOut);
}

namespace {

// A raw top-level window of this module with a raw menu bar, skinned by the manager.
struct TRawMenuWindow {
    HWND handle = nullptr;
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    TRawMenuWindow() {
        AppendMenuW(file, MF_STRING, 101, L"&Open");
        AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(file, MF_STRING | MF_GRAYED, 102, L"&Grey");
        AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
        static bool registered = [] {
            WNDCLASSW wc{};
            wc.lpfnWndProc = DefWindowProcW;
            wc.hInstance = GetModuleHandleW(nullptr);
            wc.lpszClassName = L"QxMenuTestWindow";
            return RegisterClassW(&wc) != 0;
        }();
        (void)registered;
        handle = CreateWindowExW(0, L"QxMenuTestWindow", L"menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 400, 300,
                                 nullptr, bar, GetModuleHandleW(nullptr), nullptr);
    }
    ~TRawMenuWindow() { DestroyWindow(handle); }
};

}  // namespace

TEST(SkinMenuBar, DropDownItemsDrawThemselvesAgainAfterTrackingAndAfterAStopInside) {
    TSkinning s;
    TRawMenuWindow w;
    // Skinned when it is activated (or now, when it was not).
    s.manager.SkinWindow(w.handle);
    qxtest::Pump(200);
    TSkinForm* form = s.manager.FindSkinForm(w.handle);
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->MenuBar(), nullptr);
    EXPECT_EQ(GetMenu(w.handle), nullptr) << "the skinned band replaces the system's bar";
    ASSERT_EQ(form->MenuBar()->Items().size(), 1u);
    EXPECT_EQ(form->MenuBar()->Items()[0]->FCaption, u"&File");

    bool ownerDrawnWhileOpen = false;
    {
        TInsideLoop check([&] {
            ownerDrawnWhileOpen = (ItemType(w.file, 0) & MFT_OWNERDRAW) && (ItemType(w.file, 1) & MFT_OWNERDRAW);
            EndMenu();
        });
        form->OpenMenuBtn(form->MenuBar()->Items()[0].get(), true);
    }
    EXPECT_TRUE(ownerDrawnWhileOpen);
    EXPECT_FALSE(AnyOwnerDrawn(w.file)) << "after tracking the items are the platform's again";
    EXPECT_TRUE(ItemType(w.file, 1) & MFT_SEPARATOR);

    // Skinning stops while the drop-down is open: the menu ends, its items and the window's
    // menu bar come back.
    {
        TInsideLoop stop([&] { s.Stop(); });
        form->OpenMenuBtn(form->MenuBar()->Items()[0].get(), false);
    }
    EXPECT_FALSE(AnyOwnerDrawn(w.file));
    EXPECT_EQ(GetMenu(w.handle), w.bar);
    EXPECT_EQ(s.manager.SkinnerCount(), 0u);
    EXPECT_EQ(PendingSkinnerDisposals(), 0u);
}

TEST(SkinMdi, TheRedrawMessageGoesOnlyToALivingMdiClient) {
    TSkinning s;
    auto threadHasIt = [] {
        MSG msg;
        return PeekMessageW(&msg, reinterpret_cast<HWND>(-1), WM_SKINREDRAWMDI, WM_SKINREDRAWMDI, PM_REMOVE) != FALSE;
    };
    // No MDI client: nothing is posted (a message to no window would reach the thread).
    s.manager.SetMDIFrame(nullptr, nullptr);
    s.manager.RedrawMdiClient(nullptr);
    s.manager.SetMDIChildMaximized(true);
    s.manager.SetMDIChildMaximized(false);
    EXPECT_FALSE(threadHasIt());

    TForm frame(nullptr);
    frame.SetFormStyle(TFormStyle::fsMDIForm);
    frame.HandleNeeded();
    const HWND client = frame.ClientHandle();
    ASSERT_NE(client, nullptr);
    s.manager.SetMDIFrame(client, &frame);
    s.manager.RedrawMdiClient(nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, client, WM_SKINREDRAWMDI, WM_SKINREDRAWMDI, PM_REMOVE));

    // The client is gone (its handle may be another window's one day): nothing is posted.
    frame.RecreateWnd();
    ASSERT_FALSE(IsWindow(client));
    s.manager.RedrawMdiClient(nullptr);
    EXPECT_FALSE(threadHasIt());
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_SKINREDRAWMDI, WM_SKINREDRAWMDI, PM_REMOVE));
}

TEST(SkinMenus, SoakOfPopupsAndMdiChildrenLeavesNothingBehindAfterStop) {
    const long gdiBefore = GdiLiveObjects();
    const long stubsBefore = LiveWndStubs();
    {
        TSkinning s;
        TForm frame(nullptr);
        frame.SetFormStyle(TFormStyle::fsMDIForm);
        frame.SetBounds(40, 40, 500, 380);
        auto* menu = new TMainMenu(&frame);
        auto* window = new TMenuItem(&frame);
        window->SetCaption(u"&Window");
        menu->Items()->Add(window);
        auto* tile = new TMenuItem(&frame);
        tile->SetCaption(u"&Tile");
        window->Add(tile);
        frame.SetMenu(menu);
        frame.SetWindowMenu(window);
        frame.HandleNeeded();
        const LONG_PTR frameProc = GetWindowLongPtrW(frame.Handle(), GWLP_WNDPROC);
        const LONG_PTR clientProc = GetWindowLongPtrW(frame.ClientHandle(), GWLP_WNDPROC);
        frame.Show();
        ASSERT_TRUE(PumpUntil([&] { return s.manager.FindSkinForm(frame.Handle()) != nullptr; }));
        qxtest::Pump(100);
        ASSERT_EQ(GetMenu(frame.Handle()), nullptr);
        EXPECT_EQ(s.manager.FindSkinForm(frame.Handle())->MdiKind(), mkFrame) << "its MDI client was found";
        EXPECT_EQ(s.manager.FindSkinForm(frame.Handle())->ClientHandle(), frame.ClientHandle());
        const long frameStubs = LiveWndStubs();

        TInkPopup popup;
        for (int i = 0; i < 200; ++i) {
            TInsideLoop close([] { EndMenu(); }, 1);
            popup.menu.Popup(120 + i % 50, 120);
        }
        EXPECT_EQ(s.manager.PopupSkinners().size(), 0u);

        for (int i = 0; i < 50; ++i) {
            auto* child = new TForm(&frame);
            child->SetFormStyle(TFormStyle::fsMDIChild);
            child->SetCaption(u"Child");
            child->SetBounds(CW_USEDEFAULT, CW_USEDEFAULT, 200, 150);
            child->Show();
            Application->ProcessMessages();
            if (i % 10 == 0) SendMessageW(child->Handle(), WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            Application->ProcessMessages();
            SendMessageW(child->Handle(), WM_CLOSE, 0, 0);
            Application->ProcessMessages();
        }
        EXPECT_EQ(frame.MDIChildCount(), 0);
        EXPECT_EQ(LiveWndStubs(), frameStubs) << "every child's window procedure stub was freed";
        s.Stop();
        qxtest::Pump(50);
        EXPECT_EQ(s.manager.SkinnerCount(), 0u);
        EXPECT_EQ(PendingSkinnerDisposals(), 0u);
        EXPECT_EQ(GetWindowLongPtrW(frame.Handle(), GWLP_WNDPROC), frameProc);
        EXPECT_EQ(GetWindowLongPtrW(frame.ClientHandle(), GWLP_WNDPROC), clientProc);
        EXPECT_EQ(GetMenu(frame.Handle()), menu->Handle()) << "the menu bar is the system's again";
    }
    EXPECT_EQ(GdiLiveObjects(), gdiBefore);
    EXPECT_EQ(LiveWndStubs(), stubsBefore);
}
