#include "LzhBaseline.h"

#include <memory>

namespace qx::bench {

namespace {

struct Baseline {
    const ByteReader& read;
    const ByteWriter& write;
    std::uint16_t buffer = 0;
    std::uint8_t bits = 0;
    std::uint8_t ring[4155];
    std::uint16_t count[628];
    std::int16_t parent[941];
    std::int16_t child[627];

    void Fill() {
        while (bits <= 8) {
            std::uint8_t b = 0;
            std::uint16_t got = 0;
            read(&b, 1, got);
            if (got == 0) b = 0;
            buffer = static_cast<std::uint16_t>(buffer | (b << (8 - bits)));
            bits = static_cast<std::uint8_t>(bits + 8);
        }
    }
    int Bit() {
        Fill();
        int bit = buffer >> 15;
        buffer = static_cast<std::uint16_t>(buffer << 1);
        --bits;
        return bit;
    }
    int Byte() {
        Fill();
        int b = buffer >> 8;
        buffer = static_cast<std::uint16_t>(buffer << 8);
        bits = static_cast<std::uint8_t>(bits - 8);
        return b;
    }
    void Put(std::uint8_t b) {
        std::uint16_t done = 0;
        write(&b, 1, done);
    }

    void Start() {
        for (int s = 0; s < 314; ++s) {
            count[s] = 1;
            child[s] = static_cast<std::int16_t>(s + 627);
            parent[s + 627] = static_cast<std::int16_t>(s);
        }
        for (int i = 0, j = 314; j <= 626; i += 2, ++j) {
            count[j] = static_cast<std::uint16_t>(count[i] + count[i + 1]);
            child[j] = static_cast<std::int16_t>(i);
            parent[i] = parent[i + 1] = static_cast<std::int16_t>(j);
        }
        count[627] = 0xFFFF;
        parent[626] = 0;
    }
    void Rebuild() {
        int j = 0;
        for (int i = 0; i < 627; ++i)
            if (child[i] >= 627) {
                count[j] = static_cast<std::uint16_t>((count[i] + 1) / 2);
                child[j] = child[i];
                ++j;
            }
        for (int i = 0, n = 314; n < 627; i += 2, ++n) {
            std::uint16_t f = static_cast<std::uint16_t>(count[i] + count[i + 1]);
            count[n] = f;
            int k = n - 1;
            while (f < count[k]) --k;
            ++k;
            for (int m = n; m > k; --m) {
                count[m] = count[m - 1];
                child[m] = child[m - 1];
            }
            count[k] = f;
            child[k] = static_cast<std::int16_t>(i);
        }
        for (int i = 0; i < 627; ++i) {
            int k = child[i];
            parent[k] = static_cast<std::int16_t>(i);
            if (k < 627) parent[k + 1] = static_cast<std::int16_t>(i);
        }
    }
    void Update(int s) {
        if (count[626] == 0x8000) Rebuild();
        int c = parent[s + 627];
        do {
            int k = ++count[c];
            if (k > count[c + 1]) {
                int l = c + 1;
                while (count[l + 1] < k) ++l;
                count[c] = count[l];
                count[l] = static_cast<std::uint16_t>(k);
                int i = child[c];
                parent[i] = static_cast<std::int16_t>(l);
                if (i < 627) parent[i + 1] = static_cast<std::int16_t>(l);
                int j = child[l];
                child[l] = static_cast<std::int16_t>(i);
                parent[j] = static_cast<std::int16_t>(c);
                if (j < 627) parent[j + 1] = static_cast<std::int16_t>(c);
                child[c] = static_cast<std::int16_t>(j);
                c = l;
            }
            c = parent[c];
        } while (c != 0);
    }
    int Symbol() {
        int c = child[626];
        while (c < 627) c = child[c + Bit()];
        Update(c - 627);
        return c - 627;
    }
    int Position() {
        static const int upperStart[] = {0, 32, 80, 144, 192, 240, 256};
        static const int upperFirst[] = {0, 1, 4, 12, 24, 48};
        static const int perValue[] = {32, 16, 8, 4, 2, 1};
        int b = Byte();
        int band = 0;
        while (b >= upperStart[band + 1]) ++band;
        int high = (upperFirst[band] + (b - upperStart[band]) / perValue[band]) << 6;
        for (int t = 0; t < band + 1; ++t) b = ((b << 1) + Bit()) & 0xFFFF;
        return high | (b & 0x3F);
    }
};

}  // namespace

void BaselineDecompress(std::int32_t plainSize, const ByteReader& read, const ByteWriter& write) {
    auto d = std::unique_ptr<Baseline>(new Baseline{read, write, 0, 0, {}, {}, {}, {}});
    d->Start();
    for (int i = 0; i < 4155; ++i) d->ring[i] = 0x20;
    int r = 4036;
    std::int32_t produced = 0;
    while (produced < plainSize) {
        int c = d->Symbol();
        if (c < 256) {
            d->Put(static_cast<std::uint8_t>(c));
            d->ring[r] = static_cast<std::uint8_t>(c);
            r = (r + 1) & 0xFFF;
            ++produced;
        } else {
            int start = (r - d->Position() - 1) & 0xFFF;
            for (int k = 0; k < c - 253; ++k) {
                std::uint8_t b = d->ring[(start + k) & 0xFFF];
                d->Put(b);
                d->ring[r] = b;
                r = (r + 1) & 0xFFF;
                ++produced;
            }
        }
    }
}

}  // namespace qx::bench
