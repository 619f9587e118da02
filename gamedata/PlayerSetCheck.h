// Checks a player model: each part as an MD3, the tags the game joins the parts by, the frame
// ranges of animation.cfg against the parts' frame counts, the skins (one of each name for every
// part, a default among them, and the surfaces each names), and with the game data the shaders
// and images of every part under every skin.
#pragma once

#include "GameDataCheck.h"
#include "PlayerSet.h"

#include "core/CheckLimits.h"
#include "core/Finding.h"

#include <string>
#include <vector>

namespace quillon {

// Findings carry the file they are about (the part's or skin's file name, or "animation.cfg").
// `game` may be null (no game data); a non-empty `onlySkin` checks that skin name alone.
std::vector<TFinding> CheckPlayerSet(const TPlayerSet& set, const TModelLimits& limits,
                                     TGameDataCheck* game, const std::string& onlySkin = {});

} // namespace quillon
