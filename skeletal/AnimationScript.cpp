#include "AnimationScript.h"

#include "core/FileError.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace quillon {

namespace {

bool IsBlank(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Tokens separated by runs of spaces and tabs; stops after `limit` + 1 so an over-long line is
// recognised without splitting all of it.
std::vector<std::string_view> Tokens(std::string_view line, size_t limit) {
    std::vector<std::string_view> tokens;
    size_t i = 0;
    while (i < line.size() && tokens.size() <= limit) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

int32_t ToInteger(std::string_view token) {
    std::string_view digits = token;
    if (digits.size() > 1 && digits.front() == '+')
        digits.remove_prefix(1);
    int32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || end != digits.data() + digits.size())
        throw ConversionError(std::string(token));
    return value;
}

} // namespace

void TANINC::Parse(std::string_view text) {
    Entries.clear();
    ClearError();
    constexpr size_t TokensPerEntry = 8;
    size_t pos = 0;
    for (size_t lineNumber = 1; pos < text.size(); ++lineNumber) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = Trim(text.substr(pos, end - pos));
        // CR LF ends one line, not two, so that the numbers in reasons match an editor's.
        pos = end + (text.substr(end, 2) == "\r\n" ? 2 : 1);
        if (const size_t comment = line.find("//"); comment != std::string_view::npos)
            line = Trim(line.substr(0, comment));
        if (line.empty())
            continue;
        const std::vector<std::string_view> tokens = Tokens(line, TokensPerEntry);
        if (tokens.size() != TokensPerEntry)
            continue;
        TANINCFrame entry;
        entry.name = std::string(tokens[0]);
        try {
            for (size_t k = 0; k < entry.values.size(); ++k)
                entry.values[k] = ToInteger(tokens[k + 1]);
        } catch (const ConversionError& error) {
            Fail("line " + std::to_string(lineNumber) + ": " + error.what());
            throw;
        }
        Entries.push_back(std::move(entry));
    }
}

bool TANINC::LoadFromFile(const std::string& path) {
    Entries.clear();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return Fail("no such file");
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError::FromErrno(path, "cannot open");
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Parse(text);
    return true;
}

} // namespace quillon
