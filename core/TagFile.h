// ".tag" files: the characters "TAG3", 12 bytes that carry nothing we use, then 112-byte tag
// records up to the end of the file. Bytes after the last whole record are ignored.
#pragma once

#include "MD3.h"

#include <optional>
#include <string>
#include <vector>

namespace quillon {

inline constexpr uint32_t TagFileIdent = 0x33474154; // "TAG3"
inline constexpr uint64_t TagFileHeaderSize = 16;

enum class TTagFileStatus { Read, NotATagFile, Truncated };

struct TTagFile {
    TTagFileStatus status = TTagFileStatus::NotATagFile;
    std::vector<TMD3Tag> tags;
    std::string error; // why the file was not read; empty when it was
};

// Reads every record before returning, so a caller never sees half a tag block. Throws
// FileError when the file cannot be opened.
TTagFile ReadTagFile(const std::string& path);

} // namespace quillon
