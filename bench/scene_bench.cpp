// One battle tick's drawing on Mesa's software renderer: four 308 x 208 views of a battle-sized
// scene (a stage, eight tank frames, 31 shots, 21 stars, two items, mines and nets), each view
// placed, cleared, rendered and updated as the battle does, then one present of the screen.
#include <benchmark/benchmark.h>
#include <epoxy/gl.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "support/offscreen_gl.h"
#include "support/x_files.h"

namespace bf {
namespace {

std::string TankModel(glm::vec3 colour) {
  std::vector<XBox> boxes = {
      Box({-25, 5, -35}, {25, 20, 35}, {colour, 1}),             // hull
      Box({-15, 20, -15}, {15, 32, 15}, {colour * 0.8f, 1}),     // turret
      Box({-3, 24, -60}, {3, 29, -15}, {0.3f, 0.3f, 0.3f, 1}),   // gun
      Box({-30, 0, -38}, {-20, 12, 38}, {0.2f, 0.2f, 0.2f, 1}),  // tracks
      Box({20, 0, -38}, {30, 12, 38}, {0.2f, 0.2f, 0.2f, 1}),
      Box({-8, 32, -8}, {8, 40, 8}, {1, 1, 1, 1}),  // hatch
  };
  for (int i = 0; i < 6; ++i)  // wheels
    for (float side : {-31.0f, 21.0f})
      boxes.push_back(
          Box({side, 0, -30 + i * 11.0f}, {side + 10, 8, -22 + i * 11.0f}, {0.1f, 0.1f, 0.1f, 1}));
  return BoxesToX(boxes);
}

std::string StageModel() {
  std::vector<XBox> boxes = {Box({-110, -2, -110}, {110, 0, 110}, {0.4f, 0.7f, 0.3f, 1})};
  for (int i = 0; i < 12; ++i) {
    float a = i * 0.52f;
    glm::vec3 at(80 * std::cos(a), 0, 80 * std::sin(a));
    boxes.push_back(Box(at - glm::vec3(6, 0, 6), at + glm::vec3(6, 14, 6), {0.6f, 0.5f, 0.4f, 1}));
  }
  for (float s : {-1.0f, 1.0f}) {
    boxes.push_back(Box({-110, 0, s * 110 - 3}, {110, 10, s * 110 + 3}, {0.5f, 0.5f, 0.6f, 1}));
    boxes.push_back(Box({s * 110 - 3, 0, -110}, {s * 110 + 3, 10, 110}, {0.5f, 0.5f, 0.6f, 1}));
  }
  return BoxesToX(boxes);
}

struct BattleScene {
  explicit BattleScene(OffscreenGl& gl, const TempDir& dir) : s(gl.scene()) {
    s.NewScene();
    root = s.CreateFrame(kNoFrame);
    camera = s.CreateFrame(root);
    FrameId light = s.CreateFrame(root);
    auto load = [&](const std::string& name, const std::string& text) {
      MeshId mesh = s.CreateMeshBuilder();
      s.LoadFromFile(mesh, dir.Write(name, text));
      return mesh;
    };
    auto frame = [&](MeshId mesh, float atX, float atY, float atZ) {
      FrameId f = s.CreateFrame(root);
      s.AddVisual(f, mesh);
      s.SetPosition(f, kNoFrame, atX, atY, atZ);
      return f;
    };
    const glm::vec3 colours[4] = {
        {0.8f, 0.5f, 0.2f}, {0.9f, 0.4f, 0.1f}, {0.3f, 0.3f, 0.3f}, {1.0f, 0.7f, 0.8f}};
    for (int p = 0; p < 4; ++p) {
      tanks[p] = frame(load("tank" + std::to_string(p) + ".x", TankModel(colours[p])), 0, 0, 0);
      frame(load("extra" + std::to_string(p) + ".x", TankModel(colours[p] * 0.5f)), -5000, 0, 0);
    }
    dir.Write("star.bmp", MakeBmp(2, 2, {255, 255, 0, 0, 0, 0, 0, 0, 0, 255, 255, 0}));
    TextureId starTexture = s.LoadTexture(dir.path() + "/star.bmp");
    s.MakeBlackTransparent(starTexture);
    for (int k = 0; k < 31; ++k)
      shots[k] = frame(load("shot.x", BoxesToX({Box({-4, -4, -4}, {4, 4, 4}, {1, 1, 0.5f, 1})})),
                       -5000, 30, 0);
    for (int k = 0; k < 11; ++k)
      frame(load("mine.x", BoxesToX({Box({-10, 0, -10}, {10, 5, 10}, {0.2f, 0.2f, 0.2f, 1})})),
            -5000, 0, 0);
    MeshId net = load("net.x", BoxesToX({Box({-40, 0, -40}, {40, 2, 40}, {1, 1, 1, 1})}));
    s.SetTexture(net, starTexture);
    for (int k = 0; k < 11; ++k) frame(net, -5000, 0, 0);
    for (int k = 0; k < 21; ++k) {
      MeshId star = load("star.x", BoxesToX({Box({-10, -10, -1}, {10, 10, 1}, {1, 1, 1, 1})}));
      s.SetTexture(star, starTexture);
      stars[k] = frame(star, -5000, 50, 0);
    }
    MeshId stage = load("stage.x", StageModel());
    s.ScaleMesh(stage, 7, 7, 7);
    frame(stage, 0, 2, 0);
    frame(load("item.x", BoxesToX({Box({-15, 0, -15}, {15, 30, 15}, {1, 0.2f, 0.2f, 1})})), 300, 0,
          100);
    frame(load("item2.x", BoxesToX({Box({-15, 0, -15}, {15, 30, 15}, {0.2f, 0.2f, 1, 1})})), -300,
          0, -100);
    s.AddLight(light, LightType::kPoint, 1, 1, 1);
    s.AddLight(light, LightType::kAmbient, 0.3f, 0.3f, 0.3f);
    s.SetPosition(light, kNoFrame, 100, 800, 200);
    s.SetSceneBackground(root, 0.6f, 0.5f, 1.0f);
  }

