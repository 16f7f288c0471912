// The form skinner on real windows: the frame fitted around the client size, painted from the
// skin's pieces, the region cut from their transparent pixels, the caption buttons' states,
// activation, a change of display scale, and stopping that gives everything back. Skins are made
// here, each stating the pieces it depends on.
#include "SkinTestSupport.h"
#include "TestSupport.h"

#include "framework/StdCtrls.h"
#include "skin/ButtonSkinners.h"
#include "skin/CaptionBar.h"
#include "skin/CaptionButtons.h"
#include "skin/FramePainter.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

using namespace qx;
using qxtest::Bmp24;
using qxtest::MakeForm;
using qxtest::PumpUntil;

namespace {

constexpr std::uint32_t kKey = 0xFF00FF;
// Piece colours (0x00RRGGBB), active and inactive.
constexpr std::uint32_t kSideActive = 0x2050A0, kSideInactive = 0x606870;
constexpr std::uint32_t kBottomActive = 0x103060, kBottomInactive = 0x505860;
std::uint32_t TopColour(int y, bool active) { return active ? (0x0000C8 | (y * 10) << 8) : (0x640064 | (y * 5) << 8); }
COLORREF Ref(std::uint32_t rgb) { return RGB(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// Caption 20, sides and bottom 4; the top-left and top-right pixels of the sides transparent.
std::string FrameIni(const std::string& extra = "") {
    return "[Personality]\n"
           "Left=Left.bmp\nLeftFrame=2\nLeftTopHeight=20\nLeftBotHeight=4\n"
           "Right=Right.bmp\nRightFrame=2\nRightTopHeight=20\nRightBotHeight=4\n"
           "Top=Top.bmp\nTopFrame=2\nTopTopHeight=4\nTopBotHeight=4\n"
           "Bottom=Bottom.bmp\nBottomFrame=2\n"
           "TextShift=30\nTextRightClip=40\n"
           "[Colours]\nButtonFace=200 200 200\n"
           "[Button0]\nButtonImage=Close.bmp\nframe=4\nAction=0\nAlign=1\nXcoord=24\nYcoord=3\nVisibility=0\n" +
           extra;
}

std::vector<qx::tools::TSkinEntry> FramePieces() {
    auto side = [](bool left) {
        return Bmp24(8, 60, [left](int x, int y) -> std::uint32_t {
            const int local = x % 4;
            const bool corner = left ? (y == 0 && local < 2) || (y == 1 && local == 0)
                                     : (y == 0 && local > 1) || (y == 1 && local == 3);
            if (corner) return kKey;
            return x < 4 ? kSideActive : kSideInactive;
        });
    };
    std::vector<qx::tools::TSkinEntry> e;
    e.push_back({"Left.bmp", side(true)});
    e.push_back({"Right.bmp", side(false)});
    e.push_back({"Top.bmp", Bmp24(50, 40, [](int, int y) { return TopColour(y % 20, y < 20); })});
    e.push_back({"Bottom.bmp", Bmp24(50, 8, [](int, int y) { return y < 4 ? kBottomActive : kBottomInactive; })});
    // Close button: 4 cells of 15 x 15 (normal, pressed, hot, inactive).
    e.push_back({"Close.bmp", Bmp24(60, 15, [](int x, int) -> std::uint32_t {
                     static const std::uint32_t cells[] = {0xC80000, 0x640000, 0xFA6464, 0x808080};
                     return cells[x / 15];
                 })});
    return e;
}

// A form whose skin data is set up as the layout reader sets one up, so that the skin manager
// skins the form when it is first activated.
struct TSkinnedForm {
    TSkinManager manager;
    std::unique_ptr<TForm> form = MakeForm();
    TSkinData* skin = nullptr;

    explicit TSkinnedForm(const std::string& ini = FrameIni(), std::vector<qx::tools::TSkinEntry> pieces = FramePieces(),
                          bool active = true)
        : TSkinnedForm(qxtest::SkinRecord(ini, std::move(pieces)), active) {}
    TSkinnedForm(const std::vector<std::uint8_t>& record, bool active) {
        skin = new TSkinData(form.get());
        skin->BeginLoading();
        skin->ReadSkinStream(record);
        skin->SetActive(active);
        skin->Loaded();
    }
    ~TSkinnedForm() { form.reset(); }
    HWND Handle() { return form->Handle(); }
    TSkinForm* Skinner() { return manager.FindSkinForm(form->HandleAllocated() ? form->Handle() : nullptr); }
    bool Show() {
        form->Show();
        return PumpUntil([this] { return Skinner() && Skinner()->Started(); });
    }
    COLORREF At(int x, int y) {
        qx::TWindowDC dc(Handle(), true);
        return GetPixel(dc.Get(), x, y);
    }
    RECT Window() {
        RECT r{};
        GetWindowRect(Handle(), &r);
        return r;
    }
};

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

}  // namespace

TEST(FormSkinner, TheFrameIsFittedAroundTheClientSizeAndPaintedFromThePieces) {
    TSkinnedForm f;
    f.form->SetPosition(TPosition::poScreenCenter);
    ASSERT_TRUE(f.Show());
    TSkinForm& s = *f.Skinner();
    EXPECT_EQ((std::vector<int>{s.BorderLeft(), s.CaptionHeight(), s.BorderRight(), s.BorderBottom()}),
              (std::vector<int>{4, 20, 4, 4}));
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(Width(client), 300);
    EXPECT_EQ(Height(client), 200);
    const RECT w = f.Window();
    EXPECT_EQ(Width(w), 308);
    EXPECT_EQ(Height(w), 224);
    EXPECT_LE(std::abs(w.left + w.right - GetSystemMetrics(SM_CXSCREEN)), 2) << "still centred";
    EXPECT_LE(std::abs(w.top + w.bottom - GetSystemMetrics(SM_CYSCREEN)), 2);
    EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWL_STYLE) & WS_CAPTION, 0) << "the skin draws the caption";
    EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 1);

    // Pieces, active: the caption strip row by row, the sides, the bottom.
    for (int y : {2, 9, 17}) EXPECT_EQ(f.At(150, y), Ref(TopColour(y, true))) << "caption row " << y;
    EXPECT_EQ(f.At(1, 100), Ref(kSideActive));
    EXPECT_EQ(f.At(306, 100), Ref(kSideActive));
    EXPECT_EQ(f.At(150, 222), Ref(kBottomActive));
    // The close button at 24 pixels from the right edge, in its normal cell.
    EXPECT_EQ(f.At(308 - 24 + 7, 3 + 7), RGB(0xC8, 0, 0));

    // The region leaves out the pieces' transparent corner pixels, and nothing else.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(f.Handle(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 0, 0));
    EXPECT_FALSE(PtInRegion(region, 1, 0));
    EXPECT_FALSE(PtInRegion(region, 307, 0));
    EXPECT_TRUE(PtInRegion(region, 2, 0));
    EXPECT_TRUE(PtInRegion(region, 1, 1));
    EXPECT_TRUE(PtInRegion(region, 0, 223));
    EXPECT_TRUE(PtInRegion(region, 307, 223));
    DeleteObject(region);
}

