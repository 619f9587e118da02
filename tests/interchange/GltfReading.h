// Reading back what the exporter wrote, for the tests: the Khronos validator's verdict, the
// document through tinygltf's loader, accessor values, node transforms at a keyframe, and glTF's
// skinning and morphing evaluated as the format defines them.
#pragma once

#include "interchange/GltfTransform.h"

#include <tiny_gltf.h>

#include <string>
#include <vector>

namespace quillon::test {

struct TValidatorMessage {
    std::string Code;
    int Severity = 0; // 0 error, 1 warning, 2 info, 3 hint
    std::string Text;
    std::string Pointer;
};

struct TValidation {
    bool Ran = false;
    std::string Failure; // why the validator could not run
    int Errors = 0;
    int Warnings = 0;
    std::vector<TValidatorMessage> Messages;
};

// Runs the Khronos glTF-Validator (tools/gltf-validator, installed by ./test.sh).
TValidation ValidateGltf(const std::string& path);
// A gtest failure unless the validator ran and found no error and no warning; the messages are
// printed.
void ExpectValidGltf(const std::string& path);

tinygltf::Model LoadGltf(const std::string& path);

std::vector<float> AccessorFloats(const tinygltf::Model& model, int accessor);
std::vector<int> AccessorInts(const tinygltf::Model& model, int accessor);
TVec3d Vec3At(const std::vector<float>& values, size_t index);

int NodeNamed(const tinygltf::Model& model, const std::string& name);
// The node's local transform at keyframe `frame` of `animation` (its resting transform where
// no channel of the animation drives a part).
TTrs NodeTrsAt(const tinygltf::Model& model, int animation, int node, size_t frame);
// The node's transform in the scene at that keyframe, through its parents.
TAffine NodeWorldAt(const tinygltf::Model& model, int animation, int node, size_t frame);

// Positions of the mesh of `node` at keyframe `frame`, skinned or morphed as glTF defines it.
std::vector<TVec3d> EvaluatePositions(const tinygltf::Model& model, int animation, int node,
                                      size_t frame);

} // namespace quillon::test
