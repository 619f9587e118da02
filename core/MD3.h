// The MD3 vertex-animated model: frames, tags and surfaces held in the same records as the file,
// so reading and writing move whole blocks. In memory the texture coordinate t is 1 - t of the
// file (see FlipTexCoordT). Vertex positions are int16 in units of 1/64.
#pragma once

#include "LastError.h"
#include "VectorMath.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quillon {

inline constexpr uint32_t MD3Ident = 0x33504449; // "IDP3"
inline constexpr float MD3XyzScale = 0.015625f;  // 1/64: stored vertex units to model units

struct TMD3Frame {
    TVector mins;
    TVector maxs;
    TVector localOrigin;
    float radius = 0;
    char name[16] = {};
};

struct TMD3Tag {
    char name[64] = {};
    TVector origin;
    TVector axis[3];
};

struct TMD3Shader {
    char name[64] = {};
    int32_t shaderIndex = 0;
};

struct TMD3Triangle {
    int32_t indexes[3] = {};
};

struct TMD3TexCoord {
    float s = 0, t = 0;
};

struct TMD3Vertex {
    int16_t x = 0, y = 0, z = 0;
    int16_t normal = 0;
};

// The 108-byte surface header as stored in the file; offsets are relative to the surface start.
struct TSurfaceRecord {
    uint32_t ident = MD3Ident;
    char name[64] = {};
    uint32_t flags = 0;
    uint32_t numFrames = 0;
    uint32_t numShaders = 0;
    uint32_t numVerts = 0;
    uint32_t numTriangles = 0;
    uint32_t ofsTriangles = 0;
    uint32_t ofsShaders = 0;
    uint32_t ofsSt = 0;
    uint32_t ofsXyzNormals = 0;
    uint32_t ofsEnd = 0;
};

struct TSurface : TSurfaceRecord {
    std::vector<TMD3Shader> Shaders;
    std::vector<TMD3Triangle> Triangles;
    std::vector<TMD3TexCoord> TexCoords;
    std::vector<TMD3Vertex> Vertices; // frame-major: vertex k of frame f is f * numVerts + k
};

// The 108-byte file header.
struct THeaderRecord {
    uint32_t ident = MD3Ident;
    uint32_t version = 15;
    char name[64] = {};
    uint32_t flags = 0;
    uint32_t numFrames = 0;
    uint32_t numTags = 0;
    uint32_t numSurfaces = 0;
    uint32_t numSkins = 0;
    uint32_t ofsFrames = 0;
    uint32_t ofsTags = 0;
    uint32_t ofsSurfaces = 0;
    uint32_t ofsEnd = 0;
};

struct THeader : THeaderRecord {
    std::vector<TMD3Frame> Frames;
    std::vector<TMD3Tag> Tags; // frame-major: tag t of frame f is f * numTags + t
    std::vector<TSurface> Surfaces;
};

static_assert(sizeof(THeaderRecord) == 108);
static_assert(sizeof(TMD3Frame) == 56);
static_assert(sizeof(TMD3Tag) == 112);
static_assert(sizeof(TSurfaceRecord) == 108);
static_assert(sizeof(TMD3Shader) == 68);
static_assert(sizeof(TMD3Triangle) == 12);
static_assert(sizeof(TMD3TexCoord) == 8);
static_assert(sizeof(TMD3Vertex) == 8);

using TName64 = std::array<char, 64>;

// What an editing operation did. `message` is the text for the user: the status text on success,
// the reason on refusal. A refused operation leaves the model exactly as it was, except where an
// operation says otherwise. Never ignored: a refusal nobody reads is a lost error.
struct [[nodiscard]] TEditResult {
    bool ok = false;
    bool changed = false;
    std::string message;

    static TEditResult Done(std::string message) { return {true, true, std::move(message)}; }
    static TEditResult Refused(std::string message) { return {false, false, std::move(message)}; }
};

class TMD3 : public TLastError {
public:
    TMD3() = default;

    void Clear();
    // False for a file that is not a complete MD3 (the model is then left empty, LastError says
    // why); throws FileError when the file cannot be opened.
    [[nodiscard]] bool LoadFromFile(const std::string& path);
    // Writes to a temporary file beside the target and renames it over the target only when every
    // byte was written, so a failed save never touches the user's file. Throws FileError when
    // the file cannot be created; false (LastError says why) for a model whose counts disagree
    // with its arrays, one too large for the format, or when writing fails.
    [[nodiscard]] bool SaveToFile(const std::string& path);
    // Empty when every count of the header and the surfaces matches its array (tags and
    // vertices counted per frame); otherwise which one does not, for the user.
    std::string CountMismatch() const;

