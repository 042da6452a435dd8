#include "mesh.h"

#include <cstdio>
#include <initializer_list>

namespace assetgen {

Material Paint(Colour c, float glow, float alpha) {
  Material m;
  m.diffuse = c;
  m.alpha = alpha;
  m.emissive = {c.r * glow, c.g * glow, c.b * glow};
  return m;
}

int Mesh::AddVertex(Vec3 p, Vec3 n, float u, float v) {
  vertices_.push_back({p, Normalize(n), u, v});
  return static_cast<int>(vertices_.size()) - 1;
}

int Mesh::MaterialIndex(const Material& m) {
  for (std::size_t i = 0; i < materials_.size(); ++i) {
    if (materials_[i] == m) return static_cast<int>(i);
  }
  materials_.push_back(m);
  if (!m.texture.empty()) textured_ = true;
  return static_cast<int>(materials_.size()) - 1;
}

void Mesh::AddTriangle(int a, int b, int c, int material, Vec3 outward) {
  Vec3 pa = vertices_[a].position, pb = vertices_[b].position, pc = vertices_[c].position;
  Vec3 g = Cross(pb - pa, pc - pa);
  // Degenerate slivers (a cone's apex, a sphere's pole) would come out of the file's rounding
  // with no facing at all.
  if (Length(g) < 1e-4f) return;
  // In a left-handed world the geometric normal (b - a) x (c - a) points towards the side from
  // which a, b, c run clockwise: that side is the front.
  if (Dot(g, outward) < 0) std::swap(b, c);
  triangles_.push_back({{a, b, c}, material});
}

void Mesh::Box(const Xf& xf, const Material& m) {
  int mat = MaterialIndex(m);
  static const Vec3 kAxes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  for (int axis = 0; axis < 3; ++axis) {
    for (int sign = -1; sign <= 1; sign += 2) {
      Vec3 n = kAxes[axis] * static_cast<float>(sign);
      Vec3 u = kAxes[(axis + 1) % 3], v = kAxes[(axis + 2) % 3];
      Vec3 c = n * 0.5f;
      Vec3 wn = xf.Normal(n);
      int i0 = AddVertex(xf.Point(c - u * 0.5f - v * 0.5f), wn);
      int i1 = AddVertex(xf.Point(c + u * 0.5f - v * 0.5f), wn);
      int i2 = AddVertex(xf.Point(c + u * 0.5f + v * 0.5f), wn);
      int i3 = AddVertex(xf.Point(c - u * 0.5f + v * 0.5f), wn);
      AddTriangle(i0, i1, i2, mat, wn);
      AddTriangle(i0, i2, i3, mat, wn);
    }
  }
}

void Mesh::Tube(const Xf& xf, const Material& m, int segments, float topScale) {
  int mat = MaterialIndex(m);
  const float r0 = 0.5f, r1 = 0.5f * topScale;
  // The side's normal leans by the taper: for radius falling by (r0 - r1) over height 1.
  const float lean = r0 - r1;
  int base = static_cast<int>(vertices_.size());
  for (int i = 0; i <= segments; ++i) {
    float a = 2 * kPi * i / segments;
    float c = std::cos(a), s = std::sin(a);
    Vec3 n = xf.Normal(Normalize({c, lean, s}));
    AddVertex(xf.Point({r0 * c, -0.5f, r0 * s}), n);
    AddVertex(xf.Point({r1 * c, 0.5f, r1 * s}), n);
  }
  for (int i = 0; i < segments; ++i) {
    int a = base + 2 * i, b = a + 1, c = a + 2, d = a + 3;
    Vec3 n = Normalize(vertices_[a].normal + vertices_[c].normal);
    AddTriangle(a, b, d, mat, n);
    AddTriangle(a, d, c, mat, n);
  }
  for (int end = 0; end < 2; ++end) {
    float r = end == 0 ? r0 : r1;
    if (r <= 0) continue;
    float y = end == 0 ? -0.5f : 0.5f;
    Vec3 n = xf.Normal({0, end == 0 ? -1.0f : 1.0f, 0});
    int centre = AddVertex(xf.Point({0, y, 0}), n);
    int first = static_cast<int>(vertices_.size());
    for (int i = 0; i < segments; ++i) {
      float a = 2 * kPi * i / segments;
      AddVertex(xf.Point({r * std::cos(a), y, r * std::sin(a)}), n);
    }
    for (int i = 0; i < segments; ++i) {
      AddTriangle(centre, first + i, first + (i + 1) % segments, mat, n);
    }
  }
}

void Mesh::Sphere(const Xf& xf, const Material& m, int slices, int stacks, float fromDeg,
                  float toDeg) {
  int mat = MaterialIndex(m);
  int base = static_cast<int>(vertices_.size());
  for (int j = 0; j <= stacks; ++j) {
    float lat = (fromDeg + (toDeg - fromDeg) * j / stacks) * kPi / 180;
    for (int i = 0; i <= slices; ++i) {
      float lon = 2 * kPi * i / slices;
      Vec3 n{std::cos(lat) * std::cos(lon), std::sin(lat), std::cos(lat) * std::sin(lon)};
      AddVertex(xf.Point(n * 0.5f), xf.Normal(n));
    }
  }
  for (int j = 0; j < stacks; ++j) {
    for (int i = 0; i < slices; ++i) {
      int a = base + j * (slices + 1) + i, b = a + 1, c = a + slices + 1, d = c + 1;
      Vec3 n = Normalize(vertices_[a].normal + vertices_[b].normal + vertices_[c].normal +
                         vertices_[d].normal);
      AddTriangle(a, b, d, mat, n);
      AddTriangle(a, d, c, mat, n);
    }
  }
}

void Mesh::Prism(const Xf& xf, const Material& m,
                 const std::vector<std::array<float, 2>>& outline) {
  int mat = MaterialIndex(m);
  const int n = static_cast<int>(outline.size());
  float cx = 0, cy = 0;
  for (const auto& p : outline) {
    cx += p[0] / n;
    cy += p[1] / n;
  }
  for (int side = 0; side < 2; ++side) {
    float z = side == 0 ? -0.5f : 0.5f;
    Vec3 normal = xf.Normal({0, 0, side == 0 ? -1.0f : 1.0f});
    int centre = AddVertex(xf.Point({cx, cy, z}), normal);
    int first = static_cast<int>(vertices_.size());
    for (const auto& p : outline) AddVertex(xf.Point({p[0], p[1], z}), normal);
    for (int i = 0; i < n; ++i) AddTriangle(centre, first + i, first + (i + 1) % n, mat, normal);
  }
  for (int i = 0; i < n; ++i) {
    auto p = outline[i], q = outline[(i + 1) % n];
    Vec3 edge{q[0] - p[0], q[1] - p[1], 0};
    Vec3 out{edge.y, -edge.x, 0};  // outline runs counter-clockwise: outward is to the right
    if ((p[0] - cx) * out.x + (p[1] - cy) * out.y < 0) out = out * -1.0f;
    Vec3 wn = xf.Normal(Normalize(out));
    int a = AddVertex(xf.Point({p[0], p[1], -0.5f}), wn);
    int b = AddVertex(xf.Point({q[0], q[1], -0.5f}), wn);
    int c = AddVertex(xf.Point({q[0], q[1], 0.5f}), wn);
    int d = AddVertex(xf.Point({p[0], p[1], 0.5f}), wn);
    AddTriangle(a, b, c, mat, wn);
    AddTriangle(a, c, d, mat, wn);
  }
}

void Mesh::TexturedQuad(const Xf& xf, const Material& m) {
  int mat = MaterialIndex(m);
  for (int side = 0; side < 2; ++side) {
    Vec3 n = xf.Normal({0, 0, side == 0 ? -1.0f : 1.0f});
    int a = AddVertex(xf.Point({-0.5f, -0.5f, 0}), n, 0, 1);
    int b = AddVertex(xf.Point({0.5f, -0.5f, 0}), n, 1, 1);
    int c = AddVertex(xf.Point({0.5f, 0.5f, 0}), n, 1, 0);
    int d = AddVertex(xf.Point({-0.5f, 0.5f, 0}), n, 0, 0);
    AddTriangle(a, b, c, mat, n);
    AddTriangle(a, c, d, mat, n);
  }
}

void Mesh::Bounds(Vec3* lo, Vec3* hi) const {
  *lo = {1e9f, 1e9f, 1e9f};
  *hi = {-1e9f, -1e9f, -1e9f};
  for (const Vertex& v : vertices_) {
    lo->x = std::min(lo->x, v.position.x);
    lo->y = std::min(lo->y, v.position.y);
    lo->z = std::min(lo->z, v.position.z);
    hi->x = std::max(hi->x, v.position.x);
    hi->y = std::max(hi->y, v.position.y);
    hi->z = std::max(hi->z, v.position.z);
  }
}

void Append(Mesh* whole, const Mesh& part, const Xf& xf) {
  int base = static_cast<int>(whole->vertices().size());
  for (const Vertex& v : part.vertices()) {
    whole->AddVertex(xf.Point(v.position), xf.Normal(v.normal), v.u, v.v);
  }
  for (const Triangle& t : part.triangles()) {
    int mat = whole->MaterialIndex(part.materials()[t.material]);
    Vec3 a = whole->vertices()[base + t.v[0]].position;
    Vec3 b = whole->vertices()[base + t.v[1]].position;
    Vec3 c = whole->vertices()[base + t.v[2]].position;
    whole->AddTriangle(base + t.v[0], base + t.v[1], base + t.v[2], mat, Cross(b - a, c - a));
  }
}

namespace {

// Fixed-point text so that files are identical on every run; no "-0.0000".
std::string Num(float f) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4f", f);
  std::string s = buf;
  if (s == "-0.0000") s = "0.0000";
  return s;
}

void Put(std::string* out, std::initializer_list<std::string> parts) {
  for (const std::string& p : parts) *out += p;
}

std::string Triple(Colour c) {
  return Num(c.r) + ";" + Num(c.g) + ";" + Num(c.b) + ";";
}

}  // namespace

