// The image decoders and the gamma, on bytes the tests build.
#include "images/Gamma.h"
#include "images/JpegCodec.h"
#include "images/Tga.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

using namespace quillon;

namespace {

std::vector<uint8_t> TgaHeader(int type, int width, int height, int bits, int idLength = 0) {
    std::vector<uint8_t> h(18, 0);
    h[0] = static_cast<uint8_t>(idLength);
    h[2] = static_cast<uint8_t>(type);
    h[12] = width & 0xFF;
    h[13] = width >> 8;
    h[14] = height & 0xFF;
    h[15] = height >> 8;
    h[16] = static_cast<uint8_t>(bits);
    h.resize(18 + idLength, 0x55);
    return h;
}

void Append(std::vector<uint8_t>& bytes, std::initializer_list<uint8_t> more) {
    bytes.insert(bytes.end(), more);
}

std::array<uint8_t, 4> Pixel(const TRgbaImage& image, int i) {
    return {image.Pixels[i * 4], image.Pixels[i * 4 + 1], image.Pixels[i * 4 + 2],
            image.Pixels[i * 4 + 3]};
}

using Rgba = std::array<uint8_t, 4>;

} // namespace

TEST(Tga, UncompressedPixelsSwapToRgbaInFileOrder) {
    auto file = TgaHeader(2, 2, 1, 24);
    Append(file, {10, 20, 30, 40, 50, 60}); // B G R
    TRgbaImage image;
    ASSERT_TRUE(DecodeTga(file, image));
    EXPECT_EQ(image.Width, 2);
    EXPECT_FALSE(image.HasAlpha);
    EXPECT_EQ(Pixel(image, 0), (Rgba{30, 20, 10, 255}));
    EXPECT_EQ(Pixel(image, 1), (Rgba{60, 50, 40, 255}));

    auto file32 = TgaHeader(2, 1, 1, 32);
    Append(file32, {1, 2, 3, 4});
    ASSERT_TRUE(DecodeTga(file32, image));
    EXPECT_TRUE(image.HasAlpha);
    EXPECT_EQ(Pixel(image, 0), (Rgba{3, 2, 1, 4}));
}

TEST(Tga, ImageIdIsSkipped) {
    auto file = TgaHeader(2, 1, 1, 24, 5);
    ASSERT_EQ(file.size(), 23u);
    Append(file, {7, 8, 9});
    TRgbaImage image;
    ASSERT_TRUE(DecodeTga(file, image));
    EXPECT_EQ(Pixel(image, 0), (Rgba{9, 8, 7, 255}));
}

TEST(Tga, RunLengthPacketsRepeatAndCopy) {
    auto file = TgaHeader(10, 8, 1, 24);
    Append(file, {0x83, 1, 2, 3}); // one pixel stored four times
    Append(file, {0x03, 10, 11, 12, 20, 21, 22, 30, 31, 32, 40, 41, 42}); // four in order
    TRgbaImage image;
    ASSERT_TRUE(DecodeTga(file, image));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(Pixel(image, i), (Rgba{3, 2, 1, 255}));
    EXPECT_EQ(Pixel(image, 4), (Rgba{12, 11, 10, 255}));
    EXPECT_EQ(Pixel(image, 7), (Rgba{42, 41, 40, 255}));
}

TEST(Tga, RunPastTheImageIsDropped) {
    auto file = TgaHeader(10, 2, 1, 32);
    Append(file, {0x85, 1, 2, 3, 4});
    TRgbaImage image;
    ASSERT_TRUE(DecodeTga(file, image));
    EXPECT_EQ(image.Pixels.size(), 8u);
}

TEST(Tga, ColourMapIsSkipped) {
    auto file = TgaHeader(2, 1, 1, 24);
    file[1] = 1;
    file[5] = 2; // two entries of 24 bits
    file[7] = 24;
    Append(file, {0, 0, 0, 0, 0, 0, 5, 6, 7});
    TRgbaImage image;
    ASSERT_TRUE(DecodeTga(file, image));
    EXPECT_EQ(Pixel(image, 0), (Rgba{7, 6, 5, 255}));
}

