// The scene drawn by OpenGL and the composed screen, read back exactly as a player sees it:
// handedness and steering on screen, culling, lighting, transparency, viewports, the screen's
// layout and 16-bit look, load failures, and a small scene against a stored picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/golden_image.h"
#include "support/offscreen_gl.h"
#include "support/x_files.h"

namespace bf {
namespace {

constexpr int kAreaX = 10;  // where the device's top-left pixel lands on the screen
constexpr int kAreaY = 30;

using Screen = std::vector<std::uint8_t>;

Rgb At(const Screen& screen, int x, int y) {
  const std::uint8_t* p = &screen[(static_cast<std::size_t>(y) * kScreenWidth + x) * 3];
  return {p[0], p[1], p[2]};
}
Rgb DeviceAt(const Screen& screen, int x, int y) {
  return At(screen, kAreaX + x, kAreaY + y);
}
bool Same(Rgb a, Rgb b, int tolerance = 0) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}
std::string Show(Rgb c) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d, %d, %d)", c.r, c.g, c.b);
  return text;
}

// A colour as a 16-bit screen shows it: 5, 6 and 5 bits, the low bits repeating the high ones.
bool Is565(Rgb c) {
  return c.r == ((c.r & 0xF8) | (c.r >> 5)) && c.g == ((c.g & 0xFC) | (c.g >> 6)) &&
         c.b == ((c.b & 0xF8) | (c.b >> 5));
}

struct Spot {
  double x = 0, y = 0;
  int count = 0;
};
// Where a colour shows inside a device rectangle: its centre of mass in device pixels.
Spot Find(const Screen& screen, Rgb colour, int x0, int y0, int w, int h) {
  Spot spot;
  for (int y = y0; y < y0 + h; ++y)
    for (int x = x0; x < x0 + w; ++x)
      if (Same(DeviceAt(screen, x, y), colour, 8)) {
        spot.x += x;
        spot.y += y;
        ++spot.count;
      }
  if (spot.count) {
    spot.x /= spot.count;
    spot.y /= spot.count;
  }
  return spot;
}

// A battle-like scene root with a camera and a light frame; plain ambient light 1 shows every
// material in its own colour.
struct Rig {
  explicit Rig(GlScene& scene, glm::vec3 background = {0.6f, 0.5f, 1.0f}) : s(scene) {
    root = s.CreateFrame(kNoFrame);
    camera = s.CreateFrame(root);
    light = s.CreateFrame(root);
    s.SetSceneBackground(root, background.r, background.g, background.b);
  }
  void FlatLight() { s.AddLight(light, LightType::kAmbient, 1, 1, 1); }
  MeshId Load(const std::string& path) {
    MeshId mesh = s.CreateMeshBuilder();
    s.LoadFromFile(mesh, path);
    return mesh;
  }
  FrameId Place(MeshId mesh, glm::vec3 at) {
    FrameId frame = s.CreateFrame(root);
    s.AddVisual(frame, mesh);
    s.SetPosition(frame, kNoFrame, at.x, at.y, at.z);
    return frame;
  }
  // One view step as the battle does it.
  void View(int x, int y, int w, int h) {
    s.SetViewport(camera, x, y, w, h);
    s.SetBack(3000);
    s.ClearViewport();
    s.Render(root);
    s.Update();
  }
  GlScene& s;
  FrameId root, camera, light;
};

Screen PresentAndRead(OffscreenGl& gl) {
  gl.display().ShowBattleArea(true);
  gl.display().Present();
  return gl.Screen();
}

#define REQUIRE_GL(gl) \
  OffscreenGl gl;      \
  ASSERT_TRUE(gl.ok()) << gl.error()

const Rgb kSky{156, 130, 255};  // (0.6, 0.5, 1.0) through 16 bits
const Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255};

// Placement as the battle does it: the tank frame turned against its heading, the camera 300
// behind and 120 above, looking along the heading and slightly down.
void PlaceTank(GlScene& s, FrameId tank, float x, float z, float heading) {
  s.SetPosition(tank, kNoFrame, x, 0, z);
  s.SetOrientation(tank, kNoFrame, -std::cos(heading), 0, -std::sin(heading), 0, 1, 0);
}
void PlaceCamera(GlScene& s, FrameId camera, float x, float z, float heading) {
  s.SetPosition(camera, kNoFrame, x - 300 * std::cos(heading), 120, z - 300 * std::sin(heading));
  s.SetOrientation(camera, kNoFrame, std::cos(heading), -0.2f, std::sin(heading), 0, 1, 0);
}

