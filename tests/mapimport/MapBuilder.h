// Writes .map text for tests and benchmarks: plane lines, convex brushes given by their outward
// planes (boxes, rotated boxes, pyramids, bevelled boxes, wedges), entities, and a large generated
// level. Header-only so that the benchmarks can use it without the test libraries.
#pragma once

#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace quillon::test {

struct Vec3 {
    double x = 0, y = 0, z = 0;
};
inline Vec3 operator+(Vec3 a, Vec3 b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, double s) {
    return {a.x * s, a.y * s, a.z * s};
}
inline double Dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline Vec3 Unit(Vec3 a) {
    return a * (1 / std::sqrt(Dot(a, a)));
}

struct TextureLayout {
    std::string name = "base/wall";
    double shiftS = 0, shiftT = 0, rotation = 0, scaleS = 0.5, scaleT = 0.5;
};

// One plane line: three points in the map file's frame, in the order the file stores them.
struct PlaneShape {
    Vec3 p1, p2, p3;
    TextureLayout texture;
};

inline std::string Number(double value) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

inline std::string PlaneLine(const PlaneShape& plane) {
    auto point = [](Vec3 p) {
        return "( " + Number(p.x) + " " + Number(p.y) + " " + Number(p.z) + " ) ";
    };
    const TextureLayout& t = plane.texture;
    return point(plane.p1) + point(plane.p2) + point(plane.p3) + t.name + " " + Number(t.shiftS) +
           " " + Number(t.shiftT) + " " + Number(t.rotation) + " " + Number(t.scaleS) + " " +
           Number(t.scaleT) + " 0 0 0";
}

// The file stores a plane's points so that (p2 - p3) x (p1 - p3) points out of the brush.
inline PlaneShape OutwardPlane(Vec3 point, Vec3 outward, const TextureLayout& texture = {}) {
    const Vec3 n = Unit(outward);
    const Vec3 helper = std::fabs(n.z) < 0.9 ? Vec3{0, 0, 1} : Vec3{1, 0, 0};
    const Vec3 u = Unit(Cross(helper, n));
    const Vec3 v = Cross(n, u); // u x v = n
    return {point + v * 64, point + u * 64, point, texture};
}

// Axis-aligned planes keep whole-number points, as an editor writes them.
inline PlaneShape AxisPlane(Vec3 point, Vec3 u, Vec3 v, const TextureLayout& texture = {}) {
    return {point + v, point + u, point, texture};
}

using BrushShape = std::vector<PlaneShape>;

// Faces in the order +x, -x, +y, -y, +z, -z.
inline BrushShape BoxBrush(Vec3 lo, Vec3 hi, const std::vector<TextureLayout>& textures = {{}}) {
    auto tex = [&](size_t i) { return textures[i % textures.size()]; };
    const Vec3 X{1, 0, 0}, Y{0, 1, 0}, Z{0, 0, 1};
    return {AxisPlane(hi, Y, Z, tex(0)), AxisPlane(lo, Z, Y, tex(1)), AxisPlane(hi, Z, X, tex(2)),
            AxisPlane(lo, X, Z, tex(3)), AxisPlane(hi, X, Y, tex(4)), AxisPlane(lo, Y, X, tex(5))};
}

// A box of half-size `half` about `centre`, turned by `degrees` about the Z axis.
inline BrushShape RotatedBoxBrush(Vec3 centre, Vec3 half, double degrees,
                                  const std::vector<TextureLayout>& textures = {{}}) {
    const double a = degrees * 3.14159265358979323846 / 180;
    const Vec3 ax{std::cos(a), std::sin(a), 0}, ay{-std::sin(a), std::cos(a), 0}, az{0, 0, 1};
    auto tex = [&](size_t i) { return textures[i % textures.size()]; };
    return {OutwardPlane(centre + ax * half.x, ax, tex(0)),
            OutwardPlane(centre - ax * half.x, ax * -1, tex(1)),
            OutwardPlane(centre + ay * half.y, ay, tex(2)),
            OutwardPlane(centre - ay * half.y, ay * -1, tex(3)),
            OutwardPlane(centre + az * half.z, az, tex(4)),
            OutwardPlane(centre - az * half.z, az * -1, tex(5))};
}

// A square base from lo to hi (in x and y, at lo.z) and an apex above its centre where the four
// sloped planes meet.
inline BrushShape PyramidBrush(Vec3 lo, Vec3 hi,
                               const std::vector<TextureLayout>& textures = {{}}) {
    auto tex = [&](size_t i) { return textures[i % textures.size()]; };
    const Vec3 apex{(lo.x + hi.x) / 2, (lo.y + hi.y) / 2, hi.z};
    const Vec3 b00{lo.x, lo.y, lo.z}, b10{hi.x, lo.y, lo.z}, b11{hi.x, hi.y, lo.z},
        b01{lo.x, hi.y, lo.z};
    // Each side through two base corners and the apex, points ordered for an outward normal.
    auto side = [](Vec3 a, Vec3 b, Vec3 top, const TextureLayout& t) {
        return PlaneShape{top, b, a, t};
    };
    return {AxisPlane(b00, Vec3{0, 1, 0}, Vec3{1, 0, 0}, tex(0)), side(b00, b10, apex, tex(1)),
            side(b10, b11, apex, tex(2)), side(b11, b01, apex, tex(3)),
            side(b01, b00, apex, tex(4))};
}

