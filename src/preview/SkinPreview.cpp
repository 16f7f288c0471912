// Skin Preview: a window holding one sample of every control kind the skin engine knows, in
// its interesting states, drawn with the installer's own skin or a skin file named on the
// command line. The skin engine skins it as it skins any window: through the skin data
// component, the skin manager and the control dispatch; a button switches skinning off and on.
// Usage: SkinPreview [--report FILE [--stay] | --bench FILE] [SKINFILE] (--report: see PreviewReport.h).
#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/Buttons.h"
#include "framework/ComCtrls.h"
#include "framework/EditCtrls.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/GroupCtrls.h"
#include "framework/MPlayer.h"
#include "framework/Register.h"
#include "framework/StdCtrls.h"
#include "framework/TabCtrls.h"
#include "PreviewMenus.h"
#include "PreviewReport.h"
#include "skin/CaptionPainter.h"
#include "skin/ControlSkinnerFamilies.h"
#include "skin/SkinData.h"
#include "skin/SkinForm.h"
#include "skin/SkinManager.h"
#include "skin/SkinRegister.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace qx;

namespace {

// Answers a count for the tests (wParam: 0 live GDI objects, 1 live window stubs, 2 skinners,
// 3 message hooks on the window and its controls).
constexpr UINT WM_PREVIEWCOUNT = WM_APP + 0x51;

// The installer's skin, packed into the program as a resource.
std::vector<std::uint8_t> EmbeddedSkinRecord() {
    HRSRC found = FindResourceW(nullptr, L"QXSKIN", MAKEINTRESOURCEW(10));
    if (!found) return {};
    HGLOBAL loaded = LoadResource(nullptr, found);
    const DWORD size = SizeofResource(nullptr, found);
    const auto* bytes = static_cast<const std::uint8_t*>(LockResource(loaded));
    if (!bytes || size == 0) return {};
    std::vector<std::uint8_t> record(4 + size);
    for (int i = 0; i < 4; ++i) record[i] = static_cast<std::uint8_t>(size >> (8 * i));
    std::copy(bytes, bytes + size, record.begin() + 4);
    return record;
}

class TPreviewForm : public TForm {
public:
    explicit TPreviewForm(TComponent* owner) : TForm(owner) {}

