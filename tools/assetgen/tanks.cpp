// The eleven tanks. Each shares a tracked chassis and carries its animal on top: the face and the
// gun look towards -z, the tail (what the chase camera sees) sits at +z.
//
// The chase camera looks over the tank, so along its middle every animal stays below the sight
// line to the ground ahead (about 46 at the tank's centre, lower towards the front): the rocket,
// the chaser and the mines ahead of a tank show in its own view. Heads sit low at the front;
// ears, plumes and tails stand up at the sides or at the back.
#include <cmath>

#include "models.h"

namespace assetgen {
namespace {

const Material kTrack = Paint(Rgb(58, 58, 66));
const Material kWheel = Paint(Rgb(120, 120, 130));
const Material kGun = Paint(Rgb(75, 78, 88));
const Material kEyeWhite = Paint(Rgb(250, 250, 250));
const Material kPupil = Paint(Rgb(20, 20, 28));
const Material kNose = Paint(Rgb(35, 28, 30));
const Material kPink = Paint(Rgb(245, 150, 170));

Xf Ball(Vec3 at, Vec3 size, Vec3 rotation = {}) {
  return Place(at, size, rotation);
}

// Two tracks with road wheels, the lower hull in `hull` colour and the gun barrel at `gunY`.
void Chassis(Mesh* m, const Material& hull, float gunY = 26, float gunFrontZ = -56,
             bool tracks = true) {
  if (tracks) {
    for (int side = -1; side <= 1; side += 2) {
      float x = side * 30.0f;
      m->Box(Place({x, 9, 0}, {16, 18, 64}), kTrack);
      for (int end = -1; end <= 1; end += 2) {
        m->Tube(Place({x, 9, end * 32.0f}, {18, 16, 18}, {0, 0, 90}), kTrack, 14);
      }
      for (int w = 0; w < 4; ++w) {
        m->Tube(Place({x + side * 8.5f, 9, -27 + w * 18.0f}, {12, 2, 12}, {0, 0, 90}), kWheel, 12);
      }
    }
  }
  m->Box(Place({0, 20, 0}, {46, 14, 70}), hull);
  m->Tube(Segment({0, gunY, -20}, {0, gunY, gunFrontZ}, 4), kGun, 12);
  m->Tube(Segment({0, gunY, gunFrontZ + 6}, {0, gunY, gunFrontZ}, 5), kGun, 12);
}

// Two eyes looking forward on a head centred at `head` with radius `r`.
void Eyes(Mesh* m, Vec3 head, float r, float spread, float size, const Material& iris = kPupil) {
  for (int side = -1; side <= 1; side += 2) {
    Vec3 dir = Normalize({side * spread, 0.25f, -1});
    Vec3 at = head + dir * (r * 0.92f);
    m->Sphere(Ball(at, {size, size, size * 0.6f}), kEyeWhite, 10, 6);
    m->Sphere(Ball(at + dir * (size * 0.3f), {size * 0.55f, size * 0.55f, size * 0.4f}), iris, 8,
              5);
  }
}

void Whiskers(Mesh* m, Vec3 snout, float length) {
  const Material white = Paint(Rgb(240, 240, 240));
  for (int side = -1; side <= 1; side += 2) {
    for (int k = -1; k <= 1; ++k) {
      Vec3 a = snout + Vec3{side * 3.0f, k * 1.5f, 0};
      Vec3 b = a + Vec3{side * length, k * 3.0f, 3};
      m->Box(Segment(a, b, 0.5f) * Scale({1, 1, 1}), white);
    }
  }
}

Mesh Bear() {
  Mesh m("bear");
  const Material fur = Paint(Rgb(150, 95, 50)), light = Paint(Rgb(225, 190, 140));
  Chassis(&m, Paint(Rgb(110, 70, 38)));
  m.Sphere(Ball({0, 31, 10}, {50, 26, 58}), fur);  // round back
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {40, 24, 30}), fur, 16, 12);
  for (int side = -1; side <= 1; side += 2) {
    m.Sphere(Ball({side * 16.0f, 42, -6}, {14, 14, 7}), fur, 12, 8);
    m.Sphere(Ball({side * 16.0f, 42, -9.5f}, {8, 8, 3}), light, 10, 6);
  }
  m.Sphere(Ball({0, 27, -24}, {18, 12, 12}), light, 12, 8);  // muzzle
  m.Sphere(Ball({0, 30, -30}, {7, 5, 5}), kNose, 8, 6);
  Eyes(&m, head, 13, 0.5f, 6);
  m.Sphere(Ball({0, 34, 40}, {12, 12, 10}), light, 10, 8);  // stubby tail
  return m;
}

