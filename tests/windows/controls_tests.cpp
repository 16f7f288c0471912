// Controls on real windows: message handlers, radio groups, painting, handles and stubs.
#include "TestSupport.h"

#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"

#include <gtest/gtest.h>

#include <memory>

using namespace qx;
using qxtest::MakeForm;
using qxtest::Place;
using qxtest::PumpUntil;

namespace {

struct TRecorder {
    TControl* control;
    TWndMethod previous;
    std::vector<UINT> seen;
    void Handle(TMessage& m) {
        seen.push_back(m.Msg);
        if (m.Msg == 0x3523) {
            m.Result = 1;  // consumed here: the control never sees it
            return;
        }
        previous(m);
    }
    void Install() {
        previous = control->WindowProc;
        control->WindowProc = TWndMethod::Of<TRecorder, &TRecorder::Handle>(this);
    }
    void Remove() {
        if (control->WindowProc == TWndMethod::Of<TRecorder, &TRecorder::Handle>(this)) control->WindowProc = previous;
    }
};

}  // namespace

TEST(Controls, AReplacedMessageHandlerSeesEverythingAndCanBeGivenBack) {
    auto form = MakeForm();
    auto* radio = Place<TRadioButton>(form.get(), 10, 10, 120, 20);
    form->Show();
    TRecorder recorder{radio, {}, {}};
    recorder.Install();
    radio->SetEnabled(false);
    EXPECT_NE(std::find(recorder.seen.begin(), recorder.seen.end(), CM_ENABLEDCHANGED), recorder.seen.end());
    // Messages sent to the window arrive through the replaced handler too.
    EXPECT_EQ(SendMessageW(radio->Handle(), 0x3523, 0, 0), 1);
    EXPECT_FALSE(IsWindowEnabled(radio->Handle()));
    recorder.Remove();
    EXPECT_TRUE(radio->WindowProc == radio->DefaultWindowProc());
    recorder.seen.clear();
    radio->SetEnabled(true);
    EXPECT_TRUE(recorder.seen.empty());
    EXPECT_EQ(SendMessageW(radio->Handle(), 0x3523, 0, 0), 0) << "unskinned windows do not answer";
}

