// glTF files that are broken the ways files from many exporters are: each is refused with a
// reason that names what is wrong, and nothing is imported.
#include "support/MD3Builder.h"

#include "interchange/ModelImport.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <cstring>

namespace quillon::test {
namespace {

using nlohmann::json;

std::string Base64(const std::vector<uint8_t>& bytes) {
    static const char* digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = uint32_t(bytes[i]) << 16 |
                           (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? bytes[i + 2] : 0);
        out += digits[n >> 18 & 63];
        out += digits[n >> 12 & 63];
        out += i + 1 < bytes.size() ? digits[n >> 6 & 63] : '=';
        out += i + 2 < bytes.size() ? digits[n & 63] : '=';
    }
    return out;
}

// One triangle: three float positions (36 bytes) and three 16-bit indices, in a base64 buffer.
json Triangle() {
    const float positions[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
    const uint16_t indices[4] = {0, 1, 2, 0};
    std::vector<uint8_t> bytes(44);
    std::memcpy(bytes.data(), positions, 36);
    std::memcpy(bytes.data() + 36, indices, 8);
    json doc = json::parse(R"({
      "asset": {"version": "2.0"},
      "scene": 0, "scenes": [{"nodes": [0]}],
      "nodes": [{"name": "tri", "mesh": 0}],
      "meshes": [{"name": "tri", "primitives": [{"attributes": {"POSITION": 0}, "indices": 1}]}],
      "accessors": [
        {"bufferView": 0, "componentType": 5126, "count": 3, "type": "VEC3",
         "min": [0, 0, 0], "max": [1, 1, 0]},
        {"bufferView": 1, "componentType": 5123, "count": 3, "type": "SCALAR"}],
      "bufferViews": [{"buffer": 0, "byteLength": 36}, {"buffer": 0, "byteOffset": 36, "byteLength": 6}],
      "buffers": [{"byteLength": 44}]
    })");
    doc["buffers"][0]["uri"] = "data:application/octet-stream;base64," + Base64(bytes);
    return doc;
}

class ImportBadInput : public ::testing::Test {
protected:
    TImportResult Import(const json& document) {
        const std::string text = document.dump();
        return ImportGltfFromMemory(
            std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()), false,
            dir.Path + "/", {}, md3);
    }
    // Refused as unreadable input, with a reason that contains `expected`.
    void ExpectRefused(const json& document, const std::string& expected) {
        const TImportResult result = Import(document);
        EXPECT_EQ(result.Failure, TImportFailure::Input) << result.Error;
        EXPECT_NE(result.Error.find(expected), std::string::npos) << result.Error;
        EXPECT_EQ(md3.Header.numSurfaces, 0u);
    }
    TempDir dir;
    TMD3 md3;
};

TEST_F(ImportBadInput, TheSoundTriangleImports) {
    const TImportResult result = Import(Triangle());
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(md3.Header.Surfaces[0].numTriangles, 1u);
}

TEST_F(ImportBadInput, AccessorsOutsideTheirDataAreRefused) {
    json doc = Triangle();
    doc["accessors"][0]["count"] = 4;
    ExpectRefused(doc, "accessor 0 has 4 elements from byte 0, reaching past the 36 bytes of "
                       "buffer view 0");
    doc = Triangle();
    doc["accessors"][0]["count"] = 2;
    ExpectRefused(doc, "mesh \"tri\" primitive 0: index 2 names vertex 2 of 2");
    doc = Triangle();
    doc["accessors"][1]["bufferView"] = 7;
    ExpectRefused(doc, "");
    doc = Triangle();
    doc["accessors"][0]["sparse"] = json::parse(
        R"({"count": 1, "indices": {"bufferView": 1, "componentType": 5123},
            "values": {"bufferView": 0}})");
    ExpectRefused(doc, "accessor 0 is sparse, which the import does not read");
    doc = Triangle();
    doc["accessors"][0]["byteOffset"] = 4294967290u;
    ExpectRefused(doc, "");
}

