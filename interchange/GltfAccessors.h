// The values of glTF accessors, every read checked: the accessor, its buffer view and buffer
// must exist and the elements must lie within them, whatever stride the view gives; sparse
// accessors are refused. Integer components become floats as glTF defines them (normalized ones
// scaled to 0..1 or -1..1). An accessor without a buffer view holds zeros, as glTF says.
#pragma once

#include <tiny_gltf.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quillon {

class TGltfAccessors {
public:
    explicit TGltfAccessors(const tinygltf::Model& model) : Model(model) {}

    // `components` per element: 1 for SCALAR, 2 to 4 for VEC2 to VEC4, 16 for MAT4.
    [[nodiscard]] bool Floats(int accessor, int components, std::vector<float>& out);
    // Unsigned integer components (indices, joints), never normalized.
    [[nodiscard]] bool Unsigned(int accessor, int components, std::vector<uint32_t>& out);
    // Why the last read failed.
    const std::string& Error() const { return LastError; }

private:
    struct TLayout {
        const uint8_t* Data = nullptr; // nullptr: every value is zero
        size_t Stride = 0;
        int ComponentSize = 0;
    };
    bool Layout(int accessor, int components, TLayout& layout);
    bool Fail(int accessor, const std::string& what);

    const tinygltf::Model& Model;
    std::string LastError;
};

} // namespace quillon
