// Every MD3 of OpenArena's player archive (unpacked into the build tree by ./test.sh) loads,
// and load -> save -> load -> save is byte-identical.
#include "support/MD3Builder.h"

#include "core/MD3.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

namespace {
std::vector<std::string> OpenArenaModels() {
    std::vector<std::string> files;
    const fs::path root = fs::path(QUILLON_TESTDATA_DIR) / "openarena";
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::end(it);
         it.increment(ec))
        if (it->is_regular_file() && it->path().extension() == ".md3")
            files.push_back(it->path().string());
    std::sort(files.begin(), files.end());
    return files;
}
} // namespace

TEST(OpenArenaModels, LoadAndRewriteByteIdentical) {
    const std::vector<std::string> files = OpenArenaModels();
    if (files.empty())
        GTEST_SKIP() << "no OpenArena models under " << QUILLON_TESTDATA_DIR
                     << "/openarena (./test.sh unpacks them from openarena-081-players)";
    TempDir dir;
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        TMD3 model;
        ASSERT_TRUE(model.LoadFromFile(file));
        ASSERT_TRUE(model.SaveToFile(dir.File("1.md3")));
        const std::vector<char> original = ReadBytes(file);
        const std::vector<char> first = ReadBytes(dir.File("1.md3"));
        // The writer's layout holds the same blocks; the sizes match when the original had no gaps.
        EXPECT_LE(first.size(), original.size());
        TMD3 again;
        ASSERT_TRUE(again.LoadFromFile(dir.File("1.md3")));
        ASSERT_TRUE(again.SaveToFile(dir.File("2.md3")));
        EXPECT_EQ(first, ReadBytes(dir.File("2.md3")));
        // Apart from the layout, the vertices are the original's exactly.
        for (size_t s = 0; s < model.Header.Surfaces.size(); ++s) {
            const TSurface& a = model.Header.Surfaces[s];
            const TSurface& b = again.Header.Surfaces[s];
            ASSERT_EQ(a.Vertices.size(), b.Vertices.size());
            EXPECT_EQ(0, std::memcmp(a.Vertices.data(), b.Vertices.data(),
                                     a.Vertices.size() * sizeof(TMD3Vertex)));
        }
    }
}
