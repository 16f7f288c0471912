#include "SkinArchiveWriter.h"

#include <fstream>
#include <iterator>
#include <stdexcept>

#include "core/Text.h"
#include "skin/QuickIni.h"
#include "skin/SkinReader.h"

namespace fs = std::filesystem;

namespace qx::tools {

namespace {

void PutInt32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}

// The folder's files by lower-cased name.
fs::path FindInFolder(const fs::path& folder, const std::string& name) {
    std::string wanted = LowerAscii(name);
    for (const auto& item : fs::directory_iterator(folder))
        if (item.is_regular_file() && LowerAscii(item.path().filename().string()) == wanted) return item.path();
    throw std::runtime_error("no file named " + name + " in " + folder.string());
}

std::string TextOf(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

}  // namespace

std::vector<std::uint8_t> BuildSkinArchive(const std::vector<TSkinEntry>& entries) {
    if (entries.size() > TSkinReader::kMaxEntries) throw std::runtime_error("too many entries for a skin archive");
    std::string names;
    for (const TSkinEntry& e : entries) {
        if (e.Name.find_first_of("\r\n") != std::string::npos || e.Name.find('\0') != std::string::npos)
            throw std::runtime_error("entry name with a line break: " + e.Name);
        names += LowerAscii(e.Name);
        names += "\r\n";
    }
    std::vector<std::uint8_t> out;
    PutInt32(out, static_cast<std::uint32_t>(TSkinReader::kFormatVersion));
    PutInt32(out, static_cast<std::uint32_t>(names.size()));
    PutInt32(out, 0);
    PutInt32(out, 0);
    out.insert(out.end(), names.begin(), names.end());
    for (const TSkinEntry& e : entries) {
        if (e.Data.size() > 0x7FFFFFFFu) throw std::runtime_error("entry too large: " + e.Name);
        PutInt32(out, static_cast<std::uint32_t>(e.Data.size()));
    }
    for (const TSkinEntry& e : entries) out.insert(out.end(), e.Data.begin(), e.Data.end());
    return out;
}

std::vector<TSkinEntry> CollectSkinFolder(const fs::path& folder) {
    if (!fs::is_directory(folder)) throw std::runtime_error("not a folder: " + folder.string());
    std::vector<std::string> order;
    bool hasOrder = false;
    for (const auto& item : fs::directory_iterator(folder))
        if (item.is_regular_file() && LowerAscii(item.path().filename().string()) == "order.txt") {
            hasOrder = true;
            for (const std::string& line : SplitSkinLines(TextOf(ReadWholeFile(item.path())))) {
                std::string_view name = TrimControl(line);
                if (!name.empty() && name.front() != '#') order.emplace_back(name);
            }
        }
    if (!hasOrder) {
        fs::path ini;
        for (const auto& item : fs::directory_iterator(folder))
            if (item.is_regular_file() && LowerAscii(item.path().extension().string()) == ".ini") {
                if (!ini.empty()) throw std::runtime_error("more than one INI in " + folder.string() + "; add an order.txt");
                ini = item.path();
            }
        if (ini.empty()) throw std::runtime_error("no INI in " + folder.string());
        TQuickIni reader;
        reader.LoadFromText(TextOf(ReadWholeFile(ini)));
        for (const std::string& line : reader.Lines()) {
            std::size_t eq = line.find('=');
            if (eq == std::string::npos) continue;
            std::string value(TrimControl(std::string_view(line).substr(eq + 1)));
            std::string lower = LowerAscii(value);
            if (lower.size() <= 4 || lower.compare(lower.size() - 4, 4, ".bmp") != 0) continue;
            std::string file = fs::path(value).filename().string();
            bool seen = false;
            for (const std::string& o : order) seen = seen || LowerAscii(o) == LowerAscii(file);
            if (!seen) order.push_back(file);
        }
        order.push_back(ini.filename().string());
    }
    std::vector<TSkinEntry> entries;
    for (const std::string& name : order) entries.push_back({name, ReadWholeFile(FindInFolder(folder, name))});
    return entries;
}

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + path.string());
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw std::runtime_error("cannot read " + path.string());
    return bytes;
}

void WriteWholeFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
    // Written beside the target and renamed, so an interrupted run leaves no half file.
    fs::path temp = path;
    temp += ".part";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out) throw std::runtime_error("cannot create " + temp.string());
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) throw std::runtime_error("cannot write " + temp.string());
    }
    fs::rename(temp, path);
}

}  // namespace qx::tools
