#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quillon::test {
namespace {

const std::string CubeMap = WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64})});

TEST(LevelMap, CubeBecomesSixOutwardQuadsTurnedHalfAboutZ) {
    const TLevelMap map = LoadMapText(CubeMap, FakeTextureSource(), "cube");
    EXPECT_TRUE(map.Loaded);
    EXPECT_EQ(map.MapName, "cube");
    ASSERT_EQ(map.Faces.size(), 6u);
    ASSERT_EQ(map.Vertices.size(), 24u);
    for (size_t f = 0; f < map.Faces.size(); ++f) {
        const TMapFace& face = map.Faces[f];
        EXPECT_EQ(face.numCorners, 4);
        EXPECT_EQ(face.firstCorner, int32_t(4 * f));
        EXPECT_EQ(face.plane, int32_t(f));
        EXPECT_NEAR(VectorLength(face.normal), 1, 1e-3f);
        // Outward: from the cube's centre towards the face's corners.
        for (int c = 0; c < 4; ++c) {
            const TMapVertex& v = map.Vertices[face.firstCorner + c];
            EXPECT_GT(VectorDot(face.normal, VectorSub(v.position, {-32, -32, 32})), 31.9f);
            EXPECT_EQ(v.normal, face.normal);
            for (float coordinate : {v.position.x, v.position.y})
                EXPECT_TRUE(coordinate == -64 || coordinate == 0);
            EXPECT_TRUE(v.position.z == 0 || v.position.z == 64);
        }
    }
    // The file's +x face lies at x = -64 after the half turn.
    EXPECT_EQ(map.Faces[0].normal, AxisNegX());
    EXPECT_EQ(map.Vertices[0].position.x, -64);
}

TEST(LevelMap, ReadsOnlyTheBrushesOfAFirstWorldEntity) {
    const std::string cube = BrushText(BoxBrush({0, 0, 0}, {64, 64, 64}));
    struct Case {
        const char* what;
        std::string text;
        size_t faces;
        std::string warning = {}; // the start of the one warning expected, if any
    };
    const std::string notWorld = "The first entity is not the world";
    const std::string unclosed = "No entity closed";
    const Case cases[] = {
        {"the first entity is no world", EntityText("info_null", {}) + CubeMap, 0, notWorld},
        {"a later entity's brushes",
         CubeMap + EntityText("func_group", {BoxBrush({0, 0, 0}, {8, 8, 8})}), 6},
        {"patches and texture-matrix brushes",
         "{\n\"classname\" \"worldspawn\"\n" + SkippedWorldBlocks() + "}\n", 0},
        {"worldspawn not in a classname line", "{\n\"message\" \"worldspawn\"\n" + cube + "}\n", 0,
         notWorld},
        {"an entity that is never closed", "{\n\"classname\" \"worldspawn\"\n" + cube, 0, unclosed},
        {"no braces at all", "\"classname\" \"worldspawn\"\n", 0, unclosed},
        {"indented braces do not count",
         "{\n\"classname\" \"worldspawn\"\n {\n" + PlaneLine(BoxBrush({0, 0, 0}, {64, 64, 64})[0]) +
             "\n }\n}\n",
         0},
        {"CR LF line ends",
         [&] {
             std::string text = CubeMap;
             for (size_t at = text.find('\n'); at != std::string::npos;
                  at = text.find('\n', at + 2))
                 text.replace(at, 1, "\r\n");
             return text;
         }(),
         6},
    };
    for (const Case& c : cases) {
        const TLevelMap map = LoadMapText(c.text);
        EXPECT_EQ(map.Faces.size(), c.faces) << c.what;
        if (c.warning.empty()) {
            EXPECT_TRUE(map.Warnings.empty()) << c.what;
        } else {
            ASSERT_EQ(map.Warnings.size(), 1u) << c.what;
            EXPECT_TRUE(map.Warnings[0].starts_with(c.warning)) << c.what;
        }
    }
}

