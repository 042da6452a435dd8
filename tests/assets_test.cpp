// The generated assets: every file the game reads is there, loads, and has the shape the game
// relies on (wall rectangles, loop points, picture layout), and assetgen makes the same bytes on
// every run.
#include <assimp/cimport.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "core/player_colours.h"
#include "platform/pixels/pictures.h"
#include "platform/sound/loudness.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

const fs::path kBin = BF_BIN_DIR;

const char* const kTanks[] = {"bear",      "fox",        "skunk", "pigtank", "momotank", "fish",
                              "mousetank", "spidertank", "pyon2", "wood",    "cattank"};
const char* const kOtherModels[] = {"rocket", "gass",   "shield", "water",  "pyon",  "shot",
                                    "mine",   "net",    "star",   "item",   "item2", "v",
                                    "stage1", "stage2", "stage3", "stage4", "stage5"};
const char* const kEffects[] = {"shot", "dam",    "reload", "life",   "win",  "bom",
                                "pyon", "rocket", "fox",    "spider", "fire", "momonga",
                                "fish", "shield", "cat",    "set",    "he"};

std::vector<std::string> AllModels() {
  std::vector<std::string> names(std::begin(kTanks), std::end(kTanks));
  names.insert(names.end(), std::begin(kOtherModels), std::end(kOtherModels));
  return names;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::uint32_t U32(const std::string& b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]) | static_cast<std::uint8_t>(b[at + 1]) << 8 |
         static_cast<std::uint8_t>(b[at + 2]) << 16 |
         static_cast<std::uint32_t>(static_cast<std::uint8_t>(b[at + 3])) << 24;
}
std::uint16_t U16(const std::string& b, std::size_t at) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(b[at]) |
                                    static_cast<std::uint8_t>(b[at + 1]) << 8);
}

// A model as the game's loader reads it: triangles in the file's own left-handed coordinates.
struct LoadedModel {
  const aiScene* scene = nullptr;
  explicit LoadedModel(const std::string& name) {
    std::string path = (kBin / "model" / (name + ".x")).string();
    scene = aiImportFile(path.c_str(), aiProcess_Triangulate | aiProcess_ConvertToLeftHanded);
  }
  ~LoadedModel() {
    if (scene) aiReleaseImport(scene);
  }
  LoadedModel(const LoadedModel&) = delete;
  LoadedModel& operator=(const LoadedModel&) = delete;
};

aiVector3D Cross(const aiVector3D& a, const aiVector3D& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

TEST(AssetFiles, EveryFileTheGameReadsExists) {
  for (const std::string& name : AllModels()) {
    EXPECT_TRUE(fs::is_regular_file(kBin / "model" / (name + ".x"))) << name;
  }
  for (const char* name : kEffects) {
    EXPECT_TRUE(fs::is_regular_file(kBin / "sound" / (std::string(name) + ".wav"))) << name;
  }
  for (const char* name : {"net.bmp", "star.bmp", "marker0.bmp", "marker1.bmp", "marker2.bmp",
                           "marker3.bmp", "sound/bgm0.wav", "sound/bgm1.wav"}) {
    EXPECT_TRUE(fs::is_regular_file(kBin / name)) << name;
  }
}

class ModelFile : public testing::TestWithParam<std::string> {};

// Loads with assimp, carries normals and materials, and every triangle is wound clockwise seen
// from the side its normals face (the front the renderer keeps when it culls back faces).
TEST_P(ModelFile, LoadsWithNormalsMaterialsAndFrontFacesOutwards) {
  const std::string text = ReadFile(kBin / "model" / (GetParam() + ".x"));
  ASSERT_EQ(text.rfind("xof 0303txt 0032", 0), 0u);
  LoadedModel model(GetParam());
  ASSERT_NE(model.scene, nullptr) << aiGetErrorString();
  ASSERT_GT(model.scene->mNumMeshes, 0u);
  ASSERT_GT(model.scene->mNumMaterials, 0u);
  int agree = 0, disagree = 0;
  for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
    const aiMesh* mesh = model.scene->mMeshes[m];
    ASSERT_TRUE(mesh->HasNormals());
    ASSERT_GT(mesh->mNumFaces, 0u);
    ASSERT_LT(mesh->mMaterialIndex, model.scene->mNumMaterials);
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      ASSERT_EQ(face.mNumIndices, 3u);
      aiVector3D a = mesh->mVertices[face.mIndices[0]], b = mesh->mVertices[face.mIndices[1]],
                 c = mesh->mVertices[face.mIndices[2]];
      aiVector3D n = mesh->mNormals[face.mIndices[0]] + mesh->mNormals[face.mIndices[1]] +
                     mesh->mNormals[face.mIndices[2]];
      // Left-handed: (b - a) x (c - a) points to the side from which a, b, c run clockwise.
      aiVector3D g = Cross(b - a, c - a);
      if (g.Length() < 1e-6f) continue;  // no area, nothing to draw
      (g * n > 0 ? agree : disagree) += 1;
    }
  }
  EXPECT_EQ(disagree, 0) << agree << " triangles agree";
}

