#include "Lzh.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>
#include <new>

#include "core/Stream.h"

namespace qx {

namespace {

constexpr unsigned kRingSize = 4096;
constexpr unsigned kLongestMatch = 60;
constexpr unsigned kThreshold = 2;
constexpr unsigned kSymbols = 256 + kLongestMatch - kThreshold;  // 314
constexpr unsigned kNodes = 2 * kSymbols - 1;                    // 627
constexpr unsigned kRoot = kNodes - 1;                           // 626
constexpr unsigned kRebuildAt = 0x8000;

constexpr unsigned kInChunk = 32768;
constexpr unsigned kOutChunk = 32768;

// Static position code: for the first byte read for a position, the upper six position
// bits and the number of bits the prefix takes (the remaining bits of that byte and the
// bits read after it carry the lower six position bits).
struct PositionTables {
    std::uint8_t upper[256];
    std::uint8_t extra[256];  // bits to read after the first byte: prefix length - 2
    constexpr PositionTables() : upper(), extra() {
        struct Band { unsigned first, last, perValue, firstUpper, bits; };
        constexpr Band bands[] = {
            {0, 31, 32, 0, 3},   {32, 79, 16, 1, 4},   {80, 143, 8, 4, 5},
            {144, 191, 4, 12, 6}, {192, 239, 2, 24, 7}, {240, 255, 1, 48, 8},
        };
        for (const Band& band : bands)
            for (unsigned b = band.first; b <= band.last; ++b) {
                upper[b] = static_cast<std::uint8_t>(band.firstUpper + (b - band.first) / band.perValue);
                extra[b] = static_cast<std::uint8_t>(band.bits - 2);
            }
    }
};
constexpr PositionTables kPositions;

// Everything one decoding needs, allocated once per call. The dictionary is kept linear:
// window[0..4095] holds the 4,096 bytes before the write position, so a match never wraps,
// and produced bytes are handed out in chunks before the last 4 KB slide back to the front.
struct DecoderState {
    std::uint16_t count[kNodes + 1];
    std::uint16_t parent[kNodes + kSymbols];
    std::uint16_t child[kNodes];
    std::uint8_t window[kRingSize + kOutChunk + 128];
    std::uint8_t input[kInChunk];
};

void StartTree(DecoderState& s) {
    for (unsigned i = 0; i < kSymbols; ++i) {
        s.count[i] = 1;
        s.child[i] = static_cast<std::uint16_t>(i + kNodes);
        s.parent[i + kNodes] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0, j = kSymbols; j <= kRoot; i += 2, ++j) {
        s.count[j] = static_cast<std::uint16_t>(s.count[i] + s.count[i + 1]);
        s.child[j] = static_cast<std::uint16_t>(i);
        s.parent[i] = s.parent[i + 1] = static_cast<std::uint16_t>(j);
    }
    s.count[kNodes] = 0xFFFF;
    s.parent[kRoot] = 0;
}

// Halves the counts and rebuilds the tree from its leaves, keeping counts in order.
void RebuildTree(DecoderState& s) {
    std::uint16_t* count = s.count;
    std::uint16_t* child = s.child;
    unsigned j = 0;
    for (unsigned i = 0; i < kNodes; ++i)
        if (child[i] >= kNodes) {
            count[j] = static_cast<std::uint16_t>((count[i] + 1) / 2);
            child[j] = child[i];
            ++j;
        }
    for (unsigned i = 0, j2 = kSymbols; j2 < kNodes; i += 2, ++j2) {
        unsigned f = count[i] + count[i + 1];
        count[j2] = static_cast<std::uint16_t>(f);
        unsigned k = j2 - 1;
        while (f < count[k]) --k;
        ++k;
        unsigned moved = j2 - k;
        std::memmove(count + k + 1, count + k, moved * sizeof count[0]);
        std::memmove(child + k + 1, child + k, moved * sizeof child[0]);
        count[k] = static_cast<std::uint16_t>(f);
        child[k] = static_cast<std::uint16_t>(i);
    }
    for (unsigned i = 0; i < kNodes; ++i) {
        unsigned k = child[i];
        if (k >= kNodes) {
            s.parent[k] = static_cast<std::uint16_t>(i);
        } else {
            s.parent[k] = s.parent[k + 1] = static_cast<std::uint16_t>(i);
        }
    }
}

// The last index from `from` on whose count is below k (count[from] is). Rarely seen
// symbols leave long runs of equal counts, so the scan looks at four counts per step: with
// every count below the root under 0x8000, (count | 0x8000) - k keeps the top bit of a
// lane exactly when that count is at least k, and no lane borrows from its neighbour.
inline unsigned LastBelow(const std::uint16_t* count, unsigned from, unsigned k) {
    unsigned i = from + 1;
    const std::uint64_t high = 0x8000800080008000ull;
    const std::uint64_t wanted = 0x0001000100010001ull * k;
    while (i + 4 <= kRoot) {
        std::uint64_t lanes;
        std::memcpy(&lanes, count + i, sizeof lanes);
        if constexpr (std::endian::native == std::endian::big) lanes = (lanes >> 48) | ((lanes >> 16) & 0xFFFF0000ull) |
                                                                         ((lanes << 16) & 0xFFFF00000000ull) | (lanes << 48);
        std::uint64_t atLeast = ((lanes | high) - wanted) & high;
        if (atLeast != 0) return i + static_cast<unsigned>(std::countr_zero(atLeast)) / 16 - 1;
        i += 4;
    }
    while (count[i] < k) ++i;  // stops at the root at the latest, whose count is at least k
    return i - 1;
}

// Counts one more of the symbol whose leaf is at node `leaf` and restores the order of the
// counts, swapping nodes upwards. A rebuild due first moves the leaf, so it is looked up
// again after one.
inline void UpdateTree(DecoderState& s, unsigned leaf) {
    std::uint16_t* count = s.count;
    std::uint16_t* child = s.child;
    std::uint16_t* parent = s.parent;
    if (count[kRoot] == kRebuildAt) {
        unsigned symbolIndex = child[leaf];
        RebuildTree(s);
        leaf = parent[symbolIndex];
    }
    unsigned c = leaf;
    do {
        unsigned k = ++count[c];
        if (k > count[c + 1]) {
            unsigned l = LastBelow(count, c + 1, k);
            count[c] = count[l];
            count[l] = static_cast<std::uint16_t>(k);
            unsigned i = child[c];
            parent[i] = static_cast<std::uint16_t>(l);
            if (i < kNodes) parent[i + 1] = static_cast<std::uint16_t>(l);
            unsigned j = child[l];
            child[l] = static_cast<std::uint16_t>(i);
            parent[j] = static_cast<std::uint16_t>(c);
            if (j < kNodes) parent[j + 1] = static_cast<std::uint16_t>(c);
            child[c] = static_cast<std::uint16_t>(j);
            c = l;
        }
        c = parent[c];
    } while (c != 0);
}

// The input side of the bit reader: chunks from the read callback, most significant bit
// first, zero bits for ever past the end. The decoding loop keeps buffer and bits in
// locals and only hands them over here when it runs short, so that the hot loop keeps them
// in registers.
class BitSource {
public:
    BitSource(const TLzhReadEvent& read, std::uint8_t* chunk) : read_(read), chunk_(chunk), in_(chunk), end_(chunk) {}

