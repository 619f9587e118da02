#include "GameDataBuilder.h"

#include "core/ImageHeader.h"
#include "gamedata/ImageHeaderTextures.h"

#include <zip.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>

namespace quillon::test {

namespace {

uint32_t Crc32(const std::string& data) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void Put(std::string& out, uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out += char((value >> (8 * i)) & 255);
}

// Stored members written byte by byte, so that the names keep exactly the bytes given and no
// UTF-8 flag (libzip would flag a name that looks like UTF-8).
void WriteRawZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    std::string body, directory;
    for (const ZipEntry& entry : entries) {
        const uint32_t offset = static_cast<uint32_t>(body.size());
        const uint32_t crc = Crc32(entry.Data);
        const uint32_t size = static_cast<uint32_t>(entry.Data.size());
        const uint16_t nameSize = static_cast<uint16_t>(entry.Name.size());
        Put(body, 0x04034b50, 4);
        Put(body, 10, 2); // version needed
        Put(body, entry.RawName ? 0 : 0x800, 2);
        Put(body, 0, 2); // stored
        Put(body, 0, 4); // time and date
        Put(body, crc, 4);
        Put(body, size, 4);
        Put(body, size, 4);
        Put(body, nameSize, 2);
        Put(body, 0, 2);
        body += entry.Name + entry.Data;

        Put(directory, 0x02014b50, 4);
        Put(directory, 20, 2);
        Put(directory, 10, 2);
        Put(directory, entry.RawName ? 0 : 0x800, 2);
        Put(directory, 0, 2);
        Put(directory, 0, 4);
        Put(directory, crc, 4);
        Put(directory, size, 4);
        Put(directory, size, 4);
        Put(directory, nameSize, 2);
        Put(directory, 0, 2); // extra
        Put(directory, 0, 2); // comment
        Put(directory, 0, 2); // disk
        Put(directory, 0, 2); // internal attributes
        Put(directory, 0, 4); // external attributes
        Put(directory, offset, 4);
        directory += entry.Name;
    }
    std::string end;
    Put(end, 0x06054b50, 4);
    Put(end, 0, 4);
    Put(end, static_cast<uint32_t>(entries.size()), 2);
    Put(end, static_cast<uint32_t>(entries.size()), 2);
    Put(end, static_cast<uint32_t>(directory.size()), 4);
    Put(end, static_cast<uint32_t>(body.size()), 4);
    Put(end, 0, 2);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << body << directory << end;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

} // namespace

void WriteZip(const std::string& path, const std::vector<ZipEntry>& entries) {
    for (const ZipEntry& entry : entries)
        if (entry.RawName)
            return WriteRawZip(path, entries);
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!archive)
        throw std::runtime_error("cannot create " + path);
    for (const ZipEntry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.Data.data(), entry.Data.size(), 0);
        const zip_flags_t flags = ZIP_FL_OVERWRITE;
        if (!source || zip_file_add(archive, entry.Name.c_str(), source, flags) < 0) {
            zip_source_free(source);
            zip_discard(archive);
            throw std::runtime_error("cannot add " + entry.Name);
        }
    }
    if (zip_close(archive) != 0)
        throw std::runtime_error("cannot write " + path);
}

std::string TGAImage(int width, int height, int bitsPerPixel) {
    std::string tga(18, '\0');
    tga[2] = 2;
    tga[12] = char(width & 255);
    tga[13] = char(width >> 8);
    tga[14] = char(height & 255);
    tga[15] = char(height >> 8);
    tga[16] = char(bitsPerPixel);
    tga.append(size_t(width) * height * (bitsPerPixel / 8), char(0x80));
    return tga;
}

std::string JPEGHeader(int width, int height) {
    std::string jpeg = "\xFF\xD8";
    jpeg += std::string("\xFF\xE0\x00\x04\x00\x00", 6); // an APP0 segment to skip
    jpeg += std::string("\xFF\xC0\x00\x0B\x08", 5);
    jpeg += char(height >> 8);
    jpeg += char(height & 255);
    jpeg += char(width >> 8);
    jpeg += char(width & 255);
    jpeg += std::string("\x01\x01\x11\x00", 4);
    return jpeg;
}

void WriteText(const std::string& path, const std::string& text) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

bool RecordingTextures::ResolvePath(std::string& name) const {
    return TImageHeaderTextures().ResolvePath(name);
}

uint32_t RecordingTextures::LoadTexture(const std::string& name, float gamma) {
    Gammas.push_back(gamma);
    std::string path = name;
    TImageHeader header;
    if (!ResolvePath(path) || !ReadImageHeader(path, header))
        return 0;
    Loaded[NextHandle] = path;
    return NextHandle++;
}

void RecordingTextures::ReleaseTexture(uint32_t texture) {
    if (texture == 0)
        return;
    Released.push_back(texture);
    Loaded.erase(texture);
}

bool RecordingTextures::TextureHasAlpha(uint32_t texture) const {
    const auto it = Loaded.find(texture);
    TImageHeader header;
    return it != Loaded.end() && ReadImageHeader(it->second, header) && header.HasAlpha;
}

bool RecordingTextures::ImageSize(const std::string& name, TImageInfo& info) const {
    return TImageHeaderTextures().ImageSize(name, info);
}

} // namespace quillon::test
