// One generated model per finding code, each with the fault present and with it just absent; the
// grid model of the builder is the sound starting point every case breaks in one way.
#include "core/MD3Check.h"

#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace quillon::test {
namespace {

const TModelLimits& Q3 = LimitsFor(TCheckTarget::Q3);

std::set<std::string> Codes(const TMD3& model) {
    std::set<std::string> codes;
    for (const TFinding& f : CheckMD3(model, Q3))
        codes.insert(f.Code);
    return codes;
}

const TFinding* Find(const std::vector<TFinding>& findings, const std::string& code) {
    auto it = std::find_if(findings.begin(), findings.end(),
                           [&](const TFinding& f) { return f.Code == code; });
    return it == findings.end() ? nullptr : &*it;
}

bool Has(const TMD3& model, const std::string& code) {
    return Codes(model).contains(code);
}

TMD3 Grid(int frames = 2) {
    return BuildGridMD3(4, 3, frames, 1);
}

void AddSurface(TMD3& model, TSurface surface) {
    model.Header.Surfaces.push_back(std::move(surface));
    model.Header.numSurfaces++;
}

TEST(MD3Check, TheGridHasNothingToReport) {
    EXPECT_TRUE(CheckMD3(Grid(), Q3).empty());
    EXPECT_TRUE(CheckMD3(BuildGridMD3(31, 31, 3, 16), Q3).empty());
}

TEST(MD3Check, CountsOverTheEngineLimits) {
    EXPECT_TRUE(Has(Grid(1025), "frames"));
    EXPECT_FALSE(Has(Grid(1024), "frames"));
    TMD3 none = Grid(1);
    none.Header.numFrames = 0;
    none.Header.Frames.clear();
    none.Header.Tags.clear();
    none.Header.Surfaces[0].Vertices.clear();
    EXPECT_TRUE(Has(none, "frames"));

    EXPECT_TRUE(Has(BuildGridMD3(4, 3, 2, 17), "tags"));
    EXPECT_FALSE(Has(BuildGridMD3(4, 3, 2, 16), "tags"));

    TMD3 many = Grid();
    for (int s = 1; s < 32; ++s)
        AddSurface(many, GridSurface("part" + std::to_string(s), 2, 2, 2));
    EXPECT_FALSE(Has(many, "surfaces"));
    AddSurface(many, GridSurface("part32", 2, 2, 2));
    EXPECT_TRUE(Has(many, "surfaces"));
}

TEST(MD3Check, SurfacesOverTheVertexAndTriangleLimits) {
    EXPECT_TRUE(Has(BuildGridMD3(7, 143, 1), "verts-per-surface"));  // 1001 vertices
    EXPECT_FALSE(Has(BuildGridMD3(8, 125, 1), "verts-per-surface")); // 1000

    TMD3 model = BuildGridMD3(31, 31, 1); // 961 vertices, 1800 triangles
    TSurface& s = model.Header.Surfaces[0];
    s.Triangles.insert(s.Triangles.end(), s.Triangles.begin(), s.Triangles.begin() + 200);
    s.numTriangles = 2000;
    EXPECT_FALSE(Has(model, "triangles-per-surface"));
    s.Triangles.push_back(s.Triangles[0]);
    s.numTriangles = 2001;
    const auto findings = CheckMD3(model, Q3);
    const TFinding* f = Find(findings, "triangles-per-surface");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Severity, TSeverity::Error);
    EXPECT_EQ(f->Where.Surface, 0);
    EXPECT_EQ(f->Where.SurfaceName, "grid");
    EXPECT_TRUE(f->Fixable);
}

