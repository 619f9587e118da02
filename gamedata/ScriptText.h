// Small text rules shared by the script, skin and shader-list readers: trimming removes every
// character up to code 32 from both ends, lower-casing is ASCII only (game data names are ASCII,
// and other bytes must pass unchanged), and files are split into lines at CR, LF or CR LF.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quillon {

std::string Trim(std::string_view text);
std::string ToLower(std::string_view text);
bool Contains(std::string_view text, std::string_view part);
bool EqualsIgnoringCase(std::string_view a, std::string_view b);
std::string ReplaceAll(std::string text, char from, char to);
std::string RemoveAll(std::string text, char what);
std::vector<std::string> SplitLines(std::string_view text);
// The whole file as lines. Throws FileError when it cannot be read or is too large for a text
// file of the game (a guard against archives that unpack into giant files).
std::vector<std::string> ReadTextLines(const std::string& path);

} // namespace quillon
