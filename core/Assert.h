// QUILLON_ASSERT(cond) checks an invariant the code relies on, one that no input can break
// (input problems get an error, never an assertion). With QUILLON_ASSERTIONS defined (Debug and
// sanitizer builds) a broken invariant prints where and what on stderr and aborts; otherwise the
// condition is not even evaluated, so a check may cost what it likes.
#pragma once

#ifdef QUILLON_ASSERTIONS

#include <cstdio>
#include <cstdlib>

namespace quillon {

[[noreturn]] inline void AssertionFailed(const char* condition, const char* file, int line) {
    std::fprintf(stderr, "%s:%d: assertion failed: %s\n", file, line, condition);
    std::abort();
}

} // namespace quillon

#define QUILLON_ASSERT(cond)                                                                       \
    ((cond) ? static_cast<void>(0) : ::quillon::AssertionFailed(#cond, __FILE__, __LINE__))

#else

#define QUILLON_ASSERT(cond) ((void)0)

#endif
