// The colour items of the menus ("Top", "Bottom" and the colour-convert item) show their colour
// as a square swatch with a black outline at their left, where a menu item's icon goes.
#pragma once

#include <QIcon>

#include <cstdint>

namespace quillon {

// `colour` holds red in bits 0-7, green in 8-15, blue in 16-23.
QIcon ColorSwatch(uint32_t colour);

} // namespace quillon
