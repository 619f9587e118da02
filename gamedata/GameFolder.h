// Where the game's data lie. Two layouts count:
// - the installation folder whose base folder "etmain" holds the game archive "etmain/pak0.pk3"
//   and the scripts folder "etmain/scripts" (the one archive read is pak0.pk3);
// - an installation of the MD3 engine family: a folder holding the base folder "baseq3" or
//   "baseoa", or any folder holding pak*.pk3 files, or such a base folder itself. Every pak*.pk3
//   of the base folder is read, in the game's order: names compared ignoring case, and a member
//   of a later archive replaces the same member of an earlier one.
// Choosing the "etmain" folder itself selects the installation folder that holds it.
#pragma once

#include <string>
#include <vector>

namespace quillon {

class TGameFolder {
public:
    // True when the folder is an installation of either layout.
    static bool IsValid(const std::string& folder);
    // A path chosen in the folder dialog: cut just before its first "etmain" and ending in "/".
    static std::string FromChosenPath(std::string path);

    // Takes the folder (with "/" appended) when it is valid; otherwise the previous game folder
    // stays. False for an empty or invalid text.
    bool Apply(const std::string& text);
    void Reset() { *this = TGameFolder(); }

    bool IsSet() const { return !Folder.empty(); }
    const std::string& Path() const { return Folder; } // ends in "/"; empty while not set
    std::string BaseFolder() const;                    // "etmain/", "baseoa/" ...
    std::string ScriptsFolder() const;                 // "scripts/" of the base folder
    // The archive the archive browser lists: "etmain/pak0.pk3", or the base folder's first.
    std::string GameArchive() const;
    // Every archive of the game in the game's order (the last one wins).
    std::vector<std::string> Archives() const;

private:
    // The base folder below `folder` (or `folder` itself), ending in "/"; empty when none.
    static std::string FindBase(const std::string& folder);

    std::string Folder;
    std::string Base;
    bool EtLayout = false; // "etmain" with its one archive
};

} // namespace quillon
