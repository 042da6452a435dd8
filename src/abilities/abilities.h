#pragma once
// The eleven abilities, as the player step meets them: the launch, the running action of each
// tick, and the nets and mines that act from their own slots. Whether a launch is possible and
// whether a fox is cloaked are read from the ability state itself (core/ability_state.h).

namespace bf {

struct Game;

// Launches player p's ability when it is requested (`fireState` 2) and ready.
void LaunchAbility(Game& game, int p);
// Counts player p's ability timer down and runs the action of its tank type.
void RunAbilities(Game& game, int p);
// Net slot n holding tank p, and mine slot m going off under it (while p is in play).
void MeetNet(Game& game, int p, int n);
void MeetMine(Game& game, int p, int m);

}  // namespace bf
