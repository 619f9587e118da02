// How quillon-cli prints model-check findings: as lines "file: severity [code] text", or as JSON
// objects with every field of the finding's place. Shared by `check` and `player`.
#pragma once

#include "core/Finding.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

namespace quillon::cli {

// Control and non-ASCII bytes of names shown as "?", so a broken name cannot garble a terminal.
std::string Printable(std::string text);
nlohmann::json FindingsJson(const std::vector<TFinding>& findings);
void PrintJson(const nlohmann::json& j);
void PrintLines(const std::vector<TFinding>& findings);

} // namespace quillon::cli
