#pragma once
// Reading text `.x` mesh files into triangles grouped by material, in the file's own
// left-handed coordinates with its frame transforms baked in. No drawing here.
#include <glm/glm.hpp>
#include <string>
#include <vector>

namespace bf {

struct MeshVertex {
  glm::vec3 position;
  glm::vec3 normal;
  glm::vec2 uv;  // u right, v down the picture
};

// The triangles of one material: vertices [first, first + count).
struct MeshPart {
  int first = 0;
  int count = 0;
  glm::vec4 diffuse{1.0f};
  glm::vec3 emissive{0.0f};
  std::string texturePath;  // resolved beside the .x file; empty without a texture
};

struct MeshGeometry {
  std::vector<MeshVertex> vertices;
  std::vector<MeshPart> parts;
  glm::vec3 boundsCentre{0.0f};
  float boundsRadius = 0.0f;
};

// Reads a .x file. On failure returns false with one line naming the file in *error.
bool ReadXFile(const std::string& path, MeshGeometry* mesh, std::string* error);

// Checks a text .x file before the importer sees it (balanced braces nested at most 256 deep,
// sane counts, every index in range, within what a model may hold) and turns every `{ Name }`
// reference to a top-level Material inside a MeshMaterialList into that material written inline, so
// the importer never looks materials up by name. False with a reason in *error.
bool PrepareTextXFile(std::string* text, std::string* error);

// A texture name as written in a .x file (`\` separators), resolved beside the .x file.
std::string ResolveTexturePath(const std::string& meshPath, const std::string& textureName);

}  // namespace bf
