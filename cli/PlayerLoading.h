// A player named on the command line: a folder on disk (or one of its parts), or, with a game
// folder, a player folder inside the game's archives ("models/players/sergei"), copied out into
// the temporary folder first. Shared by `player` and `export --player`.
#pragma once

#include "ModelResolution.h"

#include "gamedata/PlayerModel.h"

#include <string>

namespace quillon::cli {

// Loads the player and chooses the skin name (empty: the default). Prints the reason on stderr
// and returns an exit code other than ExitDone when it cannot.
int LoadPlayerArgument(const std::string& player, const TResolveSettings& settings,
                       const std::string& skin, TPlayerModel& model);

// The player's joined model resolved as the window resolves it: the game folder's scripts and
// archives, the player's folder and its skin. False (the message on stderr) for a folder that
// is not a game folder.
bool ResolvePlayer(TModelResolution& resolution, const TResolveSettings& settings,
                   const TPlayerModel& player, TMD3& joined);

} // namespace quillon::cli
