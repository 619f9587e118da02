// A player model whole: the three parts of a player folder (and a weapon when one is attached)
// joined by their tags as the game joins them, each part at its own frame, with one skin name
// chosen for all three parts at once and the animations of animation.cfg per part.
//
// The joined model is an ordinary MD3 (see PlayerJoin.h), so everything that shows, resolves,
// checks or exports an MD3 takes a whole player without knowing it is one.
#pragma once

#include "PlayerAnimation.h"
#include "PlayerSet.h"
#include "Skin.h"

#include "core/LastError.h"
#include "core/MD3.h"

#include <array>
#include <string>
#include <vector>

namespace quillon {

// The frames the parts show: the legs' frame of lower.md3 and the torso's frame of upper.md3.
struct TPlayerPose {
    int LegsFrame = 0;
    int TorsoFrame = 0;
};

// A legs range and a torso range played together: "LEGS_RUN+TORSO_ATTACK", its poses sampled at
// the faster range's rate until both ranges have played through once; at most MostClipPoses
// poses (a slower rate where the faster one would need more).
struct TPlayerClip {
    static constexpr int MostClipPoses = 1024;

    std::string Name;
    std::vector<TPlayerPose> Poses;
    int FramesPerSecond = 15;
};

class TPlayerModel : public TLastError {
public:
    // Reads a player folder (any of its parts may be named instead of the folder). False when a
    // part is missing or not an MD3 (LastError says which and why; the model is then empty);
    // throws FileError when a file cannot be opened. Chooses the skin "default", or the first
    // skin name when there is no default.
    [[nodiscard]] bool LoadFolder(const std::string& folderOrPart);
    // Copies a player folder of the game's archives (e.g. "models/players/sergei/") out of every
    // archive that holds members there, in the order given, so a later archive's member replaces
    // an earlier one's, into `extractFolder`, then reads it as LoadFolder does.
    [[nodiscard]] bool LoadFromArchives(const std::vector<std::string>& archives,
                                        const std::string& memberFolder,
                                        const std::string& extractFolder);
    void Clear();
    bool IsLoaded() const { return Loaded; }

    // Attaches a weapon model to the torso's tag_weapon; false (LastError says why, the weapon
    // before stays) for a file that is not an MD3.
    [[nodiscard]] bool AttachWeapon(const std::string& path);
    void DetachWeapon();
    bool HasWeapon() const { return WeaponAttached; }

    // Skin names with a file for at least one part, "default" first, the others in name order.
    std::vector<std::string> SkinNames() const;
    // Reads <part>_<name>.skin for every part; a part without one keeps its own shader names
    // (a message says so). False when no part has a skin of that name (the skins stay as they
    // were).
    bool ChooseSkin(const std::string& name);
    const std::string& SkinName() const { return CurrentSkin; }
    // The three parts' skins as one skin of the joined model's surface names.
    TSkin JoinedSkin() const;

    const std::vector<TPlayerRange>& LegsRanges() const { return Legs; }
    const std::vector<TPlayerRange>& TorsoRanges() const { return Torso; }
    // The index of the named range in the list; -1 when there is none. Names compare ignoring
    // case.
    static int FindRange(const std::vector<TPlayerRange>& ranges, const std::string& name);
    // The pose `seconds` into the legs' and the torso's ranges.
    TPlayerPose PoseAt(int legsRange, int torsoRange, double seconds) const;

    // The clip of a legs range and a torso range (indexes into the lists).
    TPlayerClip Clip(int legsRange, int torsoRange) const;

    // The joined model for the poses: frame k shows poses[k]. See PlayerJoin.h.
    TMD3 Joined(const std::vector<TPlayerPose>& poses);
    // Rewrites frame 0 of a model Joined made from this player (same parts and weapon) for a new
    // pose, keeping everything else (the resolved shader indices too).
    void Repose(TMD3& joined, const TPlayerPose& pose) const;

    const TPlayerSet& Set() const { return Parts; }
    const TMD3& Weapon() const { return WeaponModel; }
    const std::string& WeaponFile() const { return WeaponPath; }
    // What loading and joining noticed: clamped animation ranges, missing tags, missing skins.
    const std::vector<std::string>& Messages() const { return Notes; }

private:
    void ReadRanges();
    void Note(std::string message);

    bool Loaded = false;
    TPlayerSet Parts;
    std::array<TSkin, 3> Skins;
    std::string CurrentSkin;
    std::vector<TPlayerRange> Legs, Torso;
    TMD3 WeaponModel;
    std::string WeaponPath;
    bool WeaponAttached = false;
    std::vector<std::string> Notes;
};

} // namespace quillon