// A box whose corner at `lo` is cut off by the plane through its three neighbouring corners: four
// planes meet at each of those corners.
inline BrushShape CornerBevelBrush(Vec3 lo, Vec3 hi,
                                   const std::vector<TextureLayout>& textures = {{}}) {
    BrushShape brush = BoxBrush(lo, hi, textures);
    const Vec3 a{hi.x, lo.y, lo.z}, b{lo.x, hi.y, lo.z}, c{lo.x, lo.y, hi.z};
    brush.push_back({a, b, c, textures[brush.size() % textures.size()]});
    return brush;
}

// A box cut along the diagonal from its top -x edge to its bottom +x edge; the +x and +z planes
// then touch the brush only along an edge and give no face.
inline BrushShape WedgeBrush(Vec3 lo, Vec3 hi, const std::vector<TextureLayout>& textures = {{}}) {
    BrushShape brush = BoxBrush(lo, hi, textures);
    const Vec3 top{lo.x, lo.y, hi.z}, bottom{hi.x, lo.y, lo.z};
    brush.push_back({top + Vec3{0, 1, 0}, bottom, top, textures[6 % textures.size()]});
    return brush;
}

inline std::string BrushText(const BrushShape& brush) {
    std::string text = "{\n";
    for (const PlaneShape& plane : brush)
        text += PlaneLine(plane) + "\n";
    return text + "}\n";
}

inline std::string EntityText(const std::string& classname, const std::vector<BrushShape>& brushes,
                              const std::string& extraLines = "") {
    std::string text = "{\n\"classname\" \"" + classname + "\"\n" + extraLines;
    for (size_t b = 0; b < brushes.size(); ++b)
        text += "// brush " + std::to_string(b) + "\n" + BrushText(brushes[b]);
    return text + "}\n";
}

inline std::string WorldMap(const std::vector<BrushShape>& brushes) {
    return EntityText("worldspawn", brushes);
}

// A patch and a brush written with a texture matrix: blocks the importer reads and drops.
inline std::string SkippedWorldBlocks() {
    return "{\npatchDef2\n{\ncommon/caulk\n( 3 3 0 0 0 )\n(\n( ( 0 0 0 0 0 ) ( 0 64 0 0 1 ) "
           "( 0 128 0 0 2 ) )\n)\n}\n}\n"
           "{\nbrushDef\n{\n( 0 0 64 ) ( 64 0 64 ) ( 0 64 64 ) ( ( 0.01 0 0 ) ( 0 0.01 0 ) ) "
           "base/wall 0 0 0\n}\n}\n";
}

struct GeneratedLevel {
    std::string text;
    size_t brushes = 0;
    size_t textures = 24;
};

// A level of `cellsX` x `cellsY` x `cellsZ` brushes, one per 64-unit cell, centred on the origin
// so that it fits the MD3 vertex range: boxes, rotated boxes, pyramids, bevelled boxes and
// wedges with varied texture shifts, rotations and scales, a patch, and further entities after
// the world.
inline GeneratedLevel GenerateLevel(int cellsX = 16, int cellsY = 16, int cellsZ = 10) {
    GeneratedLevel level;
    std::vector<BrushShape> brushes;
    for (int k = 0; k < cellsZ; ++k)
        for (int j = 0; j < cellsY; ++j)
            for (int i = 0; i < cellsX; ++i) {
                const size_t n = brushes.size();
                std::vector<TextureLayout> textures;
                for (size_t f = 0; f < 7; ++f) {
                    TextureLayout t;
                    t.name = (n * 7 + f) % 97 == 0 ? "common/caulk"
                                                   : "gen/tex" + std::to_string((n * 7 + f) % 24);
                    t.shiftS = double((n + f) % 5) * 16;
                    t.shiftT = double((n * 3 + f) % 7) * 8;
                    t.rotation = double((n + 2 * f) % 8) * 45;
                    t.scaleS = 0.25 * double(1 + (n + f) % 4);
                    t.scaleT = 0.25 * double(1 + (n + 3 * f) % 4);
                    textures.push_back(t);
                }
                const Vec3 cell{double(i - cellsX / 2) * 64, double(j - cellsY / 2) * 64,
                                double(k - cellsZ / 2) * 64};
                const Vec3 lo = cell + Vec3{8, 8, 8};
                const Vec3 hi = cell + Vec3{56, 56 - double(n % 3) * 8, 56};
                switch (n % 5) {
                case 0:
                    brushes.push_back(BoxBrush(lo, hi, textures));
                    break;
                case 1:
                    brushes.push_back(RotatedBoxBrush(cell + Vec3{32, 32, 32}, Vec3{16, 12, 20},
                                                      double(n % 89) + 0.5, textures));
                    break;
                case 2:
                    brushes.push_back(PyramidBrush(lo, hi, textures));
                    break;
                case 3:
                    brushes.push_back(CornerBevelBrush(lo, hi, textures));
                    break;
                default:
                    brushes.push_back(WedgeBrush(lo, hi, textures));
                    break;
                }
            }
    level.brushes = brushes.size();
    std::string world = WorldMap(brushes);
    world.insert(world.size() - 2, SkippedWorldBlocks());
    level.text = "// generated level\n" + world +
                 EntityText("info_player_start", {}, "\"origin\" \"0 0 64\"\n") +
                 EntityText("func_group", {BoxBrush({0, 0, 600}, {64, 64, 664})});
    return level;
}

} // namespace quillon::test
