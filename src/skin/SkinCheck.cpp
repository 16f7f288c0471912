#include "SkinCheck.h"

#include "QuickIni.h"
#include "SkinPictures.h"
#include "SkinReader.h"
#include "SkinValues.h"
#include "core/Bmp.h"
#include "core/Stream.h"

#include <algorithm>
#include <exception>

namespace qx {

namespace {

constexpr const char* kNotUsed = ".\rThe skin is not used.";
constexpr const char* kSystemFrame = "windows keep their system frame";

// The elements of the controls: their section, the key of their picture, their frame count
// (0: the section's own, read from frameKey, else defaultFrames) and what keeps its own look
// without them.
struct TElementRule {
    const char* Section;
    const char* Key;
    std::int32_t Frames;
    const char* FrameKey;
    std::int32_t DefaultFrames;
    bool Stacked;
    const char* What;
};

constexpr TElementRule kElements[] = {
    {"Progress.Chunk", "Image", 0, "Frame", 1, false, "the progress bars' chunks"},
    {"GroupBoxEdge", "Image", 2, "", 0, false, "the group boxes"},
    {"GroupBox", "Image", 1, "", 0, false, "the group boxes' labels"},
    {"Tabs", "Image", 5, "", 0, false, "the tabs"},
    {"StatusBarEdges", "Image", 3, "", 0, false, "the status bars"},
    {"Tab.Pane", "Image", 1, "", 0, false, "the tab panes"},
    {"ToolBars", "Image", 5, "", 0, false, "the tool bars"},
    {"ComboButton", "Image", 4, "", 0, false, "the combo boxes' buttons"},
    {"SunkEdge", "Image", 4, "", 0, false, "the sunken edges"},
    {"ExtraImages", "Image", 5, "", 0, false, "the extra glyphs"},
    {"Headerbar", "Image", 0, "Frame", 5, false, "the header bars"},
    {"MenuItem", "Image", 5, "", 0, true, "the menu items"},
    {"MenuBackground", "Image", 1, "", 0, false, "the menus"},
    {"Scrollbar", "Image", 23, "", 0, false, "the scroll bars' arrows"},
    {"HorzScroll", "Image", 4, "", 0, false, "the horizontal scroll bars"},
    {"VertScroll", "Image", 4, "", 0, false, "the vertical scroll bars"},
    {"HorzScrollThumb", "Image", 0, "FrameCount", 3, false, "the horizontal scroll bars' thumbs"},
    {"VertScrollThumb", "Image", 0, "FrameCount", 3, false, "the vertical scroll bars' thumbs"},
    {"Trackbar.ThumbHorz", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"Trackbar.ThumbVert", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"Trackbar.ThumbLeft", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"Trackbar.ThumbRight", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"Trackbar.ThumbUp", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"Trackbar.ThumbDown", "Image", 5, "", 0, false, "the track bars' thumbs"},
    {"UpDown.Horz", "Image", 8, "", 0, false, "the horizontal spin buttons"},
    {"UpDown.Vert", "Image", 8, "", 0, false, "the vertical spin buttons"},
    {"Track", "Image", 0, "Frame", 1, false, "the track bars' channels"},
    {"TRACKVERT", "Image", 0, "Frame", 1, false, "the vertical track bars' channels"},
};

std::string Quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }
std::string Where(std::string_view section, std::string_view key) {
    return "[" + std::string(section) + "] " + std::string(key) + ": ";
}
std::string Size(const TBmpLayout& l) { return std::to_string(l.Width) + " x " + std::to_string(l.Height); }

class TJudge {
public:
    TJudge(const TQuickIni& ini, const TSkinPictures& pictures, const TSkinReader& reader, TSkinVerdict& verdict)
        : ini_(ini), values_(ini), pictures_(pictures), reader_(reader), verdict_(verdict) {}

    void Run() {
        Caption();
        for (const TElementRule& rule : kElements) Element(rule);
        Progress();
        Buttons();
        MenuBar();
    }

private:
    void Warn(std::string text) { verdict_.Warnings.push_back(std::move(text)); }