// A green tank body with a tall red nose at its front, which the models put towards -z.
std::string TankModel() {
  return BoxesToX({Box({-20, 0, -30}, {20, 15, 30}, {0, 1, 0, 1}),
                   Box({-6, 0, -50}, {6, 30, -30}, {1, 0, 0, 1})});
}

TEST(RenderTest, SteeringLeftTurnsTheTankAndTheViewLeftOnScreen) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  FrameId tank = rig.Place(rig.Load(dir.Write("tank.x", TankModel())), {0, 0, 0});
  const float tankX = 200, tankZ = -100;
  for (int degrees : {0, 135, 235, 315}) {
    SCOPED_TRACE("heading " + std::to_string(degrees));
    const float h = degrees * 3.14f / 180.0f, left = (degrees + 20) * 3.14f / 180.0f;
    // A blue marker straight ahead of the tank, fixed in the world.
    FrameId marker = rig.Place(
        rig.Load(dir.Write("marker.x", BoxesToX({Box({-10, 0, -10}, {10, 60, 10}, {0, 0, 1, 1})}))),
        {tankX + 500 * std::cos(h), 0, tankZ + 500 * std::sin(h)});

    PlaceTank(rig.s, tank, tankX, tankZ, h);
    PlaceCamera(rig.s, rig.camera, tankX, tankZ, h);
    rig.View(1, 1, 308, 208);
    Screen ahead = PresentAndRead(gl);
    Spot nose = Find(ahead, kRed, 1, 1, 308, 208);
    Spot body = Find(ahead, kGreen, 1, 1, 308, 208);
    Spot mark = Find(ahead, kBlue, 1, 1, 308, 208);
    ASSERT_GT(nose.count, 20);
    ASSERT_GT(body.count, 20);
    ASSERT_GT(mark.count, 20);
    // Seen from behind: the nose is further away, so higher on screen, and centred.
    EXPECT_LT(nose.y, body.y);
    EXPECT_NEAR(nose.x, 155, 3);
    EXPECT_NEAR(mark.x, 155, 3);

    // The tank steers left while the camera stays: its nose swings to the left.
    PlaceTank(rig.s, tank, tankX, tankZ, left);
    rig.View(1, 1, 308, 208);
    Spot turnedNose = Find(PresentAndRead(gl), kRed, 1, 1, 308, 208);
    EXPECT_LT(turnedNose.x, nose.x - 5);

    // The camera follows the left turn: the world ahead slides to the right.
    PlaceCamera(rig.s, rig.camera, tankX, tankZ, left);
    rig.View(1, 1, 308, 208);
    Screen turned = PresentAndRead(gl);
    EXPECT_GT(Find(turned, kBlue, 1, 1, 308, 208).x, mark.x + 20);
    EXPECT_NEAR(Find(turned, kRed, 1, 1, 308, 208).x, 155, 3);
    rig.s.SetPosition(marker, kNoFrame, -5000, 0, 0);
  }
}

TEST(RenderTest, OnlyFacesTurnedTowardsTheCameraAreDrawn) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  rig.Place(rig.Load(dir.Write("box.x",
                               BoxesToX({Box({-100, -100, -100}, {100, 100, 100}, {1, 0, 0, 1})}))),
            {0, 0, 0});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 0, -400);
  rig.View(1, 1, 308, 208);
  EXPECT_TRUE(Same(DeviceAt(PresentAndRead(gl), 155, 105), kRed)) << "outside: the box shows";
  // From inside every face is turned away.
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 0, 0);
  rig.View(1, 1, 308, 208);
  Screen inside = PresentAndRead(gl);
  EXPECT_EQ(Find(inside, kRed, 1, 1, 308, 208).count, 0);
  EXPECT_TRUE(Same(DeviceAt(inside, 155, 105), kSky, 8)) << Show(DeviceAt(inside, 155, 105));
}

// The renderer leaves out the parts of a large mesh that lie outside a view: a wall far wider
// than the view, seen from off its middle, still covers the view from edge to edge.
TEST(RenderTest, ALargeMeshSeenInPartShowsAllOfItThatIsInView) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  std::vector<XBox> wall;
  for (float x = -2000; x < 2000; x += 20)
    wall.push_back(Box({x, -50, 0}, {x + 20, 50, 20}, {1, 0, 0, 1}));
  rig.Place(rig.Load(dir.Write("wall.x", BoxesToX(wall))), {0, 0, 0});
  for (float x : {37.0f, -1750.0f}) {
    rig.s.SetPosition(rig.camera, kNoFrame, x, 0, -300);
    rig.View(1, 1, 308, 208);
    EXPECT_EQ(Find(PresentAndRead(gl), kRed, 1, 104, 308, 1).count, 308) << "camera at x " << x;
  }
}

