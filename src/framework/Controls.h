// Controls: windowless ones painted by their parent (TGraphicControl) and windowed ones
// wrapping a window (TWinControl, TCustomControl). Every control has a replaceable message
// handler (WindowProc) through which all its messages pass, so that other code (the skin
// engine) can save it, put its own in place and give the old one back.
#pragma once
#include "framework/Component.h"
#include "framework/Graphics.h"
#include "framework/Types.h"
#include "framework/WndStub.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class TWinControl;
class TCustomForm;
class TPopupMenu;
struct TAccessibleInfo;
struct TAccessibleItem;

enum TControlStyleFlag : std::uint32_t {
    csAcceptsControls = 1u << 0,
    csCaptureMouse = 1u << 1,
    csClickEvents = 1u << 2,
    csOpaque = 1u << 3,
    csDoubleClicks = 1u << 4,
    csSetCaption = 1u << 5,
    csParentBackground = 1u << 6,
};
enum TControlStateFlag : std::uint32_t {
    csLButtonDown = 1u << 0,
    csClicked = 1u << 1,
    csCreating = 1u << 2,
    csFocusing = 1u << 3,
};

using TMouseEvent = std::function<void(TObject* sender, TMouseButton button, TShiftState shift, int x, int y)>;

class TControl;

// Passes a hooked message on: to the next older hook, and last to the control itself.
class TMessageNext {
public:
    void operator()(TMessage& message) const;

private:
    friend class TControl;
    TMessageNext(TControl* control, std::size_t below) : control_(control), below_(below) {}
    TControl* control_;
    std::size_t below_;  // hooks below this index are still to come
};

// Sees a control's messages before the control does (messages of its window and those sent
// with Perform alike). Hooks chain like window subclasses: the newest runs first, and any of
// them can leave in any order without cutting the others out.
class TMessageHook {
public:
    virtual ~TMessageHook() = default;
    // Handles message; next(message) passes it on.
    virtual void HookMessage(TMessage& message, const TMessageNext& next) = 0;
};
// Keeps, in a hook's slot, the next link of the message it is handling while that runs, so that
// the hook can pass the message on from deeper down; a message sent from inside gets its own
// link and gives the outer one back when it ends, even if its handling throws.
class TMessageNextScope {
public:
    TMessageNextScope(const TMessageNext*& slot, const TMessageNext& next) : slot_(slot), outer_(slot) { slot = &next; }
    ~TMessageNextScope() { slot_ = outer_; }
    TMessageNextScope(const TMessageNextScope&) = delete;
    TMessageNextScope& operator=(const TMessageNextScope&) = delete;

private:
    const TMessageNext*& slot_;
    const TMessageNext* outer_;
};
using TMouseMoveEvent = std::function<void(TObject* sender, TShiftState shift, int x, int y)>;

extern const TEnumInfo AlignInfo;
extern const TEnumInfo AlignmentInfo;

