#include "support/MD3Builder.h"

#include "core/FileError.h"
#include "core/FileWriter.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace quillon;
using namespace quillon::test;

TEST(FileWriter, ReplacesOnlyOnCommitAndLeavesNoTemporaryFile) {
    TempDir dir;
    WriteBytes(dir.File("f"), {'o', 'l', 'd'});
    {
        TFileWriter writer(dir.File("f"));
        writer.Write("new!", 4);
        EXPECT_EQ(ReadBytes(dir.File("f")), (std::vector<char>{'o', 'l', 'd'}));
        // Destroyed without Commit: the old file stays.
    }
    EXPECT_EQ(ReadBytes(dir.File("f")), (std::vector<char>{'o', 'l', 'd'}));
    {
        TFileWriter writer(dir.File("f"));
        writer.Write("new!", 4);
        EXPECT_TRUE(writer.Commit());
    }
    EXPECT_EQ(ReadBytes(dir.File("f")), (std::vector<char>{'n', 'e', 'w', '!'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path),
                            std::filesystem::directory_iterator{}),
              1);
}

TEST(FileWriter, KeepsTheModeOfTheReplacedFile) {
    TempDir dir;
    WriteBytes(dir.File("f"), {'x'});
    ::chmod(dir.File("f").c_str(), 0640);
    TFileWriter writer(dir.File("f"));
    writer.Write("y", 1);
    ASSERT_TRUE(writer.Commit());
    struct stat st {};
    ::stat(dir.File("f").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

TEST(FileWriter, LargeWritesPassTheBuffer) {
    TempDir dir;
    std::vector<char> big(3 << 20);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 7);
    TFileWriter writer(dir.File("big"));
    writer.Write("a", 1);
    writer.Write(big.data(), big.size());
    writer.Write("z", 1);
    ASSERT_TRUE(writer.Commit());
    const std::vector<char> back = ReadBytes(dir.File("big"));
    ASSERT_EQ(back.size(), big.size() + 2);
    EXPECT_TRUE(std::equal(big.begin(), big.end(), back.begin() + 1));
    EXPECT_EQ(back.back(), 'z');
}

TEST(FileWriter, CreateFailureNamesThePath) {
    TempDir dir;
    try {
        TFileWriter writer(dir.File("missing/f"));
        FAIL();
    } catch (const FileError& e) {
        EXPECT_EQ(e.Path, dir.File("missing/f"));
        EXPECT_FALSE(e.Reason.empty());
    }
}

TEST(FileWriter, SavingThroughALinkReplacesTheLinkedFile) {
    TempDir dir;
    WriteBytes(dir.File("real"), {'a'});
    std::filesystem::create_symlink(dir.File("real"), dir.File("link"));
    TFileWriter writer(dir.File("link"));
    writer.Write("b", 1);
    ASSERT_TRUE(writer.Commit());
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link")));
    EXPECT_EQ(ReadBytes(dir.File("real")), (std::vector<char>{'b'}));
}
