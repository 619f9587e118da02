// The animation script (".aninc") beside an MDX file: one line per animation, a name and seven
// integers, of which the first frame, the number of frames and the frames per second are used.
// "//" starts a comment; lines that do not hold exactly eight tokens are skipped.
#pragma once

#include "core/LastError.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

struct TANINCFrame {
    std::string name;
    std::array<int32_t, 7> values{};

    int32_t FirstFrame() const { return values[0]; }
    int32_t NumFrames() const { return values[1]; }
    int32_t LastFrame() const { return values[0] + values[1] - 1; }
    int32_t FramesPerSecond() const { return values[3]; }
};

// A token that should be an integer is not; the message names it.
class ConversionError : public std::runtime_error {
public:
    explicit ConversionError(const std::string& token)
        : std::runtime_error("'" + token + "' is not a valid integer value"), Token(token) {}
    std::string Token;
};

class TANINC : public TLastError {
public:
    // Empties the entries and parses the script. False (no entries) when the file does not
    // exist. A non-integer stops parsing with ConversionError; the entries before it stay.
    // In both cases LastError says why, with the line number of a bad integer.
    [[nodiscard]] bool LoadFromFile(const std::string& path);
    // The same parse on text already in memory.
    void Parse(std::string_view text);

    size_t Count() const { return Entries.size(); }

    std::vector<TANINCFrame> Entries;
};

} // namespace quillon
