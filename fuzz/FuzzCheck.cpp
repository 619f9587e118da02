// The model check and every fix on arbitrary MD3 bytes: a file that loads is checked for both
// targets, fixed, saved and read back, and then has nothing fixable left.
#include "FuzzFile.h"

#include "core/MD3Check.h"
#include "core/MD3Fixes.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const std::string& path = fuzz::WriteInput(data, size);
    TMD3 md3;
    if (!md3.LoadFromFile(path))
        return 0;
    CheckMD3(md3, LimitsFor(TCheckTarget::ET));
    const TModelLimits& limits = LimitsFor(TCheckTarget::Q3);
    CheckMD3(md3, limits);
    FixMD3(md3, limits, {});
    const std::string out = path + ".out";
    TMD3 fixed;
    if (!md3.SaveToFile(out) || !fixed.LoadFromFile(out))
        std::abort();
    for (const TFinding& finding : CheckMD3(fixed, limits))
        if (finding.Fixable)
            std::abort();
    return 0;
}
