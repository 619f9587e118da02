// Numbers as the user and the settings file see them: "." is the decimal separator whatever the
// locale, floats are printed in their shortest exact form, and a text counts as a number only
// when all of it, apart from surrounding blanks (spaces, tabs, line ends), is one.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quillon {

std::string FormatFloat(float value);
// A decimal float literal: an optional sign, digits with an optional "." (digits on at least one
// side of it), an optional exponent ("e" or "E", optional sign, digits). A value too small for a
// float becomes zero, as in a literal; one too large, hexadecimal, "inf" and "nan" are refused.
std::optional<float> ParseFloat(std::string_view text);
// An optional sign and decimal digits, within the range of int.
std::optional<int> ParseInt(std::string_view text);

} // namespace quillon
