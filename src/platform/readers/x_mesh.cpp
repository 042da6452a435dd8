#include "platform/readers/x_mesh.h"

#include <assimp/cimport.h>
#include <assimp/material.h>
#include <assimp/postprocess.h>
#include <assimp/scene.h>

#include <algorithm>
#include <assimp/Importer.hpp>
#include <cmath>
#include <unordered_map>

#include "platform/files/files.h"

namespace bf {
namespace {

constexpr std::size_t kHeaderSize = 16;
// The importer reads nested objects recursively and runs out of stack some 30,000 levels down;
// the game's models nest a few levels deep.
constexpr std::size_t kMaxNesting = 256;
// A count larger than both this and the file itself cannot describe data in the file.
constexpr unsigned long long kMinCountLimit = 1000000;

struct Token {
  enum Kind { kWord, kOpen, kClose, kString, kSeparator } kind;
  std::size_t begin;
  std::size_t end;
};

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}
bool EndsWord(char c) {
  return IsSpace(c) || c == '{' || c == '}' || c == ';' || c == ',' || c == '"';
}

enum class Scan { kToken, kEnd, kUnterminatedString };

// Reads the token at or after *i, past blanks and comments, and moves *i past it.
Scan NextToken(const std::string& text, std::size_t* i, Token* token) {
  const std::size_t n = text.size();
  while (*i < n) {
    const char c = text[*i];
    const std::size_t begin = *i;
    if (IsSpace(c)) {
      ++*i;
    } else if (c == '#' || (c == '/' && begin + 1 < n && text[begin + 1] == '/')) {
      while (*i < n && text[*i] != '\n') ++*i;
    } else if (c == ';' || c == ',') {
      *token = {Token::kSeparator, begin, ++*i};
      return Scan::kToken;
    } else if (c == '{' || c == '}') {
      *token = {c == '{' ? Token::kOpen : Token::kClose, begin, ++*i};
      return Scan::kToken;
    } else if (c == '"') {
      const std::size_t close = text.find('"', begin + 1);
      if (close == std::string::npos) return Scan::kUnterminatedString;
      *i = close + 1;
      *token = {Token::kString, begin, *i};
      return Scan::kToken;
    } else {
      while (*i < n && !EndsWord(text[*i])) ++*i;
      *token = {Token::kWord, begin, *i};
      return Scan::kToken;
    }
  }
  return Scan::kEnd;
}

// Splits the body of a text .x file into words, braces, separators and strings; comments go.
bool Tokenize(const std::string& text, std::vector<Token>* tokens, std::string* error) {
  std::size_t i = kHeaderSize;
  Token token{};
  for (Scan scan; (scan = NextToken(text, &i, &token)) != Scan::kEnd;) {
    if (scan == Scan::kUnterminatedString) {
      *error = "unterminated string";
      return false;
    }
    tokens->push_back(token);
  }
  return true;
}

// A whole number of at most 18 digits (so it cannot overflow), as counts and indices are written.
bool ParseCount(std::string_view word, unsigned long long* value) {
  if (word.empty() || word.size() > 18) return false;
  *value = 0;
  for (char c : word) {
    if (c < '0' || c > '9') return false;
    *value = *value * 10 + static_cast<unsigned long long>(c - '0');
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

namespace {

// A text .x file split into tokens with its braces matched: enough structure to check counts
// and indices before the importer trusts them, and to rewrite material references.
class TextXFile {
 public:
  explicit TextXFile(std::string* text) : text_(*text) {}

  bool Parse(std::string* error) {
    if (!Tokenize(text_, &tokens_, error)) return false;
    const unsigned long long limit = std::max<unsigned long long>(kMinCountLimit, text_.size());
    match_.assign(tokens_.size(), 0);
    depth_.assign(tokens_.size(), 0);
    std::vector<std::size_t> open;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      depth_[i] = static_cast<int>(open.size());
      if (tokens_[i].kind == Token::kWord && IsAbsurdCount(Word(i), limit)) {
        *error = "absurd count " + std::string(Word(i));
        return false;
      }
      if (tokens_[i].kind == Token::kOpen) {
        if (open.size() == kMaxNesting) {
          *error = "objects nested more than " + std::to_string(kMaxNesting) + " deep";
          return false;
        }
        open.push_back(i);
      } else if (tokens_[i].kind == Token::kClose) {
        if (open.empty()) {
          *error = "unbalanced braces";
          return false;
        }
        match_[open.back()] = i;
        match_[i] = open.back();
        open.pop_back();
        depth_[i] = static_cast<int>(open.size());
      }
    }
    if (!open.empty()) {
      *error = "unbalanced braces";
      return false;
    }
    return true;
  }

  // Every mesh's counts must agree with the data that follows and every index must point at
  // something that exists.
  bool CheckMeshes(std::string* error) {
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t open = ObjectBody(i, "Mesh");
      if (open == kNone) continue;
      unsigned long long vertices = 0;
      if (!CheckIndexedList(open, 3, &vertices, error)) return false;
      for (std::size_t k = open + 1; k < match_[open]; ++k) {
        if (depth_[k] != depth_[open] + 1 || tokens_[k].kind != Token::kWord) continue;
        std::size_t child = ObjectBody(k, Word(k));
        if (child == kNone) continue;
        std::string_view type = Word(k);
        unsigned long long count = 0;
        if (type == "MeshNormals" && !CheckIndexedList(child, 3, &count, error)) return false;
        if (type == "MeshTextureCoords" && !CheckTextureCoords(child, vertices, error))
          return false;
        if (type == "MeshMaterialList" && !CheckMaterialList(child, error)) return false;
      }
    }
    return true;
  }

  // Rewrites `{ Name }` references inside material lists as the named top-level material.
  void InlineMaterialReferences() {
    std::unordered_map<std::string_view, std::size_t> materials;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t open = ObjectBody(i, "Material");
      if (open != kNone && depth_[i] == 0 && open == i + 2) materials.emplace(Word(i + 1), open);
    }
    std::vector<Replacement> replacements;
    for (std::size_t i = 0; i < tokens_.size(); ++i) {
      std::size_t list = ObjectBody(i, "MeshMaterialList");
      if (list == kNone) continue;
      for (std::size_t k = list + 1; k + 2 < match_[list]; ++k) {
        if (!IsReference(k) || depth_[k] != depth_[list] + 1) continue;
        // Lists outside a mesh were never checked and the importer skips them: leave them be.
        auto named = materials.find(Word(k + 1));
        if (named == materials.end()) continue;
        std::size_t body = named->second;
        replacements.push_back(
            {tokens_[k].begin, tokens_[k + 2].end,
             "Material {" +
                 text_.substr(tokens_[body].end, tokens_[match_[body]].begin - tokens_[body].end) +
                 "}"});
      }
    }
    for (auto r = replacements.rbegin(); r != replacements.rend(); ++r)
      text_.replace(r->begin, r->end - r->begin, r->text);
  }

 private:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  std::string_view Word(std::size_t i) const {
    return std::string_view(text_).substr(tokens_[i].begin, tokens_[i].end - tokens_[i].begin);
  }

  // The opening brace of the data object `type [name] {` starting at token i, or kNone. A word
  // right after another word is the object's name, never a type.
  std::size_t ObjectBody(std::size_t i, std::string_view type) const {
    if (tokens_[i].kind != Token::kWord || Word(i) != type) return kNone;
    if (i > 0 && tokens_[i - 1].kind == Token::kWord) return kNone;
    std::size_t open = i + 1;
    if (open < tokens_.size() && tokens_[open].kind == Token::kWord) ++open;
    return open < tokens_.size() && tokens_[open].kind == Token::kOpen ? open : kNone;
  }

  bool IsReference(std::size_t k) const {
    return tokens_[k].kind == Token::kOpen && k + 2 < tokens_.size() &&
           tokens_[k + 1].kind == Token::kWord && match_[k] == k + 2;
  }

  // The words directly inside a block, nested blocks and strings left out.
  std::vector<std::string_view> Words(std::size_t open) const {
    std::vector<std::string_view> words;
    for (std::size_t k = open + 1; k < match_[open]; ++k)
      if (depth_[k] == depth_[open] + 1 && tokens_[k].kind == Token::kWord)
        words.push_back(Word(k));
    return words;
  }

  static bool ReadCount(const std::vector<std::string_view>& words, std::size_t* at,
                        unsigned long long* value) {
    return *at < words.size() && ParseCount(words[(*at)++], value);
  }

  // `count; values...; faces; (n; n indices)...`: the layout of Mesh and MeshNormals.
  bool CheckIndexedList(std::size_t open, unsigned long long wordsPerItem,
                        unsigned long long* count, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long faces = 0;
    if (!ReadCount(words, &at, count) || words.size() - at < *count * wordsPerItem) {
      *error = "mesh data shorter than its count";
      return false;
    }
    at += static_cast<std::size_t>(*count * wordsPerItem);
    if (!ReadCount(words, &at, &faces)) {
      *error = "mesh has no face count";
      return false;
    }
    for (unsigned long long f = 0; f < faces; ++f) {
      unsigned long long corners = 0, index = 0;
      if (!ReadCount(words, &at, &corners) || corners < 3) {
        *error = "face " + std::to_string(f) + " is malformed";
        return false;
      }
      for (unsigned long long c = 0; c < corners; ++c) {
        if (!ReadCount(words, &at, &index) || index >= *count) {
          *error = "face " + std::to_string(f) + " uses a vertex that does not exist";
          return false;
        }
      }
    }
    return true;
  }

  bool CheckTextureCoords(std::size_t open, unsigned long long vertices, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long count = 0;
    if (!ReadCount(words, &at, &count) || count != vertices || words.size() - at < count * 2) {
      *error = "texture coordinates do not match the vertices";
      return false;
    }
    return true;
  }

  bool CheckMaterialList(std::size_t open, std::string* error) const {
    std::vector<std::string_view> words = Words(open);
    std::size_t at = 0;
    unsigned long long materials = 0, faces = 0, index = 0;
    if (!ReadCount(words, &at, &materials) || !ReadCount(words, &at, &faces)) {
      *error = "material list has no counts";
      return false;
    }
    for (unsigned long long f = 0; f < faces; ++f) {
      if (!ReadCount(words, &at, &index) || index >= materials) {
        *error = "material list names a material that does not exist";
        return false;
      }
    }
    // The importer skips any other object in the list, which leaves faces naming materials
    // that were never read: only materials and references count.
    unsigned long long listed = 0;
    for (std::size_t k = open + 1; k < match_[open]; ++k) {
      if (depth_[k] != depth_[open] + 1 || tokens_[k].kind != Token::kOpen) continue;
      if (!IsReference(k) && !IsMaterialBody(k)) continue;
      ++listed;
      if (IsReference(k) && !IsTopLevelMaterial(Word(k + 1))) {
        *error = "unknown material '" + std::string(Word(k + 1)) + "'";
        return false;
      }
    }
    if (listed != materials) {
      *error = "material list promises " + std::to_string(materials) + " materials, holds " +
               std::to_string(listed);
      return false;
    }
    return true;
  }

  // The opening brace k belongs to `Material {` or `Material name {`.
  bool IsMaterialBody(std::size_t k) const {
    return (k >= 1 && ObjectBody(k - 1, "Material") == k) ||
           (k >= 2 && ObjectBody(k - 2, "Material") == k);
  }

  bool IsTopLevelMaterial(std::string_view name) const {
    for (std::size_t i = 0; i + 2 < tokens_.size(); ++i)
      if (depth_[i] == 0 && ObjectBody(i, "Material") == i + 2 && Word(i + 1) == name) return true;
    return false;
  }

  std::string& text_;
  std::vector<Token> tokens_;
  std::vector<std::size_t> match_;
  std::vector<int> depth_;
};

// What a model's meshes hold, counted straight from the text one token at a time, keeping only
// counts: a file that describes far more than a model may hold is refused before its tokens are
// stored (tens of bytes each) and long before the importer cuts its polygons into triangles. The
// lists are read as the full check reads them: the words directly inside a Mesh or MeshNormals
// object; whatever does not read as a list is left for that check to refuse.
class ModelCounts {
 public:
  explicit ModelCounts(const std::string& text) : text_(text) {}

