// Joining a player's parts as the game does: the legs stand at the origin; the torso is placed by
// the legs' tag_torso of the legs' frame, the head by the torso's tag_head of the torso's frame
// and the weapon by the torso's tag_weapon. A tag's three axes and origin are a matrix (rows 0-2
// the axes, row 3 the origin), so a part's place is its tag's matrix times its parent's place,
// and a point p of the part lies at p x place in the player's space. As in the game, a tag's axes
// are made unit length first: a tag places, it never scales.
//
// The joined model holds every part's surfaces in part order (lower, upper, head, weapon) moved
// into that space, frame k for the k-th pose. A surface whose name an earlier part already used
// is renamed "<part>/<name>", so skins and the Surfaces tab can tell them apart. The tags are the
// parts' tags moved likewise, each name once (the first part's): lower's tag_torso, upper's
// tag_head and tag_weapon.
#pragma once

#include "PlayerSet.h"

#include "core/MD3.h"
#include "core/VectorMath.h"

#include <string>
#include <vector>

namespace quillon {

struct TPlayerPose;

// The matrix of the named tag (case ignored) at a frame of the model (clamped to its frames);
// the identity and false when the model has no such tag.
bool TagMatrix(const TMD3& model, const std::string& tagName, int frame, TMatrix& matrix);

// A part as drawn for one pose: its model, the frame it shows and its place.
struct TPlacedPart {
    const TMD3* Model = nullptr;
    std::string Name; // "lower", "upper", "head" or "weapon"
    int Frame = 0;
    TMatrix Place;
};

// The parts for a pose, the weapon last when given. A missing tag leaves its part at the place
// of its parent and adds a message naming the tag and the part that lacks it.
std::vector<TPlacedPart> PlaceParts(const TPlayerSet& set, const TMD3* weapon,
                                    const TPlayerPose& pose, std::vector<std::string>& messages);

// The joined surface names, in the order of the joined model's surfaces, and the name of the
// part each surface came from.
struct TJoinedSurfaceName {
    std::string Part;
    std::string Original;
    std::string Joined;
};
std::vector<TJoinedSurfaceName> JoinedSurfaceNames(const TPlayerSet& set, const TMD3* weapon);

// The joined model, frame k for poses[k] (at least one pose). Positions beyond what an MD3 can
// hold are clamped to its range (a message says so), as are missing tags.
TMD3 JoinPlayer(const TPlayerSet& set, const TMD3* weapon, const std::vector<TPlayerPose>& poses,
                std::vector<std::string>& messages);

// Rewrites frame 0 of a joined model for a new pose (vertices, tags, the frame's box); the model
// must have been made by JoinPlayer from the same parts.
void ReposePlayer(TMD3& joined, const TPlayerSet& set, const TMD3* weapon, const TPlayerPose& pose);

} // namespace quillon
