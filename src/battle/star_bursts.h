#pragma once
// Bursts of stars after hits, and the elimination of a tank whose life is gone. A burst at a tank
// spawns up to `burstCount` stars, the one-shot budget its caller sets; a shot used up by a pyon
// sets its own budget, and a wall's spark is a single star.

namespace bf {

struct Game;

// Stars at tank p; when its life has fallen below 1, frees every star, throws the large burst and
// moves the tank out of the field.
void StarBurstAtPlayer(Game& game, int p);
// Stars at the tank of player `target` hit by an ability.
void StarBurstAtTarget(Game& game, int target);
// Stars at shot slot `slot`, used up by a pyon.
void StarBurstAtShot(Game& game, int slot);
// The spark a shell throws where it strikes a wall: at most one star at shot slot `slot`.
void StarAtShot(Game& game, int slot);

}  // namespace bf
