#include "JpegCodec.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>

namespace quillon {

namespace {

struct TErrorJump {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX] = {};
};

void JumpOnError(j_common_ptr info) {
    auto* error = reinterpret_cast<TErrorJump*>(info->err);
    info->err->format_message(info, error->Message);
    std::longjmp(error->Jump, 1);
}

void Silence(j_common_ptr, int) {}

// Runs `body` on a decompressor reading `file`; a failure when libjpeg gives up on the file or
// `body` refuses it. Only plain data lives across the jump, so nothing is left half-destroyed.
template <class Body> TDecodeResult WithDecompressor(std::span<const uint8_t> file, Body body) {
    if (file.empty())
        return TDecodeResult::Failed("empty JPEG file");
    jpeg_decompress_struct info;
    TErrorJump error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JumpOnError;
    error.Manager.emit_message = Silence;
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return TDecodeResult::Failed(std::string("JPEG: ") + error.Message);
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, file.data(), static_cast<unsigned long>(file.size()));
    jpeg_read_header(&info, TRUE);
    TDecodeResult result = body(info);
    jpeg_destroy_decompress(&info);
    return result;
}

} // namespace

bool ReadJpegSize(std::span<const uint8_t> file, int& width, int& height) {
    return WithDecompressor(file,
                            [&](jpeg_decompress_struct& info) {
                                width = static_cast<int>(info.image_width);
                                height = static_cast<int>(info.image_height);
                                return TDecodeResult::Done();
                            })
        .Ok;
}

TDecodeResult DecodeJpeg(std::span<const uint8_t> file, TRgbaImage& image) {
    image = {};
    // The buffers live out here: a jump out of libjpeg must not skip their destructors.
    std::vector<uint8_t> pixels, row;
    int width = 0, height = 0;
    const TDecodeResult result = WithDecompressor(file, [&](jpeg_decompress_struct& info) {
        const std::string problem = ImageSizeProblem("JPEG", info.image_width, info.image_height);
        if (!problem.empty())
            return TDecodeResult::Failed(problem);
        info.out_color_space = JCS_RGB;
        jpeg_start_decompress(&info);
        width = static_cast<int>(info.output_width);
        height = static_cast<int>(info.output_height);
        pixels.resize(size_t(width) * height * 4);
        row.resize(size_t(width) * 3);
        while (info.output_scanline < info.output_height) {
            // libjpeg delivers the top row first; the texture wants it last.
            const size_t target = height - 1 - info.output_scanline;
            JSAMPROW rows[1] = {row.data()};
            jpeg_read_scanlines(&info, rows, 1);
            uint8_t* out = &pixels[target * width * 4];
            for (int x = 0; x < width; ++x) {
                out[x * 4] = row[x * 3];
                out[x * 4 + 1] = row[x * 3 + 1];
                out[x * 4 + 2] = row[x * 3 + 2];
                out[x * 4 + 3] = 255;
            }
        }
        jpeg_finish_decompress(&info);
        return TDecodeResult::Done();
    });
    if (!result)
        return result;
    image.Width = width;
    image.Height = height;
    image.Pixels = std::move(pixels);
    return result;
}

std::vector<uint8_t> EncodeJpeg(std::span<const uint8_t> rgb, int width, int height, int quality) {
    jpeg_compress_struct info;
    jpeg_error_mgr error;
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uint8_t*>(&rgb[size_t(info.next_scanline) * width * 3]);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return bytes;
}

} // namespace quillon
