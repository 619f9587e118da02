#include "mapimport/MapLine.h"

#include <gtest/gtest.h>

namespace quillon {
namespace {

using Words = std::vector<std::string_view>;

TEST(MapLine, SplitsAtRunsOfSpacesButNotAtTabsOrInsideQuotes) {
    EXPECT_EQ(SplitMapLine("  a  b c "), (Words{"a", "b", "c"}));
    EXPECT_EQ(SplitMapLine("a\tb c"), (Words{"a\tb", "c"}));
    EXPECT_EQ(SplitMapLine("\"classname\" \"func group\""),
              (Words{"\"classname\"", "\"func group\""}));
    EXPECT_EQ(SplitMapLine("x 'a \"b' c"), (Words{"x", "'a \"b'", "c"}));
    // An unclosed quote keeps the rest of the line together.
    EXPECT_EQ(SplitMapLine("a \"b c"), (Words{"a", "\"b c"}));
    EXPECT_TRUE(SplitMapLine("   ").empty());
}

TEST(MapLine, NumbersAreWholeWordDecimals) {
    EXPECT_EQ(ParseMapNumber("-12.5"), -12.5f);
    EXPECT_EQ(ParseMapNumber("+3"), 3.0f);
    EXPECT_EQ(ParseMapNumber("1e2"), 100.0f);
    for (std::string_view bad : {"", "1,5", "12x", "(", "nan", "inf", "1e60", "+", "+-1"})
        EXPECT_FALSE(ParseMapNumber(bad).has_value()) << bad;
}

TEST(MapLine, ReadsAFullPlaneLine) {
    const auto plane =
        ParsePlaneLine("( 1 2 3 ) ( 4 5 6 ) ( 7 8 -9.5 ) base/wall 16 -8 90 0.5 2 0 0 0");
    ASSERT_TRUE(plane);
    EXPECT_EQ(plane->points[0], VectorMake(1, 2, 3));
    EXPECT_EQ(plane->points[2], VectorMake(7, 8, -9.5f));
    EXPECT_EQ(plane->texture, "base/wall");
    EXPECT_EQ(plane->shiftS, 16);
    EXPECT_EQ(plane->shiftT, -8);
    EXPECT_EQ(plane->rotation, 90);
    EXPECT_EQ(plane->scaleS, 0.5f);
    EXPECT_EQ(plane->scaleT, 2);
}

TEST(MapLine, ShortOrUnreadablePlaneLinesUseDefaults) {
    EXPECT_FALSE(ParsePlaneLine("( 1 2 3 ) ( 4 5 6 ) ( 7 8 9"));
    EXPECT_FALSE(ParsePlaneLine("(\t1\t2\t3\t)\t(\t4\t5\t6\t)\t(\t7\t8\t9\t)\ta\t0\t0\t0\t1\t1"));
    // One tab among spaces still gives 15 words, shifted: the first point reads wrong.
    const auto shifted = ParsePlaneLine("(\t1 2 3 ) ( 4 5 6 ) ( 7 8 9 ) a 0 0 0 1 1");
    ASSERT_TRUE(shifted);
    EXPECT_EQ(shifted->points[0], VectorMake(2, 3, 0));

    const auto bare = ParsePlaneLine("( 1 2 3 ) ( 4 5 6 ) ( 7 8 9 )");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->texture, "");
    EXPECT_EQ(bare->scaleS, 1);
    EXPECT_EQ(bare->scaleT, 1);

    const auto partial = ParsePlaneLine("( 1 2 3 ) ( 4 5 6 ) ( 7 8 9 ) a 5 6");
    ASSERT_TRUE(partial);
    EXPECT_EQ(partial->shiftT, 6);
    EXPECT_EQ(partial->rotation, 0);
    EXPECT_EQ(partial->scaleT, 1);

    const auto junk = ParsePlaneLine("( x 2 3 ) ( 4 5 6 ) ( 7 8 9 ) a s t r zero 0");
    ASSERT_TRUE(junk);
    EXPECT_EQ(junk->points[0].x, 0);
    EXPECT_EQ(junk->shiftS, 0);
    EXPECT_EQ(junk->rotation, 0);
    EXPECT_EQ(junk->scaleS, 1); // not a number
    EXPECT_EQ(junk->scaleT, 1); // exactly 0
}

} // namespace
} // namespace quillon
