// How fast a battle ticks, and how long Enter takes to reach the first tick of a second battle
// (meshes already read). The scene is the null scene unless BF_BENCH_RENDER=1 asks for the
// offscreen OpenGL one, with the assets beside this program.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/screens.h"
#include "app/tick_loop.h"
#include "battle/battle.h"
#include "core/game.h"
#include "platform/headless/headless_platform.h"

namespace bf {
namespace {

bool RenderAsked() {
  const char* render = std::getenv("BF_BENCH_RENDER");
  return render != nullptr && std::string(render) == "1";
}

// A game on the headless machine: virtual clock, no script.
struct HeadlessGame {
  HeadlessGame() {
    HeadlessOptions options;
    options.render = RenderAsked();
    options.assetDir = std::filesystem::read_symlink("/proc/self/exe").parent_path().string();
    headless = CreateHeadlessPlatform(options, Script{}, &error);
    if (!headless) return;
    game = std::make_unique<Game>(headless->platform());
    game->playerCharacter = {0, 1, -1, -1};
  }
  // False, with the reason given to the benchmark, when the scene asked for cannot start.
  bool Ready(benchmark::State& state) {
    if (!headless) state.SkipWithError(error.c_str());
    return headless != nullptr;
  }
  std::string error;
  std::unique_ptr<HeadlessPlatform> headless;
  std::unique_ptr<Game> game;
};

// Every tank drives in circles and a volley of shots flies now and then, so the pools and the
// collision tests have work to do.
void KeepBattleBusy(Game& game, int tick) {
  for (int p = 0; p < kPlayers; ++p) {
    game.steerInput[p] = p % 2 == 0 ? -1 : 1;
    game.throttleInput[p] = -1;
  }
  if (tick % 20 != 0) return;
  for (int s = 0; s < 10; ++s) {
    game.shotX[s] = -300 + 60.0 * s;
    game.shotZ[s] = -700;
    game.shotDX[s] = 3;
    game.shotDZ[s] = 30;
    game.starX[s] = 0;
    game.starY[s] = 20;
    game.starDY[s] = 11;
  }
}

void BM_BattleTick(benchmark::State& state) {
  HeadlessGame h;
  if (!h.Ready(state)) return;
  Game& game = *h.game;
  game.stageIndex = static_cast<int>(state.range(0));
  BuildBattleScene(game);
  if (!game.io.scene->LoadError().empty()) {
    state.SkipWithError(game.io.scene->LoadError().c_str());
    return;
  }
  game.winner = -1;
  game.runningFlag = -1;
  const bool render = RenderAsked();
  std::vector<double> ms;
  ms.reserve(1 << 20);
  int tick = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    KeepBattleBusy(game, tick++);
    BeginTickRecord(game);
    RunBattleTick(game);
    benchmark::DoNotOptimize(game.tankX.data());
    if (render) {
      // The tick ends with the screen presented and the rasteriser done with it.
      game.io.display->Present();
      glFinish();
    }
    if (ms.size() < ms.capacity()) {
      ms.push_back(
          std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
              .count());
    }
  }
  state.counters["ticks_per_s"] =
      benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
  std::sort(ms.begin(), ms.end());
  if (!ms.empty()) {
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  }
}
BENCHMARK(BM_BattleTick)->Arg(2)->Arg(4);

// Notes when the first battle tick is done and ends the battle there.
class FirstTick final : public TickObserver {
 public:
  void OnTickDone(Game& game, Screen) override {
    if (done) return;
    done = true;
    at = std::chrono::steady_clock::now();
    game.runningFlag = 0;
  }
  bool done = false;
  std::chrono::steady_clock::time_point at;
};

// From the selection tick that saw Enter to the end of the battle's first tick: the loading
// text, the construction, the battle music, the panels and one tick.
void BM_EnterToFirstTickOfSecondBattle(benchmark::State& state) {
  HeadlessGame h;
  if (!h.Ready(state)) return;
  Game& game = *h.game;
  game.stageIndex = static_cast<int>(state.range(0));
  FirstTick first;
  game.observer = &first;
  RunBattle(game);  // the first battle reads every mesh
  if (game.assetFailure) {
    state.SkipWithError(game.io.scene->LoadError().c_str());
    return;
  }
  for (auto _ : state) {
    first.done = false;
    const auto start = std::chrono::steady_clock::now();
    ShowLoadingText(game);
    PumpEvents(game);
    game.selectionActive = 0;
    RunBattle(game);
    const std::chrono::duration<double> elapsed = first.at - start;
    state.SetIterationTime(elapsed.count());
  }
}
BENCHMARK(BM_EnterToFirstTickOfSecondBattle)
    ->Arg(2)
    ->Arg(4)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bf

BENCHMARK_MAIN();
