// The settings kept between runs, read from and written to the program's INI file. A missing
// or unreadable file, and any value that cannot be read, gives the default.
#pragma once

#include "render/ViewState.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

struct TSettings {
    std::string GameDir;
    // Only ever written: the flag has no effect on the next run.
    bool Cleanup = true;
    std::vector<std::string> ShaderList;
    float Gamma = 1.0f;
    bool AlphaTexturePreview = true;
    bool ShowSkeleton = true;
    bool ShowTags = true;
    bool Lighting = true;
    bool CenterModel = true;
    bool SkyBoxEnabled = true;
    // Texturing: a loaded MD3 is dressed in <name>_default.skin when there is one.
    bool DefaultSkinOnLoad = true;
    uint32_t ColorTop = DefaultGradientTop;
    uint32_t ColorBottom = DefaultGradientBottom;

    // A GameDir naming a folder that no longer exists is dropped.
    static TSettings Read(const std::string& path);
    // Keeps sections and keys of the file that are not ours. Throws FileError when the file
    // cannot be created; false when writing failed.
    bool Write(const std::string& path) const;
};

} // namespace quillon
