#include "PngCodec.h"

#include <png.h>

#include <csetjmp>

namespace quillon {

namespace {

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void NoFlush(png_structp) {}

// The rows libpng writes, top row first, three or four bytes a pixel.
std::vector<uint8_t> TopRowFirst(const TRgbaImage& image, int channels) {
    const size_t width = size_t(image.Width);
    std::vector<uint8_t> rows(width * image.Height * channels);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* in = &image.Pixels[size_t(image.Height - 1 - y) * width * 4];
        uint8_t* out = &rows[size_t(y) * width * channels];
        for (size_t x = 0; x < width; ++x)
            for (int c = 0; c < channels; ++c)
                out[x * channels + c] = in[x * 4 + c];
    }
    return rows;
}

} // namespace

std::vector<uint8_t> EncodePng(const TRgbaImage& image) {
    if (!ImageSizeAcceptable(image.Width, image.Height) ||
        image.Pixels.size() != size_t(image.Width) * image.Height * 4)
        return {};
    const int channels = image.HasAlpha ? 4 : 3;
    // Everything that must outlive a jump out of libpng lives out here.
    const std::vector<uint8_t> rows = TopRowFirst(image, channels);
    std::vector<png_const_bytep> rowPointers(image.Height);
    for (int y = 0; y < image.Height; ++y)
        rowPointers[y] = &rows[size_t(y) * image.Width * channels];
    std::vector<uint8_t> out;

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return {};
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, png_uint_32(image.Width), png_uint_32(image.Height), 8,
                 image.HasAlpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, const_cast<png_bytepp>(rowPointers.data()));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

TDecodeResult DecodePng(std::span<const uint8_t> file, TRgbaImage& image) {
    // libpng's simplified reader: it checks every chunk and reports its own reason.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&png, file.data(), file.size()))
        return TDecodeResult::Failed(std::string("PNG: ") + png.message);
    if (const std::string problem = ImageSizeProblem("PNG", png.width, png.height);
        !problem.empty()) {
        png_image_free(&png);
        return TDecodeResult::Failed(problem);
    }
    image.HasAlpha = (png.format & PNG_FORMAT_FLAG_ALPHA) != 0;
    png.format = PNG_FORMAT_RGBA;
    image.Width = int(png.width);
    image.Height = int(png.height);
    image.Pixels.assign(size_t(png.width) * png.height * 4, 0);
    // A negative row stride stores the file's top row last: our bottom-row-first layout.
    const png_int_32 stride = -png_int_32(png.width * 4);
    if (!png_image_finish_read(&png, nullptr, image.Pixels.data(), stride, nullptr)) {
        image = {};
        return TDecodeResult::Failed(std::string("PNG: ") + png.message);
    }
    return TDecodeResult::Done();
}

} // namespace quillon