TEST(Controls, RadioButtonsOfOneParentFormAGroup) {
    auto form = MakeForm();
    auto* a = new TRadioButton(form.get());
    auto* b = new TRadioButton(form.get());
    auto* panel = new TPanel(form.get());
    auto* c = new TRadioButton(form.get());
    for (TControl* x : {static_cast<TControl*>(a), static_cast<TControl*>(b), static_cast<TControl*>(panel)})
        x->SetParent(form.get());
    c->SetParent(panel);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    form->Show();
    a->SetChecked(true);
    c->SetChecked(true);
    SendMessageW(b->Handle(), BM_CLICK, 0, 0);  // as a mouse click on it would
    PumpUntil([&] { return b->Checked(); });
    EXPECT_TRUE(b->Checked());
    EXPECT_FALSE(a->Checked());
    EXPECT_EQ(SendMessageW(a->Handle(), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_TRUE(c->Checked()) << "another parent is another group";
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    EXPECT_TRUE(b->Checked()) << "disabling keeps the checked state";
}

TEST(Controls, WindowsAreFoundFromTheirHandleAndFreedCompletely) {
    long stubsBefore = LiveWndStubs();
    long gdiBefore = GdiLiveObjects();
    HWND radioHandle;
    {
        auto form = MakeForm();
        auto* radio = new TRadioButton(form.get());
        radio->SetParent(form.get());
        radio->SetCaption(u"Seçim");
        form->Show();
        radioHandle = radio->Handle();
        EXPECT_EQ(FindControl(radioHandle), radio);
        EXPECT_EQ(FindControl(form->Handle()), form.get());
        wchar_t cls[64];
        GetClassNameW(radioHandle, cls, 64);
        EXPECT_STREQ(cls, L"TRadioButton");
        wchar_t text[64];
        GetWindowTextW(radioHandle, text, 64);
        EXPECT_STREQ(text, L"Seçim");
        EXPECT_GT(LiveWndStubs(), stubsBefore);
        RECT client;
        GetClientRect(form->Handle(), &client);
        EXPECT_EQ(client.right, 300);
        EXPECT_EQ(client.bottom, 200);
    }
    EXPECT_FALSE(IsWindow(radioHandle));
    EXPECT_EQ(LiveWndStubs(), stubsBefore);
    EXPECT_EQ(GdiLiveObjects(), gdiBefore);
}

TEST(Controls, ControlPropertyNameCarriesModuleAndThread) {
    wchar_t expected[64];
    swprintf(expected, 64, L"ControlOfs%.8X%.8X",
             static_cast<unsigned>(reinterpret_cast<UINT_PTR>(GetModuleHandleW(nullptr))),
             static_cast<unsigned>(GetCurrentThreadId()));
    EXPECT_EQ(ControlPropertyName(), expected);
}

TEST(Controls, RepeatedPaintingCreatesNoLastingGdiObjects) {
    auto form = MakeForm();
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetCaption(u"Durum");
    label->Font().SetName(u"Tahoma");
    auto* radio = new TRadioButton(form.get());
    radio->SetParent(form.get());
    radio->SetTop(40);
    form->SetDoubleBuffered(true);
    form->Show();
    for (int i = 0; i < 20; ++i) RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    long settled = GdiLiveObjects();
    for (int i = 0; i < 500; ++i) RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_EQ(GdiLiveObjects(), settled);
}

TEST(Controls, WindowlessControlsPaintClippedToThemselves) {
    auto form = MakeForm();
    form->SetColor(clWhite);
    auto* label = new TLabel(form.get());
    label->SetParent(form.get());
    label->SetAutoSize(false);
    label->SetBounds(20, 30, 40, 10);
    label->SetColor(clRed);
    auto* hidden = new TLabel(form.get());
    hidden->SetParent(form.get());
    hidden->SetAutoSize(false);
    hidden->SetBounds(100, 30, 40, 10);
    hidden->SetColor(clBlue);
    hidden->SetVisible(false);
    TTestCanvas capture(300, 200);
    RECT all{0, 0, 300, 200};
    FillSolidRect(capture.Dc(), all, RGB(1, 2, 3));
    form->PaintControls(capture.Dc());
    EXPECT_EQ(capture.At(20, 30), RGB(255, 0, 0));
    EXPECT_EQ(capture.At(59, 39), RGB(255, 0, 0));
    EXPECT_EQ(capture.At(60, 39), RGB(1, 2, 3)) << "nothing outside the label";
    EXPECT_EQ(capture.At(19, 30), RGB(1, 2, 3));
    EXPECT_EQ(capture.At(110, 35), RGB(1, 2, 3)) << "hidden controls do not paint";
}

TEST(Controls, TopAlignedControlsSpanTheirParent) {
    auto form = MakeForm();
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetHeight(40);
    panel->SetAlign(TAlign::alTop);
    form->Show();
    EXPECT_EQ(panel->Left(), 0);
    EXPECT_EQ(panel->Top(), 0);
    EXPECT_EQ(panel->Width(), 300);
    EXPECT_EQ(panel->Height(), 40);
}

TEST(Controls, AnErrorInAnEventIsReportedAndTheLoopGoesOn) {
    auto form = MakeForm();
    auto* button = new TButton(form.get());
    button->SetParent(form.get());
    button->OnClick = [](TObject*) { throw std::runtime_error("Bağlantı kurulamadı"); };
    form->Show();
    std::vector<std::u16string> errors;
    auto saved = Application->OnException;
    Application->OnException = [&](const std::u16string& text) { errors.push_back(text); };
    PostMessageW(button->Handle(), BM_CLICK, 0, 0);
    PumpUntil([&] { return !errors.empty(); });
    bool later = false;
    PostCall([&] { later = true; });
    PumpUntil([&] { return later; });
    Application->OnException = saved;
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0], u"Bağlantı kurulamadı");
    EXPECT_TRUE(later) << "messages are still dispatched";
}

namespace {
// A control whose picture cannot be drawn: its paint fails half way.
class TBrokenPaint : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    int paints = 0;

protected:
    void Paint() override {
        ++paints;
        Canvas().Brush().SetColor(clRed);
        RECT r{0, 0, 4, 4};
        Canvas().FillRect(r);
        throw std::runtime_error("picture cannot be decoded");
    }
};
}  // namespace

