#include "support/MD3Builder.h"

#include "skeletal/AnimationScript.h"

#include <gtest/gtest.h>

namespace quillon::test {
namespace {

TEST(AnimationScript, EntriesFromEightTokenLines) {
    TANINC script;
    script.Parse("  walk\t10 20  20\t15 0 0 0 // the walk cycle\r\n"
                 "// a comment only\n"
                 "\n"
                 "nine 1 2 3 4 5 6 7 8\n"
                 "seven 1 2 3 4 5 6\r"
                 "\t\trun 30 5 5 20 -1 +2 3   \n");
    ASSERT_EQ(script.Count(), 2u);
    const TANINCFrame& walk = script.Entries[0];
    EXPECT_EQ(walk.name, "walk");
    EXPECT_EQ(walk.FirstFrame(), 10);
    EXPECT_EQ(walk.NumFrames(), 20);
    EXPECT_EQ(walk.LastFrame(), 29);
    EXPECT_EQ(walk.FramesPerSecond(), 15);
    EXPECT_EQ(script.Entries[1].name, "run");
    EXPECT_EQ(script.Entries[1].values[4], -1);
    EXPECT_EQ(script.Entries[1].values[5], 2);
}

TEST(AnimationScript, NonIntegerStopsWithEntriesKept) {
    TANINC script;
    try {
        script.Parse("walk 0 10 10 15 0 0 0\njump 5 1x 5 20 0 0 0\nidle 0 1 1 1 0 0 0\n");
        FAIL() << "no error";
    } catch (const ConversionError& e) {
        EXPECT_STREQ(e.what(), "'1x' is not a valid integer value");
    }
    EXPECT_EQ(script.LastError(), "line 2: '1x' is not a valid integer value");
    ASSERT_EQ(script.Count(), 1u);
    EXPECT_EQ(script.Entries[0].name, "walk");
    // Out of the int32 range is not a valid integer either.
    EXPECT_THROW(script.Parse("a 1 2 3 99999999999 5 6 7"), ConversionError);
    // CR LF ends one line, so the numbers match what an editor shows.
    EXPECT_THROW(script.Parse("a 1 2 3 4 5 6 7\r\n\r\nb 1 2 x 4 5 6 7"), ConversionError);
    EXPECT_EQ(script.LastError(), "line 3: 'x' is not a valid integer value");
}

TEST(AnimationScript, FileMissingOrPresent) {
    TempDir dir;
    TANINC script;
    script.Parse("walk 0 10 10 15 0 0 0");
    EXPECT_FALSE(script.LoadFromFile(dir.File("missing.aninc")));
    EXPECT_EQ(script.LastError(), "no such file");
    EXPECT_EQ(script.Count(), 0u);
    const std::string text = "a 1 2 3 4 5 6 7\nb 8 9 10 11 12 13 14";
    WriteBytes(dir.File("x.aninc"), {text.begin(), text.end()});
    ASSERT_TRUE(script.LoadFromFile(dir.File("x.aninc")));
    EXPECT_EQ(script.LastError(), "");
    ASSERT_EQ(script.Count(), 2u);
    EXPECT_EQ(script.Entries[1].FirstFrame(), 8);
}

} // namespace
} // namespace quillon::test
