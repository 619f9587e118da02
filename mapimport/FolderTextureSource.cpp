#include "FolderTextureSource.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace quillon {

namespace fs = std::filesystem;

namespace {

std::string Upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The entry of `folder` whose name equals `component` ignoring case, preferring the exact one.
std::optional<fs::path> FindEntry(const fs::path& folder, const std::string& component) {
    std::error_code error;
    if (fs::exists(folder / component, error))
        return folder / component;
    const std::string wanted = Upper(component);
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error))
        if (Upper(it->path().filename().string()) == wanted)
            return folder / it->path().filename();
    return std::nullopt;
}

uint32_t Little16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
uint32_t Little32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint32_t Big16(const unsigned char* p) {
    return (p[0] << 8) | p[1];
}

bool TgaSize(std::ifstream& in, int& width, int& height) {
    std::array<unsigned char, 18> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()))
        return false;
    width = int(Little16(&header[12]));
    height = int(Little16(&header[14]));
    return true;
}

bool BmpSize(std::ifstream& in, int& width, int& height) {
    std::array<unsigned char, 26> header{};
    if (!in.read(reinterpret_cast<char*>(header.data()), header.size()) || header[0] != 'B' ||
        header[1] != 'M')
        return false;
    if (Little32(&header[14]) == 12) { // the old OS/2 header holds 16-bit sizes
        width = int(Little16(&header[18]));
        height = int(Little16(&header[20]));
        return true;
    }
    const int64_t w = int32_t(Little32(&header[18]));
    const int64_t h = int32_t(Little32(&header[22]));
    width = int(std::min<int64_t>(w < 0 ? -w : w, INT32_MAX));
    height = int(std::min<int64_t>(h < 0 ? -h : h, INT32_MAX)); // negative: stored top row first
    return true;
}

// Walks the JPEG markers up to the first start-of-frame, which carries the image size.
bool JpegSize(std::ifstream& in, int& width, int& height) {
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
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // markers without a length
        unsigned char length[2];
        if (!in.read(reinterpret_cast<char*>(length), 2) || Big16(length) < 2)
            return false;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame) {
            unsigned char frame[5];
            if (!in.read(reinterpret_cast<char*>(frame), 5))
                return false;
            height = int(Big16(&frame[1]));
            width = int(Big16(&frame[3]));
            return true;
        }
        if (!in.seekg(Big16(length) - 2, std::ios::cur))
            return false;
    }
}

} // namespace

std::optional<std::string> FindFileIgnoringCase(const std::string& path) {
    if (path.empty())
        return std::nullopt;
    if (IsRegularFile(path))
        return path;
    const fs::path given(path);
    fs::path found = given.root_path();
    for (const fs::path& part : given.relative_path()) {
        const std::string component = part.string();
        if (component.empty() || component == "." || component == "..") {
            found /= part;
            continue;
        }
        const auto entry = FindEntry(found, component);
        if (!entry)
            return std::nullopt;
        found = *entry;
    }
    if (!IsRegularFile(found))
        return std::nullopt;
    return found.string();
}

bool TFolderTextureSource::ResolvePath(std::string& name) const {
    auto accept = [&name](const std::string& candidate) {
        if (auto found = FindFileIgnoringCase(candidate)) {
            name = *found;
            return true;
        }
        return false;
    };
    if (name.empty())
        return false;
    if (accept(name))
        return true;
    if (fs::path(name).has_extension()) {
        for (const std::string& folder : Folders)
            if (accept((fs::path(folder) / name).string()))
                return true;
        return false;
    }
    for (const char* extension : {".TGA", ".BMP", ".JPG"})
        for (const std::string& folder : Folders)
            if (accept((fs::path(folder) / (name + extension)).string()))
                return true;
    return false;
}

bool ReadImageSize(const std::string& path, const std::string& upperExtension, int& width,
                   int& height) {
    width = height = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bool ok = false;
    if (upperExtension == ".TGA")
        ok = TgaSize(in, width, height);
    else if (upperExtension == ".BMP")
        ok = BmpSize(in, width, height);
    else if (upperExtension == ".JPG" || upperExtension == ".JPEG")
        ok = JpegSize(in, width, height);
    if (!ok)
        width = height = 0;
    return ok;
}

bool TFolderTextureSource::ImageSize(const std::string& name, TImageInfo& info) const {
    std::string path = name;
    info = {};
    if (!ResolvePath(path))
        return false;
    info.extension = Upper(fs::path(path).extension().string());
    return ReadImageSize(path, info.extension, info.width, info.height);
}

} // namespace quillon