// A failing paint is left out quietly whether the window paints itself or is printed into
// another DC (a parent's background, an animation): an error box per paint would come
// back at every repaint.
TEST(Controls, AFailingPaintIsLeftOutAlsoWhenTheWindowIsPrinted) {
    auto form = MakeForm();
    auto* broken = Place<TBrokenPaint>(form.get(), 0, 0, 40, 20);
    form->Show();
    std::vector<std::u16string> errors;
    auto saved = Application->OnException;
    Application->OnException = [&](const std::u16string& text) { errors.push_back(text); };
    RedrawWindow(broken->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    TTestCanvas capture(40, 20);
    SendMessageW(broken->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(capture.Dc()), PRF_CLIENT | PRF_ERASEBKGND);
    Application->OnException = saved;
    EXPECT_GE(broken->paints, 2);
    EXPECT_TRUE(errors.empty()) << (errors.empty() ? "" : std::string(errors[0].begin(), errors[0].end()));
    EXPECT_EQ(capture.At(1, 1), RGB(255, 0, 0)) << "what was drawn before the failure stays";
}

TEST(Controls, TabMovesTheFocusInTabOrder) {
    auto form = MakeForm();
    auto* first = new TButton(form.get());
    auto* second = new TButton(form.get());
    first->SetParent(form.get());
    second->SetParent(form.get());
    second->SetTop(40);
    second->SetTabOrder(0);
    form->Show();
    std::vector<TWinControl*> order;
    form->GetTabOrderList(order);
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], second);
    second->SetFocus();
    form->SelectNext(second, true);
    EXPECT_TRUE(first->Focused());
    form->SelectNext(first, true);
    EXPECT_TRUE(second->Focused()) << "wraps around";
}

namespace {
struct TRawWindowSpy {
    HWND window = nullptr;
    WNDPROC previous = nullptr;
    std::vector<UINT> seen;
    static LRESULT CALLBACK Entry(void* self, UINT message, WPARAM w, LPARAM l) {
        auto* t = static_cast<TRawWindowSpy*>(self);
        t->seen.push_back(message);
        return CallWindowProcW(t->previous, t->window, message, w, l);
    }
};
}  // namespace

// The form keeps its active control to give it the focus back on activation; a control
// that is destroyed must not stay there, whether it sat on the form or inside a panel
// that went before it.
TEST(Controls, AFormForgetsItsActiveControlWhenTheControlIsDestroyed) {
    auto form = MakeForm();
    auto* first = new TButton(form.get());
    first->SetParent(form.get());
    auto* panel = new TPanel(form.get());
    panel->SetParent(form.get());
    panel->SetTop(50);
    auto* inner = new TButton(form.get());
    inner->SetParent(panel);
    form->Show();

    form->SetActiveControl(first);
    ASSERT_EQ(form->ActiveControl(), first);
    delete first;
    EXPECT_EQ(form->ActiveControl(), nullptr);

    form->SetActiveControl(inner);
    ASSERT_EQ(form->ActiveControl(), inner);
    delete panel;  // the button is left without a parent, still alive
    EXPECT_EQ(inner->Parent(), nullptr);
    delete inner;
    EXPECT_EQ(form->ActiveControl(), nullptr);

    // Activation again finds nothing freed to focus.
    SendMessageW(form->Handle(), WM_ACTIVATE, WA_ACTIVE, 0);
    SendMessageW(form->Handle(), WM_SETFOCUS, 0, 0);
}

TEST(WndStub, TakesOverARawWindowAndGivesItBack) {
    long before = LiveWndStubs();
    HWND raw = CreateWindowExW(0, L"STATIC", L"ham", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(raw);
    TRawWindowSpy target;
    target.window = raw;
    {
        TWndStub stub(&target, &TRawWindowSpy::Entry);
        target.previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(raw, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(stub.Proc())));
        SendMessageW(raw, WM_USER + 7, 1, 2);
        wchar_t text[16];
        GetWindowTextW(raw, text, 16);  // passed on to the static control's own procedure
        EXPECT_STREQ(text, L"ham");
        EXPECT_EQ(SetWindowLongPtrW(raw, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(target.previous)),
                  reinterpret_cast<LONG_PTR>(stub.Proc()));
        EXPECT_EQ(LiveWndStubs(), before + 1);
    }
    EXPECT_EQ(LiveWndStubs(), before);
    EXPECT_NE(std::find(target.seen.begin(), target.seen.end(), WM_USER + 7), target.seen.end());
    target.seen.clear();
    SendMessageW(raw, WM_USER + 7, 0, 0);
    EXPECT_TRUE(target.seen.empty()) << "nothing reaches the object once the window is given back";
    DestroyWindow(raw);
}

