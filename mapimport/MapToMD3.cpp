// Conversion of the imported faces into an MD3 model: one surface per texture name (letter case
// ignored, the form met first names the surface), one frame, no tags. Faces of the editor's tool
// textures ("common/") are left out. The MD3 format's limits are checked as the surfaces are
// built; crossing one empties the model and reports which limit, so nothing half-converted or
// silently wrapped ever reaches a file.
#include "LevelMap.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <optional>

namespace quillon {

namespace {

constexpr size_t MaxSurfaces = 32;
constexpr int64_t MaxSurfaceVerts = 4096;
constexpr int64_t MaxSurfaceTriangles = 8192;
// The largest coordinate the int16 vertex field holds in 1/64 units.
constexpr float MaxCoordinate = 32767.0f / 64.0f;
constexpr const char* CRLF = "\r\n";

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool SameTextIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return Lower(x) == Lower(y); });
}

// Case is ignored here as everywhere texture names are compared: otherwise a "common/" face would
// join the surface of a "Common/" texture that was exported.
bool IsToolTexture(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(), Lower);
    return lower.find("common/") != std::string::npos;
}

std::string NumberText(float value) {
    value += 0.0f; // no "-0" in messages
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string LimitMessage(const char* limit, int64_t count, int64_t maximum) {
    return std::string(limit) + " limit exceeded: " + std::to_string(count) + " > " +
           std::to_string(maximum) + CRLF;
}

struct TBounds {
    TVector mins{3.3e38f, 3.3e38f, 3.3e38f};
    TVector maxs{-std::numeric_limits<float>::infinity(), -std::numeric_limits<float>::infinity(),
                 -std::numeric_limits<float>::infinity()};
    bool empty = true;

    void Add(TVector p) {
        mins = {std::min(mins.x, p.x), std::min(mins.y, p.y), std::min(mins.z, p.z)};
        maxs = {std::max(maxs.x, p.x), std::max(maxs.y, p.y), std::max(maxs.z, p.z)};
        empty = false;
    }
};

// A coordinate in stored 1/64 units, halves to even; nothing when it does not fit the int16 field.
std::optional<int16_t> StoredCoordinate(float value) {
    const float scaled = std::nearbyint(value * 64.0f);
    if (!(scaled >= -32768.0f && scaled <= 32767.0f))
        return std::nullopt;
    return int16_t(scaled);
}

class TSurfaceBuilder {
public:
    TSurfaceBuilder(const TLevelMap& map, std::string_view textureName, std::string& message)
        : Map(map), Name(textureName), Message(message) {
        for (size_t f = 0; f < map.Faces.size(); ++f)
            if (SameTextIgnoringCase(map.Faces[f].textureName, textureName))
                MatchingFaces.push_back(f);
    }

    bool Build(int index, TSurface& surface, TBounds& bounds) {
        surface.ident = MD3Ident;
        surface.flags = 0;
        surface.numFrames = 1;
        StringToName("surface" + std::to_string(index), surface.name);
        TMD3Shader shader;
        StringToName("textures/" + Name, shader.name);
        shader.shaderIndex = 0;
        surface.Shaders = {shader};
        surface.numShaders = 1;
        return CountCorners() && WriteVertices(surface, bounds) && WriteTriangles(surface);
    }

private:
    bool CountCorners() {
        for (size_t f : MatchingFaces) {
            const int32_t corners = Map.Faces[f].numCorners;
            if (corners != 3 && corners != 4) {
                Message = "Invalid BRUSH shape for this tool version: FACE_VERTS " +
                          std::to_string(corners) + " > 4" + CRLF +
                          "Too many vetices used in face..";
                return false;
            }
            Corners += corners;
            Triangles += corners - 2;
        }
        if (Corners > MaxSurfaceVerts) {
            Message = LimitMessage("MAX_VERTS", Corners, MaxSurfaceVerts) +
                      "Too many vetices used with the same shader/texture.." + CRLF +
                      "Shadername: " + Name;
            return false;
        }
        return true;
    }

    // Every face owns its own run of map vertices, so the surface's vertices are the matching
    // faces' corners in face order and a corner's surface index is its running number.
    bool WriteVertices(TSurface& surface, TBounds& bounds) {
        surface.numVerts = uint32_t(Corners);
        surface.Vertices.resize(Corners);
        surface.TexCoords.resize(Corners);
        size_t next = 0;
        for (size_t f : MatchingFaces) {
            const TMapFace& face = Map.Faces[f];
            const int16_t normal = TMD3::EncodeNormal(face.normal);
            for (int32_t c = 0; c < face.numCorners; ++c, ++next) {
                const TMapVertex& vertex = Map.Vertices[face.firstCorner + c];
                const TVector p = vertex.position;
                const auto x = StoredCoordinate(p.x), y = StoredCoordinate(p.y),
                           z = StoredCoordinate(p.z);
                if (!x || !y || !z) {
                    Message = PositionMessage(face, p);
                    return false;
                }
                surface.Vertices[next] = {*x, *y, *z, normal};
                surface.TexCoords[next] = {vertex.s, 1 - vertex.t};
                bounds.Add(p);
            }
        }
        return true;
    }

    bool WriteTriangles(TSurface& surface) {
        if (Triangles > MaxSurfaceTriangles) {
            Message = LimitMessage("MAX_TRIANGLES", Triangles, MaxSurfaceTriangles) +
                      "Too many brushes used with the same shader/texture.." + CRLF +
                      "Shadername: " + Name;
            return false;
        }
        surface.numTriangles = uint32_t(Triangles);
        surface.Triangles.reserve(Triangles);
        int32_t first = 0;
        for (size_t f : MatchingFaces) {
            const int32_t corners = Map.Faces[f].numCorners;
            surface.Triangles.push_back({{first + 2, first + 1, first}});
            if (corners == 4)
                surface.Triangles.push_back({{first, first + 3, first + 2}});
            first += corners;
        }
        return true;
    }

    // Names the corner in the map file's own frame, where the user will look for it.
    static std::string PositionMessage(const TMapFace& face, TVector p) {
        const float worst = std::max({std::fabs(p.x), std::fabs(p.y), std::fabs(p.z)});
        return "MAX_XYZ limit exceeded: " + NumberText(worst) + " > " + NumberText(MaxCoordinate) +
               CRLF + "Brush too far from the map origin.." + CRLF + "Brush " +
               std::to_string(face.brush) + ", face " + std::to_string(face.plane) + ", corner ( " +
               NumberText(-p.x) + " " + NumberText(-p.y) + " " + NumberText(p.z) + " )";
    }

    const TLevelMap& Map;
    std::string Name;
    std::string& Message;
    std::vector<size_t> MatchingFaces;
    int64_t Corners = 0;
    int64_t Triangles = 0;
};

std::vector<std::string> ExportedTextureNames(const std::vector<TMapFace>& faces) {
    std::vector<std::string> names;
    for (const TMapFace& face : faces) {
        if (IsToolTexture(face.textureName))
            continue;
        const bool known = std::any_of(names.begin(), names.end(), [&](const std::string& n) {
            return SameTextIgnoringCase(n, face.textureName);
        });
        if (!known)
            names.push_back(face.textureName);
    }
    return names;
}

void SetFrame(TMD3Frame& frame, const TBounds& bounds) {
    // With nothing exported the running bounds never moved; a model of one point is the finite
    // choice.
    if (!bounds.empty) {
        frame.mins = bounds.mins;
        frame.maxs = bounds.maxs;
        frame.localOrigin = VectorScale(VectorAdd(bounds.mins, bounds.maxs), 0.5f);
        frame.radius = VectorLength(VectorSub(bounds.maxs, bounds.mins)) * 0.5f;
    }
    static constexpr char FrameName[16] = {'Q', ' ', 'C', 'o', 'n', 'v', 'e', 'r',
                                           't', 0,   ' ', ' ', ' ', ' ', ' ', ' '};
    std::copy(std::begin(FrameName), std::end(FrameName), frame.name);
}

} // namespace

