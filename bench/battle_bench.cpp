// How fast a battle ticks on each stage, and how long Enter takes to reach the first tick of a
// second battle (meshes already read). The scene is the null scene unless BF_BENCH_RENDER=1 asks
// for the offscreen OpenGL one, with the assets beside this program. BM_WindowTick plays the
// battle in a real window at the desktop's size (it needs a display; tools/perf-report.sh gives
// it a 1920 x 1080 one) and times the presentation of the scaled screen on its own.
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
#include "battle/battle_local.h"
#include "core/game.h"
#include "platform/headless/headless_platform.h"
#include "platform/sdl/sdl_platform.h"

namespace bf {
namespace {

constexpr int kWarmUpTicks = 20;

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

// Median and 99th percentile of the tick times, in milliseconds, as counters named after `what`.
class TickTimes {
 public:
  TickTimes() { ms_.reserve(1 << 20); }
  void Add(std::chrono::steady_clock::time_point start, std::chrono::steady_clock::time_point end) {
    if (ms_.size() < ms_.capacity())
      ms_.push_back(std::chrono::duration<double, std::milli>(end - start).count());
  }
  void Report(benchmark::State& state, const std::string& what) {
    if (ms_.empty()) return;
    std::sort(ms_.begin(), ms_.end());
    state.counters[what + "median_ms"] = ms_[ms_.size() / 2];
    state.counters[what + "p99_ms"] = ms_[std::min(ms_.size() - 1, ms_.size() * 99 / 100)];
  }

 private:
  std::vector<double> ms_;
};

// Builds the battle of the benchmark's stage; false, with the reason given to the benchmark,
// when a file could not be read.
bool StartBattle(Game& game, benchmark::State& state) {
  game.stageIndex = static_cast<int>(state.range(0));
  BuildBattleScene(game);
  if (!game.io.scene->LoadError().empty()) {
    state.SkipWithError(game.io.scene->LoadError().c_str());
    return false;
  }
  game.winner = -1;
  game.runningFlag = -1;
  return true;
}

// One tick of the busy battle; with `present`, until the screen is composed and the rasteriser
// is done with it. Kept out of line so that a profiler can be told to count this alone.
[[gnu::noinline]] void RunBusyTick(Game& game, int tick, bool present) {
  KeepBattleBusy(game, tick);
  BeginTickRecord(game);
  RunBattleTick(game);
  benchmark::DoNotOptimize(game.tankX.data());
  if (present) {
    game.io.display->Present();
    glFinish();
  }
}

// Mesa compiles a shader variant the first time a draw needs it; those ticks are not timed.
[[gnu::noinline]] void WarmUp(Game& game, bool present) {
  for (int tick = 0; tick < kWarmUpTicks; ++tick) RunBusyTick(game, tick, present);
}

void BM_BattleTick(benchmark::State& state) {
  HeadlessGame h;
  if (!h.Ready(state)) return;
  Game& game = *h.game;
  if (!StartBattle(game, state)) return;
  const bool render = RenderAsked();
  WarmUp(game, render);
  TickTimes times;
  int tick = kWarmUpTicks;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    RunBusyTick(game, tick++, render);
    times.Add(start, std::chrono::steady_clock::now());
  }
  state.counters["ticks_per_s"] =
      benchmark::Counter(state.iterations(), benchmark::Counter::kIsRate);
  times.Report(state, "");
}
// With BF_BENCH_TICKS=N a battle benchmark times exactly N ticks, so that the instruction counts
// of two builds under callgrind add up the same ticks.
void FixedTicks(benchmark::internal::Benchmark* b) {
  if (const char* ticks = std::getenv("BF_BENCH_TICKS")) b->Iterations(std::atoi(ticks));
}

// Real time decides how long they run: a rendering tick spends much of it waiting for Mesa's
// rasteriser threads.
BENCHMARK(BM_BattleTick)->DenseRange(0, kStages - 1)->UseRealTime()->Apply(FixedTicks);

// The same battle in a real window: the tick with the screen scaled to the window and swapped,
// and that presentation alone (after the views are finished), which is what a window adds.
void BM_WindowTick(benchmark::State& state) {
  std::string error;
  std::unique_ptr<SdlPlatform> sdl = CreateSdlPlatform(/*windowed=*/false, &error);
  if (!sdl) {
    state.SkipWithError(error.c_str());
    return;
  }
  Game game(sdl->platform());
  game.playerCharacter = {0, 1, -1, -1};
  if (!StartBattle(game, state)) return;
  WarmUp(game, true);
  TickTimes ticks, presents;
  int tick = kWarmUpTicks;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    RunBusyTick(game, tick++, false);
    glFinish();
    const auto drawn = std::chrono::steady_clock::now();
    game.io.display->Present();
    glFinish();
    const auto end = std::chrono::steady_clock::now();
    ticks.Add(start, end);
    presents.Add(drawn, end);
  }
  ticks.Report(state, "");
  presents.Report(state, "present_");
}
BENCHMARK(BM_WindowTick)->DenseRange(0, kStages - 1)->UseRealTime();

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
    ->DenseRange(0, kStages - 1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace bf

BENCHMARK_MAIN();
