#include "skin/MenuItemPainter.h"

#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "skin/SkinData.h"
#include "skin/FrameParts.h"
#include "skin/SkinDraw.h"
#include "skin/SkinParts.h"

#include <algorithm>

namespace qx {

namespace {

constexpr int kGlyphSize = 16;      // without an image list
constexpr int kGlyphPadding = 3;    // on each side of the glyph
constexpr int kTextGap = 4;         // between the glyph column and the caption
constexpr int kShortCutGap = 24;    // between the caption and the shortcut
constexpr int kRightGap = 10;       // after the shortcut
constexpr int kSeparatorHeight = 8;

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

bool HasElement(const TSkinData& skin) { return skin.MenuItem && !skin.MenuItem->Bitmap.Empty(); }

int LeadingMargin(const TSkinData& skin) { return HasElement(skin) ? std::max(skin.MenuItem->Margins.Left, 0) : 2; }

SIZE GlyphSize(const TMenuItemLook& look) {
    int cx = 0, cy = 0;
    if (look.Images && ImageList_GetIconSize(look.Images, &cx, &cy)) return SIZE{cx, cy};
    return SIZE{kGlyphSize, kGlyphSize};
}

COLORREF TextColour(const TMenuItemLook& look, const TSkinData& skin) {
    if (!look.Enabled) return GetSysColor(COLOR_BTNSHADOW);
    const TDataSkinObject* e = HasElement(skin) ? skin.MenuItem.get() : nullptr;
    if (look.Selected) {
        if (e && e->MouseOverColour2 != kSkinNoColour) return ColorToRGB(e->MouseOverColour2);
        return ColorToRGB(e ? skin.Colours.MenuText : skin.Colours.HilightText);
    }
    if (e && e->NormalColour2 != kSkinNoColour) return ColorToRGB(e->NormalColour2);
    return ColorToRGB(skin.Colours.MenuText);
}

void DrawCheck(HDC dc, const RECT& box, bool radio, COLORREF colour) {
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    TPenHandle pen(CreatePen(PS_SOLID, 2, colour));
    TSelectObject p(dc, pen.Get());
    if (radio) {
        TBrushHandle dot(CreateSolidBrush(colour));
        TSelectObject b(dc, dot.Get());
        Ellipse(dc, cx - 3, cy - 3, cx + 3, cy + 3);
        return;
    }
    MoveToEx(dc, cx - 4, cy, nullptr);
    LineTo(dc, cx - 1, cy + 3);
    LineTo(dc, cx + 5, cy - 3);
}

void DrawSeparator(TBitmap& canvas, const RECT& all, TSkinData& skin) {
    HDC c = canvas.Canvas().Handle();
    if (HasElement(skin) && HasSkinPicture(MenuSeparator(*skin.MenuItem), TSkinState::Separator)) {
        const TSkinPart separator = MenuSeparator(*skin.MenuItem);
        // The separator picture keeps its height, centred: squeezed, its thin line would vanish.
        const int cell = SkinPartSize(separator).cy;
        const int top = (all.bottom - all.top - cell) / 2;
        DrawSkinPart(c, separator, TSkinState::Separator, RECT{all.left, top, all.right, top + cell});
        return;
    }
    const int y = (all.top + all.bottom) / 2 - 1;
    FillSolidRect(c, RECT{all.left + 2, y, all.right - 2, y + 1}, ColorToRGB(skin.Colours.ButtonShadow));
    FillSolidRect(c, RECT{all.left + 2, y + 1, all.right - 2, y + 2}, ColorToRGB(skin.Colours.ButtonHilight));
}

}  // namespace

TMenuItemLook LookOfItem(TMenuItem& item, UINT state) {
    TMenuItemLook look;
    look.Caption = item.Caption();
    // A caption may carry its shortcut after a tab (copies of the platform's menus do).
    if (auto tab = look.Caption.find(u'\t'); tab != std::u16string::npos) {
        look.ShortCut = look.Caption.substr(tab + 1);
        look.Caption.resize(tab);
    }
    if (item.ShortCut()) look.ShortCut = ShortCutToText(item.ShortCut());
    look.Separator = item.IsLine();
    look.Enabled = item.Enabled() && !(state & (ODS_GRAYED | ODS_DISABLED));
    look.Checked = item.Checked();
    look.Radio = item.RadioItem();
    look.Default = item.Default();
    look.Selected = MenuItemSelected(state);
    look.HideAccelerator = (state & ODS_NOACCEL) != 0;
    if (TMenu* menu = item.GetParentMenu()) {
        look.RightToLeft = menu->RightToLeft();
        if (menu->Images()) look.Images = menu->Images()->Handle();
    }
    look.ImageIndex = item.ImageIndex();
    return look;
}

TMenuItemLook LookOfText(const std::u16string& text, UINT type, UINT state) {
    TMenuItemLook look;
    look.Caption = text;
    if (auto tab = look.Caption.find(u'\t'); tab != std::u16string::npos) {
        look.ShortCut = look.Caption.substr(tab + 1);
        look.Caption.resize(tab);
    }
    look.Separator = (type & MFT_SEPARATOR) != 0;
    look.Radio = (type & MFT_RADIOCHECK) != 0;
    look.RightToLeft = (type & MFT_RIGHTORDER) != 0;
    look.Enabled = !(state & (ODS_GRAYED | ODS_DISABLED));
    look.Checked = (state & ODS_CHECKED) != 0;
    look.Default = (state & ODS_DEFAULT) != 0;
    look.Selected = (state & ODS_SELECTED) != 0;
    look.HideAccelerator = (state & ODS_NOACCEL) != 0;
    return look;
}

void DrawSkinMenuItem(HDC dc, const RECT& rect, const TMenuItemLook& look, TSkinData& skin, TBitmap* background,
                      POINT offset) {
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    if (w <= 0 || h <= 0) return;
    TBitmap canvas;
    canvas.SetPixelFormat(TPixelFormat::pf24bit);
    canvas.SetSize(w, h);
    if (canvas.Empty()) return;
    HDC c = canvas.Canvas().Handle();
    const RECT all{0, 0, w, h};
    if (background && !background->Empty())
        BitBlt(c, 0, 0, w, h, background->Canvas().Handle(), offset.x, offset.y, SRCCOPY);
    else
        FillSolidRect(c, all, ColorToRGB(skin.Colours.Menu));

    if (look.Separator) {
        DrawSeparator(canvas, all, skin);
        BitBlt(dc, rect.left, rect.top, w, h, c, 0, 0, SRCCOPY);
        return;
    }
    if (HasElement(skin)) {
        DrawSkinPart(c, MenuItemFace(*skin.MenuItem), look.Selected ? TSkinState::Selected : TSkinState::Normal, all);
    } else if (look.Selected) {
        FillSolidRect(c, all, ColorToRGB(skin.Colours.Hilight));
    }

    // The glyph column: the item's image (sunken on a lighter ground when checked), or a mark.
    const SIZE glyph = GlyphSize(look);
    const int column = glyph.cx + 2 * kGlyphPadding;
    const int lead = LeadingMargin(skin);
    RECT box{lead, 0, lead + column, h};
    if (look.RightToLeft) box = RECT{w - lead - column, 0, w - lead, h};
    const COLORREF ink = TextColour(look, skin);
    const int imageCount = look.Images ? ImageList_GetImageCount(look.Images) : 0;
    if (look.ImageIndex >= 0 && look.ImageIndex < imageCount) {
        if (look.Checked) {
            RECT sunken{box.left + 1, (h - glyph.cy) / 2 - 2, box.right - 1, (h + glyph.cy) / 2 + 2};
            FillSolidRect(c, sunken, BlendColor(skin.Colours.Menu, skin.Colours.Hilight, 80));
            DrawEdge(c, &sunken, BDR_SUNKENOUTER, BF_RECT);
        }
        const int x = box.left + kGlyphPadding, y = (h - glyph.cy) / 2;
        DrawListImage(look.Images, look.ImageIndex, c, x, y, look.Enabled);
    } else if (look.Checked) {
        DrawCheck(c, box, look.Radio, ink);
    }

    // The caption beside the glyph column, the shortcut at the far end.
    TFontHandle font = CreateMenuFont(look.Default);
    TSelectObject selected(c, font.Get());
    SetBkMode(c, TRANSPARENT);
    SetTextColor(c, ink);
    UINT format = DT_SINGLELINE | DT_VCENTER | (look.HideAccelerator ? DT_HIDEPREFIX : 0);
    RECT text{box.right + kTextGap, 0, w - kRightGap, h};
    if (look.RightToLeft) {
        text = RECT{kRightGap, 0, box.left - kTextGap, h};
        format |= DT_RIGHT | DT_RTLREADING;
    }
    const std::wstring caption = Wide(look.Caption);
    DrawTextW(c, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if (!look.ShortCut.empty()) {
        const std::wstring keys = Wide(look.ShortCut);
        const UINT side = look.RightToLeft ? DT_LEFT : DT_RIGHT;
        DrawTextW(c, keys.c_str(), static_cast<int>(keys.size()), &text, DT_SINGLELINE | DT_VCENTER | side);
    }
    BitBlt(dc, rect.left, rect.top, w, h, c, 0, 0, SRCCOPY);
}

void MeasureSkinMenuItem(const TMenuItemLook& look, TSkinData& skin, int& width, int& height) {
    if (look.Separator) {
        height = kSeparatorHeight;
        return;
    }
    HDC screen = GetDC(nullptr);
    SIZE caption{}, keys{};
    {
        TFontHandle font = CreateMenuFont(look.Default);
        TSelectObject selected(screen, font.Get());
        RECT r{0, 0, 0, 0};
        const std::wstring text = Wide(look.Caption);
        DrawTextW(screen, text.c_str(), static_cast<int>(text.size()), &r, DT_SINGLELINE | DT_CALCRECT);
        caption = SIZE{r.right - r.left, r.bottom - r.top};
        if (!look.ShortCut.empty()) {
            const std::wstring k = Wide(look.ShortCut);
            GetTextExtentPoint32W(screen, k.c_str(), static_cast<int>(k.size()), &keys);
        }
    }
    ReleaseDC(nullptr, screen);
    const SIZE glyph = GlyphSize(look);
    width = LeadingMargin(skin) + glyph.cx + 2 * kGlyphPadding + kTextGap + caption.cx +
            (keys.cx > 0 ? kShortCutGap + keys.cx : 0) + kRightGap;
    height = std::max({height, static_cast<int>(caption.cy) + 8, static_cast<int>(glyph.cy) + 6});
}

}  // namespace qx