class TControl : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TControl(TComponent* owner);
    ~TControl() override;

    TWinControl* Parent() const { return parent_; }
    virtual void SetParent(TWinControl* parent);
    // The form this control lies on (itself for a form), or none.
    TCustomForm* ParentForm() const;

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    void SetLeft(int v) { SetBounds(v, top_, width_, height_); }
    void SetTop(int v) { SetBounds(left_, v, width_, height_); }
    void SetWidth(int v) { SetBounds(left_, top_, v, height_); }
    void SetHeight(int v) { SetBounds(left_, top_, width_, v); }
    virtual void SetBounds(int left, int top, int width, int height);
    RECT BoundsRect() const { return {left_, top_, left_ + width_, top_ + height_}; }
    virtual RECT ClientRect() const { return {0, 0, width_, height_}; }
    int ClientWidth() const { return RectWidth(ClientRect()); }
    int ClientHeight() const { return RectHeight(ClientRect()); }
    virtual void SetClientWidth(int v) { SetWidth(v); }
    virtual void SetClientHeight(int v) { SetHeight(v); }
    POINT ClientToScreen(POINT p) const;
    POINT ScreenToClient(POINT p) const;
    // The top-left of this control's client area in its parent's client coordinates (for
    // a windowless control; a windowed one has its own coordinates).
    POINT ClientOrigin() const;

    TAlign Align() const { return align_; }
    void SetAlign(TAlign align);
    bool Visible() const { return visible_; }
    virtual void SetVisible(bool visible);
    void Show() { SetVisible(true); }
    void Hide() { SetVisible(false); }
    // Visible itself and on a visible parent.
    virtual bool Showing() const;
    bool Enabled() const { return enabled_; }
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    void SetColor(TColor color);
    bool ParentColor() const { return parentColor_; }
    void SetParentColor(bool value);
    TFont& Font() { return *font_; }
    const TFont& Font() const { return *font_; }
    TFont* FontObject() { return font_.get(); }
    bool ParentFont() const { return parentFont_; }
    void SetParentFont(bool value);

    const std::u16string& Caption() const { return text_; }
    void SetCaption(const std::u16string& text);
    virtual std::u16string Text() const { return text_; }
    void SetText(const std::u16string& text) { SetCaption(text); }
    TCursor Cursor() const { return cursor_; }
    void SetCursor(TCursor cursor);
    const std::u16string& Hint() const { return hint_; }
    void SetHint(const std::u16string& hint) { hint_ = hint; }
    bool ShowHint() const { return showHint_; }
    void SetShowHint(bool v) { showHint_ = v; }
    // The menu a right click (or the menu key) on the control shows.
    TPopupMenu* PopupMenu() const { return popupMenu_; }
    void SetPopupMenu(TPopupMenu* menu);

    // The message handler; replaceable (save it, install another, put it back). The default
    // one runs the message hooks and then the control's own handling.
    TWndMethod WindowProc;
    TWndMethod DefaultWindowProc() { return TWndMethod::Of<TControl, &TControl::HookedWndProc>(this); }
    // Hooks: added on top of the chain, removed from wherever they are (also while a message
    // is passing through them: a removed hook is skipped from then on).
    void AddMessageHook(TMessageHook* hook);
    void RemoveMessageHook(TMessageHook* hook);
    bool HasMessageHook(const TMessageHook* hook) const;
    // Hooks installed now (for tests and diagnostics that prove every hook was given back).
    std::size_t MessageHookCount() const;
    // Sends a message straight to WindowProc and returns its result.
    LRESULT Perform(UINT message, WPARAM wParam = 0, LPARAM lParam = 0);

    virtual void Invalidate();
    virtual void Update();
    void Repaint();
    void Refresh() { Repaint(); }

    virtual void Click();
    TNotifyEvent OnClick;
    TNotifyEvent OnDblClick;
    TMouseEvent OnMouseDown;
    TMouseEvent OnMouseUp;
    TMouseMoveEvent OnMouseMove;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    // Delivers a press to the control's own mouse-down handling (as a click on it would).
    virtual void MouseDown(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseUp(TMouseButton button, TShiftState shift, int x, int y);
    virtual void MouseMove(TShiftState shift, int x, int y);

    std::uint32_t ControlStyle() const { return controlStyle_; }
    void SetControlStyle(std::uint32_t style) { controlStyle_ = style; }
    std::uint32_t ControlState() const { return controlState_; }
    bool MouseInside() const { return mouseInside_; }

    virtual bool IsWindowed() const { return false; }
    void BringToFront();
    void SendToBack();

    // What the control tells assistive technology about itself (see TAccessibleInfo): a
    // windowless control that gives no role is not shown to it.
    virtual void DescribeAccessible(TAccessibleInfo& info) const;
    // Assistive technology asked for the control's default action; runs after its request
    // has returned.
    virtual void DoAccessibleAction() {}
    // The parts of the control that are told as its simple children, in their order, and the
    // default action of one of them (run as DoAccessibleAction is).
    virtual void DescribeAccessibleItems(std::vector<TAccessibleItem>& /*items*/) const {}
    virtual void DoAccessibleItemAction(int /*index*/) {}

    void Loaded() override;

    // Takes the control from one display scale to another: its place and size by their
    // edges (neighbours that met still meet), its own font (one taken from the parent follows
    // the parent's), and the pixel sizes the control keeps itself (ScaleMetrics).
    virtual void ChangeScale(int toDpi, int fromDpi);

protected:
    // Pixel sizes a control keeps apart from its bounds and font (margins, glow, borders):
    // scaled with it.
    virtual void ScaleMetrics(int /*toDpi*/, int /*fromDpi*/) {}
    // The place and size part of ChangeScale (a form keeps its place and scales its client).
    virtual void ScaleBounds(int toDpi, int fromDpi);
    // A form answers itself: the controls reach the form they lie on without knowing forms.
    virtual TCustomForm* AsForm() { return nullptr; }
    virtual void WndProc(TMessage& message);
    // Last stop of a message that nobody consumed.
    virtual void DefaultHandler(TMessage& message) {}
    virtual void ColorChanged() {}
    virtual void FontChanged() {}
    virtual void TextChanged() {}
    virtual void VisibleChanged() {}
    virtual void EnabledChanged() {}
    virtual void SetParentComponent(TWinControl* parent) { SetParent(parent); }
    void Notification(TComponent* component, TOperation operation) override;
    void SetMouseCapture(bool capture);
    bool MouseCapture() const;
    void SetControlState(std::uint32_t flags, bool on);
    // Adjusts own bounds for alignment within the parent.
    void RequestAlign();
    void InvalidateControl(bool opaque);

    TWinControl* parent_ = nullptr;
    int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    std::uint32_t controlStyle_ = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
    std::uint32_t controlState_ = 0;

private:
    friend class TWinControl;
    friend class TMessageNext;
    void HookedWndProc(TMessage& message);
    void CallHooksBelow(TMessage& message, std::size_t below);
    void FontWasChanged();
    void ParentColorChanged();
    void ParentFontChanged();
    void HandleMouse(TMessage& message);

    TAlign align_ = TAlign::alNone;
    bool visible_ = true;
    bool enabled_ = true;
    TColor color_ = clWindow;
    bool parentColor_ = true;
    std::unique_ptr<TFont> font_;
    bool parentFont_ = true;
    bool applyingParentFont_ = false;
    std::u16string text_;
    TCursor cursor_ = crDefault;
    std::u16string hint_;
    bool showHint_ = false;
    TPopupMenu* popupMenu_ = nullptr;
    bool mouseInside_ = false;
    std::vector<TMessageHook*> hooks_;  // oldest first; a removed one leaves a null until compacted
    int hookDepth_ = 0;                 // messages passing through the hooks now
};

