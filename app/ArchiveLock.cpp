#include "ArchiveLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace quillon {

namespace {
// A POSIX record lock held by another process anywhere in the file.
bool HasConflictingRecordLock(int fd) {
    struct flock query = {};
    query.l_type = F_WRLCK;
    query.l_whence = SEEK_SET;
    query.l_start = 0;
    query.l_len = 0;
    return fcntl(fd, F_GETLK, &query) == 0 && query.l_type != F_UNLCK;
}

// A BSD lock held through another open file description.
bool HasConflictingFileLock(int fd) {
    if (flock(fd, LOCK_EX | LOCK_NB) == 0) {
        flock(fd, LOCK_UN);
        return false;
    }
    return errno == EWOULDBLOCK;
}
} // namespace

bool IsHeldByAnotherProcess(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool held = HasConflictingRecordLock(fd) || HasConflictingFileLock(fd);
    close(fd);
    return held;
}

} // namespace quillon
