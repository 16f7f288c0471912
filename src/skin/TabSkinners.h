// Skinners of tabs and headers: tab and page controls (tabs and pane from the skin's Tabs
// element), the old-style tab set, the pages of a page control, header controls (a list
// view's column header among them) and the advanced page control, whose tab pictures are
// rendered from the skin and handed to the control.
#pragma once
#include "skin/ControlSkinners.h"

#include <memory>
#include <vector>

namespace qx {

class TSkinUpDown;

enum TTabOrientation : std::uint8_t { toTop, toBottom, toLeft, toRight };

class TSkinTab : public TSkinControl {
public:
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void AttachWindow(HWND handle, TSkinData* skinData, TControlSkinnerHost* form, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    void SkinChanged() override;
    TTabOrientation Orientation() const { return FOrientation; }
    // The frame (from 1) each tab got in the last paint.
    const std::vector<int>& LastTabFrames() const { return lastFrames_; }

private:
    void Prepare();
    void AttachSpin();
    TSkinState StateOf(int index, int selected) const;
    TTabOrientation FOrientation = toTop;
    // Copies of the skin's pictures turned for the orientation, made only when it needs them.
    std::unique_ptr<TBitmap> FTabImage;
    std::unique_ptr<TBitmap> FPaneImage;
    // What is drawn: the skin's own pictures (scaled once for every tab control of the skin),
    // or the turned copies.
    TBitmap* FTabPicture = nullptr;
    TBitmap* FPanePicture = nullptr;
    TSkinUpDown* FUpDown = nullptr;  // owned by the skin manager
    int FHot = -1;
    std::vector<int> lastFrames_;
};

// The old-style tab set.
class TSkinTab31 : public TSkinControl {
public:
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    bool BeforeMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    void SkinChanged() override;

private:
    void Prepare();
    std::unique_ptr<TBitmap> FTabImage;  // the skin's tab picture upside down
};

class TSkinTabSheet : public TSkinControl {
public:
    bool BeforeMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
};

class TSkinHeader : public TSkinControl {
public:
    bool BeforeMessage(TMessage& message) override;
    void AfterMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    int HotItem() const { return FHot; }
    // The frame (from 1) each item got in the last paint.
    const std::vector<int>& LastItemFrames() const { return lastFrames_; }

private:
    std::vector<RECT> FItems;  // item rectangles of the last paint
    int FHot = -1;
    int FPressedItem = -1;
    std::vector<int> lastFrames_;
};

class TSkinPageEx : public TSkinControl {
public:
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void SkinChanged() override;
    void Detach() override;

private:
    void AssignTabPictures();
    TSkinUpDown* FUpDown = nullptr;
};

}  // namespace qx
