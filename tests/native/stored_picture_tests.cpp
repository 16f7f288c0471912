#include "core/StoredPicture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using namespace qx;

namespace {
std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
}
}  // namespace

TEST(StoredPicture, TheCloudPictureRoundTripsWithItsClassName) {
    const auto png = ReadFile(QX_SOURCE_DIR "/src/app/res/cloud128.png");
    ASSERT_GT(png.size(), 100u);
    TMemoryStream stored;
    WriteStoredPicture(stored, "TSmartImage", png);
    EXPECT_EQ(stored.Size(), std::int64_t(png.size() + 12));
    EXPECT_EQ(stored.Memory()[0], 11);
    stored.SetPosition(0);
    const auto back = ReadStoredPicture(stored);
    EXPECT_EQ(back.className, "TSmartImage");
    EXPECT_EQ(back.data, png);
    int w = 0, h = 0;
    ASSERT_TRUE(ReadPngSize(back.data, w, h));
    EXPECT_EQ(w, 128);
    EXPECT_EQ(h, 128);
}

TEST(StoredPicture, EmptyAndDamagedForms) {
    TMemoryStream empty;
    EXPECT_TRUE(ReadStoredPicture(empty).className.empty());
    TMemoryStream zero("\0", 1);
    EXPECT_TRUE(ReadStoredPicture(zero).className.empty());
    TMemoryStream nameOnly("\x0bTSmartImage", 12);
    const auto p = ReadStoredPicture(nameOnly);
    EXPECT_EQ(p.className, "TSmartImage");
    EXPECT_TRUE(p.data.empty());
    TMemoryStream cut("\x0bTSmart", 7);
    EXPECT_THROW(ReadStoredPicture(cut), EStreamError);
    TMemoryStream junk("\x03\x89PN\r\n", 6);
    EXPECT_THROW(ReadStoredPicture(junk), EStreamError);
    TMemoryStream out;
    EXPECT_THROW(WriteStoredPicture(out, "Bad Name", {}), EStreamError);
    EXPECT_THROW(WriteStoredPicture(out, std::string(256, 'T'), {}), EStreamError);
}

TEST(StoredPicture, SignaturesAndPngHeader) {
    const std::uint8_t bmp[] = {'B', 'M', 0, 0};
    const std::uint8_t png[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 0, 0, 0, 13, 'I', 'H', 'D', 'R',
                                0, 0, 1, 0, 0, 0, 0, 32};
    const std::uint8_t mb[] = {'M', 'B'};
    EXPECT_EQ(DetectImageSignature({}), TImageSignature::Empty);
    EXPECT_EQ(DetectImageSignature(bmp), TImageSignature::Bitmap);
    EXPECT_EQ(DetectImageSignature(png), TImageSignature::Png);
    EXPECT_EQ(DetectImageSignature(mb), TImageSignature::Other);
    int w = 0, h = 0;
    EXPECT_TRUE(ReadPngSize(png, w, h));
    EXPECT_EQ(w, 256);
    EXPECT_EQ(h, 32);
    EXPECT_FALSE(ReadPngSize(std::span(png, 20), w, h));
    EXPECT_FALSE(ReadPngSize(bmp, w, h));
}
