#include "support/x_files.h"

#include <cstdio>
#include <sstream>

namespace bf {
namespace {

struct Face {
  glm::vec3 corner[4];
  glm::vec3 normal;
};

// The six faces of a box, each ordered so that it is clockwise seen from outside, which in
// left-handed coordinates means cross(b - a, c - a) points outward.
std::vector<Face> BoxFaces(glm::vec3 l, glm::vec3 h) {
  std::vector<Face> faces = {
      {{{l.x, l.y, l.z}, {l.x, h.y, l.z}, {h.x, h.y, l.z}, {h.x, l.y, l.z}}, {0, 0, -1}},
      {{{h.x, l.y, h.z}, {h.x, h.y, h.z}, {l.x, h.y, h.z}, {l.x, l.y, h.z}}, {0, 0, 1}},
      {{{l.x, l.y, h.z}, {l.x, h.y, h.z}, {l.x, h.y, l.z}, {l.x, l.y, l.z}}, {-1, 0, 0}},
      {{{h.x, l.y, l.z}, {h.x, h.y, l.z}, {h.x, h.y, h.z}, {h.x, l.y, h.z}}, {1, 0, 0}},
      {{{l.x, h.y, l.z}, {l.x, h.y, h.z}, {h.x, h.y, h.z}, {h.x, h.y, l.z}}, {0, 1, 0}},
      {{{l.x, l.y, h.z}, {l.x, l.y, l.z}, {h.x, l.y, l.z}, {h.x, l.y, h.z}}, {0, -1, 0}},
  };
  for (Face& f : faces) {
    glm::vec3 n = glm::cross(f.corner[1] - f.corner[0], f.corner[2] - f.corner[0]);
    if (glm::dot(n, f.normal) < 0) std::swap(f.corner[1], f.corner[3]);
  }
  return faces;
}

}  // namespace

std::string BoxesToX(const std::vector<XBox>& boxes) {
  std::vector<Face> faces;
  std::vector<int> faceMaterial;
  for (std::size_t b = 0; b < boxes.size(); ++b)
    for (const Face& f : BoxFaces(boxes[b].low, boxes[b].high)) {
      faces.push_back(f);
      faceMaterial.push_back(static_cast<int>(b));
    }
  const std::size_t vertexCount = faces.size() * 4;
  std::ostringstream x;
  x << "xof 0302txt 0032\n";
  x << "Frame Root {\n FrameTransformMatrix { 1.0,0.0,0.0,0.0,0.0,1.0,0.0,0.0,0.0,0.0,1.0,0.0,"
       "0.0,0.0,0.0,1.0;; }\n";
  x << " Mesh Boxes {\n  " << vertexCount << ";\n";
  for (std::size_t i = 0; i < faces.size(); ++i)
    for (int k = 0; k < 4; ++k) {
      const glm::vec3& p = faces[i].corner[k];
      x << "  " << p.x << ";" << p.y << ";" << p.z << ";"
        << (i + 1 == faces.size() && k == 3 ? ";" : ",") << "\n";
    }
  auto writeFaces = [&]() {
    x << "  " << faces.size() << ";\n";
    for (std::size_t i = 0; i < faces.size(); ++i)
      x << "  4;" << i * 4 << "," << i * 4 + 1 << "," << i * 4 + 2 << "," << i * 4 + 3 << ";"
        << (i + 1 == faces.size() ? ";" : ",") << "\n";
  };
  writeFaces();
  x << "  MeshMaterialList {\n   " << boxes.size() << ";\n   " << faces.size() << ";\n   ";
  for (std::size_t i = 0; i < faces.size(); ++i)
    x << faceMaterial[i] << (i + 1 == faces.size() ? ";;\n" : ",");
  for (const XBox& box : boxes) {
    x << "   Material {\n    " << box.colour.r << ";" << box.colour.g << ";" << box.colour.b << ";"
      << box.colour.a << ";;\n    0.0;\n    0.0;0.0;0.0;;\n    " << box.emissive.r << ";"
      << box.emissive.g << ";" << box.emissive.b << ";;\n";
    if (!box.texture.empty()) x << "    TextureFilename { \"" << box.texture << "\"; }\n";
    x << "   }\n";
  }
  x << "  }\n  MeshNormals {\n  " << faces.size() << ";\n";
  for (std::size_t i = 0; i < faces.size(); ++i) {
    const glm::vec3& n = faces[i].normal;
    x << "  " << n.x << ";" << n.y << ";" << n.z << ";" << (i + 1 == faces.size() ? ";" : ",")
      << "\n";
  }
  x << "  " << faces.size() << ";\n";
  for (std::size_t i = 0; i < faces.size(); ++i)
    x << "  4;" << i << "," << i << "," << i << "," << i << ";"
      << (i + 1 == faces.size() ? ";" : ",") << "\n";
  x << "  }\n  MeshTextureCoords {\n  " << vertexCount << ";\n";
  const char* uv[4] = {"0.0;1.0;", "0.0;0.0;", "1.0;0.0;", "1.0;1.0;"};
  for (std::size_t i = 0; i < faces.size(); ++i)
    for (int k = 0; k < 4; ++k)
      x << "  " << uv[k] << (i + 1 == faces.size() && k == 3 ? ";" : ",") << "\n";
  x << "  }\n }\n}\n";
  return x.str();
}

std::string MakeBmp(int width, int height, const std::vector<std::uint8_t>& rgb) {
  const int rowSize = (width * 3 + 3) & ~3;
  const int dataSize = rowSize * height;
  std::string bmp(54 + dataSize, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 255);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, 54 + dataSize);
  put32(10, 54);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  bmp[26] = 1;
  bmp[28] = 24;
  put32(34, dataSize);
  for (int y = 0; y < height; ++y) {
    // Bottom row first in the file.
    const std::uint8_t* src = &rgb[static_cast<std::size_t>(height - 1 - y) * width * 3];
    char* dst = &bmp[54 + y * rowSize];
    for (int x = 0; x < width; ++x) {
      dst[x * 3 + 0] = static_cast<char>(src[x * 3 + 2]);
      dst[x * 3 + 1] = static_cast<char>(src[x * 3 + 1]);
      dst[x * 3 + 2] = static_cast<char>(src[x * 3 + 0]);
    }
  }
  return bmp;
}

}  // namespace bf
