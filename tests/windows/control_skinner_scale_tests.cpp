// Control skinners in a session whose display is at 192 dpi (200 %): a tab row, a track bar's
// thumb and an edit's border drawn with the skin's pieces twice the size, pixel for pixel.
#include "TestCanvas.h"
#include "TestPictures.h"
#include "TestSupport.h"

#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"
#include "framework/WindowDpi.h"
#include "skin/EditSkinners.h"
#include "skin/SkinData.h"
#include "skin/SkinManager.h"
#include "skin/TabSkinners.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <memory>

using namespace qx;
using qxtest::MakeForm;
using qxtest::Place;
using qxtest::Pump;

namespace {

constexpr int kDpi = 192;

// A colour that names the cell, the column and the row it is at, so that a pixel taken from the
// wrong cell or the wrong place in it shows.
COLORREF Marked(int x, int y, int cellWidth) {
    return RGB(40 * (x / cellWidth) + 20, (x % cellWidth) * 9 + 3, y * 7 + 5);
}

template <class T>
std::unique_ptr<T> Cells(int cells, int cellWidth, int height, TSkinMargins margins) {
    auto o = std::make_unique<T>("cells");
    auto picture = qxtest::Picture(cells * cellWidth, height, [&](int x, int y) { return Marked(x, y, cellWidth); });
    o->Bitmap.Assign(*picture);
    o->Frame = cells;
    o->Margins = margins;
    return o;
}

// The 96-dpi picture's pixel of cell `cell` that the pixel (dx, dy) from a doubled corner shows.
COLORREF Doubled(int cell, int cellWidth, int sx, int sy) { return Marked(cell * cellWidth + sx, sy, cellWidth); }

// Every pixel of the four corners of the nine-slice drawn into r is its 96-dpi pixel doubled.
void ExpectDoubledCorners(const TTestCanvas& painted, const RECT& r, int cell, int cellWidth, int cellHeight,
                          const TSkinMargins& m, const char* what) {
    for (int y = 0; y < 2 * m.Top; ++y)
        for (int x = 0; x < 2 * m.Left; ++x)
            ASSERT_EQ(painted.At(r.left + x, r.top + y), Doubled(cell, cellWidth, x / 2, y / 2))
                << what << ": top-left corner at " << x << "," << y;
    for (int y = 0; y < 2 * m.Bottom; ++y)
        for (int x = 0; x < 2 * m.Right; ++x)
            ASSERT_EQ(painted.At(r.right - 1 - x, r.bottom - 1 - y),
                      Doubled(cell, cellWidth, cellWidth - 1 - x / 2, cellHeight - 1 - y / 2))
                << what << ": bottom-right corner at " << x << "," << y;
}

}  // namespace

TEST(ControlSkinnersAtScale, TabsTrackBarThumbAndEditBorderAreTheSkinsPiecesTwiceTheSize) {
    auto form = MakeForm();
    form->SetClientWidth(420);
    form->SetClientHeight(260);
    ASSERT_EQ(WindowDpi(form->Handle()), kDpi) << "this test runs in the session of system dpi 192 (QX_DPI)";

    auto skin = std::make_unique<TSkinData>(nullptr);
    skin->Colours.ButtonFace = RGB(1, 2, 3);
    skin->Colours.ButtonShadow = RGB(169, 211, 255);
    skin->ScaledPictures().SetBudget(1 << 22);
    const TSkinMargins tabMargins{5, 4, 6, 3};
    skin->Tabs = Cells<TDataSkinBorder>(5, 30, 20, tabMargins);
    const TSkinMargins thumbMargins{3, 4, 3, 4};
    skin->TrackbarThumbHorz = Cells<TDataSkinObject>(5, 10, 16, thumbMargins);

    auto* tabs = Place<TTabControl>(form.get(), 10, 10, 400, 120);
    // The chosen tab, drawn last and wider, overlaps its neighbour: the first is two away.
    tabs->SetTabs({u"One", u"Two", u"Three"});
    tabs->SetTabIndex(2);
    auto* track = Place<TTrackBar>(form.get(), 10, 140, 300, 80);
    auto* edit = Place<TEdit>(form.get(), 10, 225, 200, 30);
    form->Show();
    Pump(50);

    TSkinManager manager;
    auto* t = manager.Own(std::make_unique<TSkinTab>(), TSkinKey{tabs->Handle(), nullptr});
    t->Attach(tabs, nullptr, skin.get(), false, nullptr);
    auto* b = manager.Own(std::make_unique<TSkinTrackBar>(), TSkinKey{track->Handle(), nullptr});
    b->Attach(track, nullptr, skin.get(), false, nullptr);
    auto* e = manager.Own(std::make_unique<TSkinEdit>(), TSkinKey{edit->Handle(), nullptr});
    e->Attach(edit, nullptr, skin.get(), false, nullptr);

    {
        // The tab that is neither chosen nor under the pointer shows the first cell.
        TTestCanvas painted(400, 120, RGB(255, 255, 255));
        t->PaintWindow(painted.Dc());
        RECT r{};
        ASSERT_TRUE(SendMessageW(tabs->Handle(), TCM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)));
        ASSERT_GE(r.right - r.left, 2 * (tabMargins.Left + tabMargins.Right));
        ASSERT_GE(r.bottom - r.top, 2 * (tabMargins.Top + tabMargins.Bottom));
        ASSERT_EQ(t->LastTabFrames().at(0), 1);
        ExpectDoubledCorners(painted, r, 0, 30, 20, tabMargins, "first tab");
    }
    {
        // The thumb is drawn by the platform's custom-draw request, straight onto the window.
        RedrawWindow(track->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        RECT r{};
        SendMessageW(track->Handle(), TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&r));
        ASSERT_GE(r.right - r.left, 2 * (thumbMargins.Left + thumbMargins.Right)) << "thumb " << r.right - r.left;
        ASSERT_GE(r.bottom - r.top, 2 * (thumbMargins.Top + thumbMargins.Bottom)) << "thumb " << r.bottom - r.top;
        TTestCanvas painted(300, 80);
        HDC dc = GetDC(track->Handle());
        BitBlt(painted.Dc(), 0, 0, 300, 80, dc, 0, 0, SRCCOPY);
        ReleaseDC(track->Handle(), dc);
        ExpectDoubledCorners(painted, r, b->LastThumbFrame() - 1, 10, 16, thumbMargins, "thumb");
    }
    {
        // The edit's shadow line is two pixels wide, and no ring reaches into the text.
        TTestCanvas painted(200, 30, RGB(0, 0, 0));
        e->PaintWindow(painted.Dc());
        RECT client{};
        GetClientRect(edit->Handle(), &client);
        const int border = (200 - client.right) / 2;
        ASSERT_GE(border, 2) << "a client edge";
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(painted.At(100, i), RGB(169, 211, 255)) << "shadow, row " << i;
            EXPECT_EQ(painted.At(i, 15), RGB(169, 211, 255)) << "shadow, column " << i;
        }
        for (int i = 2; i < border; ++i) EXPECT_EQ(painted.At(100, i), RGB(255, 255, 255)) << "white ring, row " << i;
        EXPECT_EQ(painted.At(100, border), RGB(0, 0, 0)) << "the client area is the edit's own";
    }
}
