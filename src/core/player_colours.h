#pragma once
// Each player's colour, the same on every screen: the selection frames, the panel markers and
// anything else that says which player is meant.
#include "core/facts.h"
#include "platform/platform.h"

namespace bf {

struct PlayerColours {
  Rgb outer;  // the colour itself
  Rgb inner;  // a darker shade of it, for a frame's inner line
};

constexpr PlayerColours kPlayerColours[kPlayers] = {
    {{255, 0, 0}, {150, 0, 0}},
    {{0, 0, 255}, {0, 0, 150}},
    {{255, 255, 0}, {150, 150, 0}},
    {{0, 255, 0}, {0, 150, 0}},
};

}  // namespace bf
