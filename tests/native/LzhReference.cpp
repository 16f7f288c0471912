#include "LzhReference.h"

#include <algorithm>
#include <memory>

namespace qx::test {

namespace {

struct Reference {
    const ByteReader& read;
    const ByteWriter& write;
    unsigned rebuildAt;
    std::uint16_t bitBuffer = 0;
    std::uint8_t bitCount = 0;
    std::uint8_t ring[4155];
    std::uint16_t count[628];
    std::int16_t parent[941];
    std::int16_t child[627];

    void FillBits() {
        while (bitCount <= 8) {
            std::uint8_t b = 0;
            std::uint16_t got = 0;
            read(&b, 1, got);
            unsigned value = got == 0 ? 0 : b;
            bitBuffer = static_cast<std::uint16_t>(bitBuffer | (value << (8 - bitCount)));
            bitCount = static_cast<std::uint8_t>(bitCount + 8);
        }
    }

    int NextBit() {
        FillBits();
        int bit = (bitBuffer & 0x8000) ? 1 : 0;
        bitBuffer = static_cast<std::uint16_t>(bitBuffer << 1);
        bitCount--;
        return bit;
    }

    int NextByte() {
        FillBits();
        int byte = bitBuffer >> 8;
        bitBuffer = static_cast<std::uint16_t>(bitBuffer << 8);
        bitCount = static_cast<std::uint8_t>(bitCount - 8);
        return byte;
    }

    void Put(std::uint8_t b) {
        std::uint16_t done = 0;
        write(&b, 1, done);
    }

    void StartTree() {
        for (int s = 0; s < 314; s++) {
            count[s] = 1;
            child[s] = static_cast<std::int16_t>(s + 627);
            parent[s + 627] = static_cast<std::int16_t>(s);
        }
        int i = 0, j = 314;
        while (j <= 626) {
            count[j] = static_cast<std::uint16_t>(count[i] + count[i + 1]);
            child[j] = static_cast<std::int16_t>(i);
            parent[i] = parent[i + 1] = static_cast<std::int16_t>(j);
            i += 2;
            j += 1;
        }
        count[627] = 0xFFFF;
        parent[626] = 0;
    }

    void Rebuild() {
        int j = 0;
        for (int i = 0; i <= 626; i++) {
            if (child[i] >= 627) {
                count[j] = static_cast<std::uint16_t>((count[i] + 1) / 2);
                child[j] = child[i];
                j++;
            }
        }
        int i = 0;
        j = 314;
        while (j < 627) {
            std::uint16_t f = static_cast<std::uint16_t>(count[i] + count[i + 1]);
            count[j] = f;
            int k = j - 1;
            while (f < count[k]) k--;
            k++;
            for (int m = j; m > k; m--) {
                count[m] = count[m - 1];
                child[m] = child[m - 1];
            }
            count[k] = f;
            child[k] = static_cast<std::int16_t>(i);
            i += 2;
            j += 1;
        }
        for (int n = 0; n <= 626; n++) {
            int k = child[n];
            if (k >= 627) {
                parent[k] = static_cast<std::int16_t>(n);
            } else {
                parent[k] = static_cast<std::int16_t>(n);
                parent[k + 1] = static_cast<std::int16_t>(n);
            }
        }
    }

    void Update(int s) {
        if (count[626] == rebuildAt) Rebuild();
        int c = parent[s + 627];
        do {
            int k = count[c] + 1;
            count[c] = static_cast<std::uint16_t>(k);
            if (k > count[c + 1]) {
                int l = c + 1;
                while (count[l + 1] < k) l++;
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

    int DecodeSymbol() {
        int c = child[626];
        while (c < 627) c = child[c + NextBit()];
        int s = c - 627;
        Update(s);
        return s;
    }

    static int UpperBits(int b) {
        if (b < 32) return 0;
        if (b < 80) return 1 + (b - 32) / 16;
        if (b < 144) return 4 + (b - 80) / 8;
        if (b < 192) return 12 + (b - 144) / 4;
        if (b < 240) return 24 + (b - 192) / 2;
        return 48 + (b - 240);
    }

    static int BitsUsed(int b) {
        if (b < 32) return 3;
        if (b < 80) return 4;
        if (b < 144) return 5;
        if (b < 192) return 6;
        if (b < 240) return 7;
        return 8;
    }

    int DecodePosition() {
        int b = NextByte();
        int high = UpperBits(b) << 6;
        int n = BitsUsed(b) - 2;
        for (int t = 0; t < n; t++) b = ((b << 1) + NextBit()) & 0xFFFF;
        return high | (b & 0x3F);
    }
};

}  // namespace

void ReferenceDecompress(std::int32_t plainSize, const ByteReader& read, const ByteWriter& write, unsigned rebuildAt) {
    auto d = std::unique_ptr<Reference>(new Reference{read, write, rebuildAt, 0, 0, {}, {}, {}, {}});
    d->StartTree();
    for (int i = 0; i < 4155; i++) d->ring[i] = 0x20;
    int r = 4036;
    std::int32_t counter = 0;
    while (counter < plainSize) {
        int c = d->DecodeSymbol();
        if (c < 256) {
            d->Put(static_cast<std::uint8_t>(c));
            d->ring[r] = static_cast<std::uint8_t>(c);
            r = (r + 1) & 0xFFF;
            counter++;
        } else {
            int start = (r - d->DecodePosition() - 1) & 0xFFF;
            int length = c - 253;
            for (int k = 0; k < length; k++) {
                std::uint8_t b = d->ring[(start + k) & 0xFFF];
                d->Put(b);
                d->ring[r] = b;
                r = (r + 1) & 0xFFF;
                counter++;
            }
        }
    }
}

ReferenceResult ReferenceDecompress(std::int32_t plainSize, std::span<const std::uint8_t> input, unsigned rebuildAt) {
    ReferenceResult result;
    ReferenceDecompress(
        plainSize,
        [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            done = static_cast<std::uint16_t>(std::min<std::size_t>(count, input.size() - result.BytesRead));
            std::copy_n(input.begin() + static_cast<std::ptrdiff_t>(result.BytesRead), done, buffer);
            result.BytesRead += done;
        },
        [&](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            result.Output.insert(result.Output.end(), buffer, buffer + count);
            done = count;
        },
        rebuildAt);
    return result;
}

}  // namespace qx::test
