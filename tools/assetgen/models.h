#pragma once
// Every model of the game, built from primitives. File names are without ".x".
#include <string>
#include <vector>

#include "core/facts.h"
#include "mesh.h"
#include "raster.h"

namespace assetgen {

constexpr int kTankTypes = bf::kTankTypes;
constexpr int kStages = bf::kStages;
// The game draws every stage mesh seven times larger than the file.
constexpr float kStageScale = 7;

// Tank type t (`playerCharacter`): bear, fox, skunk, pigtank, momotank, fish, mousetank,
// spidertank, pyon2, wood, cattank. Front (face, gun) towards -z, bottom at y = 0.
Mesh BuildTank(int type);
// The ability objects, pick-ups and small things: rocket, gass, shield, water, pyon, shot, mine,
// net, star, item, item2, v.
std::vector<Mesh> BuildProps();
// Stage s (`stageIndex`) in file units: the field -750..750 is -107..107 here.
Mesh BuildStage(int stage);
// The lights the game sets for that stage.
Lighting StageLighting(int stage);

// A wall rectangle in world units: x from `x` to x + width, z from `z` to z + depth.
struct WallRect {
  float x, width, z, depth;
};
// The walls of stage index 2 and the corner pools of stage index 3, as the game's table has them.
const std::vector<WallRect>& StageRects(int stage);
// Heights in file units of the stage features, for the checks that sample the meshes. The ring
// walls of stage index 2 stay low (24.5 in the world) so that a tank behind one still shows.
constexpr float kRingWallHeight = 3.5f;
constexpr float kPoolSurface = -1.5f;

}  // namespace assetgen
