#include "LzhEncoder.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace qx::tools {

namespace {

constexpr unsigned kRing = 4096;
constexpr unsigned kMaxMatch = 60;
constexpr unsigned kMinMatch = 3;
constexpr unsigned kSymbols = 314;
constexpr unsigned kNodes = 627;
constexpr unsigned kRoot = 626;

class BitWriter {
public:
    explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
    void Put(std::uint32_t value, unsigned count) {  // count <= 24, most significant first
        acc_ = (acc_ << count) | (value & ((1u << count) - 1));
        n_ += count;
        while (n_ >= 8) {
            n_ -= 8;
            out_.push_back(static_cast<std::uint8_t>(acc_ >> n_));
        }
    }
    void Finish() {
        if (n_ > 0) out_.push_back(static_cast<std::uint8_t>(acc_ << (8 - n_)));
        n_ = 0;
    }

private:
    std::vector<std::uint8_t>& out_;
    std::uint64_t acc_ = 0;
    unsigned n_ = 0;
};

// The adaptive tree, kept in step with the decoder's: same start, same update, same rebuild.
class AdaptiveTree {
public:
    AdaptiveTree() {
        for (unsigned i = 0; i < kSymbols; ++i) {
            count_[i] = 1;
            child_[i] = i + kNodes;
            parent_[i + kNodes] = i;
        }
        for (unsigned i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
            count_[j] = count_[i] + count_[i + 1];
            child_[j] = i;
            parent_[i] = parent_[i + 1] = j;
        }
        count_[kNodes] = 0xFFFF;
        parent_[kRoot] = 0;
    }

    void Encode(unsigned symbol, BitWriter& out) {
        unsigned path[kNodes];
        unsigned depth = 0;
        for (unsigned node = parent_[symbol + kNodes]; node != kRoot; node = parent_[node])
            path[depth++] = node - child_[parent_[node]];
        while (depth > 0) out.Put(path[--depth], 1);
        Update(symbol);
    }

private:
    void Update(unsigned symbol) {
        if (count_[kRoot] == 0x8000) Rebuild();
        unsigned c = parent_[symbol + kNodes];
        do {
            unsigned k = ++count_[c];
            if (k > count_[c + 1]) {
                unsigned l = c + 1;
                while (count_[l + 1] < k) ++l;
                count_[c] = count_[l];
                count_[l] = k;
                unsigned i = child_[c];
                parent_[i] = l;
                if (i < kNodes) parent_[i + 1] = l;
                unsigned j = child_[l];
                child_[l] = i;
                parent_[j] = c;
                if (j < kNodes) parent_[j + 1] = c;
                child_[c] = j;
                c = l;
            }
            c = parent_[c];
        } while (c != 0);
    }

    void Rebuild() {
        unsigned j = 0;
        for (unsigned i = 0; i < kNodes; ++i)
            if (child_[i] >= kNodes) {
                count_[j] = (count_[i] + 1) / 2;
                child_[j] = child_[i];
                ++j;
            }
        for (unsigned i = 0, n = kSymbols; n < kNodes; i += 2, ++n) {
            unsigned f = count_[i] + count_[i + 1];
            unsigned k = n;
            while (k > 0 && f < count_[k - 1]) --k;
            for (unsigned m = n; m > k; --m) {
                count_[m] = count_[m - 1];
                child_[m] = child_[m - 1];
            }
            count_[k] = f;
            child_[k] = i;
        }
        for (unsigned i = 0; i < kNodes; ++i) {
            unsigned k = child_[i];
            parent_[k] = i;
            if (k < kNodes) parent_[k + 1] = i;
        }
    }

