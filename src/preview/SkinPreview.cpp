// Skin Preview: a window holding one sample of every control kind the skin engine knows, in
// its interesting states, drawn with the installer's own skin or a skin file named on the
// command line. The skin engine skins it as it skins any window: through the skin data
// component, the skin manager and the control dispatch; a button switches skinning off and on.
// Usage: SkinPreview [--report FILE] [SKINFILE] (--report: see PreviewReport.h).
#include "framework/Buttons.h"
#include "framework/ExtCtrls.h"
#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "PreviewReport.h"
#include "skin/CaptionPainter.h"
#include "skin/SkinData.h"
#include "skin/SkinRegister.h"

#include <commctrl.h>
#include <shellapi.h>

#include <memory>
#include <string>
#include <vector>

using namespace qx;

namespace {

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
        SetClientWidth(760);
        SetClientHeight(520);
        SetLeft(40);
        SetTop(40);
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

        // The other kinds, for the skinners that come later.
        auto* panel = new TPanel(this);
        panel->SetParent(this);
        panel->SetBounds(520, 130, 230, 90);
        panel->SetCaption(u"Panel");
        HWND h = Handle();
        // A group box paints only its frame and caption; marked transparent, it is not clipped out
        // of the window's own painting, which fills its inside as dialogs do.
        Raw(WC_BUTTONW, L"Group box", BS_GROUPBOX, 10, 230, 230, 110, WS_EX_TRANSPARENT);
        Raw(L"EDIT", L"Edit", WS_BORDER | ES_AUTOHSCROLL, 20, 250, 200, 22);
        HWND memo = Raw(L"EDIT", L"Memo line 1\r\nMemo line 2\r\nMemo line 3\r\nMemo line 4\r\nMemo line 5",
                        WS_BORDER | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, 20, 280, 200, 52);
        (void)memo;
        HWND combo = Raw(WC_COMBOBOXW, L"", CBS_DROPDOWNLIST | WS_VSCROLL, 250, 240, 160, 120);
        for (const wchar_t* item : {L"Drivano", L"Muhasebe", L"Stok"})
            SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
        SendMessageW(combo, CB_SETCURSEL, 0, 0);
        HWND bar = Raw(PROGRESS_CLASSW, L"", 0, 250, 272, 160, 18);
        SendMessageW(bar, PBM_SETPOS, 60, 0);
        HWND vbar = Raw(PROGRESS_CLASSW, L"", PBS_VERTICAL, 420, 240, 18, 100);
        SendMessageW(vbar, PBM_SETPOS, 40, 0);
        HWND list = Raw(WC_LISTVIEWW, L"", LVS_REPORT | WS_BORDER, 450, 230, 300, 110);
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH;
        col.cx = 140;
        col.pszText = const_cast<wchar_t*>(L"Product");
        SendMessageW(list, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&col));
        col.pszText = const_cast<wchar_t*>(L"Size");
        SendMessageW(list, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&col));
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"Drivano");
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        HWND tabs = Raw(WC_TABCONTROLW, L"", 0, 10, 350, 300, 80);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        for (const wchar_t* name : {L"General", L"Details"}) {
            tab.pszText = const_cast<wchar_t*>(name);
            SendMessageW(tabs, TCM_INSERTITEMW, 9, reinterpret_cast<LPARAM>(&tab));
        }
        HWND track = Raw(TRACKBAR_CLASSW, L"", TBS_HORZ, 320, 360, 200, 30);
        SendMessageW(track, TBM_SETPOS, TRUE, 3);
        HWND buddy = Raw(L"EDIT", L"5", WS_BORDER, 540, 360, 50, 22);
        HWND updown = Raw(UPDOWN_CLASSW, L"", UDS_ALIGNRIGHT | UDS_SETBUDDYINT, 0, 0, 0, 0);
        SendMessageW(updown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
        HWND status = Raw(STATUSCLASSNAMEW, L"Status bar", 0, 0, 0, 0, 0);
        status_ = status;
        (void)h;

        // A menu bar, and the same menu as a popup on a right click.
        menu_ = CreateMenu();
        popup_ = CreatePopupMenu();
        AppendMenuW(popup_, MF_STRING, 101, L"&Open");
        AppendMenuW(popup_, MF_STRING | MF_CHECKED, 102, L"&Checked item");
        AppendMenuW(popup_, MF_STRING | MF_GRAYED, 103, L"&Disabled item");
        AppendMenuW(popup_, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(popup_, MF_STRING, 104, L"E&xit");
        AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(popup_), L"&File");
        AppendMenuW(menu_, MF_STRING, 105, L"&Help");
        SetMenu(Handle(), menu_);
        // The menu bar took its height from the client area: a status bar places itself along
        // its parent's bottom edge only when told of a size.
        SendMessageW(status, WM_SIZE, 0, 0);
        OnMouseDown = [this](TObject*, TMouseButton button, TShiftState, int x, int y) {
            if (button != TMouseButton::mbRight) return;
            POINT p = ClientToScreen(POINT{x, y});
            TrackPopupMenu(popup_, TPM_RIGHTBUTTON, p.x, p.y, 0, Handle(), nullptr);
        };
    }

    // The toggle offers what clicking it does: a skin that could not be used leaves it "Skin on".
    void ShowSkinState() { toggle_->SetCaption(skin_->Active() ? u"Skin off" : u"Skin on"); }

    ~TPreviewForm() override {
        // The menu bar is destroyed with the window; the popup is part of it.
        if (HandleAllocated()) SetMenu(Handle(), nullptr);
        if (menu_) DestroyMenu(menu_);
    }

