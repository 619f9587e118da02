// The MilkShape reader on arbitrary bytes: it must never crash, hang or overallocate.
#include "FuzzFile.h"

#include "skeletal/MS3D.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quillon::TMS3D model;
    model.LoadFromFile(quillon::fuzz::WriteInput(data, size));
    return 0;
}
