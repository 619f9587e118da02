#include "SurfacePasses.h"

#include "OGL.h"
#include "gamedata/Shaders.h"

#include <GL/gl.h>

namespace quillon {

TSurfacePasses::TSurfacePasses(const TOGL& context, int unitCount)
    : Context(context), UnitCount(context.HasMultitexture() && unitCount > 0 ? unitCount : 1) {}

void TSurfacePasses::ResetUnits() const {
    for (int n = 0; n < UnitCount; ++n) {
        Context.SelectUnit(n);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LESS);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0);
        glDisable(GL_POLYGON_OFFSET_FILL);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    }
    Context.SelectUnit(0);
}

void TSurfacePasses::TexCoords(const TBatch& batch, float s, float t) const {
    for (int unit = 0; unit < batch.Units; ++unit)
        Context.TexCoord(unit, s, t);
}

void TSurfacePasses::ApplyAlphaKind(int kind, bool unknownIsNone) {
    if (kind < 0 || kind > 3) {
        if (!unknownIsNone)
            return;
        kind = 0;
    }
    if (kind == 0) {
        glDisable(GL_ALPHA_TEST);
        glAlphaFunc(GL_GREATER, 0);
        glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        return;
    }
    glEnable(GL_ALPHA_TEST);
    if (kind == 1)
        glAlphaFunc(GL_GREATER, 0);
    else if (kind == 2)
        glAlphaFunc(GL_LESS, 0.5f);
    else
        glAlphaFunc(GL_GEQUAL, 0.5f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
}

void TSurfacePasses::Draw(TShaderObj* shader, const TDrawTriangles& drawTriangles) {
    UnitsUsed = 0;
    BatchesDrawn = 0;
    BatchAlpha = 0;
    FilterBlend = false;
    ResetUnits();
    BasePass = true;
    if (shader)
        for (const TShaderTexture& stage : shader->Stages)
            if (stage.AlphaFunc != 0 && stage.HasAlpha != 0)
                BasePass = false;
    BatchHasBase = BasePass;
    if (BasePass) {
        Context.SelectUnit(0);
        glDisable(GL_BLEND);
        glDisable(GL_TEXTURE_2D);
        glDepthFunc(GL_LESS);
        glColor4f(1, 1, 1, 1);
        Advance(drawTriangles);
    }
    if (shader)
        for (size_t j = 0; j < shader->Stages.size(); ++j) {
            TShaderTexture& stage = shader->Stages[j];
            Context.SelectUnit(UnitsUsed);
            glDisable(GL_BLEND);
            glDisable(GL_TEXTURE_2D);
            glDisable(GL_ALPHA_TEST);
            glDisable(GL_TEXTURE_GEN_S);
            glDisable(GL_TEXTURE_GEN_T);
            glDisable(GL_POLYGON_OFFSET_FILL);
            BatchAlpha = stage.AlphaFunc;
            stage.StageIndex = static_cast<int32_t>(j);
            if (UnitsUsed == 0) {
                glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
                // A batch after the first lies on the surface's own depth: with "less" it
                // would never show over the batch before it.
                glDepthFunc(BatchesDrawn > 0 ? GL_LEQUAL : GL_LESS);
            } else {
                glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE,
                          stage.HasAlpha ? GL_DECAL : GL_MODULATE);
                glDepthFunc(GL_LEQUAL);
            }
            if (stage.CullMode == CullFront || stage.CullMode == CullBack) {
                glCullFace(stage.CullMode == CullFront ? GL_FRONT : GL_BACK);
                glEnable(GL_CULL_FACE);
            } else {
                glDisable(GL_CULL_FACE);
            }
            FilterBlend = false;
            if (stage.TextureHandle != 0) {
                glBindTexture(GL_TEXTURE_2D, stage.TextureHandle);
                const GLfloat wrap = stage.ClampMap ? GL_CLAMP : GL_REPEAT;
                glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
                glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
                if (stage.EnvironmentMap) {
                    glTexGeni(GL_S, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
                    glTexGeni(GL_T, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
                    glEnable(GL_TEXTURE_GEN_S);
                    glEnable(GL_TEXTURE_GEN_T);
                } else {
                    glDisable(GL_TEXTURE_GEN_S);
                    glDisable(GL_TEXTURE_GEN_T);
                }
                glEnable(GL_BLEND);
                glBlendFunc(stage.BlendSrc, stage.BlendDst);
                glEnable(GL_TEXTURE_2D);
                FilterBlend = stage.BlendSrc == BlendDstColor && stage.BlendDst == BlendZero;
            } else {
                glDisable(GL_BLEND);
                glDisable(GL_TEXTURE_2D);
            }
            Advance(drawTriangles);
        }
    if (UnitsUsed > 0) {
        DrawBatch(drawTriangles);
        ResetUnits();
    }
}

void TSurfacePasses::Advance(const TDrawTriangles& drawTriangles) {
    ++UnitsUsed;
    if (UnitsUsed == UnitCount) {
        DrawBatch(drawTriangles);
        ResetUnits();
        UnitsUsed = 0;
    }
}

void TSurfacePasses::DrawBatch(const TDrawTriangles& drawTriangles) {
    // A filter stage multiplies onto the surface below it. Sharing a batch with the white base
    // pass, the unit's modulate has already done that multiplication; blending it onto the
    // frame buffer as well would tint the model with whatever lies behind it, which the same
    // shader drawn pass by pass on a single unit never does.
    if (BatchHasBase && FilterBlend)
        glDisable(GL_BLEND);
    drawTriangles({UnitsUsed, BatchHasBase, BatchAlpha});
    ++BatchesDrawn;
    BatchHasBase = false;
}

} // namespace quillon
