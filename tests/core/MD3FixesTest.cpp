// Each fix on a model that needs it, checked on the model saved and read back: the finding is
// gone, and what the fix should not touch is as it was.
#include "core/MD3Fixes.h"
#include "core/MD3Check.h"

#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <set>
#include <tuple>

namespace quillon::test {
namespace {

const TModelLimits& Q3 = LimitsFor(TCheckTarget::Q3);

std::set<std::string> Codes(const TMD3& model) {
    std::set<std::string> codes;
    for (const TFinding& f : CheckMD3(model, Q3))
        codes.insert(f.Code);
    return codes;
}

std::set<TMD3Fix> AllBut(TMD3Fix fix) {
    std::set<TMD3Fix> skipped;
    for (const TMD3FixInfo& info : MD3Fixes())
        if (info.Fix != fix)
            skipped.insert(info.Fix);
    return skipped;
}

TMD3 Reloaded(TMD3 model) {
    TempDir dir;
    EXPECT_TRUE(model.SaveToFile(dir.File("model.md3")));
    TMD3 reloaded;
    EXPECT_TRUE(reloaded.LoadFromFile(dir.File("model.md3")));
    return reloaded;
}

// Runs only `fix`, saves the model, reads it back.
TMD3 FixAndReload(TMD3 model, TMD3Fix fix, std::vector<TFixReport>* reports = nullptr) {
    auto done = FixMD3(model, Q3, AllBut(fix));
    if (reports)
        *reports = std::move(done);
    return Reloaded(std::move(model));
}

bool SameBytes(const void* a, const void* b, size_t size) {
    return std::memcmp(a, b, size) == 0;
}

template <class T> bool SameArray(const std::vector<T>& a, const std::vector<T>& b) {
    return a.size() == b.size() && SameBytes(a.data(), b.data(), a.size() * sizeof(T));
}

// A triangle as what it draws: its corners' texture coordinates and positions in every frame.
// Compare models read back from files: t is flipped on the way, which may move its last bit.
using TCorner = std::tuple<float, float, std::vector<int16_t>>;
std::multiset<std::vector<TCorner>> DrawnTriangles(const THeader& h) {
    std::multiset<std::vector<TCorner>> drawn;
    for (const TSurface& s : h.Surfaces)
        for (const TMD3Triangle& t : s.Triangles) {
            std::vector<TCorner> corners;
            for (int32_t k : t.indexes) {
                std::vector<int16_t> positions;
                for (uint32_t f = 0; f < h.numFrames; ++f) {
                    const TMD3Vertex& v = s.Vertices[size_t{f} * s.numVerts + k];
                    positions.insert(positions.end(), {v.x, v.y, v.z, v.normal});
                }
                corners.emplace_back(s.TexCoords[k].s, s.TexCoords[k].t, positions);
            }
            drawn.insert(corners);
        }
    return drawn;
}

TEST(MD3Fixes, NamesAreParsedAndListedInOrder) {
    EXPECT_EQ(ParseMD3Fix("split"), TMD3Fix::Split);
    EXPECT_FALSE(ParseMD3Fix("Split"));
    EXPECT_EQ(MD3Fixes().front().Fix, TMD3Fix::Normals);
    EXPECT_EQ(MD3Fixes().back().Fix, TMD3Fix::Bounds);
    for (const TMD3FixInfo& info : MD3Fixes())
        EXPECT_EQ(ParseMD3Fix(info.Name), info.Fix);
}

TEST(MD3Fixes, BoundsAreMeasuredFromTheVerticesAndNothingElseChanges) {
    TMD3 model = BuildGridMD3(5, 4, 3);
    for (TMD3Frame& frame : model.Header.Frames) {
        frame.mins = {1, 1, 1};
        frame.maxs = {2, 2, 2};
        frame.localOrigin = {-7, 0, 0};
        frame.radius = 0.5f;
    }
    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Bounds, &reports);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Message, "box, origin and radius measured anew in 3 frames");
    EXPECT_TRUE(Codes(fixed).empty());
    for (uint32_t f = 0; f < 3; ++f) {
        const TMD3Frame& frame = fixed.Header.Frames[f];
        EXPECT_EQ(frame.mins, (TVector{0, 0, float(f)}));
        EXPECT_EQ(frame.maxs, (TVector{4, 3, float(f)}));
        EXPECT_EQ(frame.localOrigin, (TVector{2, 1.5f, float(f)}));
        EXPECT_FLOAT_EQ(frame.radius, 2.5f);
        EXPECT_STREQ(frame.name, model.Header.Frames[f].name);
    }
    EXPECT_TRUE(SameArray(fixed.Header.Tags, model.Header.Tags));
    EXPECT_TRUE(SameArray(fixed.Header.Surfaces[0].Vertices, model.Header.Surfaces[0].Vertices));
    EXPECT_TRUE(SameArray(fixed.Header.Surfaces[0].Triangles, model.Header.Surfaces[0].Triangles));
}

