#include "support/MD3Builder.h"

#include "core/MD3.h"
#include "core/VertexWelding.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>

using namespace quillon;
using namespace quillon::test;

namespace {

class MD3Editing : public ::testing::Test {
protected:
    // Every edit is checked on what a save writes, not only on the records in memory.
    TMD3 Reloaded(TMD3& model) {
        EXPECT_TRUE(model.SaveToFile(dir.File("edited.md3")));
        TMD3 loaded;
        EXPECT_TRUE(loaded.LoadFromFile(dir.File("edited.md3")));
        return loaded;
    }
    TempDir dir;
};

std::vector<char> Bytes(TMD3& model, const TempDir& dir) {
    EXPECT_TRUE(model.SaveToFile(dir.File("bytes.md3")));
    return ReadBytes(dir.File("bytes.md3"));
}

TMD3Vertex& Vertex(TMD3& m, int s, int f, int k) {
    return m.Header.Surfaces[s].Vertices[f * m.Header.Surfaces[s].numVerts + k];
}

// The operations as defined: every vertex against every later one.
void NaiveWeld(std::span<TMD3Vertex> v, float e) {
    for (size_t i = 0; i < v.size(); ++i)
        for (size_t j = i + 1; j < v.size(); ++j)
            if (VectorEquals(TMD3::VertexPosition(v[i]), TMD3::VertexPosition(v[j]), e)) {
                v[j].x = v[i].x;
                v[j].y = v[i].y;
                v[j].z = v[i].z;
            }
}

void NaiveSmooth(std::span<TMD3Vertex> v) {
    for (size_t i = 0; i < v.size(); ++i) {
        std::vector<size_t> group{i};
        TVector sum = TMD3::DecodeNormal(v[i].normal);
        for (size_t j = i + 1; j < v.size(); ++j)
            if (VectorEquals(TMD3::VertexPosition(v[i]), TMD3::VertexPosition(v[j]), 0.02f)) {
                sum = VectorAdd(sum, TMD3::DecodeNormal(v[j].normal));
                group.push_back(j);
            }
        const int16_t code = TMD3::EncodeNormal(
            VectorScale(sum, static_cast<float>(1.0L / static_cast<long double>(group.size()))));
        for (size_t k : group)
            v[k].normal = code;
    }
}

std::vector<TMD3Vertex> Clustered(int count, int spread, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> coordinate(-spread, spread), normal(0, 65535);
    std::vector<TMD3Vertex> vertices;
    for (int k = 0; k < count; ++k)
        vertices.push_back({int16_t(coordinate(random)), int16_t(coordinate(random)),
                            int16_t(coordinate(random) / 4), int16_t(normal(random))});
    return vertices;
}

bool SameVertices(const std::vector<TMD3Vertex>& a, const std::vector<TMD3Vertex>& b) {
    return a.size() == b.size() &&
           std::memcmp(a.data(), b.data(), a.size() * sizeof(TMD3Vertex)) == 0;
}

} // namespace

TEST_F(MD3Editing, FlipMirrorsBoxesVerticesNormalsAndTagsOnce) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2});
    model.Header.Frames[0].mins.x = -2;
    model.Header.Frames[0].maxs.x = 5;
    Vertex(model, 1, 0, 2).x = -32768;
    const TMD3 before = model;
    model.FlipX();
    TMD3 flipped = Reloaded(model);
    const TMD3Frame& frame = flipped.Header.Frames[0];
    EXPECT_EQ(frame.mins.x, -5);
    EXPECT_EQ(frame.maxs.x, 2);
    EXPECT_EQ(frame.localOrigin.x, -before.Header.Frames[0].localOrigin.x);
    EXPECT_EQ(frame.radius, before.Header.Frames[0].radius);
    EXPECT_EQ(Vertex(flipped, 1, 0, 2).x, -32768);
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 4; ++k) {
            const TMD3Vertex& old = before.Header.Surfaces[s].Vertices[k];
            const TMD3Vertex& now = Vertex(flipped, s, 0, k);
            if (old.x != -32768) {
                EXPECT_EQ(now.x, -old.x);
            }
            EXPECT_EQ(now.y, old.y);
            TVector d = TMD3::DecodeNormal(old.normal);
            d.x = -d.x;
            EXPECT_EQ(now.normal, TMD3::EncodeNormal(d));
        }
    EXPECT_EQ(flipped.Header.Tags[0].origin.x, -before.Header.Tags[0].origin.x);
    EXPECT_EQ(flipped.Header.Tags[0].axis[0].x, -1);
    EXPECT_EQ(0, std::memcmp(flipped.Header.Surfaces[0].Triangles.data(),
                             before.Header.Surfaces[0].Triangles.data(), 2 * sizeof(TMD3Triangle)));

    // Y and Z mirror their own component only; twice is the identity for boxes and positions.
    model.FlipZ();
    EXPECT_EQ(model.Header.Frames[0].mins.z, -before.Header.Frames[0].maxs.z);
    EXPECT_EQ(model.Header.Frames[0].mins.x, -5);
    model.FlipZ();
    model.FlipY();
    model.FlipY();
    EXPECT_EQ(model.Header.Frames[0].mins.y, before.Header.Frames[0].mins.y);
    EXPECT_EQ(model.Header.Frames[0].mins.z, before.Header.Frames[0].mins.z);
}

