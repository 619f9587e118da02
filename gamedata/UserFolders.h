// The user's own folders as the freedesktop.org conventions name them: the base directories of
// configuration and cache files (XDG_CONFIG_HOME, XDG_CACHE_HOME) and the pictures folder of the
// user-dirs.dirs file. An installed program keeps its writable files there.
#pragma once

#include <optional>
#include <string>

namespace quillon {

// $HOME, or the home folder of the user database when HOME is not set; ends in "/".
std::string UserHomeFolder();
// $XDG_CONFIG_HOME, else ~/.config; ends in "/". A relative value is ignored, as the
// convention asks.
std::string UserConfigFolder();
// $XDG_CACHE_HOME, else ~/.cache; ends in "/".
std::string UserCacheFolder();
// XDG_PICTURES_DIR of $XDG_CONFIG_HOME/user-dirs.dirs, else ~/Pictures; ends in "/". None when
// that folder does not exist (a user-dirs.dirs entry naming the home folder itself means
// "no pictures folder" too).
std::optional<std::string> UserPicturesFolder();

} // namespace quillon