  bool WithinLimits(std::string* error) {
    std::size_t i = kHeaderSize;
    Token token{};
    while (NextToken(text_, &i, &token) == Scan::kToken) {
      if (token.kind == Token::kOpen) {
        // Deeper than that is refused by the full check; no list stack grows without end.
        if (++depth_ > static_cast<int>(kMaxNesting)) return true;
        OpenList();
      } else if (token.kind == Token::kClose) {
        if (!lists_.empty() && lists_.back().depth == depth_) lists_.pop_back();
        --depth_;
      } else if (token.kind == Token::kWord && !lists_.empty() && lists_.back().depth == depth_ &&
                 !Read(lists_.back(), Word(token), error)) {
        return false;
      }
      recent_[2] = recent_[1];
      recent_[1] = recent_[0];
      recent_[0] = token;
      seen_ = std::min(seen_ + 1, 3);
    }
    if (triangles_ <= static_cast<unsigned long long>(kMaxModelTriangles)) return true;
    *error = TooMany(triangles_, "triangles", kMaxModelTriangles);
    return false;
  }

 private:
  // `count; values...; faces; (n; n indices)...`, read one word at a time.
  struct List {
    enum Phase { kCount, kValues, kFaceCount, kCorners, kIndices, kDone };
    int depth;     // of the words directly inside its braces
    bool normals;  // MeshNormals, whose faces mirror the mesh's; else Mesh
    Phase phase = kCount;
    unsigned long long left = 0;  // values or indices still to pass
    unsigned long long faces = 0;
    unsigned long long face = 0;
  };

