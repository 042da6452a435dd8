// The five stages, in file units (the game scales them by 7). The ground surface is y = 0; the
// field -750..750 of the world is -107..107 here, fenced, with scenery outside.
//
// Every player must always see their own tank from its camera, 300 behind and 120 up. So the
// fence stands beyond where a tank's body can reach, everything the camera can come near stays
// low (kLowest), and the tall scenery begins only beyond where the camera can go (kSceneryStart).
#include <algorithm>
#include <cmath>
#include <cstdint>

#include "models.h"

namespace assetgen {
namespace {

constexpr float kField = 750 / kStageScale;  // half the field's width in file units
constexpr float kWorldEdge = 330;            // the ground reaches this far
// The inner face of fences and ramparts: beyond the 800 that a tank's body reaches at the edge.
constexpr float kFenceLine = 806 / kStageScale;
// How tall anything within the camera's reach may be: a tank behind it still shows.
constexpr float kLowest = 19 / kStageScale;
// The camera goes at most 300 (and a shake) beyond the field's edge at 750.
constexpr float kSceneryStart = 1100 / kStageScale;

// Fixed-seed generator so that scenery is placed the same on every run.
class Scatter {
 public:
  explicit Scatter(std::uint32_t seed) : state_(seed) {}
  float Next() {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) / 16777216.0f;
  }
  float Range(float lo, float hi) { return lo + (hi - lo) * Next(); }
  // A point in the ring between `inner` and `outer` (square distance), outside the field.
  void Outside(float inner, float outer, float* x, float* z) {
    do {
      *x = Range(-outer, outer);
      *z = Range(-outer, outer);
    } while (std::max(std::fabs(*x), std::fabs(*z)) < inner);
  }