    struct Bits {
        std::uint64_t buffer;  // valid bits sit at the top
        unsigned count;
    };

    // Tops the bits up to at least 57 valid ones. Taken and returned by value, so that the
    // caller's copy never needs an address and stays in registers.
    [[gnu::noinline]] Bits Fill(Bits state) {
        std::uint64_t buffer = state.buffer;
        unsigned bits = state.count;
        while (bits <= 56) {
            if (end_ - in_ >= 8) {
                // Whole bytes that fit are consumed; the bits of a partly fitting byte land
                // exactly where that byte will be put again on the next fill.
                std::uint64_t word = 0;
                for (int i = 0; i < 8; ++i) word = (word << 8) | in_[i];
                buffer |= word >> bits;
                unsigned take = (63 - bits) >> 3;
                in_ += take;
                bits += take * 8;
                return {buffer, bits};
            }
            if (in_ == end_ && !Fetch()) return {buffer, 64};  // the rest of the buffer is already zeros
            buffer |= static_cast<std::uint64_t>(*in_++) << (56 - bits);
            bits += 8;
        }
        return {buffer, bits};
    }

private:
    bool Fetch() {
        if (ended_) return false;
        std::uint16_t got = 0;
        read_(chunk_, static_cast<std::uint16_t>(kInChunk), got);
        if (got == 0) {
            ended_ = true;
            return false;
        }
        in_ = chunk_;
        end_ = chunk_ + std::min<unsigned>(got, kInChunk);
        return true;
    }

