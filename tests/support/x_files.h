#pragma once
// Small `.x` files written by tests and benchmarks: boxes with one material each, in the
// format's own left-handed coordinates with clockwise front faces.
#include <cstdint>
#include <glm/glm.hpp>
#include <string>
#include <utility>
#include <vector>

namespace bf {

struct XBox {
  glm::vec3 low;
  glm::vec3 high;
  glm::vec4 colour{1.0f};
  std::string texture;  // TextureFilename as written in the file; empty for none
  glm::vec3 emissive{0.0f};
};

inline XBox Box(glm::vec3 low, glm::vec3 high, glm::vec4 colour, std::string texture = {}) {
  XBox box;
  box.low = low;
  box.high = high;
  box.colour = colour;
  box.texture = std::move(texture);
  return box;
}

// A text .x file holding the boxes in one mesh, faces outward, with normals and texture
// coordinates (each face shows the whole picture, v down).
std::string BoxesToX(const std::vector<XBox>& boxes);

// Meshes for the limits on what a model may hold: `meshes` alike meshes in one file, each of
// `vertices` vertices (the first `corners` round a circle, clockwise), `faces` faces that each go
// round those `corners` vertices, one white material, and `normals` normals (none when 0) with
// faces like the mesh's.
struct XPolygons {
  std::size_t meshes = 1;
  std::size_t vertices = 3;
  std::size_t faces = 1;
  std::size_t corners = 3;
  std::size_t normals = 0;
};
std::string PolygonsToX(const XPolygons& shape);

// A 24-bit .bmp file of `width` x `height` pixels, `rgb` rows top to bottom.
std::string MakeBmp(int width, int height, const std::vector<std::uint8_t>& rgb);
// An 8-bit run-length encoded .bmp of `width` x `height` pixels of one colour: a few bytes
// whatever its size.
std::string MakeRleBmp(int width, int height);

}  // namespace bf