// Counts the placement messages that reach the form's own handler, under the skinner.
struct TPlacementMessages : TMessageHook {
    int Changing = 0, CalcSize = 0, Changed = 0;
    void HookMessage(TMessage& m, const TMessageNext& next) override {
        Changing += m.Msg == WM_WINDOWPOSCHANGING;
        CalcSize += m.Msg == WM_NCCALCSIZE;
        Changed += m.Msg == WM_WINDOWPOSCHANGED;
        next(m);
    }
};

TEST(FormSkinner, AResizeReachesTheFormOnceAndItsNewRegionTellsTheFormNothingMore) {
    TSkinnedForm f;
    // Hooks run newest first: added before the skinner takes the form, this one hears what the
    // skinner passes on.
    TPlacementMessages heard;
    f.form->AddMessageHook(&heard);
    ASSERT_TRUE(f.Show());
    heard = TPlacementMessages{};
    // The size change is the form's to hear; the region it brings moves and resizes nothing.
    SetWindowPos(f.Handle(), nullptr, 0, 0, 348, 254, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ((std::vector<int>{heard.Changing, heard.CalcSize, heard.Changed}), (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(f.form->Width(), 348);
    EXPECT_EQ(f.form->Height(), 254);
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ((std::vector<int>{Width(client), Height(client)}), (std::vector<int>{340, 230})) << "inside the skin's frame";
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(f.Handle(), region), ERROR);
    EXPECT_FALSE(PtInRegion(region, 347, 0)) << "the corner placed at the new size";
    EXPECT_TRUE(PtInRegion(region, 347, 253));
    EXPECT_FALSE(PtInRegion(region, 348, 100));
    DeleteObject(region);
    // A frame change that is not the region's own still reaches the form.
    SetWindowPos(f.Handle(), nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ((std::vector<int>{heard.Changing, heard.CalcSize, heard.Changed}), (std::vector<int>{2, 2, 2}));
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(Width(client), 340);
    f.form->RemoveMessageHook(&heard);
}

TEST(FormSkinner, InactiveImagesWithoutReshapingAndTheCaptionComposedFromPieces) {
    TSkinnedForm f;
    ASSERT_TRUE(f.Show());
    HRGN before = f.Skinner()->Region();
    SendMessageW(f.Handle(), WM_NCACTIVATE, FALSE, 0);
    EXPECT_FALSE(f.Skinner()->Active());
    EXPECT_EQ(f.At(150, 9), Ref(TopColour(9, false)));
    EXPECT_EQ(f.At(1, 100), Ref(kSideInactive));
    EXPECT_EQ(f.At(150, 222), Ref(kBottomInactive));
    EXPECT_EQ(f.At(308 - 24 + 7, 10), RGB(0x80, 0x80, 0x80)) << "the button's inactive cell";
    EXPECT_EQ(f.Skinner()->Region(), before) << "activation alone does not reshape the window";
    SendMessageW(f.Handle(), WM_NCACTIVATE, TRUE, 0);
    EXPECT_EQ(f.At(150, 9), Ref(TopColour(9, true)));

    // Whatever is on the screen under the caption's corners, the strip is the pieces'.
    {
        qx::TWindowDC dc(f.Handle(), true);
        qx::TBrushHandle green(CreateSolidBrush(RGB(0, 255, 0)));
        const RECT corner{0, 0, 4, 20};
        FillRect(dc.Get(), &corner, green.Get());
        f.Skinner()->PaintCaption(dc.Get());
    }
    EXPECT_EQ(f.At(2, 10), Ref(kSideActive));
}

TEST(FormSkinner, CaptionButtonGoesHotPressedAndActsOnlyWhenReleasedOverItself) {
    TSkinnedForm f;
    ASSERT_TRUE(f.Show());
    const RECT w = f.Window();
    const POINT inside{w.left + 308 - 24 + 7, w.top + 10}, outside{w.left + 100, w.top + 10};
    auto nc = [&](UINT message, POINT p) {
        SendMessageW(f.Handle(), message, HTCAPTION, MAKELPARAM(p.x, p.y));
    };
    nc(WM_NCMOUSEMOVE, inside);
    EXPECT_EQ(f.At(308 - 24 + 7, 10), RGB(0xFA, 0x64, 0x64)) << "hot";
    nc(WM_NCLBUTTONDOWN, inside);
    EXPECT_EQ(f.At(308 - 24 + 7, 10), RGB(0x64, 0, 0)) << "pressed";
    // Released elsewhere: no action; leaving ends the pressed look.
    nc(WM_NCLBUTTONUP, outside);
    nc(WM_NCMOUSEMOVE, outside);
    EXPECT_EQ(f.At(308 - 24 + 7, 10), RGB(0xC8, 0, 0));
    bool closed = false;
    f.form->OnClose = [&closed](TObject*) { closed = true; };
    qxtest::Pump(100);
    EXPECT_FALSE(closed);
    // Pressed and released on it: the window is asked to close.
    nc(WM_NCMOUSEMOVE, inside);
    nc(WM_NCLBUTTONDOWN, inside);
    nc(WM_NCLBUTTONUP, inside);
    EXPECT_TRUE(PumpUntil([&closed] { return closed; }, 2000));
}

TEST(FormSkinner, StoppingGivesTheWindowBackWithItsClientSizeAndLeavesNothingBehind) {
    TSkinnedForm f;
    auto* check = qxtest::Place<TCheckBox>(f.form.get(), 10, 10, 120, 20);
    const LONG_PTR procedure = [&] {
        f.form->HandleNeeded();
        return GetWindowLongPtrW(f.Handle(), GWLP_WNDPROC);
    }();
    ASSERT_TRUE(f.Show());
    EXPECT_EQ(SendMessageW(check->Handle(), WM_SKINNEDQUERY, 0, 0), 1) << "the dispatch skinned the check box";
    long gdi = 0;  // counted once everything the window itself keeps has been made
    for (int round = 0; round < 2; ++round) {
        f.skin->SetActive(false);
        ASSERT_TRUE(PumpUntil([&] { return f.manager.SkinnerCount() == 0; })) << round;
        // Drawing is held off while the window is given back: it ends on, and the window and
        // its frame are painted again in their own look (not left with the skin's pixels).
        EXPECT_TRUE(IsWindowVisible(f.Handle())) << round;
        EXPECT_TRUE(IsWindowVisible(check->Handle())) << round;
        const COLORREF face = GetSysColor(COLOR_BTNFACE);
        ASSERT_NE(face, RGB(200, 200, 200)) << "the skin's face must differ from the system's";
        auto clientPixel = [&] {
            HDC dc = GetDC(f.Handle());
            const COLORREF c = GetPixel(dc, 250, 150);
            ReleaseDC(f.Handle(), dc);
            return c;
        };
        EXPECT_TRUE(PumpUntil([&] { return clientPixel() == face; }, 1000)) << round << ": " << std::hex << clientPixel();
        EXPECT_NE(f.At(150, 9), Ref(TopColour(9, true))) << round << ": the system's caption, not the skin's";
        RECT client{};
        GetClientRect(f.Handle(), &client);
        EXPECT_EQ(Width(client), 300);
        EXPECT_EQ(Height(client), 200);
        EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
        EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWLP_WNDPROC), procedure);
        EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
        EXPECT_EQ(SendMessageW(check->Handle(), WM_SKINNEDQUERY, 0, 0), 0);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        EXPECT_EQ(GetWindowRgn(f.Handle(), region), ERROR) << "no region left";
        DeleteObject(region);
        EXPECT_EQ(PendingSkinnerDisposals(), 0u);
        if (round == 0) gdi = GdiLiveObjects();
        f.skin->SetActive(true);
        ASSERT_TRUE(PumpUntil([&] { return f.Skinner() && f.Skinner()->Started(); })) << round;
        GetClientRect(f.Handle(), &client);
        EXPECT_EQ(Width(client), 300);
        EXPECT_EQ(SendMessageW(check->Handle(), WM_SKINNEDQUERY, 0, 0), 1);
    }
    f.skin->SetActive(false);
    ASSERT_TRUE(PumpUntil([&] { return f.manager.SkinnerCount() == 0; }));
    EXPECT_EQ(GdiLiveObjects(), gdi);
}

LRESULT CALLBACK CountingSubclass(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR counter) {
    ++*reinterpret_cast<int*>(counter);
    return DefSubclassProc(w, m, wp, lp);
}

// The skin runs in a framework form's own handler: the window keeps its procedure (nothing of
// the common controls is needed to skin the installer's window), and a subclass that someone
// else puts on the window sees its messages beside the skin, whichever leaves first.
TEST(FormSkinner, AFrameworkFormIsSkinnedInItsOwnHandlerBesideOtherSubclasses) {
    for (bool skinLeavesFirst : {true, false}) {
        TSkinnedForm f;
        f.form->HandleNeeded();
        const LONG_PTR procedure = GetWindowLongPtrW(f.Handle(), GWLP_WNDPROC);
        ASSERT_TRUE(f.Show());
        EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWLP_WNDPROC), procedure);
        int calls = 0;
        ASSERT_TRUE(SetWindowSubclass(f.Handle(), &CountingSubclass, 1, reinterpret_cast<DWORD_PTR>(&calls)));
        EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 1);
        EXPECT_GT(calls, 0);
        SendMessageW(f.Handle(), WM_NCPAINT, 1, 0);
        EXPECT_EQ(f.At(150, 9), Ref(TopColour(9, true))) << "the skin still paints the frame";
        if (skinLeavesFirst) {
            f.skin->SetActive(false);
            ASSERT_TRUE(PumpUntil([&] { return f.manager.SkinnerCount() == 0; }));
            calls = 0;
            EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
            EXPECT_GT(calls, 0) << "the other subclass still runs";
            RemoveWindowSubclass(f.Handle(), &CountingSubclass, 1);
        } else {
            RemoveWindowSubclass(f.Handle(), &CountingSubclass, 1);
            EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 1) << "the skin still runs";
            f.skin->SetActive(false);
            ASSERT_TRUE(PumpUntil([&] { return f.manager.SkinnerCount() == 0; }));
        }
        EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWLP_WNDPROC), procedure) << skinLeavesFirst;
        EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
    }
}

