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
#include "skin/CaptionButtons.h"
#include "skin/ChildDispatch.h"
#include "skin/ControlSkinnerHost.h"
#include "skin/FramePainter.h"
#include "skin/MdiClientHook.h"
#include "skin/MenuBarHost.h"
#include "skin/MenuBarTracker.h"
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

class TSkinForm : public TSkinner,
                  public TMessageHook,
                  public TSystemCommandsHost,
                  public TControlSkinnerHost,
                  public TChildDispatchHost,
                  public TMenuBarHost,
                  public TMenuBarTrackerHost,
                  public TCaptionButtonsHost,
                  public TFramePainterHost,
                  public TMdiClientHookHost {
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
    // They register with the child dispatch; a skinner made for this window reaches it here.
    bool RegisterControl(TSkinControl* skinner) override { return FDispatch->RegisterControl(skinner); }
    void UnregisterControl(TSkinControl* skinner) override { FDispatch->UnregisterControl(skinner); }
    bool IsRegisteredWindow(HWND window) const override { return FDispatch->IsRegisteredWindow(window); }
    TCanvas* ControlCanvas() override { return FDispatch->ControlCanvas(); }
    const std::vector<TSkinControl*>& Controls() const { return FDispatch->Controls(); }
    void FreeControlSkinners() { FDispatch->FreeControlSkinners(); }
    // Which child gets which skinner.
    TChildDispatch& ChildDispatch() { return *FDispatch; }

    // ---- frame ----
    // Frame widths, painting, window icon and region.
    TFramePainter& FramePainter() { return *FFrame; }
    void MeasureFrame() { FFrame->MeasureFrame(); }
    void FitToSkin(bool keepClient, bool shapeFirst = false) { FFrame->FitToSkin(keepClient, shapeFirst); }
    void PaintFrame(HDC dc = nullptr) { FFrame->PaintFrame(dc); }
    void PaintCaption(HDC dc) { FFrame->PaintCaption(dc); }
    void PaintBorderPiece(TFramePiece index, const RECT& rect, HDC dc) { FFrame->PaintBorderPiece(index, rect, dc); }
    TBitmap& LoadWindowIcon() override;
    void DrawWindowIcon(HDC dc, const RECT& rect) override;
    void UpdateRegion(TRegionPaint paint = TRegionPaint::Now) { FFrame->UpdateRegion(paint); }
    // An MDI child follows the manager's maximized-child state (region and system caption).
    void MdiChildMaximizedChanged(bool maximized);
    // Frees the caption-button objects (they point at the skin's elements of the last parse).
    void DropCaptionButtons() { FButtons->Drop(); }
    // The facts the caption-button rules ask about this window.
    TCaptionFacts CaptionFacts() const override;
    TCaptionBand CaptionBand() const override;
    void ComposeCaptionStrip(HDC strip, const RECT& captionRect, bool minimized) {
        FFrame->ComposeCaptionStrip(strip, captionRect, minimized);
    }

    // ---- caption-bar objects ----
    // The caption buttons and the window's hot caption object.
    TCaptionButtons& CaptionButtons() override;
    POINT ScreenToFrame(int x, int y) const override;
    // Maximize, minimize, restore and the skinned system menu.
    TSystemCommands& SystemCommands() override { return *FSystemCommands; }

    // ---- menus ----
    TSkinMenuBar* MenuBar() const override;
    TMenuBtn* MenuBtnAt(POINT framePoint) const { return FMenus->MenuBtnAt(framePoint); }
    void OpenMenuBtn(TMenuBtn* item, bool fromKeyboard) { FMenus->OpenMenuBtn(item, fromKeyboard); }
    bool Tracking() const { return FMenus->Tracking(); }
    // An MDI frame whose active child is maximized.
    bool ActiveChildMaximized() const override;
    HWND ClientHandle() const override { return FClientHandle; }

    // ---- messages ----
    void SkinWndProc(TMessage& message);
    void CallPrevious(TMessage& message) override;
    void HookMessage(TMessage& message, const TMessageNext& next) override;
    // What a framework form's own handler does after the skinner: its caption and dialog
    // characters as the skin frame needs them, then the form.
    void PassToForm(TMessage& message, const TMessageNext& next);

    // ---- what other parts read ----
    // What several of the parts ask is defined out of line: a function that answers for more
    // than one interface gets a thunk for each, and this toolchain's linker rejects the inline
    // ones as duplicates.
    HWND Handle() const override;
    TCustomForm* Form() const override;
    TSkinData* SkinData() const override;
    bool SkinFrame() const override;
    TSkinnerLife Life() const override;
    TMdiKind MdiKind() const override;
    TBorderKind BorderKind() const override;
    TWindowState WindowState() const override;
    bool Active() const override;
    bool IsDialog() const override;
    bool IsChild() const override;
    bool RightToLeft() const override;
    std::uint8_t Caps() const override { return FCaps; }
    int BorderLeft() const { return FFrame->BorderLeft(); }
    int CaptionHeight() const { return FFrame->CaptionHeight(); }
    int BorderRight() const { return FFrame->BorderRight(); }
    int BorderBottom() const { return FFrame->BorderBottom(); }
    int MenuHeight() const { return FFrame->MenuHeight(); }
    // The window's dpi as the frame was last measured, and the skin drawn at it.
    int Dpi() const override;
    // Out of line: declared by more than one host interface (see Handle).
    TSkinScale SkinScale() const override;
    // A length of the skin at the window's scale.
    int Scaled(int length) const override;
    const std::vector<std::unique_ptr<TSysButton>>& SysButtons() const override { return FButtons->Buttons(); }
    TNCObjectHost& CaptionObjects() override;
    bool MdiButtonsOnBar() const override { return CaptionFacts().MdiMenuBar; }
    TBitmap& CaptionBitmap() { return FFrame->CaptionBitmap(); }
    bool Started() const { return FStarted; }
    HRGN Region() const { return FFrame->Region(); }
    void SetCaptionPainter(TCaptionTextPainter* painter) { FCaptionPainter = painter; }
    TCaptionTextPainter* CaptionPainter() const { return FCaptionPainter; }
    // The caption buttons' text anchors, kept by the caption text painter.
    TTextAnchors TextAnchors;

private:
    TComponent* SkinnerComponent() override { return this; }
    // ---- what the system commands ask of the window ----
    void SetWindowStateAhead(TWindowState state) override { FWindowState = state; }
    bool Sizeable() const override { return FSizeable; }
    HMENU SystemMenu() const override;
    bool Released() const override;
    bool SysButtonHot() const override { return FButtons->ButtonHot(); }
    void ForgetHotObject() override { FButtons->SetHotObject(nullptr); }
    void StopHover() override;
    bool MdiChildMaximized() const override;
    void SetMdiChildMaximized(bool maximized) override;
    void SetPopupKind(TPopupKind kind) override;
    void DrawMenuItem(TMenuItem* item, HDC dc, const RECT& rect, UINT state) override {
        FMenus->DrawItem(item, dc, rect, state);
    }
    void MeasureMenuItem(TMenuItem* item, int& width, int& height) override { FMenus->MeasureItem(item, width, height); }
    // ---- what the menus ask of the window ----
    bool KeepsOwnPopupMenus() const override { return FKeepsOwnPopupMenus; }
    bool CanTakeMenuBar() const override { return FMDIKind != mkChild && FBorderKind != bkNoCaption; }
    TMenuBarHost& BarHost() override { return *this; }
    RECT MenuBand() const override;
    void SetMenuHeight(int height) override { FFrame->SetMenuHeight(height); }
    void RepaintFrame() override;
    void ShowSystemMenu(POINT screenPoint) override { FSystemCommands->ShowSysMenu(screenPoint); }

    void ReadStyles();
    void ReadWindowState();
    void SetCaptionStyle(bool on) override;
    void SetSysMenuStyle(bool remove) override;
    void FrameChanged() override;
    void ReloadMenuBar(bool relayout) override;
    // ---- the steps of taking a window over ----
    // Its kind: frame or none, MDI role, border, caption buttons, dialog.
    void ReadWindowKind(TSkinData& skinData);
    // The skin's frame in place of the system's: menu bar, no system caption, the frame's sizes.
    void TakeOverFrame();
    // ---- the steps of the start message ----
    void StartSkin();
    // The system menu, the icon and the system frame's size, for giving the frame back.
    void RecordSystemFrame();
    // The window's children and popup menus get their skinners.
    void SkinChildren();
    // The window takes the skin frame's size (and region) for the first time.
    void FitToSkinFirstTime();
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
    // A message that the frame painter's own setting of the region sends: it neither moves nor
    // resizes the window, so the window's own procedure has nothing to learn from it.
    bool FromOwnRegion(const TMessage& m) const;
    // Non-client mouse messages; true when consumed.
    bool OnNcMouse(TMessage& m);
    // Lets the previous procedure handle a message that would draw the system caption over
    // ours, with the caption style off meanwhile, and then paints the skinned frame.
    void PassOnWithoutSystemCaption(TMessage& m);
    void OnHoverTimer();
    void RestoreRedraw();
    void GiveBackProcedures();
    HDC WindowDc() override;
    bool WriteCaptionText(HDC strip, const RECT& captionRect) override;
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);

    HWND FHandle = nullptr;
    TCustomForm* FForm = nullptr;
    TSkinData* FSkinData = nullptr;
    TWindowSubclass FSubclass;  // a raw window's messages
    bool FHooked = false;       // a framework form's messages
    const TMessageNext* FNext = nullptr;  // where a framework form's message in flight goes on
    bool FReleased = false;
    bool FStarted = false;
    bool FRedrawOff = false;
    bool FUnicode = false;
    HWND FClientHandle = nullptr;
    bool FSkinFrame = false;
    TMdiKind FMDIKind = mkPlain;
    TBorderKind FBorderKind = bkSizeable;
    TWindowState FWindowState = wsNormal;
    bool FActive = true;
    std::uint8_t FCaps = 0;
    SIZE FSysFrame{};
    HMENU FInitialMenu = nullptr;
    HMENU FSysMenu = nullptr;
    std::unique_ptr<TTimer> FHoverTimer;
    TColor FSavedColor = 0;
    bool FColorSaved = false;
    LONG_PTR FStyle = 0;
    bool FIsDialog = false;
    bool FIsChild = false;
    bool FSizeable = false;
    bool FRightToLeft = false;
    bool FKeepsOwnPopupMenus = false;
    HWND FOwnerWindow = nullptr;
    TCaptionTextPainter* FCaptionPainter = nullptr;

    std::unique_ptr<TSystemCommands> FSystemCommands;
    std::unique_ptr<TChildDispatch> FDispatch;
    std::unique_ptr<TCaptionButtons> FButtons;
    std::unique_ptr<TMenuBarTracker> FMenus;
    std::unique_ptr<TFramePainter> FFrame;
    TMdiClientHook FClientHook{*this};
};

}  // namespace qx
