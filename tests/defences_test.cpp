// The cloak, the shield, the dash and the decoy at work.
#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "abilities/abilities_local.h"
#include "battle/battle_local.h"
#include "support/ability_field.h"
#include "tanks/player_step.h"

namespace bf {
namespace {

using Action = void (*)(Game&, int);

class DefenceTest : public test::AbilityField {
 protected:
  void Tick(int p, Action action) {
    if (g.abilityState[p] <= 0) return;
    g.abilityState[p] -= 1;
    action(g, p);
  }
  // Where the player step puts the tank frame before the ability step.
  void PlaceTank(int p) {
    t.scene.SetPosition(g.tankFrame[p], kNoFrame, static_cast<float>(g.tankX[p]), 0,
                        static_cast<float>(g.tankZ[p]));
  }
};

// --- Cloak ----------------------------------------------------------------------------------

TEST_F(DefenceTest, CloakShowsTheTankInItsOwnViewOnEverySecondTick) {
  g.tankX[1] = 120;
  g.tankZ[1] = -40;
  g.abilityState[1] = 200;
  g.abilityState[5] = 0;
  std::vector<bool> parked;
  for (int tick = 0; tick < 6; ++tick) {
    PlaceTank(1);
    Tick(1, RunCloak);
    parked.push_back(Parked(g.tankFrame[1]));
  }
  EXPECT_EQ(parked, (std::vector<bool>{true, false, true, false, true, false}));
  EXPECT_EQ(Frame(g.tankFrame[1]).position, (std::array<float, 3>{120, 0, -40}));
  EXPECT_TRUE(Sounds().empty());
}

// Remembers where one frame stood each time a view was rendered.
class ViewWatchingScene final : public Scene {
 public:
  ViewWatchingScene(test::RecordingScene& inner, const FrameId& watched)
      : inner_(inner), watched_(watched) {}
  void NewScene() override { inner_.NewScene(); }
  void ReleaseAll() override { inner_.ReleaseAll(); }
  FrameId CreateFrame(FrameId parent) override { return inner_.CreateFrame(parent); }
  MeshId CreateMeshBuilder() override { return inner_.CreateMeshBuilder(); }
  void LoadFromFile(MeshId mesh, const std::string& path) override {
    inner_.LoadFromFile(mesh, path);
  }
  void ScaleMesh(MeshId mesh, float x, float y, float z) override {
    inner_.ScaleMesh(mesh, x, y, z);
  }
  TextureId LoadTexture(const std::string& path) override { return inner_.LoadTexture(path); }
  void MakeBlackTransparent(TextureId texture) override { inner_.MakeBlackTransparent(texture); }
  void SetTexture(MeshId mesh, TextureId texture) override { inner_.SetTexture(mesh, texture); }
  void AddVisual(FrameId frame, MeshId mesh) override { inner_.AddVisual(frame, mesh); }
  void AddLight(FrameId frame, LightType type, float r, float g, float b) override {
    inner_.AddLight(frame, type, r, g, b);
  }
  void SetPosition(FrameId frame, FrameId reference, float x, float y, float z) override {
    inner_.SetPosition(frame, reference, x, y, z);
  }
  void SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz, float ux,
                      float uy, float uz) override {
    inner_.SetOrientation(frame, reference, dx, dy, dz, ux, uy, uz);
  }
  void LookAt(FrameId frame, FrameId target) override { inner_.LookAt(frame, target); }
  void SetSceneBackground(FrameId root, float r, float g, float b) override {
    inner_.SetSceneBackground(root, r, g, b);
  }
  void SetViewport(FrameId camera, int x, int y, int w, int h) override {
    inner_.SetViewport(camera, x, y, w, h);
  }
  void SetBack(float distance) override { inner_.SetBack(distance); }
  void ClearViewport() override { inner_.ClearViewport(); }
  void Render(FrameId root) override {
    inner_.Render(root);
    seenAtX.push_back(inner_.frames.at(watched_).position[0]);
  }
  void Update() override { inner_.Update(); }
  const std::string& LoadError() const override { return inner_.LoadError(); }

  std::vector<float> seenAtX;  // the watched frame's x in each rendered view, in order

