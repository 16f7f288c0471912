// Controls over the platform's common controls: the progress bar, the status bar, the spin
// button, the track bar, the header control and the report-style list view. Each keeps its
// settings itself and hands them to its window whenever the window is made.
#pragma once
#include "framework/Controls.h"

#include <functional>
#include <string>
#include <vector>

namespace qx {

// Registers the common control classes once (before a window of one is made).
void InitCommonControlClasses();

enum class TProgressBarOrientation : std::uint8_t { pbHorizontal, pbVertical };
extern const TEnumInfo ProgressBarOrientationInfo;

class TProgressBar : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TProgressBar(TComponent* owner);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int Step() const { return step_; }
    void SetStep(int value) { step_ = value; }
    void StepIt() { SetPosition(position_ + step_); }
    TProgressBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TProgressBarOrientation value);
    bool Smooth() const { return smooth_; }
    void SetSmooth(bool value);

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;

private:
    void SendRange();
    int min_ = 0, max_ = 100, position_ = 0, step_ = 10;
    TProgressBarOrientation orientation_ = TProgressBarOrientation::pbHorizontal;
    bool smooth_ = false;
};

enum class TStatusPanelBevel : std::uint8_t { pbNone, pbLowered, pbRaised };
enum class TStatusPanelStyle : std::uint8_t { psText, psOwnerDraw };
extern const TEnumInfo StatusPanelBevelInfo;
extern const TEnumInfo StatusPanelStyleInfo;

struct TStatusPanel {
    std::u16string Text;
    int Width = 50;
    TAlignment Alignment = TAlignment::taLeftJustify;
    TStatusPanelBevel Bevel = TStatusPanelBevel::pbLowered;
    TStatusPanelStyle Style = TStatusPanelStyle::psText;
    bool RightToLeft = false;
};

class TStatusBar;
// Draws an owner-drawn panel into dc within rect.
using TDrawPanelEvent = std::function<void(TStatusBar* sender, int panel, HDC dc, const RECT& rect)>;

// The status bar. "Panels" in the layout: one row per panel, "Text|Width|Alignment|Bevel|Style"
// with the identifiers of TAlignment, TStatusPanelBevel and TStatusPanelStyle; trailing
// fields may be left out.
class TStatusBar : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TStatusBar(TComponent* owner);
    const std::vector<TStatusPanel>& Panels() const { return panels_; }
    void SetPanels(std::vector<TStatusPanel> panels);
    void SetPanelText(int index, const std::u16string& text);
    std::vector<std::u16string> PanelRows() const;
    void SetPanelRows(const std::vector<std::u16string>& rows);
    bool SimplePanel() const { return simplePanel_; }
    void SetSimplePanel(bool value);
    const std::u16string& SimpleText() const { return simpleText_; }
    void SetSimpleText(const std::u16string& value);
    bool SizeGrip() const { return sizeGrip_; }
    void SetSizeGrip(bool value);
    TDrawPanelEvent OnDrawPanel;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    void SendPanels();
    std::vector<TStatusPanel> panels_;
    bool simplePanel_ = false;
    std::u16string simpleText_;
    bool sizeGrip_ = true;
};

enum class TUDOrientation : std::uint8_t { udVertical, udHorizontal };
enum class TUDAlignButton : std::uint8_t { udLeft, udRight };
extern const TEnumInfo UDOrientationInfo;
extern const TEnumInfo UDAlignButtonInfo;

// The spin button; with an associated control it sits at that control's edge and writes its
// position into it.
class TUpDown : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TUpDown(TComponent* owner);
    ~TUpDown() override;
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const;
    void SetPosition(int value);
    int Increment() const { return increment_; }
    void SetIncrement(int value);
    bool Wrap() const { return wrap_; }
    void SetWrap(bool value);
    TUDOrientation Orientation() const { return orientation_; }
    void SetOrientation(TUDOrientation value);
    TUDAlignButton AlignButton() const { return alignButton_; }
    void SetAlignButton(TUDAlignButton value);
    TWinControl* Associate() const { return associate_; }
    void SetAssociate(TWinControl* value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;
    void Notification(TComponent* component, TOperation operation) override;

private:
    int min_ = 0, max_ = 100, position_ = 0, increment_ = 1;
    bool wrap_ = false;
    TUDOrientation orientation_ = TUDOrientation::udVertical;
    TUDAlignButton alignButton_ = TUDAlignButton::udRight;
    TWinControl* associate_ = nullptr;
};

enum class TTrackBarOrientation : std::uint8_t { trHorizontal, trVertical };
extern const TEnumInfo TrackBarOrientationInfo;

class TTrackBar : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TTrackBar(TComponent* owner);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int Frequency() const { return frequency_; }
    void SetFrequency(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value);
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation value);
    // Set by a parent that shows through (the skin's track bars): the control is not filled.
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    int min_ = 0, max_ = 10, position_ = 0, frequency_ = 1, pageSize_ = 2;
    TTrackBarOrientation orientation_ = TTrackBarOrientation::trHorizontal;
    bool transparent_ = false;
};

struct THeaderSection {
    std::u16string Text;
    int Width = 80;
};

using TSectionEvent = std::function<void(TObject* sender, int section)>;

// The header control. "Sections" in the layout: one row per section, "Text|Width".
class THeaderControl : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit THeaderControl(TComponent* owner);
    const std::vector<THeaderSection>& Sections() const { return sections_; }
    void SetSections(std::vector<THeaderSection> sections);
    std::vector<std::u16string> SectionRows() const;
    void SetSectionRows(const std::vector<std::u16string>& rows);
    TSectionEvent OnSectionClick;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    void SendSections();
    std::vector<THeaderSection> sections_;
};

enum class TBorderStyle : std::uint8_t { bsNone, bsSingle };
extern const TEnumInfo BorderStyleInfo;

// The report view of the platform's list view: columns with a header, rows of texts.
// "Columns" in the layout: one row per column, "Caption|Width"; "Items": one row per item,
// "Caption|SubItem1|SubItem2...".
class TListView : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TListView(TComponent* owner);
    std::vector<std::u16string> ColumnRows() const { return columns_; }
    void SetColumnRows(const std::vector<std::u16string>& rows);
    std::vector<std::u16string> ItemRows() const { return items_; }
    void SetItemRows(const std::vector<std::u16string>& rows);
    int ItemIndex() const;
    void SetItemIndex(int value);
    bool RowSelect() const { return rowSelect_; }
    void SetRowSelect(bool value);
    bool GridLines() const { return gridLines_; }
    void SetGridLines(bool value);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // The header window of the report view (none before the window exists).
    HWND HeaderHandle();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;

private:
    void SendColumns();
    void SendItems();
    void SendExtendedStyle();
    std::vector<std::u16string> columns_;
    std::vector<std::u16string> items_;
    int itemIndex_ = -1;
    bool rowSelect_ = true;
    bool gridLines_ = false;
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
};

}  // namespace qx
