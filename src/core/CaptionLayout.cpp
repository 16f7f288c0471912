#include "core/CaptionLayout.h"

namespace qx {

namespace {

constexpr int kHitNowhere = 0;
constexpr int kHitCaption = 2;
constexpr int kHitMenu = 5;

// The rows both tables share; visibility1 differs only in rows 6 and 8.
bool Condition(std::int32_t code, bool first, std::int32_t action, const TCaptionFacts& f, TVisibilityRules rules,
               const std::function<bool()>& ask) {
    const bool text = rules == TVisibilityRules::CaptionText;
    switch (code) {
        case -1: return false;
        case 0: return !(text && first && action == 0) || f.HasSysMenu;
        case 1: return f.Maximized;
        case 2: return !f.Maximized;
        case 3: return f.Active;
        case 4: return !f.Active;
        case 5: return false;
        case 6: return first ? f.HasMaxBox && f.HasSysMenu : f.HasMaxBox;
        case 7: return !f.HasMaxBox;
        case 8: return first ? f.HasMinBox && f.HasSysMenu : f.HasMinBox;
        case 9: return !f.HasMinBox;
        case 10:
        case 11: return false;
        case 100: return f.MdiMenuBar;
        default: break;
    }
    if (text) return code >= 200 && code <= 2000;
    if (code == 200) return f.DialogFrame && !f.DialogClass;
    if (code >= 201 && code <= 999) return true;
    if (code >= 1000 && code <= 2000) return !first || (ask && ask());
    return false;
}

}  // namespace

bool CaptionButtonVisible(std::int32_t visibility, std::int32_t visibility1, std::int32_t action,
                          const TCaptionFacts& facts, TVisibilityRules rules,
                          const std::function<bool()>& askApplication) {
    // Codes 100 and 200 of the second condition repeat the first one's answer.
    const bool first = Condition(visibility, true, action, facts, rules, askApplication);
    if (!first) return false;
    bool second;
    if (visibility1 == 100 || (rules == TVisibilityRules::Frame && visibility1 == 200))
        second = first;
    else
        second = Condition(visibility1, false, action, facts, rules, askApplication);
    if (!second) return false;
    switch (action) {
        case 0: return rules == TVisibilityRules::CaptionText || facts.HasSysMenu;
        case 1: return facts.HasMaxBox;
        case 2: return facts.HasMinBox;
        case 3:
        case 11:
        case 12: return !facts.DialogFrame;
        default: return true;
    }
}

TButtonPlacement PlaceCaptionButton(std::int32_t align, std::int32_t xcoord, std::int32_t ycoord, int buttonWidth,
                                    int buttonHeight, const TCaptionBand& band, const TTextAnchors& anchors,
                                    TVisibilityRules rules) {
    const bool text = rules == TVisibilityRules::CaptionText;
    switch (align) {
        case 0: return {xcoord, ycoord};
        case 1: return {band.WindowWidth - xcoord, ycoord};
        case 2:
        case 8:
            // Against the text: the button's right edge xcoord pixels before it.
            return {anchors.Left - buttonWidth - xcoord, ycoord};
        case 3:
        case 9: return {text ? anchors.Right + xcoord : xcoord + anchors.Right, ycoord};
        case 100: {
            const int top = (band.MenuHeight - buttonHeight) / 2 + band.CaptionHeight;
            if (band.RightToLeft) return {xcoord + band.BorderLeft + band.MenuBarLeftMargin, top};
            return {band.WindowWidth - xcoord - band.BorderRight - band.MenuBarLeftMargin, top};
        }
        default: return {0, 0};
    }
}

int CaptionHitTest(int previousAnswer, int y, int captionHeight, int menuHeight) {
    if (previousAnswer != kHitNowhere && previousAnswer != kHitCaption) return previousAnswer;
    int answer = previousAnswer;
    if (y > 3) answer = kHitCaption;
    if (y > captionHeight && menuHeight > 0) answer = kHitMenu;
    return answer;
}

}  // namespace qx