TEST(FormSkinner, AWindowDestroyedWhileSkinnedTakesItsSkinnersWith) {
    TSkinnedForm f(FrameIni(), FramePieces(), false);
    qxtest::Place<TButton>(f.form.get(), 10, 10, 80, 24);
    f.form->Show();
    qxtest::Pump(100);
    const long gdi = GdiLiveObjects();  // what the window keeps of its own
    f.skin->SetActive(true);
    ASSERT_TRUE(PumpUntil([&] { return f.Skinner() && f.Skinner()->Started(); }));
    EXPECT_EQ(f.manager.SkinnerCount(), 2u);
    DestroyWindow(f.Handle());
    EXPECT_EQ(f.manager.SkinnerCount(), 0u);
    EXPECT_TRUE(f.manager.FormSkinners().empty());
    EXPECT_EQ(PendingSkinnerDisposals(), 0u);
    // The window's own objects may go with it; none of the skinners' may stay.
    EXPECT_LE(GdiLiveObjects(), gdi);
}

TEST(FormSkinner, ATagOf99KeepsTheSystemLookWhateverTheDisableTag) {
    TSkinnedForm f;
    f.skin->SetDisableTag(5);
    f.form->SetTag(99);
    f.form->Show();
    qxtest::Pump(400);
    EXPECT_EQ(f.Skinner(), nullptr);
    EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
}

