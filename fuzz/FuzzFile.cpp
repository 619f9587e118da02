#include "FuzzFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>

namespace quillon::fuzz {

const std::string& WriteInput(const uint8_t* data, size_t size) {
    static const std::string path = [] {
        const char* tmp = std::getenv("TMPDIR");
        return std::string(tmp ? tmp : "/tmp") + "/quillon-fuzz-" + std::to_string(::getpid());
    }();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd >= 0) {
        size_t done = 0;
        while (done < size) {
            const ssize_t n = ::write(fd, data + done, size - done);
            if (n <= 0)
                break;
            done += size_t(n);
        }
        ::close(fd);
    }
    return path;
}

} // namespace quillon::fuzz