TEST(MD3Check, NamesThatDoNotFitOrCannotBeNamed) {
    TMD3 model = Grid();
    StringToName(std::string(63, 'a'), model.Header.Surfaces[0].name);
    EXPECT_FALSE(Has(model, "name-length"));
    StringToName(std::string(64, 'a'), model.Header.Surfaces[0].name);
    EXPECT_TRUE(Has(model, "name-length"));

    model = Grid();
    StringToName(std::string(64, 't'), model.Header.Tags[0].name);
    StringToName(std::string(64, 't'), model.Header.Tags[1].name);
    EXPECT_TRUE(Has(model, "name-length"));

    for (const char* bad : {"models/my model/skin", "models\\test\\grid", "models/t\x01st"}) {
        model = Grid();
        model.SetShaderName(0, bad);
        EXPECT_TRUE(Has(model, "name-chars")) << bad;
    }
    model = Grid();
    model.SetShaderName(0, "models/test/grid_2.tga");
    EXPECT_TRUE(CheckMD3(model, Q3).empty());
}

TEST(MD3Check, TagsRenamedInLaterFramesAreLostThere) {
    TMD3 model = Grid(3);
    StringToName("tag_other", model.Header.Tags[2].name);
    const auto findings = CheckMD3(model, Q3);
    const TFinding* f = Find(findings, "tag-names");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Where.Frame, 2);
    EXPECT_EQ(f->Where.TagName, "tag_0");
}

TEST(MD3Check, TrianglesThatCannotShow) {
    TMD3 model = Grid();
    TSurface& s = model.Header.Surfaces[0];
    s.Triangles[3] = {{1, 1, 2}};
    s.Triangles[5] = {{0, 1, 2}}; // three vertices of one row: on a line in every frame
    const auto findings = CheckMD3(model, Q3);
    const TFinding* f = Find(findings, "degenerate-triangle");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Count, 2);
    EXPECT_EQ(f->Where.Triangle, 3);
    EXPECT_FALSE(Find(findings, "triangle-index"));

    // On a line in frame 0 only: it shows in frame 1.
    model = Grid();
    model.Header.Surfaces[0].Triangles[5] = {{0, 1, 2}};
    model.Header.Surfaces[0].Vertices[4 * 3 + 1].y = 5;
    EXPECT_FALSE(Has(model, "degenerate-triangle"));

    model = Grid();
    model.Header.Surfaces[0].Triangles[0].indexes[2] = 12;
    EXPECT_TRUE(Has(model, "triangle-index"));
    model.Header.Surfaces[0].Triangles[0].indexes[2] = -1;
    EXPECT_TRUE(Has(model, "triangle-index"));
}

TEST(MD3Check, UnusedAndDuplicateVertices) {
    TMD3 model = BuildGridMD3(4, 3, 1);
    TSurface& s = model.Header.Surfaces[0];
    // Vertex 12 copies vertex 5 exactly and takes its place in one triangle; vertex 13 and 14
    // are used by nothing.
    s.TexCoords.push_back(s.TexCoords[5]);
    s.Vertices.push_back(s.Vertices[5]);
    s.TexCoords.push_back({0.9f, 0.9f});
    s.Vertices.push_back({64, 64, 0, 0});
    s.TexCoords.push_back({0.8f, 0.9f});
    s.Vertices.push_back({64, 64, 0, 0});
    s.numVerts = 15;
    for (int32_t& index : s.Triangles[3].indexes)
        if (index == 5)
            index = 12;
    const auto findings = CheckMD3(model, Q3);
    const TFinding* unused = Find(findings, "unused-vertex");
    ASSERT_TRUE(unused);
    EXPECT_EQ(unused->Count, 2);
    EXPECT_EQ(unused->Where.Vertex, 13);
    const TFinding* duplicate = Find(findings, "duplicate-vertex");
    ASSERT_TRUE(duplicate);
    EXPECT_EQ(duplicate->Count, 1);
    EXPECT_EQ(duplicate->Where.Vertex, 12);
    EXPECT_EQ(duplicate->Severity, TSeverity::Note);

    // The same position with another texture coordinate (a seam) is no duplicate.
    s.TexCoords[12].s += 0.5f;
    EXPECT_FALSE(Has(model, "duplicate-vertex"));
}

