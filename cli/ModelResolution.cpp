#include "ModelResolution.h"

#include "core/CasePath.h"
#include "core/FileError.h"
#include "gamedata/PK3Archive.h"

#include <filesystem>
#include <iostream>

namespace quillon::cli {

bool TModelResolution::Resolve(const TResolveSettings& settings, const TModelRef& model,
                               const std::string& modelPath) {
    const std::string folder =
        WithTrailingSlash(std::filesystem::absolute(modelPath).parent_path().string());
    Input.Model = model;
    Input.Source = TModelSource::File;
    Input.ModelFolder = folder;
    Input.ModelFileFolder = folder;
    Input.ArchivePath = settings.Pk3;

    if (settings.Tmp.empty()) {
        Resolver.Folders = TAppFolders::ForExecutable("/proc/self/exe");
    } else {
        Resolver.Folders.TmpFolder = WithTrailingSlash(settings.Tmp);
        Resolver.Folders.MapTmpFolder = Resolver.Folders.TmpFolder + "tmpmap/";
    }
    Resolver.Folders.CreateTempFolders();
    if (!settings.Pk3.empty()) {
        TPK3Archive map;
        map.Open(settings.Pk3);
        map.Extract("scripts/*.shader", Resolver.Folders.MapTmpFolder);
        map.Close();
        Resolver.RegisterMapArchiveShaderFiles();
    }
    Resolver.Scripts.RebuildShaderList(settings.ShaderLists);
    if (!settings.Skin.empty() && !Resolver.Skin.Load(settings.Skin))
        throw FileError(settings.Skin, Resolver.Skin.LastError());
    if (settings.Game.empty())
        return true;
    if (!Resolver.ApplyGameFolder(settings.Game, Input)) {
        std::cerr << settings.Game << ": not a game folder (needs etmain/pak0.pk3)\n";
        return false;
    }
    return true;
}

} // namespace quillon::cli
