#include "PlayerSetCheck.h"

#include "core/CasePath.h"
#include "core/MD3Check.h"

#include <cstdlib>

namespace quillon {

namespace {

const char* const ConfigFile = "animation.cfg";

// The game hangs the torso on the legs' tag_torso, and the head and the weapon on the torso's
// tag_head and tag_weapon. The torso's own tag_torso and the head's tag_head are a convention of
// the original models that the game does not read, so their absence is only noted.
struct TRequiredTag {
    int Part;
    const char* Tag;
    TSeverity Severity;
    const char* Why;
};

constexpr TRequiredTag RequiredTags[] = {
    {PartLower, "tag_torso", TSeverity::Error, "the game hangs the torso on it"},
    {PartUpper, "tag_torso", TSeverity::Note,
     "the game does not need it, but the parts usually carry the tag they hang by"},
    {PartUpper, "tag_head", TSeverity::Error, "the game hangs the head on it"},
    {PartUpper, "tag_weapon", TSeverity::Error, "the game hangs the weapon on it"},
    {PartHead, "tag_head", TSeverity::Note,
     "the game does not need it, but the parts usually carry the tag they hang by"},
};

std::string PartFileName(const TPlayerSet& set, int part) {
    return FilePart(set.PartFiles[part]);
}

bool HasTag(const TMD3& model, const std::string& name) {
    const THeader& h = model.Header;
    for (uint32_t t = 0; h.numFrames > 0 && t < h.numTags; ++t)
        if (NameToString(h.Tags[t].name) == name)
            return true;
    return false;
}

void CheckTags(const TPlayerSet& set, std::vector<TFinding>& out) {
    for (const TRequiredTag& required : RequiredTags)
        if (!HasTag(set.Parts[required.Part], required.Tag)) {
            TFinding finding = MakeFinding(required.Severity, "tag-missing",
                                           "the part has no tag \"" + std::string(required.Tag) +
                                               "\"; " + required.Why);
            finding.File = PartFileName(set, required.Part);
            out.push_back(std::move(finding));
        }
}

TFinding ConfigFinding(TSeverity severity, const char* code, std::string message, int frame = -1) {
    TFinding finding = MakeFinding(severity, code, std::move(message));
    finding.File = ConfigFile;
    finding.Where.Frame = frame;
    return finding;
}

// The range of animation `index` in the part `part` (lower or upper), when it falls outside.
void CheckRange(const TPlayerSet& set, size_t index, int part, std::vector<TFinding>& out) {
    const TPlayerAnimation& animation = set.Config.Animations[index];
    const int64_t first = set.Config.FirstFrameInPart(index);
    const int64_t last = first + std::max<int64_t>(std::llabs(animation.NumFrames), 1) - 1;
    const int64_t frames = set.Parts[part].Header.numFrames;
    if (first >= 0 && last < frames)
        return;
    out.push_back(ConfigFinding(TSeverity::Error, "animation-range",
                                std::string(TAnimationConfig::AnimationName(index)) +
                                    " plays frames " + std::to_string(first) + " to " +
                                    std::to_string(last) + " of " + PartFileName(set, part) +
                                    ", which has " + std::to_string(frames) + " frames",
                                static_cast<int>(std::max<int64_t>(first, 0))));
}

void CheckAnimations(const TPlayerSet& set, std::vector<TFinding>& out) {
    const TAnimationConfig& config = set.Config;
    if (!set.HasConfig) {
        out.push_back(ConfigFinding(TSeverity::Error, "animation-file",
                                    "the folder has no animation.cfg; the game refuses the "
                                    "model without it"));
        return;
    }
    for (const std::string& word : config.UnknownWords)
        out.push_back(
            ConfigFinding(TSeverity::Note, "animation-file",
                          "the game does not know the word \"" + word + "\" and skips it"));
    if (!config.Error.empty() || config.Animations.size() < TAnimationConfig::RequiredAnimations) {
        out.push_back(ConfigFinding(
            TSeverity::Error, "animation-file",
            "the file lists " + std::to_string(config.Animations.size()) + " animations" +
                (config.Error.empty() ? "" : " before " + config.Error) + "; the game needs " +
                std::to_string(TAnimationConfig::RequiredAnimations) + " and refuses the model"));
        return;
    }
    for (size_t i = 0; i < config.Animations.size(); ++i) {
        const TPlayerPart part = TAnimationConfig::PartOf(i);
        if (part != TPlayerPart::Torso)
            CheckRange(set, i, PartLower, out);
        if (part != TPlayerPart::Legs)
            CheckRange(set, i, PartUpper, out);
    }
}

std::set<std::string> AllSkinNames(const TPlayerSet& set) {
    std::set<std::string> names;
    for (const auto& part : set.Skins)
        names.insert(part.begin(), part.end());
    return names;
}

void CheckSkinSets(const TPlayerSet& set, const std::string& onlySkin, std::vector<TFinding>& out) {
    std::set<std::string> names = onlySkin.empty() ? AllSkinNames(set) : std::set{onlySkin};
    if (onlySkin.empty() && !names.contains("default"))
        out.push_back(MakeFinding(TSeverity::Error, "skin-missing",
                                  "the folder has no default skin (lower_default.skin and the "
                                  "others); the game falls back to it when a skin is missing"));
    for (const std::string& name : names)
        for (int part = 0; part < 3; ++part)
            if (!set.Skins[part].contains(name)) {
                TFinding finding =
                    MakeFinding(TSeverity::Error, "skin-missing",
                                "the skin \"" + name +
                                    "\" has no file for this part; the game cannot dress "
                                    "the model in it");
                finding.File = std::string(TPlayerSet::PartNames[part]) + "_" + name + ".skin";
                finding.Skin = name;
                out.push_back(std::move(finding));
            }
}

std::vector<std::string> SurfaceNames(const TMD3& model) {
    std::vector<std::string> names;
    for (const TSurface& surface : model.Header.Surfaces)
        names.push_back(NameToString(surface.name));
    return names;
}

void AppendForSkin(std::vector<TFinding>& out, std::vector<TFinding> findings,
                   const std::string& file, const std::string& skin) {
    for (TFinding& finding : findings)
        finding.Skin = skin;
    AppendFindings(out, std::move(findings), file);
}

// The surfaces of every part under every skin it has (or its own shader names when it has
// none): the skin's lines, and with the game data their shaders and images.
void CheckDressedParts(const TPlayerSet& set, const TModelLimits& limits, TGameDataCheck* game,
                       const std::string& onlySkin, std::vector<TFinding>& out) {
    TResolveInput input;
    input.Source = TModelSource::File;
    input.ModelFolder = set.Folder;
    input.ModelFileFolder = set.Folder;
    for (int part = 0; part < 3; ++part) {
        const TMD3& model = set.Parts[part];
        const std::string partFile = PartFileName(set, part);
        std::set<std::string> skins = set.Skins[part];
        if (!onlySkin.empty())
            skins = skins.contains(onlySkin) ? std::set{onlySkin} : std::set<std::string>{};
        if (skins.empty() && game)
            AppendFindings(out, game->Check(model, input, nullptr), partFile);
        for (const std::string& name : skins) {
            TSkin skin;
            if (!skin.Load(set.SkinFile(part, name))) {
                TFinding finding = MakeFinding(TSeverity::Error, "skin-unreadable",
                                               "The skin cannot be read: " + skin.LastError());
                finding.File = FilePart(set.SkinFile(part, name));
                finding.Skin = name;
                out.push_back(std::move(finding));
                continue;
            }
            AppendForSkin(out, CheckSkin(SurfaceNames(model), skin, limits),
                          FilePart(set.SkinFile(part, name)), name);
            if (game)
                AppendForSkin(out, game->Check(model, input, &skin), partFile, name);
        }
    }
}

} // namespace

std::vector<TFinding> CheckPlayerSet(const TPlayerSet& set, const TModelLimits& limits,
                                     TGameDataCheck* game, const std::string& onlySkin) {
    std::vector<TFinding> out;
    for (int part = 0; part < 3; ++part)
        AppendFindings(out, CheckMD3(set.Parts[part], limits), PartFileName(set, part));
    CheckTags(set, out);
    CheckAnimations(set, out);
    CheckSkinSets(set, onlySkin, out);
    CheckDressedParts(set, limits, game, onlySkin, out);
    return out;
}

} // namespace quillon
