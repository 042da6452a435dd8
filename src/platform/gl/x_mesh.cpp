#include "platform/gl/x_mesh.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>
#include <fstream>
#include <iterator>
#include <unordered_map>

namespace bf {
namespace {

constexpr std::size_t kHeaderSize = 16;
// A count larger than both this and the file itself cannot describe data in the file.
constexpr unsigned long long kMinCountLimit = 1000000;

struct Token {
  enum Kind { kWord, kOpen, kClose, kString } kind;
  std::size_t begin;
  std::size_t end;
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}
bool EndsWord(char c) {
  return IsSpace(c) || c == '{' || c == '}' || c == ';' || c == ',' || c == '"';
}

// Splits the body of a text .x file into words, braces and strings; separators and comments go.
bool Tokenize(const std::string& text, std::vector<Token>* tokens, std::string* error) {
  std::size_t i = kHeaderSize;
  const std::size_t n = text.size();
  while (i < n) {
    char c = text[i];
    if (IsSpace(c) || c == ';' || c == ',') {
      ++i;
    } else if (c == '#' || (c == '/' && i + 1 < n && text[i + 1] == '/')) {
      while (i < n && text[i] != '\n') ++i;
    } else if (c == '"') {
      std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) {
        *error = "unterminated string";
        return false;
      }
      tokens->push_back({Token::kString, i, close + 1});
      i = close + 1;
    } else if (c == '{' || c == '}') {
      tokens->push_back({c == '{' ? Token::kOpen : Token::kClose, i, i + 1});
      ++i;
    } else {
      std::size_t begin = i;
      while (i < n && !EndsWord(text[i])) ++i;
      tokens->push_back({Token::kWord, begin, i});
    }
  }
  return true;
}

// A whole-number word bigger than anything the file could hold (a corrupted count).
bool IsAbsurdCount(std::string_view word, unsigned long long limit) {
  if (word.empty() ||
      !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  if (word.size() > 18) return true;
  unsigned long long value = 0;
  for (char c : word) value = value * 10 + static_cast<unsigned long long>(c - '0');
  return value > limit;
}

struct Replacement {
  std::size_t begin;
  std::size_t end;
  std::string text;
};

std::string ReadWholeFile(const std::string& path, bool* ok) {
  std::ifstream in(path, std::ios::binary);
  *ok = static_cast<bool>(in);
  if (!*ok) return {};
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

glm::vec3 ToVec3(const aiVector3D& v) {
  return {v.x, v.y, v.z};
}

struct Collector {
  const aiScene& scene;
  std::vector<std::vector<MeshVertex>> byMaterial;
};

// Bakes each node's transform into its meshes' vertices, sorting triangles by material.
void CollectNode(Collector& out, const aiNode& node, const aiMatrix4x4& parent) {
  aiMatrix4x4 global = parent * node.mTransformation;
  aiMatrix3x3 normalMatrix(global);
  normalMatrix.Inverse().Transpose();
  for (unsigned m = 0; m < node.mNumMeshes; ++m) {
    if (node.mMeshes[m] >= out.scene.mNumMeshes) continue;
    const aiMesh& mesh = *out.scene.mMeshes[node.mMeshes[m]];
    if (mesh.mMaterialIndex >= out.byMaterial.size()) continue;
    std::vector<MeshVertex>& target = out.byMaterial[mesh.mMaterialIndex];
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3) continue;
      for (unsigned k = 0; k < 3; ++k) {
        unsigned index = face.mIndices[k];
        if (index >= mesh.mNumVertices) continue;
        MeshVertex vertex;
        vertex.position = ToVec3(global * mesh.mVertices[index]);
        glm::vec3 normal(0.0f, 1.0f, 0.0f);
        if (mesh.mNormals) normal = ToVec3(normalMatrix * mesh.mNormals[index]);
        float length = glm::length(normal);
        vertex.normal = std::isfinite(length) && length > 0 ? normal / length : glm::vec3(0, 1, 0);
        vertex.uv = mesh.mTextureCoords[0] ? glm::vec2(mesh.mTextureCoords[0][index].x,
                                                       mesh.mTextureCoords[0][index].y)
                                           : glm::vec2(0.0f);
        target.push_back(vertex);
      }
    }
  }
  for (unsigned c = 0; c < node.mNumChildren; ++c) CollectNode(out, *node.mChildren[c], global);
}

MeshPart ReadMaterial(const aiMaterial& material, const std::string& meshPath) {
  MeshPart part;
  aiColor4D colour;
  if (aiGetMaterialColor(&material, AI_MATKEY_COLOR_DIFFUSE, &colour) == AI_SUCCESS)
    part.diffuse = {colour.r, colour.g, colour.b, colour.a};
  if (aiGetMaterialColor(&material, AI_MATKEY_COLOR_EMISSIVE, &colour) == AI_SUCCESS)
    part.emissive = {colour.r, colour.g, colour.b};
  aiString texture;
  if (material.GetTextureCount(aiTextureType_DIFFUSE) > 0 &&
      material.GetTexture(aiTextureType_DIFFUSE, 0, &texture) == AI_SUCCESS && texture.length > 0)
    part.texturePath = ResolveTexturePath(meshPath, texture.C_Str());
  return part;
}

void ComputeBounds(MeshGeometry* mesh) {
  glm::vec3 low(0.0f), high(0.0f);
  if (!mesh->vertices.empty()) low = high = mesh->vertices[0].position;
  for (const MeshVertex& v : mesh->vertices) {
    low = glm::min(low, v.position);
    high = glm::max(high, v.position);
  }
  mesh->boundsCentre = (low + high) * 0.5f;
  mesh->boundsRadius = 0.0f;
  for (const MeshVertex& v : mesh->vertices)
    mesh->boundsRadius = std::max(mesh->boundsRadius, glm::length(v.position - mesh->boundsCentre));
}

bool Fail(const std::string& path, const std::string& reason, std::string* error) {
  *error = "cannot load mesh '" + path + "': " + reason;
  return false;
}

}  // namespace

