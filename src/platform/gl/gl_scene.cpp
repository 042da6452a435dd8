#include "platform/gl/gl_scene.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <glm/gtc/matrix_inverse.hpp>
#include <glm/gtc/matrix_transform.hpp>
#include <glm/gtc/type_ptr.hpp>

#include "platform/gl/gl_program.h"
#include "platform/readers/image_file.h"
#include "platform/readers/x_mesh.h"

namespace bf {
namespace {

constexpr int kReservedFrames = 512;
constexpr int kReservedBuilders = 256;
constexpr int kMaxPointLights = 8;
constexpr float kFrontPlane = 1.0f;
// Triangles per chunk of a mesh. The stages are built of many small boxes and prisms, so small
// chunks let a view pass over nearly all it does not see; shading a vertex on llvmpipe costs
// more than testing a chunk, and at 4 the extra draws where a gap splits a run are still cheaper
// than the triangles saved (fewer instructions per rendered tick than at 1, 2, 3, 6, 8 or 64).
constexpr int kChunkTriangles = 4;
// A field whose half-height at distance 1 is 0.5: about 53 degrees from top to bottom.
const float kVerticalField = 2.0f * std::atan(0.5f);

// Gouraud shading: the light is worked out per vertex in world space, without attenuation, and
// each channel is clamped after lighting so that lights brighter than 1 saturate. A scene lit by
// exactly one point light (every stage is) gets a variant with the count fixed, which the
// software renderer unrolls: its loop over a uniform count cost a tenth of a rendered tick.
const char* kSceneVertexShader = R"(
layout(location = 0) in vec3 aPosition;
layout(location = 1) in vec3 aNormal;
layout(location = 2) in vec2 aUv;
layout(location = 3) in vec4 aDiffuse;
layout(location = 4) in vec3 aEmissive;
uniform mat4 uModel;
uniform mat3 uNormalMatrix;
uniform mat4 uViewProjection;
uniform vec3 uAmbient;
uniform int uPointCount;
uniform vec3 uPointPosition[8];
uniform vec3 uPointColour[8];
out vec4 vColour;
out vec2 vUv;
void main() {
  vec4 world = uModel * vec4(aPosition, 1.0);
  vec3 normal = uNormalMatrix * aNormal;
  float length2 = dot(normal, normal);
  normal = length2 > 0.0 ? normal * inversesqrt(length2) : vec3(0.0);
  vec3 light = uAmbient;
#if ONE_POINT_LIGHT
  const int pointCount = 1;
#else
  int pointCount = uPointCount;
#endif
  for (int i = 0; i < pointCount; ++i) {
    vec3 toLight = uPointPosition[i] - world.xyz;
    float distance2 = dot(toLight, toLight);
    if (distance2 > 0.0)
      light += uPointColour[i] * max(0.0, dot(normal, toLight * inversesqrt(distance2)));
  }
  vColour = vec4(clamp(aDiffuse.rgb * light + aEmissive, 0.0, 1.0), aDiffuse.a);
  vUv = aUv;
  gl_Position = uViewProjection * world;
}
)";

// Three variants: plain colour, textured, and textured with black texels cut out. Only the
// last one discards, which keeps the early depth test of the others intact.
const char* kSceneFragmentShader = R"(
in vec4 vColour;
in vec2 vUv;
uniform sampler2D uTexture;
out vec4 fragColour;
void main() {
  vec3 colour = vColour.rgb;
#if TEXTURED
  vec3 texel = texture(uTexture, vUv).rgb;
#if CUTOUT
  if (texel == vec3(0.0)) discard;
#endif
  colour *= texel;
#endif
  fragColour = vec4(colour, 1.0);
}
)";

const char* kLightingDefines[] = {
    "#version 330 core\n#define ONE_POINT_LIGHT 0\n",
    "#version 330 core\n#define ONE_POINT_LIGHT 1\n",
};
const char* kFragmentVariants[] = {
    "#version 330 core\n#define TEXTURED 0\n#define CUTOUT 0\n",
    "#version 330 core\n#define TEXTURED 1\n#define CUTOUT 0\n",
    "#version 330 core\n#define TEXTURED 1\n#define CUTOUT 1\n",
};
const char* kVariantNames[] = {"scene", "scene textured", "scene cut out"};

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