    unsigned count_[kNodes + 1];
    unsigned parent_[kNodes + kSymbols];
    unsigned child_[kNodes];
};

// The static prefix code of the upper six position bits.
struct PositionCode {
    std::uint8_t code[64];
    std::uint8_t bits[64];
    PositionCode() {
        struct Band { unsigned firstByte, values, firstUpper, bits; };
        const Band bands[] = {{0, 1, 0, 3}, {32, 3, 1, 4}, {80, 8, 4, 5}, {144, 12, 12, 6}, {192, 24, 24, 7}, {240, 16, 48, 8}};
        for (const Band& band : bands) {
            unsigned span = (256u >> band.bits) ;  // first bytes per value... in units of bytes
            for (unsigned v = 0; v < band.values; ++v) {
                unsigned first = band.firstByte + v * span;
                code[band.firstUpper + v] = static_cast<std::uint8_t>(first >> (8 - band.bits));
                bits[band.firstUpper + v] = static_cast<std::uint8_t>(band.bits);
            }
        }
    }
};

}  // namespace

std::vector<std::uint8_t> LzhCompress(std::span<const std::uint8_t> plain, const TLzhEncodeOptions& options) {
    if (plain.size() >= 0x80000000u) throw std::length_error("input too large for an LZH stream");
    std::vector<std::uint8_t> out;
    out.reserve(plain.size() / 2 + 16);
    auto size = static_cast<std::uint32_t>(plain.size());
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(size >> (8 * i)));
    if (plain.empty()) return out;

    static const PositionCode positions;
    BitWriter bits(out);
    AdaptiveTree tree;

    // A table sized to the input: small inputs (tests, fuzzing) need not clear a big one.
    unsigned hashBits = 10;
    while (hashBits < 15 && (std::size_t{1} << hashBits) < plain.size()) ++hashBits;
    constexpr unsigned kChainMask = 2 * kRing - 1;
    std::vector<std::int64_t> head(std::size_t{1} << hashBits, -1);
    std::vector<std::int64_t> prev(kChainMask + 1, -1);
    const std::uint8_t* data = plain.data();
    const std::size_t n = plain.size();
    auto hashAt = [&](std::size_t i) {
        std::uint32_t h = (static_cast<std::uint32_t>(data[i]) << 16) | (data[i + 1] << 8) | data[i + 2];
        return (h * 2654435761u) >> (32 - hashBits);
    };
    auto insert = [&](std::size_t i) {
        if (i + kMinMatch > n) return;
        std::uint32_t h = hashAt(i);
        prev[i & kChainMask] = head[h];
        head[h] = static_cast<std::int64_t>(i);
    };

    std::size_t i = 0;
    while (i < n) {
        unsigned bestLength = 0;
        std::size_t bestDistance = 0;
        if (!options.LiteralsOnly && i + kMinMatch <= n) {
            const unsigned limit = static_cast<unsigned>(std::min<std::size_t>(kMaxMatch, n - i));
            std::int64_t candidate = head[hashAt(i)];
            for (unsigned tries = 0; candidate >= 0 && tries < options.ChainLimit; ++tries) {
                std::size_t distance = i - static_cast<std::size_t>(candidate);
                if (distance > kRing) break;
                const std::uint8_t* a = data + candidate;
                const std::uint8_t* b = data + i;
                unsigned length = 0;
                while (length < limit && a[length] == b[length]) ++length;
                if (length > bestLength) {
                    bestLength = length;
                    bestDistance = distance;
                    if (length == limit) break;
                }
                candidate = prev[static_cast<std::size_t>(candidate) & kChainMask];
            }
        }
        if (bestLength >= kMinMatch) {
            tree.Encode(253 + bestLength, bits);
            unsigned p = static_cast<unsigned>(bestDistance - 1);
            unsigned upper = p >> 6;
            bits.Put(positions.code[upper], positions.bits[upper]);
            bits.Put(p & 0x3F, 6);
            for (unsigned k = 0; k < bestLength; ++k) insert(i + k);
            i += bestLength;
        } else {
            tree.Encode(data[i], bits);
            insert(i);
            ++i;
        }
    }
    bits.Finish();
    return out;
}

}  // namespace qx::tools
