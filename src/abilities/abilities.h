#pragma once
// What a launched ability does on each tick while its timer runs, and the helpers its actions
// share.
#include "platform/scene.h"

namespace bf {

struct Game;

// Counts player p's ability timer down and runs the action of its tank type.
void RunAbilities(Game& game, int p);

// Hides a frame far outside the field.
void ParkFrame(Game& game, FrameId frame);
// Turns a frame about its vertical axis by one step (about 87 degrees).
void SpinFrame(Game& game, FrameId frame);
// The end of an ability: while 1 <= timer <= 49 the object blinks at ([p+8], 0, [p+12]) using
// the flag [p+4]; at timer 0 it is parked.
void BlinkAtEnd(Game& game, int p, FrameId frame);

// Per-type running actions (each runs with the decremented timer).
void RunRocket(Game& game, int p);
void RunCloak(Game& game, int p);
void RunGasCloud(Game& game, int p);
void RunShield(Game& game, int p);
void RunDash(Game& game, int p);
void RunWhirlpool(Game& game, int p);
void RunFlameBurst(Game& game, int p);
void RunPyon(Game& game, int p);
void RunDecoy(Game& game, int p);

}  // namespace bf