// The six clipping planes of a view, pointing inwards (x, y, z: normal; w: offset).
void ExtractPlanes(const glm::mat4& m, glm::vec4 (&planes)[6]) {
  glm::vec4 row[4];
  for (int i = 0; i < 4; ++i) row[i] = glm::vec4(m[0][i], m[1][i], m[2][i], m[3][i]);
  planes[0] = row[3] + row[0];
  planes[1] = row[3] - row[0];
  planes[2] = row[3] + row[1];
  planes[3] = row[3] - row[1];
  planes[4] = row[3] + row[2];
  planes[5] = row[3] - row[2];
  for (glm::vec4& p : planes) p /= glm::length(glm::vec3(p));
}

bool SphereOutside(const glm::vec4 (&planes)[6], glm::vec3 centre, float radius) {
  for (const glm::vec4& p : planes)
    if (glm::dot(glm::vec3(p), centre) + p.w < -radius) return true;
  return false;
}

}  // namespace

GlScene::GlScene() : frames_(kReservedFrames) {
  background_.reserve(kReservedFrames);
  world_.reserve(kReservedFrames);
  builders_.reserve(kReservedBuilders);
  textureHandles_.reserve(kReservedBuilders);
  visuals_.reserve(kReservedFrames);
  lights_.reserve(16);
}

GlScene::~GlScene() {
  ReleaseCaches();
  for (auto& lighting : programs_)
    for (Program& p : lighting)
      if (p.id) glDeleteProgram(p.id);
  ReleaseViewTargets();
  if (framebuffer_) glDeleteFramebuffers(1, &framebuffer_);
  if (deviceColour_) glDeleteTextures(1, &deviceColour_);
  if (deviceDepth_) glDeleteRenderbuffers(1, &deviceDepth_);
}

bool GlScene::Init(std::string* error) {
  for (int l = 0; l < kLightingVariants; ++l)
    for (int v = 0; v < kProgramVariants; ++v)
      if (!BuildSceneProgram(static_cast<Lighting>(l), static_cast<ProgramVariant>(v), error))
        return false;
  return CreateDevice(error);
}

bool GlScene::BuildSceneProgram(Lighting lighting, ProgramVariant variant, std::string* error) {
  const std::string vertex = std::string(kLightingDefines[lighting]) + kSceneVertexShader;
  const std::string fragment = std::string(kFragmentVariants[variant]) + kSceneFragmentShader;
  GLuint id = BuildProgram(kVariantNames[variant], vertex.c_str(), fragment.c_str(), error);
  if (!id) return false;
  Program& p = programs_[lighting][variant];
  p.id = id;
  p.model = glGetUniformLocation(id, "uModel");
  p.normalMatrix = glGetUniformLocation(id, "uNormalMatrix");
  p.viewProjection = glGetUniformLocation(id, "uViewProjection");
  p.ambient = glGetUniformLocation(id, "uAmbient");
  p.pointCount = glGetUniformLocation(id, "uPointCount");
  p.pointPosition = glGetUniformLocation(id, "uPointPosition");
  p.pointColour = glGetUniformLocation(id, "uPointColour");
  p.sampler = glGetUniformLocation(id, "uTexture");
  return true;
}

// The device image lives in its own framebuffer, so it survives from one tick to the next and
// only a viewport's own rectangle is ever cleared.
bool GlScene::CreateDevice(std::string* error) {
  glGenRenderbuffers(1, &deviceDepth_);
  glBindRenderbuffer(GL_RENDERBUFFER, deviceDepth_);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, kDeviceWidth, kDeviceHeight);
  glGenFramebuffers(1, &framebuffer_);
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, deviceDepth_);
  // Drawn in 16 bits like the screen it ends up on, which also halves what a clear writes and
  // lets the display copy it without conversion; 32 bits where a driver cannot.
  GLenum status = GL_FRAMEBUFFER_UNSUPPORTED;
  for (GLenum format : {GL_RGB565, GL_RGBA8}) {
    if (deviceColour_) glDeleteTextures(1, &deviceColour_);
    glGenTextures(1, &deviceColour_);
    glBindTexture(GL_TEXTURE_2D, deviceColour_);
    glTexImage2D(GL_TEXTURE_2D, 0, format, kDeviceWidth, kDeviceHeight, 0, GL_RGBA,
                 GL_UNSIGNED_BYTE, nullptr);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, deviceColour_, 0);
    status = glCheckFramebufferStatus(GL_FRAMEBUFFER);
    if (status == GL_FRAMEBUFFER_COMPLETE) {
      device16Bit_ = format == GL_RGB565;
      break;
    }
  }
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (status != GL_FRAMEBUFFER_COMPLETE) {
    *error = "the 620 x 430 device framebuffer is incomplete";
    return false;
  }
  BlankDevice();
  return true;
}