TEST(LevelMap, CommentedAndTabSeparatedPlaneLinesAreNotPlanes) {
    BrushShape box = BoxBrush({0, 0, 0}, {64, 64, 64});
    std::string withComment = PlaneLine(box[4]) + " // the top";
    std::string withTabs = PlaneLine(box[4]);
    std::replace(withTabs.begin(), withTabs.end(), ' ', '\t');
    for (const std::string& top : {withComment, withTabs}) {
        std::string brush = "{\n";
        for (size_t k = 0; k < box.size(); ++k)
            brush += (k == 4 ? top : PlaneLine(box[k])) + "\n";
        const std::string text = "{\n\"classname\" \"worldspawn\"\n" + brush + "}\n}\n";
        // Without its top the box is open: only the bottom keeps all of its corners.
        const TLevelMap map = LoadMapText(text);
        ASSERT_EQ(map.Faces.size(), 1u);
        EXPECT_EQ(map.Faces[0].normal, AxisNegZ());
    }
}

TEST(LevelMap, PyramidAndBevelledBoxFromAFile) {
    const TLevelMap map = LoadMapText(WorldMap(
        {PyramidBrush({0, 0, 0}, {48, 48, 37}), CornerBevelBrush({100, 0, 0}, {148, 40, 24})}));
    std::vector<int32_t> corners;
    for (const TMapFace& face : map.Faces)
        corners.push_back(face.numCorners);
    EXPECT_EQ(corners, (std::vector<int32_t>{4, 3, 3, 3, 3, 4, 3, 4, 3, 4, 3, 3}));
    // The apex is stored once in each of the four sides.
    for (size_t f = 1; f <= 4; ++f) {
        int apexes = 0;
        for (int c = 0; c < 3; ++c)
            apexes += VectorEquals(map.Vertices[map.Faces[f].firstCorner + c].position,
                                   {-24, -24, 37}, 1e-3f);
        EXPECT_EQ(apexes, 1) << "face " << f;
    }
    EXPECT_EQ(map.Faces[5].brush, 1);
}

TEST(LevelMap, TexturesResolvedOnceAndSharedByPath) {
    BrushShape box =
        BoxBrush({0, 0, 0}, {64, 64, 64},
                 {{"base/wall"}, {"base/floor"}, {"base/wall"}, {"missing/a"}, {"missing/a"}});
    FakeTextureSource textures({"base/wall", "base/floor"});
    const TLevelMap map = LoadMapText(WorldMap({box}), textures);
    // Found images are shared; every plane whose image is missing gets its own entry.
    ASSERT_EQ(map.Textures.size(), 4u);
    EXPECT_EQ(map.Textures[0].name, "/images/base/wall.tga");
    EXPECT_EQ(map.Textures[1].name, "/images/base/floor.tga");
    EXPECT_EQ(map.Textures[2].name, "missing/a");
    EXPECT_EQ(map.Textures[3].name, "missing/a");
    EXPECT_EQ(map.Textures[0].width, 256);
    EXPECT_EQ(map.Faces[2].textureIndex, 0);
    EXPECT_EQ(map.Faces[4].textureIndex, 3);
    EXPECT_EQ(map.Faces[5].textureIndex, 0);
    EXPECT_EQ(map.Faces[3].textureName, "missing/a");
    EXPECT_EQ(textures.Lookups, 3);
}

TEST(LevelMap, MissingFileAndReloadReplaceEverything) {
    TempDir dir;
    WriteText(dir.File("a.map"), CubeMap);
    TLevelMap map;
    FakeTextureSource textures;
    ASSERT_TRUE(map.LoadMap(dir.File("a.map"), textures));
    EXPECT_EQ(map.Faces.size(), 6u);
    EXPECT_FALSE(map.LoadMap(dir.File("gone.map"), textures));
    EXPECT_EQ(map.LastError(), "no such file");
    EXPECT_FALSE(map.Loaded);
    EXPECT_TRUE(map.Faces.empty());
    EXPECT_TRUE(map.Vertices.empty());
    EXPECT_TRUE(map.Textures.empty());
    EXPECT_FALSE(map.LoadMap(dir.Path, textures)); // a folder is no map file
}

TEST(LevelMap, BrushWithTooManyPlanesIsSkippedWithAWarning) {
    BrushShape many = BoxBrush({0, 0, 0}, {64, 64, 64});
    while (many.size() <= TLevelMap::MaxBrushPlanes)
        many.push_back(many[many.size() % 6]);
    const TLevelMap map = LoadMapText(WorldMap({many, BoxBrush({0, 0, 0}, {8, 8, 8})}));
    EXPECT_EQ(map.Faces.size(), 6u);
    ASSERT_EQ(map.Warnings.size(), 1u);
    EXPECT_NE(map.Warnings[0].find("Brush 0 has 129 planes"), std::string::npos);
}

} // namespace
} // namespace quillon::test
