// Tabs: the tab control (a strip of tabs over a pane that holds other controls), the page
// control with its pages, the advanced page control whose tabs are drawn from two background
// pictures, and the old-style tab set that paints a row of tabs itself.
#pragma once
#include "framework/Controls.h"

#include <memory>
#include <string>
#include <vector>

namespace qx {

enum class TTabPosition : std::uint8_t { tpTop, tpBottom, tpLeft, tpRight };
extern const TEnumInfo TabPositionInfo;

// The platform's tab control with its tabs kept by the control.
class TCustomTabControl : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TCustomTabControl(TComponent* owner);
    int TabIndex() const;
    void SetTabIndex(int value);
    TTabPosition TabPosition() const { return tabPosition_; }
    void SetTabPosition(TTabPosition value);
    // The pane under the tabs, in client coordinates.
    RECT DisplayRect();
    // Gives the window the tabs again (after a text changed).
    void SendTabs();
    TNotifyEvent OnChange;

protected:
    void CreateParams(TCreateParams& params) override;
    void CreateWindowHandleDone() override;
    void WndProc(TMessage& message) override;
    void AlignControls(RECT& rect) override;
    // The texts of the tabs, in order.
    virtual std::vector<std::u16string> TabTexts() const = 0;
    virtual void Changed();
    int tabIndex_ = -1;

private:
    TTabPosition tabPosition_ = TTabPosition::tpTop;
};

class TTabControl : public TCustomTabControl {
    QX_CLASS_INFO()
public:
    explicit TTabControl(TComponent* owner);
    const std::vector<std::u16string>& Tabs() const { return tabs_; }
    void SetTabs(const std::vector<std::u16string>& tabs);

protected:
    std::vector<std::u16string> TabTexts() const override { return tabs_; }

private:
    std::vector<std::u16string> tabs_;
};

class TPageControl;

// One page of a page control: shown while its tab is the selected one.
class TTabSheet : public TWinControl {
    QX_CLASS_INFO()
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;
    TPageControl* PageControl() const { return pageControl_; }
    void SetParent(TWinControl* parent) override;
    int PageIndex() const;
    // A page named by its tab's caption.
    void DescribeAccessible(TAccessibleInfo& info) const override;

protected:
    void TextChanged() override;

private:
    friend class TPageControl;
    TPageControl* pageControl_ = nullptr;
};

class TPageControl : public TCustomTabControl {
    QX_CLASS_INFO()
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;
    const std::vector<TTabSheet*>& Pages() const { return pages_; }
    TTabSheet* ActivePage() const;
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const { return tabIndex_; }
    void SetActivePageIndex(int value) { SetTabIndex(value); }

protected:
    std::vector<std::u16string> TabTexts() const override;
    void Changed() override;
    void AlignControls(RECT& rect) override;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void ShowActivePage();
    std::vector<TTabSheet*> pages_;
};

// A page control whose tabs are drawn by the control from two pictures: TabBackGround for
// the other tabs and TabBackGroundActive for the selected one (stretched to each tab); with no
// picture, a plain face.
class TPageControlEx : public TPageControl {
    QX_CLASS_INFO()
public:
    explicit TPageControlEx(TComponent* owner);
    TBitmap* TabBackGround() { return background_.get(); }
    TBitmap* TabBackGroundActive() { return backgroundActive_.get(); }

protected:
    void CreateParams(TCreateParams& params) override;
    void WndProc(TMessage& message) override;

private:
    std::unique_ptr<TBitmap> background_;
    std::unique_ptr<TBitmap> backgroundActive_;
};

// The old-style tab set: a row of tabs painted by the control, the selected one joined to the
// area above it.
class TTabSet : public TCustomControl {
    QX_CLASS_INFO()
public:
    explicit TTabSet(TComponent* owner);
    const std::vector<std::u16string>& Tabs() const { return tabs_; }
    void SetTabs(const std::vector<std::u16string>& tabs);
    int TabIndex() const { return tabIndex_; }
    void SetTabIndex(int value);
    // Where tab index lies in client coordinates (empty when there is no such tab).
    RECT TabRect(int index);
    // The tab under a client point, or -1.
    int TabAt(POINT point);
    TNotifyEvent OnChange;
    // A tab list whose tabs are its parts, the selected one selected.
    void DescribeAccessible(TAccessibleInfo& info) const override;
    void DescribeAccessibleItems(std::vector<TAccessibleItem>& items) const override;
    void DoAccessibleItemAction(int index) override;

protected:
    void Paint() override;
    void WndProc(TMessage& message) override;
    void FontChanged() override { Invalidate(); }

private:
    std::vector<std::u16string> tabs_;
    int tabIndex_ = -1;
};

}  // namespace qx