// Views clear only their own rectangles: what lies between them (the dividers) and what no view
// has drawn yet must start black in every battle, not keep the last battle's picture.
void GlScene::BlankDevice() {
  for (ViewTarget& target : viewTargets_) target.pending = false;
  pendingCount_ = 0;
  viewTarget_ = -1;
  glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  glDisable(GL_SCISSOR_TEST);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// The target standing for the current viewport, made when a slot is free; -1 when the view must
// be drawn on the device itself (every slot taken, as while the winner's view grows).
int GlScene::FindViewTarget() {
  for (int i = 0; i < kViewTargets; ++i) {
    ViewTarget& t = viewTargets_[i];
    if (t.framebuffer == 0) {
      t = {0, 0, 0, viewX_, viewY_, viewWidth_, viewHeight_, false};
      return CreateViewTarget(t) ? i : -1;
    }
    if (t.x == viewX_ && t.y == viewY_ && t.width == viewWidth_ && t.height == viewHeight_)
      return i;
  }
  return -1;
}

// False, with the slot kept taken so that it is not tried again, when the driver refuses it.
bool GlScene::CreateViewTarget(ViewTarget& target) {
  // From the device's bottom left corner to the view's top right one, and no more: all of it is
  // cleared for every view.
  const int width = std::clamp(target.x + target.width, 1, kDeviceWidth);
  const int height = std::clamp(kDeviceHeight - target.y, 1, kDeviceHeight);
  glGenTextures(1, &target.colour);
  glBindTexture(GL_TEXTURE_2D, target.colour);
  glTexImage2D(GL_TEXTURE_2D, 0, device16Bit_ ? GL_RGB565 : GL_RGBA8, width, height, 0, GL_RGBA,
               GL_UNSIGNED_BYTE, nullptr);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glGenRenderbuffers(1, &target.depth);
  glBindRenderbuffer(GL_RENDERBUFFER, target.depth);
  glRenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
  glGenFramebuffers(1, &target.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, target.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, target.colour, 0);
  glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, target.depth);
  const bool complete = glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  if (!complete) target.width = target.height = 0;
  return complete;
}

void GlScene::ReleaseViewTargets() {
  for (ViewTarget& t : viewTargets_) {
    if (t.framebuffer) glDeleteFramebuffers(1, &t.framebuffer);
    if (t.colour) glDeleteTextures(1, &t.colour);
    if (t.depth) glDeleteRenderbuffers(1, &t.depth);
    t = ViewTarget();
  }
  pendingCount_ = 0;
  viewTarget_ = -1;
}

// Copies in drawing order, so that where two targets overlap the later view stays on top.
void GlScene::CopyViewsToDevice() {
  if (pendingCount_ == 0) return;
  glDisable(GL_SCISSOR_TEST);
  glBindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer_);
  for (int i = 0; i < pendingCount_; ++i) {
    ViewTarget& t = viewTargets_[pendingOrder_[i]];
    const int glY = kDeviceHeight - t.y - t.height;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, t.framebuffer);
    glBlitFramebuffer(t.x, glY, t.x + t.width, glY + t.height, t.x, glY, t.x + t.width,
                      glY + t.height, GL_COLOR_BUFFER_BIT, GL_NEAREST);
    t.pending = false;
  }
  pendingCount_ = 0;
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
}

