#include "skin/SkinData.h"

#include "core/Text.h"
#include "core/TimedSteps.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "skin/QuickIni.h"
#include "skin/SkinCheck.h"
#include "skin/SkinMessages.h"
#include "skin/SkinPictures.h"
#include "skin/SkinReader.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <optional>

namespace qx {

const TEnumInfo SkinControlTypeInfo{
    "TSkinControlType",
    {"xcMainMenu", "xcPopupMenu", "xcMenuItem", "xcToolbar", "xcControlbar", "xcCombo", "xcCheckBox",
     "xcRadioButton", "xcProgress", "xcScrollbar", "xcEdit", "xcButton", "xcBitBtn", "xcSpeedButton", "xcSpin",
     "xcPanel", "xcGroupBox", "xcStatusBar", "xcTab", "xcTrackBar", "xcSystemMenu", "xcReportDesigner"}};
const TEnumInfo SkinOptionInfo{"TSkinOption",
                               {"xoMDIScrollbar", "xoMenuMerge", "xoTransparent", "xoPreview", "xoParentBackGround",
                                "xoNoFocusRect", "xoToolbarBK", "xoMDIChildBorder"}};
const TEnumInfo SkinFormTypeInfo{"TSkinFormType", {"sfMainform", "sfOnlyThisForm", "sfDialog", "sfDLL"}};

namespace {

constexpr TColor kMagenta = 0xFF00FF;

}  // namespace

const TClassInfo& TSkinData::StaticClassInfo() {
    static const TClassInfo info =
        TClassBuilder<TSkinData>("TSkinData", &TComponent::StaticClassInfo())
            .Bool("Active", &TSkinData::Active, &TSkinData::SetActive)
            .Int("DisableTag", &TSkinData::DisableTag, &TSkinData::SetDisableTag)
            .Set("SkinControls", &TSkinData::SkinControls, &TSkinData::SetSkinControls, SkinControlTypeInfo)
            .Set("Options", &TSkinData::Options, &TSkinData::SetOptions, SkinOptionInfo)
            .Strings("SkinClassMap", [](TSkinData* s) { return s->SkinClassMap(); },
                     [](TSkinData* s, const std::vector<std::u16string>& rows) { s->SetSkinClassMap(rows); })
            .Str("SkinFile", &TSkinData::SkinFile, &TSkinData::SetSkinFile)
            .Str("SkinStore", &TSkinData::SkinStore, &TSkinData::SetSkinStore)
            .Enum("SkinFormtype", &TSkinData::SkinFormtype, &TSkinData::SetSkinFormtype, SkinFormTypeInfo)
            .Str("Version", &TSkinData::Version, &TSkinData::SetVersion)
            .Bool("MenuUpdate", &TSkinData::MenuUpdate, &TSkinData::SetMenuUpdate)
            .Bool("MenuMerge", &TSkinData::MenuMerge, &TSkinData::SetMenuMerge)
            .Event("OnSkinChanged", &TSkinData::OnSkinChanged)
            .Binary("SkinStream", [](TSkinData* s, std::span<const std::uint8_t> b) { s->ReadSkinStream(b); })
            .Creatable()
            .Build();
    return info;
}

TSkinData::TSkinData(TComponent* owner) : TComponent(owner) {
    // The framework's controls that no dispatch rule names by class get their kind here. A memo
    // and a scroll box are scrolled windows (the scroll bar skinner draws their border and bars;
    // a scroll box's own components are dispatched after it); "statusbar", "listview",
    // "header", "scrollcontrol" and "tabsheet" are kinds of this program's own.
    skinClassMap_ = {u"TCheckBox=checkbox",       u"TBitBtn=bitbtn",
                     u"TSpeedButton=speedbutton", u"TMenuButton=menubtn",
                     u"TProgressBar=progress",    u"TStatusBar=statusbar",
                     u"TGroupBox=groupbox",       u"TRadioGroup=radiogroup",
                     u"TEdit=edit",               u"TMemo=scrollbar",
                     u"TComboBox=combobox",       u"TTrackBar=trackbar",
                     u"TTabControl=tab",          u"TPageControl=tab",
                     u"TTabSheet=tabsheet",       u"THeaderControl=header",
                     u"TListView=listview",       u"TScrollBar=scrollcontrol",
                     u"TScrollBox=scrollbar",     u"TPageControlEx=pagecontrolex"};
    for (TDataSkinObject& b : Borders) b.FramePiece = true;
    Borders[sbTop].Stacked = Borders[sbBottom].Stacked = true;
    Title.Stacked = true;
    appIconBitmap_.SetPixelFormat(TPixelFormat::pf24bit);
    maximizedSize_ = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
}

HIMAGELIST TSkinData::MenuImages() {
    if (menuImagesTried_) return menuImages_.Get();
    menuImagesTried_ = true;
    // A 64 x 16 strip of four menu glyphs; white is the background.
    TBitmap strip;
    if (LoadBitmapResource(strip, L"ORVANEMENU")) {
        menuImages_.Reset(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4));
        if (menuImages_.Get()) ImageList_AddMasked(menuImages_.Get(), strip.Handle(), RGB(255, 255, 255));
    }
    return menuImages_.Get();
}

