// The one camera, placed again for each player's view: behind the tank in play, or high above
// the field looking at the leader once the player is out; the star billboards and the shake.
#include <cmath>

#include "core/ability_state.h"
#include "core/game.h"
#include "core/numeric.h"
#include "tanks/tanks_local.h"

namespace bf {
namespace {

constexpr double kCameraBehind = 300;
constexpr float kCameraHeight = 120;
constexpr float kCameraTilt = -0.2f;
constexpr float kOverviewHeight = 250;

// The player with the greatest life among those at 0 or more; the higher index wins a tie.
// -1 when nobody qualifies.
int FindLeader(const Game& game) {
  int leader = -1;
  std::int32_t best = 0;
  for (int k = 0; k < kPlayers; ++k) {
    if (game.playerLife[k] >= best) {
      best = game.playerLife[k];
      leader = k;
    }
  }
  return leader;
}

// A cloaked fox is hidden from the other views, so the overview looks at the stage instead.
void LookAtLeader(Game& game) {
  const int leader = FindLeader(game);
  if (leader >= 0) {
    game.overviewTarget = Cloaked(game, leader) ? game.stageFrame : game.tankFrame[leader];
  }
  Scene& scene = *game.io.scene;
  scene.SetPosition(game.cameraFrame, kNoFrame, 0, kOverviewHeight, 0);
  scene.LookAt(game.cameraFrame, game.overviewTarget);
}

// A whole number from -5 to 4.
float ShakeOffset(Game& game) {
  return static_cast<float>(Int(game.random.Next() * 10 - 5));
}

}  // namespace

void PlaceCamera(Game& game, int p) {
  Scene& scene = *game.io.scene;
  const double h = Radians(game.tankHeading[p]);
  const double c = std::cos(h), s = std::sin(h);
  scene.SetPosition(game.cameraFrame, kNoFrame,
                    static_cast<float>(game.tankX[p] - kCameraBehind * c), kCameraHeight,
                    static_cast<float>(game.tankZ[p] - kCameraBehind * s));
  scene.SetOrientation(game.cameraFrame, kNoFrame, static_cast<float>(c), kCameraTilt,
                       static_cast<float>(s), 0, 1, 0);
  if (game.playerLife[p] < 1) LookAtLeader(game);
}

// Runs once per player step, so each view renders the stars turned toward its own camera.
void TurnStarsToCamera(Game& game) {
  for (int k = 0; k < kStarSlots; ++k) game.io.scene->LookAt(game.starFrame[k], game.cameraFrame);
}

// Runs for eliminated players too, on the overview camera.
void ShakeCamera(Game& game, int p) {
  if (game.shakeTimer[p] <= 0) return;
  game.shakeTimer[p] -= 1;
  const float dx = ShakeOffset(game);
  const float dy = ShakeOffset(game);
  const float dz = ShakeOffset(game);
  game.io.scene->SetPosition(game.cameraFrame, game.cameraFrame, dx, dy, dz);
}

}  // namespace bf
