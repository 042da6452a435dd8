// Ability objects, pick-ups, shots, mines, nets, stars and the stage-5 mover.
#include <cmath>

#include "models.h"

namespace assetgen {
namespace {

Mesh Rocket() {
  Mesh m("rocket");
  const Material hull = Paint(Rgb(240, 240, 235)), red = Paint(Rgb(220, 40, 40));
  const Material flame = Paint(Rgb(255, 170, 40), 0.8f);
  m.Tube(Segment({0, 0, -14}, {0, 0, 18}, 10), hull, 16);
  m.Tube(Segment({0, 0, -14}, {0, 0, -32}, 10), red, 16, 0);  // nose towards -z
  m.Tube(Segment({0, 0, 2}, {0, 0, 6}, 10.4f), red, 16);
  for (int k = 0; k < 4; ++k) {
    m.Prism(RotateZ(45.0f + 90 * k) * Place({0, 9, 14}, {1.6f, 1, 1}, {0, 90, 0}), red,
            {{-6, -4}, {6, -4}, {6, 8}});
  }
  m.Tube(Segment({0, 0, 18}, {0, 0, 34}, 8), flame, 12, 0);
  return m;
}

Mesh GasCloud() {
  Mesh m("gass");
  const Vec3 puffs[] = {{0, 40, 0},     {50, 30, 20}, {-45, 32, 30},  {30, 36, -50},
                        {-40, 28, -40}, {10, 60, 30}, {-15, 58, -20}, {70, 22, -20},
                        {-70, 24, 0},   {0, 26, 65},  {20, 24, -75}};
  const float sizes[] = {80, 64, 66, 60, 62, 56, 54, 44, 46, 50, 44};
  for (int i = 0; i < 11; ++i) {
    Colour c = i % 2 ? Rgb(150, 210, 90) : Rgb(120, 185, 70);
    m.Sphere(Place(puffs[i], {sizes[i], sizes[i] * 0.8f, sizes[i]}), Paint(c, 0.3f, 0.7f), 14, 9);
  }
  return m;
}

Mesh Shield() {
  Mesh m("shield");
  const Material glass = Paint(Rgb(120, 210, 255), 0.4f, 0.3f);
  const Material rib = Paint(Rgb(150, 235, 255), 0.8f);
  m.Sphere(Scale({130, 130, 130}), glass, 24, 10, 0, 90);
  for (float lat : {0.0f, 30.0f, 55.0f}) {
    m.Sphere(Scale({133, 133, 133}), rib, 24, 1, lat, lat + 5);
  }
  m.Sphere(Scale({133, 133, 133}), rib, 24, 2, 78, 90);
  for (int k = 0; k < 8; ++k) {  // meridian ribs
    float lon = k * 45 * kPi / 180;
    m.Surface(
        rib, 1, 10,
        [lon](float u, float v) {
          float lat = v * 88 * kPi / 180;
          float a = lon + (u - 0.5f) * 0.07f;
          return Vec3{66.5f * std::cos(lat) * std::cos(a), 66.5f * std::sin(lat),
                      66.5f * std::cos(lat) * std::sin(a)};
        },
        true);
  }
  return m;
}

// The whirlpool: a water disc raised like a shallow bowl with foam arms spiralling inwards. The
// game draws it twice as large.
Mesh Whirlpool() {
  Mesh m("water");
  const Material water = Paint(Rgb(40, 120, 215), 0.15f);
  const Material deep = Paint(Rgb(20, 70, 160), 0.1f);
  const Material foam = Paint(Rgb(225, 245, 255), 0.3f);
  const float radius = 60;
  auto height = [radius](float r) { return 1.5f + 5.0f * (r / radius) * (r / radius); };
  m.Surface(water, 48, 8, [&](float u, float v) {
    float a = u * 2 * kPi, r = 8 + v * (radius - 8);
    return Vec3{r * std::cos(a), height(r), r * std::sin(a)};
  });
  m.Tube(Place({0, 1.5f, 0}, {18, 0.4f, 18}), deep, 16);
  for (int arm = 0; arm < 3; ++arm) {
    float start = arm * 2 * kPi / 3;
    m.Surface(
        foam, 40, 1,
        [&](float u, float v) {
          float r = 10 + u * (radius - 12);
          float a = start + u * 3.2f + v * 0.25f * (1 - u * 0.6f);
          return Vec3{r * std::cos(a), height(r) + 0.35f, r * std::sin(a)};
        },
        true);
  }
  return m;
}

// The hopping rabbit the pyon tank lets loose; it looks along +z.
Mesh Hopper() {
  Mesh m("pyon");
  const Material fur = Paint(Rgb(250, 250, 252)), inner = Paint(Rgb(250, 160, 185));
  m.Sphere(Place({0, 16, 0}, {26, 24, 30}), fur, 14, 10);
  Vec3 head{0, 30, 12};
  m.Sphere(Place(head, {20, 18, 18}), fur, 14, 10);
  for (int side = -1; side <= 1; side += 2) {
    m.Sphere(Place({side * 5.0f, 46, 10}, {6, 26, 4}, {10, 0, side * -12.0f}), fur, 10, 8);
    m.Sphere(Place({side * 5.1f, 46, 11.6f}, {3.6f, 20, 1.5f}, {10, 0, side * -12.0f}), inner, 8,
             6);
    m.Sphere(Place({side * 5.5f, 32, 19.5f}, {4, 4, 3}), Paint(Rgb(220, 30, 50)), 8, 6);
    m.Sphere(Place({side * 8.0f, 4, 10}, {8, 6, 12}), fur, 8, 6);  // feet
    m.Sphere(Place({side * 9.0f, 5, -6}, {9, 8, 18}), fur, 8, 6);
  }
  m.Sphere(Place({0, 28, 21}, {4, 3, 3}), inner, 8, 6);
  m.Sphere(Place({0, 18, -15}, {10, 10, 10}), fur, 10, 8);
  return m;
}

Mesh Shot() {
  Mesh m("shot");
  // A glowing round shell: it looks the same whichever way it flies.
  m.Sphere(Scale({10, 10, 10}), Paint(Rgb(255, 190, 60), 0.7f), 12, 8);
  m.Sphere(Scale({11, 3, 11}), Paint(Rgb(255, 110, 30), 0.6f), 12, 4);
  return m;
}

Mesh Mine() {
  Mesh m("mine");
  const Material casing = Paint(Rgb(90, 100, 60)), steel = Paint(Rgb(150, 150, 140));
  m.Tube(Place({0, 4, 0}, {40, 8, 40}), casing, 20);
  m.Sphere(Place({0, 8, 0}, {34, 10, 34}), casing, 16, 6, 0, 90);
  for (int k = 0; k < 6; ++k) {
    float a = k * kPi / 3;
    m.Tube(Segment({14 * std::cos(a), 6, 14 * std::sin(a)},
                   {17 * std::cos(a), 11, 17 * std::sin(a)}, 1.8f),
           steel, 6, 0.3f);
  }
  m.Sphere(Place({0, 13, 0}, {9, 6, 9}), Paint(Rgb(255, 40, 30), 0.7f), 10, 6);
  return m;
}

Mesh Net() {
  Mesh m("net");
  Material net = Paint(Rgb(255, 255, 255), 0.3f);
  net.texture = "../net.bmp";  // the texture lies beside the model folder
  m.TexturedQuad(Place({0, 3, 0}, {120, 120, 1}, {90, 0, 0}), net);
  return m;
}

Mesh Star() {
  Mesh m("star");
  Material star = Paint(Rgb(255, 255, 255), 0.5f);
  star.texture = "../star.bmp";
  m.TexturedQuad(Scale({24, 24, 1}), star);
  return m;
}

// The marker over a tank in the other players' views; the battle gives each player's marker
// that player's texture (marker0.bmp to marker3.bmp).
Mesh Marker() {
  Mesh m("marker");
  Material marker = Paint(Rgb(255, 255, 255), 1.0f);
  marker.texture = "../marker0.bmp";
  m.TexturedQuad(Scale({56, 56, 1}), marker);
  return m;
}

Mesh LifeItem() {
  Mesh m("item");
  const Material white = Paint(Rgb(250, 250, 250), 0.15f), red = Paint(Rgb(230, 30, 40), 0.25f);
  m.Box(Place({0, 26, 0}, {36, 36, 36}), white);
  m.Box(Place({0, 26, 0}, {12, 30, 38}), red);
  m.Box(Place({0, 26, 0}, {30, 12, 38}), red);
  m.Box(Place({0, 26, 0}, {38, 30, 12}), red);
  m.Box(Place({0, 26, 0}, {38, 12, 30}), red);
  m.Box(Place({0, 26, 0}, {12, 38, 30}), red);
  m.Box(Place({0, 26, 0}, {30, 38, 12}), red);
  return m;
}

Mesh ShellItem() {
  Mesh m("item2");
  const Material crate = Paint(Rgb(95, 120, 60)), band = Paint(Rgb(240, 200, 40), 0.1f);
  const Material brass = Paint(Rgb(215, 170, 60), 0.1f), tip = Paint(Rgb(190, 90, 50));
  m.Box(Place({0, 14, 0}, {44, 20, 30}), crate);
  m.Box(Place({0, 14, 0}, {46, 5, 32}), band);
  for (int k = 0; k < 3; ++k) {
    float x = -12 + k * 12.0f;
    m.Tube(Place({x, 30, 0}, {9, 16, 9}), brass, 12);
    m.Tube(Place({x, 42, 0}, {9, 8, 9}), tip, 12, 0);
  }
  return m;
}

// The stage-5 mover: a small tram, the same from both ends since it runs both ways. The game
// draws it seven times larger.
Mesh Mover() {
  Mesh m("v");
  const Material body = Paint(Rgb(240, 200, 40)), cabin = Paint(Rgb(120, 200, 240), 0.1f);
  const Material dark = Paint(Rgb(50, 50, 60)), lamp = Paint(Rgb(255, 250, 200), 0.9f);
  const Material stripe = Paint(Rgb(40, 40, 50));
  m.Box(Place({0, 2.2f, 0}, {15, 2.6f, 6}), body);
  m.Box(Place({0, 4.6f, 0}, {11, 2.2f, 5.6f}), cabin);
  m.Box(Place({0, 5.9f, 0}, {11.6f, 0.5f, 6}), body);
  m.Box(Place({0, 1.6f, 0}, {15.2f, 0.6f, 6.2f}), stripe);
  for (int end = -1; end <= 1; end += 2) {
    for (int side = -1; side <= 1; side += 2) {
      m.Tube(Place({end * 5.0f, 0.9f, side * 2.8f}, {1.8f, 0.8f, 1.8f}, {90, 0, 0}), dark, 10);
      m.Sphere(Place({end * 7.5f, 2.6f, side * 2.0f}, {0.6f, 0.8f, 0.8f}), lamp, 6, 4);
    }
  }
  return m;
}

}  // namespace

std::vector<Mesh> BuildProps() {
  std::vector<Mesh> props;
  props.push_back(Rocket());
  props.push_back(GasCloud());
  props.push_back(Shield());
  props.push_back(Whirlpool());
  props.push_back(Hopper());
  props.push_back(Shot());
  props.push_back(Mine());
  props.push_back(Net());
  props.push_back(Star());
  props.push_back(Marker());
  props.push_back(LifeItem());
  props.push_back(ShellItem());
  props.push_back(Mover());
  return props;
}

}  // namespace assetgen
