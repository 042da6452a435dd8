// Meshes and their textures: each file read and uploaded once, its triangles cut into chunks, and
// only the chunks a view can see drawn.
#include <algorithm>
#include <cstring>
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>
#include <unordered_map>

#include "platform/gl/gl_scene_local.h"
#include "platform/readers/image_file.h"
#include "platform/readers/x_mesh.h"

namespace bf {
namespace {

// Triangles per chunk of a mesh. The stages are built of many small boxes and prisms, so small
// chunks let a view pass over nearly all it does not see; shading a vertex on llvmpipe costs
// more than testing a chunk, and at 4 the extra draws where a gap splits a run are still cheaper
// than the triangles saved (fewer instructions per rendered tick than at 1, 2, 3, 6, 8 or 64).
constexpr int kChunkTriangles = 4;

struct GpuVertex {
  glm::vec3 position;
  glm::vec3 normal;
  glm::vec2 uv;
  glm::vec4 diffuse;
  glm::vec3 emissive;
};
static_assert(sizeof(GpuVertex) == 15 * sizeof(float), "vertices are compared byte for byte");

// Vertices are the same when every bit is: then the vertex shader gives the same result too.
struct SameVertex {
  bool operator()(const GpuVertex& a, const GpuVertex& b) const {
    return std::memcmp(&a, &b, sizeof(GpuVertex)) == 0;
  }
};
struct VertexHash {
  std::size_t operator()(const GpuVertex& v) const {
    std::uint32_t words[15];
    std::memcpy(words, &v, sizeof(words));
    std::size_t hash = 14695981039346656037u;
    for (std::uint32_t w : words) hash = (hash ^ w) * 1099511628211u;
    return hash;
  }
};

// The triangle list `soup` as each distinct vertex once and the triangles as indices into them.
void ShareVertices(const std::vector<GpuVertex>& soup, std::vector<GpuVertex>* vertices,
                   std::vector<GLuint>* indices) {
  std::unordered_map<GpuVertex, GLuint, VertexHash, SameVertex> index;
  index.reserve(soup.size());
  vertices->reserve(soup.size());
  indices->reserve(soup.size());
  for (const GpuVertex& v : soup) {
    auto [at, added] = index.emplace(v, static_cast<GLuint>(vertices->size()));
    if (added) vertices->push_back(v);
    indices->push_back(at->second);
  }
}

// The sphere around soup vertices [first, first + count), a little larger than they need so
// that rounding in the view's test never leaves out a triangle that shows.
void BoundChunk(const std::vector<GpuVertex>& soup, int first, int count, glm::vec3* centre,
                float* radius) {
  glm::vec3 low = soup[first].position, high = low;
  for (int v = first; v < first + count; ++v) {
    low = glm::min(low, soup[v].position);
    high = glm::max(high, soup[v].position);
  }
  *centre = (low + high) * 0.5f;
  float farthest = 0.0f;
  for (int v = first; v < first + count; ++v)
    farthest = std::max(farthest, glm::length(soup[v].position - *centre));
  *radius = farthest * 1.001f + 0.001f;
}

bool SphereOutside(const glm::vec4 (&planes)[6], glm::vec3 centre, float radius) {
  for (const glm::vec4& p : planes)
    if (glm::dot(glm::vec3(p), centre) + p.w < -radius) return true;
  return false;
}

}  // namespace

void GlScene::ReleaseCaches() {
  for (Geometry& g : geometries_) {
    if (g.vbo) glDeleteBuffers(1, &g.vbo);
    if (g.ibo) glDeleteBuffers(1, &g.ibo);
    if (g.vao) glDeleteVertexArrays(1, &g.vao);
  }
  for (Texture& t : textures_)
    if (t.id) glDeleteTextures(1, &t.id);
  geometries_.clear();
  geometryByPath_.clear();
  textures_.clear();
  textureByPath_.clear();
}

void GlScene::RecordLoadError(const std::string& message) {
  if (loadError_.empty()) loadError_ = message;
}

int GlScene::LoadGeometry(const std::string& path) {
  auto cached = geometryByPath_.find(path);
  if (cached != geometryByPath_.end()) return cached->second;
  int index = static_cast<int>(geometries_.size());
  geometryByPath_.emplace(path, index);
  geometries_.emplace_back();

  MeshGeometry mesh;
  std::string error;
  if (!ReadXFile(path, &mesh, &error)) {
    RecordLoadError(error);
    return index;
  }
  // Materials sorted by texture, each vertex carrying its material's colours.
  std::vector<int> partTexture;
  for (const MeshPart& part : mesh.parts)
    partTexture.push_back(part.texturePath.empty() ? -1 : LoadTextureFile(part.texturePath));
  std::vector<std::size_t> order(mesh.parts.size());
  for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](std::size_t a, std::size_t b) { return partTexture[a] < partTexture[b]; });
  std::vector<GpuVertex> soup;
  soup.reserve(mesh.vertices.size());
  std::vector<std::pair<int, int>> runStarts;  // first soup vertex, texture
  for (std::size_t i : order) {
    const MeshPart& part = mesh.parts[i];
    if (runStarts.empty() || runStarts.back().second != partTexture[i])
      runStarts.push_back({static_cast<int>(soup.size()), partTexture[i]});
    for (int v = part.first; v < part.first + part.count; ++v)
      soup.push_back({mesh.vertices[v].position, mesh.vertices[v].normal, mesh.vertices[v].uv,
                      part.diffuse, part.emissive});
  }
  Geometry geometry;
  for (std::size_t r = 0; r < runStarts.size(); ++r) {
    const int end =
        r + 1 < runStarts.size() ? runStarts[r + 1].first : static_cast<int>(soup.size());
    Geometry::Run run{static_cast<int>(geometry.chunks.size()), 0, runStarts[r].second};
    for (int first = runStarts[r].first; first < end; first += 3 * kChunkTriangles) {
      Geometry::Chunk chunk{first, std::min(3 * kChunkTriangles, end - first), {}, 0.0f};
      BoundChunk(soup, chunk.firstIndex, chunk.indexCount, &chunk.centre, &chunk.radius);
      geometry.chunks.push_back(chunk);
    }
    run.endChunk = static_cast<int>(geometry.chunks.size());
    if (run.endChunk > run.firstChunk) geometry.runs.push_back(run);
  }
  std::vector<GpuVertex> vertices;
  std::vector<GLuint> indices;
  ShareVertices(soup, &vertices, &indices);

  glGenVertexArrays(1, &geometry.vao);
  glGenBuffers(1, &geometry.vbo);
  glGenBuffers(1, &geometry.ibo);
  glBindVertexArray(geometry.vao);
  glBindBuffer(GL_ARRAY_BUFFER, geometry.vbo);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(vertices.size() * sizeof(GpuVertex)),
               vertices.data(), GL_STATIC_DRAW);
  glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, geometry.ibo);
  glBufferData(GL_ELEMENT_ARRAY_BUFFER, static_cast<GLsizeiptr>(indices.size() * sizeof(GLuint)),
               indices.data(), GL_STATIC_DRAW);
  const GLsizei stride = sizeof(GpuVertex);
  auto attribute = [&](GLuint location, GLint size, std::size_t offset) {
    glEnableVertexAttribArray(location);
    glVertexAttribPointer(location, size, GL_FLOAT, GL_FALSE, stride,
                          reinterpret_cast<void*>(offset));
  };
  attribute(0, 3, offsetof(GpuVertex, position));
  attribute(1, 3, offsetof(GpuVertex, normal));
  attribute(2, 2, offsetof(GpuVertex, uv));
  attribute(3, 4, offsetof(GpuVertex, diffuse));
  attribute(4, 3, offsetof(GpuVertex, emissive));
  glBindVertexArray(0);
  geometry.boundsCentre = mesh.boundsCentre;
  geometry.boundsRadius = mesh.boundsRadius;
  geometries_[index] = std::move(geometry);
  return index;
}

