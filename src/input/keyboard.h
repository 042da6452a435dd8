#pragma once
// The two keyboard players' input state; the same keys mean different things on the two screens.

namespace bf {

struct Game;

void OnKeyDown(Game& game, int keyCode, int mask);
void OnKeyUp(Game& game, int keyCode, int mask);

}  // namespace bf
