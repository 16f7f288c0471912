#include "GlowButton.h"

#include "core/DisplayScale.h"
#include "core/StoredPicture.h"
#include "framework/Accessible.h"
#include "framework/Gdi.h"

#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>
#include <map>
#include <optional>

namespace qx {

const TEnumInfo ButtonLayoutInfo{"TButtonLayout",
                                 {"blGlyphLeft", "blGlyphTop", "blGlyphRight", "blGlyphBottom", "blGlyphLeftAdjusted",
                                  "blGlyphRightAdjusted", "blGlyphTopAdjusted", "blGlyphBottomAdjusted"}};
const TEnumInfo GlowBorderStyleInfo{"TBorderStyle", {"bsNone", "bsSingle"}};
const TEnumInfo AntiAliasInfo{"TAntiAlias", {"aaNone", "aaClearType", "aaAntiAlias"}};
const TEnumInfo FocusTypeInfo{"TFocusType", {"ftBorder", "ftHot", "ftHotBorder", "ftNone"}};
const TEnumInfo GlowButtonStyleInfo{"TGlowButtonStyle", {"bsButton", "bsCheck"}};
const TEnumInfo GlowGradientInfo{"TGlowGradient", {"ggRadial", "ggVertical", "ggDiagonalForward", "ggDiagonalBackward"}};
const TEnumInfo GlowTrimmingInfo{"TStringTrimming",
                                 {"StringTrimmingNone", "StringTrimmingCharacter", "StringTrimmingWord",
                                  "StringTrimmingEllipsisCharacter", "StringTrimmingEllipsisWord",
                                  "StringTrimmingEllipsisPath"}};

namespace {

constexpr UINT_PTR kGlowTimer = 1;
int g_glowPeriod = TGlowAnimation::kDefaultPeriod;

// Published colour and gradient fields of one set, as "Color" + suffix and so on.
void AddSet(TClassBuilder<TGlowButtonAppearance>& b, const std::string& suffix, TGlowColorSet TGlowButtonAppearanceData::*set) {
    auto color = [&](const std::string& name, TColor TGlowColorSet::*field) {
        TPropInfo p;
        p.Name = name;
        p.Kind = TPropKind::Integer;
        p.Idents = &ColorIdents;
        p.GetOrd = [set, field](TObject* o) -> std::int64_t {
            return static_cast<TGlowButtonAppearance*>(o)->Data().*set.*field;
        };
        p.SetOrd = [set, field](TObject* o, std::int64_t v) {
            auto* a = static_cast<TGlowButtonAppearance*>(o);
            a->Data().*set.*field = static_cast<TColor>(v);
            a->Changed();
        };
        b.Add(std::move(p));
    };
    auto gradient = [&](const std::string& name, TGlowGradient TGlowColorSet::*field) {
        TPropInfo p;
        p.Name = name;
        p.Kind = TPropKind::Enum;
        p.Enum = &GlowGradientInfo;
        p.GetOrd = [set, field](TObject* o) -> std::int64_t {
            return static_cast<TGlowButtonAppearance*>(o)->Data().*set.*field;
        };
        p.SetOrd = [set, field](TObject* o, std::int64_t v) {
            auto* a = static_cast<TGlowButtonAppearance*>(o);
            a->Data().*set.*field = static_cast<TGlowGradient>(v);
            a->Changed();
        };
        b.Add(std::move(p));
    };
    color("Color" + suffix, &TGlowColorSet::color);
    color("Color" + suffix + "To", &TGlowColorSet::colorTo);
    color("ColorMirror" + suffix, &TGlowColorSet::mirror);
    color("ColorMirror" + suffix + "To", &TGlowColorSet::mirrorTo);
    color("BorderColor" + suffix, &TGlowColorSet::border);
    gradient("Gradient" + suffix, &TGlowColorSet::gradient);
    gradient("GradientMirror" + suffix, &TGlowColorSet::gradientMirror);
}

Gdiplus::Color GdipColor(TColor c) {
    const COLORREF rgb = ColorToRGB(c);
    return Gdiplus::Color(255, GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

void RoundedPath(Gdiplus::GraphicsPath& path, float x, float y, float w, float h, float r) {
    const float d = 2 * r;
    path.AddArc(x, y, d, d, 180, 90);
    path.AddArc(x + w - d, y, d, d, 270, 90);
    path.AddArc(x + w - d, y + h - d, d, d, 0, 90);
    path.AddArc(x, y + h - d, d, d, 90, 90);
    path.CloseFigure();
}

// One half of the body: a solid fill, then its gradient. first/second are the colours at the
// top and bottom of a linear gradient; a radial one has the pair's end colour (second for the
// upper half, first for the lower) at its bright point and the start colour at its edge.
void PaintHalf(Gdiplus::Graphics& g, const Gdiplus::RectF& rect, TColor solid, TColor first, TColor second,
               TGlowGradient kind, bool upper) {
    if (first == kColorNone) first = second;
    if (second == kColorNone) second = first;
    if (solid == kColorNone) solid = first;
    if (first == kColorNone) return;
    Gdiplus::SolidBrush fill(GdipColor(solid));
    g.FillRectangle(&fill, rect);
    if (kind == ggRadial) {
        // upper: an ellipse hanging from above, brightest at the middle of the top edge;
        // lower: the inscribed ellipse, brightest at the middle of the bottom edge
        Gdiplus::GraphicsPath path;
        const float h = rect.Height;
        if (upper)
            path.AddEllipse(rect.X, rect.Y - h / 2 + 2, rect.Width, h);
        else
            path.AddEllipse(rect);
        Gdiplus::PathGradientBrush brush(&path);
        brush.SetCenterPoint(Gdiplus::PointF(rect.X + rect.Width / 2, upper ? rect.Y : rect.Y + rect.Height));
        brush.SetCenterColor(GdipColor(upper ? second : first));
        Gdiplus::Color edge = GdipColor(upper ? first : second);
        int count = 1;
        brush.SetSurroundColors(&edge, &count);
        Gdiplus::GraphicsState state = g.Save();
        g.IntersectClip(rect);
        g.FillPath(&brush, &path);
        g.Restore(state);
        return;
    }
    const Gdiplus::LinearGradientMode mode = kind == ggVertical          ? Gdiplus::LinearGradientModeVertical
                                             : kind == ggDiagonalForward ? Gdiplus::LinearGradientModeForwardDiagonal
                                                                         : Gdiplus::LinearGradientModeBackwardDiagonal;
    // the brush reaches half a pixel past the rectangle so its first row does not wrap round
    Gdiplus::RectF span(rect.X - 0.5f, rect.Y - 0.5f, rect.Width + 1, rect.Height + 1);
    Gdiplus::LinearGradientBrush brush(span, GdipColor(first), GdipColor(second), mode);
    g.FillRectangle(&brush, rect);
}

int CALLBACK NoteTrueType(const LOGFONTW*, const TEXTMETRICW*, DWORD type, LPARAM found) {
    if (type & TRUETYPE_FONTTYPE) *reinterpret_cast<bool*>(found) = true;
    return 1;
}

bool IsTrueTypeFace(const std::u16string& face) {
    static std::map<std::u16string, bool> known;
    auto it = known.find(face);
    if (it != known.end()) return it->second;
    LOGFONTW lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    const std::size_t n = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(reinterpret_cast<const wchar_t*>(face.data()), n, lf.lfFaceName);
    bool trueType = false;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExW(dc, &lf, NoteTrueType, reinterpret_cast<LPARAM>(&trueType), 0);
    ReleaseDC(nullptr, dc);
    return known[face] = trueType;
}

const wchar_t* Wide(const std::u16string& s) { return reinterpret_cast<const wchar_t*>(s.c_str()); }

}  // namespace

// ---- classes ---------------------------------------------------------------------------------

const TClassInfo& TGlowButtonAppearance::StaticClassInfo() {
    static const TClassInfo info = [] {
        TClassBuilder<TGlowButtonAppearance> b("TGlowButtonAppearance", &TPersistent::StaticClassInfo());
        AddSet(b, "", &TGlowButtonAppearanceData::normal);
        AddSet(b, "Hot", &TGlowButtonAppearanceData::hot);
        AddSet(b, "Down", &TGlowButtonAppearanceData::down);
        AddSet(b, "Checked", &TGlowButtonAppearanceData::checked);
        AddSet(b, "Disabled", &TGlowButtonAppearanceData::disabled);
        for (auto [name, field] : {std::pair{"TextColorHot", &TGlowButtonAppearanceData::textColorHot},
                                   std::pair{"TextColorDown", &TGlowButtonAppearanceData::textColorDown}}) {
            TPropInfo p;
            p.Name = name;
            p.Kind = TPropKind::Integer;
            p.Idents = &ColorIdents;
            p.GetOrd = [field](TObject* o) -> std::int64_t { return static_cast<TGlowButtonAppearance*>(o)->Data().*field; };
            p.SetOrd = [field](TObject* o, std::int64_t v) {
                auto* a = static_cast<TGlowButtonAppearance*>(o);
                a->Data().*field = static_cast<TColor>(v);
                a->Changed();
            };
            b.Add(std::move(p));
        }
        TPropInfo systemFont;
        systemFont.Name = "SystemFont";
        systemFont.Kind = TPropKind::Enum;
        systemFont.Enum = &BooleanInfo;
        systemFont.GetOrd = [](TObject* o) -> std::int64_t { return static_cast<TGlowButtonAppearance*>(o)->Data().systemFont; };
        systemFont.SetOrd = [](TObject* o, std::int64_t v) {
            auto* a = static_cast<TGlowButtonAppearance*>(o);
            a->Data().systemFont = v != 0;
            a->Changed();
        };
        b.Add(std::move(systemFont));
        return b.Build();
    }();
    return info;
}

const TClassInfo& TEncodedPicture::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TEncodedPicture>("TEncodedPicture", &TPersistent::StaticClassInfo())
            .Binary("Data", [](TEncodedPicture* p, std::span<const std::uint8_t> data) { p->ReadData(data); })
            .Build();
    return info;
}

void TEncodedPicture::ReadData(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> bytes(data.begin(), data.end());
    if (DetectImageSignature(bytes) == TImageSignature::Other) {
        // a picture stored with its class name in front
        TSpanStream stream(data);
        try {
            TStoredPicture stored = ReadStoredPicture(stream);
            if (!stored.className.empty()) bytes = std::move(stored.data);
        } catch (const EStreamError&) {
            // not a class name after all: keep the bytes as they are
        }
    }
    picture_.LoadFromBytes(std::move(bytes));
    if (OnChange) OnChange();
}

const TClassInfo& TCustomGlowButton::StaticClassInfo() {
    using C = TCustomGlowButton;
    static const TClassInfo info =
        TClassBuilder<C>("TCustomGlowButton", &TCustomControl::StaticClassInfo())
            .Object("Appearance", &C::Appearance, TGlowButtonAppearance::StaticClassInfo())
            .Object("Picture", &C::Picture, TEncodedPicture::StaticClassInfo())
            .Object("Picture2x", &C::Picture2x, TEncodedPicture::StaticClassInfo())
            .Object("HotPicture", &C::HotPicture, TEncodedPicture::StaticClassInfo())
            .Object("DisabledPicture", &C::DisabledPicture, TEncodedPicture::StaticClassInfo())
            .Enum("Layout", &C::Layout, &C::SetLayout, ButtonLayoutInfo)
            .Int("Spacing", &C::Spacing, &C::SetSpacing)
            .Bool("WordWrap", &C::WordWrap, &C::SetWordWrap)
            .Bool("ShowCaption", &C::ShowCaption, &C::SetShowCaption)
            .Bool("Rounded", &C::Rounded, &C::SetRounded)
            .Enum("BorderStyle", &C::BorderStyle, &C::SetBorderStyle, GlowBorderStyleInfo)
            .Enum("AntiAlias", &C::AntiAlias, &C::SetAntiAlias, AntiAliasInfo)
            .Enum("Trimming", &C::Trimming, &C::SetTrimming, GlowTrimmingInfo)
            .Int("MarginHorz", &C::MarginHorz, &C::SetMarginHorz)
            .Int("MarginVert", &C::MarginVert, &C::SetMarginVert)
            .Bool("ShowDisabled", &C::ShowDisabled, &C::SetShowDisabled)
            .Bool("Transparent", &C::Transparent, &C::SetTransparent)
            .Enum("FocusType", &C::FocusType, &C::SetFocusType, FocusTypeInfo)
            .Enum("Style", &C::Style, &C::SetStyle, GlowButtonStyleInfo)
            .Int("GroupIndex", &C::GroupIndex, &C::SetGroupIndex)
            .Bool("AllowAllUp", &C::AllowAllUp, &C::SetAllowAllUp)
            .Bool("Down", &C::Down, &C::SetDown)
            .Bool("RepeatClick", &C::RepeatClick, &C::SetRepeatClick)
            .Int("InitRepeatPause", &C::InitRepeatPause, &C::SetInitRepeatPause)
            .Int("RepeatPause", &C::RepeatPause, &C::SetRepeatPause)
            .Bool("Default", &C::Default, &C::SetDefault)
            .Bool("Cancel", &C::Cancel, &C::SetCancel)
            .Int("ModalResult", &C::ModalResult, &C::SetModalResult)
            .Object("NotesFont", &C::NotesFontObject, TFont::StaticClassInfo())
            .Str("Notes", &C::Notes, &C::SetNotes)
            .Build();
    return info;
}

const TClassInfo& TGlowButton::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TGlowButton>("TGlowButton", &TCustomGlowButton::StaticClassInfo()).Creatable().Build();
    return info;
}

int TCustomGlowButton::GlowPeriod() { return g_glowPeriod; }
void TCustomGlowButton::SetGlowPeriod(int milliseconds) { g_glowPeriod = milliseconds; }

TCustomGlowButton::TCustomGlowButton(TComponent* owner) : TCustomControl(owner), animation_(g_glowPeriod) {
    controlStyle_ |= csOpaque;
    width_ = 100;
    height_ = 41;
    notesFont_.SetName(u"Tahoma");
    notesFont_.SetSize(8);
    auto repaint = [this] { Invalidate(); };
    appearance_.OnChange = repaint;
    picture2x_.OnChange = repaint;
    picture_.OnChange = repaint;
    hotPicture_.OnChange = repaint;
    disabledPicture_.OnChange = repaint;
}

TCustomGlowButton::~TCustomGlowButton() {
    if (HandleAllocated() && animation_.TimerRunning()) KillTimer(Handle(), kGlowTimer);
}

void TCustomGlowButton::Apply(const TGlowEffects& fx) {
    if (fx.stopTimer && HandleAllocated()) KillTimer(Handle(), kGlowTimer);
    if (fx.startTimer && HandleAllocated()) SetTimer(Handle(), kGlowTimer, std::max(1, animation_.Period()), nullptr);
    if (fx.invalidate) Invalidate();
}

void TCustomGlowButton::CreateWindowHandleDone() {
    TCustomControl::CreateWindowHandleDone();
    animation_.SetPeriod(g_glowPeriod);
    Apply(animation_.Reset());
    pointerInside_ = keyDown_ = false;
    if (GetCapture() == Handle()) ReleaseCapture();
}

void TCustomGlowButton::PointerEntered() {
    if (pointerInside_) return;
    pointerInside_ = true;
    animation_.SetPeriod(g_glowPeriod);
    Apply(animation_.MouseEnter(LeftButtonHeld()));
}

void TCustomGlowButton::PointerLeft() {
    if (!pointerInside_) return;
    pointerInside_ = false;
    animation_.SetPeriod(g_glowPeriod);
    Apply(animation_.MouseLeave(LeftButtonHeld()));
}

void TCustomGlowButton::Click() {
    if (style_ == gbsCheck) {
        if (!down_ || groupIndex_ == 0 || allowAllUp_) down_ = !down_;
        Invalidate();
    }
    TCustomControl::Click();
}

void TCustomGlowButton::WndProc(TMessage& m) {
    switch (m.Msg) {
        case CM_MOUSEENTER:
            if (Enabled()) PointerEntered();
            break;
        case CM_MOUSELEAVE:
            PointerLeft();
            break;
        case WM_MOUSEMOVE:
            // While the button holds the mouse, the pointer's leaving and coming back are seen
            // here rather than through the leave notification.
            if (animation_.Pressed() && HandleAllocated() && GetCapture() == Handle()) {
                const RECT r = ClientRect();
                const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
                if (PtInRect(&r, p))
                    PointerEntered();
                else
                    PointerLeft();
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
            if (Enabled()) {
                animation_.SetPeriod(g_glowPeriod);
                const TGlowEffects fx = animation_.MouseDown(TabStop());
                if (fx.takeFocus && CanFocus()) SetFocus();
                Apply(fx);
            }
            break;
        case WM_LBUTTONUP:
            if (animation_.Pressed()) {
                const RECT r = ClientRect();
                const POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
                TGlowEffects fx = animation_.MouseUp(PtInRect(&r, p) != FALSE);
                fx.click = false;  // the framework raises the click on release inside
                Apply(fx);
            }
            break;
        case WM_TIMER:
            if (m.WParam == kGlowTimer) {
                Apply(animation_.Tick());
                return;
            }
            break;
        case WM_ERASEBKGND:
            m.Result = 1;  // the paint covers everything
            return;
        case CM_VISIBLECHANGED:
            // A hidden button hears of no pointer leaving: forget the glow, so that it does not
            // come back lit (the install button hides itself while it downloads).
            if (!Visible()) {
                Apply(animation_.Reset());
                pointerInside_ = keyDown_ = false;
            }
            break;
        case WM_CAPTURECHANGED:
            // The press ends without a click when another window takes the mouse away.
            if (animation_.Pressed() && reinterpret_cast<HWND>(m.LParam) != Handle()) {
                TGlowEffects fx = animation_.MouseUp(false);
                fx.click = false;
                Apply(fx);
            }
            break;
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
            keyDown_ = false;
            Invalidate();
            break;
        case WM_KEYDOWN:
            if ((m.WParam == VK_SPACE || m.WParam == VK_RETURN) && !keyDown_) {
                keyDown_ = true;
                Invalidate();
                Update();
                return;
            }
            break;
        case WM_KEYUP:
            if ((m.WParam == VK_SPACE || m.WParam == VK_RETURN) && keyDown_) {
                keyDown_ = false;
                Invalidate();
                Click();
                return;
            }
            break;
        case WM_GETDLGCODE:
            // A push button: it keeps no navigation key, and the platform may treat it as one.
            m.Result = DLGC_BUTTON | (default_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
            return;
        case CM_DIALOGKEY:
            // Enter clicks the focused button as the platform's buttons are clicked, and the
            // default one when the focus is elsewhere; Escape the cancel button.
            if (((m.WParam == VK_RETURN && (default_ || Focused())) || (m.WParam == VK_ESCAPE && cancel_)) &&
                (GetKeyState(VK_SHIFT) & 0x8000) == 0 && (GetKeyState(VK_CONTROL) & 0x8000) == 0 && CanFocus()) {
                KeyClick();
                m.Result = 1;
                return;
            }
            break;
        case CM_DIALOGCHAR:
            if (IsAccelerator(m.WParam, Caption()) && CanFocus()) {
                KeyClick();
                m.Result = 1;
                return;
            }
            break;
        default: break;
    }
    TCustomControl::WndProc(m);
}

void TCustomGlowButton::KeyClick() {
    keyDown_ = true;
    Invalidate();
    Update();
    keyDown_ = false;
    Invalidate();
    Click();
}

void TCustomGlowButton::DescribeAccessible(TAccessibleInfo& info) const {
    info.Role = style_ == gbsCheck ? ROLE_SYSTEM_CHECKBUTTON : ROLE_SYSTEM_PUSHBUTTON;
    info.Name = AccessibleCaption(Caption());
    info.DefaultAction = kActionPress;
    if (const std::u16string key = AccessibleShortcut(Caption()); !key.empty()) info.KeyboardShortcut = key;
    if (keyDown_ || animation_.Pressed()) info.State |= STATE_SYSTEM_PRESSED;
    if (style_ == gbsCheck && down_) info.State |= STATE_SYSTEM_CHECKED;
    if (default_) info.State |= STATE_SYSTEM_DEFAULT;
}

TGlowPaintColors TCustomGlowButton::CurrentColors() const {
    TGlowPaintInput in;
    in.enabled = Enabled();
    in.showDisabled = showDisabled_;
    in.state = (style_ == gbsCheck && down_) ? TGlowVisualState::Checked : TGlowVisualState::Normal;
    in.focused = const_cast<TCustomGlowButton*>(this)->Focused();
    in.focusType = focusType_;
    in.fontColor = Font().Color();
    animation_.Describe(in);
    if (keyDown_) in.state = TGlowVisualState::Down;
    return ChooseGlowColors(appearance_.Data(), in);
}

std::u16string TCustomGlowButton::CaptionFace() const {
    if (ParentFont() || !appearance_.Data().systemFont) return Font().Name();
    static const bool newer = GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetLocaleInfoEx") != nullptr;
    return newer ? u"Segoe UI" : u"Tahoma";
}

TGdiPlusPicture* TCustomGlowButton::CurrentPicture() {
    if (!Enabled() && !disabledPicture_.Empty()) return &disabledPicture_.Picture();
    if (animation_.Hot() && !hotPicture_.Empty()) return &hotPicture_.Picture();
    return picture_.Empty() ? nullptr : &picture_.Picture();
}

void TCustomGlowButton::ScaleMetrics(int toDpi, int fromDpi) {
    const auto scale = [&](int v) { return ScaleBetween(v, toDpi, fromDpi); };
    spacing_ = scale(spacing_);
    marginHorz_ = scale(marginHorz_);
    marginVert_ = scale(marginVert_);
    notesFont_.SetHeight(scale(notesFont_.Height()));
    dpi_ = toDpi;
    Invalidate();
}

void TCustomGlowButton::Paint() {
    lastPicture_ = lastCaption_ = {};
    const RECT client = ClientRect();
    const int w = RectWidth(client), h = RectHeight(client);
    if (w <= 0 || h <= 0 || !GdiPlusAvailable()) return;
    TDoubleBuffer buffer(Canvas().Handle(), client);
    HDC dc = buffer.Dc();
    const TColor back = Parent() ? Parent()->Color() : Color();
    FillSolidRect(dc, client, ColorToRGB(transparent_ ? back : Color()));
    const TGlowPaintColors colors = CurrentColors();
    const TGlowColorSet& set = colors.set;
    {
        Gdiplus::Graphics g(dc);
        // the body, clipped to the rounded outline
        Gdiplus::GraphicsState state = g.Save();
        if (rounded_) {
            Gdiplus::GraphicsPath outline;
            RoundedPath(outline, -0.5f, -0.5f, float(w), float(h), 3.5f);
            g.SetClip(&outline);
        }
        const int half = h / 2;
        PaintHalf(g, Gdiplus::RectF(0, float(half - 1), float(w), float(h - half + 1)), set.mirror, set.mirrorTo,
                  set.mirror, set.gradientMirror, false);
        PaintHalf(g, Gdiplus::RectF(0, 0, float(w), float(h - half)), set.color, set.color, set.colorTo, set.gradient,
                  true);
        g.Restore(state);

        g.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        if (borderStyle_ == gbsSingle && set.border != kColorNone) {
            Gdiplus::Pen pen(GdipColor(set.border), 1);
            if (rounded_) {
                Gdiplus::GraphicsPath border;
                RoundedPath(border, 0, 0, float(w - 1), float(h - 1), 3);
                g.DrawPath(&pen, &border);
            } else {
                g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
                g.DrawRectangle(&pen, 0, 0, w - 1, h - 1);
            }
        }
        if (Focused() && (focusType_ == ftBorder || focusType_ == ftHotBorder)) {
            g.SetSmoothingMode(Gdiplus::SmoothingModeNone);
            Gdiplus::Pen solid(Gdiplus::Color(255, 137, 174, 228), 1);
            g.DrawRectangle(&solid, 1, 1, w - 3, h - 3);
            Gdiplus::Pen dotted(Gdiplus::Color(255, 0x80, 0x80, 0x80), 1);
            dotted.SetDashStyle(Gdiplus::DashStyleDot);
            g.DrawRectangle(&dotted, 2, 2, w - 5, h - 5);
        }

        // picture and caption
        const RECT content{marginHorz_, marginVert_, w - marginHorz_, h - marginVert_};
        TGdiPlusPicture* picture = CurrentPicture();
        int pw = 0, ph = 0;
        if (picture) {
            try {
                pw = ScaleForDpi(picture->Width(), dpi_);
                ph = ScaleForDpi(picture->Height(), dpi_);
            } catch (const std::exception&) {
                picture = nullptr;  // an undecodable picture is left out
            }
        }
        const std::u16string caption = showCaption_ ? Caption() : std::u16string();
        const bool hasCaption = !caption.empty();
        const bool horizontal = layout_ == blGlyphLeft || layout_ == blGlyphRight || layout_ == blGlyphLeftAdjusted ||
                                layout_ == blGlyphRightAdjusted;
        const int gap = picture && hasCaption ? spacing_ : 0;

        // caption renderer: GDI+ for an installed TrueType face, the platform's text otherwise
        const std::u16string face = CaptionFace();
        const bool gdiplusText = antiAlias_ != aaNone && IsTrueTypeFace(face);
        TFont captionFont;
        captionFont.Assign(Font());
        captionFont.SetName(face);
        // Looking a family up walks the installed fonts (on some systems that is most of the
        // first paint): it is done only for a caption that GDI+ draws, and the fallback only
        // when wanted.
        std::optional<Gdiplus::FontFamily> family, arial;
        std::optional<Gdiplus::Font> gpFont;
        if (gdiplusText) {
            family.emplace(Wide(face));
            if (family->GetLastStatus() != Gdiplus::Ok) arial.emplace(L"Arial");
            int fontStyle = Gdiplus::FontStyleRegular;
            if (Font().Style() & fsBold) fontStyle |= Gdiplus::FontStyleBold;
            if (Font().Style() & fsItalic) fontStyle |= Gdiplus::FontStyleItalic;
            if (Font().Style() & fsUnderline) fontStyle |= Gdiplus::FontStyleUnderline;
            // The font's height is in the window's pixels, already at its scale; GDI+ turns
            // points into pixels by the device's dpi, which a window moved to another display
            // need not share: the size is given in points of that device so that it comes out as
            // those pixels.
            const float deviceDpi = g.GetDpiY() > 0 ? g.GetDpiY() : 96.0f;
            gpFont.emplace(arial ? &*arial : &*family, float(std::max(1, captionFont.Size())) * 96.0f / deviceDpi,
                           fontStyle, Gdiplus::UnitPoint);
        }
        Gdiplus::StringFormat format;
        if (!wordWrap_) format.SetFormatFlags(Gdiplus::StringFormatFlagsNoWrap);
        format.SetHotkeyPrefix(Gdiplus::HotkeyPrefixShow);  // the accelerator underlined, as on platform buttons
        format.SetTrimming(static_cast<Gdiplus::StringTrimming>(trimming_));
        format.SetAlignment(layout_ == blGlyphLeftAdjusted    ? Gdiplus::StringAlignmentNear
                            : layout_ == blGlyphRightAdjusted ? Gdiplus::StringAlignmentFar
                                                              : Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(layout_ == blGlyphTopAdjusted      ? Gdiplus::StringAlignmentNear
                                : layout_ == blGlyphBottomAdjusted ? Gdiplus::StringAlignmentFar
                                                                   : Gdiplus::StringAlignmentCenter);

        // the caption's size, for placing picture and caption as one group
        int tw = 0, th = 0;
        const int roomW = RectWidth(content) - (horizontal ? pw + gap : 0);
        if (hasCaption) {
            if (gdiplusText) {
                Gdiplus::RectF bounds;
                g.MeasureString(Wide(caption), int(caption.size()), &*gpFont,
                                Gdiplus::RectF(0, 0, float(std::max(1, roomW)), float(RectHeight(content))), &format,
                                &bounds);
                tw = int(bounds.Width + 0.999f);
                th = int(bounds.Height + 0.999f);
            } else {
                TSelectObject font(dc, captionFont.Handle());
                RECT r{0, 0, std::max(1, roomW), 0};
                th = DrawTextW(dc, Wide(caption), int(caption.size()), &r,
                               DT_CALCRECT | (wordWrap_ ? DT_WORDBREAK : DT_SINGLELINE));
                tw = RectWidth(r);
            }
            tw = std::min(tw, std::max(0, roomW));
        }
        const bool adjusted = layout_ >= blGlyphLeftAdjusted;
        RECT pictureRect{}, textRect = content;
        if (horizontal) {
            const int group = pw + gap + tw;
            const int x0 = adjusted ? content.left : content.left + (RectWidth(content) - group) / 2;
            const int py = content.top + (RectHeight(content) - ph) / 2;
            const bool left = layout_ == blGlyphLeft || layout_ == blGlyphLeftAdjusted;
            if (left) {
                pictureRect = {x0, py, x0 + pw, py + ph};
                textRect.left = adjusted ? x0 + pw + gap : x0 + pw + gap;
                if (!adjusted) textRect.right = textRect.left + tw;
            } else {
                const int xr = adjusted ? content.right : content.right - (RectWidth(content) - group) / 2;
                pictureRect = {xr - pw, py, xr, py + ph};
                textRect.right = xr - pw - gap;
                if (!adjusted) textRect.left = textRect.right - tw;
            }
        } else {
            const int group = ph + gap + th;
            const int y0 = adjusted ? content.top : content.top + (RectHeight(content) - group) / 2;
            const int px = content.left + (RectWidth(content) - pw) / 2;
            const bool top = layout_ == blGlyphTop || layout_ == blGlyphTopAdjusted;
            if (top) {
                pictureRect = {px, y0, px + pw, y0 + ph};
                textRect.top = y0 + ph + gap;
                if (!adjusted) textRect.bottom = textRect.top + th;
            } else {
                const int yb = adjusted ? content.bottom : content.bottom - (RectHeight(content) - group) / 2;
                pictureRect = {px, yb - ph, px + pw, yb};
                textRect.bottom = yb - ph - gap;
                if (!adjusted) textRect.top = textRect.bottom - th;
            }
        }
        if (picture && pw > 0 && ph > 0) {
            try {
                TGdiPlusPicture* source = picture;
                if (picture == &picture_.Picture() && dpi_ > BaseDpi && !picture2x_.Empty())
                    source = &picture2x_.Picture();
                source->Draw(g, pictureRect.left, pictureRect.top, pw, ph);
                lastPicture_ = pictureRect;
            } catch (const std::exception&) {
            }
        }
        if (hasCaption && textRect.right > textRect.left && textRect.bottom > textRect.top) {
            if (gdiplusText) {
                g.SetTextRenderingHint(antiAlias_ == aaClearType ? Gdiplus::TextRenderingHintClearTypeGridFit
                                                                 : Gdiplus::TextRenderingHintAntiAliasGridFit);
                Gdiplus::SolidBrush brush(GdipColor(colors.text));
                g.DrawString(Wide(caption), int(caption.size()), &*gpFont,
                             Gdiplus::RectF(float(textRect.left), float(textRect.top), float(RectWidth(textRect) + 1),
                                            float(RectHeight(textRect))),
                             &format, &brush);
            } else {
                TSelectObject font(dc, captionFont.Handle());
                const int mode = SetBkMode(dc, TRANSPARENT);
                const COLORREF old = SetTextColor(dc, ColorToRGB(colors.text));
                RECT r = textRect;
                UINT flags = DT_CENTER;
                if (layout_ == blGlyphLeftAdjusted) flags = DT_LEFT;
                if (layout_ == blGlyphRightAdjusted) flags = DT_RIGHT;
                if (wordWrap_) {
                    const int textHeight = th;
                    r.top = textRect.top + (RectHeight(textRect) - textHeight) / 2;
                    r.bottom = r.top + textHeight;
                    flags |= DT_WORDBREAK;
                } else {
                    flags |= DT_SINGLELINE | DT_VCENTER;
                }
                DrawTextW(dc, Wide(caption), int(caption.size()), &r, flags);
                SetTextColor(dc, old);
                SetBkMode(dc, mode);
            }
            lastCaption_ = textRect;
        }
    }
}

}  // namespace qx
