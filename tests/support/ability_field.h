#pragma once
// A small battle field for the ability tests: every frame a battle builds, four tanks in the
// corners, empty shot, star and wall tables, and helpers to read what the scene was told.
#include <gtest/gtest.h>

#include <vector>

#include "audio/sound.h"
#include "core/game.h"
#include "support/test_game.h"

namespace bf::test {

class AbilityField : public ::testing::Test {
 protected:
  void SetUp() override {
    LoadSoundEffects(g);  // voices for every effect, so plays are recorded
    t.CreateBattleFrames();
    g.shotX.fill(kFreeSlot);
    g.starX.fill(kFreeSlot);
    g.wallX.fill(kFreeSlot);
    g.tankX = {-700, 700, -700, 700};
    g.tankZ = {-700, -700, 700, 700};
    g.playerLife = {100, 100, 100, 100};
    g.maxLife = {150, 150, 150, 150};
    g.maxShells = {4, 4, 4, 4};
    g.winner = -1;
    g.stageIndex = 1;
  }

  const FrameRecord& Frame(FrameId id) const { return t.Frame(id); }
  bool Parked(FrameId id) const {
    const FrameRecord& f = Frame(id);
    return f.positionCalls > 0 && f.position[0] == kFreeSlot && f.positionReference == kNoFrame;
  }
  std::vector<int> Sounds() const { return t.Sounds(); }
  int FreeStars() const {
    int free = 0;
    for (auto x : g.starX) free += (x == kFreeSlot);
    return free;
  }

  TestGame t;
  Game& g = *t.game;
};

}  // namespace bf::test
