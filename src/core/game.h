#pragma once
// The owner object: every piece of game state for the whole run, as fixed-size tables indexed by
// player (0..3) or by slot. Routines of every subsystem work directly on these fields; nothing is
// allocated while a battle runs.
#include <array>
#include <cstdint>

#include "core/facts.h"
#include "core/random.h"
#include "platform/platform.h"

namespace bf {

// One entry of the sound-effect table: an effect decoded once, played on its voices in turn.
struct SoundEffect {
  int effect = -1;  // the audio device's handle; -1 = silent
  std::int16_t voiceCount = 0;
  std::int16_t lastVoice = 0;
};

// Which loop is running, for the runner's trace.
enum class Screen { kSelection, kBattle };

// What happened during the tick being worked, for the runner's trace. Fixed size: a tick that
// plays more sounds than this keeps the first ones.
struct TickRecord {
  static constexpr int kMaxSounds = 256;
  static constexpr int kMaxViews = 8;
  std::array<int, kMaxSounds> sounds{};
  int soundCount = 0;
  std::array<std::array<int, 4>, kMaxViews> views{};
  int viewCount = 0;
};

// What the people in the room control beside the battle's rules: pause, volume, speed and
// screenshots. None of it changes what a tick does, only whether and how often ticks run.
struct RoomControls {
  static constexpr int kNobody = -1;
  // Set while a battle's ticks run: pause and speed belong to a battle.
  bool battleRunning = false;
  // While paused no tick's work runs. The player whose pad paused it, kNobody for the keyboard.
  bool paused = false;
  std::int32_t pausedBy = kNobody;
  // Paused because that player's pad was unplugged; whether it is plugged back in.
  bool padLost = false;
  bool padBack = false;
  // P, Pause and F12 act once per press, not with the key's auto-repeat.
  bool pauseKeyDown = false;
  bool screenshotKeyDown = false;
  std::int32_t volumeStep = kVolumeSteps;
  bool muted = false;
  // Four ticks per 20 ms: on once every person in the battle is out, off for the rest of the
  // battle with any key or button. The tick loop runs the burst's further ticks without waiting.
  bool fast = false;
  bool fastDeclined = false;
  std::int32_t quickTicksLeft = 0;
  // False for the burst's ticks before its last: their views need not be drawn.
  bool drawViews = true;
  // A short word on the screen (the volume, the screenshot) until this time on the game's clock.
  std::uint64_t noteUntilMs = 0;
  enum class Note { kNone, kVolume, kScreenshot, kScreenshotFailed } note = Note::kNone;
  // The notice as it was last drawn, so an unchanged one is not drawn again.
  std::uint32_t noticeDrawn = 0;
};

struct Game;
class Replay;

// Told after the work of every processed tick (the headless runner writes its trace here).
class TickObserver {
 public:
  virtual ~TickObserver() = default;
  virtual void OnTickDone(Game& game, Screen screen) = 0;
};

// Every piece of state the rules own, apart from the machine: copied whole, it is a moment of the
// game that an instant replay goes back to.
struct GameState {
  Random random;
  TickRecord tickRecord;
  RoomControls room;
  // Set when the window was closed from outside: no loop may start another screen.
  bool closeRequested = false;
  // Set when a model or texture could not be loaded; the game ends in order with status 1.
  bool assetFailure = false;

  // 3D objects of the current battle.
  std::array<FrameId, 8> tankFrame{};
  std::array<FrameId, kShotSlots> shotFrame{};
  std::array<FrameId, kShotSlots> starFrame{};  // 0..20 used
  std::array<FrameId, kItems> itemFrame{};
  std::array<FrameId, kMovers> moverFrame{};
  std::array<FrameId, kPlayers> gasFrame{};
  TextureId netTexture = kNoTexture;
  std::array<FrameId, kNetSlots> netFrame{};
  std::array<FrameId, kMineSlots> mineFrame{};
  std::array<FrameId, kPlayers> pyonFrame{};
  std::array<FrameId, kPlayers> shieldFrame{};
  std::array<FrameId, kPlayers> rocketFrame{};
  std::array<FrameId, kPlayers> waterFrame{};
  // The markers over each tank and decoy (children of tankFrame, same index), seen in the other
  // players' views only.
  std::array<FrameId, 8> markerFrame{};
  MeshId meshBuilder = kNoMesh;
  FrameId lightFrame = kNoFrame;
  FrameId stageFrame = kNoFrame;
  FrameId sceneFrame = kNoFrame;
  FrameId cameraFrame = kNoFrame;
  // What an eliminated player's overview camera looked at last: kept while no tank leads.
  FrameId overviewTarget = kNoFrame;