Mesh Fox() {
  Mesh m("fox");
  const Material fur = Paint(Rgb(232, 110, 30)), white = Paint(Rgb(250, 245, 235));
  const Material dark = Paint(Rgb(50, 35, 30));
  Chassis(&m, Paint(Rgb(170, 75, 20)));
  m.Sphere(Ball({0, 31, 8}, {42, 22, 56}), fur);
  m.Sphere(Ball({0, 28, -12}, {26, 18, 20}), white);  // chest
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {30, 24, 26}), fur, 16, 12);
  m.Tube(Segment({0, 29, -18}, {0, 26, -42}, 11), fur, 14, 0.25f);  // pointed snout
  m.Tube(Segment({0, 25, -20}, {0, 24, -40}, 8), white, 12, 0.3f);
  m.Sphere(Ball({0, 26, -42}, {5, 5, 5}), dark, 8, 6);
  for (int side = -1; side <= 1; side += 2) {
    Vec3 base{side * 16.0f, 38, -6}, tip{side * 22.0f, 62, -4};
    m.Tube(Segment(base, tip, 8), fur, 10, 0.1f);
    m.Tube(Segment(base + (tip - base) * 0.65f, tip, 5.4f), dark, 8, 0.1f);
  }
  Eyes(&m, head, 12, 0.5f, 5, Paint(Rgb(120, 70, 10)));
  // The great bushy tail with its white tip, raised behind and held to one side.
  m.Sphere(Ball({22, 42, 44}, {22, 22, 46}, {-35, 0, 0}), fur, 14, 10);
  m.Sphere(Ball({22, 58, 64}, {18, 18, 16}, {-35, 0, 0}), white, 12, 8);
  return m;
}

Mesh Skunk() {
  Mesh m("skunk");
  const Material fur = Paint(Rgb(45, 42, 55)), white = Paint(Rgb(245, 245, 250));
  Chassis(&m, Paint(Rgb(35, 33, 42)));
  m.Sphere(Ball({0, 31, 6}, {44, 24, 56}), fur);
  // The stripe along the back: a narrow shell just above the back.
  m.Sphere(Ball({0, 31, 6}, {10, 25, 54}), white, 12, 10);
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {30, 24, 26}), fur, 16, 12);
  m.Sphere(Ball(head, {6, 25, 25}), white, 10, 8);
  m.Tube(Segment({0, 28, -20}, {0, 26, -36}, 10), fur, 12, 0.4f);
  m.Sphere(Ball({0, 26, -36}, {5, 4, 4}), Paint(Rgb(230, 120, 140)), 8, 6);
  for (int side = -1; side <= 1; side += 2) {
    m.Sphere(Ball({side * 13.0f, 40, -6}, {9, 10, 5}), fur, 10, 6);
  }
  Eyes(&m, head, 12, 0.5f, 5);
  // A huge plume of a tail rising behind, to one side: black with a white band.
  const Vec3 plume[] = {{24, 38, 34}, {28, 54, 44}, {30, 70, 46}, {30, 84, 40}, {28, 92, 30}};
  const float size[] = {24, 30, 32, 30, 24};
  for (int i = 0; i < 5; ++i) {
    m.Sphere(Ball(plume[i], {size[i], size[i], size[i]}), fur, 14, 10);
    m.Sphere(Ball(plume[i] + Vec3{0, 3, 3}, {size[i] * 0.4f, size[i] * 0.95f, size[i] * 0.95f}),
             white, 12, 8);
  }
  return m;
}

Mesh Pig() {
  Mesh m("pigtank");
  const Material skin = Paint(Rgb(245, 165, 180)), dark = Paint(Rgb(210, 110, 130));
  Chassis(&m, Paint(Rgb(200, 120, 140)), 24);
  m.Sphere(Ball({0, 30, 8}, {56, 28, 66}), skin, 18, 12);  // round belly
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {40, 24, 32}), skin, 16, 12);
  m.Tube(Place({0, 27, -27}, {18, 8, 14}, {90, 0, 0}), dark, 16);  // snout disc
  for (int side = -1; side <= 1; side += 2) {
    m.Sphere(Ball({side * 4.0f, 27, -31.5f}, {4, 6, 2}), Paint(Rgb(120, 50, 70)), 8, 6);
    // Floppy triangular ears folded forward.
    m.Prism(Place({side * 16.0f, 40, -8}, {1, 1, 3}, {-40, side * -15.0f, side * 20.0f}), skin,
            {{-9, -6}, {9, -6}, {0, 12}});
  }
  Eyes(&m, head, 13, 0.55f, 6);
  // Curly tail: a little spiral of beads.
  for (int i = 0; i < 9; ++i) {
    float a = i * 0.8f;
    float r = 6 - i * 0.35f;
    m.Sphere(Ball({r * std::cos(a), 40 + r * std::sin(a), 41 + i * 0.6f}, {4, 4, 4}), dark, 8, 6);
  }
  return m;
}

