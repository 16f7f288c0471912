// Skinners of bars that only show state: the progress bar (trough and fill from the skin's
// Progress element, or chunks from Progress.Chunk; vertical bars composed lying down and
// turned) and the status bar (its cells, texts and size grip from StatusBarEdges and
// ExtraImages).
#pragma once
#include "skin/ControlSkinners.h"

namespace qx {

class TSkinProgress : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;
    // The filled width of the last paint (along the bar), for tools and tests.
    int LastFill() const { return lastFill_; }

private:
    void PaintChunks(HDC work, const RECT& r, int fill, const TSkinScale& scale);
    int lastFill_ = 0;
};

class TSkinStatusBar : public TSkinControl {
public:
    using TSkinControl::TSkinControl;
    bool BeforeMessage(TMessage& message) override;
    void PaintSkin(HDC dc, const RECT& rect) override;

private:
    // k: 1 lowered, 2 raised, 3 no bevel.
    void PanelBackground(HDC dc, const RECT& cell, TSkinState bevel, const TSkinScale& scale);
};

// Draws text in a cell the way skinned cells do: measured, centred vertically (and across for
// DT_CENTER), transparent, in the shadow colour when not enabled.
void DrawCellText(HDC dc, const RECT& cell, UINT alignment, bool enabled, const std::u16string& text);

}  // namespace qx