TEST(MD3Fixes, SoundFramesKeepTheOriginTheirAuthorChose) {
    TMD3 model = BuildGridMD3(5, 4, 2);
    model.Header.Frames[0].localOrigin = {0, 0, 0};
    model.Header.Frames[0].radius = 10;
    model.Header.Frames[0].maxs.x = 6;
    model.Header.Frames[1].maxs.y = 1;
    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Bounds, &reports);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Message, "box, origin and radius measured anew in 1 frame");
    EXPECT_TRUE(SameBytes(&fixed.Header.Frames[0], &model.Header.Frames[0], sizeof(TMD3Frame)));
    EXPECT_EQ(fixed.Header.Frames[1].maxs, (TVector{4, 3, 1}));
    EXPECT_TRUE(Codes(fixed).empty());
}

TEST(MD3Fixes, FaultyTrianglesAreDropped) {
    TMD3 model = BuildGridMD3(4, 3, 2);
    TSurface& s = model.Header.Surfaces[0];
    s.Triangles.push_back({{0, 1, 2}});  // on a line
    s.Triangles.push_back({{4, 4, 5}});  // a vertex twice
    s.Triangles.push_back({{4, 5, 99}}); // past the vertices
    s.numTriangles += 3;
    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Degenerate, &reports);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Message, "3 faulty triangles dropped in 1 surface");
    EXPECT_TRUE(Codes(fixed).empty());
    EXPECT_TRUE(DrawnTriangles(fixed.Header) ==
                DrawnTriangles(Reloaded(BuildGridMD3(4, 3, 2)).Header));
}

TEST(MD3Fixes, UnusedVerticesAreDroppedAndTrianglesRenumbered) {
    TMD3 model = BuildGridMD3(4, 3, 2);
    TSurface& s = model.Header.Surfaces[0];
    // Insert an unused vertex before all others in every frame.
    s.TexCoords.insert(s.TexCoords.begin(), {0.5f, 0.5f});
    for (uint32_t f = 0; f < 2; ++f)
        s.Vertices.insert(s.Vertices.begin() + f * 13, TMD3Vertex{100, 100, 100, 7});
    s.numVerts = 13;
    for (TMD3Triangle& t : s.Triangles)
        for (int32_t& k : t.indexes)
            ++k;
    ASSERT_TRUE(Codes(model).contains("unused-vertex"));
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Unused);
    const TMD3 grid = Reloaded(BuildGridMD3(4, 3, 2));
    EXPECT_TRUE(Codes(fixed).empty());
    EXPECT_TRUE(SameArray(fixed.Header.Surfaces[0].Vertices, grid.Header.Surfaces[0].Vertices));
    EXPECT_TRUE(SameArray(fixed.Header.Surfaces[0].Triangles, grid.Header.Surfaces[0].Triangles));
    EXPECT_TRUE(DrawnTriangles(fixed.Header) == DrawnTriangles(grid.Header));
}

TEST(MD3Fixes, IdenticalVerticesAreWelded) {
    TMD3 model = BuildGridMD3(4, 3, 2);
    TSurface& s = model.Header.Surfaces[0];
    s.TexCoords.push_back(s.TexCoords[5]);
    for (uint32_t f = 2; f-- > 0;)
        s.Vertices.insert(s.Vertices.begin() + f * 12 + 12, s.Vertices[f * 12 + 5]);
    s.numVerts = 13;
    s.Triangles[1].indexes[2] = 12; // (1, 4, 5) now reaches 5 through its copy
    ASSERT_TRUE(Codes(model).contains("duplicate-vertex"));
    const auto drawnBefore = DrawnTriangles(Reloaded(model).Header);
    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Weld, &reports);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Message, "1 identical vertex welded in 1 surface");
    EXPECT_TRUE(Codes(fixed).empty());
    EXPECT_EQ(fixed.Header.Surfaces[0].numVerts, 12u);
    EXPECT_EQ(fixed.Header.Surfaces[0].Triangles[1].indexes[2], 5);
    EXPECT_TRUE(DrawnTriangles(fixed.Header) == drawnBefore);
}

