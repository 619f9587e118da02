// Every TGA and JPEG skin image of OpenArena's player archive (Debian's openarena-081-players,
// installed by ./test.sh) decodes with our readers. Skips when the game data is absent.
#include "support/MD3Builder.h"

#include "gamedata/PK3Archive.h"
#include "images/ImageFile.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace quillon;
using namespace quillon::test;
namespace fs = std::filesystem;

TEST(OpenArenaImages, EveryPlayerImageDecodes) {
    const std::string archivePath = "/usr/share/games/openarena/baseoa/pak2-players.pk3";
    if (!fs::exists(archivePath))
        GTEST_SKIP() << "OpenArena player data not installed (./test.sh installs it)";
    TempDir dir;
    TPK3Archive archive;
    archive.Open(archivePath);
    const int extracted = archive.Extract("*.tga", dir.Path) + archive.Extract("*.jpg", dir.Path);
    ASSERT_GT(extracted, 50);
    int decoded = 0;
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path)) {
        if (!entry.is_regular_file())
            continue;
        TRgbaImage image;
        const TDecodeResult result = DecodeImageFile(entry.path().string(), image);
        EXPECT_TRUE(result) << entry.path() << ": " << result.Error;
        EXPECT_EQ(image.Pixels.size(), size_t(image.Width) * image.Height * 4);
        decoded += !image.Pixels.empty();
    }
    EXPECT_EQ(decoded, extracted);
}
