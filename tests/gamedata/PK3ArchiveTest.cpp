#include "gamedata/PK3Archive.h"
#include "GameDataBuilder.h"
#include "core/FileError.h"
#include "gamedata/ArchiveTree.h"
#include "gamedata/MemberMask.h"
#include "support/MD3Builder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace quillon {
namespace {

using test::TempDir;
using test::WriteZip;
namespace fs = std::filesystem;

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Found(TPK3Archive& archive, const std::string& mask) {
    std::vector<std::string> paths;
    TPK3Member member;
    for (bool ok = archive.FindFirst(mask, member); ok; ok = archive.FindNext(member))
        paths.push_back(member.Path());
    return paths;
}

TEST(MemberMask, WildcardsFoldersAndCase) {
    EXPECT_TRUE(TMemberMask("*.md3").Matches("models/x/", "Head.MD3"));
    EXPECT_TRUE(TMemberMask("scripts\\*.shader").Matches("Scripts/", "a.shader"));
    EXPECT_FALSE(TMemberMask("scripts/*.shader").Matches("scripts/old/", "a.shader"));
    EXPECT_FALSE(TMemberMask("scripts/*.shader").Matches("", "a.shader"));
    EXPECT_TRUE(TMemberMask("models/*/h?ad.md3").Matches("models/x/", "head.md3"));
    EXPECT_FALSE(TMemberMask("*.md3").Matches("", "head.md3x"));
    EXPECT_TRUE(TMemberMask("a*b*c").Matches("", "aXbYbZc"));
    EXPECT_FALSE(TMemberMask("a*b*c").Matches("", "aXbYbZ"));
}

TEST(PK3Archive, FindsInDirectoryOrderAndSkipsFolderEntries) {
    TempDir dir;
    WriteZip(dir.File("a.pk3"), {{"z/last.md3", "1"},
                                 {"models/", ""},
                                 {"models/Head.MD3", "2"},
                                 {"root.md3", "3"},
                                 {"models\\win.md3", "4"},
                                 {"models/skin.skin", "5"}});
    TPK3Archive archive;
    archive.Open(dir.File("a.pk3"));
    EXPECT_EQ(Found(archive, "*.md3"), (std::vector<std::string>{"z/last.md3", "models/Head.MD3",
                                                                 "root.md3", "models/win.md3"}));
    EXPECT_EQ(Found(archive, "MODELS/*.md3"),
              (std::vector<std::string>{"models/Head.MD3", "models/win.md3"}));
    EXPECT_TRUE(Found(archive, "*.mdm").empty());
    archive.Close();
    EXPECT_FALSE(archive.IsOpen());
}

TEST(PK3Archive, NamesWithoutTheUtf8FlagAreCodePage437) {
    TempDir dir;
    // The bytes of "é" in UTF-8 stand for two other characters in code page 437.
    WriteZip(dir.File("a.pk3"), {{"models/\xC3\xA9.md3", "1", true}, {"u/\xC3\xA9.md3", "2"}});
    TPK3Archive archive;
    archive.Open(dir.File("a.pk3"));
    EXPECT_EQ(Found(archive, "*.md3"),
              (std::vector<std::string>{"models/\u251C\u2310.md3", "u/\u00E9.md3"}));
}

TEST(PK3Archive, MissingOrBrokenArchiveRaisesFileError) {
    TempDir dir;
    TPK3Archive archive;
    EXPECT_THROW(archive.Open(dir.File("missing.pk3")), FileError);
    test::WriteText(dir.File("junk.pk3"), "not a zip file at all");
    EXPECT_THROW(archive.Open(dir.File("junk.pk3")), FileError);
    EXPECT_FALSE(archive.IsOpen());
}

TEST(PK3Archive, ExtractionRecreatesFoldersAndReplacesReadOnlyFiles) {
    TempDir dir;
    WriteZip(dir.File("a.pk3"),
             {{"scripts/a.shader", "new a"}, {"scripts/b.shader", "new b"}, {"other.txt", "x"}});
    const std::string out = dir.File("out");
    test::WriteText(out + "/scripts/a.shader", "old");
    fs::permissions(out + "/scripts/a.shader", fs::perms::owner_read);
    TPK3Archive archive;
    archive.Open(dir.File("a.pk3"));
    EXPECT_EQ(archive.Extract("scripts\\*.shader", out), 2);
    EXPECT_EQ(ReadFile(out + "/scripts/a.shader"), "new a");
    EXPECT_EQ(ReadFile(out + "/scripts/b.shader"), "new b");
    EXPECT_FALSE(fs::exists(out + "/other.txt"));
    EXPECT_TRUE(archive.ExtractExact("other.txt", out));
    EXPECT_FALSE(archive.ExtractExact("Other.txt", out));
    EXPECT_EQ(ReadFile(out + "/other.txt"), "x");
}

TEST(PK3Archive, ExtractionNeverWritesOutsideItsFolder) {
    TempDir dir;
    WriteZip(dir.File("evil.pk3"), {{"../escaped.txt", "x"},
                                    {"a/../../escaped2.txt", "x"},
                                    {"/tmp/absolute-quillon-test.txt", "x"},
                                    {"C:/drive.txt", "x"},
                                    {"fine/ok.txt", "ok"}});
    TPK3Archive archive;
    archive.Open(dir.File("evil.pk3"));
    const std::string out = dir.File("deep/out");
    fs::create_directories(out);
    EXPECT_EQ(archive.Extract("*.txt", out), 1);
    EXPECT_EQ(ReadFile(out + "/fine/ok.txt"), "ok");
    EXPECT_FALSE(fs::exists(dir.File("deep/escaped.txt")));
    EXPECT_FALSE(fs::exists(dir.File("escaped2.txt")));
    EXPECT_FALSE(archive.ExtractExact("../escaped.txt", out));
    EXPECT_FALSE(fs::exists(dir.File("deep/escaped.txt")));
    EXPECT_FALSE(TPK3Archive::IsSafeMemberName("a/.."));
    EXPECT_TRUE(TPK3Archive::IsSafeMemberName("a/..b/c"));
}

TEST(ArchiveTree, FoldersInSeparateRunsAppearTwiceAndEarlyRootMembersSitBesideTheRoot) {
    TempDir dir;
    WriteZip(dir.File("a.pk3"), {{"first.md3", "r"},
                                 {"a/1.md3", "1"},
                                 {"a/x.skin", "s"},
                                 {"b/2.md3", "2"},
                                 {"a/3.md3", "3"},
                                 {"late.md3", "4"}});
    TPK3Archive archive;
    const TArchiveTree tree = BuildArchiveTree(archive, dir.File("a.pk3"), "*.MD3", "pak0.pk3");
    EXPECT_FALSE(archive.IsOpen());
    EXPECT_TRUE(tree.HasMembers);
    ASSERT_EQ(tree.TopLevel.size(), 2u);
    EXPECT_EQ(tree.TopLevel[1].Text, "first.md3");
    const TArchiveTreeNode& root = tree.TopLevel[0];
    EXPECT_EQ(root.Text, "pak0.pk3");
    ASSERT_EQ(root.Children.size(), 4u);
    EXPECT_EQ(root.Children[0].Text, "a/");
    EXPECT_EQ(root.Children[0].Children.size(), 1u);
    EXPECT_EQ(root.Children[1].Text, "b/");
    EXPECT_EQ(root.Children[2].Text, "a/");
    EXPECT_EQ(root.Children[3].Text, "");
    EXPECT_EQ(ChosenMemberPath(&root.Children[2], root.Children[2].Children[0]), "a/3.md3");
    EXPECT_EQ(ChosenMemberPath(&root.Children[3], root.Children[3].Children[0]), "late.md3");
    EXPECT_FALSE(ChosenMemberPath(&root, root.Children[0]));
    EXPECT_FALSE(ChosenMemberPath(nullptr, tree.TopLevel[1]));

    EXPECT_FALSE(BuildArchiveTree(archive, dir.File("a.pk3"), "*.MDX", "pak0.pk3").HasMembers);
    EXPECT_THROW(BuildArchiveTree(archive, dir.File("none.pk3"), "*.MD3", "x"), FileError);
}

TEST(ArchiveTree, BrowseModes) {
    EXPECT_EQ(BrowseModeInfo(BrowseGameSkin)->Mask, "*.skin");
    EXPECT_TRUE(BrowseModeInfo(BrowseMapMD3)->MapArchive);
    EXPECT_EQ(BrowseModeInfo(BrowseGameMDX)->Caption,
              "Select an MDX-animation from the game (pak0.PK3)");
    EXPECT_FALSE(BrowseModeInfo(2));
}

} // namespace
} // namespace quillon
