// The form skinner: one per skinned top-level or MDI window. It takes over the window's
// messages, removes the system caption, paints frame, caption and caption buttons from the
// skin, answers the non-client messages, keeps the window state in step with the system, skins
// the window's child controls through the control dispatch and gives the window its own frame
// back when skinning ends. The skin manager owns it.
#pragma once
#include "core/CaptionLayout.h"
#include "framework/Controls.h"
#include "framework/ExtCtrls.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"
#include "skin/CaptionBar.h"
#include "skin/ScaledPictures.h"
#include "skin/SkinMessages.h"
#include "skin/Skinner.h"
#include "skin/SystemCommands.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qx {

class TSkinData;
class TSkinControl;
class TCustomForm;
class TComponent;
class TDataSkinObject;
class TSkinForm;
class TSkinMenuBar;
class TMenuBtn;
class TMenuItem;
class TMenu;
class TPopupMenu;

// Writes the title into a skinned caption strip (the caption text painter). The form skinner
// composes the strip; the painter places the caption buttons around the text and draws it.
class TCaptionTextPainter {
public:
    virtual ~TCaptionTextPainter() = default;
    virtual void LayoutCaptionButtons(TSkinForm& form) = 0;
    // strip is the window-wide caption strip; captionRect the part between the side pieces.
    virtual void DrawCaptionText(TSkinForm& form, HDC strip, const RECT& captionRect) = 0;
};

// The painter that new form skinners take (none while no caption text painter is active).
TCaptionTextPainter* DefaultCaptionPainter();
void SetDefaultCaptionPainter(TCaptionTextPainter* painter);

class TSkinForm : public TSkinner, public TMessageHook, public TNCObjectHost, public TSystemCommandsHost {
public:
    explicit TSkinForm(HWND window);
    ~TSkinForm() override;

    TSkinKey Key() const override { return TSkinKey{FHandle, nullptr}; }
    // Gives a living window its own frame back (Unskin); nothing after the first time.
    void Release() override;

    // ---- take-over ----
    // A framework form: its message handler is hooked as well, and it takes the skin's colour.
    void AttachForm(TSkinData* skinData, TCustomForm* form);
    // Takes over the window's messages; nothing when already attached.
    void AttachWindow(TSkinData* skinData);
    // Gives the window its own frame, size relation, procedure and region back.
    void Unskin();
    // The window is being destroyed: lets go without touching its size or region.
    void DetachAtDestroy();
    // The skin changed: colours, control skinners and frame again.
    void ReSkin();

    // ---- control skinners of the window's children (owned by the skin manager) ----
    bool RegisterControl(TSkinControl* skinner);  // true when it was already registered
    void UnregisterControl(TSkinControl* skinner);
    // Whether the control (or window) already has a skinner or answers the skinned query.
    bool IsRegistered(TControl* control) const;
    bool IsRegisteredWindow(HWND window) const;
    const std::vector<TSkinControl*>& Controls() const { return FControls; }
    // Makes a skinner of type S for a framework control and attaches it.
    template <class S>
    S* AttachSkinner(TControl* control, bool ownColor);
    // Makes a skinner of type S for a raw window and attaches it.
    template <class S>
    S* AttachWindowSkinner(HWND window);
    void FreeControlSkinners();

    // ---- control dispatch ----
    void DispatchForm(TCustomForm* form);
    void DispatchComponents(TComponent* component);
    void DispatchControl(TControl* control, TComponent* owner);
    bool DispatchByKind(const std::string& upperClassName, TControl* control);
    void DispatchChildWindows(HWND window);
    void DispatchWindow(HWND window);

