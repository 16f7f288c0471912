// Skinners of input controls: combo boxes (frame and drop button over the control's own
// painting), edits (a flat border in the skin's colours), spin buttons, track bars (channel and
// thumb through the control's custom-draw notification) and raw size boxes.
#pragma once
#include "skin/ControlSkinners.h"

namespace qx {

class TSkinUpDown;

class TSkinComBox : public TSkinControl {
public:
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) override;
    void Release() override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // The drop button's frame (from 1) of the last paint: 1 normal, 2 hot, 3 pressed, 4 disabled.
    int LastButtonFrame() const { return lastFrame_; }
    RECT LastButtonRect() const { return lastButton_; }
    bool IsDropDownList() const { return FListWindow; }

private:
    void Prepare();
    static LRESULT CALLBACK ChildProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                      DWORD_PTR refData);
    TWindowSubclass FChild;  // the combo's edit
    bool FListWindow = false;
    int lastFrame_ = 0;
    RECT lastButton_{};
};

class TSkinEdit : public TSkinControl {
public:
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // Whether the last paint drew a border.
    bool LastBorder() const { return lastBorder_; }

private:
    TSkinUpDown* FUpDown = nullptr;  // owned by the skin manager
    bool lastBorder_ = false;
};

class TSkinUpDown : public TSkinControl {
public:
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    void SetBuddyMode(bool on) { FBuddy = on; }
    bool BuddyMode() const { return FBuddy; }
    // 0 the first (up or left) half, 1 the second, -1 none.
    int PressedHalf() const { return FPressedHalf; }
    // The pictures (from 1) of the two halves in the last paint; 0 for a half drawn without one.
    int LastFrame(int half) const { return lastFrames_[half & 1]; }

private:
    int HalfAt(POINT client) const;
    bool Horizontal() const;
    bool FBuddy = false;
    int FPressedHalf = -1;
    int FHotHalf = -1;
    int lastFrames_[2]{};
};

class TSkinTrackBar : public TSkinControl {
public:
    bool BeforeMessage(TMessage& message) override;
    void SkinChanged() override;
    // What the last thumb paint drew (its frame from 1), 0 when none.
    int LastThumbFrame() const { return lastThumb_; }

private:
    bool CustomDraw(TMessage& message);
    int lastThumb_ = 0;
};

// Makes a spin skinner for a raw spin window owned by the skin manager, registered with form.
TSkinUpDown* AttachSpinSkinner(HWND spin, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas, bool buddy);
// The first child window that is a spin control, or none.
HWND FindSpinChild(HWND parent);

// A raw size box: the skin's face and size grip.
class TSkinSizer : public TSkinControl {
public:
    void PaintSkin(HDC dc, const RECT& rect) override;
};

}  // namespace qx