TEST(RenderTest, LightsAddUpAndEachChannelIsClampedAfterLighting) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  // The red stage: a strong reddish point light below the ground and a reddish ambient.
  rig.s.AddLight(rig.light, LightType::kPoint, 10, 5, 5);
  rig.s.AddLight(rig.light, LightType::kAmbient, 0.75f, 0.5f, 0.5f);
  rig.s.SetPosition(rig.light, kNoFrame, 0, -500, 0);
  FrameId box = rig.Place(
      rig.Load(dir.Write("w.x", BoxesToX({Box({-50, -50, -50}, {50, 50, 50}, {1, 1, 1, 1})}))),
      {0, 0, 0});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, -150, -300);
  rig.s.LookAt(rig.camera, box);
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  // The face towards the camera turns away from the light: ambient only, 16-bit rounded.
  Rgb front = DeviceAt(screen, 155, 95);
  EXPECT_TRUE(Same(front, {189, 130, 132}, 8)) << Show(front);
  // The bottom face looks straight at the light: every channel saturates to white.
  EXPECT_GT(Find(screen, {255, 255, 255}, 1, 1, 308, 208).count, 200);
}

TEST(RenderTest, BlackTexelsVanishOnlyFromTexturesMadeTransparent) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  // Top row white, black; bottom row black, white.
  const std::string bmp =
      dir.Write("check.bmp", MakeBmp(2, 2, {255, 255, 255, 0, 0, 0, 0, 0, 0, 255, 255, 255}));
  const std::string box =
      dir.Write("plate.x", BoxesToX({Box({-60, -60, -5}, {60, 60, 5}, {1, 1, 0, 1})}));
  TextureId solid = rig.s.LoadTexture(bmp);
  TextureId cutout = rig.s.LoadTexture(bmp);
  rig.s.MakeBlackTransparent(cutout);
  MeshId left = rig.Load(box), right = rig.Load(box);
  rig.s.SetTexture(left, solid);
  rig.s.SetTexture(right, cutout);
  rig.Place(left, {-80, 0, 0});
  rig.Place(right, {80, 0, 0});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 0, -400);
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  const Rgb kYellow{255, 255, 0}, kBlack{0, 0, 0};
  // Left plate: the texture times the yellow material, black texels drawn black.
  Spot leftYellow = Find(screen, kYellow, 1, 1, 154, 208);
  Spot leftBlack = Find(screen, kBlack, 1, 1, 154, 208);
  EXPECT_GT(leftYellow.count, 500);
  EXPECT_NEAR(leftBlack.count, leftYellow.count, leftYellow.count / 5);
  // Right plate: no black at all, the sky shows through instead.
  EXPECT_EQ(Find(screen, kBlack, 155, 1, 154, 208).count, 0);
  EXPECT_GT(Find(screen, kYellow, 155, 1, 154, 208).count, 500);
}

// A green tank half behind a red wall: with the tank as silhouette its hidden half shows flat
// blue and its open half stays green; a wall made see-through hides nothing and tints what lies
// behind it.
TEST(RenderTest, ASilhouetteShowsThroughWallsAndSeeThroughMeshesHideNothing) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  const MeshId wall =
      rig.Load(dir.Write("wall.x", BoxesToX({Box({-100, 0, -5}, {0, 100, 5}, {1, 0, 0, 1})})));
  const MeshId tank =
      rig.Load(dir.Write("tank.x", BoxesToX({Box({-60, 20, -5}, {60, 80, 5}, {0, 1, 0, 1})})));
  rig.Place(wall, {0, 0, 0});
  const FrameId tankFrame = rig.Place(tank, {0, 0, 100});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 50, -400);
  const Rgb kHalfRedHalfGreen{127, 127, 0};

  rig.s.SetSilhouette(tankFrame, 0, 0, 1);
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  const int blue = Find(screen, kBlue, 1, 1, 308, 208).count;
  const int green = Find(screen, kGreen, 1, 1, 308, 208).count;
  EXPECT_GT(blue, 300);
  EXPECT_GT(green, 300);
  EXPECT_GT(Find(screen, kRed, 1, 1, 308, 208).count, 300) << "the wall beside the tank";

  rig.s.SetSilhouette(kNoFrame, 0, 0, 1);
  rig.View(1, 1, 308, 208);
  screen = PresentAndRead(gl);
  EXPECT_EQ(Find(screen, kBlue, 1, 1, 308, 208).count, 0);

  rig.s.SetOpacity(wall, 0.5f);
  rig.View(1, 1, 308, 208);
  screen = PresentAndRead(gl);
  EXPECT_EQ(Find(screen, kRed, 1, 1, 308, 208).count, 0);
  EXPECT_NEAR(Find(screen, kHalfRedHalfGreen, 1, 1, 308, 208).count, blue, blue / 10);
}

