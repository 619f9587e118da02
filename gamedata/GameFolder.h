// Where the game's data lie: the installation folder whose base folder "etmain" holds the game
// archive "etmain/pak0.pk3" and the scripts folder "etmain/scripts". A folder counts only when
// both exist; choosing the base folder itself selects the installation folder that holds it.
#pragma once

#include <string>

namespace quillon {

class TGameFolder {
public:
    // True when folder + "etmain" is a folder and folder + "etmain/pak0.pk3" a file.
    static bool IsValid(const std::string& folder);
    // A path chosen in the folder dialog, cut just before its first "etmain" and ending in "/".
    static std::string FromChosenPath(std::string path);

    // Takes the folder (with "/" appended) when it is valid; otherwise the previous game folder
    // stays. False for an empty or invalid text.
    bool Apply(const std::string& text);
    void Reset() { Folder.clear(); }

    bool IsSet() const { return !Folder.empty(); }
    const std::string& Path() const { return Folder; } // ends in "/"; empty while not set
    std::string BaseFolder() const;                    // "etmain/" below the game folder
    std::string ScriptsFolder() const;                 // "etmain/scripts/"
    std::string GameArchive() const;                   // "etmain/pak0.pk3"

private:
    std::string Folder;
};

} // namespace quillon
