// quillon-cli map2md3, run as a program.
#include "MapTestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include <sys/wait.h>

namespace quillon::test {
namespace {

struct CliRun {
    int status = -1;
    std::string output; // stdout and stderr together
};

CliRun RunCli(const std::string& arguments) {
    CliRun run;
    FILE* pipe = popen((std::string(QUILLON_CLI_PATH) + " " + arguments + " 2>&1").c_str(), "r");
    if (!pipe)
        return run;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        run.output.append(buffer, n);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(Map2MD3Verb, ConvertsAMapIntoAnMD3File) {
    TempDir dir;
    WriteText(dir.File("room.map"), WorldMap({BoxBrush({0, 0, 0}, {64, 64, 64})}));
    const CliRun run = RunCli("map2md3 " + dir.File("room.map") + " -o " + dir.File("room.md3") +
                              " --textures " + dir.Path);
    ASSERT_EQ(run.status, 0) << run.output;
    TMD3 model;
    ASSERT_TRUE(model.LoadFromFile(dir.File("room.md3")));
    EXPECT_EQ(NameToString(model.Header.name), "Q_Converted_From_Map_room");
    EXPECT_EQ(model.Header.Surfaces.at(0).numTriangles, 12u);
    EXPECT_EQ(run.output.find("empty"), std::string::npos) << run.output;

    // A file without a world entity still converts, to an empty model, and says so.
    WriteText(dir.File("notes.map"), "just some text\n");
    const CliRun empty =
        RunCli("map2md3 " + dir.File("notes.map") + " -o " + dir.File("notes.md3"));
    EXPECT_EQ(empty.status, 0) << empty.output;
    EXPECT_NE(empty.output.find("the model is empty"), std::string::npos) << empty.output;
}

TEST(Map2MD3Verb, FailuresWriteNothing) {
    TempDir dir;
    BrushShape fiveCorners = BoxBrush({0, 0, 0}, {64, 64, 64});
    fiveCorners.push_back(OutwardPlane({0, 0, 16}, {-1, -1, -1}));
    WriteText(dir.File("bevel.map"), WorldMap({fiveCorners}));
    const std::string out = dir.File("out.md3");

    const CliRun limit = RunCli("map2md3 " + dir.File("bevel.map") + " -o " + out);
    EXPECT_EQ(limit.status, 1);
    EXPECT_NE(limit.output.find("FACE_VERTS 5 > 4\nToo many vetices used in face.."),
              std::string::npos)
        << limit.output;

    const CliRun missing = RunCli("map2md3 " + dir.File("none.map") + " -o " + out);
    EXPECT_EQ(missing.status, 3) << missing.output;
    EXPECT_NE(missing.output.find("none.map"), std::string::npos);

    EXPECT_EQ(RunCli("map2md3 " + dir.File("bevel.map")).status, 2);
    EXPECT_FALSE(std::filesystem::exists(out));
}

} // namespace
} // namespace quillon::test