    // The picture a key names, or null with a warning saying why it is missing; also null,
    // silently, when the key names none.
    const TBmpLayout* Picture(std::string_view section, std::string_view key, const std::string& value,
                              std::string_view consequence, std::size_t* entryOut = nullptr) {
        if (value.empty()) return nullptr;
        if (PictureFileName(value).empty()) {
            Warn(Where(section, key) + Quoted(value) + " does not name a \".bmp\" file (in lower case); " +
                 std::string(consequence) + ".");
            return nullptr;
        }
        const std::size_t entry = pictures_.EntryOf(value);
        if (entry == TSkinReader::npos) {
            Warn(Where(section, key) + "the picture " + Quoted(value) + " is not in the skin; " + std::string(consequence) + ".");
            return nullptr;
        }
        const TBmpLayout* layout = pictures_.Layout(entry);
        if (!layout) {
            std::string why;
            TBmpLayout ignored;
            ReadBmpLayout(reader_.Entry(entry), ignored, why);
            Warn(Where(section, key) + "the picture " + Quoted(value) + " cannot be read" + (why.empty() ? "" : " (" + why + ")") +
                 "; " + std::string(consequence) + ".");
            return nullptr;
        }
        if (entryOut) *entryOut = entry;
        return layout;
    }

    // A picture too small for its frames and margins counts as missing.
    bool Fits(std::string_view section, std::string_view key, const std::string& value, const TBmpLayout& l,
              std::int32_t frames, bool stacked, const TElementValues& v, std::string_view consequence) {
        frames = std::max(frames, 1);
        const std::int64_t cellW = stacked ? l.Width : l.Width / frames, cellH = stacked ? l.Height / frames : l.Height;
        const std::int64_t wide = std::max<std::int64_t>(0, std::int64_t{v.Left}) + std::max<std::int64_t>(0, v.Right);
        const std::int64_t high = std::max<std::int64_t>(0, std::int64_t{v.Top}) + std::max<std::int64_t>(0, v.Bottom);
        if (cellW >= 1 && cellH >= 1 && cellW >= wide && cellH >= high) return true;
        Warn(Where(section, key) + "the picture " + Quoted(value) + " is " + Size(l) + " pixels, too small for its " +
             std::to_string(frames) + (frames == 1 ? " frame" : " frames") + " with margins of " + std::to_string(v.Left) +
             ", " + std::to_string(v.Top) + ", " + std::to_string(v.Right) + " and " + std::to_string(v.Bottom) + "; " +
             std::string(consequence) + ".");
        return false;
    }

    void Ignore(std::string_view section) { verdict_.Ignored.emplace_back(section); }

    void Element(const TElementRule& rule) {
        TElementValues v = values_.Element(rule.Section, 0);
        if (std::string_view(rule.Section) == "Tab.Pane") {
            // The pane's margins are cut to 4 when it is read.
            for (std::int32_t* m : {&v.Left, &v.Top, &v.Right, &v.Bottom}) *m = std::min(*m, 4);
        }
        const std::string consequence = std::string(rule.What) + " keep their own look";
        const TBmpLayout* l = Picture(rule.Section, rule.Key, v.Image, consequence);
        if (!l) return;
        std::int32_t frames = rule.Frames ? rule.Frames : ini_.ReadInteger(rule.Section, rule.FrameKey, 0);
        if (frames == 0) frames = rule.DefaultFrames;
        if (!Fits(rule.Section, rule.Key, v.Image, *l, frames, rule.Stacked, v, consequence)) Ignore(rule.Section);
    }

    void Progress() {
        const TElementValues v = values_.Progress("Progress");
        const char* consequence = "the progress bars keep their own look";
        const TBmpLayout* l = Picture("Progress", "Bitmap", v.Image, consequence);
        if (l && !Fits("Progress", "Bitmap", v.Image, *l, v.Style != 0 ? 1 : 2, false, v, consequence)) Ignore("Progress");
    }

