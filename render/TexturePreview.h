// The texture preview of the Surfaces tab: a loaded GL texture read back into an image. With
// alpha shown, the texture is composited over the panel's grey (224, 223, 227) so transparent
// parts look like holes in the image rather than black.
#pragma once

#include <QImage>

#include <cstdint>
#include <optional>

namespace quillon {

class TOGL;

inline constexpr QRgb PreviewBackground = 0xFFE0DFE3; // red 224, green 223, blue 227

// Texture 0 gives an image of `emptySize` filled with the background; none when the GL cannot
// read the texture (the preview then keeps what it shows).
std::optional<QImage> ShowTexturePreview(TOGL& context, uint32_t texture, bool showAlpha,
                                         QSize emptySize = QSize(64, 64));

} // namespace quillon
