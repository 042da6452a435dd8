#pragma once
// Small vector and affine-transform helpers for building and drawing meshes.
#include <cmath>

namespace assetgen {

constexpr float kPi = 3.14159265358979f;

struct Vec3 {
  float x = 0, y = 0, z = 0;
};

inline Vec3 operator+(Vec3 a, Vec3 b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3 operator-(Vec3 a, Vec3 b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3 operator*(Vec3 a, float s) {
  return {a.x * s, a.y * s, a.z * s};
}
inline float Dot(Vec3 a, Vec3 b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 Cross(Vec3 a, Vec3 b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float Length(Vec3 a) {
  return std::sqrt(Dot(a, a));
}
inline Vec3 Normalize(Vec3 a) {
  float l = Length(a);
  return l > 1e-12f ? a * (1.0f / l) : Vec3{0, 1, 0};
}

// Affine transform: p' = m * p + t (row-major 3 x 3 linear part).
struct Xf {
  float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Vec3 t;

  Vec3 Point(Vec3 p) const { return Linear(p) + t; }
  Vec3 Linear(Vec3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z,
            m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
  }
  // Normals transform by the inverse transpose (the cofactor matrix, up to scale).
  Vec3 Normal(Vec3 n) const {
    float c[3][3];
    for (int r = 0; r < 3; ++r) {
      for (int k = 0; k < 3; ++k) {
        int r1 = (r + 1) % 3, r2 = (r + 2) % 3, k1 = (k + 1) % 3, k2 = (k + 2) % 3;
        c[r][k] = m[r1][k1] * m[r2][k2] - m[r1][k2] * m[r2][k1];
      }
    }
    // A mirroring transform has a negative determinant: keep normals pointing outwards.
    float det = m[0][0] * c[0][0] + m[0][1] * c[0][1] + m[0][2] * c[0][2];
    if (det < 0) n = n * -1.0f;
    return Normalize({c[0][0] * n.x + c[0][1] * n.y + c[0][2] * n.z,
                      c[1][0] * n.x + c[1][1] * n.y + c[1][2] * n.z,
                      c[2][0] * n.x + c[2][1] * n.y + c[2][2] * n.z});
  }
};

// a * b: apply b first, then a.
inline Xf operator*(const Xf& a, const Xf& b) {
  Xf r;
  for (int i = 0; i < 3; ++i) {
    for (int j = 0; j < 3; ++j) {
      r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j];
    }
  }
  r.t = a.Point(b.t);
  return r;
}

inline Xf Translate(Vec3 t) {
  Xf x;
  x.t = t;
  return x;
}
inline Xf Scale(Vec3 s) {
  Xf x;
  x.m[0][0] = s.x;
  x.m[1][1] = s.y;
  x.m[2][2] = s.z;
  return x;
}
// Rotations in degrees about one axis, counter-clockwise looking down the axis towards the origin
// in a right-handed reading of the numbers (the sign convention only matters for modelling).
inline Xf RotateX(float degrees) {
  float c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  Xf x;
  x.m[1][1] = c;
  x.m[1][2] = -s;
  x.m[2][1] = s;
  x.m[2][2] = c;
  return x;
}
inline Xf RotateY(float degrees) {
  float c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  Xf x;
  x.m[0][0] = c;
  x.m[0][2] = s;
  x.m[2][0] = -s;
  x.m[2][2] = c;
  return x;
}
inline Xf RotateZ(float degrees) {
  float c = std::cos(degrees * kPi / 180), s = std::sin(degrees * kPi / 180);
  Xf x;
  x.m[0][0] = c;
  x.m[0][1] = -s;
  x.m[1][0] = s;
  x.m[1][1] = c;
  return x;
}

// The usual placement of a part: scaled to `size`, turned (x, then y, then z), moved to `at`.
inline Xf Place(Vec3 at, Vec3 size, Vec3 rotation = {}) {
  return Translate(at) * RotateZ(rotation.z) * RotateY(rotation.y) * RotateX(rotation.x) *
         Scale(size);
}

// Maps the unit tube (y from -0.5 to 0.5, radius 0.5) onto a tube from `a` to `b` of the
// given radius.
inline Xf Segment(Vec3 a, Vec3 b, float radius) {
  Vec3 d = b - a;
  Vec3 axis = Normalize(d);
  Vec3 helper = std::fabs(axis.y) < 0.9f ? Vec3{0, 1, 0} : Vec3{1, 0, 0};
  Vec3 e1 = Normalize(Cross(helper, axis)), e2 = Cross(axis, e1);
  Xf x;
  Vec3 cols[3] = {e1 * (2 * radius), d, e2 * (2 * radius)};
  for (int c = 0; c < 3; ++c) {
    x.m[0][c] = cols[c].x;
    x.m[1][c] = cols[c].y;
    x.m[2][c] = cols[c].z;
  }
  x.t = (a + b) * 0.5f;
  return x;
}

}  // namespace assetgen
