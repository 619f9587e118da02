#include "SkinCheck.h"

#include <algorithm>
#include <cmath>

namespace quillon {

namespace {

double Norm(const TMat3d& m) {
    double sum = 0;
    for (const TVec3d& row : m)
        for (double c : row)
            sum += c * c;
    return std::sqrt(sum);
}

TMat3d Difference(const TMat3d& a, const TMat3d& b) {
    TMat3d d{};
    for (int i = 0; i < 3; ++i)
        d[i] = Subtract(a[i], b[i]);
    return d;
}

// Per joint, over the exported frames: how far its origin travels from the model's origin, and
// how far the written transform strays from posing's map (linear part and translation).
struct TJointReach {
    double Travel = 0;
    double LinearError = 0;
    double TranslationError = 0;
};

std::vector<TJointReach> JointReaches(const TSkinData& skin) {
    std::vector<TJointReach> reaches;
    for (const TJointSamples& joint : skin.Joints) {
        TJointReach reach;
        for (size_t f = 0; f < joint.Posed.size(); ++f) {
            reach.Travel = std::max(reach.Travel, Length(joint.Posed[f].Translation));
            reach.LinearError = std::max(
                reach.LinearError, Norm(Difference(joint.World[f].Linear, joint.Posed[f].Linear)));
            reach.TranslationError =
                std::max(reach.TranslationError,
                         Length(Subtract(joint.World[f].Translation, joint.Posed[f].Translation)));
        }
        reaches.push_back(reach);
    }
    return reaches;
}

struct TInfluence {
    int Joint;
    double Weight;
    TVec3d Local; // the bind position in the joint's space, through the written inverse bind
};

class TVertexCheck {
public:
    TVertexCheck(const TSkinData& skin, const TExportPlan& plan, double tolerance)
        : Skin(skin), Plan(plan), Tolerance(tolerance * plan.Scale), Reaches(JointReaches(skin)) {
        for (const auto& m : skin.InverseBind)
            InverseBind.push_back(FromColumnMajor(m));
    }

    std::optional<TSkinDeviation> Check(const TSkinnedSurface& surface, size_t v) const {
        const TSkinnedVertex& vertex = surface.Vertices[v];
        const std::vector<TInfluence> influences = Influences(surface.Mesh, v);
        const bool trimmed =
            std::count_if(vertex.Posed.begin(), vertex.Posed.end(),
                          [](const TPosedWeight& w) { return w.Weight != 0; }) > vertex.Kept;
        // Well inside: the bound also has to absorb the single precision of posing itself.
        if (vertex.Skinnable && !trimmed && Bound(vertex, influences) <= Tolerance / 2)
            return std::nullopt;
        return EveryFrame(vertex, influences, surface.Surface, int(v));
    }

private:
    std::vector<TInfluence> Influences(const TMeshData& mesh, size_t v) const {
        const TVec3d bind{mesh.Positions[v * 3], mesh.Positions[v * 3 + 1],
                          mesh.Positions[v * 3 + 2]};
        std::vector<TInfluence> influences;
        for (int i = 0; i < MaxInfluences; ++i) {
            const float weight = mesh.Weights[v * MaxInfluences + i];
            if (weight == 0)
                continue;
            const int joint = mesh.Joints[v * MaxInfluences + i];
            influences.push_back({joint, weight, Apply(InverseBind[joint], bind)});
        }
        return influences;
    }

    // Without trimming, influence i is posed weight i.
    double Bound(const TSkinnedVertex& vertex, const std::vector<TInfluence>& influences) const {
        double bound = 0;
        for (size_t i = 0; i < influences.size(); ++i) {
            const TInfluence& in = influences[i];
            const TPosedWeight& posed = vertex.Posed[i];
            const TJointReach& reach = Reaches[in.Joint];
            const double reachOfOffset = Length(posed.Offset);
            // 1.001: the written rotation's length may exceed one by rounding.
            bound += in.Weight * (1.001 * Length(Subtract(in.Local, posed.Offset)) +
                                  reach.LinearError * reachOfOffset + reach.TranslationError);
            bound += std::fabs(in.Weight - posed.Weight) * (reach.Travel + reachOfOffset);
        }
        return bound;
    }

    std::optional<TSkinDeviation> EveryFrame(const TSkinnedVertex& vertex,
                                             const std::vector<TInfluence>& influences, int surface,
                                             int v) const {
        TSkinDeviation worst{surface, v, 0, 0};
        const size_t frames = size_t(Plan.Frames.Count());
        for (size_t f = 0; f < frames; ++f) {
            TVec3d skinned{0, 0, 0}, posed{0, 0, 0};
            for (const TInfluence& in : influences)
                skinned = Add(skinned,
                              Scaled(Apply(Skin.Joints[in.Joint].World[f], in.Local), in.Weight));
            for (const TPosedWeight& w : vertex.Posed)
                posed =
                    Add(posed, Scaled(Apply(Skin.Joints[w.Joint].Posed[f], w.Offset), w.Weight));
            const double distance = Length(Subtract(skinned, posed));
            if (distance > worst.Distance)
                worst = {surface, v, Plan.Frames.First + int(f), distance};
        }
        if (worst.Distance <= Tolerance)
            return std::nullopt;
        worst.Distance /= Plan.Scale;
        return worst;
    }

    const TSkinData& Skin;
    const TExportPlan& Plan;
    double Tolerance; // glTF units
    std::vector<TJointReach> Reaches;
    std::vector<TAffine> InverseBind;
};

} // namespace

std::optional<TSkinDeviation> FindSkinDeviation(const TSkinData& skin, const TExportPlan& plan,
                                                double tolerance) {
    const TVertexCheck check(skin, plan, tolerance);
    for (const TSkinnedSurface& surface : skin.Surfaces)
        for (size_t v = 0; v < surface.Vertices.size(); ++v)
            if (auto deviation = check.Check(surface, v))
                return deviation;
    return std::nullopt;
}

} // namespace quillon
