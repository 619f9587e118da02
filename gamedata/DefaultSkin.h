// The skin the game dresses a model in when nothing else is asked for: <name>_default.skin beside
// <name>.md3, in the same folder on disk or in the same folder of the archive. Names compare
// ignoring case, as the game's archives do.
#pragma once

#include <string>

namespace quillon {

class TPK3Archive;

// The default skin file beside a model file on disk; empty when there is none.
std::string DefaultSkinBeside(const std::string& modelPath);
// The member path of the default skin beside a model member of an open archive; empty when the
// archive has none.
std::string DefaultSkinMember(TPK3Archive& archive, const std::string& modelMember);

} // namespace quillon
