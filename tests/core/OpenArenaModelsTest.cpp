// Every MD3 of OpenArena's player archive (unpacked into the build tree by ./test.sh) loads,
// load -> save changes only the layout (and at most the last bit of t), and
// load -> save -> load -> save is byte-identical.
#include "support/MD3Builder.h"

#include "core/MD3.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <stdexcept>

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
// The blocks of a raw MD3 file, found through its own offsets.
struct RawBlocks {
    std::vector<std::string> fixed; // header and surface headers without offsets, frames, tags...
    std::vector<float> s, t;        // texture coordinates as stored
};

std::string Slice(const std::vector<char>& bytes, uint64_t at, uint64_t size) {
    if (at + size > bytes.size())
        throw std::runtime_error("block outside the file");
    return std::string(bytes.data() + at, size);
}

RawBlocks Blocks(const std::vector<char>& bytes) {
    RawBlocks out;
    THeaderRecord h;
    std::memcpy(&h, bytes.data(), sizeof h);
    out.fixed.push_back(Slice(bytes, 0, 92)); // up to the offsets
    out.fixed.push_back(Slice(bytes, h.ofsFrames, uint64_t{h.numFrames} * sizeof(TMD3Frame)));
    out.fixed.push_back(
        Slice(bytes, h.ofsTags, uint64_t{h.numFrames} * h.numTags * sizeof(TMD3Tag)));
    uint64_t start = h.ofsSurfaces;
    for (uint32_t i = 0; i < h.numSurfaces; ++i) {
        TSurfaceRecord sr;
        std::memcpy(&sr, bytes.data() + start, sizeof sr);
        out.fixed.push_back(Slice(bytes, start, 88)); // up to the offsets
        out.fixed.push_back(
            Slice(bytes, start + sr.ofsShaders, uint64_t{sr.numShaders} * sizeof(TMD3Shader)));
        out.fixed.push_back(Slice(bytes, start + sr.ofsTriangles,
                                  uint64_t{sr.numTriangles} * sizeof(TMD3Triangle)));
        out.fixed.push_back(Slice(bytes, start + sr.ofsXyzNormals,
                                  uint64_t{sr.numVerts} * h.numFrames * sizeof(TMD3Vertex)));
        const std::string st = Slice(bytes, start + sr.ofsSt, uint64_t{sr.numVerts} * 8);
        for (uint32_t k = 0; k < sr.numVerts; ++k) {
            TMD3TexCoord tc;
            std::memcpy(&tc, st.data() + k * 8, 8);
            out.s.push_back(tc.s);
            out.t.push_back(tc.t);
        }
        start += sr.ofsEnd;
    }
    return out;
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
        // Only the layout changed, and at most the last bit of t.
        const RawBlocks before = Blocks(original), after = Blocks(first);
        EXPECT_EQ(before.fixed, after.fixed);
        EXPECT_EQ(before.s, after.s);
        ASSERT_EQ(before.t.size(), after.t.size());
        for (size_t k = 0; k < before.t.size(); ++k)
            EXPECT_LE(std::fabs(before.t[k] - after.t[k]),
                      std::fabs(std::nextafter(before.t[k], 2.0f) - before.t[k]))
                << "t of vertex " << k;
        TMD3 again;
        ASSERT_TRUE(again.LoadFromFile(dir.File("1.md3")));
        ASSERT_TRUE(again.SaveToFile(dir.File("2.md3")));
        EXPECT_EQ(first, ReadBytes(dir.File("2.md3")));
    }
}