    const TLzhReadEvent& read_;
    std::uint8_t* chunk_;
    const std::uint8_t* in_;
    const std::uint8_t* end_;
    bool ended_ = false;
};

void Emit(const TLzhWriteEvent& write, const std::uint8_t* bytes, unsigned count) {
    while (count > 0) {
        auto piece = static_cast<std::uint16_t>(std::min<unsigned>(count, 0xFFFF));
        std::uint16_t done = 0;
        write(bytes, piece, done);
        if (done != piece) throw ElzhException("LZH : Cannot write the decompressed data");
        bytes += piece;
        count -= piece;
    }
}

}  // namespace

std::int64_t TLZH::Decompress(std::int32_t plainSize, const TLzhReadEvent& read, const TLzhWriteEvent& write) {
    if (plainSize <= 0) return 0;
    std::unique_ptr<DecoderState> state(new (std::nothrow) DecoderState);
    if (!state) throw ElzhException("LZH : Cannot get memory for dictionary tables");
    DecoderState& s = *state;
    StartTree(s);
    // Ring positions 0..4035 start as spaces; the 60 above them are never read by a
    // well-formed stream before being written, and spaces are as good as anything there.
    std::memset(s.window, 0x20, kRingSize);

    BitSource source(read, s.input);
    std::uint64_t buffer = 0;
    unsigned bits = 0;
    auto fill = [&]() {
        BitSource::Bits refilled = source.Fill({buffer, bits});
        buffer = refilled.buffer;
        bits = refilled.count;
    };

    std::uint8_t* const window = s.window;
    unsigned w = kRingSize;
    std::int64_t produced = 0;
    const std::int64_t wanted = plainSize;
    const std::uint16_t* const child = s.child;

    while (produced < wanted) {
        if (bits < 32) fill();
        // The walk ends on the leaf's node, where the update starts (saving the look-up of
        // the symbol's leaf).
        unsigned node = kRoot;
        unsigned c = child[kRoot];
        while (c < kNodes) {
            if (bits == 0) fill();
            node = c + static_cast<unsigned>(buffer >> 63);
            c = child[node];
            buffer <<= 1;
            --bits;
        }
        unsigned symbol = c - kNodes;
        UpdateTree(s, node);

        if (symbol < 256) {
            window[w++] = static_cast<std::uint8_t>(symbol);
            ++produced;
        } else {
            if (bits < 16) fill();
            unsigned first = static_cast<unsigned>(buffer >> 56);
            unsigned extra = kPositions.extra[first];
            unsigned low = ((first << extra) | static_cast<unsigned>((buffer << 8) >> (64 - extra))) & 0x3F;
            buffer <<= 8 + extra;
            bits -= 8 + extra;
            unsigned distance = ((static_cast<unsigned>(kPositions.upper[first]) << 6) | low) + 1;
            unsigned length = symbol - 253;
            const std::uint8_t* from = window + w - distance;
            std::uint8_t* to = window + w;
            if (distance >= kLongestMatch + 4) {
                // Fixed-size copies compile to a few vector moves; the window has slack
                // for the bytes past the match, which the next symbols overwrite.
                std::memcpy(to, from, 32);
                if (length > 32) std::memcpy(to + 32, from + 32, 32);
            } else if (distance >= 8) {
                for (unsigned k = 0; k < length; k += 8) std::memcpy(to + k, from + k, 8);
            } else {
                // A short distance repeats a pattern of `distance` bytes: build eight bytes
                // of it once, then store them at steps that are whole periods.
                std::uint8_t pattern[8];
                for (unsigned k = 0; k < 8; ++k) pattern[k] = k < distance ? from[k] : pattern[k - distance];
                const unsigned step = 8 - 8 % distance;
                for (unsigned k = 0; k < length; k += step) std::memcpy(to + k, pattern, 8);
            }
            w += length;
            produced += length;
        }

        if (w >= kRingSize + kOutChunk) {
            Emit(write, window + kRingSize, w - kRingSize);
            std::memmove(window, window + w - kRingSize, kRingSize);
            w = kRingSize;
        }
    }
    Emit(write, window + kRingSize, w - kRingSize);
    return produced;
}

std::int64_t TLZH::Decompress(std::int32_t plainSize, TStream& source, TStream& destination) {
    return Decompress(
        plainSize,
        [&source](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            done = static_cast<std::uint16_t>(source.Read(buffer, count));
        },
        [&destination](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            done = static_cast<std::uint16_t>(destination.Write(buffer, count));
        });
}

}  // namespace qx