int GlScene::LoadTextureFile(const std::string& path) {
  auto cached = textureByPath_.find(path);
  if (cached != textureByPath_.end()) return cached->second;
  int index = static_cast<int>(textures_.size());
  textureByPath_.emplace(path, index);
  textures_.emplace_back();

  RgbaImage image;
  std::string error;
  if (!ReadBmpFile(path, &image, &error)) {
    RecordLoadError(error);
    return index;
  }
  GLuint id = 0;
  glGenTextures(1, &id);
  glBindTexture(GL_TEXTURE_2D, id);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  // Rows go up top row first, so v = 0 is the top of the picture as the .x files expect.
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, image.width, image.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               image.rgba.data());
  // Nearest texels keep a black texel exactly black, so the transparency test stays exact.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
  textures_[index].id = id;
  return index;
}

// How much a far mesh grows so that its bounds stay the builder's fraction of the view's height:
// at distance d the view is 2 d kHalfFieldHeight tall. Near meshes keep their own size.
float GlScene::GrowthToStayReadable(const Visual& visual, const Builder& builder,
                                    const Geometry& geometry) const {
  const glm::vec3 scale = glm::abs(builder.scale);
  const float size = 2.0f * geometry.boundsRadius * std::max(scale.x, std::max(scale.y, scale.z));
  const float distance = glm::length(glm::vec3(world_[visual.frame][3] - world_[camera_][3]));
  const float shown = size / (2.0f * distance * kHalfFieldHeight);
  return shown > 0.0f && shown < builder.smallestOnScreen ? builder.smallestOnScreen / shown : 1.0f;
}

