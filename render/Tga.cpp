#include "Tga.h"

namespace quillon {

namespace {

uint16_t Word(std::span<const uint8_t> file, size_t at) {
    return static_cast<uint16_t>(file[at] | (file[at + 1] << 8));
}

// Walks the pixel data; every read is checked against the end of the file.
class TPixelStream {
public:
    TPixelStream(std::span<const uint8_t> data, int bytesPerPixel)
        : Data(data), BytesPerPixel(bytesPerPixel) {}

    bool ReadByte(uint8_t& value) {
        if (Pos >= Data.size())
            return false;
        value = Data[Pos++];
        return true;
    }
    // Source pixels are B, G, R (, A); the result is R, G, B, A.
    bool ReadPixel(uint8_t rgba[4]) {
        if (Data.size() - Pos < static_cast<size_t>(BytesPerPixel))
            return false;
        const uint8_t* p = Data.data() + Pos;
        rgba[0] = p[2];
        rgba[1] = p[1];
        rgba[2] = p[0];
        rgba[3] = BytesPerPixel == 4 ? p[3] : 255;
        Pos += BytesPerPixel;
        return true;
    }
    size_t Left() const { return Data.size() - Pos; }

private:
    std::span<const uint8_t> Data;
    int BytesPerPixel;
    size_t Pos = 0;
};

bool DecodeUncompressed(TPixelStream& in, uint64_t pixelCount, int bytesPerPixel,
                        std::vector<uint8_t>& out) {
    if (in.Left() / bytesPerPixel < pixelCount)
        return false;
    out.resize(pixelCount * 4);
    for (uint64_t i = 0; i < pixelCount; ++i)
        in.ReadPixel(&out[i * 4]);
    return true;
}

bool DecodeRunLength(TPixelStream& in, uint64_t pixelCount, int bytesPerPixel,
                     std::vector<uint8_t>& out) {
    // A packet of 1 + bytesPerPixel bytes gives at most 128 pixels: a file too small for the
    // claimed size is refused before the buffer is sized.
    if (in.Left() / (1 + bytesPerPixel) * 128 + 128 < pixelCount)
        return false;
    out.resize(pixelCount * 4);
    uint64_t stored = 0;
    while (stored < pixelCount) {
        uint8_t packet;
        if (!in.ReadByte(packet))
            return false;
        const int count = (packet & 127) + 1;
        uint8_t pixel[4];
        const bool repeated = (packet & 128) != 0;
        if (repeated && !in.ReadPixel(pixel))
            return false;
        for (int k = 0; k < count; ++k) {
            if (!repeated && !in.ReadPixel(pixel))
                return false;
            if (stored < pixelCount) // pixels past the image are read and dropped
                std::copy(pixel, pixel + 4, &out[stored++ * 4]);
        }
    }
    return true;
}

} // namespace

bool ReadTgaSize(std::span<const uint8_t> file, int& width, int& height) {
    if (file.size() < TgaHeaderSize)
        return false;
    width = Word(file, 12);
    height = Word(file, 14);
    return true;
}

bool DecodeTga(std::span<const uint8_t> file, TRgbaImage& image) {
    image = {};
    int width, height;
    if (!ReadTgaSize(file, width, height))
        return false;
    const int idLength = file[0];
    const int colourMapType = file[1];
    const int imageType = file[2];
    const int bytesPerPixel = file[16] / 8;
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        return false;
    if (!ImageSizeAcceptable(width, height))
        return false;
    uint64_t start = TgaHeaderSize + idLength;
    if (colourMapType == 1)
        start += uint64_t(Word(file, 5)) * file[7] / 8;
    if (start > file.size())
        return false;

    TPixelStream in(file.subspan(start), bytesPerPixel);
    const uint64_t pixelCount = uint64_t(width) * height;
    std::vector<uint8_t> pixels;
    const bool ok = imageType >= 9 ? DecodeRunLength(in, pixelCount, bytesPerPixel, pixels)
                                   : DecodeUncompressed(in, pixelCount, bytesPerPixel, pixels);
    if (!ok)
        return false;
    image.Width = width;
    image.Height = height;
    image.HasAlpha = bytesPerPixel == 4;
    image.Pixels = std::move(pixels);
    return true;
}

} // namespace quillon
