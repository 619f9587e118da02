// A bitmap stores its rows bottom row first unless its height is negative, each row padded to
// four bytes; that is already our layout, so rows are only reversed for a negative height.
// Palette entries are B, G, R (and a fourth byte except in the OS/2 header). Bit-field masks
// name where each channel lies in a 16- or 32-bit pixel; a channel of n bits is widened to
// eight by scaling, so 31 in five bits becomes 255.
#include "Bmp.h"

#include <algorithm>
#include <bit>
#include <cstdlib>

namespace quillon {

namespace {

constexpr uint64_t FileHeaderSize = 14;
constexpr uint32_t CompressionNone = 0;
constexpr uint32_t CompressionBitFields = 3;

uint32_t Little16(std::span<const uint8_t> file, uint64_t at) {
    return file[at] | (file[at + 1] << 8);
}
uint32_t Little32(std::span<const uint8_t> file, uint64_t at) {
    return file[at] | (file[at + 1] << 8) | (file[at + 2] << 16) | (uint32_t(file[at + 3]) << 24);
}

struct TChannelMask {
    uint32_t Mask = 0;
    int Shift = 0;
    int Bits = 0;

    explicit TChannelMask(uint32_t mask)
        : Mask(mask), Shift(mask ? std::countr_zero(mask) : 0),
          Bits(mask ? std::popcount(mask) : 0) {}
    uint8_t Extract(uint32_t pixel) const {
        if (Bits == 0)
            return 0;
        const uint32_t value = (pixel & Mask) >> Shift;
        const uint32_t maximum = Bits >= 32 ? UINT32_MAX : (1u << Bits) - 1;
        return uint8_t(uint64_t(value) * 255 / maximum);
    }
};

struct TBmpLayout {
    int64_t Width = 0;
    int64_t Height = 0; // negative: top row first
    int BitsPerPixel = 0;
    uint32_t Compression = CompressionNone;
    uint64_t PaletteOffset = 0;
    uint64_t PaletteEntrySize = 4;
    uint64_t PaletteEntries = 0;
    uint64_t PixelOffset = 0;
    uint32_t Masks[3] = {}; // red, green, blue
};

TDecodeResult ReadLayout(std::span<const uint8_t> file, TBmpLayout& layout) {
    if (file.size() < FileHeaderSize + 4)
        return TDecodeResult::Failed(
            TruncatedText("the bitmap headers", FileHeaderSize + 4, 0, file.size()));
    if (file[0] != 'B' || file[1] != 'M')
        return TDecodeResult::Failed("not a bitmap: the file does not start with \"BM\"");
    layout.PixelOffset = Little32(file, 10);
    const uint32_t infoSize = Little32(file, 14);
    if (infoSize != 12 && infoSize < 40)
        return TDecodeResult::Failed("bitmap header of " + std::to_string(infoSize) +
                                     " bytes not supported");
    if (file.size() < FileHeaderSize + infoSize)
        return TDecodeResult::Failed(
            TruncatedText("the bitmap info header", infoSize, FileHeaderSize, file.size() - 14));
    layout.PaletteOffset = FileHeaderSize + infoSize;
    if (infoSize == 12) { // OS/2: 16-bit sizes, three-byte palette entries
        layout.Width = Little16(file, 18);
        layout.Height = Little16(file, 20);
        layout.BitsPerPixel = int(Little16(file, 24));
        layout.PaletteEntrySize = 3;
        layout.PaletteEntries = layout.BitsPerPixel <= 8 ? 1u << layout.BitsPerPixel : 0;
        return TDecodeResult::Done();
    }
    layout.Width = int32_t(Little32(file, 18));
    layout.Height = int32_t(Little32(file, 22));
    layout.BitsPerPixel = int(Little16(file, 28));
    layout.Compression = Little32(file, 30);
    const uint32_t coloursUsed = Little32(file, 46);
    if (layout.BitsPerPixel <= 8)
        layout.PaletteEntries = coloursUsed ? coloursUsed : 1u << layout.BitsPerPixel;
    if (layout.Compression == CompressionBitFields) {
        // The masks follow a 40-byte header; later headers hold them inside.
        const uint64_t masksAt = FileHeaderSize + 40;
        if (file.size() < masksAt + 12)
            return TDecodeResult::Failed(TruncatedText(
                "the bit-field masks", 12, masksAt, file.size() - std::min(file.size(), masksAt)));
        for (int c = 0; c < 3; ++c)
            layout.Masks[c] = Little32(file, masksAt + 4 * c);
        if (infoSize == 40)
            layout.PaletteOffset += 12;
    } else if (layout.BitsPerPixel == 16) {
        layout.Masks[0] = 0x7C00;
        layout.Masks[1] = 0x03E0;
        layout.Masks[2] = 0x001F;
    } else if (layout.BitsPerPixel == 32) {
        layout.Masks[0] = 0x00FF0000;
        layout.Masks[1] = 0x0000FF00;
        layout.Masks[2] = 0x000000FF;
    }
    return TDecodeResult::Done();
}

TDecodeResult CheckLayout(const TBmpLayout& layout) {
    const int bits = layout.BitsPerPixel;
    if (layout.Compression != CompressionNone && layout.Compression != CompressionBitFields)
        return TDecodeResult::Failed("bitmap compression " + std::to_string(layout.Compression) +
                                     " not supported: only uncompressed bitmaps are read");
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        return TDecodeResult::Failed("bitmap of " + std::to_string(bits) +
                                     " bits per pixel not supported");
    if (layout.Compression == CompressionBitFields && bits != 16 && bits != 32)
        return TDecodeResult::Failed("bit-field masks with " + std::to_string(bits) +
                                     " bits per pixel not supported");
    if (layout.PaletteEntries > 256)
        return TDecodeResult::Failed("bitmap palette of " + std::to_string(layout.PaletteEntries) +
                                     " colours: at most 256 are read");
    return TDecodeResult::Done();
}

// The red, green and blue of one pixel of a row.
class TRowReader {
public:
    TRowReader(std::span<const uint8_t> file, const TBmpLayout& layout)
        : File(file), Layout(layout), Red(layout.Masks[0]), Green(layout.Masks[1]),
          Blue(layout.Masks[2]) {}

