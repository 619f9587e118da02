#include "GltfBuilder.h"

#include "core/FileWriter.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>
#include <memory>
#include <sstream>

namespace quillon {

namespace {

constexpr uint32_t GlbMagic = 0x46546C67; // "glTF"
constexpr uint32_t GlbVersion = 2;
constexpr uint32_t ChunkJson = 0x4E4F534A;
constexpr uint32_t ChunkBinary = 0x004E4942;

// Characters outside RFC 3986's unreserved set are percent-encoded, so a file name with a space
// or a non-ASCII letter still makes a valid URI.
std::string UriOf(const std::string& fileName) {
    static const char* hex = "0123456789ABCDEF";
    std::string uri;
    for (const unsigned char c : fileName) {
        if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            uri += char(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    return uri;
}

void AppendWord(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(uint8_t(value >> (8 * i)));
}

void AppendChunk(std::vector<uint8_t>& out, uint32_t kind, const void* data, size_t bytes,
                 uint8_t padding) {
    const size_t padded = (bytes + 3) / 4 * 4;
    AppendWord(out, uint32_t(padded));
    AppendWord(out, kind);
    const auto* p = static_cast<const uint8_t*>(data);
    out.insert(out.end(), p, p + bytes);
    out.insert(out.end(), padded - bytes, padding);
}

} // namespace

TGltfBuilder::TGltfBuilder(TGltfFormat format, std::string baseName)
    : OutputFormat(format), BaseName(std::move(baseName)) {
    Model.asset.version = "2.0";
    Model.asset.generator = std::string("Quillon ") + QUILLON_VERSION_TEXT;
}

int TGltfBuilder::AddView(const void* data, size_t bytes, int target) {
    Buffer.resize((Buffer.size() + 3) / 4 * 4, 0);
    tinygltf::BufferView view;
    view.buffer = 0;
    view.byteOffset = Buffer.size();
    view.byteLength = bytes;
    view.target = target;
    const auto* p = static_cast<const uint8_t*>(data);
    Buffer.insert(Buffer.end(), p, p + bytes);
    Model.bufferViews.push_back(view);
    return int(Model.bufferViews.size() - 1);
}

int TGltfBuilder::AddAccessor(int view, int componentType, int type, size_t count) {
    tinygltf::Accessor accessor;
    accessor.bufferView = view;
    accessor.componentType = componentType;
    accessor.type = type;
    accessor.count = count;
    Model.accessors.push_back(accessor);
    return int(Model.accessors.size() - 1);
}

int TGltfBuilder::AddFloats(std::span<const float> values, int type, bool bounds) {
    const size_t components = size_t(tinygltf::GetNumComponentsInType(uint32_t(type)));
    const int view = AddView(values.data(), values.size_bytes(), 0);
    const int index =
        AddAccessor(view, TINYGLTF_COMPONENT_TYPE_FLOAT, type, values.size() / components);
    if (bounds && !values.empty()) {
        tinygltf::Accessor& accessor = Model.accessors[index];
        accessor.minValues.assign(values.begin(), values.begin() + components);
        accessor.maxValues = accessor.minValues;
        for (size_t i = components; i < values.size(); ++i) {
            const size_t c = i % components;
            accessor.minValues[c] = std::min<double>(accessor.minValues[c], values[i]);
            accessor.maxValues[c] = std::max<double>(accessor.maxValues[c], values[i]);
        }
    }
    return index;
}

int TGltfBuilder::AddVertexFloats(std::span<const float> values, int type, bool bounds) {
    const int index = AddFloats(values, type, bounds);
    Model.bufferViews[Model.accessors[index].bufferView].target = TINYGLTF_TARGET_ARRAY_BUFFER;
    return index;
}

int TGltfBuilder::AddIndices(std::span<const uint32_t> indices) {
    const uint32_t largest =
        indices.empty() ? 0 : *std::max_element(indices.begin(), indices.end());
    if (largest > 0xFFFF) {
        const int view =
            AddView(indices.data(), indices.size_bytes(), TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
        return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT, TINYGLTF_TYPE_SCALAR,
                           indices.size());
    }
    const std::vector<uint16_t> narrow(indices.begin(), indices.end());
    const int view =
        AddView(narrow.data(), narrow.size() * 2, TINYGLTF_TARGET_ELEMENT_ARRAY_BUFFER);
    return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_SCALAR,
                       indices.size());
}

int TGltfBuilder::AddJoints(std::span<const uint16_t> joints) {
    const uint16_t largest = joints.empty() ? 0 : *std::max_element(joints.begin(), joints.end());
    if (largest > 0xFF) {
        const int view = AddView(joints.data(), joints.size_bytes(), TINYGLTF_TARGET_ARRAY_BUFFER);
        return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT, TINYGLTF_TYPE_VEC4,
                           joints.size() / 4);
    }
    const std::vector<uint8_t> narrow(joints.begin(), joints.end());
    const int view = AddView(narrow.data(), narrow.size(), TINYGLTF_TARGET_ARRAY_BUFFER);
    return AddAccessor(view, TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE, TINYGLTF_TYPE_VEC4,
                       joints.size() / 4);
}

int TGltfBuilder::Slice(int accessor, size_t first, size_t count) {
    const tinygltf::Accessor whole = Model.accessors[accessor];
    const size_t elementBytes = size_t(tinygltf::GetNumComponentsInType(uint32_t(whole.type))) *
                                tinygltf::GetComponentSizeInBytes(whole.componentType);
    const int index = AddAccessor(whole.bufferView, whole.componentType, whole.type, count);
    Model.accessors[index].byteOffset = whole.byteOffset + first * elementBytes;
    return index;
}

int TGltfBuilder::AddImage(std::vector<uint8_t> bytes, const std::string& mimeType) {
    tinygltf::Image image;
    if (OutputFormat == TGltfFormat::Binary) {
        image.bufferView = AddView(bytes.data(), bytes.size(), 0);
        image.mimeType = mimeType;
    } else {
        const std::string extension = mimeType == "image/jpeg" ? ".jpg" : ".png";
        const std::string fileName =
            BaseName + "_" + std::to_string(Model.images.size()) + extension;
        image.uri = UriOf(fileName);
        ImageFiles.push_back({fileName, std::move(bytes)});
    }
    Model.images.push_back(image);
    return int(Model.images.size() - 1);
}

int TGltfBuilder::AddNode(tinygltf::Node node) {
    Model.nodes.push_back(std::move(node));
    return int(Model.nodes.size() - 1);
}

// tinygltf writes everything but the buffer, which is added here as the last member: for .glb a
// buffer without a URI (the binary chunk), for .gltf the .bin file beside the document.
std::string TGltfBuilder::DocumentJson(bool pretty) {
    tinygltf::TinyGLTF writer;
    writer.SetImageWriter(nullptr, nullptr); // images are already encoded
    std::ostringstream out;
    writer.WriteGltfSceneToStream(&Model, out, pretty, false);
    std::string json = out.str();
    if (Buffer.empty())
        return json;
    nlohmann::json buffer = {{"byteLength", Buffer.size()}};
    if (OutputFormat == TGltfFormat::Text)
        buffer["uri"] = UriOf(BaseName + ".bin");
    const size_t end = json.rfind('}');
    json.insert(end, ",\"buffers\":[" + buffer.dump() + "]");
    return json;
}

std::vector<TOutputFile> TGltfBuilder::Finish(const std::string& fileName) {
    std::vector<TOutputFile> files;
    if (OutputFormat == TGltfFormat::Text) {
        const std::string json = DocumentJson(true);
        files.push_back({fileName, std::vector<uint8_t>(json.begin(), json.end())});
        if (!Buffer.empty())
            files.push_back({BaseName + ".bin", std::move(Buffer)});
        for (TOutputFile& image : ImageFiles)
            files.push_back(std::move(image));
        ImageFiles.clear();
        return files;
    }
    const std::string json = DocumentJson(false);
    const size_t jsonChunk = 8 + (json.size() + 3) / 4 * 4;
    const size_t binaryChunk = Buffer.empty() ? 0 : 8 + (Buffer.size() + 3) / 4 * 4;
    std::vector<uint8_t> glb;
    glb.reserve(12 + jsonChunk + binaryChunk);
    AppendWord(glb, GlbMagic);
    AppendWord(glb, GlbVersion);
    AppendWord(glb, uint32_t(12 + jsonChunk + binaryChunk));
    AppendChunk(glb, ChunkJson, json.data(), json.size(), ' ');
    if (!Buffer.empty())
        AppendChunk(glb, ChunkBinary, Buffer.data(), Buffer.size(), 0);
    files.push_back({fileName, std::move(glb)});
    return files;
}

bool WriteOutputFiles(const std::string& folder, const std::vector<TOutputFile>& files) {
    std::vector<std::unique_ptr<TFileWriter>> writers;
    for (const TOutputFile& file : files)
        writers.push_back(std::make_unique<TFileWriter>(folder + file.Name));
    bool ok = true;
    for (size_t i = 0; i < files.size(); ++i)
        ok = writers[i]->Write(files[i].Bytes.data(), files[i].Bytes.size()) && ok;
    if (!ok)
        return false;
    // The document goes last, so a failure on the way never leaves one that names missing files.
    for (size_t i = files.size(); i-- > 0;)
        if (!writers[i]->Commit())
            return false;
    return true;
}

} // namespace quillon
