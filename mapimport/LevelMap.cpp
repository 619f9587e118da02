// Reading a .map file. Only the first entity is looked at, and only when it is the world
// (worldspawn); its brushes are the blocks one level inside it. Lines holding "//" anywhere are
// dropped whole, and braces count only when they stand alone on their line. Patches and brushes
// written with texture matrices keep their contents one level deeper, so they yield no plane lines
// and no faces.
#include "LevelMap.h"

#include "BrushCorners.h"
#include "MapLine.h"
#include "TextureProjection.h"

#include "core/FileError.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <unordered_map>

namespace quillon {

// Resolves each distinct texture name once per load, and finds the entry of an image file that
// another plane already uses.
class TLevelMap::TTextureLookup {
public:
    TTextureLookup(const ITextureSource& source, std::vector<TMapTexture>& textures)
        : Source(source), Textures(textures) {}

    int32_t IndexFor(const std::string& name) {
        std::string path = name;
        const auto cached = Resolved.find(name);
        bool found;
        if (cached != Resolved.end()) {
            found = cached->second.has_value();
            if (found)
                path = *cached->second;
        } else {
            // An empty name would "resolve" to the search folders themselves.
            found = !name.empty() && Source.ResolvePath(path);
            Resolved[name] = found ? std::optional<std::string>(path) : std::nullopt;
        }
        if (found) {
            const auto known = ByPath.find(path);
            if (known != ByPath.end())
                return known->second;
            ByPath[path] = int32_t(Textures.size());
        }
        Textures.push_back({path, 256, 256});
        return int32_t(Textures.size() - 1);
    }

private:
    const ITextureSource& Source;
    std::vector<TMapTexture>& Textures;
    std::unordered_map<std::string, std::optional<std::string>> Resolved;
    std::unordered_map<std::string, int32_t> ByPath;
};

namespace {

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError::FromErrno(path, "open");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw FileError::FromErrno(path, "read");
    return text;
}

// Lines end in LF, CR LF or a lone CR; empty lines and lines holding "//" are dropped.
std::vector<std::string_view> MeaningfulLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.find("//") == std::string_view::npos)
            lines.push_back(line);
        start = end + 1;
        if (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n')
            ++start;
    }
    return lines;
}

// The lines up to the "}" that closes the first entity; empty when it is never closed.
std::vector<std::string_view> FirstEntity(const std::vector<std::string_view>& lines) {
    int depth = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i] == "{") {
            ++depth;
        } else if (lines[i] == "}" && --depth == 0) {
            return {lines.begin(), lines.begin() + i + 1};
        }
    }
    return {};
}

bool IsWorldEntity(const std::vector<std::string_view>& block) {
    for (std::string_view line : block)
        if (line.find("\"classname\"") != std::string_view::npos &&
            line.find("worldspawn") != std::string_view::npos)
            return true;
    return false;
}

TMapVector ToDouble(TVector v) {
    return {v.x, v.y, v.z};
}

TVector ToFloat(TMapVector v) {
    return {float(v.x), float(v.y), float(v.z)};
}

// The model frame: z negated here, and the plane constant's sign in the corner search turns the
// brush a half turn about Z.
TVector NegateZ(TVector v) {
    return {v.x, v.y, -v.z};
}

} // namespace

void TLevelMap::Clear() {
    Vertices.clear();
    Faces.clear();
    Textures.clear();
    Warnings.clear();
    Loaded = false;
}

bool TLevelMap::LoadMap(const std::string& path, const ITextureSource& textures) {
    Clear();
    ClearError();
    MapName = std::filesystem::path(path).stem().string();
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error))
        return Fail("no such file");
    const std::string text = ReadWholeFile(path);
    const std::vector<std::string_view> block = FirstEntity(MeaningfulLines(text));
    if (block.empty()) {
        Warnings.push_back("No entity closed by a \"}\" line: no brushes read");
    } else if (!IsWorldEntity(block)) {
        Warnings.push_back("The first entity is not the world (no \"classname\" "
                           "\"worldspawn\"): no brushes read");
    } else {
        TTextureLookup lookup(textures, Textures);
        ReadWorldEntity(block, lookup);
    }
    Loaded = true;
    return true;
}

