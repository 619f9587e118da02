// Draws the MD3 model of the current frame: each surface through the surface passes with its
// shader's stages, then the overlays (tag axes, triangle normals, the origin point) on top of
// the model. Nothing is read beyond the model's arrays: a frame outside the model, a vertex
// index outside its surface or a surface with short arrays draws nothing for that item.
#pragma once

#include "SurfacePasses.h"
#include "ViewState.h"

namespace quillon {

class TMD3;
class TShaders;
struct TSurface;

class TMD3Drawer {
public:
    explicit TMD3Drawer(TSurfacePasses& passes) : Passes(passes) {}

    // `shaders` may be null: every surface is then white.
    void Draw(const TMD3& model, TShaders* shaders, const TViewOptions& options);

    // True when `frame` can be read from every array of the surface.
    static bool SurfaceFrameValid(const TSurface& surface, int frame);
    static bool TagFrameValid(const TMD3& model, int frame);

private:
    void DrawTriangles(const TSurface& surface, const TBatch& batch, int frame);
    void DrawTags(const TMD3& model, int frame);
    void DrawNormals(const TMD3& model, int frame);

    TSurfacePasses& Passes;
};

} // namespace quillon
