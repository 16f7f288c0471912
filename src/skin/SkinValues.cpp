#include "SkinValues.h"

#include "QuickIni.h"
#include "core/Text.h"

#include <algorithm>

namespace qx {

namespace {

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

TSkinColour ReadSkinColour(std::string_view text, TSkinColour defaultValue) {
    if (text.empty()) return defaultValue;
    const std::string_view trimmed = TrimControl(text);
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
    return static_cast<TSkinColour>(parts[0] | parts[1] << 8 | parts[2] << 16);
}

std::int32_t TSkinValueReader::Int(const std::string& section, const std::string& key, std::int32_t defaultValue) const {
    return ini_.ReadInteger(section, key, defaultValue);
}

std::string TSkinValueReader::Str(const std::string& section, const std::string& key) const {
    return ini_.ReadString(section, key, "");
}

TSkinColourValues TSkinValueReader::Colours() const {
    auto colour = [this](const char* key, TSkinColour defaultValue) {
        return ReadSkinColour(Str("Colours", key), defaultValue);
    };
    TSkinColourValues c{};
    c.WindowText = colour("WindowText", SystemColour(scWindowText));
    c.ButtonFace = colour("ButtonFace", SystemColour(scButtonFace));
    c.Scrollbar = colour("Scrollbar", SystemColour(scScrollbar));
    c.HilightText = colour("HilightText", SystemColour(scHighlightText));
    c.Hilight = colour("Hilight", SystemColour(scHighlight));
    c.Menubar = colour("Menubar", c.ButtonFace);
    c.Menu = colour("Menu", SystemColour(scMenu));
    c.MenuText = colour("MenuText", SystemColour(scMenuText));
    c.ButtonText = colour("ButtonText", SystemColour(scButtonText));
    c.ButtonHilight = colour("ButtonHilight", SystemColour(scButtonHighlight));
    c.Buttonlight = colour("Buttonlight", SystemColour(scButtonHighlight));
    c.ButtonShadow = colour("ButtonShadow", SystemColour(scButtonShadow));
    c.ButtonDkShadow = colour("ButtonDkShadow", SystemColour(scDarkShadow));
    c.MenuBarText = colour("MenuBarText", SystemColour(scMenuText));
    c.TitleTextActive = colour("TitleTextActive", SystemColour(scCaptionText));
    c.TitleTextNoActive = colour("TitleTextNoActive", SystemColour(scInactiveCaptionText));
    return c;
}

std::vector<TSkinColour> TSkinValueReader::SectionColours(const std::vector<std::string>& sections) const {
    std::vector<TSkinColour> colours;
    for (const std::string& s : sections) {
        const std::string upper = UpperAscii(s);
        if (upper.rfind("COLOUR", 0) == 0 && upper != "COLOURS")
            colours.push_back(ReadSkinColour(Str(s, "color"), SystemColour(scWindowText)));
    }
    return colours;
}

TSkinColour TSkinValueReader::CustomColour(int index) const {
    return ReadSkinColour(Str("Customcolors", "Color" + std::to_string(index)), 0xFFFFFF);
}

TElementValues TSkinValueReader::Border(const std::string& name, bool sides) const {
    TElementValues b;
    b.Name = name;
    const std::string p = "Personality";
    const std::int32_t first = Int(p, name + "TopHeight", 0);
    const std::int32_t second = Int(p, name + "BotHeight", 0);
    if (sides) {
        b.Top = first;
        b.Bottom = second;
    } else {
        b.Left = first;
        b.Right = second;
    }
    b.Frame = Int(p, name + "Frame", 1);
    b.Tile = std::min(Int(p, name + "Stretch", 1), 1);
    b.Trans = Int(p, name + "Trans", 1);
    b.Image = Str(p, name);
    return b;
}

std::vector<TSysButtonValues> TSkinValueReader::SysButtons(const std::vector<std::string>& sections) const {
    std::vector<TSysButtonValues> buttons;
    for (const std::string& s : sections) {
        if (buttons.size() == kMaxCaptionButtons) break;
        const std::string upper = UpperAscii(s);
        if (upper.rfind("BUTTON", 0) != 0 || upper == "BUTTON" || upper == "BUTTONS" || upper == "BUTTON.RADIO" ||
            upper == "BUTTON.CHECKBOX")
            continue;
        if (Int(upper, "Action", 0) == -1 && Int(upper, "Visibility", -1) != 0) continue;
        TSysButtonValues b;
        b.Name = upper;
        b.Action = Int(upper, "Action", 0);
        b.Align = Int(upper, "Align", 0);
        b.Xcoord = Int(upper, "Xcoord", 0);
        b.Ycoord = Int(upper, "Ycoord", 0);
        b.Visibility = Int(upper, "Visibility", 0);
        b.Visibility1 = Int(upper, "Visibility1", b.Action == -1 ? -1 : 0);
        b.CombineOp = Int(upper, "CombineOp", -1);
        b.Frame = Int(upper, "frame", 0);
        b.Image = Str(upper, "ButtonImage");
        buttons.push_back(std::move(b));
    }
    return buttons;
}

TButtonValues TSkinValueReader::Buttons(TSkinColour textColour) const {
    TButtonValues b;
    const std::string s = "Buttons";
    b.Name = s;
    ReadMargins(b, s);
    b.Trans = Int(s, "Trans", 0);
    b.Image = Str(s, "Bitmap");
    b.Tile = Int(s, "Tile", 0);
    if (b.Tile > 1) b.Tile = 0;
    b.CheckImage = Str(s, "CheckButton");
    b.RadioImage = Str(s, "RadioButton");
    b.NormalColour = Int(s, "NormalColour", -1);
    b.MouseOverColour = Int(s, "MouseOverColour", -1);
    b.PressedColour = Int(s, "PressedColour", -1);
    b.RadioButtonFrame = Int(s, "RadioButtonFrame", 0);
    b.CheckButtonFrame = Int(s, "CheckButtonFrame", 0);
    const std::string normal2 = Str(s, "NormalColour2"), over2 = Str(s, "MouseOverColour2"),
                      pressed2 = Str(s, "PressedColour2");
    b.HasNormalColour2 = !normal2.empty();
    b.HasMouseOverColour2 = !over2.empty();
    b.HasPressedColour2 = !pressed2.empty();
    b.NormalColour2 = ReadSkinColour(normal2, textColour);
    b.MouseOverColour2 = ReadSkinColour(over2, textColour);
    b.PressedColour2 = ReadSkinColour(pressed2, textColour);
    b.Frame = 5;
    return b;
}

TTitleValues TSkinValueReader::Title() const {
    TTitleValues t;
    const std::string p = "Personality";
    t.TextBack = Str(p, "TextBack");
    t.TextShift = Int(p, "TextShift", 0);
    t.TextShiftVert = Int(p, "TextShiftVert", 0);
    t.TextRightClip = Int(p, "TextRightClip", 0);
    t.TextAlignment = Int(p, "TextAlignment", 0);
    t.Textbackground = Int(p, "Textbackground", 0);
    t.FontHeight = Int("Fonts", "FontHeight", 14);
    t.TXTBackleft = Int(p, "TXTBackleft", 0);
    t.TXTBackRight = Int(p, "TXTBackRight", 0);
    auto rgb = [&](const std::string& prefix) -> TSkinColour {
        const std::int32_t r = Int(p, prefix + "R", -1), g = Int(p, prefix + "G", -1), b = Int(p, prefix + "B", -1);
        if (r < 0 || g < 0 || b < 0) return kNoTitleColour;
        return static_cast<TSkinColour>((r & 0xFF) | (g & 0xFF) << 8 | (b & 0xFF) << 16);
    };
    t.ActiveTextColor = rgb("ActiveText");
    t.InActiveTextColor = rgb("InActiveText");
    return t;
}

void TSkinValueReader::ReadMargins(TElementValues& v, const std::string& s) const {
    v.Left = Int(s, "LeftWidth", 0);
    v.Top = Int(s, "TopHeight", 0);
    v.Right = Int(s, "RightWidth", 0);
    v.Bottom = Int(s, "BottomHeight", 0);
}

void TSkinValueReader::ReadCommon(TElementValues& v, const std::string& s, TSkinColour textColour,
                                  bool readFrame) const {
    v.Name = s;
    v.Style = Int(s, "Style", 0);
    ReadMargins(v, s);
    if (readFrame) v.Frame = Int(s, "Frame", 0);
    v.Trans = Int(s, "Trans", 0);
    v.Tile = Int(s, "Tile", 0);
    v.NormalColour = Int(s, "NormalColour", -1);
    v.MouseOverColour = Int(s, "MouseOverColour", -1);
    v.PressedColour = Int(s, "PressedColour", -1);
    v.NormalColour2 = ReadSkinColour(Str(s, "NormalColour2"), textColour);
    v.MouseOverColour2 = ReadSkinColour(Str(s, "MouseOverColour2"), textColour);
    v.PressedColour2 = ReadSkinColour(Str(s, "PressedColour2"), textColour);
    if (v.Tile > 1) v.Tile = 0;
}

TElementValues TSkinValueReader::Element(const std::string& section, TSkinColour textColour, bool readFrame) const {
    TElementValues v;
    v.Image = Str(section, "Image");
    if (!v.Image.empty()) ReadCommon(v, section, textColour, readFrame);
    return v;
}

TElementValues TSkinValueReader::TwoImage(const std::string& section, const std::string& key,
                                          TSkinColour textColour) const {
    TElementValues v = Element(section, textColour, false);
    if (!v.Image.empty()) v.SecondImage = Str(section, key);
    return v;
}

TElementValues TSkinValueReader::Progress(const std::string& s) const {
    TElementValues v;
    v.Image = Str(s, "Bitmap");
    if (v.Image.empty()) return v;
    v.Name = s;
    v.Style = Int(s, "Style", 0);
    ReadMargins(v, s);
    v.Trans = Int(s, "Trans", 0);
    v.Tile = std::min(Int(s, "Tile", 0), 1);
    return v;
}

TElementValues TSkinValueReader::BoxLabel(const std::string& s, TSkinColour textColour) const {
    TElementValues v = Element(s, textColour, false);
    if (v.Image.empty()) return v;
    v.BackgroundAlignment = Int(s, "BackgroundAlignment", 0);
    v.BackgroundLeftShift = Int(s, "BackgroundLeftShift", 0);
    v.BackgroundRightShift = Int(s, "BackgroundRightShift", 0);
    return v;
}

TElementValues TSkinValueReader::MenuBar() const {
    TElementValues v;
    const std::string p = "Personality";
    v.Image = Str(p, "menuBar");
    if (v.Image.empty()) return v;
    v.Name = p;
    v.Tile = std::min(Int(p, "TileMenu", 1), 1);
    v.Left = Int(p, "TileLeftMenu", 1);
    v.Right = Int(p, "TileRightMenu", 1);
    return v;
}

std::int32_t GlyphCellCount(std::int32_t width, std::int32_t height) {
    if (width <= 0 || height <= 0) return 4;
    return std::max(4, width / (height < 16 ? 13 : 16));
}

std::int32_t SysButtonFrameCount(std::int32_t action, std::int32_t width, std::int32_t height) {
    std::int32_t frames = 6;
    if (width > 0 && height > 0) frames = static_cast<double>(width) / height <= 3.8 ? 3 : 6;
    if (action < 0) frames = 6;
    return frames;
}

}  // namespace qx
