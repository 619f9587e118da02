// The application's own folders. Run from where it was built (or with QUILLON_HOME naming a
// folder), everything is in the application folder: the settings file, the program's textures/,
// the screenshots and the temporary folder "tmp/" into which archive members are extracted, with
// "tmp/tmpmap/" for the members of map archives. An installed program cannot write beside its
// executable: its own files are read from the installed data folder (share/quillon), and the
// settings, temporary files and screenshots go to the user's configuration, cache and pictures
// folders. The temporary folders are never emptied, so they grow into a partial mirror of every
// archive read.
#pragma once

#include <string>

namespace quillon {

struct TAppFolders {
    std::string AppFolder; // the program's own files (textures/); each folder ends in "/"
    std::string SettingsFolder;
    std::string ScreenshotFolder;
    std::string TmpFolder;
    std::string MapTmpFolder;

    // Everything in `appFolder`.
    static TAppFolders Below(const std::string& appFolder);
    // The folders of an installed program whose own files are in `dataFolder`: the user's
    // $XDG_CONFIG_HOME/quillon/, $XDG_CACHE_HOME/quillon/tmp/ and pictures folder (the
    // current folder when the user has none).
    static TAppFolders Installed(const std::string& dataFolder);
    // QUILLON_HOME when set; else the installed folders when the executable's folder is an
    // installation (it is not writable, or the data folder lies beside it as share/quillon in
    // a prefix, which also holds for root, who may write anywhere); else the folder of the
    // executable path given.
    static TAppFolders ForExecutable(const std::string& executablePath);
    // Creates the temporary folders when missing. Throws FileError when that fails.
    void CreateTempFolders() const;
    // Creates the settings folder when missing. Throws FileError when that fails.
    void CreateSettingsFolder() const;
};

} // namespace quillon
