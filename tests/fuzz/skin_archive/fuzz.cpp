// Decompression and the archive reader on hostile input. The first byte picks the route:
// even, the rest is a compressed skin stream as a skin file would carry it; odd, the rest
// is a plain archive, compressed here first, so that the archive parser sees arbitrary
// layouts without the fuzzer having to find them through the Huffman coder.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "LzhEncoder.h"
#include "core/Stream.h"
#include "core/Bmp.h"
#include "skin/QuickIni.h"
#include "skin/SkinReader.h"

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

    qx::TMemoryStream entry;
    for (std::size_t i = 0; i < reader.Count(); ++i) {
        if (reader.EntrySize(i) < 0) std::abort();
        reader.ExtractFile(reader.Names()[i], entry);
        qx::TBmpImage image;
        std::string error;
        qx::DecodeBmp(entry.Bytes(), image, error);
    }
    std::string name;
    reader.ExtractFileLike(".ini", entry, name);
    qx::TQuickIni ini;
    ini.LoadFromStream(&entry);
    (void)ini.ReadInteger("Buttons", "CheckButtonFrame", 0);
    return 0;
}
