// The bitmap reader on files the tests build: row order and padding, palettes, bit-field masks,
// and the reasons for what it refuses.
#include "images/Bmp.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace quillon;

namespace {

using Rgba = std::array<uint8_t, 4>;

void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// File and 40-byte info headers, then `extra` (palette or masks) and the pixel rows.
std::vector<uint8_t> Bitmap(int32_t width, int32_t height, int bits, uint32_t compression,
                            const std::vector<uint8_t>& extra, const std::vector<uint8_t>& rows) {
    std::vector<uint8_t> b(54, 0);
    b[0] = 'B';
    b[1] = 'M';
    Put32(b, 10, uint32_t(54 + extra.size()));
    Put32(b, 14, 40);
    Put32(b, 18, uint32_t(width));
    Put32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = uint8_t(bits);
    Put32(b, 30, compression);
    b.insert(b.end(), extra.begin(), extra.end());
    b.insert(b.end(), rows.begin(), rows.end());
    Put32(b, 2, uint32_t(b.size()));
    return b;
}

Rgba Pixel(const TRgbaImage& image, int x, int y) {
    const uint8_t* p = &image.Pixels[(size_t(y) * image.Width + x) * 4];
    return {p[0], p[1], p[2], p[3]};
}

} // namespace

TEST(Bmp, TwentyFourBitRowsArePaddedAndStayBottomRowFirst) {
    // Rows of 3 pixels × 3 bytes = 9 bytes, padded to 12. The first row is the bottom one.
    const std::vector<uint8_t> rows = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                       10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0};
    TRgbaImage image;
    ASSERT_TRUE(DecodeBmp(Bitmap(3, 2, 24, 0, {}, rows), image));
    EXPECT_EQ(image.Width, 3);
    EXPECT_EQ(image.Height, 2);
    EXPECT_FALSE(image.HasAlpha);
    EXPECT_EQ(Pixel(image, 0, 0), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(Pixel(image, 2, 1), (Rgba{18, 17, 16, 255}));

    // A negative height stores the top row first; in memory it still ends up last.
    ASSERT_TRUE(DecodeBmp(Bitmap(3, -2, 24, 0, {}, rows), image));
    EXPECT_EQ(Pixel(image, 0, 1), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(Pixel(image, 0, 0), (Rgba{12, 11, 10, 255}));
}

TEST(Bmp, PalettesAndMasksGiveTheColours) {
    // Two colours, four bits a pixel: indexes 1 and 0 in one byte, rows padded to four bytes.
    std::vector<uint8_t> palette = {0, 0, 0, 0, 30, 20, 10, 0};
    std::vector<uint8_t> b = Bitmap(2, 1, 4, 0, palette, {0x10, 0, 0, 0});
    Put32(b, 46, 2);
    TRgbaImage image;
    ASSERT_TRUE(DecodeBmp(b, image));
    EXPECT_EQ(Pixel(image, 0, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(Pixel(image, 1, 0), (Rgba{0, 0, 0, 255}));

    // 16 bits without masks are 5-5-5: full red, half green (15 of 31), no blue.
    const uint16_t red = (31 << 10) | (15 << 5);
    ASSERT_TRUE(DecodeBmp(Bitmap(1, 1, 16, 0, {}, {uint8_t(red), uint8_t(red >> 8), 0, 0}), image));
    EXPECT_EQ(Pixel(image, 0, 0), (Rgba{255, 123, 0, 255}));

    // 32 bits with masks that put blue in the top byte, green next, red below.
    std::vector<uint8_t> masks(12);
    Put32(masks, 0, 0x0000FF00);
    Put32(masks, 4, 0x00FF0000);
    Put32(masks, 8, 0xFF000000);
    ASSERT_TRUE(DecodeBmp(Bitmap(1, 1, 32, 3, masks, {0x99, 7, 8, 9}), image));
    EXPECT_EQ(Pixel(image, 0, 0), (Rgba{7, 8, 9, 255}));
    EXPECT_FALSE(image.HasAlpha);
}

TEST(Bmp, RefusalsSayWhy) {
    TRgbaImage image;
    EXPECT_EQ(DecodeBmp(Bitmap(1, 1, 8, 1, {}, {0, 0, 0, 0}), image).Error,
              "bitmap compression 1 not supported: only uncompressed bitmaps are read");
    EXPECT_EQ(DecodeBmp(Bitmap(2, 2, 24, 0, {}, {1, 2, 3}), image).Error,
              "truncated: pixel data needs 16 bytes at offset 54, 3 remain");
    std::vector<uint8_t> notBitmap = Bitmap(1, 1, 24, 0, {}, {1, 2, 3, 0});
    notBitmap[0] = 'X';
    EXPECT_EQ(DecodeBmp(notBitmap, image).Error,
              "not a bitmap: the file does not start with \"BM\"");
    EXPECT_EQ(DecodeBmp(Bitmap(70000, 70000, 24, 0, {}, {}), image)
                  .Error.rfind("bitmap image of 70000x70000 pixels is larger", 0),
              0u);
    EXPECT_TRUE(image.Pixels.empty());
}
