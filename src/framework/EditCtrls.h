// Text and scrolling controls over the platform's own: the one-line edit, the memo, the combo
// box and the scroll bar, and the scroll box, a container that scrolls its children with the
// window's own scroll bars.
#pragma once
#include "framework/ComCtrls.h"
#include "framework/Controls.h"

#include <string>
#include <vector>

namespace qx {

enum class TScrollStyle : std::uint8_t { ssNone, ssHorizontal, ssVertical, ssBoth };
extern const TEnumInfo ScrollStyleInfo;

// An edit window; its text is what the user typed (the window's text while it exists).
class TCustomEdit : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TCustomEdit(TComponent* owner);
    std::u16string Text() const override;
    void SetEditText(const std::u16string& text) { SetCaption(text); }
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    int MaxLength() const { return maxLength_; }
    void SetMaxLength(int value);
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool readOnly_ = false;
    int maxLength_ = 0;
};

class TEdit : public TCustomEdit {
    QX_CLASS_INFO()
public:
    explicit TEdit(TComponent* owner);

protected:
    void CreateParams(TCreateParams& params) override;
};

// A multi-line edit; "Lines" are its text, one row per line.
class TMemo : public TCustomEdit {
    QX_CLASS_INFO()
public:
    explicit TMemo(TComponent* owner);
    std::vector<std::u16string> Lines() const;
    void SetLines(const std::vector<std::u16string>& lines);
    TScrollStyle ScrollBars() const { return scrollBars_; }
    void SetScrollBars(TScrollStyle value);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool value);

protected:
    void CreateParams(TCreateParams& params) override;

private:
    TScrollStyle scrollBars_ = TScrollStyle::ssNone;
    bool wordWrap_ = true;
};

enum class TComboBoxStyle : std::uint8_t { csDropDown, csSimple, csDropDownList };
extern const TEnumInfo ComboBoxStyleInfo;

class TComboBox : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TComboBox(TComponent* owner);
    std::u16string Text() const override;
    const std::vector<std::u16string>& Items() const { return items_; }
    void SetItems(const std::vector<std::u16string>& items);
    int ItemIndex() const;
    void SetItemIndex(int value);
    TComboBoxStyle Style() const { return style_; }
    void SetStyle(TComboBoxStyle value);
    int DropDownCount() const { return dropDownCount_; }
    void SetDropDownCount(int value) { dropDownCount_ = std::max(value, 1); }
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    void SendItems();
    std::vector<std::u16string> items_;
    int itemIndex_ = -1;
    TComboBoxStyle style_ = TComboBoxStyle::csDropDown;
    int dropDownCount_ = 8;
};

enum class TScrollBarKind : std::uint8_t { sbHorizontal, sbVertical };
extern const TEnumInfo ScrollBarKindInfo;

// A stand-alone scroll bar; the position moves with the platform's scroll requests.
class TScrollBar : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TScrollBar(TComponent* owner);
    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind value);
    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    void SetPosition(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int value) { smallChange_ = value; }
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int value) { largeChange_ = value; }
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    void SendInfo();
    // The highest position the page allows.
    int Top() const;
    TScrollBarKind kind_ = TScrollBarKind::sbHorizontal;
    int min_ = 0, max_ = 100, position_ = 0, pageSize_ = 0, smallChange_ = 1, largeChange_ = 1;
};

// A container whose children may lie beyond its client area; the window's own scroll bars
// (and the wheel) move them into view.
class TScrollBox : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TScrollBox(TComponent* owner);
    TBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TBorderStyle value);
    // How far the contents are scrolled, in pixels.
    POINT ScrollOffset() const { return offset_; }
    // Scrolls to an offset held within the contents.
    void ScrollTo(int x, int y);
    // Measures the children again and sets the scroll bars (after children moved or sized).
    void UpdateScrollRange();

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;

private:
    void Scroll(int bar, int request);
    SIZE extent_{};
    POINT offset_{};
    TBorderStyle borderStyle_ = TBorderStyle::bsSingle;
    bool updating_ = false;
};

}  // namespace qx
