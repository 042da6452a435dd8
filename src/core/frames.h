#pragma once
// Placing the battle's 3D objects. Nothing is removed from the scene during a battle: an idle
// object is parked far outside the field, at x = -5000 like a free pool slot, and placed again
// when it is needed.
#include "core/game.h"

namespace bf {

// Places a frame in scene coordinates.
inline void PlaceInScene(Game& game, FrameId frame, double x, double y, double z) {
  game.io.scene->SetPosition(frame, kNoFrame, static_cast<float>(x), static_cast<float>(y),
                             static_cast<float>(z));
}

// Places a frame above tank p's place, at height y.
inline void PlaceAtTank(Game& game, FrameId frame, int p, float y) {
  PlaceInScene(game, frame, game.tankX[p], y, game.tankZ[p]);
}

// Hides a frame far outside the field, out of every view.
inline void ParkFrame(Game& game, FrameId frame) {
  PlaceInScene(game, frame, kFreeSlot, 0, 0);
}

// Turns a frame about its vertical axis by one step (about 87 degrees). Relative to the frame
// itself, so repeating it every tick keeps the object turning.
inline void SpinFrame(Game& game, FrameId frame) {
  game.io.scene->SetOrientation(frame, frame, 0.1f, 0, 0.005f, 0, 1, 0);
}

}  // namespace bf
