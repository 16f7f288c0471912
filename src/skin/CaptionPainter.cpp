#include "skin/CaptionPainter.h"

#include "framework/Forms.h"
#include "skin/SkinData.h"
#include "skin/FrameParts.h"
#include "skin/FramePainter.h"
#include "skin/ScaledFrame.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManager.h"

#include <algorithm>

namespace qx {

namespace {

bool g_active = false;
TEnumCaption* g_painter = nullptr;
const char16_t* const kAuthor = u"Quenrix Yazılım";

int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

bool Blank(const std::u16string& s) {
    return std::all_of(s.begin(), s.end(), [](char16_t c) { return c == u' ' || c == u'\t'; });
}

// Every skinned window's frame is recalculated and repainted.
void RepaintSkinnedFrames() {
    TSkinManager* manager = SkinManager();
    if (!manager) return;
    for (TSkinForm* form : manager->FormSkinners())
        SetWindowPos(form->Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

}  // namespace

const TClassInfo& TSkinCaption::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TSkinCaption>("TSkinCaption", &TComponent::StaticClassInfo())
            .Bool("Active", &TSkinCaption::Active, &TSkinCaption::SetActive)
            .Str("Author", &TSkinCaption::Author, &TSkinCaption::SetAuthor)
            .Str("Version", &TSkinCaption::Version, &TSkinCaption::SetVersion)
            .Creatable()
            .Build();
    return info;
}

TSkinCaption::TSkinCaption(TComponent* owner) : TComponent(owner), author_(kAuthor) {}

TSkinCaption::~TSkinCaption() { SetActive(false); }

bool TSkinCaption::Active() const { return g_active; }

void TSkinCaption::SetActive(bool value) {
    if (ComponentState() & csDesigning) {
        g_active = value;
        return;
    }
    g_active = value;
    if (value) {
        if (!g_painter) new TEnumCaption(this);
        RepaintSkinnedFrames();
    } else if (g_painter && g_painter->Owner() == this) {
        delete g_painter;
        RepaintSkinnedFrames();
    }
}

void TSkinCaption::Loaded() {
    TComponent::Loaded();
    author_ = kAuthor;
}

// ---- the painter -----------------------------------------------------------------------------

TEnumCaption* TEnumCaption::Current() { return g_painter; }

TEnumCaption::TEnumCaption(TComponent* owner) : TComponent(owner) {
    g_painter = this;
    SetDefaultCaptionPainter(this);
    hook_ = SetWindowsHookExW(WH_CBT, &TEnumCaption::CbtHook, nullptr, GetCurrentThreadId());
    AttachToForms();
}

TEnumCaption::~TEnumCaption() {
    g_active = false;
    if (hook_) UnhookWindowsHookEx(hook_);
    if (TSkinManager* manager = SkinManager())
        for (TSkinForm* form : manager->FormSkinners())
            if (form->CaptionPainter() == this) form->SetCaptionPainter(nullptr);
    if (DefaultCaptionPainter() == this) SetDefaultCaptionPainter(nullptr);
    if (g_painter == this) g_painter = nullptr;
}

void TEnumCaption::AttachToForms() {
    if (TSkinManager* manager = SkinManager())
        for (TSkinForm* form : manager->FormSkinners())
            if (!form->CaptionPainter()) form->SetCaptionPainter(this);
}

LRESULT CALLBACK TEnumCaption::CbtHook(int code, WPARAM wParam, LPARAM lParam) {
    if ((code == HCBT_CREATEWND || code == HCBT_ACTIVATE) && g_painter) {
        try {
            g_painter->AttachToForms();
        } catch (...) {
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void TEnumCaption::LayoutCaptionButtons(TSkinForm& form) {
    const TCaptionBand band = form.CaptionBand();
    const TCaptionFacts facts = form.CaptionFacts();
    for (const auto& b : form.SysButtons()) {
        const TDataSkinSysButton& e = *b->FSkin;
        b->FVisible = CaptionButtonVisible(e.Visibility, e.Visibility1, e.Action, facts, TVisibilityRules::CaptionText,
                                           nullptr);
        if (!b->FVisible || e.Bitmap.Empty()) continue;
        b->FRect = PlaceScaledCaptionButton(e, band, form.TextAnchors, TVisibilityRules::CaptionText, form.Dpi());
    }
}

void TEnumCaption::DrawCaptionText(TSkinForm& form, HDC strip, const RECT& captionRect) {
    TSkinData* skin = form.SkinData();
    if (!skin || Width(captionRect) <= 0) return;
    const HWND window = form.Handle();
    // The title as the window holds it (wide: a narrow read would lose what the code page cannot hold).
    const int length = GetWindowTextLengthW(window);
    std::wstring raw(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    raw.resize(static_cast<std::size_t>(std::max(GetWindowTextW(window, raw.data(), length + 1), 0)));
    std::u16string title(raw.begin(), raw.end());
    if (Blank(title) && form.Form()) title = form.Form()->Caption();
    if (Blank(title)) return;
    const std::u16string text = u" " + title + u"  ";

    TDataSkinTitle& t = skin->Title;
    TSelectObject font(strip, form.FramePainter().CaptionFont());
    const int oldMode = SetBkMode(strip, TRANSPARENT);
    const COLORREF oldColor =
        SetTextColor(strip, ColorToRGB(form.Active() ? skin->Colours.TitleTextActive : skin->Colours.TitleTextNoActive));

    RECT r{captionRect.left, captionRect.top, captionRect.left, captionRect.top};
    DrawTextWide(strip, text, r, DT_CALCRECT | DT_NOCLIP | DT_SINGLELINE);
    // Offsets from the skin's text, held within the strip's own size: a caption is placed in
    // it, and no sum of them can overflow.
    const int span = std::max(Width(captionRect), Height(captionRect)) + captionRect.right;
    auto fit = [span](int value) { return std::clamp(value, -span, span); };
    const int backLeft = fit(form.Scaled(t.TXTBackleft)), backRight = fit(form.Scaled(t.TXTBackRight));
    const int shift = fit(form.Scaled(t.Margins.Left)), shiftVert = fit(form.Scaled(t.Margins.Top)),
              rightClip = fit(form.Scaled(t.Margins.Right));
    const int textWidth = Width(r) + backLeft + backRight, textHeight = Height(r);
    int left;
    const int alignment = form.RightToLeft() ? 2 : t.TextAlignment;
    switch (alignment) {
        case 0: left = shift; break;
        case 1: left = captionRect.left + (Width(captionRect) - textWidth) / 2; break;
        case 2: left = captionRect.right - rightClip - textWidth; break;
        default: left = 0; break;
    }
    // A dialog shows no icon: its title starts where the icon would have been.
    if (form.BorderKind() == bkDialog && alignment == 0) left -= form.Scaled(16);
    const int top = captionRect.top + (Height(captionRect) - textHeight) / 2 + shiftVert / 2;
    RECT textRect{left, top, left + textWidth, top + textHeight};
    const int clip = captionRect.right - rightClip;
    if (textRect.right > clip) textRect.right = std::max<int>(textRect.left, clip);
    form.TextAnchors = TTextAnchors{textRect.left, textRect.right};

    if (!t.Bitmap.Empty()) {
        // The strip's caps are the skin's own; drawing at the form's scale scales them.
        DrawSkinPart(strip, TitleStrip(t, fit(t.TXTBackleft), fit(t.TXTBackRight)),
                     form.Active() ? TSkinState::Normal : TSkinState::Inactive, RECT{textRect.left, captionRect.top, textRect.right, captionRect.bottom}, form.SkinScale());
    }
    RECT inner{textRect.left + backLeft, textRect.top, textRect.right - backRight, textRect.bottom};
    DrawTextWide(strip, text, inner,
                 DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX | (form.RightToLeft() ? DT_RIGHT : DT_LEFT));
    SetTextColor(strip, oldColor);
    SetBkMode(strip, oldMode);
}

}  // namespace qx
