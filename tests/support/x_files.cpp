#include "support/x_files.h"

#include <cmath>
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

namespace {

// `count` items, each written by `item(i)`, separated by commas and closed with ";;".
template <typename Item>
void WriteList(std::string* x, std::size_t count, Item item) {
  for (std::size_t i = 0; i < count; ++i) {
    item(i);
    *x += i + 1 == count ? ";\n" : ",";
  }
  if (count == 0) *x += ";\n";
}

// `count` faces going round indices 0 to corners - 1 of what they index (or all 0).
void WriteFaces(std::string* x, std::size_t count, std::size_t corners, bool allZero) {
  *x += std::to_string(count) + ";\n";
  WriteList(x, count, [&](std::size_t) {
    *x += std::to_string(corners) + ";";
    for (std::size_t k = 0; k < corners; ++k)
      *x += (allZero ? "0" : std::to_string(k)) + (k + 1 == corners ? ";" : ",");
  });
}

}  // namespace

std::string PolygonsToX(const XPolygons& shape) {
  std::string x = "xof 0302txt 0032\n";
  for (std::size_t m = 0; m < shape.meshes; ++m) {
    x += "Mesh Polygons" + std::to_string(m) + " {\n" + std::to_string(shape.vertices) + ";\n";
    WriteList(&x, shape.vertices, [&](std::size_t i) {
      if (i >= shape.corners) {
        x += "0;0;0;";
        return;
      }
      // Clockwise seen from -z, the side a left-handed file's front faces.
      const float angle = 6.2831853f * static_cast<float>(i) / static_cast<float>(shape.corners);
      x += std::to_string(std::cos(angle)) + ";" + std::to_string(std::sin(angle)) + ";0;";
    });
    WriteFaces(&x, shape.faces, shape.corners, false);
    x += "MeshMaterialList {\n1;\n" + std::to_string(shape.faces) + ";\n";
    WriteList(&x, shape.faces, [&](std::size_t) { x += "0"; });
    x += "Material { 1.0;1.0;1.0;1.0;; 0.0; 0.0;0.0;0.0;; 0.0;0.0;0.0;; }\n}\n";
    if (shape.normals > 0) {
      x += "MeshNormals {\n" + std::to_string(shape.normals) + ";\n";
      WriteList(&x, shape.normals, [&](std::size_t) { x += "0;0;-1;"; });
      WriteFaces(&x, shape.faces, shape.corners, true);
      x += "}\n";
    }
    x += "}\n";
  }
  return x;
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

std::string MakeRleBmp(int width, int height) {
  const int pixelsAt = 54 + 4;  // after one palette entry
  std::string bmp(pixelsAt + 2, '\0');
  auto put32 = [&](int at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) bmp[at + i] = static_cast<char>((v >> (8 * i)) & 255);
  };
  bmp[0] = 'B';
  bmp[1] = 'M';
  put32(2, static_cast<std::uint32_t>(bmp.size()));
  put32(10, pixelsAt);
  put32(14, 40);
  put32(18, width);
  put32(22, height);
  bmp[26] = 1;
  bmp[28] = 8;
  bmp[30] = 1;  // BI_RLE8
  put32(34, 2);
  put32(46, 1);  // palette entries
  put32(54, 0x00FFFFFF);
  bmp[pixelsAt + 1] = 1;  // 0, 1: the end of the bitmap; every pixel left is entry 0
  return bmp;
}

}  // namespace bf