  std::string_view Word(const Token& token) const {
    return std::string_view(text_).substr(token.begin, token.end - token.begin);
  }
  bool IsWord(int back) const { return seen_ > back && recent_[back].kind == Token::kWord; }

  // Starts a list when the `{` just read opens `Mesh [name] {` or `MeshNormals [name] {`. As in
  // the full check, a word right after another word is the object's name, never a type.
  void OpenList() {
    if (!IsWord(0)) return;
    const int type = IsWord(1) ? 1 : 0;
    if (IsWord(type + 1)) return;
    const std::string_view word = Word(recent_[type]);
    if (word == "Mesh" || word == "MeshNormals") lists_.push_back({depth_, word != "Mesh"});
  }

  static std::string TooMany(unsigned long long count, const char* what, std::int64_t limit) {
    return std::to_string(count) + " " + what + ", more than a model may have (" +
           std::to_string(limit) + ")";
  }

  // Takes the list's next word; false with a reason once a limit is passed. A word that does not
  // read as the list should ends the list, left for the full check to refuse.
  bool Read(List& list, std::string_view word, std::string* error) {
    switch (list.phase) {
      case List::kCount:
        return ReadItemCount(list, word, error);
      case List::kValues:
        if (--list.left == 0) list.phase = List::kFaceCount;
        return true;
      case List::kFaceCount:
        list.phase = ParseCount(word, &list.faces) && list.faces > 0 ? List::kCorners : List::kDone;
        return true;
      case List::kCorners:
        return ReadCorners(list, word, error);
      case List::kIndices:
        if (--list.left == 0) list.phase = ++list.face == list.faces ? List::kDone : List::kCorners;
        return true;
      case List::kDone:
        return true;
    }
    return true;
  }

