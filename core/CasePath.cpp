#include "CasePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

namespace {

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool Exists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of `folder` equal to `name` ignoring case, the first in name order; empty if none.
std::string MatchInFolder(const fs::path& folder, const std::string& name) {
    std::error_code error;
    fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, error);
    std::string best;
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string entry = it->path().filename().string();
        if (SameIgnoringCase(entry, name) && (best.empty() || entry < best))
            best = entry;
    }
    return best;
}

} // namespace

std::string FindPathIgnoringCase(const std::string& path) {
    if (path.empty())
        return {};
    if (Exists(path))
        return path;
    const fs::path input(path);
    fs::path found = input.root_path();
    for (const fs::path& part : input.relative_path()) {
        const std::string name = part.string();
        if (name.empty() || name == "." || name == "..") {
            found /= part;
            continue;
        }
        fs::path exact = found / part;
        if (Exists(exact)) {
            found = exact;
            continue;
        }
        const std::string match = MatchInFolder(found, name);
        if (match.empty())
            return {};
        found /= match;
    }
    std::string result = found.string();
    if (!path.empty() && path.back() == '/' && (result.empty() || result.back() != '/'))
        result += '/';
    return result;
}

std::string FindFileIgnoringCase(const std::string& path) {
    std::string found = FindPathIgnoringCase(path);
    std::error_code error;
    return !found.empty() && fs::is_regular_file(found, error) ? found : std::string();
}

std::string FindFolderIgnoringCase(const std::string& path) {
    std::string found = FindPathIgnoringCase(path);
    std::error_code error;
    return !found.empty() && fs::is_directory(found, error) ? found : std::string();
}

std::string FolderPart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FilePart(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
    const std::string file = FilePart(path);
    const size_t dot = file.rfind('.');
    return dot == std::string::npos ? std::string() : file.substr(dot);
}

std::string WithoutExtension(const std::string& path) {
    return path.substr(0, path.size() - ExtensionOf(path).size());
}

std::string WithTrailingSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace quillon
