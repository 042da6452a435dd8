#pragma once
// The one camera, placed for each player's view in turn, the star billboards and the shake.

namespace bf {

struct Game;

void PlaceCamera(Game& game, int p);
void TurnStarsToCamera(Game& game);
void ShakeCamera(Game& game, int p);

}  // namespace bf
