// Draws a skeletal model (an MDM mesh posed by an MDX animation) at the current frame: each
// surface through the surface passes with its shader's stages, then the overlays (skeleton, tag
// axes, triangle normals) on top of the model. With the LOD preview on, every surface is drawn
// white and reduced to its current LOD minimum instead, without overlays.
//
// The bones are placed once per frame and each surface is posed once, before its passes; every
// batch of texture units then draws from the same posed vertices. A frame outside the animation
// draws nothing, as does a surface whose triangles name vertices it does not have (for those
// triangles): nothing is read beyond the posed arrays.
#pragma once

#include "SurfacePasses.h"
#include "ViewState.h"
#include "core/VectorMath.h"

namespace quillon {

class TMDM;
class TMDX;
class TShaders;

class TSkeletalDrawer {
public:
    explicit TSkeletalDrawer(TSurfacePasses& passes) : Passes(passes) {}

    // `shaders` may be null: every surface is then white. Leaves the mesh posed at the frame.
    void Draw(TMDM& mesh, const TMDX& animation, TShaders* shaders, const TViewOptions& options);

    // One surface reduced to its first `vertexCount` vertices (higher indices follow the
    // surface's collapse map), white and untextured; triangles whose corners merge are left out.
    static void DrawReduced(TMDM& mesh, const TMDX& animation, int frame, int surface,
                            int vertexCount);

    // The pivot offset for the selected entry of the pivot list: the negated position of tag
    // `pivotIndex` in `frame`, or the origin for "origin" (the entry after the last tag), for
    // no selection and for a frame outside the animation. Poses the frame's bones and tags.
    static TVector Pivot(TMDM& mesh, const TMDX& animation, int pivotIndex, int frame);

    // The vertex count the LOD preview draws `surface` with: its current LOD minimum, or all
    // its vertices for a surface beyond the LOD table.
    static int LodVertexCount(const TMDM& mesh, int surface);

private:
    void DrawSurfaces(TMDM& mesh, TShaders* shaders, const TViewOptions& options);
    void DrawTriangles(const TMDM& mesh, int surface, const TBatch& batch,
                       const TViewOptions& options) const;
    void BeginOverlays() const;
    static void DrawSkeleton(const TMDM& mesh, const TMDX& animation);
    static void DrawTags(const TMDM& mesh);
    static void DrawNormals(TMDM& mesh);

    TSurfacePasses& Passes;
};

} // namespace quillon