TSkinData::~TSkinData() {
    // No skinner may go on drawing from a skin that is gone.
    Tell(TSkinDataChange::Going);
}

namespace {

std::vector<TSkinDataListener*>& Listeners() {
    static std::vector<TSkinDataListener*> listeners;
    return listeners;
}

}  // namespace

void TSkinData::Subscribe(TSkinDataListener* listener) {
    auto& listeners = Listeners();
    if (listener && std::find(listeners.begin(), listeners.end(), listener) == listeners.end())
        listeners.push_back(listener);
}

void TSkinData::Unsubscribe(TSkinDataListener* listener) {
    auto& listeners = Listeners();
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void TSkinData::Tell(TSkinDataChange change) {
    // A listener may subscribe or leave while it is told.
    const std::vector<TSkinDataListener*> listeners = Listeners();
    for (TSkinDataListener* listener : listeners) listener->SkinDataChanged(*this, change);
}

void TSkinData::SetActive(bool value) {
    if (value == active_) return;
    if (IsLoading() || (ComponentState() & csDesigning) ||
        (skinFormType_ != sfOnlyThisForm && skinFormType_ != sfMainform)) {
        active_ = value;
        return;
    }
    // Turning on without a parsed skin does nothing: there is nothing to skin with.
    if (value && skinMissing_) {
        Tell(TSkinDataChange::SwitchOnRefused);
        return;
    }
    active_ = value;
    Tell(value ? TSkinDataChange::SwitchedOn : TSkinDataChange::SwitchedOff);
}

void TSkinData::ApplySkin() {
    if (ComponentState() & csDesigning) return;
    Tell(TSkinDataChange::SkinApplied);
}

void TSkinData::SetSkinFile(const std::u16string& value) {
    if (IsLoading() || (ComponentState() & csDesigning)) {
        skinFile_ = value;
        return;
    }
    skinMissing_ = true;
    skinFile_ = value;
    // No file, or none that can be read: the old skin objects stay, but nothing is skinned with them.
    HANDLE file = value.empty() ? INVALID_HANDLE_VALUE
                                : CreateFileW(reinterpret_cast<LPCWSTR>(value.c_str()), GENERIC_READ, FILE_SHARE_READ,
                                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        GiveUpSkin();
        return;
    }
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0;
    if (ok && size.QuadPart > TSkinReader::kMaxPlainSize) {
        // Refused before a byte is read: no skin archive is that large.
        CloseHandle(file);
        verdict_ = {};
        verdict_.Refuse(SkinFileTooLargeMessage(size.QuadPart));
        Refuse(verdict_.Message());
        GiveUpSkin();
        return;
    }
    // The file's bytes go straight into the skin stream: they are held once.
    skinStream_.Clear();
    if (ok && size.QuadPart > 0) {
        skinStream_.SetSize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = ReadFile(file, skinStream_.Memory(), static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
             read == size.QuadPart;
    }
    CloseHandle(file);
    if (!ok) {
        skinStream_.Clear();
        GiveUpSkin();
        return;
    }
    if (!LoadSkin()) {
        GiveUpSkin();
        return;
    }
    if (skinFormType_ == sfMainform) ApplySkin();
}

void TSkinData::ReadSkinStream(std::span<const std::uint8_t> record) {
    skinStream_.Clear();
    skinMissing_ = true;
    if (record.size() < 4) return;
    const std::uint32_t length = static_cast<std::uint32_t>(record[0]) | static_cast<std::uint32_t>(record[1]) << 8 |
                                 static_cast<std::uint32_t>(record[2]) << 16 | static_cast<std::uint32_t>(record[3]) << 24;
    if (length == 0) return;
    // A length that claims more than the record holds is a damaged layout: no skin at all
    // rather than a skin cut short.
    if (length > record.size() - 4) return;
    skinStream_.WriteBuffer(record.data() + 4, length);
    skinStream_.SetPosition(0);
    if (!(ComponentState() & csDesigning) && !LoadSkin() && !IsLoading()) GiveUpSkin();
}

void TSkinData::Refuse(const std::string& message) {
    if (message.empty()) return;
    if (Application) Application->MessageBox(Utf8ToUtf16(message), Application->Title(), MB_OK | MB_ICONWARNING);
}

void TSkinData::GiveUpSkin() {
    const bool wasActive = active_;
    active_ = false;
    if (ComponentState() & csDesigning) return;
    Tell(wasActive ? TSkinDataChange::SkinLostWhileOn : TSkinDataChange::SkinLostWhileOff);
}

bool TSkinData::LoadSkin() {
    skinMissing_ = true;
    verdict_ = {};
    TSkinReader reader;
    TQuickIni ini;
    TSkinPictures pictures(reader);
    struct TOpen {
        TSkinData* self;
        ~TOpen() {
            self->reader_ = nullptr;
            self->ini_ = nullptr;
            self->pictures_ = nullptr;
            self->decoded_.clear();
        }
    } open{this};
    try {
        // The archive, its description and the ceilings, and the verdict on every element,
        // in the words that Skin Preview and the skin tool show too.
        std::optional<TTimedStep> step(std::in_place, "skin archive, description and checks");
        if (!OpenSkin(skinStream_, reader, ini, pictures, verdict_)) {
            Refuse(verdict_.Message());
            return false;
        }
        // What the decoded pictures leave of the budget is what their scaled copies may use.
        scaledPictures_.SetBudget(kSkinPixelBudget - verdict_.NamedPixels);
        // Each named picture decoded once, straight from the archive; the archive is then let
        // go before the parse builds the pictures it derives from them.
        step.emplace("skin pictures decoded");
        ini.ForEachValue([&](std::string_view value) {
            const std::size_t entry = pictures.EntryOf(value);
            if (entry == TSkinReader::npos || decoded_.count(entry)) return;
            auto picture = std::make_unique<TBitmap>();
            if (pictures.Layout(entry)) {
                try {
                    picture->LoadFromBytes(reader.Entry(entry));
                } catch (const std::exception&) {
                    picture->Clear();  // a damaged picture is a missing one
                }
            }
            decoded_.emplace(entry, std::move(picture));
        });
        reader.ReleaseEntries();
        reader_ = &reader;
        ini_ = &ini;
        pictures_ = &pictures;
        step.emplace("skin elements built");
        ParseSkin();
    } catch (const std::exception& e) {
        // Skin data that cannot be decoded leaves the component without a skin; the window
        // then keeps the system's look.
        verdict_.Refuse(std::string("This skin cannot be used (") + e.what() + ").\rThe skin is not used.");
        Refuse(verdict_.Message());
        return false;
    }
    // The parts left out or clamped: the skin is used, and its author learns what is missing.
    if (!verdict_.Warnings.empty()) Refuse(verdict_.Message());
    return true;
}

std::int32_t TSkinData::Int(const std::string& section, const std::string& key, std::int32_t defaultValue) const {
    return ini_ ? ini_->ReadInteger(section, key, defaultValue) : defaultValue;
}

std::string TSkinData::Str(const std::string& section, const std::string& key) const {
    return ini_ ? ini_->ReadString(section, key, "") : std::string();
}

TColor TSkinData::ReadColor(std::string_view text, TColor defaultValue) { return ReadSkinColour(text, defaultValue); }

void TSkinData::LoadSkinBitmap(TBitmap& bitmap, const std::string& name) {
    bitmap.Clear();
    if (!pictures_) return;
    // Every key that names an entry shares the one picture decoded from it.
    const auto picture = decoded_.find(pictures_->EntryOf(name));
    if (picture != decoded_.end() && !picture->second->Empty()) bitmap.Share(*picture->second);
}

void TSkinData::ParseSkin() {
    // The elements get new pictures: their scaled copies go with the old ones.
    scaledPictures_.Clear();
    ++generation_;
    sections_.clear();
    if (ini_) ini_->ReadSections(sections_);
    skinName_ = Str("TitlebarSkin", "SkinName");
    ReadBorders();
    ReadColours();
    ReadSysButtons();
    ReadButtons();
    ReadTitle();
    ReadSlots();
    ApplyFrameCounts();
    comboImagesMade_ = false;
    BuildToolbarImage();
    FrameColor = SampleTopBorder();
    faceBrush_.Reset();
    faceBrush_.Reset(CreateSolidBrush(ColorToRGB(Colours.ButtonFace)));
    skinMissing_ = false;
}

void TSkinData::EnsureComboImages() {
    if (comboImagesMade_) return;
    comboImagesMade_ = true;
    BuildComboImages();
}

bool TSkinData::HasFrame() const {
    const TDataSkinObject& top = Borders[sbTop];
    return !top.Bitmap.Empty() && top.Bitmap.Height() / std::max(1, top.Frame) > 0 && verdict_.CaptionServes;
}

void TSkinData::ApplyValues(TDataSkinObject& o, const TElementValues& v) {
    o.Style = v.Style;
    o.Margins = {v.Left, v.Top, v.Right, v.Bottom};
    o.Frame = v.Frame;
    o.Trans = v.Trans;
    o.Tile = v.Tile;
    o.NormalColour = v.NormalColour;
    o.MouseOverColour = v.MouseOverColour;
    o.PressedColour = v.PressedColour;
    o.NormalColour2 = v.NormalColour2;
    o.MouseOverColour2 = v.MouseOverColour2;
    o.PressedColour2 = v.PressedColour2;
}

void TSkinData::ReadBorders() {
    const TSkinValueReader values(*ini_);
    for (TDataSkinObject& b : Borders) {
        const bool sides = &b == &Borders[sbLeft] || &b == &Borders[sbRight];
        const TElementValues v = values.Border(b.Name, sides);
        b.Margins = {v.Left, v.Top, v.Right, v.Bottom};
        b.Frame = v.Frame;
        b.Tile = v.Tile;
        b.Trans = v.Trans;
        LoadSkinBitmap(b.Bitmap, v.Image);
    }
}

void TSkinData::ReadColours() {
    const TSkinValueReader values(*ini_);
    Colours = values.Colours();
    SectionColors = values.SectionColours(sections_);
    for (int i = 0; i < 10; ++i) CustomColors[i] = values.CustomColour(i);
}

void TSkinData::ReadSysButtons() {
    const std::vector<TSysButtonValues> kept = TSkinValueReader(*ini_).SysButtons(sections_);
    SysButtons.clear();
    SysButtons.reserve(kept.size() + 3);
    for (const TSysButtonValues& v : kept) {
        auto b = std::make_unique<TDataSkinSysButton>(v.Name);
        b->Action = v.Action;
        b->Align = v.Align;
        b->Xcoord = verdict_.Kept(v.Name, "Xcoord", v.Xcoord);
        b->Ycoord = verdict_.Kept(v.Name, "Ycoord", v.Ycoord);
        b->Visibility = v.Visibility;
        b->Visibility1 = v.Visibility1;
        b->CombineOp = v.CombineOp;
        b->Frame = v.Frame;
        LoadSkinBitmap(b->Bitmap, v.Image);
        if (b->Frame == 0) {
            b->Frame = SysButtonFrameCount(b->Action, b->Bitmap.Width(), b->Bitmap.Height());
            // The buttons that show the window's icon draw it, not an image.
            if (ShowsWindowIcon(b->Action)) b->Bitmap.Clear();
        }
        SysButtons.push_back(std::move(b));
    }

    TBitmap strip;
    LoadSkinBitmap(strip, Str("MDICONTROLS", "Image"));
    const int glyph = strip.Empty() ? 0 : strip.Width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>("MDICONTROLS");
        b->Action = caMdiMinimize + i;  // then restore, then close
        b->Align = baMenuBar;
        b->Visibility = b->Visibility1 = bvMdiMenuBar;
        b->Frame = 4;
        if (glyph > 0) {
            b->Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
            b->Bitmap.SetSize(4 * glyph, strip.Height());
            BitBlt(b->Bitmap.Canvas().Handle(), 0, 0, 4 * glyph, strip.Height(), strip.Canvas().Handle(),
                   4 * i * glyph, 0, SRCCOPY);
            GdiFlush();
            b->Xcoord = (glyph + 4) * (3 - i);
        }
        SysButtons.push_back(std::move(b));
    }
}

void TSkinData::ReadButtons() {
    const TButtonValues v = TSkinValueReader(*ini_).Buttons(Colours.ButtonText);
    TDataSkinButton& b = Buttons;
    ApplyValues(b, v);
    LoadSkinBitmap(b.Bitmap, v.Image);
    LoadSkinBitmap(b.CheckBitmap, v.CheckImage);
    LoadSkinBitmap(b.RadioBitmap, v.RadioImage);
    b.RadioButtonFrame = v.RadioButtonFrame;
    b.CheckButtonFrame = v.CheckButtonFrame;
    b.HasNormalColour2 = v.HasNormalColour2;
    b.HasMouseOverColour2 = v.HasMouseOverColour2;
    b.HasPressedColour2 = v.HasPressedColour2;
    b.Frame = v.Frame;
    if (b.RadioButtonFrame == 0) b.RadioButtonFrame = GlyphCellCount(b.RadioBitmap.Width(), b.RadioBitmap.Height());
    if (b.CheckButtonFrame == 0) b.CheckButtonFrame = GlyphCellCount(b.CheckBitmap.Width(), b.CheckBitmap.Height());
}

void TSkinData::ReadTitle() {
    const TTitleValues v = TSkinValueReader(*ini_).Title();
    TDataSkinTitle& t = Title;
    LoadSkinBitmap(t.Bitmap, v.TextBack);
    const std::string p(kCaptionSection);
    t.Margins = {verdict_.Kept(p, "TextShift", v.TextShift), verdict_.Kept(p, "TextShiftVert", v.TextShiftVert),
                 verdict_.Kept(p, "TextRightClip", v.TextRightClip), 0};
    t.TextAlignment = v.TextAlignment;
    t.Textbackground = v.Textbackground;
    t.FontHeight = v.FontHeight;
    t.TXTBackleft = v.TXTBackleft;
    t.TXTBackRight = v.TXTBackRight;
    t.ActiveTextColor = v.ActiveTextColor;
    t.InActiveTextColor = v.InActiveTextColor;
    t.Frame = 2;
}

template <class T>
void TSkinData::MakeElement(std::unique_ptr<T>& slot, const TElementValues& v) {
    slot.reset();
    if (v.Image.empty()) return;
    auto o = std::make_unique<T>(v.Name);
    // A picture too small for its frames and margins is a missing one: the control keeps its look.
    if (!verdict_.Ignores(v.Name)) LoadSkinBitmap(o->Bitmap, v.Image);
    ApplyValues(*o, v);
    slot = std::move(o);
}

void TSkinData::ReadElement(std::unique_ptr<TDataSkinObject>& slot, const std::string& s) {
    MakeElement(slot, TSkinValueReader(*ini_).Element(s, Colours.ButtonText));
}

void TSkinData::ReadTwoImage(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s, const std::string& key) {
    const TElementValues v = TSkinValueReader(*ini_).TwoImage(s, key, Colours.ButtonText);
    MakeElement(slot, v);
    if (slot && !v.SecondImage.empty()) LoadSkinBitmap(slot->Bitmap2, v.SecondImage);
}

void TSkinData::ReadProgress(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s) {
    MakeElement(slot, TSkinValueReader(*ini_).Progress(s));
}

void TSkinData::ReadBoxLabel(std::unique_ptr<TDataSkinBoxLabel>& slot, const std::string& s) {
    const TElementValues v = TSkinValueReader(*ini_).BoxLabel(s, Colours.ButtonText);
    MakeElement(slot, v);
    if (!slot) return;
    slot->BackgroundAlignment = v.BackgroundAlignment;
    slot->BackgroundLeftShift = v.BackgroundLeftShift;
    slot->BackgroundRightShift = v.BackgroundRightShift;
}

void TSkinData::ReadMenuBar(std::unique_ptr<TDataSkinObject>& slot) {
    MakeElement(slot, TSkinValueReader(*ini_).MenuBar());
    if (!slot) return;
    slot->Stacked = true;  // active and inactive bar
    // The end pieces' widths as the bar's picture can show them.
    slot->Margins.Left = verdict_.MenuLeft;
    slot->Margins.Right = verdict_.MenuRight;
}

void TSkinData::MakeResourceElement(std::unique_ptr<TDataSkinObject>& slot, const char* name) {
    auto o = std::make_unique<TDataSkinObject>(name);
    const std::u16string wide = Utf8ToUtf16(name);
    LoadBitmapResource(o->Bitmap, reinterpret_cast<const wchar_t*>(wide.c_str()));
    o->Margins = {3, 3, 3, 3};
    o->Tile = 0;
    o->Frame = 1;
    slot = std::move(o);
}

void TSkinData::ReadSlots() {
    ReadProgress(Progress, "Progress");
    ReadElement(ProgressChunk, "Progress.Chunk");
    ReadMenuBar(MenuBar);
    ReadElement(GroupBoxEdge, "GroupBoxEdge");
    ReadBoxLabel(GroupBox, "GroupBox");
    ReadTwoImage(Tabs, "Tabs", "Border");
    ReadElement(StatusBarEdges, "StatusBarEdges");
    ReadElement(TabPane, "Tab.Pane");
    if (TabPane) {
        TSkinMargins& m = TabPane->Margins;
        m = {std::min(m.Left, 4), std::min(m.Top, 4), std::min(m.Right, 4), std::min(m.Bottom, 4)};
    }
    ReadElement(ToolBars, "ToolBars");
    // No skin has a "****" key: the second image is the mirrored copy made just below.
    ReadTwoImage(ComboButton, "ComboButton", "****");
    BuildMirroredComboButton();
    ReadElement(SunkEdge, "SunkEdge");
    ReadElement(ExtraImages, "ExtraImages");
    ReadElement(Headerbar, "Headerbar");
    ReadElement(MenuItem, "MenuItem");
    if (MenuItem) MenuItem->Stacked = true;
    ReadElement(MenuBackground, "MenuBackground");
    ReadElement(Scrollbar, "Scrollbar");
    ReadElement(HorzScroll, "HorzScroll");
    ReadElement(VertScroll, "VertScroll");
    ReadElement(HorzScrollThumb, "HorzScrollThumb");
    ReadElement(VertScrollThumb, "VertScrollThumb");
    ReadElement(TrackbarThumbHorz, "Trackbar.ThumbHorz");
    ReadElement(TrackbarThumbVert, "Trackbar.ThumbVert");
    ReadElement(TrackbarThumbLeft, "Trackbar.ThumbLeft");
    ReadElement(TrackbarThumbRight, "Trackbar.ThumbRight");
    ReadElement(TrackbarThumbUp, "Trackbar.ThumbUp");
    ReadElement(TrackbarThumbDown, "Trackbar.ThumbDown");
    ReadTwoImage(UpDownHorz, "UpDown.Horz", "GlyphImage");
    ReadTwoImage(UpDownVert, "UpDown.Vert", "GlyphImage");
    ReadElement(Track, "Track");
    if (!Track) MakeResourceElement(Track, "TRACK");
    ReadElement(TrackVert, "TRACKVERT");
    if (!TrackVert) MakeResourceElement(TrackVert, "TRACKVERT");
    if (!Toolbar) Toolbar = std::make_unique<TDataSkinObject>("Toolbar");
}

void TSkinData::ApplyFrameCounts() {
    auto set = [](auto& slot, std::int32_t frame) {
        if (slot) slot->Frame = frame;
    };
    if (Progress) Progress->Frame = Progress->Style != 0 ? 1 : 2;
    set(MenuBar, 2);
    set(GroupBoxEdge, 2);
    set(GroupBox, 1);
    set(Tabs, 5);
    set(StatusBarEdges, 3);
    set(TabPane, 1);
    set(ToolBars, 5);
    set(ComboButton, 4);
    set(SunkEdge, 4);
    set(ExtraImages, 5);
    if (Headerbar && Headerbar->Frame == 0) Headerbar->Frame = 5;
    set(MenuItem, 5);
    set(MenuBackground, 1);
    set(Scrollbar, 23);
    set(HorzScroll, 4);
    set(VertScroll, 4);
    set(HorzScrollThumb, Int("HorzScrollThumb", "FrameCount", 3));
    set(VertScrollThumb, Int("VertScrollThumb", "FrameCount", 3));
    for (auto* thumb : {&TrackbarThumbHorz, &TrackbarThumbVert, &TrackbarThumbLeft, &TrackbarThumbRight,
                        &TrackbarThumbUp, &TrackbarThumbDown})
        set(*thumb, 5);
    set(UpDownHorz, 8);
    set(UpDownVert, 8);
    set(Toolbar, 1);
}

// The pixel a third of the way into the Top border's first frame; a frame count below 1
// counts as 1 so that a careless skin cannot divide by zero.
TColor TSkinData::SampleTopBorder() const {
    const TDataSkinObject& top = Borders[sbTop];
    if (top.Bitmap.Empty()) return Colours.ButtonFace;
    const int frames = std::max(1, top.Frame);
    TBitmap& image = const_cast<TBitmap&>(top.Bitmap);
    return static_cast<TColor>(image.Canvas().Pixel(image.Width() / 3, (image.Height() / frames) / 3));
}

void TSkinData::DoFormSkin(const std::string& className, bool& doSkin) {
    if (OnFormSkin) {
        OnFormSkin(this, className, doSkin);
        return;
    }
    if (className == "SysMonthCal32") doSkin = false;
    if (className.rfind("TRpt", 0) == 0 && (skinControls_ & SkinControlBit(xcReportDesigner))) doSkin = false;
}

void TSkinData::DoSkinChanged() {
    if (OnSkinChanged) OnSkinChanged(this);
}

void TSkinData::Loaded() {
    TComponent::Loaded();
    if (ComponentState() & csDesigning) return;
    // Scroll-bar skinners need GetScrollBarInfo, which older systems lack.
    if (!GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetScrollBarInfo"))
        skinControls_ &= ~SkinControlBit(xcScrollbar);
    BuildCaptionFont();
    if (skinFormType_ != sfMainform) {
        Tell(TSkinDataChange::Loaded);
        return;
    }
    if (active_ && skinMissing_) active_ = false;
    Tell(TSkinDataChange::Loaded);
    if (skinControls_ & SkinControlBit(xcMainMenu))
        skinControls_ &= ~SkinControlBit(xcMenuItem);
    else
        skinControls_ &= ~SkinControlBit(xcSystemMenu);
    BuildAppIconBitmap();
}

void TSkinData::BuildCaptionFont() {
    NONCLIENTMETRICSW metrics{};
    // The size without the padded-border field, which every system version accepts.
    metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return;
    const LOGFONTW& f = metrics.lfCaptionFont;
    captionFont_.SetName(std::u16string(reinterpret_cast<const char16_t*>(f.lfFaceName)));
    captionFont_.SetHeight(f.lfHeight);
    TFontStyles style = 0;
    if (f.lfWeight >= FW_BOLD) style |= fsBold;
    if (f.lfItalic) style |= fsItalic;
    if (f.lfUnderline) style |= fsUnderline;
    if (f.lfStrikeOut) style |= fsStrikeOut;
    captionFont_.SetStyle(style);
    captionFont_.SetCharset(f.lfCharSet);
}

void TSkinData::BuildAppIconBitmap() {
    const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
    appIconBitmap_.SetPixelFormat(TPixelFormat::pf24bit);
    appIconBitmap_.SetSize(cx, cy);
    if (appIconBitmap_.Empty()) return;
    {
        TCanvas& canvas = appIconBitmap_.Canvas();
        canvas.Brush().SetColor(kMagenta);
        canvas.FillRect({0, 0, cx, cy});
    }
    // The framework has no application window; the program's main window, or the owning
    // form while it is being built, stands in for it, and the program's first icon after them.
    HWND window = nullptr;
    if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
        window = Application->MainForm()->Handle();
    else if (auto* form = dynamic_cast<TWinControl*>(Owner()); form && form->HandleAllocated())
        window = form->Handle();
    HICON icon = nullptr;
    if (window) {
        icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_SMALL, 0));
        if (!icon) icon = reinterpret_cast<HICON>(SendMessageW(window, WM_GETICON, ICON_BIG, 0));
    }
    HICON copy = icon ? static_cast<HICON>(CopyImage(icon, IMAGE_ICON, cx, cy, 0))
                      : static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), L"MAINICON", IMAGE_ICON, cx, cy, 0));
    if (copy) {
        DrawIconEx(appIconBitmap_.Canvas().Handle(), 0, 0, copy, cx, cy, 0, nullptr, DI_NORMAL);
        DestroyIcon(copy);
        GdiFlush();
    }
    appIconBitmap_.SetTransparentColor(kMagenta);
    appIconBitmap_.SetTransparent(true);
}

