// What a skin's author is told about a skin, and the verdicts the skin data acts on: a skin is
// refused (with the reason), or used with the parts that cannot serve left out (each with what,
// where and why). The same words reach the loading message, Skin Preview's list of warnings and
// `skintool check`, since all three take them from here.
#pragma once
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qx {

class TQuickIni;
class TSkinPictures;
class TSkinReader;
class TStream;

// A caption strip lower than this cannot hold a title and the caption buttons.
inline constexpr int kMinCaptionHeight = 10;
// The narrowest caption a skinned window has: a close button placed beyond it is out of reach
// of a small window.
inline constexpr int kCaptionReachWidth = 320;
// The picture that must leave the skin's caption visible: [Personality] Top.
inline constexpr std::string_view kCaptionSection = "Personality";

struct TSkinVerdict {
    bool Refused = false;
    // In the order found; for a refused skin the reason comes last.
    std::vector<std::string> Warnings;
    // The caption strip shows, is tall enough, and places a close button within reach;
    // otherwise windows keep their system frame.
    bool CaptionServes = true;
    // The pixels of every picture the description names, each counted once (what the
    // decoded pictures take of the skin's budget).
    std::int64_t NamedPixels = 0;
    // Elements (by section) whose picture is too small for them: it counts as missing.
    std::vector<std::string> Ignored;
    // [Personality] TileLeftMenu and TileRightMenu as the menu bar can show them.
    std::int32_t MenuLeft = 0, MenuRight = 0;
    // Values the skin gives beyond what their strip can show, and the value used instead.
    struct TClamp {
        std::string Section, Key;
        std::int32_t Value = 0;
    };
    std::vector<TClamp> Clamped;

    bool Ignores(std::string_view section) const;
    // The value used for section's key: the clamped one, else the skin's own (given).
    std::int32_t Kept(std::string_view section, std::string_view key, std::int32_t given) const;
    // The loading message: every warning, one a line ("" when there is none).
    std::string Message() const;
    void Refuse(std::string reason);
};

// Opens a skin as the skin data does: the archive, its description (the first entry whose name
// contains ".ini") and the ceilings, then judges the elements. False, with the reason in the
// verdict, for a refused skin. pictures must be made on reader.
bool OpenSkin(TStream& skin, TSkinReader& reader, TQuickIni& ini, TSkinPictures& pictures, TSkinVerdict& verdict);

// The whole verdict on a skin file's bytes.
TSkinVerdict CheckSkin(std::span<const std::uint8_t> file);

}  // namespace qx
