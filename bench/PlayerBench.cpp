// Whole players: OpenArena's sergei (the largest player, 217 frames a part) copied out of the
// installed game and joined. BM_JoinPlayerClip makes the joined model of LEGS_RUN with
// TORSO_ATTACK (what the window, --render and the export do on every choice of the lists);
// BM_ReposePlayer rewrites a one-frame joined model for another pose.
#include "gamedata/GameFolder.h"
#include "gamedata/PlayerModel.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace quillon;
namespace fs = std::filesystem;

bool LoadSergei(TPlayerModel& player) {
    TGameFolder game;
    if (!game.Apply("/usr/share/games/openarena"))
        return false;
    const std::string work = (fs::temp_directory_path() / "quillon-player-bench").string();
    return player.LoadFromArchives(game.Archives(), "models/players/sergei", work);
}

void BM_JoinPlayerClip(benchmark::State& state) {
    TPlayerModel player;
    if (!LoadSergei(player)) {
        state.SkipWithError("OpenArena data not installed");
        return;
    }
    const TPlayerClip clip =
        player.Clip(TPlayerModel::FindRange(player.LegsRanges(), "LEGS_RUN"),
                    TPlayerModel::FindRange(player.TorsoRanges(), "TORSO_ATTACK"));
    for (auto _ : state)
        benchmark::DoNotOptimize(player.Joined(clip.Poses));
    state.counters["frames"] = static_cast<double>(clip.Poses.size());
}
BENCHMARK(BM_JoinPlayerClip)->Unit(benchmark::kMillisecond);

void BM_ReposePlayer(benchmark::State& state) {
    TPlayerModel player;
    if (!LoadSergei(player)) {
        state.SkipWithError("OpenArena data not installed");
        return;
    }
    TMD3 joined = player.Joined({});
    int frame = 0;
    for (auto _ : state) {
        player.Repose(joined, {frame % 200, (frame * 7) % 200});
        ++frame;
    }
}
BENCHMARK(BM_ReposePlayer)->Unit(benchmark::kMicrosecond);

} // namespace
