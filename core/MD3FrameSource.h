// Reading another MD3 file for the frames to append to a model. The file is read step by step
// into a temporary model and checked against the current one on the way (tag count, first tag
// name, surface count and layout), so that a file that does not fit is refused before anything
// is appended. Only what appending needs is read: frames, tags, surface headers and vertices.
#pragma once

#include "MD3.h"

#include <optional>
#include <string>

namespace quillon {

enum class TFramesWanted { First, All };

// Fills `source` and returns nothing, or returns the text of the first failure. Throws
// FileError when the file cannot be opened.
std::optional<std::string> ReadFrameSource(const TMD3& model, const std::string& path,
                                           TFramesWanted wanted, TMD3& source);

// The file name without its folder, as the messages name a file.
std::string FileNameOf(const std::string& path);

} // namespace quillon
