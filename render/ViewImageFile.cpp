#include "ViewImageFile.h"

#include "ScreenshotFile.h"
#include "core/FileWriter.h"

#include <QBuffer>
#include <QImage>

#include <algorithm>
#include <cctype>

namespace quillon {

namespace {

std::string LowerExtension(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return {};
    std::string extension = path.substr(dot);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

// QImage rows run top to bottom.
QImage ToQImage(const TViewImage& image) {
    QImage out(image.Width, image.Height,
               image.HasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    for (int y = 0; y < image.Height; ++y) {
        const uint8_t* in = image.Bgra.data() + size_t(image.Height - 1 - y) * image.Width * 4;
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.Width; ++x, in += 4)
            row[x] = qRgba(in[2], in[1], in[0], in[3]);
    }
    return out;
}

bool SavePng(const std::string& path, const TViewImage& image) {
    QByteArray encoded;
    QBuffer buffer(&encoded);
    buffer.open(QIODevice::WriteOnly);
    if (!ToQImage(image).save(&buffer, "PNG"))
        return false;
    TFileWriter writer(path);
    return writer.Write(encoded.constData(), uint64_t(encoded.size())) && writer.Commit();
}

} // namespace

bool ViewImageFormatKnown(const std::string& path) {
    const std::string extension = LowerExtension(path);
    return extension == ".png" || extension == ".tga";
}

bool SaveViewImage(const std::string& path, const TViewImage& image) {
    if (image.Width < 1 || image.Height < 1 ||
        image.Bgra.size() != size_t(image.Width) * image.Height * 4)
        return false;
    const std::string extension = LowerExtension(path);
    if (extension == ".png")
        return SavePng(path, image);
    if (extension == ".tga")
        return WriteTga32(path, image);
    return false;
}

} // namespace quillon