    void Build(TSkinData* skin) {
        skin_ = skin;
        SetCaption(u"Skin Preview");
        SetClientWidth(990);
        SetClientHeight(650);
        SetLeft(4);
        SetTop(4);
        HandleNeeded();

        // Radio buttons: unchecked, checked, disabled unchecked, disabled checked. Each sits on
        // its own panel so that checking one does not uncheck the others.
        const char16_t* radioNames[] = {u"Radio", u"Radio checked", u"Radio disabled", u"Radio disabled checked"};
        for (int i = 0; i < 4; ++i) {
            auto* holder = new TPanel(this);
            holder->SetParent(this);
            holder->SetBounds(10, 10 + i * 26, 170, 24);
            holder->SetBevelOuter(TBevelCut::bvNone);
            auto* r = new TRadioButton(this);
            r->SetParent(holder);
            r->SetBounds(2, 2, 166, 20);
            r->SetCaption(radioNames[i]);
            r->SetChecked(i % 2 == 1);
            r->SetEnabled(i < 2);
        }
        // Check boxes: unchecked, checked, indeterminate, enabled and disabled.
        const char16_t* checkNames[] = {u"Check", u"Check checked", u"Check indeterminate"};
        for (int i = 0; i < 6; ++i) {
            auto* c = new TCheckBox(this);
            c->SetParent(this);
            c->SetBounds(190 + (i / 3) * 180, 10 + (i % 3) * 26, 175, 20);
            c->SetAllowGrayed(true);
            c->SetCaption(checkNames[i % 3] + std::u16string(i >= 3 ? u" (disabled)" : u""));
            c->SetState(static_cast<TCheckBoxState>(i % 3));
            c->SetEnabled(i < 3);
        }
        // Push, bit, speed and menu buttons: normal, disabled, default.
        const char16_t* states[] = {u"Normal", u"Disabled", u"Default"};
        for (int i = 0; i < 3; ++i) {
            auto* b = new TButton(this);
            b->SetParent(this);
            b->SetBounds(10, 130 + i * 32, 110, 26);
            b->SetCaption(states[i]);
            b->SetEnabled(i != 1);
            b->SetDefault(i == 2);

            auto* bb = new TBitBtn(this);
            bb->SetParent(this);
            bb->SetBounds(130, 130 + i * 32, 120, 26);
            bb->SetCaption(std::u16string(u"Bit ") + states[i]);
            bb->SetEnabled(i != 1);
            bb->SetDefault(i == 2);
            MakeGlyph(*bb->Glyph());
            bb->SetNumGlyphs(1);

            auto* sb = new TSpeedButton(this);
            sb->SetParent(this);
            sb->SetBounds(260, 130 + i * 32, 110, 26);
            sb->SetCaption(std::u16string(u"Speed ") + states[i]);
            sb->SetEnabled(i != 1);
            sb->SetDown(i == 2);

            auto* mb = new TMenuButton(this);
            mb->SetParent(this);
            mb->SetBounds(380, 130 + i * 32, 120, 26);
            mb->SetCaption(std::u16string(u"Menu ") + states[i]);
            mb->SetEnabled(i != 1);
            mb->SetDefault(i == 2);
        }
        // Skinning off and on again, as often as one likes.
        toggle_ = new TButton(this);
        toggle_->SetParent(this);
        toggle_->SetBounds(520, 96, 110, 26);
        toggle_->SetCaption(u"Skin off");
        toggle_->OnClick = [this](TObject*) {
            const bool on = !skin_->Active();
            skin_->SetActive(on);
            toggle_->SetCaption(skin_->Active() ? u"Skin off" : u"Skin on");
        };

        // Every other kind, as the framework's own controls so that the dispatch reaches them.
        auto* panel = Place<TPanel>(this, 520, 130, 230, 90);
        panel->SetCaption(u"Panel");
        BuildSurfaces();
        BuildInputs();
        BuildLists();
        BuildTabs();

        // A menu bar, a context menu on a right click and the MDI demo; the items without other
        // work say so in the status bar.
        preview::BuildPreviewMenus(
            *this,
            [this](const std::u16string& text) {
                for (TControl* c : Controls())
                    if (auto* bar = dynamic_cast<TStatusBar*>(c)) bar->SetPanelText(0, text);
            },
            [this] { ShowSkinWarnings(); });
    }

    // The toggle offers what clicking it does: a skin that could not be used leaves it "Skin on".
    void ShowSkinState() { toggle_->SetCaption(skin_->Active() ? u"Skin off" : u"Skin on"); }

    // What the skin engine refused, left out or clamped of the skin shown, in the words of the
    // loading message, one a paragraph.
    void ShowSkinWarnings() {
        const std::vector<std::string>& warnings = skin_->Verdict().Warnings;
        std::string text = warnings.empty() ? "The skin has no warnings: every part of it is used." : "";
        for (const std::string& w : warnings) text += (text.empty() ? "" : "\r\r") + w;
        Application->MessageBox(Utf8ToUtf16(text), u"Skin warnings", MB_OK | (warnings.empty() ? MB_ICONINFORMATION : MB_ICONWARNING));
    }

protected:
    // A window class of its own: the skin engine knows it as a preview window, skinned while
    // the skin data's xoPreview option says so.
    void CreateParams(TCreateParams& params) override {
        TForm::CreateParams(params);
        params.WinClassName = u"TPreviewForm";
    }

    void WndProc(TMessage& m) override {
        if (m.Msg == WM_PREVIEWCOUNT) {
            m.Result = Count(static_cast<int>(m.WParam));
            return;
        }
        TForm::WndProc(m);
    }

private:
    template <class T>
    T* Place(TWinControl* parent, int x, int y, int w, int h) {
        auto* c = new T(this);
        c->SetParent(parent);
        c->SetBounds(x, y, w, h);
        return c;
    }

    // What the end-to-end tests and the soak read from outside: live GDI objects, live window
    // stubs, skinners, and message hooks on the controls.
    LRESULT Count(int what) {
        switch (what) {
            case 0: return GdiLiveObjects();
            case 1: return LiveWndStubs();
            case 2: return SkinManager() ? static_cast<LRESULT>(SkinManager()->SkinnerCount()) : 0;
            case 3: {
                std::size_t hooks = MessageHookCount();
                std::vector<TControl*> all;
                Collect(this, all);
                for (TControl* c : all) hooks += c->MessageHookCount();
                return static_cast<LRESULT>(hooks);
            }
            default: return -1;
        }
    }

