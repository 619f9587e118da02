#include "GameFolder.h"

#include "ScriptText.h"
#include "core/CasePath.h"

#include <algorithm>
#include <filesystem>

namespace quillon {

namespace {

constexpr const char* EtBaseName = "etmain";

// The pak*.pk3 files of a folder, sorted as the game sorts them.
std::vector<std::string> PakFiles(const std::string& folder) {
    std::vector<std::pair<std::string, std::string>> found; // lower-case name, path
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = ToLower(entry.path().filename().string());
        if (name.rfind("pak", 0) == 0 && ExtensionOf(name) == ".pk3" &&
            entry.is_regular_file(error))
            found.emplace_back(name, entry.path().string());
    }
    std::sort(found.begin(), found.end());
    std::vector<std::string> paths;
    for (auto& [name, path] : found)
        paths.push_back(std::move(path));
    return paths;
}

std::string EtBase(const std::string& root) {
    const std::string base = FindFolderIgnoringCase(root + EtBaseName);
    if (base.empty() || FindFileIgnoringCase(WithTrailingSlash(base) + "pak0.pk3").empty())
        return {};
    return WithTrailingSlash(base);
}

// The subfolders of `root` in name order, "baseq3" and "baseoa" first.
std::vector<std::string> BaseCandidates(const std::string& root) {
    std::vector<std::string> named, others;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root, error)) {
        if (!entry.is_directory(error))
            continue;
        const std::string name = ToLower(entry.path().filename().string());
        (name == "baseq3" || name == "baseoa" ? named : others).push_back(entry.path().string());
    }
    std::sort(named.begin(), named.end());
    std::sort(others.begin(), others.end());
    named.insert(named.end(), others.begin(), others.end());
    return named;
}

} // namespace

std::string TGameFolder::FindBase(const std::string& folder) {
    const std::string root = WithTrailingSlash(folder);
    if (root.empty())
        return {};
    if (std::string base = EtBase(root); !base.empty())
        return base;
    if (!PakFiles(root).empty())
        return root;
    for (const std::string& candidate : BaseCandidates(root))
        if (!PakFiles(candidate).empty())
            return WithTrailingSlash(candidate);
    return {};
}

bool TGameFolder::IsValid(const std::string& folder) {
    return !FindBase(folder).empty();
}

std::string TGameFolder::FromChosenPath(std::string path) {
    const size_t base = path.find(EtBaseName);
    if (base != std::string::npos)
        path.erase(base);
    return WithTrailingSlash(path);
}

bool TGameFolder::Apply(const std::string& text) {
    if (text.empty())
        return false;
    const std::string folder = WithTrailingSlash(text);
    const std::string base = FindBase(folder);
    if (base.empty())
        return false;
    Folder = folder;
    Base = base;
    EtLayout = !EtBase(folder).empty();
    return true;
}

std::string TGameFolder::BaseFolder() const {
    return Base;
}

std::string TGameFolder::ScriptsFolder() const {
    if (Base.empty())
        return {};
    const std::string found = FindFolderIgnoringCase(Base + "scripts");
    return WithTrailingSlash(found.empty() ? Base + "scripts" : found);
}

std::string TGameFolder::GameArchive() const {
    const std::vector<std::string> archives = Archives();
    return archives.empty() ? std::string() : archives.front();
}

std::vector<std::string> TGameFolder::Archives() const {
    if (Base.empty())
        return {};
    // The archive stays named when it has gone since, so reading it reports the loss.
    if (EtLayout) {
        const std::string found = FindFileIgnoringCase(Base + "pak0.pk3");
        return {found.empty() ? Base + "pak0.pk3" : found};
    }
    return PakFiles(Base);
}

} // namespace quillon