TEST(FormSkinner, StoppedBeforeItsStartMessageTheWindowDrawsAgain) {
    TSkinnedForm f;
    f.form->Show();  // attached on activation; the start message is only posted
    ASSERT_NE(f.Skinner(), nullptr);
    EXPECT_FALSE(f.Skinner()->Started());
    f.manager.Free(f.Skinner());
    qxtest::Pump(100);
    EXPECT_TRUE(IsWindowVisible(f.Handle())) << "drawing was switched on again";
    EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(Width(client), 300) << "never fitted, never resized";
}

TEST(FormSkinner, TitlesKeepEveryCharacterThroughTheSkinnedWindow) {
    TSkinnedForm f;
    ASSERT_TRUE(f.Show());
    const wchar_t* title = L"Kuruluma Başla — ğüşiöç ĞÜŞİÖÇ";
    SetWindowTextW(f.Handle(), title);
    wchar_t back[64] = {};
    GetWindowTextW(f.Handle(), back, 64);
    EXPECT_STREQ(back, title);
    EXPECT_EQ(f.At(150, 9), Ref(TopColour(9, true))) << "no system caption over the skin's";
}

TEST(FormSkinner, ASkinThatWritesZeroPicturesOrAHugeTitleStaysInBounds) {
    // Frame counts of 0: each image is one picture; nothing divides by zero.
    std::string ini = FrameIni();
    for (const char* key : {"LeftFrame=2", "RightFrame=2", "TopFrame=2", "BottomFrame=2"}) {
        std::string k(key);
        ini.replace(ini.find(k), k.size(), k.substr(0, k.size() - 1) + "0");
    }
    ini.replace(ini.find("frame=4"), 7, "frame=0");
    TSkinnedForm f(ini);
    ASSERT_TRUE(f.Show());
    EXPECT_EQ(f.Skinner()->CaptionHeight(), 40);
    EXPECT_EQ(f.Skinner()->BorderLeft(), 8);
}