TEST_F(MD3Editing, FlipNormalsTurnsEveryNormal) {
    TMD3 model = BuildMD3({.frames = 2, .surfaces = 1});
    Vertex(model, 0, 1, 0).normal = 0; // straight up
    const TMD3 before = model;
    model.FlipNormals();
    TMD3 flipped = Reloaded(model);
    EXPECT_EQ(Vertex(flipped, 0, 1, 0).normal, 128);
    for (size_t k = 0; k < before.Header.Surfaces[0].Vertices.size(); ++k)
        EXPECT_EQ(flipped.Header.Surfaces[0].Vertices[k].normal,
                  TMD3::EncodeNormal(VectorNegate(
                      TMD3::DecodeNormal(before.Header.Surfaces[0].Vertices[k].normal))));
}

TEST_F(MD3Editing, WeldJoinsWithinToleranceInTheSameFrameOnly) {
    TMD3 model = BuildMD3({.frames = 2, .surfaces = 2, .vertsPerSurface = 4});
    auto place = [&](int f, int k, int16_t x) { Vertex(model, 0, f, k) = {x, 0, 0, int16_t(k)}; };
    place(0, 0, 0), place(0, 1, 9), place(0, 2, 100), place(0, 3, 110); // 9/64 and 10/64 apart
    place(1, 0, 500), place(1, 1, 9), place(1, 2, 200), place(1, 3, 300);
    const std::vector<TMD3Vertex> otherSurface = model.Header.Surfaces[1].Vertices;
    EXPECT_EQ(model.WeldVertices(0, 0.15f).message, "Surface vertices \"welded\"..");
    TMD3 welded = Reloaded(model);
    EXPECT_EQ(Vertex(welded, 0, 0, 1).x, 0);
    EXPECT_EQ(Vertex(welded, 0, 0, 1).normal, 1); // normals are kept
    EXPECT_EQ(Vertex(welded, 0, 0, 3).x, 110);
    EXPECT_EQ(Vertex(welded, 0, 1, 1).x, 9); // frame 0's vertex 0 is not in frame 1
    EXPECT_TRUE(SameVertices(welded.Header.Surfaces[1].Vertices, otherSurface));
    EXPECT_FALSE(model.WeldVertices(2, 0.15f).ok);
    EXPECT_FALSE(model.WeldVertices(-1, 0.15f).ok);
}

TEST_F(MD3Editing, SmoothAveragesNormalsOneStepApartOnly) {
    TMD3 model = BuildMD3({.frames = 1, .surfaces = 1, .vertsPerSurface = 4});
    const int16_t a = TMD3::EncodeNormal(AxisPosX()), b = TMD3::EncodeNormal(AxisPosY());
    Vertex(model, 0, 0, 0) = {10, 10, 10, a};
    Vertex(model, 0, 0, 1) = {11, 10, 10, b}; // one 1/64 step
    Vertex(model, 0, 0, 2) = {300, 10, 10, a};
    Vertex(model, 0, 0, 3) = {302, 10, 10, b}; // two steps
    EXPECT_EQ(model.SmoothSurface(0).message, "Surface smoothed..");
    TMD3 smoothed = Reloaded(model);
    const TVector mean = VectorScale(VectorAdd(TMD3::DecodeNormal(a), TMD3::DecodeNormal(b)), 0.5f);
    EXPECT_EQ(Vertex(smoothed, 0, 0, 0).normal, TMD3::EncodeNormal(mean));
    EXPECT_EQ(Vertex(smoothed, 0, 0, 1).normal, TMD3::EncodeNormal(mean));
    EXPECT_EQ(Vertex(smoothed, 0, 0, 2).normal, a);
    EXPECT_EQ(Vertex(smoothed, 0, 0, 3).normal, b);
    EXPECT_EQ(Vertex(smoothed, 0, 0, 1).x, 11);
}

