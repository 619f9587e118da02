// The user-dirs.dirs file is a shell fragment written by xdg-user-dirs-update; its lines read
// XDG_PICTURES_DIR="$HOME/Pictures" (the only variable it may use is $HOME, at the start) or an
// absolute path. The file is read, never run.
#include "UserFolders.h"

#include "core/CasePath.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace quillon {

namespace {

std::optional<std::string> AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    if (!value || value[0] != '/')
        return std::nullopt;
    return WithTrailingSlash(value);
}

std::optional<std::string> PicturesEntry(const std::string& userDirsFile) {
    const std::string key = "XDG_PICTURES_DIR=\"";
    std::ifstream file(userDirsFile);
    std::string line;
    while (std::getline(file, line)) {
        if (!line.starts_with(key) || !line.ends_with("\""))
            continue;
        std::string value = line.substr(key.size(), line.size() - key.size() - 1);
        if (value.starts_with("$HOME"))
            value = UserHomeFolder() + value.substr(std::string("$HOME").size());
        if (!value.starts_with("/"))
            return std::nullopt;
        return WithTrailingSlash(std::filesystem::path(value).lexically_normal().string());
    }
    return std::nullopt;
}

bool SameFolder(const std::string& a, const std::string& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

} // namespace

std::string UserHomeFolder() {
    if (const auto home = AbsoluteVariable("HOME"))
        return *home;
    const passwd* user = getpwuid(getuid());
    return WithTrailingSlash(user && user->pw_dir ? user->pw_dir : "/");
}

std::string UserConfigFolder() {
    return AbsoluteVariable("XDG_CONFIG_HOME").value_or(UserHomeFolder() + ".config/");
}

std::string UserCacheFolder() {
    return AbsoluteVariable("XDG_CACHE_HOME").value_or(UserHomeFolder() + ".cache/");
}

std::optional<std::string> UserPicturesFolder() {
    const std::string folder = PicturesEntry(UserConfigFolder() + "user-dirs.dirs")
                                   .value_or(UserHomeFolder() + "Pictures/");
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error) || SameFolder(folder, UserHomeFolder()))
        return std::nullopt;
    return folder;
}

} // namespace quillon
