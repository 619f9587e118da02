// The application's own folders: the application folder (the executable's folder, or the folder
// named by QUILLON_HOME), the temporary folder "tmp/" below it into which archive members are
// extracted, and "tmp/tmpmap/" for the members of map archives. They are never emptied, so the
// temporary folder grows into a partial mirror of every archive read.
#pragma once

#include <string>

namespace quillon {

struct TAppFolders {
    std::string AppFolder; // each ends in "/"
    std::string TmpFolder;
    std::string MapTmpFolder;

    // Folders below `appFolder`.
    static TAppFolders Below(const std::string& appFolder);
    // QUILLON_HOME when set, else the folder of the executable path given.
    static TAppFolders ForExecutable(const std::string& executablePath);
    // Creates the temporary folders when missing. Throws FileError when that fails.
    void CreateTempFolders() const;
};

} // namespace quillon