void GlScene::DrawVisual(const Visual& visual, const glm::vec4 (&planes)[6]) {
  const Builder& builder = builders_[visual.mesh];
  if (builder.geometry < 0) return;
  const Geometry& geometry = geometries_[builder.geometry];
  if (geometry.runs.empty()) return;
  glm::vec3 scale = builder.scale;
  if (builder.smallestOnScreen > 0.0f) scale *= GrowthToStayReadable(visual, builder, geometry);
  glm::mat4 model = glm::scale(world_[visual.frame], scale);
  // Parked objects (x = -5000) and everything else off screen cost no draw at all.
  scale = glm::abs(scale);
  const float radiusScale = std::max(scale.x, std::max(scale.y, scale.z));
  auto outside = [&](glm::vec3 centre, float radius) {
    return SphereOutside(planes, glm::vec3(model * glm::vec4(centre, 1.0f)), radius * radiusScale);
  };
  if (outside(geometry.boundsCentre, geometry.boundsRadius)) return;

  glm::mat3 normalMatrix = glm::inverseTranspose(glm::mat3(model));
  glBindVertexArray(geometry.vao);

  int overrideTexture = -1;
  bool overrideTransparent = false;
  if (builder.texture >= 0 && builder.texture < static_cast<TextureId>(textureHandles_.size())) {
    overrideTexture = textureHandles_[builder.texture].texture;
    overrideTransparent = textureHandles_[builder.texture].blackTransparent;
  }
  bool matricesSet[kProgramVariants] = {};
  bool drawn = false;
  auto draw = [&](int texture, bool cutOut, GLint first, GLsizei count) {
    GLuint id = texture >= 0 ? textures_[texture].id : 0;
    int variant = id == 0 ? kPlain : (cutOut ? kCutOut : kTextured);
    const Program& p = programs_[lighting_][variant];
    if (variant != currentProgram_) {
      glUseProgram(p.id);
      currentProgram_ = variant;
    }
    if (!matricesSet[variant]) {
      glUniformMatrix4fv(p.model, 1, GL_FALSE, glm::value_ptr(model));
      glUniformMatrix3fv(p.normalMatrix, 1, GL_FALSE, glm::value_ptr(normalMatrix));
      matricesSet[variant] = true;
    }
    if (id) glBindTexture(GL_TEXTURE_2D, id);
    glDrawElements(GL_TRIANGLES, count, GL_UNSIGNED_INT,
                   reinterpret_cast<void*>(static_cast<std::size_t>(first) * sizeof(GLuint)));
    drawn = true;
  };
  // The chunks in view, neighbours joined into one draw. One chunk alone passed the test above.
  auto drawChunks = [&](int texture, bool cutOut, int firstChunk, int endChunk) {
    const bool test = geometry.chunks.size() > 1;
    GLint first = 0;
    GLsizei count = 0;
    for (int c = firstChunk; c < endChunk; ++c) {
      const Geometry::Chunk& chunk = geometry.chunks[c];
      if (test && outside(chunk.centre, chunk.radius)) continue;
      if (count > 0 && first + count != chunk.firstIndex) {
        draw(texture, cutOut, first, count);
        count = 0;
      }
      if (count == 0) first = chunk.firstIndex;
      count += chunk.indexCount;
    }
    if (count > 0) draw(texture, cutOut, first, count);
  };
  if (builder.texture >= 0) {
    drawChunks(overrideTexture, overrideTransparent, 0, static_cast<int>(geometry.chunks.size()));
  } else {
    for (const Geometry::Run& run : geometry.runs)
      drawChunks(run.texture, false, run.firstChunk, run.endChunk);
  }
  if (drawn) ++lastDrawCount_;
}

}  // namespace bf
