#pragma once
// Each player's colour, the same on every screen: the selection frames, the panel markers, the
// markers over the tanks and the tags on the views. Four of the Okabe-Ito colours, the four that
// stay furthest apart for people with protanopia, deuteranopia or tritanopia
// (tools/colour-vision.py
// --palette measures them); the player's number goes with the colour wherever it marks a player.
#include "core/facts.h"
#include "platform/platform.h"

namespace bf {

struct PlayerColours {
  Rgb outer;  // the colour itself
  Rgb inner;  // a darker shade of it, for a frame's inner line
};

constexpr PlayerColours kPlayerColours[kPlayers] = {
    {{213, 94, 0}, {128, 56, 0}},      // vermilion
    {{0, 114, 178}, {0, 68, 107}},     // blue
    {{240, 228, 66}, {144, 137, 40}},  // yellow
    {{86, 180, 233}, {52, 108, 140}},  // sky blue
};

}  // namespace bf
