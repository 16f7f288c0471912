#include "skin/SkinData.h"

#include "core/Text.h"
#include "framework/Controls.h"
#include "framework/Forms.h"
#include "skin/QuickIni.h"
#include "skin/SkinManager.h"
#include "skin/SkinReader.h"

#include <algorithm>
#include <cstring>
#include <exception>

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

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// Decimal digits only, as the colour texts hold; false when it does not fit 32 bits.
bool ToComponent(const std::string& digits, std::int32_t& value) {
    if (digits.empty() || digits.size() > 10) return false;
    std::int64_t v = 0;
    for (char c : digits) v = v * 10 + (c - '0');
    if (v > 0x7FFFFFFF) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

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
    // A 64 x 16 strip of four menu glyphs; white is the background.
    TBitmap strip;
    if (LoadBitmapResource(strip, L"ORVANEMENU")) {
        menuImages_.Reset(ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 4, 4));
        if (menuImages_.Get()) ImageList_AddMasked(menuImages_.Get(), strip.Handle(), RGB(255, 255, 255));
    }
    maximizedSize_ = {GetSystemMetrics(SM_CXMAXIMIZED), GetSystemMetrics(SM_CYMAXIMIZED)};
}

TSkinData::~TSkinData() {
    // No skinner may go on drawing from a skin that is gone.
    if (TSkinManager* manager = SkinManager()) manager->RemoveSkinData(this);
}

void TSkinData::SetActive(bool value) {
    if (value == active_) return;
    if (IsLoading() || (ComponentState() & csDesigning)) {
        active_ = value;
        return;
    }
    switch (skinFormType_) {
        case sfOnlyThisForm: {
            TSkinManager& manager = EnsureSkinManager();
            manager.SetCurrentSkinData(this);
            // Turning on without a parsed skin does nothing: there is nothing to skin with.
            if (value && skinMissing_) return;
            active_ = value;
            manager.QueueCommand(value ? scStart : scStop, 250);
            return;
        }
        case sfMainform: {
            if (value && skinMissing_) return;
            active_ = value;
            TSkinManager& manager = EnsureSkinManager();
            manager.SetCurrentSkinData(this);
            manager.QueueCommand(value ? scStart : scStop, 250);
            if (value) manager.SetState(msRunning);
            return;
        }
        default: active_ = value; return;
    }
}

void TSkinData::ApplySkin() {
    if (ComponentState() & csDesigning) return;
    if (!SkinManager()) Loaded();
    TSkinManager& manager = EnsureSkinManager();
    manager.SetCurrentSkinData(this);
    // Caption-button objects point at the elements of the previous parse.
    manager.DropCaptionButtons();
    if (manager.State() == msRunning) manager.QueueCommand(scRefresh, 250);
}

