// Pick-ups, nets and mines acting on the tanks that drive over them, and the items' return.
#include "abilities/abilities.h"
#include "app/status_panels.h"
#include "audio/sound.h"
#include "battle/world_slots.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

constexpr int kLifeItem = 0;
constexpr int kShellItem = 1;
constexpr int kItemReach = 50;
constexpr int kItemLife = 10;
// One chance in this many, per absent item and player step, that the item comes back.
constexpr int kItemChance = 1000;
constexpr int kItemSpread = 1200;

bool PickUp(Game& game, int p, int k) {
  if (!TankWithinReachOf(game, p, game.itemX[k], game.itemZ[k], kItemReach)) return false;
  game.itemX[k] = kFreeSlot;
  PlaySoundEffect(game, kSoundLife);
  return true;
}

void PickUpLife(Game& game, int p) {
  if (!PickUp(game, p, kLifeItem)) return;
  game.playerLife[p] += kItemLife;
  if (game.playerLife[p] > game.maxLife[p]) game.playerLife[p] = game.maxLife[p];
  DrawStatusPanels(game);
}

// Fills the magazine; the reload timer is left as it was (a full magazine freezes it).
void PickUpShells(Game& game, int p) {
  if (!PickUp(game, p, kShellItem)) return;
  game.shells[p] = game.maxShells[p];
  DrawStatusPanels(game);
}

// An absent item comes back, rarely, at a random place; never inside a wall.
void MaybePlaceItem(Game& game, int k) {
  if (game.itemX[k] != kFreeSlot) return;
  if (Int(game.random.Next() * kItemChance) != 0) return;
  game.itemX[k] = Int(game.random.Next() * kItemSpread - kItemSpread / 2);
  game.itemZ[k] = Int(game.random.Next() * kItemSpread - kItemSpread / 2);
  KeepItemOutOfWalls(game, k);
}

}  // namespace

void MeetItemsNetsAndMines(Game& game, int p) {
  static_assert(kNetSlots == kMineSlots, "nets and mines are met slot by slot");
  PickUpLife(game, p);
  PickUpShells(game, p);
  // The tank's position is read afresh for every slot: a net that pulled it moves the point the
  // later slots test.
  for (int i = 0; i < kNetSlots; ++i) {
    MeetNet(game, p, i);
    MeetMine(game, p, i);
  }
}

// Every player step gives each absent item its chance, so it has four chances a tick.
void RespawnAndSpinItems(Game& game) {
  for (int k = 0; k < kItems; ++k) {
    MaybePlaceItem(game, k);
    PlaceInScene(game, game.itemFrame[k], game.itemX[k], 0, game.itemZ[k]);
    SpinFrame(game, game.itemFrame[k]);
  }
}

void KeepItemOutOfWalls(Game& game, int k) {
  for (int w = 0; w < kWallSlots; ++w) {
    if (InsideWall(game, w, game.itemX[k], game.itemZ[k])) {
      game.itemX[k] = kFreeSlot;
    }
  }
}

}  // namespace bf