// A control without a window, painted by its parent into the parent's device context.
class TGraphicControl : public TControl {
    QX_CLASS_INFO()
public:
    explicit TGraphicControl(TComponent* owner);
    ~TGraphicControl() override;
    TCanvas& Canvas() { return canvas_; }

protected:
    void WndProc(TMessage& message) override;
    virtual void Paint() {}

private:
    TCanvas canvas_;
};

struct TCreateParams {
    std::u16string Caption;
    DWORD Style = 0;
    DWORD ExStyle = 0;
    int X = 0, Y = 0, Width = 0, Height = 0;
    HWND WndParent = nullptr;
    // The window class this control registers: its framework class name, based on
    // SysClassName when it wraps a system control (the system class's procedure then
    // becomes the default handler).
    std::u16string WinClassName;
    std::u16string SysClassName;
    UINT ClassStyle = CS_DBLCLKS;
};

class TWinControl : public TControl {
    QX_CLASS_INFO()
public:
    explicit TWinControl(TComponent* owner);
    ~TWinControl() override;

    HWND Handle();
    bool HandleAllocated() const { return handle_ != nullptr; }
    void HandleNeeded() { Handle(); }
    void RecreateWnd();
    WNDPROC DefWndProc() const { return defWndProc_; }

    const std::vector<TControl*>& Controls() const { return controls_; }
    int ControlCount() const { return static_cast<int>(controls_.size()); }
    // The child control at a client point (windowless ones only unless allowWindowed).
    TControl* ControlAtPos(POINT point, bool allowDisabled = false, bool allowWindowed = false) const;

