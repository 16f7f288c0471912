// Forms (top-level windows made of controls), the screen's list of forms, and the
// application object that runs the message loop.
#pragma once
#include "framework/Controls.h"

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class TMainMenu;
class TMenuItem;

enum class TFormBorderStyle : std::uint8_t { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
enum TBorderIcon : std::uint8_t { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biHelp = 8 };
using TBorderIcons = std::uint8_t;
enum class TPosition : std::uint8_t {
    poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter,
    poMainFormCenter, poOwnerFormCenter
};
// An MDI frame (fsMDIForm) holds MDI children (fsMDIChild) in its MDI client window.
enum class TFormStyle : std::uint8_t { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
// What closing a form does: OnClose may change it (an MDI child is freed, other forms hidden).
enum class TCloseAction : std::uint8_t { caNone, caHide, caFree, caMinimize };
enum class TTileMode : std::uint8_t { tbHorizontal, tbVertical };

class TCustomForm : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TCustomForm(TComponent* owner);
    ~TCustomForm() override;

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style);
    TBorderIcons BorderIcons() const { return borderIcons_; }
    void SetBorderIcons(TBorderIcons icons);
    TPosition Position() const { return position_; }
    void SetPosition(TPosition position) { position_ = position; }
    // The dpi the form is laid out for now: the layout's own (96) until ScaleToDisplay or a
    // change of the window's display scale takes it to the display's.
    int PixelsPerInch() const { return pixelsPerInch_; }
    void SetPixelsPerInch(int dpi);
    // Lays the form out at its window's display scale (the system's before the window
    // exists): called once its layout has been read.
    void ScaleToDisplay();
    void ChangeScale(int toDpi, int fromDpi) override;
    bool AutoScroll() const { return autoScroll_; }
    void SetAutoScroll(bool v) { autoScroll_ = v; }
    void SetClientWidth(int width) override;
    void SetClientHeight(int height) override;
    // The client size the form was asked for (its current one when none was asked): kept
    // whatever frame the window is given.
    SIZE WantedClientSize() const;
    int StoredClientWidth() const { return ClientWidth(); }
    int StoredClientHeight() const { return ClientHeight(); }
    RECT ClientRect() const override;

    // Shows the form (centred first when its position asks for it) and activates it.
    void Show();
    void Close();
    bool Active() const;
    TWinControl* ActiveControl() const { return activeControl_; }
    void SetActiveControl(TWinControl* control);
    // Moves the focus to the next (or previous) tab stop: the one FindNextControl names.
    void SelectNext(TWinControl* current, bool forward);
    // The tab stop that Tab (forward) or Shift+Tab reaches from current (none: from outside,
    // to the first or the last), in tab order with the radio-group rule; none when there is
    // no other.
    TWinControl* FindNextControl(TWinControl* current, bool forward) const;
    // The radio button of current's group that an arrow key reaches, or none.
    TWinControl* FindNextInGroup(TWinControl* current, bool forward) const;
    // The control of this form that has the keyboard focus (or holds the window that has
    // it), or none.
    TWinControl* FocusedControl() const;
    // Called when a control of this form got the focus.
    void FocusChanged(TWinControl* control);

    TNotifyEvent OnClose;
    // The action of the close under way (OnClose may change it).
    TCloseAction CloseAction() const { return closeAction_; }
    void SetCloseAction(TCloseAction action) { closeAction_ = action; }
    // Frees the form once the message that asked for it (and any around it) has returned.
    void Release();

    // ---- menus ----
    TMainMenu* Menu() const { return menu_; }
    void SetMenu(TMainMenu* menu);

    // ---- MDI ----
    TFormStyle FormStyle() const { return formStyle_; }
    // Takes effect when the window is made (a form that has one makes it again).
    void SetFormStyle(TFormStyle style);
    // The menu item whose drop-down lists the MDI children (an MDI frame's).
    TMenuItem* WindowMenu() const { return windowMenu_; }
    void SetWindowMenu(TMenuItem* item);
    // An MDI frame's MDI client window, or none.
    HWND ClientHandle() const { return clientHandle_; }
    // The MDI frame that an MDI child lives in, or none.
    TCustomForm* MdiParent() const;
    int MDIChildCount() const;
    TCustomForm* MDIChildren(int index) const;
    TCustomForm* ActiveMDIChild() const;
    TTileMode TileMode() const { return tileMode_; }
    void SetTileMode(TTileMode mode) { tileMode_ = mode; }
    void Tile();
    void Cascade();
    void ArrangeIcons();
    void Next();
    void Previous();

