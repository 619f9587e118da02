// Whether another process holds the game's archive. The game keeps its archives open with a
// lock while it runs; a read-only installation (for example under /usr/share) is not "in use",
// so the test opens the file for reading only and asks for a conflicting lock instead of trying
// to open it for writing.
#pragma once

#include <string>

namespace quillon {

// True only when another process holds a lock on the file that conflicts with an exclusive
// one. A file that does not exist or cannot be read is not held.
bool IsHeldByAnotherProcess(const std::string& path);

} // namespace quillon
