// Bursts of stars thrown out of a hit tank, a used-up shot or a shell striking a wall, and the
// elimination of a tank whose life is gone. They only fill star slots; the stars step moves,
// drops and frees them.
#include "battle/star_bursts.h"

#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

constexpr std::int32_t kStarStartY = 20;
constexpr std::int32_t kShotStarRise = 11;
constexpr std::int32_t kUsedUpShotStars = 10;
constexpr double kUsedUpShotSpread = 20;
constexpr double kSparkSpread = 10;

// How a non-lethal burst at a tank spreads: horizontal steps Int(r * spread - spread / 2).
struct BurstShape {
  double spread;
  std::int32_t rise;
};
constexpr BurstShape kPlayerBurst{10, 11};
constexpr BurstShape kTargetBurst{20, 15};

std::int32_t SpreadStep(Game& game, double spread) {
  return Int(game.random.Next() * spread - spread / 2);
}

void StartStar(Game& game, int k, double x, double z) {
  game.starX[k] = RoundToLong(x);
  game.starZ[k] = RoundToLong(z);
  game.starY[k] = kStarStartY;
}

// A burst at tank q. A tank whose life has gone below 1 throws every star there is: the stars in
// flight vanish, all 21 start from the tank, and the tank leaves the field for good.
void StarBurstAtTank(Game& game, int q, BurstShape shape) {
  const bool lethal = game.playerLife[q] < 1;
  if (lethal) {
    game.burstCount = kStarSlots;
    for (int k = 0; k < kStarSlots; ++k) game.starX[k] = kFreeSlot;
  }
  for (int k = 0; k < kStarSlots; ++k) {
    if (game.starX[k] != kFreeSlot || game.burstCount <= 0) continue;
    StartStar(game, k, game.tankX[q], game.tankZ[q]);
    game.burstCount -= 1;
    game.starDX[k] = SpreadStep(game, shape.spread);
    game.starDY[k] = shape.rise;
    game.starDZ[k] = SpreadStep(game, shape.spread);
    if (lethal) {
      // Drawn again on top of the ordinary ones, so a lethal star uses five numbers.
      game.starDX[k] = SpreadStep(game, 40);
      game.starDY[k] = Int(game.random.Next() * 10 + 15);
      game.starDZ[k] = SpreadStep(game, 40);
    }
  }
  if (lethal) game.tankX[q] = kFreeSlot;
}

// Up to `budget` stars at shot slot `slot`, into free star slots, counting the budget down.
void StarsAtShot(Game& game, int slot, double spread, std::int32_t& budget) {
  for (int k = 0; k < kStarSlots; ++k) {
    if (game.starX[k] != kFreeSlot || budget <= 0) continue;
    StartStar(game, k, game.shotX[slot], game.shotZ[slot]);
    game.starDX[k] = SpreadStep(game, spread);
    game.starDY[k] = kShotStarRise;
    game.starDZ[k] = SpreadStep(game, spread);
    budget -= 1;
  }
}

}  // namespace

void StarBurstAtPlayer(Game& game, int p) {
  StarBurstAtTank(game, p, kPlayerBurst);
}

void StarBurstAtTarget(Game& game, int target) {
  StarBurstAtTank(game, target, kTargetBurst);
}

void StarBurstAtShot(Game& game, int slot) {
  game.burstCount = kUsedUpShotStars;
  StarsAtShot(game, slot, kUsedUpShotSpread, game.burstCount);
}

// A spark is a single small star; it leaves `burstCount` alone.
void StarAtShot(Game& game, int slot) {
  std::int32_t budget = 1;
  StarsAtShot(game, slot, kSparkSpread, budget);
}

}  // namespace bf