    void Buttons() {
        const TButtonValues v = values_.Buttons(0);
        Picture("Buttons", "Bitmap", v.Image, "the push buttons keep their own look");
        Picture("Buttons", "CheckButton", v.CheckImage, "the check boxes keep their own look");
        Picture("Buttons", "RadioButton", v.RadioImage, "the radio buttons keep their own look");
    }

    void Caption() {
        const std::string p(kCaptionSection);
        for (const char* side : {"Left", "Right", "Bottom"})
            Picture(p, side, ini_.ReadString(p, side, ""), std::string("the window's ") + side + " border is not drawn");
        const TElementValues top = values_.Border("Top", false);
        std::size_t entry = TSkinReader::npos;
        const TBmpLayout* l = Picture(p, "Top", top.Image, kSystemFrame, &entry);
        // Without a caption strip windows keep their own frame anyway.
        if (!l) return;
        const std::int32_t frames = std::max(top.Frame, 1);
        const int height = l->Height / frames;
        std::vector<std::string> sections;
        ini_.ReadSections(sections);
        const std::vector<TSysButtonValues> buttons = values_.SysButtons(sections);
        auto close = std::find_if(buttons.begin(), buttons.end(), [](const TSysButtonValues& b) { return b.Action == 0; });
        int closeHeight = 0;
        const TBmpLayout* closePicture = nullptr;
        if (close != buttons.end()) {
            closePicture = Picture(close->Name, "ButtonImage", close->Image, kSystemFrame);
            if (closePicture) closeHeight = closePicture->Height;
        }
        const int needed = std::max(kMinCaptionHeight, closeHeight);
        auto cannot = [&](std::string text) {
            verdict_.CaptionServes = false;
            Warn(std::move(text) + "; " + kSystemFrame + ".");
        };
        if (height < needed) {
            cannot(Where(p, "Top") + "the caption strip of " + Quoted(top.Image) + " is " + std::to_string(height) +
                   (height == 1 ? " pixel" : " pixels") + " high, too low to hold its title and buttons (" +
                   std::to_string(needed) + " at least)");
            return;  // where the buttons lie in a strip that cannot hold them says nothing more
        } else if (top.Trans == 1 && Transparent(entry, *l, height)) {
            cannot(Where(p, "Top") + "the caption strip of " + Quoted(top.Image) +
                   " is transparent everywhere (all of it the key colour, magenta)");
        }
        if (close == buttons.end()) {
            cannot(Where(p, "Top") + "the caption strip of " + Quoted(top.Image) +
                   " has no close button (no [Button...] section with Action=0 among the caption buttons)");
            return;
        }
        if (!closePicture) {
            verdict_.CaptionServes = false;  // the missing picture was reported above
            return;
        }
        const std::int32_t buttonFrames = close->Frame > 0 ? close->Frame : SysButtonFrameCount(0, closePicture->Width, closePicture->Height);
        const std::int64_t w = closePicture->Width / std::max(buttonFrames, 1), h = closePicture->Height;
        const std::int64_t x = close->Xcoord, y = close->Ycoord;
        bool inside = y >= 0 && y + h <= height;
        if (close->Align == 0)
            inside = inside && x >= 0 && x + w <= kCaptionReachWidth;
        else if (close->Align == 1)
            inside = inside && x >= w && x <= kCaptionReachWidth;
        else
            inside = false;
        if (!inside) {
            cannot(Where(close->Name, "Align, Xcoord, Ycoord") + "the close button (" + std::to_string(w) + " x " +
                   std::to_string(h) + ", Align=" + std::to_string(close->Align) + ", Xcoord=" + std::to_string(x) +
                   ", Ycoord=" + std::to_string(y) + ") lies outside a caption strip " + std::to_string(height) +
                   " pixels high and " + std::to_string(kCaptionReachWidth) +
                   " wide (Align=0 counts Xcoord from the left edge, Align=1 from the right)");
            return;
        }
        if (verdict_.CaptionServes) ClampCaption(buttons, height);
    }

