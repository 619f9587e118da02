// quillon-cli run as a program on broken files: every reading verb names the file and says what
// was wrong with it on stderr, and the exit code stays that of invalid input.
#include "SkeletalBuilder.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include <sys/wait.h>

namespace quillon::test {
namespace {

struct CliRun {
    int status = -1;
    std::string out, err;
};

std::string ReadText(const std::string& path) {
    const std::vector<char> bytes = ReadBytes(path);
    return {bytes.begin(), bytes.end()};
}

class CliReasons : public ::testing::Test {
protected:
    CliRun Run(const std::string& arguments) {
        const std::string command = std::string(QUILLON_CLI_PATH) + " " + arguments + " >" +
                                    dir.File("out.txt") + " 2>" + dir.File("err.txt");
        CliRun run;
        const int status = std::system(command.c_str());
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = ReadText(dir.File("out.txt"));
        run.err = ReadText(dir.File("err.txt"));
        return run;
    }

    // Runs `info` on `bytes` saved as `name` and expects a refusal whose reason contains `why`.
    void ExpectInfoRefuses(const std::string& name, const std::vector<char>& bytes,
                           const std::string& why) {
        WriteBytes(dir.File(name), bytes);
        const CliRun run = Run("info " + dir.File(name));
        EXPECT_EQ(run.status, 1) << name << ": " << run.err;
        EXPECT_TRUE(run.err.starts_with(dir.File(name) + ": not a valid ")) << run.err;
        EXPECT_NE(run.err.find(why), std::string::npos) << name << ": " << run.err;
    }

    TempDir dir;
};

// A zero printed with its sign ("-0", "-0.0"), not a negative number such as -0.5.
bool HasSignedZero(const std::string& text) {
    const auto isDigitOrPoint = [&](size_t at) {
        return at < text.size() && (text[at] == '.' || (text[at] >= '0' && text[at] <= '9'));
    };
    for (size_t at = text.find("-0"); at != std::string::npos; at = text.find("-0", at + 1)) {
        size_t end = at + 2;
        if (end + 1 < text.size() && text[end] == '.' && text[end + 1] == '0')
            end = text.find_first_not_of('0', end + 1);
        if (end == std::string::npos || !isDigitOrPoint(end))
            return true;
    }
    return false;
}

std::vector<char> WithWord(std::vector<char> bytes, size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
}

std::vector<char> Cut(const std::vector<char>& bytes, size_t less) {
    return {bytes.begin(), bytes.end() - ptrdiff_t(less)};
}

std::vector<char> Renamed(std::vector<char> bytes, const char* ident) {
    std::memcpy(bytes.data(), ident, std::strlen(ident));
    return bytes;
}

TEST_F(CliReasons, MD3AndTagFiles) {
    const std::vector<char> md3 = MD3FileBytes(BuildMD3({}), false);
    ExpectInfoRefuses("cut.md3", Cut(md3, 3), "truncated: surface 1 vertices need 64 bytes at");
    ExpectInfoRefuses("idp2.md3", Renamed(md3, "IDP2"), "ident is \"IDP2\", expected \"IDP3\"");
    ExpectInfoRefuses("many.md3", WithWord(md3, 84, 0x40000000), "1073741824 surface headers");

    ExpectInfoRefuses("cut.tag", {'T', 'A'}, "truncated: ident needs 4 bytes at offset 0");
    ExpectInfoRefuses("md3.tag", md3, "ident is \"IDP3\", expected \"TAG3\"");
    std::vector<char> tag{'T', 'A', 'G', '3'};
    tag.resize(16 + 2 * 112);
    std::memcpy(tag.data() + 16 + 112, "tag_weapon", 10);
    WriteBytes(dir.File("two.tag"), tag);
    const CliRun two = Run("info " + dir.File("two.tag"));
    EXPECT_EQ(two.status, 0) << two.err;
    EXPECT_NE(two.out.find("2 tags\ntag \"\" origin (0, 0, 0)\ntag \"tag_weapon\""),
              std::string::npos)
        << two.out;
}

TEST_F(CliReasons, SkeletalFiles) {
    const std::vector<char> mdm = MDMFileBytes(BuildMDM({}), false);
    ExpectInfoRefuses("cut.mdm", Cut(mdm, 1), "truncated: tag 1");
    ExpectInfoRefuses("x.mdm", Renamed(mdm, "MDX"), "ident is \"MDXW\", expected \"MDMW\"");
    ExpectInfoRefuses("many.mdm", WithWord(mdm, 80, 0x40000000), "1073741824 surface headers");

    TMDX animation = BuildMDX(3, 5);
    ASSERT_TRUE(animation.SaveToFile(dir.File("a.mdx")));
    const std::vector<char> mdx = ReadBytes(dir.File("a.mdx"));
    ExpectInfoRefuses("cut.mdx", Cut(mdx, 1), "truncated: 5 bone infos need 400 bytes");
    ExpectInfoRefuses("s.mdx", Renamed(mdx, "MDS"), "ident is \"MDSW\", expected \"MDXW\"");
    ExpectInfoRefuses("many.mdx", WithWord(mdx, 72, 0x40000000), "1073741824 frames need");

    const std::vector<char> mds = MDSFileBytes(BuildMDS(2, 4, {}));
    ExpectInfoRefuses("cut.mds", Cut(mds, 1), "truncated: ");
    ExpectInfoRefuses("m.mds", Renamed(mds, "MDM"), "ident is \"MDMW\", expected \"MDSW\"");
    ExpectInfoRefuses("bones.mds", MDSFileBytes(BuildMDS(1, 129, {})),
                      "numBones 129 above the limit of 128");

    const std::vector<char> ms3d = MS3DFileBytes(BuildMS3D(5, 2, 3));
    ExpectInfoRefuses("cut.ms3d", Cut(ms3d, 1), "truncated: model extra needs 12 bytes");
    ExpectInfoRefuses("x.ms3d", Renamed(ms3d, "MS3D1"), "ident is \"MS3D100000\"");
    std::vector<char> manyVertices = ms3d;
    manyVertices[14] = manyVertices[15] = char(0xFF);
    ExpectInfoRefuses("many.ms3d", manyVertices, "65535 vertices need 983025 bytes at offset 16");
}

TEST_F(CliReasons, TheLimitTheUserRefusedAndAScriptLine) {
    WriteBytes(dir.File("big.mdm"), MDMFileBytes(BuildMDM({1, 7000, 1, 1, 1, 0, 1}), false));
    const CliRun refused = Run("resave " + dir.File("big.mdm") + " -o " + dir.File("out.mdm"));
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find(dir.File("big.mdm") + ": not a valid MDM file: surface 0 numVerts "
                                                     "7000 above the limit of 6000, refused"),
              std::string::npos)
        << refused.err;

