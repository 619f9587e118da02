#include "PlayerLoading.h"

#include "Verbs.h"

#include "core/CasePath.h"
#include "gamedata/GameFolder.h"

#include <filesystem>
#include <iostream>

namespace quillon::cli {

namespace {

TAppFolders FoldersFor(const TResolveSettings& settings) {
    if (settings.Tmp.empty())
        return TAppFolders::ForExecutable("/proc/self/exe");
    TAppFolders folders;
    folders.TmpFolder = WithTrailingSlash(settings.Tmp);
    folders.MapTmpFolder = folders.TmpFolder + "tmpmap/";
    return folders;
}

bool Load(const std::string& player, const TResolveSettings& settings, TPlayerModel& model) {
    std::error_code error;
    if (settings.Game.empty() || std::filesystem::exists(player, error))
        return model.LoadFolder(player);
    TGameFolder game;
    if (!game.Apply(settings.Game)) {
        std::cerr << settings.Game << ": not a game folder\n";
        return false;
    }
    TAppFolders folders = FoldersFor(settings);
    folders.CreateTempFolders();
    return model.LoadFromArchives(game.Archives(), player, folders.TmpFolder);
}

} // namespace

int LoadPlayerArgument(const std::string& player, const TResolveSettings& settings,
                       const std::string& skin, TPlayerModel& model) {
    if (!Load(player, settings, model)) {
        if (!model.LastError().empty())
            std::cerr << player << ": " << model.LastError() << "\n";
        return model.LastError().empty() ? ExitUsage : ExitInvalidInput;
    }
    if (!skin.empty() && !model.ChooseSkin(skin)) {
        std::cerr << player << ": no skin named \"" << skin << "\"\n";
        return ExitUsage;
    }
    return ExitDone;
}

bool ResolvePlayer(TModelResolution& resolution, const TResolveSettings& settings,
                   const TPlayerModel& player, TMD3& joined) {
    TResolveSettings withoutSkin = settings;
    withoutSkin.Skin.clear();
    resolution.Resolver.Skin = player.JoinedSkin();
    return resolution.Resolve(withoutSkin, {TModelKind::MD3, &joined, nullptr},
                              player.Set().PartFiles[PartLower]);
}

} // namespace quillon::cli