    void Pixel(const uint8_t* row, int64_t x, uint8_t* rgb) const {
        const int bits = Layout.BitsPerPixel;
        if (bits <= 8) {
            const int perByte = 8 / bits;
            const int shift = 8 - bits * (1 + int(x % perByte));
            const uint32_t index = (row[x / perByte] >> shift) & ((1u << bits) - 1);
            Palette(index, rgb);
        } else if (bits == 24) {
            rgb[0] = row[x * 3 + 2];
            rgb[1] = row[x * 3 + 1];
            rgb[2] = row[x * 3];
        } else {
            const uint8_t* p = row + x * (bits / 8);
            const uint32_t value = bits == 16
                                       ? p[0] | (p[1] << 8)
                                       : p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
            rgb[0] = Red.Extract(value);
            rgb[1] = Green.Extract(value);
            rgb[2] = Blue.Extract(value);
        }
    }

private:
    // An index past the palette gives black, as it would in a reader that zero-fills it.
    void Palette(uint32_t index, uint8_t* rgb) const {
        std::fill(rgb, rgb + 3, 0);
        if (index >= Layout.PaletteEntries)
            return;
        const uint8_t* entry = File.data() + Layout.PaletteOffset + index * Layout.PaletteEntrySize;
        rgb[0] = entry[2];
        rgb[1] = entry[1];
        rgb[2] = entry[0];
    }

    std::span<const uint8_t> File;
    const TBmpLayout& Layout;
    TChannelMask Red, Green, Blue;
};

} // namespace

TDecodeResult DecodeBmp(std::span<const uint8_t> file, TRgbaImage& image) {
    image = {};
    TBmpLayout layout;
    if (TDecodeResult result = ReadLayout(file, layout); !result)
        return result;
    if (TDecodeResult result = CheckLayout(layout); !result)
        return result;
    const uint64_t width = uint64_t(std::llabs(layout.Width));
    const uint64_t height = uint64_t(std::llabs(layout.Height));
    if (const std::string problem = ImageSizeProblem("bitmap", width, height); !problem.empty())
        return TDecodeResult::Failed(problem);
    const uint64_t paletteBytes = layout.PaletteEntries * layout.PaletteEntrySize;
    if (layout.PaletteOffset + paletteBytes > file.size())
        return TDecodeResult::Failed(
            TruncatedText("the palette", paletteBytes, layout.PaletteOffset,
                          file.size() - std::min<uint64_t>(file.size(), layout.PaletteOffset)));
    const uint64_t rowBytes = (width * layout.BitsPerPixel + 31) / 32 * 4;
    const uint64_t left = file.size() - std::min<uint64_t>(file.size(), layout.PixelOffset);
    if (layout.PixelOffset > file.size() || rowBytes * height > left)
        return TDecodeResult::Failed(
            TruncatedText("pixel data", rowBytes * height, layout.PixelOffset, left));

    const TRowReader reader(file, layout);
    const bool topRowFirst = layout.Height < 0;
    image.Pixels.resize(width * height * 4);
    for (uint64_t y = 0; y < height; ++y) {
        const uint8_t* row = file.data() + layout.PixelOffset + y * rowBytes;
        uint8_t* out = &image.Pixels[(topRowFirst ? height - 1 - y : y) * width * 4];
        for (uint64_t x = 0; x < width; ++x) {
            reader.Pixel(row, int64_t(x), out + x * 4);
            out[x * 4 + 3] = 255;
        }
    }
    image.Width = int(width);
    image.Height = int(height);
    image.HasAlpha = false;
    return TDecodeResult::Done();
}

} // namespace quillon
