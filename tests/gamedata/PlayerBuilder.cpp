#include "PlayerBuilder.h"

#include <filesystem>
#include <stdexcept>

namespace quillon::test {

namespace {

void Save(bool saved) {
    if (!saved)
        throw std::runtime_error("a part of the test player could not be written");
}

} // namespace

TMD3Tag Tag(const std::string& name, TVector origin, TVector x, TVector y) {
    TMD3Tag tag;
    StringToName(name, tag.name);
    tag.origin = origin;
    tag.axis[0] = x;
    tag.axis[1] = y;
    tag.axis[2] = VectorCross(x, y);
    return tag;
}

TMD3 Part(const std::string& surface, const std::vector<TVector>& points,
          const std::vector<std::vector<TMD3Tag>>& tags) {
    TMD3 model;
    THeader& h = model.Header;
    h.numFrames = static_cast<uint32_t>(points.size());
    h.Frames.resize(points.size());
    h.numTags = tags.empty() ? 0 : static_cast<uint32_t>(tags[0].size());
    for (const auto& frameTags : tags)
        h.Tags.insert(h.Tags.end(), frameTags.begin(), frameTags.end());
    TSurface s;
    StringToName(surface, s.name);
    s.numFrames = h.numFrames;
    s.numShaders = 1;
    s.Shaders.resize(1);
    StringToName("models/players/x/" + surface, s.Shaders[0].name);
    s.numVerts = 3;
    s.numTriangles = 1;
    s.Triangles = {{{0, 1, 2}}};
    s.TexCoords.resize(3);
    for (TVector p : points)
        for (TVector v : {p, VectorMake(0, 0, 0), VectorMake(0, 1, 0)})
            s.Vertices.push_back({int16_t(v.x * 64), int16_t(v.y * 64), int16_t(v.z * 64), 0});
    h.Surfaces.push_back(s);
    h.numSurfaces = 1;
    return model;
}

void WriteSet(const std::string& folder, const std::string& headSurface) {
    std::filesystem::create_directories(folder);
    const TMD3Tag torso0 = Tag("tag_torso", {0, 0, 10});
    const TMD3Tag torso1 = Tag("tag_torso", {0, 0, 20}, AxisPosY(), AxisNegX());
    TMD3 lower = Part("l_legs", {{1, 0, 0}, {1, 0, 0}}, {{torso0}, {torso1}});
    TMD3 upper = Part("u_torso", {{1, 0, 0}, {1, 0, 0}},
                      {{Tag("tag_head", {0, 0, 5}), Tag("tag_weapon", {3, 0, 0})},
                       {Tag("tag_head", {2, 0, 5}), Tag("tag_weapon", {3, 0, 0})}});
    TMD3 head = Part(headSurface, {{0, 0, 1}}, {{Tag("tag_head", {0, 0, 0})}});
    Save(lower.SaveToFile(folder + "/lower.md3"));
    Save(upper.SaveToFile(folder + "/upper.md3"));
    Save(head.SaveToFile(folder + "/Head.md3"));
}

} // namespace quillon::test
