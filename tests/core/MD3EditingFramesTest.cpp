#include "support/MD3Builder.h"

#include "core/FileError.h"
#include "core/MD3.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <sys/wait.h>

using namespace quillon;
using namespace quillon::test;

namespace {

class MD3Frames : public ::testing::Test {
protected:
    std::string Save(TMD3 model, const std::string& name) {
        EXPECT_TRUE(model.SaveToFile(dir.File(name)));
        return dir.File(name);
    }
    std::vector<char> Bytes(TMD3& model) {
        EXPECT_TRUE(model.SaveToFile(dir.File("current.md3")));
        return ReadBytes(dir.File("current.md3"));
    }
    // A failed append names the file and changes nothing.
    void ExpectRefused(TMD3& model, const std::string& path, const std::string& message) {
        const std::vector<char> before = Bytes(model);
        const TEditResult result = model.AddAllFramesFromFile(path);
        EXPECT_FALSE(result.ok);
        EXPECT_EQ(result.message, message);
        EXPECT_EQ(Bytes(model), before);
    }
    TempDir dir;
};

} // namespace

TEST_F(MD3Frames, AllFramesOfAnotherFileAreAppended) {
    TMD3 model = BuildMD3({.frames = 2, .tags = 1, .surfaces = 2});
    TMD3 other = BuildMD3({.frames = 3, .tags = 1, .surfaces = 2});
    for (TMD3Vertex& v : other.Header.Surfaces[1].Vertices)
        v.z = 77;
    other.Header.Tags[2].origin = {9, 9, 9};
    const std::string path = Save(other, "other.md3");
    EXPECT_EQ(model.AddAllFramesFromFile(path).message,
              "All frames (of other.md3) were added to the current model");
    ASSERT_TRUE(model.SaveToFile(dir.File("merged.md3")));
    TMD3 merged;
    ASSERT_TRUE(merged.LoadFromFile(dir.File("merged.md3")));
    const THeader& h = merged.Header;
    ASSERT_EQ(h.numFrames, 5u);
    EXPECT_EQ(NameToString(h.Frames[0].name), "frame0");
    EXPECT_EQ(NameToString(h.Frames[1].name), "frame1");
    for (int f = 2; f < 5; ++f)
        EXPECT_EQ(NameToString(h.Frames[f].name), "Q merged");
    EXPECT_EQ(h.Frames[4].radius, other.Header.Frames[2].radius);
    EXPECT_EQ(h.Tags[4].origin, VectorMake(9, 9, 9));
    EXPECT_EQ(h.Surfaces[1].numFrames, 5u);
    EXPECT_EQ(h.Surfaces[1].Vertices[4 * 4 + 3].z, 77);
    EXPECT_EQ(h.Surfaces[1].Vertices[1 * 4 + 3].z, 3); // the model's own frame 1
    EXPECT_EQ(NameToString(h.Surfaces[0].Shaders[0].name), "textures/test/s0_0");

    EXPECT_EQ(model.AddFirstFrameFromFile(path).message,
              "Frame[0] (of other.md3) was added to the current model");
    EXPECT_EQ(model.Header.numFrames, 6u);
    EXPECT_EQ(model.Header.Tags[5].origin, other.Header.Tags[0].origin);
}

TEST_F(MD3Frames, FilesThatDoNotFitAreRefusedWithTheirReason) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2});
    StringToName("tag_weapon", model.Header.Tags[0].name);

    TMD3 head = BuildMD3({.frames = 2, .tags = 1, .surfaces = 2});
    StringToName("tag_head", head.Header.Tags[0].name);
    ExpectRefused(model, Save(head, "head.md3"),
                  "Tag \"tag_head\" found, expected \"tag_weapon\" in: head.md3");

    TMD3 secondFrame = BuildMD3({.frames = 2, .tags = 1, .surfaces = 2});
    StringToName("tag_weapon", secondFrame.Header.Tags[0].name);
    StringToName("tag_other", secondFrame.Header.Tags[1].name); // checked in every frame
    ExpectRefused(model, Save(secondFrame, "second.md3"),
                  "Tag \"tag_other\" found, expected \"tag_weapon\" in: second.md3");

    ExpectRefused(model, Save(BuildMD3({.frames = 1, .tags = 2}), "tags.md3"),
                  "Number of tags not equal: tags.md3");
    ExpectRefused(model, Save(BuildMD3({.frames = 0, .tags = 1}), "empty.md3"),
                  "No frame-data: empty.md3");

    TMD3 fitting = BuildMD3({.frames = 1, .tags = 1, .surfaces = 3});
    StringToName("tag_weapon", fitting.Header.Tags[0].name);
    ExpectRefused(model, Save(fitting, "three.md3"), "Number of surfaces not equal: three.md3");

    fitting = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2, .vertsPerSurface = 5});
    StringToName("tag_weapon", fitting.Header.Tags[0].name);
    ExpectRefused(model, Save(fitting, "verts.md3"),
                  "Number of vertexes not equal for surface[\"surface0\"]: verts.md3");

    fitting = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2, .trianglesPerSurface = 3});
    StringToName("tag_weapon", fitting.Header.Tags[0].name);
    ExpectRefused(model, Save(fitting, "tris.md3"),
                  "Number of triangles not equal for surface[\"surface0\"]: tris.md3");

    // Cut inside the last surface's vertices.
    fitting = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2});
    StringToName("tag_weapon", fitting.Header.Tags[0].name);
    std::vector<char> bytes = ReadBytes(Save(fitting, "cut.md3"));
    bytes.resize(bytes.size() - 4);
    WriteBytes(dir.File("cut.md3"), bytes);
    ExpectRefused(model, dir.File("cut.md3"),
                  "Error reading vertex-data for surface[\"surface1\"]: cut.md3");
    bytes.resize(50);
    WriteBytes(dir.File("cut.md3"), bytes);
    ExpectRefused(model, dir.File("cut.md3"), "Could not read header: cut.md3");
    bytes = ReadBytes(Save(fitting, "idp2.md3"));
    bytes[3] = '2';
    WriteBytes(dir.File("idp2.md3"), bytes);
    ExpectRefused(model, dir.File("idp2.md3"), "No MD3 format: idp2.md3");

    EXPECT_THROW((void)model.AddFirstFrameFromFile(dir.File("missing.md3")), FileError);
}