TEST(FormSkinner, ASkinReplacedByOneThatCannotBeUsedGivesEveryWindowItsOwnLookBack) {
    TSkinnedForm f;
    auto* check = qxtest::Place<TCheckBox>(f.form.get(), 10, 10, 120, 20);
    ASSERT_TRUE(f.Show());
    ASSERT_EQ(SendMessageW(check->Handle(), WM_SKINNEDQUERY, 0, 0), 1);
    wchar_t folder[MAX_PATH] = {}, path[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"qxs", 0, path);
    {
        HANDLE file = CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        const char text[] = "Not a skin: a few words of text.";
        DWORD written = 0;
        WriteFile(file, text, sizeof text, &written, nullptr);
        CloseHandle(file);
    }
    f.skin->SetSkinFile(std::u16string(reinterpret_cast<const char16_t*>(path)));
    DeleteFileW(path);
    EXPECT_TRUE(f.skin->SkinMissing());
    EXPECT_FALSE(f.skin->Active());
    // Through the skin manager, as switching off does: frame, caption and controls are the
    // system's again.
    ASSERT_TRUE(PumpUntil([&] { return f.manager.SkinnerCount() == 0; }));
    EXPECT_EQ(GetWindowLongPtrW(f.Handle(), GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(SendMessageW(f.Handle(), WM_SKINNEDQUERY, 0, 0), 0);
    EXPECT_EQ(SendMessageW(check->Handle(), WM_SKINNEDQUERY, 0, 0), 0);
    RECT client{};
    GetClientRect(f.Handle(), &client);
    EXPECT_EQ(Width(client), 300);
    // Switching on again with no usable skin does nothing; the manager never skins with it.
    f.skin->SetActive(true);
    EXPECT_FALSE(f.skin->Active());
    f.manager.SetCurrentSkinData(f.skin);
    f.manager.QueueCommand(scStart, 10);
    qxtest::Pump(200);
    EXPECT_EQ(f.manager.SkinnerCount(), 0u);
}

TEST(FormSkinner, HostileNumbersAndPicturesPaintWithinTheWindow) {
    // Margins far outside any picture, a tiled centre, offsets of the title past the window,
    // a frame piece far taller than a screen and more caption buttons than a caption holds.
    std::string ini = FrameIni(
        "[Buttons]\nBitmap=Top.bmp\nLeftWidth=-2147483647\nTopHeight=-2147483647\nRightWidth=2147483647\n"
        "BottomHeight=-2147483647\nTile=1\n");
    ini.replace(ini.find("TextShift=30"), 12, "TextShift=-2147483647\nTXTBackleft=2147483647\nTextBack=Top.bmp");
    ini.replace(ini.find("Bottom=Bottom.bmp"), 17, "Bottom=Tall.bmp");
    for (int i = 1; i < 200; ++i)
        ini += "[Button" + std::to_string(i) + "]\nButtonImage=Close.bmp\nframe=4\nAction=0\nAlign=1\nXcoord=" +
               std::to_string(24 + i) + "\nYcoord=3\n";
    auto pieces = FramePieces();
    pieces.push_back({"Tall.bmp", qxtest::Bmp1(40, 30000)});
    TSkinnedForm f(ini, pieces);
    auto* button = qxtest::Place<TButton>(f.form.get(), 10, 10, 80, 24);
    ASSERT_TRUE(f.Show());
    EXPECT_EQ(f.Skinner()->SysButtons().size(), kMaxCaptionButtons + 3);
    const int quarter = std::max(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)) / 4;
    EXPECT_EQ(f.Skinner()->BorderBottom(), quarter) << "no side takes more than a quarter of the screen";
    ResetSkinDrawLargestWork();
    RedrawWindow(f.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SendMessageW(f.Handle(), WM_SKINPAINTFRAME, 0, 0);
    const RECT w = f.Window();
    EXPECT_LE(SkinDrawLargestWork(), static_cast<std::int64_t>(Width(w)) * Height(w));
    EXPECT_EQ(SendMessageW(button->Handle(), WM_SKINNEDQUERY, 0, 0), 1);
}

TEST(NCObjects, OneHotObjectAtATimeAndItsStates) {
    struct THost : TNCObjectHost {
        TNCObject* hot = nullptr;
        std::vector<std::pair<TSysButton*, int>> painted;
        TNCObject* HotObject() const override { return hot; }
        void SetHotObject(TNCObject* o) override { hot = o; }
        void PaintSysButton(TSysButton& b, int state) override { painted.emplace_back(&b, state); }
    } host;
    TDataSkinSysButton element("BUTTON0");
    TSysButton a(host, element), b(host, element), hidden(host, element);
    a.FVisible = b.FVisible = true;
    a.MouseEnter();
    EXPECT_EQ(host.hot, &a);
    EXPECT_EQ(a.FState, bcHot);
    a.MouseDown();
    EXPECT_EQ(a.FState, bcPressed);
    b.MouseEnter();  // another object takes over: the first one lets go
    EXPECT_EQ(a.FState, bcNormal);
    EXPECT_EQ(host.hot, &b);
    hidden.MouseDown();  // invisible: no reaction, but the hot one still lets go
    EXPECT_EQ(host.hot, nullptr);
    EXPECT_EQ(b.FState, bcNormal);
    EXPECT_EQ(hidden.FState, bcNormal);
    b.MouseEnter();
    b.MouseDown();
    b.MouseUp();
    EXPECT_EQ(b.FState, bcHot);
    const std::vector<int> states = [&] {
        std::vector<int> s;
        for (auto& p : host.painted)
            if (p.first == &b) s.push_back(p.second);
        return s;
    }();
    EXPECT_EQ(states, (std::vector<int>{bcHot, bcNormal, bcHot, bcPressed, bcHot}));
}

TEST(CaptionButtons, OnlyAShownButtonWithAnActionIsHitAndCloseNeedsTheSystemMenusClose) {
    struct THost : TCaptionButtonsHost {
        HWND window = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                      nullptr, nullptr);
        HMENU menu = nullptr;
        int hoverStops = 0;
        TBitmap icon;
        ~THost() { DestroyWindow(window); }
        HWND Handle() const override { return window; }
        TSkinData* SkinData() const override { return nullptr; }
        bool Active() const override { return true; }
        int Dpi() const override { return 96; }
        TSkinScale SkinScale() const override { return {}; }
        TCaptionFacts CaptionFacts() const override { return {}; }
        TCaptionBand CaptionBand() const override { return {}; }
        TSkinMenuBar* MenuBar() const override { return nullptr; }
        TBitmap& LoadWindowIcon() override { return icon; }
        void DrawWindowIcon(HDC, const RECT&) override {}
        TSystemCommands& SystemCommands() override { std::abort(); }
        HMENU SystemMenu() const override { return menu; }
        void StopHover() override { ++hoverStops; }
    } host;
    ASSERT_TRUE(host.window);
    TSkinData skin(nullptr);
    for (std::int32_t action : {std::int32_t{caClose}, -1, 77}) {
        skin.SysButtons.push_back(std::make_unique<TDataSkinSysButton>("BUTTON"));
        skin.SysButtons.back()->Action = action;
    }
    TCaptionButtons buttons(host);
    buttons.Rebuild(skin);
    ASSERT_EQ(buttons.Buttons().size(), 3u);
    TSysButton& close = *buttons.Buttons()[0];
    TSysButton& picture = *buttons.Buttons()[1];
    TSysButton& own = *buttons.Buttons()[2];
    close.FRect = RECT{10, 0, 20, 10};
    picture.FRect = RECT{30, 0, 40, 10};
    own.FRect = RECT{10, 0, 20, 10};
    close.FVisible = picture.FVisible = true;
    EXPECT_EQ(buttons.ObjectAt(POINT{15, 5}), &close) << "the hidden button under it is not hit";
    EXPECT_EQ(buttons.ObjectAt(POINT{35, 5}), nullptr) << "a button without an action is only a picture";
    close.FVisible = false;
    EXPECT_EQ(buttons.ObjectAt(POINT{15, 5}), nullptr);

    auto posted = [&host](UINT message) {
        MSG msg{};
        WPARAM found = WPARAM(~0u);
        while (PeekMessageW(&msg, host.window, 0, 0, PM_REMOVE))
            if (msg.message == message) found = msg.wParam;
        return found;
    };
    // A window whose system menu cannot close it is not closed by the skin's button either.
    host.menu = CreatePopupMenu();
    buttons.DoButtonAction(close, POINT{});
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(~0u));
    DestroyMenu(host.menu);
    host.menu = GetSystemMenu(host.window, FALSE);
    buttons.DoButtonAction(close, POINT{});
    EXPECT_EQ(posted(WM_SYSCOMMAND), WPARAM(SC_CLOSE));
    EXPECT_EQ(host.hoverStops, 1) << "a closing window stops following the mouse";
    buttons.DoButtonAction(own, POINT{});
    EXPECT_EQ(posted(WM_SKINCAPTIONACTION), WPARAM(77)) << "an action of the program's own goes to the window";

    buttons.SetHotObject(&close);
    buttons.Drop();
    EXPECT_EQ(buttons.HotObject(), nullptr) << "no hot object outlives the buttons";
    EXPECT_TRUE(buttons.Buttons().empty());
}

