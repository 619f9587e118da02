// The glTF document being written, with its one binary buffer. The exporters add nodes, meshes,
// materials, skins and animations to the document directly; the builder owns the byte-level
// part: data appended to the buffer as aligned buffer views with their accessors, images
// embedded (binary .glb) or kept as files beside the document (.gltf), and the files the whole
// document finally becomes. tinygltf writes the JSON; the buffer is packaged here, because its
// stream writer would embed the .gltf's buffer as base64 text and its file writer writes to the
// targets directly, which would lose a user's files on a failed write.
#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace quillon {

// A binary glTF stores its length in 32 bits; a little room is left for the JSON and images.
inline constexpr uint64_t MaxGltfBufferBytes = 0xFFFFFFFFull - (64ull << 20);

enum class TGltfFormat {
    Binary, // one .glb file
    Text,   // a .gltf with its .bin and images beside it
};

struct TOutputFile {
    std::string Name; // file name, in the folder of the document
    std::vector<uint8_t> Bytes;
};

class TGltfBuilder {
public:
    // `baseName` is the document's file name without extension; the .bin and the image files
    // of a .gltf are named after it.
    TGltfBuilder(TGltfFormat format, std::string baseName);

    tinygltf::Model& Document() { return Model; }

    // Accessors over new data in the buffer; each returns the accessor's index. `type` is one of
    // tinygltf's TINYGLTF_TYPE_ values. Bounds (min and max) are written where glTF requires
    // them: positions and animation times.
    int AddVertexFloats(std::span<const float> values, int type, bool bounds);
    int AddFloats(std::span<const float> values, int type, bool bounds);
    // Triangle indices, as 16-bit values when they fit.
    int AddIndices(std::span<const uint32_t> indices);
    // Four joint indices per vertex, as bytes when every index is below 256.
    int AddJoints(std::span<const uint16_t> joints);
    // `count` elements of an existing accessor from element `first` on, sharing its data.
    int Slice(int accessor, size_t first, size_t count);
    // An image: in the buffer for .glb, a file beside the document for .gltf. Returns the index of
    // the image.
    int AddImage(std::vector<uint8_t> bytes, const std::string& mimeType);
    int AddNode(tinygltf::Node node);

    size_t BufferSize() const { return Buffer.size(); }

    // The files of the finished document: the .glb, or the .gltf followed by its .bin and
    // images. `fileName` is the document's own file name.
    std::vector<TOutputFile> Finish(const std::string& fileName);

private:
    int AddView(const void* data, size_t bytes, int target);
    int AddAccessor(int view, int componentType, int type, size_t count);
    std::string DocumentJson(bool pretty);

    TGltfFormat OutputFormat;
    std::string BaseName;
    tinygltf::Model Model;
    std::vector<uint8_t> Buffer;
    std::vector<TOutputFile> ImageFiles;
};

// Writes every file into `folder` (which ends in "/") so that no target is touched unless all
// of them were written: each goes to a temporary file first and all are renamed at the end.
// Throws FileError when a file cannot be created; false when writing failed.
bool WriteOutputFiles(const std::string& folder, const std::vector<TOutputFile>& files);

} // namespace quillon