INSTANTIATE_TEST_SUITE_P(AllModels, ModelFile, testing::ValuesIn(AllModels()));

// Not inside out: solid models turn their faces away from their middle, stages and the whirlpool
// turn their surface up towards the sky.
TEST(ModelFiles, FaceOutwards) {
  for (const std::string& name : AllModels()) {
    if (name == "net" || name == "star") continue;  // flat, drawn from both sides
    LoadedModel model(name);
    ASSERT_NE(model.scene, nullptr) << name;
    aiVector3D centre;
    unsigned count = 0;
    for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
      const aiMesh* mesh = model.scene->mMeshes[m];
      for (unsigned v = 0; v < mesh->mNumVertices; ++v) centre += mesh->mVertices[v];
      count += mesh->mNumVertices;
    }
    centre /= static_cast<float>(count);
    double outward = 0, upward = 0, total = 0;
    for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
      const aiMesh* mesh = model.scene->mMeshes[m];
      for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const aiFace& face = mesh->mFaces[f];
        aiVector3D a = mesh->mVertices[face.mIndices[0]], b = mesh->mVertices[face.mIndices[1]],
                   c = mesh->mVertices[face.mIndices[2]];
        aiVector3D g = Cross(b - a, c - a);
        double area = g.Length();
        if (area < 1e-6) continue;
        g /= static_cast<float>(area);
        aiVector3D middle = (a + b + c) / 3.0f - centre;
        outward += area * (g * middle > 0 ? 1 : -1);
        upward += area * g.y;
        total += area;
      }
    }
    if (name.rfind("stage", 0) == 0 || name == "water") {  // ground and whirlpool face up
      EXPECT_GT(upward / total, 0.5) << name;
    } else {
      EXPECT_GT(outward / total, 0.15) << name;  // inside out gives the opposite sign
    }
  }
}

struct Box {
  aiVector3D lo{1e9f, 1e9f, 1e9f}, hi{-1e9f, -1e9f, -1e9f};
};

Box Bounds(const aiScene* scene) {
  Box box;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned v = 0; v < mesh->mNumVertices; ++v) {
      const aiVector3D& p = mesh->mVertices[v];
      box.lo = {std::min(box.lo.x, p.x), std::min(box.lo.y, p.y), std::min(box.lo.z, p.z)};
      box.hi = {std::max(box.hi.x, p.x), std::max(box.hi.y, p.y), std::max(box.hi.z, p.z)};
    }
  }
  return box;
}

// Tanks stand on y = 0, are about 80 across, and point their gun (the far end) towards -z.
TEST(TankModels, StandOnTheGroundAtTankSizeFacingMinusZ) {
  for (const char* name : kTanks) {
    LoadedModel model(name);
    ASSERT_NE(model.scene, nullptr) << name;
    Box b = Bounds(model.scene);
    EXPECT_NEAR(b.lo.y, 0, 1.5) << name;
    EXPECT_GT(b.hi.x - b.lo.x, 60) << name;
    EXPECT_LT(b.hi.x - b.lo.x, 130) << name;
    EXPECT_LT(b.lo.z, -55) << name;  // the gun's muzzle
    EXPECT_LT(b.hi.y, 130) << name;
  }
}