TEST(RenderTest, TexturePicturesStandUprightOnTheFace) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  // Top half red, bottom half blue; the model names it from its own folder as "..\".
  dir.Write("halves.bmp", MakeBmp(1, 2, {255, 0, 0, 0, 0, 255}));
  rig.Place(rig.Load(dir.Write("model/plate.x", BoxesToX({Box({-60, -60, -5}, {60, 60, 5},
                                                              {1, 1, 1, 1}, "..\\halves.bmp")}))),
            {0, 0, 0});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 0, -400);
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  EXPECT_EQ(gl.scene().LoadError(), "");
  Spot red = Find(screen, kRed, 1, 1, 308, 208), blue = Find(screen, kBlue, 1, 1, 308, 208);
  ASSERT_GT(red.count, 500);
  ASSERT_GT(blue.count, 500);
  EXPECT_LT(red.y, blue.y);
}

TEST(RenderTest, AViewClearsOnlyItsOwnRectangle) {
  REQUIRE_GL(gl);
  Rig rig(gl.scene(), {1, 0, 0});
  rig.View(1, 1, 308, 208);
  rig.s.SetSceneBackground(rig.root, 0, 0, 1);
  rig.View(311, 211, 308, 208);
  Screen screen = PresentAndRead(gl);
  EXPECT_TRUE(Same(DeviceAt(screen, 1, 1), kRed));
  EXPECT_TRUE(Same(DeviceAt(screen, 308, 208), kRed));
  EXPECT_TRUE(Same(DeviceAt(screen, 311, 211), kBlue));
  EXPECT_TRUE(Same(DeviceAt(screen, 618, 418), kBlue));
  // Outside both views the device keeps what it had: black from the start.
  const std::pair<int, int> outside[] = {{0, 5}, {309, 100}, {310, 210}, {100, 209}, {400, 100}};
  for (auto [x, y] : outside)
    EXPECT_TRUE(Same(DeviceAt(screen, x, y), {0, 0, 0})) << x << ", " << y;

  // The next battle starts on a black device, as a new device would: nothing of the last
  // battle's views shows between or beside its own.
  gl.scene().NewScene();
  Rig next(gl.scene(), {0, 1, 0});
  next.View(1, 211, 308, 208);
  screen = PresentAndRead(gl);
  EXPECT_TRUE(Same(DeviceAt(screen, 100, 300), kGreen));
  for (auto [x, y] : outside)
    EXPECT_TRUE(Same(DeviceAt(screen, x, y), {0, 0, 0})) << "next battle " << x << ", " << y;
  for (auto [x, y] : {std::pair{1, 1}, {618, 418}})
    EXPECT_TRUE(Same(DeviceAt(screen, x, y), {0, 0, 0})) << "next battle " << x << ", " << y;
}

TEST(RenderTest, WhereViewsOverlapTheOneDrawnLastShows) {
  REQUIRE_GL(gl);
  Rig rig(gl.scene(), {1, 0, 0});
  // Four views in the corners, then one growing over them from the top left (as the winner's
  // does), then a corner view again.
  for (auto [x, y] : {std::pair{1, 1}, {311, 1}, {1, 211}, {311, 211}}) rig.View(x, y, 308, 208);
  rig.s.SetSceneBackground(rig.root, 0, 0, 1);
  rig.View(1, 1, 400, 300);
  rig.s.SetSceneBackground(rig.root, 0, 1, 0);
  rig.View(311, 211, 308, 208);
  const Screen screen = PresentAndRead(gl);
  EXPECT_TRUE(Same(DeviceAt(screen, 100, 100), kBlue));
  EXPECT_TRUE(Same(DeviceAt(screen, 390, 150), kBlue));
  EXPECT_TRUE(Same(DeviceAt(screen, 500, 100), kRed));
  EXPECT_TRUE(Same(DeviceAt(screen, 100, 350), kRed));
  EXPECT_TRUE(Same(DeviceAt(screen, 350, 250), kGreen));
}

