// Skinners of controls that draw pictures the skin hands them: the media player (a panel over
// its button bar draws the buttons from the skin's Buttons element and forwards presses to the
// player) and check boxes and radio buttons that take a custom glyph strip (the skin's strip
// is given to the control).
#pragma once
#include "skin/ControlSkinners.h"

#include <array>
#include <memory>

namespace qx {

class TSkinMP;

// The panel over a media player: same parent, same place, never skinned itself.
class TMediaPlayerOverlay : public TCustomControl {
public:
    // player is the media player's view (its control and window).
    TMediaPlayerOverlay(TSkinMP* skinner, const TControlView& player);
    ~TMediaPlayerOverlay() override;
    // Follows the player's bounds and visibility.
    void Follow();
    // The button drawn pressed, or -1; and the glyph kind each button got in the last paint
    // ('E' enabled, 'D' disabled, 'C' coloured, 0 not shown).
    int PressedButton() const { return pressed_; }
    char LastGlyph(int button) const { return lastGlyph_[static_cast<std::size_t>(button)]; }
    bool Busy() const { return busy_ > 0; }
    void Orphan() { player_ = TControlView(); }
    // Read through the player under it, never itself.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;
    void Paint() override;

private:
    void LoadGlyphs();
    TSkinMP* skinner_;
    // The player's window as it is now, or none once the player is gone.
    HWND PlayerWindow() const { return player_.CurrentWindow(); }
    TControlView player_;
    HWND parentWindow_ = nullptr;
    // EN, DI and CL pictures of each button.
    std::array<std::array<std::unique_ptr<TBitmap>, 3>, 9> glyphs_;
    int pressed_ = -1;
    int busy_ = 0;
    std::array<char, 9> lastGlyph_{};
};

struct TMediaOverlayDeleter {
    void operator()(TMediaPlayerOverlay* overlay) const;
};

class TSkinMP : public TSkinControl {
public:
    TSkinMP();
    ~TSkinMP() override;
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    void Detach() override;
    void Release() override;
    void AfterMessage(TMessage& message) override;
    TMediaPlayerOverlay* Overlay() const { return FOverlay.get(); }

private:
    std::unique_ptr<TMediaPlayerOverlay, TMediaOverlayDeleter> FOverlay;
};

enum TGlyphKind : std::uint8_t { gkCheck = 1, gkRadio = 2, gkExCheck = 3 };

// Gives a glyph control a strip built from the skin's check or radio pictures: unchecked,
// checked, disabled unchecked, disabled checked.
class TSkinObjImage : public TSkinControl {
public:
    explicit TSkinObjImage(TGlyphKind kind = gkCheck) : FKind(kind) {}
    void Attach(TControl* control, TControlSkinnerHost* form, TSkinData* skinData, bool ownColor, TCanvas* canvas) override;
    // Only the skinned query is answered and sizes followed; the control paints itself with
    // the strip.
    void AfterMessage(TMessage& message) override;
    void Detach() override;
    void SkinChanged() override;
    TGlyphKind GlyphKind() const { return FKind; }
    void SetGlyphKind(TGlyphKind kind) { FKind = kind; }

private:
    void AssignGlyphs();
    TGlyphKind FKind;
    bool cropped_ = false;  // the strip holds less of the skin's cells than they have
};

}  // namespace qx
