// The MD3 reader on arbitrary bytes; a file that loads must also save and load again, and a
// refused file always comes with its reason.
#include "FuzzFile.h"

#include "core/MD3.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const std::string& path = fuzz::WriteInput(data, size);
    TMD3 md3;
    if (!md3.LoadFromFile(path)) {
        if (md3.LastError().empty())
            std::abort();
    } else {
        const std::string out = path + ".out";
        if (!md3.SaveToFile(out))
            std::abort();
        TMD3 again;
        if (!again.LoadFromFile(out))
            std::abort();
    }
    return 0;
}
