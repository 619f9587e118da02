#include "MD3Drawer.h"

#include "core/MD3.h"
#include "gamedata/Shaders.h"

#include <GL/gl.h>

namespace quillon {

namespace {

void Vertex(TVector p) {
    glVertex3f(p.x, p.y, p.z);
}

bool IndexValid(int32_t index, uint32_t count) {
    return index >= 0 && static_cast<uint32_t>(index) < count;
}

bool TriangleValid(const TMD3Triangle& triangle, uint32_t vertexCount) {
    return IndexValid(triangle.indexes[0], vertexCount) &&
           IndexValid(triangle.indexes[1], vertexCount) &&
           IndexValid(triangle.indexes[2], vertexCount);
}

TShaderObj* SurfaceShader(const TSurface& surface, TShaders* shaders) {
    if (!shaders || surface.Shaders.empty() || !shaders->Has(surface.Shaders[0].shaderIndex))
        return nullptr;
    return &shaders->Shaders[surface.Shaders[0].shaderIndex];
}

} // namespace

bool TMD3Drawer::SurfaceFrameValid(const TSurface& surface, int frame) {
    return frame >= 0 && static_cast<uint64_t>(frame) < surface.numFrames &&
           surface.TexCoords.size() >= surface.numVerts &&
           surface.Vertices.size() >= (uint64_t(frame) + 1) * surface.numVerts;
}

bool TMD3Drawer::TagFrameValid(const TMD3& model, int frame) {
    const THeader& h = model.Header;
    return frame >= 0 && static_cast<uint64_t>(frame) < h.numFrames &&
           h.Tags.size() >= (uint64_t(frame) + 1) * h.numTags;
}

void TMD3Drawer::Draw(const TMD3& model, TShaders* shaders, const TViewOptions& options) {
    const int frame = options.CurrentFrame;
    const bool frameInModel = frame >= 0 && static_cast<uint64_t>(frame) < model.Header.numFrames;
    if (frameInModel)
        for (const TSurface& surface : model.Header.Surfaces) {
            if (!SurfaceFrameValid(surface, frame))
                continue;
            Passes.Draw(SurfaceShader(surface, shaders),
                        [&](const TBatch& batch) { DrawTriangles(surface, batch, frame); });
        }

    Passes.ResetUnits();
    glDisable(GL_LIGHTING);
    glDisable(GL_BLEND);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_ALPHA_TEST);
    glDisable(GL_TEXTURE_GEN_S);
    glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDepthFunc(GL_ALWAYS); // the overlays stay visible through the model
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    if (options.ShowTags && model.Header.numTags > 0 && TagFrameValid(model, frame))
        DrawTags(model, frame);
    if (options.ShowNormals && frameInModel)
        DrawNormals(model, frame);
    if (options.ShowTags) {
        glBegin(GL_POINTS);
        glColor3f(1, 1, 0);
        glVertex3f(0, 0, 0);
        glEnd();
    }
    Passes.ResetUnits();
    glDepthFunc(GL_LESS);
    glEnable(GL_CULL_FACE);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
}

void TMD3Drawer::DrawTriangles(const TSurface& surface, const TBatch& batch, int frame) {
    TSurfacePasses::ApplyAlphaKind(batch.AlphaKind, false);
    const size_t first = size_t(surface.numVerts) * frame;
    const size_t triangles = std::min<size_t>(surface.numTriangles, surface.Triangles.size());
    for (size_t t = 0; t < triangles; ++t) {
        const TMD3Triangle& triangle = surface.Triangles[t];
        if (!TriangleValid(triangle, surface.numVerts))
            continue;
        glBegin(GL_TRIANGLES);
        for (int32_t v : triangle.indexes) {
            const TMD3Vertex& vertex = surface.Vertices[first + v];
            const TVector n = TMD3::DecodeNormal(vertex.normal);
            glNormal3f(n.x, n.y, n.z);
            const TMD3TexCoord& st = surface.TexCoords[v];
            Passes.TexCoords(batch, st.s, st.t);
            Vertex(TMD3::VertexPosition(vertex));
        }
        glEnd();
    }
}

void TMD3Drawer::DrawTags(const TMD3& model, int frame) {
    const uint32_t count = model.Header.numTags;
    static constexpr float Colours[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (uint32_t t = 0; t < count; ++t) {
        const TMD3Tag& tag = model.Header.Tags[size_t(count) * frame + t];
        glBegin(GL_LINES);
        for (int axis = 0; axis < 3; ++axis) {
            glColor3fv(Colours[axis]);
            Vertex(tag.origin);
            Vertex(VectorAdd(tag.origin, VectorScale(tag.axis[axis], 10)));
        }
        glEnd();
    }
}

void TMD3Drawer::DrawNormals(const TMD3& model, int frame) {
    glColor3f(0.3f, 0.7f, 0.1f);
    for (const TSurface& surface : model.Header.Surfaces) {
        if (!SurfaceFrameValid(surface, frame))
            continue;
        const size_t first = size_t(surface.numVerts) * frame;
        const size_t triangles = std::min<size_t>(surface.numTriangles, surface.Triangles.size());
        for (size_t t = 0; t < triangles; ++t) {
            const TMD3Triangle& triangle = surface.Triangles[t];
            if (!TriangleValid(triangle, surface.numVerts))
                continue;
            TVector positions[3], normals[3];
            for (int k = 0; k < 3; ++k) {
                const TMD3Vertex& vertex = surface.Vertices[first + triangle.indexes[k]];
                positions[k] = TMD3::VertexPosition(vertex);
                normals[k] = TMD3::DecodeNormal(vertex.normal);
            }
            const TVector centre = VectorAverage(positions);
            glBegin(GL_LINES);
            Vertex(centre);
            Vertex(VectorAdd(centre, VectorScale(VectorAverage(normals), 3)));
            glEnd();
        }
    }
}

} // namespace quillon
