// How the information panels print model values: vectors as their three numbers separated by
// two blanks, tag axes as three such groups in parentheses separated by four blanks, header
// flags as eight hexadecimal digits and "h".
#pragma once

#include "core/VectorMath.h"

#include <QString>

#include <cstdint>

namespace quillon {

QString VectorText(TVector v);
QString AxesText(const TVector (&axis)[3]);
QString FlagsText(uint32_t flags);
QString FloatText(float value);
// The four magic characters in file order; bytes that are not printable show as "?".
QString IdentText(uint32_t ident);

} // namespace quillon
