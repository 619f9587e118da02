// Writes seed files for the skeletal fuzzers: small MDM (compact and with gaps), MDX, MDS and
// MS3D files and a few animation scripts.
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include <iostream>

using namespace quillon;
using namespace quillon::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_skeletal_seeds FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    int n = 0;
    auto write = [&](const std::vector<char>& bytes, const char* extension) {
        WriteBytes(folder + "/seed" + std::to_string(n++) + extension, bytes);
    };
    for (bool gaps : {false, true})
        for (MDMShape shape : {MDMShape{1, 3, 1, 1, 1, 1, 2}, MDMShape{2, 4, 2, 2, 3, 2, 4},
                               MDMShape{0, 0, 0, 0, 0, 1, 1}})
            write(MDMFileBytes(BuildMDM(shape), gaps), ".mdm");
    const TempDir dir;
    for (auto [frames, bones] : {std::pair{1, 1}, {2, 3}, {0, 2}}) {
        TMDX mdx = BuildMDX(frames, bones);
        if (!mdx.SaveToFile(dir.File("a.mdx"))) {
            std::cerr << mdx.LastError() << "\n";
            return 1;
        }
        write(ReadBytes(dir.File("a.mdx")), ".mdx");
    }
    write(MDSFileBytes(BuildMDS(2, 4, {2})), ".mds");
    write(MDSFileBytes(BuildMDS(1, 6, {1, 5}, 2)), ".mds");
    write(MS3DFileBytes(BuildMS3D(4, 1, 2)), ".ms3d");
    write(MS3DFileBytes(BuildMS3D(0, 0, 0)), ".ms3d");
    for (std::string text : {"walk 0 10 10 15 0 0 0 // walk\n\trun\t10 5 5 20 0 0 0\r\n",
                             "a 1 2 3\n// only\nb 1 2 3 4 5 6 x\n"})
        write({text.begin(), text.end()}, ".aninc");
    return 0;
}
