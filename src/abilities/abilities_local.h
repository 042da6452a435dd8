#pragma once
// Inside the abilities: each one's launch, which spends the whole magazine, beside what it does
// on every tick while its timer runs, and the helpers their actions share.
#include "core/facts.h"
#include "platform/scene.h"

namespace bf {

struct Game;
struct BlinkingAbility;

// A standing ability object stays where the tank was at the launch, rounded to whole units.
void StandAtTank(const Game& game, int p, const BlinkingAbility& object);
// The end of a standing ability object: while 1 <= timer <= 49 it blinks at its place using its
// blink flag; at timer 0 it is parked.
void BlinkAtEnd(Game& game, int p, FrameId frame);

// Each ability's launch, which starts its timer and plays its sound as the tank type's facts say,
// and its running action, which runs with the decremented timer.
void LaunchRocket(Game& game, int p, const TankFacts& facts);
void RunRocket(Game& game, int p);
void LaunchCloak(Game& game, int p, const TankFacts& facts);
void RunCloak(Game& game, int p);
void LaunchGasCloud(Game& game, int p, const TankFacts& facts);
void RunGasCloud(Game& game, int p);
void LaunchShield(Game& game, int p, const TankFacts& facts);
void RunShield(Game& game, int p);
void LaunchDash(Game& game, int p, const TankFacts& facts);
void RunDash(Game& game, int p);
void LaunchWhirlpool(Game& game, int p, const TankFacts& facts);
void RunWhirlpool(Game& game, int p);
void LaunchFlameBurst(Game& game, int p, const TankFacts& facts);
void RunFlameBurst(Game& game, int p);
void LaunchPyon(Game& game, int p, const TankFacts& facts);
void RunPyon(Game& game, int p);
void LaunchDecoy(Game& game, int p, const TankFacts& facts);
void RunDecoy(Game& game, int p);
// Nets and mines have no timer: they act from their own slots on the tanks that meet them.
void LayNet(Game& game, int p, const TankFacts& facts);
void LayMine(Game& game, int p, const TankFacts& facts);

}  // namespace bf
