#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quillon::test {
namespace {

struct Converted {
    bool ok = false;
    std::string message;
    TMD3 model;
};

Converted Convert(const std::string& text, const std::string& name = "test") {
    Converted result;
    const TLevelMap map = LoadMapText(text, FakeTextureSource(), name);
    result.ok = map.ConvertToMD3(result.model, result.message);
    return result;
}

std::vector<TextureLayout> Named(std::initializer_list<const char*> names) {
    std::vector<TextureLayout> textures;
    for (const char* n : names)
        textures.push_back({n});
    return textures;
}

TVector Position(const TSurface& s, int32_t k) {
    return TMD3::VertexPosition(s.Vertices[k]);
}

TEST(MapToMD3, CubeBecomesOneSurfaceWithClockwiseTriangles) {
    const Converted c = Convert(WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64})}), "box");
    ASSERT_TRUE(c.ok) << c.message;
    const THeader& h = c.model.Header;
    EXPECT_EQ(h.ident, MD3Ident);
    EXPECT_EQ(h.version, 15u);
    EXPECT_EQ(NameToString(h.name), "Q_Converted_From_Map_box");
    EXPECT_EQ(h.numFrames, 1u);
    EXPECT_EQ(h.numTags, 0u);
    EXPECT_EQ(h.numSkins, 0u);
    ASSERT_EQ(h.numSurfaces, 1u);
    const TSurface& s = h.Surfaces[0];
    EXPECT_EQ(NameToString(s.name), "surface0");
    EXPECT_EQ(s.numFrames, 1u);
    ASSERT_EQ(s.numShaders, 1u);
    EXPECT_EQ(NameToString(s.Shaders[0].name), "textures/base/wall");
    EXPECT_EQ(s.Shaders[0].shaderIndex, 0);
    EXPECT_EQ(s.numVerts, 24u);
    EXPECT_EQ(s.Vertices.size(), 24u);
    ASSERT_EQ(s.numTriangles, 12u);

    const TMD3Frame& frame = h.Frames.at(0);
    EXPECT_EQ(frame.mins, VectorMake(-64, -64, 0));
    EXPECT_EQ(frame.maxs, VectorMake(0, 0, 64));
    EXPECT_EQ(frame.localOrigin, VectorMake(-32, -32, 32));
    EXPECT_FLOAT_EQ(frame.radius, std::sqrt(3.0f * 64 * 64) / 2);

    // Seen from outside, each triangle runs clockwise: its right-handed normal points inward.
    for (const TMD3Triangle& t : s.Triangles) {
        const TVector a = Position(s, t.indexes[0]), b = Position(s, t.indexes[1]),
                      d = Position(s, t.indexes[2]);
        const TVector n = VectorCross(VectorSub(b, a), VectorSub(d, a));
        const TVector outward = TMD3::DecodeNormal(s.Vertices[t.indexes[0]].normal);
        EXPECT_LT(VectorDot(n, outward), 0);
        EXPECT_GT(VectorDot(outward, VectorSub(a, {-32, -32, 32})), 0);
    }
}

TEST(MapToMD3, VertexRecordsCarryTheFaceNormalAndFlippedT) {
    TextureLayout shifted{"base/wall", 64, 32, 0, 1, 1};
    TempDir dir;
    WriteText(dir.File("m.map"), WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64}, {shifted})}));
    TLevelMap map;
    ASSERT_TRUE(map.LoadMap(dir.File("m.map"), FakeTextureSource()));
    TMD3 model;
    std::string message;
    ASSERT_TRUE(map.ConvertToMD3(model, message));
    const TSurface& s = model.Header.Surfaces[0];
    for (size_t k = 0; k < map.Vertices.size(); ++k) {
        EXPECT_EQ(s.Vertices[k].normal, TMD3::EncodeNormal(map.Vertices[k].normal));
        EXPECT_EQ(s.TexCoords[k].s, map.Vertices[k].s);
        EXPECT_EQ(s.TexCoords[k].t, 1 - map.Vertices[k].t);
    }
    // The face's first two triangles follow the corners in reverse.
    EXPECT_EQ(s.Triangles[0].indexes[0], 2);
    EXPECT_EQ(s.Triangles[0].indexes[2], 0);
    EXPECT_EQ(s.Triangles[1].indexes[1], 3);
}

TEST(MapToMD3, ToolTexturesAreLeftOutOfSurfacesAndBounds) {
    const Converted caulkTop =
        Convert(WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64},
                                   Named({"base/wall", "base/wall", "base/wall", "base/wall",
                                          "common/caulk", "base/wall"}))}));
    ASSERT_TRUE(caulkTop.ok);
    EXPECT_EQ(caulkTop.model.Header.Surfaces.at(0).numVerts, 20u);
    EXPECT_EQ(caulkTop.model.Header.Surfaces.at(0).numTriangles, 10u);

    const Converted twoBoxes =
        Convert(WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64}),
                          BoxBrush({0, 0, 0}, {256, 8, 8}, Named({"COMMON/Clip"}))}));
    ASSERT_TRUE(twoBoxes.ok);
    EXPECT_EQ(twoBoxes.model.Header.numSurfaces, 1u);
    EXPECT_EQ(twoBoxes.model.Header.Frames[0].mins, VectorMake(-64, -64, 0));

    const Converted nothing =
        Convert(WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64}, Named({"common/caulk"}))}));
    ASSERT_TRUE(nothing.ok);
    EXPECT_EQ(nothing.model.Header.numSurfaces, 0u);
    ASSERT_EQ(nothing.model.Header.Frames.size(), 1u);
    const TMD3Frame& empty = nothing.model.Header.Frames[0];
    EXPECT_EQ(empty.mins, VectorZero());
    EXPECT_EQ(empty.maxs, VectorZero());
    EXPECT_EQ(empty.radius, 0);
}