    void SetVisible(bool visible) override;
    bool Showing() const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    bool DialogKey(WPARAM key) override;
    void CreateWindowHandleDone() override;
    void DestroyHandle() override;
    void AlignControls(RECT& rect) override;
    void ScaleBounds(int toDpi, int fromDpi) override;
    void Notification(TComponent* component, TOperation operation) override;

    TCustomForm* AsForm() override { return this; }
    void ControlFocused(TWinControl* control) override { FocusChanged(control); }
    void MoveFocusOn(bool forward) override { SelectNext(FocusedControl(), forward); }
    void ForgetControl(TWinControl* control) override {
        if (activeControl_ == control) activeControl_ = nullptr;
    }

private:
    void ApplyClientSize();
    // WM_DPICHANGED: the window moved to a display of another scale.
    void DisplayScaleChanged(int dpi, const RECT& suggested);
    void PlaceOnScreen();
    DWORD FrameStyle() const;
    DWORD FrameExStyle() const;

    TFormBorderStyle borderStyle_ = TFormBorderStyle::bsSizeable;
    TBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize;
    TPosition position_ = TPosition::poDesigned;
    bool autoScroll_ = false;
    int pixelsPerInch_ = 96;
    int clientWidth_ = -1, clientHeight_ = -1;
    bool placed_ = false;
    TWinControl* activeControl_ = nullptr;
    TMainMenu* menu_ = nullptr;
    TMenuItem* windowMenu_ = nullptr;
    TFormStyle formStyle_ = TFormStyle::fsNormal;
    TTileMode tileMode_ = TTileMode::tbHorizontal;
    TCloseAction closeAction_ = TCloseAction::caHide;
    HWND clientHandle_ = nullptr;
    HWND ClientForChild() const;
    void AttachMenu();
    void DoClose();
    std::vector<HWND> MdiChildWindows() const;
};

class TForm : public TCustomForm {
    QX_CLASS_INFO()
public:
    explicit TForm(TComponent* owner) : TCustomForm(owner) {}
};

// The program's forms, most recently created last.
class TScreen {
public:
    const std::vector<TCustomForm*>& Forms() const { return forms_; }
    int FormCount() const { return static_cast<int>(forms_.size()); }
    TCustomForm* ActiveForm() const;

private:
    friend class TCustomForm;
    std::vector<TCustomForm*> forms_;
};
extern TScreen Screen;

class TApplication {
public:
    TApplication();
    ~TApplication();
    TApplication(const TApplication&) = delete;
    TApplication& operator=(const TApplication&) = delete;

    // COM for the main thread (single-threaded apartment). The classes a layout may name are
    // registered by the program (RegisterFrameworkClasses and those of the layers above).
    void Initialize();
    const std::u16string& Title() const { return title_; }
    void SetTitle(const std::u16string& title) { title_ = title; }

    // Creates a form of type F owned by the application; the first one becomes the main form.
    template <class F>
    F* CreateForm() {
        auto form = std::make_unique<F>(nullptr);
        F* raw = form.get();
        forms_.push_back(std::move(form));
        if (!mainForm_) mainForm_ = raw;
        return raw;
    }
    TCustomForm* MainForm() const { return mainForm_; }

    // Shows the main form and dispatches messages until Terminate.
    void Run();
    void Terminate();
    bool Terminated() const { return terminated_; }
    // Dispatches every pending message and returns.
    void ProcessMessages();
    // One message: false when the queue was empty.
    bool ProcessMessage();

    // A modal box owned by the application (its windows are disabled while it is open).
    int MessageBox(const std::u16string& text, const std::u16string& caption, UINT flags);
    // The standard error box for an exception that left an event handler.
    void HandleException(TObject* sender, std::exception_ptr error);
    // Replace how errors and message boxes are shown (tests record them instead).
    std::function<void(const std::u16string& message)> OnException;
    std::function<int(const std::u16string& text, const std::u16string& caption, UINT flags)> OnMessageBox;

    // Frees the forms (normally at the end of Run's caller).
    void DestroyForms();
    // A form that asked to be freed (TCustomForm::Release); freed when no message is running.
    void QueueRelease(TCustomForm* form);
    void CancelRelease(TCustomForm* form);

private:
    bool IsDialogKey(MSG& msg);
    // Menu shortcuts and the MDI keys (Alt with a letter goes to the form with the dialog characters).
    bool IsKeyMessage(MSG& msg);
    void FreeReleased();
    std::vector<TCustomForm*> released_;
    int dispatching_ = 0;
    std::u16string title_;
    std::vector<std::unique_ptr<TCustomForm>> forms_;
    TCustomForm* mainForm_ = nullptr;
    bool terminated_ = false;
    bool comInitialized_ = false;
};
extern TApplication* Application;

// The text of an exception for the user.
std::u16string ExceptionText(std::exception_ptr error);

}  // namespace qx