    void Clamp(const std::string& section, const char* key, std::int32_t value, std::int64_t low, std::int64_t high,
               const std::string& why) {
        const std::int32_t kept = static_cast<std::int32_t>(std::clamp<std::int64_t>(value, low, std::max(low, high)));
        if (kept == value) return;
        Warn(Where(section, key) + std::to_string(value) + " " + why + "; " + std::to_string(kept) + " is used.");
        verdict_.Clamped.push_back({section, key, kept});
    }

    // Positions and offsets past the narrowest caption or its height put a button or the title
    // out of sight (and huge ones overflow the sums that lay them out): they are held inside.
    void ClampCaption(const std::vector<TSysButtonValues>& buttons, int height) {
        const std::string strip = "a caption strip " + std::to_string(height) + " pixels high and " +
                                  std::to_string(kCaptionReachWidth) + " wide";
        for (const TSysButtonValues& b : buttons) {
            const std::size_t entry = b.Image.empty() ? TSkinReader::npos : pictures_.EntryOf(b.Image);
            const TBmpLayout* l = entry == TSkinReader::npos ? nullptr : pictures_.Layout(entry);
            if (!l) continue;  // a button without a picture is not drawn
            const std::int32_t frames = b.Frame > 0 ? b.Frame : SysButtonFrameCount(b.Action, l->Width, l->Height);
            const std::int64_t w = l->Width / std::max(frames, 1), h = l->Height;
            const std::string why = "places the caption button (" + std::to_string(w) + " x " + std::to_string(h) +
                                    ", Align=" + std::to_string(b.Align) + ") outside " + strip;
            constexpr std::int64_t reach = kCaptionReachWidth;
            switch (b.Align) {
                case 0: Clamp(b.Name, "Xcoord", b.Xcoord, 0, reach - w, why); break;
                case 1: Clamp(b.Name, "Xcoord", b.Xcoord, std::min(w, reach), reach, why); break;
                case 2: case 3: case 8: case 9: Clamp(b.Name, "Xcoord", b.Xcoord, -reach, reach, why); break;
                default: continue;  // drawn in the menu bar, not the caption
            }
            Clamp(b.Name, "Ycoord", b.Ycoord, 0, height - h, why);
        }
        const std::string p(kCaptionSection);
        const std::string why = "moves the title out of " + strip;
        const TTitleValues t = values_.Title();
        Clamp(p, "TextShift", t.TextShift, 0, kCaptionReachWidth, why);
        Clamp(p, "TextShiftVert", t.TextShiftVert, -height, height, why);
        Clamp(p, "TextRightClip", t.TextRightClip, 0, kCaptionReachWidth, why);
    }

    // Every pixel of the strip's first frame is the key colour (a tolerance of one, as the
    // window region has).
    bool Transparent(std::size_t entry, const TBmpLayout& l, int height) const {
        bool all = true;
        DecodeBmpRows(reader_.Entry(entry), l, [&](int y, const std::uint32_t* rgb, const std::uint8_t*) {
            if (!all || y >= height) return;
            for (int x = 0; x < l.Width && all; ++x) {
                const std::uint32_t c = rgb[x];
                all = (c >> 16 & 0xFF) == 0xFF && (c >> 8 & 0xFF) <= 1 && (c & 0xFF) == 0xFF;
            }
        });
        return all;
    }

    // The bar's end pieces, whose widths move the first item: at most the bar picture's width.
    void MenuBar() {
        const TElementValues v = values_.MenuBar();
        verdict_.MenuLeft = v.Left;
        verdict_.MenuRight = v.Right;
        const TBmpLayout* l = Picture("Personality", "menuBar", v.Image, "the menu bar keeps its own look");
        if (!l) return;
        auto clamp = [&](const char* key, std::int32_t& value) {
            const std::int32_t kept = std::clamp<std::int32_t>(value, 0, l->Width);
            if (kept == value) return;
            Warn(Where("Personality", key) + std::to_string(value) + " lies outside the menu bar's picture " +
                 Quoted(v.Image) + " (" + Size(*l) + "); " + std::to_string(kept) + " is used.");
            value = kept;
        };
        clamp("TileLeftMenu", verdict_.MenuLeft);
        clamp("TileRightMenu", verdict_.MenuRight);
    }

