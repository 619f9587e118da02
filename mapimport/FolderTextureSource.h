// Texture names resolved in plain folders, for tools without a GL view (the command line). Names
// are found as the texture manager finds them: as given, then in each folder in turn, and when the
// name has no extension with .TGA, .BMP and .JPG appended, in that order. Game data often differs
// in letter case from the names in maps and scripts, so a path that does not exist as written is
// looked up again one component at a time, ignoring case. Image sizes come from the files'
// headers; no image is decoded and no texture is ever made.
#pragma once

#include "core/TextureSource.h"

#include <string>
#include <vector>

namespace quillon {

class TFolderTextureSource : public ITextureSource {
public:
    explicit TFolderTextureSource(std::vector<std::string> folders = {})
        : Folders(std::move(folders)) {}

    void AddFolder(const std::string& folder) { Folders.push_back(folder); }

    bool ResolvePath(std::string& name) const override;
    uint32_t LoadTexture(const std::string&, float) override { return 0; }
    void ReleaseTexture(uint32_t) override {}
    bool TextureHasAlpha(uint32_t) const override { return false; }
    bool ImageSize(const std::string& name, TImageInfo& info) const override;

private:
    std::vector<std::string> Folders;
};

} // namespace quillon
