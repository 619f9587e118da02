#include "MemberMask.h"

#include "ScriptText.h"

namespace quillon {

TMemberMask::TMemberMask(std::string_view mask) {
    std::string normal = ReplaceAll(std::string(mask), '\\', '/');
    while (!normal.empty() && normal.front() == '/')
        normal.erase(0, 1);
    const size_t slash = normal.rfind('/');
    HasFolder = slash != std::string::npos;
    FolderPattern = HasFolder ? normal.substr(0, slash + 1) : std::string();
    FilePattern = HasFolder ? normal.substr(slash + 1) : normal;
}

bool TMemberMask::Matches(std::string_view folder, std::string_view file) const {
    if (HasFolder && !WildcardMatch(FolderPattern, folder))
        return false;
    return WildcardMatch(FilePattern, file);
}

bool TMemberMask::WildcardMatch(std::string_view pattern, std::string_view text) {
    const std::string p = ToLower(pattern), t = ToLower(text);
    size_t pi = 0, ti = 0;
    size_t starAt = std::string::npos, resumeAt = 0;
    while (ti < t.size()) {
        if (pi < p.size() && (p[pi] == '?' || p[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (pi < p.size() && p[pi] == '*') {
            starAt = pi++;
            resumeAt = ti;
        } else if (starAt != std::string::npos) {
            pi = starAt + 1;
            ti = ++resumeAt;
        } else {
            return false;
        }
    }
    while (pi < p.size() && p[pi] == '*')
        ++pi;
    return pi == p.size();
}

} // namespace quillon
