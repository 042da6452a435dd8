#pragma once
// A short fingerprint of the game's rule state: the same fields the runner's trace shows, so two
// runs whose traces agree at a tick have the same hash there, and a replay that went another way
// is seen at the next battle's end.
#include <cstdint>

namespace bf {

struct Game;

std::uint64_t StateHash(const Game& game);

}  // namespace bf