// Binds where the current viewport is drawn, with the viewport and scissor set for it.
void GlScene::BindViewFramebuffer() {
  if (viewTarget_ >= 0) {
    glBindFramebuffer(GL_FRAMEBUFFER, viewTargets_[viewTarget_].framebuffer);
  } else {
    // Straight onto the device: what the targets still hold must be there first.
    CopyViewsToDevice();
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer_);
  }
  // The device counts rows from the top, GL from the bottom.
  const int glY = kDeviceHeight - viewY_ - viewHeight_;
  glViewport(viewX_, glY, viewWidth_, viewHeight_);
  glEnable(GL_SCISSOR_TEST);
  glScissor(viewX_, glY, viewWidth_, viewHeight_);
}

// The current viewport's target now holds something the device has not got yet.
void GlScene::MarkViewDrawn() {
  if (viewTarget_ < 0 || viewTargets_[viewTarget_].pending) return;
  viewTargets_[viewTarget_].pending = true;
  pendingOrder_[pendingCount_++] = viewTarget_;
}

void GlScene::NewScene() {
  frames_.Clear();
  background_.clear();
  builders_.clear();
  textureHandles_.clear();
  visuals_.clear();
  lights_.clear();
  camera_ = kNoFrame;
  BlankDevice();
}

void GlScene::ReleaseAll() {
  NewScene();
  ReleaseCaches();
  ReleaseViewTargets();
}

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

FrameId GlScene::CreateFrame(FrameId parent) {
  background_.emplace_back(0.0f);
  return frames_.Create(parent);
}

MeshId GlScene::CreateMeshBuilder() {
  builders_.emplace_back();
  return static_cast<MeshId>(builders_.size() - 1);
}

void GlScene::LoadFromFile(MeshId mesh, const std::string& path) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh] = Builder();
  builders_[mesh].geometry = LoadGeometry(path);
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

void GlScene::ScaleMesh(MeshId mesh, float sx, float sy, float sz) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].scale *= glm::vec3(sx, sy, sz);
}

TextureId GlScene::LoadTexture(const std::string& path) {
  textureHandles_.push_back({LoadTextureFile(path), false});
  return static_cast<TextureId>(textureHandles_.size() - 1);
}

void GlScene::MakeBlackTransparent(TextureId texture) {
  if (texture < 0 || texture >= static_cast<TextureId>(textureHandles_.size())) return;
  textureHandles_[texture].blackTransparent = true;
}

void GlScene::SetTexture(MeshId mesh, TextureId texture) {
  if (mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  builders_[mesh].texture = texture;
}

void GlScene::AddVisual(FrameId frame, MeshId mesh) {
  if (!frames_.Valid(frame) || mesh < 0 || mesh >= static_cast<MeshId>(builders_.size())) return;
  visuals_.push_back({frame, mesh});
}

void GlScene::AddLight(FrameId frame, LightType type, float r, float g, float b) {
  if (!frames_.Valid(frame)) return;
  lights_.push_back({frame, type, glm::vec3(r, g, b)});
}

void GlScene::SetPosition(FrameId frame, FrameId reference, float x, float y, float z) {
  frames_.SetPosition(frame, reference, glm::vec3(x, y, z));
}

void GlScene::SetOrientation(FrameId frame, FrameId reference, float dx, float dy, float dz,
                             float ux, float uy, float uz) {
  frames_.SetOrientation(frame, reference, glm::vec3(dx, dy, dz), glm::vec3(ux, uy, uz));
}

void GlScene::LookAt(FrameId frame, FrameId target) {
  frames_.LookAt(frame, target);
}

void GlScene::SetSceneBackground(FrameId root, float r, float g, float b) {
  if (frames_.Valid(root)) background_[root] = glm::vec3(r, g, b);
}

void GlScene::SetViewport(FrameId camera, int x, int y, int width, int height) {
  camera_ = camera;
  viewX_ = x;
  viewY_ = y;
  viewWidth_ = width;
  viewHeight_ = height;
  back_ = kBackDistance;
  viewTarget_ = -1;  // a target is used only once it has been cleared for this viewport
}

void GlScene::SetBack(float distance) {
  back_ = distance;
}

void GlScene::ClearViewport() {
  if (viewWidth_ <= 0 || viewHeight_ <= 0) return;
  glm::vec3 colour(0.0f);
  if (frames_.Valid(camera_)) colour = background_[frames_.Root(camera_)];
  viewTarget_ = FindViewTarget();
  // A target still waiting for its copy holds the device's last picture of its rectangle.
  if (viewTarget_ >= 0 && viewTargets_[viewTarget_].pending) CopyViewsToDevice();
  BindViewFramebuffer();
  // Only the view's rectangle of a target is ever copied: the rest may be cleared with it.
  if (viewTarget_ >= 0) glDisable(GL_SCISSOR_TEST);
  glClearColor(colour.r, colour.g, colour.b, 1.0f);
  glDepthMask(GL_TRUE);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  glDisable(GL_SCISSOR_TEST);
  MarkViewDrawn();
}

void GlScene::SetLights(FrameId root) {
  glm::vec3 ambient(0.0f);
  glm::vec3 positions[kMaxPointLights];
  glm::vec3 colours[kMaxPointLights];
  int points = 0;
  for (const Light& light : lights_) {
    if (frames_.Root(light.frame) != root) continue;
    if (light.type == LightType::kAmbient) {
      ambient += light.colour;
    } else if (points < kMaxPointLights) {
      positions[points] = glm::vec3(world_[light.frame][3]);
      colours[points] = light.colour;
      ++points;
    }
  }
  lighting_ = points == 1 ? kOnePointLight : kAnyLights;
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniform3fv(p.ambient, 1, glm::value_ptr(ambient));
    glUniform1i(p.pointCount, points);
    if (points > 0) {
      glUniform3fv(p.pointPosition, points, glm::value_ptr(positions[0]));
      glUniform3fv(p.pointColour, points, glm::value_ptr(colours[0]));
    }
  }
}

