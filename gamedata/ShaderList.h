// The three lists of known shader scripts and the search for a shader name in them. The lists are
// searched in a fixed order: the user's shader list, then the scripts of map archives, then the
// game's; within a list scripts in list order and names in file order, names compared ignoring
// case. A script's file name is entered once per list (the first wins), so a script in the game's
// scripts folder hides the game archive's script of the same name.
#pragma once

#include "ShaderScript.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace quillon {

class TPK3Archive;
struct TAppFolders;
class TGameFolder;

enum class ScriptListKind { ShaderList, MapArchive, Game };

struct TShaderMatch {
    ScriptListKind List = ScriptListKind::Game;
    int Script = 0;          // position in its list
    int Name = 0;            // position in the script's names
    std::string MatchedForm; // the query itself, or the form with "\" turned into "/"
    uint32_t Flags = 0;      // SourceScript and the list's source bits
};

class TShaderList {
public:
    using StatusSink = std::function<void(const std::string&)>;

    // Refills the game list from the game's scripts folder, then from the game archive's
    // "scripts/" extracted into the temporary folder. Throws FileError when the game archive
    // cannot be read.
    void CollectGameShaderFiles(const TGameFolder& game, const TAppFolders& folders,
                                TPK3Archive& archive, const StatusSink& status);
    // Adds the scripts found in the map-archive folder's "scripts/" (those of every map archive
    // extracted so far).
    void RegisterMapArchiveShaderFiles(const TAppFolders& folders, const StatusSink& status);
    // Refills the shader-list list from the paths, skipping missing files and repeated paths.
    void RebuildShaderList(const std::vector<std::string>& paths);

    void ReleaseGame();
    void ReleaseMapArchive() { MapScripts.clear(); }
    void ReleaseShaderList() { ListScripts.clear(); }

    std::optional<TShaderMatch> FindShader(const std::string& query) const;

    // Where the matched script lies on disk, and the name shown for it.
    std::string ScriptPath(const TShaderMatch& match, const TGameFolder& game,
                           const TAppFolders& folders) const;
    std::string DisplayName(const TShaderMatch& match, const TGameFolder& game) const;

    const TETShaders& List(ScriptListKind kind) const;

    TETShaders GameScripts;
    TETShaders MapScripts;
    TETShaders ListScripts;
    int GameFileCount = 0;
    int GameShaderCount = 0;

private:
    // Adds the "*.shader" files of a folder (in name order) not yet in the list.
    void AddFolderScripts(TETShaders& list, const std::string& folder, uint8_t inArchive,
                          bool countForGame);
};

} // namespace quillon