    const TQuickIni& ini_;
    const TSkinValueReader values_;
    const TSkinPictures& pictures_;
    const TSkinReader& reader_;
    TSkinVerdict& verdict_;
};

bool Utf16(std::span<const std::uint8_t> text) {
    if (text.size() < 2) return false;
    if ((text[0] == 0xFF && text[1] == 0xFE) || (text[0] == 0xFE && text[1] == 0xFF)) return true;
    return (text[0] != 0 && text[1] == 0) || (text[0] == 0 && text[1] != 0);
}

}  // namespace

bool TSkinVerdict::Ignores(std::string_view section) const {
    return std::find(Ignored.begin(), Ignored.end(), section) != Ignored.end();
}

std::int32_t TSkinVerdict::Kept(std::string_view section, std::string_view key, std::int32_t given) const {
    for (const TClamp& c : Clamped)
        if (c.Section == section && c.Key == key) return c.Value;
    return given;
}

std::string TSkinVerdict::Message() const {
    std::string text;
    for (const std::string& w : Warnings) text += (text.empty() ? "" : "\r") + w;
    return text;
}

void TSkinVerdict::Refuse(std::string reason) {
    Refused = true;
    Warnings.push_back(std::move(reason));
}

bool OpenSkin(TStream& skin, TSkinReader& reader, TQuickIni& ini, TSkinPictures& pictures, TSkinVerdict& verdict) {
    try {
        if (skin.Size() > TSkinReader::kMaxPlainSize) {
            verdict.Refuse(SkinFileTooLargeMessage(skin.Size()));
            return false;
        }
        if (!reader.LoadArchive(skin)) {
            verdict.Refuse(reader.Error());
            return false;
        }
        for (const std::string& note : reader.Notes()) verdict.Warnings.push_back(note);
        std::vector<std::size_t> described;
        for (std::size_t i = 0; i < reader.Count(); ++i)
            if (reader.Names()[i].find(".ini") != std::string::npos) described.push_back(i);
        if (described.empty()) {
            verdict.Refuse(std::string("This skin has no description: no entry's name contains \".ini\"") + kNotUsed);
            return false;
        }
        const std::string& name = reader.Names()[described[0]];
        for (std::size_t i = 1; i < described.size(); ++i)
            verdict.Warnings.push_back("The skin holds more than one entry whose name contains \".ini\": the first, " +
                                       Quoted(name) + ", is its description, and " + Quoted(reader.Names()[described[i]]) +
                                       " is not read.");
        const std::span<const std::uint8_t> text = reader.Entry(described[0]);
        if (text.size() > kSkinMaxIniBytes) {
            verdict.Refuse(SkinIniTooLargeMessage(static_cast<std::int64_t>(text.size())));
            return false;
        }
        if (Utf16(text)) {
            verdict.Refuse("This skin's description " + Quoted(name) + " is saved as UTF-16; save it as ANSI or UTF-8" +
                           kNotUsed);
            return false;
        }
        ini.LoadFromText(std::string_view(reinterpret_cast<const char*>(text.data()), text.size()));
        if (ini.SectionCount() == 0) {
            verdict.Refuse("This skin's description " + Quoted(name) + " holds no [section]" + kNotUsed);
            return false;
        }
        const std::int64_t pixels = pictures.NamedPixels(ini);
        verdict.NamedPixels = pixels;
        if (pixels > kSkinPixelBudget) {
            verdict.Refuse(SkinPicturesTooLargeMessage(pixels));
            return false;
        }
        TJudge(ini, pictures, reader, verdict).Run();
        return true;
    } catch (const std::exception& e) {
        verdict.Refuse(std::string("This skin file cannot be decoded (") + e.what() + ")" + kNotUsed);
        return false;
    }
}

TSkinVerdict CheckSkin(std::span<const std::uint8_t> file) {
    TSkinVerdict verdict;
    TSpanStream stream(file);
    TSkinReader reader;
    TQuickIni ini;
    TSkinPictures pictures(reader);
    OpenSkin(stream, reader, ini, pictures, verdict);
    return verdict;
}

}  // namespace qx
