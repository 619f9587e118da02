// A skin file assigns a shader or texture name to each surface by surface name, overriding the
// model's own names. Lines are "surface,shader"; names are kept in lower case with double quotes
// removed from the shader name, and lines without a shader name (the tag lines) are ignored.
#pragma once

#include "core/LastError.h"

#include <string>
#include <vector>

namespace quillon {

struct TSkinRec {
    std::string SurfaceName;  // lower case
    std::string ShaderName;   // lower case, without double quotes
    std::string ResolvedName; // what the last update found through this entry; empty until then
};

class TSkin : public TLastError {
public:
    // Empties the skin, then reads the file. False (the skin stays empty, LastError says why) for
    // an empty path or a file that does not exist. Throws FileError when an existing file cannot
    // be read.
    [[nodiscard]] bool Load(const std::string& path);
    void Clear() { Entries.clear(); }
    bool Empty() const { return Entries.empty(); }

    // The first entry for the surface name (compared in lower case); nullptr when none.
    TSkinRec* Find(const std::string& surfaceName);
    const TSkinRec* Find(const std::string& surfaceName) const;

    std::vector<TSkinRec> Entries;
};

} // namespace quillon
