// Reading shader scripts: the scan lists the shader names a script defines, the parse turns one
// shader of a script into its stages. The rules are line based and use substring tests on
// purpose, so that the many hand-written scripts of the game read the same way everywhere; only
// the keywords the drawing honours are interpreted, all other lines are read and ignored.
#pragma once

#include "Shaders.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

// One shader script known to the program.
struct TETShader {
    uint8_t InArchive = 0;                // 1 when the script was extracted from an archive
    std::string FileName;                 // file name, or the full path for a shader-list script
    std::vector<std::string> ShaderNames; // as written, in file order, duplicates included
};
using TETShaders = std::vector<TETShader>;

// The names defined at nesting depth 0, letter case kept.
std::vector<std::string> ScanShaderNames(const std::vector<std::string>& lines);
// Throws FileError when the script cannot be read.
std::vector<std::string> ScanShaderNamesInFile(const std::string& path);

// The stages of one shader of a script, or why the script has none for it.
struct TShaderParse {
    std::vector<TShaderTexture> Stages;
    std::string Error; // empty when the shader was found, also when it has no stages
};

// The stages of the first shader whose header line equals `shaderName`, `baseName` or `baseName`
// with "\" turned into "/" (compared in lower case); none when there is no such line or no
// opening brace below it. A script that ends inside the shader keeps the stage in progress.
TShaderParse ParseShaderStages(const std::vector<std::string>& lines, const std::string& shaderName,
                               const std::string& baseName);

} // namespace quillon
