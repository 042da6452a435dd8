#include "app/program.h"

#include <charconv>

#include "app/app_local.h"
#include "app/replay.h"
#include "app/room_controls.h"
#include "app/screens.h"
#include "app/tick_loop.h"
#include "audio/sound.h"
#include "battle/battle.h"
#include "core/game.h"
#include "input/joystick.h"

namespace bf {
namespace {

void StartUp(Game& game) {
  InitSound(game);
  ApplyVolume(game);
  LoadSoundEffects(game);
  // Player 0 has joined with the bear; the other slots wait for a player.
  game.playerCharacter = {static_cast<std::int32_t>(TankType::kBear), kNotJoined, kNotJoined,
                          kNotJoined};
  // Both probes find the same joystick; the thresholds come from the one found first.
  game.joyIndex = 0;
  InitJoystick(game, kJoystickDeadZone);
  game.joyIndex = 1;
  InitJoystick(game, kJoystickDeadZone);
  game.stageIndex = static_cast<std::int32_t>(Stage::kDesert);
  ShowLoadingText(game);
  PumpEvents(game);
  HookMusic(game);
}

// Releases everything in a fixed order: the battle's 3D objects, the sound effects and the
// device, then the music.
void ShutDown(Game& game) {
  game.runningFlag = 0;
  game.io.scene->ReleaseAll();
  ReleaseSound(game);
  UnhookMusic(game);
}

}  // namespace

bool ParseVolumeStep(std::string_view text, int* step) {
  int value = 0;
  const char* end = text.data() + text.size();
  const auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (text.empty() || ec != std::errc() || ptr != end || value < 0 || value > kVolumeSteps) {
    return false;
  }
  *step = value;
  return true;
}

int RunProgram(Game& game) {
  StartUp(game);
  // Flat alternation: neither screen calls the other, so any number of battles never nests.
  while (!game.closeRequested && RunSelectionScreen(game)) {
    RunBattle(game);
    if (game.assetFailure) break;
  }
  ShutDown(game);
  const bool replayDiffered = game.replay != nullptr && !game.replay->mismatch().empty();
  return game.assetFailure || replayDiffered ? 1 : 0;
}

}  // namespace bf
