#pragma once
// A triangle mesh built from transformed primitives, each part in its own material colour,
// written as a text DirectX .x file.
#include <algorithm>
#include <array>
#include <string>
#include <vector>

#include "geometry.h"

namespace assetgen {

struct Colour {
  float r = 1, g = 1, b = 1;
  bool operator==(const Colour&) const = default;
};

// Colour from 0..255 components.
constexpr Colour Rgb(int r, int g, int b) {
  return {r / 255.0f, g / 255.0f, b / 255.0f};
}

struct Material {
  Colour diffuse;
  float alpha = 1;
  float power = 8;
  Colour specular{0.15f, 0.15f, 0.15f};
  Colour emissive{0, 0, 0};
  std::string texture;  // empty: no texture

  bool operator==(const Material&) const = default;
};

// Plain painted material; `glow` adds that fraction of the colour as emission.
Material Paint(Colour c, float glow = 0, float alpha = 1);

struct Vertex {
  Vec3 position;
  Vec3 normal;
  float u = 0, v = 0;
};

struct Triangle {
  std::array<int, 3> v;
  int material;
};

class Mesh {
 public:
  explicit Mesh(std::string name) : name_(std::move(name)) {}

  const std::string& name() const { return name_; }
  const std::vector<Vertex>& vertices() const { return vertices_; }
  const std::vector<Triangle>& triangles() const { return triangles_; }
  const std::vector<Material>& materials() const { return materials_; }
  bool textured() const { return textured_; }

  // Primitives: unit shapes centred on the origin, placed by `xf`.
  // Box: the cube -0.5..0.5.
  void Box(const Xf& xf, const Material& m);
  // Tube along y from -0.5 to 0.5, radius 0.5 at the bottom and 0.5 * topScale at the top;
  // topScale 0 makes a cone. Caps close both ends.
  void Tube(const Xf& xf, const Material& m, int segments = 16, float topScale = 1);
  // Sphere of radius 0.5; latitudes from `fromDeg` (-90 = bottom) to `toDeg` (90 = top), so a
  // dome is (0, 90). An open band has no caps.
  void Sphere(const Xf& xf, const Material& m, int slices = 16, int stacks = 10,
              float fromDeg = -90, float toDeg = 90);
  // A flat shape in the xy plane given by its outline (counter-clockwise seen from -z, star-shaped
  // around its first-point average), extruded from z = -0.5 to z = 0.5.
  void Prism(const Xf& xf, const Material& m, const std::vector<std::array<float, 2>>& outline);
  // A textured square in the xy plane (-0.5..0.5), visible from both sides.
  void TexturedQuad(const Xf& xf, const Material& m);
  // A surface sampled on a (nu + 1) x (nv + 1) grid; `at(u, v)` gives each point (u, v in 0..1).
  // Normals come from the grid; `outward` picks the side that faces the viewer.
  template <typename F>
  void Surface(const Material& m, int nu, int nv, F at, bool flip = false);

  // Adds a triangle oriented so that its front faces along `outward`.
  void AddTriangle(int a, int b, int c, int material, Vec3 outward);
  int AddVertex(Vec3 p, Vec3 n, float u = 0, float v = 0);
  int MaterialIndex(const Material& m);

  // Lowest and highest corner of all vertices.
  void Bounds(Vec3* lo, Vec3* hi) const;

 private:
  std::string name_;
  std::vector<Vertex> vertices_;
  std::vector<Triangle> triangles_;
  std::vector<Material> materials_;
  bool textured_ = false;
};

template <typename F>
void Mesh::Surface(const Material& m, int nu, int nv, F at, bool flip) {
  int mat = MaterialIndex(m);
  int base = static_cast<int>(vertices_.size());
  const float du = 1.0f / nu, dv = 1.0f / nv;
  for (int j = 0; j <= nv; ++j) {
    for (int i = 0; i <= nu; ++i) {
      float u = i * du, v = j * dv;
      Vec3 p = at(u, v);
      Vec3 tu = at(std::min(1.0f, u + du * 0.5f), v) - at(std::max(0.0f, u - du * 0.5f), v);
      Vec3 tv = at(u, std::min(1.0f, v + dv * 0.5f)) - at(u, std::max(0.0f, v - dv * 0.5f));
      Vec3 n = Normalize(Cross(tu, tv));
      AddVertex(p, flip ? n * -1.0f : n);
    }
  }
  for (int j = 0; j < nv; ++j) {
    for (int i = 0; i < nu; ++i) {
      int a = base + j * (nu + 1) + i, b = a + 1, c = a + nu + 1, d = c + 1;
      Vec3 n = Normalize(vertices_[a].normal + vertices_[b].normal + vertices_[c].normal +
                         vertices_[d].normal);
      AddTriangle(a, b, d, mat, n);
      AddTriangle(a, d, c, mat, n);
    }
  }
}

// Appends `part` (all its triangles and materials) to `whole`.
void Append(Mesh* whole, const Mesh& part, const Xf& xf = Xf{});

// The text .x file: one Mesh with MeshNormals, an inline MeshMaterialList and, for textured
// meshes, MeshTextureCoords.
std::string XFileText(const Mesh& mesh);

}  // namespace assetgen