std::string XFileText(const Mesh& mesh) {
  const auto& vs = mesh.vertices();
  const auto& ts = mesh.triangles();
  std::string out = "xof 0303txt 0032\n\nMesh " + mesh.name() + " {\n";
  auto list_end = [](std::size_t i, std::size_t n) {
    return std::string(i + 1 == n ? ";\n" : ",\n");
  };
  out += " " + std::to_string(vs.size()) + ";\n";
  for (std::size_t i = 0; i < vs.size(); ++i) {
    const Vec3& p = vs[i].position;
    Put(&out, {" ", Num(p.x), ";", Num(p.y), ";", Num(p.z), ";", list_end(i, vs.size())});
  }
  std::string faces = " " + std::to_string(ts.size()) + ";\n";
  for (std::size_t i = 0; i < ts.size(); ++i) {
    Put(&faces, {" 3;", std::to_string(ts[i].v[0]), ",", std::to_string(ts[i].v[1]), ",",
                 std::to_string(ts[i].v[2]), ";", list_end(i, ts.size())});
  }
  out += faces;

  out += " MeshNormals {\n " + std::to_string(vs.size()) + ";\n";
  for (std::size_t i = 0; i < vs.size(); ++i) {
    const Vec3& n = vs[i].normal;
    Put(&out, {" ", Num(n.x), ";", Num(n.y), ";", Num(n.z), ";", list_end(i, vs.size())});
  }
  out += faces + " }\n";

  if (mesh.textured()) {
    out += " MeshTextureCoords {\n " + std::to_string(vs.size()) + ";\n";
    for (std::size_t i = 0; i < vs.size(); ++i) {
      Put(&out, {" ", Num(vs[i].u), ";", Num(vs[i].v), ";", list_end(i, vs.size())});
    }
    out += " }\n";
  }

  const auto& ms = mesh.materials();
  out += " MeshMaterialList {\n " + std::to_string(ms.size()) + ";\n " + std::to_string(ts.size()) +
         ";\n";
  for (std::size_t i = 0; i < ts.size(); ++i) {
    Put(&out, {" ", std::to_string(ts[i].material), list_end(i, ts.size())});
  }
  for (const Material& m : ms) {
    out += " Material {\n  " + Triple(m.diffuse) + Num(m.alpha) + ";;\n  " + Num(m.power) +
           ";\n  " + Triple(m.specular) + ";\n  " + Triple(m.emissive) + ";\n";
    if (!m.texture.empty()) {
      out += "  TextureFilename {\n   \"" + m.texture + "\";\n  }\n";
    }
    out += " }\n";
  }
  out += " }\n}\n";
  return out;
}

}  // namespace assetgen
