// The instruction sets that lane code (Lanes.h) is compiled for. Such code is written once and
// compiled twice, once for any processor of the architecture and once for AVX2 through GCC's
// target attribute, and each call picks the version this processor runs fastest.
#pragma once

namespace quillon {

enum class TInstructionSet { AnyProcessor, Avx2 };

// Whether this processor runs code compiled for `set`.
inline bool HasInstructionSet(TInstructionSet set) {
#if defined(__x86_64__)
    static const bool hasAvx2 = __builtin_cpu_supports("avx2");
    return set == TInstructionSet::AnyProcessor || hasAvx2;
#else
    return set == TInstructionSet::AnyProcessor;
#endif
}

inline TInstructionSet FastestInstructionSet() {
    return HasInstructionSet(TInstructionSet::Avx2) ? TInstructionSet::Avx2
                                                    : TInstructionSet::AnyProcessor;
}

} // namespace quillon
