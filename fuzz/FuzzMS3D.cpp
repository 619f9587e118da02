// The MilkShape reader on arbitrary bytes: it must never crash, hang or overallocate, and a
// refused file always comes with its reason.
#include "FuzzFile.h"

#include "skeletal/MS3D.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillon::TMS3D model;
    if (!model.LoadFromFile(quillon::fuzz::WriteInput(data, size)) && model.LastError().empty())
        std::abort();
    return 0;
}
