// The reason a reader gives beside its boolean result: every file reader derives from this, so
// that a caller that got false can tell the user which record, which offset and what was wrong.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace quillon {

class TLastError {
public:
    // The reason for the last failed load, save or parse; empty after a success.
    const std::string& LastError() const { return Reason; }

protected:
    // Records the reason and returns false, so that a failing step can `return Fail(...)`.
    bool Fail(std::string reason) {
        Reason = std::move(reason);
        return false;
    }
    void ClearError() { Reason.clear(); }
    // "surface 1 vertices: 8 held, numVerts is 10" when an array of `held` records disagrees
    // with the `count` field that says `expected`; empty when they agree.
    static std::string Mismatch(const std::string& what, uint64_t held, const std::string& count,
                                uint64_t expected) {
        if (held == expected)
            return {};
        return what + ": " + std::to_string(held) + " held, " + count + " is " +
               std::to_string(expected);
    }

private:
    std::string Reason;
};

} // namespace quillon
