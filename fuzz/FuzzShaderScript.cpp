// The shader script scan and parse on arbitrary text: the first scanned name (or a fixed one) is
// parsed, so both the header search and the stage rules see hostile lines.
#include "gamedata/ScriptText.h"
#include "gamedata/ShaderScript.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const auto lines = SplitLines(std::string_view(reinterpret_cast<const char*>(data), size));
    const auto names = ScanShaderNames(lines);
    const std::string name = names.empty() ? std::string("textures/a/b") : names.front();
    ParseShaderStages(lines, name, name);
    return 0;
}
