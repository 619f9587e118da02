#include "ImageFile.h"

#include "Bmp.h"
#include "JpegCodec.h"
#include "Tga.h"
#include "core/CasePath.h"
#include "core/FileError.h"
#include "core/FileReader.h"

#include <cctype>

namespace quillon {

std::string UpperExtension(const std::string& path) {
    std::string extension = ExtensionOf(path);
    for (char& c : extension)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return extension;
}

TDecodeResult DecodeImageFile(const std::string& path, TRgbaImage& image) {
    image = {};
    const std::string extension = UpperExtension(path);
    if (extension != ".TGA" && extension != ".JPG" && extension != ".BMP")
        return TDecodeResult::Failed("images of type \"" + extension +
                                     "\" are not read (TGA, JPEG and BMP are)");
    std::vector<uint8_t> bytes;
    try {
        TFileReader in(path);
        if (!in.ReadArray(bytes, in.Size()))
            return TDecodeResult::Failed("could not read the whole file");
    } catch (const FileError& e) {
        return TDecodeResult::Failed(e.what());
    }
    if (extension == ".TGA")
        return DecodeTga(bytes, image);
    if (extension == ".BMP")
        return DecodeBmp(bytes, image);
    return DecodeJpeg(bytes, image);
}

} // namespace quillon
