// Decompression throughput of TLZH against the byte-at-a-time baseline, on skin-like data
// (bitmap rows with gradients, flat and magenta areas, a little noise, INI text).
// Usage: lzh_bench [MiB...]   (default 1 32)
#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "LzhEncoder.h"
#include "LzhReference.h"
#include "core/Stream.h"
#include "skin/Lzh.h"

using namespace qx;

namespace {

std::vector<std::uint8_t> SkinLikeData(std::size_t size) {
    std::vector<std::uint8_t> out;
    out.reserve(size + 4096);
    std::uint64_t seed = 12345;
    auto random = [&] {
        seed ^= seed << 13;
        seed ^= seed >> 7;
        seed ^= seed << 17;
        return static_cast<unsigned>(seed >> 33);
    };
    static const char ini[] = "[Buttons]\r\nBitmap=Buttons.bmp\r\nLeftWidth=4\r\nTopHeight=4\r\nTrans=1\r\n"
                              "[Colours]\r\nButtonFace=244 244 244\r\nWindowText=20 40 80\r\n";
    while (out.size() < size) {
        unsigned width = 16 + random() % 400, height = 8 + random() % 60;
        unsigned kind = random() % 8;
        for (unsigned y = 0; y < height; ++y)
            for (unsigned x = 0; x < width; ++x) {
                std::uint8_t b, g, r;
                switch (kind) {
                    case 0: b = 0xFF; g = static_cast<std::uint8_t>(0x97 + y); r = static_cast<std::uint8_t>(0x2F + y / 2); break;
                    case 1: b = 0xFF; g = 0; r = 0xFF; if (x > 3 && x + 3 < width) { b = 0xF4; g = 0xF4; r = 0xF4; } break;
                    case 2: b = static_cast<std::uint8_t>(x * 255 / width); g = static_cast<std::uint8_t>(y * 4); r = 0x40; break;
                    case 3: b = static_cast<std::uint8_t>(0xE0 + random() % 16); g = static_cast<std::uint8_t>(0xE8 + random() % 8); r = 0xF0; break;
                    default: b = 0xF4; g = static_cast<std::uint8_t>(0xF4 - (x == 0 || y == 0) * 0x40); r = 0xF4; break;
                }
                out.push_back(b);
                out.push_back(g);
                out.push_back(r);
            }
        out.insert(out.end(), ini, ini + sizeof ini - 1);
    }
    out.resize(size);
    return out;
}

// Processor time of this process: on a machine shared with other work it moves far less
// than wall-clock time.
template <class F>
double Seconds(F&& f) {
    std::clock_t t0 = std::clock();
    f();
    return static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::size_t> sizes;
    for (int i = 1; i < argc; ++i) sizes.push_back(static_cast<std::size_t>(std::atoi(argv[i])));
    if (sizes.empty()) sizes = {1, 32};
    bool allFast = true;
    for (std::size_t mib : sizes) {
        const std::size_t size = mib << 20;
        auto plain = SkinLikeData(size);
        auto packed = tools::LzhCompress(plain);
        const auto plainSize = static_cast<std::int32_t>(size);
        const int runs = mib <= 4 ? 7 : 3;

        // Both decoders write through the same kind of sink into one buffer allocated (and
        // touched) up front, so that page faults and vector growth are not what is measured.
        std::vector<std::uint8_t> sink(size + 64, 1);
        std::size_t at = 0;
        auto write = [&](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            done = static_cast<std::uint16_t>(std::min<std::size_t>(count, sink.size() - at));
            std::memcpy(sink.data() + at, buffer, done);
            at += done;
        };

        auto runFast = [&] {
            TSpanStream source(std::span<const std::uint8_t>(packed).subspan(4));
            at = 0;
            TLZH().Decompress(
                plainSize,
                [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
                    done = static_cast<std::uint16_t>(source.Read(buffer, count));
                },
                write);
        };
        auto runBase = [&] {
            TSpanStream source(std::span<const std::uint8_t>(packed).subspan(4));
            at = 0;
            test::ReferenceDecompress(
                plainSize,
                [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
                    done = static_cast<std::uint16_t>(source.Read(buffer, count));
                },
                write);
        };
        runFast();
        bool fastSame = at == size && std::equal(plain.begin(), plain.end(), sink.begin());
        runBase();
        bool baseSame = at == size && std::equal(plain.begin(), plain.end(), sink.begin());
        // Alternating runs, best of each: a busy machine slows both alike.
        double fast = 1e30, base = 1e30;
        for (int i = 0; i < runs; ++i) {
            fast = std::min(fast, Seconds(runFast));
            base = std::min(base, Seconds(runBase));
        }

        if (!fastSame || !baseSame) {
            std::fprintf(stderr, "lzh_bench: outputs differ for %zu MiB\n", mib);
            return 2;
        }
        double mb = static_cast<double>(size) / 1e6;
        double ratio = base / fast;
        std::printf("%3zu MiB (packed %zu bytes): TLZH %8.1f MB/s   baseline %8.1f MB/s   ratio %.2fx\n", mib, packed.size(),
                    mb / fast, mb / base, ratio);
        allFast = allFast && ratio >= 2.0;
    }
    std::printf(allFast ? "target (>= 2x the baseline) met\n" : "target (>= 2x the baseline) NOT met\n");
    return allFast ? 0 : 1;
}