TEST(VertexWelding, GroupsMatchTheComparisonOfEveryPair) {
    // Dense clusters make chains: vertices moved by an earlier weld are compared where they
    // landed, and coincident vertices share a grid point.
    for (unsigned seed = 1; seed <= 4; ++seed)
        for (float tolerance : {0.02f, 0.15f, 0.5f, 3.0f, 2000.0f, 0.0f, -1.0f}) {
            std::vector<TMD3Vertex> expected = Clustered(400, 40, seed), actual = expected;
            NaiveWeld(expected, tolerance);
            WeldFrameVertices(actual, tolerance);
            EXPECT_TRUE(SameVertices(expected, actual)) << "seed " << seed << " tol " << tolerance;
        }
    for (unsigned seed = 1; seed <= 4; ++seed) {
        std::vector<TMD3Vertex> expected = Clustered(400, 6, seed), actual = expected;
        NaiveSmooth(expected);
        SmoothFrameNormals(actual);
        EXPECT_TRUE(SameVertices(expected, actual)) << "seed " << seed;
    }
    std::vector<TMD3Vertex> edges = {
        {-32768, -32768, 32767, 0}, {-32767, -32768, 32767, 5}, {32767, 32767, -32768, 0}};
    std::vector<TMD3Vertex> expected = edges;
    NaiveWeld(expected, 0.1f);
    WeldFrameVertices(edges, 0.1f);
    EXPECT_TRUE(SameVertices(expected, edges));
}

TEST_F(MD3Editing, ScaleTransformsEverythingButNormals) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 2, .surfaces = 2});
    const TMD3 before = model;
    EXPECT_TRUE(model.Scale(-1).ok);
    TMD3 mirrored = Reloaded(model);
    for (int f = 0; f < 2; ++f) {
        const TMD3Frame& frame = mirrored.Header.Frames[f];
        EXPECT_EQ(frame.radius, -before.Header.Frames[f].radius);
        EXPECT_GT(frame.mins.x, frame.maxs.x); // not exchanged
    }
    EXPECT_EQ(mirrored.Header.Tags[3].axis[2].z, -1);
    EXPECT_EQ(Vertex(mirrored, 1, 1, 3).x, -Vertex(const_cast<TMD3&>(before), 1, 1, 3).x);
    EXPECT_EQ(Vertex(mirrored, 1, 1, 3).normal, before.Header.Surfaces[1].Vertices[7].normal);

    model = before;
    EXPECT_EQ(model.Scale(2).message, "Model scaled by factor 2");
    TMD3 doubled = Reloaded(model);
    EXPECT_EQ(doubled.Header.Frames[1].radius, 2 * before.Header.Frames[1].radius);
    EXPECT_EQ(VectorLength(doubled.Header.Tags[1].axis[1]), 2);
    EXPECT_EQ(Vertex(doubled, 0, 1, 3).x, 2 * before.Header.Surfaces[0].Vertices[7].x);

    // 3 * 1.5 = 4.5 and 5 * 1.5 = 7.5 round to even.
    Vertex(model, 0, 0, 0).x = 3;
    Vertex(model, 0, 0, 1).x = 5;
    ASSERT_TRUE(model.Scale(1.5f).ok);
    EXPECT_EQ(Vertex(model, 0, 0, 0).x, 4);
    EXPECT_EQ(Vertex(model, 0, 0, 1).x, 8);
}