  // The vertices or normals a list holds, three words each.
  bool ReadItemCount(List& list, std::string_view word, std::string* error) {
    unsigned long long count = 0;
    if (!ParseCount(word, &count)) {
      list.phase = List::kDone;
      return true;
    }
    unsigned long long& total = list.normals ? normals_ : vertices_;
    total += count;
    if (total > static_cast<unsigned long long>(kMaxModelVertices)) {
      *error = TooMany(total, list.normals ? "normals" : "vertices", kMaxModelVertices);
      return false;
    }
    list.left = count * 3;
    list.phase = count > 0 ? List::kValues : List::kFaceCount;
    return true;
  }

  // A face's corners: the importer cuts a face of n corners into n - 2 triangles.
  bool ReadCorners(List& list, std::string_view word, std::string* error) {
    unsigned long long corners = 0;
    if (!ParseCount(word, &corners) || corners < 3) {
      list.phase = List::kDone;
      return true;
    }
    if (corners > static_cast<unsigned long long>(kMaxFaceCorners)) {
      *error = "face " + std::to_string(list.face) + " has " + std::to_string(corners) +
               " corners, more than a face may have (" + std::to_string(kMaxFaceCorners) + ")";
      return false;
    }
    if (!list.normals) triangles_ += corners - 2;
    list.left = corners;
    list.phase = List::kIndices;
    return true;
  }

  const std::string& text_;
  std::vector<List> lists_;  // open lists, innermost last
  Token recent_[3] = {};     // the latest tokens, the last one first
  int seen_ = 0;
  int depth_ = 0;
  unsigned long long vertices_ = 0;
  unsigned long long normals_ = 0;
  unsigned long long triangles_ = 0;
};

}  // namespace

bool PrepareTextXFile(std::string* text, std::string* error) {
  if (!ModelCounts(*text).WithinLimits(error)) return false;
  TextXFile file(text);
  if (!file.Parse(error) || !file.CheckMeshes(error)) return false;
  file.InlineMaterialReferences();
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
  std::string data, reason;
  if (!ReadAssetFile(path, AssetKind::kModel, &data, &reason)) return Fail(path, reason, error);
  if (data.size() < kHeaderSize || data.compare(0, 4, "xof ") != 0)
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
