// Raised when a file cannot be opened or created: it names the path and the system's reason.
// Format problems are never FileErrors; readers report them as a false result.
#pragma once

#include <stdexcept>
#include <string>

namespace quillon {

class FileError : public std::runtime_error {
public:
    FileError(const std::string& path, const std::string& reason)
        : std::runtime_error(path + ": " + reason), Path(path), Reason(reason) {}
    // Builds the reason from errno.
    static FileError FromErrno(const std::string& path, const std::string& action);

    std::string Path;
    std::string Reason;
};

} // namespace quillon
