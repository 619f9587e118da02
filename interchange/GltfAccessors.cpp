#include "GltfAccessors.h"

#include <algorithm>
#include <cstring>

namespace quillon {

namespace {

// Elements an accessor without data may claim: it costs memory but no file bytes.
constexpr size_t MaxZeroElements = size_t(1) << 24;

int ComponentSize(int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_BYTE:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return 1;
    case TINYGLTF_COMPONENT_TYPE_SHORT:
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return 2;
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT:
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return 4;
    default:
        return 0;
    }
}

template <class T> T Load(const uint8_t* p) {
    T value;
    std::memcpy(&value, p, sizeof value);
    return value;
}

float FloatComponent(const uint8_t* p, int componentType, bool normalized) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_FLOAT:
        return Load<float>(p);
    case TINYGLTF_COMPONENT_TYPE_BYTE:
        return normalized ? std::max(Load<int8_t>(p) / 127.0f, -1.0f) : Load<int8_t>(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return normalized ? Load<uint8_t>(p) / 255.0f : Load<uint8_t>(p);
    case TINYGLTF_COMPONENT_TYPE_SHORT:
        return normalized ? std::max(Load<int16_t>(p) / 32767.0f, -1.0f) : Load<int16_t>(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return normalized ? Load<uint16_t>(p) / 65535.0f : Load<uint16_t>(p);
    default:
        return float(Load<uint32_t>(p));
    }
}

uint32_t UnsignedComponent(const uint8_t* p, int componentType) {
    switch (componentType) {
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE:
        return Load<uint8_t>(p);
    case TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT:
        return Load<uint16_t>(p);
    default:
        return Load<uint32_t>(p);
    }
}

} // namespace

bool TGltfAccessors::Fail(int accessor, const std::string& what) {
    LastError = "accessor " + std::to_string(accessor) + " " + what;
    return false;
}

bool TGltfAccessors::Layout(int index, int components, TLayout& layout) {
    if (index < 0 || size_t(index) >= Model.accessors.size())
        return Fail(index,
                    "does not exist (the file has " + std::to_string(Model.accessors.size()) + ")");
    const tinygltf::Accessor& accessor = Model.accessors[index];
    if (accessor.sparse.isSparse)
        return Fail(index, "is sparse, which the import does not read");
    layout.ComponentSize = ComponentSize(accessor.componentType);
    if (layout.ComponentSize == 0)
        return Fail(index,
                    "has the unknown component type " + std::to_string(accessor.componentType));
    const int32_t found = tinygltf::GetNumComponentsInType(uint32_t(accessor.type));
    if (found != components)
        return Fail(index, "has " + std::to_string(found) + " components per element where " +
                               std::to_string(components) + " are needed");
    const uint64_t element = uint64_t(layout.ComponentSize) * components;
    const uint64_t count = accessor.count;
    if (accessor.bufferView < 0) {
        if (count > MaxZeroElements)
            return Fail(index, "claims " + std::to_string(count) + " elements without data");
        layout.Data = nullptr;
        return true;
    }
    if (size_t(accessor.bufferView) >= Model.bufferViews.size())
        return Fail(index, "names buffer view " + std::to_string(accessor.bufferView) +
                               ", which does not exist");
    const tinygltf::BufferView& view = Model.bufferViews[accessor.bufferView];
    if (view.buffer < 0 || size_t(view.buffer) >= Model.buffers.size())
        return Fail(index, "reads buffer view " + std::to_string(accessor.bufferView) +
                               ", whose buffer " + std::to_string(view.buffer) + " does not exist");
    const uint64_t bufferSize = Model.buffers[view.buffer].data.size();
    if (uint64_t(view.byteOffset) > bufferSize ||
        uint64_t(view.byteLength) > bufferSize - view.byteOffset)
        return Fail(index, "reads buffer view " + std::to_string(accessor.bufferView) +
                               ", which reaches past the end of its buffer (" +
                               std::to_string(bufferSize) + " bytes)");
    const uint64_t stride = view.byteStride != 0 ? uint64_t(view.byteStride) : element;
    if (stride < element)
        return Fail(index, "has elements of " + std::to_string(element) +
                               " bytes in a view whose stride is " + std::to_string(stride));
    // The last element must end within the view; count * stride could overflow, so divide.
    const uint64_t offset = accessor.byteOffset;
    if (count > 0 && (offset > view.byteLength || element > view.byteLength - offset ||
                      (count - 1) > (view.byteLength - offset - element) / stride))
        return Fail(index, "has " + std::to_string(count) + " elements from byte " +
                               std::to_string(offset) + ", reaching past the " +
                               std::to_string(view.byteLength) + " bytes of buffer view " +
                               std::to_string(accessor.bufferView));
    layout.Data = Model.buffers[view.buffer].data.data() + view.byteOffset + offset;
    layout.Stride = size_t(stride);
    return true;
}

bool TGltfAccessors::Floats(int index, int components, std::vector<float>& out) {
    out.clear();
    TLayout layout;
    if (!Layout(index, components, layout))
        return false;
    const tinygltf::Accessor& accessor = Model.accessors[index];
    out.assign(accessor.count * components, 0.0f);
    if (!layout.Data)
        return true;
    for (size_t e = 0; e < accessor.count; ++e)
        for (int c = 0; c < components; ++c)
            out[e * components + c] =
                FloatComponent(layout.Data + e * layout.Stride + c * layout.ComponentSize,
                               accessor.componentType, accessor.normalized);
    return true;
}

bool TGltfAccessors::Unsigned(int index, int components, std::vector<uint32_t>& out) {
    out.clear();
    TLayout layout;
    if (!Layout(index, components, layout))
        return false;
    const tinygltf::Accessor& accessor = Model.accessors[index];
    const int type = accessor.componentType;
    if (type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_BYTE &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_SHORT &&
        type != TINYGLTF_COMPONENT_TYPE_UNSIGNED_INT)
        return Fail(index, "must hold unsigned integers");
    out.assign(accessor.count * components, 0);
    if (!layout.Data)
        return true;
    for (size_t e = 0; e < accessor.count; ++e)
        for (int c = 0; c < components; ++c)
            out[e * components + c] =
                UnsignedComponent(layout.Data + e * layout.Stride + c * layout.ComponentSize, type);
    return true;
}

} // namespace quillon
