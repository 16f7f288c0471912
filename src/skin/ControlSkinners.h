// The base of every control skinner: takes over one child window's messages (a framework
// control's message hook, or a raw window's subclass), routes them through BeforeMessage and
// AfterMessage, and paints the control from the skin.
#pragma once
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "skin/ControlView.h"
#include "skin/ScaledPictures.h"
#include "skin/SkinDraw.h"
#include "skin/SkinMessages.h"
#include "skin/Skinner.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TSkinData;
class TControlSkinnerHost;
class TDataSkinObject;

enum TSkinStateFlag : std::uint8_t { skHot = 1, skPressed = 2 };

// A paint setting of a skinner, set by the skinner itself or by a dispatch rule before it
// attaches; each skinner says what On means for it (a check box paints its caption, a scroll
// box keeps its own border, a page over its parent's background leaves its painting alone).
enum class TSelfPaint : std::uint8_t { Off, On };

// The base of every control skinner. The skin manager owns it; it hooks a framework control's
// messages (a message hook of the control) or subclasses a raw window, and lets go when the
// manager releases it or the window is destroyed.
class TSkinControl : public TSkinner, public TMessageHook {
public:
    TSkinControl();
    ~TSkinControl() override;

    TSkinKey Key() const override;
    // Gives back the hook or the window procedure; the colours stay (Detach restores them).
    void Release() override;

    // Binds to a framework control (windowed or not).
    virtual void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas);
    // Binds to a window without a framework object.
    virtual void AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas);
    // Gives the control back the colours it had.
    virtual void Detach();
    // True: the message goes on to the previous handler and then to AfterMessage.
    virtual bool BeforeMessage(TMessage& message);
    virtual void AfterMessage(TMessage& message);
    // The whole window, through the window DC when dc is 0. Never throws.
    virtual void PaintWindow(HDC dc);
    // rect is the window rectangle moved to the origin.
    virtual void PaintSkin(HDC dc, const RECT& rect) {}
    virtual void SkinChanged();

    void SkinWndProc(TMessage& message);
    void CallPrevious(TMessage& message);
    void Repaint();
    void HookMessage(TMessage& message, const TMessageNext& next) override;

    HWND Handle() const { return FHandle; }
    TControl* Control() const { return FControl; }
    TControlSkinnerHost* SkinForm() const { return FSkinForm; }
    TSkinData* SkinData() const { return FSkinData; }
    const TControlView& View() const { return FView; }
    bool SkinOn() const { return FSkinOn; }
    bool Attached() const { return FAttached; }
    TSelfPaint SelfPaint() const { return FSelfPaint; }
    std::uint8_t State() const { return FState; }
    bool OwnColor() const { return FOwnColor; }
    // Paint-mode setting that a dispatch rule gives a skinner (see each skinner).
    void SetSelfPaint(TSelfPaint value) { FSelfPaint = value; }
    // A skinner this one made for a part of its control (a list view's header, a spin button):
    // freed when this one lets go, unless it went first.
    void AdoptChild(TSkinControl* child);

protected:
    void Notification(TComponent* component, TOperation operation) override;

    void FillFace(HDC dc, const RECT& rect);
    TColor ParentColor(TColor defaultColor) const;
    void FillParentColor(HDC dc, const RECT& rect);
    void DrawTextFocus(HDC dc, UINT format, const RECT& rect);
    void ForwardMouseDown(const TMessage& message);
    void SyncParentBackground(bool on);
    // WM_PAINT and WM_PRINT painted by the skinner alone.
    void PaintOwn(TMessage& message);
    void EraseTransparent(TMessage& message);
    LONG_PTR WindowStyle() const;
    // The control's display scale (a windowless control's is its parent's), and the skin at
    // it: every skin part a skinner draws, and every length of its own, is taken to this scale.
    int Dpi() const;
    TSkinScale PaintScale(int dpi) const;
    bool OptionSet(int option) const;
    TColor SkinButtonFace() const;
    // The control shows its parent through the skin (Tag 5555 or the skin's option).
    bool WantsTransparency() const;
    // Takes the framework control's messages (its hook) without binding to a window.
    void HookControl(TControl* control);
    // Lets go when the control is freed.
    void WatchControl(TControl* control);

    std::uint8_t FState = 0;
    TCanvas* FCanvas = nullptr;
    bool FEnabled = false;
    bool FFocused = false;
    std::u16string FCaption;
    TWindowSubclass FSubclass;  // a raw window's messages
    bool FSkinOn = true;
    bool FUnicode = false;
    TSkinData* FSkinData = nullptr;
    HWND FHandle = nullptr;
    bool FHooked = false;  // the framework control's messages come through HookMessage
    TControl* FControl = nullptr;
    TControlView FView;
    RECT FWindowRect{};
    TControl* FCompanion = nullptr;
    bool FOwnColor = false;
    TColor FSavedColor = 0;
    bool FAttached = false;
    TControlSkinnerHost* FSkinForm = nullptr;
    TSelfPaint FSelfPaint = TSelfPaint::Off;
    bool FParentBackgroundWasOn = false;
    std::vector<TSkinControl*> FChildren;  // owned by the skin manager

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR refData);
    // The window is being destroyed: give everything back and leave the manager's table.
    void WindowGone();
    const TMessageNext* next_ = nullptr;  // the hook chain's next link while a hooked message runs
};

// The window's parent shows through: what the parent paints behind the control goes into dc.
void CopyParentBackground(TControl* control, HDC dc);
std::u16string ReplaceFirst(const std::u16string& text, std::u16string_view pattern, std::u16string_view replacement);

// A window's text, wide.
std::u16string WindowTextOf(HWND window);

}  // namespace qx