    static void Collect(TWinControl* parent, std::vector<TControl*>& out) {
        for (TControl* c : parent->Controls()) {
            out.push_back(c);
            if (auto* w = dynamic_cast<TWinControl*>(c)) Collect(w, out);
        }
    }

    // Group boxes, a radio group, the media player, glyph toggles, progress bars.
    void BuildSurfaces() {
        auto* group = Place<TGroupBox>(this, 770, 8, 210, 66);
        group->SetCaption(u"Group box");
        auto* inside = new TLabel(this);
        inside->SetParent(group);
        inside->SetBounds(12, 24, 180, 17);
        inside->SetCaption(u"A label inside");
        auto* radios = Place<TRadioGroup>(this, 770, 78, 210, 70);
        radios->SetCaption(u"Radio group");
        radios->SetColumns(2);
        radios->SetItems({u"First", u"Second", u"Third"});
        radios->SetItemIndex(1);
        const char16_t* glyphNames[] = {u"Glyph check", u"Glyph check on", u"Glyph radio", u"Glyph radio on"};
        for (int i = 0; i < 4; ++i) {
            TGlyphToggle* g = i < 2 ? static_cast<TGlyphToggle*>(Place<TGlyphCheckBox>(this, 770 + (i % 2) * 105, 152, 100, 20))
                                    : static_cast<TGlyphToggle*>(Place<TGlyphRadioButton>(this, 770 + (i % 2) * 105, 174, 100, 20));
            g->SetCaption(glyphNames[i]);
            g->SetChecked(i % 2 == 1);
        }
        // Four of the nine buttons; one of them disabled, one coloured.
        auto* player = Place<TMediaPlayer>(this, 770, 200, 210, 30);
        player->SetVisibleButtons(1u << btPlay | 1u << btPause | 1u << btStop | 1u << btEject);
        player->SetEnabledButtons(1u << btPlay | 1u << btStop | 1u << btEject);
        player->SetColoredButtons(1u << btPlay);
        // Progress: part way, empty, and upright at a quarter.
        auto* bar = Place<TProgressBar>(this, 170, 356, 180, 18);
        bar->SetPosition(60);
        Place<TProgressBar>(this, 170, 380, 180, 18);
        auto* upright = Place<TProgressBar>(this, 360, 356, 18, 100);
        upright->SetOrientation(TProgressBarOrientation::pbVertical);
        upright->SetPosition(25);
        auto* status = new TStatusBar(this);
        status->SetParent(this);
        status->SetPanels({{u"Ready", 160}, {u"Centred", 160, TAlignment::taCenter, TStatusPanelBevel::pbRaised},
                           {u"Drawn by the program", 200, TAlignment::taLeftJustify, TStatusPanelBevel::pbLowered,
                            TStatusPanelStyle::psOwnerDraw},
                           {u"Last", 100}});
        status->OnDrawPanel = [](TStatusBar*, int, HDC dc, const RECT& rect) {
            RECT r = rect;
            const int mode = SetBkMode(dc, TRANSPARENT);
            DrawTextW(dc, L"Owner drawn", -1, &r, DT_SINGLELINE | DT_VCENTER);
            SetBkMode(dc, mode);
        };
    }

