#include "FileReader.h"

#include "FileError.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

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

bool TFileReader::Fits(uint64_t count, uint64_t recordSize) {
    const uint64_t left = Pos > FileSize ? 0 : FileSize - Pos;
    if (!CountFits(count, recordSize, left))
        return Refuse(TRefusalKind::PastEnd, count, recordSize);
    if (!CountFits(count, recordSize, Budget))
        return Refuse(TRefusalKind::OverBudget, count, recordSize);
    return true;
}

bool TFileReader::SeekSigned(int64_t offset) {
    if (offset < 0) {
        Refused = {TRefusalKind::BeforeStart, static_cast<uint64_t>(offset), 0, 0, Budget, 0};
        return false;
    }
    Pos = static_cast<uint64_t>(offset);
    return true;
}

bool TFileReader::FitsInFile(uint64_t count, uint64_t recordSize) {
    return CountFits(count, recordSize, FileSize) ||
           Refuse(TRefusalKind::LargerThanFile, count, recordSize);
}

bool TFileReader::Refuse(TRefusalKind kind, uint64_t count, uint64_t recordSize, int error) {
    Refused = {kind, Pos, count, recordSize, Budget, error};
    return false;
}

void TFileReader::Prefault(void* data, uint64_t bytes) {
#ifdef MADV_POPULATE_WRITE
    constexpr uint64_t Page = 4096;
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
        if (n < 0)
            return Refuse(TRefusalKind::ReadError, bytes, 1, errno);
        if (n == 0)
            return Refuse(TRefusalKind::FileShrank, bytes, 1);
        done += static_cast<uint64_t>(n);
    }
    Pos += bytes;
    Budget -= bytes;
    return true;
}

namespace {

std::string Number(uint64_t n) {
    return std::to_string(n);
}

// "16000 bytes", or the records and their size when the product would not fit in 64 bits.
std::string BytesText(uint64_t count, uint64_t recordSize) {
    if (TFileReader::CountFits(count, recordSize, UINT64_MAX))
        return Number(count * recordSize) + (count * recordSize == 1 ? " byte" : " bytes");
    return Number(count) + " records of " + Number(recordSize) + " bytes";
}

// Record names are nouns such as "header" or "surface 2 vertices"; the verb follows their number.
std::string Needs(std::string_view record) {
    return std::string(record) + (record.ends_with('s') ? " need " : " needs ");
}

} // namespace

std::string TFileReader::WrongIdent(std::string_view found, std::string_view expected) {
    std::string text = "ident is \"";
    for (const char c : found) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127 && c != '"' && c != '\\') {
            text += c;
            continue;
        }
        constexpr char Hex[] = "0123456789ABCDEF";
        text += {'\\', 'x', Hex[byte >> 4], Hex[byte & 15]};
    }
    return text + "\", expected \"" + std::string(expected) + "\"";
}

std::string TFileReader::Refusal(std::string_view record) const {
    const std::string wanted = Needs(record) + BytesText(Refused.count, Refused.recordSize);
    const std::string at = " at offset " + Number(Refused.offset);
    switch (Refused.kind) {
    case TRefusalKind::None:
        return {};
    case TRefusalKind::PastEnd:
        if (Refused.offset > FileSize)
            return "truncated: " + wanted + at + ", past the end of the " + Number(FileSize) +
                   "-byte file";
        return "truncated: " + wanted + at + ", " + Number(FileSize - Refused.offset) + " remain";
    case TRefusalKind::OverBudget:
        return "blocks overlap too often: " + wanted + at + ", but only " + Number(Refused.budget) +
               " of the " + Number(BudgetFactor * FileSize) +
               " bytes the file may be read for remain";
    case TRefusalKind::LargerThanFile:
        return "truncated: " + wanted + ", the whole file has " + Number(FileSize);
    case TRefusalKind::BeforeStart:
        return "bad offset: " + std::string(record) + " at offset " +
               std::to_string(static_cast<int64_t>(Refused.offset)) +
               ", before the start of the file";
    case TRefusalKind::FileShrank:
        return "truncated: " + wanted + at + ", the file shrank while it was read";
    case TRefusalKind::ReadError:
        return "read error: " + wanted + at + ": " + std::strerror(Refused.error);
    }
    return {};
}

} // namespace quillon