protected:
    void WndProc(TMessage& m) override {
        TForm::WndProc(m);
        // A status bar places itself along its parent's bottom edge when told of a new size
        // (the client area changes with the frame the skin gives the window).
        if (m.Msg == WM_SIZE && status_) SendMessageW(status_, WM_SIZE, 0, 0);
    }

private:
    HWND Raw(const wchar_t* cls, const wchar_t* text, DWORD style, int x, int y, int w, int h, DWORD exStyle = 0) {
        HWND child = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, Handle(), nullptr,
                                     GetModuleHandleW(nullptr), nullptr);
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), FALSE);
        return child;
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
    HWND status_ = nullptr;
    HMENU menu_ = nullptr;
    HMENU popup_ = nullptr;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    TApplication application;
    application.Initialize();
    application.SetTitle(u"Skin Preview");
    RegisterSkinClasses();
    try {
        auto* form = application.CreateForm<TPreviewForm>();
        // The title in the skinned caption, as the installer's window has it.
        (new TSkinCaption(form))->SetActive(true);
        auto* skin = new TSkinData(form);
        int argc = 0;
        LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
        std::vector<std::wstring> args(argv ? argv + 1 : argv, argv ? argv + argc : argv);
        if (argv) LocalFree(argv);
        std::unique_ptr<TPreviewReport> report;
        if (args.size() >= 2 && args[0] == L"--report") {
            report = std::make_unique<TPreviewReport>(args[1]);
            report->RecordMessages(application);
            args.erase(args.begin(), args.begin() + 2);
        }
        const std::wstring path = args.empty() ? L"" : args[0];
        // Set up as the layout reader sets up a form's skin: the stored skin is read with the
        // layout, and skinning starts when the window is first activated.
        skin->BeginLoading();
        if (path.empty()) skin->ReadSkinStream(EmbeddedSkinRecord());
        skin->SetActive(true);
        form->Build(skin);
        skin->Loaded();
        if (!path.empty()) {
            // A skin file replaces the stored one; one that cannot be used leaves the system look.
            skin->SetSkinFile(std::u16string(path.begin(), path.end()));
            skin->SetActive(true);
        }
        form->ShowSkinState();
        if (report) {
            report->RunUntilPainted(application);
            if (!report->Write(*form)) return 2;
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
