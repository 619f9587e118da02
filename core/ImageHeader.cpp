#include "ImageHeader.h"

#include "CasePath.h"

#include <algorithm>
#include <cstdint>
#include <fstream>

namespace quillon {

namespace {

uint32_t Little16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Little32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint32_t Big16(const unsigned char* p) {
    return (p[0] << 8) | p[1];
}

bool ReadTGA(std::ifstream& in, TImageHeader& header) {
    unsigned char h[18];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h))
        return false;
    header.Info.width = int(Little16(h + 12));
    header.Info.height = int(Little16(h + 14));
    header.HasAlpha = h[16] / 8 == 4;
    return true;
}

bool ReadBMP(std::ifstream& in, TImageHeader& header) {
    unsigned char h[26];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M')
        return false;
    if (Little32(h + 14) == 12) { // the old OS/2 header holds 16-bit sizes
        header.Info.width = int(Little16(h + 18));
        header.Info.height = int(Little16(h + 20));
        return true;
    }
    const int64_t width = int32_t(Little32(h + 18));
    const int64_t height = int32_t(Little32(h + 22)); // negative: stored top row first
    header.Info.width = int(std::min<int64_t>(width < 0 ? -width : width, INT32_MAX));
    header.Info.height = int(std::min<int64_t>(height < 0 ? -height : height, INT32_MAX));
    return true;
}

// Walks the JPEG markers up to the first start-of-frame, which carries the image size.
bool ReadJPEG(std::ifstream& in, TImageHeader& header) {
    unsigned char soi[2];
    if (!in.read(reinterpret_cast<char*>(soi), 2) || soi[0] != 0xFF || soi[1] != 0xD8)
        return false;
    for (;;) {
        int c = in.get();
        if (c != 0xFF)
            return false;
        while (c == 0xFF)
            c = in.get();
        if (c == EOF)
            return false;
        const int marker = c;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8))
            continue; // markers without a length
        unsigned char length[2];
        if (!in.read(reinterpret_cast<char*>(length), 2) || Big16(length) < 2)
            return false;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            unsigned char frame[5];
            if (!in.read(reinterpret_cast<char*>(frame), sizeof frame))
                return false;
            header.Info.height = int(Big16(frame + 1));
            header.Info.width = int(Big16(frame + 3));
            return true;
        }
        if (!in.seekg(Big16(length) - 2, std::ios::cur))
            return false;
    }
}

std::string UpperExtension(const std::string& path) {
    std::string extension = ExtensionOf(path);
    for (char& c : extension)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return extension;
}

} // namespace

bool ReadImageHeader(const std::string& path, TImageHeader& header) {
    header = {};
    header.Info.extension = UpperExtension(path);
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bool ok = false;
    if (header.Info.extension == ".TGA")
        ok = ReadTGA(in, header);
    else if (header.Info.extension == ".BMP")
        ok = ReadBMP(in, header);
    else if (header.Info.extension == ".JPG" || header.Info.extension == ".JPEG")
        ok = ReadJPEG(in, header);
    if (!ok)
        header.Info.width = header.Info.height = 0;
    return ok;
}

} // namespace quillon
