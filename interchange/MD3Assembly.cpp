#include "MD3Assembly.h"

#include "core/CheckLimits.h"
#include "core/FrameBounds.h"
#include "core/MD3Fixes.h"
#include "core/NormalEncoding.h"

#include <cmath>
#include <optional>

namespace quillon {

namespace {

const TImportLimits Limits;

std::string Quoted(const std::string& name) {
    return "\"" + name + "\"";
}

std::optional<std::string> NameProblem(const std::string& what, const std::string& name) {
    if (name.size() < Limits.NameBytes)
        return std::nullopt;
    return what + " " + Quoted(name) + " is " + std::to_string(name.size()) +
           " bytes long; an MD3 name field holds at most " + std::to_string(Limits.NameBytes - 1);
}

std::optional<std::string> CountProblem(const std::string& what, size_t count, size_t limit,
                                        const std::string& of) {
    if (count <= limit)
        return std::nullopt;
    return what + " has " + std::to_string(count) + " " + of + ", more than the " +
           std::to_string(limit) + " an MD3 holds";
}

std::optional<std::string> SurfaceSizeProblem(const TImportSurface& surface) {
    const std::string what = "surface " + Quoted(surface.Name);
    if (auto problem =
            CountProblem(what, surface.VertexCount(), Limits.VertsPerSurface, "vertices"))
        return *problem + " (--fix splits it)";
    if (auto problem =
            CountProblem(what, surface.Triangles.size(), Limits.TrianglesPerSurface, "triangles"))
        return *problem + " (--fix splits it)";
    return std::nullopt;
}

// Everything that can be known before posing a frame. With `fix` the surfaces may still be over
// the limits: the split comes later, and the final check covers them.
std::optional<std::string> SourceProblem(IImportSource& source, bool fix) {
    const std::vector<TImportSurface>& surfaces = source.Surfaces();
    if (surfaces.empty())
        return std::string("the file has no triangles to import");
    const size_t frames = source.FrameNames().size();
    if (auto problem = CountProblem("the model", frames, Limits.Frames, "frames"))
        return problem;
    if (auto problem = CountProblem("the model", source.TagNames().size(), Limits.Tags, "tags"))
        return problem;
    if (!fix)
        if (auto problem = CountProblem("the model", surfaces.size(), Limits.Surfaces, "surfaces"))
            return problem;
    uint64_t vertexFrames = 0;
    for (const TImportSurface& surface : surfaces) {
        if (auto problem = NameProblem("surface", surface.Name))
            return problem;
        if (auto problem = NameProblem("the shader name of surface " + Quoted(surface.Name) + ",",
                                       surface.Shader))
            return problem;
        if (!fix)
            if (auto problem = SurfaceSizeProblem(surface))
                return problem;
        vertexFrames += uint64_t(surface.VertexCount()) * frames;
    }
    for (const std::string& tag : source.TagNames())
        if (auto problem = NameProblem("tag", tag))
            return problem;
    if (vertexFrames > Limits.VertexFrames)
        return "the model would hold " + std::to_string(vertexFrames) +
               " vertices over all its frames, more than the " +
               std::to_string(Limits.VertexFrames) + " an import makes";
    return std::nullopt;
}

TVector ToVector(const TVec3d& v) {
    return {float(v[0]), float(v[1]), float(v[2])};
}

TVec3d Unit(const TVec3d& v) {
    const double length = Length(v);
    return length > 0 && std::isfinite(length) ? Scaled(v, 1 / length) : TVec3d{0, 0, 1};
}

// The area-weighted mean of the faces around each vertex; the triangles are counter-clockwise
// from the front, so a face's outward direction is (b - a) x (c - a).
std::vector<TVec3d> FaceNormals(const TImportSurface& surface, const std::vector<TVec3d>& points) {
    std::vector<TVec3d> sums(points.size(), TVec3d{0, 0, 0});
    for (const auto& triangle : surface.Triangles) {
        const TVec3d& a = points[triangle[0]];
        const TVec3d u = Subtract(points[triangle[1]], a), w = Subtract(points[triangle[2]], a);
        const TVec3d face{u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2],
                          u[0] * w[1] - u[1] * w[0]};
        for (uint32_t corner : triangle)
            sums[corner] = Add(sums[corner], face);
    }
    for (TVec3d& n : sums)
        n = Unit(n);
    return sums;
}

// A coordinate in 1/64 steps, or nothing when it is outside the 16-bit range.
std::optional<int16_t> GridStep(double value) {
    const double step = std::round(value * 64);
    if (!(step >= -32768 && step <= 32767))
        return std::nullopt;
    return int16_t(step);
}

class TFrameStore {
public:
    TFrameStore(const std::vector<TImportSurface>& surfaces, double scale, THeader& header)
        : Surfaces(surfaces), Scale(scale), Header(header) {}

