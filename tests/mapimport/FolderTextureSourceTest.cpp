#include "mapimport/FolderTextureSource.h"

#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace quillon::test {
namespace {

namespace fs = std::filesystem;

void Touch(const std::string& path, const std::vector<char>& bytes = {'x'}) {
    fs::create_directories(fs::path(path).parent_path());
    WriteBytes(path, bytes);
}

TEST(FolderTextureSource, FindsNamesInFoldersIgnoringCase) {
    TempDir dir;
    Touch(dir.File("one/Textures/Base/wall.jpg"));
    Touch(dir.File("two/textures/base/WALL.tga"));
    Touch(dir.File("one/Textures/Base/floor.bmp"));
    Touch(dir.File("two/textures/base/floor.jpg"));
    Touch(dir.File("one/sky.png"));
    TFolderTextureSource source({dir.File("one/textures"), dir.File("two/textures")});

    // Without an extension .TGA is tried first in every folder, then .BMP, then .JPG.
    std::string name = "base/wall";
    ASSERT_TRUE(source.ResolvePath(name));
    EXPECT_EQ(name, dir.File("two/textures/base/WALL.tga"));
    name = "base/floor";
    ASSERT_TRUE(source.ResolvePath(name));
    EXPECT_EQ(name, dir.File("one/Textures/Base/floor.bmp"));
    // With an extension only that file is looked for.
    name = "BASE/Floor.JPG";
    ASSERT_TRUE(source.ResolvePath(name));
    EXPECT_EQ(name, dir.File("two/textures/base/floor.jpg"));
    // A path that exists as given needs no folder.
    name = dir.File("ONE/SKY.PNG");
    ASSERT_TRUE(source.ResolvePath(name));
    EXPECT_EQ(name, dir.File("one/sky.png"));

    for (std::string missing : {"base/none", "sky", "base", ""}) {
        const std::string given = missing;
        EXPECT_FALSE(source.ResolvePath(missing)) << given;
        EXPECT_EQ(missing, given);
    }
}

std::vector<char> Bytes(std::initializer_list<int> values, size_t size = 0) {
    std::vector<char> bytes;
    for (int v : values)
        bytes.push_back(char(v));
    if (bytes.size() < size)
        bytes.resize(size);
    return bytes;
}

TEST(FolderTextureSource, ImageSizesFromHeaders) {
    TempDir dir;
    std::vector<char> tga(18);
    tga[2] = 2;
    tga[12] = char(0x80), tga[13] = 1; // 384
    tga[14] = 64;
    Touch(dir.File("t/a.tga"), tga);

    std::vector<char> bmp = Bytes({'B', 'M'}, 54);
    bmp[14] = 40;
    bmp[18] = 32;
    const int32_t negativeHeight = -48;
    std::memcpy(&bmp[22], &negativeHeight, 4);
    Touch(dir.File("t/b.bmp"), bmp);

    // SOI, an APP0 segment to skip, then a baseline frame header for 640 x 200.
    Touch(dir.File("t/c.jpg"),
          Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 4, 1, 2, 0xFF, 0xC0, 0, 11, 8, 0, 200, 2, 0x80, 3}));
    Touch(dir.File("t/broken.jpg"), Bytes({0xFF, 0xD8, 0xFF, 0xE0, 0, 40, 1}));
    Touch(dir.File("t/short.tga"), Bytes({0, 0, 2}));

    TFolderTextureSource source({dir.File("t")});
    struct Case {
        const char* name;
        bool ok;
        int width, height;
        const char* extension;
    };
    for (const Case& c : {Case{"a", true, 384, 64, ".TGA"}, Case{"b", true, 32, 48, ".BMP"},
                          Case{"c", true, 640, 200, ".JPG"}, Case{"broken", false, 0, 0, ".JPG"},
                          Case{"short", false, 0, 0, ".TGA"}}) {
        TImageInfo info;
        EXPECT_EQ(source.ImageSize(c.name, info), c.ok) << c.name;
        EXPECT_EQ(info.width, c.width) << c.name;
        EXPECT_EQ(info.height, c.height) << c.name;
        EXPECT_EQ(info.extension, c.extension) << c.name;
    }
}

} // namespace
} // namespace quillon::test