    // The export asks the same question and takes the same answer.
    TMDX animation = BuildMDX(2, 1);
    ASSERT_TRUE(animation.SaveToFile(dir.File("a.mdx")));
    const std::string exportArgs =
        "export " + dir.File("big.mdm") + " " + dir.File("a.mdx") + " -o " + dir.File("big.glb");
    const CliRun no = Run(exportArgs);
    EXPECT_EQ(no.status, 1);
    EXPECT_NE(no.err.find(dir.File("big.mdm") + ": not a valid MDM file: surface 0 numVerts"),
              std::string::npos)
        << no.err;
    EXPECT_NE(Run(exportArgs + " --yes").err.find("Yes (--yes)"), std::string::npos);

    const std::string script = "walk 0 10 10 15 0 0 0\njump 5 1x 5 20 0 0 0\n";
    WriteBytes(dir.File("a.aninc"), {script.begin(), script.end()});
    const CliRun bad = Run("info " + dir.File("a.aninc"));
    EXPECT_EQ(bad.status, 1);
    EXPECT_NE(bad.err.find("line 2: '1x' is not a valid integer value"), std::string::npos)
        << bad.err;
}

TEST_F(CliReasons, ZeroBoundsPrintWithoutASign) {
    ASSERT_TRUE(HasSignedZero("(-0, 1)") && HasSignedZero("-0.00") && !HasSignedZero("-0.5 -0.05"));
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 0});
    model.Header.Frames[0].mins = {-0.0f, -0.0f, -0.0f};
    model.Header.Frames[0].radius = -0.0f;
    ASSERT_TRUE(model.SaveToFile(dir.File("zero.md3")));
    const CliRun text = Run("info " + dir.File("zero.md3"));
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("mins (0, 0, 0)"), std::string::npos) << text.out;
    EXPECT_FALSE(HasSignedZero(text.out)) << text.out;
    const CliRun json = Run("info --json " + dir.File("zero.md3"));
    ASSERT_EQ(json.status, 0) << json.err;
    EXPECT_FALSE(HasSignedZero(json.out)) << json.out;

    TMDX animation = BuildMDX(1, 1);
    animation.Frames[0].mins = {-0.0f, 1, -0.0f};
    ASSERT_TRUE(animation.SaveToFile(dir.File("zero.mdx")));
    const CliRun mdx = Run("info --json " + dir.File("zero.mdx"));
    ASSERT_EQ(mdx.status, 0) << mdx.err;
    EXPECT_FALSE(HasSignedZero(mdx.out)) << mdx.out;
}

} // namespace
} // namespace quillon::test