    bool HasValidIdent() const { return Header.ident == MD3Ident; }
    // True when every array holds as many records as its count says (every surface holding
    // vertices for the header's frame count). The loader and every operation keep it so; a
    // half-built model is refused by the writer, the editing operations and the check.
    bool CountsMatchArrays() const { return CountMismatch().empty(); }

    static constexpr uint64_t HeaderSize() { return sizeof(THeaderRecord); }
    static constexpr uint64_t SurfaceHeaderSize() { return sizeof(TSurfaceRecord); }
    uint64_t FramesSize() const;
    uint64_t TagsSize() const;
    uint64_t ShadersSize(int surface) const;
    uint64_t TrianglesSize(int surface) const;
    uint64_t TexCoordsSize(int surface) const;
    uint64_t VerticesSize(int surface) const;
    uint64_t SurfaceSize(int surface) const;
    uint64_t SurfacesSize() const;

    void FlipTexCoordT(int surface);
    void SetShaderName(int surface, std::string_view name);

    static TName64 PadName64(std::string_view text);
    static int16_t EncodeNormal(TVector v);
    static TVector DecodeNormal(int16_t n);

    bool HasSurface(int surface) const {
        return surface >= 0 && static_cast<uint64_t>(surface) < Header.Surfaces.size();
    }
    // Vertex position in model units and the decoded normal.
    static TVector VertexPosition(const TMD3Vertex& v);

    // --- Editing (MD3Editing.cpp) ---
    // Every operation leaves the counts matching the arrays and every surface's numFrames equal
    // to the header's. Bounds, radii and normals are transformed as stored, never recomputed.

    // Mirror across the plane x = 0 (y = 0, z = 0): frame boxes, vertices, normals and tags.
    // Triangle winding is kept.
    void FlipX();
    void FlipY();
    void FlipZ();
    void FlipNormals();
    // Joins the vertices of one surface that lie within `tolerance` on every axis of an earlier
    // vertex, frame by frame. Refused for a surface that does not exist.
    TEditResult WeldVertices(int surface, float tolerance);
    // Gives the vertices of one surface that share a position (within one 1/64 step) the mean
    // of their normals, frame by frame. Refused for a surface that does not exist.
    TEditResult SmoothSurface(int surface);
    // Scales frames, tags (axes included) and vertices by `factor`. Refused when a vertex would
    // leave the 16-bit range or the factor is not finite.
    TEditResult Scale(float factor);
    // Moves each frame so that tag `pivot` (an index into the tags of a frame) is at its origin;
    // pivot == numTags moves every frame's localOrigin there instead. Refused for an index past
    // numTags or when a vertex would leave the 16-bit range.
    TEditResult MoveOriginToTag(uint32_t pivot);
    // The name of pivot entry `pivot` as the window lists it: frame 0's tag name, or "origin".
    std::string PivotName(uint32_t pivot) const;
    void InvertTagAxisX();
    void InvertTagAxisY();
    void InvertTagAxisZ();
    void SwapTagAxesXY();
    void SwapTagAxesXZ();
    void SwapTagAxesYZ();
    // Appends `tag` as the last tag of every frame.
    void AddTag(const TMD3Tag& tag);
    // A tag named `name` at `origin` with unit axes, for one-frame models only (the window's
    // "Add" button and the command line).
    TEditResult AddTagByHand(std::string_view name, TVector origin);
    // Appends every tag of a ".tag" file ("TAG3") to every frame. Throws FileError when the
    // file cannot be opened.
    TEditResult AddTagsFromFile(const std::string& path);
    // Append frame 0, or every frame, of another MD3 file with the same tags and surface
    // layout; the new frames are named "Q merged". Throws FileError when the file cannot be
    // opened.
    TEditResult AddFirstFrameFromFile(const std::string& path);
    TEditResult AddAllFramesFromFile(const std::string& path);
    // AddFirstFrameFromFile for each path, sorted as text ignoring case. Stops at the first
    // failure and keeps the frames added before it (then ok is false and changed may be true).
    TEditResult AddFirstFramesFromFiles(std::vector<std::string> paths);
    // Removes one frame with its tags and vertices. Refused for the only frame and for an index
    // past the last frame.
    TEditResult DeleteFrame(uint32_t frame);

    THeader Header;

private:
    bool ReadFrom(class TFileReader& in);
    void RecomputeOffsets();
};

// Fixed-length, zero-padded name fields to and from text (a full field has no terminator).
std::string NameToString(const char* field, size_t size);
template <size_t N> std::string NameToString(const char (&field)[N]) {
    return NameToString(field, N);
}
void StringToName(std::string_view text, char* field, size_t size);
template <size_t N> void StringToName(std::string_view text, char (&field)[N]) {
    StringToName(text, field, N);
}

} // namespace quillon
