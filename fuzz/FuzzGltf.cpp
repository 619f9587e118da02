// The glTF import on arbitrary bytes, as a .glb when they start like one and as .gltf JSON
// otherwise: it must never crash, hang or overallocate, and a refused file always comes with its
// reason. External files are looked for in a folder that does not exist, so an input reads
// nothing but itself.
#include "interchange/ModelImport.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const bool binary = size >= 4 && std::memcmp(data, "glTF", 4) == 0;
    quillon::TMD3 md3;
    const quillon::TImportResult result = quillon::ImportGltfFromMemory(
        std::span(data, size), binary, "/nonexistent-quillon-fuzz/", {}, md3);
    if (!result.Ok() && result.Error.empty())
        std::abort();
    if (result.Ok() && !md3.CountsMatchArrays())
        std::abort();
    return 0;
}