Mesh FlyingSquirrel() {
  Mesh m("momotank");
  const Material fur = Paint(Rgb(165, 130, 95)), belly = Paint(Rgb(240, 225, 195));
  const Material wing = Paint(Rgb(135, 100, 70));
  Chassis(&m, Paint(Rgb(115, 90, 65)));
  m.Sphere(Ball({0, 31, 6}, {40, 20, 54}), fur);
  // The gliding membrane stretched out to both sides, drooping a little towards the paws.
  for (int side = -1; side <= 1; side += 2) {
    Xf half = Translate({side * 14.0f, 33, 4}) * RotateZ(side * -14.0f);
    m.Prism(half * Place({0, 0, 0}, {1, 1, 2.5f}, {90, 0, 0}), wing,
            {{0, -28},
             {side * 22.0f, -30},
             {side * 38.0f, -24},
             {side * 40.0f, 22},
             {side * 22.0f, 28},
             {0, 28}});
    Vec3 front = half.Point({side * 38.0f, 0, -24}), back = half.Point({side * 40.0f, 0, 22});
    m.Sphere(Ball(front, {8, 6, 8}), fur, 8, 6);
    m.Sphere(Ball(back, {8, 6, 8}), fur, 8, 6);
  }
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {30, 24, 26}), fur, 16, 12);
  m.Sphere(Ball({0, 27, -21}, {14, 10, 8}), belly, 10, 8);
  m.Sphere(Ball({0, 29, -25}, {4, 3, 3}), kNose, 6, 4);
  for (int side = -1; side <= 1; side += 2) {
    m.Sphere(Ball({side * 13.0f, 41, -6}, {9, 11, 5}), fur, 10, 6);
  }
  Eyes(&m, head, 12, 0.55f, 8);  // big night eyes
  // Broad flat tail trailing behind.
  m.Sphere(Ball({0, 37, 48}, {26, 8, 44}, {-12, 0, 0}), fur, 14, 8);
  return m;
}

Mesh Fish() {
  Mesh m("fish");
  const Material scales = Paint(Rgb(50, 140, 230)), belly = Paint(Rgb(225, 235, 245));
  const Material fin = Paint(Rgb(255, 170, 40));
  Chassis(&m, Paint(Rgb(40, 100, 170)));
  m.Sphere(Ball({0, 30, 6}, {46, 26, 86}), scales, 18, 12);
  m.Sphere(Ball({0, 27, 4}, {40, 18, 76}), belly, 16, 8);
  m.Tube(Segment({0, 26, -41}, {0, 26, -48}, 7), fin, 14);  // lips round the gun
  // The dorsal fin along the back.
  m.Prism(Place({0, 40, 14}, {1, 1, 3}, {0, 90, 0}), fin, {{-14, 0}, {12, 0}, {0, 7}, {-18, 12}});
  // The tail fin spread in a V, so that it shows from the chase camera behind.
  for (int side = -1; side <= 1; side += 2) {
    m.Prism(Place({0, 38, 50}, {1, 1, 3}, {0, 90, side * 40.0f}), fin,
            {{-12, 0}, {10, 2}, {16, 22}, {2, 12}});
  }
  for (int side = -1; side <= 1; side += 2) {
    m.Prism(Place({side * 23.0f, 30, 8}, {1, 1, 2}, {0, 90, side * 25.0f}), fin,
            {{-8, -2}, {8, -4}, {4, 6}});
    Vec3 eye{side * 15.0f, 32, -22};
    m.Sphere(Ball(eye, {10, 10, 10}), kEyeWhite, 10, 8);
    m.Sphere(Ball(eye + Vec3{side * 3.0f, 0, -2}, {6, 6, 6}), kPupil, 8, 6);
  }
  return m;
}