    std::optional<std::string> Store(size_t frame, const TImportPose& pose) {
        for (size_t s = 0; s < Surfaces.size(); ++s)
            if (auto problem = StoreSurface(frame, s, pose))
                return problem;
        for (size_t t = 0; t < pose.Tags.size(); ++t)
            Header.Tags[frame * Header.numTags + t] = Tag(t, pose.Tags[t]);
        return std::nullopt;
    }

private:
    std::optional<std::string> StoreSurface(size_t frame, size_t s, const TImportPose& pose) {
        const TImportSurface& surface = Surfaces[s];
        std::vector<TVec3d> points;
        points.reserve(surface.VertexCount());
        for (const TVec3d& p : pose.Positions[s])
            points.push_back(Scaled(FromGltfAxes(p), Scale));
        std::vector<TVec3d> normals;
        if (pose.Normals[s].empty())
            normals = FaceNormals(surface, points);
        else
            for (const TVec3d& n : pose.Normals[s])
                normals.push_back(Unit(FromGltfAxes(n)));

        std::vector<TVector> directions;
        for (const TVec3d& n : normals)
            directions.push_back(ToVector(n));
        std::vector<int16_t> codes(directions.size());
        EncodeNormals(directions, codes);
        TMD3Vertex* out = Header.Surfaces[s].Vertices.data() + frame * surface.VertexCount();
        for (size_t v = 0; v < points.size(); ++v) {
            const auto x = GridStep(points[v][0]), y = GridStep(points[v][1]),
                       z = GridStep(points[v][2]);
            if (!x || !y || !z)
                return "surface " + Quoted(surface.Name) + ", frame " + std::to_string(frame) +
                       ", vertex " + std::to_string(v) + ": (" + CoordinateText(points[v]) +
                       ") is outside the -512 to 511.98 an MD3 vertex holds in 1/64 steps "
                       "(--scale makes the model smaller)";
            out[v] = {*x, *y, *z, codes[v]};
        }
        return std::nullopt;
    }

    static std::string CoordinateText(const TVec3d& p) {
        std::string text;
        for (int c = 0; c < 3; ++c) {
            char number[32];
            std::snprintf(number, sizeof number, "%.2f", p[c]);
            text += (c ? ", " : "") + std::string(number);
        }
        return text;
    }

    // The tag's axes are the columns of its transform in the game's axes, kept at the length
    // they have: a scaled tag scales what the game attaches to it.
    TMD3Tag Tag(size_t t, const TAffine& place) const {
        TMD3Tag tag = Header.Tags[t];
        const TMat3d& g = GltfAxes();
        const TMat3d linear = Multiply(Transposed(g), Multiply(place.Linear, g));
        for (int a = 0; a < 3; ++a)
            tag.axis[a] = ToVector({linear[0][a], linear[1][a], linear[2][a]});
        tag.origin = ToVector(Scaled(FromGltfAxes(place.Translation), Scale));
        return tag;
    }

