#include "ImageHeaderTextures.h"

#include "ScriptText.h"
#include "core/CasePath.h"
#include "core/ImageHeader.h"

namespace quillon {

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
    if (!ReadImageHeader(path, header))
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
    const bool ok = ReadImageHeader(path, header);
    info = header.Info;
    return ok;
}

} // namespace quillon
