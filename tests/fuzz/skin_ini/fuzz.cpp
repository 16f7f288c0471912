// The INI reader on arbitrary text: every section and every key it lists must be readable.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/Stream.h"
#include "skin/QuickIni.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    qx::TMemoryStream stream(data, size);
    qx::TQuickIni ini;
    ini.LoadFromStream(&stream);
    std::vector<std::string> sections;
    ini.ReadSections(sections);
    std::size_t checked = 0;
    for (const std::string& line : ini.Lines()) {
        if (++checked > 200) break;
        std::size_t eq = line.find('=');
        std::string key = line.substr(0, eq == std::string::npos ? 0 : eq);
        for (const std::string& section : sections) {
            std::string value = ini.ReadString(section, key, "\x01");
            if (value.empty()) std::abort();  // an empty value must give the default
            (void)ini.ReadInteger(section, key, 7);
        }
    }
    return 0;
}
