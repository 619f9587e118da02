// The MDM reader on arbitrary bytes, answering Yes to every limit question; a mesh that loads
// must save and load again, and posing it with an unrelated animation must stay in bounds.
#include "FuzzFile.h"

#include "skeletal/MDM.h"
#include "skeletal/Pose.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const std::string& path = fuzz::WriteInput(data, size);
    TMDM mesh;
    mesh.AskLimit = [](const std::string&) { return true; };
    if (mesh.LoadFromFile(path)) {
        TMDX animation;
        animation.Bones.resize(2);
        animation.Bones[1].parent = 0;
        animation.Frames.resize(1);
        animation.Frames[0].BoneFrames.resize(2);
        animation.Header.numBones = 2;
        animation.Header.numFrames = 1;
        for (int s = 0; s < int(mesh.Surfaces.size()) && s < 4; ++s)
            Pose(mesh, animation, 0, s);
        const std::string out = path + ".out";
        if (!mesh.SaveToFile(out))
            std::abort();
        TMDM again;
        again.AskLimit = mesh.AskLimit;
        if (!again.LoadFromFile(out))
            std::abort();
    }
    return 0;
}
