// The arithmetic of a skinned caption: frame widths from the pieces' images, when a caption
// button shows, where it sits, and what a point of the caption area is. No drawing and no
// window here, so that every rule is tested on its own.
#pragma once
#include <cstdint>
#include <functional>

namespace qx {

// The width (or height) of one picture of an image holding `frames` pictures along that
// extent. A count below 1 is taken as 1: a skin file can write 0, and nothing may divide by it.
constexpr int FramePart(int extent, int frames) { return frames < 1 ? extent : extent / frames; }

// What a caption button's visibility rules ask about its window.
struct TCaptionFacts {
    bool Maximized = false;
    bool Active = true;
    bool HasMaxBox = false;
    bool HasMinBox = false;
    bool HasSysMenu = false;
    bool DialogFrame = false;  // a dialog frame (no icon, no system-menu button)
    bool DialogClass = false;  // a system dialog or message box
    bool MdiMenuBar = false;   // an MDI frame whose active child is maximized, with a menu bar
};

// The frame painter and the caption text painter read some visibility codes differently.
enum class TVisibilityRules : std::uint8_t { Frame, CaptionText };

// Whether a caption button with these codes shows. askApplication answers the codes that the
// application decides (1000 to 2000); it is asked only for those.
bool CaptionButtonVisible(std::int32_t visibility, std::int32_t visibility1, std::int32_t action,
                          const TCaptionFacts& facts, TVisibilityRules rules,
                          const std::function<bool()>& askApplication);

// Where the text of the caption lies, for buttons placed against it.
struct TTextAnchors {
    int Left = 0;
    int Right = 0;
};

struct TButtonPlacement {
    int Left = 0;
    int Top = 0;
};

// The top-left corner (window coordinates) of a caption button of the given size.
struct TCaptionBand {
    int WindowWidth = 0;
    int BorderLeft = 0;
    int BorderRight = 0;
    int CaptionHeight = 0;
    int MenuHeight = 0;
    int MenuBarLeftMargin = 0;  // the menu bar element's left margin, 0 without one
    bool RightToLeft = false;
};
TButtonPlacement PlaceCaptionButton(std::int32_t align, std::int32_t xcoord, std::int32_t ycoord, int buttonWidth,
                                    int buttonHeight, const TCaptionBand& band, const TTextAnchors& anchors,
                                    TVisibilityRules rules);

// The hit-test code of a point of a skinned window: the previous procedure's answer stands
// unless it was "nowhere" or "caption"; then the skin's caption strip and menu band decide.
// y is measured from the window's top edge.
int CaptionHitTest(int previousAnswer, int y, int captionHeight, int menuHeight);

}  // namespace qx
