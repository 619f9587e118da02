#include "FolderTextureSource.h"

#include "core/CasePath.h"
#include "core/ImageHeader.h"

#include <filesystem>

namespace quillon {

namespace fs = std::filesystem;

bool TFolderTextureSource::ResolvePath(std::string& name) const {
    auto accept = [&name](const std::string& candidate) {
        std::string found = FindFileIgnoringCase(candidate);
        if (found.empty())
            return false;
        name = std::move(found);
        return true;
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

bool TFolderTextureSource::ImageSize(const std::string& name, TImageInfo& info) const {
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
