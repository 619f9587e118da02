// The MDS reader on arbitrary bytes; a model that loads must convert, and the converted pair
// must save, load again and pose within bounds.
#include "FuzzFile.h"

#include "skeletal/MDS.h"
#include "skeletal/Pose.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const std::string& path = fuzz::WriteInput(data, size);
    TMDS mds;
    if (mds.LoadFromFile(path)) {
        TMDM mesh;
        TMDX animation;
        if (!mds.ConvertToSkeletal(mesh, animation))
            std::abort();
        for (int s = 0; s < int(mesh.Surfaces.size()) && s < 4; ++s)
            Pose(mesh, animation, 0, s);
        const std::string out = path + ".out";
        TMDM again;
        again.AskLimit = [](const std::string&) { return true; };
        if (!mesh.SaveToFile(out) || !again.LoadFromFile(out) || !animation.SaveToFile(out) ||
            !TMDX().LoadFromFile(out))
            std::abort();
    }
    return 0;
}