// More views between two composes than the views target keeps track of: every one of them still
// reaches the device, and nothing between them does.
TEST(RenderTest, ManyViewsBeforeAComposeAllReachTheDevice) {
  REQUIRE_GL(gl);
  Rig rig(gl.scene(), {1, 0, 0});
  for (int i = 0; i < 12; ++i) rig.View(10 + 50 * i, 100, 40, 40);
  const Screen screen = PresentAndRead(gl);
  for (int i = 0; i < 12; ++i) {
    EXPECT_TRUE(Same(DeviceAt(screen, 30 + 50 * i, 120), kRed)) << "view " << i;
    EXPECT_TRUE(Same(DeviceAt(screen, 55 + 50 * i, 120), {0, 0, 0})) << "after view " << i;
  }
}

TEST(RenderTest, TheScreenComposesFormDeviceAndPanelsIn16Bits) {
  REQUIRE_GL(gl);
  gl.form().FillRect(0, 0, 639, 479, {100, 150, 200});
  const Rgb panelColour[4] = {{255, 0, 255}, {0, 255, 255}, {0, 0, 255}, {255, 255, 0}};
  for (int i = 0; i < 4; ++i) gl.panel(i).FillRect(0, 0, 309, 20, panelColour[i]);
  // (100, 150, 200) in 5-6-5 bits, widened again; drivers may round or cut the low bits.
  const Rgb kForm{99, 150, 198};
  gl.display().ShowBattleArea(false);
  gl.display().Present();
  Screen menu = gl.Screen();
  for (auto [x, y] : {std::pair{0, 0}, {15, 15}, {320, 240}, {639, 479}, {330, 460}}) {
    EXPECT_TRUE(Same(At(menu, x, y), kForm, 8)) << x << ", " << y << " " << Show(At(menu, x, y));
    EXPECT_TRUE(Is565(At(menu, x, y))) << Show(At(menu, x, y));
  }

  // The device: its top 420 rows green, its bottom 10 red (those stay hidden).
  Rig rig(gl.scene(), {0, 1, 0});
  rig.View(0, 0, 620, 420);
  rig.s.SetSceneBackground(rig.root, 1, 0, 0);
  rig.View(0, 420, 620, 10);
  Screen battle = PresentAndRead(gl);
  const int panelX[4] = {10, 320, 10, 320}, panelY[4] = {10, 10, 450, 450};
  for (int i = 0; i < 4; ++i) {
    for (auto [dx, dy] : {std::pair{0, 0}, {309, 20}, {150, 10}})
      EXPECT_TRUE(Same(At(battle, panelX[i] + dx, panelY[i] + dy), panelColour[i]))
          << "panel " << i << " at " << dx << ", " << dy;
  }
  EXPECT_TRUE(Same(At(battle, 10, 31), kGreen));
  EXPECT_TRUE(Same(At(battle, 629, 449), kGreen));
  EXPECT_TRUE(Same(At(battle, 320, 240), kGreen));
  for (auto [x, y] : {std::pair{9, 100}, {630, 100}, {5, 5}, {320, 475}, {635, 470}})
    EXPECT_TRUE(Same(At(battle, x, y), kForm, 8)) << x << ", " << y;
  int red = 0;
  for (int y = 0; y < kScreenHeight; ++y)
    for (int x = 0; x < kScreenWidth; ++x) red += Same(At(battle, x, y), kRed);
  EXPECT_EQ(red, 0) << "the device's bottom rows must stay hidden";

  // A change to the form shows at the next present.
  gl.form().FillRect(0, 0, 9, 9, {0, 0, 0});
  EXPECT_TRUE(Same(At(PresentAndRead(gl), 5, 5), {0, 0, 0}));
}

TEST(RenderTest, LoadFailuresAreRecordedOnceAndLeaveNothingToDraw) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.FlatLight();
  const std::string missing = dir.path() + "/model/absent.x";
  rig.Place(rig.Load(missing), {0, 0, 300});
  EXPECT_NE(rig.s.LoadError().find(missing), std::string::npos) << rig.s.LoadError();
  const std::string firstError = rig.s.LoadError();
  TextureId texture = rig.s.LoadTexture(dir.Write("bad.bmp", "BM garbage"));
  rig.s.MakeBlackTransparent(texture);
  MeshId mesh = rig.Load(dir.Write("ok.x", BoxesToX({Box({-9, -9, -9}, {9, 9, 9}, {1, 0, 0, 1})})));
  rig.s.SetTexture(mesh, texture);
  EXPECT_EQ(rig.s.LoadError(), firstError) << "the first failure is kept";
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  EXPECT_TRUE(Same(DeviceAt(screen, 155, 105), kSky, 8));
}