TEST_F(MD3Frames, SequenceRunsInCaseIgnoringOrderAndKeepsFramesBeforeAFailure) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 1});
    auto frameWithZ = [](int16_t z) {
        TMD3 m = BuildMD3({.frames = 1, .tags = 0, .surfaces = 1});
        for (TMD3Vertex& v : m.Header.Surfaces[0].Vertices)
            v.z = z;
        return m;
    };
    const std::string ten = Save(frameWithZ(10), "File10.md3");
    const std::string two = Save(frameWithZ(2), "file2.md3");
    const std::string one = Save(frameWithZ(1), "FILE1.md3");
    EXPECT_EQ(model.AddFirstFramesFromFiles({two, ten, one}).message,
              "Frame[0] (of 3 files) were added to the current model");
    ASSERT_EQ(model.Header.numFrames, 4u);
    const auto& v = model.Header.Surfaces[0].Vertices;
    EXPECT_EQ(v[1 * 4].z, 1);
    EXPECT_EQ(v[2 * 4].z, 10);
    EXPECT_EQ(v[3 * 4].z, 2);

    const std::string bad = Save(BuildMD3({.frames = 1, .tags = 0, .surfaces = 2}), "file3.md3");
    const TEditResult stopped = model.AddFirstFramesFromFiles({bad, one, dir.File("file9.md3")});
    EXPECT_FALSE(stopped.ok);
    EXPECT_TRUE(stopped.changed);
    EXPECT_EQ(stopped.message, "Number of surfaces not equal: file3.md3");
    EXPECT_EQ(model.Header.numFrames, 5u);
    EXPECT_TRUE(model.SaveToFile(dir.File("kept.md3")));
}

namespace {
int RunCli(const std::string& arguments) {
    const int status = std::system((std::string(QUILLON_CLI_PATH) + " " + arguments).c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
} // namespace

TEST_F(MD3Frames, CliAppliesOperationsInOrder) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 1, .surfaces = 2});
    const std::string in = Save(model, "in.md3");
    const std::string a = Save(BuildMD3({.frames = 1, .tags = 2, .surfaces = 2}), "b.md3");
    const std::string b = Save(BuildMD3({.frames = 2, .tags = 2, .surfaces = 2}), "a.md3");
    const std::string out = dir.File("out.md3");
    ASSERT_EQ(RunCli("edit " + in + " -o " + out +
                     " --add-tag 'tag_a,b,1,2,3' --scale 2 --flip-x --weld surface1=0.15"
                     " --add-frame-sequence " +
                     a + " " + b +
                     " --smooth 0 --delete-frame 1"
                     " --add-frame-sequence " +
                     b +
                     " --tag-as-origin origin"
                     " --swap-tag-axes xy --invert-tag-axis z"),
              0);
    TMD3 edited;
    ASSERT_TRUE(edited.LoadFromFile(out));
    ASSERT_EQ(edited.Header.numTags, 2u);
    EXPECT_EQ(NameToString(edited.Header.Tags[1].name), "tag_a,b");
    EXPECT_EQ(edited.Header.numFrames, 3u); // 1 + 2 - 1 + 1
    EXPECT_EQ(NameToString(edited.Header.Frames[1].name), "Q merged");
    // The tag added first was scaled, mirrored and moved with the frame; axes swapped last.
    EXPECT_EQ(edited.Header.Tags[1].origin, VectorMake(-2, 4, 6));
    EXPECT_EQ(edited.Header.Frames[0].localOrigin, VectorZero());
    EXPECT_EQ(edited.Header.Tags[0].axis[0], VectorMake(0, 2, 0));
    EXPECT_EQ(edited.Header.Tags[0].axis[2], VectorMake(0, 0, -2));
}

TEST_F(MD3Frames, CliFailingOperationWritesNothing) {
    const std::string in = Save(BuildMD3({.frames = 2}), "in.md3");
    const std::string out = dir.File("out.md3");
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --flip-y --add-tag t,0,0,0 2>/dev/null"), 1);
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --weld nosuch=1 2>/dev/null"), 1);
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --delete-frame 7 2>/dev/null"), 1);
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --scale 1e6 2>/dev/null"), 1);
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --swap-tag-axes xx 2>/dev/null"), 1);
    EXPECT_TRUE(ReadBytes(out).empty());
    EXPECT_EQ(RunCli("edit " + in + " -o " + out + " --tag-as-origin tag_0 --flip-normals"), 0);
}
