#pragma once
// A small battle field for the tests of what a tank does in its tick: every frame a battle
// builds, four tanks in the corners with full lives and magazines, every pool and wall empty and
// every sound effect heard, with helpers that run the game's own steps and read what the scene and
// the speakers were told.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "abilities/abilities.h"
#include "battle/battle.h"
#include "battle/battle_local.h"
#include "core/facts.h"
#include "core/game.h"
#include "support/test_game.h"

namespace bf::test {

struct BattleField : ::testing::Test {
  BattleField() {
    t.CreateBattleFrames();
    // One silent voice per effect, so that every play shows in the tick's record.
    for (SoundEffect& effect : g.soundEffects) effect.voiceCount = 1;
    g.shotX.fill(kFreeSlot);
    g.starX.fill(kFreeSlot);
    g.itemX.fill(kFreeSlot);
    g.netX.fill(kFreeSlot);
    g.mineX.fill(kFreeSlot);
    g.wallX.fill(kFreeSlot);
    g.tankX = {-700, 700, -700, 700};
    g.tankZ = {-700, -700, 700, 700};
    g.playerLife = {100, 100, 100, 100};
    g.maxLife = {100, 100, 100, 100};
    g.shells = {4, 4, 4, 4};
    g.maxShells = {4, 4, 4, 4};
    g.winner = kNoWinner;
    g.stageIndex = 1;
  }

  void PutTank(int p, double x, double z) {
    g.tankX[p] = x;
    g.tankZ[p] = z;
  }
  // Player p drives a tank of this type from now on: its ability is the one the step runs.
  void Drive(int p, TankType type) { g.playerCharacter[p] = static_cast<std::int32_t>(type); }
  // One tick of player p's ability, through the game's own ability step: the countdown, then the
  // action of the type p drives.
  void Tick(int p) { RunAbilities(g, p); }

  const FrameRecord& Frame(FrameId id) const { return t.Frame(id); }
  bool Placed(FrameId id) const { return Frame(id).positionCalls > 0; }
  // Hidden far outside the field, where idle objects wait.
  bool Parked(FrameId id) const {
    const FrameRecord& f = Frame(id);
    return Placed(id) && f.position[0] == kFreeSlot && f.positionReference == kNoFrame;
  }
  std::vector<int> Sounds() const { return t.Sounds(); }
  int ShotsInFlight() const {
    int count = 0;
    for (double x : g.shotX) count += (x != kFreeSlot);
    return count;
  }
  int FreeStars() const {
    int free = 0;
    for (auto x : g.starX) free += (x == kFreeSlot);
    return free;
  }

  TestGame t;
  Game& g = *t.game;
};

// A battle as BuildBattleScene starts it: stage index 1, the first four tank types.
struct BuiltBattle : ::testing::Test {
  BuiltBattle() {
    g.playerCharacter = {0, 1, 2, 3};
    g.stageIndex = 1;
    BuildBattleScene(g);
  }

  TestGame t;
  Game& g = *t.game;
};

// The frame was last placed at (x, y, z) in scene coordinates.
inline void ExpectPlacedAt(const FrameRecord& f, float x, float y, float z) {
  EXPECT_EQ(f.positionReference, kNoFrame);
  EXPECT_FLOAT_EQ(f.position[0], x);
  EXPECT_FLOAT_EQ(f.position[1], y);
  EXPECT_FLOAT_EQ(f.position[2], z);
}

}  // namespace bf::test
