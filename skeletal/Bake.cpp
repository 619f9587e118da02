// The bake copies each MDX frame's bounds as they are (they are not recomputed from the posed
// vertices), places the bones of every frame of the range once, poses each surface from them, and
// stores positions in 1/64 units rounded half to even. A coordinate that does not fit the int16
// field fails the bake instead of wrapping around, which would silently tear the model apart.
#include "Bake.h"

#include "BakeVersions.h"
#include "PoseVersions.h"

#include "core/Assert.h"
#include "core/Lanes.h"
#include "core/NormalEncodingVersions.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace quillon {

namespace {

constexpr char ExportFrameName[16] = {'Q', ' ', 'E', 'x', 'p', 'o', 'r', 't',
                                      0,   ' ', ' ', ' ', ' ', ' ', ' ', ' '};

void CopyName64(const char (&from)[64], char (&to)[64]) {
    std::memcpy(to, from, 64);
}

void FillHeader(const TMDM& mesh, uint32_t count, THeader& h) {
    h.ident = MD3Ident;
    h.version = 15;
    const TName64 name = TMD3::PadName64(NameToString(mesh.Header.name));
    std::memcpy(h.name, name.data(), name.size());
    h.flags = 0;
    h.numFrames = count;
    h.numTags = uint32_t(mesh.Tags.size());
    h.numSurfaces = uint32_t(mesh.Surfaces.size());
    h.numSkins = 0;
}

void BakeFrames(const TMDX& animation, int start, uint32_t count, THeader& h) {
    h.Frames.resize(count);
    for (uint32_t f = 0; f < count; ++f) {
        const TMDXFrame& from = animation.Frames[start + f];
        TMD3Frame& to = h.Frames[f];
        to.mins = from.mins;
        to.maxs = from.maxs;
        to.localOrigin = from.localOrigin;
        to.radius = from.radius;
        std::memcpy(to.name, ExportFrameName, sizeof(to.name));
    }
}

void StoreTags(const TMDM& mesh, const TPoseResults& pose, uint32_t f, THeader& h) {
    const size_t numTags = mesh.Tags.size();
    QUILLON_ASSERT(pose.TagPositions.size() == numTags && (f + 1) * numTags <= h.Tags.size());
    for (size_t t = 0; t < numTags; ++t) {
        TMD3Tag& tag = h.Tags[f * numTags + t];
        CopyName64(mesh.Tags[t].name, tag.name);
        tag.origin = pose.TagPositions[t];
        for (int a = 0; a < 3; ++a)
            tag.axis[a] = pose.TagAxes[t][a];
    }
}

// Everything of a baked surface but its vertices.
void FillSurface(const TMDMSurface& from, uint32_t count, TSurface& to) {
    to.ident = MD3Ident;
    CopyName64(from.name, to.name);
    to.flags = 0;
    to.numFrames = count;
    to.numShaders = 1;
    to.Shaders.assign(1, TMD3Shader{});
    CopyName64(from.shader, to.Shaders[0].name);
    to.numVerts = uint32_t(from.Vertices.size());
    to.numTriangles = uint32_t(from.Triangles.size());
    to.Triangles.resize(from.Triangles.size());
    for (size_t i = 0; i < from.Triangles.size(); ++i)
        std::memcpy(to.Triangles[i].indexes, from.Triangles[i].indexes, sizeof(int32_t) * 3);
    // TMD3 holds t as 1 - t of the file in memory.
    to.TexCoords.resize(from.Vertices.size());
    for (size_t v = 0; v < from.Vertices.size(); ++v)
        to.TexCoords[v] = {from.Vertices[v].texCoords[0], 1.0f - from.Vertices[v].texCoords[1]};
    to.Vertices.resize(count * from.Vertices.size());
}

// Adding and taking away 1.5 * 2^23 rounds a float of magnitude below 2^22 to an integer in the
// current rounding mode, which is what std::nearbyint does.
constexpr float RoundingShift = 12582912.0f;

// Coordinates as MD3 field values: each times 64, rounded. `fits` is set in the lanes whose
// value lies within the int16 range.
template <FloatLanes F>
[[gnu::always_inline]] inline TMaskOf<F> FieldValues(const F& coordinates, TMaskOf<F>& fits) {
    const F scaled = coordinates * Splat<F>(64.0f);
    // Not a number and the infinities fail here too.
    const TMaskOf<F> small = Abs(scaled) < Splat<F>(65536.0f);
    const F rounded =
        ((small ? scaled : Splat<F>(0.0f)) + Splat<F>(RoundingShift)) - Splat<F>(RoundingShift);
    fits = small & (rounded >= Splat<F>(-32768.0f)) & (rounded <= Splat<F>(32767.0f));
    return __builtin_convertvector(rounded, TMaskOf<F>);
}

// One thread's posing results of two frames and room for a surface's normal codes.
struct TBakeWorkspace {
    TPoseResults poses[2];
    std::vector<int16_t> codes;
};

struct TVertexStore {
    const TVector* positions;
    const int16_t* codes;
    size_t count;
    TMD3Vertex* out;
};

// The field values of eight coordinates, worked out in vectors of F: eight lanes where they are
// one register, four elsewhere (without AVX the compiler would take comparisons of eight lanes
// apart one lane at a time). `allFit` loses the lanes of coordinates that do not fit.
template <FloatLanes F>
[[gnu::always_inline]] inline TShort8 EightFieldValues(const float* coordinates,
                                                       TMaskOf<F>& allFit) {
    if constexpr (sizeof(F) == sizeof(TFloat8)) {
        TFloat8 eight;
        std::memcpy(&eight, coordinates, sizeof eight);
        TInt8 fits;
        const TShort8 values = __builtin_convertvector(FieldValues(eight, fits), TShort8);
        allFit &= fits;
        return values;
    } else {
        TFloat4 low, high;
        std::memcpy(&low, coordinates, sizeof low);
        std::memcpy(&high, coordinates + 4, sizeof high);
        TInt4 lowFits, highFits;
        const TShort4 lowValues = __builtin_convertvector(FieldValues(low, lowFits), TShort4);
        const TShort4 highValues = __builtin_convertvector(FieldValues(high, highFits), TShort4);
        allFit &= lowFits & highFits;
        return __builtin_shufflevector(lowValues, highValues, 0, 1, 2, 3, 4, 5, 6, 7);
    }
}

// Eight vertices from eight positions and codes, the 24 coordinates in three groups and the
// fields interleaved with the codes by shuffles; `count` below eight writes the first `count`
// only. `allFit` as for EightFieldValues.
template <FloatLanes F>
[[gnu::always_inline]] inline void StoreEight(const TVector* eight, const int16_t* codes,
                                              size_t count, TMD3Vertex* out, TMaskOf<F>& allFit) {
    static_assert(sizeof(TVector) == 3 * sizeof(float) && sizeof(TMD3Vertex) == 4 * 2);
    const float* coordinates = reinterpret_cast<const float*>(eight);
    // x0 y0 z0 x1 y1 z1 x2 y2 | z2 x3 y3 z3 x4 y4 z4 x5 | y5 z5 x6 y6 z6 x7 y7 z7
    const TShort8 a = EightFieldValues<F>(coordinates, allFit);
    const TShort8 b = EightFieldValues<F>(coordinates + 8, allFit);
    const TShort8 c = EightFieldValues<F>(coordinates + 16, allFit);
    TShort8 n;
    std::memcpy(&n, codes, sizeof n);
    const TShort8 middle1 = __builtin_shufflevector(a, b, 6, 7, 8, 9, 10, 11, 0, 0);
    const TShort8 middle2 = __builtin_shufflevector(b, c, 4, 5, 6, 7, 8, 9, 0, 0);
    const TShort8 vertices[4] = {__builtin_shufflevector(a, n, 0, 1, 2, 8, 3, 4, 5, 9),
                                 __builtin_shufflevector(middle1, n, 0, 1, 2, 10, 3, 4, 5, 11),
                                 __builtin_shufflevector(middle2, n, 0, 1, 2, 12, 3, 4, 5, 13),
                                 __builtin_shufflevector(c, n, 2, 3, 4, 14, 5, 6, 7, 15)};
    std::memcpy(static_cast<void*>(out), vertices, count * sizeof(TMD3Vertex));
}

// False when a coordinate does not fit. Written with inlined helpers only, so that each of the
// two versions below gets it compiled for its own processor.
template <FloatLanes F> [[gnu::always_inline]] inline bool StoreEachVertex(const TVertexStore& s) {
    TMaskOf<F> allFit = ~TMaskOf<F>{};
    const size_t whole = s.count / 8 * 8;
    for (size_t first = 0; first < whole; first += 8)
        StoreEight<F>(&s.positions[first], &s.codes[first], 8, &s.out[first], allFit);
    if (whole < s.count) {
        // The last few, with zeros in the lanes left over, which fit.
        TVector eight[8] = {};
        int16_t codes[8] = {};
        std::copy(s.positions + whole, s.positions + s.count, eight);
        std::copy(s.codes + whole, s.codes + s.count, codes);
        StoreEight<F>(eight, codes, s.count - whole, &s.out[whole], allFit);
    }
    return AllSet(allFit);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) bool StoreEachVertexWithAvx2(const TVertexStore& s) {
    return StoreEachVertex<TFloat8>(s);
}
#endif

bool StoreEachVertexOnAnyProcessor(const TVertexStore& s) {
    return StoreEachVertex<TFloat4>(s);
}

bool Fits(TVector position) {
    TInt4 fits;
    FieldValues(TFloat4{position.x, position.y, position.z, 0}, fits);
    return AllSet(fits);
}

// Stores the posed surface as MD3 vertices; the index of the first vertex that does not fit.
std::optional<size_t> StoreVertices(const TPoseResults& pose, TBakeWorkspace& work, TMD3Vertex* out,
                                    TInstructionSet set) {
    const std::vector<TVector>& positions = pose.PosedPositions;
    work.codes.resize(positions.size());
    EncodeNormals(pose.PosedNormals, work.codes, set);
    const TVertexStore store{positions.data(), work.codes.data(), positions.size(), out};
#if defined(__x86_64__)
    const bool allFit = set == TInstructionSet::Avx2 ? StoreEachVertexWithAvx2(store)
                                                     : StoreEachVertexOnAnyProcessor(store);
#else
    const bool allFit = StoreEachVertexOnAnyProcessor(store);
#endif
    if (allFit)
        return std::nullopt;
    return size_t(std::find_if_not(positions.begin(), positions.end(), Fits) - positions.begin());
}

struct TBakeFailure {
    size_t surface;
    int frame;
    size_t vertex;
};

std::string FailureText(const TMDM& mesh, const TBakeFailure& failure) {
    return "frame " + std::to_string(failure.frame) + ", surface " +
           std::to_string(failure.surface) + " \"" +
           NameToString(mesh.Surfaces[failure.surface].name) + "\", vertex " +
           std::to_string(failure.vertex) +
           ": the posed position lies outside the MD3 range of -512 to 512 units";
}

// The frames of one bake, handed out two at a time to the threads that bake them. Each frame
// writes only its own part of the model, so the threads need no lock but for a failure. The
// failure reported is the one a surface-by-surface bake meets first: that of the lowest surface
// that fails, at its first failing frame, which is the smallest (surface, frame) pair that
// fails, whatever the order the frames are baked in. A (surface, frame) pair above a failure
// already found is skipped, as it can no longer be the one reported.
class TBakeJob {
public:
    TBakeJob(const TMDM& mesh, const TMDX& animation, int start, uint32_t count, THeader& h,
             TInstructionSet set)
        : Mesh(mesh), Animation(animation), Start(start), Count(count), H(h), Set(set),
          Surfaces(mesh.Surfaces.begin(), mesh.Surfaces.end()) {}