TEST(Graphics, BitmapsKeepTheirFormatSizeAndPixels) {
    long before = GdiLiveObjects();
    {
        TBitmap bitmap;
        bitmap.SetPixelFormat(TPixelFormat::pf24bit);
        bitmap.SetSize(7, 3);
        EXPECT_EQ(bitmap.Stride(), 24);  // rows are padded to four bytes
        bitmap.Canvas().Brush().SetColor(clRed);
        RECT r{0, 0, 7, 3};
        bitmap.Canvas().FillRect(r);
        bitmap.Canvas().SetPixel(6, 2, clBlue);
        TBitmap copy;
        copy.Assign(bitmap);
        EXPECT_EQ(copy.Width(), 7);
        EXPECT_EQ(copy.PixelFormat(), TPixelFormat::pf24bit);
        EXPECT_EQ(copy.Canvas().Pixel(0, 0), RGB(255, 0, 0));
        EXPECT_EQ(copy.Canvas().Pixel(6, 2), RGB(0, 0, 255));
        std::uint8_t* row = copy.ScanLine(2);
        EXPECT_EQ(row[6 * 3 + 0], 255);  // blue byte first
        // Drawing a bitmap whose own canvas is in use reads from that canvas.
        TBitmap target;
        target.SetSize(7, 3);
        target.Canvas().Draw(0, 0, bitmap);
        EXPECT_EQ(target.Canvas().Pixel(6, 2), RGB(0, 0, 255));
        EXPECT_EQ(target.Canvas().Pixel(1, 1), RGB(255, 0, 0));
        bitmap.SetSize(3, 3);  // keeps the top-left part
        EXPECT_EQ(bitmap.Canvas().Pixel(2, 2), RGB(255, 0, 0));
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}

// A canvas's font, brush and pen are re-created after a change; the one the DC still holds
// must be put back to the DC's own before it is deleted, or GDI is asked to delete a
// selected object (Wine defers that silently, Windows leaves it undefined).
TEST(Graphics, ACanvasLetsGoOfAnObjectBeforeAChangeDeletesIt) {
    TTestCanvas target(20, 20);
    HDC dc = target.Dc();
    const HGDIOBJ ownFont = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ ownBrush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ ownPen = GetCurrentObject(dc, OBJ_PEN);
    long before = GdiLiveObjects();
    {
        TCanvas canvas;
        canvas.SetHandle(dc);
        canvas.Brush().SetColor(clRed);
        canvas.Rectangle(0, 0, 8, 8);
        canvas.TextOut(0, 10, u"Kur");
        const HGDIOBJ usedFont = GetCurrentObject(dc, OBJ_FONT);
        const HGDIOBJ usedBrush = GetCurrentObject(dc, OBJ_BRUSH);
        const HGDIOBJ usedPen = GetCurrentObject(dc, OBJ_PEN);
        ASSERT_NE(usedFont, ownFont);
        ASSERT_NE(usedBrush, ownBrush);
        ASSERT_NE(usedPen, ownPen);

        canvas.Brush().SetStyle(TBrushStyle::bsClear);  // as a label does between fill and text
        canvas.Font().SetStyle(fsBold);
        canvas.Pen().SetWidth(3);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), ownFont);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), ownPen);
        EXPECT_EQ(GetObjectType(usedBrush), 0u) << "the replaced brush is really gone";
        EXPECT_EQ(GetObjectType(usedFont), 0u);
        EXPECT_EQ(GetObjectType(usedPen), 0u);

        // The canvas goes on drawing with the new objects.
        canvas.Brush().SetStyle(TBrushStyle::bsSolid);
        canvas.Brush().SetColor(clBlue);
        RECT r{10, 0, 14, 4};
        canvas.FillRect(r);
        EXPECT_EQ(target.At(11, 1), RGB(0, 0, 255));
        canvas.SetHandle(nullptr);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), ownBrush);
    }
    EXPECT_EQ(GdiLiveObjects(), before);
}

TEST(Timer, FiresWhileEnabled) {
    TTimer timer(nullptr);
    timer.SetInterval(20);
    int ticks = 0;
    timer.OnTimer = [&](TObject*) {
        if (++ticks == 3) timer.SetEnabled(false);
    };
    PumpUntil([&] { return ticks >= 3; });
    qxtest::Pump(100);
    EXPECT_EQ(ticks, 3);
}
