// A player model as the game loads it: a folder holding lower.md3 (legs), upper.md3 (torso) and
// head.md3, joined by tags (the torso hangs on the legs' tag_torso, the head on the torso's
// tag_head, the weapon on the torso's tag_weapon), animated by animation.cfg, and dressed by
// skins named <part>_<name>.skin, one of each name for every part. File names are matched
// ignoring letter case, as the game's archives do.
#pragma once

#include "AnimationConfig.h"

#include "core/MD3.h"

#include <array>
#include <optional>
#include <set>
#include <string>

namespace quillon {

enum TPlayerPartIndex { PartLower = 0, PartUpper = 1, PartHead = 2 };

struct TPlayerSet {
    static constexpr std::array<const char*, 3> PartNames{"lower", "upper", "head"};

    std::string Folder;                   // ends in "/"
    std::array<std::string, 3> PartFiles; // the paths found, in the order of PartNames
    std::array<TMD3, 3> Parts;
    bool HasConfig = false;
    TAnimationConfig Config;
    // The skin names found for each part: "default" for lower_default.skin, in lower case.
    std::array<std::set<std::string>, 3> Skins;

    // The skin file of a part for a skin name; empty when there is none.
    std::string SkinFile(int part, const std::string& name) const;
};

// True when the folder holds the three parts.
bool IsPlayerSetFolder(const std::string& folder);

// Reads the parts, animation.cfg and the skin names. Returns the path of the first part that is
// not a complete MD3 (nothing when all are read); throws FileError when a file cannot be opened.
std::optional<std::string> LoadPlayerSet(const std::string& folder, TPlayerSet& set);

} // namespace quillon
