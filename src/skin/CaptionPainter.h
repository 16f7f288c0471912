// The caption text painter: writes the window title into every skinned caption of the thread
// while a TSkinCaption is active, with the skin's title settings, and places the caption
// buttons that the skin anchors to the text.
#pragma once
#include "framework/Component.h"
#include "skin/SkinForm.h"

#include <string>

namespace qx {

class TEnumCaption;

class TSkinCaption : public TComponent {
    QX_CLASS_INFO()
public:
    explicit TSkinCaption(TComponent* owner);
    ~TSkinCaption() override;

    // One switch for every instance: caption text on all skinned windows.
    bool Active() const;
    void SetActive(bool value);
    const std::u16string& Author() const { return author_; }
    // A stored author text has no effect.
    void SetAuthor(const std::u16string&) {}
    std::u16string Version() const { return u"1.0"; }
    void SetVersion(const std::u16string&) {}
    void Loaded() override;

private:
    std::u16string author_;
    bool pendingActive_ = false;
};

// The painter: one exists while caption text is on.
class TEnumCaption : public TComponent, public TCaptionTextPainter {
public:
    explicit TEnumCaption(TComponent* owner);
    ~TEnumCaption() override;

    void LayoutCaptionButtons(TSkinForm& form) override;
    void DrawCaptionText(TSkinForm& form, HDC strip, const RECT& captionRect) override;
    // Gives every skinned window without a painter this one.
    void AttachToForms();

    static TEnumCaption* Current();

private:
    static LRESULT CALLBACK CbtHook(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_ = nullptr;
};

}  // namespace qx
