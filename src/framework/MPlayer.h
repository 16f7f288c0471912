// The media player's button bar: nine buttons (play, pause, stop, next, previous, step, back,
// record, eject) of which some are shown and some enabled; a click names its button. Playing
// media is not part of it.
#pragma once
#include "framework/Controls.h"

#include <functional>

namespace qx {

enum TMPBtnType : std::uint8_t { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };
constexpr int kMediaButtonCount = 9;
using TButtonSet = std::uint16_t;  // bit n for button n
extern const TEnumInfo MPBtnTypeInfo;
constexpr TButtonSet kAllMediaButtons = (1u << kMediaButtonCount) - 1;

class TMediaPlayer;
using TMPBtnClickEvent = std::function<void(TMediaPlayer* sender, TMPBtnType button)>;

class TMediaPlayer : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TMediaPlayer(TComponent* owner);
    TButtonSet VisibleButtons() const { return visible_; }
    void SetVisibleButtons(TButtonSet value);
    TButtonSet EnabledButtons() const { return enabled_; }
    void SetEnabledButtons(TButtonSet value);
    TButtonSet ColoredButtons() const { return colored_; }
    void SetColoredButtons(TButtonSet value);
    // The shown buttons in bar order, and the one under a client x (-1 for none).
    int VisibleCount() const;
    int ButtonAt(int x) const;
    // The button being pressed, or -1.
    int PressedButton() const { return pressed_; }
    // The button the keyboard is on while the bar has the focus (its focus cue), or -1.
    int FocusedButton() const;
    TMPBtnClickEvent OnClick;
    // A tool bar whose buttons are its parts.
    void DescribeAccessible(TAccessibleInfo& info) const override;
    void DescribeAccessibleItems(std::vector<TAccessibleItem>& items) const override;
    void DoAccessibleItemAction(int index) override;

protected:
    void Paint() override;
    void WndProc(TMessage& message) override;

private:
    bool Usable(int button) const;
    // The usable button next to from in bar order (forward or back), or from when none is.
    int NextUsable(int from, bool forward) const;
    void MoveKeyboardTo(int button);
    void ClickButton(int button);
    int key_ = -1;  // the button the keyboard is on
    TButtonSet visible_ = kAllMediaButtons;
    TButtonSet enabled_ = kAllMediaButtons;
    TButtonSet colored_ = kAllMediaButtons;
    int pressed_ = -1;
};

// Draws the keyboard's focus cue inside a media button's cell.
void DrawMediaFocus(HDC dc, const RECT& cell);
// Draws the glyph of a media button centred in rect (the system look of the bar).
void DrawMediaGlyph(HDC dc, const RECT& rect, TMPBtnType button, COLORREF color);

}  // namespace qx
