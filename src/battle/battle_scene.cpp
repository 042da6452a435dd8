// Building a battle: a fresh scene, the starting state of every player, pool and wall, and the
// stage's light and sky.
#include <array>
#include <string>

#include "battle/battle_local.h"
#include "core/frames.h"
#include "core/game.h"
#include "core/numeric.h"

namespace bf {
namespace {

struct StartPlace {
  double x, z;
  std::int32_t heading;
};

constexpr std::array<StartPlace, kPlayers> kStartPlaces{{
    {-750, -750, 235},
    {750, -750, 315},
    {-750, 750, 135},
    {750, 750, 45},
}};

struct Colour {
  float r, g, b;
};

struct StageTable {
  const char* mesh;
  Colour pointLight, ambientLight;
  std::array<float, 3> lightPosition;
};

constexpr std::array<StageTable, kStages> kStageTable{{
    {"stage1.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {100, 800, 200}},
    {"stage2.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {0, 400, 0}},
    {"stage3.x", {1, 1, 1}, {0.3f, 0.3f, 0.3f}, {0, 800, 0}},
    // The volcano is lit red from below the ground, brighter than white.
    {"stage4.x", {10, 5, 5}, {0.75f, 0.5f, 0.5f}, {0, -500, 0}},
    {"stage5.x", {2, 2, 2}, {0.3f, 0.3f, 0.3f}, {0, 800, 0}},
}};

// x, width, z, depth of one wall rectangle.
struct WallRect {
  std::int32_t x, width, z, depth;
};

// The ring around the centre, open on the left and right between z = -110 and z = 80.
constexpr std::array<WallRect, 6> kRingWalls{{
    {-470, 130, -470, 360},
    {-470, 940, -470, 140},
    {330, 130, -470, 360},
    {-470, 130, 80, 390},
    {-470, 940, 330, 140},
    {330, 130, 80, 390},
}};

// The volcano's four 450 x 450 lava pools, filling the corners of -650..650.
constexpr std::array<WallRect, 4> kCornerWalls{{
    {200, 450, 200, 450},
    {200, 450, -650, 450},
    {-650, 450, -650, 450},
    {-650, 450, 200, 450},
}};

constexpr std::array<std::int32_t, kMovers> kMoverStartX{1090, -1090, 1090, -1090};
constexpr float kStageScale = 7;
// The markers' bounds never shrink below this share of a view's height: the number on the far
// side of the field stays about 18 of the view's 208 rows tall (40 pixels at 1080p).
constexpr float kMarkerSmallestOnScreen = 0.12f;
constexpr float kWaterScale = 2;

std::string ModelPath(const Game& game, const char* file) {
  return game.io.assetDir + "/model/" + file;
}

// A new mesh builder of its own, filled from a model file.
MeshId LoadMesh(Game& game, const char* file) {
  Scene& scene = *game.io.scene;
  game.meshBuilder = scene.CreateMeshBuilder();
  scene.LoadFromFile(game.meshBuilder, ModelPath(game, file));
  return game.meshBuilder;
}

FrameId CreateParkedFrame(Game& game, MeshId mesh, float y) {
  Scene& scene = *game.io.scene;
  const FrameId frame = scene.CreateFrame(game.sceneFrame);
  scene.AddVisual(frame, mesh);
  PlaceInScene(game, frame, kFreeSlot, y, 0);
  return frame;
}

// Slots that nobody joined get a random type and a computer driver.
void FillComputerSlots(Game& game) {
  for (int p = 0; p < kPlayers; ++p) {
    if (game.playerCharacter[p] != kNotJoined) continue;
    game.playerCharacter[p] = Int(game.random.Next() * kTankTypes);
    game.computerDriven[p] = 1;
    game.aiTurn[p] = 0;
    game.aiDrive[p] = 0;
    game.aiSearch[p] = 1;
  }
}

void CreateRootFrames(Game& game) {
  Scene& scene = *game.io.scene;
  game.sceneFrame = scene.CreateFrame(kNoFrame);
  game.cameraFrame = scene.CreateFrame(game.sceneFrame);
  game.lightFrame = scene.CreateFrame(game.sceneFrame);
  // A first viewport over the whole device; the first view step replaces it.
  scene.SetViewport(game.cameraFrame, 0, 0, kDeviceWidth, kDeviceHeight);
}

// The frame that carries a type's extra object, or nullptr for a type without one.
FrameId* ExtraFrame(Game& game, TankType type, int p) {
  switch (type) {
    case TankType::kBear:
      return &game.rocketFrame[p];
    case TankType::kSkunk:
      return &game.gasFrame[p];
    case TankType::kPig:
      return &game.shieldFrame[p];
    case TankType::kFish:
      return &game.waterFrame[p];
    case TankType::kRabbit:
      return &game.pyonFrame[p];
    default:
      return nullptr;
  }
}

// The player's marker rides on its tank, and on the cat's decoy too, so that the decoy still
// passes for the cat. Drawn only: no rule reads these frames.
void BuildMarkers(Game& game, int p) {
  Scene& scene = *game.io.scene;
  // An asset folder made before the markers existed still plays, without them.
  const TextureId texture =
      scene.LoadOptionalTexture(game.io.assetDir + "/marker" + std::to_string(p) + ".bmp");
  scene.MakeBlackTransparent(texture);
  for (const int k : {p, p + kPlayers}) {
    game.markerFrame[k] = kNoFrame;
    if (game.tankFrame[k] == kNoFrame) continue;
    game.meshBuilder = scene.CreateMeshBuilder();
    scene.LoadOptionalFromFile(game.meshBuilder, ModelPath(game, "marker.x"));
    const MeshId mesh = game.meshBuilder;
    scene.SetTexture(mesh, texture);
    scene.SetSmallestOnScreen(mesh, kMarkerSmallestOnScreen);
    game.markerFrame[k] = scene.CreateFrame(game.tankFrame[k]);
    scene.AddVisual(game.markerFrame[k], mesh);
  }
}

// The shield, the gas cloud and the whirlpool are see-through, so that the tank inside them
// stays in sight, its own player's above all; the rocket and the chaser are solid.
float ExtraOpacity(TankType type) {
  switch (type) {
    case TankType::kPig:
      return 0.45f;
    case TankType::kSkunk:
    case TankType::kFish:
      return 0.35f;
    default:
      return 1.0f;
  }
}

// Frames of objects other types own: this battle does not create them, and the handles of the
// previous scene are no longer valid.
void ForgetPlayerFrames(Game& game, int p) {
  game.tankFrame[p + kPlayers] = kNoFrame;
  game.rocketFrame[p] = kNoFrame;
  game.gasFrame[p] = kNoFrame;
  game.shieldFrame[p] = kNoFrame;
  game.waterFrame[p] = kNoFrame;
  game.pyonFrame[p] = kNoFrame;
}

void ResetPlayerState(Game& game, int p) {
  game.steerInput[p] = 0;
  game.throttleInput[p] = 0;
  game.fireState[p] = 0;
  game.abilityState[p] = 0;  // only the timer: the ability's values are kept
  game.tankHeading[p] = 0;
  game.tankSpeed[p] = 0;
  game.tankBob[p] = 0;
  game.shells[p] = 5;
  game.maxShells[p] = 5;
  game.reloadTimer[p] = 0;
  game.tankX[p] = kStartPlaces[p].x;
  game.tankZ[p] = kStartPlaces[p].z;
  game.tankHeading[p] = kStartPlaces[p].heading;
}

// The tank, its statistics and its type's extra object, parked until the ability needs it.
void BuildPlayer(Game& game, int p) {
  Scene& scene = *game.io.scene;
  ResetPlayerState(game, p);
  ForgetPlayerFrames(game, p);
  game.tankFrame[p] = scene.CreateFrame(game.sceneFrame);
  game.meshBuilder = scene.CreateMeshBuilder();
  const TankType type = TankTypeOf(game, p);
  const TankFacts& facts = FactsOf(type);
  game.maxLife[p] = facts.maxLife;
  game.maxShells[p] = facts.maxShells;
  game.maxSpeed[p] = facts.maxSpeed;
  if (facts.extraMesh != nullptr) {
    scene.LoadFromFile(game.meshBuilder, ModelPath(game, facts.extraMesh));
    FrameId* extra = ExtraFrame(game, type, p);
    *extra = scene.CreateFrame(game.sceneFrame);
    if (type == TankType::kFish) {
      scene.ScaleMesh(game.meshBuilder, kWaterScale, kWaterScale, kWaterScale);
    }
    scene.AddVisual(*extra, game.meshBuilder);
    scene.SetOpacity(game.meshBuilder, ExtraOpacity(type));
    ParkFrame(game, *extra);
    game.meshBuilder = scene.CreateMeshBuilder();
  }
  scene.LoadFromFile(game.meshBuilder, ModelPath(game, facts.tankMesh));
  // The cat's decoy is a second frame with the same tank mesh.
  if (type == TankType::kCat) {
    game.tankFrame[p + kPlayers] = CreateParkedFrame(game, game.meshBuilder, 0);
  }
  game.playerLife[p] = game.maxLife[p];
  game.shells[p] = game.maxShells[p];
  scene.AddVisual(game.tankFrame[p], game.meshBuilder);
  BuildMarkers(game, p);
}

void BuildShotSlots(Game& game) {
  for (int s = 0; s < kShotSlots; ++s) {
    game.shotX[s] = kFreeSlot;
    game.shotZ[s] = 0;
    game.shotDX[s] = 0;
    game.shotDZ[s] = 0;
    game.shotFrame[s] = CreateParkedFrame(game, LoadMesh(game, "shot.x"), 30);
  }
}

void BuildMineSlots(Game& game) {
  for (int m = 0; m < kMineSlots; ++m) {
    game.mineX[m] = kFreeSlot;
    game.mineZ[m] = 0;
    game.mineFrame[m] = CreateParkedFrame(game, LoadMesh(game, "mine.x"), 0);
  }
}

// All nets share one mesh with a texture whose black texels are not drawn.
void BuildNetSlots(Game& game) {
  Scene& scene = *game.io.scene;
  game.netTexture = scene.LoadTexture(game.io.assetDir + "/net.bmp");
  scene.MakeBlackTransparent(game.netTexture);
  const MeshId net = LoadMesh(game, "net.x");
  scene.SetTexture(net, game.netTexture);
  for (int n = 0; n < kNetSlots; ++n) {
    game.netFrame[n] = CreateParkedFrame(game, net, 0);
    game.netX[n] = kFreeSlot;
    game.netZ[n] = 0;
    game.netTimer[n] = 0;
  }
}

void BuildStarSlots(Game& game) {
  Scene& scene = *game.io.scene;
  const TextureId star = scene.LoadTexture(game.io.assetDir + "/star.bmp");
  scene.MakeBlackTransparent(star);
  for (int k = 0; k < kStarSlots; ++k) {
    game.starFrame[k] = scene.CreateFrame(game.sceneFrame);
    const MeshId mesh = LoadMesh(game, "star.x");
    scene.SetTexture(mesh, star);
    scene.AddVisual(game.starFrame[k], mesh);
    PlaceInScene(game, game.starFrame[k], kFreeSlot, 50, 0);
    game.starX[k] = kFreeSlot;
    game.starY[k] = 0;
    game.starZ[k] = 0;
    game.starDX[k] = 0;
    game.starDY[k] = 0;
    game.starDZ[k] = 0;
  }
}

// Every entry is emptied first, so no wall of an earlier battle's stage is left over.
void ResetWalls(Game& game) {
  for (int w = 0; w < kWallSlots; ++w) {
    game.wallX[w] = kFreeSlot;
    game.wallZ[w] = 0;
    game.wallWidth[w] = 0;
    game.wallDepth[w] = 0;
  }
}

template <std::size_t N>
void FillWalls(Game& game, const std::array<WallRect, N>& walls) {
  for (std::size_t w = 0; w < N; ++w) {
    game.wallX[w] = walls[w].x;
    game.wallWidth[w] = walls[w].width;
    game.wallZ[w] = walls[w].z;
    game.wallDepth[w] = walls[w].depth;
  }
}

void BuildStage(Game& game) {
  Scene& scene = *game.io.scene;
  game.stageFrame = scene.CreateFrame(game.sceneFrame);
  const MeshId stage = LoadMesh(game, kStageTable[game.stageIndex].mesh);
  if (StageOf(game) == Stage::kFortress) FillWalls(game, kRingWalls);
  if (StageOf(game) == Stage::kVolcano) FillWalls(game, kCornerWalls);
  scene.ScaleMesh(stage, kStageScale, kStageScale, kStageScale);
  scene.AddVisual(game.stageFrame, stage);
}

// The four movers share one mesh; the first tick places them.
void BuildMovers(Game& game) {
  Scene& scene = *game.io.scene;
  if (!HasConveyors(StageOf(game))) {
    game.moverFrame.fill(kNoFrame);
    return;
  }
  const MeshId mover = LoadMesh(game, "v.x");
  scene.ScaleMesh(mover, kStageScale, kStageScale, kStageScale);
  for (int m = 0; m < kMovers; ++m) {
    game.moverFrame[m] = scene.CreateFrame(game.sceneFrame);
    scene.AddVisual(game.moverFrame[m], mover);
  }
  game.moverX = kMoverStartX;
}

// Entry 0 is the life pick-up, entry 1 the shell pick-up; the player steps place them.
void BuildItems(Game& game) {
  Scene& scene = *game.io.scene;
  constexpr std::array<const char*, kItems> kItemMeshes{"item.x", "item2.x"};
  for (int i = 0; i < kItems; ++i) {
    const MeshId mesh = LoadMesh(game, kItemMeshes[i]);
    game.itemFrame[i] = scene.CreateFrame(game.sceneFrame);
    scene.AddVisual(game.itemFrame[i], mesh);
    game.itemX[i] = kFreeSlot;
    game.itemZ[i] = 0;
  }
}

void LightScene(Game& game) {
  Scene& scene = *game.io.scene;
  const StageTable& stage = kStageTable[game.stageIndex];
  scene.AddLight(game.lightFrame, LightType::kPoint, stage.pointLight.r, stage.pointLight.g,
                 stage.pointLight.b);
  scene.AddLight(game.lightFrame, LightType::kAmbient, stage.ambientLight.r, stage.ambientLight.g,
                 stage.ambientLight.b);
  scene.SetPosition(game.lightFrame, kNoFrame, stage.lightPosition[0], stage.lightPosition[1],
                    stage.lightPosition[2]);
  game.meshBuilder = kNoMesh;
  scene.SetBack(kBackDistance);
  scene.SetSceneBackground(game.sceneFrame, 0.6f, 0.5f, 1.0f);  // a pale violet-blue sky
  scene.SetPosition(game.stageFrame, kNoFrame, 0, 2, 0);
  game.overviewTarget = game.stageFrame;
}

}  // namespace

void BuildBattleScene(Game& game) {
  // The previous battle's frames go; mesh data already read stays cached.
  game.io.scene->NewScene();
  game.io.display->ShowBattleArea(true);
  FillComputerSlots(game);
  CreateRootFrames(game);
  for (int p = 0; p < kPlayers; ++p) BuildPlayer(game, p);
  BuildShotSlots(game);
  BuildMineSlots(game);
  BuildNetSlots(game);
  BuildStarSlots(game);
  ResetWalls(game);
  BuildStage(game);
  BuildMovers(game);
  BuildItems(game);
  LightScene(game);
  StartQuietCount(game);
}

}  // namespace bf
