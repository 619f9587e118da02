// A typed number is checked against the grammar of a decimal literal before it is converted:
// std::from_chars alone also takes "inf" and "nan", refuses a leading "+", and reports a value
// below a float's range as an error where a literal simply becomes zero.
#include "FormatNumbers.h"

#include <cfloat>
#include <charconv>
#include <cmath>

namespace quillon {

namespace {
bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// Reads past an optional sign; returns the position after it.
size_t SkipSign(std::string_view text, size_t at) {
    return at < text.size() && (text[at] == '+' || text[at] == '-') ? at + 1 : at;
}

// Reads past a run of digits; returns the position after it.
size_t SkipDigits(std::string_view text, size_t at) {
    while (at < text.size() && IsDigit(text[at]))
        ++at;
    return at;
}

bool IsInteger(std::string_view text) {
    const size_t start = SkipSign(text, 0);
    const size_t end = SkipDigits(text, start);
    return end > start && end == text.size();
}

bool IsDecimalFloat(std::string_view text) {
    size_t at = SkipSign(text, 0);
    const size_t wholeStart = at;
    at = SkipDigits(text, at);
    size_t digits = at - wholeStart;
    if (at < text.size() && text[at] == '.') {
        const size_t fractionStart = ++at;
        at = SkipDigits(text, at);
        digits += at - fractionStart;
    }
    if (digits == 0)
        return false;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        const size_t exponentStart = SkipSign(text, at + 1);
        at = SkipDigits(text, exponentStart);
        if (at == exponentStart)
            return false;
    }
    return at == text.size();
}

// from_chars takes no "+".
std::string_view WithoutPlus(std::string_view text) {
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    return text;
}

template <class T> std::errc Convert(std::string_view text, T& value) {
    return std::from_chars(text.data(), text.data() + text.size(), value).ec;
}
} // namespace

std::string FormatFloat(float value) {
    char buffer[32];
    const auto result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    return std::string(buffer, result.ptr);
}

std::optional<float> ParseFloat(std::string_view text) {
    text = Trimmed(text);
    if (!IsDecimalFloat(text))
        return std::nullopt;
    text = WithoutPlus(text);
    float value = 0;
    const std::errc error = Convert(text, value);
    if (error == std::errc())
        return value;
    // Out of a float's range: the wider conversion tells a vanishing value from a huge one.
    long double wide = 0;
    if (error != std::errc::result_out_of_range || Convert(text, wide) != std::errc() ||
        std::fabs(wide) > FLT_MAX)
        return std::nullopt;
    return static_cast<float>(wide);
}

std::optional<int> ParseInt(std::string_view text) {
    text = Trimmed(text);
    if (!IsInteger(text))
        return std::nullopt;
    int value = 0;
    if (Convert(WithoutPlus(text), value) != std::errc())
        return std::nullopt;
    return value;
}

} // namespace quillon