    void Run(unsigned threads) {
        std::vector<std::exception_ptr> errors(std::max(threads, 1u));
        {
            std::vector<std::jthread> helpers;
            // Should the system refuse a thread, those started and the calling one share the
            // frames.
            try {
                for (unsigned t = 1; t < threads; ++t)
                    helpers.emplace_back([this, &errors, t] { Work(errors[t]); });
            } catch (const std::system_error&) {
            }
            Work(errors[0]);
        }
        for (const std::exception_ptr& error : errors)
            if (error)
                std::rethrow_exception(error);
    }

    const std::optional<TBakeFailure>& Failure() const { return Found; }

private:
    static uint64_t Key(size_t surface, uint32_t frame) { return uint64_t{surface} << 32 | frame; }

    void Work(std::exception_ptr& error) {
        try {
            TBakeWorkspace work;
            for (uint32_t pair = NextPair++; 2 * pair < Count; pair = NextPair++)
                BakeFrames(2 * pair, std::min(2u, Count - 2 * pair), work);
        } catch (...) {
            error = std::current_exception();
            NextPair = Count; // the bake has failed: the others need not go on
        }
    }

    // Frames f and, when `n` is two, f + 1, posed together (PoseSurface of two frames).
    void BakeFrames(uint32_t f, uint32_t n, TBakeWorkspace& work) {
        for (uint32_t i = 0; i < n; ++i) {
            PoseSkeleton(Mesh, Animation, Start + int(f + i), work.poses[i]);
            StoreTags(Mesh, work.poses[i], f + i, H);
        }
        for (size_t s = 0; s < Surfaces.size() && Key(s, f) < FoundKey; ++s) {
            if (n == 2)
                PoseSurface(Surfaces[s], work.poses[0], work.poses[1], Set);
            else
                PoseSurface(Surfaces[s], work.poses[0], Set);
            const size_t numVerts = Surfaces[s].Normals.size();
            // Frame-major: frame f of the surface starts at f * numVerts.
            QUILLON_ASSERT(H.Surfaces[s].Vertices.size() == uint64_t{Count} * numVerts);
            for (uint32_t i = 0; i < n; ++i)
                if (const auto v =
                        StoreVertices(work.poses[i], work,
                                      H.Surfaces[s].Vertices.data() + (f + i) * numVerts, Set))
                    Offer(s, f + i, *v);
        }
    }

