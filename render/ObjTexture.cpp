#include "ObjTexture.h"

#include "core/CasePath.h"
#include "core/FileError.h"
#include "core/FileReader.h"
#include "core/ImageHeader.h"
#include "images/Gamma.h"
#include "images/ImageFile.h"
#include "images/JpegCodec.h"
#include "images/Tga.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

// Scripts and skins write "/" and the settings may hold "\\"; on disk both mean "/".
std::string NativeSeparators(std::string name) {
    std::replace(name.begin(), name.end(), '\\', '/');
    return name;
}

bool ReadFileBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    try {
        TFileReader in(path);
        return in.ReadArray(bytes, in.Size());
    } catch (const FileError&) {
        return false;
    }
}

} // namespace

TObjTexture::~TObjTexture() {
    ReleaseAll();
}

void TObjTexture::AddSearchFolder(std::string folder) {
    folder = NativeSeparators(std::move(folder));
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    Folders.push_back(std::move(folder));
}

void TObjTexture::SetGamma(float gamma) {
    CurrentGamma = std::fabs(gamma);
}

bool TObjTexture::ResolvePath(std::string& name) const {
    const std::string wanted = NativeSeparators(name);
    auto found = [&](const std::string& candidate) {
        std::string path = FindFileIgnoringCase(candidate);
        if (path.empty())
            return false;
        name = std::move(path);
        return true;
    };
    if (found(wanted))
        return true;
    if (!UpperExtension(wanted).empty()) {
        for (const std::string& folder : Folders)
            if (found(folder + wanted))
                return true;
        return false;
    }
    for (const char* ext : {".TGA", ".BMP", ".JPG"})
        for (const std::string& folder : Folders)
            if (found(folder + wanted + ext))
                return true;
    return false;
}

bool TObjTexture::FindLoaded(const std::string& path, uint32_t& texture) const {
    for (const TLoadedTexture& entry : LoadedList)
        if (entry.Name == path) {
            texture = entry.Texture;
            return true;
        }
    return false;
}

bool TObjTexture::TextureHasAlpha(uint32_t texture) const {
    for (const TLoadedTexture& entry : LoadedList)
        if (entry.Texture == texture)
            return entry.HasAlpha;
    return false;
}

bool TObjTexture::ImageSize(const std::string& name, TImageInfo& info) const {
    info = {};
    std::string path = name;
    if (!ResolvePath(path))
        return false;
    info.extension = UpperExtension(path);
    int width = 0, height = 0;
    bool ok = false;
    if (info.extension == ".JPG") {
        std::vector<uint8_t> bytes;
        ok = ReadFileBytes(path, bytes) && ReadJpegSize(bytes, width, height);
    } else if (info.extension == ".BMP") {
        TImageHeader header;
        ok = ReadImageHeader(path, header);
        width = header.Info.width;
        height = header.Info.height;
    } else if (info.extension == ".TGA") {
        std::vector<uint8_t> header(TgaHeaderSize);
        try {
            TFileReader in(path);
            ok = in.Read(header.data(), header.size()) && ReadTgaSize(header, width, height);
        } catch (const FileError&) {
            ok = false;
        }
    }
    if (ok) {
        info.width = width;
        info.height = height;
    }
    return ok;
}

uint32_t TObjTexture::LoadTexture(const std::string& name, float gamma) {
    SetGamma(gamma);
    const uint32_t texture = Load(name);
    SetGamma(1.0f);
    return texture;
}

uint32_t TObjTexture::Load(const std::string& name) {
    std::string path = name;
    if (!ResolvePath(path))
        return 0;
    uint32_t texture = 0;
    if (FindLoaded(path, texture))
        return texture;
    TRgbaImage image;
    if (!DecodeImageFile(path, image) || !GLReady())
        return 0;
    LastAlpha = image.HasAlpha;
    // Only the TGA reader keeps an alpha channel; JPEG and BMP are uploaded as RGB with mipmaps.
    const bool isTga = UpperExtension(path) == ".TGA";
    texture = Upload(image, !isTga, !isTga);
    if (texture != 0)
        LoadedList.push_back({path, texture, LastAlpha, image.Width, image.Height});
    return texture;
}

uint32_t TObjTexture::Upload(TRgbaImage& image, bool mipmaps, bool rgbInternal) const {
    glEnable(GL_TEXTURE_2D);
    GLuint name = 0;
    glGenTextures(1, &name);
    if (name == 0)
        return 0;
    if (CurrentGamma != 1.0f)
        ApplyGamma(image.Pixels, CurrentGamma);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glBindTexture(GL_TEXTURE_2D, name);
    const GLint internal = rgbInternal ? GL_RGB : GL_RGBA;
    if (mipmaps) {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gluBuild2DMipmaps(GL_TEXTURE_2D, internal, image.Width, image.Height, GL_RGBA,
                          GL_UNSIGNED_BYTE, image.Pixels.data());
    } else {
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, internal, image.Width, image.Height, 0, GL_RGBA,
                     GL_UNSIGNED_BYTE, image.Pixels.data());
    }
    return name;
}

void TObjTexture::ReleaseTexture(uint32_t texture) {
    if (texture == 0)
        return;
    if (GLReady() && glIsTexture(texture))
        glDeleteTextures(1, &texture);
    const auto entry = std::find_if(LoadedList.begin(), LoadedList.end(),
                                    [&](const TLoadedTexture& e) { return e.Texture == texture; });
    if (entry != LoadedList.end())
        LoadedList.erase(entry);
}

void TObjTexture::ReleaseAll() {
    if (!LoadedList.empty() && GLReady())
        for (const TLoadedTexture& entry : LoadedList)
            if (entry.Texture != 0 && glIsTexture(entry.Texture))
                glDeleteTextures(1, &entry.Texture);
    LoadedList.clear();
}

} // namespace quillon