// The net and star textures resolve beside the model folder and are 24-bit power-of-two BMPs
// with a black (transparent) background.
TEST(Textures, ResolveFromTheModelsAndAreBlackBackedBitmaps) {
  for (const char* name : {"net", "star"}) {
    LoadedModel model(name);
    ASSERT_NE(model.scene, nullptr);
    aiString texture;
    bool found = false;
    for (unsigned i = 0; i < model.scene->mNumMaterials && !found; ++i) {
      found =
          model.scene->mMaterials[i]->GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS;
    }
    ASSERT_TRUE(found) << name;
    std::string relative = texture.C_Str();
    std::replace(relative.begin(), relative.end(), '\\', '/');
    fs::path bmp = kBin / "model" / relative;
    ASSERT_TRUE(fs::is_regular_file(bmp)) << bmp;
    const std::string b = ReadFile(bmp);
    ASSERT_EQ(b.substr(0, 2), "BM");
    const std::uint32_t w = U32(b, 18), h = U32(b, 22);
    EXPECT_EQ(U16(b, 28), 24);
    EXPECT_EQ(w & (w - 1), 0u);
    EXPECT_EQ(h & (h - 1), 0u);
    const std::size_t pixels = U32(b, 10);
    std::size_t black = 0;
    for (std::size_t i = pixels; i + 2 < b.size(); i += 3) {
      black += b[i] == 0 && b[i + 1] == 0 && b[i + 2] == 0;
    }
    EXPECT_GT(black, w * h / 3) << name << ": mostly transparent around the motif";
    EXPECT_LT(black, w * h * 9 / 10) << name << ": the motif shows";
  }
}

bf::loudness::Wave ReadSound(const char* name) {
  bf::loudness::Wave wave;
  std::string error;
  const fs::path path = kBin / "sound" / (std::string(name) + ".wav");
  EXPECT_TRUE(bf::loudness::ReadWave(path.string(), &wave, &error)) << name << ": " << error;
  return wave;
}

double Seconds(const bf::loudness::Wave& w) {
  return w.rate > 0 ? static_cast<double>(w.frames()) / w.rate : 0;
}

// Levels, clipping and loop seams are soundcheck's (a test of its own); here, the files' shape.
TEST(SoundEffects, AreShortMonoFilesAt44100Hz) {
  for (const char* name : kEffects) {
    bf::loudness::Wave w = ReadSound(name);
    EXPECT_EQ(w.rate, 44100) << name;
    EXPECT_EQ(w.channels, 1) << name;
    EXPECT_GE(Seconds(w), 0.1) << name;
    EXPECT_LE(Seconds(w), std::string(name) == "win" ? 2.5 : 1.5) << name;
  }
}

// The battle track plays at least 90 s before it repeats.
TEST(Music, LoopsAreStereoAndTheBattleTrackIsLong) {
  struct Loop {
    const char* name;
    double minSeconds, maxSeconds;
  };
  for (const Loop& loop : {Loop{"bgm0", 30, 60}, Loop{"bgm1", 90, 120}}) {
    bf::loudness::Wave w = ReadSound(loop.name);
    EXPECT_EQ(w.rate, 44100) << loop.name;
    EXPECT_EQ(w.channels, 2) << loop.name;
    EXPECT_GE(Seconds(w), loop.minSeconds) << loop.name;
    EXPECT_LE(Seconds(w), loop.maxSeconds) << loop.name;
  }
}

