// A generated level of a few thousand brushes of every kind the generator makes: each brush must
// come out closed and facing outward, and the whole level must convert.
#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <map>

namespace quillon::test {
namespace {

class GeneratedLevelTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Level = new GeneratedLevel(GenerateLevel());
        Map = new TLevelMap(LoadMapText(Level->text));
    }
    static void TearDownTestSuite() {
        delete Map;
        delete Level;
    }
    static GeneratedLevel* Level;
    static TLevelMap* Map;
};
GeneratedLevel* GeneratedLevelTest::Level = nullptr;
TLevelMap* GeneratedLevelTest::Map = nullptr;

// The corners of one brush, numbered so that a corner shared by several faces gets one number.
class CornerNumbers {
public:
    int NumberOf(TVector p) {
        for (size_t i = 0; i < Corners.size(); ++i)
            if (VectorEquals(Corners[i], p, 1e-3f))
                return int(i);
        Corners.push_back(p);
        return int(Corners.size() - 1);
    }
    std::vector<TVector> Corners;
};

TEST_F(GeneratedLevelTest, EveryBrushIsClosedAndFacesOutward) {
    std::map<int32_t, std::vector<const TMapFace*>> brushes;
    for (const TMapFace& face : Map->Faces)
        brushes[face.brush].push_back(&face);
    ASSERT_EQ(brushes.size(), Level->brushes);

    for (const auto& [brush, faces] : brushes) {
        SCOPED_TRACE("brush " + std::to_string(brush));
        ASSERT_GE(faces.size(), 4u);
        CornerNumbers numbers;
        std::map<std::pair<int, int>, int> edges; // directed edge -> times used
        for (const TMapFace* face : faces) {
            for (int c = 0; c < face->numCorners; ++c) {
                const TVector a = Map->Vertices[face->firstCorner + c].position;
                const TVector b =
                    Map->Vertices[face->firstCorner + (c + 1) % face->numCorners].position;
                ++edges[{numbers.NumberOf(a), numbers.NumberOf(b)}];
            }
        }
        // Closed and consistently wound: each edge is used once in each direction, that is by
        // exactly two faces of the brush.
        for (const auto& [edge, uses] : edges) {
            EXPECT_EQ(uses, 1);
            EXPECT_EQ(edges.count({edge.second, edge.first}), 1u)
                << "edge " << edge.first << "-" << edge.second << " has no partner";
        }
        const TVector centre = VectorAverage(numbers.Corners);
        for (const TMapFace* face : faces) {
            const TVector first = Map->Vertices[face->firstCorner].position;
            EXPECT_GT(VectorDot(face->normal, VectorSub(first, centre)), 0.1f);
            // Counter-clockwise about the outward normal.
            const TVector second = Map->Vertices[face->firstCorner + 1].position;
            const TVector third = Map->Vertices[face->firstCorner + 2].position;
            EXPECT_GT(VectorDot(VectorCross(VectorSub(second, first), VectorSub(third, second)),
                                face->normal),
                      0);
        }
    }
}

TEST_F(GeneratedLevelTest, ConvertsWithEveryExportedCorner) {
    TMD3 model;
    std::string message;
    ASSERT_TRUE(Map->ConvertToMD3(model, message)) << message;
    EXPECT_EQ(model.Header.numSurfaces, Level->textures);
    uint32_t corners = 0, triangles = 0;
    for (const TMapFace& face : Map->Faces)
        if (face.textureName != "common/caulk") {
            corners += face.numCorners;
            triangles += face.numCorners - 2;
        }
    uint32_t vertices = 0, modelTriangles = 0;
    for (const TSurface& s : model.Header.Surfaces) {
        vertices += s.numVerts;
        modelTriangles += s.numTriangles;
        for (const TMD3Triangle& t : s.Triangles) {
            const TVector a = TMD3::VertexPosition(s.Vertices[t.indexes[0]]);
            const TVector b = TMD3::VertexPosition(s.Vertices[t.indexes[1]]);
            const TVector c = TMD3::VertexPosition(s.Vertices[t.indexes[2]]);
            const TVector outward = TMD3::DecodeNormal(s.Vertices[t.indexes[0]].normal);
            EXPECT_LT(VectorDot(VectorCross(VectorSub(b, a), VectorSub(c, a)), outward), 0);
        }
    }
    EXPECT_EQ(vertices, corners);
    EXPECT_EQ(modelTriangles, triangles);
    const TMD3Frame& frame = model.Header.Frames[0];
    EXPECT_GE(frame.mins.x, -512);
    EXPECT_LE(frame.maxs.x, 512);
}

} // namespace
} // namespace quillon::test