TEST(RenderTest, MeshFilesAreReadOnceAndScaledPerBuilder) {
  REQUIRE_GL(gl);
  TempDir dir;
  const std::string path =
      dir.Write("cube.x", BoxesToX({Box({-20, -20, -20}, {20, 20, 20}, {1, 0, 0, 1})}));
  {
    Rig first(gl.scene());
    first.Load(path);
  }
  std::filesystem::remove(path);
  // A new battle: the file is gone, yet the mesh comes from what was read before.
  gl.scene().NewScene();
  Rig rig(gl.scene());
  rig.FlatLight();
  MeshId small = rig.Load(path), large = rig.Load(path);
  rig.s.ScaleMesh(large, 2, 2, 2);
  rig.Place(small, {-100, 0, 0});
  rig.Place(large, {100, 0, 0});
  rig.s.SetPosition(rig.camera, kNoFrame, 0, 0, -500);
  rig.View(1, 1, 308, 208);
  Screen screen = PresentAndRead(gl);
  EXPECT_EQ(rig.s.LoadError(), "");
  Spot left = Find(screen, kRed, 1, 1, 154, 208), right = Find(screen, kRed, 155, 1, 154, 208);
  ASSERT_GT(left.count, 50);
  // Twice the size at nearly the same distance: about four times the pixels.
  EXPECT_NEAR(static_cast<double>(right.count) / left.count, 4.0, 0.8);
}

TEST(RenderTest, ASmallBattleSceneMatchesItsStoredPicture) {
  REQUIRE_GL(gl);
  TempDir dir;
  Rig rig(gl.scene());
  rig.s.AddLight(rig.light, LightType::kPoint, 1, 1, 1);
  rig.s.AddLight(rig.light, LightType::kAmbient, 0.3f, 0.3f, 0.3f);
  rig.s.SetPosition(rig.light, kNoFrame, 100, 800, 200);
  MeshId ground = rig.Load(dir.Write(
      "model/ground.x", BoxesToX({Box({-110, -2, -110}, {110, 0, 110}, {0.4f, 0.7f, 0.3f, 1}),
                                  Box({-110, 0, 60}, {-60, 20, 110}, {0.7f, 0.6f, 0.5f, 1})})));
  rig.s.ScaleMesh(ground, 7, 7, 7);
  rig.Place(ground, {0, 2, 0});
  dir.Write("crate.bmp", MakeBmp(2, 2, {200, 120, 40, 90, 50, 20, 90, 50, 20, 200, 120, 40}));
  rig.Place(rig.Load(dir.Write("model/crate.x", BoxesToX({Box({-40, 0, -40}, {40, 80, 40},
                                                              {1, 1, 1, 1}, "..\\crate.bmp")}))),
            {150, 0, 250});
  MeshId tank = rig.Load(dir.Write("model/tank.x", TankModel()));
  FrameId tanks[4];
  const float place[4][3] = {{-300, -300, 235}, {300, -200, 315}, {-200, 300, 135}, {0, 0, 45}};
  for (int p = 0; p < 4; ++p) {
    tanks[p] = rig.Place(tank, {0, 0, 0});
    PlaceTank(rig.s, tanks[p], place[p][0], place[p][1], place[p][2] * 3.14f / 180.0f);
  }
  for (int p = 0; p < 4; ++p) {
    PlaceCamera(rig.s, rig.camera, place[p][0], place[p][1], place[p][2] * 3.14f / 180.0f);
    rig.View(1 + 310 * (p % 2), 1 + 210 * (p / 2), 308, 208);
  }
  Screen screen = PresentAndRead(gl);
  EXPECT_EQ(rig.s.LoadError(), "");
  // Another Mesa may rasterise an edge a little differently: a few pixels may differ noticeably.
  EXPECT_TRUE(test::MatchesGolden(kScreenWidth, kScreenHeight, screen.data(), "battle_scene",
                                  {48, 0.5, 1.0 / 500}));
  if (const char* out = std::getenv("BF_SHOT_DIR"))
    WritePng(std::string(out) + "/battle_scene.png", kScreenWidth, kScreenHeight, screen.data());
}

}  // namespace
}  // namespace bf
