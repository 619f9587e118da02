#include "AppFolders.h"

#include "core/CasePath.h"
#include "core/FileError.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

TAppFolders TAppFolders::Below(const std::string& appFolder) {
    TAppFolders folders;
    folders.AppFolder = WithTrailingSlash(appFolder);
    folders.TmpFolder = folders.AppFolder + "tmp/";
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
    return Below(exe.parent_path().string());
}

void TAppFolders::CreateTempFolders() const {
    std::error_code error;
    fs::create_directories(MapTmpFolder, error);
    if (error)
        throw FileError(MapTmpFolder, "cannot create the folder: " + error.message());
}

} // namespace quillon