 private:
  std::uint32_t state_;
};

// A flat rectangle at height y facing up.
void Flat(Mesh* m, float x0, float z0, float x1, float z1, float y, const Material& mat) {
  m->Surface(
      mat, 1, 1,
      [=](float u, float v) {
        return Vec3{x0 + (x1 - x0) * u, y, z0 + (z1 - z0) * v};
      },
      true);
}

struct Hole {
  float x0, z0, x1, z1;
};

// The field's ground as a checkerboard of `tiles` x `tiles` squares, cut along the edges of
// `holes` (which are left open), and the plain ground around it out to kWorldEdge.
void Ground(Mesh* m, const Material& a, const Material& b, const Material& outer, int tiles,
            const std::vector<Hole>& holes = {}) {
  std::vector<float> cuts;
  const float step = 2 * kField / tiles;
  for (int i = 0; i <= tiles; ++i) cuts.push_back(-kField + i * step);
  for (const Hole& h : holes) {
    cuts.insert(cuts.end(), {h.x0, h.x1, h.z0, h.z1});
  }
  std::sort(cuts.begin(), cuts.end());
  cuts.erase(std::unique(cuts.begin(), cuts.end(),
                         [](float p, float q) { return std::fabs(p - q) < 1e-4f; }),
             cuts.end());
  for (std::size_t i = 0; i + 1 < cuts.size(); ++i) {
    for (std::size_t j = 0; j + 1 < cuts.size(); ++j) {
      float cx = (cuts[i] + cuts[i + 1]) / 2, cz = (cuts[j] + cuts[j + 1]) / 2;
      bool open = false;
      for (const Hole& h : holes) {
        if (cx > h.x0 && cx < h.x1 && cz > h.z0 && cz < h.z1) open = true;
      }
      if (open) continue;
      int ti = static_cast<int>(std::floor((cx + kField) / step));
      int tj = static_cast<int>(std::floor((cz + kField) / step));
      Flat(m, cuts[i], cuts[j], cuts[i + 1], cuts[j + 1], 0, (ti + tj) % 2 ? a : b);
    }
  }
  Flat(m, -kWorldEdge, -kWorldEdge, kWorldEdge, -kField, 0, outer);
  Flat(m, -kWorldEdge, kField, kWorldEdge, kWorldEdge, 0, outer);
  Flat(m, -kWorldEdge, -kField, -kField, kField, 0, outer);
  Flat(m, kField, -kField, kWorldEdge, kField, 0, outer);
}

// A fence of low posts and two rails round the field; `gap` leaves openings in the x sides for
// |z| in [gapFrom, gapTo] (the stage-5 roads).
void Fence(Mesh* m, const Material& post, const Material& rail, float gapFrom = 1e9f,
           float gapTo = 1e9f) {
  const float e = kFenceLine + 0.6f;
  const int posts = 18;
  for (int i = 0; i <= posts; ++i) {
    float t = -e + 2 * e * i / posts;
    for (int s = -1; s <= 1; s += 2) {
      m->Box(Place({t, kLowest / 2, s * e}, {1.2f, kLowest, 1.2f}), post);
      bool in_gap = std::fabs(t) > gapFrom - 1 && std::fabs(t) < gapTo + 1;
      if (!in_gap) m->Box(Place({s * e, kLowest / 2, t}, {1.2f, kLowest, 1.2f}), post);
    }
  }
  for (float y : {1.0f, 2.0f}) {
    for (int s = -1; s <= 1; s += 2) {
      m->Box(Place({0, y, s * e}, {2 * e, 0.5f, 0.5f}), rail);
      if (gapFrom > e) {
        m->Box(Place({s * e, y, 0}, {0.5f, 0.5f, 2 * e}), rail);
      } else {  // three pieces between the two roads and outside them
        m->Box(Place({s * e, y, 0}, {0.5f, 0.5f, 2 * gapFrom}), rail);
        for (int r = -1; r <= 1; r += 2) {
          float z0 = gapTo, z1 = e;
          m->Box(Place({s * e, y, r * (z0 + z1) / 2}, {0.5f, 0.5f, z1 - z0}), rail);
        }
      }
    }
  }
}

void Tree(Mesh* m, float x, float z, float size) {
  m->Tube(Place({x, 2 * size, z}, {1.6f * size, 4 * size, 1.6f * size}), Paint(Rgb(120, 80, 45)),
          8);
  m->Tube(Place({x, 6 * size, z}, {9 * size, 7 * size, 9 * size}), Paint(Rgb(50, 140, 60)), 10, 0);
  m->Tube(Place({x, 9.5f * size, z}, {7 * size, 6 * size, 7 * size}), Paint(Rgb(70, 165, 70)), 10,
          0);
}

Mesh Meadow() {
  Mesh m("stage1");
  Ground(&m, Paint(Rgb(120, 195, 85)), Paint(Rgb(100, 178, 72)), Paint(Rgb(85, 160, 65)), 12);
  Fence(&m, Paint(Rgb(150, 105, 60)), Paint(Rgb(190, 145, 90)));
  Scatter rng(11);
  for (int i = 0; i < 70; ++i) {
    float x, z;
    rng.Outside(kSceneryStart + 9, 290, &x, &z);
    Tree(&m, x, z, rng.Range(0.9f, 1.8f));
  }
  for (int i = 0; i < 10; ++i) {  // rolling hills far away
    float x, z;
    rng.Outside(200, 320, &x, &z);
    float r = rng.Range(40, 80);
    m.Sphere(Place({x, 0, z}, {r, r * 0.5f, r}), Paint(Rgb(95, 170, 80)), 16, 6, 0, 90);
  }
  for (int i = 0; i < 40; ++i) {  // flowers outside the fence
    float x, z;
    rng.Outside(kFenceLine + 3, 135, &x, &z);
    Colour c = i % 3 == 0 ? Rgb(250, 90, 120) : i % 3 == 1 ? Rgb(255, 230, 80) : Rgb(250, 250, 255);
    m.Sphere(Place({x, 0.6f, z}, {1.6f, 1.2f, 1.6f}), Paint(c, 0.1f), 6, 4);
  }
  return m;
}

Mesh Desert() {
  Mesh m("stage2");
  // The light hangs low over the middle of this stage: paler sand would burn out under it.
  Ground(&m, Paint(Rgb(212, 182, 128)), Paint(Rgb(198, 168, 115)), Paint(Rgb(200, 165, 110)), 12);
  const Material stone = Paint(Rgb(190, 150, 105)), cactus = Paint(Rgb(70, 150, 70));
  // A low wall of sandstone blocks round the field.
  const float line = kFenceLine + 1.5f;
  const int blocks = 26;
  for (int i = 0; i < blocks; ++i) {
    float t = -line + (i + 0.5f) * 2 * line / blocks;
    for (int s = -1; s <= 1; s += 2) {
      float h = kLowest - (i % 3) * 0.35f;
      m.Box(Place({t, h / 2, s * line}, {2 * line / blocks - 0.4f, h, 3}), stone);
      m.Box(Place({s * line, h / 2, t}, {3, h, 2 * line / blocks - 0.4f}), stone);
    }
  }
  Scatter rng(22);
  for (int i = 0; i < 40; ++i) {
    float x, z;
    rng.Outside(kSceneryStart + 6, 280, &x, &z);
    float s = rng.Range(0.8f, 1.5f);
    m.Tube(Place({x, 5 * s, z}, {3 * s, 10 * s, 3 * s}), cactus, 8);
    m.Sphere(Place({x, 10 * s, z}, {3 * s, 3 * s, 3 * s}), cactus, 8, 4, 0, 90);
    m.Tube(Segment({x, 5 * s, z}, {x + 3.5f * s, 5 * s, z}, 1 * s), cactus, 6);
    m.Tube(Segment({x + 3.5f * s, 4.5f * s, z}, {x + 3.5f * s, 8 * s, z}, 1 * s), cactus, 6);
  }
  const Vec3 pyramids[] = {{-190, 0, 230}, {-120, 0, 260}, {210, 0, -220}, {250, 0, 160}};
  const float size[] = {70, 45, 80, 55};
  for (int i = 0; i < 4; ++i) {
    m.Tube(Place(pyramids[i] + Vec3{0, size[i] * 0.32f, 0},
                 {size[i] * 1.4f, size[i] * 0.64f, size[i] * 1.4f}, {0, 45, 0}),
           Paint(Rgb(225, 180, 110)), 4, 0);
  }
  for (int i = 0; i < 8; ++i) {  // flat-topped mesas
    float x, z;
    rng.Outside(kSceneryStart + 20, 310, &x, &z);
    float r = rng.Range(20, 40), h = rng.Range(12, 25);
    m.Tube(Place({x, h / 2, z}, {r, h, r * 0.8f}), Paint(Rgb(200, 120, 80)), 10, 0.8f);
  }
  return m;
}

const std::vector<WallRect> kRingWalls = {{-470, 130, -470, 360}, {-470, 940, -470, 140},
                                          {330, 130, -470, 360},  {-470, 130, 80, 390},
                                          {-470, 940, 330, 140},  {330, 130, 80, 390}};
const std::vector<WallRect> kCornerPools = {
    {200, 450, 200, 450}, {200, 450, -650, 450}, {-650, 450, -650, 450}, {-650, 450, 200, 450}};
const std::vector<WallRect> kNoRects;

Hole FileRect(const WallRect& w) {
  return {w.x / kStageScale, w.z / kStageScale, (w.x + w.width) / kStageScale,
          (w.z + w.depth) / kStageScale};
}

Mesh Fortress() {
  Mesh m("stage3");
  Ground(&m, Paint(Rgb(175, 175, 182)), Paint(Rgb(158, 160, 168)), Paint(Rgb(120, 130, 110)), 12);
  const Material brick = Paint(Rgb(185, 95, 65)), cap = Paint(Rgb(205, 120, 80));
  for (const WallRect& w : kRingWalls) {
    Hole r = FileRect(w);
    float cx = (r.x0 + r.x1) / 2, cz = (r.z0 + r.z1) / 2;
    m.Box(
        Place({cx, (kRingWallHeight - 1) / 2, cz}, {r.x1 - r.x0, kRingWallHeight - 1, r.z1 - r.z0}),
        brick);
    m.Box(Place({cx, kRingWallHeight - 0.5f, cz}, {r.x1 - r.x0, 1, r.z1 - r.z0}), cap);
  }
  const Material wall = Paint(Rgb(150, 150, 160)), roof = Paint(Rgb(90, 100, 150));
  // The outer rampart, low and capped.
  const Material coping = Paint(Rgb(185, 185, 195));
  const float line = kFenceLine + 1.5f, body = kLowest - 0.5f;
  for (int s = -1; s <= 1; s += 2) {
    m.Box(Place({0, body / 2, s * line}, {2 * line + 3, body, 3}), wall);
    m.Box(Place({s * line, body / 2, 0}, {3, body, 2 * line - 3}), wall);
    m.Box(Place({0, body + 0.25f, s * line}, {2 * line + 3.6f, 0.5f, 3.6f}), coping);
    m.Box(Place({s * line, body + 0.25f, 0}, {3.6f, 0.5f, 2 * line - 3}), coping);
  }
  // The gate towers stand out in the town, in the middle of each side, beyond the camera's reach.
  const float tower = kSceneryStart + 10;
  const Vec3 towers[] = {{tower, 0, 0}, {-tower, 0, 0}, {0, 0, tower}, {0, 0, -tower}};
  for (const Vec3& at : towers) {
    m.Tube(Place(at + Vec3{0, 8, 0}, {12, 16, 12}), wall, 12);
    m.Tube(Place(at + Vec3{0, 19, 0}, {15, 8, 15}), roof, 12, 0);
  }
  Scatter rng(33);
  for (int i = 0; i < 40; ++i) {  // a town around the fortress
    float x, z;
    rng.Outside(kSceneryStart + 15, 300, &x, &z);
    float w = rng.Range(10, 20), d = rng.Range(10, 20), h = rng.Range(8, 20);
    Colour c = i % 3 == 0   ? Rgb(230, 220, 190)
               : i % 3 == 1 ? Rgb(200, 180, 160)
                            : Rgb(215, 200, 215);
    m.Box(Place({x, h / 2, z}, {w, h, d}), Paint(c));
    m.Tube(Place({x, h + 3, z}, {w * 1.45f, 6, d * 1.45f}, {0, 45, 0}), Paint(Rgb(170, 70, 55)), 4,
           0);
  }
  return m;
}

Mesh Volcano() {
  Mesh m("stage4");
  std::vector<Hole> pools;
  for (const WallRect& w : kCornerPools) pools.push_back(FileRect(w));
  Ground(&m, Paint(Rgb(215, 200, 185)), Paint(Rgb(198, 182, 168)), Paint(Rgb(150, 130, 120)), 12,
         pools);
  const Material lava = Paint(Rgb(255, 140, 40), 0.85f), crust = Paint(Rgb(90, 50, 40), 0.1f);
  // The light of this stage burns red from below at ten times full strength: every face that
  // turns towards it glows, so everything but the ground is painted dark.
  const Material side = Paint(Rgb(50, 25, 20), 0.2f), rim = Paint(Rgb(45, 35, 35));
  Scatter rng(44);
  for (const Hole& p : pools) {
    Flat(&m, p.x0, p.z0, p.x1, p.z1, kPoolSurface, lava);
    // The pit's four inner walls, facing into the pool.
    m.Surface(
        side, 1, 1,
        [&](float u, float v) {
          return Vec3{p.x0 + (p.x1 - p.x0) * u, -v * 1.5f, p.z0};
        },
        true);
    m.Surface(
        side, 1, 1,
        [&](float u, float v) {
          return Vec3{p.x0 + (p.x1 - p.x0) * u, -v * 1.5f, p.z1};
        },
        false);
    m.Surface(
        side, 1, 1,
        [&](float u, float v) {
          return Vec3{p.x0, -v * 1.5f, p.z0 + (p.z1 - p.z0) * u};
        },
        false);
    m.Surface(
        side, 1, 1,
        [&](float u, float v) {
          return Vec3{p.x1, -v * 1.5f, p.z0 + (p.z1 - p.z0) * u};
        },
        true);
    for (int k = 0; k < 7; ++k) {  // cooling crusts floating on the lava
      float x = rng.Range(p.x0 + 6, p.x1 - 6), z = rng.Range(p.z0 + 6, p.z1 - 6);
      float r = rng.Range(3, 7);
      m.Tube(Place({x, kPoolSurface + 0.1f, z}, {r * 1.3f, 0.2f, r}), crust, 8);
    }
    // A kerb of low stones just outside the pool.
    const float e = 0.7f;
    m.Box(Place({(p.x0 + p.x1) / 2, 0.15f, p.z0 - e / 2}, {p.x1 - p.x0 + 2 * e, 0.3f, e}), rim);
    m.Box(Place({(p.x0 + p.x1) / 2, 0.15f, p.z1 + e / 2}, {p.x1 - p.x0 + 2 * e, 0.3f, e}), rim);
    m.Box(Place({p.x0 - e / 2, 0.15f, (p.z0 + p.z1) / 2}, {e, 0.3f, p.z1 - p.z0}), rim);
    m.Box(Place({p.x1 + e / 2, 0.15f, (p.z0 + p.z1) / 2}, {e, 0.3f, p.z1 - p.z0}), rim);
  }
  Fence(&m, Paint(Rgb(40, 30, 35)), Paint(Rgb(60, 45, 20), 0.3f));
  for (int i = 0; i < 6; ++i) {  // volcanoes with glowing craters
    float x, z;
    rng.Outside(kSceneryStart + 45, 310, &x, &z);
    float r = rng.Range(50, 90), h = rng.Range(30, 55);
    m.Tube(Place({x, h / 2, z}, {r, h, r}), Paint(Rgb(45, 28, 30)), 14, 0.25f);
    m.Tube(Place({x, h + 0.1f, z}, {r * 0.22f, 0.4f, r * 0.22f}), lava, 12);
  }
  for (int i = 0; i < 40; ++i) {
    float x, z;
    rng.Outside(kSceneryStart + 7, 300, &x, &z);
    float s = rng.Range(3, 9);
    m.Sphere(Place({x, 0, z}, {s * 1.4f, s, s * 1.2f}, {0, rng.Range(0, 90), 0}),
             Paint(Rgb(50, 35, 35)), 6, 4, 0, 90);
  }
  return m;
}

Mesh Factory() {
  Mesh m("stage5");
  const float band0 = 350 / kStageScale, band1 = 525 / kStageScale;
  // The light of this stage is twice as strong: darker paint keeps it from washing out.
  Ground(&m, Paint(Rgb(82, 88, 98)), Paint(Rgb(70, 75, 85)), Paint(Rgb(58, 60, 66)), 12);
  const Material belt = Paint(Rgb(38, 38, 44)), arrow = Paint(Rgb(255, 200, 30), 0.4f);
  const Material rail = Paint(Rgb(230, 170, 20)), wall = Paint(Rgb(120, 125, 135));
  const float road = 2180 / kStageScale + 12;
  for (int s = -1; s <= 1; s += 2) {
    float z0 = s * band0, z1 = s * band1;
    Flat(&m, -road, std::min(z0, z1), road, std::max(z0, z1), 0.1f, belt);
    // Kerbs low enough to read as markings on the ground where the tanks drive.
    m.Box(Place({0, 0.2f, z0}, {2 * road, 0.4f, 0.8f}), rail);
    m.Box(Place({0, 0.2f, z1}, {2 * road, 0.4f, 0.8f}), rail);
    // Chevrons point the way the band pushes: +x on the far side (z > 0), -x on the near side.
    for (float x = -road + 8; x < road - 4; x += 14) {
      for (float dz : {-6.0f, 6.0f}) {
        float zc = s * (band0 + band1) / 2 + dz;
        Xf at = Place({x, 0.2f, zc}, {static_cast<float>(s), 1, 0.2f}, {90, 0, 0});
        m.Prism(at, arrow, {{0, -4}, {5, 0}, {0, 4}});
        m.Prism(at, arrow, {{-5, -1.3f}, {0, -1.3f}, {0, 1.3f}, {-5, 1.3f}});
      }
    }
  }
  Fence(&m, Paint(Rgb(70, 75, 85)), Paint(Rgb(230, 180, 30)), band0, band1);
  Scatter rng(55);
  for (int i = 0; i < 30; ++i) {  // halls and chimneys beyond the roads
    float x = rng.Range(-300, 300), z = rng.Range(kSceneryStart + 15, 300) * (i % 2 ? 1 : -1);
    float w = rng.Range(20, 40), d = rng.Range(15, 30), h = rng.Range(10, 28);
    m.Box(Place({x, h / 2, z}, {w, h, d}), wall);
    m.Box(Place({x, h + 0.5f, z}, {w + 1, 1, d + 1}), Paint(Rgb(200, 80, 50)));
    if (i % 3 == 0) {
      m.Tube(Place({x + w / 3, h + 12, z}, {4, 24, 4}), Paint(Rgb(170, 60, 50)), 10);
      m.Tube(Place({x + w / 3, h + 24.5f, z}, {4.4f, 1, 4.4f}), Paint(Rgb(240, 240, 240)), 10);
    }
  }
  for (int i = 0; i < 14; ++i) {  // crates at the sides outside the fence
    float x = (i % 2 ? 1 : -1) * rng.Range(kFenceLine + 5, 140), z = rng.Range(-40, 40);
    m.Box(Place({x, kLowest / 2, z}, {kLowest, kLowest, kLowest}, {0, rng.Range(0, 90), 0}),
          Paint(Rgb(190, 140, 80)));
  }
  return m;
}

}  // namespace

const std::vector<WallRect>& StageRects(int stage) {
  return stage == 2 ? kRingWalls : stage == 3 ? kCornerPools : kNoRects;
}

Mesh BuildStage(int stage) {
  switch (stage) {
    case 0:
      return Meadow();
    case 1:
      return Desert();
    case 2:
      return Fortress();
    case 3:
      return Volcano();
    default:
      return Factory();
  }
}

Lighting StageLighting(int stage) {
  Lighting l;
  l.colour = {1, 1, 1};
  l.ambient = {0.3f, 0.3f, 0.3f};
  switch (stage) {
    case 0:
      l.position = {100, 800, 200};
      break;
    case 1:
      l.position = {0, 400, 0};
      break;
    case 2:
      l.position = {0, 800, 0};
      break;
    case 3:
      l.position = {0, -500, 0};
      l.colour = {10, 5, 5};
      l.ambient = {0.75f, 0.5f, 0.5f};
      break;
    default:
      l.position = {0, 800, 0};
      l.colour = {2, 2, 2};
      break;
  }
  return l;
}

}  // namespace assetgen