TEST(Tga, TruncatedAndUnsupportedFilesAreRefusedWithTheReason) {
    TRgbaImage image;
    auto shortHeader = TgaHeader(2, 1, 1, 24);
    shortHeader.resize(10);
    EXPECT_EQ(DecodeTga(shortHeader, image).Error,
              "truncated: the TGA header needs 18 bytes at offset 0, 10 remain");

    auto shortPixels = TgaHeader(2, 2, 2, 24);
    Append(shortPixels, {1, 2, 3});
    EXPECT_EQ(DecodeTga(shortPixels, image).Error,
              "truncated: pixel data needs 12 bytes at offset 18, 3 remain");

    auto shortRun = TgaHeader(10, 4, 1, 24);
    Append(shortRun, {0x03, 1, 2, 3});
    EXPECT_EQ(DecodeTga(shortRun, image).Error,
              "truncated: run-length pixel needs 3 bytes at offset 22, 0 remain");

    auto grey = TgaHeader(3, 1, 1, 8);
    Append(grey, {1});
    const TDecodeResult greyResult = DecodeTga(grey, image);
    EXPECT_FALSE(greyResult);
    EXPECT_EQ(greyResult.Error.rfind("TGA image type 3 with 8 bits per pixel not supported", 0), 0u)
        << greyResult.Error;

    auto idPastTheEnd = TgaHeader(2, 1, 1, 24);
    idPastTheEnd[0] = 200;
    EXPECT_EQ(DecodeTga(idPastTheEnd, image).Error,
              "truncated: the image ID and colour map needs 200 bytes at offset 18, 0 remain");

    EXPECT_EQ(DecodeTga(TgaHeader(2, 0, 5, 24), image).Error, "TGA image of 0x5 pixels is empty");

    // A header claiming 65535 × 65535 pixels with a few bytes behind it allocates nothing big.
    auto huge = TgaHeader(10, 65535, 65535, 32);
    Append(huge, {0xFF, 1, 2, 3, 4});
    EXPECT_FALSE(DecodeTga(huge, image));
    EXPECT_TRUE(image.Pixels.empty());

    int width = 0, height = 0;
    EXPECT_TRUE(ReadTgaSize(TgaHeader(2, 300, 20, 24), width, height));
    EXPECT_EQ(width, 300);
    EXPECT_EQ(height, 20);
}

TEST(Gamma, ExamplesKeepTheHue) {
    struct Case {
        Rgba in;
        float gamma;
        Rgba out;
    } cases[] = {
        {{200, 100, 50, 7}, 1.5f, {254, 127, 63, 7}},
        {{255, 255, 255, 255}, 1.5f, {255, 255, 255, 255}},
        {{51, 76, 102, 0}, 2.0f, {102, 152, 204, 0}},
        {{100, 50, 25, 255}, 1.0f, {100, 50, 25, 255}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> pixel(c.in.begin(), c.in.end());
        ApplyGamma(pixel, c.gamma);
        EXPECT_EQ((Rgba{pixel[0], pixel[1], pixel[2], pixel[3]}), c.out);
    }
}

TEST(Jpeg, RoundTripKeepsSizeColourAndFlipsRowsBottomFirst) {
    const int w = 16, h = 16;
    std::vector<uint8_t> rgb(w * h * 3);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* p = &rgb[(y * w + x) * 3];
            p[0] = y < h / 2 ? 250 : 10; // red on top, blue below
            p[1] = 10;
            p[2] = y < h / 2 ? 10 : 250;
        }
    const auto file = EncodeJpeg(rgb, w, h, 95);
    int width = 0, height = 0;
    ASSERT_TRUE(ReadJpegSize(file, width, height));
    EXPECT_EQ(width, w);
    EXPECT_EQ(height, h);
    TRgbaImage image;
    ASSERT_TRUE(DecodeJpeg(file, image));
    EXPECT_FALSE(image.HasAlpha);
    const auto bottom = Pixel(image, 0);
    const auto top = Pixel(image, (h - 1) * w);
    EXPECT_GT(bottom[2], 200);
    EXPECT_GT(top[0], 200);
    EXPECT_EQ(top[3], 255);
}

TEST(Jpeg, BrokenFilesAreFalseNotFatal) {
    TRgbaImage image;
    std::vector<uint8_t> junk = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
    const TDecodeResult result = DecodeJpeg(junk, image);
    EXPECT_FALSE(result);
    EXPECT_EQ(result.Error.rfind("JPEG: ", 0), 0u) << result.Error;
    EXPECT_GT(result.Error.size(), 6u);
    EXPECT_FALSE(DecodeJpeg({}, image));
    int w, h;
    EXPECT_FALSE(ReadJpegSize(junk, w, h));
}