// The pictures compiled into the game have the sizes and layout the selection screen cuts.
TEST(Pictures, HaveTheSizesAndLayoutTheSelectionScreenCuts) {
  const bf::EmbeddedPicture& title = bf::TitlePicture();
  const bf::EmbeddedPicture& sheet = bf::SpriteSheetPicture();
  EXPECT_EQ(title.width, 320);
  EXPECT_EQ(title.height, 120);
  ASSERT_EQ(sheet.width, 640);
  ASSERT_EQ(sheet.height, 150);
  auto pixel = [&sheet](int x, int y) {
    const std::uint8_t* p = sheet.rgb + (static_cast<std::size_t>(y) * sheet.width + x) * 3;
    return std::array<int, 3>{p[0], p[1], p[2]};
  };
  // Each player's marker shows that player's colour, the one every screen uses.
  for (int p = 0; p < 4; ++p) {
    const bf::Rgb colour = bf::kPlayerColours[p].outer;
    const std::array<int, 3> wanted{colour.r, colour.g, colour.b};
    bool seen = false;
    for (int y = 0; y < 20; ++y) {
      for (int x = 0; x < 10; ++x) seen |= pixel(600 + 10 * p + x, y) == wanted;
    }
    EXPECT_TRUE(seen) << "marker " << p;
  }
  // Icons and stage pictures are all different pictures.
  auto region = [&](int x0, int y0, int w, int h) {
    std::vector<std::uint8_t> out;
    for (int y = y0; y < y0 + h; ++y) {
      const std::uint8_t* row = sheet.rgb + (static_cast<std::size_t>(y) * sheet.width + x0) * 3;
      out.insert(out.end(), row, row + w * 3);
    }
    return out;
  };
  for (int t = 0; t < 11; ++t) {
    for (int u = t + 1; u < 11; ++u) {
      EXPECT_NE(region(50 * t, 0, 50, 50), region(50 * u, 0, 50, 50)) << t << " " << u;
    }
  }
  for (int s = 0; s < 5; ++s) {
    for (int u = s + 1; u < 5; ++u) {
      EXPECT_NE(region(100 * s, 50, 100, 100), region(100 * u, 50, 100, 100)) << s << " " << u;
    }
  }
}

// Height of the highest surface of the stage mesh above a world point, found by a vertical ray
// (the mesh is drawn seven times larger than the file).
float SurfaceHeight(const aiScene* scene, float worldX, float worldZ) {
  const float x = worldX / 7, z = worldZ / 7;
  float best = -1e9f;
  for (unsigned m = 0; m < scene->mNumMeshes; ++m) {
    const aiMesh* mesh = scene->mMeshes[m];
    for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
      const aiFace& face = mesh->mFaces[f];
      aiVector3D a = mesh->mVertices[face.mIndices[0]], b = mesh->mVertices[face.mIndices[1]],
                 c = mesh->mVertices[face.mIndices[2]];
      float d = (b.x - a.x) * (c.z - a.z) - (b.z - a.z) * (c.x - a.x);
      if (std::fabs(d) < 1e-9f) continue;  // a vertical face
      float u = ((x - a.x) * (c.z - a.z) - (z - a.z) * (c.x - a.x)) / d;
      float v = ((b.x - a.x) * (z - a.z) - (b.z - a.z) * (x - a.x)) / d;
      if (u < 0 || v < 0 || u + v > 1) continue;
      best = std::max(best, a.y + u * (b.y - a.y) + v * (c.y - a.y));
    }
  }
  return best;
}

struct Rect {
  float x, width, z, depth;
  bool Contains(float px, float pz, float margin) const {
    return px > x - margin && px < x + width + margin && pz > z - margin && pz < z + depth + margin;
  }
};

struct StageCase {
  const char* model;
  std::vector<Rect> rects;
  float minInside, maxInside;  // file units
};