TEST(SkinManager, CommandsWaitForTheFirstActivationAndThenForTheTimer) {
    TSkinManager manager;
    TSkinData skin(nullptr);
    skin.ReadSkinStream(qxtest::SkinRecord(FrameIni(), FramePieces()));
    manager.AddSkinData(&skin);
    manager.QueueCommand(scStart, 250);
    EXPECT_TRUE(manager.SkinningOn()) << "before any activation a start only switches skinning on";
    EXPECT_FALSE(manager.CommandQueued());
    manager.QueueCommand(scStop, 250);
    EXPECT_FALSE(manager.SkinningOn());
    manager.QueueCommand(scRefresh, 250);
    EXPECT_FALSE(manager.CommandQueued()) << "others are dropped";

    manager.SetState(msRunning);
    manager.SetCurrentSkinData(&skin);
    bool changed = false;
    skin.OnSkinChanged = [&changed](TObject*) { changed = true; };
    manager.QueueCommand(scStart, 50);
    EXPECT_TRUE(manager.CommandQueued());
    EXPECT_FALSE(manager.SkinningOn()) << "not inside the message that asked";
    EXPECT_TRUE(PumpUntil([&] { return changed; }, 2000));
    EXPECT_TRUE(manager.SkinningOn());
    EXPECT_FALSE(manager.CommandQueued());
    EXPECT_EQ(manager.CurrentSkinData(), nullptr);
    manager.RemoveSkinData(&skin);
}

TEST(SkinManager, PreviewWindowsAreKnownByTheirExactClassAndSkinnedOnlyWhenTheSkinAsks) {
    TSkinManager manager;
    TSkinData skin(nullptr);
    manager.AddSkinData(&skin);
    ASSERT_EQ(manager.MainSkinData(), &skin);
    skin.SetOptions(skin.Options() & ~SkinOptionBit(xoPreview));
    EXPECT_FALSE(manager.CanSkinClass("TPreviewForm"));
    EXPECT_TRUE(manager.CanSkinClass("TPreviewFormEx")) << "a name that only contains a preview's is another window";
    EXPECT_TRUE(manager.CanSkinClass("tpreviewform")) << "class names as registered";
    EXPECT_TRUE(manager.CanSkinClass("TForm"));
    skin.SetOptions(skin.Options() | SkinOptionBit(xoPreview));
    EXPECT_TRUE(manager.CanSkinClass("TPreviewForm"));
    // The program's own handler has the last word.
    skin.OnFormSkin = [](TObject*, const std::string& name, bool& doSkin) { doSkin = name != "TPreviewForm"; };
    EXPECT_FALSE(manager.CanSkinClass("TPreviewForm"));
    EXPECT_TRUE(manager.CanSkinClass("TForm"));
    manager.RemoveSkinData(&skin);
}

namespace {

INT_PTR CALLBACK PlainDialog(HWND, UINT message, WPARAM, LPARAM) { return message == WM_INITDIALOG; }

// A modeless system dialog of 100 x 40 dialog units with the given title.
HWND MakeDialog(const std::wstring& title) {
    std::vector<WORD> t(sizeof(DLGTEMPLATE) / 2 + 3 + title.size() + 1, 0);
    auto* d = reinterpret_cast<DLGTEMPLATE*>(t.data());
    d->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    d->cx = 100;
    d->cy = 40;
    WORD* p = t.data() + sizeof(DLGTEMPLATE) / 2 + 2;  // no menu, default class
    std::copy(title.begin(), title.end(), p);
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), d, nullptr, &PlainDialog, 0);
}

}  // namespace

TEST(FormSkinner, ADialogGrowsToShowItsTitleButNeverPastTheScreen) {
    TSkinnedForm f;  // its skin data skins system dialogs too
    auto skinnedWidth = [&f](const std::wstring& title) {
        HWND dialog = MakeDialog(title);
        ShowWindow(dialog, SW_SHOW);
        PumpUntil([&] { return f.manager.FindSkinForm(dialog) && f.manager.FindSkinForm(dialog)->Started(); });
        const bool skinned = f.manager.FindSkinForm(dialog) != nullptr;
        RECT r{};
        GetWindowRect(dialog, &r);
        DestroyWindow(dialog);
        return skinned ? Width(r) : -1;
    };
    const int shortTitle = skinnedWidth(L"Uyarı");
    ASSERT_GT(shortTitle, 0);
    const int longer = skinnedWidth(L"Kurulum dosyası indirilemedi, lütfen bağlantınızı denetleyiniz");
    EXPECT_GT(longer, shortTitle) << "widened to show its title";
    EXPECT_LE(skinnedWidth(std::wstring(3000, L'W')), GetSystemMetrics(SM_CXSCREEN)) << "within the work area";
}