    // ---- frame ----
    void MeasureFrame();
    void FitToSkin(bool keepClient);
    void PaintFrame(HDC dc = nullptr);
    // Composes the caption strip (pieces, buttons, and the title through the caption text
    // painter when one is set) and shows it on dc.
    void PaintCaption(HDC dc);
    // Draws piece index of the frame into rect of dc.
    void PaintBorderPiece(TFramePiece index, const RECT& rect, HDC dc);
    void LayoutSysButtons();
    bool SysButtonVisible(std::size_t index);
    void PaintSysButton(TSysButton& button, int state) override;
    void LoadWindowIcon();
    void DrawWindowIcon(HDC dc, const RECT& rect);
    void UpdateRegion();
    // An MDI child follows the manager's maximized-child state (region and system caption).
    void MdiChildMaximizedChanged(bool maximized);
    // Frees the caption-button objects (they point at the skin's elements of the last parse).
    void DropCaptionButtons();
    // The facts the caption-button rules ask about this window.
    TCaptionFacts CaptionFacts() const;
    TCaptionBand CaptionBand() const;
    // Draws the caption strip's pieces and buttons into strip (window width x caption height).
    void ComposeCaptionStrip(HDC strip, const RECT& captionRect, bool minimized);

    // ---- caption-bar objects ----
    TNCObject* HotObject() const override { return FHotObject; }
    void SetHotObject(TNCObject* object) override { FHotObject = object; }
    TSysButton* ObjectAt(POINT framePoint) const;
    POINT ScreenToFrame(int x, int y) const;
    void DoButtonAction(TSysButton& button, POINT releasePoint);
    // Maximize, minimize, restore and the skinned system menu.
    TSystemCommands& SystemCommands() { return *FSystemCommands; }

    // ---- menus ----
    TSkinMenuBar* MenuBar() const { return FMenuBar.get(); }
    // The menu bar item under a point of the window (window coordinates), or none.
    TMenuBtn* MenuBtnAt(POINT framePoint) const;
    // Opens the item's drop-down under it and tracks it (the mouse moving along the bar and
    // the arrow keys open the neighbours); a command item only posts its command.
    void OpenMenuBtn(TMenuBtn* item, bool fromKeyboard);
    bool Tracking() const { return FTracking; }
    // An MDI frame whose active child is maximized.
    bool ActiveChildMaximized() const;
    HWND ClientHandle() const override { return FClientHandle; }

    // ---- messages ----
    void SkinWndProc(TMessage& message);
    void CallPrevious(TMessage& message) override;
    void HookMessage(TMessage& message, const TMessageNext& next) override;

    // ---- what other parts read ----
    HWND Handle() const override { return FHandle; }
    TCustomForm* Form() const { return FForm; }
    TSkinData* SkinData() const override { return FSkinData; }
    bool SkinFrame() const { return FSkinFrame; }
    TFormLifeState LifeState() const { return FLifeState; }
    TMdiKind MdiKind() const override { return FMDIKind; }
    TBorderKind BorderKind() const { return FBorderKind; }
    TWindowState WindowState() const override { return FWindowState; }
    bool Active() const { return FActive; }
    bool IsDialog() const { return FIsDialog; }
    bool RightToLeft() const override { return FRightToLeft; }
    std::uint8_t Caps() const override { return FCaps; }
    int BorderLeft() const { return FBorderLeft; }
    int CaptionHeight() const { return FCaptionHeight; }
    int BorderRight() const { return FBorderRight; }
    int BorderBottom() const { return FBorderBottom; }
    int MenuHeight() const { return FMenuHeight; }
    // The window's dpi as the frame was last measured, and the skin drawn at it.
    int Dpi() const { return FDpi; }
    TSkinScale SkinScale() const;
    // A length of the skin at the window's scale.
    int Scaled(int length) const;
    const std::vector<std::unique_ptr<TSysButton>>& SysButtons() const { return FSysButtons; }
    TBitmap& CaptionBitmap() { return FCaptionBitmap; }
    const std::string& ClassName() const { return FClassName; }
    bool Started() const { return FStarted; }
    HRGN Region() const { return FRegionOwned ? FRegion : nullptr; }
    void SetCaptionPainter(TCaptionTextPainter* painter) { FCaptionPainter = painter; }
    TCaptionTextPainter* CaptionPainter() const { return FCaptionPainter; }
    // The caption buttons' text anchors, kept by the caption text painter.
    TTextAnchors TextAnchors;

private:
    // A skinner the program's skin-control handler made: owned by the manager from now on and
    // attached; false when it was registered already.
    bool RegisterControlIfNew(TSkinControl* skinner, TControl* control);
    void PaintCaptionButtons(HDC strip);
    // ---- what the system commands ask of the window ----
    void SetWindowStateAhead(TWindowState state) override { FWindowState = state; }
    bool Sizeable() const override { return FSizeable; }
    HMENU SystemMenu() const override { return FSysMenu; }
    bool Released() const override { return FReleased; }
    bool SysButtonHot() const override;
    void ForgetHotObject() override { FHotObject = nullptr; }
    void StopHover() override;
    bool MdiChildMaximized() const override;
    void SetMdiChildMaximized(bool maximized) override;
    void SetPopupKind(TPopupKind kind) override;
    void DrawMenuItem(TMenuItem* item, HDC dc, const RECT& rect, UINT state) override {
        DrawItemHandler(item, dc, rect, state);
    }
    void MeasureMenuItem(TMenuItem* item, int& width, int& height) override { MeasureItemHandler(item, width, height); }
    // The keyboard's menu (WM_SYSCOMMAND with SC_KEYMENU) along the skinned menu bar; true when
    // it was answered here.
    bool OnKeyMenu(TMessage& m);