TEST(MD3Check, NormalsNeverWritten) {
    // The grid faces up, so the code 0 (straight up) is right for it.
    TMD3 model = Grid();
    EXPECT_FALSE(Has(model, "zero-normal"));
    // Standing upright, the same code is a normal that was never written.
    for (TMD3Vertex& v : model.Header.Surfaces[0].Vertices)
        std::swap(v.y, v.z);
    const auto findings = CheckMD3(model, Q3);
    const TFinding* f = Find(findings, "zero-normal");
    ASSERT_TRUE(f);
    EXPECT_EQ(f->Count, 24); // 12 vertices in 2 frames
    EXPECT_EQ(f->Where.Frame, 0);
    EXPECT_EQ(f->Where.Vertex, 0);
    for (TMD3Vertex& v : model.Header.Surfaces[0].Vertices)
        v.normal = TMD3::EncodeNormal({0, 1, 0});
    EXPECT_FALSE(Has(model, "zero-normal"));
}

TEST(MD3Check, CoordinatesOnTheEdgeOfTheRange) {
    TMD3 model = Grid();
    model.Header.Surfaces[0].Vertices[7].x = 32766;
    EXPECT_FALSE(Has(model, "coordinate-range"));
    model.Header.Surfaces[0].Vertices[7].x = 32767;
    EXPECT_TRUE(Has(model, "coordinate-range"));
    model.Header.Surfaces[0].Vertices[7].x = -32768;
    EXPECT_TRUE(Has(model, "coordinate-range"));
}

TEST(MD3Check, FrameBoxesAndSpheresThatLeaveVerticesOut) {
    TMD3 model = Grid(3);
    model.Header.Frames[1].maxs.x -= 0.01f; // within the rounding of 1/64
    model.Header.Frames[1].radius -= 0.01f;
    EXPECT_TRUE(CheckMD3(model, Q3).empty());

    model.Header.Frames[1].maxs.x -= 1;
    model.Header.Frames[2].mins.z += 0.5f;
    auto findings = CheckMD3(model, Q3);
    const TFinding* box = Find(findings, "bounds-mismatch");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->Count, 2);
    EXPECT_EQ(box->Where.Frame, 1);
    EXPECT_FALSE(Find(findings, "radius-mismatch"));

    model = Grid(3);
    model.Header.Frames[2].radius -= 1;
    findings = CheckMD3(model, Q3);
    ASSERT_TRUE(Find(findings, "radius-mismatch"));
    EXPECT_EQ(Find(findings, "radius-mismatch")->Where.Frame, 2);
    EXPECT_FALSE(Find(findings, "bounds-mismatch"));

    // A box turned inside out, or not a number, never holds anything.
    model = Grid();
    std::swap(model.Header.Frames[0].mins.y, model.Header.Frames[0].maxs.y);
    EXPECT_TRUE(Has(model, "bounds-mismatch"));
    model = Grid();
    model.Header.Frames[0].radius = std::nanf("");
    EXPECT_TRUE(Has(model, "radius-mismatch"));
}

TEST(MD3Check, SurfaceWithoutShaderRecordAndIncompleteModels) {
    TMD3 model = Grid();
    model.Header.Surfaces[0].Shaders.clear();
    model.Header.Surfaces[0].numShaders = 0;
    EXPECT_EQ(Codes(model), std::set<std::string>{"shaders"});

    model = Grid();
    model.Header.Surfaces[0].numVerts = 13;
    EXPECT_EQ(Codes(model), std::set<std::string>{"incomplete"});
}

TEST(MD3Check, SummaryCountsBySeverity) {
    TMD3 model = BuildGridMD3(7, 143, 1);
    model.Header.Frames[0].radius = 1;
    model.Header.Surfaces[0].Triangles[0] = {{0, 0, 1}};
    const auto findings = CheckMD3(model, Q3);
    EXPECT_EQ(FindingSummary(findings), "2 errors, 1 warning");
    EXPECT_TRUE(HasErrors(findings));
    EXPECT_EQ(FindingSummary({}), "no problems found");
    EXPECT_EQ(FindingText(*Find(findings, "degenerate-triangle")),
              "surface 0 \"grid\", triangle 0: 1 triangle has no area in any frame and can "
              "never show");
}

} // namespace
} // namespace quillon::test