    const std::vector<TImportSurface>& Surfaces;
    double Scale;
    THeader& Header;
};

std::string FrameName(const std::string& name) {
    return name.substr(0, sizeof(TMD3Frame::name) - 1);
}

// The header with names, texture coordinates and triangles, its arrays sized for every frame.
void Prepare(IImportSource& source, const std::string& modelName, THeader& h) {
    const std::vector<TImportSurface>& surfaces = source.Surfaces();
    const size_t frames = source.FrameNames().size();
    StringToName(modelName, h.name);
    h.numFrames = uint32_t(frames);
    h.numTags = uint32_t(source.TagNames().size());
    h.numSurfaces = uint32_t(surfaces.size());
    for (const std::string& name : source.FrameNames()) {
        TMD3Frame frame;
        StringToName(FrameName(name), frame.name);
        h.Frames.push_back(frame);
    }
    h.Tags.resize(frames * h.numTags);
    for (size_t f = 0; f < frames; ++f)
        for (size_t t = 0; t < h.numTags; ++t) {
            StringToName(source.TagNames()[t], h.Tags[f * h.numTags + t].name);
            h.Tags[f * h.numTags + t].axis[0] = {1, 0, 0};
        }
    for (const TImportSurface& in : surfaces) {
        TSurface surface;
        StringToName(in.Name, surface.name);
        surface.numFrames = uint32_t(frames);
        surface.numShaders = 1;
        surface.Shaders.resize(1);
        StringToName(in.Shader, surface.Shaders[0].name);
        surface.numVerts = uint32_t(in.VertexCount());
        surface.numTriangles = uint32_t(in.Triangles.size());
        for (const auto& st : in.TexCoords)
            surface.TexCoords.push_back({st[0], 1.0f - st[1]}); // held in memory as 1 - t
        for (const auto& triangle : in.Triangles) // the game's front faces run clockwise
            surface.Triangles.push_back(
                {{int32_t(triangle[0]), int32_t(triangle[2]), int32_t(triangle[1])}});
        surface.Vertices.resize(frames * in.VertexCount());
        h.Surfaces.push_back(std::move(surface));
    }
}

void MeasureFrames(THeader& h) {
    for (uint32_t f = 0; f < h.numFrames; ++f)
        StoreFrameBounds(h, f);
}

std::optional<std::string> FinalProblem(const THeader& h) {
    if (auto problem = CountProblem("the model", h.Surfaces.size(), Limits.Surfaces, "surfaces"))
        return problem;
    for (const TSurface& surface : h.Surfaces) {
        const std::string what = "surface " + Quoted(NameToString(surface.name));
        if (auto problem = CountProblem(what, surface.numVerts, Limits.VertsPerSurface, "vertices"))
            return problem;
        if (auto problem =
                CountProblem(what, surface.numTriangles, Limits.TrianglesPerSurface, "triangles"))
            return problem;
    }
    return std::nullopt;
}

// Surfaces an MD3 holds but the engines would not draw.
void WarnEngineLimits(const THeader& h, std::vector<std::string>& warnings) {
    const TModelLimits& engine = LimitsFor(TCheckTarget::Q3);
    for (const TSurface& surface : h.Surfaces)
        if (surface.numVerts > engine.VertsPerSurface ||
            surface.numTriangles > engine.TrianglesPerSurface)
            warnings.push_back("surface " + Quoted(NameToString(surface.name)) + " has " +
                               std::to_string(surface.numVerts) + " vertices and " +
                               std::to_string(surface.numTriangles) +
                               " triangles; the engines draw at most " +
                               std::to_string(engine.VertsPerSurface) + " and " +
                               std::to_string(engine.TrianglesPerSurface) + " (--fix splits it)");
}

TImportSummary Summarize(const THeader& h) {
    TImportSummary summary;
    summary.Surfaces = int(h.numSurfaces);
    summary.Frames = int(h.numFrames);
    summary.Tags = int(h.numTags);
    for (const TSurface& surface : h.Surfaces) {
        summary.Vertices += int(surface.numVerts);
        summary.Triangles += int(surface.numTriangles);
    }
    return summary;
}

TImportResult Refused(TMD3& md3, TImportFailure failure, std::string error) {
    md3.Clear();
    return TImportResult::Failed(failure, std::move(error));
}

} // namespace

TVec3d FromGltfAxes(const TVec3d& v) {
    return {v[0], -v[2], v[1]};
}

TImportResult AssembleMD3(IImportSource& source, const TImportOptions& options,
                          const std::string& modelName, TMD3& md3) {
    md3.Clear();
    if (auto problem = SourceProblem(source, options.Fix))
        return Refused(md3, TImportFailure::Limits, *problem);
    if (auto problem = NameProblem("the model name", modelName))
        return Refused(md3, TImportFailure::Limits, *problem);
    THeader& h = md3.Header;
    Prepare(source, modelName, h);
    TFrameStore store(source.Surfaces(), options.Scale, h);
    TImportPose pose;
    for (size_t f = 0; f < h.numFrames; ++f) {
        std::string error;
        if (!source.Pose(f, pose, error))
            return Refused(md3, TImportFailure::Input, error);
        if (auto problem = store.Store(f, pose))
            return Refused(md3, TImportFailure::Limits, *problem);
    }
    MeasureFrames(h);
    std::vector<std::string> warnings;
    if (options.Fix)
        for (const TFixReport& report : FixMD3(md3, LimitsFor(TCheckTarget::Q3), {}))
            warnings.push_back(report.Message);
    if (auto problem = FinalProblem(h))
        return Refused(md3, TImportFailure::Limits, *problem);
    WarnEngineLimits(h, warnings);
    TImportResult result;
    result.Summary = Summarize(h);
    result.Summary.Warnings = std::move(warnings);
    return result;
}

} // namespace quillon
