#include "MD3Comparison.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>

namespace quillon::test {

namespace {

std::array<float, 3> Components(const TVector& v) {
    return {v.x, v.y, v.z};
}

} // namespace

// One normal code step: each of the two angle bytes within one of the other's.
bool NormalsClose(int16_t a, int16_t b) {
    const int latA = uint16_t(a) & 255, latB = uint16_t(b) & 255;
    const int lngA = uint16_t(a) >> 8, lngB = uint16_t(b) >> 8;
    const int lngStep = std::min(std::abs(lngA - lngB), 256 - std::abs(lngA - lngB));
    // At the poles the angle about z means nothing.
    const bool pole = latA <= 1 || (latA >= 127 && latA <= 129) || latA == 255;
    return std::abs(latA - latB) <= 1 && (pole || lngStep <= 1);
}

// Every vertex, normal, texture coordinate, triangle, tag and frame name of `a` in `b`.
void ExpectSameModel(const TMD3& a, const TMD3& b, const std::string& what) {
    const THeader &ha = a.Header, &hb = b.Header;
    ASSERT_EQ(ha.numFrames, hb.numFrames) << what;
    ASSERT_EQ(ha.numSurfaces, hb.numSurfaces) << what;
    ASSERT_EQ(ha.numTags, hb.numTags) << what;
    for (uint32_t f = 0; f < ha.numFrames; ++f)
        EXPECT_EQ(NameToString(ha.Frames[f].name), NameToString(hb.Frames[f].name)) << what;
    for (size_t t = 0; t < ha.Tags.size(); ++t) {
        EXPECT_EQ(NameToString(ha.Tags[t].name), NameToString(hb.Tags[t].name)) << what;
        for (int c = 0; c < 3; ++c) {
            EXPECT_NEAR(Components(ha.Tags[t].origin)[c], Components(hb.Tags[t].origin)[c], 1e-4)
                << what << " tag " << t;
            for (int a = 0; a < 3; ++a)
                EXPECT_NEAR(Components(ha.Tags[t].axis[a])[c], Components(hb.Tags[t].axis[a])[c],
                            1e-4)
                    << what << " tag " << t;
        }
    }
    for (uint32_t s = 0; s < ha.numSurfaces; ++s) {
        const TSurface &sa = ha.Surfaces[s], &sb = hb.Surfaces[s];
        const std::string surface = what + " surface " + NameToString(sa.name);
        EXPECT_EQ(NameToString(sa.name), NameToString(sb.name)) << surface;
        ASSERT_EQ(sa.numVerts, sb.numVerts) << surface;
        ASSERT_EQ(sa.numTriangles, sb.numTriangles) << surface;
        for (uint32_t t = 0; t < sa.numTriangles; ++t)
            for (int k = 0; k < 3; ++k)
                ASSERT_EQ(sa.Triangles[t].indexes[k], sb.Triangles[t].indexes[k]) << surface;
        for (uint32_t v = 0; v < sa.numVerts; ++v) {
            EXPECT_NEAR(sa.TexCoords[v].s, sb.TexCoords[v].s, 1e-6) << surface;
            EXPECT_NEAR(sa.TexCoords[v].t, sb.TexCoords[v].t, 1e-6) << surface;
        }
        int far = 0;
        for (size_t v = 0; v < sa.Vertices.size(); ++v) {
            const TMD3Vertex &va = sa.Vertices[v], &vb = sb.Vertices[v];
            ASSERT_TRUE(va.x == vb.x && va.y == vb.y && va.z == vb.z)
                << surface << " vertex " << v % sa.numVerts << " frame " << v / sa.numVerts;
            far += !NormalsClose(va.normal, vb.normal);
        }
        EXPECT_EQ(far, 0) << surface << ": normals more than one code step apart";
    }
}

} // namespace quillon::test
