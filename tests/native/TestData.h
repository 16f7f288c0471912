// Deterministic inputs shared by the skin-core tests.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace qx::test {

// xorshift; the same seed gives the same bytes on every machine.
class TestRandom {
public:
    explicit TestRandom(std::uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
    std::uint64_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return state_;
    }
    std::uint32_t Below(std::uint32_t n) { return static_cast<std::uint32_t>(Next() % n); }
    std::vector<std::uint8_t> Bytes(std::size_t n) {
        std::vector<std::uint8_t> out(n);
        for (auto& b : out) b = static_cast<std::uint8_t>(Next() >> 24);
        return out;
    }

private:
    std::uint64_t state_;
};

// Text, runs, bitmap-like rows and noise, in a mix that exercises literals, short and long
// matches, near and far distances.
inline std::vector<std::uint8_t> MixedData(std::size_t n, std::uint64_t seed) {
    TestRandom random(seed);
    std::vector<std::uint8_t> out;
    out.reserve(n + 256);
    static const char* words[] = {"Personality", "Buttons", "LeftWidth=", "TopHeight=", "\r\n", "[Colours]", "frame", "255 0 255 "};
    while (out.size() < n) {
        switch (random.Below(5)) {
            case 0: {
                std::string w = words[random.Below(8)];
                out.insert(out.end(), w.begin(), w.end());
                break;
            }
            case 1:
                out.insert(out.end(), 1 + random.Below(200), static_cast<std::uint8_t>(random.Below(256)));
                break;
            case 2: {
                std::uint8_t px[3] = {static_cast<std::uint8_t>(random.Below(256)), 0x97, 0x2F};
                for (unsigned k = 0, len = 3 * (1 + random.Below(80)); k < len; ++k) out.push_back(px[k % 3]);
                break;
            }
            case 3:
                if (out.size() > 10) {
                    std::size_t from = out.size() - 1 - random.Below(static_cast<std::uint32_t>(std::min<std::size_t>(out.size() - 1, 5000)));
                    for (unsigned k = 0, len = 1 + random.Below(90); k < len; ++k) out.push_back(out[from + k]);
                }
                break;
            default: {
                auto noise = random.Bytes(1 + random.Below(40));
                out.insert(out.end(), noise.begin(), noise.end());
            }
        }
    }
    out.resize(n);
    return out;
}

}  // namespace qx::test
