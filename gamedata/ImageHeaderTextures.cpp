#include "ImageHeaderTextures.h"

#include "CasePath.h"
#include "ScriptText.h"

#include <fstream>
#include <vector>

namespace quillon {

namespace {

uint32_t Little(const unsigned char* p, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i)
        value = (value << 8) | p[i];
    return value;
}

bool ReadTGA(std::ifstream& in, TImageHeader& header) {
    unsigned char h[18];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h))
        return false;
    header.Info.width = static_cast<int>(Little(h + 12, 2));
    header.Info.height = static_cast<int>(Little(h + 14, 2));
    header.HasAlpha = h[16] / 8 == 4;
    return true;
}

bool ReadBMP(std::ifstream& in, TImageHeader& header) {
    unsigned char h[26];
    if (!in.read(reinterpret_cast<char*>(h), sizeof h) || h[0] != 'B' || h[1] != 'M')
        return false;
    header.Info.width = static_cast<int>(static_cast<int32_t>(Little(h + 18, 4)));
    const int32_t height = static_cast<int32_t>(Little(h + 22, 4));
    header.Info.height = height < 0 ? -height : height;
    return true;
}

// Walks the JPEG markers up to the first start-of-frame, which holds the size.
bool ReadJPEG(std::ifstream& in, TImageHeader& header) {
    unsigned char soi[2];
    if (!in.read(reinterpret_cast<char*>(soi), 2) || soi[0] != 0xFF || soi[1] != 0xD8)
        return false;
    for (;;) {
        int byte = in.get();
        if (byte != 0xFF)
            return false;
        int marker;
        do
            marker = in.get();
        while (marker == 0xFF);
        if (marker == EOF)
            return false;
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01)
            continue;
        unsigned char length[2];
        if (!in.read(reinterpret_cast<char*>(length), 2))
            return false;
        const int size = (length[0] << 8) | length[1];
        if (size < 2)
            return false;
        const bool frame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            unsigned char sof[5];
            if (!in.read(reinterpret_cast<char*>(sof), sizeof sof))
                return false;
            header.Info.height = (sof[1] << 8) | sof[2];
            header.Info.width = (sof[3] << 8) | sof[4];
            return true;
        }
        if (!in.seekg(size - 2, std::ios::cur))
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

bool TImageHeaderTextures::ReadHeader(const std::string& path, TImageHeader& header) {
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

bool TImageHeaderTextures::ResolvePath(std::string& name) const {
    const std::string path = ReplaceAll(name, '\\', '/');
    if (!ExtensionOf(path).empty()) {
        const std::string found = FindFileIgnoringCase(path);
        if (found.empty())
            return false;
        name = found;
        return true;
    }
    for (const char* extension : {".tga", ".bmp", ".jpg"}) {
        const std::string found = FindFileIgnoringCase(path + extension);
        if (!found.empty()) {
            name = found;
            return true;
        }
    }
    return false;
}

uint32_t TImageHeaderTextures::LoadTexture(const std::string& name, float) {
    std::string path = name;
    if (!ResolvePath(path))
        return 0;
    for (const auto& [handle, loaded] : Loaded)
        if (loaded.Path == path)
            return handle;
    TImageHeader header;
    if (!ReadHeader(path, header))
        return 0;
    const uint32_t handle = NextHandle++;
    Loaded[handle] = {path, header.HasAlpha};
    return handle;
}

void TImageHeaderTextures::ReleaseTexture(uint32_t texture) {
    Loaded.erase(texture);
}

bool TImageHeaderTextures::TextureHasAlpha(uint32_t texture) const {
    const auto it = Loaded.find(texture);
    return it != Loaded.end() && it->second.HasAlpha;
}

bool TImageHeaderTextures::ImageSize(const std::string& name, TImageInfo& info) const {
    std::string path = name;
    info = {};
    if (!ResolvePath(path))
        return false;
    TImageHeader header;
    const bool ok = ReadHeader(path, header);
    info = header.Info;
    return ok;
}

} // namespace quillon