void TSkinData::SetSkinFile(const std::u16string& value) {
    if (IsLoading() || (ComponentState() & csDesigning)) {
        skinFile_ = value;
        return;
    }
    skinMissing_ = true;
    skinFile_ = value;
    if (value.empty()) return;
    HANDLE file = CreateFileW(reinterpret_cast<LPCWSTR>(value.c_str()), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    std::vector<std::uint8_t> bytes;
    LARGE_INTEGER size{};
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart >= 0 && size.QuadPart < 256LL * 1024 * 1024;
    if (ok) {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        ok = bytes.empty() || (ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                               read == bytes.size());
    }
    CloseHandle(file);
    if (!ok) return;
    skinStream_.Clear();
    if (!bytes.empty()) skinStream_.WriteBuffer(bytes.data(), bytes.size());
    LoadSkin();
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
    if (!(ComponentState() & csDesigning)) LoadSkin();
}

bool TSkinData::LoadSkin() {
    skinMissing_ = true;
    TSkinReader reader;
    reader.OnMessage = [](const std::string& message) {
        if (Application) Application->MessageBox(Utf8ToUtf16(message), Application->Title(), MB_OK | MB_ICONWARNING);
    };
    TMemoryStream scratch;
    TQuickIni ini;
    struct TOpen {
        TSkinData* self;
        ~TOpen() {
            self->reader_ = nullptr;
            self->ini_ = nullptr;
            self->scratch_ = nullptr;
        }
    } open{this};
    try {
        skinStream_.SetPosition(0);
        if (!reader.LoadArchive(skinStream_)) return false;
        std::string iniName;
        reader.ExtractFileLike(".ini", scratch, iniName);
        scratch.SetPosition(0);
        ini.LoadFromStream(&scratch);
        reader_ = &reader;
        ini_ = &ini;
        scratch_ = &scratch;
        ParseSkin();
    } catch (const std::exception&) {
        // Skin data that cannot be decoded leaves the component without a skin; the window
        // then keeps the system's look.
        return false;
    }
    return true;
}

std::int32_t TSkinData::Int(const std::string& section, const std::string& key, std::int32_t defaultValue) const {
    return ini_ ? ini_->ReadInteger(section, key, defaultValue) : defaultValue;
}

std::string TSkinData::Str(const std::string& section, const std::string& key) const {
    return ini_ ? ini_->ReadString(section, key, "") : std::string();
}

TColor TSkinData::ReadColor(std::string_view text, TColor defaultValue) {
    if (text.empty()) return defaultValue;
    const std::string trimmed(TrimControl(text));
    std::int32_t parts[3] = {0, 0, 0};
    int count = 0;
    std::string digits;
    for (char c : trimmed) {
        if (c >= '0' && c <= '9') {
            digits += c;
            continue;
        }
        std::int32_t v;
        if (count < 3 && ToComponent(digits, v)) parts[count++] = v & 0xFF;
        digits.clear();
    }
    std::int32_t v;
    if (count == 2 && ToComponent(digits, v)) parts[2] = v & 0xFF;
    return static_cast<TColor>(parts[0] | parts[1] << 8 | parts[2] << 16);
}

void TSkinData::LoadSkinBitmap(TBitmap& bitmap, const std::string& name) {
    const std::size_t slash = name.find_last_of("\\/:");
    const std::string fileName = slash == std::string::npos ? name : name.substr(slash + 1);
    const std::size_t dot = fileName.rfind('.');
    const std::string extension = dot == std::string::npos ? std::string() : fileName.substr(dot);
    if (fileName.empty() || extension != ".bmp" || !reader_ || !scratch_) {
        bitmap.Clear();
        return;
    }
    reader_->ExtractFile(fileName, *scratch_);
    if (scratch_->Size() == 0) {
        bitmap.Clear();
        return;
    }
    try {
        scratch_->SetPosition(0);
        bitmap.LoadFromStream(*scratch_);
    } catch (const std::exception&) {
        bitmap.Clear();  // a damaged picture is a missing one
    }
}

void TSkinData::ParseSkin() {
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
    BuildComboImages();
    BuildToolbarImage();
    FrameColor = SampleTopBorder();
    faceBrush_.Reset();
    faceBrush_.Reset(CreateSolidBrush(ColorToRGB(Colours.ButtonFace)));
    skinMissing_ = false;
}

void TSkinData::ReadBorders() {
    for (TDataSkinObject& b : Borders) {
        const std::string& p = b.Name;
        const bool sides = &b == &Borders[sbLeft] || &b == &Borders[sbRight];
        const std::int32_t first = Int("Personality", p + "TopHeight", 0);
        const std::int32_t second = Int("Personality", p + "BotHeight", 0);
        b.Margins = sides ? TSkinMargins{0, first, 0, second} : TSkinMargins{first, 0, second, 0};
        b.Frame = Int("Personality", p + "Frame", 1);
        b.Tile = std::min(Int("Personality", p + "Stretch", 1), 1);
        b.Trans = Int("Personality", p + "Trans", 1);
        LoadSkinBitmap(b.Bitmap, Str("Personality", p));
    }
}

void TSkinData::ReadColours() {
    auto colour = [this](const char* key, TColor defaultValue) {
        return ReadColor(Str("Colours", key), defaultValue);
    };
    TSkinColours& c = Colours;
    c.WindowText = colour("WindowText", clSystemColor | COLOR_WINDOWTEXT);
    c.ButtonFace = colour("ButtonFace", clSystemColor | COLOR_BTNFACE);
    c.Scrollbar = colour("Scrollbar", clSystemColor | COLOR_SCROLLBAR);
    c.HilightText = colour("HilightText", clSystemColor | COLOR_HIGHLIGHTTEXT);
    c.Hilight = colour("Hilight", clSystemColor | COLOR_HIGHLIGHT);
    c.Menubar = colour("Menubar", c.ButtonFace);
    c.Menu = colour("Menu", clSystemColor | COLOR_MENU);
    c.MenuText = colour("MenuText", clSystemColor | COLOR_MENUTEXT);
    c.ButtonText = colour("ButtonText", clSystemColor | COLOR_BTNTEXT);
    c.ButtonHilight = colour("ButtonHilight", clSystemColor | COLOR_BTNHIGHLIGHT);
    c.Buttonlight = colour("Buttonlight", clSystemColor | COLOR_BTNHIGHLIGHT);
    c.ButtonShadow = colour("ButtonShadow", clSystemColor | COLOR_BTNSHADOW);
    c.ButtonDkShadow = colour("ButtonDkShadow", clSystemColor | COLOR_3DDKSHADOW);
    c.MenuBarText = colour("MenuBarText", clSystemColor | COLOR_MENUTEXT);
    c.TitleTextActive = colour("TitleTextActive", clSystemColor | COLOR_CAPTIONTEXT);
    c.TitleTextNoActive = colour("TitleTextNoActive", clSystemColor | COLOR_INACTIVECAPTIONTEXT);

    SectionColors.clear();
    for (const std::string& s : sections_) {
        const std::string upper = Upper(s);
        if (upper.rfind("COLOUR", 0) == 0 && upper != "COLOURS")
            SectionColors.push_back(ReadColor(Str(s, "color"), clSystemColor | COLOR_WINDOWTEXT));
    }
    for (int i = 0; i < 10; ++i) CustomColors[i] = ReadColor(Str("Customcolors", "Color" + std::to_string(i)), 0xFFFFFF);
}

void TSkinData::ReadSysButtons() {
    std::vector<std::string> kept;
    for (const std::string& s : sections_) {
        const std::string upper = Upper(s);
        if (upper.rfind("BUTTON", 0) != 0 || upper == "BUTTON" || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
            upper == "BUTTON.CHECKBOX")
            continue;
        if (Int(upper, "Action", 0) == -1 && Int(upper, "Visibility", -1) != 0) continue;
        kept.push_back(upper);
    }
    SysButtons.clear();
    SysButtons.reserve(kept.size() + 3);
    for (const std::string& name : kept) {
        auto b = std::make_unique<TDataSkinSysButton>(name);
        b->Action = Int(name, "Action", 0);
        b->Align = Int(name, "Align", 0);
        b->Xcoord = Int(name, "Xcoord", 0);
        b->Ycoord = Int(name, "Ycoord", 0);
        b->Visibility = Int(name, "Visibility", 0);
        b->Visibility1 = Int(name, "Visibility1", b->Action == -1 ? -1 : 0);
        b->CombineOp = Int(name, "CombineOp", -1);
        b->Frame = Int(name, "frame", 0);
        LoadSkinBitmap(b->Bitmap, Str(name, "ButtonImage"));
        if (b->Frame == 0) {
            b->Frame = 6;
            if (!b->Bitmap.Empty())
                b->Frame = static_cast<double>(b->Bitmap.Width()) / b->Bitmap.Height() <= 3.8 ? 3 : 6;
            if (b->Action < 0) b->Frame = 6;
            // The system-menu and help buttons draw the window's icon and text, not an image.
            if (b->Action == 3 || b->Action == 11) b->Bitmap.Clear();
        }
        SysButtons.push_back(std::move(b));
    }

    TBitmap strip;
    LoadSkinBitmap(strip, Str("MDICONTROLS", "Image"));
    const int glyph = strip.Empty() ? 0 : strip.Width() / 12;
    for (int i = 0; i < 3; ++i) {
        auto b = std::make_unique<TDataSkinSysButton>("MDICONTROLS");
        b->Action = 7 + i;
        b->Align = b->Visibility = b->Visibility1 = 100;
        b->Frame = 4;
        if (glyph > 0) {
            b->Bitmap.SetPixelFormat(TPixelFormat::pf24bit);
            b->Bitmap.SetSize(4 * glyph, strip.Height());
            TMemoryDC src;
            src.SelectBitmap(strip.Handle());
            BitBlt(b->Bitmap.Canvas().Handle(), 0, 0, 4 * glyph, strip.Height(), src.Get(), 4 * i * glyph, 0, SRCCOPY);
            GdiFlush();
            b->Xcoord = (glyph + 4) * (3 - i);
        }
        SysButtons.push_back(std::move(b));
    }
}

void TSkinData::ReadButtons() {
    TDataSkinButton& b = Buttons;
    const std::string s = "Buttons";
    b.Margins = {Int(s, "LeftWidth", 0), Int(s, "TopHeight", 0), Int(s, "RightWidth", 0), Int(s, "BottomHeight", 0)};
    b.Trans = Int(s, "Trans", 0);
    LoadSkinBitmap(b.Bitmap, Str(s, "Bitmap"));
    b.Tile = Int(s, "Tile", 0);
    if (b.Tile > 1) b.Tile = 0;
    LoadSkinBitmap(b.CheckBitmap, Str(s, "CheckButton"));
    LoadSkinBitmap(b.RadioBitmap, Str(s, "RadioButton"));
    b.NormalColour = Int(s, "NormalColour", -1);
    b.MouseOverColour = Int(s, "MouseOverColour", -1);
    b.PressedColour = Int(s, "PressedColour", -1);
    b.RadioButtonFrame = Int(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Int(s, "CheckButtonFrame", 0);
    b.HasNormalColour2 = !Str(s, "NormalColour2").empty();
    b.HasMouseOverColour2 = !Str(s, "MouseOverColour2").empty();
    b.HasPressedColour2 = !Str(s, "PressedColour2").empty();
    b.NormalColour2 = ReadColor(Str(s, "NormalColour2"), Colours.ButtonText);
    b.MouseOverColour2 = ReadColor(Str(s, "MouseOverColour2"), Colours.ButtonText);
    b.PressedColour2 = ReadColor(Str(s, "PressedColour2"), Colours.ButtonText);
    b.Frame = 5;
    // Cells are 13 pixels wide in small strips and 16 in large ones.
    auto cells = [](const TBitmap& image) {
        if (image.Empty()) return 4;
        return std::max(4, image.Width() / (image.Height() < 16 ? 13 : 16));
    };
    if (b.RadioButtonFrame == 0) b.RadioButtonFrame = cells(b.RadioBitmap);
    if (b.CheckButtonFrame == 0) b.CheckButtonFrame = cells(b.CheckBitmap);
}

void TSkinData::ReadTitle() {
    TDataSkinTitle& t = Title;
    const std::string p = "Personality";
    LoadSkinBitmap(t.Bitmap, Str(p, "TextBack"));
    t.Margins = {Int(p, "TextShift", 0), Int(p, "TextShiftVert", 0), Int(p, "TextRightClip", 0), 0};
    t.TextAlignment = Int(p, "TextAlignment", 0);
    t.Textbackground = Int(p, "Textbackground", 0);
    t.FontHeight = Int("Fonts", "FontHeight", 14);
    t.TXTBackleft = Int(p, "TXTBackleft", 0);
    t.TXTBackRight = Int(p, "TXTBackRight", 0);
    auto rgb = [&](const char* prefix) -> TColor {
        const std::string base = prefix;
        const std::int32_t r = Int(p, base + "R", -1), g = Int(p, base + "G", -1), b = Int(p, base + "B", -1);
        if (r < 0 || g < 0 || b < 0) return clNone;
        return static_cast<TColor>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
    };
    t.ActiveTextColor = rgb("ActiveText");
    t.InActiveTextColor = rgb("InActiveText");
    t.Frame = 2;
}

void TSkinData::FillElement(TDataSkinObject& o, const std::string& s, const std::string& image, bool readFrame) {
    LoadSkinBitmap(o.Bitmap, image);
    o.Style = Int(s, "Style", 0);
    o.Margins = {Int(s, "LeftWidth", 0), Int(s, "TopHeight", 0), Int(s, "RightWidth", 0), Int(s, "BottomHeight", 0)};
    if (readFrame) o.Frame = Int(s, "Frame", 0);
    o.Trans = Int(s, "Trans", 0);
    o.Tile = Int(s, "Tile", 0);
    o.NormalColour = Int(s, "NormalColour", -1);
    o.MouseOverColour = Int(s, "MouseOverColour", -1);
    o.PressedColour = Int(s, "PressedColour", -1);
    o.NormalColour2 = ReadColor(Str(s, "NormalColour2"), Colours.ButtonText);
    o.MouseOverColour2 = ReadColor(Str(s, "MouseOverColour2"), Colours.ButtonText);
    o.PressedColour2 = ReadColor(Str(s, "PressedColour2"), Colours.ButtonText);
    if (o.Tile > 1) o.Tile = 0;
}

void TSkinData::ReadElement(std::unique_ptr<TDataSkinObject>& slot, const std::string& s) {
    slot.reset();
    const std::string image = Str(s, "Image");
    if (image.empty()) return;
    auto o = std::make_unique<TDataSkinObject>(s);
    FillElement(*o, s, image, true);
    slot = std::move(o);
}

void TSkinData::ReadTwoImage(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s, const std::string& key) {
    slot.reset();
    const std::string image = Str(s, "Image");
    if (image.empty()) return;
    auto o = std::make_unique<TDataSkinBorder>(s);
    FillElement(*o, s, image, false);
    const std::string second = Str(s, key);
    if (!second.empty()) LoadSkinBitmap(o->Bitmap2, second);
    slot = std::move(o);
}

void TSkinData::ReadProgress(std::unique_ptr<TDataSkinBorder>& slot, const std::string& s) {
    slot.reset();
    const std::string image = Str(s, "Bitmap");
    if (image.empty()) return;
    auto o = std::make_unique<TDataSkinBorder>(s);
    LoadSkinBitmap(o->Bitmap, image);
    o->Style = Int(s, "Style", 0);
    o->Margins = {Int(s, "LeftWidth", 0), Int(s, "TopHeight", 0), Int(s, "RightWidth", 0), Int(s, "BottomHeight", 0)};
    o->Trans = Int(s, "Trans", 0);
    o->Tile = std::min(Int(s, "Tile", 0), 1);
    slot = std::move(o);
}

void TSkinData::ReadBoxLabel(std::unique_ptr<TDataSkinBoxLabel>& slot, const std::string& s) {
    slot.reset();
    const std::string image = Str(s, "Image");
    if (image.empty()) return;
    auto o = std::make_unique<TDataSkinBoxLabel>(s);
    FillElement(*o, s, image, false);
    o->BackgroundAlignment = Int(s, "BackgroundAlignment", 0);
    o->BackgroundLeftShift = Int(s, "BackgroundLeftShift", 0);
    o->BackgroundRightShift = Int(s, "BackgroundRightShift", 0);
    slot = std::move(o);
}

void TSkinData::ReadMenuBar(std::unique_ptr<TDataSkinObject>& slot) {
    slot.reset();
    const std::string image = Str("Personality", "menuBar");
    if (image.empty()) return;
    auto o = std::make_unique<TDataSkinObject>("Personality");
    LoadSkinBitmap(o->Bitmap, image);
    o->Margins.Top = o->Margins.Bottom = 0;
    o->Tile = std::min(Int("Personality", "TileMenu", 1), 1);
    // Here the side margins are the tile flags of the bar's left and right parts.
    o->Margins.Left = Int("Personality", "TileLeftMenu", 1);
    o->Margins.Right = Int("Personality", "TileRightMenu", 1);
    o->Stacked = true;  // active and inactive bar
    slot = std::move(o);
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
    TSkinManager& manager = EnsureSkinManager();
    manager.AddSkinData(this);
    BuildCaptionFont();
    if (skinFormType_ != sfMainform) {
        manager.SetSkinningOn(true);
        if (manager.State() == msIdle) manager.SetState(msRunning);
        if (auto* form = dynamic_cast<TCustomForm*>(Owner()); form && form->HandleAllocated())
            manager.SkinWindow(form->Handle());
        return;
    }
    manager.InstallHooks();
    if (active_) {
        if (skinMissing_) {
            active_ = false;
        } else {
            manager.SetCurrentSkinData(this);
            manager.QueueCommand(scStart, 250);
        }
    }
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