TEST(MD3Fixes, SurfacesOverTheLimitsAreSplitKeepingEveryTriangle) {
    // 50 x 50 = 2500 vertices and 4802 triangles, three frames, between two small surfaces.
    TMD3 model = BuildGridMD3(3, 3, 3);
    const std::string longName(62, 'n');
    model.Header.Surfaces.push_back(GridSurface("big", 50, 50, 3));
    StringToName(longName, model.Header.Surfaces.back().name);
    model.Header.Surfaces.push_back(GridSurface("after", 2, 2, 3));
    model.Header.numSurfaces = 3;
    const auto drawnBefore = DrawnTriangles(Reloaded(model).Header);

    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Split, &reports);
    ASSERT_EQ(reports.size(), 1u);
    const auto& surfaces = fixed.Header.Surfaces;
    ASSERT_GE(surfaces.size(), 5u);
    EXPECT_EQ(NameToString(surfaces.front().name), "grid");
    EXPECT_EQ(NameToString(surfaces.back().name), "after");
    for (size_t i = 1; i + 1 < surfaces.size(); ++i) {
        const TSurface& piece = surfaces[i];
        const std::string name = NameToString(piece.name);
        const std::string suffix = "_" + std::to_string(i);
        EXPECT_LE(name.size(), 63u);
        EXPECT_EQ(name, longName.substr(0, 63 - suffix.size()) + suffix);
        EXPECT_LE(piece.numVerts, 1000u);
        EXPECT_LE(piece.numTriangles, 2000u);
        EXPECT_STREQ(piece.Shaders[0].name, "models/test/big");
    }
    EXPECT_TRUE(DrawnTriangles(fixed.Header) == drawnBefore);
    const auto codes = Codes(fixed);
    EXPECT_FALSE(codes.contains("verts-per-surface"));
    EXPECT_FALSE(codes.contains("triangles-per-surface"));
    EXPECT_FALSE(codes.contains("unused-vertex"));
}

TEST(MD3Fixes, TrianglesOverTheLimitAloneAreSplitToo) {
    TMD3 model = BuildGridMD3(31, 31, 1); // 961 vertices, 1800 triangles
    TSurface& s = model.Header.Surfaces[0];
    s.Triangles.insert(s.Triangles.end(), s.Triangles.begin(), s.Triangles.begin() + 1000);
    s.numTriangles = 2800;
    const auto drawnBefore = DrawnTriangles(Reloaded(model).Header);
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Split);
    EXPECT_EQ(fixed.Header.numSurfaces, 2u);
    EXPECT_TRUE(DrawnTriangles(fixed.Header) == drawnBefore);
    EXPECT_TRUE(Codes(fixed).empty());
}

TEST(MD3Fixes, MissingNormalsFollowTheirFaces) {
    TMD3 model = BuildGridMD3(4, 3, 2);
    for (TMD3Vertex& v : model.Header.Surfaces[0].Vertices)
        std::swap(v.y, v.z); // upright, facing -y, normals still "up"
    std::vector<TFixReport> reports;
    const TMD3 fixed = FixAndReload(model, TMD3Fix::Normals, &reports);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Message, "24 missing normals renormalised in 1 surface");
    EXPECT_FALSE(Codes(fixed).contains("zero-normal"));
    for (const TMD3Vertex& v : fixed.Header.Surfaces[0].Vertices)
        EXPECT_EQ(v.normal, TMD3::EncodeNormal({0, -1, 0}));
}

TEST(MD3Fixes, AllFixesTogetherLeaveNothingFixableAndSkippedOnesStay) {
    TMD3 model = BuildGridMD3(40, 40, 2);
    TSurface& s = model.Header.Surfaces[0];
    s.Triangles.push_back({{0, 0, 1}});
    s.numTriangles++;
    for (TMD3Vertex& v : s.Vertices)
        std::swap(v.y, v.z);
    model.Header.Frames[1].radius = 1;

    TMD3 all = model;
    FixMD3(all, Q3, {});
    for (const TFinding& f : CheckMD3(all, Q3))
        EXPECT_FALSE(f.Fixable) << f.Code;

    TMD3 some = model;
    const auto reports = FixMD3(some, Q3, {TMD3Fix::Bounds, TMD3Fix::Normals});
    for (const TFixReport& r : reports)
        EXPECT_NE(r.Fix, TMD3Fix::Bounds);
    const auto codes = Codes(some);
    EXPECT_TRUE(codes.contains("radius-mismatch"));
    EXPECT_TRUE(codes.contains("zero-normal"));
    EXPECT_FALSE(codes.contains("degenerate-triangle"));
    EXPECT_FALSE(codes.contains("verts-per-surface"));
}

TEST(MD3Fixes, SurfacesThatCannotBeSplitAreReported) {
    TMD3 model = BuildGridMD3(7, 150, 1);
    model.Header.Surfaces[0].Triangles[0].indexes[0] = 5000;
    const auto reports = FixMD3(model, Q3, {TMD3Fix::Degenerate});
    EXPECT_EQ(std::count_if(reports.begin(), reports.end(),
                            [](const TFixReport& r) { return r.Fix == TMD3Fix::Split; }),
              1);
    EXPECT_EQ(model.Header.numSurfaces, 1u);
}

} // namespace
} // namespace quillon::test
