// The spider's nets and the log tank's mines: laid by the ability launch into slots of their
// own, they act on every tank that meets them, whoever laid them, for as long as they lie.
#include "abilities/abilities.h"
#include "abilities/abilities_local.h"
#include "app/status_panels.h"
#include "audio/sound.h"
#include "battle/star_bursts.h"
#include "core/contact.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

constexpr std::int32_t kNetHolds = 100;  // tank ticks a net holds, shared by all it holds
constexpr int kNetReach = 60;
constexpr int kMineReach = 35;
constexpr int kMineDamage = 20;
constexpr int kMineStars = 10;

}  // namespace

// A net in the first free slot; the spider is heard even when every net is already out.
void LayNet(Game& game, int p, const TankFacts& facts) {
  for (int n = 0; n < kNetSlots; ++n) {
    if (game.netX[n] != kFreeSlot) continue;
    game.netX[n] = RoundToLong(game.tankX[p]);
    game.netZ[n] = RoundToLong(game.tankZ[p]);
    game.netTimer[n] = kNetHolds;
    PlaceAtTank(game, game.netFrame[n], p, 0);
    break;
  }
  PlaySoundEffect(game, facts.launchSound);
}

// A mine in the first free slot, silent when every mine is already laid.
void LayMine(Game& game, int p, const TankFacts& facts) {
  for (int m = 0; m < kMineSlots; ++m) {
    if (game.mineX[m] != kFreeSlot) continue;
    game.mineX[m] = RoundToLong(game.tankX[p]);
    game.mineZ[m] = RoundToLong(game.tankZ[p]);
    PlaceInScene(game, game.mineFrame[m], game.mineX[m], 0, game.mineZ[m]);
    PlaySoundEffect(game, facts.launchSound);
    return;
  }
}

// A net holds every tank but a spider's. Its timer is shared by all the tanks it holds.
void MeetNet(Game& game, int p, int n) {
  if (TankTypeOf(game, p) == TankType::kSpider) return;
  if (!TankWithinReachOf(game, p, game.netX[n], game.netZ[n], kNetReach)) return;
  game.netTimer[n] -= 1;
  game.tankSpeed[p] = 0;
  game.tankX[p] = game.netX[n];
  game.tankZ[p] = game.netZ[n];
  if (game.netTimer[n] <= 0) {
    game.netX[n] = kFreeSlot;
    ParkFrame(game, game.netFrame[n]);
  }
}

// Mines spare the tanks that lay them, whoever laid this one.
void MeetMine(Game& game, int p, int m) {
  if (TankTypeOf(game, p) == TankType::kLog) return;
  if (!TankWithinReachOf(game, p, game.mineX[m], game.mineZ[m], kMineReach)) return;
  game.mineX[m] = kFreeSlot;
  ParkFrame(game, game.mineFrame[m]);
  game.burstCount = kMineStars;
  game.playerLife[p] -= kMineDamage;
  game.shakeTimer[p] = kShakeTicks;
  PlaySoundEffect(game, kSoundBom);
  DrawStatusPanels(game);
  StarBurstAtPlayer(game, p);
}

}  // namespace bf
