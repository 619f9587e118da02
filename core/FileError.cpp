#include "FileError.h"

#include <cerrno>
#include <cstring>

namespace quillon {

FileError FileError::FromErrno(const std::string& path, const std::string& action) {
    return FileError(path, action + ": " + std::strerror(errno));
}

} // namespace quillon