    // Edits, memos scrolled to both ends, combo boxes, a spin button, a track bar, scroll bars.
    void BuildInputs() {
        auto* edit = Place<TEdit>(this, 10, 236, 150, 22);
        edit->SetCaption(u"Edit");
        auto* disabled = Place<TEdit>(this, 10, 264, 150, 22);
        disabled->SetCaption(u"Edit disabled");
        disabled->SetEnabled(false);
        auto* flat = Place<TEdit>(this, 10, 292, 150, 22);
        flat->SetBorderStyle(TBorderStyle::bsNone);
        flat->SetCaption(u"Edit without border");
        std::vector<std::u16string> lines;
        for (int i = 1; i <= 30; ++i) {
            const std::string n = std::to_string(i);
            lines.push_back(u"Memo line " + std::u16string(n.begin(), n.end()) +
                            u" with enough words to pass the right edge");
        }
        auto* memo = Place<TMemo>(this, 170, 236, 180, 110);
        memo->SetScrollBars(TScrollStyle::ssBoth);
        memo->SetWordWrap(false);
        memo->SetLines(lines);
        auto* end = Place<TMemo>(this, 360, 236, 120, 110);
        end->SetScrollBars(TScrollStyle::ssVertical);
        end->SetLines(lines);
        SendMessageW(end->Handle(), WM_VSCROLL, SB_BOTTOM, 0);
        const std::vector<std::u16string> products{u"Drivano", u"Muhasebe", u"Stok", u"Bordro"};
        auto* list = Place<TComboBox>(this, 10, 356, 150, 22);
        list->SetStyle(TComboBoxStyle::csDropDownList);
        list->SetItems(products);
        list->SetItemIndex(0);
        auto* off = Place<TComboBox>(this, 10, 384, 150, 22);
        off->SetStyle(TComboBoxStyle::csDropDownList);
        off->SetItems(products);
        off->SetItemIndex(1);
        off->SetEnabled(false);
        auto* typed = Place<TComboBox>(this, 10, 412, 150, 22);
        typed->SetItems(products);
        typed->SetItemIndex(2);
        auto* buddy = Place<TEdit>(this, 580, 356, 60, 22);
        buddy->SetCaption(u"5");
        auto* spin = Place<TUpDown>(this, 640, 356, 17, 22);
        spin->SetMax(10);
        spin->SetAssociate(buddy);
        spin->SetPosition(5);
        auto* across = Place<TUpDown>(this, 670, 356, 34, 20);
        across->SetOrientation(TUDOrientation::udHorizontal);
        auto* track = Place<TTrackBar>(this, 390, 352, 180, 32);
        track->SetPosition(3);
        auto* trackOff = Place<TTrackBar>(this, 390, 388, 180, 32);
        trackOff->SetPosition(7);
        trackOff->SetEnabled(false);
        auto* scroll = Place<TScrollBar>(this, 580, 392, 190, 17);
        scroll->SetPageSize(10);
        scroll->SetLargeChange(10);
        scroll->SetPosition(30);
        auto* upright = Place<TScrollBar>(this, 740, 236, 17, 110);
        upright->SetKind(TScrollBarKind::sbVertical);
        upright->SetBounds(740, 236, 17, 110);
        upright->SetPageSize(20);
        upright->SetLargeChange(20);
    }

    // A report list view with its header, a header control, a scroll box.
    void BuildLists() {
        auto* list = Place<TListView>(this, 490, 236, 240, 110);
        list->SetColumnRows({u"Product|120", u"Size|90", u"Version|90"});
        std::vector<std::u16string> rows;
        for (int i = 1; i <= 20; ++i) {
            const std::string n = std::to_string(i);
            const std::u16string k(n.begin(), n.end());
            rows.push_back(u"Product " + k + u"|" + k + u"0 MB|1." + k);
        }
        list->SetItemRows(rows);
        list->SetItemIndex(1);
        auto* header = Place<THeaderControl>(this, 770, 496, 210, 22);
        header->SetSectionRows({u"Name|90", u"Size|60", u"Date|60"});
        auto* box = Place<TScrollBox>(this, 770, 524, 210, 90);
        auto* content = new TPanel(this);
        content->SetParent(box);
        content->SetBounds(0, 0, 320, 160);
        content->SetCaption(u"Scrolled contents");
        box->UpdateScrollRange();
    }