// Points inside each wall rectangle meet the wall (stage 3) or the pool (stage 4); points near
// it outside meet the plain ground.
TEST(StageModels, WallRectanglesMatchTheMeshes) {
  const StageCase cases[] = {
      {"stage3",
       {{-470, 130, -470, 360},
        {-470, 940, -470, 140},
        {330, 130, -470, 360},
        {-470, 130, 80, 390},
        {-470, 940, 330, 140},
        {330, 130, 80, 390}},
       3,
       4},
      {"stage4",
       {{200, 450, 200, 450}, {200, 450, -650, 450}, {-650, 450, -650, 450}, {-650, 450, 200, 450}},
       -5,
       -0.7f},
  };
  for (const StageCase& c : cases) {
    LoadedModel model(c.model);
    ASSERT_NE(model.scene, nullptr) << c.model;
    for (const Rect& r : c.rects) {
      const float inset = 15;
      const float xs[] = {r.x + inset, r.x + r.width / 2, r.x + r.width - inset};
      const float zs[] = {r.z + inset, r.z + r.depth / 2, r.z + r.depth - inset};
      for (float x : xs) {
        for (float z : zs) {
          float h = SurfaceHeight(model.scene, x, z);
          EXPECT_GE(h, c.minInside) << c.model << " inside at " << x << "," << z;
          EXPECT_LE(h, c.maxInside) << c.model << " inside at " << x << "," << z;
        }
      }
      const float gap = 30;
      const float around[][2] = {{r.x - gap, r.z + r.depth / 2},
                                 {r.x + r.width + gap, r.z + r.depth / 2},
                                 {r.x + r.width / 2, r.z - gap},
                                 {r.x + r.width / 2, r.z + r.depth + gap}};
      for (const auto& p : around) {
        if (std::fabs(p[0]) > 740 || std::fabs(p[1]) > 740) continue;
        bool in_other = std::any_of(c.rects.begin(), c.rects.end(),
                                    [&](const Rect& o) { return o.Contains(p[0], p[1], 5); });
        if (in_other) continue;
        EXPECT_NEAR(SurfaceHeight(model.scene, p[0], p[1]), 0, 0.35f)
            << c.model << " outside at " << p[0] << "," << p[1];
      }
    }
    // The open field elsewhere is flat ground.
    EXPECT_NEAR(SurfaceHeight(model.scene, 0, 0), 0, 0.35f) << c.model;
    EXPECT_NEAR(SurfaceHeight(model.scene, -700, 0), 0, 0.35f) << c.model;
  }
}

// Inside the field, away from the wall rectangles, every stage is flat ground at y = 0 (the
// stage-5 conveyor bands lie a little above it): nothing there looks like an obstacle that the
// tanks would drive through.
TEST(StageModels, FieldIsOpenGroundAwayFromTheWalls) {
  const std::vector<Rect> no_rects;
  const std::vector<Rect> ring = {{-470, 130, -470, 360}, {-470, 940, -470, 140},
                                  {330, 130, -470, 360},  {-470, 130, 80, 390},
                                  {-470, 940, 330, 140},  {330, 130, 80, 390}};
  const std::vector<Rect> pools = {
      {200, 450, 200, 450}, {200, 450, -650, 450}, {-650, 450, -650, 450}, {-650, 450, 200, 450}};
  struct Case {
    const char* model;
    const std::vector<Rect>* rects;
    float highest;  // file units
  };
  const Case cases[] = {{"stage1", &no_rects, 0.35f},
                        {"stage2", &no_rects, 0.35f},
                        {"stage3", &ring, 0.35f},
                        {"stage4", &pools, 0.35f},
                        {"stage5", &no_rects, 0.7f}};
  for (const Case& c : cases) {
    LoadedModel model(c.model);
    ASSERT_NE(model.scene, nullptr) << c.model;
    for (float x = -700; x <= 700; x += 70) {
      for (float z = -700; z <= 700; z += 70) {
        bool near_rect = std::any_of(c.rects->begin(), c.rects->end(),
                                     [&](const Rect& r) { return r.Contains(x, z, 20); });
        if (near_rect) continue;
        float h = SurfaceHeight(model.scene, x, z);
        EXPECT_GE(h, -0.05f) << c.model << " at " << x << "," << z;
        EXPECT_LE(h, c.highest) << c.model << " at " << x << "," << z;
      }
    }
  }
}