TEST(FormSkinner, AChangeOfScaleRemakesTheTitleFontAndIconAtTheNewDpiAndLeavesNothingBehind) {
    TSkinnedForm f;
    ASSERT_TRUE(f.Show());
    TFramePainter& frame = f.Skinner()->FramePainter();
    auto titleHeight = [&frame] {
        LOGFONTW font{};
        return GetObjectW(frame.CaptionFont(), sizeof font, &font) ? std::abs(font.lfHeight) : 0;
    };
    const int dpi = frame.Dpi();
    const int title = titleHeight(), icon = frame.LoadWindowIcon().Width();
    ASSERT_GT(title, 0);
    ASSERT_GT(icon, 0);
    auto announce = [&f](int to, int from) {
        const RECT r = f.Window();
        const RECT suggested{r.left, r.top, r.left + Width(r) * to / from, r.top + Height(r) * to / from};
        SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(to, to), reinterpret_cast<LPARAM>(&suggested));
    };
    long gdi = 0;
    for (int round = 0; round < 2; ++round) {
        announce(2 * dpi, dpi);
        EXPECT_EQ(frame.Dpi(), 2 * dpi) << round;
        EXPECT_NEAR(titleHeight(), 2 * title, 1) << round;
        EXPECT_EQ(frame.LoadWindowIcon().Width(), 2 * icon) << round;
        announce(dpi, 2 * dpi);
        EXPECT_EQ(titleHeight(), title) << round;
        // The first round leaves the skin's pictures at the new scale, kept for the next time;
        // the second makes nothing new and deletes every font it replaced.
        if (round == 0) gdi = GdiLiveObjects();
    }
    EXPECT_EQ(GdiLiveObjects(), gdi);
}

// Says how large the window is whenever it is resized: a form that keeps its own size.
struct TSizeHolder : TMessageHook {
    SIZE Size{};
    void HookMessage(TMessage& m, const TMessageNext& next) override {
        next(m);
        if (m.Msg != WM_WINDOWPOSCHANGING || !m.LParam) return;
        auto* pos = reinterpret_cast<WINDOWPOS*>(m.LParam);
        if (Size.cx > 0 && !(pos->flags & SWP_NOSIZE)) {
            pos->cx = Size.cx;
            pos->cy = Size.cy;
        }
    }
};

// The start gives the window the region of the size the skin asks for before the window takes
// it; a window that keeps another size must still end up with the region of the size it has.
TEST(FormSkinner, AWindowThatKeepsItsOwnSizeAtTheStartGetsTheRegionOfThatSize) {
    for (const SIZE held : {SIZE{0, 0}, SIZE{411, 233}}) {
        TSkinnedForm f;
        TSizeHolder holder;
        holder.Size = held;
        f.form->AddMessageHook(&holder);  // under the skinner: it hears what the skinner passes on
        ASSERT_TRUE(f.Show());
        const RECT w = f.Window();
        const int width = Width(w), height = Height(w);
        EXPECT_EQ(width, held.cx ? held.cx : 308);
        EXPECT_EQ(height, held.cy ? held.cy : 224);
        HRGN region = CreateRectRgn(0, 0, 0, 0);
        ASSERT_NE(GetWindowRgn(f.Handle(), region), ERROR) << width;
        EXPECT_FALSE(PtInRegion(region, width - 1, 0)) << width << ": the right corner where the window ends";
        EXPECT_TRUE(PtInRegion(region, width - 3, 0)) << width;
        EXPECT_TRUE(PtInRegion(region, width - 1, height - 1)) << width;
        EXPECT_FALSE(PtInRegion(region, width, height / 2)) << width;
        DeleteObject(region);
        // The frame is painted at the size the window has.
        EXPECT_EQ(f.At(width - 2, height / 2), Ref(kSideActive)) << width;
        EXPECT_EQ(f.At(width / 2, height - 2), Ref(kBottomActive)) << width;
        f.form->RemoveMessageHook(&holder);
    }
}

namespace {

// An icon of one colour, size x size, owned by the test.
struct TColourIcon {
    HICON Handle = nullptr;
    TColourIcon(int size, COLORREF colour) {
        HDC screen = GetDC(nullptr);
        HBITMAP picture = CreateCompatibleBitmap(screen, size, size);
        HDC dc = CreateCompatibleDC(screen);
        HGDIOBJ old = SelectObject(dc, picture);
        HBRUSH brush = CreateSolidBrush(colour);
        const RECT all{0, 0, size, size};
        FillRect(dc, &all, brush);
        DeleteObject(brush);
        SelectObject(dc, old);
        DeleteDC(dc);
        ReleaseDC(nullptr, screen);
        std::vector<std::uint8_t> opaque(static_cast<std::size_t>((size + 15) / 16 * 2) * size, 0);
        HBITMAP mask = CreateBitmap(size, size, 1, 1, opaque.data());
        ICONINFO info{TRUE, 0, 0, mask, picture};
        Handle = CreateIconIndirect(&info);
        DeleteObject(mask);
        DeleteObject(picture);
    }
    ~TColourIcon() { DestroyIcon(Handle); }
};

}  // namespace

