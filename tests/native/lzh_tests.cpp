#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "LzhEncoder.h"
#include "LzhReference.h"
#include "TestData.h"
#include "core/Stream.h"
#include "skin/Lzh.h"

using namespace qx;
using qx::test::MixedData;
using qx::test::ReferenceDecompress;
using qx::test::TestRandom;

namespace {

struct Decoded {
    std::vector<std::uint8_t> Output;
    std::size_t ReadCalls = 0;
};

// Decodes a stream laid out as the archive reader sees it: plain size, then the bits.
Decoded Decode(const std::vector<std::uint8_t>& stream) {
    std::int32_t plainSize;
    std::memcpy(&plainSize, stream.data(), 4);
    TSpanStream source(std::span<const std::uint8_t>(stream).subspan(4));
    Decoded d;
    TLZH().Decompress(
        plainSize,
        [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            ++d.ReadCalls;
            done = static_cast<std::uint16_t>(source.Read(buffer, count));
        },
        [&](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            d.Output.insert(d.Output.end(), buffer, buffer + count);
            done = count;
        });
    return d;
}

std::vector<std::uint8_t> Stream(std::int32_t plainSize, std::vector<std::uint8_t> bits) {
    std::vector<std::uint8_t> out(4);
    std::memcpy(out.data(), &plainSize, 4);
    out.insert(out.end(), bits.begin(), bits.end());
    return out;
}

std::string Text(const std::vector<std::uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

std::vector<std::uint8_t> ReferenceOf(const std::vector<std::uint8_t>& stream) {
    std::int32_t plainSize;
    std::memcpy(&plainSize, stream.data(), 4);
    return ReferenceDecompress(plainSize, std::span<const std::uint8_t>(stream).subspan(4)).Output;
}

}  // namespace

// Streams worked out by hand from the starting tree (codes of the first symbols) and the
// static position code.
TEST(LzhDecoder, DecodesHandDerivedStreams) {
    // 'A' is 111001101 in the starting tree.
    EXPECT_EQ(Text(Decode(Stream(1, {0xE6, 0x80})).Output), "A");
    // A, B, C, then a 3-byte match at distance 3 (position 2: prefix 000, low bits 000010).
    EXPECT_EQ(Text(Decode(Stream(6, {0xE6, 0xF3, 0xB9, 0xF1, 0x80, 0x20})).Output), "ABCABC");
    // A first match reads the dictionary's initial spaces.
    EXPECT_EQ(Text(Decode(Stream(3, {0x8C, 0x00, 0x00})).Output), "   ");
    // No input at all: zero bits lead from the root to the leaf of 't'.
    EXPECT_EQ(Text(Decode(Stream(1, {})).Output), "t");
}

TEST(LzhDecoder, CopiesTheLastMatchWholeWhenItCrossesThePlainSize) {
    // Length 3 (10001100) and length 60 (11000101) matches against a plain size of 1.
    EXPECT_EQ(Text(Decode(Stream(1, {0x8C, 0x00, 0x00})).Output), "   ");
    EXPECT_EQ(Decode(Stream(1, {0xC5, 0x00, 0x00})).Output, std::vector<std::uint8_t>(60, 0x20));
    // The same through the stream overload, which appends everything it is given.
    TMemoryStream source(std::vector<std::uint8_t>{0xC5, 0x00, 0x00}), destination;
    EXPECT_EQ(TLZH().Decompress(2, source, destination), 60);
    EXPECT_EQ(destination.Size(), 60);
}

TEST(LzhDecoder, WritesNothingAndReadsNothingForAPlainSizeOfZeroOrLess) {
    for (std::int32_t size : {0, -1, -2147483647 - 1}) {
        Decoded d = Decode(Stream(size, {0xE6, 0x80}));
        EXPECT_TRUE(d.Output.empty()) << size;
        EXPECT_EQ(d.ReadCalls, 0u) << size;
    }
}

TEST(LzhDecoder, RoundTripsEncoderOutputAndMatchesThePlainDecoder) {
    struct Case { std::vector<std::uint8_t> data; tools::TLzhEncodeOptions options; };
    std::vector<Case> cases;
    for (std::size_t n : {1, 2, 3, 59, 60, 61, 4095, 4096, 4097, 70000})
        cases.push_back({MixedData(n, n), {}});
    cases.push_back({std::vector<std::uint8_t>(100000, 0), {}});
    cases.push_back({TestRandom(5).Bytes(20000), {}});
    cases.push_back({MixedData(50000, 9), {.ChainLimit = 1}});
    // Enough symbols (one per byte) to pass the tree rebuild at the 32,455th symbol twice.
    cases.push_back({TestRandom(11).Bytes(70000), {.LiteralsOnly = true}});
    for (const Case& c : cases) {
        auto stream = tools::LzhCompress(c.data, c.options);
        auto fast = Decode(stream).Output;
        EXPECT_EQ(fast, c.data) << "size " << c.data.size();
        EXPECT_EQ(fast, ReferenceOf(stream)) << "size " << c.data.size();
    }
}

TEST(LzhDecoder, AgreesWithThePlainDecoderOnRandomBitStreams) {
    TestRandom random(42);
    for (int round = 0; round < 60; ++round) {
        auto bits = random.Bytes(1 + random.Below(round < 50 ? 3000 : 60000));
        auto plainSize = static_cast<std::int32_t>(random.Below(round < 50 ? 20000 : 400000));
        auto stream = Stream(plainSize, bits);
        auto fast = Decode(stream).Output;
        auto plain = ReferenceOf(stream);
        ASSERT_EQ(fast.size(), plain.size()) << "round " << round;
        EXPECT_TRUE(fast == plain) << "round " << round;
        EXPECT_GE(static_cast<std::int64_t>(fast.size()), plainSize);
        EXPECT_LE(static_cast<std::int64_t>(fast.size()), std::int64_t{plainSize} + 59);
    }
}

TEST(LzhDecoder, RebuildsTheTreeWhenTheRootCountReaches0x8000) {
    // One symbol per byte. The root count starts at 314 and grows by one per symbol, so
    // the update of symbol 32,455 rebuilds first; a rebuild one symbol earlier or later
    // shows first in the symbol after that update, index 32,455 counted from 0.
    auto data = TestRandom(3).Bytes(40000);
    auto stream = tools::LzhCompress(data, {.LiteralsOnly = true});
    std::span<const std::uint8_t> bits = std::span<const std::uint8_t>(stream).subspan(4);
    EXPECT_EQ(Decode(stream).Output, data);
    for (unsigned wrongMoment : {0x7FFFu, 0x8001u}) {
        auto wrong = ReferenceDecompress(40000, bits, wrongMoment).Output;
        auto firstDifference = std::mismatch(wrong.begin(), wrong.end(), data.begin()).first - wrong.begin();
        EXPECT_EQ(firstDifference, wrongMoment == 0x7FFF ? 32454 : 32455) << wrongMoment;
    }
}

TEST(LzhDecoder, InputCutShortStillYieldsTheDeclaredSize) {
    auto data = MixedData(30000, 3);
    auto stream = tools::LzhCompress(data);
    for (std::size_t keep : {std::size_t{4}, std::size_t{5}, stream.size() / 3, stream.size() - 1}) {
        std::vector<std::uint8_t> cut(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(keep));
        auto out = Decode(cut).Output;
        EXPECT_GE(out.size(), data.size()) << keep;
        EXPECT_LE(out.size(), data.size() + 59) << keep;
        EXPECT_EQ(out, ReferenceOf(cut)) << keep;
    }
    // The decoded prefix is still the original up to (about) where the input stopped.
    std::vector<std::uint8_t> half(stream.begin(), stream.begin() + static_cast<std::ptrdiff_t>(stream.size() / 2));
    auto out = Decode(half).Output;
    EXPECT_TRUE(std::equal(data.begin(), data.begin() + 5000, out.begin()));
}

TEST(LzhDecoder, StopsAskingForInputAfterTheEnd) {
    // Every byte is delivered in its own call and the end is reported once; after that the
    // decoder supplies zero bits itself.
    std::vector<std::uint8_t> bits = {0xE6, 0xF3, 0xB9};
    std::size_t at = 0, calls = 0, endReports = 0;
    std::string out;
    TLZH().Decompress(
        500,
        [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            ++calls;
            EXPECT_GT(count, 0);
            done = 0;
            if (at < bits.size()) { buffer[0] = bits[at++]; done = 1; }
            else ++endReports;
        },
        [&](const std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
            out.append(reinterpret_cast<const char*>(buffer), count);
            done = count;
        });
    EXPECT_EQ(endReports, 1u);
    EXPECT_EQ(calls, 4u);
    EXPECT_EQ(out.substr(0, 2), "AB");
    EXPECT_EQ(out.size(), ReferenceDecompress(500, bits).Output.size());
}

TEST(LzhDecoder, ReportsAWriteCallbackThatRefusesBytesAndPassesCallbackExceptionsOn) {
    auto stream = tools::LzhCompress(MixedData(1000, 1));
    TSpanStream source(std::span<const std::uint8_t>(stream).subspan(4));
    auto read = [&](std::uint8_t* buffer, std::uint16_t count, std::uint16_t& done) {
        done = static_cast<std::uint16_t>(source.Read(buffer, count));
    };
    try {
        TLZH().Decompress(1000, read, [](const std::uint8_t*, std::uint16_t count, std::uint16_t& done) { done = count / 2; });
        FAIL() << "a short write went unnoticed";
    } catch (const ElzhException& e) {
        EXPECT_STREQ(e.what(), "LZH : Cannot write the decompressed data");
    }
    source.SetPosition(0);
    EXPECT_THROW(TLZH().Decompress(1000, read,
                                   [](const std::uint8_t*, std::uint16_t, std::uint16_t&) { throw EStreamError("disk full"); }),
                 EStreamError);
}
