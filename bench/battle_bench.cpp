// How fast a battle ticks without drawing, and how long Enter takes to reach the first tick of
// a second battle (meshes already read). Without --render the scene is the null scene.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "app/game.h"
#include "app/screens.h"
#include "app/tick_loop.h"
#include "battle/battle.h"
#include "platform/headless/headless_platform.h"

namespace bf {
namespace {

// A game on the headless machine: virtual clock, no script, the null scene.
struct HeadlessGame {
  HeadlessGame() {
    std::string error;
    HeadlessOptions options;
    headless = CreateHeadlessPlatform(options, Script{}, &error);
    game = std::make_unique<Game>(headless->platform());
    game->playerCharacter = {0, 1, -1, -1};
  }
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
  Game& game = *h.game;
  game.stageIndex = static_cast<int>(state.range(0));
  BuildBattleScene(game);
  game.winner = -1;
  game.runningFlag = -1;
  int tick = 0;
  for (auto _ : state) {
    KeepBattleBusy(game, tick++);
    BeginTickRecord(game);
    RunBattleTick(game);
    benchmark::DoNotOptimize(game.tankX.data());
  }
  state.counters["ticks_per_s"] =
      benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
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
  Game& game = *h.game;
  game.stageIndex = static_cast<int>(state.range(0));
  FirstTick first;
  game.observer = &first;
  RunBattle(game);  // the first battle reads every mesh
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