    // Tab control, page control, advanced page control, tab set.
    void BuildTabs() {
        auto* tabs = Place<TTabControl>(this, 10, 466, 240, 90);
        tabs->SetTabs({u"General", u"Details", u"Notes"});
        tabs->SetTabIndex(1);
        auto* pages = Place<TPageControl>(this, 260, 466, 240, 90);
        for (const char16_t* name : {u"Page one", u"Page two"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetCaption(name);
            sheet->SetParent(pages);
            auto* label = new TLabel(this);
            label->SetParent(sheet);
            label->SetBounds(8, 8, 150, 17);
            label->SetCaption(std::u16string(u"On ") + name);
        }
        auto* advanced = Place<TPageControlEx>(this, 510, 466, 240, 90);
        for (const char16_t* name : {u"Advanced", u"Other"}) {
            auto* sheet = new TTabSheet(this);
            sheet->SetCaption(name);
            sheet->SetParent(advanced);
        }
        auto* set = Place<TTabSet>(this, 770, 466, 210, 24);
        set->SetTabs({u"One", u"Two", u"Three"});
        set->SetTabIndex(0);
    }

    static void MakeGlyph(TBitmap& glyph) {
        // A 16 x 16 arrow on a magenta ground (the bottom-left pixel is the transparent one).
        std::vector<std::uint32_t> px(16 * 16, 0xFF00FF);
        for (int y = 3; y < 13; ++y)
            for (int x = 3; x < 3 + (y < 8 ? y - 2 : 13 - y) * 2 && x < 13; ++x) px[y * 16 + x] = 0x2060C0;
        glyph.SetPixels32(16, 16, px);
    }

    TSkinData* skin_ = nullptr;
    TButton* toggle_ = nullptr;
};

double Milliseconds() {
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Paints the whole window and every control at once.
// Each timed step's total and count within the bench's phase of the moment ("skin", "unskin",
// "repaint skinned"...), in the order the steps were first met.
struct TStepTable {
    struct TRow {
        std::string Name;
        double Total = 0;
        int Count = 0;
    };
    static inline std::vector<TRow> Rows;
    static inline std::vector<double> Open;
    static inline const char* Phase = "";

    static void Hear(const char* step, bool begins) {
        if (begins) {
            Open.push_back(Milliseconds());
            return;
        }
        if (Open.empty()) return;
        const double took = Milliseconds() - Open.back();
        Open.pop_back();
        const std::string name = std::string(Phase) + ": " + step;
        for (TRow& row : Rows)
            if (row.Name == name) {
                row.Total += took;
                ++row.Count;
                return;
            }
        Rows.push_back(TRow{name, took, 1});
    }

    // One line per step: milliseconds and count per round, and the mean of one.
    static std::string Report(int rounds) {
        std::string out;
        char line[256];
        for (const TRow& row : Rows) {
            std::snprintf(line, sizeof line, "  %-52s %9.2f ms %7.1f x %8.3f ms\n", row.Name.c_str(),
                          row.Total / rounds, static_cast<double>(row.Count) / rounds, row.Total / row.Count);
            out += line;
        }
        return out;
    }
};

void RepaintAll(TCustomForm& form) {
    RedrawWindow(form.Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Paints what the window and its controls still have to paint, and nothing else: a skin change
// is waited for until its own paint is on screen, not for a second forced one after it.
void PaintPending(TCustomForm& form) {
    RedrawWindow(form.Handle(), nullptr, nullptr, RDW_ALLCHILDREN | RDW_UPDATENOW);
}

// Times, in the same run: skinning the whole window (from the start command to the last control
// painted: the paint the change asks for, no forced one after it), unskinning it (likewise), and
// one full repaint skinned and unskinned. Each is the median of several rounds.
void RunBench(TCustomForm& form, TSkinData& skin, const std::wstring& file) {
    TSkinManager& manager = *SkinManager();
    // QX_BENCH_DETAIL=1: each step's share of the time, per round, after the medians.
    const bool detail = _wgetenv(L"QX_BENCH_DETAIL") != nullptr;
    if (detail) ListenToTimedSteps(&TStepTable::Hear);
    std::vector<double> skinTimes, unskinTimes, skinnedPaint, plainPaint;
    const int rounds = 9;
    for (int round = 0; round < rounds; ++round) {
        TStepTable::Phase = "repaint skinned";
        for (int i = 0; i < 3; ++i) {
            const double t = Milliseconds();
            RepaintAll(form);
            skinnedPaint.push_back(Milliseconds() - t);
        }
        TStepTable::Phase = "unskin";
        double t = Milliseconds();
        skin.SetActive(false);
        {
            TTimedStep step("stop command");
            manager.ExecuteCommand();
        }
        {
            TTimedStep step("pending paint");
            PaintPending(form);
        }
        unskinTimes.push_back(Milliseconds() - t);
        TStepTable::Phase = "repaint unskinned";
        for (int i = 0; i < 3; ++i) {
            const double p = Milliseconds();
            RepaintAll(form);
            plainPaint.push_back(Milliseconds() - p);
        }
        TStepTable::Phase = "skin";
        t = Milliseconds();
        skin.SetActive(true);
        {
            TTimedStep step("start command");
            manager.ExecuteCommand();
        }
        {
            // The start itself comes as a posted message to the window.
            TTimedStep step("messages up to the start");
            for (int spins = 0; spins < 1000; ++spins) {
                TSkinForm* skinned = manager.FindSkinForm(form.Handle());
                if (skinned && skinned->Started()) break;
                Application->ProcessMessages();
            }
        }
        {
            TTimedStep step("pending paint");
            PaintPending(form);
        }
        skinTimes.push_back(Milliseconds() - t);
    }
    ListenToTimedSteps(nullptr);
    auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v[v.size() / 2];
    };
    char text[512];
    std::snprintf(text, sizeof text,
                  "skin the whole window: %.1f ms\nunskin it: %.1f ms\nfull repaint skinned: %.1f ms\n"
                  "full repaint unskinned: %.1f ms\n(medians of %zu rounds; %zu skinners)\n",
                  median(skinTimes), median(unskinTimes), median(skinnedPaint), median(plainPaint), skinTimes.size(),
                  manager.SkinnerCount());
    std::string report = text;
    if (detail) {
        // The repaint phases ran three times a round.
        report += "each step per round (ms per round, calls per round, ms per call; repaints: 3 a round):\n";
        report += TStepTable::Report(rounds);
    }
    if (FILE* out = _wfopen(file.c_str(), L"w")) {
        std::fputs(report.c_str(), out);
        std::fclose(out);
    }
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    TApplication application;
    application.Initialize();
    application.SetTitle(u"Skin Preview");
    RegisterSkinClasses();
    RegisterCommonControlClasses();
    RegisterControlSkinnerFamilies();
    try {
        auto* form = application.CreateForm<TPreviewForm>();
        // The title in the skinned caption, as the installer's window has it.
        (new TSkinCaption(form))->SetActive(true);
        auto* skin = new TSkinData(form);
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::vector<std::wstring> args(argv ? argv + 1 : nullptr, argv ? argv + argc : nullptr);
        if (argv) LocalFree(argv);
        std::unique_ptr<TPreviewReport> report;
        if (args.size() >= 2 && args[0] == L"--report") {
            report = std::make_unique<TPreviewReport>(args[1]);
            report->RecordMessages(application);
            args.erase(args.begin(), args.begin() + 2);
        }
        // "--report FILE --stay": the window stays up after the report, to be driven from outside.
        bool stay = false;
        if (report && !args.empty() && args[0] == L"--stay") {
            stay = true;
            args.erase(args.begin());
        }
        // "--bench FILE [SKIN]": time skinning, unskinning and full repaints, write them to FILE, end.
        std::wstring benchFile;
        if (args.size() >= 2 && args[0] == L"--bench") {
            benchFile = args[1];
            args.erase(args.begin(), args.begin() + 2);
        }
        const std::wstring path = args.empty() ? L"" : args[0];
        // Set up as the layout reader sets up a form's skin: the stored skin is read with the
        // layout, and skinning starts when the window is first activated.
        skin->BeginLoading();
        if (path.empty()) skin->ReadSkinStream(EmbeddedSkinRecord());
        skin->SetActive(true);
        form->Build(skin);
        // Built in 96-dpi numbers, as a layout is written: laid out at the display's scale once whole.
        form->ScaleToDisplay();
        skin->Loaded();
        if (!path.empty()) {
            // A skin file replaces the stored one; one that cannot be used leaves the system look.
            skin->SetSkinFile(std::u16string(path.begin(), path.end()));
            skin->SetActive(true);
        }
        form->ShowSkinState();
        std::unique_ptr<TTimer> bench;
        if (!benchFile.empty()) {
            bench = std::make_unique<TTimer>(nullptr);
            bench->SetInterval(200);
            bench->OnTimer = [&](TObject*) {
                TSkinManager* manager = SkinManager();
                TSkinForm* skinned = manager ? manager->FindSkinForm(form->Handle()) : nullptr;
                if (!skinned || !skinned->Started()) return;
                bench->SetEnabled(false);
                RunBench(*form, *skin, benchFile);
                application.Terminate();
            };
        }
        if (report) {
            report->RunUntilPainted(application);
            if (!report->Write(*form)) return 2;
            if (stay) application.Run();
        } else {
            application.Run();
        }
    } catch (const std::exception& e) {
        std::string what = e.what();
        MessageBoxW(nullptr, std::wstring(what.begin(), what.end()).c_str(), L"Skin Preview", MB_OK | MB_ICONERROR);
        return 1;
    }
    application.DestroyForms();
    return 0;
}