bool InlineMaterialReferences(std::string* text, std::string* error) {
  std::vector<Token> tokens;
  if (!Tokenize(*text, &tokens, error)) return false;
  const unsigned long long limit = std::max<unsigned long long>(kMinCountLimit, text->size());
  auto word = [&](std::size_t i) {
    return std::string_view(*text).substr(tokens[i].begin, tokens[i].end - tokens[i].begin);
  };

  // Match braces and note each token's depth.
  std::vector<std::size_t> match(tokens.size(), 0), open;
  std::vector<int> depth(tokens.size(), 0);
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    depth[i] = static_cast<int>(open.size());
    if (tokens[i].kind == Token::kWord && IsAbsurdCount(word(i), limit)) {
      *error = "absurd count " + std::string(word(i));
      return false;
    }
    if (tokens[i].kind == Token::kOpen) {
      open.push_back(i);
    } else if (tokens[i].kind == Token::kClose) {
      if (open.empty()) {
        *error = "unbalanced braces";
        return false;
      }
      match[open.back()] = i;
      match[i] = open.back();
      open.pop_back();
      depth[i] = static_cast<int>(open.size());
    }
  }
  if (!open.empty()) {
    *error = "unbalanced braces";
    return false;
  }

  // Top-level named materials: `Material Name { ... }`.
  std::unordered_map<std::string_view, std::size_t> materials;
  for (std::size_t i = 0; i + 2 < tokens.size(); ++i) {
    if (depth[i] == 0 && tokens[i].kind == Token::kWord && word(i) == "Material" &&
        tokens[i + 1].kind == Token::kWord && tokens[i + 2].kind == Token::kOpen)
      materials.emplace(word(i + 1), i + 2);
  }

  // References `{ Name }` that are direct children of a MeshMaterialList.
  std::vector<Replacement> replacements;
  for (std::size_t i = 0; i < tokens.size(); ++i) {
    if (tokens[i].kind != Token::kWord || word(i) != "MeshMaterialList") continue;
    std::size_t list = i + 1;
    while (list < tokens.size() && tokens[list].kind == Token::kWord) ++list;
    if (list >= tokens.size() || tokens[list].kind != Token::kOpen) continue;
    for (std::size_t k = list + 1; k + 2 < match[list]; ++k) {
      if (tokens[k].kind != Token::kOpen || depth[k] != depth[list] + 1 ||
          tokens[k + 1].kind != Token::kWord || match[k] != k + 2)
        continue;
      auto found = materials.find(word(k + 1));
      if (found == materials.end()) {
        *error = "unknown material '" + std::string(word(k + 1)) + "'";
        return false;
      }
      const Token& bodyOpen = tokens[found->second];
      const Token& bodyClose = tokens[match[found->second]];
      replacements.push_back(
          {tokens[k].begin, tokens[k + 2].end,
           "Material {" + text->substr(bodyOpen.end, bodyClose.begin - bodyOpen.end) + "}"});
    }
  }
  for (auto r = replacements.rbegin(); r != replacements.rend(); ++r)
    text->replace(r->begin, r->end - r->begin, r->text);
  return true;
}