bool LoadBitmapResource(TBitmap& bitmap, const wchar_t* name) {
    bitmap.Clear();
    HMODULE module = GetModuleHandleW(nullptr);
    HRSRC info = FindResourceW(module, name, MAKEINTRESOURCEW(2) /* RT_BITMAP */);
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const auto* dib = handle ? static_cast<const std::uint8_t*>(LockResource(handle)) : nullptr;
    const DWORD size = info ? SizeofResource(module, info) : 0;
    if (!dib || size < sizeof(BITMAPINFOHEADER)) return false;
    // A bitmap resource is a file without its 14-byte file header; the header's pixel offset
    // follows from the info header and the colour table.
    BITMAPINFOHEADER header;
    std::memcpy(&header, dib, sizeof header);
    std::uint32_t colours = header.biBitCount <= 8 ? (header.biClrUsed ? header.biClrUsed : 1u << header.biBitCount) : 0;
    if (header.biCompression == BI_BITFIELDS && header.biSize == sizeof(BITMAPINFOHEADER)) colours = 3;
    const std::uint64_t offset = 14 + std::uint64_t{header.biSize} + std::uint64_t{colours} * 4;
    std::vector<std::uint8_t> file(14 + size);
    BITMAPFILEHEADER fileHeader{};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfSize = static_cast<DWORD>(file.size());
    fileHeader.bfOffBits = static_cast<DWORD>(std::min<std::uint64_t>(offset, file.size()));
    std::memcpy(file.data(), &fileHeader, 14);
    std::memcpy(file.data() + 14, dib, size);
    try {
        TSpanStream stream(file);
        bitmap.LoadFromStream(stream);
    } catch (const std::exception&) {
        bitmap.Clear();
        return false;
    }
    return true;
}

}  // namespace qx
