#include "MaterialTable.h"

#include "core/FileError.h"
#include "core/FileReader.h"
#include "images/ImageFile.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"

namespace quillon {

namespace {

// The bytes to embed and their MIME type; empty bytes and the reason when the image is unusable.
struct TEncodedImage {
    std::vector<uint8_t> Bytes;
    std::string MimeType;
    std::string Problem;
};

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& problem) {
    try {
        TFileReader in(path);
        if (in.ReadArray(bytes, in.Size()))
            return true;
        problem = "could not read the whole file";
    } catch (const FileError& e) {
        problem = e.what();
    }
    return false;
}

TEncodedImage EncodeImage(const std::string& path) {
    TEncodedImage encoded;
    if (UpperExtension(path) == ".JPG") {
        int width, height;
        if (ReadWholeFile(path, encoded.Bytes, encoded.Problem) &&
            ReadJpegSize(encoded.Bytes, width, height)) {
            encoded.MimeType = "image/jpeg";
            return encoded;
        }
        encoded.Bytes.clear();
    }
    TRgbaImage image;
    const TDecodeResult decoded = DecodeImageFile(path, image);
    if (!decoded) {
        encoded.Problem = decoded.Error;
        return encoded;
    }
    encoded.Bytes = EncodePng(image);
    encoded.MimeType = "image/png";
    if (encoded.Bytes.empty())
        encoded.Problem = "could not be encoded as PNG";
    return encoded;
}

const char* AlphaModeName(TAlphaMode mode) {
    switch (mode) {
    case TAlphaMode::Mask:
        return "MASK";
    case TAlphaMode::Blend:
        return "BLEND";
    default:
        return "OPAQUE";
    }
}

std::string MaterialKey(const TSurfaceMaterial& m) {
    return m.Name + '\n' + m.ImagePath + '\n' + m.StageName + '\n' + AlphaModeName(m.Alpha) + '\n' +
           std::to_string(m.AlphaCutoff) + (m.DoubleSided ? "\n2" : "\n1");
}

tinygltf::Value Extras(const TSurfaceMaterial& m) {
    tinygltf::Value::Object extras;
    extras["shader"] = tinygltf::Value(m.Name);
    if (!m.StageName.empty())
        extras["stage"] = tinygltf::Value(m.StageName);
    return tinygltf::Value(extras);
}

} // namespace

int TMaterialTable::TextureFor(const std::string& imagePath) {
    if (const auto known = Textures.find(imagePath); known != Textures.end())
        return known->second;
    TEncodedImage encoded = EncodeImage(imagePath);
    int texture = -1;
    if (encoded.Bytes.empty()) {
        Warnings.push_back("image " + imagePath + " not embedded: " + encoded.Problem);
    } else {
        tinygltf::Texture entry;
        entry.source = Builder.AddImage(std::move(encoded.Bytes), encoded.MimeType);
        Builder.Document().textures.push_back(entry);
        texture = int(Builder.Document().textures.size() - 1);
        ++Embedded;
    }
    Textures[imagePath] = texture;
    return texture;
}

int TMaterialTable::MaterialFor(const TSurfaceMaterial& material, const std::string& surfaceName) {
    int texture = -1;
    if (material.ImagePath.empty())
        Warnings.push_back("surface " + surfaceName + ": no image found for \"" + material.Name +
                           "\"; it gets a plain material");
    else
        texture = TextureFor(material.ImagePath);
    const std::string key = MaterialKey(material);
    if (const auto known = Materials.find(key); known != Materials.end())
        return known->second;

    tinygltf::Material entry;
    entry.name = material.Name;
    entry.extras = Extras(material);
    entry.doubleSided = material.DoubleSided;
    entry.pbrMetallicRoughness.metallicFactor = 0; // the game's surfaces are lit as dielectrics
    entry.pbrMetallicRoughness.roughnessFactor = 1;
    entry.pbrMetallicRoughness.baseColorTexture.index = texture;
    if (texture >= 0) {
        entry.alphaMode = AlphaModeName(material.Alpha);
        if (material.Alpha == TAlphaMode::Mask)
            entry.alphaCutoff = material.AlphaCutoff;
    }
    Builder.Document().materials.push_back(entry);
    const int index = int(Builder.Document().materials.size() - 1);
    Materials[key] = index;
    return index;
}

} // namespace quillon