  // Moves everything a little, as a tick of battle would, then draws the four views.
  void Tick(int tick) {
    for (int p = 0; p < 4; ++p) {
      float h = (tick * 4 + p * 90) * 3.14f / 180.0f;
      x[p] = 500 * std::cos(0.01f * tick + p * 1.57f);
      z[p] = 500 * std::sin(0.01f * tick + p * 1.57f);
      s.SetPosition(tanks[p], kNoFrame, x[p], tick % 2, z[p]);
      s.SetOrientation(tanks[p], kNoFrame, -std::cos(h), 0, -std::sin(h), 0, 1, 0);
      heading[p] = h;
    }
    for (int k = 0; k < 8; ++k)  // a few shots in flight, the rest parked
      s.SetPosition(shots[k], kNoFrame, x[k % 4] + 30.0f * (tick % 20), 30, z[k % 4]);
    for (int k = 0; k < 10; ++k)
      s.SetPosition(stars[k], kNoFrame, x[k % 4] + 10.0f * k, 50 + k, z[k % 4]);
    for (int p = 0; p < 4; ++p) {
      s.SetPosition(camera, kNoFrame, x[p] - 300 * std::cos(heading[p]), 120,
                    z[p] - 300 * std::sin(heading[p]));
      s.SetOrientation(camera, kNoFrame, std::cos(heading[p]), -0.2f, std::sin(heading[p]), 0, 1,
                       0);
      for (FrameId star : stars) s.LookAt(star, camera);
      s.SetViewport(camera, 1 + 310 * (p % 2), 1 + 210 * (p / 2), 308, 208);
      s.SetBack(3000);
      s.ClearViewport();
      s.Render(root);
      s.Update();
    }
  }

  GlScene& s;
  FrameId root, camera, tanks[4], shots[31], stars[21];
  float x[4] = {}, z[4] = {}, heading[4] = {};
};

enum class Part { kWholeTick, kViewsOnly, kPresentOnly, kWholeTickShownWindow };

// Times each tick with the rasteriser finished, and reports the median and the 99th percentile.
void RunTicks(benchmark::State& state, Part part) {
  OffscreenGl gl(part != Part::kWholeTickShownWindow);
  if (!gl.ok()) {
    state.SkipWithError(gl.error().c_str());
    return;
  }
  TempDir dir;
  BattleScene scene(gl, dir);
  gl.display().ShowBattleArea(true);
  std::vector<double> ms;
  ms.reserve(100000);
  int tick = 0;
  for (auto _ : state) {
    auto start = std::chrono::steady_clock::now();
    if (part != Part::kPresentOnly) scene.Tick(tick++);
    if (part != Part::kViewsOnly) gl.display().Present();
    glFinish();  // count the rasteriser's work in this tick, not the next
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                     .count());
  }
  if (const char* shotDir = std::getenv("BF_SHOT_DIR"); shotDir && part == Part::kWholeTick) {
    std::vector<std::uint8_t> rgb = gl.Screen();
    WritePng(std::string(shotDir) + "/scene_bench.png", kScreenWidth, kScreenHeight, rgb.data());
  }
  std::sort(ms.begin(), ms.end());
  if (!ms.empty()) {
    state.counters["median_ms"] = ms[ms.size() / 2];
    state.counters["p99_ms"] = ms[std::min(ms.size() - 1, ms.size() * 99 / 100)];
  }
  state.counters["draws_last_view"] = gl.scene().lastDrawCount();
}

void BM_BattleTickFourViews(benchmark::State& state) {
  RunTicks(state, Part::kWholeTick);
}
void BM_FourViewsOnly(benchmark::State& state) {
  RunTicks(state, Part::kViewsOnly);
}
void BM_PresentOnly(benchmark::State& state) {
  RunTicks(state, Part::kPresentOnly);
}
// The game's own window: the screen is also scaled into the window and swapped.
void BM_BattleTickShownWindow(benchmark::State& state) {
  RunTicks(state, Part::kWholeTickShownWindow);
}
BENCHMARK(BM_BattleTickFourViews)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_FourViewsOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PresentOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_BattleTickShownWindow)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
}  // namespace bf

BENCHMARK_MAIN();
