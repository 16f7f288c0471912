#include "skin/MenuItemPainter.h"

#include "framework/ImgList.h"
#include "framework/Menus.h"
#include "framework/WindowDpi.h"
#include "skin/SkinData.h"
#include "skin/FrameParts.h"
#include "skin/SkinDraw.h"
#include "skin/SkinParts.h"
#include "skin/ScaledPictures.h"

#include <algorithm>

namespace qx {

namespace {

// At 96 dpi; every one is scaled to the owner window's dpi.
constexpr int kGlyphSize = 16;      // without an image list
constexpr int kGlyphPadding = 3;    // on each side of the glyph
constexpr int kTextGap = 4;         // between the glyph column and the caption
constexpr int kShortCutGap = 24;    // between the caption and the shortcut
constexpr int kRightGap = 10;       // after the shortcut
constexpr int kSeparatorHeight = 8;
constexpr int kTextRoom = 8;        // above and below the caption
constexpr int kGlyphRoom = 6;       // above and below the glyph
constexpr int kArrowWidth = 4;      // the sub-menu arrow, as tall as twice its width less one
constexpr int kArrowGap = 4;        // from the arrow to the far end

std::wstring Wide(const std::u16string& s) { return std::wstring(s.begin(), s.end()); }

bool HasElement(const TSkinData& skin) { return skin.MenuItem && !skin.MenuItem->Bitmap.Empty(); }

int LeadingMargin(const TSkinData& skin, int dpi) {
    return ScaleForDpi(HasElement(skin) ? std::max(skin.MenuItem->Margins.Left, 0) : 2, dpi);
}

// The image list's own size: its pictures are made for 96 dpi.
SIZE ListImageSize(HIMAGELIST images) {
    int cx = 0, cy = 0;
    if (images && ImageList_GetIconSize(images, &cx, &cy)) return SIZE{cx, cy};
    return SIZE{kGlyphSize, kGlyphSize};
}

SIZE GlyphSize(const TMenuItemLook& look, int dpi) {
    const SIZE own = ListImageSize(look.Images);
    return SIZE{ScaleForDpi(own.cx, dpi), ScaleForDpi(own.cy, dpi)};
}

// The list draws the image once at its own size over the key colour; that is stretched to
// target (pixel for pixel at whole multiples) with the key left out.
void DrawListImageScaled(const TMenuItemLook& look, HDC dc, const RECT& target) {
    const SIZE own = ListImageSize(look.Images);
    const int w = target.right - target.left, h = target.bottom - target.top;
    if (w == own.cx && h == own.cy) {
        DrawListImage(look.Images, look.ImageIndex, dc, target.left, target.top, look.Enabled);
        return;
    }
    TBitmap cell;
    cell.SetPixelFormat(TPixelFormat::pf24bit);
    cell.SetSize(own.cx, own.cy);
    if (cell.Empty() || w <= 0 || h <= 0) return;
    HDC c = cell.Canvas().Handle();
    FillSolidRect(c, RECT{0, 0, own.cx, own.cy}, SkinKeyColor);
    DrawListImage(look.Images, look.ImageIndex, c, 0, 0, look.Enabled);
    GdiFlush();
    ::TransparentBlt(dc, target.left, target.top, w, h, c, 0, 0, own.cx, own.cy, SkinKeyColor);
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

void DrawCheck(HDC dc, const RECT& box, bool radio, COLORREF colour, int dpi) {
    const int cx = (box.left + box.right) / 2, cy = (box.top + box.bottom) / 2;
    auto s = [dpi](int length) { return ScaleForDpi(length, dpi); };
    TPenHandle pen(CreatePen(PS_SOLID, s(2), colour));
    TSelectObject p(dc, pen.Get());
    if (radio) {
        TBrushHandle dot(CreateSolidBrush(colour));
        TSelectObject b(dc, dot.Get());
        Ellipse(dc, cx - s(3), cy - s(3), cx + s(3), cy + s(3));
        return;
    }
    MoveToEx(dc, cx - s(4), cy, nullptr);
    LineTo(dc, cx - s(1), cy + s(3));
    LineTo(dc, cx + s(5), cy - s(3));
}

// A solid triangle pointing away from the caption, centred on the item's height.
void DrawSubMenuArrow(HDC dc, int w, int h, bool rightToLeft, COLORREF colour, int dpi) {
    const int width = ScaleForDpi(kArrowWidth, dpi), gap = ScaleForDpi(kArrowGap, dpi);
    const int half = width - 1, middle = h / 2;
    const int base = rightToLeft ? gap + width : w - gap - width;
    const int tip = rightToLeft ? gap : w - gap;
    const POINT corners[3] = {{base, middle - half}, {tip, middle}, {base, middle + half}};
    TBrushHandle fill(CreateSolidBrush(colour));
    TPenHandle edge(CreatePen(PS_SOLID, 1, colour));
    TSelectObject b(dc, fill.Get());
    TSelectObject p(dc, edge.Get());
    Polygon(dc, corners, 3);
}

void DrawSeparator(TBitmap& canvas, const RECT& all, TSkinData& skin, int dpi) {
    HDC c = canvas.Canvas().Handle();
    if (HasElement(skin) && HasSkinPicture(MenuSeparator(*skin.MenuItem), TSkinState::Separator)) {
        const TSkinPart separator = MenuSeparator(*skin.MenuItem);
        // The separator picture keeps its height (at the scale), centred: squeezed, its thin
        // line would vanish.
        const int cell = ScaleForDpi(SkinPartSize(separator).cy, dpi);
        const int top = (all.bottom - all.top - cell) / 2;
        DrawSkinPart(c, separator, TSkinState::Separator, RECT{all.left, top, all.right, top + cell}, skin.ScaleAt(dpi));
        return;
    }
    // Two lines, each as thick as the scale makes one pixel.
    const int line = std::max(ScaleForDpi(1, dpi), 1), inset = ScaleForDpi(2, dpi);
    const int y = (all.top + all.bottom) / 2 - line;
    FillSolidRect(c, RECT{all.left + inset, y, all.right - inset, y + line}, ColorToRGB(skin.Colours.ButtonShadow));
    FillSolidRect(c, RECT{all.left + inset, y + line, all.right - inset, y + 2 * line},
                  ColorToRGB(skin.Colours.ButtonHilight));
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
    look.SubMenu = item.Count() > 0;
    return look;
}

TMenuItemLook LookOfText(const std::u16string& text, UINT type, UINT state, bool subMenu) {
    TMenuItemLook look;
    look.SubMenu = subMenu;
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

void DrawSkinMenuItem(HDC dc, const RECT& rect, const TMenuItemLook& look, TSkinData& skin, int dpi,
                      TBitmap* background, POINT offset) {
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
        DrawSeparator(canvas, all, skin, dpi);
        BitBlt(dc, rect.left, rect.top, w, h, c, 0, 0, SRCCOPY);
        return;
    }
    if (HasElement(skin)) {
        DrawSkinPart(c, MenuItemFace(*skin.MenuItem), look.Selected ? TSkinState::Selected : TSkinState::Normal, all,
                     skin.ScaleAt(dpi));
    } else if (look.Selected) {
        FillSolidRect(c, all, ColorToRGB(skin.Colours.Hilight));
    }

    // The glyph column: the item's image (sunken on a lighter ground when checked), or a mark.
    const SIZE glyph = GlyphSize(look, dpi);
    const int padding = ScaleForDpi(kGlyphPadding, dpi);
    const int column = glyph.cx + 2 * padding;
    const int lead = LeadingMargin(skin, dpi);
    RECT box{lead, 0, lead + column, h};
    if (look.RightToLeft) box = RECT{w - lead - column, 0, w - lead, h};
    const COLORREF ink = TextColour(look, skin);
    const int imageCount = look.Images ? ImageList_GetImageCount(look.Images) : 0;
    if (look.ImageIndex >= 0 && look.ImageIndex < imageCount) {
        if (look.Checked) {
            const int rim = ScaleForDpi(2, dpi);
            RECT sunken{box.left + 1, (h - glyph.cy) / 2 - rim, box.right - 1, (h + glyph.cy) / 2 + rim};
            FillSolidRect(c, sunken, BlendColor(skin.Colours.Menu, skin.Colours.Hilight, 80));
            DrawEdge(c, &sunken, BDR_SUNKENOUTER, BF_RECT);
        }
        const int x = box.left + padding, y = (h - glyph.cy) / 2;
        DrawListImageScaled(look, c, RECT{x, y, x + glyph.cx, y + glyph.cy});
    } else if (look.Checked) {
        DrawCheck(c, box, look.Radio, ink, dpi);
    }

    // The caption beside the glyph column, the shortcut at the far end.
    TFontHandle font = CreateMenuFont(look.Default, dpi);
    TSelectObject selected(c, font.Get());
    SetBkMode(c, TRANSPARENT);
    SetTextColor(c, ink);
    UINT format = DT_SINGLELINE | DT_VCENTER | (look.HideAccelerator ? DT_HIDEPREFIX : 0);
    const int textGap = ScaleForDpi(kTextGap, dpi), rightGap = ScaleForDpi(kRightGap, dpi);
    RECT text{box.right + textGap, 0, w - rightGap, h};
    if (look.RightToLeft) {
        text = RECT{rightGap, 0, box.left - textGap, h};
        format |= DT_RIGHT | DT_RTLREADING;
    }
    const std::wstring caption = Wide(look.Caption);
    DrawTextW(c, caption.c_str(), static_cast<int>(caption.size()), &text, format);
    if (!look.ShortCut.empty()) {
        const std::wstring keys = Wide(look.ShortCut);
        const UINT side = look.RightToLeft ? DT_LEFT : DT_RIGHT;
        DrawTextW(c, keys.c_str(), static_cast<int>(keys.size()), &text, DT_SINGLELINE | DT_VCENTER | side);
    }
    if (look.SubMenu) DrawSubMenuArrow(c, w, h, look.RightToLeft, ink, dpi);
    BitBlt(dc, rect.left, rect.top, w, h, c, 0, 0, SRCCOPY);
    if (look.SubMenu) ExcludeClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
}

void MeasureSkinMenuItem(const TMenuItemLook& look, TSkinData& skin, int dpi, int& width, int& height) {
    auto s = [dpi](int length) { return ScaleForDpi(length, dpi); };
    if (look.Separator) {
        height = s(kSeparatorHeight);
        return;
    }
    HDC screen = GetDC(nullptr);
    SIZE caption{}, keys{};
    {
        TFontHandle font = CreateMenuFont(look.Default, dpi);
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
    const SIZE glyph = GlyphSize(look, dpi);
    width = LeadingMargin(skin, dpi) + glyph.cx + 2 * s(kGlyphPadding) + s(kTextGap) + caption.cx +
            (keys.cx > 0 ? s(kShortCutGap) + keys.cx : 0) + s(kRightGap);
    // The platform proposes a height at the system's scale, which may not be the owner's.
    const int proposed = ScaleBetween(height, dpi, SystemDpi());
    height = std::max({proposed, static_cast<int>(caption.cy) + s(kTextRoom), static_cast<int>(glyph.cy) + s(kGlyphRoom)});
}

}  // namespace qx
