#include "MapLine.h"

#include <charconv>
#include <cmath>

namespace quillon {

std::vector<std::string_view> SplitMapLine(std::string_view line) {
    std::vector<std::string_view> words;
    size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        const size_t start = i;
        char quote = 0;
        for (; i < line.size(); ++i) {
            const char c = line[i];
            if (quote) {
                if (c == quote)
                    quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == ' ') {
                break;
            }
        }
        words.push_back(line.substr(start, i - start));
    }
    return words;
}

std::optional<float> ParseMapNumber(std::string_view word) {
    // from_chars refuses a leading "+", which hand-written maps sometimes carry.
    if (word.size() > 1 && word[0] == '+' && word[1] != '-')
        word.remove_prefix(1);
    float value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    if (error != std::errc() || end != word.data() + word.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

namespace {

constexpr size_t MinPlaneWords = 15;

float NumberOr(const std::vector<std::string_view>& words, size_t index, float fallback) {
    if (index >= words.size())
        return fallback;
    return ParseMapNumber(words[index]).value_or(fallback);
}

float ScaleAt(const std::vector<std::string_view>& words, size_t index) {
    const float scale = NumberOr(words, index, 1);
    return scale == 0 ? 1 : scale;
}

} // namespace

std::optional<TPlaneLine> ParsePlaneLine(std::string_view line) {
    const std::vector<std::string_view> words = SplitMapLine(line);
    if (words.size() < MinPlaneWords)
        return std::nullopt;
    TPlaneLine plane;
    for (size_t p = 0; p < 3; ++p) {
        const size_t first = 1 + 5 * p; // each point is "( x y z )"
        plane.points[p] = {NumberOr(words, first, 0), NumberOr(words, first + 1, 0),
                           NumberOr(words, first + 2, 0)};
    }
    if (words.size() > 15)
        plane.texture = words[15];
    plane.shiftS = NumberOr(words, 16, 0);
    plane.shiftT = NumberOr(words, 17, 0);
    plane.rotation = NumberOr(words, 18, 0);
    plane.scaleS = ScaleAt(words, 19);
    plane.scaleT = ScaleAt(words, 20);
    return plane;
}

} // namespace quillon
