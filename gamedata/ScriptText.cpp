#include "ScriptText.h"

#include "core/FileError.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <sstream>

namespace quillon {

namespace {
constexpr std::streamoff MaxTextFileBytes = 64ll << 20;

char LowerChar(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}
bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
} // namespace

std::string Trim(std::string_view text) {
    size_t begin = 0, end = text.size();
    while (begin < end && IsTrimmed(text[begin]))
        ++begin;
    while (end > begin && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(begin, end - begin));
}

std::string ToLower(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), LowerChar);
    return out;
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerChar(x) == LowerChar(y);
           });
}

std::string ReplaceAll(std::string text, char from, char to) {
    std::replace(text.begin(), text.end(), from, to);
    return text;
}

std::string RemoveAll(std::string text, char what) {
    text.erase(std::remove(text.begin(), text.end(), what), text.end());
    return text;
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r')
            continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.emplace_back(text.substr(start));
    return lines;
}

std::vector<std::string> ReadTextLines(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in)
        throw FileError::FromErrno(path, "cannot open");
    const std::streamoff size = in.tellg();
    if (size < 0)
        throw FileError(path, "cannot read");
    if (size > MaxTextFileBytes)
        throw FileError(path, "too large for a text file of the game");
    std::string text(static_cast<size_t>(size), '\0');
    in.seekg(0);
    if (!in.read(text.data(), size))
        throw FileError(path, "cannot read");
    return SplitLines(text);
}

} // namespace quillon
