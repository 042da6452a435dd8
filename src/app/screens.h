#pragma once
// What the shell shows between its two screens: the loading text, on the way into a battle and
// on the way back from it.

namespace bf {

struct Game;

// Clears the form and prints "NOW LOADING...." at (270, 250).
void ShowLoadingText(Game& game);

}  // namespace bf
