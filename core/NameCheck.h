// The checks every name of a model or skin gets: the engines hold names as C strings of 64 bytes,
// so a name needs room for its terminating zero, and names that scripts and skins refer to must
// be plain printable text.
#pragma once

#include "CheckLimits.h"
#include "Finding.h"

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quillon {

// Paths (shader and image names) must also do without spaces, which end a name in shader scripts,
// and backslashes, which the engines do not read as folder separators.
enum class TNameKind { Plain, Path };

// Adds "name-length" and "name-chars" findings for `name`, `what` naming it in the message ("the
// shader name"). `fillsField`: the name filled its fixed field with no zero after it.
void CheckName(std::vector<TFinding>& out, std::string_view name, bool fillsField, TNameKind kind,
               const std::string& what, const TFindingPlace& place, const TModelLimits& limits);

template <size_t N>
void CheckNameField(std::vector<TFinding>& out, const char (&field)[N], TNameKind kind,
                    const std::string& what, const TFindingPlace& place,
                    const TModelLimits& limits) {
    const size_t length = strnlen(field, N);
    CheckName(out, std::string_view(field, length), length == N, kind, what, place, limits);
}

} // namespace quillon
