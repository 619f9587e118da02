#include "FileWriter.h"

#include "FileError.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quillon {

namespace {
constexpr size_t BufferSize = 1 << 20;

// The mode a newly created file would get: that of the file being replaced, else 0666 less umask.
mode_t ModeFor(const std::string& target) {
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// Writes every byte, counting them in `done`; false (errno set) when the system refuses.
bool WriteAll(int fd, const char* data, uint64_t bytes, uint64_t& done) {
    while (bytes > 0) {
        const ssize_t n = ::write(fd, data, bytes);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            errno = ENOSPC;
        if (n <= 0)
            return false;
        data += n;
        bytes -= static_cast<uint64_t>(n);
        done += static_cast<uint64_t>(n);
    }
    return true;
}
} // namespace

namespace {
// Saving through a symbolic link replaces the file it points to, not the link.
std::string ResolveLink(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved)
        return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}
} // namespace

TFileWriter::TFileWriter(const std::string& path)
    : Target(ResolveLink(path)), TempPath(Target + ".XXXXXX") {
    struct stat st {};
    if (::stat(Target.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
        errno = EISDIR;
        throw FileError::FromErrno(path, "cannot create");
    }
    Fd = ::mkstemp(TempPath.data());
    if (Fd < 0)
        throw FileError::FromErrno(path, "cannot create");
    ::fchmod(Fd, ModeFor(Target));
    Buffer.reserve(BufferSize);
}

TFileWriter::~TFileWriter() {
    if (Fd >= 0) {
        ::close(Fd);
        ::unlink(TempPath.c_str());
    }
}

bool TFileWriter::Write(const void* data, uint64_t bytes) {
    if (!Ok)
        return false;
    const char* p = static_cast<const char*>(data);
    Written += bytes;
    if (Buffer.size() + bytes <= BufferSize) {
        Buffer.insert(Buffer.end(), p, p + bytes);
        return true;
    }
    Ok = Flush() && (WriteAll(Fd, p, bytes, Flushed) ||
                     Failed("cannot write at byte " + std::to_string(Flushed)));
    return Ok;
}

bool TFileWriter::Flush() {
    const bool done = WriteAll(Fd, Buffer.data(), Buffer.size(), Flushed) ||
                      Failed("cannot write at byte " + std::to_string(Flushed));
    Buffer.clear();
    return done;
}

bool TFileWriter::Failed(const std::string& what) {
    if (FailureText.empty())
        FailureText = what + ": " + std::strerror(errno);
    return false;
}

bool TFileWriter::Commit() {
    if (Fd < 0) {
        errno = EBADF;
        return Failed("already committed");
    }
    Ok = Ok && Flush() && (::fsync(Fd) == 0 || Failed("cannot flush to disk"));
    const bool closed = ::close(Fd) == 0 || Failed("cannot close");
    Fd = -1;
    if (Ok && closed &&
        (std::rename(TempPath.c_str(), Target.c_str()) == 0 || Failed("cannot replace the file")))
        return true;
    ::unlink(TempPath.c_str());
    return false;
}

} // namespace quillon
