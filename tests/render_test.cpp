#include <gtest/gtest.h>

#include "support/offscreen_gl.h"
#include "support/x_files.h"

namespace bf {
namespace {

TEST(Smoke, BoxAhead) {
  OffscreenGl gl;
  ASSERT_TRUE(gl.ok()) << gl.error();
  TempDir dir;
  std::string path = dir.Write("box.x", BoxesToX({{{-50, -50, -50}, {50, 50, 50}, {1, 0, 0, 1}}}));
  GlScene& s = gl.scene();
  FrameId root = s.CreateFrame(kNoFrame);
  FrameId camera = s.CreateFrame(root);
  FrameId box = s.CreateFrame(root);
  FrameId light = s.CreateFrame(root);
  MeshId mesh = s.CreateMeshBuilder();
  s.LoadFromFile(mesh, path);
  EXPECT_EQ(s.LoadError(), "");
  s.AddVisual(box, mesh);
  s.AddLight(light, LightType::kAmbient, 1, 1, 1);
  s.SetPosition(box, kNoFrame, 0, 0, 300);
  s.SetSceneBackground(root, 0.6f, 0.5f, 1.0f);
  s.SetViewport(camera, 1, 1, 308, 208);
  s.ClearViewport();
  s.Render(root);
  s.Update();
  gl.display().ShowBattleArea(true);
  gl.display().Present();
  auto screen = gl.Screen();
  WritePng("/tmp/smoke.png", 640, 480, screen.data());
}

}  // namespace
}  // namespace bf
