// A shown 3D view with its context for the GL tests (run under Xvfb with Mesa), and helpers to
// build drawable models and image files. The application, view and context live for the whole
// test program, as they do in Quillon.
#pragma once

#include "core/MD3.h"
#include "gamedata/Shaders.h"
#include "render/OGL.h"
#include "render/ViewRenderer.h"

#include <array>
#include <string>
#include <vector>

namespace quillon {
class TGLView;
}

namespace quillon::test {

using TPixel = std::array<int, 3>;

struct GLWorld {
    TOGL* Context;
    TGLView* View;
    std::vector<int> Errors;
};

// Creates the world on first use; tests skip when no GL context could be made.
GLWorld& World();
bool GLAvailable();

// The pixel at panel coordinates (x from the left, y from the top) of the last frame.
TPixel ReadPixel(int x, int y);
bool Near(const TPixel& a, const TPixel& b, int tolerance = 3);

// A one-frame square of side `size` centred on the origin in the x-y plane, facing +z (the
// camera of the tests), s running left to right and t bottom to top; normals along `normal`.
TMD3 SquareModel(float size, TVector normal = {0, 0, 1}, int shaderIndex = 0);

// Writes an uncompressed TGA of width × height pixels given as RGBA rows, bottom row first.
void WriteTga(const std::string& path, int width, int height,
              const std::vector<std::array<uint8_t, 4>>& pixels, bool withAlpha);
void WriteSolidJpeg(const std::string& path, int size, std::array<uint8_t, 3> colour);

// View state and options for drawing the square head-on at distance 100 without lighting.
TView3DState HeadOnState();
TViewOptions PlainOptions();

} // namespace quillon::test