TEST_F(MD3Editing, ScaleAndOriginMovesBeyondTheVertexRangeChangeNothing) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 1, .surfaces = 2});
    Vertex(model, 1, 1, 0).x = 20000;
    model.Header.Tags[1].origin.x = -300; // frame 1's pivot: 20000/64 + 300 > 512
    const std::vector<char> before = Bytes(model, dir);
    const TEditResult scaled = model.Scale(2);
    EXPECT_FALSE(scaled.ok);
    EXPECT_EQ(scaled.message,
              "Scaling by 2 would move vertices beyond the MD3 range of ±512 units");
    EXPECT_FALSE(model.Scale(std::nanf("")).ok);
    const TEditResult moved = model.MoveOriginToTag(0);
    EXPECT_FALSE(moved.ok);
    EXPECT_EQ(moved.message, "Moving the origin to the tag[\"tag_0\"] would move vertices beyond "
                             "the MD3 range of ±512 units");
    EXPECT_EQ(Bytes(model, dir), before);
}

TEST_F(MD3Editing, OriginMovesToEachFramesTagOrLocalOrigin) {
    TMD3 model = BuildMD3({.frames = 3, .tags = 2, .surfaces = 1});
    const TMD3 before = model;
    EXPECT_EQ(model.MoveOriginToTag(1).message,
              "The position of the tag[\"tag_1\"] is now the new origin..");
    TMD3 moved = Reloaded(model);
    for (int f = 0; f < 3; ++f) {
        const TVector pivot = before.Header.Tags[f * 2 + 1].origin;
        EXPECT_EQ(moved.Header.Tags[f * 2 + 1].origin, VectorZero());
        EXPECT_EQ(moved.Header.Tags[f * 2].origin,
                  VectorSub(before.Header.Tags[f * 2].origin, pivot));
        EXPECT_EQ(moved.Header.Frames[f].mins, VectorSub(before.Header.Frames[f].mins, pivot));
        const TMD3Vertex& v = before.Header.Surfaces[0].Vertices[f * 4 + 3];
        EXPECT_EQ(Vertex(moved, 0, f, 3).y, int16_t(std::nearbyint((v.y / 64.0 - pivot.y) * 64)));
        EXPECT_EQ(Vertex(moved, 0, f, 3).normal, v.normal);
    }
    EXPECT_EQ(model.PivotName(2), "origin");
    EXPECT_TRUE(model.MoveOriginToTag(2).ok);
    for (const TMD3Frame& frame : model.Header.Frames)
        EXPECT_EQ(frame.localOrigin, VectorZero());
    EXPECT_FALSE(model.MoveOriginToTag(3).ok);
}

TEST_F(MD3Editing, TagAxesInvertAndSwapInEveryFrame) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 2});
    model.InvertTagAxisY();
    model.SwapTagAxesXZ();
    TMD3 edited = Reloaded(model);
    for (const TMD3Tag& tag : edited.Header.Tags) {
        EXPECT_EQ(tag.axis[0], AxisPosZ());
        EXPECT_EQ(tag.axis[1], AxisNegY());
        EXPECT_EQ(tag.axis[2], AxisPosX());
    }
    model.SwapTagAxesXY();
    model.SwapTagAxesYZ();
    model.InvertTagAxisX();
    model.InvertTagAxisZ();
    EXPECT_EQ(model.Header.Tags[3].axis[0], AxisPosY());
    EXPECT_EQ(model.Header.Tags[3].axis[1], AxisPosX());
    EXPECT_EQ(model.Header.Tags[3].axis[2], AxisNegZ());
}

TEST_F(MD3Editing, TagsAddedByHandToOneFrameModelsOnly) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 0});
    EXPECT_EQ(model.AddTagByHand("tag_weapon", {1, 2, 3}).message, "New tag added");
    TMD3 tagged = Reloaded(model);
    ASSERT_EQ(tagged.Header.numTags, 1u);
    EXPECT_EQ(NameToString(tagged.Header.Tags[0].name), "tag_weapon");
    EXPECT_EQ(tagged.Header.Tags[0].origin, VectorMake(1, 2, 3));
    EXPECT_EQ(tagged.Header.Tags[0].axis[1], AxisPosY());

    TMD3 animated = BuildMD3({.frames = 2});
    const std::vector<char> before = Bytes(animated, dir);
    const TEditResult refused = animated.AddTagByHand("tag_x", {});
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message,
              "Invalid action: It is not possible to add tags for animated MD3 models");
    EXPECT_EQ(Bytes(animated, dir), before);

    // AddTag itself serves animated models: the new tag follows each frame's own tags.
    TMD3Tag extra;
    StringToName("tag_new", extra.name);
    animated.AddTag(extra);
    ASSERT_EQ(animated.Header.numTags, 2u);
    EXPECT_EQ(NameToString(animated.Header.Tags[2].name), "tag_0");
    EXPECT_EQ(animated.Header.Tags[2].origin.y, 1); // frame 1's tag_0
    EXPECT_EQ(NameToString(animated.Header.Tags[3].name), "tag_new");
}

