#include "SkeletalDrawer.h"

#include "gamedata/Shaders.h"
#include "lod/LodCalculation.h"
#include "skeletal/MDM.h"
#include "skeletal/MDX.h"
#include "skeletal/Pose.h"

#include <GL/gl.h>

namespace quillon {

namespace {

void Vertex(TVector p) {
    glVertex3f(p.x, p.y, p.z);
}

bool TriangleValid(const TMDMTriangle& triangle, size_t vertexCount) {
    for (int32_t index : triangle.indexes)
        if (index < 0 || static_cast<size_t>(index) >= vertexCount)
            return false;
    return true;
}

TShaderObj* SurfaceShader(const TMDMSurface& surface, TShaders* shaders) {
    if (!shaders || !shaders->Has(surface.shaderIndex))
        return nullptr;
    return &shaders->Shaders[surface.shaderIndex];
}

} // namespace

int TSkeletalDrawer::LodVertexCount(const TMDM& mesh, int surface) {
    if (!mesh.HasSurface(surface))
        return 0;
    if (static_cast<size_t>(surface) >= mesh.LODTable.size())
        return static_cast<int>(mesh.Surfaces[surface].Vertices.size());
    return mesh.LODTable[surface].minLod;
}

void TSkeletalDrawer::Draw(TMDM& mesh, const TMDX& animation, TShaders* shaders,
                           const TViewOptions& options) {
    const int frame = options.CurrentFrame;
    if (options.LODEnabled) {
        for (int s = 0; s < static_cast<int>(mesh.Surfaces.size()); ++s)
            DrawReduced(mesh, animation, frame, s, LodVertexCount(mesh, s));
        return;
    }
    if (!PoseSkeleton(mesh, animation, frame))
        return;
    if (!mesh.BonePositions.empty())
        DrawSurfaces(mesh, shaders, options);
    BeginOverlays();
    if (options.ShowSkeleton)
        DrawSkeleton(mesh, animation);
    if (options.ShowTags)
        DrawTags(mesh);
    if (options.ShowNormals)
        DrawNormals(mesh);
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
}

void TSkeletalDrawer::DrawSurfaces(TMDM& mesh, TShaders* shaders, const TViewOptions& options) {
    for (int s = 0; s < static_cast<int>(mesh.Surfaces.size()); ++s) {
        PoseSurface(mesh, s);
        Passes.Draw(SurfaceShader(mesh.Surfaces[s], shaders),
                    [&](const TBatch& batch) { DrawTriangles(mesh, s, batch, options); });
    }
}

void TSkeletalDrawer::DrawTriangles(const TMDM& mesh, int surface, const TBatch& batch,
                                    const TViewOptions& options) const {
    TSurfacePasses::ApplyAlphaKind(batch.AlphaKind, true);
    if (options.Lighting)
        glEnable(GL_LIGHTING);
    else
        glDisable(GL_LIGHTING);
    // The depth function stays as the passes set it: a batch after the first lies on the
    // surface's own depth and must pass "less or equal" to show over the batch before it.
    glEnable(GL_DEPTH_TEST);
    glDepthMask(GL_TRUE);
    const TMDMSurface& s = mesh.Surfaces[surface];
    const size_t vertexCount = s.Vertices.size();
    for (const TMDMTriangle& triangle : s.Triangles) {
        if (!TriangleValid(triangle, vertexCount))
            continue;
        glBegin(GL_TRIANGLES);
        glColor3f(1, 1, 1);
        for (int32_t v : triangle.indexes) {
            const TVector n = mesh.PosedNormals[v];
            glNormal3f(n.x, n.y, n.z);
            // The mesh keeps t as the file has it; the images are stored the other way up.
            const float* st = s.Vertices[v].texCoords;
            Passes.TexCoords(batch, st[0], 1 - st[1]);
            Vertex(mesh.PosedPositions[v]);
        }
        glEnd();
    }
}

void TSkeletalDrawer::BeginOverlays() const {
    Passes.ResetUnits();
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_ALWAYS); // the overlays stay visible through the model
    glFrontFace(GL_CW);
    glDisable(GL_CULL_FACE);
}

