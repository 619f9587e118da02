// The game's data were made for a case-blind file system: scripts, skins and archives name files
// in any letter case. A path that does not exist as written is looked up component by component,
// each component matched ignoring ASCII letter case against the folder's entries.
#pragma once

#include <string>

namespace quillon {

// The existing path for `path` (itself when it exists as written), or empty when no file or
// folder matches. Among entries that differ only in case, the first in name order wins, so the
// answer does not depend on the folder listing's order.
std::string FindPathIgnoringCase(const std::string& path);
// Like FindPathIgnoringCase, but only a regular file (or a link to one) counts.
std::string FindFileIgnoringCase(const std::string& path);
std::string FindFolderIgnoringCase(const std::string& path);

// Folder part (up to and including the last "/") and file part of a path.
std::string FolderPart(const std::string& path);
std::string FilePart(const std::string& path);
// The text after the last "." of the file part, with the dot; empty when there is none.
std::string ExtensionOf(const std::string& path);
std::string WithoutExtension(const std::string& path);
// Appends "/" unless the text is empty or already ends in one.
std::string WithTrailingSlash(std::string folder);

} // namespace quillon