    void ReadStyles();
    void ReadWindowState();
    void SetCaptionStyle(bool on) override;
    void SetSysMenuStyle(bool remove) override;
    void FrameChanged();
    // The menu bar of the window's menu (made when the window has one), and the menu back.
    void BuildMenuBar();
    void GiveMenuBack(bool repaint);
    RECT MenuBand() const;
    void OnMenuChanged(TMessage& m);
    // Owner drawing of the platform's items of a drop-down while the skin tracks it.
    void MarkOwnerDrawn(HMENU menu);
    void RestoreOwnerDrawn();
    bool OnMenuMeasureItem(TMessage& m);
    bool OnMenuDrawItem(TMessage& m);
    // The framework's popup menus of the form draw their items from the skin, or not.
    void SkinFormMenus(bool on);
    void SkinPopupItems(TMenu& menu);
    void DrawItemHandler(TMenuItem* item, HDC dc, const RECT& rect, UINT state);
    void MeasureItemHandler(TMenuItem* item, int& width, int& height);
    void OnDialogChar(TMessage& m, const TMessageNext& next);
    // What the tracked drop-down selects (whether a nested drop-down holds the selection).
    void OnMenuSelect(TMessage& m);
    // The message filter that follows the mouse and the arrow keys along the bar while a
    // drop-down is tracked.
    static LRESULT CALLBACK MenuFilterHook(int code, WPARAM wParam, LPARAM lParam);
    void HideSeparators(TMenuItem& parent);
    // The MDI client's procedure.
    static LRESULT CALLBACK ClientSubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                               DWORD_PTR refData);
    void ClientWndProc(TMessage& m);
    void Notification(TComponent* component, TOperation operation) override;
    void StartSkin();
    // The message tiers, each true when it answered the message. Messages every skinned window
    // answers (its start, its end, the colours of its children, the menus it tracks):
    bool HandleAnyWindowMessage(TMessage& m);
    // Those of a window with a skinned frame, started or not (size, activation, system commands):
    bool HandleFramedWindowMessage(TMessage& m);
    // The frame itself, once the skin draws it (non-client size, hit test, mouse and painting):
    bool HandleSkinFrameMessage(TMessage& m);
    void OnSize(TMessage& m);
    void OnNcActivate(TMessage& m);
    void OnNcCalcSize(TMessage& m);
    // Non-client mouse messages; true when consumed.
    bool OnNcMouse(TMessage& m);
    // Lets the previous procedure handle a message that would draw the system caption over
    // ours, with the caption style off meanwhile, and then paints the skinned frame.
    void PassOnWithoutSystemCaption(TMessage& m);
    void OnHoverTimer();
    void RestoreRedraw();
    void GiveBackProcedures();
    HDC WindowDc();
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);

    HWND FHandle = nullptr;
    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TWindowSubclass FSubclass;
    bool FHooked = false;
    bool FReleased = false;
    bool FStarted = false;
    bool FRedrawOff = false;
    bool FUnicode = false;
    HWND FClientHandle = nullptr;
    bool FSkinFrame = false;
    TFormLifeState FLifeState = flNew;
    TMdiKind FMDIKind = mkPlain;
    TBorderKind FBorderKind = bkSizeable;
    TWindowState FWindowState = wsNormal;
    bool FActive = true;
    std::uint8_t FCaps = 0;
    int FBorderLeft = 0, FCaptionHeight = 0, FBorderRight = 0, FBorderBottom = 0;
    int FMenuHeight = 0;
    int FDpi = BaseDpi;
    SIZE FSysFrame{};
    RECT FClientRect{};
    RECT FWindowRect{};
    std::vector<std::unique_ptr<TSysButton>> FSysButtons;
    TNCObject* FHotObject = nullptr;
    HMENU FInitialMenu = nullptr;
    HMENU FSysMenu = nullptr;
    HICON FIcon = nullptr;
    TBitmap FIconBitmap;
    TBitmap FCaptionBitmap;
    TBitmap FCaptionBack;  // the strip without its buttons, for repainting one button alone
    HRGN FRegion = nullptr;  // owned by the window once set
    bool FRegionOwned = false;
    SIZE FRegionSize{};
    std::unique_ptr<TTimer> FHoverTimer;
    TColor FSavedColor = 0;
    bool FColorSaved = false;
    LONG_PTR FStyle = 0;
    std::vector<TSkinControl*> FControls;  // registered; owned by the skin manager
    bool FIsDialog = false;
    bool FIsChild = false;
    bool FSizeable = false;
    bool FRightToLeft = false;
    std::string FClassName;
    HWND FOwnerWindow = nullptr;
    TCanvas FControlCanvas;
    TCaptionTextPainter* FCaptionPainter = nullptr;

    // ---- menus ----
    std::unique_ptr<TSkinMenuBar> FMenuBar;
    bool FTracking = false;
    bool FMenuDirty = false;  // the menu changed while a drop-down was tracked
    HMENU FTrackedMenu = nullptr;
    std::unique_ptr<TSystemCommands> FSystemCommands;
    // Items of platform menus the skin made owner-drawn while it tracks a drop-down.
    struct TOwnerDrawnItem {
        HMENU Menu;
        UINT Id;
        ULONG_PTR Data;
        UINT OldType;
        std::u16string Text;
    };
    std::vector<TOwnerDrawnItem> FOwnerDrawn;
    // Framework popup menus and items that draw from the skin while it skins the form.
    std::vector<TMenu*> FSkinnedMenus;
    std::vector<TMenuItem*> FSkinnedItems;
    TWindowSubclass FClientSubclass;
    bool FSavedMenuUpdate = true;
};

}  // namespace qx

#include "skin/SkinManager.h"

namespace qx {

template <class S>
S* TSkinForm::AttachSkinner(TControl* control, bool ownColor) {
    auto* windowed = dynamic_cast<TWinControl*>(control);
    const TSkinKey key{windowed ? windowed->Handle() : nullptr, windowed ? nullptr : control};
    S* skinner = EnsureSkinManager().Own(std::make_unique<S>(), key);
    skinner->Attach(control, this, FSkinData, ownColor, &FControlCanvas);
    return skinner;
}

template <class S>
S* TSkinForm::AttachWindowSkinner(HWND window) {
    S* skinner = EnsureSkinManager().Own(std::make_unique<S>(), TSkinKey{window, nullptr});
    skinner->AttachWindow(window, FSkinData, this, &FControlCanvas);
    return skinner;
}

}  // namespace qx
