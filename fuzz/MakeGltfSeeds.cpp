// Writes seed files for the glTF import fuzzer: an MD3 with frames and tags and a skinned model,
// each exported by our own exporter as a .glb.
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"

#include <iostream>

using namespace quillon;
using namespace quillon::test;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_gltf_seeds FOLDER\n";
        return 2;
    }
    const std::string folder = argv[1];
    const TMD3 md3 = BuildGridMD3(3, 2, 3, 2);
    TExportModel morph;
    morph.MD3 = &md3;
    const TMDX mdx = BuildMDX(3, 3);
    const TMDM mdm = BuildBoundMDM({1, 6, 2, 4, 2, 1, 3}, mdx, 0);
    TExportModel skin;
    skin.MDM = &mdm;
    skin.MDX = &mdx;
    const bool written = ExportGltf(morph, {}, folder + "/morph.glb").Ok() &&
                         ExportGltf(skin, {}, folder + "/skin.glb").Ok();
    return written ? 0 : 1;
}