namespace {
std::vector<char> TagFileBytes(const std::vector<TMD3Tag>& tags, size_t trailing) {
    std::vector<char> bytes = {'T', 'A', 'G', '3'};
    bytes.resize(16, 'x');
    const auto* p = reinterpret_cast<const char*>(tags.data());
    bytes.insert(bytes.end(), p, p + tags.size() * sizeof(TMD3Tag));
    bytes.insert(bytes.end(), trailing, 'y');
    return bytes;
}
} // namespace

TEST_F(MD3Editing, TagFilesAddTheirTagsToEveryFrame) {
    std::vector<TMD3Tag> fileTags(2);
    StringToName("tag_head", fileTags[0].name);
    StringToName("tag_torso", fileTags[1].name);
    fileTags[1].origin = {4, 5, 6};
    WriteBytes(dir.File("two.tag"), TagFileBytes(fileTags, 50)); // trailing bytes ignored

    TMD3 tagless = BuildMD3({.frames = 1, .tags = 0});
    EXPECT_TRUE(tagless.AddTagsFromFile(dir.File("two.tag")).ok);
    EXPECT_EQ(Reloaded(tagless).Header.numTags, 2u);

    TMD3 animated = BuildMD3({.frames = 3, .tags = 1});
    EXPECT_TRUE(animated.AddTagsFromFile(dir.File("two.tag")).ok);
    TMD3 tagged = Reloaded(animated);
    ASSERT_EQ(tagged.Header.numTags, 3u);
    for (int f = 0; f < 3; ++f) {
        EXPECT_EQ(NameToString(tagged.Header.Tags[f * 3].name), "tag_0");
        EXPECT_EQ(tagged.Header.Tags[f * 3].origin.y, float(f));
        EXPECT_EQ(NameToString(tagged.Header.Tags[f * 3 + 2].name), "tag_torso");
        EXPECT_EQ(tagged.Header.Tags[f * 3 + 2].origin, VectorMake(4, 5, 6));
    }

    std::vector<char> notTags = TagFileBytes(fileTags, 0);
    notTags[3] = '2';
    WriteBytes(dir.File("bad.tag"), notTags);
    const TEditResult refused = animated.AddTagsFromFile(dir.File("bad.tag"));
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.message, "No TAG3 format: bad.tag");
    WriteBytes(dir.File("short.tag"), {'T', 'A', 'G', '3', 0, 0});
    EXPECT_TRUE(animated.AddTagsFromFile(dir.File("short.tag")).ok);
    EXPECT_EQ(animated.Header.numTags, 3u);
}

TEST_F(MD3Editing, DeleteFrameRemovesItsTagsAndVertices) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 2, .surfaces = 2});
    const TMD3 before = model;
    EXPECT_FALSE(model.DeleteFrame(2).ok);
    EXPECT_EQ(model.DeleteFrame(0).message, "Frame[0] has been removed");
    TMD3 left = Reloaded(model);
    ASSERT_EQ(left.Header.numFrames, 1u);
    EXPECT_EQ(NameToString(left.Header.Frames[0].name), "frame1");
    EXPECT_EQ(left.Header.Tags[1].origin, before.Header.Tags[3].origin);
    EXPECT_EQ(left.Header.Surfaces[1].numFrames, 1u);
    EXPECT_EQ(Vertex(left, 1, 0, 2).y, before.Header.Surfaces[1].Vertices[6].y);
    EXPECT_FALSE(model.DeleteFrame(0).ok); // the only frame stays
}