TEST(MapToMD3, NamesDifferingOnlyInCaseShareTheSurfaceOfTheFirst) {
    const Converted c = Convert(WorldMap(
        {BoxBrush({0, 0, 0}, {64, 64, 64}, Named({"Base/Wall", "base/wall", "base/floor"}))}));
    ASSERT_TRUE(c.ok);
    ASSERT_EQ(c.model.Header.numSurfaces, 2u);
    EXPECT_EQ(NameToString(c.model.Header.Surfaces[0].Shaders[0].name), "textures/Base/Wall");
    EXPECT_EQ(c.model.Header.Surfaces[0].numVerts, 16u);
    EXPECT_EQ(NameToString(c.model.Header.Surfaces[1].name), "surface1");
    EXPECT_EQ(NameToString(c.model.Header.Surfaces[1].Shaders[0].name), "textures/base/floor");
}

// A model filled by an earlier conversion, to see that failures empty it.
TMD3 FullModel() {
    return BuildMD3({});
}

TEST(MapToMD3, LimitsEmptyTheModelAndSayWhich) {
    std::vector<BrushShape> many;
    for (int b = 0; b < 6; ++b) {
        std::vector<TextureLayout> textures;
        for (int f = 0; f < 6; ++f)
            textures.push_back({"tex/" + std::to_string(b * 6 + f)});
        many.push_back(BoxBrush({64.0 * b, 0, 0}, {64.0 * b + 32, 32, 32}, textures));
    }
    // 36 faces: 33 distinct names once three are tool textures.
    many[5][3].texture.name = many[5][4].texture.name = many[5][5].texture.name = "common/x";

    BrushShape fiveCorners = BoxBrush({0, 0, 0}, {64, 64, 64});
    fiveCorners.push_back(OutwardPlane({0, 0, 16}, {-1, -1, -1}));

    std::vector<BrushShape> crowded;
    for (int b = 0; b < 171; ++b) // 171 boxes of 24 corners: 4104 corners for one texture
        crowded.push_back(BoxBrush({2.0 * b - 400, 0, 0}, {2.0 * b - 399, 1, 1}));

    const std::string farAway =
        WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64}), BoxBrush({500, 0, 0}, {520, 8, 8})});
    struct Case {
        std::string text, message;
    };
    const Case cases[] = {
        {WorldMap(many),
         "MAX_SURFACES limit exceeded: 33 > 32\r\nToo many shaders/textures used.."},
        {WorldMap({fiveCorners}), "Invalid BRUSH shape for this tool version: FACE_VERTS 5 > 4\r\n"
                                  "Too many vetices used in face.."},
        {WorldMap(crowded), "MAX_VERTS limit exceeded: 4104 > 4096\r\nToo many vetices used with "
                            "the same shader/texture..\r\nShadername: base/wall"},
        {farAway, "MAX_XYZ limit exceeded: 520 > 511.98438\r\nBrush too far from the map "
                  "origin..\r\nBrush 1, face 0, corner ( 520 8 8 )"},
    };
    for (const Case& c : cases) {
        const TLevelMap map = LoadMapText(c.text);
        TMD3 model = FullModel();
        std::string message;
        EXPECT_FALSE(map.ConvertToMD3(model, message));
        EXPECT_EQ(message, c.message);
        EXPECT_TRUE(model.Header.Surfaces.empty());
        EXPECT_TRUE(model.Header.Frames.empty());
        EXPECT_EQ(model.Header.numSurfaces, 0u);
    }
}

TEST(MapToMD3, WithoutALoadedMapTheModelIsLeftAlone) {
    TLevelMap map;
    TMD3 model = FullModel();
    std::string message;
    EXPECT_FALSE(map.ConvertToMD3(model, message));
    EXPECT_EQ(model.Header.numSurfaces, 2u);
    EXPECT_TRUE(message.empty());
}

TEST(MapToMD3, CoordinatesRoundHalvesToEvenAndTheEdgeOfTheRangeFits) {
    // After the half turn the box spans x from 0.5/64 to 1.5/64 and reaches -512 in y.
    const Converted c = Convert(WorldMap({BoxBrush({-1.5 / 64, 511, 0}, {-0.5 / 64, 512, 1})}));
    ASSERT_TRUE(c.ok) << c.message;
    std::set<int> xs, ys;
    for (const TMD3Vertex& v : c.model.Header.Surfaces[0].Vertices) {
        xs.insert(v.x);
        ys.insert(v.y);
    }
    EXPECT_EQ(xs, (std::set<int>{0, 2}));
    EXPECT_EQ(ys, (std::set<int>{-32768, -32704}));
}

TEST(MapToMD3, SavedFileHoldsTheExactFrameName) {
    Converted c = Convert(WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64})}));
    ASSERT_TRUE(c.ok);
    TempDir dir;
    ASSERT_TRUE(c.model.SaveToFile(dir.File("out.md3")));
    const std::vector<char> bytes = ReadBytes(dir.File("out.md3"));
    ASSERT_GE(bytes.size(), 108u + 56u);
    const char expected[16] = {'Q', ' ', 'C', 'o', 'n', 'v', 'e', 'r',
                               't', 0,   ' ', ' ', ' ', ' ', ' ', ' '};
    EXPECT_EQ(std::memcmp(bytes.data() + 108 + 40, expected, 16), 0);
    TMD3 again;
    ASSERT_TRUE(again.LoadFromFile(dir.File("out.md3")));
    EXPECT_EQ(again.Header.Surfaces.at(0).numTriangles, 12u);
}

} // namespace
} // namespace quillon::test
