// Every OpenArena player MD3 (unpacked by ./test.sh from Debian's openarena-081-players) exported
// as glTF and imported back: on the same 1/64 grid, normals within one encoding step, tags within
// 1e-4, the frames and their names kept. Skips when the game data is absent.
#include "MD3Comparison.h"
#include "support/MD3Builder.h"

#include "interchange/GltfExport.h"
#include "interchange/ModelImport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

// The model as an import gives it back: surfaces without triangles are not exported, and
// vertices no triangle uses are not imported.
bool HasUnusedParts(const TMD3& md3) {
    for (const TSurface& surface : md3.Header.Surfaces) {
        std::vector<bool> used(surface.numVerts, false);
        for (const TMD3Triangle& t : surface.Triangles)
            for (int32_t index : t.indexes)
                used[index] = true;
        if (surface.numTriangles == 0 || std::find(used.begin(), used.end(), false) != used.end())
            return true;
    }
    return false;
}

TEST(OpenArenaImport, EveryPlayerModelComesBackFromGltfAsItWas) {
    const std::string players = std::string(QUILLON_TESTDATA_DIR) + "/openarena/models/players";
    if (!fs::exists(players))
        GTEST_SKIP() << "OpenArena models not unpacked (./test.sh unpacks them)";
    const std::string work = std::string(QUILLON_EXPORT_WORK_DIR) + "/openarena-import";
    fs::remove_all(work);
    fs::create_directories(work);
    int compared = 0, skipped = 0;
    for (const auto& entry : fs::recursive_directory_iterator(players)) {
        if (entry.path().extension() != ".md3")
            continue;
        const std::string path = entry.path().string();
        TMD3 md3;
        ASSERT_TRUE(md3.LoadFromFile(path)) << path;
        if (HasUnusedParts(md3)) {
            ++skipped;
            continue;
        }
        TExportModel model;
        model.MD3 = &md3;
        const std::string glb = work + "/model.glb";
        ASSERT_TRUE(ExportGltf(model, {}, glb).Ok()) << path;
        TMD3 back;
        const TImportResult result = ImportModel(glb, {}, back);
        ASSERT_TRUE(result.Ok()) << path << ": " << result.Error;
        ExpectSameModel(md3, back, path);
        ++compared;
    }
    std::cout << "OpenArena players: " << compared << " models compared, " << skipped
              << " with unused vertices or empty surfaces left out\n";
    EXPECT_GT(compared, 30);
}

} // namespace
} // namespace quillon::test
