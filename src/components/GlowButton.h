// A push button that paints itself with GDI+: a rounded body of two gradient halves, a thin
// border, a picture and a caption, fading between its normal, hot and pressed colours.
#pragma once
#include "components/GdiPlusPicture.h"
#include "core/GlowButtonLogic.h"
#include "framework/Controls.h"

namespace qx {

enum TButtonLayout {
    blGlyphLeft, blGlyphTop, blGlyphRight, blGlyphBottom,
    blGlyphLeftAdjusted, blGlyphRightAdjusted, blGlyphTopAdjusted, blGlyphBottomAdjusted
};
enum TGlowBorderStyle { gbsNone, gbsSingle };  // stored as bsNone, bsSingle
enum TAntiAlias { aaNone, aaClearType, aaAntiAlias };
enum TGlowButtonStyle { gbsButton, gbsCheck };  // stored as bsButton, bsCheck
enum TGlowTrimming {
    StringTrimmingNone, StringTrimmingCharacter, StringTrimmingWord, StringTrimmingEllipsisCharacter,
    StringTrimmingEllipsisWord, StringTrimmingEllipsisPath
};

extern const TEnumInfo ButtonLayoutInfo;
extern const TEnumInfo GlowBorderStyleInfo;
extern const TEnumInfo AntiAliasInfo;
extern const TEnumInfo FocusTypeInfo;
extern const TEnumInfo GlowButtonStyleInfo;
extern const TEnumInfo GlowGradientInfo;
extern const TEnumInfo GlowTrimmingInfo;

// The button's colour sets; a change repaints the button.
class TGlowButtonAppearance : public TPersistent {
    QX_CLASS_INFO()
public:
    TGlowButtonAppearanceData& Data() { return data_; }
    const TGlowButtonAppearanceData& Data() const { return data_; }
    void Changed() {
        if (OnChange) OnChange();
    }
    std::function<void()> OnChange;

private:
    TGlowButtonAppearanceData data_ = TGlowButtonAppearanceData::Defaults();
};

// A picture kept as its encoded bytes (PNG here) and drawn through GDI+.
class TEncodedPicture : public TPersistent {
    QX_CLASS_INFO()
public:
    TGdiPlusPicture& Picture() { return picture_; }
    bool Empty() const { return picture_.Empty(); }
    // The layout's bytes: the encoded file, optionally after a length-prefixed class name.
    void ReadData(std::span<const std::uint8_t> data);
    std::function<void()> OnChange;

private:
    TGdiPlusPicture picture_;
};

class TCustomGlowButton : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TCustomGlowButton(TComponent* owner);
    ~TCustomGlowButton() override;

    // The fade period shared by all glow buttons, in milliseconds; 0 or less: no fading.
    static int GlowPeriod();
    static void SetGlowPeriod(int milliseconds);

    TGlowButtonAppearance* Appearance() { return &appearance_; }
    TEncodedPicture* Picture() { return &picture_; }
    // Picture drawn at twice its size: drawn in its place above 100 % (see TImage::Picture2x).
    TEncodedPicture* Picture2x() { return &picture2x_; }
    TEncodedPicture* HotPicture() { return &hotPicture_; }
    TEncodedPicture* DisabledPicture() { return &disabledPicture_; }

#define QX_GLOW_PROPERTY(Type, Name, field) \
    Type Name() const { return field; }      \
    void Set##Name(Type value) {             \
        if (field == value) return;          \
        field = value;                       \
        Invalidate();                        \
    }
    QX_GLOW_PROPERTY(TButtonLayout, Layout, layout_)
    QX_GLOW_PROPERTY(int, Spacing, spacing_)
    QX_GLOW_PROPERTY(bool, WordWrap, wordWrap_)
    QX_GLOW_PROPERTY(bool, ShowCaption, showCaption_)
    QX_GLOW_PROPERTY(bool, Rounded, rounded_)
    QX_GLOW_PROPERTY(TGlowBorderStyle, BorderStyle, borderStyle_)
    QX_GLOW_PROPERTY(TAntiAlias, AntiAlias, antiAlias_)
    QX_GLOW_PROPERTY(TGlowTrimming, Trimming, trimming_)
    QX_GLOW_PROPERTY(int, MarginHorz, marginHorz_)
    QX_GLOW_PROPERTY(int, MarginVert, marginVert_)
    QX_GLOW_PROPERTY(bool, ShowDisabled, showDisabled_)
    QX_GLOW_PROPERTY(bool, Transparent, transparent_)
    QX_GLOW_PROPERTY(TGlowFocusType, FocusType, focusType_)
    QX_GLOW_PROPERTY(TGlowButtonStyle, Style, style_)
    QX_GLOW_PROPERTY(int, GroupIndex, groupIndex_)
    QX_GLOW_PROPERTY(bool, AllowAllUp, allowAllUp_)
    QX_GLOW_PROPERTY(bool, Down, down_)
    QX_GLOW_PROPERTY(bool, RepeatClick, repeatClick_)
    QX_GLOW_PROPERTY(int, InitRepeatPause, initRepeatPause_)
    QX_GLOW_PROPERTY(int, RepeatPause, repeatPause_)
    QX_GLOW_PROPERTY(bool, Default, default_)
    QX_GLOW_PROPERTY(bool, Cancel, cancel_)
    QX_GLOW_PROPERTY(int, ModalResult, modalResult_)
