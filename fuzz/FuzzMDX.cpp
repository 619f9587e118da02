// The MDX reader on arbitrary bytes; an animation that loads must save and load again, and
// posing a small mesh with each of its first frames must stay in bounds.
#include "FuzzFile.h"

#include "skeletal/MDX.h"
#include "skeletal/Pose.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quillon;
    const std::string& path = fuzz::WriteInput(data, size);
    TMDX animation;
    if (animation.LoadFromFile(path)) {
        TMDM mesh;
        mesh.Surfaces.resize(1);
        mesh.Surfaces[0].Vertices.resize(2);
        mesh.Surfaces[0].Vertices[0].Weights = {{0, 1, {1, 2, 3}}, {5, 0.5f, {0, 1, 0}}};
        mesh.Surfaces[0].Vertices[1].Weights = {{-3, 1, {1, 2, 3}}};
        mesh.Tags.resize(2);
        mesh.Tags[1].boneIndex = 3;
        for (int f = 0; f < int(animation.Frames.size()) && f < 4; ++f)
            Pose(mesh, animation, f, 0);
        const std::string out = path + ".out";
        if (!animation.SaveToFile(out))
            std::abort();
        TMDX again;
        if (!again.LoadFromFile(out) || !again.LoadBonesFromFile(path) ||
            !again.LoadFramesFromFile(path))
            std::abort();
    }
    return 0;
}
