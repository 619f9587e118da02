#include "core/Assert.h"

#include <gtest/gtest.h>

namespace {

#ifdef QUILLON_ASSERTIONS

TEST(Assert, ABrokenInvariantAbortsNamingWhereAndWhat) {
    int calls = 0;
    QUILLON_ASSERT(++calls == 1);
    EXPECT_EQ(calls, 1);
    EXPECT_DEATH(QUILLON_ASSERT(calls + 1 == 3),
                 "AssertTest\\.cpp:[0-9]+: assertion failed: calls \\+ 1 == 3");
}

#else

TEST(Assert, WithoutAssertionsTheConditionIsNotEvaluated) {
    int calls = 0;
    QUILLON_ASSERT(++calls == 1);
    EXPECT_EQ(calls, 0);
}

#endif

} // namespace
