#pragma once
// The game's facts in one place: the sizes of its tables, the eleven tank types with what each
// one brings to a battle, the five stages, the sound-effect table and the timers and distances
// that more than one rule shares. Nothing here depends on anything else.
#include <array>
#include <cstdint>

namespace bf {

constexpr int kPlayers = 4;
constexpr int kShotSlots = 31;
constexpr int kStarSlots = 21;
constexpr int kWallSlots = 21;
constexpr int kNetSlots = 11;
constexpr int kMineSlots = 11;
constexpr int kItems = 2;
constexpr int kMovers = 4;
constexpr int kAbilityEntries = 20;
constexpr int kSoundEffects = 19;

// x of a free pool entry, and where every idle 3D object is parked, out of every view.
constexpr int kFreeSlot = -5000;
constexpr std::uint32_t kTickMs = 20;

// The tank types, in the order of the selection screen's icons (`playerCharacter`).
enum class TankType : std::int32_t {
  kBear,
  kFox,
  kSkunk,
  kPig,
  kFlyingSquirrel,
  kFish,
  kMouse,
  kSpider,
  kRabbit,
  kLog,
  kCat,
};
constexpr int kTankTypes = 11;
// `playerCharacter` of a slot nobody joined: the computer fills it when a battle starts.
constexpr std::int32_t kNotJoined = -1;

constexpr bool IsTankType(std::int32_t value) {
  return value >= 0 && value < kTankTypes;
}

// The stages, in the order of the selection screen's pictures (`stageIndex`).
enum class Stage : std::int32_t { kMeadow, kDesert, kFortress, kVolcano, kFactory };
constexpr int kStages = 5;

// The volcano's corner squares are lava pools: no tank enters them, but shots and rockets fly
// over them. Every other stage's walls stop both.
constexpr bool WallsStopShots(Stage stage) {
  return stage != Stage::kVolcano;
}
// Only the factory has conveyor belts: the movers ride them and they push tanks sideways.
constexpr bool HasConveyors(Stage stage) {
  return stage == Stage::kFactory;
}

// Effect indices of the sound-effect table; 3 and 6 are empty and never played.
enum SoundIndex : int {
  kSoundShot = 0,
  kSoundDam = 1,
  kSoundReload = 2,
  kSoundLife = 4,
  kSoundWin = 5,
  kSoundBom = 7,
  kSoundPyon = 8,
  kSoundRocket = 9,
  kSoundFox = 10,
  kSoundSpider = 11,
  kSoundFire = 12,
  kSoundMomonga = 13,
  kSoundFish = 14,
  kSoundShield = 15,
  kSoundCat = 16,
  kSoundSet = 17,
  kSoundHe = 18,
};

// The one ability of each tank type.
enum class Ability {
  kRocket,
  kCloak,
  kGasCloud,
  kShield,
  kDash,
  kWhirlpool,
  kFlameBurst,
  kNet,
  kPyon,
  kMine,
  kDecoy,
};
constexpr int kAbilities = 11;

// What a tank type brings to a battle. The launch timer is the ability timer a launch starts;
// 0 for the net and the mine, whose timer stays 0, so they are ready again with a full magazine.
struct TankFacts {
  const char* tankMesh;
  const char* extraMesh;  // the ability object's model; nullptr when the type has none
  std::int32_t maxLife, maxShells, maxSpeed;
  Ability ability;
  std::int32_t launchTimer;
  SoundIndex launchSound;
};

constexpr std::array<TankFacts, kTankTypes> kTankFacts{{
    {"bear.x", "rocket.x", 90, 4, 18, Ability::kRocket, 10, kSoundRocket},
    {"fox.x", nullptr, 70, 4, 20, Ability::kCloak, 200, kSoundFox},
    {"skunk.x", "gass.x", 60, 5, 22, Ability::kGasCloud, 200, kSoundHe},
    {"pigtank.x", "shield.x", 150, 2, 10, Ability::kShield, 100, kSoundShield},
    {"momotank.x", nullptr, 60, 5, 25, Ability::kDash, 30, kSoundMomonga},
    {"fish.x", "water.x", 60, 4, 18, Ability::kWhirlpool, 400, kSoundFish},
    {"mousetank.x", nullptr, 50, 4, 18, Ability::kFlameBurst, 50, kSoundFire},
    {"spidertank.x", nullptr, 70, 4, 19, Ability::kNet, 0, kSoundSpider},
    {"pyon2.x", "pyon.x", 50, 5, 25, Ability::kPyon, 100, kSoundPyon},
    {"wood.x", nullptr, 120, 3, 10, Ability::kMine, 0, kSoundSet},
    {"cattank.x", nullptr, 80, 5, 20, Ability::kDecoy, 250, kSoundCat},
}};

constexpr const TankFacts& FactsOf(TankType type) {
  return kTankFacts[static_cast<std::size_t>(type)];
}

// `winner` while the battle is still open.
constexpr std::int32_t kNoWinner = -1;
// Ticks a view shakes after a hit: the victim's for a shot or a mine, the attacker's for a rocket
// or a pyon.
constexpr std::int32_t kShakeTicks = 10;
// A gas cloud, a whirlpool and a decoy blink while their timer is 1..49, and are parked at 0.
constexpr std::int32_t kBlinkTicks = 49;
// Shots and rockets leave play outside the square -800..800.
constexpr int kArenaEdge = 800;
constexpr bool LeftArena(double x, double z) {
  return x < -kArenaEdge || x > kArenaEdge || z < -kArenaEdge || z > kArenaEdge;
}
// Headings run 0..360 degrees; only a value past 360 wraps to 0.
constexpr std::int32_t kFullTurn = 360;

}  // namespace bf
