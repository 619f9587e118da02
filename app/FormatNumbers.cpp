#include "FormatNumbers.h"

#include <charconv>
#include <cmath>

namespace quillon {

namespace {
std::string_view TrimmedNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    // from_chars takes no "+", but a typed "+2" is plainly a number.
    if (text.size() > 1 && text.front() == '+' && text[1] != '-')
        text.remove_prefix(1);
    return text;
}

template <class T> std::optional<T> ParseWhole(std::string_view text) {
    text = TrimmedNumber(text);
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
}
} // namespace

std::string FormatFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::optional<float> ParseFloat(std::string_view text) {
    const auto value = ParseWhole<float>(text);
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return value;
}

std::optional<int> ParseInt(std::string_view text) {
    return ParseWhole<int>(text);
}

} // namespace quillon