void TLevelMap::ReadWorldEntity(const std::vector<std::string_view>& block,
                                TTextureLookup& textures) {
    int depth = 0;
    int32_t brush = -1;
    std::vector<std::string_view> brushLines;
    for (std::string_view line : block) {
        if (depth == 2 && line != "}")
            brushLines.push_back(line);
        if (line == "{") {
            if (++depth == 2)
                ++brush;
        } else if (line == "}" && --depth < 2) {
            if (!brushLines.empty())
                AddBrush(brushLines, brush, textures);
            brushLines.clear();
        }
    }
}

void TLevelMap::AddBrush(const std::vector<std::string_view>& lines, int32_t brush,
                         TTextureLookup& textures) {
    std::vector<std::optional<TPlaneLine>> parsed;
    parsed.reserve(lines.size());
    size_t planeLines = 0;
    for (std::string_view line : lines) {
        parsed.push_back(ParsePlaneLine(line));
        planeLines += parsed.back().has_value();
    }
    if (planeLines > MaxBrushPlanes) {
        Warnings.push_back("Brush " + std::to_string(brush) + " has " + std::to_string(planeLines) +
                           " planes, more than " + std::to_string(MaxBrushPlanes) + ": skipped");
        return;
    }

    std::vector<TMapPlane> planes(lines.size());
    std::vector<TBrushPlane> solved(lines.size());
    for (size_t k = 0; k < lines.size(); ++k) {
        if (!parsed[k])
            continue;
        const TPlaneLine& line = *parsed[k];
        const TVector p1 = NegateZ(line.points[0]);
        const TVector p2 = NegateZ(line.points[1]);
        const TVector p3 = NegateZ(line.points[2]);
        solved[k] = BrushPlaneThrough(ToDouble(p1), ToDouble(p2), ToDouble(p3));

        TMapPlane& plane = planes[k];
        plane.normal = ToFloat(solved[k].normal);
        plane.d = float(solved[k].d);
        plane.points[0] = p1;
        plane.points[1] = p3;
        plane.points[2] = p2;
        plane.textureName = line.texture;
        plane.textureIndex = textures.IndexFor(line.texture);
        plane.shiftS = line.shiftS;
        plane.shiftT = line.shiftT;
        plane.rotation = line.rotation;
        plane.scaleS = line.scaleS;
        plane.scaleT = line.scaleT;
    }

    const std::vector<std::vector<TMapVector>> corners = BrushFaceCorners(solved);
    for (size_t k = 0; k < planes.size(); ++k) {
        if (corners[k].size() <= 2)
            continue;
        ComputeTextureAxes(planes[k]);
        AddFace(planes[k], brush, int32_t(k), corners[k]);
    }
}

void TLevelMap::AddFace(const TMapPlane& plane, int32_t brush, int32_t line,
                        const std::vector<TMapVector>& corners) {
    TMapFace face;
    face.normal = plane.normal;
    face.numCorners = int32_t(corners.size());
    face.firstCorner = int32_t(Vertices.size());
    face.textureIndex = plane.textureIndex;
    face.textureName = plane.textureName;
    face.brush = brush;
    face.plane = line;
    Faces.push_back(std::move(face));

    const TMapTexture* texture = plane.textureIndex >= 0 ? &Textures[plane.textureIndex] : nullptr;
    for (const TMapVector& corner : corners) {
        TMapVertex vertex;
        vertex.normal = plane.normal;
        vertex.position = ToFloat(corner);
        const TTexCoord st = ProjectTexture(plane, texture, vertex.position);
        vertex.s = st.s;
        vertex.t = st.t;
        Vertices.push_back(vertex);
    }
}

} // namespace quillon