    void Offer(size_t surface, uint32_t frame, size_t vertex) {
        const std::lock_guard lock(FailureLock);
        if (Key(surface, frame) < FoundKey) {
            Found = TBakeFailure{surface, Start + int(frame), vertex};
            FoundKey = Key(surface, frame);
        }
    }

    const TMDM& Mesh;
    const TMDX& Animation;
    const int Start;
    const uint32_t Count;
    THeader& H;
    const TInstructionSet Set;
    // Packed once, read by every frame.
    const std::vector<TPackedSurface> Surfaces;
    std::atomic<uint32_t> NextPair{0};
    std::mutex FailureLock;
    std::optional<TBakeFailure> Found;
    std::atomic<uint64_t> FoundKey{UINT64_MAX};
};

// The size of the MD3 file the bake would produce, to refuse one the format cannot hold.
uint64_t BakedFileSize(const TMDM& mesh, uint64_t count) {
    uint64_t size =
        TMD3::HeaderSize() + count * (sizeof(TMD3Frame) + mesh.Tags.size() * sizeof(TMD3Tag));
    for (const TMDMSurface& s : mesh.Surfaces)
        size += TMD3::SurfaceHeaderSize() + sizeof(TMD3Shader) +
                s.Triangles.size() * sizeof(TMD3Triangle) +
                s.Vertices.size() * (sizeof(TMD3TexCoord) + count * sizeof(TMD3Vertex));
    return size;
}

} // namespace

