// The operations of `quillon-cli edit`, applied in the order they appear on the command line.
// Each takes the option's values (none for flags, one for most options, every value up to the
// next option for those with `manyValues`) and returns an error message, or nothing on
// success; a failing operation stops the edit before anything is written.
#pragma once

#include "core/MD3.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon::cli {

struct EditOperation {
    std::string flag;      // "--flip-x"
    std::string valueName; // empty for a flag without a value
    std::string help;
    std::function<std::optional<std::string>(TMD3& model, const std::vector<std::string>& values)>
        apply;
    bool manyValues = false;
};

const std::vector<EditOperation>& MD3EditOperations();

} // namespace quillon::cli