TEST_F(ImportBadInput, BuffersThatAreMissingShortOrNotBase64AreRefused) {
    json doc = Triangle();
    doc["buffers"][0]["uri"] = "missing.bin";
    ExpectRefused(doc, "");
    doc = Triangle();
    doc["buffers"][0]["uri"] = "data:application/octet-stream;base64,@@@@not base64@@@@";
    ExpectRefused(doc, "");
    doc = Triangle();
    doc["buffers"][0]["byteLength"] = 2147483648u; // a 2 GB claim for 44 bytes
    ExpectRefused(doc, "");
    doc = Triangle();
    doc["bufferViews"][0]["byteLength"] = 4000000000u;
    ExpectRefused(doc, "");
}

TEST_F(ImportBadInput, ImagesThatDoNotDecodeAreRefused) {
    json doc = Triangle();
    const std::vector<uint8_t> broken = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n', 1, 2, 3};
    doc["images"] = json::array({{{"uri", "data:image/png;base64," + Base64(broken)}}});
    ExpectRefused(doc, "image 0 does not decode: PNG");
    doc["images"] =
        json::array({{{"uri", "data:image/png;base64," + Base64({'G', 'I', 'F', '8'})}}});
    ExpectRefused(doc, "image 0 does not decode: neither a PNG nor a JPEG image");
}

TEST_F(ImportBadInput, BrokenNodeTreesAreRefused) {
    json doc = Triangle();
    doc["nodes"].push_back({{"children", {2}}});
    doc["nodes"].push_back({{"children", {1}}});
    ExpectRefused(doc, "node 1 is part of a cycle of nodes");
    doc = Triangle();
    doc["nodes"].push_back({{"children", {1}}});
    ExpectRefused(doc, "node 1 is its own child");
    doc = Triangle();
    doc["nodes"][0]["children"] = {9};
    ExpectRefused(doc, "node 0 names child 9 of 1 nodes");
    doc = Triangle();
    doc["nodes"] = json::array();
    for (int n = 0; n < 100000; ++n)
        doc["nodes"].push_back(json::object());
    ExpectRefused(doc, "the file has 100000 nodes, more than the 65536 an import takes");
}

TEST_F(ImportBadInput, ALongChainOfNodesAndDeepJsonNeitherRecurse) {
    json doc = Triangle();
    const int chain = 60000;
    doc["scenes"][0]["nodes"] = {1};
    for (int n = 1; n <= chain; ++n)
        doc["nodes"].push_back(n < chain ? json{{"children", {n + 1}}}
                                         : json{{"children", {0}}, {"translation", {1, 0, 0}}});
    const TImportResult result = Import(doc);
    ASSERT_TRUE(result.Ok()) << result.Error;
    EXPECT_EQ(md3.Header.Surfaces[0].Vertices[0].x, 64);

    std::string deep = R"({"asset": {"version": "2.0"}, "extras": )";
    deep += std::string(100000, '[') + std::string(100000, ']') + "}";
    const TImportResult nested = ImportGltfFromMemory(
        std::span(reinterpret_cast<const uint8_t*>(deep.data()), deep.size()), false, "", {}, md3);
    EXPECT_EQ(nested.Error, "the JSON nests arrays and objects deeper than the 64 levels an "
                            "import reads");
}

TEST_F(ImportBadInput, BrokenAnimationsAndBinaryContainersAreRefused) {
    json doc = Triangle();
    doc["animations"] = json::parse(R"([{"name": "bad", "samplers": [{"input": 0, "output": 0}],
        "channels": [{"sampler": 0, "target": {"node": 0, "path": "translation"}}]}])");
    ExpectRefused(doc, "animation \"bad\": key times: accessor 0 has 3 components per element "
                       "where 1 are needed");

    std::vector<uint8_t> glb = {'g', 'l', 'T', 'F', 2, 0, 0,   0,   200, 0,
                                0,   0,   8,   0,   0, 0, 'J', 'S', 'O', 'N'};
    glb.insert(glb.end(), {'{', '}', ' ', ' ', ' ', ' ', ' ', ' '});
    const TImportResult result = ImportGltfFromMemory(glb, true, "", {}, md3);
    EXPECT_EQ(result.Error, "truncated: the binary glTF header claims 200 bytes, the file has 28");
}

} // namespace
} // namespace quillon::test
