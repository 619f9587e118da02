// The surface passes: a shader's stages are mapped onto the GL texture units in order, so one
// submission of the triangles draws as many stages as there are units. An untextured white base
// pass on unit 0 stands for the surface itself unless a stage tests alpha on an image with an
// alpha channel (then the holes must stay holes). Every time all units are filled the triangles
// are drawn once with all of them active; what is left after the last stage is drawn at the end.
// Both model paths (MD3 and skeletal) share this; they supply the triangle drawing.
#pragma once

#include <functional>

namespace quillon {

class TOGL;
struct TShaderObj;

// What the triangle drawing needs to know about the batch it draws.
struct TBatch {
    int Units = 0;     // texture units filled
    bool Base = false; // unit 0 holds the white base pass
    int AlphaKind = 0; // alpha test of the stage set up last
};

class TSurfacePasses {
public:
    using TDrawTriangles = std::function<void(const TBatch&)>;

    // `unitCount` below 1, or a context without the multitexture extension, means one unit.
    TSurfacePasses(const TOGL& context, int unitCount);

    int Units() const { return UnitCount; }
    // Draws one surface with `shader` (none: white and untextured).
    void Draw(TShaderObj* shader, const TDrawTriangles& drawTriangles);
    // Returns every unit to the neutral state and selects unit 0.
    void ResetUnits() const;
    // Texture coordinates of one vertex on every unit of the batch.
    void TexCoords(const TBatch& batch, float s, float t) const;
    // The alpha test and the environment of the active unit for a batch's alpha kind. Kinds
    // other than 1 to 3 are kind 0 when `unknownIsNone`, else they change nothing.
    static void ApplyAlphaKind(int kind, bool unknownIsNone);

private:
    void Advance(const TDrawTriangles& drawTriangles);
    void DrawBatch(const TDrawTriangles& drawTriangles);

    const TOGL& Context;
    int UnitCount = 1;
    int UnitsUsed = 0;
    int BatchesDrawn = 0; // of the surface being drawn
    bool BasePass = false;
    bool BatchHasBase = false;
    int BatchAlpha = 0;
    bool FilterBlend = false; // the stage set up last multiplies onto what lies below
};

} // namespace quillon