// A region of the ground in world units (a convex outline) and how high the stage may rise
// there above the ground.
struct Zone {
  std::string what;
  std::vector<std::array<float, 2>> outline;  // counter-clockwise in x, z
  float highest;
};

Zone Square(std::string what, float x0, float z0, float x1, float z1, float highest) {
  return {std::move(what), {{x0, z0}, {x1, z0}, {x1, z1}, {x0, z1}}, highest};
}

// The strip of ground from a tank's start to its camera, as wide as a tank.
Zone Corridor(std::string what, float x, float z, float headingDegrees, float highest) {
  const float h = headingDegrees * 3.14f / 180, c = std::cos(h), s = std::sin(h);
  const float back = 300, half = 60;
  const float bx = x - back * c, bz = z - back * s;
  std::vector<std::array<float, 2>> o = {{x - half * s, z + half * c},
                                         {x + half * s, z - half * c},
                                         {bx + half * s, bz - half * c},
                                         {bx - half * s, bz + half * c}};
  float area = 0;
  for (std::size_t i = 0; i < o.size(); ++i) {
    const auto& p = o[i];
    const auto& q = o[(i + 1) % o.size()];
    area += p[0] * q[1] - q[0] * p[1];
  }
  if (area < 0) std::reverse(o.begin(), o.end());
  return {std::move(what), o, highest};
}

// Where each player must always see their own tank: around the starts and on the way to their
// cameras, in the band the tanks' bodies reach at the field's edge, and everywhere the camera
// can go (300 behind a tank at the edge, and its shake).
std::vector<Zone> ClearZones() {
  const float kLow = 20, kGround = 3, kRingWalls = 40;
  const float starts[4][3] = {
      {-750, -750, 235}, {750, -750, 315}, {-750, 750, 135}, {750, 750, 45}};
  std::vector<Zone> zones;
  for (const auto& s : starts) {
    const std::string at = std::to_string(int(s[0])) + "," + std::to_string(int(s[1]));
    zones.push_back(
        Square("near the start " + at, s[0] - 150, s[1] - 150, s[0] + 150, s[1] + 150, kLow));
    zones.push_back(Corridor("from the start " + at + " to its camera", s[0], s[1], s[2], kLow));
  }
  const float band0 = 700, band1 = 800, reach = 1060;
  zones.push_back(Square("in the band x > 700", band0, -band1, band1, band1, kGround));
  zones.push_back(Square("in the band x < -700", -band1, -band1, -band0, band1, kGround));
  zones.push_back(Square("in the band z > 700", -band1, band0, band1, band1, kGround));
  zones.push_back(Square("in the band z < -700", -band1, -band1, band1, -band0, kGround));
  zones.push_back(Square("in the camera's reach, x > 700", band0, -reach, reach, reach, kLow));
  zones.push_back(Square("in the camera's reach, x < -700", -reach, -reach, -band0, reach, kLow));
  zones.push_back(Square("in the camera's reach, z > 700", -reach, band0, reach, reach, kLow));
  zones.push_back(Square("in the camera's reach, z < -700", -reach, -reach, reach, -band0, kLow));
  zones.push_back(Square("in the field", -band0, -band0, band0, band0, kRingWalls));
  return zones;
}

float Height(const aiVector3D& p) {
  return p.y;
}

// The highest `rise` of a triangle (x, height, z) over a zone: the triangle is clipped to the
// zone's outline one edge at a time. `rise` is linear, so the clipped corners hold its highest.
// Below -1e8 when the triangle lies outside.
template <typename Rise = float (*)(const aiVector3D&)>
float HighestOver(std::vector<aiVector3D> polygon, const Zone& zone, Rise rise = Height) {
  const std::size_t n = zone.outline.size();
  for (std::size_t e = 0; e < n && !polygon.empty(); ++e) {
    const auto& a = zone.outline[e];
    const auto& b = zone.outline[(e + 1) % n];
    auto side = [&](const aiVector3D& p) {
      return (b[0] - a[0]) * (p.z - a[1]) - (b[1] - a[1]) * (p.x - a[0]);
    };
    std::vector<aiVector3D> kept;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
      const aiVector3D& p = polygon[i];
      const aiVector3D& q = polygon[(i + 1) % polygon.size()];
      const float sp = side(p), sq = side(q);
      if (sp >= 0) kept.push_back(p);
      if ((sp >= 0) != (sq >= 0)) kept.push_back(p + (q - p) * (sp / (sp - sq)));
    }
    polygon = std::move(kept);
  }
  float highest = -1e9f;
  for (const aiVector3D& p : polygon) highest = std::max(highest, rise(p));
  return highest;
}

