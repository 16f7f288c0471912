// The caption buttons of a skinned window: one object per button element of the skin, shown by
// the skin's visibility rules and placed around the caption, the window's one hot or pressed
// caption object, the button under a point, one button painted at once in its state, and what
// a click on each does. A part of the form skinner, which owns it and answers for the window
// through TCaptionButtonsHost.
#pragma once
#include "core/CaptionLayout.h"
#include "framework/Graphics.h"
#include "skin/CaptionBar.h"
#include "skin/ScaledPictures.h"

#include <windows.h>

#include <memory>
#include <vector>

namespace qx {

class TSkinData;
class TSkinMenuBar;
class TSystemCommands;

// What the caption buttons need of the window they serve.
class TCaptionButtonsHost {
public:
    virtual HWND Handle() const = 0;
    virtual TSkinData* SkinData() const = 0;
    virtual bool Active() const = 0;
    // The window's dpi as its frame was last measured, and the skin drawn at it.
    virtual int Dpi() const = 0;
    virtual TSkinScale SkinScale() const = 0;
    // The facts the visibility rules ask about the window, and the band the buttons sit in.
    virtual TCaptionFacts CaptionFacts() const = 0;
    virtual TCaptionBand CaptionBand() const = 0;
    // The band under a maximized MDI child's buttons, or none.
    virtual TSkinMenuBar* MenuBar() const = 0;
    // The window's icon at the small icon size (loaded again on each call).
    virtual TBitmap& LoadWindowIcon() = 0;
    virtual void DrawWindowIcon(HDC dc, const RECT& rect) = 0;
    virtual TSystemCommands& SystemCommands() = 0;
    virtual HMENU SystemMenu() const = 0;
    // The window is about to close: the caption stops following the mouse.
    virtual void StopHover() = 0;

protected:
    ~TCaptionButtonsHost() = default;
};

class TCaptionButtons final : public TNCObjectHost {
public:
    explicit TCaptionButtons(TCaptionButtonsHost& host) : FHost(host) {}
    TCaptionButtons(const TCaptionButtons&) = delete;
    TCaptionButtons& operator=(const TCaptionButtons&) = delete;

    // One object for each button element of the skin (the icon buttons take the window's
    // icon when the skin has no picture for them).
    void Rebuild(TSkinData& skin);
    // Lets go of the objects (they point at the skin's elements of the last parse).
    void Drop();
    const std::vector<std::unique_ptr<TSysButton>>& Buttons() const { return FButtons; }

    // Places the visible buttons in the caption band by the frame's rules.
    void Layout();
    // Whether the button is shown now (and records it in the button).
    bool Visible(TSysButton& button) const;
    // The button under a point of the window (window coordinates), or none.
    TSysButton* ObjectAt(POINT framePoint) const;

    // Draws every visible button on the caption strip, keeping what lies under them first.
    void PaintAll(TBitmap& strip);
    // Draws one button in one state at once on the window.
    void PaintSysButton(TSysButton& button, int state) override;
    // After the frame was painted anew every button shows its normal state.
    void ResetStates();

    TNCObject* HotObject() const override { return FHotObject; }
    void SetHotObject(TNCObject* object) override { FHotObject = object; }
    bool ButtonHot() const { return dynamic_cast<TSysButton*>(FHotObject) != nullptr; }

    // The click on a button was released at releasePoint (screen coordinates).
    void DoButtonAction(TSysButton& button, POINT releasePoint);

private:
    TCaptionButtonsHost& FHost;
    std::vector<std::unique_ptr<TSysButton>> FButtons;
    TNCObject* FHotObject = nullptr;
    TBitmap FStripBack;  // the strip without its buttons, for repainting one button alone
};

}  // namespace qx
