// The records of an imported map: faces as convex polygons whose corners are consecutive in one
// vertex list, the textures they name, and the plane lines of the brush being read. Positions are
// in the model frame, a half turn about Z from the map file's frame.
#pragma once

#include "core/VectorMath.h"

#include <cstdint>
#include <string>

namespace quillon {

struct TMapFace {
    TVector normal; // unit, pointing out of the brush
    int32_t numCorners = 0;
    int32_t firstCorner = 0; // index of its first corner in the vertex list
    int32_t textureIndex = -1;
    std::string textureName; // as written in the map
    int32_t brush = 0;       // which brush of the world entity, from 0
    int32_t plane = 0;       // which line of that brush, from 0
};

struct TMapVertex {
    TVector normal; // the face's normal
    TVector position;
    float s = 0, t = 0;
};

struct TMapTexture {
    std::string name; // the image file found, or the texture name as written
    int32_t width = 256;
    int32_t height = 256;
};

enum class TDominantAxis : int32_t { X = 1, Y = 2, Z = 3 };

struct TMapPlane {
    TVector normal;
    float d = 0;
    TVector points[3]; // first, third, second point, z negated
    std::string textureName;
    int32_t textureIndex = -1;
    TVector axisS, axisT;
    float rotation = 0; // degrees
    float shiftS = 0, shiftT = 0;
    float scaleS = 1, scaleT = 1;
    TDominantAxis dominantAxis = TDominantAxis::Z;
    int32_t dominantSign = 1; // sign of the normal's dominant component
};

} // namespace quillon