  std::int16_t runningFlag = 0;
  // Ticks counted from the program's start in 64 bits: no run length or uptime wraps them.
  std::int64_t tickStamp = 0;
  // Ticks whose work has run, whatever the clock did: a replay's events are placed by them.
  std::int64_t processedTicks = 0;
  std::array<SoundEffect, kSoundEffects> soundEffects{};
  std::int32_t burstCount = 0;
  std::array<std::int32_t, kPlayers> playerCharacter{};
  std::array<double, kPlayers> tankX{}, tankZ{};
  std::array<std::int32_t, kPlayers> tankBob{};
  std::int32_t stageIndex = 0;
  std::int32_t menuRow = 0;
  std::array<std::int32_t, kPlayers> playerLife{}, maxLife{}, shakeTimer{};
  std::array<std::int32_t, kPlayers> shells{}, maxShells{}, reloadTimer{}, maxSpeed{};
  std::array<double, kShotSlots> shotX{}, shotZ{}, shotDX{}, shotDZ{};
  std::array<std::int32_t, kPlayers> steerInput{}, throttleInput{}, fireState{};
  std::array<std::int32_t, kPlayers> tankHeading{}, tankSpeed{};
  std::array<std::int32_t, kStarSlots> starX{}, starY{}, starZ{}, starDX{}, starDY{}, starDZ{};
  std::array<std::int32_t, kWallSlots> wallX{}, wallZ{}, wallDepth{}, wallWidth{};
  double prevX = 0, prevZ = 0;
  std::int32_t enterHeld = 0;
  std::int32_t selectionActive = 0;
  std::array<std::int32_t, kMovers> moverX{};
  std::array<std::int32_t, kItems> itemX{}, itemZ{};
  std::int32_t winner = 0;
  std::int32_t zoomStep = 0;
  std::int32_t endCount = 0;
  // Sudden death: ticks in which no life changed while no person's tank is in play, and the
  // lives at the end of the tick before, to see a change.
  std::int32_t quietTicks = 0;
  std::array<std::int32_t, kPlayers> quietLives{};
  std::array<std::int32_t, kAbilityEntries> abilityState{};
  std::array<std::int32_t, kNetSlots> netX{}, netZ{}, netTimer{};
  std::array<std::int32_t, kMineSlots> mineX{}, mineZ{};
  std::array<std::int32_t, kPlayers> computerDriven{};
  std::array<std::int32_t, kPlayers> aiTurn{}, aiDrive{}, aiSearch{};
  // Battles each seat has won since the program started, for the selection screen only: no rule
  // reads it, and the trace leaves it out.
  std::array<std::int32_t, kPlayers> winsSinceStart{};
  // The winner's growth step the battle overlay was last drawn for (-1: none); drawing only.
  std::int32_t overlayZoomStep = -1;

  // Joystick module: the id the next poll reads, its result and the thresholds of the joystick
  // found at start-up.
  std::int32_t joyIndex = 0;
  std::int16_t joyX = 0, joyY = 0;
  std::uint32_t joyButtons = 0;
  std::int32_t joyLeftLimit = 0, joyRightLimit = 0, joyUpLimit = 0, joyDownLimit = 0;

  // Music module: music plays only between start-up showing the window and shutdown; whether a
  // track is open, so that a late end-of-track notice finds nothing to restart.
  bool musicHooked = false;
  bool musicOpen = false;
};

struct Game : GameState {
  explicit Game(Platform& platform) : io(platform) {}
  Game(const Game&) = delete;
  Game& operator=(const Game&) = delete;

  Platform& io;
  TickObserver* observer = nullptr;
  // The record of what the game processed, when one is kept (always in the window).
  Replay* replay = nullptr;
};

// Player p's tank type, for a player in a battle (every slot has a type then).
inline TankType TankTypeOf(const Game& game, int p) {
  return static_cast<TankType>(game.playerCharacter[p]);
}

inline Stage StageOf(const Game& game) {
  return static_cast<Stage>(game.stageIndex);
}

}  // namespace bf
