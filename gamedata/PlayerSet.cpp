#include "PlayerSet.h"

#include "ScriptText.h"
#include "core/CasePath.h"

#include <filesystem>

namespace quillon {

namespace {

std::string PartFile(const std::string& folder, const char* part) {
    return FindFileIgnoringCase(WithTrailingSlash(folder) + part + ".md3");
}

// "upper_blue.skin" gives the part 1 and the name "blue".
void AddSkinName(TPlayerSet& set, const std::string& fileName) {
    const std::string name = ToLower(fileName);
    if (ExtensionOf(name) != ".skin")
        return;
    for (size_t part = 0; part < set.PartNames.size(); ++part) {
        const std::string prefix = std::string(set.PartNames[part]) + "_";
        if (name.size() > prefix.size() + 5 && name.compare(0, prefix.size(), prefix) == 0)
            set.Skins[part].insert(name.substr(prefix.size(), name.size() - prefix.size() - 5));
    }
}

} // namespace

std::string TPlayerSet::SkinFile(int part, const std::string& name) const {
    return FindFileIgnoringCase(Folder + PartNames[part] + "_" + name + ".skin");
}

bool IsPlayerSetFolder(const std::string& folder) {
    for (const char* part : TPlayerSet::PartNames)
        if (PartFile(folder, part).empty())
            return false;
    return true;
}

std::optional<std::string> LoadPlayerSet(const std::string& folder, TPlayerSet& set) {
    set.Folder = WithTrailingSlash(folder);
    for (size_t part = 0; part < set.PartNames.size(); ++part) {
        set.PartFiles[part] = PartFile(folder, set.PartNames[part]);
        if (set.PartFiles[part].empty() || !set.Parts[part].LoadFromFile(set.PartFiles[part]))
            return set.PartFiles[part].empty() ? set.Folder + set.PartNames[part] + ".md3"
                                               : set.PartFiles[part];
    }
    set.HasConfig = set.Config.Load(set.Folder + "animation.cfg");
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(set.Folder, error))
        if (entry.is_regular_file(error))
            AddSkinName(set, entry.path().filename().string());
    return std::nullopt;
}

} // namespace quillon