    int TabOrder() const;
    void SetTabOrder(int order);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool value);
    // All windowed controls under this one in tab order, nested ones included.
    void GetTabOrderList(std::vector<TWinControl*>& list) const;

    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    bool ParentBackground() const { return (controlStyle_ & csParentBackground) != 0; }
    void SetParentBackground(bool value);

    bool Focused() const;
    virtual bool CanFocus() const;
    virtual void SetFocus();
    // Radio buttons answer true and tell whether they are checked: the buttons sharing a
    // parent are one group, which the keyboard treats as a single tab stop.
    virtual bool IsRadioButton(bool& checked) const { return false; }
    // An arrow key moved the focus to this radio button: it is checked as a click checks it.
    virtual void CheckFromKeyboard() {}

    // Paints the windowless children into dc (clipped to each), from first on.
    void PaintControls(HDC dc, TControl* first = nullptr);
    // The background brush (the control's colour).
    TBrush& Brush() { return brush_; }

    void SetBounds(int left, int top, int width, int height) override;
    RECT ClientRect() const override;
    bool Showing() const override;
    void Invalidate() override;
    void Update() override;
    bool IsWindowed() const override { return true; }
    void SetVisible(bool visible) override;
    void SetEnabled(bool enabled) override;
    void ChangeScale(int toDpi, int fromDpi) override;

    // Sends a message to every child control (and their children).
    void Broadcast(TMessage& message);
    void Realign();

protected:
    void WndProc(TMessage& message) override;
    void DefaultHandler(TMessage& message) override;
    virtual void CreateParams(TCreateParams& params);
    virtual void CreateWnd();
    virtual void CreateHandle();
    virtual void DestroyHandle();
    // After the window exists: fonts, texts and child windows.
    virtual void CreateWindowHandleDone() {}
    virtual void PaintWindow(HDC dc);
    virtual void AlignControls(RECT& rect);
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;
    // Key handling hooks; return true when consumed.
    virtual bool DialogKey(WPARAM key) { return false; }

    // A form keeps which of its controls holds the focus and moves it on; a control tells the
    // form it lies on through these (a plain container keeps nothing).
    virtual void ControlFocused(TWinControl* control) {}
    virtual void MoveFocusOn(bool forward) {}
    // A windowed control is being destroyed: it may no longer be handed the focus. Told to
    // every keeper that KeepsFocusRecord registered.
    virtual void ForgetControl(TWinControl* control) {}
    static void KeepsFocusRecord(TWinControl* keeper, bool keeps);
    // The top of this control's parents (itself at the top) when that is a form, or none.
    TWinControl* HostForm();

private:
    friend class TControl;
    friend class TApplication;
    static LRESULT CALLBACK StubEntry(void* object, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK InitWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void MainWndProc(TMessage& message);
    void InsertControl(TControl* control);
    void RemoveControl(TControl* control);
    void PaintHandler(TMessage& message);
    void EraseBackground(HDC dc);
    void UpdateShowing();
    void TrackMouse(TMessage& message);
    bool ForwardMouseToChild(TMessage& message);
    // WM_CONTEXTMENU: the popup menu of the windowless child under the point, or its own.
    bool ShowContextMenu(TMessage& message);
    void HandleNcDestroy(TMessage& message);

    HWND handle_ = nullptr;
    TWndStub stub_;
    WNDPROC defWndProc_ = nullptr;
    std::vector<TControl*> controls_;   // in paint order (z-order of windowless controls)
    std::vector<TWinControl*> tabList_; // windowed children in tab order
    bool tabStop_ = false;
    bool doubleBuffered_ = false;
    TBrush brush_;
    TControl* captureControl_ = nullptr;  // a windowless child that holds the mouse
    TControl* hotControl_ = nullptr;      // the windowless child under the mouse
    bool trackingLeave_ = false;
    int realigning_ = 0;
};

// A windowed control that paints itself on its canvas.
class TCustomControl : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TCustomControl(TComponent* owner);
    ~TCustomControl() override;
    TCanvas& Canvas() { return canvas_; }

protected:
    void PaintWindow(HDC dc) override;
    virtual void Paint() {}

private:
    TCanvas canvas_;
};

// The framework control of a window (through the window's control property), or none.
TWinControl* FindControl(HWND window);
// The framework control of a window or, for a window the framework did not make (a part of
// a system control, say), of its nearest ancestor that has one.
TWinControl* FindHostControl(HWND window);
// Whether a typed character is the accelerator of caption ("&" before it), letters compared
// as the platform compares them, without case.
bool IsAccelerator(WPARAM character, const std::u16string& caption);
// The name of that window property ("ControlOfs" + module + thread, as hexadecimal).
const std::wstring& ControlPropertyName();
// Something lies outside the window's client area (a border, scroll bars, a caption): there is
// something for WM_NCPAINT to draw. True when the window's rectangles cannot be read.
bool HasFrame(HWND window);

}  // namespace qx