Mesh Mouse() {
  Mesh m("mousetank");
  const Material fur = Paint(Rgb(165, 165, 178)), inner = Paint(Rgb(250, 175, 190));
  Chassis(&m, Paint(Rgb(120, 120, 135)));
  m.Sphere(Ball({0, 31, 8}, {42, 22, 56}), fur);
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {30, 24, 26}), fur, 16, 12);
  m.Tube(Segment({0, 28, -18}, {0, 25, -40}, 12), fur, 12, 0.3f);
  m.Sphere(Ball({0, 25, -41}, {6, 6, 6}), kPink, 8, 6);
  Whiskers(&m, {0, 26, -35}, 12);
  for (int side = -1; side <= 1; side += 2) {  // big round ears
    m.Sphere(Ball({side * 21.0f, 46, -6}, {24, 24, 5}, {0, side * -15.0f, 0}), fur, 14, 8);
    m.Sphere(Ball({side * 21.0f, 46, -8.5f}, {16, 16, 2}, {0, side * -15.0f, 0}), inner, 12, 6);
  }
  Eyes(&m, head, 12, 0.5f, 5);
  // Long thin pink tail curling up behind.
  Vec3 prev{0, 30, 34};
  for (int i = 1; i <= 10; ++i) {
    float t = i / 10.0f;
    Vec3 next{6 * std::sin(t * 5), 30 + 24 * t * t, 34 + 34 * t - 10 * t * t * t};
    m.Tube(Segment(prev, next, 1.8f), inner, 8);
    m.Sphere(Ball(next, {3.6f, 3.6f, 3.6f}), inner, 6, 4);
    prev = next;
  }
  return m;
}

Mesh Spider() {
  Mesh m("spidertank");
  const Material body = Paint(Rgb(70, 45, 95)), mark = Paint(Rgb(230, 40, 40));
  const Material leg = Paint(Rgb(55, 35, 75));
  Chassis(&m, Paint(Rgb(50, 35, 65)), 24);
  m.Sphere(Ball({0, 35, 30}, {52, 30, 54}), body, 18, 12);  // abdomen
  m.Prism(Place({0, 48.8f, 38}, {0.8f, 0.8f, 1}, {101, 0, 0}), mark,
          {{-9, -12}, {9, -12}, {3, 0}, {9, 12}, {-9, 12}, {-3, 0}});
  Vec3 head{0, 28, -10};
  m.Sphere(Ball(head, {34, 22, 28}), body, 16, 10);
  for (int i = 0; i < 6; ++i) {  // a row of glowing eyes
    float x = (i % 3 - 1) * 7.0f;
    float y = i < 3 ? 33 : 29;
    float s = i < 3 ? 6 : 4;
    m.Sphere(Ball({x, y, -22 + std::fabs(x) * 0.25f}, {s, s, s}), Paint(Rgb(255, 60, 40), 0.6f), 8,
             6);
  }
  for (int side = -1; side <= 1; side += 2) {
    for (int k = 0; k < 4; ++k) {
      float z = -24 + k * 15.0f;
      Vec3 hip{side * 20.0f, 34, z}, knee{side * 44.0f, 54, z * 1.3f},
          foot{side * 56.0f, 0, z * 1.6f};
      m.Tube(Segment(hip, knee, 3.5f), leg, 8);
      m.Sphere(Ball(knee, {8, 8, 8}), mark, 8, 6);
      m.Tube(Segment(knee, foot, 3), leg, 8, 0.5f);
    }
  }
  return m;
}

Mesh Rabbit() {
  Mesh m("pyon2");
  const Material fur = Paint(Rgb(248, 248, 250)), inner = Paint(Rgb(250, 160, 185));
  Chassis(&m, Paint(Rgb(205, 205, 215)));
  m.Sphere(Ball({0, 31, 6}, {44, 24, 54}), fur);
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {30, 24, 26}), fur, 16, 12);
  m.Sphere(Ball({0, 27, -22}, {12, 9, 8}), fur, 10, 8);
  m.Sphere(Ball({0, 29, -26}, {5, 4, 3}), kPink, 8, 6);
  for (int side = -1; side <= 1; side += 2) {  // the long ears, leaning back and out
    m.Sphere(Ball({side * 20.0f, 60, 0}, {11, 42, 7}, {10, 0, side * -18.0f}), fur, 12, 10);
    m.Sphere(Ball({side * 20.3f, 60, -3}, {6.5f, 34, 2}, {10, 0, side * -18.0f}), inner, 10, 8);
  }
  Eyes(&m, head, 12, 0.55f, 6, Paint(Rgb(220, 30, 50)));
  m.Sphere(Ball({0, 36, 36}, {20, 20, 20}), fur, 12, 10);  // pom-pom tail
  return m;
}

