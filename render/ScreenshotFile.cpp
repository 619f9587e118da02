#include "ScreenshotFile.h"

#include "core/FileWriter.h"

#include <array>
#include <filesystem>
#include <limits>

namespace quillon {

namespace {

constexpr int HeaderSize = 18;

void PutUint16(std::array<uint8_t, HeaderSize>& header, size_t at, int value) {
    header[at] = static_cast<uint8_t>(value & 0xFF);
    header[at + 1] = static_cast<uint8_t>(value >> 8);
}

} // namespace

std::string FreeScreenshotName(const std::string& folder) {
    for (unsigned n = 0;; ++n) {
        std::string name = "screenshot" + std::to_string(n) + ".tga";
        std::error_code error;
        if (!std::filesystem::exists(folder + name, error))
            return name;
    }
}

bool WriteTga32(const std::string& path, const TViewImage& image) {
    constexpr int Largest = std::numeric_limits<uint16_t>::max();
    if (image.Width < 0 || image.Height < 0 || image.Width > Largest || image.Height > Largest ||
        image.Bgra.size() != size_t(image.Width) * image.Height * 4)
        return false;
    std::array<uint8_t, HeaderSize> header{};
    header[2] = 2; // uncompressed true colour
    PutUint16(header, 12, image.Width);
    PutUint16(header, 14, image.Height);
    header[16] = 32;
    header[17] = 3;
    TFileWriter writer(path);
    return writer.Write(header.data(), header.size()) && writer.WriteArray(image.Bgra) &&
           writer.Commit();
}

} // namespace quillon
