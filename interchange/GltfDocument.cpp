#include "GltfDocument.h"

#include "GltfExport.h"
#include "core/CasePath.h"
#include "core/FileReader.h"
#include "images/JpegCodec.h"
#include "images/PngCodec.h"

#include <cstring>
#include <filesystem>
#include <fstream>

namespace quillon {

namespace {

uint32_t LittleEndian32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

// The deepest nesting of arrays and objects, strings skipped.
int JsonNesting(std::span<const uint8_t> text) {
    int depth = 0, deepest = 0;
    bool inString = false, escaped = false;
    for (const uint8_t c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '[' || c == '{') {
            deepest = std::max(deepest, ++depth);
        } else if (c == ']' || c == '}') {
            --depth;
        }
    }
    return deepest;
}

// The JSON chunk of a binary file, or the reason the container is broken.
bool GlbJson(std::span<const uint8_t> bytes, std::span<const uint8_t>& json, std::string& error) {
    if (bytes.size() < 20 || std::memcmp(bytes.data(), "glTF", 4) != 0) {
        error = "not a binary glTF file: it does not start with \"glTF\"";
        return false;
    }
    const uint32_t version = LittleEndian32(&bytes[4]);
    const uint32_t length = LittleEndian32(&bytes[8]);
    const uint32_t jsonLength = LittleEndian32(&bytes[12]);
    if (version != 2) {
        error = "binary glTF version " + std::to_string(version) + "; the import reads version 2";
        return false;
    }
    if (length > bytes.size()) {
        error = "truncated: the binary glTF header claims " + std::to_string(length) +
                " bytes, the file has " + std::to_string(bytes.size());
        return false;
    }
    if (uint64_t(jsonLength) + 20 > length || LittleEndian32(&bytes[16]) != 0x4E4F534A) {
        error = "the binary glTF file's first chunk is not a complete JSON chunk";
        return false;
    }
    json = bytes.subspan(20, jsonLength);
    return true;
}

struct TLoadState {
    std::string ImageError;
};

bool ReadWholeFile(std::vector<unsigned char>* out, std::string* error, const std::string& path,
                   void*) {
    std::error_code code;
    const auto size = std::filesystem::file_size(path, code);
    if (code) {
        *error += path + ": " + code.message() + "\n";
        return false;
    }
    if (size > MaxGltfImportBytes) {
        *error += path + ": " + std::to_string(size) + " bytes, more than the " +
                  std::to_string(MaxGltfImportBytes) + " an import reads\n";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    out->resize(size);
    if (!in.read(reinterpret_cast<char*>(out->data()), std::streamsize(size))) {
        *error += path + ": could not read the whole file\n";
        return false;
    }
    return true;
}

bool FileExists(const std::string& path, void*) {
    return std::filesystem::is_regular_file(path);
}

std::string KeepPath(const std::string& path, void*) {
    return path;
}

bool NoWrite(std::string* error, const std::string&, const std::vector<unsigned char>&, void*) {
    *error += "the import writes no files\n";
    return false;
}

// Decodes the image to be sure it is one; the pixels are not kept.
bool CheckImage(tinygltf::Image* image, const int index, std::string* error, std::string*, int, int,
                const unsigned char* bytes, int size, void* user) {
    auto& state = *static_cast<TLoadState*>(user);
    const std::span<const uint8_t> file(bytes, size_t(std::max(size, 0)));
    TRgbaImage pixels;
    TDecodeResult decoded = TDecodeResult::Failed("neither a PNG nor a JPEG image");
    if (file.size() >= 8 && std::memcmp(file.data(), "\x89PNG", 4) == 0)
        decoded = DecodePng(file, pixels);
    else if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8)
        decoded = DecodeJpeg(file, pixels);
    if (!decoded) {
        state.ImageError = "image " + std::to_string(index) +
                           (image->name.empty() ? "" : " (\"" + image->name + "\")") +
                           " does not decode: " + decoded.Error;
        *error += state.ImageError + "\n";
        return false;
    }
    image->width = pixels.Width;
    image->height = pixels.Height;
    image->component = 4;
    image->bits = 8;
    return true;
}

// Required extensions change what the data means; only those that leave geometry alone, or
// that the accessor reading covers, are accepted.
bool KnownExtension(const std::string& name) {
    return name.rfind("KHR_materials_", 0) == 0 || name == "KHR_mesh_quantization";
}

bool CheckDocument(const tinygltf::Model& model, std::string& error) {
    if (model.nodes.size() > MaxGltfNodes) {
        error = "the file has " + std::to_string(model.nodes.size()) + " nodes, more than the " +
                std::to_string(MaxGltfNodes) + " an import takes";
        return false;
    }
    for (const std::string& extension : model.extensionsRequired)
        if (!KnownExtension(extension)) {
            error =
                "the file needs the extension " + extension + ", which the import does not read";
            return false;
        }
    return true;
}

std::string FirstLine(const std::string& text) {
    const size_t end = text.find('\n');
    return end == std::string::npos ? text : text.substr(0, end);
}

} // namespace

bool LoadGltfDocumentFromMemory(std::span<const uint8_t> bytes, bool binary,
                                const std::string& folder, TGltfDocument& document,
                                std::string& error) {
    document = {};
    if (bytes.size() > MaxGltfImportBytes || bytes.size() >= 0xFFFFFFFFu) {
        error = "the file has " + std::to_string(bytes.size()) + " bytes, more than the " +
                std::to_string(MaxGltfImportBytes) + " an import reads";
        return false;
    }
    std::span<const uint8_t> json = bytes;
    if (binary && !GlbJson(bytes, json, error))
        return false;
    if (JsonNesting(json) > MaxGltfNesting) {
        error = "the JSON nests arrays and objects deeper than the " +
                std::to_string(MaxGltfNesting) + " levels an import reads";
        return false;
    }
    TLoadState state;
    tinygltf::TinyGLTF loader;
    loader.SetImageLoader(CheckImage, &state);
    loader.SetFsCallbacks({FileExists, KeepPath, ReadWholeFile, NoWrite, nullptr});
    std::string loaderError, loaderWarning;
    const bool loaded =
        binary ? loader.LoadBinaryFromMemory(&document.Model, &loaderError, &loaderWarning,
                                             bytes.data(), unsigned(bytes.size()), folder)
               : loader.LoadASCIIFromString(&document.Model, &loaderError, &loaderWarning,
                                            reinterpret_cast<const char*>(bytes.data()),
                                            unsigned(bytes.size()), folder);
    if (!loaded) {
        error = !state.ImageError.empty() ? state.ImageError
                : loaderError.empty()     ? std::string("not a readable glTF file")
                                          : FirstLine(loaderError);
        document = {};
        return false;
    }
    if (!loaderWarning.empty())
        document.Warnings.push_back(FirstLine(loaderWarning));
    if (!CheckDocument(document.Model, error)) {
        document = {};
        return false;
    }
    return true;
}

bool LoadGltfDocument(const std::string& path, TGltfDocument& document, std::string& error) {
    bool binary = false;
    GltfFormatOfPath(path, binary);
    TFileReader in(path);
    if (in.Size() > MaxGltfImportBytes) {
        error = "the file has " + std::to_string(in.Size()) + " bytes, more than the " +
                std::to_string(MaxGltfImportBytes) + " an import reads";
        return false;
    }
    std::vector<uint8_t> bytes;
    if (!in.ReadArray(bytes, in.Size())) {
        error = in.Refusal("the file");
        return false;
    }
    return LoadGltfDocumentFromMemory(bytes, binary, FolderPart(path), document, error);
}

} // namespace quillon
