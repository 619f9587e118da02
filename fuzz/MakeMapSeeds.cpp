// Writes seed .map files for the map fuzzer: single brushes of each shape the builder makes, a
// small generated level with skipped blocks and later entities, maps that cross a limit, and a
// brush with one plane more than the importer takes.
#include "tests/mapimport/MapBuilder.h"

#include <fstream>
#include <iostream>

using namespace quillon::test;

// Tangent planes of a sphere, spread evenly: a brush with as many faces as planes, to probe the
// cost of the corner search and the limit on planes per brush.
BrushShape SphereBrush(int planes) {
    BrushShape brush;
    for (int i = 0; i < planes; ++i) {
        const double z = 1 - 2 * (i + 0.5) / planes, r = std::sqrt(1 - z * z), a = i * 2.399963;
        const Vec3 n{r * std::cos(a), r * std::sin(a), z};
        brush.push_back(OutwardPlane(n * 200, n));
    }
    return brush;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: fuzz_map_seeds FOLDER\n";
        return 2;
    }
    const Vec3 lo{0, 0, 0}, hi{64, 64, 64};
    const std::vector<TextureLayout> textures = {
        {"base/wall", 16, 8, 90, 0.5, 2}, {"afloor", 0, 0, 45, 1, 1}, {"common/caulk"}};
    BrushShape fiveCorners = BoxBrush(lo, hi);
    fiveCorners.push_back(OutwardPlane({0, 0, 16}, {-1, -1, -1}));
    const std::string maps[] = {
        WorldMap({BoxBrush(lo, hi, textures)}),
        WorldMap({RotatedBoxBrush({32, 32, 32}, {16, 12, 20}, 30.5, textures)}),
        WorldMap({PyramidBrush(lo, hi, textures), CornerBevelBrush(lo, hi, textures)}),
        WorldMap({WedgeBrush(lo, hi, textures), fiveCorners}),
        GenerateLevel(3, 3, 2).text,
        WorldMap({SphereBrush(129)}),
    };
    int n = 0;
    for (const std::string& text : maps)
        std::ofstream(std::string(argv[1]) + "/seed" + std::to_string(n++) + ".map",
                      std::ios::binary)
            << text;
    return 0;
}
