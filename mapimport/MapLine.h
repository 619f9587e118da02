// The words of one .map line. Words are separated by runs of space characters only (a tab is part
// of a word, so tab-separated lines never read as plane lines), and a quoted text keeps its
// spaces and its quotes. A plane line is "( x y z ) ( x y z ) ( x y z ) texture shiftS shiftT
// rotation scaleS scaleT", possibly followed by words that are ignored.
#pragma once

#include "core/VectorMath.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

std::vector<std::string_view> SplitMapLine(std::string_view line);

// The whole word as a finite decimal number ("." as separator), or nothing.
std::optional<float> ParseMapNumber(std::string_view word);

struct TPlaneLine {
    TVector points[3]; // as written in the file, in file order
    std::string texture;
    float shiftS = 0, shiftT = 0, rotation = 0;
    float scaleS = 1, scaleT = 1;
};

// Lines with fewer than 15 words are not plane lines. Missing trailing values keep their
// defaults; a word that is not a number reads as 0 (1 for a scale), and a scale of 0 becomes 1.
std::optional<TPlaneLine> ParsePlaneLine(std::string_view line);

} // namespace quillon
