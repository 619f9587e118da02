#include "DefaultSkin.h"

#include "PK3Archive.h"

#include "core/CasePath.h"

namespace quillon {

namespace {

std::string DefaultSkinName(const std::string& modelPath) {
    return WithoutExtension(FilePart(modelPath)) + "_default.skin";
}

// Wildcards are read as such in archive masks: a name holding one cannot be looked up safely.
bool HasWildcard(const std::string& text) {
    return text.find_first_of("*?") != std::string::npos;
}

} // namespace

std::string DefaultSkinBeside(const std::string& modelPath) {
    if (modelPath.empty())
        return {};
    return FindFileIgnoringCase(FolderPart(modelPath) + DefaultSkinName(modelPath));
}

std::string DefaultSkinMember(TPK3Archive& archive, const std::string& modelMember) {
    const std::string mask = FolderPart(modelMember) + DefaultSkinName(modelMember);
    TPK3Member member;
    if (modelMember.empty() || HasWildcard(mask) || !archive.FindFirst(mask, member))
        return {};
    return member.Path();
}

} // namespace quillon