bool TLevelMap::ConvertToMD3(TMD3& model, std::string& message) const {
    message.clear();
    if (!Loaded)
        return false;
    model.Clear();
    const std::vector<std::string> names = ExportedTextureNames(Faces);
    if (names.size() > MaxSurfaces) {
        message = LimitMessage("MAX_SURFACES", int64_t(names.size()), MaxSurfaces) +
                  "Too many shaders/textures used..";
        return false;
    }
    TBounds bounds;
    std::vector<TSurface> surfaces(names.size());
    for (size_t s = 0; s < names.size(); ++s) {
        if (!TSurfaceBuilder(*this, names[s], message).Build(int(s), surfaces[s], bounds)) {
            model.Clear();
            return false;
        }
    }

    THeader& h = model.Header;
    h.ident = MD3Ident;
    h.version = 15;
    const TName64 name = TMD3::PadName64("Q_Converted_From_Map_" + MapName);
    std::copy(name.begin(), name.end(), h.name);
    h.flags = 0;
    h.numFrames = 1;
    h.numTags = 0;
    h.numSkins = 0;
    h.numSurfaces = uint32_t(surfaces.size());
    h.Surfaces = std::move(surfaces);
    h.Frames.assign(1, TMD3Frame{});
    SetFrame(h.Frames[0], bounds);
    return true;
}

} // namespace quillon
