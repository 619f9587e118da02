// Numbers as the user and the settings file see them: "." is the decimal separator whatever the
// locale, floats are printed in their shortest exact form, and a text counts as a number only
// when all of it (apart from surrounding blanks) is one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

std::string FormatFloat(float value);
std::optional<float> ParseFloat(std::string_view text);
std::optional<int> ParseInt(std::string_view text);

} // namespace quillon
