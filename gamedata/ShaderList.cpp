#include "ShaderList.h"

#include "AppFolders.h"
#include "GameFolder.h"
#include "PK3Archive.h"
#include "ScriptText.h"
#include "core/CasePath.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace quillon {

namespace fs = std::filesystem;

namespace {

bool InList(const TETShaders& list, const std::string& fileName) {
    return std::any_of(list.begin(), list.end(),
                       [&](const TETShader& s) { return s.FileName == fileName; });
}

// The "*.shader" files of a folder, sorted so that every run lists them alike.
std::vector<std::string> ShaderFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    const std::string found = FindFolderIgnoringCase(folder);
    if (found.empty())
        return names;
    std::error_code error;
    fs::directory_iterator it(found, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (EqualsIgnoringCase(ExtensionOf(name), ".shader") && it->is_regular_file(error))
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

uint32_t ListBits(ScriptListKind kind) {
    switch (kind) {
    case ScriptListKind::ShaderList:
        return SourceShaderList;
    case ScriptListKind::MapArchive:
        return SourceMapOrGame;
    case ScriptListKind::Game:
        break;
    }
    return SourceMapOrGame | SourceGame;
}

void Report(const TShaderList::StatusSink& status, const std::string& text) {
    if (status)
        status(text);
}

} // namespace

void TShaderList::AddFolderScripts(TETShaders& list, const std::string& folder, uint8_t inArchive,
                                   bool countForGame) {
    const std::string root = WithTrailingSlash(FindFolderIgnoringCase(folder));
    for (const std::string& name : ShaderFilesIn(folder)) {
        if (InList(list, name))
            continue;
        TETShader script;
        script.InArchive = inArchive;
        script.FileName = name;
        script.ShaderNames = ScanShaderNamesInFile(root + name);
        if (countForGame) {
            ++GameFileCount;
            GameShaderCount += static_cast<int>(script.ShaderNames.size());
        }
        list.push_back(std::move(script));
    }
}

void TShaderList::CollectGameShaderFiles(const TGameFolder& game, const TAppFolders& folders,
                                         TPK3Archive& archive, const StatusSink& status) {
    ReleaseGame();
    Report(status, "Checking for shader-files in game-directory...");
    if (game.IsSet())
        AddFolderScripts(GameScripts, game.ScriptsFolder(), 0, true);
    // Extracted in the game's order, so a later archive's script replaces an earlier one's.
    for (const std::string& path : game.Archives()) {
        Report(status, "Checking for shader-files in " + FilePart(path) + "...");
        archive.Open(path);
        try {
            archive.Extract("scripts/*.shader", folders.TmpFolder);
        } catch (...) {
            archive.Close();
            throw;
        }
        archive.Close();
    }
    if (game.IsSet())
        AddFolderScripts(GameScripts, folders.TmpFolder + "scripts/", 1, true);
    Report(status, "Total shaderfiles/shaders found: " + std::to_string(GameFileCount) + " / " +
                       std::to_string(GameShaderCount));
}

void TShaderList::RegisterMapArchiveShaderFiles(const TAppFolders& folders,
                                                const StatusSink& status) {
    Report(status, "Checking for shader-files in Map.pk3...");
    AddFolderScripts(MapScripts, folders.MapTmpFolder + "scripts/", 1, false);
    Report(status, "");
}

void TShaderList::RebuildShaderList(const std::vector<std::string>& paths) {
    ReleaseShaderList();
    for (const std::string& path : paths) {
        const std::string file = FindFileIgnoringCase(path);
        if (file.empty() || InList(ListScripts, path))
            continue;
        TETShader script;
        script.FileName = path;
        script.ShaderNames = ScanShaderNamesInFile(file);
        ListScripts.push_back(std::move(script));
    }
}

void TShaderList::ReleaseGame() {
    GameScripts.clear();
    GameFileCount = 0;
    GameShaderCount = 0;
}

const TETShaders& TShaderList::List(ScriptListKind kind) const {
    switch (kind) {
    case ScriptListKind::ShaderList:
        return ListScripts;
    case ScriptListKind::MapArchive:
        return MapScripts;
    case ScriptListKind::Game:
        break;
    }
    return GameScripts;
}

std::optional<TShaderMatch> TShaderList::FindShader(const std::string& query) const {
    const std::string alternative = ReplaceAll(query, '\\', '/');
    for (ScriptListKind kind :
         {ScriptListKind::ShaderList, ScriptListKind::MapArchive, ScriptListKind::Game}) {
        const TETShaders& list = List(kind);
        for (size_t s = 0; s < list.size(); ++s) {
            const std::vector<std::string>& names = list[s].ShaderNames;
            for (size_t n = 0; n < names.size(); ++n) {
                const bool asWritten = EqualsIgnoringCase(names[n], query);
                if (!asWritten && !EqualsIgnoringCase(names[n], alternative))
                    continue;
                return TShaderMatch{kind, static_cast<int>(s), static_cast<int>(n),
                                    asWritten ? query : alternative, SourceScript | ListBits(kind)};
            }
        }
    }
    return std::nullopt;
}

std::string TShaderList::ScriptPath(const TShaderMatch& match, const TGameFolder& game,
                                    const TAppFolders& folders) const {
    const TETShader& script = List(match.List)[match.Script];
    std::string path;
    switch (match.List) {
    case ScriptListKind::ShaderList:
        path = script.FileName;
        break;
    case ScriptListKind::MapArchive:
        path = folders.MapTmpFolder + "scripts/" + script.FileName;
        break;
    case ScriptListKind::Game:
        path = script.InArchive ? folders.TmpFolder + "scripts/" + script.FileName
                                : game.ScriptsFolder() + script.FileName;
        break;
    }
    const std::string found = FindFileIgnoringCase(path);
    return found.empty() ? path : found;
}

std::string TShaderList::DisplayName(const TShaderMatch& match, const TGameFolder& game) const {
    const TETShader& script = List(match.List)[match.Script];
    switch (match.List) {
    case ScriptListKind::ShaderList:
        return "SHADERLIST:\\\\" + FilePart(script.FileName);
    case ScriptListKind::MapArchive:
        return "MAP:\\\\scripts\\" + script.FileName;
    case ScriptListKind::Game:
        break;
    }
    return script.InArchive ? "GAME:\\\\scripts\\" + script.FileName
                            : game.ScriptsFolder() + script.FileName;
}

} // namespace quillon
