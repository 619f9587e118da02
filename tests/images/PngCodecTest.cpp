// PNG encoding read back with libpng's own reader: the pixels, the row order and the channels.
#include "images/PngCodec.h"

#include <gtest/gtest.h>
#include <png.h>

#include <vector>

using namespace quillon;

namespace {

// The PNG decoded as RGBA, top row first; empty when libpng refuses it.
std::vector<uint8_t> DecodeWithLibpng(const std::vector<uint8_t>& file, png_image& info) {
    info = {};
    info.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&info, file.data(), file.size()))
        return {};
    const bool hadAlpha = info.format & PNG_FORMAT_FLAG_ALPHA;
    info.format = PNG_FORMAT_RGBA;
    std::vector<uint8_t> pixels(PNG_IMAGE_SIZE(info));
    if (!png_image_finish_read(&info, nullptr, pixels.data(), 0, nullptr))
        return {};
    info.format = hadAlpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB;
    return pixels;
}

TRgbaImage Gradient(int width, int height, bool alpha) {
    TRgbaImage image{width, height, alpha, {}};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Pixels.insert(
                image.Pixels.end(),
                {uint8_t(x * 7), uint8_t(y * 13), uint8_t(x + y), uint8_t(alpha ? 255 - x : 255)});
    return image;
}

} // namespace

TEST(Png, PixelsComeBackTopRowFirstWithTheirAlpha) {
    for (const bool alpha : {true, false}) {
        const TRgbaImage image = Gradient(5, 3, alpha);
        const std::vector<uint8_t> file = EncodePng(image);
        ASSERT_FALSE(file.empty());
        png_image info;
        const std::vector<uint8_t> decoded = DecodeWithLibpng(file, info);
        ASSERT_EQ(decoded.size(), image.Pixels.size());
        EXPECT_EQ(info.width, 5u);
        EXPECT_EQ(info.height, 3u);
        EXPECT_EQ(info.format, alpha ? PNG_FORMAT_RGBA : PNG_FORMAT_RGB);
        for (int y = 0; y < 3; ++y) // our bottom row is the PNG's last
            for (int x = 0; x < 5 * 4; ++x)
                EXPECT_EQ(decoded[y * 20 + x], image.Pixels[(2 - y) * 20 + x]) << x << "," << y;
    }
}

TEST(Png, ImagesWithoutPixelsAreNotEncoded) {
    EXPECT_TRUE(EncodePng(TRgbaImage{}).empty());
    TRgbaImage shortBuffer{4, 4, false, std::vector<uint8_t>(10)};
    EXPECT_TRUE(EncodePng(shortBuffer).empty());
}

TEST(Png, DecodingGivesBackWhatWasEncodedAndRefusesBrokenFiles) {
    for (const bool alpha : {true, false}) {
        const TRgbaImage image = Gradient(5, 3, alpha);
        TRgbaImage decoded;
        ASSERT_TRUE(DecodePng(EncodePng(image), decoded)) << alpha;
        EXPECT_EQ(decoded.Width, 5);
        EXPECT_EQ(decoded.Height, 3);
        EXPECT_EQ(decoded.HasAlpha, alpha);
        EXPECT_EQ(decoded.Pixels, image.Pixels); // bottom row first, as it went in
    }
    std::vector<uint8_t> file = EncodePng(Gradient(5, 3, true));
    file.resize(file.size() / 2);
    TRgbaImage decoded;
    const TDecodeResult truncated = DecodePng(file, decoded);
    EXPECT_FALSE(truncated);
    EXPECT_TRUE(truncated.Error.starts_with("PNG: ")) << truncated.Error;
    // A header changed to claim 20000 pixels a side (its checksum no longer fits) is refused.
    file = EncodePng(Gradient(1, 1, false));
    file[16] = 0, file[17] = 0, file[18] = 0x4E, file[19] = 0x20; // IHDR width, big-endian
    const TDecodeResult huge = DecodePng(file, decoded);
    EXPECT_FALSE(huge);
}