void GlScene::Render(FrameId root) {
  lastDrawCount_ = 0;
  if (!frames_.Valid(root) || !frames_.Valid(camera_) || viewWidth_ <= 0 || viewHeight_ <= 0)
    return;
  frames_.ComputeWorldMatrices(world_);
  // The camera looks along its own +z: the inverse of its frame is a left-handed view matrix.
  glm::mat4 view = glm::inverse(world_[camera_]);
  float aspect = static_cast<float>(viewWidth_) / static_cast<float>(viewHeight_);
  glm::mat4 projection = glm::perspectiveLH_NO(kVerticalField, aspect, kFrontPlane, back_);
  glm::mat4 viewProjection = projection * view;
  glm::vec4 planes[6];
  ExtractPlanes(viewProjection, planes);

  BindViewFramebuffer();
  MarkViewDrawn();
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LESS);
  glDepthMask(GL_TRUE);
  // Faces are clockwise seen from the front, as in the .x files.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  glFrontFace(GL_CW);
  glDisable(GL_BLEND);

  SetLights(root);
  for (const Program& p : programs_[lighting_]) {
    glUseProgram(p.id);
    glUniformMatrix4fv(p.viewProjection, 1, GL_FALSE, glm::value_ptr(viewProjection));
    glUniform1i(p.sampler, 0);
  }
  glActiveTexture(GL_TEXTURE0);
  currentProgram_ = -1;
  for (const Visual& visual : visuals_)
    if (frames_.Root(visual.frame) == root) DrawVisual(visual, planes);
  glBindVertexArray(0);
  glDisable(GL_SCISSOR_TEST);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_CULL_FACE);
  // Hands the view to the rasteriser threads now, so that they fill it while the next view's
  // triangles are being set up instead of all four views waiting for the end of the tick.
  glFlush();
}

void GlScene::DrawVisual(const Visual& visual, const glm::vec4 (&planes)[6]) {
  const Builder& builder = builders_[visual.mesh];
  if (builder.geometry < 0) return;
  const Geometry& geometry = geometries_[builder.geometry];
  if (geometry.runs.empty()) return;
  glm::mat4 model = glm::scale(world_[visual.frame], builder.scale);
  // Parked objects (x = -5000) and everything else off screen cost no draw at all.
  const glm::vec3 scale = glm::abs(builder.scale);
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

void GlScene::Update() {
  ++updateCount_;
}

}  // namespace bf
