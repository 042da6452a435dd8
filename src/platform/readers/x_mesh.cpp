// Reading a .x file into meshes: the header and format, the checks of the text before the
// importer trusts it, and the importer's scene baked into triangles grouped by material.
#include "platform/readers/x_mesh.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>

#include "platform/files/files.h"
#include "platform/readers/x_text.h"

namespace bf {
namespace {

glm::vec3 ToVec3(const aiVector3D& v) {
  return {v.x, v.y, v.z};
}

struct Collector {
  const aiScene& scene;
  std::vector<std::vector<MeshVertex>> byMaterial;
  std::vector<glm::vec3> madeNormals;  // scratch for meshes without normals
  bool badIndex = false;
};

// Smooth normals for a mesh that has none: the faces' clockwise normals summed per vertex.
void MakeNormals(const aiMesh& mesh, std::vector<glm::vec3>* normals) {
  normals->assign(mesh.mNumVertices, glm::vec3(0.0f));
  for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
    const aiFace& face = mesh.mFaces[f];
    if (face.mNumIndices != 3) continue;
    unsigned a = face.mIndices[0], b = face.mIndices[1], c = face.mIndices[2];
    if (a >= mesh.mNumVertices || b >= mesh.mNumVertices || c >= mesh.mNumVertices) continue;
    glm::vec3 pa = ToVec3(mesh.mVertices[a]);
    glm::vec3 n = glm::cross(ToVec3(mesh.mVertices[b]) - pa, ToVec3(mesh.mVertices[c]) - pa);
    for (unsigned index : {a, b, c}) (*normals)[index] += n;
  }
}

// Bakes each node's transform into its meshes' vertices, sorting triangles by material.
void CollectNode(Collector& out, const aiNode& node, const aiMatrix4x4& parent) {
  aiMatrix4x4 global = parent * node.mTransformation;
  aiMatrix3x3 normalMatrix(global);
  normalMatrix.Inverse().Transpose();
  for (unsigned m = 0; m < node.mNumMeshes; ++m) {
    if (node.mMeshes[m] >= out.scene.mNumMeshes) continue;
    const aiMesh& mesh = *out.scene.mMeshes[node.mMeshes[m]];
    if (mesh.mMaterialIndex >= out.byMaterial.size()) continue;
    if (!mesh.mNormals) MakeNormals(mesh, &out.madeNormals);
    std::vector<MeshVertex>& target = out.byMaterial[mesh.mMaterialIndex];
    for (unsigned f = 0; f < mesh.mNumFaces; ++f) {
      const aiFace& face = mesh.mFaces[f];
      if (face.mNumIndices != 3) continue;
      for (unsigned k = 0; k < 3; ++k) {
        unsigned index = face.mIndices[k];
        if (index >= mesh.mNumVertices) {
          out.badIndex = true;
          return;
        }
        MeshVertex vertex;
        vertex.position = ToVec3(global * mesh.mVertices[index]);
        aiVector3D n = mesh.mNormals
                           ? mesh.mNormals[index]
                           : aiVector3D(out.madeNormals[index].x, out.madeNormals[index].y,
                                        out.madeNormals[index].z);
        glm::vec3 normal = ToVec3(normalMatrix * n);
        float length = glm::length(normal);
        vertex.normal = std::isfinite(length) && length > 0 ? normal / length : glm::vec3(0, 1, 0);
        vertex.uv = mesh.mTextureCoords[0] ? glm::vec2(mesh.mTextureCoords[0][index].x,
                                                       mesh.mTextureCoords[0][index].y)
                                           : glm::vec2(0.0f);
        target.push_back(vertex);
      }
    }
  }
  for (unsigned c = 0; c < node.mNumChildren && !out.badIndex; ++c)
    CollectNode(out, *node.mChildren[c], global);
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

bool PrepareTextXFile(std::string* text, std::string* error) {
  return xtext::ModelWithinLimits(*text, error) && xtext::CheckAndInlineMaterials(text, error);
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
  std::string data, reason;
  if (!ReadAssetFile(path, AssetKind::kModel, &data, &reason)) return Fail(path, reason, error);
  if (data.size() < xtext::kHeaderSize || data.compare(0, 4, "xof ") != 0)
    return Fail(path, "not a .x file (bad header)", error);
  // Only text files are checked before the importer reads them; the game's own are all text.
  std::string format = data.substr(8, 4);
  if (format == "bin " || format == "tzip" || format == "bzip")
    return Fail(path, "binary and compressed .x files are not read, only text ones", error);
  if (format != "txt ") return Fail(path, "unknown .x format '" + format + "'", error);
  if (!PrepareTextXFile(&data, &reason)) return Fail(path, reason, error);

  Assimp::Importer importer;
  // Normals missing from the file are made here: assimp's would point inwards once the
  // faces are back in the file's clockwise order.
  const unsigned flags =
      aiProcess_ConvertToLeftHanded | aiProcess_Triangulate | aiProcess_ValidateDataStructure;
  const aiScene* scene = importer.ReadFileFromMemory(data.data(), data.size(), flags, "x");
  if (!scene) return Fail(path, importer.GetErrorString(), error);
  if ((scene->mFlags & AI_SCENE_FLAGS_INCOMPLETE) || !scene->mRootNode)
    return Fail(path, "incomplete scene", error);

  Collector collector{*scene, {}, {}, false};
  collector.byMaterial.resize(scene->mNumMaterials);
  CollectNode(collector, *scene->mRootNode, aiMatrix4x4());
  if (collector.badIndex) return Fail(path, "a face uses a vertex that does not exist", error);
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