// The caption's icon is drawn once for the frame's measure and the start, and again only for
// another icon; an icon of another size than the small one is brought to it.
TEST(FormSkinner, TheWindowIconIsDrawnOnceAndAgainForEachNewIcon) {
    const int small = GetSystemMetrics(SM_CXSMICON);
    TColourIcon red(small, RGB(200, 0, 0)), blue(small, RGB(0, 0, 200)), green(2 * small, RGB(0, 160, 0));
    TSkinnedForm f;
    f.form->HandleNeeded();
    SendMessageW(f.Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(red.Handle));
    ASSERT_TRUE(f.Show());
    TFramePainter& frame = f.Skinner()->FramePainter();
    auto centre = [&frame] {
        TBitmap& icon = frame.LoadWindowIcon();
        return GetPixel(icon.Canvas().Handle(), icon.Width() / 2, icon.Height() / 2);
    };
    EXPECT_EQ(centre(), RGB(200, 0, 0));
    EXPECT_EQ(frame.IconsDrawn(), 1) << "measured at attach, the same icon at the start";
    SendMessageW(f.Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(blue.Handle));
    EXPECT_EQ(centre(), RGB(0, 0, 200));
    SendMessageW(f.Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(green.Handle));
    EXPECT_EQ(centre(), RGB(0, 160, 0));
    EXPECT_EQ(frame.LoadWindowIcon().Width(), small) << "at the small size";
    EXPECT_EQ(frame.IconsDrawn(), 3);
    f.form.reset();  // the window lets go of the icons before they are destroyed
}

// The region placed from the pieces' runs is the one their pictures give when drawn at the
// window's size and read back, pixel for pixel and within the same bound: for the installer's
// skin, for pieces with keyed corners and for checkered pieces (every other pixel keyed, past
// the bound), stretched and tiled, at several sizes and scales.
TEST(FormSkinner, TheRegionPlacedFromThePiecesIsTheOneTheirDrawnPicturesGive) {
    auto checkered = [](int w, int h) {
        return Bmp24(w, h, [](int x, int y) { return (x + y) % 2 ? kSideActive : kKey; });
    };
    auto edited = [](bool stretch) {
        std::string ini = FrameIni();
        const std::string key = stretch ? "Stretch=1\n" : "Stretch=0\n";
        for (const char* side : {"Left", "Right", "Top", "Bottom"}) {
            const std::string frame = std::string(side) + "Frame=2\n";
            ini.replace(ini.find(frame), frame.size(), frame + side + key);
        }
        return ini;
    };
    auto checkeredPieces = [&] {
        auto e = FramePieces();
        e[0].Data = checkered(8, 60);
        e[1].Data = checkered(8, 60);
        e[2].Data = checkered(50, 40);
        e[3].Data = checkered(50, 8);
        return e;
    };
    std::ifstream in("Z:" QX_SKIN_FILE, std::ios::binary);
    const std::vector<std::uint8_t> installer((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(installer.empty());
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> skins{
        {"installer's skin", qxtest::Sized(installer)},
        {"keyed corners, tiled", qxtest::SkinRecord(edited(false), FramePieces())},
        {"checkered, stretched", qxtest::SkinRecord(edited(true), checkeredPieces())},
        {"checkered, tiled", qxtest::SkinRecord(edited(false), checkeredPieces())},
    };
    for (const auto& [name, record] : skins) {
        TSkinnedForm f(record, true);
        ASSERT_TRUE(f.Show()) << name;
        TSkinForm& s = *f.Skinner();
        for (int dpi : {96, 144, 192}) {
            const RECT r = f.Window();
            const RECT suggested{r.left, r.top, r.left + Width(r), r.top + Height(r)};
            SendMessageW(f.Handle(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
            ASSERT_EQ(s.FramePainter().Dpi(), dpi);
            for (const SIZE size : {SIZE{308, 224}, SIZE{411, 233}, SIZE{957, 603}, SIZE{61, 37}}) {
                SetWindowPos(f.Handle(), nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
                const RECT w = f.Window();
                const int width = Width(w), height = Height(w);
                HRGN placed = CreateRectRgn(0, 0, 0, 0);
                ASSERT_NE(GetWindowRgn(f.Handle(), placed), ERROR) << name << " " << dpi;
                // The pieces drawn at this size and read back, as the window once made its region.
                const int bl = s.BorderLeft(), ch = s.CaptionHeight(), br = s.BorderRight(), bb = s.BorderBottom();
                HRGN expected = CreateRectRgn(bl, ch, width - br, height - bb);
                auto piece = [&](TFramePiece index, const RECT& p) {
                    TBitmap scratch;
                    scratch.SetPixelFormat(TPixelFormat::pf24bit);
                    scratch.SetSize(Width(p), Height(p));
                    if (scratch.Empty()) return;
                    s.PaintBorderPiece(index, RECT{0, 0, Width(p), Height(p)}, scratch.Canvas().Handle());
                    TRegionHandle part =
                        BitmapToRegion(scratch, p.left, p.top, 1, 1, 1, SkinKeyColor, kMaxRegionRects / 4);
                    CombineRgn(expected, expected, part.Get(), RGN_OR);
                };
                piece(fpLeft, RECT{0, 0, bl, height});
                piece(fpRight, RECT{width - br, 0, width, height});
                piece(fpBottom, RECT{bl, height - bb, width - br, height});
                piece(fpTop, RECT{bl, 0, width - br, ch});
                if (RegionRectCount(expected) > kMaxRegionRects) SetRectRgn(expected, 0, 0, width, height);
                EXPECT_TRUE(EqualRgn(expected, placed))
                    << name << " at " << dpi << " dpi, " << width << " x " << height << ": "
                    << RegionRectCount(expected) << " rectangles drawn, " << RegionRectCount(placed) << " placed";
                DeleteObject(expected);
                DeleteObject(placed);
            }
        }
        EXPECT_EQ(s.FramePainter().PiecesDrawnForRegion(), 0) << name << ": placed, not drawn";
    }
}