// No stage rises where a player must see their own tank: the ring walls of stage index 2 stay at
// most 40 high, nothing taller than 20 stands where the camera can go or near the starts, and
// the fence leaves the band the tanks' bodies reach to the ground.
TEST(StageModels, KeepClearWhereThePlayersLook) {
  const std::vector<Zone> zones = ClearZones();
  for (const char* name : {"stage1", "stage2", "stage3", "stage4", "stage5"}) {
    LoadedModel model(name);
    ASSERT_NE(model.scene, nullptr) << name;
    std::vector<float> highest(zones.size(), -1e9f);
    for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
      const aiMesh* mesh = model.scene->mMeshes[m];
      for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        std::vector<aiVector3D> triangle;
        for (unsigned k = 0; k < 3; ++k) {
          triangle.push_back(mesh->mVertices[mesh->mFaces[f].mIndices[k]] * 7.0f);
        }
        for (std::size_t z = 0; z < zones.size(); ++z) {
          highest[z] = std::max(highest[z], HighestOver(triangle, zones[z]));
        }
      }
    }
    for (std::size_t z = 0; z < zones.size(); ++z) {
      EXPECT_LE(highest[z], zones[z].highest) << name << " " << zones[z].what;
    }
  }
}

// Along its middle every tank stays under the line from its camera (300 behind, 120 up) to the
// top of a mine 145 ahead, so what it launches and lays ahead shows in its own view.
TEST(TankModels, StayUnderTheirCamerasSightLine) {
  const Zone middle = Square("the tank's middle", -8, -200, 8, 200, 0);
  const auto above_sight = [](const aiVector3D& p) {
    const float ahead = -p.z;
    return p.y - (120 - 110 * (300 + ahead) / 445);
  };
  for (const char* name : kTanks) {
    LoadedModel model(name);
    ASSERT_NE(model.scene, nullptr) << name;
    float highest = -1e9f;
    for (unsigned m = 0; m < model.scene->mNumMeshes; ++m) {
      const aiMesh* mesh = model.scene->mMeshes[m];
      for (unsigned f = 0; f < mesh->mNumFaces; ++f) {
        const unsigned* k = mesh->mFaces[f].mIndices;
        highest = std::max(highest, HighestOver({mesh->mVertices[k[0]], mesh->mVertices[k[1]],
                                                 mesh->mVertices[k[2]]},
                                                middle, above_sight));
      }
    }
    EXPECT_LE(highest, 0) << name << " rises above the sight line";
  }
}

// A fresh run of assetgen writes exactly the bytes the build placed beside the game.
TEST(AssetGenerator, WritesTheSameBytesOnEveryRun) {
  // A folder of its own: the shuffled run of the whole binary may run this test beside its
  // single-test run.
  const bf::TempDir dir;
  ASSERT_FALSE(dir.path().empty());
  const fs::path out = dir.path();
  const std::string command = (kBin / "assetgen").string() + " --out " + out.string();
  ASSERT_EQ(std::system(command.c_str()), 0);
  int compared = 0;
  for (const auto& entry : fs::recursive_directory_iterator(out)) {
    if (!entry.is_regular_file()) continue;
    const fs::path relative = fs::relative(entry.path(), out);
    EXPECT_EQ(ReadFile(entry.path()), ReadFile(kBin / relative)) << relative;
    ++compared;
  }
  EXPECT_EQ(compared, 29 + 6 + 17 + 2);  // models, textures, sounds, music
}

}  // namespace