 private:
  test::RecordingScene& inner_;
  const FrameId& watched_;
};

class CloakViewTest : public DefenceTest, public ::testing::WithParamInterface<int> {};

TEST_P(CloakViewTest, CloakedTankIsAbsentFromEveryOtherPlayersView) {
  const int fox = GetParam();
  ViewWatchingScene watching(t.scene, g.tankFrame[fox]);
  t.platform.scene = &watching;
  g.playerCharacter = {0, 2, 3, 4};
  g.playerCharacter[fox] = 1;
  BuildBattleScene(g);
  g.abilityState[fox] = 200;  // launched in an earlier tick
  g.abilityState[fox + 4] = 0;
  for (int tick = 0; tick < 4; ++tick) {
    for (int p = 0; p < kPlayers; ++p) RunPlayerStep(g, p);
  }
  ASSERT_EQ(watching.seenAtX.size(), 16u);
  for (int view = 0; view < 16; ++view) {
    const int p = view % kPlayers;
    const int tick = view / kPlayers;
    // Its own view shows it on every second tick; no other view ever does, whether drawn
    // before or after its own step.
    const bool shown = (p == fox && tick % 2 == 1);
    EXPECT_EQ(watching.seenAtX[view], shown ? g.tankX[fox] : kFreeSlot) << "view " << view;
  }
}

// The fox drawn first, in the middle and last: the views before its own step see the frame as
// the previous tick left it.
INSTANTIATE_TEST_SUITE_P(Foxes, CloakViewTest, ::testing::Values(0, 1, 3));

// --- Shield ---------------------------------------------------------------------------------

struct ShotCase {
  int slot;
  double dx, dz;  // from the pig
  bool destroyed;
};
std::ostream& operator<<(std::ostream& out, const ShotCase& c) {
  return out << "slot " << c.slot << " off " << c.dx << ", " << c.dz;
}

class ShieldTest : public DefenceTest, public ::testing::WithParamInterface<ShotCase> {};

TEST_P(ShieldTest, DestroysShotsInTheFirstTwentyOneSlotsInsideItsSquare) {
  const ShotCase c = GetParam();
  g.tankX[2] = 300.5;
  g.tankZ[2] = -100;
  g.shotX[c.slot] = g.tankX[2] + c.dx;
  g.shotZ[c.slot] = g.tankZ[2] + c.dz;
  g.abilityState[2] = 100;
  Tick(2, RunShield);
  EXPECT_EQ(g.shotX[c.slot] == kFreeSlot, c.destroyed);
  EXPECT_EQ(Parked(g.shotFrame[c.slot]), c.destroyed);
  EXPECT_EQ(Frame(g.shieldFrame[2]).position, (std::array<float, 3>{300.5f, 0, -100}));
  EXPECT_EQ(Frame(g.shieldFrame[2]).orientationCalls, 1);  // it spins
  EXPECT_TRUE(Sounds().empty());
}

INSTANTIATE_TEST_SUITE_P(Shots, ShieldTest,
                         ::testing::Values(ShotCase{0, 64.9, -64.9, true}, ShotCase{20, 0, 0, true},
                                           ShotCase{5, 60, 0, true},  // the pig's own new shot
                                           ShotCase{21, 0, 0, false}, ShotCase{30, 10, 10, false},
                                           ShotCase{3, 65, 0, false}, ShotCase{3, 0, -65, false}));

TEST_F(DefenceTest, ShieldIsParkedOnTheTickItsTimerReachesZero) {
  g.abilityState[3] = 2;
  Tick(3, RunShield);
  EXPECT_FALSE(Parked(g.shieldFrame[3]));
  Tick(3, RunShield);
  EXPECT_TRUE(Parked(g.shieldFrame[3]));
  EXPECT_EQ(g.abilityState[3], 0);
}

// --- Dash -----------------------------------------------------------------------------------

TEST_F(DefenceTest, DashRunsAtSeventyFiveEvenFromReverseAndEndsAtTwentyFive) {
  g.tankSpeed[0] = -12;
  g.abilityState[0] = 30;
  std::vector<std::int32_t> speeds;
  for (int tick = 0; tick < 31; ++tick) {
    Tick(0, RunDash);
    speeds.push_back(g.tankSpeed[0]);
    g.tankSpeed[0] -= 1;  // coasting takes one off between two ability steps
  }
  std::vector<std::int32_t> expected(29, 75);
  expected.push_back(25);
  expected.push_back(24);  // idle again: the dash no longer touches the speed
  EXPECT_EQ(speeds, expected);
}

// --- Decoy ----------------------------------------------------------------------------------

TEST_F(DefenceTest, EliminatedCatsDecoyStandsThenBlinksUntilItsTimerRunsOut) {
  g.playerLife[0] = 0;
  g.tankX[0] = kFreeSlot;
  const FrameId decoy = g.tankFrame[4];
  t.scene.SetPosition(decoy, kNoFrame, 300, 0, -200);  // where the launch put it
  g.abilityState[0] = 250;
  g.abilityState[4] = 0;
  g.abilityState[8] = 300;
  g.abilityState[12] = -200;
  for (int tick = 0; tick < 200; ++tick) Tick(0, RunDecoy);
  EXPECT_EQ(Frame(decoy).positionCalls, 1);  // standing still, untouched
  std::vector<bool> parked;
  for (int tick = 0; tick < 49; ++tick) {
    Tick(0, RunDecoy);
    parked.push_back(Parked(decoy));
    if (!parked.back()) {
      EXPECT_EQ(Frame(decoy).position, (std::array<float, 3>{300, 0, -200}));
    }
  }
  for (int tick = 0; tick < 49; ++tick) EXPECT_EQ(parked[tick], tick % 2 == 0) << tick;
  Tick(0, RunDecoy);
  EXPECT_EQ(g.abilityState[0], 0);
  EXPECT_TRUE(Parked(decoy));
}

}  // namespace
}  // namespace bf
