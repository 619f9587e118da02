// Builds MD3 models and raw MD3 files for tests: frames, tags and several surfaces with
// deterministic contents, and files whose blocks are stored in an order other than the writer's.
#pragma once

#include "core/MD3.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quillon::test {

struct MD3Shape {
    int frames = 2;
    int tags = 1;
    int surfaces = 2;
    int vertsPerSurface = 4;
    int trianglesPerSurface = 2;
    int shadersPerSurface = 1;
};

// A model with the given counts; every field holds a value derived from its position.
TMD3 BuildMD3(const MD3Shape& shape);

// A flat grid of columns x rows vertices one unit apart in the plane z = frame % 256, facing up
// (normal code 0), with a texture coordinate of its own for every vertex: a surface with nothing
// for the model check to find.
TSurface GridSurface(const std::string& name, int columns, int rows, int frames);

// One grid surface ("grid", shader "models/test/grid") and `tags` tags, with every frame's box,
// origin (the box centre) and radius worked out from the grid's corners: a model the check finds
// nothing wrong with.
TMD3 BuildGridMD3(int columns, int rows, int frames, int tags = 1);

// The bytes of a file for `model` (t in file convention). With `reverseBlocks`, each surface
// stores vertices, texture coordinates, triangles, shaders in that order after its header, and
// the tags come before the frames, with a few padding bytes between blocks.
std::vector<char> MD3FileBytes(const TMD3& model, bool reverseBlocks);

void WriteBytes(const std::string& path, const std::vector<char>& bytes);
std::vector<char> ReadBytes(const std::string& path);

// A fresh, empty folder under the system's temporary folder, removed at destruction.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return Path + "/" + name; }
    std::string Path;
};

} // namespace quillon::test
