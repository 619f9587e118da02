// Masks that pick archive members: "*" and "?" wildcards, "\" equal to "/", letter case ignored.
// A mask with a folder part matches the member's folder and file name separately (so "*" never
// crosses a folder); a mask without one matches the file name in every folder.
#pragma once

#include <string>
#include <string_view>

namespace quillon {

class TMemberMask {
public:
    explicit TMemberMask(std::string_view mask);
    // `folder` ends in "/" (empty at the archive's root); both use "/".
    bool Matches(std::string_view folder, std::string_view file) const;

    // Wildcard match of a whole text, case ignored; linear in practice (one backtrack point).
    static bool WildcardMatch(std::string_view pattern, std::string_view text);

private:
    bool HasFolder = false;
    std::string FolderPattern;
    std::string FilePattern;
};

} // namespace quillon