Mesh Wood() {
  Mesh m("wood");
  const Material bark = Paint(Rgb(135, 88, 48)), cut = Paint(Rgb(222, 180, 120));
  const Material leaf = Paint(Rgb(70, 170, 60));
  // Log rollers instead of tracks, a log raft hull and a log stack on top, rising to the back.
  auto log = [&](Vec3 a, Vec3 b, float r) {
    m.Tube(Segment(a, b, r), bark, 12);
    Vec3 d = Normalize(b - a);
    m.Tube(Segment(a - d * 0.3f, a + d * 0.3f, r * 0.8f), cut, 12);
    m.Tube(Segment(b - d * 0.3f, b + d * 0.3f, r * 0.8f), cut, 12);
  };
  for (int k = 0; k < 4; ++k) log({-40, 9, -30 + k * 20.0f}, {40, 9, -30 + k * 20.0f}, 9);
  for (int k = 0; k < 4; ++k) log({-21 + k * 14.0f, 24, -38}, {-21 + k * 14.0f, 24, 38}, 7);
  for (int k = 0; k < 3; ++k) log({-14 + k * 14.0f, 36, -6}, {-14 + k * 14.0f, 36, 32}, 6);
  for (int side = -1; side <= 1; side += 2) log({side * 15.0f, 47, 4}, {side * 15.0f, 47, 30}, 6);
  log({0, 26, -24}, {0, 26, -56}, 4.5f);  // the gun is a log too
  // A sapling growing from the back of the stack, off to one side.
  m.Tube(Segment({16, 52, 22}, {19, 66, 24}, 2.5f), bark, 6);
  m.Sphere(Ball({19, 68, 24}, {18, 12, 18}), leaf, 10, 6);
  m.Sphere(Ball({25, 64, 18}, {10, 8, 10}), leaf, 8, 6);
  return m;
}

Mesh Cat() {
  Mesh m("cattank");
  const Material fur = Paint(Rgb(245, 195, 105)), stripe = Paint(Rgb(190, 105, 40));
  const Material white = Paint(Rgb(252, 248, 240));
  Chassis(&m, Paint(Rgb(200, 140, 70)));
  m.Sphere(Ball({0, 31, 8}, {42, 22, 56}), fur);
  for (int k = 0; k < 4; ++k) {  // tabby stripes across the back
    m.Box(Place({0, 39.5f, -6 + k * 10.0f}, {30, 4, 4}), stripe);
  }
  Vec3 head{0, 30, -10};
  m.Sphere(Ball(head, {32, 24, 26}), fur, 16, 12);
  m.Sphere(Ball({0, 27, -21}, {14, 10, 8}), white, 10, 8);
  m.Sphere(Ball({0, 30, -25}, {5, 3.5f, 3}), kPink, 8, 6);
  Whiskers(&m, {0, 28, -24}, 14);
  for (int k = 0; k < 3; ++k) {  // stripes over the head
    const float z = -5 - k * 4.5f, dz = (z - head.z) / 13;
    const float top = head.y + 12 * std::sqrt(1 - dz * dz);
    m.Box(Place({0, top - 0.5f, z}, {12 - k * 2.0f, 1.6f, 2.5f}), stripe);
  }
  for (int side = -1; side <= 1; side += 2) {  // pointed ears
    m.Prism(Place({side * 13.0f, 40, -6}, {1, 1, 5}, {0, side * 10.0f, 0}), fur,
            {{-8, -4}, {8, -4}, {side * 2.0f, 14}});
    m.Prism(Place({side * 13.0f, 40, -8.6f}, {1, 1, 0.5f}, {0, side * 10.0f, 0}), kPink,
            {{-5, -2}, {5, -2}, {side * 1.2f, 9}});
  }
  Eyes(&m, head, 12, 0.5f, 6, Paint(Rgb(60, 170, 60)));
  // A long tail raised like a question mark at one side, ringed.
  Vec3 prev{14, 32, 32};
  for (int i = 1; i <= 9; ++i) {
    float t = i / 9.0f;
    Vec3 next{14 + 4 * t, 32 + 50 * t, 32 + 16 * std::sin(t * 2.6f)};
    const Material& ring = i % 2 ? fur : stripe;
    m.Tube(Segment(prev, next, 4.2f), ring, 10);
    m.Sphere(Ball(next, {8.4f, 8.4f, 8.4f}), ring, 8, 6);
    prev = next;
  }
  return m;
}

}  // namespace

Mesh BuildTank(int type) {
  switch (type) {
    case 0:
      return Bear();
    case 1:
      return Fox();
    case 2:
      return Skunk();
    case 3:
      return Pig();
    case 4:
      return FlyingSquirrel();
    case 5:
      return Fish();
    case 6:
      return Mouse();
    case 7:
      return Spider();
    case 8:
      return Rabbit();
    case 9:
      return Wood();
    default:
      return Cat();
  }
}

}  // namespace assetgen
