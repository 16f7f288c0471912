// skintool: packs a skin folder into a compressed skin and looks inside skins.
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <stdexcept>
#include <string>

#include "LzhEncoder.h"
#include "SkinArchiveWriter.h"
#include "core/Stream.h"
#include "core/Text.h"
#include "skin/Lzh.h"
#include "skin/QuickIni.h"
#include "skin/SkinCheck.h"
#include "skin/SkinReader.h"

using namespace qx;
using namespace qx::tools;

namespace {

const char kUsage[] =
    "usage: skintool pack DIR OUT           pack a skin folder into a compressed skin\n"
    "       skintool compress IN OUT        LZH-compress any file\n"
    "       skintool decompress IN OUT      expand a compressed file to its declared size\n"
    "       skintool list SKIN              entry names and sizes (name TAB size)\n"
    "       skintool extract SKIN NAME OUT  copy one entry out\n"
    "       skintool ini SKIN SECTION KEY   print a value of the skin's INI\n"
    "       skintool check SKIN             what the skin engine takes, clamps, ignores or refuses;\n"
    "                                       exit status 1 when it refuses the skin\n";

struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void OpenSkin(const std::string& path, TSkinReader& reader) {
    TMemoryStream stream(ReadWholeFile(path));
    reader.OnMessage = [](const std::string& message) {
        std::string text = message;
        for (char& c : text)
            if (c == '\r') c = ' ';
        std::cerr << "skintool: " << text << '\n';
    };
    if (!reader.LoadArchive(stream)) throw std::runtime_error(path + " is not a readable skin archive");
}

int Run(int argc, char** argv) {
    if (argc < 2) throw UsageError("no command");
    std::string command = argv[1];
    auto need = [&](int count) {
        if (argc != count + 2) throw UsageError("wrong number of arguments for " + command);
    };
    if (command == "pack") {
        need(2);
        std::vector<std::uint8_t> archive = BuildSkinArchive(CollectSkinFolder(argv[2]));
        WriteWholeFile(argv[3], LzhCompress(archive));
    } else if (command == "compress") {
        need(2);
        WriteWholeFile(argv[3], LzhCompress(ReadWholeFile(argv[2])));
    } else if (command == "decompress") {
        need(2);
        TMemoryStream source(ReadWholeFile(argv[2]));
        std::uint8_t field[4];
        if (source.Read(field, 4) != 4) throw std::runtime_error(std::string(argv[2]) + " is too short");
        auto plainSize = static_cast<std::int32_t>(field[0] | field[1] << 8 | field[2] << 16 |
                                                   static_cast<std::uint32_t>(field[3]) << 24);
        TMemoryStream plain;
        TLZH().Decompress(plainSize, source, plain);
        // A final match may run past the declared size; the file holds the declared bytes.
        if (plainSize >= 0 && plain.Size() > plainSize) plain.SetSize(static_cast<std::size_t>(plainSize));
        WriteWholeFile(argv[3], plain.Vector());
    } else if (command == "list") {
        need(1);
        TSkinReader reader;
        OpenSkin(argv[2], reader);
        for (std::size_t i = 0; i < reader.Count(); ++i)
            std::cout << reader.Names()[i] << '\t' << reader.EntrySize(i) << '\n';
    } else if (command == "extract") {
        need(3);
        TSkinReader reader;
        OpenSkin(argv[2], reader);
        TMemoryStream entry;
        reader.ExtractFile(argv[3], entry);
        bool known = false;
        for (const std::string& name : reader.Names()) known = known || name == LowerAscii(argv[3]);
        if (!known) throw std::runtime_error(std::string("no entry named ") + argv[3]);
        WriteWholeFile(argv[4], entry.Vector());
    } else if (command == "ini") {
        need(3);
        TSkinReader reader;
        OpenSkin(argv[2], reader);
        TMemoryStream text;
        std::string name;
        reader.ExtractFileLike(".ini", text, name);
        if (name.empty()) throw std::runtime_error("the skin has no INI entry");
        TQuickIni ini;
        ini.LoadFromStream(&text);
        std::string value = ini.ReadString(argv[3], argv[4], "");
        if (value.empty()) throw std::runtime_error(std::string("no value for [") + argv[3] + "] " + argv[4]);
        std::cout << value << '\n';
    } else if (command == "check") {
        need(1);
        const TSkinVerdict verdict = CheckSkin(ReadWholeFile(argv[2]));
        // One warning a line, as the loading message shows them; the break inside a refusal
        // stays a line of its own.
        for (const std::string& warning : verdict.Warnings) {
            std::string text = warning;
            for (char& c : text)
                if (c == '\r') c = '\n';
            std::cout << text << '\n';
        }
        if (verdict.Refused) return 1;
        std::cout << (verdict.Warnings.empty() ? "The skin is used as it is.\n" : "The rest of the skin is used.\n");
    } else {
        throw UsageError("unknown command " + command);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const UsageError& e) {
        std::cerr << "skintool: " << e.what() << '\n' << kUsage;
        return 2;
    } catch (const std::exception& e) {
        std::cerr << "skintool: " << e.what() << '\n';
        return 1;
    }
}