void TSkeletalDrawer::DrawSkeleton(const TMDM& mesh, const TMDX& animation) {
    const std::vector<TVector>& bones = mesh.BonePositions;
    for (size_t b = 0; b < bones.size(); ++b) {
        const int32_t parent = animation.Bones[b].parent;
        // Posing places a bone whose parent does not come before it as a root; so is it drawn.
        const bool root = parent < 0 || static_cast<size_t>(parent) >= b;
        if (!root) {
            glBegin(GL_LINES);
            glColor3f(1, 0.5f, 0);
            Vertex(bones[b]);
            Vertex(bones[parent]);
            glEnd();
        }
        glPointSize(root ? 10 : 4);
        glBegin(GL_POINTS);
        glColor3f(1, 0.9f, 0);
        Vertex(bones[b]);
        glEnd();
    }
}

void TSkeletalDrawer::DrawTags(const TMDM& mesh) {
    static constexpr float Colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (size_t t = 0; t < mesh.TagPositions.size(); ++t) {
        const TVector origin = mesh.TagPositions[t];
        glBegin(GL_LINES);
        for (int axis = 0; axis < 3; ++axis) {
            glColor3fv(Colours[axis]);
            Vertex(origin);
            Vertex(VectorAdd(origin, VectorScale(mesh.TagAxes[t][axis], 10)));
        }
        glEnd();
    }
}

void TSkeletalDrawer::DrawNormals(TMDM& mesh) {
    glColor3f(0.3f, 0.7f, 0.1f);
    for (int s = 0; s < static_cast<int>(mesh.Surfaces.size()); ++s) {
        const TMDMSurface& surface = mesh.Surfaces[s];
        if (surface.Triangles.empty())
            continue;
        PoseSurface(mesh, s);
        glBegin(GL_LINES);
        for (const TMDMTriangle& triangle : surface.Triangles) {
            if (!TriangleValid(triangle, surface.Vertices.size()))
                continue;
            TVector positions[3], normals[3];
            for (int k = 0; k < 3; ++k) {
                positions[k] = mesh.PosedPositions[triangle.indexes[k]];
                normals[k] = mesh.PosedNormals[triangle.indexes[k]];
            }
            const TVector centre = VectorAverage(positions);
            Vertex(centre);
            Vertex(VectorAdd(centre, VectorScale(VectorAverage(normals), 3)));
        }
        glEnd();
    }
}

void TSkeletalDrawer::DrawReduced(TMDM& mesh, const TMDX& animation, int frame, int surface,
                                  int vertexCount) {
    glFrontFace(GL_CW);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    if (!mesh.HasSurface(surface) || !PoseSkeleton(mesh, animation, frame))
        return;
    PoseSurface(mesh, surface);
    const std::vector<TVector>& posed = mesh.PosedPositions;
    for (const TMDMTriangle& triangle : mesh.Surfaces[surface].Triangles) {
        int32_t corner[3];
        for (int k = 0; k < 3; ++k)
            corner[k] = Map(mesh, surface, triangle.indexes[k], vertexCount);
        if (corner[0] == corner[1] || corner[1] == corner[2] || corner[0] == corner[2])
            continue;
        const TMDMTriangle mapped{{corner[0], corner[1], corner[2]}};
        if (!TriangleValid(mapped, posed.size()))
            continue;
        glColor3f(1, 1, 1);
        glBegin(GL_TRIANGLES);
        const TVector normal = TriangleNormal(posed[corner[2]], posed[corner[1]], posed[corner[0]]);
        if (VectorLength(normal) > 0)
            glNormal3f(normal.x, normal.y, normal.z);
        // The corners go in the order of the full drawing, so the same faces are front faces.
        for (int32_t v : corner)
            Vertex(posed[v]);
        glEnd();
    }
}

TVector TSkeletalDrawer::Pivot(TMDM& mesh, const TMDX& animation, int pivotIndex, int frame) {
    if (pivotIndex < 0 || !PoseSkeleton(mesh, animation, frame) ||
        static_cast<size_t>(pivotIndex) >= mesh.TagPositions.size())
        return VectorZero();
    return VectorNegate(mesh.TagPositions[pivotIndex]);
}

} // namespace quillon
