// The reasons the MD3 and tag readers give for a refused file: each names the record, the
// offset and what was wrong, worded by the file reader so every format reads alike.
#include "support/MD3Builder.h"

#include "core/FileReader.h"
#include "core/MD3.h"
#include "core/TagFile.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace quillon;
using namespace quillon::test;

namespace {

class ReadReasons : public ::testing::Test {
protected:
    // Loads `bytes` as an MD3 file, expecting a refusal, and returns the reason.
    std::string RefusalOf(const std::vector<char>& bytes) {
        WriteBytes(dir.File("bad.md3"), bytes);
        TMD3 model;
        EXPECT_FALSE(model.LoadFromFile(dir.File("bad.md3")));
        return model.LastError();
    }
    TempDir dir;
};

std::vector<char> WithField(std::vector<char> bytes, size_t offset, uint32_t value) {
    std::memcpy(bytes.data() + offset, &value, 4);
    return bytes;
}

} // namespace

TEST_F(ReadReasons, FileReaderNamesTheRecordTheOffsetAndWhatRemains) {
    WriteBytes(dir.File("ten"), std::vector<char>(10, 'x'));
    TFileReader in(dir.File("ten"));
    EXPECT_EQ(in.Refusal("anything"), "");
    in.Seek(4);
    std::vector<uint32_t> words;
    EXPECT_FALSE(in.ReadArray(words, 4));
    EXPECT_EQ(in.Refusal("the words"), "truncated: the words need 16 bytes at offset 4, 6 remain");
    in.Seek(40);
    EXPECT_FALSE(in.Fits(1, 1));
    EXPECT_EQ(in.Refusal("the header"),
              "truncated: the header needs 1 byte at offset 40, past the end of the 10-byte file");
    EXPECT_FALSE(in.FitsInFile(3, 4));
    EXPECT_EQ(in.Refusal("3 surfaces"),
              "truncated: 3 surfaces need 12 bytes, the whole file has 10");
    EXPECT_FALSE(in.SeekSigned(-12));
    EXPECT_EQ(in.Refusal("the tags"),
              "bad offset: the tags at offset -12, before the start of the file");
    EXPECT_FALSE(in.Fits(UINT64_MAX, 8));
    EXPECT_EQ(in.Refusal("all words"),
              "truncated: all words need 18446744073709551615 records of 8 bytes at offset 40, "
              "past the end of the 10-byte file");
}

TEST_F(ReadReasons, IdentsAreQuotedWithOddBytesEscaped) {
    EXPECT_EQ(TFileReader::WrongIdent("IDP2", "IDP3"), "ident is \"IDP2\", expected \"IDP3\"");
    EXPECT_EQ(TFileReader::WrongIdent(std::string_view("\0A\"\xff", 4), "IDP3"),
              "ident is \"\\x00A\\x22\\xFF\", expected \"IDP3\"");
}

TEST_F(ReadReasons, MD3TruncatedWronglyIdentifiedAndOverLimit) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 2});
    ASSERT_TRUE(model.SaveToFile(dir.File("good.md3")));
    const std::vector<char> good = ReadBytes(dir.File("good.md3"));
    const THeader& h = model.Header;
    const uint32_t vertices = h.ofsSurfaces + h.Surfaces[0].ofsEnd + h.Surfaces[1].ofsXyzNormals;
    EXPECT_EQ(RefusalOf({good.begin(), good.begin() + vertices + 10}),
              "truncated: surface 1 vertices need " + std::to_string(model.VerticesSize(1)) +
                  " bytes at offset " + std::to_string(vertices) + ", 10 remain");
    EXPECT_EQ(RefusalOf({good.begin(), good.begin() + 50}),
              "truncated: header needs 108 bytes at offset 0, 50 remain");

    std::vector<char> idp2 = good;
    idp2[3] = '2';
    EXPECT_EQ(RefusalOf(idp2), "ident is \"IDP2\", expected \"IDP3\"");

    EXPECT_EQ(RefusalOf(WithField(good, 84, 0xFFFFFFF0)),
              "truncated: 4294967280 surface headers need " +
                  std::to_string(uint64_t{0xFFFFFFF0} * 108) + " bytes, the whole file has " +
                  std::to_string(good.size()));
}

TEST_F(ReadReasons, MD3BlocksReadOverAndOverExhaustTheBudget) {
    TMD3 model = BuildMD3({.frames = 1, .tags = 0, .surfaces = 1, .vertsPerSurface = 2000});
    std::vector<char> bytes = MD3FileBytes(model, false);
    uint32_t ofsSurfaces = 0;
    std::memcpy(&ofsSurfaces, bytes.data() + 100, 4);
    bytes = WithField(WithField(bytes, 84, 50), ofsSurfaces + 104, 0);
    const std::string reason = RefusalOf(bytes);
    EXPECT_TRUE(reason.starts_with("blocks overlap too often: surface ")) << reason;
    EXPECT_NE(reason.find("bytes the file may be read for remain"), std::string::npos) << reason;
}

TEST_F(ReadReasons, MD3SuccessClearsTheReasonAndSaveGivesOne) {
    TMD3 model = BuildMD3({});
    ASSERT_TRUE(model.SaveToFile(dir.File("good.md3")));
    WriteBytes(dir.File("empty.md3"), {});
    TMD3 loaded;
    EXPECT_FALSE(loaded.LoadFromFile(dir.File("empty.md3")));
    EXPECT_FALSE(loaded.LastError().empty());
    ASSERT_TRUE(loaded.LoadFromFile(dir.File("good.md3")));
    EXPECT_EQ(loaded.LastError(), "");

    loaded.Header.numFrames = 7;
    EXPECT_FALSE(loaded.SaveToFile(dir.File("out.md3")));
    EXPECT_EQ(loaded.LastError(), "counts disagree with the data: frames: 2 held, numFrames is 7");
    loaded.Header.numFrames = 2;
    loaded.Header.Surfaces[1].Vertices.pop_back();
    EXPECT_FALSE(loaded.SaveToFile(dir.File("out.md3")));
    EXPECT_EQ(loaded.LastError(), "counts disagree with the data: surface 1 vertices: 7 held, "
                                  "numVerts x numFrames is 8");
    // Editing refuses the same model with the same words.
    const TEditResult refused = loaded.SmoothSurface(0);
    EXPECT_FALSE(refused.ok);
    EXPECT_NE(refused.message.find("surface 1 vertices: 7 held"), std::string::npos);
}

TEST_F(ReadReasons, TagFileReasons) {
    WriteBytes(dir.File("short.tag"), {'T', 'A'});
    const TTagFile cut = ReadTagFile(dir.File("short.tag"));
    EXPECT_EQ(cut.status, TTagFileStatus::NotATagFile);
    EXPECT_EQ(cut.error, "truncated: ident needs 4 bytes at offset 0, 2 remain");

    WriteBytes(dir.File("md3.tag"), {'I', 'D', 'P', '3', 0, 0, 0, 0});
    EXPECT_EQ(ReadTagFile(dir.File("md3.tag")).error, "ident is \"IDP3\", expected \"TAG3\"");

    std::vector<char> good{'T', 'A', 'G', '3'};
    good.resize(16 + 112);
    WriteBytes(dir.File("one.tag"), good);
    const TTagFile one = ReadTagFile(dir.File("one.tag"));
    EXPECT_EQ(one.status, TTagFileStatus::Read);
    EXPECT_EQ(one.tags.size(), 1u);
    EXPECT_EQ(one.error, "");
}
