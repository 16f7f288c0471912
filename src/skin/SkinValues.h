// What a skin's INI description says about each element (picture names, margins, frame
// counts, flags, colours), read with the INI reader's defaults and rules and nothing drawn:
// the portable half of the skin object model. The skin data component turns these values
// into elements with pictures; the fuzz target of the skin archive reads them natively.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TQuickIni;

// More caption buttons than a caption can show are not read (the installer's skin has five):
// each one is laid out and painted with every caption.
inline constexpr std::size_t kMaxCaptionButtons = 64;

// 0x00BBGGRR for a direct colour, 0xFF000000 + n for system colour n.
using TSkinColour = std::int32_t;
inline constexpr TSkinColour kSystemColour = static_cast<TSkinColour>(0xFF000000);
// The system colours that skins fall back to (the platform's colour indexes).
enum TSystemColourIndex : std::int32_t {
    scScrollbar = 0, scMenu = 4, scMenuText = 7, scWindowText = 8, scCaptionText = 9, scHighlight = 13,
    scHighlightText = 14, scButtonFace = 15, scButtonShadow = 16, scButtonText = 18, scInactiveCaptionText = 19,
    scButtonHighlight = 20, scDarkShadow = 21
};
constexpr TSkinColour SystemColour(TSystemColourIndex index) { return kSystemColour | index; }
// A caption text colour the skin does not give.
inline constexpr TSkinColour kNoTitleColour = 0x1FFFFFFF;

// A colour text: the first three runs of decimal digits are red, green and blue (a run still
// open at the end counts only as the third); an empty text gives defaultValue.
TSkinColour ReadSkinColour(std::string_view text, TSkinColour defaultValue);

// The skin's colours from [Colours], in their table order.
struct TSkinColourValues {
    TSkinColour WindowText, ButtonFace, Scrollbar, HilightText, Hilight, Menubar, Menu, MenuText, ButtonText,
        ButtonHilight, Buttonlight, ButtonShadow, ButtonDkShadow, MenuBarText, TitleTextActive, TitleTextNoActive;
};

// One element's values; each reader fills the fields its element has.
struct TElementValues {
    std::string Name;         // the section (or the border's name)
    std::string Image;        // the key naming the picture ("" when none: the element is absent)
    std::string SecondImage;  // two-image elements
    std::int32_t Style = 0;
    std::int32_t Left = 0, Top = 0, Right = 0, Bottom = 0;  // margins
    std::int32_t Frame = 0;
    std::int32_t Trans = 0;
    std::int32_t Tile = 0;
    TSkinColour NormalColour = -1, MouseOverColour = -1, PressedColour = -1;
    TSkinColour NormalColour2 = -1, MouseOverColour2 = -1, PressedColour2 = -1;
    std::int32_t BackgroundAlignment = 0, BackgroundLeftShift = 0, BackgroundRightShift = 0;  // box label
};

// [Buttons]: the push, check and radio button pictures.
struct TButtonValues : TElementValues {
    std::string CheckImage, RadioImage;
    std::int32_t RadioButtonFrame = 0, CheckButtonFrame = 0;
    bool HasNormalColour2 = false, HasMouseOverColour2 = false, HasPressedColour2 = false;
};

// [Personality]'s caption text settings.
struct TTitleValues {
    std::string TextBack;
    std::int32_t TextShift = 0, TextShiftVert = 0, TextRightClip = 0;
    std::int32_t TextAlignment = 0, Textbackground = 0, FontHeight = 14, TXTBackleft = 0, TXTBackRight = 0;
    TSkinColour ActiveTextColor = kNoTitleColour, InActiveTextColor = kNoTitleColour;
};

struct TSysButtonValues {
    std::string Name;  // upper case
    std::string Image;
    std::int32_t Action = 0, Align = 0, Xcoord = 0, Ycoord = 0, Visibility = 0, Visibility1 = 0, CombineOp = -1;
    std::int32_t Frame = 0;
};

// The readers of the element kinds, each keyed as the skin object model describes; textColour
// is the skin's ButtonText, the default of the second text colours.
class TSkinValueReader {
public:
    explicit TSkinValueReader(const TQuickIni& ini) : ini_(ini) {}

    TSkinColourValues Colours() const;
    // The color of every COLOUR* section but COLOURS, in section order.
    std::vector<TSkinColour> SectionColours(const std::vector<std::string>& sections) const;
    TSkinColour CustomColour(int index) const;
    // A window border from [Personality]: sides (Left, Right) keep their two heights as top and
    // bottom margins, the others as left and right.
    TElementValues Border(const std::string& name, bool sides) const;
    // The caption buttons: every BUTTON* section but the button pictures' own, unless it hides
    // itself (Action -1 with a Visibility other than 0); the first kMaxCaptionButtons of them.
    std::vector<TSysButtonValues> SysButtons(const std::vector<std::string>& sections) const;
    TButtonValues Buttons(TSkinColour textColour) const;
    TTitleValues Title() const;
    // Image, Style, the margins, Frame (when readFrame), Trans, Tile (above 1 is 0) and colours.
    TElementValues Element(const std::string& section, TSkinColour textColour, bool readFrame = true) const;
    // An element with a second picture under key (no Frame key).
    TElementValues TwoImage(const std::string& section, const std::string& key, TSkinColour textColour) const;
    // Keyed by Bitmap; Style, margins, Trans and Tile (above 1 is 1) only.
    TElementValues Progress(const std::string& section) const;
    TElementValues BoxLabel(const std::string& section, TSkinColour textColour) const;
    // [Personality] menuBar; the side margins are the tile flags of the bar's ends.
    TElementValues MenuBar() const;

    std::int32_t Int(const std::string& section, const std::string& key, std::int32_t defaultValue) const;
    std::string Str(const std::string& section, const std::string& key) const;

private:
    // The four margins of an element's section (its picture's corners and edges).
    void ReadMargins(TElementValues& v, const std::string& section) const;
    void ReadCommon(TElementValues& v, const std::string& section, TSkinColour textColour, bool readFrame) const;
    const TQuickIni& ini_;
};

// Radio and check strips without a stated cell count: 13-pixel cells below 16 pixels high,
// 16-pixel cells otherwise, at least 4 (4 for an empty strip).
std::int32_t GlyphCellCount(std::int32_t width, std::int32_t height);
// A caption button's frame count when its section gives none: 3 for a picture at most 3.8
// times as wide as high, else 6; 6 for a negative Action.
std::int32_t SysButtonFrameCount(std::int32_t action, std::int32_t width, std::int32_t height);

}  // namespace qx
