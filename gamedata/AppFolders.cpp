#include "AppFolders.h"

#include "UserFolders.h"
#include "core/CasePath.h"
#include "core/FileError.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
    std::error_code error;
    return fs::is_directory(path, error);
}

bool IsWritableFolder(const fs::path& path) {
    return access(path.c_str(), W_OK) == 0;
}

void CreateFolder(const std::string& folder) {
    std::error_code error;
    fs::create_directories(folder, error);
    if (error)
        throw FileError(folder, "cannot create the folder: " + error.message());
}

std::string CurrentFolder() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    return WithTrailingSlash(error ? "." : current.string());
}

} // namespace

TAppFolders TAppFolders::Below(const std::string& appFolder) {
    TAppFolders folders;
    folders.AppFolder = WithTrailingSlash(appFolder);
    folders.SettingsFolder = folders.AppFolder;
    folders.ScreenshotFolder = folders.AppFolder;
    folders.TmpFolder = folders.AppFolder + "tmp/";
    folders.MapTmpFolder = folders.TmpFolder + "tmpmap/";
    return folders;
}

TAppFolders TAppFolders::Installed(const std::string& dataFolder) {
    TAppFolders folders;
    folders.AppFolder = WithTrailingSlash(dataFolder);
    folders.SettingsFolder = UserConfigFolder() + "quillon/";
    folders.ScreenshotFolder = UserPicturesFolder().value_or(CurrentFolder());
    folders.TmpFolder = UserCacheFolder() + "quillon/tmp/";
    folders.MapTmpFolder = folders.TmpFolder + "tmpmap/";
    return folders;
}

TAppFolders TAppFolders::ForExecutable(const std::string& executablePath) {
    const char* home = std::getenv("QUILLON_HOME");
    if (home && *home)
        return Below(home);
    std::error_code error;
    fs::path exe = fs::canonical(executablePath, error);
    if (error)
        exe = fs::absolute(executablePath, error);
    const fs::path exeFolder = exe.parent_path();
    // QUILLON_DATA_FROM_BIN is the installed data folder relative to the installed executables.
    const fs::path dataFolder = (exeFolder / QUILLON_DATA_FROM_BIN).lexically_normal();
    if (IsFolder(dataFolder))
        return Installed(dataFolder.string());
    if (!IsWritableFolder(exeFolder))
        return Installed(exeFolder.string());
    return Below(exeFolder.string());
}

void TAppFolders::CreateTempFolders() const {
    CreateFolder(MapTmpFolder);
}

void TAppFolders::CreateSettingsFolder() const {
    CreateFolder(SettingsFolder);
}

} // namespace quillon
