// Small skins and bitmap files made inside the tests, so that each case states the INI and
// images it depends on.
#pragma once
#include "LzhEncoder.h"
#include "SkinArchiveWriter.h"

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace qxtest {

// A 24-bit bottom-up bitmap file; colour(x, y) gives 0x00RRGGBB for the pixel at x, y (top
// row 0).
inline std::vector<std::uint8_t> Bmp24(int width, int height, const std::function<std::uint32_t(int, int)>& colour) {
    const int stride = (width * 3 + 3) / 4 * 4;
    const std::uint32_t dataSize = static_cast<std::uint32_t>(stride * height);
    std::vector<std::uint8_t> f(54 + dataSize, 0);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&f[at], &v, 2); };
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 24);
    put32(34, dataSize);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &f[54 + static_cast<std::size_t>(height - 1 - y) * stride];
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colour(x, y);
            row[3 * x] = static_cast<std::uint8_t>(c);
            row[3 * x + 1] = static_cast<std::uint8_t>(c >> 8);
            row[3 * x + 2] = static_cast<std::uint8_t>(c >> 16);
        }
    }
    return f;
}

// A 1-bit bitmap file, all pixels colour index `index` (0 black, 1 white): large pictures
// that stay small as files.
inline std::vector<std::uint8_t> Bmp1(int width, int height, int index = 1) {
    const std::size_t stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    const std::size_t dataSize = stride * static_cast<std::size_t>(height);
    std::vector<std::uint8_t> f(62 + dataSize, index ? 0xFF : 0x00);
    auto put32 = [&](std::size_t at, std::uint32_t v) { std::memcpy(&f[at], &v, 4); };
    auto put16 = [&](std::size_t at, std::uint16_t v) { std::memcpy(&f[at], &v, 2); };
    std::memset(f.data(), 0, 62);
    f[0] = 'B';
    f[1] = 'M';
    put32(2, static_cast<std::uint32_t>(f.size()));
    put32(10, 62);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    put16(26, 1);
    put16(28, 1);
    put32(34, static_cast<std::uint32_t>(dataSize));
    put32(58, 0x00FFFFFF);  // colour 1 white; colour 0 black
    return f;
}

inline std::vector<std::uint8_t> Solid24(int width, int height, std::uint32_t rgb = 0x2F97FF) {
    return Bmp24(width, height, [rgb](int, int) { return rgb; });
}

inline std::vector<std::uint8_t> Sized(const std::vector<std::uint8_t>& bytes) {
    std::vector<std::uint8_t> record(4 + bytes.size());
    const std::uint32_t n = static_cast<std::uint32_t>(bytes.size());
    std::memcpy(record.data(), &n, 4);
    std::memcpy(record.data() + 4, bytes.data(), bytes.size());
    return record;
}

// A compressed skin of the given entries with the INI text last, as the "SkinStream" record
// (32-bit length, then the bytes).
inline std::vector<std::uint8_t> SkinRecord(const std::string& ini, std::vector<qx::tools::TSkinEntry> images = {},
                                            std::int32_t version = 20000) {
    images.push_back({"test.ini", std::vector<std::uint8_t>(ini.begin(), ini.end())});
    std::vector<std::uint8_t> plain = qx::tools::BuildSkinArchive(images);
    std::memcpy(plain.data(), &version, 4);
    std::vector<std::uint8_t> packed = qx::tools::LzhCompress(plain);
    return Sized(packed);
}

}  // namespace qxtest
