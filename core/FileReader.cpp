#include "FileReader.h"

#include "FileError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace quillon {

TFileReader::TFileReader(const std::string& path) : FilePath(path) {
    Fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (Fd < 0)
        throw FileError::FromErrno(path, "cannot open");
    struct stat st {};
    const bool statOk = ::fstat(Fd, &st) == 0;
    if (!statOk || !S_ISREG(st.st_mode)) {
        const int err = statOk ? EISDIR : errno;
        ::close(Fd);
        errno = err;
        throw FileError::FromErrno(path, "cannot open");
    }
    FileSize = static_cast<uint64_t>(st.st_size);
    Budget = BudgetFactor * FileSize;
}

TFileReader::~TFileReader() {
    if (Fd >= 0)
        ::close(Fd);
}

bool TFileReader::Fits(uint64_t count, uint64_t recordSize) const {
    const uint64_t left = Pos > FileSize ? 0 : FileSize - Pos;
    return CountFits(count, recordSize, std::min(left, Budget));
}

void TFileReader::Prefault(void* data, uint64_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr uint64_t Page = 4096, Worthwhile = 1 << 20;
    if (bytes < Worthwhile)
        return;
    const auto begin = (reinterpret_cast<uintptr_t>(data) + Page - 1) & ~(Page - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(Page - 1);
    if (end > begin)
        ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)data;
    (void)bytes;
#endif
}

bool TFileReader::Read(void* dst, uint64_t bytes) {
    if (!Fits(bytes, 1))
        return false;
    auto* out = static_cast<char*>(dst);
    uint64_t done = 0;
    while (done < bytes) {
        const ssize_t n = ::pread(Fd, out + done, bytes - done, static_cast<off_t>(Pos + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<uint64_t>(n);
    }
    Pos += bytes;
    Budget -= bytes;
    return true;
}

} // namespace quillon