std::string ResolveTexturePath(const std::string& meshPath, const std::string& textureName) {
  std::string name = textureName;
  std::replace(name.begin(), name.end(), '\\', '/');
  if (!name.empty() && name[0] == '/') return name;
  std::size_t slash = meshPath.find_last_of('/');
  return slash == std::string::npos ? name : meshPath.substr(0, slash + 1) + name;
}

bool ReadXFile(const std::string& path, MeshGeometry* mesh, std::string* error) {
  *mesh = MeshGeometry();
  bool opened = false;
  std::string data = ReadWholeFile(path, &opened);
  if (!opened) return Fail(path, "file not found or unreadable", error);
  if (data.size() < kHeaderSize || data.compare(0, 4, "xof ") != 0)
    return Fail(path, "not a .x file (bad header)", error);
  std::string format = data.substr(8, 4);
  if (format == "txt ") {
    std::string reason;
    if (!InlineMaterialReferences(&data, &reason)) return Fail(path, reason, error);
  } else if (format != "bin " && format != "tzip" && format != "bzip") {
    return Fail(path, "unknown .x format '" + format + "'", error);
  }

  Assimp::Importer importer;
  const unsigned flags = aiProcess_ConvertToLeftHanded | aiProcess_Triangulate |
                         aiProcess_GenSmoothNormals | aiProcess_ValidateDataStructure;
  const aiScene* scene = importer.ReadFileFromMemory(data.data(), data.size(), flags, "x");
  if (!scene) return Fail(path, importer.GetErrorString(), error);
  if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode)
    return Fail(path, "incomplete scene", error);

  Collector collector{*scene, {}};
  collector.byMaterial.resize(scene->mNumMaterials);
  CollectNode(collector, *scene->mRootNode, aiMatrix4x4());
  for (unsigned m = 0; m < scene->mNumMaterials; ++m) {
    std::vector<MeshVertex>& vertices = collector.byMaterial[m];
    if (vertices.empty()) continue;
    MeshPart part = ReadMaterial(*scene->mMaterials[m], path);
    part.first = static_cast<int>(mesh->vertices.size());
    part.count = static_cast<int>(vertices.size());
    mesh->vertices.insert(mesh->vertices.end(), vertices.begin(), vertices.end());
    mesh->parts.push_back(std::move(part));
  }
  if (mesh->vertices.empty()) return Fail(path, "no triangles", error);
  ComputeBounds(mesh);
  return true;
}

}  // namespace bf