std::string FramesRangeText(int start, int end) {
    return "Frames:" + std::to_string(start) + " to " + std::to_string(end);
}

std::optional<std::string> BakeToMD3(const TMDM& mesh, const TMDX& animation, int start, int end,
                                     TMD3& md3, unsigned threads) {
    return BakeToMD3(mesh, animation, start, end, md3, threads, FastestInstructionSet());
}

std::optional<std::string> BakeToMD3(const TMDM& mesh, const TMDX& animation, int start, int end,
                                     TMD3& md3, unsigned threads, TInstructionSet set) {
    QUILLON_ASSERT(HasInstructionSet(set));
    md3.Clear();
    const int64_t numFrames =
        std::min<int64_t>(animation.Header.numFrames, animation.Frames.size());
    if (end < start)
        return "the end frame " + std::to_string(end) + " comes before the start frame " +
               std::to_string(start);
    if (start < 0 || end >= numFrames)
        return FramesRangeText(start, end) + " is not within the animation's " +
               std::to_string(numFrames) + " frames";
    const auto count = uint32_t(end - start + 1);
    if (BakedFileSize(mesh, count) > UINT32_MAX)
        return FramesRangeText(start, end) + " would make an MD3 file larger than 4 GB";
    THeader& h = md3.Header;
    FillHeader(mesh, count, h);
    BakeFrames(animation, start, count, h);
    h.Tags.resize(count * mesh.Tags.size());
    h.Surfaces.resize(mesh.Surfaces.size());
    for (size_t s = 0; s < mesh.Surfaces.size(); ++s)
        FillSurface(mesh.Surfaces[s], count, h.Surfaces[s]);
    TBakeJob job(mesh, animation, start, count, h, set);
    job.Run(std::min(threads, (count + 1) / 2));
    if (const auto& failure = job.Failure()) {
        md3.Clear();
        return FailureText(mesh, *failure);
    }
    QUILLON_ASSERT(md3.CountMismatch().empty());
    return std::nullopt;
}

} // namespace quillon