#undef QX_GLOW_PROPERTY

    TFont& NotesFont() { return notesFont_; }
    TFont* NotesFontObject() { return &notesFont_; }
    const std::u16string& Notes() const { return notes_; }
    void SetNotes(const std::u16string& value) { notes_ = value; }

    void Click() override;
    // A push button (a check button in the bsCheck style) named by its caption.
    void DescribeAccessible(TAccessibleInfo& info) const override;
    void DoAccessibleAction() override { Click(); }
    // The animation, readable from outside (tests, the skin engine).
    const TGlowAnimation& Animation() const { return animation_; }
    // The colours the next paint uses.
    TGlowPaintColors CurrentColors() const;
    // The face the caption is drawn in (the system font's when SystemFont applies).
    std::u16string CaptionFace() const;
    // Where the last paint put the picture and the caption (empty when not drawn).
    RECT LastPictureRect() const { return lastPicture_; }
    RECT LastCaptionRect() const { return lastCaption_; }

protected:
    void WndProc(TMessage& message) override;
    void Paint() override;
    void CreateWindowHandleDone() override;
    void ScaleMetrics(int toDpi, int fromDpi) override;

private:
    void Apply(const TGlowEffects& effects);
    bool LeftButtonHeld() const { return (GetKeyState(VK_LBUTTON) & 0x8000) != 0; }
    // Enter (on the focused or the default button), Escape (on the cancel button) or the
    // accelerator: the down look at once, then the click.
    void KeyClick();
    void PointerEntered();
    void PointerLeft();
    TGdiPlusPicture* CurrentPicture();

    TGlowButtonAppearance appearance_;
    TEncodedPicture picture_, picture2x_, hotPicture_, disabledPicture_;
    TGlowAnimation animation_;
    bool pointerInside_ = false;
    bool keyDown_ = false;
    TButtonLayout layout_ = blGlyphLeft;
    int spacing_ = 2;
    bool wordWrap_ = true, showCaption_ = true, rounded_ = true;
    TGlowBorderStyle borderStyle_ = gbsSingle;
    TAntiAlias antiAlias_ = aaClearType;
    TGlowTrimming trimming_ = StringTrimmingNone;
    int marginHorz_ = 1, marginVert_ = 1;
    bool showDisabled_ = true, transparent_ = false;
    TGlowFocusType focusType_ = ftBorder;
    TGlowButtonStyle style_ = gbsButton;
    int groupIndex_ = 0;
    bool allowAllUp_ = false, down_ = false, repeatClick_ = false;
    int initRepeatPause_ = 400, repeatPause_ = 100;
    bool default_ = false, cancel_ = false;
    int modalResult_ = 0;
    TFont notesFont_;
    std::u16string notes_;
    RECT lastPicture_{}, lastCaption_{};
    int dpi_ = 96;  // the display scale the button is laid out at: its pictures are drawn at it
};

class TGlowButton : public TCustomGlowButton {
    QX_CLASS_INFO()
public:
    explicit TGlowButton(TComponent* owner) : TCustomGlowButton(owner) {}
};

}  // namespace qx
