// A windowless progress bar drawing its fill as one gradient or as blocks, with an optional
// percentage or caption text. The picture is composed off-screen only when something visible
// changed, and copied to the screen in one transfer.
#pragma once
#include "components/GraphicControlEx.h"
#include "core/GradientProgressLayout.h"

namespace qx {

extern const TEnumInfo ProgressTextOptionInfo;
extern const TEnumInfo ProgressBorderInfo;

class TGradientProgress : public TGraphicControlEx {
    QX_CLASS_INFO()
public:
    explicit TGradientProgress(TComponent* owner);

    int Minimum() const { return state_.Minimum(); }
    void SetMinimum(int value);
    int Maximum() const { return state_.Maximum(); }
    void SetMaximum(int value);
    int Position() const { return state_.Position(); }
    void SetPosition(int value);
    bool Solid() const { return state_.Solid(); }
    void SetSolid(bool value);
    bool GradientBlocks() const { return state_.GradientBlocks(); }
    void SetGradientBlocks(bool value);
    TColor StartColor() const { return state_.StartColor(); }
    void SetStartColor(TColor value);
    TColor EndColor() const { return state_.EndColor(); }
    void SetEndColor(TColor value);
    TProgressTextOption TextOption() const { return state_.TextOption(); }
    void SetTextOption(TProgressTextOption value);
    bool TextCentered() const { return state_.TextCentered(); }
    void SetTextCentered(bool value);
    TProgressBorder BorderStyle() const { return state_.BorderStyle(); }
    void SetBorderStyle(TProgressBorder value);
    int Step() const { return state_.Step(); }
    void SetStep(int value) { state_.SetStep(value); }

    int Percent() const { return state_.Percent(); }
    int FillWidth() const { return state_.Fill().width; }
    // How many pictures have been composed so far (each costs one off-screen drawing).
    int PictureCount() const { return pictureCount_; }
    void Loaded() override;
    // A progress bar whose value is the percentage it shows.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void Paint() override;
    void ColorChanged() override;
    void FontChanged() override;
    void TextChanged() override;

private:
    void Sync();
    // Tells assistive technology when the percentage moved from what it was before a change.
    void TellValue(int percentBefore);
    // Composes the picture if it is marked changed; shows it at once when onScreen.
    void Redraw(bool onScreen);
    void Compose();

    TGradientProgressState state_;
    TBitmap bitmap_;
    int pictureCount_ = 0;
};

}  // namespace qx
