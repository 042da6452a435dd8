// The 2D drawing a player waits on: the whole selection screen, redrawn every tick while a key
// is held, and the four status panels, redrawn after every hit, shot and reload.
#include <benchmark/benchmark.h>

#include <array>
#include <memory>

#include "app/app_local.h"
#include "app/status_panels.h"
#include "core/game.h"
#include "platform/pixels/pixel_surface.h"

namespace bf {
namespace {

class PixelDisplay final : public Display {
 public:
  PixelDisplay() : form_(kScreenWidth, kScreenHeight, kWhite, kFormTextPixels) {
    for (auto& panel : panels_) {
      panel = std::make_unique<PixelSurface>(kPanelWidth, kPanelHeight, kWhite);
    }
  }
  Surface2D& Form() override { return form_; }
  Surface2D& Panel(int player) override { return *panels_[player]; }
  Surface2D& BattleOverlay() override { return form_; }
  void ShowBattleArea(bool) override {}
  void Present() override {}
  bool ReadScreen(std::uint8_t*) override { return false; }

 private:
  static constexpr Rgb kWhite{255, 255, 255};
  PixelSurface form_;
  std::array<std::unique_ptr<PixelSurface>, 4> panels_;
};

struct Screens {
  Screens() : game(platform) {
    platform.display = &display;
    game.playerCharacter = {2, 5, 7, 10};
    game.stageIndex = 3;
    game.playerLife = {90, 45, 30, 60};
    game.maxLife = {90, 90, 60, 60};
    game.shells = {5, 2, 0, 4};
    game.maxShells = {5, 4, 4, 4};
    game.winner = -1;
  }
  PixelDisplay display;
  Platform platform;
  Game game;
};

void BM_DrawSelectionScreen(benchmark::State& state) {
  Screens screens;
  for (auto _ : state) DrawSelectionScreen(screens.game);
}
BENCHMARK(BM_DrawSelectionScreen)->Unit(benchmark::kMicrosecond);

void BM_DrawStatusPanels(benchmark::State& state) {
  Screens screens;
  for (auto _ : state) {
    screens.game.shells[1] = 1 + (screens.game.shells[1] % 4);  // a new shell text now and then
    DrawStatusPanels(screens.game);
  }
}
BENCHMARK(BM_DrawStatusPanels)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace bf

BENCHMARK_MAIN();
