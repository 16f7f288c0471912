// Decompression, the archive reader and the whole portable skin load on hostile input: the
// INI description, every element reader over every section, and the decoding of every picture
// the skin names within the pixel budget, as the skin data component loads a skin. The first
// byte picks the route: even, the rest is a compressed skin stream as a skin file would carry
// it; odd, the rest is a plain archive, compressed here first, so that the archive parser and
// the readers behind it see arbitrary layouts without the fuzzer having to find them through
// the Huffman coder.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <unordered_set>
#include <vector>

#include "LzhEncoder.h"
#include "core/Bmp.h"
#include "core/Stream.h"
#include "skin/QuickIni.h"
#include "skin/SkinPictures.h"
#include "skin/SkinReader.h"
#include "skin/SkinValues.h"

namespace {

// Every reader over every section, the way a parse reads the element slots.
void ReadEveryElement(const qx::TQuickIni& ini) {
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    const qx::TSkinValueReader values(ini);
    const qx::TSkinColourValues colours = values.Colours();
    (void)values.SectionColours(sections);
    (void)values.CustomColour(9);
    for (const char* border : {"Left", "Right", "Top", "Bottom"}) (void)values.Border(border, border[0] == 'L');
    if (values.SysButtons(sections).size() > qx::kMaxCaptionButtons) std::abort();
    (void)values.Buttons(colours.ButtonText);
    (void)values.Title();
    (void)values.MenuBar();
    std::size_t read = 0;
    for (const std::string& s : sections) {
        if (++read > 64) break;
        (void)values.Element(s, colours.ButtonText);
        (void)values.TwoImage(s, "GlyphImage", colours.ButtonText);
        (void)values.Progress(s);
        (void)values.BoxLabel(s, colours.ButtonText);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    std::span<const std::uint8_t> rest(data + 1, size - 1);
    qx::TMemoryStream stream;
    if (data[0] & 1)
        stream = qx::TMemoryStream(qx::tools::LzhCompress(rest));
    else
        stream = qx::TMemoryStream(rest.data(), rest.size());

    qx::TSkinReader reader;
    reader.MaxPlainSize = 1 << 16;  // keeps each run short; the limit itself is tested elsewhere
    bool told = false;
    reader.OnMessage = [&](const std::string&) { told = true; };
    bool loaded = reader.LoadArchive(stream);
    if (loaded && told) std::abort();  // the message belongs to refusals only
    if (!loaded) return 0;

    for (std::size_t i = 0; i < reader.Count(); ++i) {
        if (reader.EntrySize(i) < 0) std::abort();
        if (reader.Entry(i).size() != static_cast<std::size_t>(reader.EntrySize(i))) std::abort();
        if (reader.Find(reader.Names()[i]) > i) std::abort();  // the first entry of a name wins
    }
    qx::TMemoryStream entry;
    std::string name;
    reader.ExtractFileLike(".ini", entry, name);
    qx::TQuickIni ini;
    ini.LoadFromStream(&entry);
    ReadEveryElement(ini);

    // The pictures the skin names: counted once each, and within the budget decoded once each,
    // with exactly the pixels counted.
    const qx::TSkinPictures pictures(reader);
    const std::int64_t named = pictures.NamedPixels(ini);
    if (named < 0) std::abort();
    if (named > qx::kSkinPixelBudget) return 0;
    std::int64_t decoded = 0;
    std::unordered_set<std::size_t> done;
    ini.ForEachValue([&](std::string_view value) {
        const std::size_t index = pictures.EntryOf(value);
        if (index == qx::TSkinReader::npos || !done.insert(index).second || !pictures.Layout(index)) return;
        qx::TBmpImage image;
        std::string error;
        if (!qx::DecodeBmp(reader.Entry(index), image, error)) std::abort();  // the layout promised it decodes
        decoded += static_cast<std::int64_t>(image.Width) * image.Height;
    });
    if (decoded != named) std::abort();
    return 0;
}
