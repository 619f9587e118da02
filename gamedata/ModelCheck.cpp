#include "ModelCheck.h"

#include "GameDataCheck.h"

#include "core/MD3Check.h"
#include "skeletal/SkeletalCheck.h"

#include <algorithm>

namespace quillon {

namespace {

bool IsMD3(const TModelRef& model) {
    return model.Kind == TModelKind::MD3 && model.MD3;
}

bool IsSkeletal(const TModelRef& model) {
    return (model.Kind == TModelKind::Skeletal || model.Kind == TModelKind::MDS) && model.MDM;
}

std::vector<TFinding> CheckModelAlone(const TModelRef& model, const TMDX* animation,
                                      const TANINC* script, const TModelLimits& limits) {
    if (IsMD3(model))
        return CheckMD3(*model.MD3, limits);
    if (!IsSkeletal(model))
        return {};
    std::vector<TFinding> out = CheckMDM(*model.MDM, animation, limits);
    if (animation) {
        std::vector<TFinding> more = CheckMDX(*animation, script, limits);
        out.insert(out.end(), more.begin(), more.end());
    }
    return out;
}

bool IsIncomplete(const std::vector<TFinding>& findings) {
    return std::any_of(findings.begin(), findings.end(),
                       [](const TFinding& f) { return f.Code == "incomplete"; });
}

std::vector<std::string> SurfaceNames(const TModelRef& model) {
    std::vector<std::string> names;
    for (const TSurfaceSlot& slot : SurfaceSlots(model))
        names.push_back(slot.Name);
    return names;
}

} // namespace

std::vector<TFinding> CheckModel(const TResolveInput& input, const TMDX* animation,
                                 const TANINC* script, const TSurfaceResolver& resolver,
                                 TCheckTarget target) {
    const TModelLimits& limits = LimitsFor(target);
    std::vector<TFinding> out = CheckModelAlone(input.Model, animation, script, limits);
    if (IsIncomplete(out) || SurfaceCount(input.Model) == 0)
        return out;
    if (!resolver.Skin.Empty()) {
        std::vector<TFinding> skin = CheckSkin(SurfaceNames(input.Model), resolver.Skin, limits);
        out.insert(out.end(), skin.begin(), skin.end());
    }
    TGameDataCheck game(resolver);
    if (game.HasGameData()) {
        const TSkin* skin = resolver.Skin.Empty() ? nullptr : &resolver.Skin;
        std::vector<TFinding> shaders = IsMD3(input.Model)
                                            ? game.Check(*input.Model.MD3, input, skin)
                                            : game.Check(*input.Model.MDM, input, skin);
        out.insert(out.end(), shaders.begin(), shaders.end());
    }
    return out;
}

} // namespace quillon
