#include "Tga.h"

#include <algorithm>

namespace quillon {

namespace {

uint16_t Word(std::span<const uint8_t> file, size_t at) {
    return static_cast<uint16_t>(file[at] | (file[at + 1] << 8));
}

// Walks the pixel data; every read is checked against the end of the file, and a failed read
// leaves the reason behind.
class TPixelStream {
public:
    TPixelStream(std::span<const uint8_t> file, uint64_t start, int bytesPerPixel)
        : File(file), Pos(start), BytesPerPixel(bytesPerPixel) {}

    bool ReadByte(uint8_t& value) {
        if (!Has(1, "run-length packet header"))
            return false;
        value = File[Pos++];
        return true;
    }
    // Source pixels are B, G, R (, A); the result is R, G, B, A.
    bool ReadPixel(uint8_t rgba[4]) {
        if (!Has(BytesPerPixel, "run-length pixel"))
            return false;
        const uint8_t* p = File.data() + Pos;
        rgba[0] = p[2];
        rgba[1] = p[1];
        rgba[2] = p[0];
        rgba[3] = BytesPerPixel == 4 ? p[3] : 255;
        Pos += BytesPerPixel;
        return true;
    }
    bool Has(uint64_t bytes, const char* what) {
        if (Left() >= bytes)
            return true;
        Error = TruncatedText(what, bytes, Pos, Left());
        return false;
    }
    uint64_t Left() const { return File.size() - Pos; }
    uint64_t Position() const { return Pos; }

    std::string Error;

private:
    std::span<const uint8_t> File;
    uint64_t Pos;
    int BytesPerPixel;
};

TDecodeResult DecodeUncompressed(TPixelStream& in, uint64_t pixelCount, int bytesPerPixel,
                                 std::vector<uint8_t>& out) {
    if (!in.Has(pixelCount * bytesPerPixel, "pixel data"))
        return TDecodeResult::Failed(in.Error);
    out.resize(pixelCount * 4);
    for (uint64_t i = 0; i < pixelCount; ++i)
        in.ReadPixel(&out[i * 4]);
    return TDecodeResult::Done();
}

TDecodeResult DecodeRunLength(TPixelStream& in, uint64_t pixelCount, int bytesPerPixel,
                              std::vector<uint8_t>& out) {
    // A packet of 1 + bytesPerPixel bytes gives at most 128 pixels: a file too small for the
    // claimed size is refused before the buffer is sized.
    if (in.Left() / (1 + bytesPerPixel) * 128 + 128 < pixelCount)
        return TDecodeResult::Failed("truncated: " + std::to_string(in.Left()) +
                                     " bytes of run-length data at offset " +
                                     std::to_string(in.Position()) + " cannot hold " +
                                     std::to_string(pixelCount) + " pixels");
    out.resize(pixelCount * 4);
    uint64_t stored = 0;
    while (stored < pixelCount) {
        uint8_t packet;
        if (!in.ReadByte(packet))
            return TDecodeResult::Failed(in.Error);
        const int count = (packet & 127) + 1;
        uint8_t pixel[4];
        const bool repeated = (packet & 128) != 0;
        if (repeated && !in.ReadPixel(pixel))
            return TDecodeResult::Failed(in.Error);
        for (int k = 0; k < count; ++k) {
            if (!repeated && !in.ReadPixel(pixel))
                return TDecodeResult::Failed(in.Error);
            if (stored < pixelCount) // pixels past the image are read and dropped
                std::copy(pixel, pixel + 4, &out[stored++ * 4]);
        }
    }
    return TDecodeResult::Done();
}

} // namespace

bool ReadTgaSize(std::span<const uint8_t> file, int& width, int& height) {
    if (file.size() < TgaHeaderSize)
        return false;
    width = Word(file, 12);
    height = Word(file, 14);
    return true;
}

TDecodeResult DecodeTga(std::span<const uint8_t> file, TRgbaImage& image) {
    image = {};
    int width, height;
    if (!ReadTgaSize(file, width, height))
        return TDecodeResult::Failed(
            TruncatedText("the TGA header", TgaHeaderSize, 0, file.size()));
    const int idLength = file[0];
    const int colourMapType = file[1];
    const int imageType = file[2];
    const int bitsPerPixel = file[16];
    const int bytesPerPixel = bitsPerPixel / 8;
    if (bytesPerPixel != 3 && bytesPerPixel != 4)
        return TDecodeResult::Failed(
            "TGA image type " + std::to_string(imageType) + " with " +
            std::to_string(bitsPerPixel) +
            " bits per pixel not supported: only 24- and 32-bit true-colour images are read");
    if (const std::string problem = ImageSizeProblem("TGA", width, height); !problem.empty())
        return TDecodeResult::Failed(problem);
    uint64_t start = TgaHeaderSize + idLength;
    if (colourMapType == 1)
        start += uint64_t(Word(file, 5)) * file[7] / 8;
    if (start > file.size())
        return TDecodeResult::Failed(TruncatedText("the image ID and colour map",
                                                   start - TgaHeaderSize, TgaHeaderSize,
                                                   file.size() - TgaHeaderSize));

    TPixelStream in(file, start, bytesPerPixel);
    const uint64_t pixelCount = uint64_t(width) * height;
    std::vector<uint8_t> pixels;
    TDecodeResult result = imageType >= 9
                               ? DecodeRunLength(in, pixelCount, bytesPerPixel, pixels)
                               : DecodeUncompressed(in, pixelCount, bytesPerPixel, pixels);
    if (!result)
        return result;
    image.Width = width;
    image.Height = height;
    image.HasAlpha = bytesPerPixel == 4;
    image.Pixels = std::move(pixels);
    return result;
}

} // namespace quillon
