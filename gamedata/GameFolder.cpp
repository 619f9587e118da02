#include "GameFolder.h"

#include "core/CasePath.h"

namespace quillon {

namespace {
constexpr const char* BaseName = "etmain";
}

bool TGameFolder::IsValid(const std::string& folder) {
    const std::string root = WithTrailingSlash(folder);
    return !root.empty() && !FindFolderIgnoringCase(root + BaseName).empty() &&
           !FindFileIgnoringCase(root + BaseName + "/pak0.pk3").empty();
}

std::string TGameFolder::FromChosenPath(std::string path) {
    const size_t base = path.find(BaseName);
    if (base != std::string::npos)
        path.erase(base);
    return WithTrailingSlash(path);
}

bool TGameFolder::Apply(const std::string& text) {
    if (text.empty())
        return false;
    const std::string folder = WithTrailingSlash(text);
    if (!IsValid(folder))
        return false;
    Folder = folder;
    return true;
}

std::string TGameFolder::BaseFolder() const {
    if (Folder.empty())
        return {};
    const std::string found = FindFolderIgnoringCase(Folder + BaseName);
    return WithTrailingSlash(found.empty() ? Folder + BaseName : found);
}

std::string TGameFolder::ScriptsFolder() const {
    if (Folder.empty())
        return {};
    const std::string found = FindFolderIgnoringCase(BaseFolder() + "scripts");
    return WithTrailingSlash(found.empty() ? BaseFolder() + "scripts" : found);
}

std::string TGameFolder::GameArchive() const {
    if (Folder.empty())
        return {};
    const std::string found = FindFileIgnoringCase(BaseFolder() + "pak0.pk3");
    return found.empty() ? BaseFolder() + "pak0.pk3" : found;
}

} // namespace quillon
